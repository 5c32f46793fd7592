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

// The environment parameters for a map at the present game time, as the
// environment pass will set them (for tests and the benchmark).
EnvParams_S envParamsFor(Map_C& map);

} // namespace maprender
