// A wandering fight from start to end in the running interface: the timer
// pass on a square without an event rolls the encounter, the fight is won,
// the bodies are frisked and the chest emptied; the quest is saved and
// loaded, and the experience, gold and items come back.
#include "CombatFixture.h"
#include "FightDriver.h"

#include "app/GameEvents.h"
#include "rules/Item.h"
#include "world/Map.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace combattest;

namespace {

class EncounterRunTest : public CombatFixture {
protected:
    void SetUp() override
    {
        CombatFixture::SetUp();
        if (HasFatalFailure())
            return;
        registerGameEvents();
        watch([] { return Event_4000_C::running() ? Event_4000_C::running()->getState() : -100; });
        onDisplay([this] {
            driver.last = &last();
            driver.drive();
        });
    }
    void TearDown() override
    {
        clearEventMakers();
        CombatFixture::TearDown();
    }
    // Orcs that always carry a helm.
    bl3dMonsterType* helmedOrc()
    {
        MonsterSpec_S s;
        s.hp = 1;
        s.xp = 50;
        s.gold = 20;
        s.drops = {"Helm 1000 1d1+0"};
        return monsterType(s);
    }
    fightdriver::FightDriver_S driver;
};

TEST_F(EncounterRunTest, AWanderingFightWonItsChestTakenSavedAndLoaded)
{
    fighter("Ann");
    fighter("Bob");
    helmedOrc();
    Map_C* map = iface.getCurrentMap();
    ASSERT_NE(map, nullptr);
    ASSERT_FALSE(map->hasCellEvent(gameworld->getSquareX(), gameworld->getSquareY()));
    // Two or three orcs wander here, every step.
    const std::string table = ::testing::TempDir() + "vell_encounter_run.mon";
    std::ofstream(table) << "1 1000\nOrc 2 1 10 5 10 -1 -1 0x00000000\n";
    ASSERT_TRUE(map->getMapInfo()->loadMonsters(table.c_str()));
    const int32_t before = map->getMapInfo()->getRemainingTotal();

    driver.frisk = true;
    drainEvents();
    iface.timerEvents();

    ASSERT_TRUE(drewState(Event_4000_C::VICTORY));
    EXPECT_EQ(map->getMapInfo()->getRemainingTotal(), before - 1);
    EXPECT_TRUE(anyMentions("you find"));
    bl3dPartyChar& ann = member(0);
    bl3dPartyChar& bob = member(1);
    const int32_t annXp = ann.getXP();
    const int32_t gold = ann.getGold();
    const std::vector<std::string> items = partykit::holdings(ann).pack;
    EXPECT_GT(annXp, 0);
    EXPECT_EQ(bob.getXP(), annXp);
    EXPECT_GE(gold, 40);
    EXPECT_GE(items.size(), 2u);
    for (const std::string& n : items)
        EXPECT_EQ(n, "Helm");

    ASSERT_TRUE(iface.save());
    ASSERT_TRUE(iface.load((questDir() + "/savegame/party.sav").c_str()));
    ASSERT_NE(party, nullptr);
    ASSERT_EQ(party->getCount(), 2);
    EXPECT_EQ(member(0).getXP(), annXp);
    EXPECT_EQ(member(1).getXP(), annXp);
    EXPECT_EQ(member(0).getGold(), gold);
    EXPECT_EQ(partykit::holdings(member(0)).pack, items);
    // The map's state keeps the count of monsters met.
    EXPECT_EQ(iface.getCurrentMap()->getMapInfo()->getRemainingTotal(), before - 1);
}

} // namespace
