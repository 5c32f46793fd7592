// The built-in action catalogue: the 95 actions the game makes at start-up,
// in their order of creation. Saves, monster files, item types and the
// action data file name these actions by id, so every value here is fixed.
//
// initActions runs once at start-up, before the action data file is read,
// and adds one object of each row to masterActionList (value 0); the list's
// destroyAll deletes them at quit.
#pragma once
#include <cstddef>
#include <cstdint>

class bl3dAction;

// One action that is not a spell: a skill, a combat move, a bard song or
// Equip Item. `make` builds the object of its class from the row.
struct ActionRow_S {
    int number; // order of creation, 1..95
    const char* name;
    int32_t id;
    int32_t classMask;
    int32_t level;
    uint8_t targetKind;
    uint8_t range;
    int aiCategory;
    const char* description;
    bl3dAction* (*make)(const ActionRow_S& row);
};

// The kind of a built-in spell, which decides its parameter record.
enum class SpellKind { Effect, Trap, Summon, Damage, Plain };

// One built-in spell. The parameter values fill the record of its kind:
// effect six int32; trap an int32 and two bytes; summon the monster type's
// name, the illusion flag and two int32; damage eight int32; plain none.
struct SpellRow_S {
    int number;
    const char* name;
    const char* code;
    SpellKind kind;
    int32_t id;
    int32_t classMask;
    int32_t level;
    int32_t spCost;
    uint8_t targetKind;
    uint8_t range;
    uint8_t path;
    int aiCategory;
    int32_t values[8];
    const char* monster; // summon spells
    const char* description;
};

// The rows, in creation order within each table.
const ActionRow_S* actionRows(size_t* count);
const SpellRow_S* spellRows(size_t* count);
// The row of an action that is not a spell; null for an id not in it.
const ActionRow_S* actionRow(int32_t id);

// Makes the 95 built-in actions in creation order and adds each to
// masterActionList with value 0.
void initActions();
