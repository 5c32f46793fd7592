// The Order of the Lyre driven by pushed keys through its states: its hours
// (an hour longer than the Collegium's), training with the rank prices,
// the songs offered by level and bought into the repertoire; the texts
// shown, the bard's level, ability list, spell book and gold, and the game
// time spent. One case runs on the game's own spell book.
#include "TownFixture.h"

#include "core/ScrollList.h"
#include "rules/Action.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "town/Event_1003.h"
#include "town/Event_1005.h"

#include <algorithm>

namespace {

using namespace town;

constexpr int kLeave = 30;

// A bard song of the test: the song flag in its id, open to the bards.
class KitSong : public bl3dAction {
public:
    KitSong(int32_t number, const char* name, int32_t level)
        : bl3dAction(0x2, level), id_(int32_t(ACTION_BARD_SONG) | number), name_(name)
    {
    }
    int perform(ActionUse_S*) override { return 0; }
    ActionUse_S* enqueue(bl3dActor*, int, int, void**) override { return nullptr; }
    RefStr_C name() const override { return name_; }
    RefStr_C description() const override { return RefStr_C("A song of the test kit."); }
    uint8_t targetKind() const override { return 0; }
    uint8_t range() const override { return 0; }
    int32_t actionID() const override { return id_; }

private:
    int32_t id_;
    RefStr_C name_;
};

enum KitIds : int32_t {
    DITTY = int32_t(ACTION_BARD_SONG) | 0xb101,   // level 1
    BALLAD = int32_t(ACTION_BARD_SONG) | 0xb102,  // level 2
    DIRGE = int32_t(ACTION_BARD_SONG) | 0xb103,   // level 3
    CHANT = int32_t(ACTION_BARD_SONG) | 0xb104,   // level 1
    BOLT = 0x00090101,                            // a spell, no song
};

class LyreTest : public TownFixture {
protected:
    void useKit()
    {
        useActions({new KitSong(0xb101, "Ditty", 1), new FakeSpell(BOLT, "Arcane Bolt", "ARBO", 0x3F02, 1, 1),
                    new KitSong(0xb102, "Ballad", 2), new KitSong(0xb103, "Dirge", 3), new KitSong(0xb104, "Chant", 1)});
    }
    // Runs one visit with these keys; returns the game time it took.
    uint32_t visit(const std::vector<Step>& keys)
    {
        order_ = std::make_unique<Event_1005_C>(&params_);
        forget();
        return visitBuilding(*order_, keys);
    }
    std::vector<std::string> offerNames() const
    {
        std::vector<std::string> names;
        const ScrollInvList_C* list = order_->getOffers();
        for (int i = 0; list && i < list->getNumLines(); ++i)
            names.push_back(list->lineAt(i)->text.c_str());
        return names;
    }
    bl3dPartyChar& bard(const char* name, int32_t songLevel, int32_t gold)
    {
        bl3dPartyChar& m = join(name, Event_1005_C::BARDS, 4);
        setAttr(m, tagkey::SongLvl, songLevel);
        m.rawAddGold(gold);
        return m;
    }

