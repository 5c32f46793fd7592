// What the bench programs share: the clock and its statistics, the game
// folder they run in, and the 1024 x 768 OpenGL window.
// Header only: every tools/*.cpp is a program of its own.
#pragma once
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

struct Stats {
    double median = 0, p95 = 0;
};

inline Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.p95 = v[std::min(v.size() - 1, size_t(double(v.size()) * 0.95))];
    return s;
}

// Changes into the game folder: the one given, else "../game" beside the
// program. False (with a message) when there is none.
inline bool enterGameFolder(const char* argv0, const char* given)
{
    std::string dir = given ? given : "";
    if (dir.empty()) {
        const std::string self = argv0;
        const size_t slash = self.find_last_of('/');
        dir = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/../game";
    }
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "ERROR: no game folder %s\n", dir.c_str());
        return false;
    }
    return true;
}

// SDL with video and timers, and a 1024 x 768 double-buffered OpenGL window
// with depth and stencil. False (with a message, SDL shut) on failure.
inline bool openBenchWindow()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) {
        std::fprintf(stderr, "ERROR: SDL_Init: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    if (!SDL_SetVideoMode(1024, 768, 0, SDL_OPENGL)) {
        std::fprintf(stderr, "ERROR: video mode: %s\n", SDL_GetError());
        SDL_Quit();
        return false;
    }
    return true;
}

} // namespace bench
