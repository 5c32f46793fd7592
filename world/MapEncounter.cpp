// The random encounter of a map: wandering monsters drawn from the map
// state's monster table, weighed against the party's levels and the
// difficulty setting, met in a fight or, for a lone monster, in its offer
// to join the party.
#include "world/Map.h"

#include "core/GameConfig.h"
#include "platform/Random.h"
#include "rules/EnemyList.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int MAX_ATTEMPTS = 1000;
// Creature kinds that never offer to join.
constexpr int32_t KIND_UNDEAD = 21;
constexpr int32_t NEVER_JOIN[] = {2, 4, 18, KIND_UNDEAD, 22};

struct Difficulty_S {
    double rate;          // on the table's encounter rate
    int64_t budgetTenths; // the level budget in tenths of the party's level sum
    int groupLimits[6];   // the last roll out of 20 for 1, 2, ... groups
};

const Difficulty_S& difficulty()
{
    static const Difficulty_S kEasy{1.5, 10, {13, 16, 19, 19, 19, 19}};
    static const Difficulty_S kAverage{2.0, 15, {10, 15, 18, 19, 19, 19}};
    static const Difficulty_S kDifficult{3.0, 30, {9, 13, 16, 18, 19, 19}};
    static const Difficulty_S kImpossible{4.0, 1000, {7, 10, 13, 16, 18, 19}};
    switch (gameConfig.difficulty) {
    case 0: return kEasy;
    case 2: return kDifficult;
    case 3: return kImpossible;
    default: return kAverage;
    }
}

int groupsWanted(const Difficulty_S& d, int roll)
{
    for (int n = 0; n < 6; ++n)
        if (roll <= d.groupLimits[n])
            return n + 1;
    return 6;
}

bool inHours(const MapMonster_S& e, unsigned hour)
{
    if (e.firstHour < 0 || e.endHour < 0)
        return true;
    const int h = static_cast<int>(hour);
    if (e.firstHour <= e.endHour)
        return e.firstHour <= h && h < e.endHour;
    return h >= e.firstHour || h < e.endHour;
}

bool mayJoin(int32_t kind)
{
    for (int32_t k : NEVER_JOIN)
        if (kind == k)
            return false;
    return true;
}

} // namespace

int Map_C::randMonster(Interface_C* iface)
{
    if (!gameworld || !party || !info_ || info_->getMonsterCount() == 0)
        return ENCOUNTER_NONE;
    bl3dGameWorld& world = *gameworld;
    if (vell::gameRand() % 100 < world.getVar(tagkey::XCReduce))
        return ENCOUNTER_NONE;

    const Difficulty_S& d = difficulty();
    const int64_t levels = party->levelSum();
    const int64_t budget = levels * d.budgetTenths / 10;

    const int32_t start = info_->getStartRemaining();
    if (start <= 0)
        return ENCOUNTER_NONE;
    // Held to what the roll of 1 to 1000 can tell apart, so that numbers
    // from the map's file cannot overflow it.
    const double rate = static_cast<double>(info_->getEncounterRate()) * info_->getRemainingTotal() / start * d.rate;
    const int chance = static_cast<int>(std::max(0.0, std::min(rate, 1001.0)));
    if (vell::gameRand() % 1000 + 1 >= chance)
        return ENCOUNTER_NONE;

    enemyList.clear();
    const int wanted = groupsWanted(d, vell::gameRand() % 20);
    std::vector<MapMonster_S>& table = info_->getMonsters();
    const int entries = static_cast<int>(table.size());
    const int32_t condition = world.getVar(tagkey::CondMon1);
    const unsigned hour = world.getClock().getHour();
    int added = 0;
    int lastCount = 0;
    bool undead = false;
    int attempts = 0;
    while (added < wanted && attempts < MAX_ATTEMPTS) {
        if (added >= 1 && enemyList.totalLevel() >= budget)
            break;
        MapMonster_S& e = table[static_cast<size_t>(vell::gameRandMod(entries))];
        if (!e.type || (e.flags != 0 && (e.flags & static_cast<uint32_t>(condition)) == 0) || !inHours(e, hour)) {
            ++attempts;
            continue;
        }
        // A table whose weights and counts add up to nothing draws nothing.
        const int64_t pool = static_cast<int64_t>(info_->getWeightTotal()) + info_->getRemainingTotal();
        const int64_t share = static_cast<int64_t>(e.weight) + e.remaining;
        if ((pool > 0 ? vell::gameRand() % pool : 0) >= share) {
            ++attempts;
            continue;
        }
        // A drawn entry brings one monster at least, whatever its numbers;
        // the count is taken wide, as the file's numbers may be anything.
        const int span = e.spread < INT32_MAX ? e.spread + 1 : INT32_MAX;
        const int n = static_cast<int>(
            std::max<int64_t>(1, std::min<int64_t>(INT32_MAX, static_cast<int64_t>(vell::gameRandMod(span)) + e.minGroup)));
        if (added >= 1 && enemyList.totalLevel() + static_cast<int64_t>(e.type->getLevel()) * n >= budget * 1.5) {
            ++attempts;
            continue;
        }
        ++added;
        if (e.remaining > 0) {
            --e.remaining;
            --info_->remainingTotal();
        }
        enemyList.add(n, const_cast<bl3dMonsterType*>(e.type), e.distance);
        lastCount = n;
        if (e.type->getKind() == KIND_UNDEAD)
            undead = true;
    }
    if (added == 0 || enemyList.empty())
        return ENCOUNTER_NONE;

    if (undead && world.getVar(tagkey::Bardb003) != 0 && vell::gameRand() % 3 == 1) {
        enemyList.clear();
        return ENCOUNTER_SLUMBER;
    }

    bl3dMonsterList* only = enemyList.countGroups() == 1 ? enemyList.groupAt(0) : nullptr;
    if (only && lastCount == 1 && only->getType() && mayJoin(only->getType()->getKind())) {
        int32_t j = world.getVar(tagkey::MonsterJoin);
        int result = ENCOUNTER_STAYED_AWAY;
        if (vell::gameRand() % 1000 + static_cast<int64_t>(j) > 900) {
            j = -1;
            if (world.getVar(tagkey::Bardb004) != 1) {
                result = ENCOUNTER_JOIN_OFFER;
                BusyGuard guard(*this);
                if (std::unique_ptr<Event_C> offer = createEncounterEvent(ENCOUNTER_JOIN, nullptr))
                    offer->invoke(iface);
            }
        }
        world.setVar(tagkey::MonsterJoin, j < INT32_MAX ? j + 1 : j);
        return result;
    }

    BusyGuard guard(*this);
    if (std::unique_ptr<Event_C> fight = createEncounterEvent(ENCOUNTER_FIGHT, nullptr))
        fight->invoke(iface);
    return ENCOUNTER_FIGHT_RUN;
}
