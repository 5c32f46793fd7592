#include "launcher/LauncherMain.h"

#include "core/CommonInterface.h"
#include "core/Startup.h"
#include "launcher/LauncherMenu.h"
#include "platform/DriverModules.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/SdlDrivers.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstring>
#include <string>

bool readLauncherSettings(GameConfig_S& config, const char* path) {
    ConfigReadReport_S found;
    config.load(path, &found);
    if (found.error) {
        std::fprintf(stderr, "ERROR: Could not read '%s': %s\n", path, std::strerror(found.error));
        return false;
    }
    for (int line : found.ignoredLines)
        std::fprintf(stderr, "WARNING: Line %d of '%s' sets nothing; it is left out when the settings are written.\n",
                     line, path);
    return true;
}

int startGame() {
    const std::string folder = vell::programFolder();
    const std::string game = folder.empty() ? std::string() : folder + "/vellrun";
    std::string why;
    if (!vell::startDetached(game, {game}, &why)) {
        std::fprintf(stderr, "ERROR: Could not start the game '%s': %s\n", game.empty() ? "vellrun" : game.c_str(),
                     why.c_str());
        return -1;
    }
    return 0;
}

int launcherMain() {
    vell::keepDriverModulesLoaded();
    if (!findDataFiles("vellrun") || !vell::isDir("data")) {
        std::fputs("ERROR: Failed to find data files!\n", stderr);
        return -1;
    }
    GameConfig_S config;
    if (!readLauncherSettings(config, GameConfig_S::kPath))
        return -1;
    if (!checkDataFile(CommonInterface_C::kFontPath, 8) || !checkDataFile(LauncherMenu_C::kTitlePicture, 1))
        return -1;

    vell::setSdlDrivers(config.dxAudio, config.dxVideo);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) == -1) {
        std::fputs("error initing video\n", stderr);
        return 1;
    }
    // Whether the title music can play now; the sound setting stays the
    // player's whatever the device says.
    bool audio = config.sound && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!SDL_SetVideoMode(LauncherMenu_C::kWindowWidth, LauncherMenu_C::kWindowHeight, 8, SDL_OPENGL)) {
        std::fprintf(stderr, "Video mode set failed: %s\n", SDL_GetError());
        SDL_Quit();
        return -23;
    }
    SDL_WM_SetCaption("Vellicorn Launcher", "Vellicorn Launcher");
    audio = audio && openMixer();

    int result;
    {
        LauncherMenu_C menu(config, audio);
        result = menu.run();
    }
    // Audio and window are closed before the game opens its own.
    if (audio)
        Mix_CloseAudio();
    SDL_Quit();
    if (result == LauncherMenu_C::STATE_PLAY)
        return startGame();
    return result < 0 ? -1 : 0;
}
