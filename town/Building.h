// Building_C: the frame that every town building runs in. A building is a
// map event with its own modal screen: the map loader (or a script) makes it
// with the square's EventParams_S, whose exit it keeps; invoke() enters it,
// runs its screen until the party leaves, and lets the building's leave time
// pass on the clock.
//
// Life of a visit (invoke):
//   state 1 (or 99, closed, when the building keeps hours and the hour is
//   outside them); the building's sound environment is entered; the modal
//   loop runs: keys go to key(), a redraw request draws display(); ESC in
//   state 1 or SPACE in state 99 leaves through leave(), which puts the party
//   on the exit; once the loop ends the upper-left picture is emptied, the
//   sound environment left and the clock advanced by leaveTicks(). Every
//   visit starts afresh in state 1.
//
// A building gives its own values (audioName, pictureName, isOpenAt,
// leaveTicks, waitsForEvents, closedText) and its screen: drawState prints
// the texts of a state into the pane, handleKey changes the state, and
// isMessage names the message states, whose SPACE the frame handles (back
// to the menu, or closed when the hours are over). The frame draws the
// pane's background, the picture ("Closed" in state 99), the roster and the
// click regions of every key line, and swaps the buffers; showSheet opens a
// member's sheet for F1-F8 in a menu.
//
// Registering a building: one line of the event table (world/EventTable.h)
// with its id and class, whose constructor takes the square's EventParams_S
// (possibly null), and the class's header in app/GameEvents.cpp.
#pragma once
#include "world/Event.h"

#include <SDL.h>

#include <cstdint>

class Interface_C;
class PaneText_C;
class bl3dPartyChar;

class Building_C : public Event_C {
public:
    static constexpr int kClosed = 99;
    static constexpr int kLeaveTicks = 30;

    // The exit is the record's; without a record it is the default given.
    Building_C(const EventParams_S* params, int32_t defaultExitX = 0, int32_t defaultExitY = 0,
               int32_t defaultExitFacing = 0);

    // Runs the visit (above); returns 0. Without an interface, nothing.
    int invoke(Interface_C* iface) override;

    // Draws the current state: the frame's parts and the state's texts.
    void display();
    // Shows the building's picture ("Closed" while closed) in the upper-left
    // pane. Screens that a building opens call it to keep the building
    // behind them.
    void drawPic();
    // The key handler: state 99 is the frame's own (SPACE leaves), and so
    // are the message states (SPACE goes back to the menu); any other state
    // goes to handleKey.
    void key(int sym, SDLMod mod = KMOD_NONE);

    int getState() const { return state_; }
    int32_t getExitX() const { return exitX_; }
    int32_t getExitY() const { return exitY_; }
    int32_t getExitFacing() const { return exitFacing_; }

protected:
    // --- the building's values -------------------------------------------------
    virtual const char* audioName() const = 0;
    virtual const char* pictureName() const = 0;
    // Whether the building keeps hours, and whether it is open at an hour
    // (0..23). A building without hours is always open.
    virtual bool keepsHours() const { return false; }
    virtual bool isOpenAt(unsigned /*hour*/) const { return true; }
    // Ticks that pass when the party leaves.
    virtual int leaveTicks() const { return kLeaveTicks; }
    // Whether the loop waits for each event (SDL_WaitEvent) or polls.
    virtual bool waitsForEvents() const { return true; }
    // The closed text of state 99 (buildings with hours).
    virtual const char* closedText() const { return ""; }
    // Whether leaving empties the upper-left picture (a shop leaves it).
    virtual bool emptiesPictureOnLeaving() const { return true; }

    // --- the building's screen ---------------------------------------------------
    // Prints the texts of the current state (never state 99) into the pane.
    virtual void drawState(PaneText_C& pane) = 0;
    // Handles a key in any state but 99 and the message states.
    virtual void handleKey(int sym, SDLMod mod) = 0;
    // Whether the current state is a message that SPACE ends: the frame
    // takes its keys (SPACE goes back to the menu through backToMenu, any
    // other key is ignored) before handleKey sees them.
    virtual bool isMessage() const { return false; }
    // Runs after the loop has ended, before the picture is emptied and the
    // clock advanced (a shop puts its stock back here).
    virtual void afterVisit() {}

    // --- what the screens share --------------------------------------------------
    // Sets the state and asks for a redraw.
    void setState(int state);
    // Whether the building is open at the world clock's present hour.
    bool isOpenNow() const;
    // After a message: state 1, or 99 when the building keeps hours and the
    // hour is now outside them.
    void backToMenu();
    // Puts the party on the exit, ends the visit (state 0) and asks for a
    // redraw.
    void leave();
    // F1-F8 in a building's menu: shows that member's sheet with the
    // building behind it, then asks for a redraw of the menu. False (and
    // nothing shown) for another key or an empty slot.
    bool showSheet(int sym);

    Interface_C* iface_ = nullptr;
    int32_t state_ = 0;

private:
    int32_t exitX_ = 0;
    int32_t exitY_ = 0;
    int32_t exitFacing_ = 0;
};
