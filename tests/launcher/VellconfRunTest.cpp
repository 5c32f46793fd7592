// vellconf as a player runs it: the built program in a game folder of its
// own under the test's X display, typed into with xdotool. Play hands over
// to a stand-in game program that records how it was started (or to the
// real game, which must come up with the settings just chosen); bad
// settings files, a missing data folder, font or picture and a missing game
// program each give their message and exit code and leave the settings file
// as it was.
//
// The test program makes itself the reaper of its orphaned descendants, so
// that the detached game ends up as its child and is stopped and reaped in
// TearDown.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/TestFiles.h"
#include "core/GameConfig.h"

namespace {

using testfiles::exists;
using testfiles::readFile;
using testfiles::writeFile;

int shell(const std::string& cmd) { return std::system(cmd.c_str()); }

// "name value" lines into a map.
std::map<std::string, std::string> readRecord(const std::string& path) {
    std::map<std::string, std::string> out;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        const size_t blank = line.find(' ');
        if (blank != std::string::npos)
            out[line.substr(0, blank)] = line.substr(blank + 1);
    }
    return out;
}

std::string realPath(const std::string& path) {
    char buf[4096];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// Processes whose parent is this test program.
std::vector<pid_t> ownChildren() {
    std::vector<pid_t> out;
    DIR* d = ::opendir("/proc");
    if (!d)
        return out;
    while (dirent* e = ::readdir(d)) {
        const pid_t pid = std::atoi(e->d_name);
        if (pid <= 0)
            continue;
        std::istringstream status(readFile("/proc/" + std::to_string(pid) + "/status"));
        for (std::string line; std::getline(status, line);)
            if (line.rfind("PPid:", 0) == 0) {
                if (std::atoi(line.c_str() + 5) == ::getpid())
                    out.push_back(pid);
                break;
            }
    }
    ::closedir(d);
    return out;
}

class VellconfRunTest : public ::testing::Test {
protected:
    static constexpr double kWait = 30; // seconds for anything to happen

    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            GTEST_FAIL() << "no X display (DISPLAY is not set)";
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_)
            GTEST_FAIL() << "cannot open the X display " << display;
        ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
        ASSERT_TRUE(exists(VELL_GAME_DIR "/vellconf")) << "vellconf is not built into " VELL_GAME_DIR;
        top_ = std::string(::testing::TempDir()) + "vell_conf_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = top_ + "/game";
        ASSERT_EQ(shell("rm -rf '" + top_ + "' && mkdir -p '" + top_ + "/elsewhere' '" + dir_ +
                        "/data' '" + dir_ + "/pics/other'"),
                  0);
    }

    void TearDown() override {
        for (pid_t child : ownChildren())
            ::kill(child, SIGKILL);
        while (::waitpid(-1, nullptr, WNOHANG) > 0 || !ownChildren().empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (dpy_)
            XCloseDisplay(dpy_);
        shell("rm -rf '" + top_ + "'");
    }

    // The launcher's folder: vellconf with the font, the title picture, the
    // title music and a settings file; the stand-in as the game program when
    // asked.
    void smallGameFolder(bool withStandIn) {
        const std::string copy = "cp '" VELL_GAME_DIR "/";
        ASSERT_EQ(shell("mkdir -p '" + dir_ + "/pics/intro' && " + copy + "vellconf' '" + dir_ + "/' && " + copy +
                        "data/font.fot' '" + dir_ + "/data/' && " + copy + "pics/other/title.dat' '" + dir_ +
                        "/pics/other/' && " + copy + "pics/intro/credits.ogg' '" + dir_ + "/pics/intro/'"),
                  0);
        writeFile(dir_ + "/data/config.dat", "depth 16\nwindow on\n");
        if (withStandIn) {
            ASSERT_EQ(shell("cp '" VELL_STANDIN "' '" + dir_ + "/vellrun'"), 0);
        }
    }

    // Starts vellconf from `cwd`, its error stream into a file. With
    // `unsettled`, SIGINT and SIGHUP are ignored and SIGUSR1 is blocked in
    // it, as a desktop or nohup may leave them.
    void start(const std::string& cwd, bool unsettled = false) {
        launcher_ = ::fork();
        ASSERT_GE(launcher_, 0);
        if (launcher_ == 0) {
            ::setpgid(0, 0);
            if (::chdir(cwd.c_str()) != 0)
                ::_exit(127);
            const int err = ::open((top_ + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, 2);
            ::setenv("SDL_AUDIODRIVER", "dummy", 1);
            ::setenv("SDL_VIDEODRIVER", "x11", 1);
            // Sanitizer builds: leaks still fail the run, but the list of
            // suppressions used stays off the error stream the test reads.
            if (const char* lsan = std::getenv("LSAN_OPTIONS"))
                ::setenv("LSAN_OPTIONS", (std::string(lsan) + ":print_suppressions=0").c_str(), 1);
            if (unsettled) {
                std::signal(SIGINT, SIG_IGN);
                std::signal(SIGHUP, SIG_IGN);
                sigset_t usr1;
                sigemptyset(&usr1);
                sigaddset(&usr1, SIGUSR1);
                ::sigprocmask(SIG_BLOCK, &usr1, nullptr);
            }
            ::setenv("VELL_STANDIN_REAPER", std::to_string(::getppid()).c_str(), 1);
            const std::string program = dir_ + "/vellconf";
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }

    // Waits for the launcher to end; its exit code as the shell sees it.
    int finish(double seconds = kWait) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(launcher_, &status, WNOHANG) == launcher_) {
                launcher_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(launcher_, SIGKILL);
        ::waitpid(launcher_, nullptr, 0);
        launcher_ = -1;
        ADD_FAILURE() << "vellconf did not end in time";
        return -1;
    }

    // Types keys (xdotool names) into the launcher's window once it is up.
    bool keys(const std::string& names) {
        return shell("timeout 20 xdotool search --sync --name '^Vellicorn Launcher$' windowfocus --sync "
                     ">/dev/null 2>&1 && xdotool key --delay 60 " + names) == 0;
    }

    bool waitFor(const std::function<bool()>& pred, double seconds = kWait) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        while (std::chrono::steady_clock::now() < deadline) {
            if (pred())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::string errors() { return readFile(top_ + "/stderr.txt"); }

    // The id of the viewable window of that caption (an xdotool name
    // pattern); 0 when there is none.
    Window findWindow(const std::string& pattern) {
        FILE* p = ::popen(("xdotool search --onlyvisible --name '" + pattern + "' 2>/dev/null").c_str(), "r");
        if (!p)
            return 0;
        unsigned long id = 0;
        if (std::fscanf(p, "%lu", &id) != 1)
            id = 0;
        ::pclose(p);
        return Window(id);
    }

    // What the window manager sends when the close button is pressed.
    void pressCloseButton(Window w) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy_, w, False, NoEventMask, &ev);
        XFlush(dpy_);
    }

    // Viewable override-redirect windows on the root window.
    int fullScreenWindows() {
        Window root = DefaultRootWindow(dpy_), parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(dpy_, root, &root, &parent, &children, &count))
            return -1;
        int n = 0;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes a{};
            if (XGetWindowAttributes(dpy_, children[i], &a) && a.map_state == IsViewable && a.override_redirect)
                ++n;
        }
        if (children)
            XFree(children);
        return n;
    }

    Display* dpy_ = nullptr;
    std::string top_;
    std::string dir_;
    pid_t launcher_ = -1;
};

