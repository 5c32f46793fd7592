#include "world/Interface.h"

#include "audio/MasterAudio.h"
#include "core/ArchiveFile.h"
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ImageLoad.h"
#include "core/ModalLoop.h"
#include "core/MouseRegions.h"
#include "core/PicCache.h"
#include "platform/EventWait.h"
#include "platform/FileIO.h"
#include "platform/Files.h"
#include "core/ScrollPane.h"
#include "core/TimerWork.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Map.h"
#include "world/MapRenderer.h"
#include "world/Movement.h"
#include "world/PartyLight.h"
#include "world/QuestStores.h"
#include "world/WorldRulesEnv.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstring>

Interface_C iface;
ArchiveFile_C* saveFile = nullptr;

const char* const Interface_C::kPicturePaths[PIC_COUNT] = {
    "pics/other/iface.dat",     "pics/other/compOff.dat",   "pics/other/compNorth.dat",
    "pics/other/compWest.dat",  "pics/other/compSouth.dat", "pics/other/compEast.dat",
    "pics/other/musicOff.dat",  "pics/other/musicOn.dat",   "pics/other/shieldOff.dat",
    "pics/other/shieldOn.dat",  "pics/other/scryOff.dat",   "pics/other/scryOn.dat",
    "pics/other/lightOff.dat",  "pics/other/lightOn.dat",
};

namespace {

constexpr int kDesignW = ViewLayout_S::kDesignWidth;
constexpr int kDesignH = ViewLayout_S::kDesignHeight;
constexpr SDLMod kShift = static_cast<SDLMod>(KMOD_LSHIFT | KMOD_RSHIFT);


void realDelay(uint32_t ms) { SDL_Delay(ms); }

bool realHeld(SDLKey key)
{
    SDL_PumpEvents();
    int n = 0;
    const Uint8* keys = SDL_GetKeyState(&n);
    return keys && key < n && keys[key] != 0;
}

// An archive's error told to the player: the quest is named already, so its
// path (and a blank beside it) goes.
std::string withoutPath(std::string text, const char* path)
{
    const size_t n = path ? std::strlen(path) : 0;
    if (n == 0)
        return text;
    for (size_t at = text.find(path); at != std::string::npos; at = text.find(path, at)) {
        size_t len = n;
        if (at + len < text.size() && text[at + len] == ' ')
            ++len;
        else if (at > 0 && text[at - 1] == ' ')
            --at, ++len;
        text.erase(at, len);
    }
    return text;
}

} // namespace

Interface_C::Interface_C() : delay_(realDelay), held_(realHeld) {}

Interface_C::~Interface_C()
{
    if (!finiDone_)
        fini();
}

void Interface_C::setTiming(DelayFn delay, HeldFn held)
{
    delay_ = delay ? delay : realDelay;
    held_ = held ? held : realHeld;
}

Interface_C::DisplayHook& gAfterDisplayHook()
{
    static Interface_C::DisplayHook hook = nullptr;
    return hook;
}

void Interface_C::setAfterDisplayHook(DisplayHook hook) { gAfterDisplayHook() = hook; }

CommonInterface_C& Interface_C::text()
{
    if (!text_)
        text_ = std::make_unique<CommonInterface_C>(kDesignW, kDesignH);
    return *text_;
}

// --- life cycle ------------------------------------------------------------------

bool Interface_C::init(int width, int height)
{
    layout_ = ViewLayout_S();
    layout_.rescale(width, height);
    text_ = std::make_unique<CommonInterface_C>(width, height);
    text_->setTextLevel(gameConfig.textLevel);
    loadPictures();
    soundOn_ = gameConfig.sound;
    mouseRegions_.reset();
    if (gameConfig.mouseSupport) {
        mouseRegions_ = std::make_unique<MouseRegions_C>();
        mouseRegions_->makeCursors();
        SDL_ShowCursor(1);
    }
    setupGL();
    setupRosterCache();
    picCache_ = std::make_unique<PicCache_C>(12, 20);
    picCache_->loadIndex("data/picindex.dat");
    initDone_ = true;
    finiDone_ = false;
    return true;
}

