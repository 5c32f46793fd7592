// The game of a benchmark, started as the program starts it: in its game
// folder, on the settings' defaults in a 1024 x 768 window, through the
// program's own video start-up and set-up (app/GameSetup.h: every event
// class, the actions, the master lists), with the interface made for the
// window and a new quest begun from the quest template, as (N)ew Game does.
// A start that fails says why on an "ERROR" line and gives false; the
// benchmark then ends with an error.
// Header only: every tools/*.cpp is a program of its own.
#pragma once
#include "app/GameSetup.h"
#include "core/GameConfig.h"
#include "core/Startup.h"
#include "platform/DriverModules.h"
#include "tools/BenchSupport.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

#include <SDL.h>
#include <GL/gl.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

class GameRun {
public:
    GameRun() = default;
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;
    ~GameRun()
    {
        if (started_)
            shutDownGame();
        if (!archive_.empty())
            std::remove(archive_.c_str());
    }

    // Everything up to the title menu; `gameFolder` null for the one beside
    // the program. Sound on, as the settings' default, unless told.
    bool start(const char* argv0, const char* gameFolder, bool sound = true)
    {
        if (!enterGameFolder(argv0, gameFolder))
            return false;
        findDataFiles("vellrun");
        gameConfig.setDefaults();
        gameConfig.window = true;
        gameConfig.sound = sound;
        vell::keepDriverModulesLoaded();
        if (!masterDataPresent())
            return false;
        SDL_Surface* screen = nullptr;
        if (startVideo(gameConfig, &screen) != 0)
            return false;
        started_ = true;
        startMixer(gameConfig);
        if (!setUpGame("vellrun"))
            return false;
        if (!iface.init(gameConfig.width, gameConfig.height)) {
            std::fputs("ERROR: Could not init interface!\n", stderr);
            return false;
        }
        const char* threads = std::getenv("LP_NUM_THREADS");
        std::printf("renderer: %s, LP_NUM_THREADS=%s, sound %s\n",
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)), threads ? threads : "(unset)",
                    soundActive() ? "on" : "off");
        return true;
    }

    // A new quest from "data/savegame.dat" in a file of its own, loaded and
    // started: the party stands in the town. `loadMs` gets the time of the
    // load and start (the town's map with it).
    bool newQuest(double* loadMs)
    {
        char path[] = "/tmp/vell-bench-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0) {
            std::perror("ERROR: no file for the quest");
            return false;
        }
        close(fd);
        archive_ = path;
        {
            std::ifstream in("data/savegame.dat", std::ios::binary);
            std::ofstream out(archive_, std::ios::binary | std::ios::trunc);
            out << in.rdbuf();
            if (!in || !out) {
                std::fputs("ERROR: the quest template data/savegame.dat cannot be copied\n", stderr);
                return false;
            }
        }
        const Clock::time_point t = Clock::now();
        if (!iface.load(archive_.c_str()) || !iface.start()) {
            std::fprintf(stderr, "ERROR: the quest cannot be loaded: %s\n", iface.lastLoadError().c_str());
            return false;
        }
        if (loadMs)
            *loadMs = msSince(t);
        return true;
    }

private:
    bool started_ = false;
    std::string archive_;
};

// Changes the map as the stairs do, but a map that cannot be built ends the
// benchmark with an error instead of a message that waits for a key. The
// time of the change goes to `ms`.
inline bool changeMap(const char* path, double* ms)
{
    const Clock::time_point t = Clock::now();
    if (!gameworld || !gameworld->newMap(path)) {
        std::fprintf(stderr, "ERROR: the map %s cannot be loaded\n", path);
        return false;
    }
    if (ms)
        *ms = msSince(t);
    return true;
}

// The floor of a screen's figures: `frames` frames that only clear and swap,
// printed as the run's floor.
inline void clearSwapFloor(int frames)
{
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point t = Clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        glFinish();
        ms.push_back(msSince(t));
    }
    floorFigure("clear + swap", ms, "ms");
}

// CPU time of the whole process so far (every thread), in milliseconds.
inline double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

} // namespace bench
