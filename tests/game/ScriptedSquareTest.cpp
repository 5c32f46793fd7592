// Whole-program runs of a scripted square that misbehaves: the script of the
// Warden's square (two steps south of the Hall's door) is replaced, in the
// test's copy of the game, by one of the scripts of tests/fixtures/game.
#include "RunGame.h"

using namespace rungame;

namespace {

class ScriptedSquareTest : public RunGameTest {
protected:
    // With the fixture script standing in for the Warden's: a new quest, and
    // the street before the Hall in `street`.
    void newQuestOnTheStreet(const char* fixture, Shot& street) {
        ASSERT_EQ(shell(std::string("cp '" VELL_TEST_FIXTURES "/game/") + fixture + "' '" + dir_ +
                        "/data/scripts/warden.py'"),
                  0);
        newQuest("a b 1");
        if (HasFatalFailure())
            return;
        ventureForth(kParty, street);
    }

    // From the street before the Hall (`street`, facing east): a turn to the
    // south and two steps, the second onto the Warden's square.
    void walkToTheWardensSquare(const Shot& street) {
        auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
        keys("Right");
        Shot south;
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(street, s, kCompass) > 0.05; }, 20,
                                south))
            << "no turn to the south; game said:\n" << gameErrors();
        keys("Up");
        Shot step;
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(south, s, kView) > 0.05; }, 20,
                                step))
            << "no step south; game said:\n" << gameErrors();
        keys("Up");
    }

    bool waitForFile(const std::string& name, double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        while (std::chrono::steady_clock::now() < deadline) {
            if (exists(dir_ + "/" + name))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
};

// A script that never returns holds the game's thread: the window's close
// button, Ctrl-C and SIGTERM must end the game all the same, at once, as
// anywhere else: the script is stopped (its traceback printed), nothing is
// saved, exit code 0. One that swallows even that interrupt is given a few
// seconds, then the game ends without saving (exit code 1) and says why.
TEST_F(ScriptedSquareTest, TheQuitEventEndsTheGameDuringAScriptThatNeverReturns) {
    const struct {
        const char* script;
        const char* how;
        int exitCode;
        const char* said;
    } rows[] = {
        {"hangs.py", "close", 0, "The game is ending: the script 'warden' was stopped"},
        {"hangs.py", "SIGINT", 0, "The game is ending: the script 'warden' was stopped"},
        {"hangs.py", "SIGTERM", 0, "The game is ending: the script 'warden' was stopped"},
        {"stubborn.py", "SIGTERM", 1, "the script 'warden' does not stop for the end of the game"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.script) + " " + row.how);
        ASSERT_EQ(shell("rm -f '" + dir_ + "'/savegame/* '" + dir_ + "/script-started'"), 0);
        Shot street;
        newQuestOnTheStreet(row.script, street);
        ASSERT_FALSE(HasFatalFailure());
        const std::string quest = readFile(dir_ + "/savegame/AB1");
        walkToTheWardensSquare(street);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(waitForFile("script-started", 20)) << "the script does not run; game said:\n" << gameErrors();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));   // well inside its loop

        if (std::string(row.how) == "close")
            ASSERT_TRUE(closeWindow());
        else
            ASSERT_TRUE(signalGame(std::string(row.how) == "SIGINT" ? SIGINT : SIGTERM));
        EXPECT_EQ(finish(15), row.exitCode) << gameErrors();
        const std::string said = gameErrors();
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
        if (row.exitCode == 0) {
            EXPECT_NE(said.find("KeyboardInterrupt"), std::string::npos) << said;
            EXPECT_NE(said.find("warden.py\", line "), std::string::npos) << "the traceback\n" << said;
            EXPECT_NE(said.find("in fireEvent"), std::string::npos) << "the traceback\n" << said;
        }
        EXPECT_EQ(readFile(dir_ + "/savegame/AB1"), quest) << "the quest was saved";
    }
}

// A script's text stays inside the text pane: a typed answer wider than the
// pane shows its end while it is typed (and is kept whole), and options
// beyond what the pane holds are refused instead of being drawn over the
// frame above it, where they would stay on later screens.
TEST_F(ScriptedSquareTest, AScriptsTextStaysInsideThePane) {
    Shot street;
    newQuestOnTheStreet("asks.py", street);
    ASSERT_FALSE(HasFatalFailure());
    walkToTheWardensSquare(street);
    ASSERT_FALSE(HasFatalFailure());

    // Dark pixels of text on the pane's input line (line -1, one line above
    // the bottom line) and on the frame above the pane.
    const Rect inputLine{730, 394, 250, 20};
    const Rect abovePane{725, 0, 260, 70};
    auto darkIn = [](const Shot& s, const Rect& r) {
        return s.count(r.x, r.y, r.w, r.h, [](int red, int g, int b) { return red + g + b < 200; });
    };
    Shot asking;
    ASSERT_TRUE(waitForScreen([&](const Shot& s) { return paneText(s) > 100 && darkIn(s, inputLine) > 20; }, 20,
                              asking))
        << "no question with its input line; game said:\n" << gameErrors();
    const int prompt = darkIn(asking, inputLine);

    // Thirty letters: far wider than the pane. The line still shows text,
    // and more of it than the bare prompt.
    std::string typed;
    for (int i = 0; i < 30; ++i)
        typed += "w ";
    keys(typed);
    Shot typing;
    EXPECT_TRUE(waitForScreen([&](const Shot& s) { return darkIn(s, inputLine) > prompt * 3; }, 10, typing))
        << "the typed answer is not shown (" << darkIn(typing, inputLine) << " dark pixels against " << prompt
        << " of the prompt); game said:\n" << gameErrors();
    keepShot(typing, "long-answer");
    EXPECT_EQ(differing(street, typing, abovePane), 0.0) << "the answer spills over the frame";

    // RETURN: the whole answer is the script's; the 26 options are refused,
    // and the farewell leaves the frame as it was.
    keys("Return");
    Shot farewell;
    ASSERT_TRUE(waitForScreen([&](const Shot& s) { return exists(dir_ + "/labels.txt") && paneText(s) > 100 &&
                                                          differing(typing, s, 730, 70, 250, 370) > 0.01; },
                              20, farewell))
        << gameErrors();
    EXPECT_EQ(readFile(dir_ + "/answer.txt"), std::string(30, 'w'));
    EXPECT_EQ(readFile(dir_ + "/labels.txt"), "yes");
    EXPECT_EQ(differing(street, farewell, abovePane), 0.0) << "options drawn over the frame above the pane";
    keys("space");
    Shot back;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return questView(s, kParty) && paneText(s) < 50; }, 20, back))
        << "the street does not come back; game said:\n" << gameErrors();
    EXPECT_EQ(differing(street, back, abovePane), 0.0) << "text left over the frame";
    quit();
}

} // namespace