void Interface_C::loadPictures()
{
    freePictures();
    const int quality = gameConfig.ifaceSmall ? 0 : 1;
    for (int i = 0; i < PIC_COUNT; ++i) {
        const TexInfo_S t = loadDATTex(kPicturePaths[i], quality, 1, 1);
        Pic_S& p = pics_[i];
        p.texId = static_cast<unsigned>(t.texID);
        p.ratioS = t.texWidth ? float(t.width) / float(t.texWidth) : 0.0f;
        p.ratioT = t.texHeight ? float(t.height) / float(t.texHeight) : 0.0f;
        // The frame covers the 1024 x 768 design space whatever the size
        // of the detail level's picture.
        p.width = i == PIC_FRAME ? float(kDesignW) : 64.0f;
        p.height = i == PIC_FRAME ? float(kDesignH) : 64.0f;
    }
}

void Interface_C::freePictures()
{
    for (Pic_S& p : pics_) {
        if (p.texId) {
            const GLuint id = p.texId;
            glDeleteTextures(1, &id);
        }
        p = Pic_S();
    }
}

void Interface_C::setupGL()
{
    if (gameConfig.fog)
        glEnable(GL_FOG);
    else
        glDisable(GL_FOG);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    const GLfloat white[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);

    struct LightDef {
        GLenum light;
        GLfloat ambient[4], diffuse[4], specular[4];
    };
    const LightDef lights[4] = {
        {GL_LIGHT0, {0.625f, 0.625f, 0.575f, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}},
        {GL_LIGHT1, {0.1f, 0.1f, 0.1f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}},
        {GL_LIGHT2, {0.2f, 0.2f, 0.3f, 1}, {0.5f, 0.5f, 0.7f, 1}, {0.3f, 0.3f, 0.45f, 1}},
        {GL_LIGHT3, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}},
    };
    for (const LightDef& l : lights) {
        glLightfv(l.light, GL_AMBIENT, l.ambient);
        glLightfv(l.light, GL_DIFFUSE, l.diffuse);
        glLightfv(l.light, GL_SPECULAR, l.specular);
    }
    glLightf(GL_LIGHT3, GL_QUADRATIC_ATTENUATION, 1.0f);
    const GLfloat modelAmbient[4] = {0.05f, 0.05f, 0.05f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT3);
    maprender::ensureDisplayLists();
}

void Interface_C::dropQuest()
{
    setRulesEnv(nullptr);
    rulesEnv_.reset();
    delete party;
    party = nullptr;
    if (currentWorld_) {
        delete currentWorld_;
        currentWorld_ = nullptr;
        gameworld = nullptr;
    }
    installQuestStores(nullptr);
    delete saveFile;
    saveFile = nullptr;
    questPath_.clear();
    readOnly_ = false;
    percepPane_.reset();
    percepValid_ = false;
    entryState_ = deferredEntry_ = 0;
    eventRunning_ = false;
}

bool Interface_C::load(const char* path)
{
    // Whatever belonged to the quest before goes first.
    dropQuest();
    loadError_.clear();
    if (!loadQuest(path)) {
        // Nothing of a quest that cannot be read is kept: no later save may
        // write over it.
        dropQuest();
        if (loadError_.empty())
            loadError_ = "it cannot be read";
        return false;
    }
    return true;
}

