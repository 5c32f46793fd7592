// The movies of the game folder played full screen: ESC or SPACE stops one,
// the quit event (window closed, Ctrl-C, SIGTERM) stops it and ends the game.
#include "GuiHarness.h"

#include "core/Movie.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class MovieTest : public vell_test::GuiFixture {};

TEST_F(MovieTest, KeysStopTheMovieAndTheQuitEventEndsTheGame)
{
    const std::string movie = gamePath("pics/intro/intro1.mpg");
    pushKey(SDLK_ESCAPE);
    EXPECT_TRUE(playMovie(movie.c_str(), kWidth, kHeight, false, false));
    EXPECT_FALSE(vell::quitRequested());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_TRUE(playMovie(movie.c_str(), kWidth, kHeight, false, true));
    EXPECT_TRUE(vell::quitRequested());
}

// The credits movie is lower than the screen: it stands in the middle, with
// black bands of one height above and below it (the rows a frame shows
// black at either edge, at their fewest over the frames seen).
TEST_F(MovieTest, CreditsMovieIsCentred)
{
    const std::string movie = gamePath("pics/intro/credits.mpg");
    int frames = 0;
    int top = kHeight, bottom = kHeight;
    setMovieFrameHook([&] {
        const std::vector<unsigned char> px = readRect(0, 0, kWidth, kHeight);
        auto blackRow = [&](int y) {
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    if (px[(size_t(y) * kWidth + size_t(x)) * 3 + size_t(c)] > 8)
                        return false;
            return true;
        };
        int t = 0, b = 0;
        while (t < kHeight && blackRow(kHeight - 1 - t))
            ++t;
        while (b < kHeight && blackRow(b))
            ++b;
        if (t < kHeight) { // a frame wholly black tells nothing
            top = std::min(top, t);
            bottom = std::min(bottom, b);
        }
        if (++frames == 40)
            pushKey(SDLK_ESCAPE);
    });
    EXPECT_TRUE(playMovie(movie.c_str(), kWidth, kHeight, false, true));
    setMovieFrameHook(nullptr);
    ASSERT_GE(frames, 10) << "too few frames to look at";
    EXPECT_GT(top, 16) << "no band above";
    EXPECT_GT(bottom, 16) << "no band below";
    EXPECT_LE(std::abs(top - bottom), 2) << "above " << top << " rows, below " << bottom;
}

} // namespace
