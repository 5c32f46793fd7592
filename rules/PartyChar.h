// bl3dPartyChar: a member of the party (a player character, or a monster that
// joined or was summoned), with its 20 equipment slots and pack. It is also
// the record kept under its name in the save archive's "hall" directory.
#pragma once
#include "core/PtrList.h"
#include "core/Storable.h"
#include "rules/Character.h"

class bl3dItem;
class bl3dCombatAI;
class bl3dMonsterType;

constexpr int SLOT_COUNT = 20;
enum EquipSlot : int {
    SLOT_HEAD = 0,
    SLOT_BODY = 1,
    SLOT_SHIRT = 2,
    SLOT_BELT = 3,
    SLOT_BACK = 4,
    SLOT_INST = 5,
    SLOT_FEET = 6,
    SLOT_GLOVES = 7,
    SLOT_RT_HAND = 8,
    SLOT_LT_HAND = 9,
    SLOT_AMMO = 10,
    SLOT_FINGER = 11,
    SLOT_MISC = 15,
    SLOT_READY = 19,
};
// Slots 0..18 usable, 19 (the ready weapon) not.
constexpr int32_t DEFAULT_USABLE_SLOTS = 0x7ffff;
constexpr int32_t ALL_SLOTS_MASK = 0xfffff;

// What the character screen shows for an item in a slot: "Location: Head"
// and so on; an empty text for the slots without a label (12-14, 16-18) and
// for a slot out of range.
const char* slotLabel(int slot);
// What it shows for an item in the pack.
constexpr const char* PACK_LABEL = "Location: Pack";

enum Race : int32_t {
    RACE_HUMAN = 1,
    RACE_ELF = 2,
    RACE_HALF_ELF = 3,
    RACE_DWARF = 4,
    RACE_GNOME = 5,
    RACE_BEGGAN = 6,
    RACE_HALF_ORC = 7,
    RACE_SAURIAN = 8,
    RACE_SENRAT = 9,
    RACE_MONSTER = 10,
};

constexpr int32_t CLASS_BARD = 0x2;
// The classes that cast spells (and so regain spell points).
constexpr int32_t CLASS_CASTERS = 0x3F20;
constexpr int32_t CLASS_JOINED = 0x8000;
constexpr int32_t CLASS_SUMMONED = 0x10000;

class bl3dPartyChar : public bl3dCharacter, public Storable_C {
public:
    // For reading from the archive: every number 0.
    explicit bl3dPartyChar(const char* name);
    bl3dPartyChar(const char* name, int32_t classId, int32_t race, bool male, int32_t alignment,
                  bl3dCombatAI* combatAI, bl3dMonsterType* sourceType);
    ~bl3dPartyChar() override;

    // The character's name is its record's name.
    const char* getName() const override { return Storable_C::getName().c_str(); }
    const char* getNameStr() const { return getName(); }
    // The portrait name in the name buffer (not the stored name).
    void setName(const char* text) override { bl3dCharacter::setName(text); }
    // Renames the stored record.
    void setNameStr(const char* name) { Storable_C::setName(RefStr_C(name ? name : "")); }
    const char* article(bool) const override { return ""; }
    int32_t getLevel() const override { return level_; }
    bool isPartyMember() const override { return true; }
    bool isPC() const override { return combatAI_ == nullptr; }
    bool isJoinedMonster() const override { return !isPC(); }
    int32_t creatureType() const override;

    int typeId() const override { return TYPE_PARTY_CHAR; }
    void write(MemStream_C& s) const override;
    bool read(int version, MemStream_C& s) override;
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    int32_t getRace() const { return race_; }
    int32_t getClassId() const { return classId_; }
    void setClassId(int32_t c) { classId_ = c; }
    bool isClass(int32_t mask) const { return (classId_ & mask) != 0; }
    int32_t getXP() const { return xp_; }
    // Whether the experience is enough for the next level; with apply the
    // level is gained (the class rules do the work).
    bool levelUp(bool apply);
    void addXP(int32_t n) { xp_ = saturate32(static_cast<int64_t>(xp_) + n); }
    void setLevel(int32_t l) { level_ = l; }
    bl3dMonsterType* getMonsterType() const { return sourceType_; }
    bl3dCombatAI* getCombatAI() const { return combatAI_; }

    // Equipment.
    bl3dItem* getSlotItem(int slot) const;
    PtrList_C* getPack() { return &pack_; }
    const PtrList_C* getPack() const { return &pack_; }
    int getItemCount() const { return filled_ + pack_.count(); }
    int32_t getUsableSlots() const { return usable_; }
    bool isSlotUsable(int slot) const;
    // False when the slot is taken (or out of range); else stores the item
    // and equips it unless the slot is out of use or an item of the same
    // type already counts.
    bool putInSlot(int slot, bl3dItem* item);
    // The slot's item handed to the caller (unequipped); null when empty.
    bl3dItem* takeFromSlot(int slot);
    // Swaps the ready item (slot 19) with the weapon in slot 8.
    void readyItem(int slot);
    // Makes slots usable and equips their items; the item that asks (a
    // slot-blocking item) is left alone.
    void enableSlots(int32_t mask, const bl3dItem* except = nullptr);
    void disableSlots(int32_t mask, const bl3dItem* except = nullptr);

protected:
    const char* deathSound() const override;

private:
    bool sameTypeCounts(const bl3dItem* item, int exceptSlot) const;
    void equipFirstIdle(const bl3dItem* like);
    // Reads one stored item (type id, then the item); false when the bytes
    // are short. An unknown type's item is skipped and item left null.
    bool readItem(MemStream_C& s, int32_t typeId, bl3dItem*& item);

    int32_t usable_ = DEFAULT_USABLE_SLOTS;
    int32_t filled_ = 0;
    bl3dItem* slots_[SLOT_COUNT] = {};
    PtrList_C pack_;
    int32_t xp_ = 0;
    int32_t level_ = 0;
    int32_t classId_ = 0;
    int32_t race_ = 0;
    bl3dCombatAI* combatAI_ = nullptr;
    bl3dMonsterType* sourceType_ = nullptr;
    // Depth of nested slot blocking, bounded so that items that block each
    // other's slots cannot chase each other for ever.
    int slotDepth_ = 0;
};
