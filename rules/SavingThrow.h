// The two checks by which a creature escapes a harm: the saving throw (a d20
// plus a bonus against the target of the creature's table row) and the
// elemental resistance check (a percentile roll against a resistance stat).
#pragma once

class bl3dCharacter;

enum SaveElement : int {
    ELEMENT_FIRE = 1,
    ELEMENT_EARTH = 2,
    ELEMENT_AIR = 3,
    ELEMENT_WATER = 4,
};

// True (saved) when rand() % 20 + 1 + bonus reaches the creature's target
// for save index 0..5. A combat monster uses the level-1 row of its name's
// category and never saves outside the categories; a party member uses the
// table of its class group at its level (the row of level 50 beyond it) and
// never saves in no group. An index outside 0..5 never saves.
bool rollSavingThrow(bl3dCharacter* who, int index, int bonus);

// True (resisted) when the creature's current resistance to the element
// (stat 13, 15, 17 or 19) is at least rand() % 100 + 1; other elements are
// never resisted.
bool rollElementResist(bl3dCharacter* who, int element);
