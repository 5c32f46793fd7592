// Whole-program runs: the title, new quests, the party screens, the town's
// first errands, and the ways the game ends.
#include "RunGame.h"

using namespace rungame;

namespace {

// A newcomer's road: a new quest from the title menu shows the town with
// the template's ready-made party; the party walks (and does not walk into
// a wall); ESC leads back to the title, which saves; after a restart the
// loaded quest shows the party where it stood.
//
// Every key is pressed only once the screen shows the state that the key is
// meant for and the game sleeps waiting for input: keys typed ahead would
// reach whatever screen the slow (sanitizer) build happens to show then.
TEST_F(RunGameTest, SkipIntroNewQuestWalkSaveAndLoad) {
    start({"-w", "-skipintro"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    Shot shot;
    // The title picture first; any key leads to the menu.
    ASSERT_TRUE(waitSettled(notBlack, 30, title_)) << "no title picture; game said:\n" << gameErrors();
    keys("space");
    ASSERT_TRUE(waitForScreen(menuVisible, 20, shot)) << "no title menu; game said:\n" << gameErrors();
    const double startup =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    keepShot(shot, "title-menu");
    std::printf("[ figures ] start-up to the title menu (-skipintro, one key): %.2f s\n", startup);

    // Waiting for a key must not keep a core busy.
    double cpu0 = gameCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    double cpu1 = gameCpuSeconds();
    if (cpu0 >= 0 && cpu1 >= 0) {
        std::printf("[ figures ] CPU used by the idle title menu: %.0f%% of a core\n", (cpu1 - cpu0) * 50);
        EXPECT_LT(cpu1 - cpu0, 1.0) << "the title menu spins while it waits";
    }

    // A new quest: its archive is a copy of the template, and the game shows
    // the town with the template's party.
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("n a b 1 Return");
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot start0;
    ventureForth(kParty, start0);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(exists(dir_ + "/savegame/AB1"));
    EXPECT_EQ(readFile(dir_ + "/savegame/AB1").substr(0, 4), readFile(dir_ + "/data/savegame.dat").substr(0, 4));
    keepShot(start0, "quest-start");

    // The party starts in the Hall (13, 24); venturing forth puts it on the
    // street before it, (14, 24) facing east, a house ahead.
    // UP into the wall, then RIGHT; LEFT brings the old facing back: the
    // view is the one the quest started with, so the UP moved nothing.
    auto compassMoved = [&](const Shot& from) {
        return [&, from](const Shot& s) { return inQuest(s) && differing(from, s, kCompass) > 0.05; };
    };
    Shot east, north;
    keys("Up Right");
    ASSERT_TRUE(waitSettled(compassMoved(start0), 20, east)) << "no turn to the east; game said:\n" << gameErrors();
    keys("Left");
    ASSERT_TRUE(waitSettled(compassMoved(east), 20, north)) << "no turn back north; game said:\n" << gameErrors();
    EXPECT_EQ(differing(start0, north, kCompass), 0.0);
    EXPECT_EQ(differing(start0, north, kView), 0.0) << "a step into the wall changed the view";

    // RIGHT again, then UP onto the street in front of the Hall: the view
    // changes, the roster stays.
    keys("Right");
    ASSERT_TRUE(waitSettled(compassMoved(north), 20, east)) << gameErrors();
    keys("Up");
    auto stepped = [&](const Shot& s) { return inQuest(s) && differing(east, s, kView) > 0.05; };
    Shot street;
    ASSERT_TRUE(waitSettled(stepped, 20, street)) << "UP did not walk; game said:\n" << gameErrors();
    EXPECT_EQ(differing(east, street, kCompass), 0.0);

    // ESC: the title menu; S saves the quest and goes back to it; ESC again,
    // and the game quits.
    auto sameStreet = [&](const Shot& s) { return inQuest(s) && differing(street, s, kView) == 0.0; };
    save(shot, sameStreet, "on the street");
    quit();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();

    // A new start: loading the quest shows the street where the party stood.
    Shot loaded;
    load(loaded, inQuest, "on the street");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(differing(street, loaded, kView), 0.0) << "the loaded quest does not stand where it was saved";
    EXPECT_EQ(differing(street, loaded, kCompass), 0.0);
    quit();
}

// A scripted square of the town, as a player meets it: two steps south of
// the Hall the Warden speaks (his picture in the view, his words and the
// options in the text pane); 'n' declines, SPACE ends his farewell, and the
// street is back.
TEST_F(RunGameTest, TheWardenSpeaksOnHisSquare) {
    Shot shot;
    newQuest("a b 1");
    ASSERT_FALSE(HasFatalFailure());
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot start0;
    ventureForth(kParty, start0);
    EXPECT_LT(paneText(start0), 50) << "text in the pane before any script";
    keys("Right");
    Shot south;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(start0, s, kCompass) > 0.05; }, 20,
                            south))
        << gameErrors();
    keys("Up");
    Shot street;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(south, s, kView) > 0.05; }, 20,
                            street))
        << gameErrors();
    keys("Up");
    Shot talk;
    // The Warden stands by the fountain, whose water moves: the screen never
    // settles while he speaks.
    ASSERT_TRUE(waitForScreen([&](const Shot& s) { return paneText(s) > 300; }, 20, talk))
        << "the Warden does not speak; game said:\n" << gameErrors();
    keepShot(talk, "warden");
    EXPECT_GT(differing(street, talk, kView), 0.05) << "no picture of the Warden";
    keys("n");
    Shot farewell;
    ASSERT_TRUE(waitForScreen([&](const Shot& s) { return differing(talk, s, 730, 70, 250, 370) > 0.01; }, 20,
                              farewell))
        << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && paneText(s) < 50; }, 20, shot))
        << "the street does not come back; game said:\n" << gameErrors();
    quit();
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

