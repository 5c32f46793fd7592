// Shared pieces of the monster, class and shop tests: a fixture that also
// leaves the monster list, the enemy list, the class tables and the item
// creation kinds as it found them, and builders for monster records and item
// types.
#pragma once
#include "RulesTestEnv.h"

#include "rules/ClassDef.h"
#include "rules/EnemyList.h"
#include "rules/ItemCreate.h"
#include "rules/ItemType.h"
#include "rules/LevelTable.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"

#include <memory>
#include <string>
#include <unistd.h>

// A temporary file path of this process (test programs of two builds may run
// at once).
inline std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "vell" + std::to_string(getpid()) + "_" + name;
}

class MonsterRulesTest : public RulesTest {
protected:
    void TearDown() override {
        enemyList.clear();
        enemyList.setInCombat(false);
        masterMTL.clear();
        classDef.clear();
        levelTables.clear();
        itemCreate.clear();
        setRandomItemSource(nullptr);
        for (int i = 0; i < COMBAT_AI_SLOTS; ++i)
            setCombatAIEntry(i, nullptr);
        RulesTest::TearDown();
    }

    // A record with the given name, level and HP base / spread.
    static MonsterTypeRecord_S record(const std::string& name, int level = 1, int hpBase = 10, uint32_t hpSpread = 0) {
        MonsterTypeRecord_S r;
        r.name = name;
        r.pluralName = name + "s";
        r.nameBuffer = name;
        r.level = level;
        r.hpBase = hpBase;
        r.hpSpread = hpSpread;
        return r;
    }

    // A type owned by masterMTL.
    bl3dMonsterType* addType(const MonsterTypeRecord_S& r) {
        masterMTL.pushFront(std::make_unique<bl3dMonsterType>(r, masterActionList));
        return masterMTL.at(0);
    }

    // A plain item type owned by masterITL.
    static bl3dItemType* addItemType(int32_t id, const char* name, int32_t slotMask = 0, int32_t classMask = 0x7fff) {
        bl3dItemType* t = makeItemType(0);
        t->setBasics(id, name, "", 10);
        t->setSlotMask(slotMask);
        t->setClassMask(classMask);
        masterITL.insert(t);
        return masterITL.findById(id);
    }
};
