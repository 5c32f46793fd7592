// viewbench: frame times of the 3-D view and of the whole main screen over a
// scripted walk, the time to load a map, and the frame time of the title
// menu.
//
//   viewbench [game folder] [frames per scenario]
//
// Runs in a 1024 x 768 OpenGL window (under Xvfb for Mesa's software
// renderer). Every frame ends with glFinish, so the times are what the
// renderer really needs. Scenarios: the town by day, the town in rain and in
// fog (with shadows), the dungeon; each at graphics levels 0 and 9. The floor
// is a frame that only clears and swaps.
#include "core/GameConfig.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "screens/TitleMenu.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "tools/BenchSupport.h"
#include "world/Map.h"

#include <SDL.h>
#include <GL/gl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::Clock;
using bench::msSince;
using bench::Stats;
using bench::stats;

// CPU time of the process so far, user and system, in milliseconds.
double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

struct Spot {
    int x, y, facing;
};

// A walk of squares and turns over the map, repeated as often as needed.
std::vector<Spot> walk(int x0, int y0, int length, int dx, int dy)
{
    std::vector<Spot> w;
    const int facing = dy > 0 ? 0 : dy < 0 ? 180 : dx < 0 ? 90 : 270;
    for (int i = 0; i < length; ++i)
        w.push_back({x0 + dx * i, y0 + dy * i, facing});
    const Spot end = w.back();
    for (int f : {90, 180, 270, 0})
        w.push_back({end.x, end.y, (facing + f) % 360});
    for (int i = length - 1; i >= 0; --i)
        w.push_back({x0 + dx * i, y0 + dy * i, (facing + 180) % 360});
    return w;
}

void place(const Spot& s)
{
    iface.setCurX(float(s.x));
    iface.setCurZ(-float(s.y));
    iface.setFacing(s.facing);
}

void noDelay(uint32_t) {}
bool nothingHeld(SDLKey) { return false; }

// With VIEWBENCH_SHOTS set to a folder, the last screen of each scenario is
// written there as a PPM picture.
std::string gShotName;