// Play: the settings are written, the launcher ends with 0 without waiting,
// and the game program beside it runs by its absolute path (no shell
// between), in the game folder, as the leader of a session of its own, with
// no blocked or ignored signals. Started from another folder, the launcher
// finds its game folder beside itself.
TEST_F(VellconfRunTest, PlayStartsTheGameDetached) {
    smallGameFolder(true);
    for (const std::string& from : {dir_, top_ + "/elsewhere"}) {
        std::remove((dir_ + "/started.txt").c_str());
        writeFile(dir_ + "/data/config.dat", "depth 16\n");
        start(from, /*unsettled*/ true);
        const pid_t launcher = launcher_;
        ASSERT_TRUE(keys("e v c b b p")) << errors();
        EXPECT_EQ(finish(), 0) << errors();
        EXPECT_EQ(errors(), "");
        EXPECT_NE(readFile(dir_ + "/data/config.dat").find("depth 24\n"), std::string::npos)
            << "Play did not write the settings";
        ASSERT_TRUE(waitFor([&] { return exists(dir_ + "/started.txt"); })) << "the game program did not run";
        auto rec = readRecord(dir_ + "/started.txt");
        EXPECT_EQ(rec["cwd"], realPath(dir_)) << "started from " << from;
        EXPECT_EQ(rec["argc"], "1");
        EXPECT_EQ(rec["arg0"], realPath(dir_) + "/vellrun");
        // The game's first parent is the launcher, or this test when the
        // launcher had already ended as the game began (a busy machine): this
        // test is a subreaper, so the game came to it straight from the
        // launcher. A process between them would have come to this test as
        // well when it ended, and its leftover is looked for below.
        EXPECT_EQ(rec["reaper"], std::to_string(::getpid()));
        const bool direct = rec["firstParent"] == std::to_string(launcher);
        EXPECT_TRUE(direct || rec["firstParent"] == std::to_string(::getpid()))
            << "something stood between launcher and game: parent " << rec["firstParent"];
        const pid_t game = static_cast<pid_t>(std::atol(rec["pid"].c_str()));
        ASSERT_EQ(::waitpid(game, nullptr, 0), game) << "the game was not handed to this test";
        pid_t other = 0;
        while ((other = ::waitpid(-1, nullptr, WNOHANG)) > 0)
            ADD_FAILURE() << "process " << other << " stood between launcher and game";
        EXPECT_EQ(rec["sid"], rec["pid"]) << "the game does not lead a session of its own";
        EXPECT_NE(rec["sid"], std::to_string(::getsid(0)));
        EXPECT_EQ(rec["parentGone"], "1") << "the launcher waited for the game";
        EXPECT_EQ(rec["blocked"], "0");
        EXPECT_EQ(rec["ignored"], "0");
    }
}

