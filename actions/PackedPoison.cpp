#include "actions/PackedPoison.h"

#include "rules/Character.h"

PackedPoison_S PackedPoison_S::unpack(uint32_t packed, int32_t tickScale) {
    PackedPoison_S p;
    p.duration = ((packed >> 22) & 0x1ffu) * static_cast<uint32_t>(tickScale);
    p.sides = static_cast<int32_t>(packed & 0x1fu);
    p.count = static_cast<int32_t>((packed >> 5) & 0x1fu);
    p.bonus = static_cast<int32_t>((packed >> 10) & 0x3fu);
    p.stride = static_cast<int32_t>((packed >> 16) & 0x3fu) * tickScale;
    p.allowSave = (packed & 0x80000000u) != 0;
    return p;
}

void PackedPoison_S::apply(bl3dCharacter& who) const {
    who.poison(duration, sides, count, bonus, stride, allowSave);
}
