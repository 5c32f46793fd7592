// Movement arithmetic of the main view: steps, turns, animation frames and
// the walking bob. No SDL and no GL, so every rule is checked headless.
#pragma once
#include <cstdint>

namespace movement {

// Grid step for a facing in degrees: 0 north (+y), 90 west (-x), 180 south
// (-y), 270 east (+x). Any other facing gives (0, 0).
struct Step_S {
    int dx = 0;
    int dy = 0;
};
Step_S stepFor(int facing);

// The facings the party may take: 0, 90, 180 and 270.
inline bool isFacing(int facing) { return facing == 0 || facing == 90 || facing == 180 || facing == 270; }

enum class Turn { Left, Around, Right };
// (facing + 90, 180 or 270) mod 360.
int turned(int facing, Turn t);

// A step is taken when nothing blocks it or "WalkThrough" is set.
inline bool stepAllowed(bool blocked, int32_t walkThrough) { return !blocked || walkThrough != 0; }

// The square a world position stands on: (whole part of x, whole part of -z).
int squareX(float curX);
int squareY(float curZ);

// Animation frame k (1..frames) after elapsed milliseconds, 25 ms a frame.
int animFrame(uint32_t elapsedMs, int frames);

// Eye heights of the step halves (3 frames) and the turn (5 frames); r is the
// cosmetic roll 0 or 1.
float stepEyeHeight(bool firstHalf, int frame, int r);
float turnEyeHeight(int frame, int r);

// One walking bob of free navigation; r is the cosmetic roll 0 or 1.
void bob(float& eyeHeight, bool& bobUp, int r);

// Free navigation: the new view position after one forward event, given the
// blocking bits of the free-move test (0x02 x blocked, 0x01 z blocked).
void freeStep(float& viewX, float& viewZ, int viewFacing, int blockedBits, bool fast);

// The square a free-navigation view position is taken to.
int freeSquareX(float viewX);   // whole part of (x + 0.5)
int freeSquareZ(float viewZ);   // whole part of (z - 0.5)

// Billboard turn in degrees for a square at (dx, dy) from the viewer.
double billboardAngle(int dx, int dy);

} // namespace movement
