// The roster screens of the Hall of Adventurers. The roster is the save
// archive's "hall" directory: one entry per stored adventurer, named by the
// adventurer's name.
//
// AddChar_C ("(G)ive welcome to an Adventurer"): the player picks a stored
// adventurer who is not in the party; run() returns a fresh copy read from
// the roster (the caller owns it and adds it to the party), or null when
// cancelled or when nobody outside the party is stored (the screen then
// does not open). Joined and summoned monsters get no line; an entry that
// cannot be read shows as a line that cannot be chosen.
#pragma once
#include <memory>

class Event_1000_C;
class Interface_C;
class ScrollList_C;
class bl3dPartyChar;

class AddChar_C {
public:
    enum State : int { DONE = 0, CHOOSE = 1 };

    // hall serves only to draw the Hall's picture (may be null). The screen
    // is a pane screen (screens/PaneScreen.h); updateText draws it and key
    // gives it a key.
    static std::unique_ptr<bl3dPartyChar> run(Interface_C* iface, Event_1000_C* hall);
    static void updateText(Interface_C* iface);
    static void key(int sym);

    // --- what tests look at ----------------------------------------------------
    static bool isRunning();
    static const ScrollList_C* getList();
};
