// CastSpell_C: the screen of 'c' in the main view, through which a party
// member casts a spell outside combat. The caster is chosen with F1-F8 (a
// member of a casting class, class mask 0x3F30, who is alive); the spell by
// its four-letter code, typed, or from the list of the caster's spells
// (TAB); a spell for one member asks for its target (F1-F8); the Magician's
// Portal asks how many steps north, then east, to go. The spell is cast at
// once and its narration shown; SPACE then closes the screen.
//
// The screen is a pane screen (screens/PaneScreen.h). Its state lives for
// the whole run (each run starts again from CHOOSE_CASTER): the caster, the spell, the typed entry, the spell list of
// the last TAB, the narration of the last cast.
#pragma once

class Interface_C;
class ScrollList_C;
class bl3dAction;
class bl3dPartyChar;

class CastSpell_C {
public:
    enum State {
        DONE = 0,
        CHOOSE_CASTER = 1,
        ENTER_CODE = 2,
        UNKNOWN_SPELL = 3,
        CAST = 4,
        TOO_DRAINED = 5,
        NOT_A_CASTER = 6,
        SPELL_LIST = 7,
        COMBAT_ONLY = 9,
        CHOOSE_TARGET = 10,
        PORTAL_NORTH = 100,
        PORTAL_EAST = 101,
    };

    // Runs the screen over the main view until it closes.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void display();

    static int getState();
    // The typed characters with the cursor mark.
    static const char* getEntry();
    static bl3dPartyChar* getCaster();
    static bl3dAction* getSpell();
    static const ScrollList_C* getSpellList();
    // What the last cast said.
    static const char* getNarration();
};
