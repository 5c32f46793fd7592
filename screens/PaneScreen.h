// PaneScreen_C: the shape of a screen that writes its pages into the upper-
// right pane of the main screen. A screen is a state machine with named
// states (an enum of its own; 0 ends it): the modal loop gives every key to
// key() and every redraw request to display().
//
// The base draws the page's frame (beginPage, world/PaneText.h): the click
// regions cleared, the pane cleared, the picture (drawPicture: by default
// the one under the pane, as beginViewPage draws it), the party roster; then
// drawPage prints the texts of the state in black, and last the mouse
// cursor is brought up to date for the region under the mouse.
//
// Keys: a screen may take a key before anything else (frameKey); in state 0
// no key counts; in a message state (isMessage) the base takes the keys:
// SPACE ends the message (endMessage: back to the menu), any other key is
// ignored; every other key goes to handleKey.
//
// Town buildings (town/Building.h) are pane screens run as map events.
#pragma once
#include <SDL.h>

#include <cstdint>

class Interface_C;
class PaneText_C;

class PaneScreen_C {
public:
    // The state that ends the screen, and the first state of a screen
    // that opens on a menu.
    static constexpr int kDone = 0;
    static constexpr int kMenu = 1;

    virtual ~PaneScreen_C() = default;

    // Draws the current state: the frame and the state's texts.
    void display();
    // The key handler (above).
    void key(int sym, SDLMod mod = KMOD_NONE);

    int getState() const { return state_; }

protected:
    // Runs the modal loop on this screen until its state is 0: waiting for
    // each event, or polling.
    void runLoop(bool polling) { runLoop(state_, polling); }
    // The same, until the given flag is 0: for a screen whose last state
    // (a result) ends the loop but stays its state.
    void runLoop(int& running, bool polling);

    // --- the screen's page ---------------------------------------------------------
    // The picture of the frame; by default the one under the pane.
    virtual void drawPicture();
    // Prints the page of the current state; by default drawState in any
    // state above 0.
    virtual void drawPage(PaneText_C& pane);
    // Prints the texts of the current state into the pane.
    virtual void drawState(PaneText_C& pane) = 0;

    // --- the screen's keys ---------------------------------------------------------
    // A key the screen takes before the states see it; true when taken.
    virtual bool frameKey(int /*sym*/) { return false; }
    // Handles a key in a state above 0 that is no message.
    virtual void handleKey(int sym, SDLMod mod) = 0;
    // Whether the current state is a message that SPACE ends.
    virtual bool isMessage() const { return false; }
    // SPACE on a message: back to the menu.
    virtual void endMessage() { setState(kMenu); }

    // Sets the state and asks for a redraw.
    void setState(int state);

    Interface_C* iface_ = nullptr;
    int32_t state_ = kDone;
};
