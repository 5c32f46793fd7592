// viewbench: frame times of the 3-D view and of the whole main screen over a
// scripted walk, the time to load each map, the frame time of the title
// menu, and the CPU that the main loop uses while the player waits.
//
//   viewbench [game folder] [frames per scenario] [idle seconds]
//
// Runs in a 1024 x 768 OpenGL window (under Xvfb for Mesa's software
// renderer) on a new quest, the game set up as the program sets it up.
// Every frame ends with glFinish, so the times are what the renderer really
// needs. Scenarios: the town by day, in rain and in fog (with shadows), the
// catacombs; each at graphics levels 0 and 9. The floor is a frame that only
// clears and swaps. The idle figure is the process's CPU over the given
// seconds (10 unless told) in the main loop on the street, with no input,
// from one second after the loop began.
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/TitleMenu.h"
#include "tools/GameBench.h"

#include <SDL.h>
#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::Clock;
using bench::msSince;

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

// A full roster: eight rows of text under the view.
void fillParty()
{
    const char* names[8] = {"Aldreth", "Brannoc", "Cyrwen", "Dunmar", "Eowyth", "Faelan", "Gwydda", "Hesk"};
    for (int i = 0; party->getCount() < MAX_PARTY; ++i) {
        auto* hero = new bl3dPartyChar(names[i], 1 << i, 1, i % 2 == 0, 0, nullptr, nullptr);
        hero->setMaxHP(40 + i);
        hero->setCurHP(30 + i);
        party->addMember(hero);
    }
}

// The main loop with nothing to do, as a player waits in it: the process's
// CPU from `settleMs` after the loop began (its first redraws done) for
// `idleMs`; then ESC leaves it. False with an error when the loop ended
// before.
bool idleFigure(const char* name, int settleMs, int idleMs)
{
    static std::atomic<int> draws{0};
    draws = 0;
    Interface_C::setAfterDisplayHook([] { ++draws; });
    double cpu0 = 0, cpu1 = 0;
    int draws0 = 0, draws1 = 0;
    Clock::time_point t0, t1;
    std::thread watcher([&] {
        SDL_Delay(Uint32(settleMs));
        cpu0 = bench::cpuMs();
        draws0 = draws;
        t0 = Clock::now();
        SDL_Delay(Uint32(idleMs));
        cpu1 = bench::cpuMs();
        draws1 = draws;
        t1 = Clock::now();
        vell::pushKeyEvent(SDLK_ESCAPE, true);
    });
    const Clock::time_point start = Clock::now();
    iface.sdlEventLoop();
    const double ran = msSince(start);
    watcher.join();
    Interface_C::setAfterDisplayHook(nullptr);
    const double waited = std::chrono::duration<double, std::milli>(t1 - t0).count();
    if (ran < settleMs + idleMs || waited <= 0) {
        std::fprintf(stderr, "ERROR: the main loop ended after %.0f ms, before its %d ms of waiting\n", ran,
                     settleMs + idleMs);
        return false;
    }
    const double cpu = cpu1 - cpu0;
    char note[96];
    std::snprintf(note, sizeof note, "%.1f ms of CPU in %.1f s, %d redraws", cpu, waited / 1000.0, draws1 - draws0);
    bench::figure(name, 100.0 * cpu / waited, "% of a core", note);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 120;
    const int idleSeconds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    bench::GameRun game;
    if (!game.start(argv[0], argc > 1 ? argv[1] : nullptr))
        return 1;
    iface.setTiming(noDelay, nothingHeld);
    double townLoad = 0;
    if (!game.newQuest(&townLoad))
        return 1;
    fillParty();

    bench::clearSwapFloor(frames);

    auto scenario = [&](const std::string& name, const std::vector<Spot>& path) {
        std::vector<double> ul, full;
        iface.drawBackground();
        for (int i = 0; i < frames; ++i) {
            place(path[size_t(i) % path.size()]);
            const Clock::time_point t = Clock::now();
            iface.drawUL(iface.getCurX(), iface.getCurZ(), float(iface.getFacing()), 0.5f);
            glFinish();
            ul.push_back(msSince(t));
        }
        for (int i = 0; i < frames; ++i) {
            place(path[size_t(i) % path.size()]);
            const Clock::time_point t = Clock::now();
            iface.display();
            glFinish();
            full.push_back(msSince(t));
        }
        bench::figure("view: " + name, ul, "ms");
        bench::figure("screen: " + name, full, "ms");
        gShotName = name;
        Interface_C::setAfterDisplayHook(saveShot);
        iface.display();
        Interface_C::setAfterDisplayHook(nullptr);
        gShotName.clear();
    };

    const std::vector<Spot> town = walk(13, 24, 8, 0, -1);
    gameConfig.shadows = true;
    for (int level : {0, 9}) {
        gameConfig.graphics = level;
        const std::string lvl = ", level " + std::to_string(level);
        gameworld->setVar("Weather", 0x03);
        scenario("town day" + lvl, town);
        gameworld->setVar("Weather", 0x83);
        scenario("town rain + shadows" + lvl, town);
        gameworld->setVar("Weather", 0x53);
        scenario("town fog + shadows" + lvl, town);
    }

    double dungeonLoad = 0;
    if (!bench::changeMap("maps/catacombs.cfg", &dungeonLoad))
        return 1;
    const std::vector<Spot> dungeon = walk(2, 7, 10, 1, 0);
    for (int level : {0, 9}) {
        gameConfig.graphics = level;
        gameworld->setVar("Weather", 0x01);
        scenario("catacombs, level " + std::to_string(level), dungeon);
    }
    bench::figure("map load: town, with the new quest", townLoad, "ms");
    bench::figure("map load: catacombs", dungeonLoad, "ms");

    // The title menu over its dimmed picture, as the player waits in it.
    {
        TitleMenu_C menu(1024, 768);
        std::vector<double> title;
        for (int i = 0; i < frames; ++i) {
            const Clock::time_point t = Clock::now();
            menu.display();
            glFinish();
            title.push_back(msSince(t));
        }
        bench::figure("title menu", title, "ms");
    }

    // Back up the stairs, onto the street before the Hall, by day.
    if (!bench::changeMap("maps/renibister.cfg", nullptr))
        return 1;
    gameConfig.graphics = 9;
    place({14, 24, 270});
    iface.start();
    if (!idleFigure("idle main loop, on the street", 1000, idleSeconds * 1000))
        return 1;
    return 0;
}
