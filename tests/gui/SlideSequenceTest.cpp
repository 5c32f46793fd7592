// The slide sequences on screen, driven by pushed keys: the credits asked
// for in the title menu scroll up and end on a key; the splash and the
// introduction show their pictures, whatever their size or colour layout,
// and a picture that is missing or broken leaves black and a message.
#include "GuiHarness.h"
#include "../audio/RecordingPort.h"

#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "screens/SlideSequence.h"
#include "screens/TitleMenu.h"

#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "support/TestFiles.h"

namespace {

using testfiles::writeFile;

class SlideSequenceTest : public vell_test::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        dir_ = std::string(::testing::TempDir()) + "vell_slides_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "/data' '" + dir_ + "/savegame' '" +
                               dir_ + "/pics/intro'")
                                  .c_str()),
                  0);
        ASSERT_EQ(std::system(("cp '" + gamePath("data/font.fot") + "' '" + dir_ + "/data/'").c_str()), 0);
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
        saved_ = gameConfig;
        gameConfig.sound = false;
        gameConfig.mouseSupport = false;
    }
    void TearDown() override
    {
        setSlideFrameHook(nullptr);
        gameConfig = saved_;
        if (::chdir(oldDir_) == 0)
            std::system(("rm -rf '" + dir_ + "'").c_str());
        GuiFixture::TearDown();
    }
    void copyIn(const std::string& from, const std::string& to)
    {
        ASSERT_EQ(std::system(("cp '" + from + "' '" + to + "'").c_str()), 0);
    }
    // The highest row (GL y) that holds a pixel near the colour, or -1.
    static int topRowOf(vell_test::Rgb c)
    {
        auto px = readRect(0, 0, kWidth, kHeight);
        for (int y = kHeight - 1; y >= 0; --y)
            for (int x = 0; x < kWidth; ++x) {
                const unsigned char* p = &px[(size_t(y) * kWidth + size_t(x)) * 3];
                if (vell_test::near({p[0], p[1], p[2]}, c, 40))
                    return y;
            }
        return -1;
    }

    char oldDir_[4096];
    std::string dir_;
    GameConfig_S saved_;
};

TEST_F(SlideSequenceTest, CreditsFromTheTitleMenuScrollAndEndOnAKey)
{
    writeFile("data/savegame.dat", std::string(24, '\0'));
    writeFile("data/credits.dat", "#<1,0,0>\nRED LINE\n#<1,1>\n\nYELLOW LINE\n#<0,1,0>\nGREEN\n");
    {
        TitleMenu_C menu(kWidth, kHeight);
        scriptKeys({SDLK_SPACE, SDLKey('v')});
        ASSERT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);
    }
    drainEvents();
    std::vector<int> redRows;
    int yellowBelowRed = 0, frames = 0;
    setSlideFrameHook([&] {
        ++frames;
        EXPECT_EQ(countNot(0, 0, kWidth, 32, {0, 0, 0}, 4), 0) << "the bottom band is not black";
        EXPECT_EQ(countNot(0, 736, kWidth, 32, {0, 0, 0}, 4), 0) << "the top band is not black";
        const int red = topRowOf({255, 0, 0});
        const int yellow = topRowOf({255, 255, 0});
        if (red >= 0)
            redRows.push_back(red);
        if (red >= 0 && yellow >= 0 && yellow <= red - 30)
            ++yellowBelowRed; // one empty row of 20 pixels between them, no row for colour lines
        if (red > 120)
            pushKey(SDLK_ESCAPE);
    });
    EXPECT_EQ(playSlideSequence(nullptr, SLIDES_CREDITS), -1);
    EXPECT_EQ(slideCreditCount(), 4);
    ASSERT_GE(redRows.size(), 10u) << "frames drawn: " << frames;
    EXPECT_LT(redRows.front(), 60);
    EXPECT_GT(redRows.back(), 120);
    for (size_t i = 1; i < redRows.size(); ++i)
        EXPECT_GE(redRows[i], redRows[i - 1]) << "the credits moved down";
    EXPECT_GT(yellowBelowRed, 0);
    for (const SDL_Event& e : takeEvents())
        EXPECT_FALSE(e.type == SDL_USEREVENT && e.user.code == kSlideStepCode) << "a step event was left behind";
}

