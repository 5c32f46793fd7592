// A whole-program run through the sample story: from the town down the
// stairs into the catacombs and back, meeting the story's squares on the way,
// then a save, a load and a second save. The built vellrun is driven by real
// key presses; every key is pressed once the screen has come to rest on the
// state it is meant for, and every step says where the party should stand,
// so that a failure tells where the road went wrong.
#include "RunGame.h"

using namespace rungame;

namespace {

const std::vector<const char*> kStoryVars = {"WardenQuest", "ChestCrypt", "ShrineDay"};

int copies(const std::vector<std::string>& v, const std::string& what)
{
    return int(std::count(v.begin(), v.end(), what));
}

class RunCatacombsTest : public RunGameTest {
protected:
    // The main view with the whole party and nothing in the text pane: the
    // frame in the corner, the parchment pane, the roster. (Not the view's
    // brightness: a darkness trap may black it out.)
    static bool mainScreen(const Shot& s) { return frameAndPane(s) && rosterRows(s) == kParty; }
    static bool calm(const Shot& s) { return mainScreen(s) && paneText(s) < 50; }

    // The screen now, kept beside the game folder for whoever reads the failure.
    void keep(const std::string& what)
    {
        Shot now;
        if (now.take(dpy_))
            now.savePPM(std::string(VELL_GAME_DIR) + "/../catacombs-" + what + ".ppm");
    }

    // Keys on the main view where nothing should happen but a turn or a
    // step: after each the screen comes to rest on the main view with an
    // empty pane. (A step along a passage whose look repeats may change
    // nothing: then the view must only come to rest.)
    void walk(Shot& shot, const std::vector<std::string>& keyNames, const std::string& where)
    {
        for (size_t i = 0; i < keyNames.size(); ++i) {
            const Shot last = shot;
            keys(keyNames[i]);
            const bool changed = waitSettled(
                [&](const Shot& s) { return differing(last, s, 0, 0, s.width, s.height) > 0; }, 8, shot);
            if (!changed && !waitSettled([](const Shot&) { return true; }, 30, shot)) {
                keep("stuck");
                FAIL() << where << ", key " << i + 1 << " (" << keyNames[i]
                       << "): the screen never came to rest; game said:\n"
                       << gameErrors();
            }
            meetTheUnexpected(shot, where + ", key " + std::to_string(i + 1) + " (" + keyNames[i] + ")");
            if (HasFatalFailure())
                return;
        }
    }

    // Where only the view should have changed, something else may come:
    // wandering monsters (the party runs: 'r'), whispers ('w': it walks
    // on) or a draught of cold air (SPACE). Each key is tried in turn until
    // the main view is back; a key the screen ignores changes nothing. A
    // fight the party cannot run from fails the test.
    void meetTheUnexpected(Shot& shot, const std::string& where)
    {
        for (const char* key : {"r", "w", "space"}) {
            if (calm(shot))
                return;
            if (key == std::string("r"))
                std::printf("[ road ] %s: met something on the road\n", where.c_str());
            const Shot last = shot;
            keys(key);
            if (waitSettled([&](const Shot& s) { return differing(last, s, 0, 0, s.width, s.height) > 0; }, 10,
                            shot))
                std::printf("[ road ] %s: answered with '%s'\n", where.c_str(), key);
            else
                // A busy machine may answer late: the next key is chosen on
                // the screen as it stands once the game rests, never on the
                // old one (a 'w' on the main view would be a step).
                waitSettled([](const Shot&) { return true; }, 30, shot);
        }
        if (!calm(shot)) {
            keep("unexpected");
            FAIL() << where << ": a text or another screen where only the view should change, and neither running "
                   << "(r), walking on (w) nor SPACE led back to the main view (a fight the party could not run "
                   << "from?); the screen is in catacombs-unexpected.ppm; game said:\n"
                   << gameErrors();
        }
    }

    // Waits until the text pane holds text and stays the same over three
    // shots (the view beside it may move: a fountain, a fire).
    bool paneAtRest(const std::function<bool(const Shot&)>& pred, double seconds, Shot& shot)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        Shot prev;
        int same = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            Shot cur;
            if (cur.take(dpy_) && pred(cur)) {
                same = !prev.rgb.empty() && differing(prev, cur, 730, 70, 250, 380) == 0.0 ? same + 1 : 0;
                prev = cur;
                if (same >= 2) {
                    shot = cur;
                    return true;
                }
            } else {
                same = 0;
                prev = Shot();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        return false;
    }

