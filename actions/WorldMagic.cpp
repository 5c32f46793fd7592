#include "actions/WorldMagic.h"

#include "actions/ActionEnv.h"
#include "actions/Attributes.h"
#include "core/TagList.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

#include <iterator>

namespace {

const MagicBit_S LIGHT_BITS[] = {
    {0x01, tagkey::MagExp11}, {0x02, tagkey::MagExp12}, {0x04, tagkey::MagExp13}, {0x08, tagkey::MagExp14},
    {0x10, tagkey::MagExp15}, {0x20, tagkey::MagExp16}, {0x40, tagkey::MagExp17},
};
const MagicBit_S PERCEPTION_BITS[] = {
    {0x01, tagkey::MagExp21}, {0x02, tagkey::MagExp22}, {0x04, tagkey::MagExp23}, {0x08, tagkey::MagExp24}, {0x10, tagkey::MagExp25},
};
const MagicBit_S STATE_BITS[] = {
    {0x01, tagkey::MagExp31}, {0x02, tagkey::MagExp32}, {0x04, tagkey::MagExp33}, {0x08, tagkey::MagExp34},
    {0x10, tagkey::MagExp35}, {0x20, tagkey::MagExp36}, {0x40, tagkey::MagExp37}, {0x80, tagkey::MagExp38},
};
const MagicBit_S ENCOUNTER_BITS[] = {
    {0x02, tagkey::MagExp41}, {0x04, tagkey::MagExp42}, {0x08, tagkey::MagExp43},
};

const MagicFamily_S FAMILIES[MAGIC_FAMILY_COUNT] = {
    {tagkey::MagLt1, 9010, LIGHT_BITS, static_cast<int>(std::size(LIGHT_BITS))},
    {tagkey::Percep1, 9011, PERCEPTION_BITS, static_cast<int>(std::size(PERCEPTION_BITS))},
    {tagkey::MagState1, 9012, STATE_BITS, static_cast<int>(std::size(STATE_BITS))},
    {tagkey::XCState, 9013, ENCOUNTER_BITS, static_cast<int>(std::size(ENCOUNTER_BITS))},
};

} // namespace

const MagicFamily_S& magicFamily(MagicFamily family) {
    const int i = family >= 0 && family < MAGIC_FAMILY_COUNT ? family : 0;
    return FAMILIES[i];
}

bool raiseMagicBits(TagList_C* tags, MagicFamily family, int32_t bits, uint32_t until) {
    if (!tags)
        return false;
    const MagicFamily_S& f = magicFamily(family);
    int32_t value = intAttribute(tags, f.variable);
    bool raised = false;
    for (int i = 0; i < f.count; ++i) {
        const MagicBit_S& b = f.bits[i];
        if (!(bits & b.bit))
            continue;
        value |= b.bit;
        if (static_cast<uint32_t>(intAttribute(tags, b.expiry)) < until) {
            setIntAttribute(tags, b.expiry, static_cast<int32_t>(until));
            raised = true;
        }
    }
    setIntAttribute(tags, f.variable, value);
    return raised;
}

int32_t expireMagicBits(TagList_C* tags, MagicFamily family, uint32_t now, int32_t mask) {
    if (!tags)
        return 0;
    const MagicFamily_S& f = magicFamily(family);
    int32_t value = intAttribute(tags, f.variable);
    for (int i = 0; i < f.count; ++i) {
        const MagicBit_S& b = f.bits[i];
        if ((mask & b.bit) && static_cast<uint32_t>(intAttribute(tags, b.expiry)) <= now)
            value &= ~b.bit;
    }
    setIntAttribute(tags, f.variable, value);
    return value;
}

bool extendWorldMagic(MagicFamily family, int32_t bits, uint32_t until) {
    if (!raiseMagicBits(rulesEnv().worldTags(), family, bits, until))
        return false;
    actionEnv().queueTimedEvent(magicFamily(family).expiryEvent, until);
    return true;
}
