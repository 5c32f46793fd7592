// The whole program as a player runs it: the built vellrun started in a copy
// of the game folder under the test's X display, driven by real key presses
// (xdotool) and watched through screenshots of the screen. Every run is
// guarded by `timeout -s KILL`, so a stuck game fails the test instead of
// hanging it. The fixture and the readers of saved quests, shared by the
// whole-program tests.
#pragma once
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/TestFiles.h"

#include "core/ArchiveDir.h"
#include "core/ArchiveFile.h"
#include "actions/Catalogue.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/ItemType.h"
#include "rules/ShopInv.h"
#include "rules/RulesEnv.h"
#include "world/QuestStores.h"

namespace rungame {

using testfiles::readFile;
using testfiles::exists;

constexpr int kGuardSeconds = 60;

int shell(const std::string& cmd);

// The screen as RGB rows, top row first.
struct Shot {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    bool take(Display* dpy) {
        Window root = DefaultRootWindow(dpy);
        XWindowAttributes attr;
        XGetWindowAttributes(dpy, root, &attr);
        XImage* img = XGetImage(dpy, root, 0, 0, attr.width, attr.height, AllPlanes, ZPixmap);
        if (!img)
            return false;
        width = attr.width;
        height = attr.height;
        rgb.resize(size_t(width) * height * 3);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                unsigned long p = XGetPixel(img, x, y);
                unsigned char* o = &rgb[(size_t(y) * width + x) * 3];
                o[0] = (p >> 16) & 0xff;
                o[1] = (p >> 8) & 0xff;
                o[2] = p & 0xff;
            }
        XDestroyImage(img);
        return true;
    }

    // Pixels in the rectangle (top-left origin) whose channels are all at
    // most `dark`, and those whose channels are all at least `light`.
    int count(int x0, int y0, int w, int h, const std::function<bool(int, int, int)>& pred) const {
        int n = 0;
        for (int y = y0; y < y0 + h && y < height; ++y)
            for (int x = x0; x < x0 + w && x < width; ++x) {
                const unsigned char* p = &rgb[(size_t(y) * width + x) * 3];
                if (pred(p[0], p[1], p[2]))
                    ++n;
            }
        return n;
    }

    bool savePPM(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        std::fprintf(f, "P6\n%d %d\n255\n", width, height);
        std::fwrite(rgb.data(), 1, rgb.size(), f);
        return std::fclose(f) == 0;
    }
};

// Share of the pixels of a rectangle (top-left origin) that differ clearly
// between two screenshots.
double differing(const Shot& a, const Shot& b, int x0, int y0, int w, int h);

// Something is drawn: not a black screen.
bool notBlack(const Shot& s);

// Share of the pixels of a rectangle that show the title picture dimmed to
// 35 % opacity over black.
double dimmedTitle(const Shot& title, const Shot& s, int x0, int y0, int w, int h);

// The title menu: the title picture dimmed around the menu square (x 256..768,
// y 128..640 from the top), and the square differing from the title.
bool menuOver(const Shot& title, const Shot& s);

// The quest's main screen in the 1024 x 768 window: the interface frame,
// the 3-D view in the upper left, the compass among the icons under it and
// the roster at the bottom, one member's row every 20 pixels.
struct Rect {
    int x, y, w, h;
};
constexpr Rect kView{90, 75, 490, 390};
constexpr Rect kCompass{312, 477, 54, 54};
constexpr Rect kRosterNames{140, 572, 100, 20};

double differing(const Shot& a, const Shot& b, const Rect& r);

// Roster rows, from the top, that show a name (white text).
int rosterRows(const Shot& s);

// The ready-made adventurers of content/savegame/party.txt.
constexpr int kParty = 5;

// The brown frame in the corner of the main screen.
bool frameShown(const Shot& s);
// The frame and the parchment of the text pane.
bool frameAndPane(const Shot& s);
// A 3-D view that is not black (not the automap, not a darkness).
bool viewLit(const Shot& s);

// The main screen: the frame, the parchment text pane, a lit 3-D view and
// the roster with `members` names.
bool questView(const Shot& s, int members);

// The Hall of Adventurers in the upper-left pane: its red and blue banners.
bool hallShown(const Shot& s);


// Gilt pixels in the 3-D view: the letters, frame and knob of a door's
// sign, whatever the light (a yellow whose blue is well below its red).
// Thousands face a door from its doorstep; a street without one shows
// few.
int giltInView(const Shot& s);

