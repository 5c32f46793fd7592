// The Collegium of Magika driven by pushed keys through its states: its
// hours, training, the spells offered by class, school and level, buying
// one, its description, and changing path for a Magician and for the
// elemental classes; the texts shown, the member's level, spell book,
// attributes, class and gold, and the game time spent.
#include "TownFixture.h"

#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "town/Event_1003.h"

namespace {

using namespace town;

constexpr int kLeave = 30;

enum KitIds : int32_t {
    BOLT = 0x00090101,     // Magician school 1, level 1
    WARD = 0x00090102,     // Magician school 1, level 2, range 40
    MIST = 0x00090103,     // Magician school 2, level 1
    SKIN = 0x00090104,     // the elemental classes and the Magician, school 0, level 1
    LORE = 0x00090105,     // Magician school 1, level 3
    FIST = 0x00090106,     // Geomancer, level 1
    GALE = 0x00090107,     // Aeromancer, level 1
    CLAW = 0x00090108,     // not a spell
};

class CollegiumTest : public TownFixture {
protected:
    void SetUp() override
    {
        TownFixture::SetUp();
        if (HasFatalFailure())
            return;
        useActions({new FakeSpell(BOLT, "Arcane Bolt", "ARBO", 0x100, 1, 1),
                    new FakeSpell(WARD, "Mind Ward", "MIWA", 0x100, 2, 1, 5, 40),
                    new FakeSpell(MIST, "Mist Veil", "MIVE", 0x100, 1, 2),
                    new FakeSpell(SKIN, "Stone Skin", "STSK", 0x3F00, 1, 0),
                    new FakeSpell(LORE, "Deep Lore", "DELO", 0x100, 3, 1),
                    new FakeSpell(FIST, "Earth Fist", "EAFI", 0x200, 1, 0),
                    new FakeSpell(GALE, "Gale", "GALE", 0x800, 1, 0), new FakeAction(CLAW)});
        setTime(10);
    }
    // Runs one visit with these keys; returns the game time it took.
    uint32_t visit(const std::vector<Step>& keys)
    {
        guild_ = std::make_unique<Event_1003_C>(&params_);
        forget();
        return visitBuilding(*guild_, keys);
    }
    // A caster ready to change path: "PtLv" 12, two spells of levels 1-4
    // and one of level 5 bought.
    bl3dPartyChar& readyToChange(const char* name, int32_t classId, int32_t path, int32_t gold)
    {
        bl3dPartyChar& m = join(name, classId, 20);
        m.rawAddGold(gold);
        setAttr(m, tagkey::Path, path);
        setAttr(m, tagkey::PtLv, 12);
        setAttr(m, tagkey::PtSp, 0x12222);
        setAttr(m, tagkey::SPlv, 6);
        return m;
    }
    std::vector<std::string> offerNames() const
    {
        std::vector<std::string> names;
        const ScrollInvList_C* list = guild_->getOffers();
        for (int i = 0; list && i < list->getNumLines(); ++i)
            names.push_back(list->lineAt(i)->text.c_str());
        return names;
    }
    static bool knows(bl3dPartyChar& m, int32_t id) { return m.actions2()->getAction(id) != nullptr; }