TEST_F(RunGameTest, TheAutomapTheTimeAndARestFromTheMainView) {
    start({"-w", "-skipintro"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    Shot shot;
    ASSERT_TRUE(waitSettled(notBlack, 30, title_)) << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("n a b 1 Return");
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot street;
    ventureForth(kParty, street);
    // The automap: the view turns black but for the squares seen.
    auto mapShown = [](const Shot& s) {
        const int dark = s.count(kView.x, kView.y, kView.w, kView.h, [](int r, int g, int b) { return r + g + b < 30; });
        return dark > kView.w * kView.h * 8 / 10;
    };
    keys("Tab");
    Shot map;
    ASSERT_TRUE(waitSettled(mapShown, 20, map)) << gameErrors();
    EXPECT_GT(paneText(map), 50) << "Viewing Map...";
    // The square at the Hall's door where the party stands is seen (in the
    // party's colour).
    EXPECT_GT(map.count(kView.x, kView.y, kView.w, kView.h,
                        [](int r, int g, int b) { return std::abs(r - 111) < 8 && std::abs(g - 117) < 8 && std::abs(b - 59) < 8; }),
              50)
        << "the party's square is a seen square";
    keys("Tab");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && !mapShown(s); }, 20, shot)) << gameErrors();
    // The time.
    keys("slash");
    Shot time;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 300; }, 20, time)) << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && paneText(s) < 50; }, 20, shot)) << gameErrors();
    // An hour of rest in steps made longer while resting, and the time
    // again: later than before.
    keys("r 1 Return period period period period period period period period period period");
    Shot rested;
    // One line at the top of the pane: far less than the three of the date.
    const int dateText = paneText(time);
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 20 && paneText(s) < dateText / 2; }, 60, rested))
        << "no \"You feel much rested.\"; game said:\n" << gameErrors();
    keys("space");
    // (An hour on the light and the weather may differ: the pane alone
    // tells that the main view is back.)
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) < 50; }, 20, shot)) << gameErrors();
    keys("slash");
    Shot later;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 300; }, 20, later)) << gameErrors();
    EXPECT_GT(differing(time, later, 730, 70, 250, 80), 0.0) << "the clock has moved on";
    keys("space");
    quit();
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

