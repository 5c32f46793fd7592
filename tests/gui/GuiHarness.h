// Harness for screen tests under X (Xvfb with Mesa's software OpenGL).
//
//   class MyScreenTest : public vell_test::GuiFixture {};
//   TEST_F(MyScreenTest, Something) {
//       pushKey(SDLK_DOWN);            // queued before the loop runs
//       scriptKeys({SDLK_RETURN});     // or: one key after each redraw
//       ... run the screen (its ModalLoop_C) ...
//       EXPECT_GT(countNear(730, 600, 250, 20, {0, 0, 0}, 10), 0);
//   }
//
// - One SDL window (1024 x 768, OpenGL, double buffer, 8-bit stencil) is
//   opened for the whole test program on first use and kept; without an X
//   display the fixture fails the test with a clear message.
// - Every test runs under a watchdog (default 20 s, setWatchdog to change):
//   when it fires, the test is marked failed and ESC keys are pushed for two
//   seconds so that a stuck modal loop can end; if the test still does not
//   return, the program stops with exit code 124 instead of hanging.
// - Pixels are read with glReadPixels, GL_PACK_ALIGNMENT 1, RGB, in GL window
//   coordinates (origin bottom left), by default from the back buffer:
//   call them from afterDisplay() (runs after every display of a modal loop,
//   before its swap) or right after drawing yourself.
//
// Everything here is inline so that any test folder can include it.
#pragma once
#include "core/BitmapFont.h"
#include "core/ModalLoop.h"

#include <gtest/gtest.h>
#include <SDL.h>
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vell_test {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

inline bool near(const Rgb& a, const Rgb& b, int tol)
{
    return std::abs(a.r - b.r) <= tol && std::abs(a.g - b.g) <= tol && std::abs(a.b - b.b) <= tol;
}

// Fails the running test, then pushes ESC keys, then ends the program, when a
// test runs longer than its limit.
class Watchdog {
public:
    Watchdog() = default;
    ~Watchdog() { disarm(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void arm(double seconds, std::string what)
    {
        disarm();
        std::lock_guard<std::mutex> lock(m_);
        armed_ = true;
        fired_ = false;
        what_ = std::move(what);
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
        thread_ = std::thread([this] { watch(); });
    }

    void disarm()
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            armed_ = false;
        }
        cv_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    bool fired() const { return fired_; }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_);
        if (cv_.wait_until(lock, deadline_, [this] { return !armed_; }))
            return;
        fired_ = true;
        std::fprintf(stderr, "WATCHDOG: %s is still running; failing it\n", what_.c_str());
        ADD_FAILURE() << "watchdog: " << what_ << " did not finish in time";
        // Give the loop a way out: ESC leaves every modal screen.
        for (int i = 0; i < 20; ++i) {
            lock.unlock();
            vell::pushKeyEvent(SDLK_ESCAPE, true);
            vell::pushRedraw();
            lock.lock();
            if (cv_.wait_for(lock, std::chrono::milliseconds(100), [this] { return !armed_; }))
                return;
        }
        std::fprintf(stderr, "WATCHDOG: %s hangs; stopping the test program\n", what_.c_str());
        std::fflush(stderr);
        std::fflush(stdout);
        std::_Exit(124);
    }

    std::mutex m_;
    std::condition_variable cv_;
    std::thread thread_;
    bool armed_ = false;
    std::atomic<bool> fired_{false};
    std::string what_;
    std::chrono::steady_clock::time_point deadline_;
};

