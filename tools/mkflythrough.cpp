// mkflythrough: renders the game's own 3-D view along a path of waypoints,
// one picture per frame, for the introduction and credits movies and the
// introduction slides (tools/make-movies.sh turns the frames into movies).
//
//   mkflythrough GAME_FOLDER OUT_FOLDER PATH_FILE
//
// The path file holds one command a line ('#' starts a comment):
//   map maps/catacombs.cfg        goes to that map
//   weather 0x03                  sets the world variable "Weather"
//   var MunLt1 2                  sets a world variable (the party's light
//                                 is worked out again)
//   hour 14                       sets the clock to that hour of the day
//   at X Y FACING                 puts the camera on square X, Y
//   fly X Y FACING FRAMES         moves and turns smoothly there in FRAMES
//   hold FRAMES                   stays where it is
// Every frame is written as OUT_FOLDER/fNNNNN.ppm: the 3-D view of the main
// screen (500 x 375 from its middle), top row first. Runs in a 1024 x 768
// OpenGL window (under Xvfb for Mesa's software renderer).
#include "tools/GameBench.h"

#include <SDL.h>
#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kShotW = 500;
constexpr int kShotH = 375;

struct Camera {
    float x = 13, y = 24, facing = 0;
};

int frameNo = 0;
std::string outDir;

void noDelay(uint32_t) {}
bool nothingHeld(SDLKey) { return false; }

bool shoot(const Camera& c)
{
    // The party stands on the nearest square, facing the nearest way: the
    // view draws the squares around it.
    iface.setCurX(std::round(c.x));
    iface.setCurZ(-std::round(c.y));
    iface.setFacing((int(std::lround(c.facing / 90.0f)) % 4 + 4) % 4 * 90);
    iface.drawUL(c.x, -c.y, c.facing, 0.5f);
    glFinish();
    // The middle of the 3-D view (85..585 x 297..697 in the window).
    const int left = 85, bottom = 297 + (400 - kShotH) / 2;
    std::vector<unsigned char> px(size_t(kShotW) * kShotH * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(left, bottom, kShotW, kShotH, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    char name[64];
    std::snprintf(name, sizeof name, "/f%05d.ppm", frameNo++);
    FILE* f = std::fopen((outDir + name).c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", kShotW, kShotH);
    for (int row = kShotH - 1; row >= 0; --row)
        std::fwrite(px.data() + size_t(row) * kShotW * 3, 1, size_t(kShotW) * 3, f);
    return std::fclose(f) == 0;
}

// The shorter way round from one facing to another.
float turnTo(float from, float to)
{
    float d = std::fmod(to - from, 360.0f);
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

// Smooth start and stop.
float ease(float t) { return t * t * (3 - 2 * t); }

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: mkflythrough GAME_FOLDER OUT_FOLDER PATH_FILE\n");
        return 2;
    }
    outDir = argv[2];
    std::ifstream path(argv[3]);
    if (!path) {
        std::fprintf(stderr, "ERROR: cannot read the path file %s\n", argv[3]);
        return 1;
    }
    // The game as the program sets it up (every event class, the master
    // lists that a map's random items and monsters name), without sound.
    bench::GameRun game;
    if (!game.start(argv[0], argv[1], false))
        return 1;
    gameConfig.graphics = 9;
    iface.setTiming(noDelay, nothingHeld);
    if (!game.newQuest(nullptr))
        return 1;
    iface.drawBackground();

    Camera cam;
    std::string line;
    int lineNo = 0;
    bool ok = true;
    while (ok && std::getline(path, line)) {
        ++lineNo;
        std::istringstream in(line);
        std::string cmd;
        if (!(in >> cmd) || cmd[0] == '#')
            continue;
        if (cmd == "map") {
            std::string m;
            in >> m;
            ok = bench::changeMap(m.c_str(), nullptr);
            iface.drawBackground();
        } else if (cmd == "weather") {
            std::string v;
            in >> v;
            gameworld->setVar("Weather", int32_t(std::strtol(v.c_str(), nullptr, 0)));
        } else if (cmd == "var") {
            std::string name, v;
            in >> name >> v;
            gameworld->setVar(name.c_str(), int32_t(std::strtol(v.c_str(), nullptr, 0)));
            iface.calcLight();
        } else if (cmd == "hour") {
            unsigned h = 0;
            in >> h;
            GameClock_C& clock = gameworld->getClock();
            const uint32_t day = clock.getTicks() / GameClock_C::TICKS_PER_DAY;
            clock.setTicks(day * GameClock_C::TICKS_PER_DAY + (h % 24) * GameClock_C::TICKS_PER_HOUR);
        } else if (cmd == "at") {
            in >> cam.x >> cam.y >> cam.facing;
        } else if (cmd == "fly" || cmd == "hold") {
            Camera to = cam;
            int frames = 0;
            if (cmd == "fly")
                in >> to.x >> to.y >> to.facing;
            in >> frames;
            const float turn = turnTo(cam.facing, to.facing);
            for (int i = 1; i <= frames && ok; ++i) {
                const float t = ease(float(i) / float(frames));
                Camera c{cam.x + (to.x - cam.x) * t, cam.y + (to.y - cam.y) * t, cam.facing + turn * t};
                ok = shoot(c);
            }
            cam = to;
        } else {
            std::fprintf(stderr, "ERROR: %s line %d: unknown command %s\n", argv[3], lineNo, cmd.c_str());
            ok = false;
        }
    }
    std::printf("%d frames\n", frameNo);
    return ok ? 0 : 1;
}
