#include "screens/CharSheetText.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace charsheet {

namespace {

constexpr int kLevels = 7;
constexpr int kSchools = 5;

const char* const kRaceNames[9] = {"Human",   "Elf",      "Half-Elf", "Dwarf", "Gnome",
                                   "Beggen", "Half-Orc", "Saurian",  "Senrat"};

// Rows of titles by class bit, five columns by level.
struct TitleRow_S {
    int32_t classBit;
    const char* titles[5];
};
const TitleRow_S kTitleRows[] = {
    {0x1, {"Land Reaver", "Wild Man", "Berserker", "Barbarian", "Chieftain"}},
    {0x2, {"Harper", "Piper", "Minstrel", "Scarlet Bard", "Spell Singer"}},
    {0x4, {"Squire", "Bladesman", "Knight", "Champion", "Warlord"}},
    {0x8, {"Acolyte", "Brother", "Healer", "Wind Monk", "Battle Monk"}},
    {0x10, {"Novice", "White Arrow", "Herald", "Psi Knight", "Psi Lord"}},
    {0x20, {"Protector", "Guardian", "Crusader", "Templar", "Lord of Mercy"}},
    {0x40, {"Tracker", "Beast Master", "Hunter", "Druid", "Alchemist"}},
    {0x80, {"Delver", "Defuser", "Spy", "Disruptor", "Shadow Master"}},
    {0x4000, {"Pale Claw", "Green Claw", "Red Claw", "Black Claw", "High Talon"}},
};
const char* const kSchoolRow[kSchools] = {"Magician", "Thaumaturg.", "Illusionist", "Summoner", "Warlock"};

struct NamedBit_S {
    int32_t bit;
    const char* name;
};
// Fixed titles; also the element names of the spell pages.
const NamedBit_S kFixedTitles[] = {
    {0x200, "Geomancer"}, {0x400, "Hydromancer"}, {0x800, "Aeromancer"}, {0x1000, "Pyromancer"},
    {0x2000, "Isomancer"}, {0x8000, "Monster"},   {0x10000, "Illusion"},
};

int32_t attribute(const bl3dCharacter& who, const char* key)
{
    const TagNode_S* n = who.getTagList()->find(key);
    return n ? n->value.getInt() : 0;
}

std::string counts(const int (&byLevel)[kLevels])
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d/%d/%d/%d/%d/%d/%d", byLevel[0], byLevel[1], byLevel[2], byLevel[3],
                  byLevel[4], byLevel[5], byLevel[6]);
    return buf;
}

bool levelInRange(const bl3dAction& a) { return a.getLevel() >= 1 && a.getLevel() <= kLevels; }

