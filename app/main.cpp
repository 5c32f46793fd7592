// vellrun: the game program. Start-up (settings, command line, SDL, mixer,
// introduction movie, scripting and master data), the title loop and the
// ordered shutdown.
#include "app/GameSetup.h"
#include "rules/ActionList.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/Movie.h"
#include "core/RefStr.h"
#include "core/Startup.h"
#include "platform/DriverModules.h"
#include "rules/Party.h"
#include "world/Interface.h"
#include "screens/LoadingScreen.h"
#include "screens/SlideSequence.h"
#include "screens/TitleMenu.h"

#include "platform/DisplayLoss.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

SDL_Surface* screen = nullptr;

// Stops the program during start-up, after SDL was started.
[[noreturn]] void startupFailed() {
    masterActionList.destroyAll();
    stopMixer();
    SDL_Quit();
    std::exit(-1);
}

// The credits movie, then the scrolling credits.
void playCredits() {
    playMovie("pics/intro/credits.mpg", gameConfig.width, gameConfig.height, soundActive(), true);
    playSlideSequence(screen, SLIDES_CREDITS);
}

// The introduction movie, which opens on "The vellrun team presents" with
// its music (the introduction slides when the movie cannot be played).
void playIntroduction() {
    if (!playMovie("pics/intro/intro1.mpg", gameConfig.width, gameConfig.height, soundActive(), false))
        playSlideSequence(screen, SLIDES_INTRO);
}

// The quest's name in a message: the file name of its archive.
std::string questName(const RefStr_C& path) {
    const char* p = path.c_str();
    const char* slash = std::strrchr(p, '/');
    return slash ? slash + 1 : p;
}

// The loop over the title menu until the player quits (or closes the
// window: every loop then ends and nothing is saved).
void titleLoop() {
    TitleMenu_C menu(gameConfig.width, gameConfig.height);
    RefStr_C savePath;
    bool gameLoaded = false;
    int result = 0;
    while (result >= 0 && !vell::quitRequested()) {
        result = menu.run(gameLoaded);
        if (result < 0 || vell::quitRequested())
            break;
        if (result == TitleMenu_C::RESULT_CREDITS) {
            playCredits();
            continue;
        }
        if (result == TitleMenu_C::RESULT_START) {
            savePath = menu.getQuestPath();
            showLoadingScreen(screen);
            const bool loaded = iface.load(savePath.c_str());
            // A quest without adventurers (a file emptied to 0 bytes reads
            // as one) could only tell that the party has perished.
            const bool nobody = loaded && (!party || party->getCount() == 0);
            if (!loaded || nobody) {
                // Back to the title, which says why and offers neither to
                // continue nor to save: neither this quest nor the one in
                // play before can be written over.
                gameLoaded = false;
                menu.setQuestInPlay(RefStr_C());
                std::string why = nobody ? "it has no adventurers in its party" : iface.lastLoadError();
                if (nobody)
                    std::fprintf(stderr, "ERROR: Could not load quest %s: %s\n", savePath.c_str(), why.c_str());
                if (!why.empty() && why[0] >= 'a' && why[0] <= 'z')
                    why[0] = char(why[0] - 'a' + 'A');
                menu.report("#4The quest " + questName(savePath) + " could not be loaded!#0  " + why + ".");
                continue;
            }
            gameLoaded = true;
            menu.setQuestInPlay(savePath);
            iface.start();
        } else if (result == TitleMenu_C::RESULT_SAVE) {
            iface.save(); // a failure is shown to the player over the main screen
        }
        iface.sdlEventLoop();
        gameLoaded = true;
    }
    // The menu's textures go while the GL context still exists.
}

} // namespace

int main(int argc, char** argv) {
    parseCommandLine(argc, argv);
    vell::keepDriverModulesLoaded();
    if (!masterDataPresent())
        std::exit(-1);

    int video = startVideo(gameConfig, &screen);
    if (video == 1)
        return 1;
    if (video != 0)
        std::exit(-1);
    vell::endOnLostDisplay();
    startMixer(gameConfig);

    if (!startOptions.skipIntro)
        playIntroduction();
    setCaption();

    // Closed during the introduction: nothing more to start.
    if (!vell::quitRequested()) {
        if (!setUpGame(argc > 0 ? argv[0] : "vellrun"))
            startupFailed();
        if (!iface.init(gameConfig.width, gameConfig.height)) {
            std::fputs("Could not init interface!\n", stderr);
            masterActionList.destroyAll();
            SDL_Quit();
            std::exit(-1);
        }
        titleLoop();
    }
    shutDownGame();
    return 0;
}
