// Interface_C: the main game screen and its event loop. One global instance,
// `iface`, lives for the whole program: main runs init once, then per quest
// load and start, sdlEventLoop each time the game is to run, save when the
// menu asks, and fini at the end.
//
// The screen: the interface frame, the 3-D view (or a scene picture) in the
// upper-left pane, the text pane in the upper right, five status icons under
// the view and the party roster at the bottom. Everything 2-D is drawn in a
// 1024 x 768 orthographic space; the 3-D view and the text positions follow
// the window size.
#pragma once
#include "world/GameClock.h"
#include "world/ViewLayout.h"

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class ArchiveFile_C;
class CommonInterface_C;
class EventQueue_C;
class Map_C;
class MouseRegions_C;
class PicCache_C;
class ScrollPane_C;
class ra2dGameWorld;
class bl3dCharacter;
class WorldRulesEnv_C;
struct EventParams_S;

// The open save archive of the quest in play; null when none is open.
extern ArchiveFile_C* saveFile;

class Interface_C : public TickListener_C {
public:
    // Order of the interface pictures.
    enum Picture : int {
        PIC_FRAME, PIC_COMPASS_OFF, PIC_COMPASS_NORTH, PIC_COMPASS_WEST, PIC_COMPASS_SOUTH,
        PIC_COMPASS_EAST, PIC_MUSIC_OFF, PIC_MUSIC_ON, PIC_SHIELD_OFF, PIC_SHIELD_ON, PIC_SCRY_OFF,
        PIC_SCRY_ON, PIC_LIGHT_OFF, PIC_LIGHT_ON, PIC_COUNT
    };
    // A loaded interface picture.
    struct Pic_S {
        unsigned texId = 0;
        float ratioS = 0.0f;   // image width / texture width
        float ratioT = 0.0f;
        float width = 0.0f;    // draw size
        float height = 0.0f;
    };
    static const char* const kPicturePaths[PIC_COUNT];

    Interface_C();
    ~Interface_C() override;
    Interface_C(const Interface_C&) = delete;
    Interface_C& operator=(const Interface_C&) = delete;

    // --- life cycle --------------------------------------------------------------
    // Rescales the layout to the window, loads the pictures, sets the GL state
    // and lights. Needs the video mode. Always true.
    bool init(int width, int height);
    // Opens the quest's save archive and reads the world and the party (new
    // ones when the archive has none). False when the archive cannot be
    // opened or its world cannot be read: nothing of a broken quest is used.
    // A quest whose file is read-only is played from a private copy, so that
    // nothing is ever written to it; it cannot be saved.
    bool load(const char* path);
    // Readies the loaded quest for play; a read-only quest says first that
    // it cannot be saved.
    bool start();
    void sdlEventLoop();
    // Stores the records that waited for a save (keepUnstored), the world
    // and the party, and commits the archive. A failure, or a quest whose
    // file is read-only, is shown to the player (and on the error stream)
    // and gives false.
    bool save();
    void fini();

    // --- the loop's parts ----------------------------------------------------
    void ProcessEvents();
    // The timer pass for the time that has passed (the main loop's after a
    // key, the rest's after each of its steps, a script's after it ticked
    // the game). It answers every clock advance made before it, and those
    // made while it runs (a fight, its chest, the Hall): no pass is left
    // pending after it, so the main loop rolls nothing more until time
    // passes again.
    void timerEvents();
    void tickAction(int ticks) override;
    void key(SDLKey sym, SDLMod mod);
    // The main view's command keys (every key but walking, turning, waiting
    // and ESC) open screens and party actions that live above the world:
    // the program fills this table at start-up (app/MainViewKeys.h).
    // A command gets the key's modifiers; an empty command removes the key.
    using KeyCommand = std::function<void(SDLMod mod)>;
    void setKeyCommand(SDLKey sym, KeyCommand command);
    int quit(int code);
    // Handles one SDL event as the main loop does.
    void dispatch(const SDL_Event& ev);