    // A key answered by a new text in the pane (a script's next words, the
    // chest's next state).
    void answer(Shot& shot, const std::string& key, const std::string& what)
    {
        const Shot last = shot;
        keys(key);
        if (!paneAtRest([&](const Shot& s) { return paneText(s) > 100 && differing(last, s, 730, 70, 250, 380) > 0; },
                        40, shot)) {
            keep("no-answer");
            FAIL() << what << " (" << key << "): the pane did not show the next text; the screen is in "
                   << "catacombs-no-answer.ppm; game said:\n"
                   << gameErrors();
        }
    }

    // A step onto a scripted square, or a turn on it (which sets it off
    // again): its text (at least `text` dark pixels) comes into the pane.
    void arrive(Shot& shot, int text, const std::string& what, const std::string& key = "Up")
    {
        keys(key);
        if (!paneAtRest([&](const Shot& s) { return paneText(s) > text; }, 40, shot)) {
            keep("no-text");
            FAIL() << what << "; the screen is in catacombs-no-text.ppm; game said:\n" << gameErrors();
        }
    }

    // A key on a story square that has nothing more to say (its story is
    // done, or the party only turns on it): the view moves, and the screen
    // comes to rest on the main view with an empty pane. (Nothing else can
    // come there: no random event or wandering monster on a square with an
    // event of its own.)
    void quietly(Shot& shot, const std::string& key, const std::string& what)
    {
        const Shot last = shot;
        keys(key);
        if (!waitSettled([&](const Shot& s) { return differing(last, s, 0, 0, s.width, s.height) > 0; }, 20, shot) ||
            !calm(shot)) {
            keep("spoke");
            FAIL() << what << " (" << key << "): the square spoke, or the screen did not come to rest; the screen "
                   << "is in catacombs-spoke.ppm; game said:\n"
                   << gameErrors();
        }
    }

    // ESC to the title menu and (C)ontinue: the square the party stands on
    // runs its script again, and says nothing when its story is done.
    void backFromTheTitle(Shot& shot, const std::string& where)
    {
        keys("Escape");
        ASSERT_TRUE(waitSettled(menuVisible, 30, shot)) << where << ": no title menu; game said:\n" << gameErrors();
        keys("c");
        if (!waitSettled(mainScreen, 40, shot) || !calm(shot)) {
            keep("spoke");
            FAIL() << where << ", back from the title menu: the square spoke, or the quest did not come back; the "
                   << "screen is in catacombs-spoke.ppm; game said:\n"
                   << gameErrors();
        }
    }

    // The last key of a scripted square: its text goes, the main view is back.
    void leaveText(Shot& shot, const std::string& key, const std::string& what)
    {
        keys(key);
        if (!waitSettled(calm, 40, shot)) {
            keep("not-back");
            FAIL() << what << " (" << key << "): the main view did not come back; game said:\n" << gameErrors();
        }
    }

    // The quest saved and shown again.
    void saveHere(Shot& shot, const std::string& where)
    {
        save(shot, mainScreen, where);
        if (HasFatalFailure())
            return;
        // Back in the quest, time goes on: the road may meet something.
        meetTheUnexpected(shot, where + ", back from saving");
    }

