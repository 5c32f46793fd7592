// CreateChar_C: the screen behind the Hall's "(R)ecruit a new Adventurer".
// The player picks a race, a gender and a portrait, rolls the stats until
// content, picks one of the classes that take the race and the roll, and
// types a name that no stored adventurer has. run() returns the new
// adventurer (the caller owns it and stores it in the roster) or null when
// the player cancelled; the adventurer is not put into the party.
//
// Pages (states): race 1 -> gender 2 -> portrait 5 -> rolls and class 3 ->
// name 4 -> created 6; 'g' goes back one page from gender, portrait and
// rolls; ESC cancels (0) from race, gender and rolls, and from the name
// goes back to the rolls without the class's modifiers. When no class takes
// the race with any roll, the player is told (state 7) and goes back to
// the race page.
//
// The work lives in screen-wide variables (one creation at a time); the
// roll goes into the global creationStats (rules/StatBlock.h).
#pragma once
#include <SDL.h>

#include <cstdint>
#include <memory>

class Event_1000_C;
class Interface_C;
class ScrollList_C;
class bl3dPartyChar;

class CreateChar_C {
public:
    enum State : int {
        CANCELLED = 0,
        RACE = 1,
        GENDER = 2,
        ROLLS = 3,
        NAME = 4,
        PORTRAIT = 5,
        CREATED = 6,
        NO_CLASS = 7,
    };
    // How many rolls are tried before the player is told that no class
    // takes the race.
    static constexpr int MAX_ROLLS = 1000;
    static constexpr int MAX_NAME = 12;

    // hall serves only to draw the Hall's picture (may be null).
    static std::unique_ptr<bl3dPartyChar> run(Interface_C* iface, Event_1000_C* hall);

    static void updateText(Interface_C* iface);
    static void key(int sym, SDLMod mod, Interface_C* iface);
    // Rolls until some class takes the race and the roll (at most
    // MAX_ROLLS tries); the classes offered (0: none would).
    static int32_t rollStats(Interface_C* iface);
    static int32_t buildClassList(Interface_C* iface);
    static void drawClassList(Interface_C* iface);

    // --- what tests look at ----------------------------------------------------
    static int getState();
    static const char* getName();          // with its cursor
    static const char* getPortrait();
    static const ScrollList_C* getClassList();
    static int32_t getClassId();
};
