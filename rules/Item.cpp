#include "rules/Item.h"

#include "core/MemStream.h"
#include "core/TagList.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <cstdio>

bl3dItem::bl3dItem(bl3dItemType* type, uint64_t serial, int32_t charges)
    : serial_(serial), charges_(charges), type_(type) {}

void bl3dItem::save(MemStream_C& s) const {
    s.writeUInt64(serial_);
    s.writeInt32(charges_);
    s.writeByte(equipped_ ? 1 : 0);
}

bool bl3dItem::load(MemStream_C& s) {
    uint64_t serial = 0;
    int32_t charges = 0;
    uint8_t equipped = 0;
    if (!s.readUInt64(serial) || !s.readInt32(charges) || !s.readByte(equipped))
        return false;
    serial_ = serial;
    charges_ = charges;
    equipped_ = equipped != 0;
    return true;
}

int32_t bl3dItem::intValue() const { return type_ ? type_->getIntValue() : 0; }
float bl3dItem::floatValue() const { return type_ ? type_->getFloatValue() : 0.0f; }
int32_t bl3dItem::getSlotMask() const { return type_ ? type_->getSlotMask() : 0; }
int32_t bl3dItem::getPrice() const { return type_ ? type_->getPrice() : 0; }
const char* bl3dItem::getDescription() const { return type_ ? type_->getDescription() : ""; }
bl3dAction* bl3dItem::getAction() const { return type_ ? type_->getAction() : nullptr; }
bool bl3dItem::isWeapon() const { return type_ && type_->isWeapon(); }
bool bl3dItem::isAmmo() const { return type_ && type_->isAmmo(); }
bool bl3dItem::isBow() const { return type_ && type_->isBow(); }
bool bl3dItem::isThrown() const { return type_ && type_->isThrown(); }
bool bl3dItem::canUse(const bl3dPartyChar* who) const { return type_ && type_->canUse(who); }

void bl3dItem::getDisplayName(RefStr_C& out) const {
    out = type_ ? type_->getName() : RefStr_C("");
    if (type_ && type_->hasCharges() && charges_ != UNLIMITED_CHARGES) {
        char buf[24];
        std::snprintf(buf, sizeof buf, " (%d)", static_cast<int>(charges_));
        out += buf;
    }
}

namespace {
// Adds (sign 1) or takes away (sign -1) each byte of value from the matching
// byte of the wearer's "Regen", every byte on its own modulo 256.
void adjustRegen(TagList_C& tags, int32_t value, int sign) {
    int32_t cur = 0;
    if (TagNode_S* n = tags.find(tagkey::Regen))
        cur = n->value.getInt();
    uint32_t out = 0;
    for (int b = 0; b < 4; ++b) {
        const uint32_t have = (static_cast<uint32_t>(cur) >> (8 * b)) & 0xffu;
        const uint32_t add = (static_cast<uint32_t>(value) >> (8 * b)) & 0xffu;
        const uint32_t r = (sign > 0 ? have + add : have - add) & 0xffu;
        out |= r << (8 * b);
    }
    tags.setInt(tagkey::Regen, static_cast<int32_t>(out));
}

void adjustInst(TagList_C& tags, int32_t value) {
    int32_t cur = 0;
    if (TagNode_S* n = tags.find(tagkey::Inst))
        cur = n->value.getInt();
    tags.setInt(tagkey::Inst, cur + value);
}
} // namespace

void bl3dItem::equip(bl3dPartyChar& wearer) {
    equipped_ = true;
    if (!type_)
        return;
    for (const ItemEffect_S& e : type_->getEffects()) {
        if (e.kind == IEFFECT_REGEN)
            adjustRegen(*wearer.getTagList(), e.value, 1);
        else if (e.kind == IEFFECT_INST)
            adjustInst(*wearer.getTagList(), e.value);
        else if (e.kind == IEFFECT_BLOCK)
            wearer.disableSlots(e.value, this);
    }
    type_->applyMods(*wearer.getStatBlock(), serial_);
}

void bl3dItem::unequip(bl3dPartyChar& wearer) {
    equipped_ = false;
    if (!type_)
        return;
    for (const ItemEffect_S& e : type_->getEffects()) {
        if (e.kind == IEFFECT_REGEN)
            adjustRegen(*wearer.getTagList(), e.value, -1);
        else if (e.kind == IEFFECT_INST)
            adjustInst(*wearer.getTagList(), -e.value);
        else if (e.kind == IEFFECT_BLOCK)
            wearer.enableSlots(e.value, this);
    }
    type_->removeMods(*wearer.getStatBlock(), serial_);
}

int32_t bl3dItem2::intValue() const { return bl3dItem::intValue() + value4; }
float bl3dItem2::floatValue() const { return bl3dItem::floatValue() + value2; }
