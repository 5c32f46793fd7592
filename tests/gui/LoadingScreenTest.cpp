// The loading picture: shown the right way up over the whole window, and a
// missing or too small picture leaves the screen black without harm.
// Mesa's software renderer swaps by copying, so the back buffer still holds
// what was last shown; the front buffer cannot be read back under Xvfb.
#include "GuiHarness.h"

#include "screens/LoadingScreen.h"

#include <unistd.h>

#include <string>

namespace {

class LoadingScreenTest : public vell_test::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        dir_ = std::string(::testing::TempDir()) + "vell_loading_" + std::to_string(::getpid());
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "/pics/intro'").c_str()), 0);
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        if (::chdir(oldDir_) == 0)
            std::system(("rm -rf '" + dir_ + "'").c_str());
        GuiFixture::TearDown();
    }
    void usePicture(const char* fixture) {
        std::string src = std::string(VELL_TEST_FIXTURES) + "/loading/" + fixture;
        ASSERT_EQ(std::system(("cp '" + src + "' pics/intro/loading.dat").c_str()), 0);
    }
    char oldDir_[4096];
    std::string dir_;
};

TEST_F(LoadingScreenTest, PictureFillsTheWindowFirstRowOnTop) {
    usePicture("red-over-blue.dat");
    clearScreen(1, 1, 1);
    EXPECT_EQ(showLoadingScreen(SDL_GetVideoSurface()), 0);
    // The picture's top half is red, its bottom half blue (GL y grows upward).
    EXPECT_GT(countNear(0, 400, kWidth, 368, {255, 0, 0}, 40, GL_BACK), kWidth * 368 * 9 / 10);
    EXPECT_GT(countNear(0, 0, kWidth, 368, {0, 0, 255}, 40, GL_BACK), kWidth * 368 * 9 / 10);
}

TEST_F(LoadingScreenTest, MissingOrTooSmallPictureLeavesTheScreenBlack) {
    for (const char* fixture : {"", "too-small.dat"}) {
        if (*fixture)
            usePicture(fixture);
        clearScreen(1, 1, 1);
        EXPECT_EQ(showLoadingScreen(SDL_GetVideoSurface()), 0);
        EXPECT_EQ(countNot(0, 0, kWidth, kHeight, {0, 0, 0}, 4, GL_BACK), 0) << "picture: " << fixture;
    }
    // A file that is no JPEG at all.
    ASSERT_EQ(std::system("echo 'not a picture' > pics/intro/loading.dat"), 0);
    EXPECT_EQ(showLoadingScreen(SDL_GetVideoSurface()), 0);
    EXPECT_EQ(countNot(0, 0, kWidth, kHeight, {0, 0, 0}, 4, GL_BACK), 0);
}

} // namespace
