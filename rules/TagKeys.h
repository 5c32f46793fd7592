// The names of the integer attributes of creatures and of the world's
// variables, as their TagList_C stores them (in the save archive too: the
// text of a name never changes). Code names a key through these constants,
// never through a string of its own, so that a misspelt key does not
// compile instead of reading 0. Each constant is spelt as the stored name:
// searching for "MagState1" finds its every use.
// Per-use counters of actions ("0x000a2042" and its "MAX") are made from
// the action's id (actionCounterKey), not named here.
#pragma once

namespace tagkey {

// --- the world's variables -----------------------------------------------------------

// Weather and light: the weather word (light mode and weather kind bits),
// the tick of its next computation, the tick a change of weather began,
// and the light level of a new world.
constexpr const char Weather[] = "Weather";
constexpr const char WCalc[] = "WCalc";
constexpr const char WChange[] = "WChange";
constexpr const char Light[] = "Light";
// The tick the party last rested to.
constexpr const char RestTick[] = "RestTick";
// The song playing outside a fight and the tick it ends; the song playing
// in the fight.
constexpr const char NCBS[] = "NCBS";
constexpr const char NCBSEnd[] = "NCBSEnd";
constexpr const char CBS[] = "CBS";
// The pace of the fight screen.
constexpr const char CombatDelay[] = "CombatDelay";
// Not 0: the next step passes through walls.
constexpr const char WalkThrough[] = "WalkThrough";
// The world's magic states (bits), each bit with its own expiry tick below:
// light, the light of the moon, perception aids, protective states and
// encounter changes; the encounter bonus and reduction worked out from
// XCState.
constexpr const char MagLt1[] = "MagLt1";
constexpr const char MunLt1[] = "MunLt1";
constexpr const char Percep1[] = "Percep1";
constexpr const char MagState1[] = "MagState1";
constexpr const char XCState[] = "XCState";
constexpr const char XCBonus[] = "XCBonus";
constexpr const char XCReduce[] = "XCReduce";
// Expiry ticks of the bits of MagLt1 (1x), Percep1 (2x), MagState1 (3x) and
// XCState (4x).
constexpr const char MagExp11[] = "MagExp11";
constexpr const char MagExp12[] = "MagExp12";
constexpr const char MagExp13[] = "MagExp13";
constexpr const char MagExp14[] = "MagExp14";
constexpr const char MagExp15[] = "MagExp15";
constexpr const char MagExp16[] = "MagExp16";
constexpr const char MagExp17[] = "MagExp17";
constexpr const char MagExp21[] = "MagExp21";
constexpr const char MagExp22[] = "MagExp22";
constexpr const char MagExp23[] = "MagExp23";
constexpr const char MagExp24[] = "MagExp24";
constexpr const char MagExp25[] = "MagExp25";
constexpr const char MagExp31[] = "MagExp31";
constexpr const char MagExp32[] = "MagExp32";
constexpr const char MagExp33[] = "MagExp33";
constexpr const char MagExp34[] = "MagExp34";
constexpr const char MagExp35[] = "MagExp35";
constexpr const char MagExp36[] = "MagExp36";
constexpr const char MagExp37[] = "MagExp37";
constexpr const char MagExp38[] = "MagExp38";
constexpr const char MagExp41[] = "MagExp41";
constexpr const char MagExp42[] = "MagExp42";
constexpr const char MagExp43[] = "MagExp43";
// Encounters: the chance bonus of a monster offering to join, and the
// condition the monsters of an encounter must meet.
constexpr const char MonsterJoin[] = "MonsterJoin";
constexpr const char CondMon1[] = "CondMon1";
// The songs' marks on the world: undead may slumber, no monster offers to
// join, traps are ignored, poison is kept off, spell damage is halved.
constexpr const char Bardb003[] = "Bardb003";
constexpr const char Bardb004[] = "Bardb004";
constexpr const char Bardb007[] = "Bardb007";
constexpr const char Bardb00b[] = "Bardb00b";
constexpr const char Bardb00bC[] = "Bardb00bC";

// --- a creature's attributes ---------------------------------------------------------

// Songs: uses left and most uses, the highest song level, the song parts of
// the held instrument, and a song's hourly multipliers of spell and hit
// point regeneration.
constexpr const char CurSongs[] = "CurSongs";
constexpr const char MaxSongs[] = "MaxSongs";
constexpr const char SongLvl[] = "SongLvl";
constexpr const char Inst[] = "Inst";
constexpr const char BardSPMod[] = "BardSPMod";
constexpr const char BardHPMod[] = "BardHPMod";
// Regeneration bytes (a creature's, and the world's for the whole party).
constexpr const char Regen[] = "Regen";
// Berserking: level, uses left, most uses, and on for the next attack.
constexpr const char berserkLvl[] = "berserkLvl";
constexpr const char berserkCur[] = "berserkCur";
constexpr const char berserkMax[] = "berserkMax";
constexpr const char BerserkOn[] = "BerserkOn";
// Fighting evil: uses left and most uses.
constexpr const char FightEvilCur[] = "FightEvilCur";
constexpr const char FightEvilMax[] = "FightEvilMax";
// Fight states: the tick a stun ends, the tick a joined or summoned monster
// leaves (0 never), a clouded mind that cannot cast.
constexpr const char StunTimeout[] = "StunTimeout";
constexpr const char MonExpire[] = "MonExpire";
constexpr const char Fizzle[] = "Fizzle";
// Skills: finding and defusing traps, picking and bashing locks.
constexpr const char LocateTrap[] = "LocateTrap";
constexpr const char Defuse[] = "Defuse";
constexpr const char LockPick[] = "LockPick";
constexpr const char Bashing[] = "Bashing";
// An armour spell: its id, the tick it ends, the armour it gives (kind 1).
constexpr const char CurACSpell[] = "CurACSpell";
constexpr const char CurACExpire[] = "CurACExpire";
constexpr const char CurACMod[] = "CurACMod";
// The item-creation skills (4-bit fields).
constexpr const char CreateAbility[] = "CreateAbility";
// Fighting skills of the classes: initiative, expertise, proficiency,
// hand-to-hand, "FOD" (doubles on a hit, back to 4 after a fight), claws.
constexpr const char InitBonus[] = "InitBonus";
constexpr const char Expert[] = "Expert";
constexpr const char Prof[] = "Prof";
constexpr const char h2hExp[] = "h2hExp";
constexpr const char FOD[] = "FOD";
constexpr const char Claw[] = "Claw";
// A magician's path: the highest spell level, the path level, the spells
// learned on the path, the path's school bits.
constexpr const char SPlv[] = "SPlv";
constexpr const char PtLv[] = "PtLv";
constexpr const char PtSp[] = "PtSp";
constexpr const char Path[] = "Path";

} // namespace tagkey
