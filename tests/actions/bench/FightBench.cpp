// Whole combat rounds of a big headless fight: a party of 8 against 4
// groups of 20 monsters, every member's order and every monster's AI choice
// queued, all entries performed, the dead pruned. Prints the time per
// round. Each sample is a fresh fight (the same seed) run for a few rounds,
// so the groups are still full when they are timed. The floor is a fixed
// piece of plain work timed in the same run.
//
//   bench_fight [samples] [rounds per sample]
#include "support/FightKit.h"

#include "actions/CombatRound.h"
#include "platform/Random.h"
#include "rules/EnemyList.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "tools/BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void buildFight(FightKit_C& kit) {
    bl3dItemType* sword = kit.weaponType("Sword", 1, 8, CAT_LONG_BLADE);
    bl3dItemType* bow = kit.bowType("Long Bow", 60, 1);
    bl3dItemType* arrows = kit.ammoType("Arrows", 1, 1, 6, 10000);
    const int32_t classes[8] = {0x4, 0x1, 0x20, 0x80, 0x40, 0x10, 0x8, 0x40};
    for (int i = 0; i < 8; ++i) {
        MemberSpec_S m;
        m.name = "Member" + std::to_string(i + 1);
        m.classId = classes[i];
        m.level = 10;
        m.hp = 100000; // nobody falls: every round is a whole round
        m.stats[0] = 16;
        m.stats[3] = 14;
        m.ac = 2;
        m.attack = 2;
        m.extraAttacks = 2;
        bl3dPartyChar* pc = kit.addMember(m);
        if (i < 4) {
            kit.give(pc, sword, SLOT_RT_HAND);
        } else {
            kit.give(pc, bow, SLOT_RT_HAND);
            kit.give(pc, arrows, SLOT_AMMO);
        }
    }
    const char* names[4] = {"Orc", "Goblin", "Wolf", "Skeleton"};
    for (int g = 0; g < 4; ++g) {
        MonsterSpec_S s;
        s.name = names[g];
        s.plural = std::string(names[g]) + "s";
        s.hp = 100000;
        s.stats[1] = 8 + g * 3; // some think, some do not
        s.stats[STAT_ATTACK] = 1;
        s.stats[STAT_DAMAGE] = 1;
        s.actions = {{0x000e0001, 5}, {0x000603ec, g == 2 ? 3 : 0}, {0x001603ee, 1}};
        // All in reach: every monster chooses and acts every round.
        kit.addGroup(kit.monsterType(s), 20, 10);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    bench::printReferenceFloor();
    std::vector<double> perRound;
    perRound.reserve(static_cast<size_t>(samples));
    long entries = 0;
    for (int s = 0; s < samples; ++s) {
        FightKit_C kit;
        vell::gameSrand(1234);
        buildFight(kit);
        CombatRound_C fight;
        fight.setNarration([&entries](const char*) { ++entries; });
        fight.setRoundEnd([&kit] { kit.tick(); });
        const auto start = Clock::now();
        for (int r = 0; r < rounds; ++r)
            fight.runRound();
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        perRound.push_back(took.count() / rounds);
    }
    std::printf("fight rounds: party of 8 against 4 groups of 20, %d samples of %d rounds\n", samples, rounds);
    std::printf("entries performed per round: %.1f\n", static_cast<double>(entries) / (samples * rounds));
    bench::figure("fight round, 8 against 4 groups of 20", perRound, "us");
    return 0;
}
