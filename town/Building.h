// Building_C: the frame that every town building runs in. A building is a
// map event with its own modal screen: the map loader (or a script) makes it
// with the square's EventParams_S, whose exit it keeps; invoke() enters it,
// runs its screen until the party leaves, and lets the building's leave time
// pass on the clock.
//
// A building is a pane screen (screens/PaneScreen.h): named states, keys
// and the draw of a state, the frame drawn by the base.
//
// Life of a visit (invoke):
//   the menu, kMenu (or kClosed when the building keeps hours and the hour
//   is outside them); the building's sound environment is entered; the
//   modal loop runs: keys go to key(), a redraw request draws display(); ESC
//   in the menu or SPACE when closed leaves through leave(), which puts the
//   party on the exit; once the loop ends the upper-left picture is emptied,
//   the sound environment left and the clock advanced by leaveTicks(). Every
//   visit starts afresh in the menu.
//
// A building gives its own values (audioName, pictureName, isOpenAt,
// leaveTicks, waitsForEvents, closedText) and its screen: drawState prints
// the texts of a state into the pane, handleKey changes the state, and
// isMessage names the message states, whose SPACE the frame handles (back
// to the menu, or closed when the hours are over). The frame draws the
// pane's background, the picture ("Closed" when closed), the roster and the
// click regions of every key line, and swaps the buffers; showSheet opens a
// member's sheet for F1-F8 in a menu.
//
// Registering a building: one line of the event table (world/EventTable.h)
// with its id and class, whose constructor takes the square's EventParams_S
// (possibly null), and the class's header in app/GameEvents.cpp.
#pragma once
#include "screens/PaneScreen.h"
#include "world/Event.h"

#include <SDL.h>

#include <cstdint>

class Interface_C;
class PaneText_C;
class bl3dPartyChar;

class Building_C : public Event_C, public PaneScreen_C {
public:
    static constexpr int kClosed = 99;
    static constexpr int kLeaveTicks = 30;

    // The exit is the record's; without a record it is the default given.
    Building_C(const EventParams_S* params, int32_t defaultExitX = 0, int32_t defaultExitY = 0,
               int32_t defaultExitFacing = 0);

    // Runs the visit (above); returns 0. Without an interface, nothing.
    int invoke(Interface_C* iface) override;

    // Shows the building's picture ("Closed" while closed) in the upper-left
    // pane. Screens that a building opens call it to keep the building
    // behind them.
    void drawPic();

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
    // The text of the closed state, kClosed (buildings with hours).
    virtual const char* closedText() const { return ""; }
    // Whether leaving empties the upper-left picture (a shop leaves it).
    virtual bool emptiesPictureOnLeaving() const { return true; }

    // --- the building's screen ---------------------------------------------------
    // drawState (never called when closed), handleKey (never called when
    // closed nor in a message state) and isMessage are the pane screen's; a
    // message that SPACE ends goes back to the menu through backToMenu.
    // Runs after the loop has ended, before the picture is emptied and the
    // clock advanced (a shop puts its stock back here).
    virtual void afterVisit() {}

    // --- what the screens share --------------------------------------------------
    // Whether the building is open at the world clock's present hour.
    bool isOpenNow() const;
    // After a message: the menu, or closed when the building keeps hours and
    // the hour is now outside them.
    void backToMenu();
    // Puts the party on the exit, ends the visit (kDone) and asks for a
    // redraw.
    void leave();
    // F1-F8 in a building's menu: shows that member's sheet with the
    // building behind it, then asks for a redraw of the menu. False (and
    // nothing shown) for another key or an empty slot.
    bool showSheet(int sym);

private:
    // The frame's part of the pane screen: the picture, the closed page,
    // SPACE when closed (leaves) and SPACE on a message (backToMenu).
    void drawPicture() override { drawPic(); }
    void drawPage(PaneText_C& pane) override;
    bool frameKey(int sym) override;
    void endMessage() override { backToMenu(); }

    int32_t exitX_ = 0;
    int32_t exitY_ = 0;
    int32_t exitFacing_ = 0;
};