    std::unique_ptr<Event_1003_C> guild_;
};

TEST_F(CollegiumTest, OpenFromNineUntilFiveInTheAfternoon)
{
    bl3dPartyChar& mag = seasoned("Mag", 0x100, 5, 600);
    std::unique_ptr<Event_C> made = createMapEvent(1003, &params_);
    ASSERT_NE(dynamic_cast<Event_1003_C*>(made.get()), nullptr) << "the game makes the Collegium for type 1003";

    for (unsigned hour : {8u, 17u}) {
        setTime(hour, 0);
        EXPECT_EQ(visit({SDLK_SPACE}), uint32_t(kLeave));
        EXPECT_EQ(last().state, Building_C::kClosed) << hour;
        EXPECT_TRUE(last().has("We're sorry, but the masters are cloistered, contemplating the mysteries of the "
                               "universe.  Please come again."));
        EXPECT_EQ(gameworld->getSquareX(), 15);
    }
    setTime(16, 59);
    std::vector<bool> pic;
    onDisplay([&] { pic.push_back(iface.curPicNamed("Magika")); });
    // Training at 16:59 ends at 17:14: its message closes the Collegium.
    visit({SDLK_t, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_SPACE});
    EXPECT_EQ(shown(0).state, Guild_C::MENU);
    for (const char* text : {"Welcome scholars to the Collegium of Magika.  How may we help you?",
                             "(T)rain with an elder", "(A)cquire spells for your book", "(C)hange your path",
                             "(F1-F8) to View", "(ESCAPE) to Exit"})
        EXPECT_TRUE(shown(0).has(text)) << text;
    EXPECT_EQ(shown(3).state, Guild_C::TRAINED);
    EXPECT_EQ(shown(4).state, Building_C::kClosed);
    EXPECT_EQ(pic, (std::vector<bool>{true, true, true, true, false}));
    EXPECT_EQ(mag.getLevel(), 6);
}

TEST_F(CollegiumTest, TrainingCostsAHundredGoldANextLevel)
{
    bl3dPartyChar& mag = seasoned("Mag", 0x100, 5, 600);
    bl3dPartyChar& geo = seasoned("Geo", 0x200, 7, 799);
    join("Bard", 0x2, 3);
    join("Fresh", 0x100, 3);
    bl3dPartyChar& dead = seasoned("Dead", 0x100, 3, 1000);
    dead.setCurHP(0);
    const uint32_t spent = visit({SDLK_t, quiet(SDLK_F5), quiet(SDLK_F6), SDLK_F1, SDLK_y, SDLK_SPACE,
                                  SDLK_t, SDLK_F3, SDLK_SPACE, SDLK_t, SDLK_F4, SDLK_SPACE,
                                  SDLK_t, SDLK_F2, SDLK_y, SDLK_SPACE, SDLK_t, SDLK_F2, SDLK_n, SDLK_SPACE,
                                  SDLK_t, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).has("Who wishes to train with our learned instructors?"));
    EXPECT_TRUE(shown(1).has("(F1-F8) for Character"));
    EXPECT_TRUE(shown(1).has("(ESCAPE) to Continue"));
    EXPECT_EQ(shown(3).state, Guild_C::TRAIN_WHO) << "the dead and empty slots are not chosen";
    EXPECT_TRUE(shown(4).has("Your support of our guild is greatly appreciated.  This lesson will cost you 600 gold.  "
                             "Will you pay?"));
    EXPECT_TRUE(shown(4).has("(Y)es"));
    EXPECT_TRUE(shown(4).has("(N)o"));
    EXPECT_TRUE(shown(5).has("After long study at dusty tomes with skilled professors of knowledge, you find insight!"));
    EXPECT_TRUE(shown(8).has("Thou art not a man of learning or wisdom.  Be Gone!"));
    EXPECT_TRUE(shown(11).has("You find that you haven't learned as much as you thought since your last visit, and "
                              "further wisdom is beyond you."));
    EXPECT_TRUE(shown(14).mentions("This lesson will cost you 800 gold."));
    EXPECT_TRUE(shown(15).has("We appreciate your enthusiasm for education, but you do not have the funds.  Please "
                              "return when you are equiped to pay for our service."));
    EXPECT_TRUE(shown(19).has("Education is not free.  Come back when you are willing to support your education."));
    EXPECT_EQ(shown(22).state, Guild_C::MENU);
    EXPECT_EQ(mag.getLevel(), 6);
    EXPECT_EQ(gold(mag), 0);
    EXPECT_EQ(geo.getLevel(), 7);
    EXPECT_EQ(gold(geo), 799);
    EXPECT_EQ(spent, uint32_t(60 + kLeave));
}

TEST_F(CollegiumTest, SpellsAreOfferedByClassSchoolAndLevelAndBoughtIntoTheSpellBook)
{
    bl3dPartyChar& mag = join("Mag", 0x100, 3);
    setAttr(mag, tagkey::Path, 1);
    setAttr(mag, tagkey::SPlv, 2);
    setAttr(mag, tagkey::PtSp, 0x2);
    mag.actions2()->add(masterActionList.getAction(BOLT), 0);
    mag.rawAddGold(4500);
    const uint32_t spent = visit({SDLK_a, SDLK_F1, SDLK_DOWN, SDLK_UP, SDLK_RETURN, SDLK_y, SDLK_SPACE,
                                  SDLK_a, SDLK_F1, SDLK_RETURN, SDLK_n, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).has("Who wishes to purchase spells?"));
    EXPECT_TRUE(shown(1).has("(ESCAPE) to Cancel"));
    const Shown& list = shown(2);
    EXPECT_EQ(list.state, Guild_C::OFFER_LIST);
    for (const char* text : {"Gold: 4500", "Which spell?", "(TAB) for Info", "(RETURN) to Select",
                             "(ESCAPE) to Cancel", "Mind Ward", "Stone Skin", "2000", "1000"})
        EXPECT_TRUE(list.has(text)) << text;
    EXPECT_TRUE(shown(5).has("That knowledge will cost you 2000 gold.  Will you pay?"));
    EXPECT_TRUE(shown(6).has("You study the symbols in the ancient texts, and acquire the lore you seek!"));
    EXPECT_TRUE(knows(mag, WARD));
    EXPECT_EQ(mag.actions()->getAction(WARD), nullptr) << "a spell goes to the spell book only";
    EXPECT_EQ(attr(mag, tagkey::PtSp), 0x12) << "a level-2 spell counts 16";
    EXPECT_EQ(gold(mag), 2500);
    EXPECT_EQ(offerNames(), (std::vector<std::string>{"Stone Skin"})) << "what is known is not offered again";
    EXPECT_TRUE(shown(11).has("I'm sorry to hear that you are unwilling to acquire this valuable information.  If "
                              "you change your mind, it will be here for you."));
    EXPECT_EQ(spent, uint32_t(30 + kLeave));
}

TEST_F(CollegiumTest, TheFirstOfferListHoldsTheSchoolsSpellsAndTheElementalOnes)
{
    bl3dPartyChar& mag = join("Mag", 0x100, 3);
    setAttr(mag, tagkey::Path, 1);
    setAttr(mag, tagkey::SPlv, 2);
    visit({SDLK_a, SDLK_F1, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(offerNames(), (std::vector<std::string>{"Arcane Bolt", "Mind Ward", "Stone Skin"}));
    const ScrollInvList_C* list = guild_->getOffers();
    EXPECT_EQ(list->lineAt(1)->price, 2000u);
    EXPECT_EQ(list->lineAt(1)->value, WARD);

    bl3dPartyChar& geo = join("Geo", 0x200, 3);
    setAttr(geo, tagkey::Path, 0x10);
    setAttr(geo, tagkey::SPlv, 1);
    visit({SDLK_a, SDLK_F2, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(offerNames(), (std::vector<std::string>{"Stone Skin", "Earth Fist"}));
}

TEST_F(CollegiumTest, ThoseWhoMayNotLearnAndThoseWhoKnowAllAreTurnedAway)
{
    join("Bard", 0x2);
    bl3dPartyChar& mag = join("Mag", 0x100);
    setAttr(mag, tagkey::Path, 1);
    setAttr(mag, tagkey::SPlv, 1);
    mag.actions2()->add(masterActionList.getAction(BOLT), 0);
    mag.actions2()->add(masterActionList.getAction(SKIN), 0);
    mag.rawAddGold(999);
    bl3dPartyChar& poor = join("Poor", 0x100);
    setAttr(poor, tagkey::Path, 2);
    setAttr(poor, tagkey::SPlv, 1);
    poor.rawAddGold(999);
    visit({SDLK_a, SDLK_F1, SDLK_SPACE, SDLK_a, SDLK_F2, SDLK_SPACE, SDLK_a, SDLK_F3, SDLK_RETURN, SDLK_y,
           SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(2).has("The concepts involved are clearly beyond you!  Perhaps the study of magic would help."));
    EXPECT_TRUE(shown(5).has("All of the spells in the great books that you do not already know are seemingly "
                             "gibberish.  Perhaps further study is required?"));
    EXPECT_TRUE(shown(8).mentions("Mist Veil"));
    EXPECT_TRUE(shown(10).has("I notice that your purse does not agree with your desire.  Return when your funds are "
                              "more plentiful, and we'll be happy to share our wisdom with you."));
    EXPECT_FALSE(knows(poor, MIST));
    EXPECT_EQ(gold(poor), 999);
}

TEST_F(CollegiumTest, ASpellsDescriptionShowsItsSchoolCodeCostAndRange)
{
    bl3dPartyChar& mag = join("Mag", 0x100, 3);
    setAttr(mag, tagkey::Path, 1);
    setAttr(mag, tagkey::SPlv, 2);
    visit({SDLK_a, SDLK_F1, SDLK_DOWN, SDLK_TAB, quiet(SDLK_DOWN), SDLK_ESCAPE, SDLK_DOWN, SDLK_TAB, SDLK_ESCAPE,
           SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown& ward = shown(4);
    EXPECT_EQ(ward.state, Event_1003_C::SPELL_INFO);
    for (const char* text : {"Mind Ward", "Magician (Lvl: 2)", "Code: MIWA", "Cost: 5", "Range: 40'",
                             "A spell of the test kit.", "(ESCAPE) to Go Back"})
        EXPECT_TRUE(ward.has(text)) << text;
    EXPECT_EQ(shown(6).state, Guild_C::OFFER_LIST) << "ESC goes back to the list";
    // A spell of no school that the Magician may learn names no school.
    const Shown& skin = shown(8);
    EXPECT_TRUE(skin.has("Stone Skin"));
    EXPECT_TRUE(skin.has(" (Lvl: 1)"));
    EXPECT_FALSE(skin.mentions("Range:"));
}

TEST_F(CollegiumTest, SpellCountsStopAtFifteenAndNeverCarryIntoTheNextLevel)
{
    struct Case {
        int32_t before;
        int32_t level;
        int32_t after;
    };
    for (const Case& c : {Case{0x0, 1, 0x1}, Case{0x2, 2, 0x12}, Case{0xF, 1, 0xF}, Case{0xF2, 2, 0xF2},
                          Case{0x12222, 5, 0x22222}, Case{0x0, 8, 0x10000000}, Case{int32_t(0xF0000000), 8, int32_t(0xF0000000)},
                          Case{0x5, 0, 0x5}, Case{0x5, 9, 0x5}})
        EXPECT_EQ(Event_1003_C::countSpell(c.before, c.level), c.after) << c.before << " level " << c.level;

    // Bought at the guild: the sixteenth level-1 spell leaves the level-2
    // count alone.
    bl3dPartyChar& mag = join("Mag", 0x100, 3);
    setAttr(mag, tagkey::Path, 1);
    setAttr(mag, tagkey::SPlv, 1);
    setAttr(mag, tagkey::PtSp, 0x2F);
    mag.rawAddGold(1000);
    visit({SDLK_a, SDLK_F1, SDLK_RETURN, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(knows(mag, BOLT));
    EXPECT_EQ(attr(mag, tagkey::PtSp), 0x2F);
}

TEST_F(CollegiumTest, AMagicianMovesOnToTheNextSchool)
{
    bl3dPartyChar& mag = readyToChange("Mag", 0x100, 1, 20000);
    const uint32_t spent = visit({SDLK_c, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_a, SDLK_F1, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).has("Who wishes to change their path?"));
    EXPECT_TRUE(shown(2).has("Instruction in the basic techniques required for your new path will cost 20000 gold.  "
                             "Will you pay?"));
    EXPECT_TRUE(shown(3).has("After the wise members of the guild instruct you in the basic techniques and principals "
                             "of your new path, you feel ready to begin exploring new facets of the world!"));
    EXPECT_EQ(attr(mag, tagkey::Path), 2);
    EXPECT_EQ(attr(mag, tagkey::PtLv), 1);
    EXPECT_EQ(attr(mag, tagkey::SPlv), 1);
    EXPECT_EQ(attr(mag, tagkey::PtSp), 0);
    EXPECT_EQ(gold(mag), 0);
    EXPECT_EQ(mag.getClassId(), 0x100);
    EXPECT_EQ(offerNames(), (std::vector<std::string>{"Mist Veil", "Stone Skin"}))
        << "the new school's spells and the elemental ones";
    EXPECT_EQ(spent, uint32_t(60 + kLeave));
}

TEST_F(CollegiumTest, APathChangeNeedsTheGuildTheLevelTheSpellsAndAFurtherPath)
{
    join("Bard", 0x2, 20);
    readyToChange("Last", 0x100, 5, 100000);
    setAttr(readyToChange("Young", 0x100, 1, 100000), tagkey::PtLv, 11);
    setAttr(readyToChange("Few", 0x100, 1, 100000), tagkey::PtSp, 0x02222);
    readyToChange("Iso", 0x2000, 0x100, 100000);
    bl3dPartyChar& poor = readyToChange("Poor", 0x100, 3, 39999);
    visit({SDLK_c, SDLK_F1, SDLK_SPACE, SDLK_c, SDLK_F2, SDLK_SPACE, SDLK_c, SDLK_F3, SDLK_SPACE, SDLK_c, SDLK_F4,
           SDLK_SPACE, SDLK_c, SDLK_F5, SDLK_SPACE, SDLK_c, SDLK_F6, SDLK_y, SDLK_SPACE, SDLK_c, SDLK_F6, SDLK_n,
           SDLK_SPACE, SDLK_c, quiet(SDLK_F8), SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(2).has("Though your desire to now explore the magical lore is laudable, instruction must begin "
                             "at a much younger age than yours.  Perhaps you should seek advancement at your own "
                             "guild?"));
    const char* notReady =
        "You do not meet the minimum requirements for a path change!  Please return when you are better prepared.";
    for (size_t i : {5u, 8u, 11u, 14u})
        EXPECT_TRUE(shown(i).has(notReady)) << i;
    EXPECT_TRUE(shown(17).mentions("will cost 40000 gold."));
    EXPECT_TRUE(shown(18).has("I notice that your purse does not agree with your desire.  Return when your funds are "
                              "more plentiful, and we'll be happy to help you find your way."));
    EXPECT_TRUE(shown(22).has("I'm sorry to hear that you are unwilling to pay for such complex instruction.  If you "
                              "change your mind, we will be here for you."));
    EXPECT_EQ(shown(25).state, Event_1003_C::PATH_WHO) << "F8 with six members does nothing";
    EXPECT_EQ(shown(26).state, Guild_C::MENU);
    EXPECT_EQ(attr(poor, tagkey::Path), 3);
    EXPECT_EQ(gold(poor), 39999);
}

TEST_F(CollegiumTest, AnElementalMemberAddsAnElementAndTakesItsClass)
{
    bl3dPartyChar& geo = readyToChange("Geo", 0x200, 0x10, 20000);
    const uint32_t spent = visit({SDLK_c, SDLK_F1, quiet(SDLK_g), SDLK_a, SDLK_y, SDLK_SPACE, SDLK_a, SDLK_F1,
                                  SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown& choice = shown(2);
    EXPECT_EQ(choice.state, Event_1003_C::PATH_CHOICE);
    EXPECT_TRUE(choice.has("Which path do you wish to pursue?"));
    EXPECT_TRUE(choice.has("(A)eromancer"));
    EXPECT_FALSE(choice.has("(G)eomancer")) << "a Geomancer is not offered its own element";
    EXPECT_TRUE(choice.has("(ESCAPE) to Cancel"));
    EXPECT_EQ(shown(3).state, Event_1003_C::PATH_CHOICE) << "'g' is no choice for a Geomancer";
    EXPECT_TRUE(shown(4).mentions("will cost 20000 gold."));
    EXPECT_EQ(attr(geo, tagkey::Path), 0x50);
    EXPECT_EQ(geo.getClassId(), 0x800);
    EXPECT_EQ(attr(geo, tagkey::SPlv), 1);
    EXPECT_EQ(attr(geo, tagkey::PtLv), 1);
    EXPECT_EQ(attr(geo, tagkey::PtSp), 0);
    EXPECT_EQ(offerNames(), (std::vector<std::string>{"Stone Skin", "Gale"})) << "the spells of its new class";
    EXPECT_EQ(spent, uint32_t(60 + kLeave));

    // With both elements there is nothing to choose: only ESC leaves.
    setAttr(geo, tagkey::PtLv, 12);
    setAttr(geo, tagkey::PtSp, 0x12222);
    visit({SDLK_c, SDLK_F1, quiet(SDLK_g), quiet(SDLK_a), SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_FALSE(shown(2).has("(G)eomancer"));
    EXPECT_FALSE(shown(2).has("(A)eromancer"));
    EXPECT_EQ(shown(4).state, Event_1003_C::PATH_CHOICE);
    EXPECT_EQ(shown(5).state, Guild_C::MENU);
}

TEST_F(CollegiumTest, AnElementalMemberWithoutPathBitsKeepsItsOwnElement)
{
    // "Path" never set: a Hydromancer's own element is that of its class.
    bl3dPartyChar& hyd = readyToChange("Hyd", 0x400, 0, 20000);
    visit({SDLK_c, SDLK_F1, SDLK_g, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(2).has("(G)eomancer"));
    EXPECT_TRUE(shown(2).has("(A)eromancer"));
    EXPECT_TRUE(shown(3).mentions("will cost 20000 gold."));
    EXPECT_EQ(attr(hyd, tagkey::Path), 0x30);
    EXPECT_EQ(hyd.getClassId(), 0x200);
}

TEST_F(CollegiumTest, F1InTheMenuShowsTheMembersSheet)
{
    join("Mag", 0x100);
    int sheets = 0;
    onDisplay([&] { sheets += CharView_C::getState() != 0 ? 1 : 0; });
    visit({SDLK_F1, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_GT(sheets, 0) << "F1 opened no character sheet";
    EXPECT_EQ(last().state, Guild_C::MENU) << "back in the menu after the sheet";
}

} // namespace