    // --- drawing -----------------------------------------------------------------
    void display();
    void drawBackground();
    void clearUR(bool force);
    void redrawUL();
    void drawUL(float x, float z, float facingDeg, float eyeHeight);
    // The view's click regions (forward, left, right, around) that drawUL
    // adds, for a screen that covers the view with a picture of its own.
    void addViewRegions();
    void drawULPic();
    void textUR(const char* text, bool wrap);
    void textB(const char* text);
    void drawIcons();
    void drawCharText();
    // Forgets the picture of the roster kept from the last draw.
    void invalidateRoster() { roster_.valid = false; }
    void calcLight();
    void buildPercepPane();
    void calcXC();

    // --- position ----------------------------------------------------------------
    float getCurX() const;
    float getCurZ() const;
    int getFacing() const;
    void setCurX(float x);
    void setCurZ(float z);
    // Refuses (false, nothing changed) any facing but 0, 90, 180 and 270.
    bool setFacing(int f);
    float getViewX() const;
    void setViewX(float x);
    float getViewZ() const;
    void setViewZ(float z);
    int getViewFacing() const;
    void setViewFacing(int f);
    float getEyeHeight() const { return eyeHeight_; }
    uint8_t getEntryState() const { return entryState_; }
    void clearEntryState() { entryState_ = 0; }
    Map_C* getCurrentMap() const;
    EventQueue_C* getEventQueue() const;
    MouseRegions_C* getMouseRegions() const { return mouseRegions_.get(); }
    ra2dGameWorld* getWorld() const { return currentWorld_; }
    int getURLineY(int n) const;
    // Changes the current map. False when the map cannot be built: the
    // party stays on its old map and square (the caller moves it only after
    // a change that worked) and the player is told in a message.
    bool newMap(const char* path);
    // Carries the party that has all fallen to the Hall of Adventurers: to
    // the town (built anew when the party is elsewhere), onto the Hall's
    // door facing north, and into the Hall, which sends it out by `exit`
    // (null: its own way out). False, and the party left where it fell,
    // when the town cannot be built.
    bool carryToHall(const EventParams_S* exit);
    void markTimerPending() { timerPending_ = true; }
    bool isTimerPending() const { return timerPending_; }
    void beginEventProcessing();
    void endEventProcessing();

    // --- scene pictures of the upper-left pane ---------------------------
    int setULPic(const char* nickname);
    bool picExists(const char* nickname) const;
    int clearULPic();
    bool curPicNamed(const char* nickname) const;

    // --- parts the screens use --------------------------------------------------
    // The text output (made for the window by init; a 1024 x 768 one before).
    CommonInterface_C& text();
    const ViewLayout_S& layout() const { return layout_; }
    const Pic_S& picture(int i) const { return pics_[i]; }
    bool isQuitting() const { return quitFlag_; }
    bool isInitDone() const { return initDone_; }
    // Text of the last failed save, empty after a good one.
    const std::string& lastSaveError() const { return saveError_; }
    // Why the last load failed (for the player), empty after a good one.
    const std::string& lastLoadError() const { return loadError_; }
    // The loaded quest's file is read-only: it is played, never saved.
    bool isReadOnlyQuest() const { return readOnly_; }
    // Shows a message over the main screen and waits for SPACE or ESC
    // (nothing is drawn before init or without a window).
    void showMessage(const std::string& msg);
    // The last message shown by the interface.
    const std::string& lastMessage() const { return lastMessage_; }
    // How many times the whole party has fallen and been taken to the Hall
    // (screens that let time pass stop when it grows).
    int partyFalls() const { return partyFalls_; }

