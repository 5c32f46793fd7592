// The whole program as a player runs it: the built vellrun started in a copy
// of the game folder under the test's X display, driven by real key presses
// (xdotool) and watched through screenshots of the screen. Every run is
// guarded by `timeout -s KILL`, so a stuck game fails the test instead of
// hanging it.
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

#include "../common/TestFiles.h"

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

namespace {

using testfiles::readFile;
using testfiles::exists;

constexpr int kGuardSeconds = 60;

int shell(const std::string& cmd) { return std::system(cmd.c_str()); }

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
double differing(const Shot& a, const Shot& b, int x0, int y0, int w, int h) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty())
        return 1.0;
    long n = 0, total = 0;
    for (int y = y0; y < y0 + h && y < a.height; ++y)
        for (int x = x0; x < x0 + w && x < a.width; ++x) {
            size_t i = (size_t(y) * a.width + x) * 3;
            ++total;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])) > 24) {
                    ++n;
                    break;
                }
        }
    return total ? double(n) / double(total) : 0.0;
}

// Something is drawn: not a black screen.
bool notBlack(const Shot& s) {
    return s.count(0, 0, s.width, s.height, [](int r, int g, int b) { return r + g + b > 60; }) > 1000;
}

// Share of the pixels of a rectangle that show the title picture dimmed to
// 35 % opacity over black.
double dimmedTitle(const Shot& title, const Shot& s, int x0, int y0, int w, int h) {
    if (title.width != s.width || title.height != s.height || s.rgb.empty())
        return 0.0;
    long n = 0, total = 0;
    for (int y = y0; y < y0 + h && y < s.height; ++y)
        for (int x = x0; x < x0 + w && x < s.width; ++x) {
            size_t i = (size_t(y) * s.width + x) * 3;
            ++total;
            bool ok = true;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(s.rgb[i + c]) - int(title.rgb[i + c] * 0.35)) > 12)
                    ok = false;
            n += ok;
        }
    return total ? double(n) / double(total) : 0.0;
}

// The title menu: the title picture dimmed around the menu square (x 256..768,
// y 128..640 from the top), and the square differing from the title.
bool menuOver(const Shot& title, const Shot& s) {
    return dimmedTitle(title, s, 0, 0, s.width, 100) > 0.9 && dimmedTitle(title, s, 0, 668, s.width, 100) > 0.9 &&
           differing(title, s, 256, 128, 512, 512) > 0.3;
}

// The quest's main screen in the 1024 x 768 window: the interface frame,
// the 3-D view in the upper left, the compass among the icons under it and
// the roster at the bottom, one member's row every 20 pixels.
struct Rect {
    int x, y, w, h;
};
constexpr Rect kView{90, 75, 490, 390};
constexpr Rect kCompass{312, 477, 54, 54};
constexpr Rect kRosterNames{140, 572, 100, 20};

double differing(const Shot& a, const Shot& b, const Rect& r) { return differing(a, b, r.x, r.y, r.w, r.h); }

// Roster rows, from the top, that show a name (white text).
int rosterRows(const Shot& s) {
    int rows = 0;
    for (int i = 0; i < 8; ++i) {
        const int white = s.count(kRosterNames.x, kRosterNames.y + 20 * i, kRosterNames.w, kRosterNames.h - 2,
                                  [](int r, int g, int b) { return r > 230 && g > 230 && b > 230; });
        if (white < 20)
            break;
        ++rows;
    }
    return rows;
}

// The main screen: the brown frame in the corner, the parchment text pane,
// a 3-D view that is not black, and the roster with `members` names.
// The ready-made adventurers of content/savegame/party.txt.
constexpr int kParty = 5;

bool questView(const Shot& s, int members) {
    const bool frame = s.count(0, 0, 8, 8, [](int r, int g, int b) {
        return r > 60 && r < 120 && g > 50 && g < 100 && b > 35 && b < 85 && r > b;
    }) > 48;
    const bool pane = s.count(760, 150, 200, 200, [](int r, int g, int b) { return r > 170 && g > 160 && b > 120; }) >
                      36000;
    const bool view = s.count(kView.x, kView.y, kView.w, kView.h, [](int r, int g, int b) { return r + g + b > 90; }) >
                      kView.w * kView.h / 2;
    return frame && pane && view && rosterRows(s) == members;
}

// The Hall of Adventurers in the upper-left pane: its red and blue banners.
bool hallShown(const Shot& s) {
    const int red = s.count(kView.x, kView.y, kView.w, kView.h,
                            [](int r, int g, int b) { return r > 110 && r < 170 && g < 60 && b < 60; });
    const int blue = s.count(kView.x, kView.y, kView.w, kView.h,
                             [](int r, int g, int b) { return b > 110 && b < 170 && r < 60 && g < 100; });
    return red > 1500 && blue > 1500;
}

class RunGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_FAIL() << "no X display (DISPLAY is not set)";
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_)
            GTEST_FAIL() << "cannot open the X display " << display;
        dir_ = std::string(::testing::TempDir()) + "vell_run_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(shell("rm -rf '" + dir_ + "' && cp -r '" VELL_GAME_DIR "' '" + dir_ + "' && rm -f '" + dir_ +
                        "'/savegame/*"),
                  0);
        ASSERT_TRUE(exists(dir_ + "/vellrun")) << "vellrun is not built into " VELL_GAME_DIR;
    }

    void TearDown() override {
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
            if (::chdir(cwd.empty() ? dir_.c_str() : cwd.c_str()) != 0)
                ::_exit(127);
            int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, 2);
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            ::setenv("SDL_VIDEODRIVER", "x11", 1);
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
    void keys(const std::string& names) {
        shell("xdotool search --name Vellicorn windowraise windowfocus --sync >/dev/null 2>&1; xdotool key --delay 60 " +
              names);
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

    // Up to the title menu: the window, the title picture (kept in `title`)
    // and, after a key, the menu over it.
    void toTheMenu(Shot& title, Shot& menu) {
        ASSERT_TRUE(waitForWindow()) << gameErrors();
        ASSERT_TRUE(waitSettled(notBlack, 30, title)) << "no title picture; game said:\n" << gameErrors();
        keys("space");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return menuOver(title, s); }, 20, menu))
            << "no title menu; game said:\n" << gameErrors();
    }

    // A new start up to a new quest: the title picture (kept in `title`),
    // the menu, 'n', the quest's name (xdotool key names, e.g. "a b 1") and
    // RETURN. The quest opens in the Hall.
    void newQuest(const std::string& name, Shot& title) {
        start({"-w", "-skipintro"});
        Shot menu;
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
        hall.savePPM(std::string(VELL_GAME_DIR) + "/../hall.ppm");
        keys("v");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return questView(s, members) && !hallShown(s); }, 30, street))
            << "the Hall was not left; game said:\n" << gameErrors();
    }

    // A new start up to the first saved quest of the list, chosen: the
    // title picture (kept in `title`), the menu, 'l', RETURN.
    void loadFirstQuest(Shot& title) {
        Shot shot;
        start({"-w", "-skipintro"});
        ASSERT_TRUE(waitForWindow()) << gameErrors();
        ASSERT_TRUE(waitSettled(notBlack, 30, title)) << gameErrors();
        keys("space");
        auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
        ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
        keys("l");
        ASSERT_TRUE(waitSettled(
                        [&](const Shot& s) { return menuVisible(s) && differing(shot, s, 256, 128, 512, 512) > 0; }, 20,
                        shot))
            << "no quest list; game said:\n" << gameErrors();
        keys("Return");
    }

    // From the quest: ESC to the title menu, 'q', 'y'; the game ends well.
    void quitFromQuest(const std::function<bool(const Shot&)>& menuVisible) {
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

    Display* dpy_ = nullptr;
    std::string dir_;
    int guardSeconds_ = kGuardSeconds;   // of the games started from now on
    pid_t pid_ = -1;
    std::chrono::steady_clock::time_point started_;
};

// A newcomer's road: a new quest from the title menu shows the town with
// the template's ready-made party; the party walks (and does not walk into
// a wall); ESC leads back to the title, which saves; after a restart the
// loaded quest shows the party where it stood.
//
// Every key is pressed only once the screen shows the state that the key is
// meant for and the game sleeps waiting for input: keys typed ahead would
// reach whatever screen the slow (sanitizer) build happens to show then.
TEST_F(RunGameTest, SkipIntroNewQuestWalkSaveAndLoad) {
    start({"-w", "-skipintro"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    Shot title, shot;
    // The title picture first; any key leads to the menu.
    ASSERT_TRUE(waitSettled(notBlack, 30, title)) << "no title picture; game said:\n" << gameErrors();
    keys("space");
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    ASSERT_TRUE(waitForScreen(menuVisible, 20, shot)) << "no title menu; game said:\n" << gameErrors();
    const double startup =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    shot.savePPM(std::string(VELL_GAME_DIR) + "/../title-menu.ppm");
    std::printf("[ figures ] start-up to the title menu (-skipintro, one key): %.2f s\n", startup);

    // Waiting for a key must not keep a core busy.
    double cpu0 = gameCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    double cpu1 = gameCpuSeconds();
    if (cpu0 >= 0 && cpu1 >= 0) {
        std::printf("[ figures ] CPU used by the idle title menu: %.0f%% of a core\n", (cpu1 - cpu0) * 50);
        EXPECT_LT(cpu1 - cpu0, 1.0) << "the title menu spins while it waits";
    }

    // A new quest: its archive is a copy of the template, and the game shows
    // the town with the template's party.
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("n a b 1 Return");
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot start0;
    ventureForth(kParty, start0);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(exists(dir_ + "/savegame/AB1"));
    EXPECT_EQ(readFile(dir_ + "/savegame/AB1").substr(0, 4), readFile(dir_ + "/data/savegame.dat").substr(0, 4));
    start0.savePPM(std::string(VELL_GAME_DIR) + "/../quest-start.ppm");

    // The party starts in the Hall (13, 24); venturing forth puts it on the
    // street before it, (14, 24) facing east, a house ahead.
    // UP into the wall, then RIGHT; LEFT brings the old facing back: the
    // view is the one the quest started with, so the UP moved nothing.
    auto compassMoved = [&](const Shot& from) {
        return [&, from](const Shot& s) { return inQuest(s) && differing(from, s, kCompass) > 0.05; };
    };
    Shot east, north;
    keys("Up Right");
    ASSERT_TRUE(waitSettled(compassMoved(start0), 20, east)) << "no turn to the east; game said:\n" << gameErrors();
    keys("Left");
    ASSERT_TRUE(waitSettled(compassMoved(east), 20, north)) << "no turn back north; game said:\n" << gameErrors();
    EXPECT_EQ(differing(start0, north, kCompass), 0.0);
    EXPECT_EQ(differing(start0, north, kView), 0.0) << "a step into the wall changed the view";

    // RIGHT again, then UP onto the street in front of the Hall: the view
    // changes, the roster stays.
    keys("Right");
    ASSERT_TRUE(waitSettled(compassMoved(north), 20, east)) << gameErrors();
    keys("Up");
    auto stepped = [&](const Shot& s) { return inQuest(s) && differing(east, s, kView) > 0.05; };
    Shot street;
    ASSERT_TRUE(waitSettled(stepped, 20, street)) << "UP did not walk; game said:\n" << gameErrors();
    EXPECT_EQ(differing(east, street, kCompass), 0.0);

    // ESC: the title menu; S saves the quest and goes back to it; ESC again,
    // and the game quits.
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << "no way back to the title; game said:\n" << gameErrors();
    keys("s");
    auto sameStreet = [&](const Shot& s) { return inQuest(s) && differing(street, s, kView) == 0.0; };
    ASSERT_TRUE(waitSettled(sameStreet, 20, shot)) << "the quest did not come back after saving; game said:\n"
                                                   << gameErrors();
    quitFromQuest(menuVisible);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();

    // A new start: loading the quest shows the street where the party stood.
    loadFirstQuest(title);
    ASSERT_FALSE(HasFatalFailure());
    Shot loaded;
    ASSERT_TRUE(waitSettled(inQuest, 30, loaded)) << "the quest did not load; game said:\n" << gameErrors();
    EXPECT_EQ(differing(street, loaded, kView), 0.0) << "the loaded quest does not stand where it was saved";
    EXPECT_EQ(differing(street, loaded, kCompass), 0.0);
    quitFromQuest(menuVisible);
}

// A scripted square of the town, as a player meets it: two steps south of
// the Hall the Warden speaks (his picture in the view, his words and the
// options in the text pane); 'n' declines, SPACE ends his farewell, and the
// street is back.
TEST_F(RunGameTest, TheWardenSpeaksOnHisSquare) {
    Shot title, shot;
    newQuest("a b 1", title);
    ASSERT_FALSE(HasFatalFailure());
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot start0;
    ventureForth(kParty, start0);
    // Dark pixels of text in the upper part of the text pane.
    auto paneText = [](const Shot& s) {
        return s.count(735, 80, 240, 100, [](int r, int g, int b) { return r + g + b < 200; });
    };
    EXPECT_LT(paneText(start0), 50) << "text in the pane before any script";
    keys("Right");
    Shot south;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(start0, s, kCompass) > 0.05; }, 20,
                            south))
        << gameErrors();
    keys("Up");
    Shot street;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(south, s, kView) > 0.05; }, 20,
                            street))
        << gameErrors();
    keys("Up");
    Shot talk;
    // The Warden stands by the fountain, whose water moves: the screen never
    // settles while he speaks.
    ASSERT_TRUE(waitForScreen([&](const Shot& s) { return paneText(s) > 300; }, 20, talk))
        << "the Warden does not speak; game said:\n" << gameErrors();
    talk.savePPM(std::string(VELL_GAME_DIR) + "/../warden.ppm");
    EXPECT_GT(differing(street, talk, kView), 0.05) << "no picture of the Warden";
    keys("n");
    Shot farewell;
    ASSERT_TRUE(waitForScreen([&](const Shot& s) { return differing(talk, s, 730, 70, 250, 370) > 0.01; }, 20,
                              farewell))
        << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && paneText(s) < 50; }, 20, shot))
        << "the street does not come back; game said:\n" << gameErrors();
    quitFromQuest(menuVisible);
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

