#include "screens/Rest.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/TagList.h"
#include "platform/EventWait.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/PaneText.h"
#include "world/GameClock.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/Map.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr size_t MAX_DIGITS = 2;

struct RestScreen_S {
    int state = Rest_C::CLOSED;
    std::string typed;
    int remaining = 0;
    int restTick = 1;
    bool weatherOnly = false;
    Interface_C* iface = nullptr;
};

RestScreen_S& S()
{
    static RestScreen_S screen;
    return screen;
}

struct ReportScreen_S {
    int state = 0;
    bool showSquare = false;
    Interface_C* iface = nullptr;
};

ReportScreen_S& R()
{
    static ReportScreen_S screen;
    return screen;
}

// The digit of a key ('0'..'9' or the keypad's), -1 for any other key.
int digitOf(int sym)
{
    if (sym >= SDLK_0 && sym <= SDLK_9)
        return sym - SDLK_0;
    if (sym >= SDLK_KP0 && sym <= SDLK_KP9)
        return sym - SDLK_KP0;
    return -1;
}

const char* facingName(int facing)
{
    switch (facing) {
    case 0: return "North";
    case 90: return "West";
    case 180: return "South";
    case 270: return "East";
    default: return "ERROR";
    }
}

} // namespace

const char* dayPeriod(unsigned hour)
{
    if (hour < 12)
        return "in the morning";
    if (hour <= 16)
        return "in the afternoon";
    if (hour <= 20)
        return "in the evening";
    return "at night";
}

std::string dateLine(const GameClock_C& clock)
{
    const unsigned hour = clock.getHour();
    const unsigned shown = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
    char buf[160];
    std::snprintf(buf, sizeof buf, "It is %u:%02u %s, on day %u of the month of %s, %u years since the Fall.", shown,
                  clock.getMinute(), dayPeriod(hour), clock.getDay(), clock.getMonthName(), clock.getYear());
    return buf;
}

std::string remainingLine(int ticks)
{
    const int t = std::max(ticks, 0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d remaining.", t / 240, (t % 240) / 4, (t % 4) * 15);
    return buf;
}

// --- resting ------------------------------------------------------------------------

int Rest_C::clampRestTick(int stored)
{
    return std::clamp(stored, 1, MAX_REST_TICK);
}

void Rest_C::run(Interface_C* iface, bool weatherOnly)
{
    ra2dGameWorld* world = iface ? iface->getWorld() : nullptr;
    if (!world)
        return;
    RestScreen_S& s = S();
    s.iface = iface;
    s.weatherOnly = weatherOnly;
    s.typed.clear();
    s.remaining = 0;
    s.restTick = clampRestTick(world->getTagList().intValue(tagkey::RestTick));
    s.state = ASKING;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
    // A step of rest after every poll, whether an event came or not, so
    // that keys pressed while resting reach the steps between them.
    vell::pushRedraw();
    while (s.state > CLOSED && !vell::quitRequested()) {
        SDL_Event ev;
        // Waiting for a key: asleep until one comes.
        const bool got = s.state == RESTING ? SDL_PollEvent(&ev) != 0 : vell::waitEvent(&ev);
        if (got)
            loop.handle(ev);
        if (s.state == RESTING)
            step();
        else if (!got)
            SDL_Delay(5);   // no event system to wait on
    }
    s.state = CLOSED;
    // A fight or a map change during the rest keeps the same world.
    if (ra2dGameWorld* now = iface->getWorld())
        now->getTagList().setInt(tagkey::RestTick, s.restTick);
}

void Rest_C::key(int sym)
{
    RestScreen_S& s = S();
    switch (s.state) {
    case ASKING:
        if (const int d = digitOf(sym); d >= 0) {
            if (s.typed.size() >= MAX_DIGITS)
                return;
            s.typed.push_back(static_cast<char>('0' + d));
        } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
            if (s.typed.empty())
                return;
            s.typed.pop_back();
        } else if (sym == SDLK_RETURN) {
            s.remaining = (s.typed.empty() ? 0 : std::stoi(s.typed)) * TICKS_PER_HOUR;
            s.state = RESTING;
        } else if (sym == SDLK_ESCAPE) {
            s.state = CLOSED;
        } else {
            return;
        }
        break;
    case RESTING:
        if (sym == SDLK_ESCAPE)
            s.state = RESTED;
        else if (sym == SDLK_COMMA && s.restTick > 1)
            --s.restTick;
        else if (sym == SDLK_PERIOD && s.restTick < MAX_REST_TICK)
            ++s.restTick;
        else
            return;
        break;
    case RESTED:
        if (sym != SDLK_SPACE)
            return;
        s.state = CLOSED;
        break;
    default:
        return;
    }
    vell::pushRedraw();
}

