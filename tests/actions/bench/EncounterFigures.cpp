// Prints the figures of the wandering monsters against the ready-made
// party (not a test): the party, then for the town at night and the
// catacombs the first fights of new parties (won, lost, deaths per fight,
// what came), the chance that a roll starts a fight, the same chance on
// the first key after a fight and on the other keys of a long walk, and
// what an hour of rest meets at the rest's shortest and longest step.
//   encounter_figures [fights per place, 400]
#include "support/EncounterSim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

struct Place {
    const char* name;
    const char* map;
    unsigned hour;
};

void printPlace(EncounterSim_C& sim, const Place& p, int fights)
{
    const FightTally_S t = sim.firstFights(p.map, p.hour, 1, fights);
    std::printf("\n%s (%s at %u o'clock), %d first fights (seeds 1..%d):\n", p.name, p.map, p.hour, t.fights, fights);
    std::printf("  won %d (%.1f%%), the party fell %d, undecided %d; deaths per fight %.2f; rounds per fight %.1f;"
                " join offers skipped %d\n",
                t.won, 100.0 * t.winRate(), t.lost, t.undecided, t.deathsPerFight(),
                t.fights ? double(t.rounds) / t.fights : 0.0, t.joinOffers);
    std::vector<std::pair<int, std::string>> met;
    for (const auto& m : t.met)
        met.emplace_back(m.second, m.first);
    std::sort(met.rbegin(), met.rend());
    for (size_t i = 0; i < met.size() && i < 10; ++i) {
        const auto lost = t.notWon.find(met[i].second);
        std::printf("    %4d x %s (not won %d)\n", met[i].first, met[i].second.c_str(),
                    lost == t.notWon.end() ? 0 : lost->second);
    }

    std::vector<std::pair<int, std::string>> lost;
    for (const auto& m : t.notWon)
        lost.emplace_back(m.second, m.first);
    std::sort(lost.rbegin(), lost.rend());
    std::printf("  not won:");
    for (size_t i = 0; i < lost.size() && i < 8; ++i)
        std::printf("%s %d x %s", i ? ";" : "", lost[i].first, lost[i].second.c_str());
    std::printf("\n");

    const double p1 = sim.fightChancePerRoll(p.map, p.hour, 1, 20000);
    std::printf("  chance of a fight per roll (fresh table): %.2f%%\n", 100.0 * p1);
    const int keys = 100000;
    const EncounterSim_C::Walk_S w = sim.walk(p.map, p.hour, 7, keys);
    std::printf("  a walk of %d keys (seed 7): first key after a fight %d/%d = %.2f%%, other keys %d/%d = %.2f%%\n",
                keys, w.fightsAfterFight, w.keysAfterFight,
                w.keysAfterFight ? 100.0 * w.fightsAfterFight / w.keysAfterFight : 0.0, w.otherFights, w.otherKeys,
                w.otherKeys ? 100.0 * w.otherFights / w.otherKeys : 0.0);
    for (int step : {1, 20}) {
        const int rolls = 240 / step;
        std::printf("  an hour of rest at a step of %2d ticks (%3d rolls): %.2f fights expected, %.0f%% chance of one"
                    " or more\n",
                    step, rolls, rolls * p1, 100.0 * (1.0 - std::pow(1.0 - p1, rolls)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int fights = argc > 1 ? std::atoi(argv[1]) : 400;
    EncounterSim_C sim(VELL_GAME_DIR);
    if (!sim.ok()) {
        std::fprintf(stderr, "encounter_figures: %s\n", sim.error().c_str());
        return 1;
    }
    std::printf("The ready-made party:\n%s", sim.describeParty().c_str());
    for (const Place& p : {Place{"Renibister at night", "maps/renibister.cfg", 20},
                           Place{"Renibister at night", "maps/renibister.cfg", 1},
                           Place{"The catacombs", "maps/catacombs.cfg", 12}})
        printPlace(sim, p, fights);
    return 0;
}
