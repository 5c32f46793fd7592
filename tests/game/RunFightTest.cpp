// Whole-program run of a wandering fight in town: the party rests until
// dusk, walks the streets at night until monsters come, wins, takes what
// the bodies carried, saves, and loads the quest again.
#include "RunGame.h"

#include "world/GameClock.h"

#include <algorithm>
#include <map>
#include <utility>

using namespace rungame;

namespace {

class RunFightTest : public RunGameTest {};

// From the Hall's door at (14, 24) facing east, the party goes to the lane
// at x 13 (south one, west one) and faces south. It rests ten hours there
// and waits (SPACE, 30 game seconds each) until 19:59:15 or 19:59:30, so
// that the night (when wolves and thieves roam the town) begins with its
// first step. Then it walks the lane, which holds no story square, between
// y 23 and y 14, turning round at either end, until a fight's text shows in
// the pane. The fight is played (RunGameTest::playFight) and must leave the party on
// the street, not in the Hall. A save before the fight and one after it
// show the experience and the loot; the quest is quit, loaded and saved
// again, and holds the same experience, gold and items.
//
// VELL_SEED fixes the dice: which monsters come after how many steps, and
// every blow. With seed 4, bandits come after 14 steps; the party wins with
// nobody fallen, and Bran takes the bandits' gold and two items. (Seeds that
// bring wolves, who carry nothing, leave nothing to take.)
TEST_F(RunFightTest, WalkTheTownAtNightWinTheFightTakeTheLootSaveAndLoad) {
    guardSeconds_ = 15 * kGuardSeconds;
    seed_ = 4;
    Shot shot;
    newQuest("f i 1");
    ASSERT_FALSE(HasFatalFailure());
    ventureForth(kParty, shot);
    ASSERT_FALSE(HasFatalFailure());

    const std::string quest = dir_ + "/savegame/FI1";
    auto readQuest = [&] { return savedQuest(quest, dir_); };

    // To the lane, facing south; ten hours of rest; the wait for dusk.
    SavedQuest rested;
    int waits = 0;
    toTheLaneAtDusk(shot, quest, &rested, &waits);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(rested.world.x, 13);
    ASSERT_EQ(rested.world.y, 23);
    const uint32_t dayTicks = GameClock_C::TICKS_PER_DAY;
    save(shot, calmStreet, "at dusk");
    ASSERT_FALSE(HasFatalFailure());
    const SavedQuest before = readQuest();
    ASSERT_EQ(before.world.ticks % dayTicks, rested.world.ticks % dayTicks + 2 * uint32_t(waits))
        << describe(before.world);
    ASSERT_EQ(namesOf(before.party), namesOf(rested.party));

    // Up and down the lane until a fight comes.
    const int steps = walkTheLaneUntilAFight(shot, 200);
    ASSERT_FALSE(HasFailure());
    std::printf("[ outcome ] seed %lld: a fight after %d steps at night\n", seed_, steps);
    const int answered = playFight(shot, 600);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_FALSE(hallShown(shot)) << "the party died (seed " << seed_ << ")";
    ASSERT_TRUE(waitSettled(calmStreet, 30, shot)) << gameErrors();
    std::printf("[ outcome ] seed %lld: the fight and its loot took %d keys\n", seed_, answered);

    save(shot, calmStreet, "after the fight");
    ASSERT_FALSE(HasFatalFailure());
    const SavedQuest won = readQuest();
    std::printf("[ outcome ] the fight was fought on %s\n", describe(won.world).c_str());
    // The fallen go to the end of the party: members are matched by name.
    auto sorted = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    ASSERT_EQ(sorted(namesOf(won.party)), sorted(namesOf(before.party)));
    bool moreXp = false;
    for (const SavedMember& w : won.party) {
        const SavedMember& b = *std::find_if(before.party.begin(), before.party.end(),
                                             [&](const SavedMember& m) { return m.name == w.name; });
        EXPECT_GE(w.xp, b.xp) << w.name;
        moreXp = moreXp || w.xp > b.xp;
        std::printf("[ outcome ] %s: experience %d -> %d, gold %lld -> %lld, pack %zu -> %zu items, hit points %d\n",
                    w.name.c_str(), b.xp, w.xp, (long long)b.gold, (long long)w.gold, b.pack.size(), w.pack.size(),
                    w.hp);
    }
    EXPECT_TRUE(moreXp) << "nobody gained experience";
    EXPECT_GT(goldOf(won.party), goldOf(before.party)) << "the bodies held no gold";
    ASSERT_EQ(won.party[0].name, "Bran") << "Bran fell";
    EXPECT_GT(won.party[0].pack.size(), before.party[0].pack.size()) << "Bran took nothing";
    quit();
    ASSERT_FALSE(HasFatalFailure());

    // Loaded and saved again: what the fight brought is still there.
    load(shot, calmStreet, "onto a calm street (seed " + std::to_string(seed_) + ")");
    ASSERT_FALSE(HasFatalFailure());
    save(shot, calmStreet, "after loading");
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());
    const SavedQuest again = readQuest();
    EXPECT_EQ(describe(again.world), describe(won.world));
    EXPECT_EQ(again.world.ticks, won.world.ticks);
    ASSERT_EQ(namesOf(again.party), namesOf(won.party));
    for (size_t i = 0; i < won.party.size(); ++i) {
        const SavedMember& a = again.party[i];
        const SavedMember& w = won.party[i];
        EXPECT_EQ(a.xp, w.xp) << w.name;
        EXPECT_EQ(a.gold, w.gold) << w.name;
        EXPECT_EQ(a.pack, w.pack) << w.name;
        EXPECT_EQ(a.slots, w.slots) << w.name;
        EXPECT_EQ(a.hp, w.hp) << w.name;
    }
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

} // namespace
