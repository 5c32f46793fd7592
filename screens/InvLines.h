// The item lines that the character sheet and the item chooser list for a
// party member, and the item positions they stand for.
//
// Positions count the filled equipment slots in slot order 0..19 first,
// then the pack in pack order, from 0. A line's value is its position + 1;
// the single line "*** Empty ***" of a member without items has value 0 and
// stands for no item. Every caller that acts on a chosen line finds the item
// again by its position (findItemAt) and does the taking itself.
#pragma once
#include <memory>

class CommonInterface_C;
class ScrollInvList_C;
class bl3dItem;
class bl3dPartyChar;

// The place an item comes from: an equipment slot 0..19, or the pack.
constexpr int PACK_PLACE = 20;

struct ItemPlace_S {
    bl3dItem* item = nullptr;   // null: no item at that position
    int place = -1;             // 0..19 a slot, PACK_PLACE the pack
};

// The tag shown before an item line: slots 0..11 the font's slot icons
// (characters 18..29), slots 12..19 '*', an item whose equipped flag is off
// '-'; a pack item the member cannot use '@', another none (0).
int slotTag(int slot, const bl3dItem& item);
int packTag(const bl3dItem& item, const bl3dPartyChar& who);

// A list of the member's items between the given edges (GL y lines top and
// bottom), text indent and price column width; prices are the item type's,
// halved (rounded down) when halfPrices is set.
std::unique_ptr<ScrollInvList_C> makeInvList(const CommonInterface_C* text, const bl3dPartyChar& who, int left,
                                             int right, int top, int bottom, int indent, int priceWidth,
                                             bool halfPrices);

// The member's filled equipment slots.
int equippedCount(const bl3dPartyChar& who);
// The item at a position; {null, -1} when there is none (negative or past
// the last item).
ItemPlace_S findItemAt(const bl3dPartyChar& who, int position);
// Takes the item at a position out of the member (out of its slot, taking
// off what it gave, or out of the pack) and hands it to the caller; *from
// gets the place it came from. Null (and *from -1) when there is none.
bl3dItem* takeItemAt(bl3dPartyChar& who, int position, int* from = nullptr);
