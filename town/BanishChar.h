// BanishChar_C ("(B)anish an Adventurer from the Realm"): the player picks a
// stored adventurer who is not in the party and, asked again, removes it
// from the roster for good (RETURN, then 'y'; ESC at either step keeps it).
// The screen does not open when the roster holds nobody outside the party.
// The removal takes effect in the archive's working state and becomes
// permanent when the quest is saved.
#pragma once

class Event_1000_C;
class Interface_C;
class ScrollList_C;

class BanishChar_C {
public:
    enum State : int { DONE = 0, CHOOSE = 1, CONFIRM = 2 };

    // hall serves only to draw the Hall's picture (may be null). The screen
    // is a pane screen (screens/PaneScreen.h); updateText draws it and key
    // gives it a key.
    static void run(Interface_C* iface, Event_1000_C* hall);
    static void updateText(Interface_C* iface);
    static void key(int sym);

    static int getState();
    static const ScrollList_C* getList();
};
