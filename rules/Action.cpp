#include "rules/Action.h"

#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Character.h"

#include <cstdint>
#include <cstdio>
#include <iterator>

TextBuf_C* contextText(int argc, void** argv, int index) {
    return (argv && index >= 0 && index < argc) ? static_cast<TextBuf_C*>(argv[index]) : nullptr;
}

int32_t contextInt(int argc, void** argv, int index, int32_t fallback) {
    if (!argv || index < 0 || index >= argc || !argv[index])
        return fallback;
    return *static_cast<const int32_t*>(argv[index]);
}

bool contextFlag(int argc, void** argv, int index, bool fallback) {
    if (!argv || index < 0 || index >= argc || !argv[index])
        return fallback;
    return *static_cast<const uint8_t*>(argv[index]) != 0;
}

int32_t contextPlainInt(int argc, void** argv, int index, int32_t fallback) {
    if (!argv || index < 0 || index >= argc)
        return fallback;
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(argv[index]));
}

// Nothing to build: the actor is taken over all the same, so the caller's
// next try (enqueue) comes with a new one.
ActionUse_S* bl3dAction::makeEntry(bl3dActor* actor, void*, int, void**) {
    delete actor;
    return nullptr;
}

void bl3dAction::freeEntry(ActionUse_S* use) { delete use; }

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

namespace {
// The creature's name in its colour: party members green, the rest red.
void wrappedName(const bl3dCharacter* who, char* out, size_t size) {
    std::snprintf(out, size, who->isPartyMember() ? "#2%s#0" : "#4%s#0", who->getName());
}
} // namespace

int bl3dAction::checkState(bl3dCharacter* who, int32_t ignoreMask, const char* verb, TextBuf_C* out) {
    if (!who)
        return -1;
    char wrapped[NAME_SIZE + 8];
    if (who->getCurHP() < 1) {
        if (out) {
            wrappedName(who, wrapped, sizeof wrapped);
            if (who->isPartyMember())
                out->set("%s", wrapped);
            else
                out->set("%s %s", who->article(true), wrapped);
        }
        return -1;
    }
    if (const char* format = blockingCondition(BLOCKS, std::size(BLOCKS), who->getConditions() & ~ignoreMask)) {
        if (out) {
            wrappedName(who, wrapped, sizeof wrapped);
            out->set(format, wrapped, verb ? verb : "", who->pronoun(0));
        }
        return 0;
    }
    return 1;
}

bool bl3dAction::usable(bl3dCharacter* who, int distance) {
    // The test needs no words: nothing is written.
    if (checkState(who, 2, "test", nullptr) < 1)
        return false;
    const uint8_t r = range();
    return r == 0 || distance <= r;
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
