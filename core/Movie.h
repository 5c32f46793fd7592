// Full-screen movies (the introduction and the credits) played through
// smpeg into a 512 x 512 texture that is drawn over the 1024 x 768 design
// space. ESC or SPACE stops a movie; the quit event (window closed, Ctrl-C,
// SIGTERM) stops it and ends the game (vell::requestQuit).
#pragma once
#include <SDL.h>

#include <atomic>
#include <functional>

// Set by movieFrameUpdate when smpeg has drawn a frame; the movie loop
// uploads the frame and clears it.
extern std::atomic<int> movieFrameReady;

// smpeg's display callback; runs on smpeg's thread. Only updates the
// rectangle and raises the frame flag when it is not already raised.
void movieFrameUpdate(SDL_Surface* surface, int x, int y, unsigned int w, unsigned int h);

// Plays the movie over the whole window (screenWidth x screenHeight). The
// credits movie, lower than the 384 rows shown, is centred in them. With sound on the
// movie's sound goes through the mixer's music hook. A file that smpeg cannot
// open is reported on the error stream and skipped. Returns false then.
bool playMovie(const char* file, int screenWidth, int screenHeight, bool sound, bool credits);

// Called after every movie frame is drawn, before its buffer swap; tests
// read pixels there. Null clears it.
void setMovieFrameHook(std::function<void()> hook);
