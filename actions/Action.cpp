#include "actions/Action.h"

#include "rules/Actor.h"
#include "rules/Character.h"

#include <cstdio>
#include <cstring>
#include <iterator>

// Callers that get no record from makeEntry go on to enqueue with the same
// actor, so the base leaves the actor alone.
ActionUse_S* bl3dAction::makeEntry(bl3dActor*, void*, int, void**) { return nullptr; }

void bl3dAction::freeEntry(ActionUse_S*) {}

void bl3dAction::writeRecord(MemStream_C&) const {}

namespace {
// The action's own wording, which is not always the actor's.
const ConditionBlock_S BLOCKS[] = {
    {0x01, "%s would %s, but %s is stunned!\n"},
    {0x02, "%s tries to %s, but %s is poisoned!\n"},
    {0x04, "%s would %s, but %s is aged!\n"},
    {0x08, "%s tries to %s, but %s is sleeping!\n"},
    {0x10, "%s tries to %s, but %s is blinded!\n"},
    {0x20, "%s would %s, but %s is playing a song!\n"},
    {0x80, "%s would %s, but %s is withered!\n"},
    {0x100, "%s would %s, but %s is stone!\n"},
};
} // namespace

int bl3dAction::checkState(bl3dCharacter* who, int32_t ignoreMask, const char* verb, char* out, int outSize) {
    if (!who)
        return -1;
    char wrapped[200];
    std::snprintf(wrapped, sizeof wrapped, who->isPartyMember() ? "#2%s#0" : "#4%s#0", who->getName());
    if (who->getCurHP() < 1) {
        if (out && outSize > 0) {
            if (who->isPartyMember())
                std::snprintf(out, static_cast<size_t>(outSize), "%s", wrapped);
            else
                std::snprintf(out, static_cast<size_t>(outSize), "%s %s", who->article(true), wrapped);
        }
        return -1;
    }
    if (const char* format = blockingCondition(BLOCKS, std::size(BLOCKS), who->getConditions() & ~ignoreMask)) {
        if (out && outSize > 0)
            std::snprintf(out, static_cast<size_t>(outSize), format, wrapped, verb ? verb : "", who->pronoun(0));
        return 0;
    }
    return 1;
}

bool bl3dAction::usable(bl3dCharacter* who, int distance) {
    char scratch[1000];
    if (checkState(who, 2, "test", scratch, sizeof scratch) < 1)
        return false;
    const uint8_t r = range();
    return r == 0 || distance <= r;
}

// --- bl3dSpell --------------------------------------------------------------

bl3dSpell::bl3dSpell(int32_t classMask, int32_t level, const char* name, const char* description, const char* code)
    : bl3dAction(classMask, level), name_(name ? name : ""), description_(description ? description : "") {
    if (code)
        std::strncpy(code_, code, 4);
    code_[4] = 0;
}

// --- bl3dPlotEvent ----------------------------------------------------------

bl3dPlotEvent::bl3dPlotEvent(int32_t eventNumber)
    : bl3dAction(ALL_CLASSES, 0), eventNumber_(eventNumber), name_("plotEvent"), description_("plotEvent") {}

ActionUse_S* bl3dPlotEvent::enqueue(bl3dActor* actor, int, int, void**) {
    delete actor;
    return nullptr;
}

int32_t bl3dPlotEvent::actionID() const {
    return static_cast<int32_t>(ACTION_PLOT_EVENT | (static_cast<uint32_t>(eventNumber_) & ACTION_NUMBER_MASK));
}