// Dark pixels of text in the upper part of the text pane: a building's
// menu, a fight, a message or a rest, not the street.
int paneText(const Shot& s);
// Dark pixels of text in a band of the text pane, from `y` (from the top of
// the window) down `h` pixels.
int paneBand(const Shot& s, int y, int h);

// The main screen at any hour: the brown frame in the corner, the empty
// parchment pane and `members` names in the roster (a dead member's name,
// in grey, ends the count). (questView also asks for a lit 3-D view, which
// the town is not at night.) streetAtAnyHour: the whole party standing.
bool streetWith(const Shot& s, int members);
bool streetAtAnyHour(const Shot& s);

// A walk through the streets as data: its name (for a failure) and its keys
// (xdotool key names), each a turn or a step.
struct Route {
    std::string name;
    std::vector<std::string> keys;
};
// A route of legs: each key that many times in a row.
Route route(const std::string& name, const std::vector<std::pair<std::string, int>>& legs);

// The routes of the town. Each starts where its name says (the Hall: its
// door at (14, 24), facing east, as the party ventures forth; a building:
// where its menu's ESC leaves the party) and, but the first, ends facing a
// door: one more step up enters.
namespace routes {
// South one, west one: on the lane at x 13, facing south.
const Route& hallToTheLane();
// Down the lane at x 13 to the Temple's row, east, to the Temple's door
// at (15, 15).
const Route& hallToTemple();
// From the Temple's door, facing west: south down the lane at x 14 to the
// street at y 6, west along it to x 6, north up to the Collegium's door at
// (6, 10), which opens to the south.
const Route& templeToCollegium();
// South one, west one to the lane at x 13, south down it to y 13, west to
// x 6, north up to (6, 21) before Starfire Swords.
const Route& hallToStarfireSwords();
// South one, west one to the lane at x 13, south down it to y 13, east to
// x 14, south down x 14 to y 6, west to x 4, and north to face the Casino's
// door.
const Route& hallToCasino();
// From (4, 6) facing south: east back to x 14, north up to y 13, east to
// x 20, north up to (20, 21), and west to face Melkoran's Tavern's door.
const Route& casinoToMelkorans();
} // namespace routes

// The street with nothing in the whole text pane (a fight's narration runs
// at the foot of the pane, under an empty upper part) and at least one
// member standing; the dead are moved to the end of the roster.
bool calmStreet(const Shot& s);

// The party as a saved quest holds it: the members in order, each with the
// names of the items in its 20 slots ("" for empty) and its pack, its own
// gold, its experience, the names of the spells in its spell book and of
// the other actions it knows (skills, songs, the standard moves), its hit
// points and spell points (present and most) and the current value of each
// numbered stat (STAT_ST ... of rules/StatBlock.h).
struct SavedMember {
    std::string name;
    std::vector<std::string> slots, pack;
    int64_t gold = 0;
    int32_t xp = 0;
    std::vector<std::string> spells, abilities;
    int32_t hp = 0, maxHp = 0, sp = 0, maxSp = 0;
    std::vector<int32_t> stats;
};

int64_t goldOf(const std::vector<SavedMember>& party);

std::vector<SavedMember> savedParty(const std::string& questFile, const std::string& gameDir);


// Where and when a saved quest stands: the map, the party's square and
// facing (0 north, 90 west, 180 south, 270 east), the world's clock and the
// world variables asked for, read from the world's record (without building
// its map). `ok` is false when the quest holds no world that can be read.
struct SavedWorld {
    bool ok = false;
    std::string map;
    int x = 0, y = 0, facing = 0;
    uint32_t ticks = 0;
    unsigned hour = 0, minute = 0;
    std::map<std::string, int32_t> vars;
};

SavedWorld savedWorld(const std::string& questFile, const std::vector<const char*>& varNames = {});
// "maps/catacombs.cfg (5, 11) facing 270"
std::string describe(const SavedWorld& w);

// A saved quest as the whole-program checks read it: its world and party.
struct SavedQuest {
    SavedWorld world;
    std::vector<SavedMember> party;
};

SavedQuest savedQuest(const std::string& questFile, const std::string& gameDir);

// The roster of a saved quest's archive: the names in its "hall".
std::vector<std::string> savedRoster(const std::string& questFile);

std::vector<std::string> namesOf(const std::vector<SavedMember>& party);

// The count on the shelf of each item a saved quest's shop stocks, by the
// item's name; empty when the archive holds no stock of that shop.
std::map<std::string, int32_t> savedStock(const std::string& questFile, const char* shop);

