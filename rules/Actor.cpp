#include "rules/Actor.h"

#include "rules/Character.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"

#include <cstdio>
#include <iterator>

namespace {
const ConditionBlock_S BLOCKS[] = {
    {0x01, "%s would %s, but %s is stunned!\n"},
    {0x02, "%s tries to %s, but %s is poisoned!\n"},
    {0x04, "%s tries to %s, but %s is aged!\n"},
    {0x08, "%s would %s, but %s is sleeping!\n"},
    {0x10, "%s tries to %s, but %s is blinded!\n"},
    {0x20, "%s would %s, but %s is playing a song!\n"},
};

void say(char* out, int outSize, const char* format, const bl3dCharacter* who, const char* verb) {
    if (out && outSize > 0)
        std::snprintf(out, static_cast<size_t>(outSize), format, who->getName(), verb ? verb : "", who->pronoun(0));
}

bl3dPartyChar* asMember(bl3dCharacter* who) {
    return (who && who->isPartyMember()) ? static_cast<bl3dPartyChar*>(who) : nullptr;
}
} // namespace

const char* blockingCondition(const ConditionBlock_S* table, size_t count, int32_t conditions) {
    for (size_t i = 0; i < count; ++i)
        if (conditions & table[i].bit)
            return table[i].format;
    return nullptr;
}

bool bl3dActor::canAct(int32_t mask, const char* verb, char* out, int outSize) {
    if (!who_)
        return true;
    if (who_->getCurHP() < 1) {
        say(out, outSize, "%s would %s, but %s is dead!\n", who_, verb);
        return false;
    }
    if (const char* format = blockingCondition(BLOCKS, std::size(BLOCKS), who_->getConditions() & mask)) {
        say(out, outSize, format, who_, verb);
        return false;
    }
    return true;
}

bool bl3dActor::hasPoints(int32_t n) { return who_ && who_->getCurSP() >= n; }

int32_t bl3dActor::addPoints(int32_t n) { return who_ ? who_->addSP(n) : 0; }

bool bl3dItemActor::canAct(int32_t mask, const char* verb, char* out, int outSize) {
    if (!bl3dActor::canAct(mask, verb, out, outSize))
        return false;
    bl3dPartyChar* m = asMember(who_);
    if (m && !m->getSlotItem(slot_)) {
        say(out, outSize, "%s would %s, but %s no longer has needed item!\n", who_, verb);
        return false;
    }
    return true;
}

// The item must keep one charge after paying: an item on its last charge
// cannot pay for a use.
bool bl3dItemActor::hasPoints(int32_t) {
    bl3dPartyChar* m = asMember(who_);
    const bl3dItem* item = m ? m->getSlotItem(slot_) : nullptr;
    return item && item->getCharges() > 1;
}

int32_t bl3dItemActor::addPoints(int32_t) {
    bl3dPartyChar* m = asMember(who_);
    bl3dItem* item = m ? m->getSlotItem(slot_) : nullptr;
    if (!item)
        return 0;
    const int32_t charges = item->getCharges();
    if (charges == UNLIMITED_CHARGES)
        return charges;
    item->setCharges(charges - 1);
    if (charges == 1) {
        delete m->takeFromSlot(slot_);
        return 0;
    }
    return charges - 1;
}
