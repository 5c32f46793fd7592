// ReorderParty_C: the "New Order:" screen of shift-'t' in the main view.
// The player picks the members one by one with F1-F8 (counted among those
// still waiting, so F1 is always the first of them); the screen ends when
// every member has been picked, and the party takes the picked order. An
// empty party ends it at once. ESC does nothing: every member must be
// placed.
//
// While it runs, the picked members are held by the screen (out of the
// party); whatever ends the loop, they all go back into the party.
#pragma once

class Interface_C;
class bl3dPartyChar;

class ReorderParty_C {
public:
    enum State : int { DONE = 0, PICKING = 1 };

    // The screen is a pane screen (screens/PaneScreen.h); display draws it
    // and key gives it a key.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void display();

    static bool isRunning();
    static int pickedCount();
};