// Writes a font whose every glyph (codes 16, 17 and 32..126; the blank has
// no pixels) is a solid block `width` pixels wide and 17 rows high, so that
// each character advances width + 2 pixels and shows as a block of the text
// colour. For exact wrap widths and easy pixel checks.
inline bool writeBlockFont(const std::string& path, int width = 8)
{
    std::vector<Glyph_S> glyphs;
    auto add = [&](int code) {
        Glyph_S g;
        g.width = uint8_t(width);
        g.code = uint8_t(code);
        if (code != ' ') {
            const unsigned bits = width >= 16 ? 0xFFFFu : (0xFFFFu << (16 - width)) & 0xFFFFu;
            for (int row = 0; row < Glyph_S::kRows; ++row) {
                g.solid[row * Glyph_S::kRowBytes] = uint8_t(bits >> 8);
                g.solid[row * Glyph_S::kRowBytes + 1] = uint8_t(bits & 0xFF);
            }
        }
        glyphs.push_back(g);
    };
    add(16);
    add(17);
    for (int c = 32; c < 127; ++c)
        add(c);
    return BitmapFont_C::save(path.c_str(), glyphs);
}

// A file path in the test program's own temporary folder, which is removed
// when the program ends.
inline std::string tempPath(const std::string& name)
{
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/vell-test-XXXXXX";
        if (const char* d = mkdtemp(tmpl)) {
            dir = d;
            std::atexit([] {
                std::error_code ec;
                std::filesystem::remove_all(dir, ec);
            });
        } else {
            dir = "/tmp";
        }
    }
    return dir + "/" + name;
}

// A game folder of a test's own under the program's temporary folder: the
// view fixture's maps, the assembled game folder's pictures and data, and
// an empty save folder. Made on first use; the same path every time.
inline std::string questFolder(const std::string& name)
{
    const std::string dir = tempPath(name);
    if (::access((dir + "/savegame").c_str(), F_OK) != 0) {
        ::mkdir(dir.c_str(), 0755);
#ifdef VELL_TEST_FIXTURES
        ::symlink((std::string(VELL_TEST_FIXTURES) + "/view/maps").c_str(), (dir + "/maps").c_str());
#endif
#ifdef VELL_GAME_DIR
        ::symlink((std::string(VELL_GAME_DIR) + "/pics").c_str(), (dir + "/pics").c_str());
        ::symlink((std::string(VELL_GAME_DIR) + "/data").c_str(), (dir + "/data").c_str());
#endif
        ::mkdir((dir + "/savegame").c_str(), 0755);
    }
    return dir;
}

#ifdef VELL_GAME_DIR
// The same over the assembled game folder's own maps, pictures and data.
inline std::string shippedQuestFolder(const std::string& name)
{
    const std::string dir = tempPath(name);
    if (::access((dir + "/savegame").c_str(), F_OK) != 0) {
        ::mkdir(dir.c_str(), 0755);
        for (const char* sub : {"maps", "pics", "data"})
            ::symlink((std::string(VELL_GAME_DIR) + "/" + sub).c_str(), (dir + "/" + sub).c_str());
        ::mkdir((dir + "/savegame").c_str(), 0755);
    }
    return dir;
}
#endif

