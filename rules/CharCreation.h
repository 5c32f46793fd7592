// The rules of making a new adventurer, shared by the creation screen and
// the tool that writes the quest template's ready-made party:
//
//   the race (its modifiers and the constant of stat 6) -> the roll of
//   stats 0..5 (dice, or given) and what follows from them
//   (bl3dStatBlock::rollCreation, deriveCreation) -> the classes
//   that take the race and the roll -> the class step (hit points, spell
//   points, gold, the class's modifiers) -> the character, with its
//   portrait, standard actions, starting items and the class's gifts.
//
// All dice come from the game's one generator (platform/Random.h).
#pragma once
#include <cstdint>
#include <memory>

class bl3dPartyChar;
class bl3dStatBlock;
struct ClassDef_S;

constexpr int CREATION_RACES = 9;

struct CreationRace_S {
    int32_t race;          // 1..9
    int key;               // its key on the race page
    const char* menuText;  // "(H)uman"
    const char* prefix;    // portrait prefix "Human_"
    const char* name;      // "Human"
    int32_t mods[6];       // permanent modifiers of ST IQ WI DX CN CH
    float factor;          // the race's constant in the stat 6 formula
};

// The race of that number (1..9), or of that key on the race page; null
// for any other.
const CreationRace_S* creationRace(int32_t race);
const CreationRace_S* creationRaceForKey(int key);
// The race's name, "ERROR" for a number outside 1..9.
const char* creationRaceName(int32_t race);
// The title of a class bit (0x1 "Land Reaver" ... 0x4000 "Pale Claw"),
// "NONE" for anything else.
const char* creationClassName(int32_t classBit);

// The race's modifiers (permanent, type 4, keys (0, 0)); recomputed.
void addRaceModifiers(bl3dStatBlock& stats, const CreationRace_S& race);

// The OR of the bits of the classes of classDef that take the race and the
// current stats.
int32_t creationClassesFor(int32_t race, const bl3dStatBlock& stats);

// What the class step rolls.
struct ClassRoll_S {
    int32_t hp = 0;
    int32_t sp = 0;
    int32_t gold = 0;
};
// The class step: hit and spell points from the class's dice and bonuses,
// the class's armour bonus and stat modifiers (keys (2, 0)) added to the
// stats (recomputed), and the starting gold.
ClassRoll_S classStep(const ClassDef_S& cls, bl3dStatBlock& stats);
// Takes the class step's modifiers off again (recomputed).
void undoClassStep(bl3dStatBlock& stats);

// The new adventurer: level 1, the rolled points and gold, the stats'
// current values as its bases (no modifiers), the portrait nickname in its
// name buffer, the standard actions, the class's starting items and gifts
// (rules/CreationGifts.h).
std::unique_ptr<bl3dPartyChar> makeCreatedChar(const char* name, const ClassDef_S& cls, int32_t race, bool male,
                                               const char* portrait, const bl3dStatBlock& stats,
                                               const ClassRoll_S& roll);