bool Interface_C::loadQuest(const char* path)
{
    const char* shown = path && *path ? path : "(none)";
    // Records why for the player and the error stream; always false.
    auto fail = [this, shown](const std::string& why) {
        loadError_ = why;
        std::fprintf(stderr, "ERROR: Could not load quest %s: %s\n", shown, why.c_str());
        return false;
    };
    std::string error;
    questPath_ = path ? path : "";
    // A read-only quest is played from a copy that no one else sees (gone
    // with the archive): the stores of play never reach its file.
    readOnly_ = vell::isReadOnlyFile(questPath_);
    std::string opened = questPath_;
    if (readOnly_) {
        if (vell::isHeld(questPath_.c_str()))
            return fail("the quest is in use by another game");
        opened = vell::privateCopy(questPath_, &error);
        if (opened.empty())
            return fail("its file is read-only and " + error);
    }
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(opened, false, &error, true);   // held while in play
    if (readOnly_)
        std::remove(opened.c_str());
    if (!archive) {
        return fail(error.empty() ? "its file cannot be opened" : withoutPath(withoutPath(error, path), opened.c_str()));
    }
    // Changes never committed are dropped.
    archive->rollback();
    saveFile = archive.release();
    installQuestStores(saveFile);

    // A quest that has never been saved has no "world" yet; reading makes
    // none (the first save does).
    DirHandle_C world;
    if (saveFile->hasEntry("world")) {
        world = saveFile->openDir("world");
        if (!world || world->isBroken())
            return fail("the archive's world directory is damaged");
    }
    if (world && world->hasEntry("ra2d.dat")) {
        std::unique_ptr<Storable_C> rec = world->load("ra2d.dat");
        auto* w = dynamic_cast<ra2dGameWorld*>(rec.get());
        // A world that cannot be read is never replaced by a new one: a
        // later save would overwrite the quest.
        if (!w)
            return fail("its world is damaged, or the map it stands on cannot be loaded");
        rec.release();
        currentWorld_ = w;
    }
    const bool freshWorld = !currentWorld_;
    if (freshWorld) {
        currentWorld_ = new ra2dGameWorld(RefStr_C("ra2d.dat"));
        gameworld = currentWorld_;
        // A quest that cannot stand on its first map is no quest.
        if (!currentWorld_->newWorld())
            return fail(std::string("the map ") + ra2dGameWorld::START_MAP + " cannot be loaded");
    }
    gameworld = currentWorld_;
    // From here on the rules use this world's clock, serials and variables
    // (reading the party may number items).
    rulesEnv_ = std::make_unique<WorldRulesEnv_C>(currentWorld_);
    setRulesEnv(rulesEnv_.get());

    if (world && world->hasEntry("party.dat")) {
        std::unique_ptr<Storable_C> rec = world->load("party.dat");
        auto* p = dynamic_cast<bl3dParty*>(rec.get());
        // Never replaced by an empty party that a save would write over it.
        if (!p)
            return fail("its party is damaged");
        rec.release();
        party = p;
    }
    if (!party)
        party = new bl3dParty(RefStr_C("party.dat"));
    if (freshWorld)
        numberItemsAfterParty();

    currentWorld_->getClock().setListener(this);
    if (!getCurrentMap())
        return fail("it has no map to stand on");
    return true;
}

// A quest made from the template starts with a new world whose item serials
// begin at the first one, while the ready-made adventurers already carry
// items: new items must not share a serial (and so the owner keys of their
// stat modifiers) with those.
void Interface_C::numberItemsAfterParty()
{
    uint64_t highest = 0;
    auto note = [&highest](const ListObject_C* item) {
        if (item && item->getSerial() > highest)
            highest = item->getSerial();
    };
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (!m)
            continue;
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            note(m->getSlotItem(slot));
        for (int k = 0; k < m->getPack()->count(); ++k)
            note(m->getPack()->at(k));
    }
    currentWorld_->skipItemSerialsThrough(highest);
}

bool Interface_C::save()
{
    saveError_.clear();
    std::string waiting;
    if (!saveFile || !currentWorld_) {
        saveError_ = "no quest is loaded";
    } else if (readOnly_ || vell::isReadOnlyFile(questPath_)) {
        // Marked read-only since it was loaded, too: its owner's mark holds.
        saveError_ = "the quest's file is read-only";
    } else if (!storeUnstored(saveFile, &waiting)) {
        saveError_ = "what was kept for this save (" + waiting + ") could not be stored";
    } else {
        DirHandle_C world = saveFile->openDir("world");
        if (!world || world->isBroken())
            saveError_ = "the archive's world directory cannot be written";
        else if (!world->store(*currentWorld_) || !currentWorld_->mapStatesStored())
            saveError_ = "the world could not be stored";
        else if (party && (!world->store(*party) || !party->lastWriteOk()))
            saveError_ = party->lastWriteError().empty() ? "the party could not be stored" : party->lastWriteError();
        else if (!saveFile->commit())
            saveError_ = "the archive could not be committed";
    }
    if (saveError_.empty())
        return true;

    std::fprintf(stderr, "ERROR: Could not save the game: %s\n", saveError_.c_str());
    showMessage("#4The game could not be saved!#0 (" + saveError_ + ")");
    return false;
}

