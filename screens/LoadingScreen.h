// The loading picture shown while a quest loads.
#pragma once

struct SDL_Surface;

// Clears the window black (shown at once), then shows "pics/intro/loading.dat"
// stretched over the whole window, and returns 0. A missing picture, one
// that does not decode or one smaller than 1024 x 768 leaves the screen black
// and says so on the error stream; the quest load goes on.
int showLoadingScreen(SDL_Surface* screen);