TEST_F(RunGameTest, SilentRunIntroAndCreditsStopOnKeys) {
    start({"-w", "-s"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    // The introduction movie plays: the screen changes.
    Shot first, shot;
    ASSERT_TRUE(waitForScreen(notBlack, 20, first)) << gameErrors();
    auto moving = [&](const Shot& s) { return differing(first, s, 0, 0, s.width, s.height) > 0.05; };
    EXPECT_TRUE(waitForScreen(moving, 10, shot)) << "the introduction movie does not play";
    // SPACE stops the movie; the title picture follows once the game has
    // started (it then waits for a key), and after its key the menu is up.
    keys("space");
    ASSERT_TRUE(waitSettled(notBlack, 30, title_)) << "no title picture; game said:\n" << gameErrors();
    keys("space");
    ASSERT_TRUE(waitForScreen(menuVisible, 10, shot)) << gameErrors();
    // The credits movie and the scrolling credits, each stopped with ESC,
    // come back to the menu.
    const Shot menu = shot;
    keys("v");
    auto notMenu = [&](const Shot& s) { return differing(menu, s, 0, 0, s.width, s.height) > 0.3; };
    EXPECT_TRUE(waitForScreen(notMenu, 10, shot)) << "the credits do not play";
    keys("Escape");
    // Then the scrolling credits, over black; ESC ends them too.
    auto scrolling = [&](const Shot& s) {
        return s.count(0, 0, s.width, s.height, [](int r, int g, int b) { return r + g + b < 30; }) >
               s.width * s.height * 85 / 100;
    };
    EXPECT_TRUE(waitForScreen(scrolling, 10, shot)) << "no scrolling credits after the movie";
    keys("Escape");
    ASSERT_TRUE(waitForScreen(menuVisible, 10, shot)) << gameErrors();
    keys("q n q y");
    EXPECT_EQ(finish(), 0) << gameErrors();
}

// The quit event ends the game as the menu's quit does, with exit code 0
// and without saving: SIGTERM at the title picture, Ctrl-C (SIGINT) during
// the introduction movie, the window closed in the middle of a quest.
TEST_F(RunGameTest, QuitEventEndsTheGameFromEveryLoopWithoutSaving) {
    Shot title, menu, shot;
    start({"-w", "-skipintro"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    ASSERT_TRUE(waitSettled(notBlack, 30, title)) << gameErrors();
    ASSERT_TRUE(signalGame(SIGTERM));
    EXPECT_EQ(finish(10), 0) << gameErrors();

    start({"-w", "-s"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    ASSERT_TRUE(waitForScreen(notBlack, 20, shot)) << "no movie; game said:\n" << gameErrors();
    ASSERT_TRUE(signalGame(SIGINT));
    EXPECT_EQ(finish(10), 0) << gameErrors();

    newQuest("a b 1");
    ASSERT_FALSE(HasFatalFailure());
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    ventureForth(kParty, shot);
    if (HasFatalFailure())
        return;
    const std::string quest = readFile(dir_ + "/savegame/AB1");
    keys("Right");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(shot, s, kCompass) > 0.05; }, 20,
                            shot))
        << gameErrors();
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(finish(10), 0) << gameErrors();
    EXPECT_EQ(readFile(dir_ + "/savegame/AB1"), quest) << "closing the window saved the quest";
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

// Started by its whole path from another folder, the game finds its data
// beside itself. (Runs that end normally keep the sound on, through the
// dummy driver: in the sanitizer build the leak checker's own tracer has
// been seen to crash at the exit of a silent run without the movie.)
TEST_F(RunGameTest, StartedFromAnotherFolderFindsItsData) {
    start({"-w", "-skipintro"}, "/");
    Shot title, menu;
    toTheMenu(title, menu);
    ASSERT_TRUE(signalGame(SIGTERM));
    EXPECT_EQ(finish(10), 0) << gameErrors();
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

// SDL that cannot start (no display): exit code 1, and the reason.
TEST_F(RunGameTest, SdlThatCannotStartSaysWhy) {
    start({"-w", "-skipintro", "-s"}, "", ":4711");
    EXPECT_EQ(finish(), 1);
    EXPECT_NE(gameErrors().find("ERROR: Could not start SDL: "), std::string::npos) << gameErrors();
}

// A damaged quest chosen in the list (a file that is no quest, and one
// emptied to 0 bytes, an archive with no adventurers in it): the title menu
// says why it cannot be played, and the game goes on.
TEST_F(RunGameTest, DamagedQuestIsExplainedOnTheTitle) {
    const struct {
        const char* name;
        const char* bytes;
    } quests[] = {{"BROKEN", "not a quest at all"}, {"EMPTY", ""}};
    for (const auto& q : quests) {
        SCOPED_TRACE(q.name);
        ASSERT_EQ(shell("rm -f '" + dir_ + "'/savegame/*"), 0);
        testfiles::writeFile(dir_ + "/savegame/" + q.name, q.bytes);
        start({"-w", "-skipintro"});
        Shot title, menu, list, told;
        toTheMenu(title, menu);
        keys("l");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return menuOver(title, s) && differing(menu, s, 256, 128, 512, 512) > 0; },
                                20, list))
            << gameErrors();
        keys("Return");
        ASSERT_TRUE(waitSettled([&](const Shot& s) {
            return menuOver(title, s) && differing(list, s, 256, 128, 512, 512) > 0 &&
                   differing(menu, s, 256, 128, 512, 512) > 0;
        }, 30, told))
            << "no message; game said:\n" << gameErrors();
        EXPECT_NE(gameErrors().find("Could not load quest"), std::string::npos) << gameErrors();
        if (*q.bytes) {
            EXPECT_EQ(readFile(dir_ + "/savegame/" + q.name), q.bytes);
        }
        keys("space");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(menu, s, 0, 0, s.width, s.height) == 0.0; }, 20,
                                told))
            << "SPACE does not lead back to the menu";
        keys("q");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(menu, s, 256, 128, 512, 512) > 0; }, 20, told));
        keys("y");
        EXPECT_EQ(finish(), 0) << gameErrors();
    }
}

