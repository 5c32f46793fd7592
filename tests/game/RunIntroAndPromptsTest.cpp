// Whole-program runs of what a player meets first and of a message in a
// fight: the introduction plays its music from the first second, the title
// card after it says what it waits for, and in a fight the message that an
// item in the pack cannot be invoked goes when SPACE is pressed, back to the
// member's orders.
#include "RunGame.h"

#include <cstdint>

using namespace rungame;

namespace {

class RunIntroAndPromptsTest : public RunGameTest {
protected:
    // The longest run of sample frames in which every channel is exactly 0,
    // among the first `frames` of a recording of 16-bit stereo.
    static int longestDigitalSilence(const std::string& raw, size_t frames) {
        const size_t n = std::min(frames, raw.size() / 4);
        int run = 0, longest = 0;
        for (size_t i = 0; i < n; ++i) {
            const char* f = raw.data() + i * 4;
            const bool zero = f[0] == 0 && f[1] == 0 && f[2] == 0 && f[3] == 0;
            run = zero ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest;
    }
};

// The title card's "Press any key": light letters on the dark hills at the
// foot of the picture.
int titleCardPrompt(const Shot& s) {
    return s.count(384, 650, 256, 60, [](int r, int g, int b) { return r > 170 && g > 160 && b > 140; });
}

// The game started as a player starts it, with its sound recorded (SDL's
// disk driver at about the pace of a sound card). The first ten seconds of
// the introduction hold no second of digital silence: the words "The
// vellrun team presents" come with the music. SPACE ends the movie; the
// title card then says that any key goes on, and a key shows the menu.
TEST_F(RunIntroAndPromptsTest, TheIntroductionPlaysMusicFromTheStartAndTheTitleCardSaysWhatItWaitsFor) {
    const std::string raw = dir_ + "/mix.raw";
    audioFile_ = raw;
    start({"-w"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    const size_t tenSeconds = 22050 * 10;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (readFile(raw).size() < tenSeconds * 4 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string mix = readFile(raw);
    ASSERT_GE(mix.size(), tenSeconds * 4) << "no ten seconds of sound recorded; game said:\n" << gameErrors();
    EXPECT_LT(longestDigitalSilence(mix, tenSeconds), 22050)
        << "a second or more of digital silence in the introduction";

    keys("space");
    Shot title, menu;
    ASSERT_TRUE(waitSettled([](const Shot& s) { return titleCardPrompt(s) > 200; }, 30, title))
        << "no title card that says what it waits for; game said:\n" << gameErrors();
    keys("x");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return menuOver(title, s); }, 20, menu))
        << "no title menu after a key; game said:\n" << gameErrors();
    keys("q y");
    EXPECT_EQ(finish(), 0) << gameErrors();
}

// Two steps south of the Hall a square of this test's own starts a fight
// with one wolf. Bran and Ysolde defend; Tamsin invokes an item of her pack
// (the last line of the chooser): "The item must be equipped to be used."
// SPACE takes the message away and shows her orders as they were before.
TEST_F(RunIntroAndPromptsTest, SpaceTakesTheInvokeMessageAwayInAFight) {
    guardSeconds_ = 4 * kGuardSeconds;
    seed_ = 1;
    testfiles::writeFile(dir_ + "/data/scripts/warden.py",
                         "import eventAPI as api\n\n\n"
                         "def fireEvent(h):\n"
                         "    api.combat(h, [(\"Wolf\", 1, 0, 10)])\n"
                         "    return 1\n");
    Shot shot;
    newQuest("p r 1");
    ASSERT_FALSE(HasFatalFailure());
    ventureForth(kParty, shot);
    ASSERT_FALSE(HasFatalFailure());
    pressAllUntilChanged(shot, {"Right", "Up"}, "the way to the square");
    ASSERT_FALSE(HasFatalFailure());
    pressUntilChanged(shot, "Up", "the fight's square");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_GT(paneText(shot), 300) << "no fight; game said:\n" << gameErrors();

    // The text pane, where the orders and the message stand.
    const Rect pane{715, 60, 280, 405};
    pressAllUntilChanged(shot, {"f", "d", "d"}, "fight, Bran and Ysolde defend");
    ASSERT_FALSE(HasFatalFailure());
    const Shot orders = shot;   // Tamsin's orders
    pressUntilChanged(shot, "i", "Tamsin invokes an item");
    ASSERT_FALSE(HasFatalFailure());
    keys("Down Down Down Down Down Down Down Down Down Down");
    ASSERT_TRUE(waitSettled([](const Shot&) { return true; }, 20, shot)) << gameErrors();
    pressUntilChanged(shot, "Return", "the pack's last item");
    ASSERT_FALSE(HasFatalFailure());
    const Shot message = shot;
    EXPECT_GT(differing(orders, message, pane), 0.01) << "no message over the orders";

    keys("space");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(message, s, pane) > 0; }, 20, shot))
        << "SPACE left the message standing; game said:\n" << gameErrors();
    EXPECT_EQ(differing(orders, shot, pane), 0.0) << "SPACE did not lead back to Tamsin's orders";

    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(finish(), 0) << gameErrors();
}

} // namespace
