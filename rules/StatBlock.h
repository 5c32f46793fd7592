// bl3dStatBlock: a creature's 22 numbered stats, each with a base value, a
// current value and a list of timed modifiers. Stat 12 holds condition bits
// whose modifiers are OR-ed in rather than added. Current values change only
// through setBase and recompute.
#pragma once
#include <cstdint>
#include <forward_list>

class MemStream_C;

constexpr int STAT_COUNT = 22;

enum StatIndex : int {
    STAT_ST = 0,
    STAT_IQ = 1,
    STAT_WI = 2,
    STAT_DX = 3,
    STAT_CN = 4,
    STAT_CH = 5,
    STAT_CO = 6,
    STAT_LK = 7,
    STAT_AC = 8,
    STAT_ATTACK = 9,
    STAT_DAMAGE = 10,
    STAT_EXTRA_ATTACKS = 11,
    STAT_CONDITIONS = 12,
    STAT_FIRE_HIT = 13,
    STAT_FIRE_DMG = 14,
    STAT_EARTH_HIT = 15,
    STAT_EARTH_DMG = 16,
    STAT_AIR_HIT = 17,
    STAT_AIR_DMG = 18,
    STAT_WATER_HIT = 19,
    STAT_WATER_DMG = 20,
    STAT_UNUSED = 21,
};

inline bool validStat(int index) { return index >= 0 && index < STAT_COUNT; }

// Sums of game numbers are taken wide and held to the 32-bit range, so that
// values from a file can never overflow.
inline int32_t saturate32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// Condition bits (current value of stat 12).
enum Condition : int32_t {
    COND_STUNNED = 0x01,
    COND_POISONED = 0x02,
    COND_AGED = 0x04,
    COND_SLEEPING = 0x08,
    COND_BLIND = 0x10,
    COND_SONG = 0x20,
    COND_HIDDEN = 0x40,
    COND_WITHERED = 0x80,
    COND_STONE = 0x100,
};

// Owner types of a modifier.
enum ModType : int32_t {
    MOD_SONG = 1,          // dropped wholesale (changeMods 0 and 1)
    MOD_TYPE2 = 2,         // dropped wholesale (changeMods 2)
    MOD_ITEM = 3,          // an equipped item's modifier
    MOD_SUSPENDED = 5,     // an item modifier kept but not counted
    MOD_FIGHT_EVIL = 6,
    MOD_DEFEND = 7,
};

// Owner keys that are not item serials: item serials never take them.
constexpr int32_t KEY_RACE = 0;
constexpr int32_t KEY_CREATION = 1;
constexpr int32_t KEY_CLASS = 2;
constexpr uint64_t FIRST_ITEM_SERIAL = 3;

constexpr int32_t AC_FLOOR = -40;

struct StatMod_S {
    int32_t value = 0;
    uint32_t timeAdded = 0;
    uint32_t duration = 0; // 0: permanent
    int32_t type = 0;
    int32_t key1 = 0;
    int32_t key2 = 0;

    bool isExpired(uint32_t now) const { return duration != 0 && now >= timeAdded + duration; }
};

// The modifiers of one stat, newest first.
class StatModList {
public:
    void add(const StatMod_S& mod) { mods_.push_front(mod); }
    void dropExpired(uint32_t now);
    void removeType(int32_t type);
    void removeByKey(int32_t key1, int32_t key2);
    // Only the item modifiers (types 3 and 5) of that key.
    void removeItemByKey(int32_t key1, int32_t key2);
    bool rekeyItem(int32_t value, int32_t oldKey1, int32_t oldKey2, int32_t newKey1, int32_t newKey2);
    void removeValue(int32_t value);
    // Sum (or OR) of every modifier that is not suspended.
    int32_t total(bool orMode) const;
    void suspendItems();
    void resumeItems();
    void clear() { mods_.clear(); }
    bool empty() const { return mods_.empty(); }
    int count() const;
    void write(MemStream_C& s) const;
    bool read(MemStream_C& s);
    const std::forward_list<StatMod_S>& mods() const { return mods_; }

private:
    std::forward_list<StatMod_S> mods_;
};

class bl3dStatBlock {
public:
    bl3dStatBlock();

    // Current value; AC never below -40. 0 for an index out of range.
    int32_t getCur(int index) const;
    int32_t getBase(int index) const;
    // Sets the base and makes current = base combined with the live
    // modifiers. Returns the index, -1 when out of range.
    int setBase(int index, int32_t value);
    // Puts a modifier stamped with the world's tick at the head of the
    // stat's list; no recompute. 0, or -1 for an index out of range.
    int addModifier(int index, int32_t value, uint32_t duration, int32_t type, int32_t key1, int32_t key2);
    void removeModsByKey(int32_t key1, int32_t key2);
    // Removes the item modifiers (types 3 and 5) of a key; no recompute.
    void removeItemModsByKey(int32_t key1, int32_t key2);
    // Gives one item modifier (type 3 or 5) of the stat with this value and
    // the old key the new key; false when there is none. No recompute.
    bool rekeyItemMod(int index, int32_t value, int32_t oldKey1, int32_t oldKey2, int32_t newKey1,
                      int32_t newKey2);
    // 0: item modifiers suspended and type 1 dropped; 1: type 1 dropped;
    // 2: type 2 dropped; 3: suspended item modifiers resumed. No recompute.
    void changeMods(int mode);
    void recompute();

    void cureStun() { cure(COND_STUNNED); }
    void cureSleep() { cure(COND_SLEEPING); }
    void cureStone() { cure(COND_STONE); }
    void cureBlind() { cure(COND_BLIND); }
    void cureWithered() { cure(COND_WITHERED); }
    void cureAged() { cure(COND_AGED); }

    void clear();
    // Base and current values of another block, without its modifiers.
    void copyValues(const bl3dStatBlock& other);
    // The roll of a new character: stats 0..5 by dice (two six-sided dice
    // plus 8 each), then deriveCreation.
    void rollCreation(float raceFactor);
    // What follows from the bases of stats 0..5 (the race's modifiers in
    // the current values): stat 6 from IQ, WI, CN, Ch and the race's
    // factor, stat 7 from WI, DX, CN and stat 6, AC 10, the other stats'
    // starting bases, and the armour bonus of a DX of 15 or more (keys
    // (1, 0), replacing the last roll's). Recomputed.
    void deriveCreation(float raceFactor);

    void save(MemStream_C& s) const;
    // False when the bytes are short or a count makes no sense; the block is
    // then left cleared.
    bool load(MemStream_C& s);

    const StatModList& modsOf(int index) const { return mods_[index]; }

private:
    void cure(int32_t bit);
    void combine(int index);

    int32_t base_[STAT_COUNT];
    int32_t current_[STAT_COUNT];
    StatModList mods_[STAT_COUNT];
};

// The roll of the character being created.
extern bl3dStatBlock creationStats;