void Rest_C::step()
{
    RestScreen_S& s = S();
    if (s.state != RESTING || !s.iface)
        return;
    Interface_C* iface = s.iface;
    if (iface->isQuitting()) {
        s.state = CLOSED;
        return;
    }
    ra2dGameWorld* world = iface->getWorld();
    if (!world) {
        s.state = CLOSED;
        return;
    }
    world->getClock().advance(s.restTick);
    s.remaining -= s.restTick;
    if (s.weatherOnly) {
        if (Map_C* map = iface->getCurrentMap())
            map->wetherCheck(*world);
    } else {
        const int falls = iface->partyFalls();
        iface->timerEvents();
        // The whole party fell (the Hall has taken it in): resting on would
        // only bring the Hall back at every step, or rest a party that is
        // no longer where it lay down.
        if (iface->partyFalls() != falls || !(party && party->anyoneAlive())) {
            s.state = CLOSED;
            vell::pushRedraw();
            return;
        }
    }
    if (s.remaining < 1)
        s.state = RESTED;
    vell::pushRedraw();
}

void Rest_C::display()
{
    RestScreen_S& s = S();
    Interface_C* iface = s.iface;
    if (!iface || !iface->getWorld())
        return;
    beginViewPage(*iface);
    PaneText_C pane(*iface);
    switch (s.state) {
    case ASKING: {
        pane.wrapped(1, dateLine(iface->getWorld()->getClock()).c_str());
        pane.wrapped(6, "How many hours do you wish to rest?");
        const std::string entry = s.typed + "_";
        pane.line(9, entry.c_str());
        pane.line(9, "hours", 0, pane.text().widthStr("00_") + 10);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    }
    case RESTING:
        pane.line(1, "Resting...");
        pane.line(3, remainingLine(s.remaining).c_str());
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case RESTED:
        pane.line(1, "You feel much rested.");
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default:
        break;
    }
    refreshCursor(*iface);
}

int Rest_C::getState() { return S().state; }
int Rest_C::getRemaining() { return S().remaining; }
int Rest_C::getRestTick() { return S().restTick; }
const std::string& Rest_C::typed() { return S().typed; }

void rest(Interface_C* iface, bool weatherOnly)
{
    Rest_C::run(iface, weatherOnly);
}

// --- the time and place report ------------------------------------------------------

namespace {

void reportKey(int sym)
{
    if (sym != SDLK_SPACE)
        return;
    R().state = 0;
    vell::pushRedraw();   // for the main view
}

void reportDisplay()
{
    ReportScreen_S& r = R();
    Interface_C* iface = r.iface;
    if (!iface || !iface->getWorld())
        return;
    beginViewPage(*iface);
    PaneText_C pane(*iface);
    pane.wrapped(1, dateLine(iface->getWorld()->getClock()).c_str());
    const Map_C* map = iface->getCurrentMap();
    if (map && map->isOutdoors()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "You are facing %s.", facingName(iface->getFacing()));
        pane.line(6, buf);
    }
    if (r.showSquare) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "You are on square (%d,%d)", static_cast<int>(iface->getCurX()),
                      -static_cast<int>(iface->getCurZ()));
        pane.line(9, buf);
    }
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
    refreshCursor(*iface);
}

} // namespace

void timeReport(Interface_C* iface, bool showSquare)
{
    if (!iface || !iface->getWorld())
        return;
    ReportScreen_S& r = R();
    r.iface = iface;
    r.showSquare = showSquare;
    r.state = 1;
    ModalLoop_C loop(r.state, [](const SDL_keysym& k) { reportKey(k.sym); }, [] { reportDisplay(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
    loop.run();
    r.state = 0;
}
