// FightKit_C: a fight without a screen, for the action tests, the fight
// benchmark and the combat tests to come. It installs the tests' rules
// environment (FakeRulesEnv_C, its clock at 1000) and the action environment
// that records what the actions ask of the world (FakeActionEnv_C), makes the
// built-in actions and the combat AI, a party, and builds members (class,
// level, stats, weapons, bow and ammunition) and enemy groups of monster
// types at distances.
//
// Life cycle: one per test or run. Everything it made (party, groups,
// monster and item types, the actions when it made them) is released with
// it, and the globals it touched (party, enemyList, masterActionList,
// masterMTL, the AI table's entry 1, both environments) are left as found.
#pragma once
#include "FakeActionEnv.h"
#include "FakeRulesEnv.h"
#include "MonsterSpec.h"

#include "rules/StatBlock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class bl3dCharacter;
class bl3dItem;
class bl3dItemType;
class bl3dMonsterList;
class bl3dMonsterType;
class bl3dParty;
class bl3dPartyChar;

// A party member to build. Stats 0..7 (ST, IQ, WI, DX, CN, CH, CO, LK).
struct MemberSpec_S {
    std::string name = "Ada";
    int32_t classId = 0x4;
    int32_t level = 1;
    int32_t hp = 30;
    int32_t sp = 0;
    int32_t stats[8] = {10, 10, 10, 10, 10, 10, 10, 10};
    int32_t ac = 10;
    int32_t attack = 0;
    int32_t damage = 0;
    int32_t extraAttacks = 1;
    bool male = true;
    int32_t alignment = 1;
    // Actions of its first list besides the five every member has (Attack,
    // Defend, Advance, Retreat, EquipItem), by id.
    std::vector<int32_t> skills;
};

class FightKit_C {
public:
    FightKit_C();
    ~FightKit_C();
    FightKit_C(const FightKit_C&) = delete;
    FightKit_C& operator=(const FightKit_C&) = delete;

    // --- the party -------------------------------------------------------------------
    bl3dPartyChar* addMember(const MemberSpec_S& spec);
    // A member made from a monster type (class 0x8000), driven by its AI.
    bl3dPartyChar* addJoined(bl3dMonsterType* type);

    // --- items (the kit owns the types) --------------------------------------------
    bl3dItemType* weaponType(const char* name, int32_t count, int32_t sides, int32_t category);
    bl3dItemType* bowType(const char* name, int32_t range, int32_t ammoKind);
    bl3dItemType* ammoType(const char* name, int32_t ammoKind, int32_t count, int32_t sides, int32_t charges);
    bl3dItemType* thrownType(const char* name, int32_t count, int32_t sides, int32_t charges, bool alsoMelee);
    // A plain item type with stat modifiers (stat, amount).
    bl3dItemType* gearType(const char* name, int32_t slotMask, std::vector<std::pair<int32_t, int32_t>> mods);
    // A new item of the type put into the slot (equipped), or into the pack
    // when slot is -1.
    bl3dItem* give(bl3dPartyChar* member, bl3dItemType* type, int slot);

    // --- the enemy -------------------------------------------------------------------
    bl3dMonsterType* monsterType(const MonsterSpec_S& spec);
    bl3dMonsterList* addGroup(bl3dMonsterType* type, int count, int distance);

    // One tick of the clock, as combat spends after a round: every
    // creature's effects tick and its stats are recomputed.
    void tick();

    FakeRulesEnv_C env{1000, 100};
    FakeActionEnv_C actionEnv;

private:
    // A type of that record kind, kept by the kit, fitting that slot.
    bl3dItemType* newType(int32_t kind, const char* name, int32_t price, int32_t slot, int32_t charges);

    std::vector<std::unique_ptr<bl3dItemType>> itemTypes_;
    bool madeActions_ = false;
    bl3dParty* previousParty_ = nullptr;
};
