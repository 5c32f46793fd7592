// The item lines that the character sheet and the item chooser list for a
// party member.
//
// A line's value is the position of its item + 1 (positions:
// rules/Inventory.h); the single line "*** Empty ***" of a member without
// items has value 0 and stands for no item. Every caller that acts on a
// chosen line finds the item again by its position (findItemAt) and does the
// taking itself.
#pragma once
#include "rules/Inventory.h"

#include <memory>

class CommonInterface_C;
class ScrollInvList_C;
class bl3dItem;
class bl3dPartyChar;

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

