// ClassDef_S: one character class of "data/class.dat": its class id bit, its
// level table, hit- and spell-point dice and bonuses, the races and stat
// minimums it allows, the stat modifiers it gives at creation, the attributes
// it carries and its starting items.
#pragma once
#include "core/RefStr.h"
#include "core/TagValue.h"

#include <cstdint>
#include <string>
#include <vector>

class MemStream_C;
class bl3dStatBlock;
class bl3dPartyChar;

// Stat index that means "no stat" for the SP and AC bonuses.
constexpr int32_t CLASS_NO_STAT = 22;

struct ClassStatPair_S {
    int32_t stat = 0;
    int32_t value = 0;
};

struct ClassTag_S {
    RefStr_C key;
    TagValue_S value;
};

struct ClassItem_S {
    int32_t itemId = 0;
    bool equip = false;
};

struct ClassDef_S {
    RefStr_C name;
    int32_t classId = 0;
    int32_t levelTable = 0;
    int32_t hpDie = 0;
    int32_t spDie = 0;
    int32_t hpBonus = 0;
    int32_t spBonus = 0;
    int32_t spStat = CLASS_NO_STAT;
    int32_t acBonus = 0;
    int32_t acStat = CLASS_NO_STAT;
    std::vector<int32_t> races;
    std::vector<ClassStatPair_S> requirements;
    std::vector<ClassStatPair_S> modifiers;
    std::vector<ClassTag_S> tags;
    std::vector<int32_t> list1;
    std::vector<int32_t> list2;
    std::vector<ClassItem_S> startingItems;

    int getHPDie() const { return hpDie; }
    int getSPDie() const { return spDie; }
    int getHPBonus() const { return hpBonus; }
    int getSPBonus() const { return spBonus; }
    int getSPStat() const { return spStat; }
    int getACBonus() const { return acBonus; }
    int getACStat() const { return acStat; }

    // The race is allowed and every requirement's stat (current value; 0 for
    // an index out of range) is at least its minimum.
    bool allows(int race, const bl3dStatBlock* stats) const;
    // Adds each (stat, amount) as a permanent modifier of that type and keys;
    // no recompute.
    void applyStatMods(bl3dStatBlock* stats, int type, int key1, int key2) const;
    // A new item of each starting type: equipped into the first free slot of
    // its slot mask when flagged and usable, else into the pack. Unknown ids
    // are skipped.
    void giveStartingItems(bl3dPartyChar* member) const;

    // Bonus points per point of the bonus stat above 14 (current value);
    // 0 when the stat is 22 (none) or not above 14.
    int32_t hpBonusFor(const bl3dStatBlock* stats) const;
    int32_t spBonusFor(const bl3dStatBlock* stats) const;

    // The file form (see the class file loader). read() checks every count
    // against what is left of the stream; values are taken as they stand
    // (a stat index out of range reads as a stat of value 0).
    void write(MemStream_C& s) const;
    bool read(MemStream_C& s, std::string* why = nullptr);
};

// The classes of "data/class.dat", in file order.
extern std::vector<ClassDef_S> classDef;

// The last class whose id equals classId; null when none.
const ClassDef_S* findClassDef(int32_t classId);