TEST_F(RunGameTest, BadOptionExitsWith255) {
    start({"-w", "-bogus"});
    EXPECT_EQ(finish(), 255);
    EXPECT_EQ(gameErrors(), "ERROR: Incorrect command line option!\n");
}

TEST_F(RunGameTest, MissingMasterDataStopsWithAnError) {
    for (const char* file : {"data/item.dat", "data/class.dat"}) {
        ASSERT_EQ(shell("cp '" + dir_ + "/" + file + "' '" + dir_ + "/keep.dat' && rm '" + dir_ + "/" + file + "'"),
                  0);
        start({"-w", "-skipintro", "-s"});
        EXPECT_EQ(finish(), 255) << file;
        EXPECT_NE(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
        EXPECT_NE(gameErrors().find(file), std::string::npos) << gameErrors();
        ASSERT_EQ(shell("mv '" + dir_ + "/keep.dat' '" + dir_ + "/" + file + "'"), 0);
    }
}

// Without its data folder the game says so before it opens a window: on a
// display that does not exist it still names the missing data, never the
// display (the window would have come first).
TEST_F(RunGameTest, MissingDataFolderIsToldBeforeTheWindowOpens) {
    ASSERT_EQ(shell("rm -rf '" + dir_ + "/data'"), 0);
    start({"-w"}, "", ":4711");
    EXPECT_EQ(finish(), 255);
    EXPECT_NE(gameErrors().find("ERROR: Missing data file 'data/actions.dat'!"), std::string::npos) << gameErrors();
    EXPECT_EQ(gameErrors().find("Could not start SDL"), std::string::npos) << gameErrors();
}

// A player's road through the party screens: F4 opens Corvin's sheet; his
// staff comes off and goes to Tamsin, who wields it; Bran gives his draught
// to Ysolde; shift-T puts the party in reverse order. The quest is saved,
// left and loaded again, and saved once more: both saves hold the party as
// it was left.
TEST_F(RunGameTest, CharacterSheetGiveEquipReorderSaveAndLoad) {
    Shot shot;
    newQuest("p s 1");
    ASSERT_FALSE(HasFatalFailure());
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot town;
    ventureForth(kParty, town);
    if (HasFatalFailure())
        return;

    // The sheet shows Corvin's portrait where the town was.
    keys("F4");
    auto sheet = [&](const Shot& s) { return differing(town, s, kView) > 0.3; };
    ASSERT_TRUE(waitSettled(sheet, 20, shot)) << "no character sheet; game said:\n" << gameErrors();
    keys("i u t F3 F3 Down e F1 Down Down t F2 Escape Escape");
    auto backInTown = [&](const Shot& s) { return inQuest(s) && differing(town, s, kView) == 0.0; };
    ASSERT_TRUE(waitSettled(backInTown, 20, shot)) << gameErrors();
    keys("shift+t F5 F4 F3 F2 F1");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return backInTown(s) && differing(town, s, kRosterNames) > 0.05; },
                            20, shot))
        << "the roster did not change; game said:\n" << gameErrors();
    save(shot, backInTown, "in town");
    quit();
    if (HasFatalFailure())
        return;

    const std::string quest = dir_ + "/savegame/PS1";
    auto check = [](const std::vector<SavedMember>& p) {
        ASSERT_EQ(p.size(), 5u);
        EXPECT_EQ(p[0].name, "Liesel");
        EXPECT_EQ(p[1].name, "Corvin");
        EXPECT_EQ(p[2].name, "Tamsin");
        EXPECT_EQ(p[3].name, "Ysolde");
        EXPECT_EQ(p[4].name, "Bran");
        EXPECT_EQ(p[1].slots[SLOT_RT_HAND], "") << "Corvin gave his staff away";
        EXPECT_TRUE(p[1].pack.empty());
        EXPECT_EQ(p[2].slots[SLOT_RT_HAND], "Ghost Staff") << "Tamsin wields it";
        EXPECT_EQ(p[2].slots[SLOT_GLOVES], "Iron Gauntlets");
        EXPECT_EQ(p[3].pack, std::vector<std::string>{"Draught of Mending (3)"});
        EXPECT_TRUE(p[4].pack.empty());
        EXPECT_EQ(p[4].slots[SLOT_RT_HAND], "Hand Axe");
    };
    const std::vector<SavedMember> first = savedParty(quest, dir_);
    check(first);

    // Loaded again, the party is as it was left: saving it again stores the
    // same party.
    Shot loaded;
    load(loaded, inQuest, "in town");
    if (HasFatalFailure())
        return;
    EXPECT_GT(differing(town, loaded, kRosterNames), 0.05) << "the roster shows the new order";
    save(shot, inQuest, "after loading");
    quit();
    if (HasFatalFailure())
        return;
    const std::vector<SavedMember> second = savedParty(quest, dir_);
    check(second);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].slots, first[i].slots) << first[i].name;
        EXPECT_EQ(second[i].pack, first[i].pack) << first[i].name;
    }
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}


