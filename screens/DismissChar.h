// DismissChar_C: the main view's 'd'. The player sends away a party member
// that is a monster (one that joined or was summoned): it leaves the party
// and its own roster entry is deleted. A player character is refused ("%s
// is not a monster!"); a roster entry of the same name that holds an
// adventurer is left alone.
#pragma once

class Interface_C;

class DismissChar_C {
public:
    enum State : int { DONE = 0, CHOOSE = 1, REFUSED = 2, CONFIRM = 3 };

    // The screen is a pane screen (screens/PaneScreen.h); updateText draws
    // it and key gives it a key.
    static void run(Interface_C* iface);
    static void updateText(Interface_C* iface);
    static void key(int sym);

    static int getState();
};
