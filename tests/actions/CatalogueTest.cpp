// The built-in catalogue against the tables it is made from: every one of
// the 95 actions with its id, class mask, level, target kind, range, AI
// category, name, code and description, in its order of creation, and the
// spells' costs, paths and parameter records.
#include "ActionTest.h"

#include "actions/Catalogue.h"
#include "actions/Spells.h"

#include <cstring>
#include <set>

namespace {

struct Entry {
    int number;
    const char* name;
    uint32_t id;
    int32_t mask;
    int32_t level;
    int targetKind;
    int range;
    int ai;
    const char* code; // spells only
    int32_t spCost;
    int path;
    const char* description;
};

// clang-format off
const Entry CATALOGUE[] = {
    {1, "Attack", 0x000e0001, 0x7fff, 1, 1, 10, 6, nullptr, 0, 0, "Basic Attack"},
    {2, "Fight Evil", 0x000e0004, 0x20, 1, 32, 10, 6, nullptr, 0, 0, "+2 to hit and damage against all evil creatures"},
    {3, "Fight Evil (Graced)", 0x000e0005, 0x20, 13, 32, 10, 6, nullptr, 0, 0, "+4 to hit and damage against all evil creatures"},
    {4, "Fight Evil (Blessed)", 0x000e0006, 0x20, 25, 32, 10, 6, nullptr, 0, 0, "+6 to hit and damage against all evil creatures"},
    {5, "Fight Evil (Absolved)", 0x000e0007, 0x20, 37, 32, 10, 6, nullptr, 0, 0, "+8 to hit and damage against all evil creatures"},
    {6, "Fight Evil (Divine)", 0x000e0008, 0x20, 50, 32, 10, 6, nullptr, 0, 0, "+10 to hit and damage against all evil creatures"},
    {7, "Pick Pockets", 0x000e03e8, 0x7fff, 1, 1, 10, 0, nullptr, 0, 0, "Pick Pockets steal money attack"},
    {8, "Hide in Shadows", 0x001e03e9, 0x80, 1, 0, 90, 0, nullptr, 0, 0, "Hide in Shadows to prevent attacks and to backstab"},
    {9, "Entangle", 0x001603eb, 0x7fff, 1, 9, 20, 3, nullptr, 0, 0, "Entangle stun attack"},
    {10, "Venom Bite", 0x000603ec, 0x7fff, 0, 1, 10, 4, nullptr, 0, 0, "Venom Bite 1d6 + 1/tick poison damage until saving throw"},
    {11, "Venom spray", 0x001603ed, 0x7fff, 0, 2, 20, 4, nullptr, 0, 0, "Venom spray 1d8 poisons for 1-4 every 2 ticks for 4 ticks"},
    {12, "Rapid Healing", 0x001603ee, 0x7fff, 1, 0, 90, 1, nullptr, 0, 0, "Rapid Healing 1d6 points every two ticks"},
    {13, "Mind Compass", 0x00883001, 0x10, 1, 0, 0, 8, nullptr, 0, 0, "The knight inherently knows the party orientation"},
    {14, "Shadow Walk", 0x00883002, 0x40, 1, 0, 0, 8, nullptr, 0, 0, "The Ranger can lead the party skillfully in the wilderness, lowering the chance of running into an enemy"},
    {15, "Animal Talk", 0x00883003, 0x40, 13, 0, 0, 2, nullptr, 0, 0, "The Ranger can coax a wild animal to join the party"},
    {16, "Suggestion of Force", 0x001a1011, 0x4, 25, 1, 0, 0, nullptr, 0, 0, "Causes a single enemy to flee, the chance of the enemy fleeing increases with the level of the warrior, but not all enemies are susceptible"},
    {17, "Deathblow", 0x000d1012, 0x80, 25, 1, 20, 0, nullptr, 0, 0, "Strike at a single enemy from the shadows, with a chance for sudden death"},
    {18, "Greater Deathblow", 0x000d1013, 0x80, 50, 1, 20, 0, nullptr, 0, 0, "Similar to Deathblow, but with a higher chance of sudden death"},
    {19, "Call Sprite", 0x00090001, 0x100, 1, 0, 0, 8, "CASP", 2, 1, "Calls a Sun Sprite from another plane to illuminate the area around the party.  This spell does not last long, however, since Sprites can only exist for a short time away from their home plane, and must therefore return soon after called."},
    {20, "Trip Trap", 0x00090003, 0x100, 1, 0, 0, 0, "TRTR", 2, 1, "Disarms all traps an area near the party, removing possible dangers.  Also works on chests."},
    {21, "Ball of Bearing", 0x00090005, 0x100, 2, 0, 0, 8, "BALL", 3, 1, "The Magician summons a Sprite to show him and the party the direction so they don't get lost while the Sprite remains.  Sprites, being fragile creatures, however, cannot survive for long away from their home plane of existance, and so must return after only a short time."},
    {22, "Heimdall's Eye", 0x00090009, 0x100, 3, 0, 0, 8, "HEEY", 5, 1, "The Magician calls forth the power of Heimdall, thus enabling him or herself with the ability to see in the dark.  Heimdall's Eye also reveals secret doors."},
    {23, "Summon Wolf", 0x000b000d, 0x100, 4, 0, 0, 2, "WOLF", 6, 1, "The Magician summons a wolf to fight for the party until it gets killed."},
    {24, "Heimdall's Perception", 0x0009000f, 0x100, 5, 0, 0, 8, "HEPE", 7, 1, "This is the advenced version of Heimdall's Eye.  Advanced, because it lasts indefinitely (i.e., until dispelled)."},
    {25, "Summon Warrior Wolf", 0x000b0012, 0x100, 6, 0, 0, 2, "SUWA", 9, 1, "The Magician summons a warrior wolf to fight for the party until it gets killed."},
    {26, "Magician's Portal", 0x00890015, 0x100, 7, 16, 0, 0, "MAPO", 15, 1, "The Magician creates a mystical portal through which the party may gain access to any place on the current dungeon level through which they've already traveled."},
    {27, "Push Foes", 0x001b0016, 0x100, 7, 2, 0, 0, "PUFO", 18, 1, "Pushes a group of enemies away from the party during combat."},
    {28, "Reveal Location", 0x00090019, 0x100, 1, 0, 0, 8, "RELO", 2, 2, "The map of the dungeon is revealed in the mind's eye of the Thaumaturgist very briefly, so that he can tell the party fellows where they are (relative to the entrance stairs)."},
    {29, "Metal Glow", 0x0009001a, 0x100, 1, 0, 0, 8, "MEGL", 2, 2, "Causes all metallic objects the party wears to glow, so that the party can see in the dark."},
    {30, "Locate Stairs", 0x0009001e, 0x100, 2, 0, 0, 8, "LOST", 5, 2, "Calls forth a Sprite which circles around the party and reveals any nearby stairs."},
    {31, "Silver Strike", 0x000f0021, 0x100, 2, 1, 10, 4, "SIST", 4, 2, "One of only two non-Paladin undead attack spells, Silver Strike is taught outside the Order to ensure that at least a basic defense against the foul antithesis of nature is available to those who cannot, or will not, follow the Way.  Silver Strike works against all creatures, but is much more effective against undead."},
    {32, "Magical Glow", 0x00090026, 0x100, 4, 0, 0, 8, "MAGL", 7, 2, "An improved version of Metal Glow; Magical Glow causes metallic objects in the party's possession to glow more brightly and for a longer time."},
    {33, "Create Mist", 0x000b0029, 0x100, 5, 0, 0, 8, "MIST", 8, 2, "The Thaumaturgist creates a magical mist that surrounds the party, making it impossible for foes to see them, and allowing them to escape from battle."},
    {34, "Eagle Eye", 0x00090032, 0x100, 1, 0, 0, 8, "EAEY", 10, 3, "The Illusionist is granted with an enhanced perception, enabling her to see nearby traps or stairways."},
    {35, "Mind Ogre", 0x00090033, 0x100, 1, 0, 0, 2, "MIOG", 15, 3, "Summons an illusionary Ogre to fight for the party until destroyed or disbelieved."},
    {36, "Mind Golem", 0x00090034, 0x100, 2, 0, 0, 2, "MIGO", 16, 3, "Summons an illusionary Clay Golem to fight for the party until destroyed or disbelieved."},
    {37, "Mind Wolf", 0x00090035, 0x100, 2, 0, 0, 2, "MIWO", 14, 3, "Summons an illusionary Wolf to fight for the party until destroyed or disbelieved."},
    {38, "Infravision", 0x00090036, 0x100, 3, 0, 0, 8, "INFR", 7, 3, "The Illusionist is endowed with infravision, providing clear vision even in very dark places."},
    {39, "Mind Phazing", 0x001f0037, 0x100, 3, 1, 30, 4, "MIPH", 10, 3, "The Illusionist invades the mind of an enemy, affecting their spellcasting ability."},
    {40, "Loki's Illusion", 0x00090038, 0x100, 4, 0, 0, 8, "LOIL", 8, 3, "The Illusionist makes the party look like wandering monsters, reducing the likelihood of encounters of any kind."},
    {41, "Mind Golem (Iron)", 0x00090039, 0x100, 4, 0, 0, 2, "MIGI", 17, 3, "Summons an illusionary Iron Golem to fight for the party until destroyed or disbelieved."},
    {42, "Mind Vortex", 0x001b0040, 0x100, 7, 4, 0, 0, "MIVO", 35, 3, "Creates an illusionary vortex in the minds of all foes, causing various status changes and possibly death."},
    {43, "Preclude Illusions", 0x000b003b, 0x100, 5, 0, 0, 8, "PRIL", 15, 3, "The Illusionist prevents all spellcasters from casting Illusions."},
    {44, "Mind Dragon", 0x0009003c, 0x100, 6, 0, 0, 2, "MIDR", 20, 3, "Summons an illusionary Dragon to fight for the party until destroyed or disbelieved."},
    {45, "Mind Drain", 0x001f003d, 0x100, 6, 1, 50, 4, "MIND", 9, 3, "The Illusionist drains mystical energy from an enemy, adding it to his or her own."},
    {46, "Hawk Eye", 0x0009003e, 0x100, 7, 0, 0, 8, "HAEY", 13, 3, "An advanced version of Eagle Eye; beyond a longer duration, Hawk Eye additionally allows the Illusionist to perceive secret doors."},
    {47, "Summon Lesser Demon", 0x00090043, 0x100, 1, 0, 0, 2, "LEDE", 15, 4, "The Summoner summmons a lesser demon to join the party until it is killed."},
    {48, "Sight Blur", 0x00090044, 0x100, 2, 16, 0, 8, "SIBL", 25, 4, "The Summoner creates a blurring field around the party, causing enemies to overlook them and thereby reducing random encounters."},
    {49, "Summon Medium Demon", 0x00090047, 0x100, 3, 0, 0, 2, "MEDE", 20, 4, "The Summoner summmons a Moderatly empowered demon to join the party until it is killed."},
    {50, "Preclude Undead", 0x000b0048, 0x100, 3, 0, 0, 8, "PRUN", 15, 4, "Prevents all participants in combat from summoning undead, including the Summoner."},
    {51, "Summon Assassin", 0x0009004a, 0x100, 4, 0, 0, 2, "SUAS", 40, 4, "The Summoner summmons an assassin to join the party until it is killed."},
    {52, "Spirit Fist", 0x001f004c, 0x100, 4, 1, 70, 4, "SPFI", 25, 4, "The Summoner attacks the spirit of the enemy directly, phasing SP Completely"},
    {53, "Preclude Demons", 0x000b004d, 0x100, 5, 0, 0, 8, "PRDE", 15, 4, "Prevents all participants in combat from summoning Demons, including the Summoner."},
    {54, "Preclude Magic", 0x000b004f, 0x100, 5, 0, 0, 8, "PRMA", 17, 4, "Prevents all participants in combat from casting any magic, including the Summoner."},
    {55, "Spirit Hammer", 0x001f0050, 0x100, 6, 2, 40, 4, "SPHA", 45, 4, "The Summoner attacks the spirit of an enemy group, phasing SP Completely"},
    {56, "Summon Major Demon", 0x00090051, 0x100, 6, 0, 0, 2, "MADE", 32, 4, "The Summoner summmons a powerful demon to join the party until it is killed."},
    {57, "Preclude Reproduction", 0x000b0052, 0x100, 6, 0, 0, 8, "PRRE", 21, 4, "Some foes magically reproduce during combat - this spell prevents that reproduction."},
    {58, "Summon Cuchulaiin", 0x00090053, 0x100, 7, 0, 0, 2, "CUCU", 35, 4, "The Summoner summmons the legendary hero to fight for the party for some time."},
    {59, "Counter Summoning", 0x000b0054, 0x100, 7, 0, 0, 8, "COSU", 50, 4, "Prevents any type of summoning or reproduction for the duration of combat.  This affects the Summoner as well."},
    {60, "Draw Foes", 0x001b0056, 0x100, 1, 2, 90, 0, "DRFO", 40, 5, "Brings a group of enemies into melee range during combat."},
    {61, "Spell Compiler", 0x001b0057, 0x100, 2, 0, 0, 0, "SPCO", 35, 5, "Casts Ball of Bearing, Hawk Eye, and Balder's Shield"},
    {62, "Vampire Suction", 0x001f0058, 0x100, 3, 1, 50, 4, "VAMP", 45, 5, "The Warlock drains the life force of an enemy, adding it to his or her own."},
    {63, "Mind Blow", 0x001b0060, 0x100, 5, 2, 0, 0, "MIBL", 35, 3, "An enhanced mind phazing, this spell will befuddle a group of enemies"},
    {64, "Holy Spirit", 0x001b0061, 0x20, 7, 0, 0, 0, "HOSP", 100, 0, "The part transcends to the Spirit Realm, summoning is precluded, illusions destroyed, undead banished, and the party recieves extra protection"},
    {65, "Ghost Wall", 0x00890062, 0x100, 6, 0, 0, 0, "GHWA", 10, 2, "The Thaumaturgist causes the wall to dissipate for the duration of one move, giving the party access to what lays beyond the wall"},
    {66, "Open Wall", 0x00890063, 0x200, 5, 0, 0, 0, "OPWA", 10, 0, "The Geomancer calls on the earth in a wall to dissipate for the duration of one move, giving the party access to what lays beyond"},
    {67, "Read Ley Lines", 0x00090101, 0x200, 1, 0, 0, 8, "RELL", 3, 0, "The Geomancer can temporarily give the party the direction they're headed by interpreting the Ley Lines."},
    {68, "Cthonic Warning", 0x00090107, 0x200, 3, 0, 0, 8, "CTWA", 5, 0, "The Geomancer calls upon the power of the Earth to warn the party of traps nearby."},
    {69, "Summon Earth Elemental", 0x0009010b, 0x200, 4, 0, 0, 2, "SUEE", 7, 0, "The Geomancer summons an Earth Elemental to fight for the party for as long as it survives."},
    {70, "Create Stone Golem", 0x0009010e, 0x200, 5, 0, 0, 2, "CRSG", 8, 0, "The Geomancer creates a Stone Golem to fight for the party until it is destroyed."},
    {71, "Create Air Elemental", 0x0009011d, 0x800, 3, 0, 0, 2, "CRAE", 6, 0, "The Aeromancer creates an Air Elemental, which fights with the party until it is destroyed."},
    {72, "Float", 0x00890120, 0x800, 4, 16, 0, 8, "FLOA", 7, 0, "The Aeromancer makes the party levitate for a moderate length of time."},
    {73, "Spring All Traps", 0x00090121, 0x800, 4, 0, 0, 0, "SPAT", 8, 0, "The Aeromancer creates a dense wind that tears through the caves and caverns, springing any traps that might lay in wait for the party.  Does not effect spinners."},
    {74, "Create Air Golem", 0x00090124, 0x800, 5, 0, 0, 2, "CRAG", 8, 0, "The Aeromancer creates an Air Golem, which fights with the party until it is killed."},
    {75, "Neutralize Spinners", 0x00090126, 0x800, 6, 0, 0, 0, "NESP", 12, 0, "The Aeromancer creates a harsh wind that blows through nearby hallways and rooms, destroying any spinner traps."},
    {76, "Summon Air Giant", 0x00090127, 0x800, 6, 0, 0, 2, "AIGI", 11, 0, "The Aeromancer summmons an Air Giant to join the party until it is killed."},
    {77, "Walk on Air", 0x00890129, 0x800, 7, 16, 0, 8, "WAOA", 14, 0, "The Aeromancer makes the party levitate indefinitely."},
    {78, "Summon Water Dragon", 0x0009013e, 0x400, 7, 0, 0, 2, "SUWD", 14, 0, "The Summoner summmons a water dragon to fight for the party for some time."},
    {79, "Create Water Elemental", 0x00090132, 0x400, 3, 0, 0, 2, "CRWE", 6, 0, "The Hydromancer creates a Water Elemental, which fights with the party until it is destroyed."},
    {80, "Snow Storm", 0x000b0139, 0x400, 5, 0, 0, 8, "SNST", 9, 0, "Creates a magical snow storm that surrounds the party, obscuring the view of foes, and allowing them to escape from battle."},
    {81, "Camp Fire", 0x00090160, 0x1000, 1, 0, 0, 8, "CAFI", 3, 0, "Create a small campfire to surround the party in light"},
    {82, "Summon Salamander", 0x00090161, 0x1000, 4, 0, 0, 2, "SUSA", 6, 0, "The Pyromancer summmons a Salamander to fight for the party for some time."},
    {83, "Summon Super Golem", 0x00090162, 0x2000, 6, 0, 0, 2, "SUGO", 40, 0, "The Isomancer summmons an all-elemental golem to fight for the party for some time."},
    {84, "Create Fire Elemental", 0x00090400, 0x1000, 3, 0, 0, 2, "CRFE", 5, 0, "The Pyromancer summons a fire elemental that joins the party until it gets killed."},
    {85, "Create Ice Golem", 0x00090401, 0x400, 5, 0, 0, 2, "CRIG", 8, 0, "The Hydromancer summons an Ice Golem that joins the party until it gets killed."},
    {86, "MonAdv", 0x00320001, 0x7fff, 0, 2, 0, 0, nullptr, 0, 0, "Monster Advance"},
    {87, "PartyAdv", 0x003a0002, 0x7fff, 0, 16, 0, 0, nullptr, 0, 0, "Party Advance"},
    {88, "Defend", 0x00320003, 0x7fff, 0, 16, 0, 7, nullptr, 0, 0, "Defend"},
    {89, "Advance", 0x00320004, 0x7fff, 0, 8, 0, 0, nullptr, 0, 0, "Rank Advance"},
    {90, "Retreat", 0x00320005, 0x7fff, 0, 8, 0, 0, nullptr, 0, 0, "Rank Retreat"},
    {91, "Beasty Skirl", 0x005ab001, 0x2, 1, 0, 40, 0, nullptr, 0, 0, "Beasty Skirl"},
    {92, "EquipItem", 0x002a00af, 0x7fff, 0, 8, 0, 0, nullptr, 0, 0, "Equip an Item"},
    {93, "Proud Mary", 0x005ab009, 0x2, 2, 0, 0, 0, nullptr, 0, 0, "Proud Mary"},
    {94, "Vezivi'v Iroviriva", 0x005eb00c, 0x2, 2, 0, 40, 0, nullptr, 0, 0, "Vezivi'v Iroviriva"},
    {95, "Walking Song", 0x005ab00d, 0x2, 1, 0, 40, 0, nullptr, 0, 0, "Walking Song"},
};
struct Params {
    const char* code;
    const char* monster; // summon spells
    int32_t values[8];
};

const Params PARAMS[] = {
    {"CASP", nullptr, {3, 0, 1, 0, 0, 0}},
    {"TRTR", nullptr, {3, 1, 0}},
    {"BALL", nullptr, {3, 0, 0, 1, 0, 0}},
    {"HEEY", nullptr, {4, 0, 2, 8, 0, 0}},
    {"WOLF", "Wolf", {0, 100, 0}},
    {"HEPE", nullptr, {5, 0, 4, 8, 0, 0}},
    {"SUWA", "Warrior Wolf", {0, 100, 0}},
    {"RELO", nullptr, {6, 2, 0, 16, 0, 0}},
    {"MEGL", nullptr, {2, 0, 8, 0, 0, 0}},
    {"LOST", nullptr, {2, 0, 0, 2, 0, 0}},
    {"SIST", nullptr, {10, 1, 4, 6, 0, 16, 21, 0}},
    {"MAGL", nullptr, {3, 0, 16, 0, 0, 0}},
    {"MIST", nullptr, {6, 2, 0, 0, 4, 1}},
    {"EAEY", nullptr, {3, 0, 0, 6, 0, 0}},
    {"MIOG", "Ogre", {1, 100, 0}},
    {"MIGO", "Clay Golem", {1, 100, 0}},
    {"MIWO", "Wolf", {1, 100, 0}},
    {"INFR", nullptr, {3, 0, 32, 0, 0, 0}},
    {"LOIL", nullptr, {3, 0, 0, 0, 4, 2}},
    {"MIGI", "Iron Golem", {1, 100, 0}},
    {"PRIL", nullptr, {1, 0, 0, 0, 2, 1}},
    {"MIDR", "Green Dragon", {1, 100, 0}},
    {"HAEY", nullptr, {5, 0, 0, 14, 0, 0}},
    {"LEDE", "Dactyl", {0, 100, 0}},
    {"SIBL", nullptr, {3, 0, 0, 0, 4, 4}},
    {"MEDE", "Yevil", {0, 100, 0}},
    {"PRUN", nullptr, {1, 0, 0, 0, 2, 2}},
    {"SUAS", "Stalker", {0, 100, 0}},
    {"PRDE", nullptr, {1, 0, 0, 0, 2, 4}},
    {"PRMA", nullptr, {1, 0, 0, 0, 2, 8}},
    {"MADE", "Demon Lord", {0, 100, 0}},
    {"PRRE", nullptr, {1, 0, 0, 0, 2, 16}},
    {"CUCU", "Cuchulaiin", {0, 100, 0}},
    {"COSU", nullptr, {1, 0, 0, 0, 2, 48}},
    {"RELL", nullptr, {3, 0, 0, 1, 0, 0}},
    {"CTWA", nullptr, {3, 0, 0, 4, 0, 0}},
    {"SUEE", "Earth Elemental", {0, 100, 0}},
    {"CRSG", "Stone Golem", {0, 100, 0}},
    {"CRAE", "Air Elemental", {0, 100, 0}},
    {"FLOA", nullptr, {3, 0, 0, 0, 1, 0}},
    {"SPAT", nullptr, {-1, 1, 0}},
    {"CRAG", "Air Golem", {0, 100, 0}},
    {"NESP", nullptr, {3, 0, 1}},
    {"AIGI", "Air Giant", {0, 100, 0}},
    {"WAOA", nullptr, {5, 0, 0, 0, 1, 0}},
    {"SUWD", "Green Dragon", {0, 100, 0}},
    {"CRWE", "Water Elemental", {0, 100, 0}},
    {"SNST", nullptr, {6, 4, 0, 0, 4, 1}},
    {"CAFI", nullptr, {3, 0, 1, 0, 0, 0}},
    {"SUSA", "Salamander", {0, 100, 0}},
    {"SUGO", "Super Golem", {0, 100, 0}},
    {"CRFE", "Fire Elemental", {0, 100, 0}},
    {"CRIG", "Ice Golem", {0, 100, 0}},
};// clang-format on

class CatalogueTest : public ActionTest {};

TEST_F(CatalogueTest, EveryEntryAnswersItsTableValues) {
    ASSERT_EQ(masterActionList.count(), 95);
    for (const Entry& e : CATALOGUE) {
        SCOPED_TRACE(e.name);
        bl3dAction* a = masterActionList.getAction(static_cast<int32_t>(e.id));
        ASSERT_NE(a, nullptr);
        EXPECT_STREQ(a->name().c_str(), e.name);
        EXPECT_STREQ(a->description().c_str(), e.description);
        EXPECT_EQ(a->getClassMask(), e.mask);
        EXPECT_EQ(a->getLevel(), e.level);
        EXPECT_EQ(a->targetKind(), e.targetKind);
        EXPECT_EQ(a->range(), e.range);
        EXPECT_EQ(a->aiCategory(), e.ai);
        EXPECT_EQ(a->isSpell(), e.code != nullptr);
        if (e.code) {
            auto* s = static_cast<bl3dSpell*>(a);
            EXPECT_STREQ(s->code(), e.code);
            EXPECT_EQ(s->spCost(), e.spCost);
            EXPECT_EQ(a->path(), e.path);
            EXPECT_EQ(a->school(), e.path);
            EXPECT_FALSE(a->isSkill());
        } else {
            EXPECT_EQ(a->path(), 0);
            // Skills are the first eighteen; moves, songs and Equip Item
            // are not skills.
            EXPECT_EQ(a->isSkill(), e.number <= 18);
        }
    }
}

TEST_F(CatalogueTest, TheListHoldsThemNewestFirst) {
    // The master list pushes at its head, so a walk meets the order of
    // creation backwards.
    ASSERT_TRUE(masterActionList.first());
    for (int i = static_cast<int>(std::size(CATALOGUE)) - 1; i >= 0; --i) {
        bl3dAction* a = masterActionList.next();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(static_cast<uint32_t>(a->actionID()), CATALOGUE[i].id) << CATALOGUE[i].name;
    }
    EXPECT_EQ(masterActionList.next(), nullptr);
}

TEST_F(CatalogueTest, SpellParameterRecordsHoldTheirValues) {
    for (const Params& p : PARAMS) {
        SCOPED_TRACE(p.code);
        auto* spell = dynamic_cast<bl3dBuiltinSpell*>(masterActionList.getSpellByCode(p.code));
        ASSERT_NE(spell, nullptr);
        switch (spell->kind()) {
        case SpellKind::Effect: {
            const EffectParams_S& e = static_cast<bl3dEffectSpell*>(spell)->effect();
            const int32_t got[6] = {e.durationKind, e.duration, e.lightBits, e.percepBits, e.stateSelector, e.stateBits};
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(got[i], p.values[i]) << i;
            break;
        }
        case SpellKind::Trap: {
            const TrapParams_S& t = static_cast<bl3dTrapSpell*>(spell)->trap();
            EXPECT_EQ(t.radius, p.values[0]);
            EXPECT_EQ(t.springTraps, p.values[1]);
            EXPECT_EQ(t.stopSpinners, p.values[2]);
            break;
        }
        case SpellKind::Summon: {
            const SummonParams_S& s = static_cast<bl3dSummonSpell*>(spell)->summon();
            EXPECT_STREQ(s.monster, p.monster);
            EXPECT_EQ(s.illusion, p.values[0]);
            EXPECT_EQ(s.chance, p.values[1]);
            EXPECT_EQ(s.duration, p.values[2]);
            break;
        }
        case SpellKind::Damage: {
            const DamageParams_S& d = static_cast<bl3dDamageSpell*>(spell)->damage();
            const int32_t got[8] = {d.range, d.targetMode, d.sides, d.count, d.levelFlag, d.specialFlags, d.typeValue,
                                    d.element};
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ(got[i], p.values[i]) << i;
            break;
        }
        case SpellKind::Plain:
            ADD_FAILURE() << "a plain spell has no parameters";
        }
        EXPECT_NE(spell->params(), nullptr);
    }
}

TEST_F(CatalogueTest, LookupsFindTheRightObjects) {
    std::set<std::string> codes;
    for (const Entry& e : CATALOGUE) {
        if (!e.code)
            continue;
        EXPECT_TRUE(codes.insert(e.code).second) << "code used twice: " << e.code;
        bl3dAction* a = masterActionList.getSpellByCode(e.code);
        ASSERT_NE(a, nullptr) << e.code;
        EXPECT_EQ(static_cast<uint32_t>(a->actionID()), e.id);
    }
    EXPECT_STREQ(masterActionList.getAction(0x000e0001)->name().c_str(), "Attack");
    EXPECT_STREQ(masterActionList.getAction(0x002a00af)->name().c_str(), "EquipItem");
    EXPECT_STREQ(masterActionList.getAction(0x00320003)->name().c_str(), "Defend");
    // Stored ids with other flag bits still find their action.
    EXPECT_STREQ(masterActionList.getSubstAction(0x00060001)->name().c_str(), "Attack");
    EXPECT_STREQ(masterActionList.getSubstAction(0x00010001)->name().c_str(), "Call Sprite");
    EXPECT_STREQ(masterActionList.getSubstAction(0x00200001)->name().c_str(), "MonAdv");
    // Spells that name the same monster differ only in the illusion flag.
    auto summon = [](const char* code) {
        return static_cast<bl3dSummonSpell*>(masterActionList.getSpellByCode(code))->summon();
    };
    EXPECT_STREQ(summon("MIWO").monster, summon("WOLF").monster);
    EXPECT_NE(summon("MIWO").illusion, summon("WOLF").illusion);
    EXPECT_STREQ(summon("MIDR").monster, summon("SUWD").monster);
}

} // namespace