TEST_F(RunGameTest, TheAutomapTheTimeAndARestFromTheMainView) {
    start({"-w", "-skipintro"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    Shot title, shot;
    ASSERT_TRUE(waitSettled(notBlack, 30, title)) << gameErrors();
    keys("space");
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("n a b 1 Return");
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot street;
    ventureForth(kParty, street);
    auto paneText = [](const Shot& s) {
        return s.count(735, 80, 240, 100, [](int r, int g, int b) { return r + g + b < 200; });
    };
    // The automap: the view turns black but for the squares seen.
    auto mapShown = [](const Shot& s) {
        const int dark = s.count(kView.x, kView.y, kView.w, kView.h, [](int r, int g, int b) { return r + g + b < 30; });
        return dark > kView.w * kView.h * 8 / 10;
    };
    keys("Tab");
    Shot map;
    ASSERT_TRUE(waitSettled(mapShown, 20, map)) << gameErrors();
    EXPECT_GT(paneText(map), 50) << "Viewing Map...";
    // The square at the Hall's door where the party stands is seen (in the
    // party's colour).
    EXPECT_GT(map.count(kView.x, kView.y, kView.w, kView.h,
                        [](int r, int g, int b) { return std::abs(r - 111) < 8 && std::abs(g - 117) < 8 && std::abs(b - 59) < 8; }),
              50)
        << "the party's square is a seen square";
    keys("Tab");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && !mapShown(s); }, 20, shot)) << gameErrors();
    // The time.
    keys("slash");
    Shot time;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 300; }, 20, time)) << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && paneText(s) < 50; }, 20, shot)) << gameErrors();
    // An hour of rest in steps made longer while resting, and the time
    // again: later than before.
    keys("r 1 Return period period period period period period period period period period");
    Shot rested;
    // One line at the top of the pane: far less than the three of the date.
    const int dateText = paneText(time);
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 20 && paneText(s) < dateText / 2; }, 60, rested))
        << "no \"You feel much rested.\"; game said:\n" << gameErrors();
    keys("space");
    // (An hour on the light and the weather may differ: the pane alone
    // tells that the main view is back.)
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) < 50; }, 20, shot)) << gameErrors();
    keys("slash");
    Shot later;
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 300; }, 20, later)) << gameErrors();
    EXPECT_GT(differing(time, later, 730, 70, 250, 80), 0.0) << "the clock has moved on";
    keys("space Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("q");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return menuVisible(s) && differing(shot, s, 256, 128, 512, 512) > 0; },
                            20, shot))
        << gameErrors();
    keys("y");
    EXPECT_EQ(finish(), 0) << gameErrors();
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

