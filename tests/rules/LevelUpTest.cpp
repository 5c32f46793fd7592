// Level gains: when one is due, the hit and spell points it brings, and each
// class's rules at its milestone levels.
#include "MonsterTestEnv.h"

#include "rules/LevelUp.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <map>
#include <memory>
#include <string>

namespace {

class LevelUpTest : public MonsterRulesTest {
protected:
    void SetUp() override {
        MonsterRulesTest::SetUp();
        // One level per experience point: any large XP makes a level due.
        LevelTable_S t;
        t.step = 1;
        levelTables.push_back(t);
        for (int bit = 0; bit < 15; ++bit) {
            ClassDef_S c;
            c.classId = 1 << bit;
            c.hpDie = 8;
            c.spDie = 0;
            classDef.push_back(c);
        }
    }

    std::unique_ptr<bl3dPartyChar> character(int32_t classId, int level) {
        auto pc = std::make_unique<bl3dPartyChar>("Hero", classId, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
        pc->setLevel(level);
        pc->addXP(1000000);
        return pc;
    }

    static int32_t attr(bl3dPartyChar& pc, const char* key) {
        int32_t v = 0;
        pc.getTagList()->getInt(key, v);
        return v;
    }

    static bool knows(bl3dPartyChar& pc, int32_t id, bool second = false) {
        ActionList* list = second ? pc.actions2() : pc.actions();
        for (const ActionNode_S* n = list->head(); n; n = n->next)
            if (n->action->actionID() == id)
                return true;
        return false;
    }

    // Registers a master action for each id a milestone may teach.
    void addMasterActions(std::initializer_list<int32_t> ids) {
        for (int32_t id : ids) {
            owned.push_back(std::make_unique<FakeAction>(id, "learned"));
            masterActionList.add(owned.back().get(), 0);
        }
    }

    std::vector<std::unique_ptr<bl3dAction>> owned;
};

TEST_F(LevelUpTest, DueOnlyWhenExperiencePassesTheThreshold) {
    levelTables[0].thresholds = {1000};
    levelTables[0].step = 0;
    struct Case {
        int32_t xp;
        int level;
        bool due;
    } cases[] = {
        {1000, 1, false}, {1001, 1, true}, {-5, 1, false}, {-2147483647 - 1, 1, false},
        {2147483647, 2, false}, // a table with step 0 ends: no level beyond it
    };
    for (const Case& c : cases) {
        auto pc = std::make_unique<bl3dPartyChar>("Hero", 0x1, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
        pc->setLevel(c.level);
        pc->addXP(c.xp);
        EXPECT_EQ(levelUp(pc.get(), false), c.due) << c.xp;
        EXPECT_EQ(pc->getLevel(), c.level) << "asking changes nothing";
        EXPECT_EQ(levelUp(pc.get(), true), c.due);
        EXPECT_EQ(pc->getLevel(), c.level + (c.due ? 1 : 0));
    }
}

TEST_F(LevelUpTest, NoClassOrNoTableMeansNoLevel) {
    auto pc = character(0x8000, 1);
    EXPECT_FALSE(levelUp(pc.get(), true));
    classDef[0].levelTable = 5;
    auto fighter = character(0x1, 1);
    EXPECT_FALSE(levelUp(fighter.get(), true));
    classDef[0].levelTable = -1;
    EXPECT_FALSE(levelUp(fighter.get(), true));
    EXPECT_EQ(fighter->getLevel(), 1);
    EXPECT_FALSE(levelUp(nullptr, true));
}

TEST_F(LevelUpTest, TheLastClassOfAnIdIsUsed) {
    ClassDef_S later = classDef[0];
    later.hpDie = 0;
    classDef.push_back(later);
    auto pc = character(0x1, 1);
    pc->setMaxHP(10);
    levelUp(pc.get(), true);
    EXPECT_EQ(pc->getMaxHP(), 10) << "the later class has no hit die";
}

TEST_F(LevelUpTest, HitAndSpellPoints) {
    struct Case {
        int32_t hpDie, hpBonus, cn, spDie;
        std::vector<int> draws;
        int32_t hpGain, spGain;
    } cases[] = {
        {8, 1, 16, 0, {0}, 3, 0},  {8, 1, 16, 0, {7}, 10, 0}, {8, 1, 14, 0, {7}, 8, 0},
        {0, 1, 16, 0, {}, 2, 0},   {8, 3, 15, 6, {2, 0}, 6, 7}, {8, 0, 18, 6, {0, 5}, 1, 12},
    };
    for (const Case& c : cases) {
        classDef[0].hpDie = c.hpDie;
        classDef[0].hpBonus = c.hpBonus;
        classDef[0].spDie = c.spDie;
        auto pc = character(0x1, 1);
        pc->getStatBlock()->setBase(STAT_CN, c.cn);
        pc->setMaxHP(20);
        pc->setCurHP(5);
        pc->setMaxSP(4);
        pc->setCurSP(4);
        vell::scriptGameRand(c.draws);
        ASSERT_TRUE(levelUp(pc.get(), true));
        EXPECT_EQ(vell::scriptedGameRandLeft(), 0u);
        EXPECT_EQ(pc->getMaxHP(), 20 + c.hpGain) << c.hpDie << " " << c.cn;
        EXPECT_EQ(pc->getCurHP(), 5 + c.hpGain);
        EXPECT_EQ(pc->getMaxSP(), 4 + c.spGain);
        EXPECT_EQ(pc->getCurSP(), 4 + c.spGain);
    }
}

// One gain from level L - 1 to L on a fresh character of a class.
struct Milestone {
    int32_t classId;
    int level;
    std::map<std::string, int32_t> attrs; // attributes (0 for absent)
    std::map<int, int32_t> stats;         // base stats that changed from 0
    std::vector<int32_t> learned;
};

TEST_F(LevelUpTest, ClassMilestones) {
    addMasterActions({0x1A2036, 0x1E2037, 0xE203F, 0x882038, 0x1A204C, 0x1E204D, 0xD1012, 0x1E2054, 0xA2042, 0xA2057});
    const int AC = STAT_AC, DMG = STAT_DAMAGE, ATT = STAT_ATTACK, N = STAT_EXTRA_ATTACKS;
    const Milestone cases[] = {
        {0x1, 5, {}, {{N, 2}}, {}},
        {0x1, 13, {{"0x001a2036", 2}, {"0x001a2036MAX", 2}, {"0x001e2037", 3}, {"0x001e2037MAX", 3}},
         {{AC, -1}, {DMG, 2}}, {0x1A2036, 0x1E2037}},
        {0x1, 25, {{tagkey::berserkLvl, 1}, {tagkey::berserkMax, 3}, {tagkey::CreateAbility, 0x1000}, {"0x000e203f", 3}},
         {{N, 6}, {AC, -1}, {DMG, 2}}, {0xE203F}},
        {0x1, 50, {{tagkey::berserkLvl, 3}, {tagkey::berserkMax, 9}, {tagkey::CreateAbility, 0x6000}}, {{N, 10}, {AC, -1}, {DMG, 2}},
         {0xA2042}},
        {0x1, 60, {{tagkey::CreateAbility, 0x8000}}, {{N, 11}}, {}},
        {0x2, 13, {{tagkey::MaxSongs, 1}, {tagkey::SongLvl, 2}, {tagkey::LockPick, 10}, {tagkey::CreateAbility, 0x1}}, {{N, 3}}, {}},
        {0x2, 14, {{tagkey::MaxSongs, 1}, {tagkey::LockPick, 1}, {tagkey::CreateAbility, 0x1}}, {}, {}},
        {0x2, 25, {{tagkey::MaxSongs, 1}, {tagkey::LockPick, 1}, {tagkey::SongLvl, 3}, {tagkey::CreateAbility, 0x1000005}, {"0x000a2057", 3}},
         {{N, 4}}, {0xA2057}},
        // A gain whose action the game lacks: nothing learned, no counter.
        {0x2, 37, {{tagkey::MaxSongs, 1}, {tagkey::LockPick, 1}, {tagkey::SongLvl, 4}, {"0x00882058", 0}, {"0x00882058MAX", 0}},
         {{N, 5}}, {}},
        {0x4, 19, {{tagkey::CreateAbility, 1}}, {{N, 4}}, {}},
        {0x4, 23, {{tagkey::CreateAbility, 2}}, {}, {}},
        {0x4, 13, {}, {{N, 3}, {ATT, 1}, {DMG, 1}}, {}},
        {0x8, 13, {{tagkey::h2hExp, 4}, {tagkey::CreateAbility, 0x10}}, {{N, 3}, {AC, -1}}, {0x882038}},
        {0x8, 14, {{tagkey::CreateAbility, 0x10}}, {}, {}},
        {0x10, 25, {{tagkey::Expert, 3}, {tagkey::CreateAbility, 0x10122}, {"0x001a204c", 3}, {"0x001e204d", 4}},
         {{N, 5}, {AC, -1}}, {0x1A204C, 0x1E204D}},
        {0x40, 26, {{tagkey::LockPick, 2}, {tagkey::CreateAbility, 0x25}}, {}, {}},
        {0x80, 13, {{tagkey::LockPick, 2}, {tagkey::InitBonus, 4}, {tagkey::Expert, 4}, {tagkey::Prof, 3}, {tagkey::LocateTrap, 4}, {tagkey::Defuse, 4},
                    {tagkey::CreateAbility, 0x10}},
         {{N, 3}}, {}},
        {0x80, 25, {{tagkey::LockPick, 2}, {tagkey::InitBonus, 10}, {tagkey::CreateAbility, 0x52}}, {{N, 4}}, {0xD1012}},
        {0x100, 13, {{tagkey::PtLv, 1}, {tagkey::SPlv, 1}, {tagkey::CreateAbility, 0x1010100}}, {}, {}},
        {0x800, 17, {{tagkey::PtLv, 1}, {tagkey::SPlv, 1}, {tagkey::CreateAbility, 0x1102000}}, {}, {}},
        {0x2000, 5, {{tagkey::PtLv, 1}, {tagkey::SPlv, 1}}, {{N, 2}}, {}},
        {0x4000, 50, {{tagkey::Claw, 5}, {"0x001e2054", 6}, {"0x001e2054MAX", 6}, {tagkey::CreateAbility, 0x6000}},
         {{N, 5}, {DMG, 2}}, {0x1E2054}},
    };
    for (const Milestone& m : cases) {
        auto pc = character(m.classId, m.level - 1);
        ASSERT_TRUE(levelUp(pc.get(), true));
        ASSERT_EQ(pc->getLevel(), m.level);
        const std::string where = "class " + std::to_string(m.classId) + " L" + std::to_string(m.level);
        for (const auto& [key, value] : m.attrs)
            EXPECT_EQ(attr(*pc, key.c_str()), value) << where << " " << key;
        for (int s = 0; s < STAT_COUNT; ++s) {
            const auto it = m.stats.find(s);
            EXPECT_EQ(pc->getStatBlock()->getBase(s), it == m.stats.end() ? 0 : it->second) << where << " stat " << s;
        }
        int known = 0;
        for (const ActionNode_S* n = pc->actions()->head(); n; n = n->next)
            ++known;
        EXPECT_EQ(known, static_cast<int>(m.learned.size())) << where;
        for (int32_t id : m.learned)
            EXPECT_TRUE(knows(*pc, id)) << where << " learns " << std::hex << id;
    }
}

TEST_F(LevelUpTest, MagiciansRaiseTheirPathLevelAndSpellLevelOnOddSteps) {
    auto pc = character(0x200, 1);
    const int32_t expected[][2] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}};
    for (const auto& e : expected) {
        ASSERT_TRUE(levelUp(pc.get(), true));
        EXPECT_EQ(attr(*pc, tagkey::PtLv), e[0]);
        EXPECT_EQ(attr(*pc, tagkey::SPlv), e[1]);
    }
}

TEST_F(LevelUpTest, GainsAddToWhatACharacterHas) {
    auto delver = character(0x80, 12);
    delver->getTagList()->setInt(tagkey::LockPick, 5);
    ASSERT_TRUE(levelUp(delver.get(), true));
    EXPECT_EQ(attr(*delver, tagkey::LockPick), 7);
    EXPECT_EQ(delver->getStatBlock()->getBase(STAT_EXTRA_ATTACKS), 3);
    EXPECT_EQ(attr(*delver, tagkey::InitBonus), 4);

    // The monk-like class steps its armour on odd levels only down to -11.
    auto acolyte = character(0x8, 2);
    acolyte->getStatBlock()->setBase(STAT_AC, -10);
    levelUp(acolyte.get(), true); // 3
    EXPECT_EQ(acolyte->getStatBlock()->getBase(STAT_AC), -11);
    levelUp(acolyte.get(), true); // 4
    levelUp(acolyte.get(), true); // 5
    EXPECT_EQ(acolyte->getStatBlock()->getBase(STAT_AC), -11);

    // Every bard level adds a song; from 14 a point of lock picking.
    auto harper = character(0x2, 12);
    for (int i = 0; i < 4; ++i)
        levelUp(harper.get(), true); // 13..16
    EXPECT_EQ(attr(*harper, tagkey::MaxSongs), 4);
    EXPECT_EQ(attr(*harper, tagkey::LockPick), 13);
}

TEST_F(LevelUpTest, ProtectorsLearnTheirSpellsUpToALevel) {
    FakeSpell own1(0x00090101, "OWN1", 0x20, 1), own2(0x00090102, "OWN2", 0x21, 2), own3(0x00090103, "OWN3", 0x20, 3);
    FakeSpell other(0x00090104, "OTHR", 0x100, 1);
    FakeAction skill(0x000a2039, "skill");
    for (bl3dAction* a : std::initializer_list<bl3dAction*>{&own1, &own2, &own3, &other, &skill})
        masterActionList.add(a, 0);
    auto pc = character(0x20, 6);
    ASSERT_TRUE(levelUp(pc.get(), true)); // 7: up to level 1
    EXPECT_TRUE(knows(*pc, 0x00090101, true));
    EXPECT_FALSE(knows(*pc, 0x00090102, true));
    EXPECT_FALSE(knows(*pc, 0x00090104, true));
    pc->setLevel(12);
    ASSERT_TRUE(levelUp(pc.get(), true)); // 13: up to level 2
    int spells = 0;
    for (const ActionNode_S* n = pc->actions2()->head(); n; n = n->next)
        ++spells;
    EXPECT_EQ(spells, 2) << "each spell once";
    EXPECT_TRUE(knows(*pc, 0x00090102, true));
    EXPECT_TRUE(knows(*pc, 0x000a2039)) << "the skill of level 13";
    EXPECT_EQ(pc->getStatBlock()->getBase(STAT_ATTACK), 1);
}

} // namespace