namespace {
// The main screen behind a message: the frame, the banner and the 3-D view
// (whatever screen was shown before, the title menu included, is covered).
void drawMainScreenBehind()
{
    iface.drawBackground();
    iface.clearUR(false);
    iface.redrawUL();
}
} // namespace

void Interface_C::showMessage(const std::string& msg)
{
    lastMessage_ = msg;
    if (!initDone_ || !SDL_GetVideoSurface() || vell::quitRequested())
        return;
    MessageBoxHost_S host;
    host.text = &text();
    host.regions = mouseRegions_.get();
    host.clearUR = [this](bool force) { clearUR(force); };
    host.drawCharText = [this] { drawCharText(); };
    host.drawBackground = [this] { drawBackground(); };
    messageBox(host, msg.c_str(), this == &iface ? drawMainScreenBehind : nullptr);
}

bool Interface_C::start()
{
    if (!currentWorld_ || !getCurrentMap())
        return false;
    if (readOnly_) {
        std::fprintf(stderr, "WARNING: the quest %s is read-only: it is played, but cannot be saved\n",
                     questPath_.c_str());
        showMessage("#4This quest's file is read-only:#0 you may play on, but the quest cannot be saved.");
    }
    entryState_ |= 0x01;
    skipULOnce_ = true;
    pushRedraw();
    timerPending_ = true;
    maserAudio.mapChange(getCurrentMap()->getFileName());
    calcLight();
    return true;
}

void Interface_C::fini()
{
    setRulesEnv(nullptr);
    rulesEnv_.reset();
    delete party;
    party = nullptr;
    delete saveFile;
    saveFile = nullptr;
    installQuestStores(nullptr);
    if (initDone_) {
        freePictures();
        if (roster_.texId) {
            const GLuint id = roster_.texId;
            glDeleteTextures(1, &id);
        }
    }
    roster_ = RosterCache_S();
    percepPane_.reset();
    if (picCache_) {
        picCache_->fini();
        picCache_.reset();
    }
    if (currentWorld_) {
        delete currentWorld_;
        currentWorld_ = nullptr;
        gameworld = nullptr;
    }
    mouseRegions_.reset();
    initDone_ = false;
    finiDone_ = true;
}

// --- the main loop ---------------------------------------------------------------