TEST_F(RunGameTest, SilentRunIntroAndCreditsStopOnKeys) {
    start({"-w", "-s"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    // The splash picture and the movie play: the screen changes.
    Shot first, shot;
    ASSERT_TRUE(waitForScreen(notBlack, 20, first)) << gameErrors();
    auto moving = [&](const Shot& s) { return differing(first, s, 0, 0, s.width, s.height) > 0.05; };
    EXPECT_TRUE(waitForScreen(moving, 10, shot)) << "neither the splash nor the introduction movie plays";
    // SPACE stops the splash (and with it the introduction) or the movie;
    // the title picture follows once the game has started (it then waits for
    // a key), and after its key the menu is up.
    keys("space");
    Shot title;
    ASSERT_TRUE(waitSettled(notBlack, 30, title)) << "no title picture; game said:\n" << gameErrors();
    keys("space");
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    ASSERT_TRUE(waitForScreen(menuVisible, 10, shot)) << gameErrors();
    // The credits movie and the scrolling credits, each stopped with ESC,
    // come back to the menu.
    const Shot menu = shot;
    keys("v");
    auto notMenu = [&](const Shot& s) { return differing(menu, s, 0, 0, s.width, s.height) > 0.3; };
    EXPECT_TRUE(waitForScreen(notMenu, 10, shot)) << "the credits do not play";
    keys("Escape");
    // Then the scrolling credits, over black; ESC ends them too.
    auto scrolling = [&](const Shot& s) {
        return s.count(0, 0, s.width, s.height, [](int r, int g, int b) { return r + g + b < 30; }) >
               s.width * s.height * 85 / 100;
    };
    EXPECT_TRUE(waitForScreen(scrolling, 10, shot)) << "no scrolling credits after the movie";
    keys("Escape");
    ASSERT_TRUE(waitForScreen(menuVisible, 10, shot)) << gameErrors();
    keys("q n q y");
    EXPECT_EQ(finish(), 0) << gameErrors();
}

// The quit event ends the game as the menu's quit does, with exit code 0
// and without saving: SIGTERM at the title picture, Ctrl-C (SIGINT) during
// the introduction movie, the window closed in the middle of a quest.
TEST_F(RunGameTest, QuitEventEndsTheGameFromEveryLoopWithoutSaving) {
    Shot title, menu, shot;
    start({"-w", "-skipintro"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    ASSERT_TRUE(waitSettled(notBlack, 30, title)) << gameErrors();
    ASSERT_TRUE(signalGame(SIGTERM));
    EXPECT_EQ(finish(10), 0) << gameErrors();

    start({"-w", "-s"});
    ASSERT_TRUE(waitForWindow()) << gameErrors();
    ASSERT_TRUE(waitForScreen(notBlack, 20, shot)) << "no movie; game said:\n" << gameErrors();
    ASSERT_TRUE(signalGame(SIGINT));
    EXPECT_EQ(finish(10), 0) << gameErrors();

    newQuest("a b 1", title);
    ASSERT_FALSE(HasFatalFailure());
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    ventureForth(kParty, shot);
    if (HasFatalFailure())
        return;
    const std::string quest = readFile(dir_ + "/savegame/AB1");
    keys("Right");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return inQuest(s) && differing(shot, s, kCompass) > 0.05; }, 20,
                            shot))
        << gameErrors();
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(finish(10), 0) << gameErrors();
    EXPECT_EQ(readFile(dir_ + "/savegame/AB1"), quest) << "closing the window saved the quest";
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

// Started by its whole path from another folder, the game finds its data
// beside itself. (Runs that end normally keep the sound on, through the
// dummy driver: in the sanitizer build the leak checker's own tracer has
// been seen to crash at the exit of a silent run without the movie.)
TEST_F(RunGameTest, StartedFromAnotherFolderFindsItsData) {
    start({"-w", "-skipintro"}, "/");
    Shot title, menu;
    toTheMenu(title, menu);
    ASSERT_TRUE(signalGame(SIGTERM));
    EXPECT_EQ(finish(10), 0) << gameErrors();
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
}

// SDL that cannot start (no display): exit code 1, and the reason.
TEST_F(RunGameTest, SdlThatCannotStartSaysWhy) {
    start({"-w", "-skipintro", "-s"}, "", ":4711");
    EXPECT_EQ(finish(), 1);
    EXPECT_NE(gameErrors().find("ERROR: Could not start SDL: "), std::string::npos) << gameErrors();
}

// A damaged quest chosen in the list (a file that is no quest, and one
// emptied to 0 bytes, an archive with no adventurers in it): the title menu
// says why it cannot be played, and the game goes on.
TEST_F(RunGameTest, DamagedQuestIsExplainedOnTheTitle) {
    const struct {
        const char* name;
        const char* bytes;
    } quests[] = {{"BROKEN", "not a quest at all"}, {"EMPTY", ""}};
    for (const auto& q : quests) {
        SCOPED_TRACE(q.name);
        ASSERT_EQ(shell("rm -f '" + dir_ + "'/savegame/*"), 0);
        testfiles::writeFile(dir_ + "/savegame/" + q.name, q.bytes);
        start({"-w", "-skipintro"});
        Shot title, menu, list, told;
        toTheMenu(title, menu);
        keys("l");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return menuOver(title, s) && differing(menu, s, 256, 128, 512, 512) > 0; },
                                20, list))
            << gameErrors();
        keys("Return");
        ASSERT_TRUE(waitSettled([&](const Shot& s) {
            return menuOver(title, s) && differing(list, s, 256, 128, 512, 512) > 0 &&
                   differing(menu, s, 256, 128, 512, 512) > 0;
        }, 30, told))
            << "no message; game said:\n" << gameErrors();
        EXPECT_NE(gameErrors().find("Could not load quest"), std::string::npos) << gameErrors();
        if (*q.bytes) {
            EXPECT_EQ(readFile(dir_ + "/savegame/" + q.name), q.bytes);
        }
        keys("space");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(menu, s, 0, 0, s.width, s.height) == 0.0; }, 20,
                                told))
            << "SPACE does not lead back to the menu";
        keys("q");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(menu, s, 256, 128, 512, 512) > 0; }, 20, told));
        keys("y");
        EXPECT_EQ(finish(), 0) << gameErrors();
    }
}

TEST_F(RunGameTest, BadOptionExitsWith255) {
    start({"-w", "-bogus"});
    EXPECT_EQ(finish(), 255);
    EXPECT_EQ(gameErrors(), "ERROR: Incorrect command line option!\n");
}

