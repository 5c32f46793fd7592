// screenbench: frame times of the party screens and of the main screen, the
// screens that are mostly text.
//
//   screenbench [game folder] [frames per scenario]
//
// Runs in a 1024 x 768 OpenGL window (under Xvfb for Mesa's software
// renderer; set LP_NUM_THREADS=2 for a two-core machine) on a new quest, the
// game set up as the program sets it up. A character sheet frame is
// measured from one finished display of the sheet's own loop to the next:
// the swap, the event and the whole redraw, ended with glFinish. Scenarios: the sheet's summary page, its
// inventory page with every slot and the pack full, the main screen, the
// automap of the town with every square seen (its own loop, timed as the
// sheet's), the text of a full pane printed alone, and the combat screen in a
// round (a full party against four enemy groups, the narration pane full)
// timed the same way. The floor is a frame that only clears and swaps.
#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollPane.h"
#include "events/Event_4000.h"
#include "rules/EnemyList.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/Automap.h"
#include "screens/CharView.h"
#include "tools/GameBench.h"
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
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::msSince;

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

// A fight of the whole party against four groups: every member defends,
// entries are performed until the narration pane is full, then `frames`
// frames of the round are timed (the pace is slow enough that the timer
// seldom performs one in between); then the party runs until it gets away.
std::vector<double> timeFight(int frames)
{
    using E = Event_4000_C;
    std::vector<double> times;
    int textLines = 0;
    int performed = 0;
    int left = -1;
    Clock::time_point last;
    ModalLoop_C::setAfterDisplayHook([&] {
        glFinish();
        const Clock::time_point now = Clock::now();
        const E* fight = E::running();
        if (!fight)
            return;
        switch (fight->getState()) {
        case E::ROUND_MENU: vell::pushKeyEvent(left == -2 ? 'r' : 'f', true); return;
        case E::MEMBER_TURN: vell::pushKeyEvent('d', true); return;
        case E::BEGIN_COMBAT: vell::pushKeyEvent('y', true); return;
        case E::OVERTAKEN: vell::pushKeyEvent(SDLK_SPACE, true); return;
        case E::VICTORY: vell::pushKeyEvent('l', true); return;
        case E::PERFORMING: break;
        default: return;
        }
        if (left == -2 || performed < 12) {
            ++performed;
            vell::pushKeyEvent(SDLK_SPACE, true);
            return;
        }
        if (left < 0) {
            left = frames;
            if (const ScrollPane_C* pane = fight->getScrollPane())
                for (int i = 0; i < pane->lineCount(); ++i)
                    textLines += pane->line(i).empty() ? 0 : 1;
        } else {
            times.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            --left;
        }
        last = now;
        if (left > 0) {
            vell::pushRedraw();
        } else {
            left = -2; // the rest of the round, then away
            vell::pushKeyEvent(SDLK_SPACE, true);
        }
    });
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
    }
    gameworld->setVar("CombatDelay", 3000);
    Event_4000_C fight(nullptr);
    fight.invoke(&iface);
    ModalLoop_C::setAfterDisplayHook(nullptr);
    std::printf("(the narration pane held %d lines of text)\n", textLines);
    return times;
}

// Members up to eight, and four groups of the shipped monsters.
bool setUpFight()
{
    if (masterMTL.count() == 0) {
        std::fprintf(stderr, "ERROR: the game has no monster types\n");
        return false;
    }
    static const char* const names[] = {"Aldo", "Brea", "Cato", "Dara", "Emil", "Fenn", "Gala", "Hugo"};
    for (int i = 0; party->getCount() < MAX_PARTY; ++i) {
        auto* m = new bl3dPartyChar(names[i], 0x4, 1, true, 1, nullptr, nullptr);
        m->setMaxHP(500);
        m->setCurHP(500);
        for (int s = 0; s < 8; ++s)
            m->getStatBlock()->setBase(s, 18);
        m->getStatBlock()->recompute();
        m->setName("Human_Male");
        party->addMember(m);
    }
    enemyList.clear();
    for (int g = 0; g < 4; ++g)
        enemyList.add(3, masterMTL.at(g % masterMTL.count()), 10 + 20 * g);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 2 ? std::max(20, std::atoi(argv[2])) : 200;
    bench::GameRun game;
    if (!game.start(argv[0], argc > 1 ? argv[1] : nullptr) || !game.newQuest(nullptr))
        return 1;
    if (!party || party->getCount() == 0) {
        std::fprintf(stderr, "ERROR: the new quest has no party\n");
        return 1;
    }
    bl3dPartyChar* hero = party->getMember(0);
    hero->addGold(12345);

    bench::clearSwapFloor(frames);

    iface.drawBackground();
    bench::figure("character sheet: summary", timeSheet(hero, {}, {SDLK_ESCAPE}, frames), "ms");
    dressFully(hero);
    bench::figure("character sheet: full inventory", timeSheet(hero, {SDLK_i}, {SDLK_ESCAPE, SDLK_ESCAPE}, frames),
                  "ms");

    std::vector<double> full;
    iface.display();
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point t = Clock::now();
        iface.display();
        glFinish();
        full.push_back(msSince(t));
    }
    bench::figure("main screen", full, "ms");

    // The automap with every square of the town seen.
    Map_C* town = iface.getCurrentMap();
    for (int x = 0; x < town->getWidth(); ++x)
        for (int y = 0; y < town->getHeight(); ++y)
            town->getMapInfo()->orSquareState(x, y, SQUARE_VISITED);
    bench::figure("automap (the whole town seen)", timeScreen([] { Automap_C::run(&iface); }, {}, {SDLK_TAB}, frames),
                  "ms");

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
    bench::figure("18 lines of pane text", text, "ms");

    if (!setUpFight())
        return 1;
    const std::vector<double> round = timeFight(frames);
    if (int(round.size()) != frames) {
        std::fprintf(stderr, "ERROR: the fight ended after %zu of its %d frames\n", round.size(), frames);
        return 1;
    }
    bench::figure("combat screen", round, "ms");
    enemyList.clear();
    return 0;
}