// A new quest's first errands in town, as a player does them: in the Hall
// two recruits are made (race, gender, portrait, roll, class, name) and
// welcomed into the party, which ventures forth seven strong; it walks the
// town's streets to the Temple (the party is healed), is saved, walks on to
// the Collegium of Magika, where Corvin's sheet (F4) pools the party's gold
// with him; he asks for a spell, but knows every spell of his first level
// already (a new Magician is given them all), and is saved again. Loaded again,
// the roster, the party, its gold and Corvin's spell book come back as they
// were saved.
//
// The quest starts at half past nine: the Temple (from six) and the
// Collegium (nine until five) are open all the way.
TEST_F(RunGameTest, RecruitTwoWalkToTheTempleAndTheCollegiumSaveAndLoad) {
    // The walk is long: in the sanitizer build it takes more than a minute.
    guardSeconds_ = 4 * kGuardSeconds;
    Shot shot;
    newQuest("h a 1");
    ASSERT_FALSE(HasFatalFailure());
    Shot hall;
    ASSERT_TRUE(waitSettled(hallShown, 30, hall)) << "no Hall of Adventurers; game said:\n" << gameErrors();
    auto hallMenu = [&](const Shot& s) { return hallShown(s) && differing(hall, s, 700, 50, 310, 430) == 0.0; };
    // Recruit: Human, male, his portrait, a roll, the first class offered,
    // the name "Rolf"; the Hall's menu comes back. Then Mara, a woman.
    keys("r h m c Return shift+r o l f Return");
    ASSERT_TRUE(waitSettled(hallMenu, 30, shot)) << "the Hall's menu did not come back; game said:\n" << gameErrors();
    keys("r h f c Return shift+m a r a Return");
    ASSERT_TRUE(waitSettled(hallMenu, 30, shot)) << "the Hall's menu did not come back; game said:\n" << gameErrors();
    // Welcome them: the ready-made adventurers are in the party already, so
    // only the recruits are offered, Mara (first by name), then Rolf.
    for (int i = 0; i < 2; ++i) {
        keys("g");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return hallShown(s) && !hallMenu(s); }, 20, shot))
            << "no list of adventurers; game said:\n" << gameErrors();
        keys("Return");
        ASSERT_TRUE(waitSettled(hallMenu, 20, shot)) << gameErrors();
    }
    const int members = kParty + 2;
    Shot street;
    ventureForth(members, street);
    ASSERT_FALSE(HasFatalFailure());

    auto onStreet = [&](const Shot& s) { return questView(s, members) && paneText(s) < 50; };
    shot = street;

    // The Hall's exit (14, 24) faces east: south one square, west one, down
    // the lane at x 13 to the Temple's row, east, and in at (15, 15).
    walk(shot, routes::hallToTemple());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the Temple";
    enter(shot, "the Temple");
    ASSERT_FALSE(HasFatalFailure());
    keepShot(shot, "temple");
    // (H)eal, (H)eal Party, the first member pays (nothing: no one is
    // hurt), SPACE after the message, ESC out onto (14, 15).
    pressAllUntilChanged(shot, {"h", "h", "F1", "space"}, "healing in the Temple");
    ASSERT_FALSE(HasFatalFailure());
    leave(shot, onStreet, "the Temple");
    ASSERT_FALSE(HasFatalFailure());

    // Saved before the Collegium.
    save(shot, onStreet, "before the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    const std::string quest = dir_ + "/savegame/HA1";
    const std::vector<SavedMember> beforeCollegium = savedParty(quest, dir_);

    walk(shot, routes::templeToCollegium());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the Collegium";
    enter(shot, "the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    keepShot(shot, "collegium");
    // F4: Corvin's sheet; (P)ool the party's gold with him; ESC back to the
    // Collegium. (A)cquire a spell for him (F4): none is offered; SPACE
    // after the message, ESC out.
    pressAllUntilChanged(shot, {"F4", "p", "Escape", "a", "F4", "space"}, "asking for a spell in the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    leave(shot, onStreet, "the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    save(shot, onStreet, "after the Collegium");
    quit();
    ASSERT_FALSE(HasFatalFailure());

    const std::vector<SavedMember> saved = savedParty(quest, dir_);
    ASSERT_EQ(saved.size(), size_t(members));
    ASSERT_EQ(beforeCollegium.size(), size_t(members));
    // The list of the roster offers the first by name first.
    EXPECT_EQ(saved[kParty].name, "Mara");
    EXPECT_EQ(saved[kParty + 1].name, "Rolf");
    EXPECT_EQ(namesOf(saved), namesOf(beforeCollegium));
    // Corvin holds the party's gold; he bought nothing, and his book is as
    // it was.
    EXPECT_EQ(goldOf(saved), goldOf(beforeCollegium));
    EXPECT_EQ(saved[3].name, "Corvin");
    EXPECT_EQ(saved[3].gold, goldOf(saved)) << "the gold was not pooled with Corvin";
    EXPECT_EQ(saved[3].spells, beforeCollegium[3].spells);
    std::vector<std::string> roster = savedRoster(quest);
    EXPECT_EQ(roster.size(), size_t(members));
    EXPECT_TRUE(std::binary_search(roster.begin(), roster.end(), "Rolf"));
    EXPECT_TRUE(std::binary_search(roster.begin(), roster.end(), "Mara"));
    {
        std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(quest, false);
        ASSERT_TRUE(archive);
        installQuestStores(archive.get());
        std::unique_ptr<Storable_C> rolf = archive->openDir("hall")->load("Rolf");
        auto* m = dynamic_cast<bl3dPartyChar*>(rolf.get());
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->getLevel(), 1);
        EXPECT_GT(m->getMaxHP(), 0);
        EXPECT_STREQ(m->nameBuffer(), "Human_Male");
        installQuestStores(nullptr);
    }

    // Loaded again, the seven stand on the street before the Collegium;
    // saved again, the quest holds the same roster, party, gold and spells.
    load(shot, onStreet, "with its seven before the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    save(shot, onStreet, "after loading");
    quit();
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<SavedMember> again = savedParty(quest, dir_);
    ASSERT_EQ(again.size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(again[i].name, saved[i].name);
        EXPECT_EQ(again[i].gold, saved[i].gold) << saved[i].name;
        EXPECT_EQ(again[i].spells, saved[i].spells) << saved[i].name;
    }
    EXPECT_EQ(savedRoster(quest), roster);
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

} // namespace


// The display goes away under a game in a quest (a closed remote session):
// the game notices, says so and ends at once, and the quest stays as it was.
TEST_F(RunGameTest, LostDisplayEndsTheGameWithoutSaving) {
    OwnDisplay x;
    ASSERT_FALSE(x.name().empty()) << "no Xvfb of the test's own";
    Display* own = XOpenDisplay(x.name().c_str());
    ASSERT_NE(own, nullptr);
    std::swap(dpy_, own);   // screenshots and keys of the test's own display
    const std::string oldDisplay = std::getenv("DISPLAY");
    ::setenv("DISPLAY", x.name().c_str(), 1);
    struct Back {
        Display*& dpy;
        Display* old;
        std::string display;
        ~Back()
        {
            XCloseDisplay(dpy);
            dpy = old;
            ::setenv("DISPLAY", display.c_str(), 1);
        }
    } back{dpy_, own, oldDisplay};

    ASSERT_EQ(shell("cp '" + dir_ + "/data/savegame.dat' '" + dir_ + "/savegame/HELD'"), 0);
    const std::string quest = readFile(dir_ + "/savegame/HELD");
    start({"-w", "-skipintro"}, "", x.name());
    Shot title, menu, list, inQuest;
    toTheMenu(title, menu);
    keys("l");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(menu, s, 256, 128, 512, 512) > 0; }, 20, list))
        << gameErrors();
    keys("Return");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return questView(s, kParty); }, 30, inQuest)) << gameErrors();

    XCloseDisplay(dpy_);
    dpy_ = XOpenDisplay(oldDisplay.c_str());
    x.kill();
    EXPECT_EQ(finish(10), 1) << gameErrors();
    EXPECT_NE(gameErrors().find("ERROR: The connection to the display was lost"), std::string::npos) << gameErrors();
    EXPECT_EQ(readFile(dir_ + "/savegame/HELD"), quest);
}


