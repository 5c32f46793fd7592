// Character creation driven by pushed keys through every page: every race
// with the classes that take it, portraits, the name's rules, going back,
// cancelling, a race no class takes, and what the new adventurer carries
// (rolls, standard actions, the class's gifts).
#include "TownFixture.h"

#include "core/ScrollList.h"
#include "core/TagList.h"
#include "rules/ActionList.h"
#include "rules/CharCreation.h"
#include "rules/TagKeys.h"
#include "town/CreateChar.h"

#include <array>

namespace {

using namespace town;

constexpr int32_t STANDARD_ACTIONS[] = {0x0e0001, 0x320003, 0x320004, 0x2a00af, 0x320005};

class CreateCharTest : public TownFixture {
protected:
    std::unique_ptr<bl3dPartyChar> create(std::initializer_list<Step> steps)
    {
        watch([] { return CreateChar_C::getState(); });
        script(steps);
        return CreateChar_C::run(&iface, nullptr);
    }
    static std::vector<std::string> classLines()
    {
        std::vector<std::string> lines;
        const ScrollList_C* list = CreateChar_C::getClassList();
        for (int i = 0; list && i < list->getNumLines(); ++i)
            lines.push_back(list->lineText(i));
        return lines;
    }
    // The classes of the class file that take the race and the stats.
    static std::vector<std::string> classesFor(int32_t race, const bl3dStatBlock& stats)
    {
        std::vector<std::string> names;
        for (const ClassDef_S& c : classDef)
            if (c.allows(race, &stats))
                names.push_back(c.name.c_str());
        return names;
    }
    static std::array<int32_t, STAT_COUNT> current(const bl3dStatBlock& stats)
    {
        std::array<int32_t, STAT_COUNT> v{};
        for (int i = 0; i < STAT_COUNT; ++i)
            v[size_t(i)] = stats.getCur(i);
        return v;
    }
};

TEST_F(CreateCharTest, EveryRaceOffersTheClassesThatTakeItsRoll)
{
    for (int race = 1; race <= CREATION_RACES; ++race) {
        const CreationRace_S& r = *creationRace(race);
        SCOPED_TRACE(r.name);
        forget();
        bool checked = false;
        onDisplay([&] {
            if (CreateChar_C::getState() != CreateChar_C::ROLLS || checked)
                return;
            checked = true;
            EXPECT_EQ(classLines(), classesFor(race, creationStats));
            EXPECT_FALSE(classLines().empty());
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(creationStats.getCur(i) - creationStats.getBase(i), r.mods[i]) << "stat " << i;
            for (int i = 0; i < 6; ++i) {
                EXPECT_GE(creationStats.getBase(i), 8);
                EXPECT_LE(creationStats.getBase(i), 18);
            }
            EXPECT_STREQ(CreateChar_C::getPortrait(), (std::string(r.prefix) + "Female").c_str());
        });
        std::unique_ptr<bl3dPartyChar> made =
            create({static_cast<SDLKey>(r.key), SDLK_f, SDLK_c, SDLK_r, SDLK_ESCAPE});
        EXPECT_TRUE(checked);
        EXPECT_EQ(made, nullptr);
        const Shown race1 = lastIn(CreateChar_C::RACE);
        EXPECT_TRUE(race1.has("Race: "));
        EXPECT_TRUE(race1.has(r.menuText));
        EXPECT_TRUE(race1.has("(ESCAPE) to Cancel"));
        const Shown gender = lastIn(CreateChar_C::GENDER);
        EXPECT_TRUE(gender.has(r.name));
        EXPECT_TRUE(gender.has("(M)ale"));
        EXPECT_TRUE(gender.has("(F)emale"));
        EXPECT_TRUE(lastIn(CreateChar_C::PORTRAIT).has("(S)wap Pic"));
        const Shown rolls = lastIn(CreateChar_C::ROLLS);
        EXPECT_TRUE(rolls.has(std::string(r.name) + " (F)"));
        for (const char* t : {"St:", "IQ:", "Co:", "Dx:", "Wi:", "Lk:", "Cn:", "Ch:", "AC:", "(R)e-roll", "(G)o back",
                              "(RETURN) to Accept"})
            EXPECT_TRUE(rolls.has(t)) << t;
    }
    EXPECT_TRUE(rosterNames().empty()) << "a cancelled creation leaves nothing behind";
    EXPECT_EQ(party->getCount(), 0);
}

TEST_F(CreateCharTest, NewAdventurerCarriesItsRollsActionsAndGifts)
{
    loadShippedActions();
    std::array<int32_t, STAT_COUNT> shownStats{};
    onDisplay([&] {
        if (CreateChar_C::getState() == CreateChar_C::NAME)
            shownStats = current(creationStats);
    });
    std::unique_ptr<bl3dPartyChar> rolf =
        create({SDLK_h, SDLK_m, SDLK_c, SDLK_RETURN, shifted(SDLK_r), SDLK_o, SDLK_l, SDLK_f, SDLK_RETURN});
    ASSERT_NE(rolf, nullptr);
    EXPECT_STREQ(rolf->getName(), "Rolf");
    EXPECT_STREQ(rolf->nameBuffer(), "Human_Male");
    EXPECT_EQ(rolf->getRace(), 1);
    EXPECT_TRUE(rolf->isMale());
    EXPECT_EQ(rolf->getLevel(), 1);
    EXPECT_EQ(rolf->getXP(), 0);
    EXPECT_GT(rolf->getMaxHP(), 0);
    EXPECT_EQ(rolf->getCurHP(), rolf->getMaxHP());
    EXPECT_EQ(rolf->getCurSP(), rolf->getMaxSP());
    EXPECT_GE(rolf->getGold(), 200);
    EXPECT_LT(rolf->getGold(), 300);
    for (int32_t id : STANDARD_ACTIONS)
        EXPECT_NE(rolf->actions()->getAction(id), nullptr) << std::hex << id;
    // The base values are what the name page showed, with the gifts' base
    // changes on top; no modifier is left.
    const bl3dStatBlock* stats = rolf->getStatBlock();
    for (int i = 0; i < STAT_COUNT; ++i) {
        EXPECT_TRUE(stats->modsOf(i).empty()) << "stat " << i;
        if (i != STAT_AC && i != STAT_ATTACK && i != STAT_DAMAGE) {
            EXPECT_EQ(stats->getBase(i), shownStats[size_t(i)]) << "stat " << i;
        }
    }
    const Shown page = lastIn(CreateChar_C::NAME);
    EXPECT_TRUE(page.has("Rolf_"));
    EXPECT_TRUE(page.has("Human (M)"));
    EXPECT_TRUE(page.has("Lv: 1"));
    EXPECT_TRUE(page.has(creationClassName(rolf->getClassId())));
    char hp[32];
    std::snprintf(hp, sizeof hp, "HP: %2d/%2d", rolf->getMaxHP(), rolf->getMaxHP());
    EXPECT_TRUE(page.has(hp)) << hp;
    EXPECT_TRUE(page.has("XP: 0"));
    EXPECT_TRUE(page.has("Gold: " + std::to_string(rolf->getGold())));
    EXPECT_TRUE(page.has("Enter a Name"));
    EXPECT_TRUE(page.has("(RETURN) to Save"));
    EXPECT_TRUE(rosterNames().empty()) << "the screen stores nothing itself";
}

// Each class's gifts on top of the class file: base stat changes,
// attributes (ordinary integers) and actions for either list.
TEST_F(CreateCharTest, ClassGiftsByClass)
{
    loadShippedActions();
    struct Gift {
        int32_t bit;
        int32_t ac, attack, damage;
        std::vector<std::pair<const char*, int32_t>> attrs;
        std::vector<int32_t> list1, list2;
    };
    const Gift gifts[] = {
        {0x1, -1, 0, 2, {{tagkey::berserkLvl, 0}, {tagkey::berserkMax, 0}, {tagkey::Bashing, 10}}, {}, {}},
        {0x2, 0, 0, 0, {{tagkey::MaxSongs, 2}, {tagkey::CurSongs, 2}, {tagkey::SongLvl, 1}}, {0x0e03e8, 0x5ab00d}, {}},
        {0x4, 0, 1, 1, {}, {}, {}},
        {0x8, 0, 0, 0, {{tagkey::h2hExp, 2}}, {}, {}},
        {0x10, -1, 0, 0, {{tagkey::Expert, 1}}, {0x883001}, {}},
        {0x20, 0, 1, 1, {{tagkey::FightEvilMax, 2}, {tagkey::FightEvilCur, 2}, {tagkey::Prof, 1}}, {}, {}},
        {0x40, 0, 0, 0, {{tagkey::Expert, 1}, {tagkey::Prof, 1}}, {0x883002}, {}},
        {0x80, 0, 0, 0, {{tagkey::InitBonus, 2}, {tagkey::Expert, 2}, {tagkey::Prof, 1}, {tagkey::LockPick, 10}}, {0x0e03e8, 0x1e03e9}, {}},
        {0x100, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 2}, {tagkey::Path, 1}}, {}, {0x090001, 0x0f0002}},
        {0x200, 0, 0, 0, {{tagkey::Path, 16}}, {}, {0x090101, 0x0f0102}},
        {0x400, 0, 0, 0, {{tagkey::Path, 32}}, {}, {0x09012d, 0x0f012e}},
        {0x800, 0, 0, 0, {{tagkey::Path, 64}}, {}, {0x0b0116, 0x0f0117}},
        {0x1000, 0, 0, 0, {{tagkey::Path, 128}}, {}, {0x090160, 0x0f0143}},
        {0x2000, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtSp, 0}, {tagkey::Path, 256}}, {}, {}},
        {0x4000, 0, 0, 2, {{tagkey::Claw, 1}}, {}, {}},
    };
    bl3dStatBlock stats;
    for (int i = 0; i < STAT_COUNT; ++i)
        stats.setBase(i, 10);
    ClassRoll_S roll;
    roll.hp = 12;
    roll.sp = 3;
    roll.gold = 250;
    for (const Gift& g : gifts) {
        SCOPED_TRACE(creationClassName(g.bit));
        const ClassDef_S* cls = findClassDef(g.bit);
        ASSERT_NE(cls, nullptr);
        testing::internal::CaptureStderr();
        std::unique_ptr<bl3dPartyChar> m = makeCreatedChar("Gift", *cls, 1, true, "Human_Male", stats, roll);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(m->getStatBlock()->getBase(STAT_AC), 10 + g.ac);
        EXPECT_EQ(m->getStatBlock()->getBase(STAT_ATTACK), 10 + g.attack);
        EXPECT_EQ(m->getStatBlock()->getBase(STAT_DAMAGE), 10 + g.damage);
        for (const auto& a : g.attrs) {
            EXPECT_TRUE(m->getTagList()->hasKey(a.first)) << a.first;
            EXPECT_EQ(m->getTagList()->intValue(a.first), a.second) << a.first;
        }
        for (int32_t id : g.list1) {
            ASSERT_NE(masterActionList.getAction(id), nullptr) << std::hex << id;
            EXPECT_NE(m->actions()->getAction(id), nullptr) << std::hex << id;
        }
        for (int32_t id : g.list2) {
            ASSERT_NE(masterActionList.getAction(id), nullptr) << std::hex << id;
            EXPECT_NE(m->actions2()->getAction(id), nullptr) << std::hex << id;
        }
        EXPECT_EQ(m->getMaxHP(), 12);
        EXPECT_EQ(m->getGold(), 250);
    }
    // A Harper's songs count as ordinary integers.
    const ClassDef_S* harper = findClassDef(0x2);
    std::unique_ptr<bl3dPartyChar> h = makeCreatedChar("Lyra", *harper, 1, false, "Human_Female", stats, roll);
    const TagNode_S* songs = h->getTagList()->find(tagkey::CurSongs);
    ASSERT_NE(songs, nullptr);
    EXPECT_EQ(songs->value.kind, 2);
}