TEST_F(SlideSequenceTest, TheQuitEventEndsTheSequenceAndTheGame)
{
    writeFile("data/credits.dat", "a line\n");
    setSlideFrameHook([] {
        SDL_Event q{};
        q.type = SDL_QUIT;
        SDL_PushEvent(&q);
    });
    EXPECT_EQ(playSlideSequence(nullptr, SLIDES_CREDITS), -1);
    EXPECT_TRUE(vell::quitRequested());
    int frames = 0;
    setSlideFrameHook([&] { ++frames; });
    EXPECT_EQ(playSlideSequence(nullptr, SLIDES_SPLASH), -1);
    EXPECT_EQ(frames, 0) << "a sequence started while the game quits";
}

TEST_F(SlideSequenceTest, MissingCreditsEndAtOnceWithAMessage)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(playSlideSequence(nullptr, SLIDES_CREDITS), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR: Could not open credits file!"), std::string::npos);
    EXPECT_EQ(playSlideSequence(nullptr, 7), -1) << "no such mode";
}

// The splash picture in every shape: scaled to the screen when of another
// size, converted when grayscale, black with a message when broken or
// missing. Each is looked at when its fade-in has ended.
TEST_F(SlideSequenceTest, SplashPicturesOfAnyShape)
{
    struct Case {
        const char* what;
        const char* fixture; // in tests/fixtures/images, or null: no file
        vell_test::Rgb topLeft, bottomRight;
        const char* message;
    };
    const Case cases[] = {
        {"a 16 x 16 picture is scaled", "quad.dat", {255, 0, 0}, {255, 255, 255}, "is 16x16, not 1024x768"},
        {"a grayscale picture", "gray.dat", {200, 200, 200}, {50, 50, 50}, nullptr},
        {"no picture at all", "broken.dat", {0, 0, 0}, {0, 0, 0}, "Could not load slide picture"},
        {"a missing picture", nullptr, {0, 0, 0}, {0, 0, 0}, "Could not load slide picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove("pics/intro/splash1.dat");
        if (c.fixture)
            copyIn(std::string(VELL_TEST_FIXTURES) + "/images/" + c.fixture, "pics/intro/splash1.dat");
        bool looked = false;
        setSlideFrameHook([&] {
            if (looked || slideSequenceState() != 199)
                return;
            looked = true;
            EXPECT_TRUE(vell_test::near(readPixel(100, 668), c.topLeft, 40));
            EXPECT_TRUE(vell_test::near(readPixel(924, 100), c.bottomRight, 40));
            pushKey(SDLK_SPACE);
        });
        testing::internal::CaptureStderr();
        EXPECT_EQ(playSlideSequence(nullptr, SLIDES_SPLASH), -1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(looked);
        if (c.message) {
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
        }
    }
}

TEST_F(SlideSequenceTest, IntroductionShowsTheFirstTextInTheUpperLeftQuarter)
{
    copyIn(gamePath("pics/intro/text1.dat"), "pics/intro/text1.dat");
    bool looked = false;
    setSlideFrameHook([&] {
        if (looked || slideSequenceState() != 99)
            return;
        looked = true;
        EXPECT_GT(countNot(40, 424, 432, 304, {0, 0, 0}, 12), 20000) << "no picture in the upper left";
        EXPECT_EQ(countNot(552, 424, 432, 304, {0, 0, 0}, 4), 0) << "the upper right is not black";
        EXPECT_EQ(countNot(40, 40, 944, 304, {0, 0, 0}, 4), 0) << "the lower half is not black";
        pushKey(SDLK_ESCAPE);
    });
    EXPECT_EQ(playSlideSequence(nullptr, SLIDES_INTRO), -1);
    EXPECT_TRUE(looked);
}

// The music goes through the audio port: the introduction starts with the
// first track played once at full volume, the scrolling credits loop theirs
// and fade it out over 500 ms when they end; the end of a run halts and
// frees what it loaded. With sound off nothing is loaded.
TEST_F(SlideSequenceTest, MusicPlaysThroughTheAudioPort)
{
    vell_test::RecordingPort port;
    setSlideAudioPort(&port);
    gameConfig.sound = true;
    struct Case {
        const char* what;
        int mode;
        bool sound;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"the introduction, ended by a key", SLIDES_INTRO, true,
         {"music volume 128", "music credits.mp3 once", "halt music"}},
        {"the credits without their text: they end at once", SLIDES_CREDITS, true,
         {"music volume 128", "music credits.mp3 loop", "fade out music 500", "halt music"}},
        {"the splash has no music", SLIDES_SPLASH, true, {"halt music"}},
        {"sound off", SLIDES_INTRO, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gameConfig.sound = c.sound;
        port.take();
        setSlideFrameHook([] { pushKey(SDLK_ESCAPE); });
        testing::internal::CaptureStderr();
        playSlideSequence(nullptr, c.mode);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(port.take(), c.calls);
        EXPECT_TRUE(port.loadedNow.empty()) << "music left loaded";
    }
    setSlideAudioPort(nullptr);
}

// The introduction's pictures as its table gives them: which picture goes
// into which quarter as each state begins, and what each fade draws.
TEST_F(SlideSequenceTest, IntroductionTableLoadsEveryPictureIntoItsQuarter)
{
    struct Row {
        int state;
        std::vector<std::pair<std::string, int>> loads;
        unsigned mask;
    };
    constexpr unsigned ul = 1, ur = 2, ll = 4, lr = 8;
    const Row rows[] = {
        {2, {}, ul},
        {3, {{"text2", SLIDE_LL}}, ll},
        {4, {{"text3", SLIDE_UR}, {"pic1", SLIDE_LR}}, ur | lr},
        {5, {{"text4", SLIDE_UL}, {"pic2", SLIDE_LL}}, ul | ll},
        {6, {{"text5", SLIDE_UL}, {"pic3", SLIDE_UR}}, ul | ur},
        {7, {{"text6", SLIDE_LL}, {"pic4", SLIDE_LR}}, ll | lr},
        {8, {{"text7", SLIDE_UL}, {"pic5", SLIDE_LR}}, ul | lr},
        {9, {{"text8", SLIDE_UR}, {"pic6", SLIDE_LL}}, ur | ll},
        {10, {{"text9", SLIDE_UL}, {"pic7", SLIDE_UR}}, ul | ur},
        {11, {{"text10", SLIDE_LR}, {"pic8", SLIDE_LL}}, ul | ur | ll | lr},
        {12, {}, 0}, {13, {}, 0}, {14, {}, 0},
        {15, {}, ul},
        {16, {{"credit2", SLIDE_LL}}, ul | ll},
        {17, {{"credit3", SLIDE_UR}}, ul | ur | ll},
        {18, {{"credit4", SLIDE_LR}}, ur | ll | lr},
        {19, {{"credit5", SLIDE_UL}}, ul | ur | lr},
        {20, {{"credit6", SLIDE_LL}}, ul | ll | lr},
        {21, {{"credit7", SLIDE_UR}}, ul | ur | ll},
        {22, {{"credit8", SLIDE_LR}}, ur | ll | lr},
        {23, {{"credit9", SLIDE_UL}}, ul | ur | lr},
        {24, {{"credit10", SLIDE_LL}}, ul | ll | lr},
        {25, {}, ul | ll},
        {26, {}, ll},
        {27, {}, 0},
    };
    EXPECT_EQ(introSlide(1), nullptr);
    EXPECT_EQ(introSlide(28), nullptr);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.state);
        const IntroSlide_S* slide = introSlide(r.state);
        ASSERT_NE(slide, nullptr);
        std::vector<std::pair<std::string, int>> loads;
        for (const SlidePicture_S& p : slide->load)
            if (p.picture)
                loads.emplace_back(p.picture, p.quarter);
        EXPECT_EQ(loads, r.loads);
        EXPECT_EQ(slide->mask, r.mask);
        for (const auto& l : r.loads)
            EXPECT_TRUE(testfiles::exists(gamePath(("pics/intro/" + l.first + ".dat").c_str()))) << l.first << " is not shipped";
    }
}

} // namespace
