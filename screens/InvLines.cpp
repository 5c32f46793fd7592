#include "screens/InvLines.h"

#include "core/RefStr.h"
#include "core/ScrollList.h"
#include "rules/Item.h"
#include "rules/PartyChar.h"

namespace {
constexpr int kFirstSlotGlyph = 18;
constexpr int kGlyphSlots = 12;
} // namespace

int slotTag(int slot, const bl3dItem& item)
{
    if (!item.isEquipped())
        return '-';
    return slot >= 0 && slot < kGlyphSlots ? kFirstSlotGlyph + slot : '*';
}

int packTag(const bl3dItem& item, const bl3dPartyChar& who) { return item.canUse(&who) ? 0 : '@'; }

std::unique_ptr<ScrollInvList_C> makeInvList(const CommonInterface_C* text, const bl3dPartyChar& who, int left,
                                             int right, int top, int bottom, int indent, int priceWidth,
                                             bool halfPrices)
{
    auto list = std::make_unique<ScrollInvList_C>(text, left, right, top, bottom, indent, priceWidth);
    auto price = [halfPrices](const bl3dItem& item) {
        const int p = item.getPrice();
        return halfPrices ? p / 2 : p;
    };
    int value = 1;
    RefStr_C name;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        const bl3dItem* item = who.getSlotItem(slot);
        if (!item)
            continue;
        item->getDisplayName(name);
        list->addLine(name.c_str(), value++, slotTag(slot, *item), true, price(*item));
    }
    const PtrList_C* pack = who.getPack();
    for (int i = 0; i < pack->count(); ++i) {
        const auto* item = static_cast<const bl3dItem*>(pack->at(i));
        item->getDisplayName(name);
        list->addLine(name.c_str(), value++, packTag(*item, who), true, price(*item));
    }
    if (value == 1)
        list->addLine("*** Empty ***", 0, 0, true, 0);
    return list;
}