TEST_F(CreateCharTest, NameMustBeNewAndAtMostTwelveLetters)
{
    store("Rolf");
    // "Rolf" is taken: RETURN keeps the name page. Emptied, RETURN does
    // nothing; thirteen letters keep twelve.
    std::vector<Step> steps{SDLK_h, SDLK_m, SDLK_c, SDLK_RETURN, shifted(SDLK_r), SDLK_o, SDLK_l, SDLK_f,
                            quiet(SDLK_RETURN), SDLK_BACKSPACE, SDLK_DELETE, SDLK_BACKSPACE, SDLK_BACKSPACE,
                            quiet(SDLK_BACKSPACE), quiet(SDLK_RETURN)};
    for (char c = 'a'; c <= 'm'; ++c)
        steps.push_back(c == 'm' ? quiet(static_cast<SDLKey>(c)) : Step(static_cast<SDLKey>(c)));
    steps.push_back(quiet(SDLK_SPACE));
    steps.push_back(SDLK_RETURN);
    watch([] { return CreateChar_C::getState(); });
    script(steps);
    std::unique_ptr<bl3dPartyChar> made = CreateChar_C::run(&iface, nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->getName(), "abcdefghijkl");
    EXPECT_EQ(stepsLeft(), 0u);
    bool refused = false;
    for (const Shown& s : shown())
        refused = refused || (s.state == CreateChar_C::NAME && s.has("Rolf_"));
    EXPECT_TRUE(refused);
    bool emptyOffersNoSave = false;
    for (const Shown& s : shown())
        if (s.state == CreateChar_C::NAME && s.has("_"))
            emptyOffersNoSave = !s.has("(RETURN) to Save");
    EXPECT_TRUE(emptyOffersNoSave);
    EXPECT_EQ(rosterNames(), std::vector<std::string>{"Rolf"});
}

