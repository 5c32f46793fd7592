// A player for fights that a test does not start itself (a random
// encounter, a denied offer to join): after each display of the running
// fight it presses the key of its state, everyone attacking (the back ranks
// defend), every entry performed, the victory frisked when asked and the
// chest emptied. Call drive() from the screen fixture's display hook; false
// when no fight runs (the caller's own keys go on).
#pragma once
#include "PartyScreenFixture.h"
#include "events/Event_4000.h"

namespace fightdriver {

struct FightDriver_S {
    // Pressed once while the round is performed (the pace grows by 100).
    bool speedUpOnce = false;
    // Frisk the bodies on the victory screen (else leave).
    bool frisk = false;
    // Texts of the last display (the chest screen is told by its texts).
    const partyscreens::Shown* last = nullptr;

    bool drive()
    {
        using E = Event_4000_C;
        E* f = E::running();
        if (!f)
            return false;
        // One key at a time: a key or a redraw still waiting will draw the
        // fight again. A second key queued behind the first would reach
        // whatever state the first one leads to (the next fight, the main
        // view) on a machine slow enough to draw in between.
        SDL_Event pending;
        if (SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT) | SDL_KEYDOWNMASK) > 0)
            return true;
        switch (f->getState()) {
        case E::ROUND_MENU: key(SDLK_f); break;
        case E::MEMBER_TURN: key(f->getCurMember() < 4 ? SDLK_a : SDLK_d); break;
        case E::CHOOSE_GROUP: key(SDLK_a); break;
        case E::BEGIN_COMBAT: key(SDLK_y); break;
        case E::PERFORMING:
            if (speedUpOnce) {
                speedUpOnce = false;
                key(SDLK_COMMA);
            } else {
                vell::pushKeyEvent(SDLK_SPACE, true);
            }
            break;
        case E::VICTORY:
            if (last && last->has("(T)ake an Item"))
                key(SDLK_t);                 // the chest of the frisked bodies
            else if (last && last->has("(SPACE) to Continue"))
                key(SDLK_SPACE);
            else if (last && last->has("(ESCAPE) to Leave"))
                key(SDLK_ESCAPE);
            else
                key(frisk ? SDLK_f : SDLK_l);
            break;
        default: key(SDLK_SPACE); break;
        }
        return true;
    }

private:
    // A key that changes nothing asks for no redraw: the player goes on all
    // the same.
    static void key(SDLKey k)
    {
        vell::pushKeyEvent(k, true);
        vell::pushRedraw();
    }
};

} // namespace fightdriver
