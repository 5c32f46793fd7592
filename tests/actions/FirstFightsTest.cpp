// The ready-made party of the quest template against the wandering monsters
// of the shipped maps, in the first fight of a new party: in Renibister at
// night and in the catacombs (whose table holds for every square, the first
// ones too). Seeded; the fights are the round driver's and the combat AI's,
// the party played as a sensible player plays it (tests/actions/kit/
// EncounterSim.h). A new party wins most of them: the monsters, the tables
// and the party are tuned together, and a change to any of them that makes
// the first fights deadly fails here.
#include "support/EncounterSim.h"

#include <gtest/gtest.h>

namespace {

constexpr int FIGHTS = 200;
constexpr double LEAST_WIN_RATE = 0.7;

TEST(FirstFightsTest, TheReadyMadePartyWinsMostOfItsFirstFights) {
    testing::internal::CaptureStderr();   // the maps' script squares have no class here
    EncounterSim_C sim(VELL_GAME_DIR);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(sim.ok()) << sim.error() << "\n" << said;
    struct Place {
        const char* map;
        unsigned hour;
    };
    for (const Place& p : {Place{"maps/renibister.cfg", 20}, Place{"maps/renibister.cfg", 1},
                           Place{"maps/catacombs.cfg", 12}}) {
        SCOPED_TRACE(std::string(p.map) + " at " + std::to_string(p.hour));
        testing::internal::CaptureStderr();
        const FightTally_S t = sim.firstFights(p.map, p.hour, 1, FIGHTS);
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(t.fights, FIGHTS) << "every new party met monsters";
        EXPECT_GE(t.winRate(), LEAST_WIN_RATE) << t.won << " won, " << t.lost << " lost, " << t.undecided
                                               << " undecided; deaths per fight " << t.deathsPerFight();
        // Winning at the price of a member in every fight is no win for a
        // new party (a raise costs more than its gold).
        EXPECT_LT(t.deathsPerFight(), 1.0);
    }
}

} // namespace