// After-display hook: reads the finished screen before the swap.
void saveShot()
{
    const char* dir = std::getenv("VIEWBENCH_SHOTS");
    if (!dir || gShotName.empty())
        return;
    const char* name = gShotName.c_str();
    std::vector<unsigned char> px(1024 * 768 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    std::string file = std::string(dir) + "/" + name + ".ppm";
    for (char& c : file)
        if (c == ' ' || c == ',' || c == '+')
            c = '_';
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return;
    std::fprintf(f, "P6\n1024 768\n255\n");
    for (int row = 767; row >= 0; --row)
        std::fwrite(px.data() + size_t(row) * 1024 * 3, 1, 1024 * 3, f);
    std::fclose(f);
}

void report(const char* name, const std::vector<double>& ul, const std::vector<double>& full)
{
    const Stats a = stats(ul), b = stats(full);
    std::printf("%-28s view  median %6.2f ms  p95 %6.2f ms | screen  median %6.2f ms  p95 %6.2f ms\n", name,
                a.median, a.p95, b.median, b.p95);
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 120;
    if (!bench::enterGameFolder(argv[0], argc > 1 ? argv[1] : nullptr))
        return 1;

    gameConfig.setDefaults();
    gameConfig.sound = false;
    gameConfig.window = true;
    if (!bench::openBenchWindow())
        return 1;
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    registerWorldTypes();
    registerRulesTypes();
    iface.init(1024, 768);
    iface.setTiming(noDelay, nothingHeld);

    char archive[] = "/tmp/viewbench-XXXXXX";
    const int fd = mkstemp(archive);
    if (fd >= 0)
        close(fd);
    Clock::time_point t = Clock::now();
    if (!iface.load(archive) || !iface.start()) {
        std::fprintf(stderr, "ERROR: the quest cannot be loaded\n");
        std::remove(archive);
        return 1;
    }
    const double townLoad = msSince(t);
    // A full roster: eight rows of text under the view.
    const char* names[8] = {"Aldreth", "Brannoc", "Cyrwen", "Dunmar", "Eowyth", "Faelan", "Gwydda", "Hesk"};
    for (int i = 0; i < 8; ++i) {
        auto* hero = new bl3dPartyChar(names[i], 1 << i, 1, i % 2 == 0, 0, nullptr, nullptr);
        hero->setMaxHP(40 + i);
        hero->setCurHP(30 + i);
        party->addMember(hero);
    }

    // Floor: clear and swap alone.
    std::vector<double> floor;
    for (int i = 0; i < frames; ++i) {
        t = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        glFinish();
        floor.push_back(msSince(t));
    }
    const Stats fl = stats(floor);
    std::printf("%-28s median %6.2f ms  p95 %6.2f ms\n", "floor (clear + swap)", fl.median, fl.p95);

    auto scenario = [&](const char* name, const std::vector<Spot>& path) {
        std::vector<double> ul, full;
        iface.drawBackground();
        for (int i = 0; i < frames; ++i) {
            place(path[size_t(i) % path.size()]);
            t = Clock::now();
            iface.drawUL(iface.getCurX(), iface.getCurZ(), float(iface.getFacing()), 0.5f);
            glFinish();
            ul.push_back(msSince(t));
        }
        for (int i = 0; i < frames; ++i) {
            place(path[size_t(i) % path.size()]);
            t = Clock::now();
            iface.display();
            glFinish();
            full.push_back(msSince(t));
        }
        report(name, ul, full);
        gShotName = name;
        Interface_C::setAfterDisplayHook(saveShot);
        iface.display();
        Interface_C::setAfterDisplayHook(nullptr);
        gShotName.clear();
    };

    const std::vector<Spot> town = walk(13, 24, 8, 0, -1);
    for (int level : {0, 9}) {
        gameConfig.graphics = level;
        char name[64];
        gameConfig.shadows = true;
        gameworld->setVar("Weather", 0x03);
        std::snprintf(name, sizeof name, "town day, level %d", level);
        scenario(name, town);
        gameworld->setVar("Weather", 0x83);
        std::snprintf(name, sizeof name, "town rain + shadows, lvl %d", level);
        scenario(name, town);
        gameworld->setVar("Weather", 0x53);
        std::snprintf(name, sizeof name, "town fog + shadows, lvl %d", level);
        scenario(name, town);
    }

    t = Clock::now();
    iface.newMap("maps/catacombs.cfg");
    const double dungeonLoad = msSince(t);
    const std::vector<Spot> dungeon = walk(2, 7, 10, 1, 0);
    for (int level : {0, 9}) {
        gameConfig.graphics = level;
        gameworld->setVar("Weather", 0x01);
        char name[64];
        std::snprintf(name, sizeof name, "dungeon, level %d", level);
        scenario(name, dungeon);
    }
    std::printf("map load: town (with the quest) %.1f ms, dungeon %.1f ms\n", townLoad, dungeonLoad);

    // The title menu over its dimmed picture, as the player waits in it.
    {
        TitleMenu_C menu(1024, 768);
        std::vector<double> title;
        for (int i = 0; i < frames; ++i) {
            t = Clock::now();
            menu.display();
            glFinish();
            title.push_back(msSince(t));
        }
        const Stats tm = stats(title);
        std::printf("%-28s median %6.2f ms  p95 %6.2f ms\n", "title menu", tm.median, tm.p95);
    }

    // The main loop with nothing to do: CPU time used while it waits, in
    // all and from one second on, once its first redraws are done (the
    // figure that matters: a game that waits for a key should sleep).
    static std::atomic<int> idleDraws{0};
    idleDraws = 0;
    Interface_C::setAfterDisplayHook([] { ++idleDraws; });
    constexpr int kSettleMs = 1000, kIdleMs = 4000;
    double settledCpu = 0;
    int settledDraws = 0;
    std::thread stopper([&] {
        SDL_Delay(kSettleMs);
        settledCpu = cpuMs();
        settledDraws = idleDraws;
        SDL_Delay(kIdleMs - kSettleMs);
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = SDLK_ESCAPE;
        SDL_PushEvent(&e);
    });
    const double cpu0 = cpuMs();
    t = Clock::now();
    iface.sdlEventLoop();
    const double idleWall = msSince(t);
    const double idleCpu = cpuMs() - cpu0;
    stopper.join();
    const double waitCpu = cpuMs() - settledCpu;
    const double waitWall = idleWall - kSettleMs;
    Interface_C::setAfterDisplayHook(nullptr);
    std::printf("idle main loop: %.1f ms of CPU in %.0f ms (including its first redraws)\n", idleCpu, idleWall);
    std::printf("idle main loop after %d ms: %.1f ms of CPU in %.0f ms (%.2f%% of a core), %d redraws then\n",
                kSettleMs, waitCpu, waitWall, 100.0 * waitCpu / waitWall, idleDraws - settledDraws);

    iface.fini();
    std::remove(archive);
    SDL_Quit();
    return 0;
}
