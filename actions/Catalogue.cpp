// The rows of the built-in action catalogue. Every value is fixed: saves,
// monster files, item types and the action data file name these actions by
// id and code.
#include "actions/Catalogue.h"

#include "rules/ActionList.h"
#include "actions/Attack.h"
#include "actions/CombatSkills.h"
#include "actions/EquipItem.h"
#include "actions/FightEvil.h"
#include "actions/Moves.h"
#include "actions/Songs.h"
#include "actions/Spells.h"
#include "actions/UtilitySkills.h"
#include "core/Log.h"

#include <iterator>

namespace {

template <class T>
bl3dAction* make(const ActionRow_S& row) {
    return new T(row);
}

// Skills, combat moves, bard songs and Equip Item.
const ActionRow_S ACTION_ROWS[] = {
    {1, "Attack", 0x000e0001, 0x7fff, 1, 1, 10, 6, "Basic Attack",
     make<bl3dSkill_1>},
    {2, "Fight Evil", 0x000e0004, 0x20, 1, 32, 10, 6, "+2 to hit and damage against all evil creatures",
     make<bl3dSkill_4>},
    {3, "Fight Evil (Graced)", 0x000e0005, 0x20, 13, 32, 10, 6, "+4 to hit and damage against all evil creatures",
     make<bl3dSkill_5>},
    {4, "Fight Evil (Blessed)", 0x000e0006, 0x20, 25, 32, 10, 6, "+6 to hit and damage against all evil creatures",
     make<bl3dSkill_6>},
    {5, "Fight Evil (Absolved)", 0x000e0007, 0x20, 37, 32, 10, 6, "+8 to hit and damage against all evil creatures",
     make<bl3dSkill_7>},
    {6, "Fight Evil (Divine)", 0x000e0008, 0x20, 50, 32, 10, 6, "+10 to hit and damage against all evil creatures",
     make<bl3dSkill_8>},
    {7, "Pick Pockets", 0x000e03e8, 0x7fff, 1, 1, 10, 0, "Pick Pockets steal money attack",
     make<bl3dSkill_1000>},
    {8, "Hide in Shadows", 0x001e03e9, 0x80, 1, 0, 90, 0, "Hide in Shadows to prevent attacks and to backstab",
     make<bl3dSkill_1001>},
    {9, "Entangle", 0x001603eb, 0x7fff, 1, 9, 20, 3, "Entangle stun attack",
     make<bl3dSkill_1003>},
    {10, "Venom Bite", 0x000603ec, 0x7fff, 0, 1, 10, 4, "Venom Bite 1d6 + 1/tick poison damage until saving throw",
     make<bl3dSkill_1004>},
    {11, "Venom spray", 0x001603ed, 0x7fff, 0, 2, 20, 4, "Venom spray 1d8 poisons for 1-4 every 2 ticks for 4 ticks",
     make<bl3dSkill_1005>},
    {12, "Rapid Healing", 0x001603ee, 0x7fff, 1, 0, 90, 1, "Rapid Healing 1d6 points every two ticks",
     make<bl3dSkill_1006>},
    {13, "Mind Compass", 0x00883001, 0x10, 1, 0, 0, 8, "The knight inherently knows the party orientation",
     make<bl3dSkill_12289>},
    {14, "Shadow Walk", 0x00883002, 0x40, 1, 0, 0, 8, "The Ranger can lead the party skillfully in the wilderness, lowering the chance of running into an enemy",
     make<bl3dSkill_12290>},
    {15, "Animal Talk", 0x00883003, 0x40, 13, 0, 0, 2, "The Ranger can coax a wild animal to join the party",
     make<bl3dSkill_12291>},
    {16, "Suggestion of Force", 0x001a1011, 0x4, 25, 1, 0, 0, "Causes a single enemy to flee, the chance of the enemy fleeing increases with the level of the warrior, but not all enemies are susceptible",
     make<bl3dSkill_4113>},
    {17, "Deathblow", 0x000d1012, 0x80, 25, 1, 20, 0, "Strike at a single enemy from the shadows, with a chance for sudden death",
     make<bl3dSkill_4114>},
    {18, "Greater Deathblow", 0x000d1013, 0x80, 50, 1, 20, 0, "Similar to Deathblow, but with a higher chance of sudden death",
     make<bl3dSkill_4115>},
    {86, "MonAdv", 0x00320001, 0x7fff, 0, 2, 0, 0, "Monster Advance",
     make<bl3dMove_MonAdv>},
    {87, "PartyAdv", 0x003a0002, 0x7fff, 0, 16, 0, 0, "Party Advance",
     make<bl3dMove_PartyAdv>},
    {88, "Defend", 0x00320003, 0x7fff, 0, 16, 0, 7, "Defend",
     make<bl3dMove_Defend>},
    {89, "Advance", 0x00320004, 0x7fff, 0, 8, 0, 0, "Rank Advance",
     make<bl3dMove_Advance>},
    {90, "Retreat", 0x00320005, 0x7fff, 0, 8, 0, 0, "Rank Retreat",
     make<bl3dMove_Retreat>},
    {91, "Beasty Skirl", 0x005ab001, 0x2, 1, 0, 40, 0, "Beasty Skirl",
     make<bl3dSong_BeastySkirl>},
    {92, "EquipItem", 0x002a00af, 0x7fff, 0, 8, 0, 0, "Equip an Item",
     make<bl3dEquipItem>},
    {93, "Proud Mary", 0x005ab009, 0x2, 2, 0, 0, 0, "Proud Mary",
     make<bl3dSong_ProudMary>},
    {94, "Vezivi'v Iroviriva", 0x005eb00c, 0x2, 2, 0, 40, 0, "Vezivi'v Iroviriva",
     make<bl3dSong_TrylersIntuition>},
    {95, "Walking Song", 0x005ab00d, 0x2, 1, 0, 40, 0, "Walking Song",
     make<bl3dSong_WalkingSong>},
};

// Spells: number, name, code, kind, id, class mask, level, SP, target kind,
// range, path, AI category, parameter values, monster type, description.
const SpellRow_S SPELL_ROWS[] = {
    {19, "Call Sprite", "CASP", SpellKind::Effect, 0x00090001, 0x100, 1, 2, 0, 0, 1, 8, {3, 0, 1, 0, 0, 0}, nullptr,
     "Calls a Sun Sprite from another plane to illuminate the area around the party.  This spell does not last long, however, since Sprites can only exist for a short time away from their home plane, and must therefore return soon after called."},
    {20, "Trip Trap", "TRTR", SpellKind::Trap, 0x00090003, 0x100, 1, 2, 0, 0, 1, 0, {3, 1, 0}, nullptr,
     "Disarms all traps an area near the party, removing possible dangers.  Also works on chests."},
    {21, "Ball of Bearing", "BALL", SpellKind::Effect, 0x00090005, 0x100, 2, 3, 0, 0, 1, 8, {3, 0, 0, 1, 0, 0}, nullptr,
     "The Magician summons a Sprite to show him and the party the direction so they don't get lost while the Sprite remains.  Sprites, being fragile creatures, however, cannot survive for long away from their home plane of existance, and so must return after only a short time."},
    {22, "Heimdall's Eye", "HEEY", SpellKind::Effect, 0x00090009, 0x100, 3, 5, 0, 0, 1, 8, {4, 0, 2, 8, 0, 0}, nullptr,
     "The Magician calls forth the power of Heimdall, thus enabling him or herself with the ability to see in the dark.  Heimdall's Eye also reveals secret doors."},
    {23, "Summon Wolf", "WOLF", SpellKind::Summon, 0x000b000d, 0x100, 4, 6, 0, 0, 1, 2, {0, 100, 0}, "Wolf",
     "The Magician summons a wolf to fight for the party until it gets killed."},
    {24, "Heimdall's Perception", "HEPE", SpellKind::Effect, 0x0009000f, 0x100, 5, 7, 0, 0, 1, 8, {5, 0, 4, 8, 0, 0}, nullptr,
     "This is the advenced version of Heimdall's Eye.  Advanced, because it lasts indefinitely (i.e., until dispelled)."},
    {25, "Summon Warrior Wolf", "SUWA", SpellKind::Summon, 0x000b0012, 0x100, 6, 9, 0, 0, 1, 2, {0, 100, 0}, "Warrior Wolf",
     "The Magician summons a warrior wolf to fight for the party until it gets killed."},
    {26, "Magician's Portal", "MAPO", SpellKind::Plain, 0x00890015, 0x100, 7, 15, 16, 0, 1, 0, {}, nullptr,
     "The Magician creates a mystical portal through which the party may gain access to any place on the current dungeon level through which they've already traveled."},
    {27, "Push Foes", "PUFO", SpellKind::Plain, 0x001b0016, 0x100, 7, 18, 2, 0, 1, 0, {}, nullptr,
     "Pushes a group of enemies away from the party during combat."},
    {28, "Reveal Location", "RELO", SpellKind::Effect, 0x00090019, 0x100, 1, 2, 0, 0, 2, 8, {6, 2, 0, 16, 0, 0}, nullptr,
     "The map of the dungeon is revealed in the mind's eye of the Thaumaturgist very briefly, so that he can tell the party fellows where they are (relative to the entrance stairs)."},
    {29, "Metal Glow", "MEGL", SpellKind::Effect, 0x0009001a, 0x100, 1, 2, 0, 0, 2, 8, {2, 0, 8, 0, 0, 0}, nullptr,
     "Causes all metallic objects the party wears to glow, so that the party can see in the dark."},
    {30, "Locate Stairs", "LOST", SpellKind::Effect, 0x0009001e, 0x100, 2, 5, 0, 0, 2, 8, {2, 0, 0, 2, 0, 0}, nullptr,
     "Calls forth a Sprite which circles around the party and reveals any nearby stairs."},
    {31, "Silver Strike", "SIST", SpellKind::Damage, 0x000f0021, 0x100, 2, 4, 1, 10, 2, 4, {10, 1, 4, 6, 0, 16, 21, 0}, nullptr,
     "One of only two non-Paladin undead attack spells, Silver Strike is taught outside the Order to ensure that at least a basic defense against the foul antithesis of nature is available to those who cannot, or will not, follow the Way.  Silver Strike works against all creatures, but is much more effective against undead."},
    {32, "Magical Glow", "MAGL", SpellKind::Effect, 0x00090026, 0x100, 4, 7, 0, 0, 2, 8, {3, 0, 16, 0, 0, 0}, nullptr,
     "An improved version of Metal Glow; Magical Glow causes metallic objects in the party's possession to glow more brightly and for a longer time."},
    {33, "Create Mist", "MIST", SpellKind::Effect, 0x000b0029, 0x100, 5, 8, 0, 0, 2, 8, {6, 2, 0, 0, 4, 1}, nullptr,
     "The Thaumaturgist creates a magical mist that surrounds the party, making it impossible for foes to see them, and allowing them to escape from battle."},
    {34, "Eagle Eye", "EAEY", SpellKind::Effect, 0x00090032, 0x100, 1, 10, 0, 0, 3, 8, {3, 0, 0, 6, 0, 0}, nullptr,
     "The Illusionist is granted with an enhanced perception, enabling her to see nearby traps or stairways."},
    {35, "Mind Ogre", "MIOG", SpellKind::Summon, 0x00090033, 0x100, 1, 15, 0, 0, 3, 2, {1, 100, 0}, "Ogre",
     "Summons an illusionary Ogre to fight for the party until destroyed or disbelieved."},
    {36, "Mind Golem", "MIGO", SpellKind::Summon, 0x00090034, 0x100, 2, 16, 0, 0, 3, 2, {1, 100, 0}, "Clay Golem",
     "Summons an illusionary Clay Golem to fight for the party until destroyed or disbelieved."},
    {37, "Mind Wolf", "MIWO", SpellKind::Summon, 0x00090035, 0x100, 2, 14, 0, 0, 3, 2, {1, 100, 0}, "Wolf",
     "Summons an illusionary Wolf to fight for the party until destroyed or disbelieved."},
    {38, "Infravision", "INFR", SpellKind::Effect, 0x00090036, 0x100, 3, 7, 0, 0, 3, 8, {3, 0, 32, 0, 0, 0}, nullptr,
     "The Illusionist is endowed with infravision, providing clear vision even in very dark places."},
    {39, "Mind Phazing", "MIPH", SpellKind::Plain, 0x001f0037, 0x100, 3, 10, 1, 30, 3, 4, {}, nullptr,
     "The Illusionist invades the mind of an enemy, affecting their spellcasting ability."},
    {40, "Loki's Illusion", "LOIL", SpellKind::Effect, 0x00090038, 0x100, 4, 8, 0, 0, 3, 8, {3, 0, 0, 0, 4, 2}, nullptr,
     "The Illusionist makes the party look like wandering monsters, reducing the likelihood of encounters of any kind."},
    {41, "Mind Golem (Iron)", "MIGI", SpellKind::Summon, 0x00090039, 0x100, 4, 17, 0, 0, 3, 2, {1, 100, 0}, "Iron Golem",
     "Summons an illusionary Iron Golem to fight for the party until destroyed or disbelieved."},
    {42, "Mind Vortex", "MIVO", SpellKind::Plain, 0x001b0040, 0x100, 7, 35, 4, 0, 3, 0, {}, nullptr,
     "Creates an illusionary vortex in the minds of all foes, causing various status changes and possibly death."},
    {43, "Preclude Illusions", "PRIL", SpellKind::Effect, 0x000b003b, 0x100, 5, 15, 0, 0, 3, 8, {1, 0, 0, 0, 2, 1}, nullptr,
     "The Illusionist prevents all spellcasters from casting Illusions."},
    {44, "Mind Dragon", "MIDR", SpellKind::Summon, 0x0009003c, 0x100, 6, 20, 0, 0, 3, 2, {1, 100, 0}, "Green Dragon",
     "Summons an illusionary Dragon to fight for the party until destroyed or disbelieved."},
    {45, "Mind Drain", "MIND", SpellKind::Plain, 0x001f003d, 0x100, 6, 9, 1, 50, 3, 4, {}, nullptr,
     "The Illusionist drains mystical energy from an enemy, adding it to his or her own."},
    {46, "Hawk Eye", "HAEY", SpellKind::Effect, 0x0009003e, 0x100, 7, 13, 0, 0, 3, 8, {5, 0, 0, 14, 0, 0}, nullptr,
     "An advanced version of Eagle Eye; beyond a longer duration, Hawk Eye additionally allows the Illusionist to perceive secret doors."},
    {47, "Summon Lesser Demon", "LEDE", SpellKind::Summon, 0x00090043, 0x100, 1, 15, 0, 0, 4, 2, {0, 100, 0}, "Dactyl",
     "The Summoner summmons a lesser demon to join the party until it is killed."},
    {48, "Sight Blur", "SIBL", SpellKind::Effect, 0x00090044, 0x100, 2, 25, 16, 0, 4, 8, {3, 0, 0, 0, 4, 4}, nullptr,
     "The Summoner creates a blurring field around the party, causing enemies to overlook them and thereby reducing random encounters."},
    {49, "Summon Medium Demon", "MEDE", SpellKind::Summon, 0x00090047, 0x100, 3, 20, 0, 0, 4, 2, {0, 100, 0}, "Yevil",
     "The Summoner summmons a Moderatly empowered demon to join the party until it is killed."},
    {50, "Preclude Undead", "PRUN", SpellKind::Effect, 0x000b0048, 0x100, 3, 15, 0, 0, 4, 8, {1, 0, 0, 0, 2, 2}, nullptr,
     "Prevents all participants in combat from summoning undead, including the Summoner."},
    {51, "Summon Assassin", "SUAS", SpellKind::Summon, 0x0009004a, 0x100, 4, 40, 0, 0, 4, 2, {0, 100, 0}, "Stalker",
     "The Summoner summmons an assassin to join the party until it is killed."},
    {52, "Spirit Fist", "SPFI", SpellKind::Plain, 0x001f004c, 0x100, 4, 25, 1, 70, 4, 4, {}, nullptr,
     "The Summoner attacks the spirit of the enemy directly, phasing SP Completely"},
    {53, "Preclude Demons", "PRDE", SpellKind::Effect, 0x000b004d, 0x100, 5, 15, 0, 0, 4, 8, {1, 0, 0, 0, 2, 4}, nullptr,
     "Prevents all participants in combat from summoning Demons, including the Summoner."},
    {54, "Preclude Magic", "PRMA", SpellKind::Effect, 0x000b004f, 0x100, 5, 17, 0, 0, 4, 8, {1, 0, 0, 0, 2, 8}, nullptr,
     "Prevents all participants in combat from casting any magic, including the Summoner."},
    {55, "Spirit Hammer", "SPHA", SpellKind::Plain, 0x001f0050, 0x100, 6, 45, 2, 40, 4, 4, {}, nullptr,
     "The Summoner attacks the spirit of an enemy group, phasing SP Completely"},
    {56, "Summon Major Demon", "MADE", SpellKind::Summon, 0x00090051, 0x100, 6, 32, 0, 0, 4, 2, {0, 100, 0}, "Demon Lord",
     "The Summoner summmons a powerful demon to join the party until it is killed."},
    {57, "Preclude Reproduction", "PRRE", SpellKind::Effect, 0x000b0052, 0x100, 6, 21, 0, 0, 4, 8, {1, 0, 0, 0, 2, 16}, nullptr,
     "Some foes magically reproduce during combat - this spell prevents that reproduction."},
    {58, "Summon Cuchulaiin", "CUCU", SpellKind::Summon, 0x00090053, 0x100, 7, 35, 0, 0, 4, 2, {0, 100, 0}, "Cuchulaiin",
     "The Summoner summmons the legendary hero to fight for the party for some time."},
    {59, "Counter Summoning", "COSU", SpellKind::Effect, 0x000b0054, 0x100, 7, 50, 0, 0, 4, 8, {1, 0, 0, 0, 2, 48}, nullptr,
     "Prevents any type of summoning or reproduction for the duration of combat.  This affects the Summoner as well."},
    {60, "Draw Foes", "DRFO", SpellKind::Plain, 0x001b0056, 0x100, 1, 40, 2, 90, 5, 0, {}, nullptr,
     "Brings a group of enemies into melee range during combat."},
    {61, "Spell Compiler", "SPCO", SpellKind::Plain, 0x001b0057, 0x100, 2, 35, 0, 0, 5, 0, {}, nullptr,
     "Casts Ball of Bearing, Hawk Eye, and Balder's Shield"},
    {62, "Vampire Suction", "VAMP", SpellKind::Plain, 0x001f0058, 0x100, 3, 45, 1, 50, 5, 4, {}, nullptr,
     "The Warlock drains the life force of an enemy, adding it to his or her own."},
    {63, "Mind Blow", "MIBL", SpellKind::Plain, 0x001b0060, 0x100, 5, 35, 2, 0, 3, 0, {}, nullptr,
     "An enhanced mind phazing, this spell will befuddle a group of enemies"},
    {64, "Holy Spirit", "HOSP", SpellKind::Plain, 0x001b0061, 0x20, 7, 100, 0, 0, 0, 0, {}, nullptr,
     "The part transcends to the Spirit Realm, summoning is precluded, illusions destroyed, undead banished, and the party recieves extra protection"},
    {65, "Ghost Wall", "GHWA", SpellKind::Plain, 0x00890062, 0x100, 6, 10, 0, 0, 2, 0, {}, nullptr,
     "The Thaumaturgist causes the wall to dissipate for the duration of one move, giving the party access to what lays beyond the wall"},
    {66, "Open Wall", "OPWA", SpellKind::Plain, 0x00890063, 0x200, 5, 10, 0, 0, 0, 0, {}, nullptr,
     "The Geomancer calls on the earth in a wall to dissipate for the duration of one move, giving the party access to what lays beyond"},
    {67, "Read Ley Lines", "RELL", SpellKind::Effect, 0x00090101, 0x200, 1, 3, 0, 0, 0, 8, {3, 0, 0, 1, 0, 0}, nullptr,
     "The Geomancer can temporarily give the party the direction they're headed by interpreting the Ley Lines."},
    {68, "Cthonic Warning", "CTWA", SpellKind::Effect, 0x00090107, 0x200, 3, 5, 0, 0, 0, 8, {3, 0, 0, 4, 0, 0}, nullptr,
     "The Geomancer calls upon the power of the Earth to warn the party of traps nearby."},
    {69, "Summon Earth Elemental", "SUEE", SpellKind::Summon, 0x0009010b, 0x200, 4, 7, 0, 0, 0, 2, {0, 100, 0}, "Earth Elemental",
     "The Geomancer summons an Earth Elemental to fight for the party for as long as it survives."},
    {70, "Create Stone Golem", "CRSG", SpellKind::Summon, 0x0009010e, 0x200, 5, 8, 0, 0, 0, 2, {0, 100, 0}, "Stone Golem",
     "The Geomancer creates a Stone Golem to fight for the party until it is destroyed."},
    {71, "Create Air Elemental", "CRAE", SpellKind::Summon, 0x0009011d, 0x800, 3, 6, 0, 0, 0, 2, {0, 100, 0}, "Air Elemental",
     "The Aeromancer creates an Air Elemental, which fights with the party until it is destroyed."},
    {72, "Float", "FLOA", SpellKind::Effect, 0x00890120, 0x800, 4, 7, 16, 0, 0, 8, {3, 0, 0, 0, 1, 0}, nullptr,
     "The Aeromancer makes the party levitate for a moderate length of time."},
    {73, "Spring All Traps", "SPAT", SpellKind::Trap, 0x00090121, 0x800, 4, 8, 0, 0, 0, 0, {-1, 1, 0}, nullptr,
     "The Aeromancer creates a dense wind that tears through the caves and caverns, springing any traps that might lay in wait for the party.  Does not effect spinners."},
    {74, "Create Air Golem", "CRAG", SpellKind::Summon, 0x00090124, 0x800, 5, 8, 0, 0, 0, 2, {0, 100, 0}, "Air Golem",
     "The Aeromancer creates an Air Golem, which fights with the party until it is killed."},
    {75, "Neutralize Spinners", "NESP", SpellKind::Trap, 0x00090126, 0x800, 6, 12, 0, 0, 0, 0, {3, 0, 1}, nullptr,
     "The Aeromancer creates a harsh wind that blows through nearby hallways and rooms, destroying any spinner traps."},
    {76, "Summon Air Giant", "AIGI", SpellKind::Summon, 0x00090127, 0x800, 6, 11, 0, 0, 0, 2, {0, 100, 0}, "Air Giant",
     "The Aeromancer summmons an Air Giant to join the party until it is killed."},
    {77, "Walk on Air", "WAOA", SpellKind::Effect, 0x00890129, 0x800, 7, 14, 16, 0, 0, 8, {5, 0, 0, 0, 1, 0}, nullptr,
     "The Aeromancer makes the party levitate indefinitely."},
    {78, "Summon Water Dragon", "SUWD", SpellKind::Summon, 0x0009013e, 0x400, 7, 14, 0, 0, 0, 2, {0, 100, 0}, "Green Dragon",
     "The Summoner summmons a water dragon to fight for the party for some time."},
    {79, "Create Water Elemental", "CRWE", SpellKind::Summon, 0x00090132, 0x400, 3, 6, 0, 0, 0, 2, {0, 100, 0}, "Water Elemental",
     "The Hydromancer creates a Water Elemental, which fights with the party until it is destroyed."},
    {80, "Snow Storm", "SNST", SpellKind::Effect, 0x000b0139, 0x400, 5, 9, 0, 0, 0, 8, {6, 4, 0, 0, 4, 1}, nullptr,
     "Creates a magical snow storm that surrounds the party, obscuring the view of foes, and allowing them to escape from battle."},
    {81, "Camp Fire", "CAFI", SpellKind::Effect, 0x00090160, 0x1000, 1, 3, 0, 0, 0, 8, {3, 0, 1, 0, 0, 0}, nullptr,
     "Create a small campfire to surround the party in light"},
    {82, "Summon Salamander", "SUSA", SpellKind::Summon, 0x00090161, 0x1000, 4, 6, 0, 0, 0, 2, {0, 100, 0}, "Salamander",
     "The Pyromancer summmons a Salamander to fight for the party for some time."},
    {83, "Summon Super Golem", "SUGO", SpellKind::Summon, 0x00090162, 0x2000, 6, 40, 0, 0, 0, 2, {0, 100, 0}, "Super Golem",
     "The Isomancer summmons an all-elemental golem to fight for the party for some time."},
    {84, "Create Fire Elemental", "CRFE", SpellKind::Summon, 0x00090400, 0x1000, 3, 5, 0, 0, 0, 2, {0, 100, 0}, "Fire Elemental",
     "The Pyromancer summons a fire elemental that joins the party until it gets killed."},
    {85, "Create Ice Golem", "CRIG", SpellKind::Summon, 0x00090401, 0x400, 5, 8, 0, 0, 0, 2, {0, 100, 0}, "Ice Golem",
     "The Hydromancer summons an Ice Golem that joins the party until it gets killed."},
};

} // namespace