TEST_F(RunGameTest, MissingMasterDataStopsWithAnError) {
    for (const char* file : {"data/item.dat", "data/class.dat"}) {
        ASSERT_EQ(shell("cp '" + dir_ + "/" + file + "' '" + dir_ + "/keep.dat' && rm '" + dir_ + "/" + file + "'"),
                  0);
        start({"-w", "-skipintro", "-s"});
        EXPECT_EQ(finish(), 255) << file;
        EXPECT_NE(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
        EXPECT_NE(gameErrors().find(file), std::string::npos) << gameErrors();
        ASSERT_EQ(shell("mv '" + dir_ + "/keep.dat' '" + dir_ + "/" + file + "'"), 0);
    }
}

// Without its data folder the game says so before it opens a window: on a
// display that does not exist it still names the missing data, never the
// display (the window would have come first).
TEST_F(RunGameTest, MissingDataFolderIsToldBeforeTheWindowOpens) {
    ASSERT_EQ(shell("rm -rf '" + dir_ + "/data'"), 0);
    start({"-w"}, "", ":4711");
    EXPECT_EQ(finish(), 255);
    EXPECT_NE(gameErrors().find("ERROR: Missing data file 'data/actions.dat'!"), std::string::npos) << gameErrors();
    EXPECT_EQ(gameErrors().find("Could not start SDL"), std::string::npos) << gameErrors();
}

// The party as a saved quest holds it: the members in order, each with the
// names of the items in its 20 slots ("" for empty) and its pack, its own
// gold and the names of the spells in its spell book.
struct SavedMember {
    std::string name;
    std::vector<std::string> slots, pack;
    int64_t gold = 0;
    std::vector<std::string> spells;
};

int64_t goldOf(const std::vector<SavedMember>& party) {
    int64_t total = 0;
    for (const SavedMember& m : party)
        total += m.gold;
    return total;
}

std::vector<SavedMember> savedParty(const std::string& questFile, const std::string& gameDir) {
    std::vector<SavedMember> out;
    registerRulesTypes();
    if (masterITL.count() == 0 && masterITL.load((gameDir + "/data/item.dat").c_str()) != 0) {
        ADD_FAILURE() << "cannot read the item catalogue";
        return out;
    }
    // The spell books name the game's actions: loaded for the reading only.
    struct Actions {
        bool loaded = false;
        ~Actions() {
            if (loaded)
                masterActionList.destroyAll();
        }
    } actions;
    if (!masterActionList.head()) {
        actions.loaded = true;
        initActions();
        if (masterActionList.load((gameDir + "/data/actions.dat").c_str()) <= 0) {
            ADD_FAILURE() << "cannot read the actions";
            return out;
        }
    }
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false, &error);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile << ": " << error;
        return out;
    }
    installQuestStores(archive.get());
    DirHandle_C world = archive->openDir("world");
    std::unique_ptr<Storable_C> rec = world ? world->load("party.dat") : nullptr;
    auto* p = dynamic_cast<bl3dParty*>(rec.get());
    if (!p)
        ADD_FAILURE() << "no party in " << questFile;
    for (int i = 0; p && i < p->getCount(); ++i) {
        bl3dPartyChar* m = p->getMember(i);
        SavedMember s;
        s.name = m->getName();
        RefStr_C n;
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            const bl3dItem* item = m->getSlotItem(slot);
            if (item)
                item->getDisplayName(n);
            s.slots.push_back(item ? n.c_str() : "");
        }
        for (int k = 0; k < m->getPack()->count(); ++k) {
            static_cast<const bl3dItem*>(m->getPack()->at(k))->getDisplayName(n);
            s.pack.push_back(n.c_str());
        }
        s.gold = m->rawGold();
        for (const ActionNode_S* a = m->actions2()->head(); a; a = a->next)
            if (a->action)
                s.spells.push_back(a->action->name().c_str());
        out.push_back(s);
    }
    rec.reset();
    installQuestStores(nullptr);
    return out;
}

// A player's road through the party screens: F4 opens Corvin's sheet; his
// staff comes off and goes to Tamsin, who wields it; Bran gives his draught
// to Ysolde; shift-T puts the party in reverse order. The quest is saved,
// left and loaded again, and saved once more: both saves hold the party as
// it was left.
TEST_F(RunGameTest, CharacterSheetGiveEquipReorderSaveAndLoad) {
    Shot title, shot;
    newQuest("p s 1", title);
    ASSERT_FALSE(HasFatalFailure());
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    auto inQuest = [&](const Shot& s) { return questView(s, kParty); };
    Shot town;
    ventureForth(kParty, town);
    if (HasFatalFailure())
        return;

    // The sheet shows Corvin's portrait where the town was.
    keys("F4");
    auto sheet = [&](const Shot& s) { return differing(town, s, kView) > 0.3; };
    ASSERT_TRUE(waitSettled(sheet, 20, shot)) << "no character sheet; game said:\n" << gameErrors();
    keys("i u t F3 F3 Down e F1 Down Down t F2 Escape Escape");
    auto backInTown = [&](const Shot& s) { return inQuest(s) && differing(town, s, kView) == 0.0; };
    ASSERT_TRUE(waitSettled(backInTown, 20, shot)) << gameErrors();
    keys("shift+t F5 F4 F3 F2 F1");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return backInTown(s) && differing(town, s, kRosterNames) > 0.05; },
                            20, shot))
        << "the roster did not change; game said:\n" << gameErrors();
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(backInTown, 20, shot)) << gameErrors();
    quitFromQuest(menuVisible);
    if (HasFatalFailure())
        return;

    const std::string quest = dir_ + "/savegame/PS1";
    auto check = [](const std::vector<SavedMember>& p) {
        ASSERT_EQ(p.size(), 5u);
        EXPECT_EQ(p[0].name, "Liesel");
        EXPECT_EQ(p[1].name, "Corvin");
        EXPECT_EQ(p[2].name, "Tamsin");
        EXPECT_EQ(p[3].name, "Ysolde");
        EXPECT_EQ(p[4].name, "Bran");
        EXPECT_EQ(p[1].slots[SLOT_RT_HAND], "") << "Corvin gave his staff away";
        EXPECT_TRUE(p[1].pack.empty());
        EXPECT_EQ(p[2].slots[SLOT_RT_HAND], "Ghost Staff") << "Tamsin wields it";
        EXPECT_EQ(p[2].slots[SLOT_GLOVES], "Iron Gauntlets");
        EXPECT_EQ(p[3].pack, std::vector<std::string>{"Draught of Mending (3)"});
        EXPECT_TRUE(p[4].pack.empty());
        EXPECT_EQ(p[4].slots[SLOT_RT_HAND], "Hand Axe");
    };
    const std::vector<SavedMember> first = savedParty(quest, dir_);
    check(first);

    // Loaded again, the party is as it was left: saving it again stores the
    // same party.
    loadFirstQuest(title);
    if (HasFatalFailure())
        return;
    Shot loaded;
    ASSERT_TRUE(waitSettled(inQuest, 30, loaded)) << "the quest did not load; game said:\n" << gameErrors();
    EXPECT_GT(differing(town, loaded, kRosterNames), 0.05) << "the roster shows the new order";
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(inQuest, 20, shot)) << gameErrors();
    quitFromQuest(menuVisible);
    if (HasFatalFailure())
        return;
    const std::vector<SavedMember> second = savedParty(quest, dir_);
    check(second);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].slots, first[i].slots) << first[i].name;
        EXPECT_EQ(second[i].pack, first[i].pack) << first[i].name;
    }
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

