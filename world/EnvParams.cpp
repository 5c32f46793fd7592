#include "world/EnvParams.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.1415926535898;

const WeatherKind_S kKinds[9] = {
    // sun  fog       grey   dens   c1g   c1a   c2g   c2a   rep1 rep2 sec1 sec2  sky                  rain
    {1.0f, kFogExp, -1.0f, 0.025f, 1.0f, 0.5f, 1.0f, 0.25f, 1.0f, 1.0f, 1.0f, 1.0f, {0.48f, 0.66f, 0.88f}, 0, 100},
    {0.65f, kFogExp, -1.0f, 0.025f, 0.7f, 0.75f, 0.7f, 0.75f, 1.5f, 1.5f, 1.5f, 1.5f, {0.34f, 0.55f, 0.7f}, 0, 100},
    {0.45f, kFogExp, -1.0f, 0.025f, 0.4f, 1.0f, 0.3f, 1.0f, 2.0f, 2.0f, 1.5f, 1.5f, {0.34f, 0.55f, 0.7f}, 0, 100},
    {1.0f, kFogExp2, 0.7f, 0.25f, 1.0f, 0.75f, 1.0f, 0.75f, 1.5f, 1.5f, 1.5f, 1.5f, {0.34f, 0.55f, 0.7f}, -1, 100},
    {1.0f, kFogExp2, 0.7f, 0.45f, 1.0f, 0.75f, 1.0f, 0.75f, 1.5f, 1.5f, 1.5f, 1.5f, {0.34f, 0.55f, 0.7f}, -1, 100},
    {1.0f, kFogExp2, 0.7f, 0.7f, 1.0f, 0.75f, 1.0f, 0.75f, 1.5f, 1.5f, 1.5f, 1.5f, {0.34f, 0.55f, 0.7f}, -1, 100},
    {0.65f, kFogExp, 0.5f, 0.25f, 0.7f, 0.75f, 0.6f, 0.75f, 1.5f, 1.5f, 2.0f, 2.0f, {0.5f, 0.5f, 0.5f}, 1, 100},
    {0.55f, kFogExp, 0.5f, 0.45f, 0.45f, 1.0f, 0.4f, 1.0f, 2.0f, 2.0f, 2.0f, 2.0f, {0.5f, 0.5f, 0.5f}, 2, 100},
    {0.45f, kFogExp, 0.5f, 0.7f, 0.3f, 1.0f, 0.2f, 1.0f, 3.0f, 3.0f, 2.5f, 2.5f, {0.5f, 0.5f, 0.5f}, 3, 100},
};

bool isFogKind(int k) { return k >= 3 && k <= 5; }
bool isRainKind(int k) { return k >= 6 && k <= 8; }

float mix(float a, float b, double f) { return static_cast<float>(a + (b - a) * f); }

void kindFogColour(const WeatherKind_S& k, float out[3])
{
    for (int i = 0; i < 3; ++i)
        out[i] = k.fogGrey < 0 ? k.sky[i] : k.fogGrey;
}

} // namespace

const WeatherKind_S& weatherKind(int kind)
{
    return (kind >= 0 && kind <= 8) ? kKinds[kind] : kKinds[0];
}

void sunDirection(int hour, int minute, double& dayFraction, double& x, double& y)
{
    dayFraction = ((hour - 6) * 60 + minute) / 780.0;
    x = std::cos(dayFraction * kPi);
    y = -std::sin(dayFraction * kPi);
}

float shadowAlphaFor(float repeat1)
{
    return std::max(0.0f, 0.25f - (repeat1 - 1.0f) / 2.0f * 0.25f);
}