class GuiFixture : public ::testing::Test {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    // Starts SDL's video. An X server busy with other programs' windows may
    // refuse a connection for a moment: the display is tried again for a few
    // seconds before the harness gives up on it.
    static bool initVideo()
    {
        for (int attempt = 0;; ++attempt) {
            if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0)
                return true;
            if (attempt >= 40)
                return false;
            SDL_Quit();
            SDL_Delay(200);
        }
    }

    // Opens the window once per program; false (with the reason) on failure.
    static bool openWindow(std::string* why = nullptr)
    {
        static bool tried = false;
        static bool ok = false;
        static std::string reason;
        if (!tried) {
            tried = true;
            if (!std::getenv("DISPLAY"))
                reason = "no DISPLAY set: screen tests need an X server (Xvfb)";
            else if (!initVideo())
                reason = std::string("SDL_Init failed: ") + SDL_GetError();
            else {
                SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
                SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
                if (!SDL_SetVideoMode(kWidth, kHeight, 0, SDL_OPENGL))
                    reason = std::string("SDL_SetVideoMode failed: ") + SDL_GetError();
                else {
                    SDL_EnableUNICODE(1);
                    SDL_WM_SetCaption("vellrun tests", nullptr);
                    // Other test programs open their windows on the same
                    // display: the exposures and pointer crossings their
                    // windows cause here would draw the screen under test an
                    // extra time. The X server's own are ignored; the events
                    // a test pushes itself still come.
                    SDL_EventState(SDL_VIDEOEXPOSE, SDL_IGNORE);
                    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
                    SDL_EventState(SDL_ACTIVEEVENT, SDL_IGNORE);
                    ok = true;
                }
            }
        }
        if (why)
            *why = reason;
        return ok;
    }

    // Gives the window another size (the GL context may be made anew: what
    // a test loaded before must be loaded again). False when SDL refuses.
    static bool setWindowSize(int width, int height)
    {
        return SDL_SetVideoMode(width, height, 0, SDL_OPENGL) != nullptr;
    }

    // --- events ------------------------------------------------------------
    static void pushKey(SDLKey sym, SDLMod mod = KMOD_NONE, Uint16 unicode = 0)
    {
        SDL_Event ev{};
        ev.type = SDL_KEYDOWN;
        ev.key.type = SDL_KEYDOWN;
        ev.key.state = SDL_PRESSED;
        ev.key.keysym.sym = sym;
        ev.key.keysym.mod = mod;
        ev.key.keysym.unicode = unicode ? unicode : (sym < 128 ? Uint16(sym) : 0);
        SDL_PushEvent(&ev);
    }
    static void pushKeyUp(SDLKey sym)
    {
        SDL_Event ev{};
        ev.type = SDL_KEYUP;
        ev.key.type = SDL_KEYUP;
        ev.key.state = SDL_RELEASED;
        ev.key.keysym.sym = sym;
        SDL_PushEvent(&ev);
    }
    // Each character as a key press (letters lower-case as key symbol, the
    // character itself as unicode).
    static void pushText(const char* text)
    {
        for (const char* p = text; *p; ++p) {
            char c = *p;
            SDLKey sym = SDLKey((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
            pushKey(sym, (c >= 'A' && c <= 'Z') ? KMOD_LSHIFT : KMOD_NONE, Uint16(c));
        }
    }
    // Mouse coordinates: y downward from the top of the window.
    static void pushMouseMotion(int x, int y, Uint8 buttonState = 0)
    {
        SDL_Event ev{};
        ev.type = SDL_MOUSEMOTION;
        ev.motion.type = SDL_MOUSEMOTION;
        ev.motion.state = buttonState;
        ev.motion.x = Uint16(x);
        ev.motion.y = Uint16(y);
        SDL_PushEvent(&ev);
    }
    static SDL_Event mouseButtonEvent(int x, int y, Uint8 button, bool down)
    {
        SDL_Event ev{};
        ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        ev.button.type = ev.type;
        ev.button.button = button;
        ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        ev.button.x = Uint16(x);
        ev.button.y = Uint16(y);
        return ev;
    }
    static void pushMouseButton(int x, int y, Uint8 button, bool down)
    {
        SDL_Event ev = mouseButtonEvent(x, y, button, down);
        SDL_PushEvent(&ev);
    }
    static void pushExpose()
    {
        SDL_Event ev{};
        ev.type = SDL_VIDEOEXPOSE;
        SDL_PushEvent(&ev);
    }
    // Drops every queued event.
    static void drainEvents()
    {
        SDL_PumpEvents();
        SDL_Event ev;
        while (SDL_PollEvent(&ev)) {
        }
    }
    // Takes every queued event out and returns them (to check what a widget
    // pushed).
    static std::vector<SDL_Event> takeEvents()
    {
        std::vector<SDL_Event> out;
        SDL_Event ev;
        while (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0)
            out.push_back(ev);
        return out;
    }

    // Keys pushed one at a time, each after a display of a modal loop (so
    // that every state is drawn before the next key arrives). afterDisplay
    // runs first, then the next key is pushed.
    void scriptKeys(std::initializer_list<SDLKey> keys)
    {
        for (SDLKey k : keys)
            script_.push_back(k);
        installHook();
    }
    // Called after every display of a modal loop, before its swap.
    void afterDisplay(std::function<void()> fn)
    {
        after_ = std::move(fn);
        installHook();
    }
    int displayCount() const { return displays_; }

    // --- pixels (GL window coordinates, origin bottom left) -------------------
    static Rgb readPixel(int x, int y, GLenum buffer = GL_BACK)
    {
        unsigned char p[3] = {0, 0, 0};
        glReadBuffer(buffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
        return Rgb{p[0], p[1], p[2]};
    }
    static std::vector<unsigned char> readRect(int x, int y, int w, int h, GLenum buffer = GL_BACK)
    {
        std::vector<unsigned char> px(size_t(w) * size_t(h) * 3);
        glReadBuffer(buffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static int countPixels(int x, int y, int w, int h, const std::function<bool(const Rgb&)>& pred,
                           GLenum buffer = GL_BACK)
    {
        auto px = readRect(x, y, w, h, buffer);
        int n = 0;
        for (size_t i = 0; i + 2 < px.size(); i += 3)
            if (pred(Rgb{px[i], px[i + 1], px[i + 2]}))
                ++n;
        return n;
    }
    // Pixels within tol of the colour in the rectangle.
    static int countNear(int x, int y, int w, int h, Rgb c, int tol = 8, GLenum buffer = GL_BACK)
    {
        return countPixels(x, y, w, h, [&](const Rgb& p) { return near(p, c, tol); }, buffer);
    }
    // Pixels that differ from the colour by more than tol.
    static int countNot(int x, int y, int w, int h, Rgb c, int tol = 8, GLenum buffer = GL_BACK)
    {
        return countPixels(x, y, w, h, [&](const Rgb& p) { return !near(p, c, tol); }, buffer);
    }
    // Writes the whole window as a PPM picture (for looking at a failure).
    static bool savePPM(const std::string& path, GLenum buffer = GL_BACK)
    {
        auto px = readRect(0, 0, kWidth, kHeight, buffer);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
        for (int row = kHeight - 1; row >= 0; --row)
            std::fwrite(px.data() + size_t(row) * kWidth * 3, 1, size_t(kWidth) * 3, f);
        return std::fclose(f) == 0;
    }

    // Clears the back buffer to a colour and sets up the 1024 x 768 space.
    static void clearScreen(float r = 1, float g = 1, float b = 1)
    {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }

    // Path of a file of the assembled game folder (build/game).
    static std::string gamePath(const char* rel)
    {
#ifdef VELL_GAME_DIR
        return std::string(VELL_GAME_DIR) + "/" + rel;
#else
        return rel;
#endif
    }

    void setWatchdog(double seconds)
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        watchdog_.arm(seconds, std::string(info->test_suite_name()) + "." + info->name());
    }

    // Makes the folder the current one for the test; TearDown goes back.
    bool enterFolder(const std::string& dir)
    {
        char cwd[4096];
        if (!::getcwd(cwd, sizeof cwd))
            return false;
        if (oldCwd_.empty())
            oldCwd_ = cwd;
        return ::chdir(dir.c_str()) == 0;
    }

protected:
    void SetUp() override
    {
        std::string why;
        if (!openWindow(&why))
            FAIL() << why;
        drainEvents();
        vell::clearQuitRequest();
        ModalLoop_C::setAfterDisplayHook(nullptr);
        clearScreen();
        setWatchdog(20);
    }

    void TearDown() override
    {
        ModalLoop_C::setAfterDisplayHook(nullptr);
        watchdog_.disarm();
        drainEvents();
        vell::clearQuitRequest();
        if (!oldCwd_.empty() && ::chdir(oldCwd_.c_str()) != 0)
            ADD_FAILURE() << "cannot go back to " << oldCwd_;
        oldCwd_.clear();
    }

private:
    void installHook()
    {
        ModalLoop_C::setAfterDisplayHook([this] {
            ++displays_;
            if (after_)
                after_();
            if (!script_.empty()) {
                pushKey(script_.front());
                script_.pop_front();
            }
        });
    }

    Watchdog watchdog_;
    std::string oldCwd_;
    std::deque<SDLKey> script_;
    std::function<void()> after_;
    int displays_ = 0;
};

} // namespace vell_test
