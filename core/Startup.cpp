#include "core/Startup.h"

#include "platform/Files.h"
#include "platform/SdlDrivers.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <cstring>
#include <string>

StartOptions_S startOptions;

namespace {
std::string programName;
std::string baseDir;
bool audioStarted = false; // SDL's audio subsystem started
bool mixerOpen = false;    // the mixer opened with the game's format

// Which option wants an argument, and what its error says when it has none.
const char* missingArgumentText(const char* option) {
    if (std::strcmp(option, "-d") == 0)
        return "ERROR: -d must be followed by debug level!\n";
    if (std::strcmp(option, "-df") == 0)
        return "ERROR: -df must be followed by filename!\n";
    if (std::strcmp(option, "-g") == 0)
        return "ERROR: -g must be followed by graphics level!\n";
    if (std::strcmp(option, "-c") == 0)
        return "ERROR: -c must be followed by filename!\n";
    return nullptr;
}
} // namespace

bool findDataFiles(const char* name) {
    programName = name ? name : "";
    baseDir = ".";
    // Started from another folder: the data lies beside the program.
    if (!vell::isDir("data")) {
        std::string home = vell::programFolder();
        if (!home.empty() && vell::isDir(home + "/data") && vell::changeDir(home))
            baseDir = home;
    }
    return true;
}

const char* getBaseDir() { return baseDir.empty() ? "." : baseDir.c_str(); }
const char* getProgramName() { return programName.c_str(); }

int applyCommandLine(int argc, char** argv, GameConfig_S& config, StartOptions_S& options, FILE* err) {
    for (int i = 1; i < argc; ++i) {
        const char* opt = argv[i];
        const char* needs = missingArgumentText(opt);
        if (needs) {
            if (std::strcmp(opt, "-d") == 0 || std::strcmp(opt, "-df") == 0)
                std::fputs("WARNING - Debug not compiled in!\n", err);
            if (i + 1 >= argc) {
                std::fputs(needs, err);
                return -1;
            }
            const char* arg = argv[++i];
            if (std::strcmp(opt, "-d") == 0) {
                config.debugLevel = std::atoi(arg);
            } else if (std::strcmp(opt, "-df") == 0) {
                FILE* f = std::fopen(arg, "a");
                if (!f) {
                    std::fprintf(err, "ERROR: Failed to open file '%s' for append!\n", arg);
                    return -1;
                }
                if (config.debugFile && config.debugFile != stderr)
                    std::fclose(config.debugFile);
                config.debugFile = f;
            } else if (std::strcmp(opt, "-g") == 0) {
                config.graphics = std::atoi(arg);
            } else {
                config.load(arg);
            }
        } else if (std::strcmp(opt, "-s") == 0) {
            config.sound = false;
        } else if (std::strcmp(opt, "-w") == 0) {
            config.window = true;
        } else if (std::strcmp(opt, "-16") == 0) {
            config.depth = 16;
        } else if (std::strcmp(opt, "-skipintro") == 0) {
            options.skipIntro = true;
        } else {
            std::fputs("ERROR: Incorrect command line option!\n", err);
            return -1;
        }
    }
    return 0;
}

void parseCommandLine(int argc, char** argv) {
    findDataFiles("vellrun");
    gameConfig.load(GameConfig_S::kPath);
    if (applyCommandLine(argc, argv, gameConfig, startOptions, stderr) != 0)
        std::exit(-1);
}

int startVideo(GameConfig_S& config, SDL_Surface** screen) {
    *screen = nullptr;
    vell::setSdlDrivers(config.dxAudio, config.dxVideo);
    // No SDL timers: the game's own (platform/Timers.h) sleep while nothing
    // is due, where SDL's thread would look every millisecond.
    if (SDL_Init(SDL_INIT_VIDEO) == -1) {
        // The exit code stays 1; the player learns why.
        std::fprintf(stderr, "ERROR: Could not start SDL: %s\n", SDL_GetError());
        return 1;
    }
    // A sound device that cannot be started means silence for this run; the
    // player's setting stays as it is.
    audioStarted = config.sound && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    Uint32 flags = SDL_OPENGL | (config.window ? 0 : SDL_FULLSCREEN);
    *screen = SDL_SetVideoMode(config.width, config.height, config.depth, flags);
    if (!*screen) {
        std::fputs("ERROR! Could not open OpenGL graphics device!\n", stderr);
        SDL_Quit();
        return -1;
    }
    SDL_ShowCursor(0);
    setCaption();
    return 0;
}

bool openMixer() {
    if (Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 4096) != 0)
        return false;
    int freq = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&freq, &format, &channels) || freq != 22050 || format != AUDIO_S16SYS || channels != 2) {
        Mix_CloseAudio();
        return false;
    }
    return true;
}

void startMixer(const GameConfig_S& config) {
    mixerOpen = false;
    if (!config.sound || !audioStarted)
        return;
    if (!openMixer()) {
        std::fprintf(stderr, "Sound is off for this run: the sound device does not play 22050 Hz 16-bit stereo (%s)\n",
                     Mix_GetError());
        return;
    }
    mixerOpen = true;
}

bool soundActive() { return gameConfig.sound && mixerOpen; }

void stopMixer() {
    if (mixerOpen)
        Mix_CloseAudio();
    mixerOpen = false;
}

void setCaption() { SDL_WM_SetCaption("Vellicorn", "Vellicorn"); }

bool checkDataFile(const char* path, long minBytes) {
    FILE* f = vell::openFile(path, "rb");
    if (!f) {
        std::fprintf(stderr, "ERROR: Missing data file '%s'!\n", path);
        return false;
    }
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    std::fclose(f);
    if (size < minBytes) {
        std::fprintf(stderr, "ERROR: Data file '%s' is too short!\n", path);
        return false;
    }
    return true;
}
