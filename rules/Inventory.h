// What may be done to a party member's items and gold: find the item at a
// position, equip, unequip, join ammunition, give, discard, pool and share
// gold. Plain rules on the model: no drawing and no events, so the
// character sheet, the fight's order entry, chests, shops and the Hall and
// the tests call the same code.
//
// Items are named by their position: the filled equipment slots in slot
// order 0..19 first, then the pack in pack order, from 0. Every operation
// leaves each item with exactly one owner: an item leaves a member only into
// another member's pack or, when discarded or merged into another stack,
// into the bin.
#pragma once
#include <cstdint>

class bl3dItem;
class bl3dParty;
class bl3dPartyChar;

// The place an item comes from: an equipment slot 0..19, or the pack.
constexpr int PACK_PLACE = 20;

struct ItemPlace_S {
    bl3dItem* item = nullptr;   // null: no item at that position
    int place = -1;             // 0..19 a slot, PACK_PLACE the pack
};

// The member's filled equipment slots.
int equippedCount(const bl3dPartyChar& who);
// The item at a position; {null, -1} when there is none (negative or past
// the last item).
ItemPlace_S findItemAt(const bl3dPartyChar& who, int position);
// Takes the item at a position out of the member (out of its slot, taking
// off what it gave, or out of the pack) and hands it to the caller; *from
// gets the place it came from. Null (and *from -1) when there is none.
bl3dItem* takeItemAt(bl3dPartyChar& who, int position, int* from = nullptr);

namespace inv {

// Charges one joined stack may hold.
constexpr int32_t STACK_LIMIT = 200;

// How much a member may carry: pack items, and items in all.
struct Limits_S {
    int maxPack = 8;
    int maxItems = 28;
};
// The limits of the world in play (RulesEnv_C); the defaults when none is
// loaded.
Limits_S worldLimits();

// Whether the sheet offers to equip this pack item: the member can use it,
// and a slot of its slot mask is free or the mask names one slot whose item
// has the very same mask.
bool canOfferEquip(const bl3dPartyChar& who, const bl3dItem& item);

// The pack item at the position goes into the first free slot of its slot
// mask (lowest first); with no free slot and a mask of one slot whose item
// has the same mask, the two change places (the old one onto the pack; a
// ready item stays ready). True when an item moved.
bool equip(bl3dPartyChar& who, int position);
// The equipped item at the position goes onto the front of the pack when
// the pack has room. True when it moved.
bool unequip(bl3dPartyChar& who, int position, const Limits_S& limits);
// Merges the other pack stacks of the same type into the item at the
// position (an equipped one only when it is ammunition), up to STACK_LIMIT
// charges; emptied stacks are deleted. Stacks without charges, unlimited
// ones and those over the limit are never joined. True when charges moved.
bool join(bl3dPartyChar& who, int position);

// Whether the member can take one more item into its pack.
bool hasRoom(const bl3dPartyChar& who, const Limits_S& limits);
enum class Give { NoItem, NoRoom, Given };
// The item at the position leaves `from` (out of its slot or pack) onto the
// front of `to`'s pack, when `to` has room; `to` may be `from`.
Give give(bl3dPartyChar& from, int position, bl3dPartyChar& to, const Limits_S& limits);
// Takes the item at the position out of the member and deletes it; false
// when there is none.
bool discard(bl3dPartyChar& who, int position);

// Every other member of the party gives all its gold to `to`, as much as
// `to` can hold (an int32); nothing is lost on the way.
void poolGold(bl3dPartyChar& to, bl3dParty& party);
// `from` shares its gold with the other members: each gets total / (others
// + 1) as far as it can hold it, `from` keeps the rest. A share of nothing
// (no gold, no one to share with) changes nothing.
void shareGold(bl3dPartyChar& from, bl3dParty& party);

} // namespace inv