// An X server of its own (Xvfb on a free display number, which the server
// picks and reports), ended with the object or by kill().
class OwnDisplay {
public:
    OwnDisplay();
    ~OwnDisplay() { kill(); }
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;
    // ":N", or empty when no server could be started.
    const std::string& name() const { return name_; }
    void kill();

private:
    pid_t pid_ = -1;
    std::string name_;
};

class RunGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test plays on an X server of its own, so that whole-program
        // tests can run side by side: nothing else opens a window or takes
        // the keyboard's focus there.
        ASSERT_FALSE(display_.name().empty()) << "no Xvfb of the test's own could be started";
        ::setenv("DISPLAY", display_.name().c_str(), 1);
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_)
            GTEST_FAIL() << "cannot open the test's own X display " << display_.name();
        dir_ = std::string(::testing::TempDir()) + "vell_run_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(shell("rm -rf '" + dir_ + "' && cp -r '" VELL_GAME_DIR "' '" + dir_ + "' && rm -f '" + dir_ +
                        "'/savegame/*"),
                  0);
        ASSERT_TRUE(exists(dir_ + "/vellrun")) << "vellrun is not built into " VELL_GAME_DIR;
    }

    void TearDown() override {
        // The pictures kept along the way, beside the game folder, only when
        // the test failed: <test>-<name>.ppm.
        if (HasFailure()) {
            const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
            for (const auto& [name, shot] : kept_)
                shot.savePPM(std::string(VELL_GAME_DIR) + "/../" + test + "-" + name + ".ppm");
        }
        if (pid_ > 0) {
            ::kill(-pid_, SIGKILL); // timeout and the game: timeout leads its own process group
            ::waitpid(pid_, nullptr, 0);
        }
        if (dpy_)
            XCloseDisplay(dpy_);
        shell("rm -rf '" + dir_ + "'");
    }

    // Starts the game of the copied folder with the arguments, from that
    // folder, or from `cwd` (then by its whole path), on the test's display
    // or on `display`.
    void start(std::vector<std::string> args, const std::string& cwd = "", const std::string& display = "") {
        std::string guard = std::to_string(guardSeconds_);
        const std::string program = cwd.empty() ? "./vellrun" : dir_ + "/vellrun";
        std::vector<std::string> argv = {"timeout", "-s", "KILL", guard, program};
        argv.insert(argv.end(), args.begin(), args.end());
        const std::string errors = dir_ + "/stderr.txt";
        started_ = std::chrono::steady_clock::now();
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            ::setpgid(0, 0); // so that the test can end the game with its guard
            // A test may limit the size of the files the game writes (a
            // full disk): a write past it then fails instead of ending the
            // game.
            ::signal(SIGXFSZ, SIG_IGN);
            if (::chdir(cwd.empty() ? dir_.c_str() : cwd.c_str()) != 0)
                ::_exit(127);
            int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, 2);
            if (audioFile_.empty()) {
                ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            } else {
                // The mix recorded, a buffer of 4096 frames about every
                // 186 ms: at the pace of a sound card.
                ::setenv("SDL_AUDIODRIVER", "disk", 1);
                ::setenv("SDL_DISKAUDIOFILE", audioFile_.c_str(), 1);
                ::setenv("SDL_DISKAUDIODELAY", "186", 1);
            }
            ::setenv("SDL_VIDEODRIVER", "x11", 1);
            if (seed_ >= 0)
                ::setenv("VELL_SEED", std::to_string(seed_).c_str(), 1);
            if (!display.empty())
                ::setenv("DISPLAY", display.c_str(), 1);
            std::vector<char*> cargv;
            for (std::string& a : argv)
                cargv.push_back(a.data());
            cargv.push_back(nullptr);
            ::execvp("timeout", cargv.data());
            ::_exit(127);
        }
    }

    // Waits for the game to end; its exit code as the shell sees it (137
    // when the guard had to kill it).
    int finish(double seconds = 20) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        ADD_FAILURE() << "the game did not end in time";
        return -1;
    }

    bool waitForWindow() {
        return shell("timeout 20 xdotool search --sync --name Vellicorn >/dev/null 2>&1") == 0;
    }

    // Presses keys in the game's window (xdotool key names).
    // Each key is released at once after its press (a release that comes
    // late on a busy machine would be a key held down: a held UP walks on),
    // and the next key follows 60 ms later.
    void keys(const std::string& names) {
        std::istringstream in(names);
        std::string presses;
        for (std::string k; in >> k;)
            presses += (presses.empty() ? "" : " sleep 0.06") + std::string(" key --delay 0 ") + k;
        shell("xdotool search --name Vellicorn windowraise windowfocus --sync >/dev/null 2>&1; xdotool" + presses);
    }

    // Takes screenshots until pred holds or the time runs out.
    bool waitForScreen(const std::function<bool(const Shot&)>& pred, double seconds, Shot& shot) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        while (std::chrono::steady_clock::now() < deadline) {
            if (shot.take(dpy_) && pred(shot))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // The game's own process (the child of the timeout guard); 0 when gone.
    int gamePid() {
        std::ifstream children("/proc/" + std::to_string(pid_) + "/task/" + std::to_string(pid_) + "/children");
        int child = 0;
        return children >> child ? child : 0;
    }

    // Fields of /proc/<game>/stat after the command name: [0] the state,
    // [11] user time, [12] system time. Empty when unknown.
    std::vector<std::string> gameStat() {
        const int child = gamePid();
        if (!child)
            return {};
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string line;
        std::getline(stat, line);
        size_t close = line.rfind(')');
        if (close == std::string::npos || close + 2 > line.size())
            return {};
        std::istringstream rest(line.substr(close + 2));
        std::vector<std::string> fields;
        for (std::string f; fields.size() < 13 && rest >> f;)
            fields.push_back(f);
        if (fields.size() < 13)
            return {};
        return fields;
    }

    // CPU time (seconds) the game itself used so far; -1 when unknown.
    double gameCpuSeconds() {
        const std::vector<std::string> f = gameStat();
        if (f.empty())
            return -1;
        return double(std::atol(f[11].c_str()) + std::atol(f[12].c_str())) / double(::sysconf(_SC_CLK_TCK));
    }

    // The game sleeps (waiting for input), as opposed to running or
    // waiting for a CPU.
    bool gameSleeps() {
        const std::vector<std::string> f = gameStat();
        return !f.empty() && f[0] == "S";
    }

    // Waits until the screen satisfies pred and the game has come to rest
    // on it: the same picture in consecutive shots 200 ms apart, the game
    // asleep at each and using next to no CPU in between. So a picture in
    // the middle of an animation (drawn by a busy game, however slowly) is
    // never taken for the end of it.
    bool waitSettled(const std::function<bool(const Shot&)>& pred, double seconds, Shot& shot) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        Shot prev;
        int restful = 0;   // consecutive calm intervals on a matching picture
        double prevCpu = -1;
        auto prevTime = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < deadline) {
            Shot cur;
            const bool asleep = gameSleeps();
            const double cpu = gameCpuSeconds();
            const auto now = std::chrono::steady_clock::now();
            if (cur.take(dpy_) && pred(cur) && asleep && gameSleeps()) {
                const double wall = std::chrono::duration<double>(now - prevTime).count();
                const bool calm = prevCpu >= 0 && cpu >= 0 && cpu - prevCpu <= 0.02 + 0.2 * wall;
                restful = calm && !prev.rgb.empty() && differing(prev, cur, 0, 0, cur.width, cur.height) == 0.0
                              ? restful + 1
                              : 0;
                if (restful >= 2) {
                    shot = cur;
                    return true;
                }
                prev = cur;
            } else {
                restful = 0;
                prev = Shot();
            }
            prevCpu = cpu;
            prevTime = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }

    std::string gameErrors() { return readFile(dir_ + "/stderr.txt"); }

    // Sends a signal to the game itself (not to its guard).
    bool signalGame(int sig) {
        const int child = gamePid();
        return child > 0 && ::kill(child, sig) == 0;
    }

    // Closes the game's window as a window manager does: WM_DELETE_WINDOW.
    bool closeWindow() {
        FILE* p = ::popen("xdotool search --name Vellicorn 2>/dev/null", "r");
        if (!p)
            return false;
        unsigned long id = 0;
        const bool found = std::fscanf(p, "%lu", &id) == 1;
        ::pclose(p);
        if (!found)
            return false;
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = id;
        ev.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        const bool sent = XSendEvent(dpy_, id, False, NoEventMask, &ev) != 0;
        XFlush(dpy_);
        return sent;
    }

    // Up to the title menu: the window, the title picture (kept in `title`
    // and in title_) and, after a key, the menu over it.
    void toTheMenu(Shot& title, Shot& menu) {
        ASSERT_TRUE(waitForWindow()) << gameErrors();
        ASSERT_TRUE(waitSettled(notBlack, 30, title)) << "no title picture; game said:\n" << gameErrors();
        title_ = title;
        keys("space");
        ASSERT_TRUE(waitSettled(menuVisible, 20, menu)) << "no title menu; game said:\n" << gameErrors();
    }

    // A new start up to a new quest: the title picture (kept in title_), the
    // menu, 'n', the quest's name (xdotool key names, e.g. "a b 1") and
    // RETURN. The quest opens in the Hall.
    void newQuest(const std::string& name) {
        start({"-w", "-skipintro"});
        Shot title, menu;
        toTheMenu(title, menu);
        if (HasFatalFailure())
            return;
        keys("n " + name + " Return");
    }

    // Keys one at a time, each once the screen has changed from the last
    // and come to rest (kept in `shot`): a turn moves the compass, a step
    // the view, a key in a building its pane.
    void pressUntilChanged(Shot& shot, const std::string& key, const char* what) {
        const Shot last = shot;
        keys(key);
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(last, s, 0, 0, s.width, s.height) > 0; },
                                20, shot))
            << what << " (" << key << "): nothing changed; game said:\n" << gameErrors();
    }
    void pressAllUntilChanged(Shot& shot, const std::vector<std::string>& keyNames, const char* what) {
        for (const std::string& k : keyNames) {
            pressUntilChanged(shot, k, what);
            if (HasFatalFailure())
                return;
        }
    }

    // A new quest opens in the Hall (its door is the party's start square):
    // 'v' ventures forth onto the street; `street` is the quest's view then.
    void ventureForth(int members, Shot& street) {
        Shot hall;
        ASSERT_TRUE(waitSettled(hallShown, 30, hall)) << "no Hall of Adventurers; game said:\n" << gameErrors();
        keepShot(hall, "hall");
        keys("v");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return questView(s, members) && !hallShown(s); }, 30, street))
            << "the Hall was not left; game said:\n" << gameErrors();
    }

    // A new start up to the first saved quest of the list, chosen: the
    // title picture (kept in title_), the menu, 'l', RETURN.
    void loadFirstQuest() {
        Shot shot;
        start({"-w", "-skipintro"});
        ASSERT_TRUE(waitForWindow()) << gameErrors();
        ASSERT_TRUE(waitSettled(notBlack, 30, title_)) << gameErrors();
        keys("space");
        ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
        keys("l");
        ASSERT_TRUE(waitSettled(
                        [&](const Shot& s) { return menuVisible(s) && differing(shot, s, 256, 128, 512, 512) > 0; }, 20,
                        shot))
            << "no quest list; game said:\n" << gameErrors();
        keys("Return");
    }

    // --- the player's vocabulary --------------------------------------------------------
    // Save: from the quest, ESC to the title menu, (S)ave, and back to the
    // quest's screen (`back`, kept in `shot`); `where` names the place in a
    // failure.
    void save(Shot& shot, const std::function<bool(const Shot&)>& back, const std::string& where) {
        keys("Escape");
        ASSERT_TRUE(waitSettled(menuVisible, 30, shot)) << where << ": no title menu; game said:\n" << gameErrors();
        keys("s");
        ASSERT_TRUE(waitSettled(back, 40, shot))
            << where << ": the quest did not come back after saving; game said:\n" << gameErrors();
    }
    // Load: a new start that loads the first saved quest of the list, until
    // its screen (`back`, kept in `shot`).
    void load(Shot& shot, const std::function<bool(const Shot&)>& back, const std::string& where) {
        loadFirstQuest();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(waitSettled(back, 40, shot)) << where << ": the quest did not load; game said:\n" << gameErrors();
    }
    // Walk: the route's keys, each once the last has changed the screen and
    // the game has come to rest.
    void walk(Shot& shot, const Route& route) { pressAllUntilChanged(shot, route.keys, route.name.c_str()); }
    // Ends a rest that says "You feel much rested.": SPACE, until the street
    // stands calm. A SPACE that a busy machine lost is pressed again; one
    // more on the street by day is only a wait.
    bool endRest(Shot& shot, const std::function<bool(const Shot&)>& street) {
        for (int i = 0; i < 4; ++i) {
            keys("space");
            if (waitSettled(street, 30, shot))
                return true;
        }
        return false;
    }
    // Enter: one step up into the building ahead; its menu in the pane.
    void enter(Shot& shot, const std::string& building) {
        pressUntilChanged(shot, "Up", ("into " + building).c_str());
        if (HasFatalFailure())
            return;
        ASSERT_GT(paneText(shot), 300) << building << ": no menu";
    }
    // Leave: ESC from a building's menu, out onto the street (`back`).
    void leave(Shot& shot, const std::function<bool(const Shot&)>& back, const std::string& building) {
        keys("Escape");
        ASSERT_TRUE(waitSettled(back, 30, shot)) << building << " was not left; game said:\n" << gameErrors();
    }

    // Presses `key` and waits for the game to come to rest (kept in
    // `shot`): whether the screen changed. The pace of a fight's narration
    // may change it too, which is as good as SPACE.
    bool tryKey(Shot& shot, const std::string& key) {
        const Shot last = shot;
        keys(key);
        if (!waitSettled([](const Shot&) { return true; }, 30, shot))
            return false;
        return differing(last, shot, 0, 0, shot.width, shot.height) > 0;
    }

    // From the Hall's door at (14, 24) facing east, the party goes to the
    // lane at x 13 (south one, west one) and faces south. It rests ten
    // hours there, is saved (the quest as then saved in *rested), and waits
    // (SPACE, 30 game seconds each; their number in *waits) until 19:59:15
    // or 19:59:30, so that the night (when wolves and thieves roam the
    // town) begins with its first step. `quest` is the quest's file.
    void toTheLaneAtDusk(Shot& shot, const std::string& quest, SavedQuest* rested, int* waits);

    // Walks the lane at x 13, which holds no story square, between y 23
    // and y 14 from (13, 23), turning round at either end, until a fight's
    // text shows in the pane: the steps it took.
    int walkTheLaneUntilAFight(Shot& shot, int maxSteps);

    // Plays a fight and what follows it as a player who reads only which
    // keys the screen answers: the first of `order` that changes the screen
    // is the one taken. With fightKeys() the party fights ((F)ight with
    // valor), the front ranks attack the first group ((A)ttack, group A) and
    // the back rank defends, the orders are confirmed ((Y)es), a lone
    // monster's offer is denied; after the victory the bodies are frisked,
    // and in the chest of what they carried (a locked one is (O)pened) Bran
    // (F1) takes every item ((T)ake), SPACE going on and ESCAPE (with (Y)es)
    // leaving whatever the pack cannot hold. The round's narration moves on
    // by itself; SPACE speeds it up. `firstKeys` are tried before `order`
    // until one of them is answered: then `answered` is called with it (and
    // may press more keys), and they are tried no more.
    // Returns the keys that were answered; stops on the street or in the
    // Hall. When the fight answers no key, or goes on too long, the screen
    // is kept as stuck.ppm beside the game folder.
    int playFight(Shot& shot, int maxPresses, const std::vector<std::string>& order = fightKeys(),
                  const std::vector<std::string>& firstKeys = {},
                  const std::function<void(const std::string&, Shot&)>& answered = nullptr);
    static const std::vector<std::string>& fightKeys() {
        static const std::vector<std::string> order = {"f", "a", "d", "y", "o", "space", "F1", "t", "Escape"};
        return order;
    }

    // Quit: from the quest, ESC to the title menu, 'q', 'y'; the game ends
    // well.
    void quit() {
        Shot shot;
        keys("Escape");
        ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
        keys("q");
        ASSERT_TRUE(waitSettled(
                        [&](const Shot& s) { return menuVisible(s) && differing(shot, s, 256, 128, 512, 512) > 0; }, 20,
                        shot))
            << "no question before quitting; game said:\n" << gameErrors();
        keys("y");
        ASSERT_EQ(finish(), 0) << gameErrors();
    }

    // Keeps a picture of the way, written as <test>-<name>.ppm beside the
    // game folder if the test fails.
    void keepShot(const Shot& shot, const std::string& name) { kept_[name] = shot; }

    OwnDisplay display_;
    Display* dpy_ = nullptr;
    // The title picture of the game running now (toTheMenu, newQuest and
    // loadFirstQuest keep it), and the title menu over it.
    Shot title_;
    const std::function<bool(const Shot&)> menuVisible = [this](const Shot& s) { return menuOver(title_, s); };
    std::map<std::string, Shot> kept_;
    std::string dir_;
    int guardSeconds_ = kGuardSeconds;   // of the games started from now on
    long long seed_ = -1;   // the dice of the games started from now on (VELL_SEED); -1: the clock's
    std::string audioFile_;   // where the games started from now on record their sound (16-bit stereo
                              // at 22050 Hz); empty: no sound device (SDL's dummy driver)
    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point started_;
};

} // namespace rungame