void Interface_C::sdlEventLoop()
{
    Map_C* map = getCurrentMap();
    if (!currentWorld_ || !map)
        return;
    quitFlag_ = false;
    drawBackground();
    map->drawEnv();
    display();
    drawBackground();

    if (currentWorld_->songID != 0)
        maserAudio.playSong(currentWorld_->songID, static_cast<unsigned>(currentWorld_->songBits));
    else if (maserAudio.isSongPlaying())
        maserAudio.stopSong();

    entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x01);
    if (!vell::quitRequested())
        ProcessEvents();

    while (!quitFlag_) {
        if (vell::quitRequested()) {
            quitFlag_ = true;   // the game is ending (quit event seen elsewhere)
            break;
        }
        SDL_Event ev;
        const int heldKey = mouseRegions_ ? mouseRegions_->heldKey() : 0;
        const bool repeating = repeatForward_ || repeatLeft_ || repeatRight_ || heldKey != 0;
        // Nothing to repeat and nothing pending: sleep until something
        // happens instead of spinning a core. A square entered since the
        // last pass (a random event or a square's event that moved the
        // party) is processed before the next key, so no waiting then.
        if (!repeating && !timerPending_ && entryState_ == 0 && vell::waitEvent(&ev))
            dispatch(ev);
        while (!quitFlag_ && SDL_PollEvent(&ev))
            dispatch(ev);
        if (quitFlag_ || vell::quitRequested())
            break;
        ProcessEvents();

        const int held = mouseRegions_ ? mouseRegions_->heldKey() : 0;
        if (repeatForward_ || held == SDLK_UP || held == SDLK_KP8) {
            SDL_Event k{};
            k.type = SDL_KEYDOWN;
            k.key.state = SDL_PRESSED;
            k.key.keysym.sym = SDLK_UP;
            k.key.keysym.mod = repeatForwardShift_ ? kShift : KMOD_NONE;
            SDL_PushEvent(&k);
            repeatForward_ = repeatForwardShift_ = false;
        }
        if (repeatLeft_ || held == SDLK_LEFT || held == SDLK_KP4) {
            vell::pushKeyEvent(SDLK_LEFT, true);
            repeatLeft_ = false;
        }
        if (repeatRight_ || held == SDLK_RIGHT || held == SDLK_KP6) {
            vell::pushKeyEvent(SDLK_RIGHT, true);
            repeatRight_ = false;
        }
    }
}

void Interface_C::dispatch(const SDL_Event& ev)
{
    switch (ev.type) {
    case SDL_KEYDOWN:
        key(ev.key.keysym.sym, ev.key.keysym.mod);
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (gameConfig.mouseSupport)
            vell::forwardMouseEvent(ev, mouseRegions_.get());
        break;
    case SDL_VIDEOEXPOSE:
        drawBackground();
        display();
        drawBackground();
        break;
    case SDL_USEREVENT:
        if (ev.user.code == vell::kRedrawCode)
            display();
        else
            vell::runTimerWork(ev);
        break;
    case SDL_QUIT:
        // Window closed, Ctrl-C or SIGTERM: the game ends as the menu's quit
        // ends it, without saving.
        vell::requestQuit();
        quit(0);
        break;
    default:
        break;
    }
}

void Interface_C::ProcessEvents()
{
    Map_C* map = getCurrentMap();
    if (!map)
        return;
    map->processEvents(currentWorld_->getSquareX(), currentWorld_->getSquareY(), this);
    if (!quitFlag_ && timerPending_) {
        timerEvents();
        // The time that passed shows: nightfall, the weather, spell points,
        // a light or a song that ended. (A wait draws nothing else.)
        if (!quitFlag_ && !vell::quitRequested())
            display();
    }
}

void Interface_C::timerEvents()
{
    timerPass();
    // Cleared after the pass: a clock advance made by the pass itself (a
    // fight and its chest, a random event, the Hall after the party's
    // death) asks for none, and neither does the advance of a rest's step
    // or of a script that made its own pass.
    timerPending_ = false;
}

void Interface_C::timerPass()
{
    Map_C* map = getCurrentMap();
    if (!map || !currentWorld_)
        return;
    const int x = currentWorld_->getSquareX();
    const int y = currentWorld_->getSquareY();
    // Wandering monsters come only where no random event did.
    if (!map->hasCellEvent(x, y) && map->rollRandomEvents(this) == 0)
        map->randMonster(this);

    // A random event may have taken the party to another map.
    if (Map_C* now = getCurrentMap())
        now->wetherCheck(*currentWorld_);

    if (!party)
        return;
    compactParty();
    for (int i = party->getCount() - 1; i >= 0; --i) {
        bl3dPartyChar* m = party->getMember(i);
        if (m && m->isDead() && m->isJoinedMonster())
            party->removeAt(i);
    }
    if (!party->anyoneAlive())
        allDead();
}