    std::unique_ptr<Event_1005_C> order_;
};

TEST_F(LyreTest, OpenFromNineUntilSixInTheEvening)
{
    useKit();
    join("Bard", 0x2);
    std::unique_ptr<Event_C> made = createMapEvent(1005, &params_);
    ASSERT_NE(dynamic_cast<Event_1005_C*>(made.get()), nullptr) << "the game makes the Order for type 1005";

    for (unsigned hour : {8u, 18u}) {
        setTime(hour, 0);
        EXPECT_EQ(visit({SDLK_SPACE}), uint32_t(kLeave));
        EXPECT_EQ(last().state, Building_C::kClosed) << hour;
        EXPECT_TRUE(last().has("We're sorry, but the members have all gone to drink and be merry.  Perhaps you should "
                               "as well?  Please come again."));
        EXPECT_EQ(gameworld->getSquareY(), 14);
    }
    // At 17:30 the Order is open and the Collegium closed.
    setTime(17, 30);
    std::vector<bool> pic;
    onDisplay([&] { pic.push_back(iface.curPicNamed("Lyre")); });
    visit({SDLK_t, SDLK_ESCAPE, SDLK_ESCAPE});
    ASSERT_EQ(shown().size(), 3u);
    for (const char* text : {"Welcome adventurers to the Order of the Lyre.\nHow may we be of service?",
                             "(T)rain with a Master Bard", "(A)cquire a song for your repertoire", "(F1-F8) to View",
                             "(ESCAPE) to Exit"})
        EXPECT_TRUE(shown(0).has(text)) << text;
    EXPECT_TRUE(shown(1).has("Who wishes to train with our most skilled musicians?"));
    EXPECT_TRUE(shown(1).has("(ESCAPE) to Continue"));
    EXPECT_EQ(pic, (std::vector<bool>{true, true, true}));
    onDisplay(nullptr);
    Event_1003_C collegium(&params_);
    watch([&] { return collegium.getState(); });
    forget();
    script({SDLK_SPACE});
    collegium.invoke(&iface);
    EXPECT_EQ(last().state, Building_C::kClosed);
}

// The menu's lines stay inside the pane: no dark text is printed over the
// frame to the right of it. Both buffers are cleared to a light colour
// first, so that nothing drawn before can pass for text there.
TEST_F(LyreTest, TheMenuStaysInsideThePane)
{
    setTime(10);
    join("Bard", 0x2);
    for (int i = 0; i < 2; ++i) {
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapBuffers();
    }
    const int right = iface.text().getURRight();
    int overPrinted = -1;
    onDisplay([&] {
        if (order_->getState() == Guild_C::MENU)
            overPrinted = countNear(right + 2, iface.getURLineY(12), 40, iface.getURLineY(2) - iface.getURLineY(12),
                                    {0, 0, 0}, 60);
    });
    visit({SDLK_ESCAPE});
    EXPECT_EQ(overPrinted, 0) << "pixels printed right of the pane";
    EXPECT_TRUE(anyMentions("(A)cquire a song for your repertoire"));
}

TEST_F(LyreTest, BardsTrainForATipThatIsHigherAtANewRank)
{
    useKit();
    setTime(10);
    bl3dPartyChar& twelve = seasoned("Twelve", 0x2, 12, 6500);
    bl3dPartyChar& thirteen = seasoned("Thirteen", 0x2, 13, 1400);
    seasoned("Mage", 0x100, 5, 1000);
    join("Green", 0x2, 2);
    bl3dPartyChar& poor = seasoned("Poor", 0x2, 3, 399);
    const uint32_t spent = visit({SDLK_t, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_t, SDLK_F2, SDLK_y, SDLK_SPACE,
                                  SDLK_t, SDLK_F3, SDLK_SPACE, SDLK_t, SDLK_F4, SDLK_SPACE,
                                  SDLK_t, SDLK_F5, SDLK_y, SDLK_SPACE, SDLK_t, SDLK_F5, SDLK_n, SDLK_SPACE,
                                  SDLK_ESCAPE});
    EXPECT_TRUE(shown(2).has("As you know, Guild services are free to those of musical inclination.  It is customary, "
                             "however, to tip the Master, and a sum of 6500 gold is recommended...  Will you pay?"));
    EXPECT_TRUE(shown(3).has("The master notices you are ready for a new instrument, and after much study, you find "
                             "you've advanced a rank!"));
    EXPECT_TRUE(shown(6).mentions("a sum of 1400 gold is recommended"));
    EXPECT_TRUE(shown(7).has("After long hours with the Master, you find you are more adept than you had previously "
                             "thought possible!"));
    EXPECT_TRUE(shown(10).has("You seem not to have the knack for music.  Perhaps you should return when your "
                              "attempts are less offensive to the ear."));
    EXPECT_TRUE(shown(13).has("Practice makes perfect, and you certainly seem to need more practice."));
    EXPECT_TRUE(shown(17).has("The Master, who appreciates your desire to reward him for his services, becomes "
                              "agitated when you find you cannot pay what you offered.  You understand immediately "
                              "that you won't be learning anything new today."));
    EXPECT_TRUE(shown(21).has("Obviously upset by your lack of financial enthusiasm, the Master fails to show you "
                              "anything you didn't already know."));
    EXPECT_EQ(twelve.getLevel(), 13);
    EXPECT_EQ(thirteen.getLevel(), 14);
    EXPECT_EQ(gold(twelve), 0);
    EXPECT_EQ(gold(thirteen), 0);
    EXPECT_EQ(poor.getLevel(), 3);
    EXPECT_EQ(gold(poor), 399);
    EXPECT_EQ(spent, uint32_t(60 + 60 + kLeave));
}

TEST_F(LyreTest, SongsUpToTheBardsLevelAreTaughtIntoTheRepertoire)
{
    useKit();
    setTime(10);
    bl3dPartyChar& ann = bard("Ann", 2, 2500);
    ann.actions()->add(masterActionList.getAction(CHANT), 0);
    const uint32_t spent = visit({SDLK_a, SDLK_F1, SDLK_DOWN, SDLK_RETURN, SDLK_y, SDLK_SPACE, SDLK_a, SDLK_F1,
                                  quiet(SDLK_TAB), SDLK_RETURN, SDLK_n, SDLK_SPACE, SDLK_a, SDLK_F1, SDLK_RETURN, SDLK_y,
                                  SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).has("Who wishes to learn a song?"));
    EXPECT_TRUE(shown(1).has("(ESCAPE) to Cancel"));
    const Shown& list = shown(2);
    for (const char* text : {"Gold: 2500", "Which song?", "Ditty", "Ballad", "1000", "2000", "(RETURN) to Select",
                             "(ESCAPE) to Cancel"})
        EXPECT_TRUE(list.has(text)) << text;
    EXPECT_FALSE(list.has("(TAB) for Info"));
    EXPECT_FALSE(list.has("Dirge")) << "above the bard's song level";
    EXPECT_FALSE(list.has("Chant")) << "known already";
    EXPECT_FALSE(list.has("Arcane Bolt")) << "no spells here";
    EXPECT_TRUE(shown(4).has("To teach you such a complex song will cost me my earnings for tonight.  Perhaps you "
                             "could reimburse me to the tune of 2000 gold?\nWill you pay?"));
    EXPECT_TRUE(shown(5).has("You listen intently as the learned Bard plays the song several times.  After a couple "
                             "runs through it yourself, you have it comitted to memory."));
    EXPECT_EQ(shown(9).state, Guild_C::OFFER_LIST) << "TAB shows nothing here";
    EXPECT_TRUE(shown(11).has("You must understand that I have to eat, and since you are unwilling to make up for my "
                              "lost income, I must instead go to the Tavern to play for my supper."));
    EXPECT_TRUE(shown(16).has("I'm sorry, but the promise of funds won't get me a meal or a bed tonight.  You'll have "
                              "to return when your purse can support your desires."));
    EXPECT_NE(ann.actions()->getAction(BALLAD), nullptr);
    EXPECT_EQ(ann.actions2()->getAction(BALLAD), nullptr) << "a song is no spell";
    EXPECT_EQ(ann.actions()->getAction(DITTY), nullptr);
    EXPECT_EQ(gold(ann), 500);
    EXPECT_EQ(spent, uint32_t(30 + kLeave));
}

TEST_F(LyreTest, NonBardsAndBardsWithNothingToLearnAreTurnedAway)
{
    useKit();
    setTime(10);
    join("Mage", 0x100);
    bard("Zero", 0, 5000);
    bl3dPartyChar& all = bard("All", 1, 5000);
    all.actions()->add(masterActionList.getAction(DITTY), 0);
    all.actions()->add(masterActionList.getAction(CHANT), 0);
    visit({SDLK_a, SDLK_F1, SDLK_SPACE, SDLK_a, SDLK_F2, SDLK_SPACE, SDLK_a, SDLK_F3, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(2).has("Though you enjoy listening to the piece, you have no idea where to even begin playing it. "
                             " Perhaps it would help if you were trained in music."));
    const char* none = "There are none in the guild who know songs you do not!";
    EXPECT_TRUE(shown(5).has(none)) << "song level 0";
    EXPECT_TRUE(shown(8).has(none)) << "every song known";
}

TEST_F(LyreTest, TheGamesOwnSongsAreTaughtFromTheSpellBook)
{
    loadShippedActions();
    setTime(10);
    bl3dPartyChar& ann = bard("Ann", 1, 1000);
    const int32_t lantern = 0x004ab005;
    const int spells = ann.actions2()->count();
    visit({SDLK_a, SDLK_F1, SDLK_ESCAPE, SDLK_ESCAPE});
    const std::vector<std::string> offered = offerNames();
    EXPECT_NE(std::find(offered.begin(), offered.end(), "Lantern Song"), offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "Hearthsong"), offered.end()) << "a level-2 song";
    // Buy the Lantern Song wherever it stands in the list.
    const auto at = std::find(offered.begin(), offered.end(), "Lantern Song") - offered.begin();
    std::vector<Step> keys{SDLK_a, SDLK_F1};
    for (long i = 0; i < at; ++i)
        keys.emplace_back(SDLK_DOWN);
    keys.insert(keys.end(), {SDLK_RETURN, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    visit(keys);
    EXPECT_NE(ann.actions()->getAction(lantern), nullptr);
    EXPECT_EQ(ann.actions2()->count(), spells);
    EXPECT_EQ(gold(ann), 0);
}

} // namespace
