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

// Every caption of the credits fits the movie's width: no letter reaches
// the outer columns of the picture, at either side, in the band where the
// captions stand. (A caption wider than the movie is cut at both edges.) A
// letter is a light pixel of the captions' colour beside a very dark one,
// its outline: the town's light walls have no such outline. The movie plays
// to its end.
TEST_F(MovieTest, CreditsCaptionsStayInsideThePicture)
{
    setWatchdog(60);
    const std::string movie = gamePath("pics/intro/credits.mpg");
    const int band = 180, bandHeight = 90;   // GL rows of the captions
    const int edge = 16;                     // screen columns at either side
    int frames = 0, captionFrames = 0, atTheEdges = 0;
    setMovieFrameHook([&] {
        ++frames;
        const std::vector<unsigned char> px = readRect(0, band, kWidth, bandHeight);
        auto at = [&](int x, int y) { return &px[(size_t(y) * kWidth + size_t(x)) * 3]; };
        auto letter = [&](int x, int y) {
            const unsigned char* p = at(x, y);
            if (!(p[0] > 200 && p[1] > 185 && p[2] > 130 && p[0] - p[2] > 30))
                return false;
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || nx >= kWidth || ny < 0 || ny >= bandHeight)
                        continue;
                    const unsigned char* q = at(nx, ny);
                    if (q[0] + q[1] + q[2] < 150)
                        return true;
                }
            return false;
        };
        int middle = 0;
        for (int y = 0; y < bandHeight; ++y) {
            for (int x = kWidth / 2 - 64; x < kWidth / 2 + 64; ++x)
                middle += letter(x, y) ? 1 : 0;
            for (int x = 0; x < edge; ++x)
                atTheEdges += (letter(x, y) ? 1 : 0) + (letter(kWidth - 1 - x, y) ? 1 : 0);
        }
        if (middle > 40)
            ++captionFrames;
    });
    EXPECT_TRUE(playMovie(movie.c_str(), kWidth, kHeight, false, true));
    setMovieFrameHook(nullptr);
    ASSERT_GE(frames, 100) << "too few frames to look at";
    EXPECT_GT(captionFrames, frames / 3) << "the captions are not where this test looks for them";
    EXPECT_EQ(atTheEdges, 0) << "caption letters at the edges of the picture";
}

} // namespace