// The roster of a saved quest's archive: the names in its "hall".
std::vector<std::string> savedRoster(const std::string& questFile) {
    std::vector<std::string> names;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile;
        return names;
    }
    DirHandle_C roster = archive->openDir("hall");
    for (int i = 0; roster && i < roster->getEntryCount(); ++i)
        names.push_back(roster->getEntryName(i));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> namesOf(const std::vector<SavedMember>& party) {
    std::vector<std::string> names;
    for (const SavedMember& m : party)
        names.push_back(m.name);
    return names;
}

// A new quest's first errands in town, as a player does them: in the Hall
// two recruits are made (race, gender, portrait, roll, class, name) and
// welcomed into the party, which ventures forth seven strong; it walks the
// town's streets to the Temple (the party is healed), is saved, walks on to
// the Collegium of Magika, where Corvin's sheet (F4) pools the party's gold
// with him and he buys his first spell, and is saved again. Loaded again,
// the roster, the party, its gold and Corvin's spell book come back as they
// were saved.
//
// The quest starts at half past nine: the Temple (from six) and the
// Collegium (nine until five) are open all the way.
TEST_F(RunGameTest, RecruitTwoWalkToTheTempleAndTheCollegiumSaveAndLoad) {
    // The walk is long: in the sanitizer build it takes more than a minute.
    guardSeconds_ = 4 * kGuardSeconds;
    Shot title, shot;
    newQuest("h a 1", title);
    ASSERT_FALSE(HasFatalFailure());
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    Shot hall;
    ASSERT_TRUE(waitSettled(hallShown, 30, hall)) << "no Hall of Adventurers; game said:\n" << gameErrors();
    auto hallMenu = [&](const Shot& s) { return hallShown(s) && differing(hall, s, 700, 50, 310, 430) == 0.0; };
    // Recruit: Human, male, his portrait, a roll, the first class offered,
    // the name "Rolf"; the Hall's menu comes back. Then Mara, a woman.
    keys("r h m c Return shift+r o l f Return");
    ASSERT_TRUE(waitSettled(hallMenu, 30, shot)) << "the Hall's menu did not come back; game said:\n" << gameErrors();
    keys("r h f c Return shift+m a r a Return");
    ASSERT_TRUE(waitSettled(hallMenu, 30, shot)) << "the Hall's menu did not come back; game said:\n" << gameErrors();
    // Welcome them: the ready-made adventurers are in the party already, so
    // only the recruits are offered, Mara (first by name), then Rolf.
    for (int i = 0; i < 2; ++i) {
        keys("g");
        ASSERT_TRUE(waitSettled([&](const Shot& s) { return hallShown(s) && !hallMenu(s); }, 20, shot))
            << "no list of adventurers; game said:\n" << gameErrors();
        keys("Return");
        ASSERT_TRUE(waitSettled(hallMenu, 20, shot)) << gameErrors();
    }
    const int members = kParty + 2;
    Shot street;
    ventureForth(members, street);
    ASSERT_FALSE(HasFatalFailure());

    auto press = [&](const std::string& key, const char* what) { pressUntilChanged(shot, key, what); };
    auto pressAll = [&](const std::vector<std::string>& keyNames, const char* what) { pressAllUntilChanged(shot, keyNames, what); };
    // Dark pixels of text in the upper part of the text pane: a building's
    // menu, not the street.
    auto paneText = [](const Shot& s) {
        return s.count(735, 80, 240, 100, [](int r, int g, int b) { return r + g + b < 200; });
    };
    auto onStreet = [&](const Shot& s) { return questView(s, members) && paneText(s) < 50; };
    shot = street;

    // The Hall's exit (14, 24) faces east: south one square, west one, down
    // the lane at x 13 to the Temple's row, east, and in at (15, 15).
    pressAll({"Right", "Up", "Right", "Up", "Left", "Up", "Up", "Up", "Up", "Up", "Up", "Up", "Up", "Left", "Up"},
             "the walk to the Temple");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the Temple";
    press("Up", "into the Temple");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_GT(paneText(shot), 300) << "no Temple menu";
    shot.savePPM(std::string(VELL_GAME_DIR) + "/../temple.ppm");
    // (H)eal, (H)eal Party, the first member pays (nothing: no one is
    // hurt), SPACE after the message, ESC out onto (14, 15).
    pressAll({"h", "h", "F1", "space"}, "healing in the Temple");
    ASSERT_FALSE(HasFatalFailure());
    keys("Escape");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << "the Temple was not left; game said:\n" << gameErrors();

    // Saved before the Collegium.
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    const std::string quest = dir_ + "/savegame/HA1";
    const std::vector<SavedMember> beforeCollegium = savedParty(quest, dir_);

    // From the Temple's door, facing west: south down the lane at x 14 to
    // the street at y 6, west along it to x 6, and north up to the
    // Collegium's door at (6, 10), which opens to the south.
    pressAll({"Left", "Up", "Up", "Up", "Up", "Up", "Up", "Up", "Up", "Up", "Right", "Up", "Up", "Up", "Up", "Up",
              "Up", "Up", "Up", "Right", "Up", "Up", "Up"},
             "the walk to the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the Collegium";
    press("Up", "into the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_GT(paneText(shot), 300) << "no Collegium menu";
    shot.savePPM(std::string(VELL_GAME_DIR) + "/../collegium.ppm");
    // F4: Corvin's sheet; (P)ool the party's gold with him; ESC back to the
    // Collegium. (A)cquire a spell for him (F4), the first offered (RETURN),
    // (Y)es, SPACE after the message, ESC out.
    pressAll({"F4", "p", "Escape", "a", "F4", "Return", "y", "space"}, "buying a spell in the Collegium");
    ASSERT_FALSE(HasFatalFailure());
    keys("Escape");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << "the Collegium was not left; game said:\n" << gameErrors();
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    quitFromQuest(menuVisible);
    ASSERT_FALSE(HasFatalFailure());

    const std::vector<SavedMember> saved = savedParty(quest, dir_);
    ASSERT_EQ(saved.size(), size_t(members));
    ASSERT_EQ(beforeCollegium.size(), size_t(members));
    // The list of the roster offers the first by name first.
    EXPECT_EQ(saved[kParty].name, "Mara");
    EXPECT_EQ(saved[kParty + 1].name, "Rolf");
    EXPECT_EQ(namesOf(saved), namesOf(beforeCollegium));
    // Corvin holds the party's gold less the price of a first-level spell,
    // which is the one more in his book.
    EXPECT_EQ(goldOf(saved), goldOf(beforeCollegium) - 1000);
    EXPECT_EQ(saved[3].name, "Corvin");
    EXPECT_EQ(saved[3].gold, goldOf(saved)) << "the gold was not pooled with Corvin";
    EXPECT_EQ(saved[3].spells.size(), beforeCollegium[3].spells.size() + 1);
    std::vector<std::string> roster = savedRoster(quest);
    EXPECT_EQ(roster.size(), size_t(members));
    EXPECT_TRUE(std::binary_search(roster.begin(), roster.end(), "Rolf"));
    EXPECT_TRUE(std::binary_search(roster.begin(), roster.end(), "Mara"));
    {
        std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(quest, false);
        ASSERT_TRUE(archive);
        installQuestStores(archive.get());
        std::unique_ptr<Storable_C> rolf = archive->openDir("hall")->load("Rolf");
        auto* m = dynamic_cast<bl3dPartyChar*>(rolf.get());
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->getLevel(), 1);
        EXPECT_GT(m->getMaxHP(), 0);
        EXPECT_STREQ(m->nameBuffer(), "Human_Male");
        installQuestStores(nullptr);
    }

    // Loaded again, the seven stand on the street before the Collegium;
    // saved again, the quest holds the same roster, party, gold and spells.
    loadFirstQuest(title);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitSettled(onStreet, 30, shot)) << "the quest did not load with its seven; game said:\n"
                                                 << gameErrors();
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    quitFromQuest(menuVisible);
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<SavedMember> again = savedParty(quest, dir_);
    ASSERT_EQ(again.size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(again[i].name, saved[i].name);
        EXPECT_EQ(again[i].gold, saved[i].gold) << saved[i].name;
        EXPECT_EQ(again[i].spells, saved[i].spells) << saved[i].name;
    }
    EXPECT_EQ(savedRoster(quest), roster);
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

} // namespace

