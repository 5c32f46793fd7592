#include "world/PartyLight.h"

#include <cmath>

namespace {

struct LightBit {
    float r, g, b;
    int radius;
};

const LightBit kMundane[2] = {
    {2.0f, 1.27f, 0.266f, 2},
    {4.0f, 3.544f, 0.972f, 4},
};

const LightBit kMagic[7] = {
    {1.44f, 2.0f, 2.0f, 2},
    {2.16f, 3.0f, 2.34f, 3},
    {3.6f, 5.0f, 3.9f, 5},
    {3.0f, 2.4f, 2.34f, 3},
    {5.0f, 4.0f, 3.9f, 5},
    {9.0f, 1.125f, 1.125f, 9},
    {2.0f, 2.0f, 1.34f, 2},
};

} // namespace

PartyLight_S computePartyLight(uint32_t munLt1, uint32_t magLt1)
{
    float sum[3] = {0, 0, 0};
    int radii = 0;
    int squares = 0;
    auto add = [&](const LightBit& l) {
        sum[0] += l.r;
        sum[1] += l.g;
        sum[2] += l.b;
        radii += l.radius;
        squares += l.radius * l.radius;
    };
    for (int i = 0; i < 2; ++i)
        if (munLt1 & (1u << i))
            add(kMundane[i]);
    for (int i = 0; i < 7; ++i)
        if (magLt1 & (1u << i))
            add(kMagic[i]);

    PartyLight_S out;
    if (radii > 0)
        for (int i = 0; i < 3; ++i)
            out.colour[i] = sum[i] / static_cast<float>(radii);
    if (squares > 0) {
        const int r = static_cast<int>(std::sqrt(static_cast<double>(squares)) + 0.5);
        out.radius = r > 10 ? 10 : r;
    }
    return out;
}

XCValues_S computeXC(uint32_t xcState)
{
    XCValues_S v;
    if (xcState & 0x01) { v.bonus += 50; v.reduce += 50; }
    if (xcState & 0x02) v.bonus += 50;
    if (xcState & 0x04) v.reduce += 25;
    if (xcState & 0x08) v.reduce += 50;
    if (xcState & 0x10) { v.bonus += 50; v.reduce += 50; }
    return v;
}
