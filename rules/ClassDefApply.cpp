// What a class does to a character: who it allows, its creation modifiers,
// rolls and bonuses, and its starting items.
#include "rules/ClassDef.h"

#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/StatBlock.h"

#include <algorithm>

namespace {

int32_t aboveFourteen(const bl3dStatBlock* stats, int32_t stat, int32_t perPoint) {
    if (!stats || !validStat(stat))
        return 0;
    const int32_t v = stats->getCur(stat);
    return v > 14 ? saturate32((static_cast<int64_t>(v) - 14) * perPoint) : 0;
}

} // namespace

bool ClassDef_S::allows(int race, const bl3dStatBlock* stats) const {
    if (std::find(races.begin(), races.end(), race) == races.end())
        return false;
    for (const ClassStatPair_S& r : requirements)
        if (!stats || stats->getCur(r.stat) < r.value)
            return false;
    return true;
}

void ClassDef_S::applyStatMods(bl3dStatBlock* stats, int type, int key1, int key2) const {
    if (!stats)
        return;
    for (const ClassStatPair_S& m : modifiers)
        stats->addModifier(m.stat, m.value, 0, type, key1, key2);
}

int32_t ClassDef_S::hpBonusFor(const bl3dStatBlock* stats) const {
    return aboveFourteen(stats, STAT_CN, hpBonus);
}

int32_t ClassDef_S::spBonusFor(const bl3dStatBlock* stats) const {
    return spStat == CLASS_NO_STAT ? 0 : aboveFourteen(stats, spStat, spBonus);
}

void ClassDef_S::giveStartingItems(bl3dPartyChar* member) const {
    if (!member)
        return;
    for (const ClassItem_S& s : startingItems) {
        bl3dItemType* type = masterITL.findById(s.itemId);
        if (!type)
            continue;
        bl3dItem* item = type->newInstance();
        if (!item)
            continue;
        bool placed = false;
        if (s.equip && item->canUse(member)) {
            const uint32_t mask = static_cast<uint32_t>(item->getSlotMask());
            for (int slot = 0; slot < SLOT_COUNT && !placed; ++slot)
                if ((mask & (1u << slot)) && !member->getSlotItem(slot))
                    placed = member->putInSlot(slot, item);
        }
        if (!placed && member->getPack()->pushFront(item) != 0)
            delete item;
    }
}