    // The game's own delay and key-state reading; tests replace them so that
    // movement never depends on real time or a real keyboard.
    using DelayFn = void (*)(uint32_t ms);
    using HeldFn = bool (*)(SDLKey key);
    void setTiming(DelayFn delay, HeldFn held);
    // Called after every full redraw, before the buffer swap (tests read
    // the picture back there); null clears it.
    using DisplayHook = void (*)();
    static void setAfterDisplayHook(DisplayHook hook);

private:
    void stepForward(SDLMod mod);
    void turn(int kind);
    void freeForward(SDLMod mod);
    void freeTurn(int kind);
    void freeTurnAround();
    void animateStep(float fromX, float fromZ, float toX, float toZ, float facing, bool firstHalf);
    void animateTurn(float x, float z, float from, float to);
    void drawFrame(float x, float z, float facing, float eye);
    void advanceClock(int ticks);
    void pushRedraw();
    void setEntry(uint8_t bit);
    bool held(SDLKey a, SDLKey b) const;
    void drawPicAt(const Pic_S& p, float x, float y);
    void ortho();
    int32_t var(const char* key) const;
    void setVar(const char* key, int32_t v);
    void compactParty();
    void allDead();
    void loadPictures();
    void dropQuest();
    void numberItemsAfterParty();
    bool loadQuest(const char* path);
    void setupGL();
    void freePictures();

    // The roster as last drawn, kept as a texture: printing eight rows of
    // text costs far more than drawing one picture, and the roster seldom
    // changes between frames.
    struct RosterRow_S {
        const void* member = nullptr;
        const char* name = nullptr;
        int32_t hp = 0, maxHp = 0, sp = 0, maxSp = 0, ac = 0, conditions = 0, classId = 0;
        bool operator==(const RosterRow_S& o) const
        {
            return member == o.member && name == o.name && hp == o.hp && maxHp == o.maxHp && sp == o.sp
                && maxSp == o.maxSp && ac == o.ac && conditions == o.conditions && classId == o.classId;
        }
    };
    struct RosterCache_S {
        unsigned texId = 0;
        int texW = 0, texH = 0;   // texture size
        int x = 0, y = 0, w = 0, h = 0;   // window pixels it holds
        bool valid = false;
        RosterRow_S rows[8];
    };
    void drawRosterText();
    bool rosterUnchanged(RosterRow_S (&rows)[8]) const;
    void setupRosterCache();
    // The timer pass itself (timerEvents).
    void timerPass();

    RosterCache_S roster_;
    std::unique_ptr<CommonInterface_C> text_;
    ViewLayout_S layout_;
    Pic_S pics_[PIC_COUNT];
    bool skipULOnce_ = false;
    bool timerPending_ = false;
    std::unique_ptr<PicCache_C> picCache_;
    std::unique_ptr<ScrollPane_C> percepPane_;
    bool percepValid_ = false;
    ra2dGameWorld* currentWorld_ = nullptr;
    bool soundOn_ = false;
    bool quitFlag_ = false;
    bool finiDone_ = false;
    bool initDone_ = false;
    uint8_t entryState_ = 0;
    uint8_t deferredEntry_ = 0;
    bool eventRunning_ = false;
    bool repeatForward_ = false;
    bool repeatForwardShift_ = false;
    bool repeatLeft_ = false;
    bool repeatRight_ = false;
    bool turnConsumed_ = false;
    float eyeHeight_ = 0.5f;
    bool bobUp_ = true;
    std::unique_ptr<MouseRegions_C> mouseRegions_;
    std::map<SDLKey, KeyCommand> keyCommands_;
    // What the rules ask of the quest in play; installed while one is loaded.
    std::unique_ptr<WorldRulesEnv_C> rulesEnv_;
    std::string saveError_;
    std::string loadError_;
    std::string questPath_;   // the loaded quest's file
    bool readOnly_ = false;
    std::string lastMessage_;
    int partyFalls_ = 0;
    DelayFn delay_;
    HeldFn held_;
};

extern Interface_C iface;

// The hook set by Interface_C::setAfterDisplayHook.
Interface_C::DisplayHook& gAfterDisplayHook();
