#include "rules/CharCreation.h"

#include "rules/ActionList.h"
#include "core/TagList.h"
#include "platform/Random.h"
#include "rules/ClassDef.h"
#include "rules/CreationGifts.h"
#include "rules/PartyChar.h"
#include "rules/StatBlock.h"

#include <string>

namespace {

constexpr int32_t MOD_RACE = 4;

const CreationRace_S RACES[CREATION_RACES] = {
    {1, 'h', "(H)uman", "Human_", "Human", {0, 0, 0, 0, 0, 0}, 18.0f},
    {2, 'e', "(E)lf", "Elf_", "Elf", {-1, 1, 0, 0, 0, 0}, 19.0f},
    {3, 'a', "H(a)lf-Elf", "HalfElf_", "Half-Elf", {0, 0, 0, 0, 0, 0}, 18.5f},
    {4, 'd', "(D)warf", "Dwarf_", "Dwarf", {0, -1, 0, -1, 1, -1}, 17.0f},
    {5, 'g', "(G)nome", "Gnome_", "Gnome", {-1, 1, 1, -1, -1, -1}, 17.0f},
    {6, 'b', "(B)eggen", "Beggen_", "Beggen", {-2, 0, 0, 1, -1, 0}, 18.0f},
    {7, 'o', "Half-(O)rc", "HalfOrc_", "Half-Orc", {1, -4, -1, -1, 1, -4}, 13.0f},
    {8, 's', "(S)aurian", "Saurian_", "Saurian", {2, -6, -6, -2, 2, -6}, 10.0f},
    {9, 'r', "Sen(r)at", "Senrat_", "Senrat", {-1, -4, -2, 2, 0, -3}, 15.0f},
};

struct ClassTitle_S {
    int32_t bit;
    const char* name;
};
const ClassTitle_S CLASS_TITLES[] = {
    {0x1, "Land Reaver"}, {0x2, "Harper"},      {0x4, "Squire"},       {0x8, "Acolyte"},
    {0x10, "Novice"},     {0x20, "Protector"},  {0x40, "Tracker"},     {0x80, "Delver"},
    {0x100, "Magician"},  {0x200, "Geomancer"}, {0x400, "Hydromancer"}, {0x800, "Aeromancer"},
    {0x1000, "Pyromancer"}, {0x2000, "Isomancer"}, {0x4000, "Pale Claw"},
};

// The actions every new adventurer knows: attack, defend, advance, equip
// an item, retreat.
const int32_t STANDARD_ACTIONS[] = {0x0e0001, 0x320003, 0x320004, 0x2a00af, 0x320005};

// A die of the class step: d + rand() % d + 1, 0 for no die.
int32_t pointsRoll(int32_t die)
{
    return die > 0 ? die + vell::gameRandMod(die) + 1 : 0;
}

} // namespace

const CreationRace_S* creationRace(int32_t race)
{
    return race >= 1 && race <= CREATION_RACES ? &RACES[race - 1] : nullptr;
}

const CreationRace_S* creationRaceForKey(int key)
{
    for (const CreationRace_S& r : RACES)
        if (r.key == key)
            return &r;
    return nullptr;
}

const char* creationRaceName(int32_t race)
{
    const CreationRace_S* r = creationRace(race);
    return r ? r->name : "ERROR";
}

const char* creationClassName(int32_t classBit)
{
    for (const ClassTitle_S& t : CLASS_TITLES)
        if (t.bit == classBit)
            return t.name;
    return "NONE";
}

void addRaceModifiers(bl3dStatBlock& stats, const CreationRace_S& race)
{
    for (int i = 0; i < 6; ++i)
        if (race.mods[i] != 0)
            stats.addModifier(i, race.mods[i], 0, MOD_RACE, KEY_RACE, 0);
    stats.recompute();
}

int32_t creationClassesFor(int32_t race, const bl3dStatBlock& stats)
{
    int32_t bits = 0;
    for (const ClassDef_S& c : classDef)
        if (c.allows(race, &stats))
            bits |= c.classId;
    return bits;
}

ClassRoll_S classStep(const ClassDef_S& cls, bl3dStatBlock& stats)
{
    ClassRoll_S roll;
    roll.hp = pointsRoll(cls.getHPDie());
    roll.sp = pointsRoll(cls.getSPDie());
    const int32_t cn = stats.getCur(STAT_CN);
    if (cn >= 15)
        roll.hp = saturate32(int64_t(roll.hp) + int64_t(cn - 14) * (cls.getHPBonus() ? cls.getHPBonus() : 1));
    if (validStat(cls.getSPStat()) && stats.getCur(cls.getSPStat()) >= 15)
        roll.sp = saturate32(int64_t(roll.sp) + int64_t(stats.getCur(cls.getSPStat()) - 14) * cls.getSPBonus());
    if (validStat(cls.getACStat()) && stats.getCur(cls.getACStat()) >= 15)
        stats.addModifier(STAT_AC, saturate32(-int64_t(stats.getCur(cls.getACStat()) - 14) * cls.getACBonus()), 0,
                          MOD_ITEM, KEY_CLASS, 0);
    cls.applyStatMods(&stats, MOD_ITEM, KEY_CLASS, 0);
    stats.recompute();
    roll.gold = vell::gameRandMod(100) + 200;
    return roll;
}

void undoClassStep(bl3dStatBlock& stats)
{
    stats.removeModsByKey(KEY_CLASS, 0);
    stats.recompute();
}

std::unique_ptr<bl3dPartyChar> makeCreatedChar(const char* name, const ClassDef_S& cls, int32_t race, bool male,
                                               const char* portrait, const bl3dStatBlock& stats,
                                               const ClassRoll_S& roll)
{
    auto member = std::make_unique<bl3dPartyChar>(name, cls.classId, race, male, 1, nullptr, nullptr);
    member->setLevel(1);
    member->setMaxHP(roll.hp);
    member->changeHP(roll.hp);
    member->setMaxSP(roll.sp);
    member->addSP(roll.sp);
    member->addGold(roll.gold);
    for (int i = 0; i < STAT_COUNT; ++i)
        member->getStatBlock()->setBase(i, stats.getCur(i));
    member->setName(portrait);
    for (int32_t id : STANDARD_ACTIONS)
        member->actions()->add(masterActionList.getAction(id), 0);
    cls.giveStartingItems(member.get());
    // A gift whose action the master list lacks is refused by the list,
    // which says so, and the creation goes on.
    for (int32_t id : giveCreationGifts(*member))
        member->actions()->add(masterActionList.getAction(id), 0);
    return member;
}