EnvParams_S computeEnvParams(const EnvInput_S& in)
{
    EnvParams_S p;
    const uint32_t w = in.weather;
    p.lightMode = static_cast<int>(w & 0xF);
    p.kind = static_cast<int>((w >> 4) & 0xF);
    const bool changing = (w & 0x100) != 0;
    int prev = static_cast<int>((w >> 20) & 0xF);
    if (prev > 8)
        prev = p.kind;

    // 1. How far a change of weather kind has come.
    p.changeFraction = 1.0;
    if (changing) {
        const uint32_t since = in.now - in.changeStart;
        if (since < 120)
            p.changeFraction = since / 120.0;
    }
    const double f = p.changeFraction;

    // 2. The sun's path.
    sunDirection(in.hour, in.minute, p.dayFraction, p.sunX, p.sunY);

    // 4. Light mode and daylight.
    const float hourShare = (2.0f * in.minute + in.second / 30.0f) / 120.0f;
    bool sunPlaced = false;
    switch (p.lightMode) {
    case 1:
        p.daylight = 1.0f;
        p.light3 = true;
        p.light4 = in.specLite;
        break;
    case 2:
        p.daylight = in.hour >= 7 ? 1.0f : hourShare;
        p.light0 = p.light1 = p.light3 = true;
        sunPlaced = true;
        break;
    case 4:
        p.daylight = in.hour >= 19 ? 0.0f : 1.0f - hourShare;
        p.light0 = p.light1 = p.light3 = true;
        sunPlaced = true;
        break;
    case 5:
        p.daylight = 0.0f;
        p.light1 = p.light3 = true;
        break;
    default:  // 3 day, and any mode the table lacks
        p.daylight = 1.0f;
        p.light0 = p.light3 = true;
        sunPlaced = p.lightMode == 3;
        break;
    }
    const float t = p.daylight;
    const bool scaled = p.lightMode == 2 || p.lightMode == 4;

    // 3. Sun light before the weather's share.
    const float ambient[3] = {0.625f, 0.625f, 0.575f};
    for (int i = 0; i < 3; ++i) {
        p.sunAmbient[i] = ambient[i] * (scaled ? t : 1.0f);
        p.sunDiffuse[i] = scaled ? t : 1.0f;
        p.sunSpecular[i] = scaled ? t : 1.0f;
    }
    if (sunPlaced) {
        p.sunPosition[0] = static_cast<float>(p.sunX);
        p.sunPosition[1] = static_cast<float>(p.sunY);
    }

    // 5. Fog, clouds and sky.
    if (p.lightMode == 1) {
        p.fogMode = kFogExp;
        if (in.specLite) {
            for (int i = 0; i < 3; ++i)
                p.fogColour[i] = in.specFog[i];
            p.fogDensity = in.specFogDensity;
        } else {
            p.fogDensity = 0.0f;
        }
    } else {
        const WeatherKind_S& b = weatherKind(p.kind);
        const WeatherKind_S& a = changing ? weatherKind(prev) : b;
        const float sunFactor = mix(a.sunFactor, b.sunFactor, f);
        for (int i = 0; i < 3; ++i) {
            p.sunAmbient[i] *= sunFactor;
            p.sunDiffuse[i] *= sunFactor;
            p.sky[i] = mix(a.sky[i], b.sky[i], f);
        }
        p.fogMode = (isFogKind(p.kind) || (changing && isFogKind(prev))) ? kFogExp2 : kFogExp;
        p.fogDensity = mix(a.fogDensity, b.fogDensity, f);
        float colour[3];
        if (!changing || (!isFogKind(prev) && !isFogKind(p.kind))) {
            // Dry and rain kinds take the new kind's fog colour.
            for (int i = 0; i < 3; ++i)
                colour[i] = b.fogGrey < 0 ? p.sky[i] : b.fogGrey;
        } else {
            float ca[3], cb[3];
            kindFogColour(a, ca);
            kindFogColour(b, cb);
            for (int i = 0; i < 3; ++i)
                colour[i] = mix(ca[i], cb[i], f);
        }
        for (int i = 0; i < 3; ++i)
            p.fogColour[i] = colour[i] * t;
        // The sky and its clouds are drawn unlit: they take the daylight as
        // the fog does, so the night sky is as dark as the night fog and
        // never brighter than the streets under it.
        for (int i = 0; i < 3; ++i)
            p.sky[i] *= t;
        const float g1 = mix(a.cloud1Grey, b.cloud1Grey, f) * t;
        const float g2 = mix(a.cloud2Grey, b.cloud2Grey, f) * t;
        for (int i = 0; i < 3; ++i) {
            p.cloud1[i] = g1;
            p.cloud2[i] = g2;
        }
        p.cloud1[3] = mix(a.cloud1Alpha, b.cloud1Alpha, f);
        p.cloud2[3] = mix(a.cloud2Alpha, b.cloud2Alpha, f);
        p.repeat1 = mix(a.repeat1, b.repeat1, f);
        p.repeat2 = mix(a.repeat2, b.repeat2, f);
        p.second1 = mix(a.second1, b.second1, f);
        p.second2 = mix(a.second2, b.second2, f);

        // Rain: steady kinds set theirs (fog leaves it); a change that
        // involves rain fades the new one in as the old one fades out.
        if (changing && (isRainKind(prev) || isRainKind(p.kind))) {
            p.setRain = true;
            p.rainIndex = isRainKind(p.kind) ? b.rainIndex : 0;
            p.rainLevel = static_cast<int>(f * 100.0);
        } else if (!changing && b.rainIndex >= 0) {
            p.setRain = true;
            p.rainIndex = b.rainIndex;
            p.rainLevel = b.rainLevel;
        }
    }

    // 7. The party's own light and the special light.
    for (int i = 0; i < 3; ++i) {
        p.partyLight[i] = in.partyLight[i];
        p.specLight[i] = in.specLight[i];
    }
    p.partyLightOn = in.partyLightStrength > 0;
    const float q = 1.0f - in.partyLightStrength / 10.0f;
    p.partyLightQuadratic = 2.0f * q * q + 0.05f;
    p.shadowAlpha = shadowAlphaFor(p.repeat1);
    return p;
}
