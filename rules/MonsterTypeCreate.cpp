// Making creatures from a monster type: combat monsters with their drops, and
// party members for joined and summoned monsters.
#include "rules/MonsterType.h"

#include "core/Log.h"
#include "platform/Random.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/PartyChar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A drop line never asks for more than this many dice or tries; anything
// larger is a broken line and would only stall the game.
constexpr int MAX_DROP_DICE = 100;
constexpr int MAX_DROP_TRIES = 1000;
// However many drop lines a type has, one monster carries at most this many
// items, so that its drops cannot exhaust memory.
constexpr size_t MAX_DROP_ITEMS = 64 * MAX_DROP_TRIES;

struct DropLine {
    char name[80] = {};
    int chance = 1000;
    int tries = 1;
};

// "name chance NdS+B": the item name (underscores for blanks), the chance
// per mille and the dice of tries. Fewer than three words give one try; a
// line that names only the item drops it on that try.
DropLine parseDropLine(const std::string& line) {
    DropLine d;
    char chance[80] = {};
    char dice[80] = {};
    // Every word is shorter than the 80-byte line, so none can overflow.
    const int words = std::sscanf(line.c_str(), "%79s %79s %79s", d.name, chance, dice);
    for (char* p = d.name; *p; ++p)
        if (*p == '_')
            *p = ' ';
    if (words >= 2)
        d.chance = std::atoi(chance);
    if (words < 3)
        return d;
    int count = 0, sides = 0, bonus = 0;
    std::sscanf(dice, "%dd%d+%d", &count, &sides, &bonus);
    long tries = bonus;
    if (sides > 0) {
        count = std::clamp(count, 0, MAX_DROP_DICE);
        for (int i = 0; i < count; ++i)
            tries += vell::gameRand() % sides + 1;
    }
    d.tries = static_cast<int>(std::clamp<long>(tries, 0, MAX_DROP_TRIES));
    return d;
}

bool isRandomName(const char* name) {
    return std::strncmp(name, "rand", 4) == 0;
}

} // namespace

void bl3dMonsterType::rollDrops(std::vector<bl3dItem*>& out) const {
    const size_t limit = out.size() + MAX_DROP_ITEMS;
    for (const std::string& line : drops_) {
        if (out.size() >= limit)
            break;
        const DropLine d = parseDropLine(line);
        for (int t = 0; t < d.tries && out.size() < limit; ++t) {
            if (vell::gameRand() % 1000 >= d.chance)
                continue;
            if (isRandomName(d.name)) {
                bl3dItem* item = drawRandomItem();
                if (!item) {
                    VELL_LOG(1, "ERROR: Random item requested for monster on map with no random items!\n");
                    break;
                }
                out.push_back(item);
                continue;
            }
            if (bl3dItemType* type = masterITL.findByName(d.name))
                if (bl3dItem* item = type->newInstance())
                    out.push_back(item);
        }
    }
}

bl3dMonster* bl3dMonsterType::createMonster(int kind) {
    auto* m = new bl3dMonster(this, getCombatAI(), static_cast<uint8_t>(kind));
    std::vector<bl3dItem*> drops;
    rollDrops(drops);
    for (bl3dItem* item : drops)
        if (m->getCarried()->pushFront(item) != 0)
            delete item;
    return m;
}

bl3dPartyChar* bl3dMonsterType::makePartyChar(bool summoned) {
    auto* pc = new bl3dPartyChar(name_.c_str(), summoned ? CLASS_SUMMONED : CLASS_JOINED, RACE_MONSTER,
                                 sex_ == SEX_MALE, alignment_, getCombatAI(), this);
    pc->setGender(sex_);
    pc->setMaxHP(rollHP());
    pc->setCurHP(pc->getMaxHP());
    pc->setMaxSP(rollSP());
    pc->setCurSP(pc->getMaxSP());
    pc->addGold(rollGold());
    for (int i = 0; i < STAT_COUNT; ++i)
        pc->getStatBlock()->setBase(i, stats_.getCur(i));
    static_cast<bl3dCharacter*>(pc)->setName(nameBuffer_);
    pc->actions()->copyFrom(actions_);
    pc->actions2()->copyFrom(actions2_);
    return pc;
}
