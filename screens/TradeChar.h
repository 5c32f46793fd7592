// TradeChar_C: the screen of 't' in the main view. Two living members
// change places ("Trade who?", then "With who?"); ESC cancels on either
// question. Works on the global party; returns nothing.
#pragma once

class Interface_C;

class TradeChar_C {
public:
    enum State : int { DONE = 0, TRADE_WHO = 1, WITH_WHO = 2 };

    // The screen is a pane screen (screens/PaneScreen.h); display draws it
    // and key gives it a key.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void display();

    static int getState();
};