// A trip to the weapon smith: the party ventures forth from the Hall, walks
// the lane at x 13 down to the street at y 13, west along it and north up
// to Starfire Swords at (6, 22), whose door opens to the south. Bran (F1)
// sells the Draught of Mending in his pack for half its price and buys a
// Hand Axe at the asking price; the party leaves, saves, quits, loads and
// saves again. Both saves hold Bran's gold less the axe plus the draught,
// the axe in his pack and not the draught, and the shop's shelf with one
// axe fewer and the draught for sale.
//
// The shop opens at eight; the quest starts at half past nine, and the
// town has no wandering monsters by day and no random events.
TEST_F(RunGameTest, WalkToTheWeaponSmithSellADraughtBuyAnAxeSaveAndLoad) {
    guardSeconds_ = 3 * kGuardSeconds;
    Shot shot;
    newQuest("w s 1");
    ASSERT_FALSE(HasFatalFailure());
    Shot street;
    ventureForth(kParty, street);
    ASSERT_FALSE(HasFatalFailure());
    // A first save on the street: the party as it left the Hall.
    auto onStreet = [&](const Shot& s) { return questView(s, kParty) && paneText(s) < 50; };
    save(shot, onStreet, "on the street");
    ASSERT_FALSE(HasFatalFailure());
    const std::string quest = dir_ + "/savegame/WS1";
    const std::vector<SavedMember> before = savedParty(quest, dir_);
    ASSERT_EQ(before.size(), size_t(kParty));
    ASSERT_EQ(before[0].name, "Bran");
    ASSERT_EQ(before[0].pack, std::vector<std::string>{"Draught of Mending (3)"});

    walk(shot, routes::hallToStarfireSwords());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the shop";
    enter(shot, "Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    // Bran (F1): (S)ell, the first item of his pack (chosen already), (Y)es;
    // the chooser again, ESC. (B)uy, (B)laded weapons, the first (the Hand
    // Axe), (Y)es at the asking price; ESC back to the categories, to the
    // business, to the welcome, and out onto (6, 21).
    pressAllUntilChanged(shot, {"F1", "s", "Return", "y", "Escape", "b", "b", "Return", "y", "Escape", "Escape", "Escape"},
                         "trading in Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    leave(shot, onStreet, "Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    save(shot, onStreet, "after the shop");
    quit();
    ASSERT_FALSE(HasFatalFailure());

    // The Hand Axe costs 45, the draught is worth 60: sold for 30.
    auto check = [&](const std::vector<SavedMember>& p, const char* which) {
        ASSERT_EQ(p.size(), before.size()) << which;
        EXPECT_EQ(p[0].name, "Bran") << which;
        EXPECT_EQ(p[0].gold, before[0].gold - 45 + 30) << which;
        EXPECT_EQ(goldOf(p), goldOf(before) - 45 + 30) << which;
        EXPECT_EQ(p[0].pack, std::vector<std::string>{"Hand Axe"}) << which;
        EXPECT_EQ(p[0].slots, before[0].slots) << which;
        const std::map<std::string, int32_t> stock = savedStock(quest, "starfire.dat");
        ASSERT_TRUE(stock.count("Hand Axe")) << which << ": no stock of Starfire Swords";
        EXPECT_EQ(stock.at("Hand Axe"), 3) << which << ": four on the shelf, one sold";
        ASSERT_TRUE(stock.count("Draught of Mending (3)")) << which;
        EXPECT_EQ(stock.at("Draught of Mending (3)"), 1) << which << ": the draught Bran sold";
    };
    const std::vector<SavedMember> saved = savedParty(quest, dir_);
    check(saved, "the first save");

    load(shot, onStreet, "before Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    save(shot, onStreet, "after loading");
    quit();
    ASSERT_FALSE(HasFatalFailure());
    check(savedParty(quest, dir_), "saved after loading");
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}