const ActionRow_S* actionRows(size_t* count) {
    if (count)
        *count = std::size(ACTION_ROWS);
    return ACTION_ROWS;
}

const SpellRow_S* spellRows(size_t* count) {
    if (count)
        *count = std::size(SPELL_ROWS);
    return SPELL_ROWS;
}

const ActionRow_S* actionRow(int32_t id) {
    for (const ActionRow_S& row : ACTION_ROWS)
        if (row.id == id)
            return &row;
    return nullptr;
}

void initActions() {
    VELL_LOG(1, "void initActions(void) start\n");
    // The two tables interleave: skills 1-18, spells 19-85, the rest 86-95.
    size_t a = 0, s = 0;
    while (a < std::size(ACTION_ROWS) || s < std::size(SPELL_ROWS)) {
        const bool spellNext = s < std::size(SPELL_ROWS) &&
                               (a == std::size(ACTION_ROWS) || SPELL_ROWS[s].number < ACTION_ROWS[a].number);
        bl3dAction* action = spellNext ? makeSpell(SPELL_ROWS[s++]) : ACTION_ROWS[a].make(ACTION_ROWS[a]);
        if (!spellNext)
            ++a;
        masterActionList.add(action, 0);
    }
    VELL_LOG(1, "masterActionList loaded\n");
    VELL_LOG(1, "void initActions(void) end\n");
}