void Interface_C::compactParty()
{
    for (;;) {
        const int n = party->getCount();
        int firstDead = -1;
        bool livingAfter = false;
        for (int i = 0; i < n; ++i) {
            const bl3dPartyChar* m = party->getMember(i);
            if (!m)
                continue;
            if (m->isDead()) {
                if (firstDead < 0)
                    firstDead = i;
            } else if (firstDead >= 0) {
                livingAfter = true;
                break;
            }
        }
        if (!livingAfter)
            return;
        bl3dPartyChar* dead = party->detachAt(firstDead);
        if (!dead || !party->addMember(dead)) {
            delete dead;   // cannot happen with a roster that just had room
            return;
        }
    }
}

void Interface_C::allDead()
{
    ++partyFalls_;
    clearUR(false);
    setULPic("AllDead");
    int state = 1;
    ModalLoop_C loop(
        state, [&state](const SDL_keysym& k) {
            if (k.sym == SDLK_SPACE)
                state = 0;
        },
        [this] {
            clearUR(false);
            drawULPic();
            drawCharText();
            glColor3f(0, 0, 0);
            textUR("All of your brave party has perished.", true);
            glColor3f(0, 0, 0);
            text().printStr(layout_.upperRight.left, getURLineY(0), "(SPACE) to Continue");
        });
    loop.setFrame([this] { drawBackground(); });
    loop.run();
    if (vell::quitRequested())
        return;

    if (!carryToHall(nullptr))
        return;
    // Back on the street: the message must not stay on the screen.
    skipULOnce_ = false;
    pushRedraw();
}

bool Interface_C::carryToHall(const EventParams_S* exit)
{
    const Map_C* now = getCurrentMap();
    if ((!now || std::strcmp(now->getFileName(), ra2dGameWorld::START_MAP) != 0)
        && !newMap(ra2dGameWorld::START_MAP))
        return false;
    setCurX(13.0f);
    setViewX(13.0f);
    setCurZ(-24.0f);
    setViewZ(-24.0f);
    setFacing(0);
    setViewFacing(0);
    clearULPic();
    if (std::unique_ptr<Event_C> hall = createMapEvent(EVENT_HALL, exit))
        hall->invoke(this);
    return true;
}

void Interface_C::tickAction(int)
{
    if (party) {
        for (int i = 0; i < party->getCount(); ++i) {
            bl3dPartyChar* m = party->getMember(i);
            if (!m)
                continue;
            m->effectTick();
            m->getStatBlock()->recompute();
        }
    }
    if (!enemyList.empty()) {
        enemyList.rewind();
        while (bl3dMonsterList* g = enemyList.nextGroup()) {
            for (uint32_t i = 0; i < g->getSize(); ++i) {
                bl3dMonster* m = g->getMonster(static_cast<int>(i));
                if (!m)
                    continue;
                m->effectTick();
                m->getStatBlock()->recompute();
            }
        }
        enemyList.rewind();
    }
    if (currentWorld_)
        while (currentWorld_->getEventQueue().popDue(this)) {
        }
    percepValid_ = false;
    maserAudio.tick();
    timerPending_ = true;
}

int Interface_C::quit(int code)
{
    quitFlag_ = true;
    return code;
}

// --- position ------------------------------------------------------------------

float Interface_C::getCurX() const { return currentWorld_ ? currentWorld_->CurX : 0.0f; }
float Interface_C::getCurZ() const { return currentWorld_ ? currentWorld_->CurZ : 0.0f; }
int Interface_C::getFacing() const { return currentWorld_ ? currentWorld_->facing : 0; }
float Interface_C::getViewX() const { return currentWorld_ ? currentWorld_->viewX : 0.0f; }
float Interface_C::getViewZ() const { return currentWorld_ ? currentWorld_->viewZ : 0.0f; }
int Interface_C::getViewFacing() const { return currentWorld_ ? currentWorld_->viewFacing : 0; }

void Interface_C::setViewX(float x)
{
    if (currentWorld_)
        currentWorld_->viewX = x;
}
void Interface_C::setViewZ(float z)
{
    if (currentWorld_)
        currentWorld_->viewZ = z;
}
void Interface_C::setViewFacing(int f)
{
    if (currentWorld_)
        currentWorld_->viewFacing = f;
}