// Without a game program to start, Play says why and the exit code is not
// 0; the settings are written all the same.
TEST_F(VellconfRunTest, PlayWithoutTheGameProgramFails) {
    smallGameFolder(false);
    struct Case {
        const char* setup;
        const char* reason;
    };
    for (const Case& c : {Case{"true", "No such file or directory"},
                          Case{"cp '" VELL_STANDIN "' vellrun && chmod 644 vellrun", "Permission denied"}}) {
        ASSERT_EQ(shell("cd '" + dir_ + "' && " + c.setup), 0);
        writeFile(dir_ + "/data/config.dat", "depth 16\n");
        start(dir_);
        ASSERT_TRUE(keys("p")) << errors();
        EXPECT_EQ(finish(), 255);
        EXPECT_EQ(errors(), "ERROR: Could not start the game '" + realPath(dir_) + "/vellrun': " + c.reason + "\n");
        GameConfig_S written;
        written.depth = 16;
        EXPECT_EQ(readFile(dir_ + "/data/config.dat"), written.toText());
        EXPECT_FALSE(exists(dir_ + "/started.txt"));
    }
}

// The window's close button and SIGTERM end the launcher at once, with
// exit code 0, and the settings changed meanwhile are not written.
TEST_F(VellconfRunTest, CloseButtonAndTerminationWriteNothing) {
    smallGameFolder(true);
    const std::string settings = readFile(dir_ + "/data/config.dat");
    for (bool byButton : {true, false}) {
        start(dir_);
        ASSERT_TRUE(keys("e v c w b b")) << errors();
        if (byButton) {
            const Window w = findWindow("^Vellicorn Launcher$");
            ASSERT_NE(w, Window(0));
            pressCloseButton(w);
        } else {
            ::kill(launcher_, SIGTERM);
        }
        EXPECT_EQ(finish(), 0) << errors();
        EXPECT_EQ(errors(), "");
        EXPECT_EQ(readFile(dir_ + "/data/config.dat"), settings);
        EXPECT_FALSE(exists(dir_ + "/started.txt"));
    }
}

// A settings file that cannot be read stops the launcher before anything
// could write over it; lines that set nothing are named, and the settings
// around them are kept.
TEST_F(VellconfRunTest, BadSettingsFiles) {
    smallGameFolder(false);
    const std::string config = dir_ + "/data/config.dat";

    // A folder where the file should be: nothing can be read.
    ASSERT_EQ(shell("rm -f '" + config + "' && mkdir '" + config + "' && touch '" + config + "/keep'"), 0);
    start(dir_);
    EXPECT_EQ(finish(), 255);
    EXPECT_EQ(errors(), "ERROR: Could not read 'data/config.dat': Is a directory\n");
    EXPECT_TRUE(exists(config + "/keep"));
    ASSERT_EQ(shell("rm -rf '" + config + "'"), 0);

    // Junk between settings: binary bytes, unknown words, a lone keyword,
    // an overlong line and a last line without line end.
    const std::string junk = "depth 16\n\x01\x02\xff garbage\nnonsense here\nwindow on\n\nfog\n# a comment\n" +
                             std::string(300, 'x') + "\ndifficulty impossible";
    writeFile(config, junk);
    start(dir_);
    ASSERT_TRUE(keys("q")) << errors();
    EXPECT_EQ(finish(), 0) << errors();
    EXPECT_EQ(errors(),
              "WARNING: Line 2 of 'data/config.dat' sets nothing; it is left out when the settings are written.\n"
              "WARNING: Line 3 of 'data/config.dat' sets nothing; it is left out when the settings are written.\n"
              "WARNING: Line 6 of 'data/config.dat' sets nothing; it is left out when the settings are written.\n"
              "WARNING: Line 8 of 'data/config.dat' sets nothing; it is left out when the settings are written.\n");
    const std::string written = readFile(config);
    EXPECT_EQ(written.substr(0, 12), "# a comment\n") << "the comment line is kept, above the settings";
    EXPECT_EQ(written.substr(12, 9), "depth 16\n");
    EXPECT_NE(written.find("\nwindow on\n"), std::string::npos);
    EXPECT_NE(written.find("\ndifficulty impossible\n"), std::string::npos);
}

