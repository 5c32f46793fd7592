// UseItem_C: the screen of 'u' in the main view, through which a party
// member uses an equipped item outside combat. The user is chosen with
// F1-F8, the item in the item chooser; an item whose power needs one member
// asks for its target (F1-F8). An item whose power is an action is used at
// once through the item (its charges pay, see bl3dItemActor); one whose
// power is a script hook runs the map script "item%06d" of its number at
// the party's square. Every outcome is shown in a message box and the
// screen then closes; a use that was refused says why.
//
// The context an action gets follows the actions' convention: the
// narration buffer and a distance of 0.
//
// The screen is a pane screen (screens/PaneScreen.h). Its state lives for
// the whole run (each run starts again from CHOOSE_USER): the user, the slot of the item, its action, the narration
// and the message of the last use.
#pragma once

class Interface_C;
class bl3dAction;
class bl3dPartyChar;

class UseItem_C {
public:
    enum State { DONE = 0, CHOOSE_USER = 1, CHOOSE_TARGET = 10 };

    // Runs the screen over the main view until it closes.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void updateText();
    // Draws the 3-D view behind the item chooser and the message boxes.
    static void redrawView();

    static int getState();
    static bl3dPartyChar* getUser();
    static int getSlot();
    static bl3dAction* getAction();
    // The text of the last message box shown.
    static const char* getMessage();
};
