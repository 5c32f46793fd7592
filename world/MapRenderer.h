// The 3-D drawing of a map: the shared display lists of one square, the
// square pass, the sky with its sun and clouds, the environment (lights, fog
// and weather) and the stencil shadows. The Map_C drawing operations
// (drawEnv, drawSky, drawCells, beginShadows, endShadows) are defined here;
// this header holds what the interface needs besides them.
//
// Nothing here allocates per frame: the square order lives in the map's draw
// data, made once per map, and textures were uploaded when the map loaded.
#pragma once
#include "world/EnvParams.h"

class Map_C;

namespace maprender {

// Display list numbers of the shared square geometry: walls of height 1..4,
// billboards of height 1..4, floor, ceiling.
enum List : int {
    WALL1 = 0, WALL4 = 3,
    BILLBOARD1 = 4, BILLBOARD4 = 7,
    FLOOR = 8,
    CEILING = 9,
    LIST_COUNT = 10,
};

// Builds the ten lists once per GL context (again after a new context); false
// when GL cannot make them. Needs a current GL context.
bool ensureDisplayLists();
// The GL name of one list, 0 when the lists could not be made.
unsigned listName(int list);
// The list of a wall or billboard for a texture level: 2, 3 and 4 take their
// own height, anything else height 1.
int wallList(int level);
int billboardList(int level);

// Where the view is drawn from; the interface sets it before the map draws.
struct Camera_S {
    float x = 0.0f;
    float eyeHeight = 0.5f;
    float z = 0.0f;
    float facing = 0.0f;   // degrees
};
void setCamera(const Camera_S& camera);
const Camera_S& camera();

// The part of the plane the camera can see: a wedge of the horizontal field
// of view (90 degrees vertically at aspect 1.25), widened by a margin that
// covers a whole square; extra widens it further (shadow pass).
struct ViewCone_S {
    static constexpr float kSlope = 1.25f;   // tan of half the horizontal angle
    float x = 0, z = 0;     // eye
    float fx = 0, fz = -1;  // looking direction in x, z
    float margin = 1.2f;
    float back = 0.75f;
    // Whether a square centred on (px, pz) may show.
    bool sees(float px, float pz) const;
};
ViewCone_S viewCone(const Camera_S& camera, float extra);
// How far (in squares) the shadow of a wall 4 high reaches for a sun
// direction.
float shadowReach(double sunX, double sunY);

// The square pass in parts: the opaque floors, ceilings and walls (nearest
// first), the billboards (farthest first), or both. Map_C::drawCells draws
// both; the interface puts the sky between them.
enum Parts : int { OPAQUE = 1, BILLBOARDS = 2, ALL_PARTS = 3 };
void drawSquares(Map_C& map, int x, int y, int facing, int pass, int parts);

// The environment parameters for a map at the present game time, as the
// environment pass will set them (for tests and the benchmark).
EnvParams_S envParamsFor(Map_C& map);

} // namespace maprender