// Without its data folder, font or title picture the launcher says what is
// missing, ends with -1 (255) and writes nothing.
TEST_F(VellconfRunTest, MissingDataFolderFontOrPicture) {
    smallGameFolder(false);
    const std::string settings = readFile(dir_ + "/data/config.dat");
    struct Case {
        const char* name;
        std::string setup, undo;
        const char* error; // the start of the error stream
    };
    const Case cases[] = {
        {"data folder", "mv data data.kept", "mv data.kept data", "ERROR: Failed to find data files!\n"},
        {"font", "mv data/font.fot kept", "mv kept data/font.fot", "ERROR: Missing data file 'data/font.fot'!\n"},
        {"picture", "mv pics/other/title.dat kept", "mv kept pics/other/title.dat",
         "ERROR: Missing data file 'pics/other/title.dat'!\n"},
        {"broken picture", "mv pics/other/title.dat kept && echo 'no picture' > pics/other/title.dat",
         "mv kept pics/other/title.dat", "ERROR: Could not load texture pics/other/title.dat"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(shell("cd '" + dir_ + "' && " + c.setup), 0) << c.name;
        start(top_ + "/elsewhere");
        EXPECT_EQ(finish(), 255) << c.name;
        EXPECT_EQ(errors().substr(0, std::string(c.error).size()), c.error) << c.name << ": " << errors();
        ASSERT_EQ(shell("cd '" + dir_ + "' && " + c.undo), 0) << c.name;
        EXPECT_EQ(readFile(dir_ + "/data/config.dat"), settings) << c.name;
    }
}

// The whole road: in vellconf the player picks 1280 x 1024 and windowed
// mode and plays; the real game comes up in a 1280 x 1024 window of its own
// (no full-screen window) in the game folder.
TEST_F(VellconfRunTest, TheGameComesUpWithTheChosenSettings) {
    ASSERT_EQ(shell("rm -rf '" + dir_ + "' && cp -r '" VELL_GAME_DIR "' '" + dir_ + "' && rm -f '" + dir_ +
                    "'/savegame/*"),
              0);
    writeFile(dir_ + "/data/config.dat", "window off\nresolution 1024x768\n");
    start(dir_);
    ASSERT_TRUE(keys("e v r w b b p")) << errors();
    EXPECT_EQ(finish(), 0) << errors();
    const std::string written = readFile(dir_ + "/data/config.dat");
    EXPECT_NE(written.find("\nwindow on\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nresolution 1280x1024\n"), std::string::npos) << written;

    // The game's window: found by its caption, viewable and of the chosen
    // size; and no full-screen window (which SDL maps as an override-redirect
    // window over the whole screen).
    XWindowAttributes attr{};
    auto gameWindowUp = [&] {
        const Window w = findWindow("^Vellicorn$");
        return w && XGetWindowAttributes(dpy_, w, &attr) && attr.map_state == IsViewable;
    };
    ASSERT_TRUE(waitFor(gameWindowUp)) << "the game's window did not come up";
    EXPECT_EQ(attr.width, 1280);
    EXPECT_EQ(attr.height, 1024);
    EXPECT_EQ(fullScreenWindows(), 0);

    // It is the game of this folder, running there.
    bool ours = false;
    for (pid_t child : ownChildren()) {
        char buf[4096] = "";
        const ssize_t n = ::readlink(("/proc/" + std::to_string(child) + "/exe").c_str(), buf, sizeof buf - 1);
        if (n > 0 && std::string(buf, size_t(n)) == realPath(dir_) + "/vellrun") {
            const ssize_t m = ::readlink(("/proc/" + std::to_string(child) + "/cwd").c_str(), buf, sizeof buf - 1);
            ours = m > 0 && std::string(buf, size_t(m)) == realPath(dir_);
        }
    }
    EXPECT_TRUE(ours) << "no game running in " << dir_;
}

}  // namespace