std::string format(const char* fmt, int v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

// The combat block of an item: range and damage by its kind.
std::string combatBlock(const bl3dItem& item)
{
    const bl3dItemType* t = item.getType();
    auto damage = [](const bl3dItemType* type) {
        const auto* w = dynamic_cast<const bl3dWeaponType*>(type);
        if (!w)
            return std::string();
        std::unique_ptr<char[]> s(w->damageStr());
        return std::string("Damage: ") + (s ? s.get() : "") + "\n";
    };
    if (item.isAmmo())
        return damage(t);
    if (item.isThrown()) {
        const auto* th = dynamic_cast<const bl3dThrownType*>(t);
        return format("Range: %d\n", th ? th->getRange() : 0) + damage(t);
    }
    if (item.isWeapon())
        return damage(t);
    if (item.isBow()) {
        const auto* b = dynamic_cast<const bl3dBowType*>(t);
        return format("Range: %d\n", b ? b->getRange() : 0);
    }
    return std::string();
}

const char* statLabel(int stat)
{
    switch (stat) {
    case STAT_ST: return "ST: %d\n";
    case STAT_IQ: return "IQ: %d\n";
    case STAT_WI: return "WI: %d\n";
    case STAT_DX: return "DX: %d\n";
    case STAT_CN: return "CN: %d\n";
    case STAT_CO: return "CO: %d\n";
    case STAT_LK: return "LK: %d\n";
    case STAT_EXTRA_ATTACKS: return "Extra Attacks: %d\n";
    case STAT_FIRE_HIT: return "Fire Hit: %d\n";
    case STAT_FIRE_DMG: return "Fire Dmg: %d\n";
    case STAT_EARTH_HIT: return "Earth Hit: %d\n";
    case STAT_EARTH_DMG: return "Earth Dmg: %d\n";
    case STAT_AIR_HIT: return "Air Hit: %d\n";
    case STAT_AIR_DMG: return "Air Dmg: %d\n";
    case STAT_WATER_HIT: return "Water Hit: %d\n";
    case STAT_WATER_DMG: return "Water Dmg: %d\n";
    default: return nullptr;
    }
}

std::string effectsBlock(const bl3dItemType& t)
{
    std::string out;
    for (const ItemEffect_S& e : t.getEffects()) {
        if (e.kind == IEFFECT_REGEN) {
            const int sp = static_cast<int8_t>(e.value & 0xff);
            const int hp = static_cast<int8_t>((e.value >> 8) & 0xff);
            const int bp = static_cast<int8_t>((e.value >> 16) & 0xff);
            if (sp)
                out += format("Regenerate %d SP\n", sp);
            else if (hp)
                out += format("Regenerate %d HP\n", hp);
            else if (bp)
                out += format("Regenerate %d BP\n", bp);
        } else if (e.kind == IEFFECT_INST) {
            out += "Plays Music\n";
        } else if (e.kind == IEFFECT_INGREDIENT) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "Ingredient: %s (%d)\n", e.text.c_str(), int(e.value));
            out += buf;
        }
    }
    return out;
}

bool anyMember(const bl3dParty* party, int32_t classes, int level)
{
    if (!party)
        return false;
    for (int i = 0; i < party->getCount(); ++i) {
        const bl3dPartyChar* m = party->getMember(i);
        if (m && m->isClass(classes) && m->getLevel() >= level)
            return true;
    }
    return false;
}

} // namespace

std::string raceLabel(const bl3dPartyChar& who)
{
    const int race = who.getRace();
    if (race >= RACE_HUMAN && race <= RACE_SENRAT) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s(%c)", kRaceNames[race - 1], who.isFemale() ? 'F' : 'M');
        return buf;
    }
    if (race == RACE_MONSTER && who.getMonsterType())
        return who.getMonsterType()->getName();
    return "UNKNOWN";
}

int titleColumn(int level)
{
    if (level <= 12)
        return 0;
    if (level <= 24)
        return 1;
    if (level <= 36)
        return 2;
    if (level <= 49)
        return 3;
    return 4;
}

std::string schoolName(int school)
{
    return school >= 1 && school <= kSchools ? kSchoolRow[school - 1] : "";
}

std::string classTitle(const bl3dPartyChar& who)
{
    const int32_t id = who.getClassId();
    for (const TitleRow_S& row : kTitleRows)
        if (id & row.classBit)
            return row.titles[titleColumn(who.getLevel())];
    if (id & 0x100)
        return schoolName(attribute(who, tagkey::Path));
    for (const NamedBit_S& t : kFixedTitles)
        if (id & t.bit)
            return t.name;
    return "NONE";
}

std::string spellSchool(const bl3dAction& action)
{
    if (action.isForClass(0x100))
        return schoolName(action.school());
    static const NamedBit_S kOthers[] = {{0x20, "Paladin"},     {0x200, "Geomancer"},  {0x800, "Aeromancer"},
                                         {0x400, "Hydromancer"}, {0x1000, "Pyromancer"}, {0x2000, "Isomancer"}};
    for (const NamedBit_S& o : kOthers)
        if (action.isForClass(o.bit))
            return o.name;
    return "Other";
}

std::string conditionText(const bl3dPartyChar& who)
{
    if (who.getCurHP() <= 0)
        return "Dead";
    if (who.isStone())
        return "Stone";
    if (who.isPoisoned())
        return "Poisoned";
    if (who.isBlind())
        return "Blind";
    if (who.isStunned())
        return "Stunned";
    if (who.isWithered())
        return "Withered";
    if (who.isAged())
        return "Aged";
    if (who.isSleeping())
        return "Sleeping";
    return "";
}

