// The roster screens driven by pushed keys: adding a stored adventurer to
// the party, banishing one from the roster, dismissing a monster from the
// party (and the main view's 'd' that opens it).
#include "TownFixture.h"

#include "core/ScrollList.h"
#include "core/TagList.h"
#include "town/AddChar.h"
#include "town/BanishChar.h"
#include "screens/DismissChar.h"
#include "app/MainViewKeys.h"

namespace {

using namespace town;

class RosterScreensTest : public TownFixture {
protected:
    // The texts of a list's lines.
    static std::vector<std::string> lines(const ScrollList_C* list)
    {
        std::vector<std::string> out;
        if (!list)
            return out;
        for (int i = 0; i < list->getNumLines(); ++i)
            out.push_back(list->lineText(i));
        return out;
    }
    void storeMonster(const char* name)
    {
        std::unique_ptr<bl3dPartyChar> m(joinedMonster(name));
        ASSERT_TRUE(roster()->store(*m));
    }
};

TEST_F(RosterScreensTest, AddingListsTheRosterAndReturnsACopyOfTheChosen)
{
    join("Ann", 0x4);
    store("Ann");
    store("Bob");
    storeMonster("Grue");
    ASSERT_TRUE(roster()->store(TagList_C(RefStr_C("Zed"))));   // not an adventurer
    std::vector<std::string> shownLines;
    int selected = -1;
    onDisplay([&] {
        if (shownLines.empty()) {
            shownLines = lines(AddChar_C::getList());
            selected = AddChar_C::getList()->selected();
        }
    });
    script({SDLK_RETURN});
    testing::internal::CaptureStderr();
    std::unique_ptr<bl3dPartyChar> bob = AddChar_C::run(&iface, nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_NE(bob, nullptr);
    EXPECT_STREQ(bob->getName(), "Bob");
    EXPECT_EQ(shownLines, (std::vector<std::string>{"Ann", "Bob", "Zed (unreadable)"}))
        << "the joined monster gets no line; the unreadable entry says so";
    EXPECT_EQ(selected, 1) << "Ann is in the party: Bob is the first that can be chosen";
    EXPECT_NE(said.find("Zed"), std::string::npos) << said;
    EXPECT_TRUE(shown(0).has("Choose:"));
    EXPECT_TRUE(shown(0).has("(RETURN) to Select"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Cancel"));
    EXPECT_FALSE(AddChar_C::isRunning());
    EXPECT_TRUE(roster()->hasEntry("Bob")) << "adding reads a copy; the entry stays";
}

TEST_F(RosterScreensTest, AddingOpensOnlyWithSomeoneOutsideTheParty)
{
    join("Ann", 0x4);
    script({SDLK_ESCAPE});
    EXPECT_EQ(AddChar_C::run(&iface, nullptr), nullptr) << "empty roster";
    store("Ann");
    EXPECT_EQ(AddChar_C::run(&iface, nullptr), nullptr) << "everyone is in the party";
    EXPECT_TRUE(shown().empty());

    // Only a joined monster outside the party: the list opens, nothing in it
    // can be chosen; RETURN does nothing, ESC gives nothing.
    storeMonster("Grue");
    script({quiet(SDLK_RETURN), SDLK_ESCAPE});
    EXPECT_EQ(AddChar_C::run(&iface, nullptr), nullptr);
    EXPECT_EQ(shown().size(), 2u);
    EXPECT_EQ(stepsLeft(), 0u);
}

TEST_F(RosterScreensTest, BanishingAsksTwiceAndEscKeepsTheEntry)
{
    join("Ann", 0x4);
    store("Ann");
    store("Bob");
    store("Cid");
    watch([] { return BanishChar_C::getState(); });
    script({SDLK_ESCAPE});
    BanishChar_C::run(&iface, nullptr);
    script({SDLK_RETURN, SDLK_ESCAPE});
    BanishChar_C::run(&iface, nullptr);
    EXPECT_EQ(rosterNames(), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
    script({SDLK_DOWN, SDLK_RETURN, SDLK_y});
    BanishChar_C::run(&iface, nullptr);
    EXPECT_EQ(rosterNames(), (std::vector<std::string>{"Ann", "Bob"}));
    const Shown ask = lastIn(BanishChar_C::CONFIRM);
    EXPECT_TRUE(ask.has("You are about to permenantly remove Cid from the database."));
    EXPECT_TRUE(ask.has("This action is not reversable!"));
    EXPECT_TRUE(ask.has("Are you sure?"));
    EXPECT_TRUE(ask.has("(Y)es, I'm sure"));
    EXPECT_TRUE(lastIn(BanishChar_C::CHOOSE).has("Choose:"));

    // Nobody outside the party: the screen does not open.
    forget();
    join("Bob", 0x4);
    script({SDLK_ESCAPE});
    BanishChar_C::run(&iface, nullptr);
    EXPECT_TRUE(shown().empty());
}

TEST_F(RosterScreensTest, DismissingSendsAwayMonstersOnly)
{
    join("Ann", 0x4);
    party->addMember(joinedMonster("Grue"));
    party->addMember(joinedMonster("Hob"));
    join("Ida", 0x4);
    storeMonster("Grue");
    store("Hob");   // an adventurer's entry of the same name as a monster
    watch([] { return DismissChar_C::getState(); });
    script({SDLK_F1, SDLK_SPACE, SDLK_F8, SDLK_F2, SDLK_n, SDLK_F2, SDLK_y});
    DismissChar_C::run(&iface);
    EXPECT_EQ(partyNames(), (std::vector<std::string>{"Ann", "Hob", "Ida"}));
    EXPECT_EQ(rosterNames(), std::vector<std::string>{"Hob"});
    EXPECT_TRUE(shown(0).has("Who do you wish to dismiss?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) to Select"));
    EXPECT_TRUE(lastIn(DismissChar_C::REFUSED).has("Ann is not a monster!"));
    EXPECT_TRUE(lastIn(DismissChar_C::CONFIRM).has("Are you sure you want to dismiss Grue?"));

    // The monster Hob goes; the adventurer Hob stays in the roster.
    script({SDLK_F2, SDLK_y});
    DismissChar_C::run(&iface);
    EXPECT_EQ(partyNames(), (std::vector<std::string>{"Ann", "Ida"}));
    EXPECT_EQ(rosterNames(), std::vector<std::string>{"Hob"});
}

TEST_F(RosterScreensTest, MainViewKeyDOpensTheDismissal)
{
    join("Ann", 0x4);
    installMainViewKeys(iface);
    watch([] { return DismissChar_C::getState(); });
    script({SDLK_ESCAPE});
    iface.key(SDLK_d, KMOD_NONE);
    ASSERT_FALSE(shown().empty());
    EXPECT_TRUE(shown(0).has("Who do you wish to dismiss?"));
    EXPECT_EQ(party->getCount(), 1);
}

} // namespace
