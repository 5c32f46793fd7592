// screenbench: frame times of the party screens and of the main screen, the
// screens that are mostly text.
//
//   screenbench [game folder] [frames per scenario]
//
// Runs in a 1024 x 768 OpenGL window (under Xvfb for Mesa's software
// renderer; set LP_NUM_THREADS=2 for a two-core machine) on a copy of the
// quest template. A character sheet frame is measured from one finished
// display of the sheet's own loop to the next: the swap, the event and the
// whole redraw, ended with glFinish. Scenarios: the sheet's summary page, its
// inventory page with every slot and the pack full, the main screen, the
// automap of the town with every square seen (its own loop, timed as the
// sheet's), and the text of a full pane printed alone.
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "rules/ClassDefFile.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "screens/Automap.h"
#include "screens/CharView.h"
#include "tools/BenchSupport.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/Map.h"
#include "world/MapInfo.h"

#include <SDL.h>
#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::msSince;
using bench::Stats;
using bench::stats;

void report(const char* name, const std::vector<double>& times)
{
    const Stats s = stats(times);
    std::printf("%-34s median %6.2f ms  p95 %6.2f ms  (%5.1f frames/s at the p95)\n", name, s.median, s.p95,
                s.p95 > 0 ? 1000.0 / s.p95 : 0.0);
}

// Runs a screen (its own modal loop): the keys lead to the page (each
// pushed after a display), then `frames` frames are timed, each from one
// finished display to the next; then the leave keys end the screen.
template <typename Run>
std::vector<double> timeScreen(Run run, const std::vector<SDLKey>& toPage, const std::vector<SDLKey>& leave,
                               int frames)
{
    std::vector<double> times;
    size_t next = 0;
    int left = -1;   // frames still to time; -1 before the page is reached
    Clock::time_point last;
    ModalLoop_C::setAfterDisplayHook([&] {
        glFinish();
        const Clock::time_point now = Clock::now();
        if (next < toPage.size()) {
            vell::pushKeyEvent(toPage[next++], true);
            return;
        }
        if (left == -2)
            return;
        if (left < 0) {
            left = frames;
        } else {
            times.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            --left;
        }
        last = now;
        if (left > 0) {
            vell::pushRedraw();
        } else if (left == 0) {
            for (SDLKey k : leave)
                vell::pushKeyEvent(k, true);
            left = -2;   // leaving
        }
    });
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
    }
    run();
    ModalLoop_C::setAfterDisplayHook(nullptr);
    return times;
}

std::vector<double> timeSheet(bl3dPartyChar* m, const std::vector<SDLKey>& toPage, const std::vector<SDLKey>& leave,
                              int frames)
{
    return timeScreen([m] { CharView_C::run(m, &iface, true); }, toPage, leave, frames);
}

// Fills every slot an item of the catalogue fits, then the pack.
void dressFully(bl3dPartyChar* m)
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        delete m->takeFromSlot(slot);
    m->getPack()->deleteAll();
    for (int i = 0; i < masterITL.count(); ++i) {
        bl3dItemType* t = masterITL.at(i);
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            if ((t->getSlotMask() & (1 << slot)) && !m->getSlotItem(slot)) {
                bl3dItem* item = t->newInstance();
                if (!m->putInSlot(slot, item))
                    delete item;
                break;
            }
    }
    for (int i = 0; i < masterITL.count() && m->getPack()->count() < 8; ++i)
        m->getPack()->pushFront(masterITL.at(i)->newInstance());
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 2 ? std::max(20, std::atoi(argv[2])) : 200;
    if (!bench::enterGameFolder(argv[0], argc > 1 ? argv[1] : nullptr))
        return 1;
    gameConfig.setDefaults();
    gameConfig.sound = false;
    gameConfig.window = true;
    if (!bench::openBenchWindow())
        return 1;
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("renderer: %s, LP_NUM_THREADS=%s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                threads ? threads : "(unset)");
    registerWorldTypes();
    registerRulesTypes();
    if (masterITL.load("data/item.dat") < 0 || vell::loadItemCreateFile("data/itemcreate.dat") < 0) {
        std::fprintf(stderr, "ERROR: the game data cannot be read\n");
        return 1;
    }
    iface.init(1024, 768);

    char archive[] = "/tmp/screenbench-XXXXXX";
    const int fd = mkstemp(archive);
    if (fd >= 0)
        close(fd);
    {
        std::ifstream in("data/savegame.dat", std::ios::binary);
        std::ofstream out(archive, std::ios::binary | std::ios::trunc);
        out << in.rdbuf();
    }
    if (!iface.load(archive) || !iface.start() || !party || party->getCount() == 0) {
        std::fprintf(stderr, "ERROR: the quest template cannot be loaded\n");
        std::remove(archive);
        return 1;
    }
    bl3dPartyChar* hero = party->getMember(0);
    hero->addGold(12345);

    // Floor: clear and swap alone.
    std::vector<double> floor;
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point t = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        glFinish();
        floor.push_back(msSince(t));
    }
    report("floor (clear + swap)", floor);

    iface.drawBackground();
    report("character sheet: summary", timeSheet(hero, {}, {SDLK_ESCAPE}, frames));
    dressFully(hero);
    report("character sheet: full inventory", timeSheet(hero, {SDLK_i}, {SDLK_ESCAPE, SDLK_ESCAPE}, frames));

    std::vector<double> full;
    iface.display();
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point t = Clock::now();
        iface.display();
        glFinish();
        full.push_back(msSince(t));
    }
    report("main screen", full);

    // The automap with every square of the town seen.
    if (Map_C* town = iface.getCurrentMap()) {
        for (int x = 0; x < town->getWidth(); ++x)
            for (int y = 0; y < town->getHeight(); ++y)
                town->getMapInfo()->orSquareState(x, y, SQUARE_VISITED);
        report("automap (the whole town seen)", timeScreen([] { Automap_C::run(&iface); }, {}, {SDLK_TAB}, frames));
    }

    // The text of a full pane (18 lines) printed alone.
    std::vector<double> text;
    CommonInterface_C& ci = iface.text();
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point t = Clock::now();
        glColor3f(0, 0, 0);
        for (int line = 0; line < 18; ++line)
            ci.printStr(730, 675 - 20 * line, "#0The quick brown fox #2jumps#0 over");
        glFinish();
        text.push_back(msSince(t));
    }
    report("18 lines of pane text", text);

    iface.fini();
    std::remove(archive);
    SDL_Quit();
    return 0;
}