namespace {

// An X server of the test's own (Xvfb on a free display number), which the
// test may take away under the game.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-noreset",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        char buf[32] = {};
        const ssize_t n = ::read(fds[0], buf, sizeof buf - 1);
        ::close(fds[0]);
        if (n > 0)
            name_ = ":" + std::to_string(std::atoi(buf));
    }
    ~PrivateDisplay() { kill(); }
    const std::string& name() const { return name_; }
    void kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string name_;
};

} // namespace

// The display goes away under a game in a quest (a closed remote session):
// the game notices, says so and ends at once, and the quest stays as it was.
TEST_F(RunGameTest, LostDisplayEndsTheGameWithoutSaving) {
    PrivateDisplay x;
    ASSERT_FALSE(x.name().empty()) << "no Xvfb of the test's own";
    Display* own = XOpenDisplay(x.name().c_str());
    ASSERT_NE(own, nullptr);
    std::swap(dpy_, own);   // screenshots and keys of the test's own display
    const std::string oldDisplay = std::getenv("DISPLAY");
    ::setenv("DISPLAY", x.name().c_str(), 1);
    struct Back {
        Display*& dpy;
        Display* old;
        std::string display;
        ~Back()
        {
            XCloseDisplay(dpy);
            dpy = old;
            ::setenv("DISPLAY", display.c_str(), 1);
        }
    } back{dpy_, own, oldDisplay};

    ASSERT_EQ(shell("cp '" + dir_ + "/data/savegame.dat' '" + dir_ + "/savegame/HELD'"), 0);
    const std::string quest = readFile(dir_ + "/savegame/HELD");
    start({"-w", "-skipintro"}, "", x.name());
    Shot title, menu, list, inQuest;
    toTheMenu(title, menu);
    keys("l");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return differing(menu, s, 256, 128, 512, 512) > 0; }, 20, list))
        << gameErrors();
    keys("Return");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return questView(s, kParty); }, 30, inQuest)) << gameErrors();

    XCloseDisplay(dpy_);
    dpy_ = XOpenDisplay(oldDisplay.c_str());
    x.kill();
    EXPECT_EQ(finish(10), 1) << gameErrors();
    EXPECT_NE(gameErrors().find("ERROR: The connection to the display was lost"), std::string::npos) << gameErrors();
    EXPECT_EQ(readFile(dir_ + "/savegame/HELD"), quest);
}

