#include "world/Movement.h"

#include <cmath>

namespace movement {

namespace {
constexpr double kPi = 3.1415926535898;
}

Step_S stepFor(int facing)
{
    switch (facing) {
    case 0: return {0, 1};
    case 90: return {-1, 0};
    case 180: return {0, -1};
    case 270: return {1, 0};
    default: return {};
    }
}

int turned(int facing, Turn t)
{
    const int add = t == Turn::Left ? 90 : t == Turn::Around ? 180 : 270;
    return (((facing + add) % 360) + 360) % 360;
}

int squareX(float curX) { return static_cast<int>(curX); }
int squareY(float curZ) { return static_cast<int>(-curZ); }

int animFrame(uint32_t elapsedMs, int frames)
{
    const uint32_t k = elapsedMs / 25 + 1;
    return k < static_cast<uint32_t>(frames) ? static_cast<int>(k) : frames;
}

float stepEyeHeight(bool firstHalf, int frame, int r)
{
    const float bobR = r / 50.0f;
    if (firstHalf) {
        switch (frame) {
        case 1: return 0.5f + bobR;
        case 2: return 0.52f + bobR;
        default: return 0.54f;
        }
    }
    switch (frame) {
    case 1: return 0.54f;
    case 2: return 0.52f + bobR;
    default: return 0.5f;
    }
}

float turnEyeHeight(int frame, int r)
{
    const float bobR = r / 50.0f;
    switch (frame) {
    case 1: return 0.5f + bobR;
    case 2: return 0.52f + bobR;
    case 3: return 0.54f;
    case 4: return 0.52f + bobR;
    default: return 0.5f;
    }
}

void bob(float& eyeHeight, bool& bobUp, int r)
{
    const float d = r / 50.0f;
    if (eyeHeight < 0.5f) {
        eyeHeight = 0.5f;
        bobUp = true;
    } else if (bobUp) {
        eyeHeight += d;
    } else {
        eyeHeight -= d;
        if (eyeHeight < 0.5f) {
            eyeHeight = 0.5f;
            bobUp = true;
        }
    }
    if (eyeHeight >= 0.54f - 1e-5f) {   // two steps of 0.02 reach the top
        eyeHeight = 0.54f;
        bobUp = false;
    }
}

void freeStep(float& viewX, float& viewZ, int viewFacing, int blockedBits, bool fast)
{
    const double d = fast ? 0.1 : 0.05;
    const double a = viewFacing * kPi / 180.0;
    if (!(blockedBits & 0x02))
        viewX = static_cast<float>(viewX - std::sin(a) * d);
    if (!(blockedBits & 0x01))
        viewZ = static_cast<float>(viewZ - std::cos(a) * d);
}

int freeSquareX(float viewX) { return static_cast<int>(viewX + 0.5f); }
int freeSquareZ(float viewZ) { return static_cast<int>(viewZ - 0.5f); }

double billboardAngle(int dx, int dy)
{
    if (dx != 0)
        return -((kPi / 2 - std::atan2(static_cast<double>(dy), static_cast<double>(dx))) / kPi * 180.0);
    if (dy < 0)
        return 180.0;
    return 0.0;
}

} // namespace movement
