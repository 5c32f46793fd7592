// vellrun: the game program. Start-up (settings, command line, SDL, mixer,
// introduction movie, scripting and master data), the title loop and the
// ordered shutdown.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "audio/MasterAudio.h"
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/Movie.h"
#include "core/RefStr.h"
#include "core/Startup.h"
#include "core/Storable.h"
#include "core/TagList.h"
#include "events/EventAPI.h"
#include "platform/Random.h"
#include "rules/ClassDefFile.h"
#include "screens/LoadingScreen.h"
#include "screens/TitleMenu.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

SDL_Surface* screen = nullptr;

// Stops the program during start-up, after SDL was started.
[[noreturn]] void startupFailed() {
    if (gameConfig.sound)
        Mix_CloseAudio();
    SDL_Quit();
    std::exit(-1);
}

// ---------------------------------------------------------------------------
// The quest in play. These few calls are all the title loop needs of the
// main interface; they stand in for it until the world's interface object
// takes them over.

bool interfaceInit(int width, int height) {
    (void)width;
    (void)height;
    return true;
}

bool questLoad(const RefStr_C& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "ERROR: Could not open the quest '%s'!\n", path.c_str());
        return false;
    }
    std::fclose(f);
    return true;
}

void questStart() {}

void questSave() {}

// Runs the quest until the player leaves it with ESC.
void questEventLoop() {
    CommonInterface_C text(1024, 768);
    int state = 1;
    ModalLoop_C loop(
        state, [&](const SDL_keysym& k) { if (k.sym == SDLK_ESCAPE) state = 0; },
        [&] {
            glViewport(0, 0, gameConfig.width, gameConfig.height);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glColor3f(1, 1, 1);
            text.printFormat(300, 400, "The realm lies still. (ESCAPE) returns to the title.", 800);
        });
    loop.run();
}

void interfaceFini() {}

// ---------------------------------------------------------------------------

// Starts the interpreter with the program's name, its script folder first on
// the path and the scripts' own random generator.
void startPython(const char* programName) {
    PyConfig config;
    PyConfig_InitPythonConfig(&config);
    config.write_bytecode = 0;
    config.parse_argv = 0;
    config.install_signal_handlers = 0; // SDL keeps its own
    PyConfig_SetBytesString(&config, &config.program_name, programName);
    PyStatus status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status)) {
        std::fprintf(stderr, "ERROR: Could not start Python: %s\n", status.err_msg ? status.err_msg : "unknown");
        startupFailed();
    }
    PyRun_SimpleString("import sys\nsys.path.insert(0, './data/scripts')\n");
    PyRun_SimpleString("from random import Random\nrand = Random(None)\n");
}

// Master data that the game cannot start without.
void requireDataFile(const char* path, long minBytes) {
    if (!checkDataFile(path, minBytes))
        startupFailed();
}

void init(int argc, char** argv) {
    startPython(argc > 0 ? argv[0] : "vellrun");
    initEventAPI();
    vell::gameSrand(static_cast<uint32_t>(std::time(nullptr)));

    // The built-in and data-defined actions (gzip; an empty stream is valid).
    requireDataFile("data/actions.dat", 1);

    TypeRegistry_C& registry = getTypeRegistry();
    registry.add(TYPE_TAG_LIST, TagList_C::create);

    requireDataFile("data/audio.dat", 0);
    initMasterAudio();

    // Item types: the shop name count at least.
    requireDataFile("data/item.dat", 4);
    // Monster types (gzip; an empty stream is valid).
    requireDataFile("data/monsters.dat", 1);

    if (vell::loadClassFile("data/class.dat") < 0)
        startupFailed();
    if (vell::loadItemCreateFile("data/itemcreate.dat") < 0)
        startupFailed();
}

void playCredits() {
    playMovie("pics/intro/credits.mpg", gameConfig.width, gameConfig.height, gameConfig.sound, true);
}

void shutdown() {
    interfaceFini();
    maserAudio.release();
    if (gameConfig.sound)
        Mix_CloseAudio();
    SDL_Quit();
    Py_FinalizeEx();
    if (gameConfig.debugFile && gameConfig.debugFile != stderr) {
        std::fclose(gameConfig.debugFile);
        gameConfig.debugFile = stderr;
    }
}

} // namespace

int main(int argc, char** argv) {
    parseCommandLine(argc, argv);

    int video = startVideo(gameConfig, &screen);
    if (video == 1)
        return 1;
    if (video != 0)
        std::exit(-1);
    startMixer(gameConfig);

    if (!startOptions.skipIntro)
        playMovie("pics/intro/intro1.mpg", gameConfig.width, gameConfig.height, gameConfig.sound, false);
    setCaption();

    init(argc, argv);

    if (!interfaceInit(gameConfig.width, gameConfig.height)) {
        std::fputs("Could not init interface!\n", stderr);
        SDL_Quit();
        std::exit(-1);
    }

    int result = 0;
    {
        TitleMenu_C menu(gameConfig.width, gameConfig.height);
        RefStr_C savePath;
        bool gameLoaded = false;
        while (result >= 0) {
            result = menu.run(gameLoaded);
            if (result < 0)
                break;
            if (result == TitleMenu_C::RESULT_CREDITS) {
                playCredits();
                continue;
            }
            if (result == TitleMenu_C::RESULT_START) {
                savePath = menu.getQuestPath();
                showLoadingScreen(screen);
                if (!questLoad(savePath))
                    continue; // back to the title, nothing was started
                gameLoaded = true;
                questStart();
            } else if (result == TitleMenu_C::RESULT_SAVE) {
                questSave();
            }
            questEventLoop();
            gameLoaded = true;
        }
        // The menu's textures go while the GL context still exists.
    }
    shutdown();
    return 0;
}
