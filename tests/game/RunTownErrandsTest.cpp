// Whole-program run of the town's errands: a wager at the Casino, a drink
// and a night's room at Melkoran's Tavern, each between two saves on the
// street; then the quest is loaded and saved again.
#include "RunGame.h"

#include <set>

using namespace rungame;

namespace {

class RunTownErrandsTest : public RunGameTest {};

// Everything but the gold, the hit and spell points (and the time) that a
// visit must leave as it was.
void expectSameBelongings(const SavedQuest& before, const SavedQuest& after, const char* what) {
    ASSERT_EQ(namesOf(after.party), namesOf(before.party)) << what;
    for (size_t i = 0; i < before.party.size(); ++i) {
        EXPECT_EQ(after.party[i].slots, before.party[i].slots) << what << ": " << before.party[i].name;
        EXPECT_EQ(after.party[i].pack, before.party[i].pack) << what << ": " << before.party[i].name;
        EXPECT_EQ(after.party[i].spells, before.party[i].spells) << what << ": " << before.party[i].name;
    }
}

// The whole party's gold as before, but the member at `payer` with `change`.
void expectGoldChange(const SavedQuest& before, const SavedQuest& after, size_t payer, int64_t change,
                      const char* what) {
    ASSERT_EQ(after.party.size(), before.party.size()) << what;
    for (size_t i = 0; i < before.party.size(); ++i)
        EXPECT_EQ(after.party[i].gold, before.party[i].gold + (i == payer ? change : 0))
            << what << ": " << before.party[i].name;
}

void expectSameSquare(const SavedWorld& w, int x, int y, int facing, const char* what) {
    EXPECT_TRUE(w.ok) << what;
    EXPECT_EQ(w.x, x) << what;
    EXPECT_EQ(w.y, y) << what;
    EXPECT_EQ(w.facing, facing) << what << " (0 north, 90 west, 180 south, 270 east)";
}

// The town's errands of one day, by real key presses, each between two
// saves on the street:
//  - the walk from the Hall to the Casino's door at (4, 7) (the lane at
//    x 13, the street at y 13, the lane at x 14, the street at y 6), which
//    carries the Casino's sign; Bran (F1) wagers 50 on the Wheel of Chance;
//  - the walk to Melkoran's Tavern at (19, 21) (back along y 6 and up x 14,
//    east along y 13 and north up x 20); the party rests two hours on its
//    doorstep, since the tavern opens at noon;
//  - Bran drinks the Tongue o'the Dragon (100 gold; it costs him hit points:
//    his current stat 6 less 20); the party leaves and comes back in, and
//    Bran pays the room (50: Melkoran's asks 50 a level, the party's
//    average level is 1); eight hours pass and every member regains half of
//    the hit points and a quarter of the spell points it lacks;
//  - the party leaves at night, saves, quits; the quest is loaded and saved
//    again, and holds the same.
// The Wheel pays nothing (the wager is lost), the wager back, twice or four
// times it: the party's gold changes by exactly -50, 0, +50 or +150.
//
// VELL_SEED fixes the dice: the Wheel's turn, and the rolls for wandering
// monsters when the party steps out after the night (the town has none by
// day) and when the quest is loaded again at night. With seed 7 the Wheel
// pays four times the wager and the night is calm.
TEST_F(RunTownErrandsTest, WagerAtTheCasinoDrinkAndRentARoomAtMelkoransThenSaveAndLoad) {
    // The whole road, three starts of the game, in the sanitizer build too.
    guardSeconds_ = 10 * kGuardSeconds;
    seed_ = 7;
    Shot shot;
    newQuest("t e 1");
    ASSERT_FALSE(HasFatalFailure());
    ventureForth(kParty, shot);
    ASSERT_FALSE(HasFatalFailure());

    const std::string quest = dir_ + "/savegame/TE1";
    auto readQuest = [&] { return savedQuest(quest, dir_); };
    // Saved (ESC, (S)ave on the title menu, back to the street) and read.
    auto saveAndRead = [&](const std::string& where, SavedQuest& saved) {
        save(shot, streetAtAnyHour, where);
        if (!HasFatalFailure())
            saved = readQuest();
    };
    // A walk that ends on a calm street.
    auto walkTo = [&](const Route& r) {
        walk(shot, r);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(streetAtAnyHour(shot)) << "a building or a script on " << r.name;
    };
    // An errand: into the building ahead, its keys (ending in its menu),
    // out onto the street, and a save read back.
    auto errand = [&](const char* building, const std::vector<std::string>& keyNames, const std::string& what,
                      SavedQuest& saved) {
        enter(shot, building);
        if (HasFatalFailure())
            return;
        pressAllUntilChanged(shot, keyNames, what.c_str());
        if (HasFatalFailure())
            return;
        ASSERT_GT(paneText(shot), 300) << what << ": not back in the menu of " << building;
        leave(shot, streetAtAnyHour, what);
        if (!HasFatalFailure())
            saveAndRead(what, saved);
    };

    SavedQuest start;
    saveAndRead("on the street before the Hall", start);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(start.party.size(), size_t(kParty));
    ASSERT_EQ(start.party[0].name, "Bran");
    expectSameSquare(start.world, 14, 24, 270, "the start");
    EXPECT_LT(giltInView(shot), 500) << "a sign on the boulevard, facing away from the Hall";

    // --- the Casino ---------------------------------------------------------------
    // From (14, 24) facing east: south one, west one to the lane at x 13,
    // south down it to y 13, east to x 14, south down x 14 to y 6, west to
    // x 4, and north to face the Casino's door.
    walkTo(routes::hallToCasino());
    ASSERT_FALSE(HasFatalFailure());
    // The door ahead bears its name on a sign.
    EXPECT_GT(giltInView(shot), 4000) << "no sign over the Casino's door";
    SavedQuest beforeCasino;
    saveAndRead("before the Casino", beforeCasino);
    ASSERT_FALSE(HasFatalFailure());
    expectSameSquare(beforeCasino.world, 4, 6, 0, "at the Casino's door");
    expectSameBelongings(start, beforeCasino, "the walk");
    expectGoldChange(start, beforeCasino, 0, 0, "the walk");

    const int64_t wager = 50;
    // (W)heel of Chance, Bran (F1) plays, the wager's digits and RETURN: the
    // outcome. (L)eave the table, ESC out onto (4, 6) facing south.
    SavedQuest afterCasino;
    errand("the Casino", {"w", "F1", "5", "0", "Return", "l"}, "a wager on the Wheel of Chance", afterCasino);
    ASSERT_FALSE(HasFatalFailure());
    expectSameSquare(afterCasino.world, 4, 6, 180, "out of the Casino");
    expectSameBelongings(beforeCasino, afterCasino, "the Casino");
    const int64_t won = afterCasino.party[0].gold - beforeCasino.party[0].gold;
    const std::set<int64_t> lawful = {-wager, 0, wager, 3 * wager};
    EXPECT_TRUE(lawful.count(won)) << "the Wheel paid Bran " << won + wager << " on a wager of " << wager
                                   << ": neither nothing, the wager, twice nor four times it";
    expectGoldChange(beforeCasino, afterCasino, 0, won, "the Casino");
    std::printf("[ outcome ] seed %lld: the Wheel of Chance turned Bran's wager of %lld into %lld (%+lld)\n", seed_,
                (long long)wager, (long long)(won + wager), (long long)won);
    // The step in (2 ticks) and the Casino's 60 on leaving.
    EXPECT_EQ(afterCasino.world.ticks, beforeCasino.world.ticks + 2 + 60);

    // --- the tavern -----------------------------------------------------------------
    // From (4, 6) facing south: east back to x 14, north up to y 13, east
    // to x 20, north up to (20, 21), and west to face the tavern's door.
    walkTo(routes::casinoToMelkorans());
    ASSERT_FALSE(HasFatalFailure());
    // Two hours of rest on the doorstep: 'r', the hours, RETURN; "You feel
    // much rested." (one line), SPACE.
    pressAllUntilChanged(shot, {"r", "2"}, "asking for a rest");
    ASSERT_FALSE(HasFatalFailure());
    keys("Return");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 100 && paneText(s) < 800; }, 120, shot))
        << "no end of the rest; game said:\n" << gameErrors();
    ASSERT_TRUE(endRest(shot, streetAtAnyHour)) << "the rest did not end; game said:\n" << gameErrors();
    SavedQuest beforeDrink;
    saveAndRead("before the tavern", beforeDrink);
    ASSERT_FALSE(HasFatalFailure());
    expectSameSquare(beforeDrink.world, 20, 21, 90, "at the tavern's door");
    expectSameBelongings(afterCasino, beforeDrink, "the walk and the rest");
    expectGoldChange(afterCasino, beforeDrink, 0, 0, "the walk and the rest");
    ASSERT_GE(beforeDrink.world.hour, 12u) << "the tavern opens at noon: the rest was too short";
    ASSERT_LT(beforeDrink.world.hour, 20u) << "the rest went on into the night";

    // (B)uy a drink, Bran (F1) drinks, (T)ongue o'the Dragon, (Y)es to the
    // price, SPACE after its words; ESC out onto (20, 21) facing east.
    SavedQuest afterDrink;
    errand("Melkoran's Tavern", {"b", "F1", "t", "y", "space"}, "a drink", afterDrink);
    ASSERT_FALSE(HasFatalFailure());
    expectSameSquare(afterDrink.world, 20, 21, 270, "out of the tavern");
    expectSameBelongings(beforeDrink, afterDrink, "the drink");
    expectGoldChange(beforeDrink, afterDrink, 0, -100, "the Tongue o'the Dragon");
    const SavedMember& bran = beforeDrink.party[0];
    ASSERT_EQ(bran.stats.size(), size_t(STAT_COUNT));
    ASSERT_LT(bran.stats[STAT_CO], 20) << "the Tongue would not hurt Bran";
    ASSERT_GT(bran.hp + bran.stats[STAT_CO] - 20, 0) << "the Tongue would kill Bran";
    EXPECT_EQ(afterDrink.party[0].hp, bran.hp + bran.stats[STAT_CO] - 20) << "the Tongue's cost in hit points";
    for (size_t i = 1; i < afterDrink.party.size(); ++i)
        EXPECT_EQ(afterDrink.party[i].hp, beforeDrink.party[i].hp) << beforeDrink.party[i].name;
    // The step in, the drink's 30 ticks and the 30 of leaving.
    EXPECT_EQ(afterDrink.world.ticks, beforeDrink.world.ticks + 2 + 30 + 30);

    // Turn around to the door and in again: (R)ent a room, Bran (F1) pays;
    // SPACE after the night, back in the menu (the tavern is open in the
    // evening); ESC out.
    pressUntilChanged(shot, "Down", "turning to the tavern's door");
    ASSERT_FALSE(HasFatalFailure());
    SavedQuest afterNight;
    errand("Melkoran's Tavern", {"r", "F1", "space"},
           "a room for the night (then a wandering monster? seed " + std::to_string(seed_) + ")", afterNight);
    ASSERT_FALSE(HasFatalFailure());
    expectSameSquare(afterNight.world, 20, 21, 270, "out of the tavern after the night");
    expectSameBelongings(afterDrink, afterNight, "the night");
    expectGoldChange(afterDrink, afterNight, 0, -50, "the room");
    for (size_t i = 0; i < afterNight.party.size(); ++i) {
        const SavedMember& m = afterDrink.party[i];
        EXPECT_EQ(afterNight.party[i].hp, m.hp + (m.maxHp - m.hp) / 2) << m.name << ": half the missing hit points";
        EXPECT_EQ(afterNight.party[i].sp, m.sp + (m.maxSp - m.sp) / 4) << m.name << ": a quarter of the missing spell points";
    }
    EXPECT_LT(afterNight.party[0].hp, afterNight.party[0].maxHp) << "one night does not heal Bran whole";
    // The turn, the step in, eight hours and the leaving.
    EXPECT_EQ(afterNight.world.ticks, afterDrink.world.ticks + 1 + 2 + 1920 + 30);
    EXPECT_GE(afterNight.world.hour, 20u) << "the night's room ends in the evening";
    quit();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(goldOf(afterNight.party), goldOf(start.party) + won - 100 - 50);

    // --- loaded and saved again -----------------------------------------------------
    load(shot, streetAtAnyHour, "onto a calm street (a wandering monster? seed " + std::to_string(seed_) + ")");
    ASSERT_FALSE(HasFatalFailure());
    save(shot, streetAtAnyHour, "after loading");
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());
    const SavedQuest again = readQuest();
    expectSameSquare(again.world, 20, 21, 270, "loaded and saved again");
    EXPECT_EQ(again.world.ticks, afterNight.world.ticks) << "loading and saving passed time";
    expectSameBelongings(afterNight, again, "loaded and saved again");
    expectGoldChange(afterNight, again, 0, 0, "loaded and saved again");
    for (size_t i = 0; i < afterNight.party.size() && i < again.party.size(); ++i) {
        EXPECT_EQ(again.party[i].hp, afterNight.party[i].hp) << afterNight.party[i].name;
        EXPECT_EQ(again.party[i].sp, afterNight.party[i].sp) << afterNight.party[i].name;
    }
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

} // namespace
