#include "app/GameSetup.h"

#include "app/GameWorldAudio.h"

#include "actions/Catalogue.h"
#include "actions/CombatAI.h"
#include "audio/MasterAudio.h"
#include "core/GameConfig.h"
#include "core/Startup.h"
#include "core/Storable.h"
#include "core/TagList.h"
#include "events/EventAPI.h"
#include "app/GameEvents.h"
#include "platform/Random.h"
#include "platform/Timers.h"
#include "rules/ActionList.h"
#include "rules/ClassDefFile.h"
#include "rules/ItemList.h"
#include "rules/MonsterType.h"
#include "rules/RulesEnv.h"
#include "screens/CharView.h"
#include "app/MainViewKeys.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "app/WorldActionEnv.h"
#include "world/WorldRulesEnv.h"

#include <SDL.h>

#include <cstdio>

namespace {

// Master data that the game cannot start without, and its least size.
struct DataFile_S {
    const char* path;
    long minBytes;
};
constexpr DataFile_S kMasterData[] = {
    {"data/actions.dat", 1},   // gzip: an empty stream is valid
    {"data/audio.dat", 0},
    {"data/item.dat", 4},      // the shop name count at least
    {"data/monsters.dat", 1},  // gzip: an empty stream is valid
    {"data/class.dat", 0},
    {"data/itemcreate.dat", 0},
};

} // namespace

// Checked before the window opens: a game without its data says so at
// once instead of playing its introduction first. Every missing file is
// named.
bool masterDataPresent()
{
    bool ok = true;
    for (const DataFile_S& d : kMasterData)
        ok = checkDataFile(d.path, d.minBytes) && ok;
    return ok;
}

bool setUpGame(const char* programName)
{
    if (!startScripting(programName ? programName : "vellrun"))
        return false;
    bool fixedSeed = false;
    const uint32_t seed = vell::startupSeed(&fixedSeed);
    vell::gameSrand(seed);
    // A fixed seed holds for the scripts' dice too.
    if (fixedSeed)
        seedScriptRandom(seed);
    registerGameEvents();

    // The built-in actions, then the data-defined ones (gzip; an empty
    // stream is valid).
    initActions();
    // What the world opens above itself: the equip trial's sheet and the
    // main view's command keys.
    installWorldActionEnv(&CharView_C::equipTrial);
    installMainViewKeys(iface);
    masterActionList.load("data/actions.dat");

    // The stored record types: the rules' (party, characters, shops), the
    // world's and the world variables.
    registerRulesTypes();
    registerWorldTypes();
    getTypeRegistry().add(TYPE_TAG_LIST, TagList_C::create);

    initMasterAudio();

    // Item types.
    if (masterITL.load("data/item.dat") < 0) {
        std::fputs("ERROR: Could not load the item types of 'data/item.dat'!\n", stderr);
        return false;
    }
    // Monster types (gzip; an empty stream is valid).
    if (masterMTL.load("data/monsters.dat") < 0) {
        std::fputs("ERROR: Could not load the monster types of 'data/monsters.dat'!\n", stderr);
        return false;
    }

    // The one combat AI object (the monster types' AI table entry 1).
    initCombatAI();
    // Random-item drops come from the current map's table.
    setRandomItemSource(drawMapRandomItem);

    return vell::loadClassFile("data/class.dat") >= 0 && vell::loadItemCreateFile("data/itemcreate.dat") >= 0;
}

void shutDownGame()
{
    iface.fini();
    masterActionList.destroyAll();
    maserAudio.release();
    masterITL.clear();
    masterMTL.clear();
    stopMixer();
    vell::stopTimers();
    SDL_Quit();
    stopScripting();
    if (gameworld) {
        delete gameworld;
        gameworld = nullptr;
    }
    if (gameConfig.debugFile && gameConfig.debugFile != stderr) {
        std::fclose(gameConfig.debugFile);
        gameConfig.debugFile = stderr;
    }
}