// A monster that joined since the last save has no roster entry yet, but
// the next save stores it under its name: its name is taken all the same,
// and a recruit given it would be overwritten by the monster.
TEST_F(CreateCharTest, NameOfAMonsterInThePartyIsTakenToo)
{
    ASSERT_TRUE(party->addMember(joinedMonster("Wolf")));
    ASSERT_TRUE(rosterNames().empty());
    std::unique_ptr<bl3dPartyChar> made = create({SDLK_h, SDLK_m, SDLK_c, SDLK_RETURN, shifted(SDLK_w), SDLK_o,
                                                  SDLK_l, SDLK_f, quiet(SDLK_RETURN), SDLK_e, SDLK_RETURN});
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->getName(), "Wolfe") << "the wolf's name was taken for the recruit";
    EXPECT_EQ(stepsLeft(), 0u);
}

TEST_F(CreateCharTest, BackFromTheNameTakesTheClassOffOnce)
{
    std::vector<std::array<int32_t, STAT_COUNT>> atName;
    onDisplay([&] {
        if (CreateChar_C::getState() == CreateChar_C::NAME)
            atName.push_back(current(creationStats));
    });
    std::unique_ptr<bl3dPartyChar> made =
        create({SDLK_h, SDLK_m, SDLK_c, SDLK_RETURN, SDLK_x, SDLK_ESCAPE, SDLK_RETURN, SDLK_y, SDLK_RETURN});
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->getName(), "y") << "ESC on the name page forgot the typed name";
    ASSERT_GE(atName.size(), 2u);
    EXPECT_EQ(atName.front(), atName.back()) << "the class's modifiers were added twice";
    EXPECT_NE(CreateChar_C::getClassId(), 0);
}