std::vector<bl3dAction*> knownSpells(bl3dPartyChar& who)
{
    std::vector<bl3dAction*> out;
    for (const ActionNode_S* n = who.actions2()->head(); n; n = n->next)
        if (n->action && n->action->isSpell())
            out.push_back(n->action);
    return out;
}

std::vector<SummaryBlock_S> spellSummary(bl3dPartyChar& who)
{
    std::vector<SummaryBlock_S> out;
    const std::vector<bl3dAction*> spells = knownSpells(who);
    if (who.isClass(0x100)) {
        int bySchool[kSchools][kLevels] = {};
        for (const bl3dAction* a : spells)
            if (a->isForClass(0x100) && levelInRange(*a) && a->school() >= 1 && a->school() <= kSchools)
                ++bySchool[a->school() - 1][a->getLevel() - 1];
        for (int s = 0; s < kSchools; ++s) {
            int total = 0;
            for (int l = 0; l < kLevels; ++l)
                total += bySchool[s][l];
            if (total)
                out.push_back({schoolName(s + 1) + ":", counts(bySchool[s])});
        }
        return out;
    }
    if (who.isClass(0x3E00)) {
        // Counted by the element bit of the spell's class mask; shown in this
        // order.
        const NamedBit_S order[] = {{0x200, "Geomancer"}, {0x800, "Aeromancer"}, {0x400, "Hydromancer"},
                                    {0x1000, "Pyromancer"}, {0, "Isomancer"}};
        int byElement[5][kLevels] = {};
        for (const bl3dAction* a : spells) {
            if (!a->isForClass(0x3E00) || !levelInRange(*a))
                continue;
            int e = 4;
            for (int i = 0; i < 4; ++i)
                if (a->isForClass(order[i].bit)) {
                    e = i;
                    break;
                }
            ++byElement[e][a->getLevel() - 1];
        }
        for (int e = 0; e < 5; ++e) {
            int total = 0;
            for (int l = 0; l < kLevels; ++l)
                total += byElement[e][l];
            if (total)
                out.push_back({std::string(order[e].name) + ":", counts(byElement[e])});
        }
        return out;
    }
    int byLevel[kLevels] = {};
    for (const bl3dAction* a : spells)
        if (a->isForClass(0x20) && levelInRange(*a))
            ++byLevel[a->getLevel() - 1];
    out.push_back({"Paladin:", counts(byLevel)});
    return out;
}

bool canJudgeCombat(const bl3dParty* party)
{
    return anyMember(party, 0x2 | 0x80, 13) || anyMember(party, 0x4 | 0x10 | 0x20 | 0x40, 25);
}

bool canJudgeMagic(const bl3dParty* party) { return anyMember(party, 0x2 | 0x80 | 0x100 | 0x3E00, 25); }

std::vector<std::string> itemInfo(const char* title, const bl3dItem& item, bool judgeCombat, bool judgeMagic)
{
    std::vector<std::string> blocks;
    const std::string name = title ? title : "";
    const char* desc = item.getDescription();
    blocks.push_back(desc && *desc ? name + ":\n" + desc : name);
    const bl3dItemType* t = item.getType();
    if (!t)
        return blocks;

    std::string combat = combatBlock(item);
    std::string stats;
    for (const StatPair_S& m : t->getStatMods()) {
        if (m.stat == STAT_AC)
            combat += format("AC: %d\n", m.amount);
        else if (m.stat == STAT_ATTACK)
            combat += format("Attack: %d\n", m.amount);
        else if (m.stat == STAT_DAMAGE)
            combat += format("Damage: %d\n", m.amount);
        else if (const char* label = statLabel(m.stat))
            stats += format(label, m.amount);
    }
    if (judgeCombat && !combat.empty())
        blocks.push_back(combat);
    if (judgeMagic && !stats.empty())
        blocks.push_back(stats);
    const std::string effects = effectsBlock(*t);
    if (!effects.empty())
        blocks.push_back(effects);
    return blocks;
}

} // namespace charsheet
