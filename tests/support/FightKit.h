// FightKit_C: a fight without a screen, for the action tests, the fight
// benchmark and the combat tests to come. It installs a settable clock with
// world variables and sounds (KitRulesEnv_C) and an action environment that
// records what the actions ask of the world (KitActionEnv_C), makes the
// built-in actions and the combat AI, a party, and builds members (class,
// level, stats, weapons, bow and ammunition) and enemy groups of monster
// types at distances.
//
// Life cycle: one per test or run. Everything it made (party, groups,
// monster and item types, the actions when it made them) is released with
// it, and the globals it touched (party, enemyList, masterActionList,
// masterMTL, the AI table's entry 1, both environments) are left as found.
#pragma once
#include "actions/ActionEnv.h"
#include "core/TagList.h"
#include "rules/EquipTrial.h"
#include "rules/RulesEnv.h"
#include "rules/StatBlock.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

class bl3dCharacter;
class bl3dItem;
class bl3dItemType;
class bl3dMonsterList;
class bl3dMonsterType;
class bl3dParty;
class bl3dPartyChar;

class KitRulesEnv_C : public RulesEnv_C {
public:
    uint32_t currentTick() const override { return now; }
    uint64_t nextItemSerial() override { return serial++; }
    TagList_C* worldTags() override { return &tags; }
    void playSound(const char* name) override { sounds.emplace_back(name ? name : ""); }

    uint32_t now = 1000;
    uint64_t serial = 100;
    TagList_C tags{RefStr_C("world")};
    std::vector<std::string> sounds;
};

class KitActionEnv_C : public ActionEnv_C {
public:
    struct Queued_S {
        int typeId;
        uint32_t due;
        // The stunned creature's unique id (0 for none), taken when queued.
        uint64_t targetId;
    };
    bool queueStunTimeout(bl3dCharacter* target, uint32_t due) override;
    bool queueTimedEvent(int typeId, uint32_t due) override;
    void calcLight() override { ++lightCalls; }
    void buildPercepPane() override { ++percepCalls; }
    void calcXC() override { ++xcCalls; }
    // The trial the player "makes": `trial` when set, else unchanged.
    bool equipTrial(bl3dPartyChar* member, EquipTrial_S& out) override;

    // A map of width x height squares once hasMap is set: walls by (x, y,
    // facing) of a cell, visited squares, the party's square and facing.
    // A step is blocked by a wall on either side of the edge or by the
    // edge of the map.
    bool partyPosition(int& x, int& y, int& facing) const override;
    bool moveParty(int x, int y) override;
    bool mapSize(int& w, int& h) const override;
    bool isBlocked(int x, int y, int facing) const override;
    bool hasWall(int x, int y, int facing) const override;
    uint8_t squareState(int x, int y) const override;
    void springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2) override;
    // Songs with music: (song id, the part bits it has music for).
    bool bsTest(int32_t songId, uint32_t parts) override;
    int playSong(int32_t songId, uint32_t parts) override;
    int stopSong() override;
    // A fight's song ending, counted apart from the ends of songs played
    // outside combat.
    int stopFightSong() override;
    bool isSongPlaying() const override { return playing != 0; }
    int fightStopCalls = 0;

    std::vector<Queued_S> queued;
    // A queue that takes nothing (full, or no world loaded).
    bool queueRefuses = false;
    int lightCalls = 0, percepCalls = 0, xcCalls = 0, trialCalls = 0;
    bool hasTrial = false;
    EquipTrial_S trial;

    bool hasMap = false;
    int width = 0, height = 0;
    int partyX = 0, partyY = 0, facing = 0;
    std::set<std::tuple<int, int, int>> walls;
    std::set<std::pair<int, int>> visited;
    struct Spring_S {
        bool spring, spinners;
        int x1, y1, x2, y2;
    };
    std::vector<Spring_S> springs;

    std::vector<std::pair<int32_t, uint32_t>> music;
    int32_t playing = 0;
    uint32_t playingParts = 0;
    int playCalls = 0, stopCalls = 0;
};

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

// A monster type to build (monster types are always evil).
struct MonsterSpec_S {
    MonsterSpec_S() { actions.emplace_back(0x000e0001, 5); } // Attack
    std::string name = "Orc";
    std::string plural = "Orcs";
    int32_t level = 1;
    int32_t hp = 10;
    int32_t sp = 0;
    int32_t stats[8] = {10, 10, 10, 10, 10, 10, 10, 10};
    int32_t ac = 10;
    int32_t attack = 0;
    int32_t damage = 0;
    int32_t creatureType = 0;
    int32_t sexCode = 0;
    int32_t gold = 0;
    int32_t xp = 10;
    // (action id, weight); Defend (weight 0) comes with every type.
    std::vector<std::pair<int32_t, int32_t>> actions;
    std::vector<std::pair<int32_t, int32_t>> actions2;
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

    KitRulesEnv_C env;
    KitActionEnv_C actionEnv;

private:
    // A type of that record kind, kept by the kit, fitting that slot.
    bl3dItemType* newType(int32_t kind, const char* name, int32_t price, int32_t slot, int32_t charges);

    std::vector<std::unique_ptr<bl3dItemType>> itemTypes_;
    bool madeActions_ = false;
    bl3dParty* previousParty_ = nullptr;
};