// The count on the shelf of each item a saved quest's shop stocks, by the
// item's name; empty when the archive holds no stock of that shop.
std::map<std::string, int32_t> savedStock(const std::string& questFile, const char* shop)
{
    std::map<std::string, int32_t> out;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile;
        return out;
    }
    installQuestStores(archive.get());
    DirHandle_C dir = archive->hasEntry("shop") ? archive->openDir("shop") : DirHandle_C();
    std::unique_ptr<Storable_C> rec = dir && dir->hasEntry(shop) ? dir->load(shop) : nullptr;
    if (auto* stock = dynamic_cast<bl3dShopInv*>(rec.get())) {
        RefStr_C n;
        for (int i = 0; i < stock->count(); ++i) {
            const ShopStock_S* e = stock->at(i);
            if (!e->type)
                continue;
            e->type->getDisplayName(n);
            out[n.c_str()] = e->count;
        }
    }
    rec.reset();
    installQuestStores(nullptr);
    return out;
}

// A trip to the weapon smith: the party ventures forth from the Hall, walks
// the lane at x 13 down to the street at y 13, west along it and north up
// to Starfire Swords at (6, 22), whose door opens to the south. Bran (F1)
// sells the Draught of Mending in his pack for half its price and buys a
// Hand Axe at the asking price; the party leaves, saves, quits, loads and
// saves again. Both saves hold Bran's gold less the axe plus the draught,
// the axe in his pack and not the draught, and the shop's shelf with one
// axe fewer and the draught for sale.
//
// The shop opens at eight; the quest starts at half past nine, and the
// town has no wandering monsters by day and no random events.
TEST_F(RunGameTest, WalkToTheWeaponSmithSellADraughtBuyAnAxeSaveAndLoad) {
    guardSeconds_ = 3 * kGuardSeconds;
    Shot title, shot;
    newQuest("w s 1", title);
    ASSERT_FALSE(HasFatalFailure());
    auto menuVisible = [&](const Shot& s) { return menuOver(title, s); };
    Shot street;
    ventureForth(kParty, street);
    ASSERT_FALSE(HasFatalFailure());
    // A first save on the street: the party as it left the Hall.
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    auto paneText = [](const Shot& s) {
        return s.count(735, 80, 240, 100, [](int r, int g, int b) { return r + g + b < 200; });
    };
    auto onStreet = [&](const Shot& s) { return questView(s, kParty) && paneText(s) < 50; };
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    const std::string quest = dir_ + "/savegame/WS1";
    const std::vector<SavedMember> before = savedParty(quest, dir_);
    ASSERT_EQ(before.size(), size_t(kParty));
    ASSERT_EQ(before[0].name, "Bran");
    ASSERT_EQ(before[0].pack, std::vector<std::string>{"Draught of Mending (3)"});

    auto press = [&](const std::string& key, const char* what) { pressUntilChanged(shot, key, what); };
    auto pressAll = [&](const std::vector<std::string>& keyNames, const char* what) { pressAllUntilChanged(shot, keyNames, what); };
    // From (14, 24) facing east: south one, west one to the lane at x 13,
    // south down it to y 13, west to x 6, north up to (6, 21).
    std::vector<std::string> walk = {"Right", "Up", "Right", "Up", "Left"};
    walk.insert(walk.end(), 10, "Up");
    walk.push_back("Right");
    walk.insert(walk.end(), 7, "Up");
    walk.push_back("Right");
    walk.insert(walk.end(), 8, "Up");
    pressAll(walk, "the walk to Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the shop";
    press("Up", "into Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_GT(paneText(shot), 300) << "no shop menu";
    // Bran (F1): (S)ell, the first item of his pack (chosen already), (Y)es;
    // the chooser again, ESC. (B)uy, (B)laded weapons, the first (the Hand
    // Axe), (Y)es at the asking price; ESC back to the categories, to the
    // business, to the welcome, and out onto (6, 21).
    pressAll({"F1", "s", "Return", "y", "Escape", "b", "b", "Return", "y", "Escape", "Escape", "Escape"},
             "trading in Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    keys("Escape");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << "the shop was not left; game said:\n" << gameErrors();
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    quitFromQuest(menuVisible);
    ASSERT_FALSE(HasFatalFailure());

    // The Hand Axe costs 45, the draught is worth 60: sold for 30.
    auto check = [&](const std::vector<SavedMember>& p, const char* which) {
        ASSERT_EQ(p.size(), before.size()) << which;
        EXPECT_EQ(p[0].name, "Bran") << which;
        EXPECT_EQ(p[0].gold, before[0].gold - 45 + 30) << which;
        EXPECT_EQ(goldOf(p), goldOf(before) - 45 + 30) << which;
        EXPECT_EQ(p[0].pack, std::vector<std::string>{"Hand Axe"}) << which;
        EXPECT_EQ(p[0].slots, before[0].slots) << which;
        const std::map<std::string, int32_t> stock = savedStock(quest, "starfire.dat");
        ASSERT_TRUE(stock.count("Hand Axe")) << which << ": no stock of Starfire Swords";
        EXPECT_EQ(stock.at("Hand Axe"), 3) << which << ": four on the shelf, one sold";
        ASSERT_TRUE(stock.count("Draught of Mending (3)")) << which;
        EXPECT_EQ(stock.at("Draught of Mending (3)"), 1) << which << ": the draught Bran sold";
    };
    const std::vector<SavedMember> saved = savedParty(quest, dir_);
    check(saved, "the first save");

    loadFirstQuest(title);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitSettled(onStreet, 30, shot)) << "the quest did not load; game said:\n" << gameErrors();
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    quitFromQuest(menuVisible);
    ASSERT_FALSE(HasFatalFailure());
    check(savedParty(quest, dir_), "saved after loading");
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}