void Interface_C::setEntry(uint8_t bit)
{
    if (eventRunning_)
        deferredEntry_ |= bit;
    else
        entryState_ |= bit;
}

void Interface_C::setCurX(float x)
{
    if (!currentWorld_)
        return;
    currentWorld_->CurX = x;
    if (static_cast<int>(x) != static_cast<int>(currentWorld_->viewX + 0.5f))
        currentWorld_->viewX = x;
    setEntry(0x01);
}

void Interface_C::setCurZ(float z)
{
    if (!currentWorld_)
        return;
    currentWorld_->CurZ = z;
    if (static_cast<int>(z) != static_cast<int>(currentWorld_->viewZ - 0.5f))
        currentWorld_->viewZ = z;
    setEntry(0x01);
}

bool Interface_C::setFacing(int f)
{
    if (!currentWorld_ || !movement::isFacing(f))
        return false;
    currentWorld_->facing = f;
    if (currentWorld_->viewFacing != f)
        currentWorld_->viewFacing = f;
    setEntry(0x02);
    return true;
}

Map_C* Interface_C::getCurrentMap() const { return currentWorld_ ? currentWorld_->getCurrentMap() : nullptr; }

EventQueue_C* Interface_C::getEventQueue() const
{
    return currentWorld_ ? &currentWorld_->getEventQueue() : nullptr;
}

int Interface_C::getURLineY(int n) const
{
    const int lh = const_cast<Interface_C*>(this)->text().getLineHeight();
    return n > 0 ? layout_.upperRight.top - n * lh : layout_.upperRight.bottom - n * lh;
}

bool Interface_C::newMap(const char* path)
{
    if (!currentWorld_)
        return false;
    const bool ok = currentWorld_->newMap(path);
    clearUR(false);
    if (!ok)
        showMessage(std::string("#4That way is barred!#0 (the map ") + (path ? path : "") + " cannot be loaded)");
    return ok;
}

void Interface_C::beginEventProcessing() { eventRunning_ = true; }

void Interface_C::endEventProcessing()
{
    entryState_ = deferredEntry_;
    deferredEntry_ = 0;
    eventRunning_ = false;
}

int Interface_C::setULPic(const char* nickname)
{
    if (!picCache_)
        return -1;
    const int r = picCache_->picSet(nickname);
    if (r == 0)
        drawULPic();
    else
        redrawUL();   // no picture of that name: the pane must not keep the last one
    return r;
}

bool Interface_C::picExists(const char* nickname) const
{
    return picCache_ && picCache_->picSearch(nickname) != nullptr;
}

int Interface_C::clearULPic()
{
    if (picCache_)
        picCache_->picClear();
    return 0;
}

bool Interface_C::curPicNamed(const char* nickname) const
{
    return picCache_ && picCache_->curPicNamed(nickname);
}

int32_t Interface_C::var(const char* key) const { return currentWorld_ ? currentWorld_->getVar(key) : 0; }

void Interface_C::setVar(const char* key, int32_t v)
{
    if (currentWorld_)
        currentWorld_->setVar(key, v);
}

void Interface_C::advanceClock(int ticks)
{
    if (currentWorld_)
        currentWorld_->getClock().advance(ticks, this);
}

void Interface_C::pushRedraw() { vell::pushRedraw(); }

bool Interface_C::held(SDLKey a, SDLKey b) const { return held_(a) || held_(b); }

// --- light and encounters ----------------------------------------------------------

void Interface_C::calcLight()
{
    const PartyLight_S l = computePartyLight(static_cast<uint32_t>(var(tagkey::MunLt1)),
                                             static_cast<uint32_t>(var(tagkey::MagLt1)));
    if (Map_C* map = getCurrentMap())
        map->setPartyLight(l.colour, l.radius);
}

void Interface_C::calcXC()
{
    const XCValues_S v = computeXC(static_cast<uint32_t>(var(tagkey::XCState)));
    setVar(tagkey::XCBonus, v.bonus);
    setVar(tagkey::XCReduce, v.reduce);
}
