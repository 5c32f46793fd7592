// The texts of the character sheet that follow from the rules alone: race
// labels, class titles, spell school names, the spell summary and the item
// information blocks. Pure functions of the model (no drawing), so that the
// sheet and the tests read the same texts.
//
// Every table is indexed only with values checked against it: a race, class,
// "Path", school or spell level that a table does not hold gives an empty
// text (or is left out of a count), never a read past the table.
#pragma once
#include <string>
#include <vector>

class bl3dAction;
class bl3dItem;
class bl3dParty;
class bl3dPartyChar;

namespace charsheet {

// "Human(M)", "Elf(F)", ...; a joined monster's type name; "UNKNOWN".
std::string raceLabel(const bl3dPartyChar& who);
// The title the member's class and level give ("Land Reaver", "Wild Man",
// ...; a class 0x100 member the school its "Path" names; "Monster",
// "Illusion", "NONE"). Empty for a "Path" outside 1..5.
std::string classTitle(const bl3dPartyChar& who);
// Title column for a level: 0 up to 12, 1 to 24, 2 to 36, 3 to 49, 4 above.
int titleColumn(int level);
// Spell school 1..5 ("Magician", "Thaumaturg.", "Illusionist", "Summoner",
// "Warlock"); empty outside 1..5.
std::string schoolName(int school);
// What the spell detail page calls the action's school: the school row for
// a class 0x100 spell, else "Paladin", an element or "Other".
std::string spellSchool(const bl3dAction& action);

// The first condition that holds: "Dead", "Stone", "Poisoned", "Blind",
// "Stunned", "Withered", "Aged", "Sleeping"; empty for none.
std::string conditionText(const bl3dPartyChar& who);

// The spells the member knows (its second action list) that count on the
// spell pages: spells only, in list order.
std::vector<bl3dAction*> knownSpells(bl3dPartyChar& who);

// One block of the spell summary: a heading line and the counts of spells
// by level 1..7 ("%d/%d/%d/%d/%d/%d/%d").
struct SummaryBlock_S {
    std::string heading;   // "Magician:", "Geomancer:", "Paladin:"
    std::string counts;
};
// The summary of the member's known spells: a class 0x100 member by school
// (schools without spells left out), an elemental member by element in the
// order Geomancer, Aeromancer, Hydromancer, Pyromancer, Isomancer (elements
// without spells left out), anyone else one "Paladin:" block. Spells of a
// level outside 1..7 or a school outside 1..5 are not counted.
std::vector<SummaryBlock_S> spellSummary(bl3dPartyChar& who);

// Whether someone in the party can judge weapons (a Harper or Delver of level
// 13 or more, or a Squire, Novice, Protector or Tracker of level 25 or more)
// and magic (a Harper, Delver, Magician or elemental caster of level 25 or
// more).
bool canJudgeCombat(const bl3dParty* party);
bool canJudgeMagic(const bl3dParty* party);

// The item information page in blocks, each to be word-wrapped below the one
// before: the title with the description ("%s:\n%s", or the title alone),
// then the combat block (when judgeCombat and not empty), the stat block
// (when judgeMagic and not empty) and the effects block (when not empty).
std::vector<std::string> itemInfo(const char* title, const bl3dItem& item, bool judgeCombat, bool judgeMagic);

} // namespace charsheet
