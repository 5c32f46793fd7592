// bl3dItem: one item in the game: a serial number (the key of its stat
// modifiers and of the lists that hold it), charges, an equipped flag and
// its type.
#pragma once
#include "core/PtrList.h"
#include "core/RefStr.h"

#include <cstdint>

class bl3dAction;
class bl3dItemType;
class bl3dPartyChar;
class MemStream_C;

class bl3dItem : public ListObject_C {
public:
    bl3dItem(bl3dItemType* type, uint64_t serial, int32_t charges);
    ~bl3dItem() override = default;
    bl3dItem(const bl3dItem&) = delete;
    bl3dItem& operator=(const bl3dItem&) = delete;

    // Stored form: serial (8 bytes, low word first), charges, equipped byte.
    virtual void save(MemStream_C& s) const;
    virtual bool load(MemStream_C& s);
    virtual int32_t intValue() const;
    virtual float floatValue() const;
    virtual bool isKind2() const { return false; }

    uint64_t getSerial() const override { return serial_; }
    void setSerial(uint64_t s) { serial_ = s; }
    bl3dItemType* getType() const { return type_; }
    int32_t getCharges() const { return charges_; }
    void setCharges(int32_t n) { charges_ = n; }
    bool isEquipped() const { return equipped_; }
    void setEquipped(bool e) { equipped_ = e; }

    int32_t getSlotMask() const;
    int32_t getPrice() const;
    const char* getDescription() const;
    bl3dAction* getAction() const;
    bool isWeapon() const;
    bool isAmmo() const;
    bool isBow() const;
    bool isThrown() const;
    bool canUse(const bl3dPartyChar* who) const;
    void getDisplayName(RefStr_C& out) const;

    // Puts the type's effects and modifiers on the wearer.
    void equip(bl3dPartyChar& wearer);
    // Takes them away again.
    void unequip(bl3dPartyChar& wearer);

protected:
    uint64_t serial_;
    int32_t charges_;
    bl3dItemType* type_;
    bool equipped_ = false;
};

// An instance of a kind-2 type, with per-instance amounts (not stored).
class bl3dItem2 : public bl3dItem {
public:
    bl3dItem2(bl3dItemType* type, uint64_t serial) : bl3dItem(type, serial, 1) {}
    int32_t intValue() const override;
    float floatValue() const override;
    bool isKind2() const override { return true; }

    PtrList_C* getList() { return &list_; }
    int32_t value1 = 0;
    float value2 = 0.0f;
    int32_t value3 = 0;
    int32_t value4 = 0;
    int32_t value5 = 0;

private:
    PtrList_C list_;
};
