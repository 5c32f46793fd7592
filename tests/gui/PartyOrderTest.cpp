// Trading places and reordering the party, and the main view's keys that
// open the party screens, driven by pushed keys.
#include "PartyScreenFixture.h"

#include "screens/CharView.h"
#include "screens/ReorderParty.h"
#include "screens/TradeChar.h"

namespace {

using namespace partyscreens;

class PartyOrderTest : public PartyScreenFixture {
protected:
    // The party's names in order.
    static std::vector<std::string> order()
    {
        std::vector<std::string> names;
        for (int i = 0; i < party->getCount(); ++i)
            names.push_back(party->getMember(i)->getName());
        return names;
    }
    void four()
    {
        for (const char* name : {"Ann", "Bob", "Cid", "Dot"})
            join(name, 0x1);
    }
};

TEST_F(PartyOrderTest, TradingPlacesSwapsTwoLivingMembers)
{
    four();
    member(2).setCurHP(0);
    watch([] { return TradeChar_C::getState(); });
    // The dead one is no choice on either side; nor is the first one twice.
    script({quiet(SDLK_F3), SDLK_F1, quiet(SDLK_F3), quiet(SDLK_F1), quiet(SDLK_F6), SDLK_F4});
    TradeChar_C::run(&iface);
    EXPECT_EQ(order(), (std::vector<std::string>{"Dot", "Bob", "Cid", "Ann"}));
    ASSERT_EQ(shown().size(), 6u) << "the refused picks asked for no redraw";
    EXPECT_TRUE(shown(0).has("Trade who?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) to Select"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Cancel"));
    EXPECT_TRUE(shown(2).has("With who?"));

    forget();
    script({SDLK_F2, SDLK_ESCAPE});
    TradeChar_C::run(&iface);
    EXPECT_EQ(order(), (std::vector<std::string>{"Dot", "Bob", "Cid", "Ann"}));
    EXPECT_EQ(TradeChar_C::getState(), TradeChar_C::DONE);
}

TEST_F(PartyOrderTest, ReorderingPicksAmongTheMembersStillWaiting)
{
    four();
    watch([] { return ReorderParty_C::pickedCount(); });
    script({quiet(SDLK_ESCAPE), quiet(SDLK_F5), SDLK_F3, SDLK_F1, SDLK_F2, SDLK_F1});
    ReorderParty_C::run(&iface);
    EXPECT_EQ(order(), (std::vector<std::string>{"Cid", "Ann", "Dot", "Bob"}));
    EXPECT_FALSE(ReorderParty_C::isRunning());
    ASSERT_EQ(shown().size(), 6u);
    EXPECT_TRUE(shown(0).has("New Order:"));
    EXPECT_TRUE(shown(0).has("1) "));
    EXPECT_TRUE(shown(0).has("(F1-F8) to Select"));
    const Shown& twoPicked = shown(4);
    EXPECT_TRUE(twoPicked.has("1) Cid"));
    EXPECT_TRUE(twoPicked.has("2) Ann"));
    EXPECT_TRUE(twoPicked.has("3) "));
}

TEST_F(PartyOrderTest, ReorderingOneOrNoMemberEndsAtOnce)
{
    watch([] { return ReorderParty_C::pickedCount(); });
    script({SDLK_F1});
    ReorderParty_C::run(&iface);
    EXPECT_TRUE(shown().empty()) << "an empty party shows nothing";
    EXPECT_EQ(stepsLeft(), 1u);

    join("Ann", 0x1);
    script({SDLK_F1});
    ReorderParty_C::run(&iface);
    EXPECT_EQ(order(), std::vector<std::string>{"Ann"});
    EXPECT_EQ(shown().size(), 1u);
}

TEST_F(PartyOrderTest, MainViewKeysOpenThePartyScreens)
{
    four();
    watch([] { return CharView_C::getState(); });
    script({SDLK_ESCAPE});
    iface.key(SDLK_F3, KMOD_NONE);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_TRUE(shown(0).has("Cid"));
    EXPECT_EQ(shown(0).state, CharView_C::STATE_SUMMARY);

    forget();
    iface.key(SDLK_F5, KMOD_NONE);   // no fifth member
    EXPECT_TRUE(shown().empty());

    script({SDLK_F1, SDLK_F2});
    iface.key(SDLK_t, KMOD_NONE);
    EXPECT_EQ(order(), (std::vector<std::string>{"Bob", "Ann", "Cid", "Dot"}));
    EXPECT_TRUE(shown(0).has("Trade who?"));

    forget();
    script({SDLK_F4, SDLK_F3, SDLK_F2, SDLK_F1});
    iface.key(SDLK_t, KMOD_LSHIFT);
    EXPECT_EQ(order(), (std::vector<std::string>{"Dot", "Cid", "Ann", "Bob"}));
    EXPECT_TRUE(shown(0).has("New Order:"));
}

// The world runs whatever the table holds for a key beyond its own, with the
// key's modifiers; an emptied key does nothing; walking stays the world's.
TEST_F(PartyOrderTest, TheMainViewRunsTheCommandsOfItsKeyTable)
{
    four();
    std::vector<int> mods;
    iface.setKeyCommand(SDLK_r, [&mods](SDLMod mod) { mods.push_back(mod); });
    iface.key(SDLK_r, KMOD_NONE);
    iface.key(SDLK_r, KMOD_LSHIFT);
    EXPECT_EQ(mods, (std::vector<int>{KMOD_NONE, KMOD_LSHIFT}));

    iface.setKeyCommand(SDLK_r, nullptr);
    iface.key(SDLK_r, KMOD_NONE);
    EXPECT_EQ(mods.size(), 2u) << "a removed key runs nothing";

    // The table cannot take walking from the world.
    iface.setKeyCommand(SDLK_UP, [&mods](SDLMod mod) { mods.push_back(mod); });
    iface.key(SDLK_UP, KMOD_NONE);
    iface.setKeyCommand(SDLK_UP, nullptr);
    EXPECT_EQ(mods.size(), 2u);
}

} // namespace
