// Light and weather parameters of the 3-D view, computed as plain values from
// the world variable "Weather", the time of day and the map's special light.
// The drawing code hands them to OpenGL; nothing here touches GL, so all of
// it is checked without a display.
#pragma once
#include <cstdint>

// Fog modes, the values of GL_EXP and GL_EXP2.
enum : int { kFogExp = 0x0800, kFogExp2 = 0x0801 };

// One row of the weather table: the steady state of a weather kind.
struct WeatherKind_S {
    float sunFactor;      // scales the sun's ambient and diffuse
    int fogMode;          // kFogExp or kFogExp2
    float fogGrey;        // fog colour grey level; < 0 means the sky colour
    float fogDensity;
    float cloud1Grey, cloud1Alpha;
    float cloud2Grey, cloud2Alpha;
    float repeat1, repeat2;   // cloud layer scales of the sky pass
    float second1, second2;   // second cloud factors
    float sky[3];
    int rainIndex;            // 0..3; -1 leaves the rain as it is
    int rainLevel;
};

// The row of kind 0..8; any other kind draws as kind 0.
const WeatherKind_S& weatherKind(int kind);

// Map-side inputs of the environment pass. Light mode 1 (indoors) comes
// from "Weather" itself.
struct EnvInput_S {
    uint32_t weather = 0x30003;   // "Weather"
    int hour = 12, minute = 0, second = 0;
    uint32_t now = 0;             // game tick
    uint32_t changeStart = 0;     // tick the current change of kind began
    bool specLite = false;
    float specFog[3] = {0, 0, 0};
    float specFogDensity = 0;
    float specLight[3] = {0, 0, 0};
    float partyLight[3] = {0, 0, 0};
    int partyLightStrength = 0;
};

// Everything the environment pass sets.
struct EnvParams_S {
    int lightMode = 3;
    int kind = 0;
    double changeFraction = 1.0;
    double dayFraction = 0.0;
    double sunX = 0.0, sunY = 0.0;    // sun direction
    float daylight = 1.0f;            // t of the light-mode table
    bool light0 = false, light1 = false, light3 = true, light4 = false;
    float sunAmbient[4] = {0, 0, 0, 1};
    float sunDiffuse[4] = {0, 0, 0, 1};
    float sunSpecular[4] = {0, 0, 0, 1};
    float sunPosition[4] = {0, -1, 0, 0};
    int fogMode = kFogExp;
    float fogColour[4] = {0, 0, 0, 1};
    float fogDensity = 0;
    float cloud1[4] = {1, 1, 1, 0.5f};   // grey x 3, alpha
    float cloud2[4] = {1, 1, 1, 0.25f};
    float repeat1 = 1, repeat2 = 1;
    float second1 = 1, second2 = 1;
    float sky[3] = {0.48f, 0.66f, 0.88f};
    bool setRain = false;   // call the sound director's rain with these two
    int rainIndex = 0;
    int rainLevel = 100;
    float partyLight[4] = {0, 0, 0, 1};
    bool partyLightOn = false;
    float partyLightQuadratic = 0;
    float specLight[4] = {0, 0, 0, 1};
    float shadowAlpha = 0.25f;
};

EnvParams_S computeEnvParams(const EnvInput_S& in);

// Sun direction for an hour and minute (the sun crosses from 6:00 to 19:00).
void sunDirection(int hour, int minute, double& dayFraction, double& x, double& y);

// Darkness of the stencil shadows for the first cloud layer's repeat.
float shadowAlphaFor(float repeat1);
