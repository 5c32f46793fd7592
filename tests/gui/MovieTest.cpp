// The movies of the game folder played full screen: ESC or SPACE stops one,
// the quit event (window closed, Ctrl-C, SIGTERM) stops it and ends the game.
#include "GuiHarness.h"

#include "core/Movie.h"

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

} // namespace