    // The time report ('/'), and SPACE back: the report's picture.
    void timeReport(Shot& shot, Shot& report, const std::string& where)
    {
        keys("slash");
        ASSERT_TRUE(waitSettled([](const Shot& s) { return paneText(s) > 300; }, 30, report))
            << where << ": no time report; game said:\n" << gameErrors();
        keys("space");
        ASSERT_TRUE(waitSettled(calm, 30, shot)) << where << ": the report did not close; game said:\n"
                                                 << gameErrors();
    }
};

// From the Hall onto the boulevard; the Warden (14, 22) gives his quest and
// the Sealed Letter; the sphinx (12, 19) hears "echo" and opens its coffer
// (gold and a Rope for Bran); east along the street at y 19 and south down
// the east side to the stairs (26, 3), which ask first: (N)o steps back
// onto (26, 4), and the second time (Y)es leads down. In the catacombs, out
// at (1, 2), whose time report tells no facing but whose automap's arrow
// does:
// north up the passage over the pit (1, 5); the crypt's chest (1, 14) is
// opened bare-handed by Bran (darts) and emptied; east and south into the
// mossy hall over its darkness (6, 11) to the shrine (4, 11), where the
// party prays; a save on the square beside it. Back the same way (the chest
// now empty, the pit sprung), up the stairs (1, 1) ((Y)es) into the town at
// (26, 4); a save, quit, load and a second save hold the same quest. The
// squares whose story is done say nothing: the sphinx, the emptied chest and
// the shrine after the prayer, on a turn, on a step back onto the chest, and
// when the quest comes back from the title menu.
//
// VELL_SEED fixes the dice, so the road is the same every run: with this
// seed wandering monsters may come, and the party runs from them; nothing
// else comes its way, and the pit and the darts hurt no one badly. (With
// another seed the road may meet a fight the party cannot run from: the walk
// then fails saying where.)
TEST_F(RunCatacombsTest, DownTheStairsThroughTheStorysSquaresAndBackSaveAndLoad)
{
    seed_ = 1;
    guardSeconds_ = 15 * kGuardSeconds;
    const auto began = std::chrono::steady_clock::now();
    Shot shot;
    newQuest("c t 1");
    ASSERT_FALSE(HasFatalFailure());
    ventureForth(kParty, shot);
    ASSERT_FALSE(HasFatalFailure());
    const std::string quest = dir_ + "/savegame/CT1";
    const std::vector<SavedMember> before = savedParty(dir_ + "/data/savegame.dat", dir_);
    ASSERT_EQ(before.size(), size_t(kParty)) << "the template's party";
    ASSERT_EQ(before[0].name, "Bran");

    // --- the town ---------------------------------------------------------
    Shot townReport;
    timeReport(shot, townReport, "on (14, 24) before the walk");
    ASSERT_FALSE(HasFatalFailure());

    walk(shot, {"Right", "Up"}, "from the Hall's door south to (14, 23)");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 300, "the Warden (14, 22) does not speak");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "y", "the Warden: (Y)es to his quest");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "space", "the Warden hands over his letter");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "t", "the Warden's letter: Bran (T)akes it");
    ASSERT_FALSE(HasFatalFailure());
    leaveText(shot, "space", "the Warden's letter taken");
    ASSERT_FALSE(HasFatalFailure());

    walk(shot, {"Up", "Up", "Up", "Right", "Up"}, "south to (14, 19) and west to (13, 19)");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 300, "the sphinx (12, 19) asks no riddle");
    ASSERT_FALSE(HasFatalFailure());
    const Shot riddle = shot;
    keys("e c h o");
    ASSERT_TRUE(paneAtRest([&](const Shot& s) { return differing(riddle, s, 730, 70, 250, 380) > 0; }, 30, shot))
        << "the answer is not typed; game said:\n" << gameErrors();
    answer(shot, "Return", "the sphinx: the answer");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "space", "the sphinx's coffer");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "o", "the coffer: (O)pen");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "F1", "the coffer: Bran opens it (no trap)");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "t", "the coffer: (T)ake the Rope");
    ASSERT_FALSE(HasFatalFailure());
    leaveText(shot, "space", "the coffer is empty");
    ASSERT_FALSE(HasFatalFailure());

    // The sphinx's story is done: she says nothing when the party turns on
    // her square, nor when the quest comes back from the title menu.
    quietly(shot, "Down", "a turn on the sphinx's square (12, 19)");
    ASSERT_FALSE(HasFatalFailure());
    backFromTheTitle(shot, "on the sphinx's square (12, 19)");
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> road(14, "Up");
    road.push_back("Right");
    road.insert(road.end(), 15, "Up");
    walk(shot, road, "from the sphinx east to (26, 19) and south to (26, 4)");
    ASSERT_FALSE(HasFatalFailure());
    // The stairs ask, as the well does; (N)o puts the party back on (26, 4)
    // facing north, so that it turns round to them again.
    arrive(shot, 100, "the stairs (26, 3) ask nothing");
    ASSERT_FALSE(HasFatalFailure());
    leaveText(shot, "n", "the stairs: (N)o");
    ASSERT_FALSE(HasFatalFailure());
    walk(shot, {"Down"}, "back on (26, 4), turning to the stairs");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 100, "the stairs (26, 3) ask nothing the second time");
    ASSERT_FALSE(HasFatalFailure());
    const Shot town = shot;
    keys("y");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(town, s, kView) > 0.2; }, 40, shot))
        << "the stairs (26, 3) did not lead down; game said:\n" << gameErrors();
    meetTheUnexpected(shot, "at the foot of the stairs (1, 2)");
    ASSERT_FALSE(HasFatalFailure());

    // --- the catacombs ------------------------------------------------------
    Shot cellarReport;
    timeReport(shot, cellarReport, "in the catacombs at (1, 2)");
    ASSERT_FALSE(HasFatalFailure());
    // Under the ground the report does not tell the facing: the band of
    // that line is empty down here and written in the town.
    EXPECT_GT(paneBand(townReport, 172, 22), 30) << "no facing in the town's time report";
    EXPECT_LT(paneBand(cellarReport, 172, 22), 5) << "a facing in the catacombs' time report";
    // The automap shows it: the party's arrow (yellow on its square).
    keys("Tab");
    Shot automap;
    auto arrow = [](const Shot& s) {
        return s.count(kView.x, kView.y, kView.w, kView.h,
                       [](int r, int g, int b) { return r > 240 && g > 200 && g < 235 && b < 70; });
    };
    EXPECT_TRUE(waitSettled([&](const Shot& s) { return arrow(s) >= 20; }, 30, automap))
        << "no arrow of the party on the catacombs' automap; game said:\n" << gameErrors();
    keys("Tab");
    ASSERT_TRUE(waitSettled(calm, 30, shot)) << "the automap did not close; game said:\n" << gameErrors();

    walk(shot, {"Up", "Up"}, "north from the stairs to (1, 4)");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 100, "the pit (1, 5) does not open");
    ASSERT_FALSE(HasFatalFailure());
    leaveText(shot, "space", "the pit");
    ASSERT_FALSE(HasFatalFailure());

    walk(shot, std::vector<std::string>(8, "Up"), "north up the passage to (1, 13)");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 300, "no chest in the crypt (1, 14)");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "o", "the crypt's chest: (O)pen");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "F1", "the crypt's chest: Bran opens it and springs the darts");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "space", "the crypt's chest: open");
    ASSERT_FALSE(HasFatalFailure());
    // The Iron Cap and what the catacombs' random finds put beside it:
    // (T)ake until the pane stays as it is.
    int taken = 0;
    for (; taken < 4; ++taken) {
        const Shot last = shot;
        keys("t");
        if (!paneAtRest([&](const Shot& s) { return differing(last, s, 730, 70, 250, 380) > 0; }, 8, shot))
            break;
    }
    ASSERT_GE(taken, 1) << "nothing taken from the crypt's chest";
    leaveText(shot, "space", "the crypt's chest is empty");
    ASSERT_FALSE(HasFatalFailure());

    quietly(shot, "Right", "a turn at the crypt's emptied chest (1, 14)");
    ASSERT_FALSE(HasFatalFailure());
    road = std::vector<std::string>(5, "Up");
    road.insert(road.end(), {"Right", "Up", "Up", "Up", "Right", "Up"});
    walk(shot, road, "from the crypt east to (6, 14), south into the mossy hall (6, 11) and west to (5, 11)");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 300, "no shrine at (4, 11)");
    ASSERT_FALSE(HasFatalFailure());
    answer(shot, "p", "the shrine: (P)ray");
    ASSERT_FALSE(HasFatalFailure());
    leaveText(shot, "space", "the shrine's warmth");
    ASSERT_FALSE(HasFatalFailure());
    // Prayed at, the shrine is quiet for the day: on a turn, and when the
    // quest comes back from the title menu. One step east, a save.
    quietly(shot, "Down", "a turn at the shrine (4, 11) after the prayer");
    ASSERT_FALSE(HasFatalFailure());
    backFromTheTitle(shot, "on the shrine's square (4, 11)");
    ASSERT_FALSE(HasFatalFailure());
    walk(shot, {"Up"}, "from the shrine east to (5, 11)");
    ASSERT_FALSE(HasFatalFailure());
    saveHere(shot, "beside the shrine");
    ASSERT_FALSE(HasFatalFailure());
    const SavedWorld atShrine = savedWorld(quest, kStoryVars);
    EXPECT_EQ(describe(atShrine), "maps/catacombs.cfg (5, 11) facing 270");
    EXPECT_EQ(atShrine.vars.at("WardenQuest"), 1) << "the Warden's quest taken";
    EXPECT_EQ(atShrine.vars.at("ChestCrypt"), 1) << "the crypt's chest opened";
    EXPECT_GT(atShrine.vars.at("ShrineDay"), 0) << "the shrine prayed at";
    const std::vector<SavedMember> shrine = savedParty(quest, dir_);
    ASSERT_EQ(namesOf(shrine), namesOf(before));
    std::string pack;
    for (const std::string& item : shrine[0].pack)
        pack += (pack.empty() ? "" : ", ") + item;
    std::printf("[ road ] beside the shrine, Bran carries %s and %lld gold\n", pack.c_str(),
                static_cast<long long>(shrine[0].gold));
    // Bran took the coffer's gold (40 to 60) and Rope, the chest's 45 gold,
    // its Iron Cap and whatever else it held; someone carries the Warden's
    // letter.
    const int64_t found = shrine[0].gold - before[0].gold;
    EXPECT_GE(found, 45 + 40);
    EXPECT_LE(found, 45 + 60);
    EXPECT_EQ(goldOf(shrine) - goldOf(before), found);
    EXPECT_EQ(copies(shrine[0].pack, "Rope"), 1);
    EXPECT_EQ(copies(shrine[0].pack, "Iron Cap"), 1);
    EXPECT_EQ(shrine[0].pack.size(), before[0].pack.size() + 1 + taken + copies(shrine[0].pack, "Sealed Letter"));
    int letters = 0;
    for (const SavedMember& m : shrine)
        letters += copies(m.pack, "Sealed Letter");
    EXPECT_EQ(letters, 1) << "the Warden's letter";

    // --- back ----------------------------------------------------------------
    road = {"Up", "Left", "Up", "Up", "Up", "Left"};
    road.insert(road.end(), 4, "Up");
    walk(shot, road, "from beside the shrine east, north out of the hall and west to (2, 14)");
    ASSERT_FALSE(HasFatalFailure());
    quietly(shot, "Up", "back onto the crypt's emptied chest (1, 14)");
    ASSERT_FALSE(HasFatalFailure());
    quietly(shot, "Left", "a turn at the crypt's emptied chest (1, 14)");
    ASSERT_FALSE(HasFatalFailure());
    road = std::vector<std::string>(12, "Up");   // over the sprung pit
    walk(shot, road, "from the crypt south down the passage to (1, 2)");
    ASSERT_FALSE(HasFatalFailure());
    arrive(shot, 100, "the stairs up (1, 1) ask nothing");
    ASSERT_FALSE(HasFatalFailure());
    const Shot cellar = shot;
    keys("y");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(cellar, s, kView) > 0.2; }, 40, shot))
        << "the stairs (1, 1) did not lead up; game said:\n" << gameErrors();
    meetTheUnexpected(shot, "at the head of the stairs (26, 4)");
    ASSERT_FALSE(HasFatalFailure());
    Shot backReport;
    timeReport(shot, backReport, "back in the town at (26, 4)");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(paneBand(backReport, 172, 22), 30) << "no facing in the town's time report: not outdoors";

    saveHere(shot, "back in the town");
    ASSERT_FALSE(HasFatalFailure());
    const Shot saved = shot;
    quit();
    ASSERT_FALSE(HasFatalFailure());
    const SavedWorld back = savedWorld(quest, kStoryVars);
    EXPECT_EQ(describe(back), "maps/renibister.cfg (26, 4) facing 0");
    EXPECT_EQ(back.vars, atShrine.vars);
    const std::vector<SavedMember> home = savedParty(quest, dir_);
    ASSERT_EQ(namesOf(home), namesOf(before));
    for (size_t i = 0; i < home.size(); ++i) {
        EXPECT_EQ(home[i].slots, shrine[i].slots) << home[i].name;
        EXPECT_EQ(home[i].pack, shrine[i].pack) << home[i].name;
        EXPECT_EQ(home[i].gold, shrine[i].gold) << home[i].name;
    }

    // Loaded, the quest stands where it was saved; saved again, it holds the
    // same party, place and story.
    load(shot, calm, "back in the town");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(differing(saved, shot, kView), 0.0) << "the loaded quest does not stand where it was saved";
    EXPECT_EQ(differing(saved, shot, kCompass), 0.0);
    saveHere(shot, "after loading");
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());
    const SavedWorld again = savedWorld(quest, kStoryVars);
    EXPECT_EQ(describe(again), describe(back));
    EXPECT_EQ(again.vars, back.vars);
    const std::vector<SavedMember> reloaded = savedParty(quest, dir_);
    ASSERT_EQ(reloaded.size(), home.size());
    for (size_t i = 0; i < home.size(); ++i) {
        EXPECT_EQ(reloaded[i].name, home[i].name);
        EXPECT_EQ(reloaded[i].slots, home[i].slots) << home[i].name;
        EXPECT_EQ(reloaded[i].pack, home[i].pack) << home[i].name;
        EXPECT_EQ(reloaded[i].gold, home[i].gold) << home[i].name;
        EXPECT_EQ(reloaded[i].spells, home[i].spells) << home[i].name;
    }
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    std::printf("[ figures ] the catacombs run: %.0f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
    masterITL.clear();
}

} // namespace
