#include "rules/Inventory.h"

#include "core/PtrList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"

#include <algorithm>
#include <climits>

namespace inv {

namespace {

uint32_t slotBits(const bl3dItem& item) { return static_cast<uint32_t>(item.getSlotMask()) & ALL_SLOTS_MASK; }

bool singleSlot(uint32_t mask) { return mask != 0 && (mask & (mask - 1)) == 0; }

int firstFreeSlot(const bl3dPartyChar& who, uint32_t mask)
{
    for (BitIter_C bit(mask); !bit.done(); bit.next())
        if (bit.index() < SLOT_COUNT && !who.getSlotItem(bit.index()))
            return bit.index();
    return -1;
}

int lowestSlot(uint32_t mask)
{
    BitIter_C bit(mask);
    return bit.done() ? -1 : bit.index();
}

// A stack that may take part in a join: a type with charges, limited, not
// over the stack limit.
bool joinable(const bl3dItem& item)
{
    return item.getType() && item.getType()->hasCharges() && item.getCharges() >= 0 &&
           item.getCharges() <= STACK_LIMIT;
}

// The room left in a member's own gold.
int32_t goldRoom(const bl3dPartyChar& m)
{
    return static_cast<int32_t>(std::max<int64_t>(0, int64_t(INT32_MAX) - m.getGold()));
}

} // namespace

Limits_S worldLimits()
{
    Limits_S l;
    rulesEnv().itemLimits(l.maxPack, l.maxItems);
    return l;
}

bool canOfferEquip(const bl3dPartyChar& who, const bl3dItem& item)
{
    if (!item.canUse(&who))
        return false;
    const uint32_t mask = slotBits(item);
    if (firstFreeSlot(who, mask) >= 0)
        return true;
    if (!singleSlot(mask))
        return false;
    const bl3dItem* there = who.getSlotItem(lowestSlot(mask));
    return there && slotBits(*there) == mask;
}

bool equip(bl3dPartyChar& who, int position)
{
    const ItemPlace_S at = findItemAt(who, position);
    if (!at.item || at.place != PACK_PLACE || !at.item->canUse(&who))
        return false;
    bl3dItem* item = at.item;
    const uint32_t mask = slotBits(*item);
    const int free = firstFreeSlot(who, mask);
    if (free >= 0) {
        who.getPack()->unlink(item);
        who.putInSlot(free, item);
        return true;
    }
    if (!singleSlot(mask))
        return false;
    const int slot = lowestSlot(mask);
    bl3dItem* old = who.getSlotItem(slot);
    if (!old || slotBits(*old) != mask)
        return false;
    // Taking the weapon out of the right hand would bring the ready item
    // there and leave the new one nowhere to go: the ready item steps aside
    // while the two change places, and stays ready.
    bl3dItem* ready = slot == SLOT_RT_HAND ? who.takeFromSlot(SLOT_READY) : nullptr;
    who.getPack()->unlink(item);
    old = who.takeFromSlot(slot);
    who.putInSlot(slot, item);
    who.getPack()->pushFront(old);
    if (ready)
        who.putInSlot(SLOT_READY, ready);
    return true;
}

bool unequip(bl3dPartyChar& who, int position, const Limits_S& limits)
{
    if (who.getPack()->count() >= limits.maxPack)
        return false;
    const ItemPlace_S at = findItemAt(who, position);
    if (!at.item || at.place == PACK_PLACE)
        return false;
    bl3dItem* item = who.takeFromSlot(at.place);
    who.getPack()->pushFront(item);
    return true;
}

bool join(bl3dPartyChar& who, int position)
{
    const ItemPlace_S at = findItemAt(who, position);
    bl3dItem* target = at.item;
    if (!target || !joinable(*target))
        return false;
    if (at.place != PACK_PLACE && !target->isAmmo())
        return false;
    PtrList_C* pack = who.getPack();
    bool moved = false;
    bool restart = true;
    while (restart) {
        restart = false;
        for (int i = 0; i < pack->count() && target->getCharges() < STACK_LIMIT; ++i) {
            auto* other = static_cast<bl3dItem*>(pack->at(i));
            if (other == target || other->getType() != target->getType() || !joinable(*other))
                continue;
            const int32_t sum = target->getCharges() + other->getCharges();
            moved = true;
            if (sum > STACK_LIMIT) {
                other->setCharges(sum - STACK_LIMIT);
                target->setCharges(STACK_LIMIT);
                continue;
            }
            target->setCharges(sum);
            pack->unlink(other);
            delete other;
            restart = true;
            break;
        }
    }
    return moved;
}

bool hasRoom(const bl3dPartyChar& who, const Limits_S& limits)
{
    return who.getPack()->count() < limits.maxPack && who.getItemCount() < limits.maxItems;
}

Give give(bl3dPartyChar& from, int position, bl3dPartyChar& to, const Limits_S& limits)
{
    if (!findItemAt(from, position).item)
        return Give::NoItem;
    if (!hasRoom(to, limits))
        return Give::NoRoom;
    bl3dItem* item = takeItemAt(from, position);
    if (!item)
        return Give::NoItem;
    to.getPack()->pushFront(item);
    return Give::Given;
}

bool discard(bl3dPartyChar& who, int position)
{
    bl3dItem* item = takeItemAt(who, position);
    delete item;
    return item != nullptr;
}

void poolGold(bl3dPartyChar& to, bl3dParty& party)
{
    for (int i = 0; i < party.getCount(); ++i) {
        bl3dPartyChar* m = party.getMember(i);
        if (!m || m == &to)
            continue;
        const int32_t give = std::min(m->getGold(), goldRoom(to));
        if (give > 0 && m->spendGold(give))
            to.addGold(give);
    }
}

void shareGold(bl3dPartyChar& from, bl3dParty& party)
{
    int others = 0;
    for (int i = 0; i < party.getCount(); ++i)
        if (party.getMember(i) && party.getMember(i) != &from)
            ++others;
    const int32_t total = from.getGold();
    if (others == 0 || total <= 0)
        return;
    const int32_t share = total / (others + 1);
    if (share <= 0)
        return;
    for (int i = 0; i < party.getCount(); ++i) {
        bl3dPartyChar* m = party.getMember(i);
        if (!m || m == &from)
            continue;
        const int32_t give = std::min(share, goldRoom(*m));
        if (give > 0 && from.spendGold(give))
            m->addGold(give);
    }
}

} // namespace inv

int equippedCount(const bl3dPartyChar& who)
{
    int n = 0;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        if (who.getSlotItem(slot))
            ++n;
    return n;
}

ItemPlace_S findItemAt(const bl3dPartyChar& who, int position)
{
    if (position < 0)
        return {};
    int left = position;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        bl3dItem* item = who.getSlotItem(slot);
        if (!item)
            continue;
        if (left == 0)
            return {item, slot};
        --left;
    }
    if (left < who.getPack()->count())
        return {static_cast<bl3dItem*>(who.getPack()->at(left)), PACK_PLACE};
    return {};
}

bl3dItem* takeItemAt(bl3dPartyChar& who, int position, int* from)
{
    const ItemPlace_S at = findItemAt(who, position);
    if (from)
        *from = at.item ? at.place : -1;
    if (!at.item)
        return nullptr;
    if (at.place == PACK_PLACE)
        return who.getPack()->unlink(at.item) ? at.item : nullptr;
    return who.takeFromSlot(at.place);
}
