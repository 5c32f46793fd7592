// Whole fights without a screen: the round driver queues every member's
// order and every group's AI choice, performs them by initiative, prunes the
// dead and moves fallen members back, until one side stands alone. Also the
// ownership rule on every action: refused uses and uses never performed
// leave nothing behind (the sanitizer build's LeakSanitizer checks).
#include "ActionTest.h"

#include "actions/Catalogue.h"
#include "actions/CombatRound.h"
#include "actions/Songs.h"
#include "core/TagList.h"
#include "rules/EnemyList.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <string>
#include <vector>

namespace {

class HeadlessFightTest : public ActionTest {
protected:
    bl3dPartyChar* fighter(const char* name, int32_t classId, int32_t hp) {
        MemberSpec_S m;
        m.name = name;
        m.classId = classId;
        m.hp = hp;
        m.stats[STAT_ST] = 16;
        m.attack = 2;
        return kit->addMember(m);
    }
    // Runs rounds until the fight ends (or the limit); the narration lines.
    FightState fight(CombatRound_C& round, int limit, std::vector<std::string>& lines) {
        round.setNarration([&lines](const char* t) { lines.emplace_back(t); });
        round.setRoundEnd([this] { kit->tick(); });
        FightState s = FightState::Going;
        for (int i = 0; i < limit && s == FightState::Going; ++i)
            s = round.runRound();
        return s;
    }
    static bool any(const std::vector<std::string>& lines, const std::string& part) {
        for (const std::string& l : lines)
            if (l.find(part) != std::string::npos)
                return true;
        return false;
    }
};

TEST_F(HeadlessFightTest, APartyFightsTwoGroupsToTheEnd) {
    bl3dPartyChar* ada = fighter("Ada", 0x4, 60);
    kit->give(ada, kit->weaponType("Sword", 2, 8, CAT_LONG_BLADE), SLOT_RT_HAND);
    bl3dPartyChar* archer = fighter("Bo", 0x40, 40);
    kit->give(archer, kit->bowType("Bow", 60, 1), SLOT_RT_HAND);
    kit->give(archer, kit->ammoType("Arrows", 1, 2, 6, 40), SLOT_AMMO);
    fighter("Cy", 0x20, 50);
    fighter("Di", 0x80, 30);
    bl3dPartyChar* rear = fighter("Ed", 0x4, 30);

    MonsterSpec_S orc;
    orc.hp = 12;
    orc.xp = 7;
    orc.gold = 3;
    kit->addGroup(kit->monsterType(orc), 3, 10);
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    wolf.plural = "Wolves";
    wolf.hp = 9;
    wolf.xp = 5;
    wolf.actions = {{0x000e0001, 4}, {0x000603ec, 3}};
    kit->addGroup(kit->monsterType(wolf), 2, 30);

    CombatRound_C round;
    std::vector<std::string> lines;
    EXPECT_EQ(fight(round, 40, lines), FightState::Won);
    EXPECT_TRUE(enemyList.empty());
    EXPECT_EQ(round.xp(), 3 * 7 + 2 * 5);
    EXPECT_EQ(round.gold(), 3 * 3);
    EXPECT_TRUE(any(lines, "#2Bo#0 attacks")) << "the archer shoots";
    EXPECT_TRUE(any(lines, "#2Ed#0 crouches in a defensive posture")) << "the rear rank defends";
    EXPECT_TRUE(any(lines, "The #4Wolves#0 advance!")) << "the wolves close in";
    EXPECT_NE(rear, nullptr);
    for (const std::string& l : lines)
        EXPECT_FALSE(l.empty());
}

TEST_F(HeadlessFightTest, APartyThatFallsEndsTheFightAndTheDeadGoToTheBack) {
    fighter("Ada", 0x4, 6);
    fighter("Bo", 0x4, 40);
    MonsterSpec_S ogre;
    ogre.name = "Ogre";
    ogre.hp = 500;
    ogre.stats[STAT_ATTACK] = 20;
    ogre.stats[STAT_DAMAGE] = 8;
    kit->addGroup(kit->monsterType(ogre), 4, 10);
    CombatRound_C round;
    std::vector<std::string> lines;
    bool adaBehind = false;
    round.setRoundEnd([&] {
        kit->tick();
        if (party->getMember(0)->getCurHP() > 0 && party->getMember(1)->getCurHP() <= 0)
            adaBehind = adaBehind || std::string(party->getMember(1)->getName()) == "Ada";
    });
    round.setNarration([&lines](const char* t) { lines.emplace_back(t); });
    FightState s = FightState::Going;
    for (int i = 0; i < 40 && s == FightState::Going; ++i)
        s = round.runRound();
    EXPECT_EQ(s, FightState::PartyDead);
    EXPECT_TRUE(adaBehind) << "the fallen member moved behind the living one";
    EXPECT_TRUE(any(lines, ", killing"));
    EXPECT_EQ(round.initList().count(), 0);
}

TEST_F(HeadlessFightTest, OrdersCreaturesAndConditionsDecideWhoActs) {
    bl3dPartyChar* ada = fighter("Ada", 0x4, 50);
    bl3dPartyChar* bo = fighter("Bo", 0x4, 50);
    bl3dPartyChar* cy = fighter("Cy", 0x4, 50);
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    wolf.plural = "Wolves";
    wolf.hp = 1000;
    wolf.stats[STAT_IQ] = 20;
    bl3dPartyChar* pet = kit->addJoined(kit->monsterType(wolf));
    MonsterSpec_S orc;
    orc.hp = 1000;
    orc.stats[STAT_ATTACK] = -30; // never hits
    bl3dMonsterList* orcs = kit->addGroup(kit->monsterType(orc), 2, 10);

    CombatRound_C round;
    RoundOrder_S retreat;
    retreat.action = masterActionList.getAction(ACTION_RETREAT);
    retreat.places = 2;
    round.setOrder(0, retreat);
    cy->setConditions(COND_SLEEPING);
    std::vector<std::string> lines;
    round.setNarration([&lines](const char* t) { lines.emplace_back(t); });
    EXPECT_EQ(round.runRound(), FightState::Going);
    EXPECT_TRUE(any(lines, "#2Ada#0 retreats!"));
    EXPECT_EQ(party->getMember(2), ada);
    EXPECT_TRUE(any(lines, "#2Bo#0 attacks"));
    EXPECT_FALSE(any(lines, "#2Cy#0")) << "asleep: no order";
    EXPECT_TRUE(any(lines, "#2Wolf#0 attacks")) << "the wolf in the party chose through its AI";
    EXPECT_TRUE(any(lines, "An #4Orc#0 attacks")) << "both orcs act";
    EXPECT_EQ(orcs->getSize(), 2u);
    EXPECT_NE(pet, nullptr);
    EXPECT_NE(bo, nullptr);
}

TEST_F(HeadlessFightTest, ARoundLeftUnperformedReleasesItsUses) {
    fighter("Ada", 0x4, 50);
    kit->addGroup(kit->monsterType(MonsterSpec_S{}), 5, 10);
    {
        CombatRound_C round;
        round.queueRound();
        EXPECT_EQ(round.initList().count(), 6);
        EXPECT_GE(round.performNext(), 0);
    } // five uses left: released unperformed
    CombatRound_C again;
    again.queueRound();
    again.queueRound(); // a second queue replaces the first
    EXPECT_EQ(again.initList().count(), 6);
}

TEST_F(HeadlessFightTest, EveryActionReleasesWhatItIsHandedWhetherOrNotItBuilds) {
    bl3dPartyChar* ada = member("Ada");
    bl3dMonster* orc = kit->addGroup(kit->monsterType(MonsterSpec_S{}), 1, 10)->getMonster(0);
    int32_t distance = 10;
    // The third value is a skill's capital flag (a byte) and a spell's
    // int32 (the portal's row): an int32 of 1 serves both.
    int32_t third = 1;
    void* context[5] = {&text, &distance, &third, nullptr, nullptr};
    int built = 0;
    size_t n = 0;
    const ActionRow_S* rows = actionRows(&n);
    std::vector<bl3dAction*> all;
    masterActionList.first();
    while (bl3dAction* a = masterActionList.next())
        all.push_back(a);
    ASSERT_EQ(all.size(), 95u);
    for (bl3dAction* a : all) {
        SCOPED_TRACE(a->name().c_str());
        // Too few context values: nothing is built, the actor is gone.
        EXPECT_EQ(a->makeEntry(new bl3dActor(ada), nullptr, 0, nullptr), nullptr);
        EXPECT_EQ(a->enqueue(new bl3dActor(orc), 0, 0, nullptr), nullptr);
        if (a->actionID() == ACTION_EQUIP_ITEM)
            continue; // its context is its own (EquipItemTest)
        // Enough: what is built is released without being performed.
        for (bl3dCharacter* who : {static_cast<bl3dCharacter*>(ada), static_cast<bl3dCharacter*>(orc)}) {
            if (ActionUse_S* u = a->makeEntry(new bl3dActor(who), nullptr, 3, context)) {
                ++built;
                a->freeEntry(u);
            }
            if (ActionUse_S* u = a->enqueue(new bl3dActor(who), 0, 3, context)) {
                ++built;
                a->freeEntry(u);
            }
        }
    }
    // Skills, moves and spells build for both sides, songs for the party only.
    EXPECT_EQ(built, 4 * 18 + 4 * 5 + 2 * 4 + 4 * 67);
    EXPECT_EQ(n, 28u);
    EXPECT_NE(rows, nullptr);
}

TEST_F(HeadlessFightTest, SpellsAndSongsWorkForBothSides) {
    // A mage strikes with silver, a bard sings the Walking Song; a shaman
    // answers with the same spell through its combat AI.
    MemberSpec_S m;
    m.name = "Mira";
    m.classId = 0x100;
    m.level = 5;
    m.hp = 60;
    m.sp = 60;
    bl3dPartyChar* mira = kit->addMember(m);
    mira->actions2()->add(masterActionList.getSpellByCode("SIST"), 0);
    m.name = "Lyra";
    m.classId = 0x2;
    m.sp = 0;
    bl3dPartyChar* lyra = kit->addMember(m);
    lyra->actions()->add(action(SONG_WALKING_SONG), 0);
    lyra->getTagList()->setInt(tagkey::CurSongs, 2);
    lyra->getTagList()->setInt(tagkey::Inst, 4);
    kit->actionEnv.music.emplace_back(SONG_WALKING_SONG, 4);
    kit->env.tags.setInt(tagkey::CBS, SONG_PROUD_MARY); // left over from an earlier fight

    MonsterSpec_S shaman;
    shaman.name = "Shaman";
    shaman.plural = "Shamans";
    shaman.hp = 40;
    shaman.sp = 40;
    shaman.actions2 = {{0x000f0021, 50}}; // Silver Strike
    bl3dMonsterList* foes = kit->addGroup(kit->monsterType(shaman), 2, 10);

    CombatRound_C round;
    EXPECT_EQ(kit->env.tags.intValue(tagkey::CBS), 0);
    RoundOrder_S strike;
    strike.action = masterActionList.getSpellByCode("SIST");
    strike.target = foes;
    round.setOrder(0, strike);
    RoundOrder_S song;
    song.action = action(SONG_WALKING_SONG);
    round.setOrder(1, song);
    std::vector<std::string> lines;
    round.setNarration([&lines](const char* t) { lines.emplace_back(t); });
    round.setRoundEnd([this] { kit->tick(); });
    EXPECT_EQ(round.runRound(), FightState::Going);
    EXPECT_TRUE(any(lines, "#2Mira#0 casts Silver Strike at a #4Shaman#0"));
    EXPECT_TRUE(any(lines, "#2Lyra#0 plays Walking Song..."));
    EXPECT_TRUE(any(lines, "A #4Shaman#0 casts Silver Strike at #2"));
    EXPECT_LT(mira->getCurSP(), 60);
    EXPECT_LT(foes->getMonster(0)->getCurSP() + foes->getMonster(1)->getCurSP(), 80);
    EXPECT_EQ(kit->env.tags.intValue(tagkey::CBS), SONG_WALKING_SONG);
    EXPECT_EQ(kit->env.tags.intValue(tagkey::XCState), 0x02);
    EXPECT_TRUE(lyra->isPlayingSong());

    // The bard plays on without an order; the song ends with the fight.
    round.clearOrders();
    round.setOrder(0, strike);
    FightState state = FightState::Going;
    for (int i = 0; i < 30 && state == FightState::Going; ++i)
        state = round.runRound();
    ASSERT_NE(state, FightState::Going);
    EXPECT_FALSE(lyra->isPlayingSong());
    EXPECT_EQ(kit->env.tags.intValue(tagkey::CBS), 0);
    EXPECT_EQ(kit->env.tags.intValue(tagkey::XCState), 0);
    EXPECT_EQ(lyra->getTagList()->intValue(tagkey::CurSongs), 1);
}

} // namespace