TEST_F(CreateCharTest, PortraitsCycleThroughTheNumberedOnesAndBack)
{
    std::vector<std::string> portraits;
    onDisplay([&] { portraits.push_back(CreateChar_C::getPortrait()); });
    std::unique_ptr<bl3dPartyChar> made = create(
        {SDLK_h, SDLK_m, SDLK_s, SDLK_s, SDLK_s, quiet(SDLK_ESCAPE), SDLK_g, SDLK_f, SDLK_g, SDLK_g, SDLK_ESCAPE});
    EXPECT_EQ(made, nullptr);
    const std::vector<std::string> expected{"",
                                            "Human_",
                                            "Human_Male",
                                            "Human_Male02",
                                            "Human_Male03",
                                            "Human_Male",
                                            "Human_Male",
                                            "Human_",
                                            "Human_Female",
                                            "Human_",
                                            ""};
    // The race page is drawn again on 'g' from the gender page: its portrait
    // is whatever was chosen last.
    ASSERT_GE(portraits.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(portraits.begin(), portraits.begin() + 9),
              std::vector<std::string>(expected.begin(), expected.begin() + 9));
}

// With no class that takes anyone, the roll gives up and says so instead of
// rolling for ever; the player goes back to the race page.
TEST_F(CreateCharTest, RaceThatNoClassTakesIsToldNotRolledForever)
{
    const std::vector<ClassDef_S> saved = classDef;
    classDef.clear();
    std::unique_ptr<bl3dPartyChar> made = create({SDLK_s, SDLK_m, SDLK_c, quiet(SDLK_c), SDLK_SPACE, SDLK_ESCAPE});
    classDef = saved;
    EXPECT_EQ(made, nullptr);
    const Shown told = lastIn(CreateChar_C::NO_CLASS);
    EXPECT_TRUE(told.mentions("No class of the realm will take this Saurian"));
    EXPECT_TRUE(told.has("(SPACE) to Continue"));
    EXPECT_EQ(last().state, CreateChar_C::RACE);
}

} // namespace
