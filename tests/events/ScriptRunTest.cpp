// Runs of scripted squares: where the party goes by the script's result,
// script errors, input typed by pushed keys, and the fights, chests,
// buildings and movies that scripts start.
#include "ScriptFixture.h"

#include "core/Movie.h"

#include <gtest/gtest.h>

namespace scripted {
namespace {

TEST_F(ScriptedEvent, TheResultDecidesWhetherThePartyMoves)
{
    join("Ann", 0x4);
    struct Row {
        const char* ret;
        bool moves;
    };
    for (const Row& row : {Row{"1", false}, Row{"0", true}, Row{"None", true}, Row{"-1", true}, Row{"2", true},
                           Row{"-998", true}, Row{"-999", false}, Row{"-5000", false}, Row{"'text'", true}}) {
        standOn(2, 2, 0);
        probe({}, row.ret);
        if (row.moves) {
            EXPECT_EQ(squareX(), 9) << row.ret;
            EXPECT_EQ(squareY(), 9) << row.ret;
            EXPECT_EQ(iface.getFacing(), 180) << row.ret;
        } else {
            EXPECT_EQ(squareX(), 2) << row.ret;
            EXPECT_EQ(squareY(), 2) << row.ret;
        }
    }
}

TEST_F(ScriptedEvent, SetExitChangesTheExitItemByItem)
{
    join("Ann", 0x4);
    const std::string here = iface.getCurrentMap()->getFileName();
    probe({"api.setExit(h, '" + here + "', -1, 3, -1)"}, "0");
    EXPECT_EQ(squareX(), 9);
    EXPECT_EQ(squareY(), 3);
    EXPECT_EQ(iface.getFacing(), 180);

    standOn(2, 2, 0);
    probe({"api.setExit(h, 'maps/events.cfg', 5, 7, 90)"}, "0");
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/events.cfg");
    EXPECT_EQ(squareX(), 5);
    EXPECT_EQ(squareY(), 7);
    EXPECT_EQ(iface.getFacing(), 90);

    // A map that cannot be read: refused, and the party stays where it is.
    standOn(2, 2, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(probe({"api.setExit(h, 'maps/nowhere.cfg', 5, 5, 0)"}, "1"), (Results{"ValueError"}));
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/events.cfg");
    EXPECT_EQ(squareX(), 2);
}

// An exit must be a square the party can stand on, facing 0, 90, 180 or 270:
// setExit and a called building's exit refuse the rest (the party would be
// walled in, or unable to step) and keep the exit they had. Another
// spelling of this map's path is this map.
TEST_F(ScriptedEvent, ExitsOnlyWhereThePartyCanStand)
{
    join("Ann", 0x4);
    Map_C* here = iface.getCurrentMap();
    const std::string file = here->getFileName();
    const std::vector<Case> cases = {
        {"api.setExit(h, '" + file + "', 5, 7, 45)", "ValueError"},
        {"api.setExit(h, '" + file + "', 5, 7, 360)", "ValueError"},
        {"api.setExit(h, '" + file + "', 10, 28, 0)", "ValueError"},    // a tree
        {"api.setExit(h, '" + file + "', 20, 7, 0)", "ValueError"},     // off the grid
        {"api.setExit(h, 'maps/clamped.cfg', 4, 5, 0)", "ValueError"},  // a wall of another map
        {"api.setExit(h, 'maps/clamped.cfg', 12, 5, 0)", "ValueError"},
        {"api.callEvent(h, 1012, ['Inn', '10', '28'])", "ValueError"},
        {"api.callEvent(h, 1012, ['Inn', '4', '4', '45'])", "ValueError"},
        {"api.callEvent(h, 1012, ['Inn', '4', '4', '270'])", "1"},
        {"api.setExit(h, 'maps/clamped.cfg', 3, 5, 90)", "None"},
        {"api.setExit(h, '" + file + "', 10, 4, -1)", "None"},
        {"api.setExit(h, '" + file + "', -1, 28, -1)", "ValueError"},   // (10, 28) is the tree
        {"api.setExit(h, './" + file + "', 4, 4, 270)", "None"},
    };
    expectCases(probe(calls(cases), "0"), cases);
    ASSERT_EQ(started().size(), 1u) << "only the building with a good exit opened";
    EXPECT_EQ(started()[0].params.exitFacing, 270);
    EXPECT_EQ(iface.getCurrentMap(), here);
    EXPECT_EQ(squareX(), 4);
    EXPECT_EQ(squareY(), 4);
    EXPECT_EQ(iface.getFacing(), 270);

    // The live facing setter refuses the same.
    EXPECT_FALSE(iface.setFacing(45));
    EXPECT_FALSE(iface.setFacing(-90));
    EXPECT_EQ(iface.getFacing(), 270);
    EXPECT_TRUE(iface.setFacing(0));
}

// A script that fails, leaves with SystemExit or has no fireEvent keeps the
// party where it is; the failure is reported with its traceback and the game
// goes on.
TEST_F(ScriptedEvent, FailingScriptsLeaveThePartyAndTheGameBe)
{
    join("Ann", 0x4);
    for (const char* how : {"'error'", "'exit'"}) {
        standOn(2, 2, 0);
        setGlobal("broken", "how", how);
        testing::internal::CaptureStderr();
        runScript("broken");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(squareX(), 2) << how;
        EXPECT_NE(said.find("'broken'"), std::string::npos) << said;
        EXPECT_NE(said.find("Traceback"), std::string::npos) << said;
        EXPECT_NE(said.find(std::string(how) == "'exit'" ? "SystemExit" : "ZeroDivisionError"), std::string::npos)
            << said;
    }
    EXPECT_TRUE(Py_IsInitialized());

    setGlobal("broken", "how", "'value'");   // a result that is no integer: as 0
    runScript("broken");
    EXPECT_EQ(squareX(), 9);

    for (const char* script : {"nofire", "no_such_script"}) {
        standOn(2, 2, 0);
        EventParams_S p;
        std::snprintf(p.name, sizeof p.name, "%s", script);
        p.exitX = 9;
        Event_2000_C e(&p);
        EXPECT_FALSE(e.isReady()) << script;
        e.invoke(&iface);
        EXPECT_EQ(squareX(), 2) << script;
    }
}

TEST_F(ScriptedEvent, OptionInputEndsOnlyOnAListedKey)
{
    join("Ann", 0x4);
    script({partyscreens::quiet(SDLK_x), partyscreens::quiet(SDLK_DOWN), SDLK_n});
    EXPECT_EQ(probe({"api.optionInput(h, ['Will you help?'], ['(Y)es', '(N)o'], [121, 110])"}), (Results{"110"}));
    EXPECT_TRUE(lastIn(0).has("(Y)es"));
    EXPECT_TRUE(lastIn(0).has("(N)o"));
    EXPECT_TRUE(lastIn(0).mentions("Will you help?"));

    // ESC is an ordinary key here: a script may list it.
    script({SDLK_ESCAPE});
    EXPECT_EQ(probe({"api.optionInput(h, [], ['(ESC) Leave'], [27])"}), (Results{"27"}));

    // As many options as the pane holds under a line of text: 15 here.
    script({SDLK_o});
    EXPECT_EQ(probe({"api.optionInput(h, ['Which?'], [chr(k) for k in range(97, 112)], list(range(97, 112)))"}),
              (Results{"111"}));

    const std::vector<std::string> bad = {
        "api.optionInput(h, ['a'], ['x', 'y'], [1])",   // more labels than keys
        "api.optionInput(h, ['a'], ['x'], [1, 2])",
        "api.optionInput(h, ['a'], [], [])",            // no key could end it
        "api.optionInput(h, [1], ['x'], [1])",
        "api.optionInput(h, ['a'], [None], [1])",
        "api.optionInput(h, ['a'], ['x'], ['y'])",
        "api.optionInput(h, ['a'], ['x'], [2**40])",
        "api.optionInput(h, 'a', ['x'], [1])",
        "api.optionInput(h, ['a'], ['x'] * 16, list(range(97, 113)))",   // more than the pane holds
    };
    EXPECT_EQ(probe(bad), (Results{"ValueError", "ValueError", "ValueError", "TypeError", "TypeError", "TypeError",
                                   "OverflowError", "TypeError", "ValueError"}));
}

// The quit event (window closed) during an input stops the script, even one
// that asks again until it gets its answer; it is reported as stopped, not
// as failed.
TEST_F(ScriptedEvent, QuittingStopsAScriptWaitingForAnswer)
{
    join("Ann", 0x4);
    onDisplay([] {   // the window is closed while the question waits
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    testing::internal::CaptureStderr();
    const Results r = probe({"[api.optionInput(h, ['Again?'], ['(Y)es'], [121]) for i in range(1000000)]"});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(vell::quitRequested());
    vell::clearQuitRequest();
    EXPECT_TRUE(r.empty()) << "the probe's own loop was stopped too";
    EXPECT_EQ(said.find("failed"), std::string::npos) << said;
    EXPECT_NE(said.find("the script 'probe' was stopped"), std::string::npos) << said;
    EXPECT_EQ(squareX(), 2);
}

// The quit event while a script computes on and on (it holds the game's one
// thread, and no loop looks at the window): the script is stopped between
// two of its steps, its traceback is reported, and the run ends as after a
// script error. A module that hangs at its own import is stopped the same
// way (its square is then not ready).
TEST_F(ScriptedEvent, TheQuitEventStopsAScriptThatNeverReturns)
{
    join("Ann", 0x4);
    // The window is closed a little after the script began.
    auto closeSoon = [](Uint32, void*) -> Uint32 {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return 0;
    };
    SDL_TimerID timer = SDL_AddTimer(200, closeSoon, nullptr);
    testing::internal::CaptureStderr();
    const Results r = probe({"exec('while True: pass')"}, "0");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(vell::quitRequested());
    vell::clearQuitRequest();
    EXPECT_TRUE(r.empty()) << "the interrupt is no Exception the probe catches";
    EXPECT_NE(said.find("The game is ending: the script 'probe' was stopped"), std::string::npos) << said;
    EXPECT_NE(said.find("KeyboardInterrupt"), std::string::npos) << said;
    EXPECT_EQ(squareX(), 2) << "stopped like a script error: the party stays";
    SDL_RemoveTimer(timer);

    timer = SDL_AddTimer(200, closeSoon, nullptr);
    testing::internal::CaptureStderr();
    EventParams_S p;
    std::snprintf(p.name, sizeof p.name, "hangsatimport");
    Event_2000_C hangs(&p);
    const std::string atImport = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(vell::quitRequested());
    vell::clearQuitRequest();
    EXPECT_FALSE(hangs.isReady());
    EXPECT_NE(atImport.find("the script 'hangsatimport' was stopped"), std::string::npos) << atImport;
    SDL_RemoveTimer(timer);
}

// With mouse support, a click on an option's line stands for its key.
TEST_F(ScriptedEvent, AClickOnAnOptionLineChoosesIt)
{
    join("Ann", 0x4);
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    // Line 0 (the bottom line) holds the last label, line -1 the one above.
    const int bottom = kHeight - iface.getURLineY(0) - 10;
    script({partyscreens::click(800, bottom - 20)});
    EXPECT_EQ(probe({"api.optionInput(h, ['Which?'], ['(Y)es', '(N)o'], [121, 110])"}), (Results{"121"}));
    script({partyscreens::click(800, bottom)});
    EXPECT_EQ(probe({"api.optionInput(h, ['Which?'], ['(Y)es', '(N)o'], [121, 110])"}), (Results{"110"}));
    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
}

TEST_F(ScriptedEvent, StringInputTakesLettersAndBlanks)
{
    join("Ann", 0x4);
    const char* type = "api.stringInput(h, ['What walks on four legs?'])";
    // Typed by hand: a, b, BACKSPACE, shift-c, SPACE, d, RETURN.
    for (SDLKey k : {SDLK_a, SDLK_b, SDLK_BACKSPACE})
        pushKey(k);
    pushKey(SDLK_c, KMOD_LSHIFT);
    pushKey(SDLK_SPACE);
    pushKey(SDLK_d);
    pushKey(SDLK_RETURN);
    EXPECT_EQ(probe({type}), (Results{"'aC d'"}));

    // RETURN at once: an empty line. 41 letters: the 41st is not taken.
    pushKey(SDLK_RETURN);
    EXPECT_EQ(probe({type}), (Results{"''"}));
    for (int i = 0; i < 41; ++i)
        pushKey(SDLK_z);
    pushKey(SDLK_1);   // no letter: nothing happens
    pushKey(SDLK_RETURN);
    EXPECT_EQ(probe({type}), (Results{"'" + std::string(40, 'z') + "'"}));
}

TEST_F(ScriptedEvent, CombatFillsTheEnemyListAndMapsTheFightsResult)
{
    join("Ann", 0x4);
    monsterType("Rat");
    monsterType("Bat");
    struct Row {
        int fight;
        const char* result;
    };
    for (const Row& row : {Row{0, "1"}, Row{1, "2"}, Row{-1, "3"}, Row{7, "999"}}) {
        started().clear();
        standInResult() = row.fight;
        EXPECT_EQ(probe({"api.combat(h, [('Rat', 2, 3, 10), ('Bat', 1, 0, 40)])", "api.getTag(h, 'Combat')"}),
                  (Results{row.result, row.result}));
        ASSERT_EQ(started().size(), 1u);
        const Started& s = started()[0];
        EXPECT_EQ(s.type, EVENT_COMBAT);
        ASSERT_EQ(s.groups.size(), 2u);
        EXPECT_EQ(s.groups[0].first, "Rat");
        EXPECT_GE(s.groups[0].second, 2);
        EXPECT_LE(s.groups[0].second, 5);
        EXPECT_EQ(s.distances[0], 10);
        EXPECT_EQ(s.groups[1], (std::pair<std::string, int>("Bat", 1)));
        EXPECT_EQ(s.distances[1], 40);
    }
    started().clear();
    EXPECT_EQ(probe({"api.combat(h, [('Rat', 1, 0, 10), ('Wolf', 1, 0, 10)])",
                     "api.combat(h, [('Rat', 1, -1, 10)])", "api.combat(h, [('Rat', -1, 0, 10)])",
                     "api.combat(h, [('Rat', 2**31 - 1, 2**31 - 1, 10)])", "api.combat(h, [['Rat', 1, 0, 10]])",
                     "api.combat(h, [('Rat', 1)])", "api.combat(h, [(1, 1, 0, 10)])"}),
              (Results{"-101", "ValueError", "ValueError", "ValueError", "TypeError", "TypeError", "TypeError"}));
    EXPECT_TRUE(started().empty()) << "no fight for a refused list";
}

TEST_F(ScriptedEvent, ChestsAndGiftsGoToTheChestEvent)
{
    join("Ann", 0x4);
    struct Row {
        int chestEvent;
        const char* result;
    };
    for (const Row& row : {Row{0, "1"}, Row{1, "2"}, Row{5, "-1"}}) {
        started().clear();
        standInResult() = row.chestEvent;
        EXPECT_EQ(probe({"api.chest(h, 2, 3, 50, ['Rope', 'Helm'], 0, 'an iron box')", "api.getTag(h, 'Chest')"}),
                  (Results{row.result, row.result}));
        ASSERT_EQ(started().size(), 1u);
        const Started& s = started()[0];
        EXPECT_EQ(s.type, EVENT_CHEST);
        EXPECT_EQ(s.trap, 2);
        EXPECT_EQ(s.lock, 3);
        EXPECT_EQ(s.gold, 50);
        EXPECT_EQ(s.description, "an iron box");
        EXPECT_EQ(s.items, (std::vector<std::string>{"Helm", "Rope"})) << "each pushed at the head";
    }
    started().clear();
    standInResult() = 0;
    EXPECT_EQ(probe({"api.giveItems(h, ['Rope'])", "api.chest(h, 0, 0, 0, ['Rope', 'Nothing'], 0, 'x')",
                     "api.getTag(h, 'Chest')", "api.chest(h, 0, 0, 0, [], -1, 'x')",
                     "api.chest(h, 0, 0, 0, [], 2**31 - 1, 'x')", "api.chest(h, 0, 256, 0, [], 0, 'x')",
                     "api.chest(h, 0, 0, 0, [], 3, 'x' * 500)", "api.giveItems(h, [3])"}),
              (Results{"None", "-101", "1", "ValueError", "ValueError", "ValueError", "1", "TypeError"}));
    ASSERT_EQ(started().size(), 2u);
    EXPECT_EQ(started()[0].trap, -1) << "a gift opens on the items";
    EXPECT_EQ(started()[0].description, "something");
    EXPECT_EQ(started()[1].description, std::string(59, 'x'));
    EXPECT_TRUE(started()[1].items.empty()) << "the map has no random items";
}

TEST_F(ScriptedEvent, CallEventStartsBuildingsAndMovies)
{
    join("Ann", 0x4);
    EXPECT_EQ(probe({"api.callEvent(h, 1012, ['Smithy'])", "api.callEvent(h, 1012, ['Inn', '4', '-1', '90'])",
                     "api.callEvent(h, 4000, [])", "api.callEvent(h, 2000, ['probe'])", "api.callEvent(h, 1012, [5])",
                     "api.callEvent(h, 1012, ['x', '99999999999999999999'])"}),
              (Results{"1", "1", "0", "0", "TypeError", "1"}));
    ASSERT_EQ(started().size(), 3u);
    EXPECT_EQ(started()[0].type, 1012);
    EXPECT_STREQ(started()[0].params.name, "Smithy");
    EXPECT_EQ(started()[0].params.exitX, 9) << "this event's own exit";
    EXPECT_EQ(started()[0].params.exitY, 9);
    EXPECT_EQ(started()[0].params.exitFacing, 180);
    EXPECT_EQ(started()[1].params.exitX, 4);
    EXPECT_EQ(started()[1].params.exitY, 9);
    EXPECT_EQ(started()[1].params.exitFacing, 90);
    EXPECT_EQ(started()[2].params.exitX, 9) << "a number beyond 32 bits is no exit";

    // A movie: the game's own, skipped by ESC; one that cannot be played ends at once.
    pushKey(SDLK_ESCAPE);
    testing::internal::CaptureStderr();
    EXPECT_EQ(probe({"api.callEvent(h, 8000, ['pics/intro/credits.mpg'])",
                     "api.callEvent(h, 8000, ['pics/intro/nothing.mpg'])"}),
              (Results{"1", "1"}));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("nothing.mpg"), std::string::npos) << said;
    EXPECT_EQ(said.find("credits.mpg"), std::string::npos) << said;
}

// A script that kills the whole party, on a map other than the town: the
// party is carried to the town's Hall of Adventurers.
TEST_F(ScriptedEvent, APartyKilledByTheScriptGoesToTheHall)
{
    join("Ann", 0x4);
    join("Bo", 0x2);
    ASSERT_TRUE(iface.newMap("maps/events.cfg"));
    standOn(2, 2, 0);
    probe({"api.modifyHP(h, 0, -100)", "api.modifyHP(h, 1, -100)"}, "0");
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/renibister.cfg");
    EXPECT_EQ(squareX(), 13);
    EXPECT_EQ(squareY(), 24);
    EXPECT_EQ(iface.getFacing(), 0);
    ASSERT_EQ(started().size(), 1u);
    EXPECT_EQ(started()[0].type, 1000);
    EXPECT_EQ(started()[0].params.exitX, 13);
    EXPECT_EQ(started()[0].params.exitY, 24);
}

// Runs nest: a script's building starts another square's script, whose
// calls work with its own handle and with the outer one's, which is running
// too; the outer handle is refused once its run is over.
TEST_F(ScriptedEvent, RunsNest)
{
    join("Ann", 0x4);
    int innerHandle = 0;
    duringStandIn() = [&] {
        EventParams_S p;
        std::snprintf(p.name, sizeof p.name, "broken");
        setGlobal("broken", "how", "'value'");
        Event_2000_C inner(&p);
        innerHandle = inner.handle();
        inner.invoke(&iface);
    };
    const Results r = probe({"api.callEvent(h, 1012, [])", "api.getPartyCount(h)"});
    EXPECT_EQ(r, (Results{"1", "1"}));
    EXPECT_NE(innerHandle, 0);
    EXPECT_EQ(probe({"api.getPartyCount(" + std::to_string(innerHandle) + ")"}), (Results{"ValueError"}));
}

// Whatever a script hands the module, the game goes on: every call raises
// or returns, and the script's SystemExit only ends its own run.
TEST_F(ScriptedEvent, AHostileScriptNeverCrashesTheGame)
{
    join("Ann", 0x4);
    join("Bo", 0x2);
    monsterType("Rat");
    standOn(2, 2, 0);
    testing::internal::CaptureStderr();
    runScript("hostile");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("SystemExit: 7"), std::string::npos) << said;
    EXPECT_EQ(squareX(), 2);
    const std::string raised = global("hostile", "raised");
    EXPECT_NE(raised.find("TypeError"), std::string::npos);
    EXPECT_NE(raised.find("ValueError"), std::string::npos);
    EXPECT_NE(raised.find("OverflowError"), std::string::npos);
    EXPECT_NE(raised.find("IndexError"), std::string::npos);
    EXPECT_TRUE(Py_IsInitialized());
}

} // namespace
} // namespace scripted

namespace scripted {
namespace {

// A movie whose picture is larger than the 512 x 512 surface it is decoded
// into is refused (it would be written past the surface's end); the largest
// that fits plays.
TEST_F(ScriptedEvent, AMovieLargerThanItsSurfaceIsRefused)
{
    const std::string dir = std::string(VELL_TEST_FIXTURES) + "/movies/";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(playMovie((dir + "large.mpg").c_str(), kWidth, kHeight, false, false));
    EXPECT_FALSE(playMovie((dir + "large.mpg").c_str(), kWidth, kHeight, false, true));
    EXPECT_TRUE(playMovie((dir + "square.mpg").c_str(), kWidth, kHeight, false, false));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("640x480 is larger than 512x512"), std::string::npos) << said;
    EXPECT_EQ(said.find("square.mpg"), std::string::npos) << said;
}

} // namespace
} // namespace scripted

namespace scripted {
namespace {

// The exit of the square's own event line (the map's data) is looked at
// too: off the grid, on a square that cannot be entered or with no facing,
// the party stays where it is.
TEST_F(ScriptedEvent, AnEventLineExitThePartyCannotTakeKeepsItWhereItIs)
{
    join("Ann", 0x4);
    setGlobal("probe", "steps", "[]");
    setGlobal("probe", "ret", "0");
    const struct {
        int x, y, facing;
    } exits[] = {{5000, 3, 0}, {3, -7, 0}, {10, 28, 0}, {3, 3, 45}};
    for (const auto& e : exits) {
        standOn(2, 2, 0);
        testing::internal::CaptureStderr();
        runScript("probe", e.x, e.y, e.facing);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(squareX(), 2) << e.x << "," << e.y << " facing " << e.facing;
        EXPECT_EQ(squareY(), 2) << e.x << "," << e.y << " facing " << e.facing;
        EXPECT_EQ(iface.getFacing(), 0) << e.x << "," << e.y << " facing " << e.facing;
        EXPECT_NE(said.find("where it cannot stand"), std::string::npos) << said;
    }
}

} // namespace
} // namespace scripted
