#include "screens/SlideSequence.h"

#include "audio/AudioPort.h"
#include "audio/MasterAudio.h"
#include "core/GameConfig.h"
#include "platform/EventWait.h"
#include "core/CommonInterface.h"
#include "core/ImageLoad.h"
#include "core/ModalLoop.h"
#include "core/ScreenProjection.h"
#include "core/Startup.h"
#include "platform/Files.h"
#include "platform/Timers.h"

#include <GL/gl.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTickPeriod = 50;     // ms; one hold tick
constexpr int kFrameRate = 20;      // frames a second, and frames in one fade
constexpr int kHoldTicks = 80;      // 4 s
constexpr int kCreditLineHeight = 20;
constexpr int kScrollSpeed = 2;     // pixels a frame
constexpr int kBandHeight = 32;
constexpr int kMaxCreditLines = 1000;
constexpr size_t kMaxCreditText = 78;

constexpr int kQuarterW = 512, kQuarterH = 384, kQuarterTex = 512;
constexpr int kFullW = 1024, kFullH = 768, kFullTex = 1024;

constexpr int UL = SLIDE_UL, UR = SLIDE_UR, LL = SLIDE_LL, LR = SLIDE_LR;

struct CreditLine_S {
    char text[kMaxCreditText + 2] = {};
    int32_t width = 0;
    float red = 1, green = 1, blue = 1;
};

// The sequence's variables: one set for the program, one sequence at a time.
// The timer thread reads the state and the start time and writes a counter.
std::atomic<int32_t> slideState{0};
std::atomic<int32_t> frameCount{0};
std::atomic<int32_t> holdCount{0};
std::atomic<uint32_t> fadeStart{0};
int32_t resumeState = 0;
bool holdActive = false;
float fadeAlpha = 0;
int slideTimer = 0;   // platform/Timers.h
AudioPort_C* musicPort = nullptr; // null: the game's
AudioMusic_S* slideMusic = nullptr;
std::vector<CreditLine_S> creditLines;
int32_t creditCount = 0;
std::unique_ptr<CommonInterface_C> creditText;

GLuint quarterTex[4] = {};
GLuint fullTex = 0;
std::vector<uint8_t> quarterBuffer; // 512 x 384 x 3
std::vector<uint8_t> fullBuffer;    // 1024 x 768 x 3

std::function<void()> frameHook;

bool isFadeState(int32_t s) { return (s >= 1 && s <= 98) || (s >= 101 && s <= 198) || (s >= 201 && s <= 298); }

void pushStep()
{
    SDL_Event ev{};
    ev.type = SDL_USEREVENT;
    ev.user.type = SDL_USEREVENT;
    ev.user.code = kSlideStepCode;
    SDL_PushEvent(&ev);
    vell::wakeEventWait();
}

// The counters as the clock gives them (rounded half up).
void updateCounters()
{
    const uint32_t elapsed = SDL_GetTicks() - fadeStart.load();
    if (isFadeState(slideState.load()))
        frameCount.store(static_cast<int32_t>((elapsed + (1000 / kFrameRate) / 2) / (1000 / kFrameRate)));
    else
        holdCount.store(kHoldTicks - static_cast<int32_t>((elapsed + kTickPeriod / 2) / kTickPeriod));
}

void startFade(int32_t state)
{
    slideState.store(state);
    frameCount.store(0);
    holdActive = false;
    fadeStart.store(SDL_GetTicks());
}

// --- pictures -------------------------------------------------------------------

GLuint makeTexture(int size, const std::vector<uint8_t>& zeros)
{
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, zeros.data());
    return t;
}

// Decodes the picture into `buffer` (w x h RGB, top row first). A picture
// of another size is scaled to fit; one that cannot be read leaves black.
void decodeInto(const char* path, int w, int h, std::vector<uint8_t>& buffer)
{
    buffer.assign(size_t(w) * size_t(h) * 3, 0);
    RGBImage_S img;
    std::string error;
    if (!decodeJPEGFile(vell::resolvePath(path).c_str(), img, error) || img.width < 1 || img.height < 1) {
        std::fprintf(stderr, "ERROR: Could not load slide picture %s: %s\n", path, error.c_str());
        return;
    }
    if (img.width != w || img.height != h)
        std::fprintf(stderr, "Slide picture %s is %dx%d, not %dx%d: scaled to fit\n", path, img.width, img.height,
                     w, h);
    for (int y = 0; y < h; ++y) {
        const int sy = int(int64_t(y) * img.height / h);
        for (int x = 0; x < w; ++x) {
            const int sx = int(int64_t(x) * img.width / w);
            const uint8_t* src = &img.rgb[(size_t(sy) * size_t(img.width) + size_t(sx)) * 3];
            std::memcpy(&buffer[(size_t(y) * size_t(w) + size_t(x)) * 3], src, 3);
        }
    }
}

void loadQuarter(const char* path, int quarter)
{
    decodeInto(path, kQuarterW, kQuarterH, quarterBuffer);
    glBindTexture(GL_TEXTURE_2D, quarterTex[quarter]);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kQuarterW, kQuarterH, GL_RGB, GL_UNSIGNED_BYTE, quarterBuffer.data());
}

void loadFull(const char* path)
{
    decodeInto(path, kFullW, kFullH, fullBuffer);
    glBindTexture(GL_TEXTURE_2D, fullTex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kFullW, kFullH, GL_RGB, GL_UNSIGNED_BYTE, fullBuffer.data());
}

// --- music ----------------------------------------------------------------------

AudioPort_C& port() { return musicPort ? *musicPort : gameAudioPort(); }

bool soundOn() { return gameConfig.sound && port().isOpen(); }

void stopMusic()
{
    if (!soundOn())
        return;
    port().haltMusic();
    if (slideMusic)
        port().freeMusic(slideMusic);
    slideMusic = nullptr;
}

void startMusic(const char* path, bool loop)
{
    if (slideMusic)
        stopMusic();
    if (!soundOn())
        return;
    port().setMusicVolume(128);
    slideMusic = port().loadMusic(path);
    if (!slideMusic) {
        std::fprintf(stderr, "ERROR! Couldn't load music (%s)!\n", path);
        return;
    }
    port().playMusic(slideMusic, loop);
}

// --- drawing --------------------------------------------------------------------

void designSpace(int w, int h)
{
    setScreenProjection(w, h);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// A quad over x0..x1, y0..y1 of the design space, black or with a texture
// whose first `rows` of 0..1 hold the picture, at the opacity alpha.
void quad(float x0, float y0, float x1, float y1, GLuint tex, float rows, float alpha)
{
    if (tex) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, tex);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glColor4f(0, 0, 0, alpha);
    glBegin(GL_QUADS);
    glTexCoord2f(0, rows);
    glVertex2f(x0, y0);
    glTexCoord2f(1, rows);
    glVertex2f(x1, y0);
    glTexCoord2f(1, 0);
    glVertex2f(x1, y1);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void fullQuad(GLuint tex, float alpha) { quad(0, 0, kFullW, kFullH, tex, 0.75f, alpha); }

void swapFrame()
{
    if (frameHook)
        frameHook();
    SDL_GL_SwapBuffers();
}

// Each quarter drawn with its picture when its bit is in `mask`, else black.
void drawQuarters(unsigned mask, int w, int h)
{
    designSpace(w, h);
    static const float corner[4][2] = {{0, 384}, {512, 384}, {0, 0}, {512, 0}};
    for (int q = 0; q < 4; ++q)
        quad(corner[q][0], corner[q][1], corner[q][0] + 512, corner[q][1] + 384, (mask >> q) & 1 ? quarterTex[q] : 0,
             0.75f, fadeAlpha);
    swapFrame();
}

// --- the introduction ---------------------------------------------------------------

constexpr unsigned Q(int q) { return 1u << q; }

constexpr SlidePicture_S P(const char* picture, int quarter) { return SlidePicture_S{picture, quarter}; }

// States 2 to 27 (index state - 2).
const IntroSlide_S kIntro[26] = {
    {{}, Q(UL)},                                                  // 2 text1 (loaded in 1)
    {{P("text2", LL)}, Q(LL)},                                    // 3
    {{P("text3", UR), P("pic1", LR)}, Q(UR) | Q(LR)},             // 4
    {{P("text4", UL), P("pic2", LL)}, Q(UL) | Q(LL)},             // 5
    {{P("text5", UL), P("pic3", UR)}, Q(UL) | Q(UR)},             // 6
    {{P("text6", LL), P("pic4", LR)}, Q(LL) | Q(LR)},             // 7
    {{P("text7", UL), P("pic5", LR)}, Q(UL) | Q(LR)},             // 8
    {{P("text8", UR), P("pic6", LL)}, Q(UR) | Q(LL)},             // 9
    {{P("text9", UL), P("pic7", UR)}, Q(UL) | Q(UR)},             // 10
    {{P("text10", LR), P("pic8", LL)}, Q(UL) | Q(UR) | Q(LL) | Q(LR)}, // 11
    {{}, 0},                                                      // 12 black
    {{}, 0},                                                      // 13 title
    {{}, 0},                                                      // 14 black
    {{}, Q(UL)},                                                  // 15 credit1 (loaded in 14)
    {{P("credit2", LL)}, Q(UL) | Q(LL)},                          // 16
    {{P("credit3", UR)}, Q(UL) | Q(UR) | Q(LL)},                  // 17
    {{P("credit4", LR)}, Q(UR) | Q(LL) | Q(LR)},                  // 18
    {{P("credit5", UL)}, Q(UL) | Q(UR) | Q(LR)},                  // 19
    {{P("credit6", LL)}, Q(UL) | Q(LL) | Q(LR)},                  // 20
    {{P("credit7", UR)}, Q(UL) | Q(UR) | Q(LL)},                  // 21
    {{P("credit8", LR)}, Q(UR) | Q(LL) | Q(LR)},                  // 22
    {{P("credit9", UL)}, Q(UL) | Q(UR) | Q(LR)},                  // 23
    {{P("credit10", LL)}, Q(UL) | Q(LL) | Q(LR)},                 // 24
    {{}, Q(UL) | Q(LL)},                                          // 25
    {{}, Q(LL)},                                                  // 26
    {{}, 0},                                                      // 27 all black
};

void loadIntroPictures(int32_t state)
{
    const IntroSlide_S* slide = introSlide(state);
    if (!slide)
        return;
    for (const SlidePicture_S& p : slide->load)
        if (p.picture)
            loadQuarter(("pics/intro/" + std::string(p.picture) + ".dat").c_str(), p.quarter);
}

void introFade(int32_t state, int w, int h)
{
    if (state == 12 || state == 14) {
        designSpace(w, h);
        fullQuad(0, fadeAlpha);
        swapFrame();
    } else if (state == 13) {
        designSpace(w, h);
        fullQuad(fullTex, fadeAlpha);
        swapFrame();
    } else {
        drawQuarters(kIntro[state - 2].mask, w, h);
    }
}

// --- the scrolling credits ------------------------------------------------------------

void freeCredits()
{
    creditLines.clear();
    creditLines.shrink_to_fit();
    creditText.reset();
}

// Reads "data/credits.dat": colour lines "#<r,g,b>" and text lines of at most
// 78 characters (a longer line keeps its first 78).
bool readCredits()
{
    FILE* f = vell::openFile("data/credits.dat", "r");
    if (!f)
        return false;
    float colour[3] = {1, 1, 1};
    std::string line;
    int c = 0;
    while (creditCount < kMaxCreditLines && c != EOF) {
        line.clear();
        while ((c = std::fgetc(f)) != EOF && c != '\n')
            line.push_back(static_cast<char>(c));
        if (c == EOF && line.empty())
            break;
        vell::stripLineEnd(line);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#') {
            float rgb[3] = {colour[0], colour[1], colour[2]};
            const int n = std::sscanf(line.c_str() + 1, "<%f,%f,%f>", &rgb[0], &rgb[1], &rgb[2]);
            for (int i = 0; i < n && i < 3; ++i)
                colour[i] = rgb[i] < 0 ? 0 : rgb[i] > 1 ? 1 : rgb[i];
            continue;
        }
        if (line.size() > kMaxCreditText)
            line.resize(kMaxCreditText);
        CreditLine_S& out = creditLines[size_t(creditCount)];
        std::memcpy(out.text, line.c_str(), line.size() + 1);
        out.width = creditText->widthStr(out.text);
        out.red = colour[0];
        out.green = colour[1];
        out.blue = colour[2];
        ++creditCount;
    }
    std::fclose(f);
    return true;
}

void creditsStart(int w, int h)
{
    startMusic("pics/intro/credits.mp3", true);
    creditLines.assign(kMaxCreditLines, CreditLine_S{});
    creditText = std::make_unique<CommonInterface_C>(w, h);
    creditCount = 0;
    if (!readCredits()) {
        std::fputs("ERROR: Could not open credits file!\n", stderr);
        slideState.store(203);
        pushStep();
        return;
    }
    startFade(202);
    pushStep();
}

void creditsFrame(int w, int h)
{
    const int32_t frames = frameCount.load();
    const int t = (kScrollSpeed * frames) / kCreditLineHeight - h / kCreditLineHeight;
    const int s = (kScrollSpeed * frames) % kCreditLineHeight;
    if (t >= creditCount) {
        slideState.store(203);
        pushStep();
        return;
    }
    designSpace(w, h);
    fullQuad(0, 1);
    for (int k = 0;; ++k) {
        const int y = h - kCreditLineHeight * k + s;
        if (y < 0)
            break;
        const int i = t + k;
        if (i < 0 || i >= creditCount)
            continue;
        const CreditLine_S& line = creditLines[size_t(i)];
        glColor3f(line.red, line.green, line.blue);
        creditText->printStr((w - line.width) / 2, y, line.text);
    }
    designSpace(w, h);
    quad(0, 0, kFullW, kBandHeight, 0, 0, 1);
    quad(0, kFullH - kBandHeight, kFullW, kFullH, 0, 0, 1);
    swapFrame();
}

// --- the steps ----------------------------------------------------------------------------

void fadeStep(int32_t state, int w, int h)
{
    fadeAlpha = float(frameCount.load()) / float(kFrameRate);
    if (frameCount.load() >= kFrameRate) {
        fadeAlpha = 1;
        if (state == 103) {
            slideState.store(104);
        } else {
            resumeState = state;
            slideState.store(state < 100 ? 99 : 199);
            holdCount.store(kHoldTicks);
            holdActive = true;
            fadeStart.store(SDL_GetTicks());
        }
    }
    if (state < 100) {
        introFade(state, w, h);
    } else {
        designSpace(w, h);
        fullQuad(0, 1);
        fullQuad(fullTex, state == 103 ? 1 - fadeAlpha : fadeAlpha);
        swapFrame();
    }
}

void holdStep()
{
    const bool intro = slideState.load() == 99;
    if (intro && resumeState == 12) {
        loadFull("pics/intro/titlescreen.dat");
        startFade(13);
        return;
    }
    if (intro && resumeState == 14) {
        loadQuarter("pics/intro/credit1.dat", UL);
        startFade(15);
        startMusic("pics/intro/intro2.mp3", false);
        return;
    }
    if (intro && resumeState == 27) {
        startFade(28);
        return;
    }
    holdCount.store(holdCount.load() - 1);
    if (holdCount.load() <= 0 && holdActive) {
        const int32_t next = resumeState + 1;
        fadeAlpha = 0;
        startFade(next);
        if (intro)
            loadIntroPictures(next);
    }
}

void runState(int32_t state, int w, int h)
{
    switch (state) {
    case 1:
        startMusic("pics/intro/credits.mp3", false);
        loadQuarter("pics/intro/text1.dat", UL);
        startFade(2);
        pushStep();
        return;
    case 28:
    case 104:
        slideState.store(0);
        return;
    case 101:
        loadFull("pics/intro/splash1.dat");
        startFade(102);
        pushStep();
        return;
    case 201:
        creditsStart(w, h);
        return;
    case 202:
        creditsFrame(w, h);
        return;
    case 203:
        freeCredits();
        if (soundOn())
            port().fadeOutMusic(500);
        slideState.store(-1);
        return;
    case 99:
    case 199:
        holdStep();
        return;
    default:
        if ((state >= 2 && state <= 27) || state == 102 || state == 103)
            fadeStep(state, w, h);
        else
            slideState.store(-1); // a state no table knows: end the sequence
        return;
    }
}

// Takes every step event out of the queue, keeping all other events.
void dropStepEvents()
{
    SDL_Event events[64];
    std::vector<SDL_Event> keep;
    int n = 0;
    while ((n = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_EVENTMASK(SDL_USEREVENT))) > 0)
        for (int i = 0; i < n; ++i)
            if (events[i].user.code != kSlideStepCode)
                keep.push_back(events[i]);
    for (SDL_Event& e : keep)
        SDL_PushEvent(&e);
}

void removeTimer()
{
    if (slideTimer)
        vell::removeTimer(slideTimer);
    slideTimer = 0;
}

} // namespace

Uint32 slideTimerCallback(Uint32 interval, void*)
{
    updateCounters();
    pushStep();
    return interval;
}

void slideSequenceKey(int key)
{
    if (key == SDLK_ESCAPE || key == SDLK_SPACE)
        slideState.store(-1);
}

void slideSequenceStep(SDL_Surface* screen)
{
    removeTimer();
    const Uint32 began = SDL_GetTicks();
    const int w = screen ? screen->w : kFullW;
    const int h = screen ? screen->h : kFullH;
    runState(slideState.load(), w, h);
    if (slideState.load() <= 0)
        return;
    const Uint32 took = SDL_GetTicks() - began;
    if (took < Uint32(kTickPeriod)) {
        slideTimer = vell::addTimer(kTickPeriod - took, slideTimerCallback, nullptr);
        if (slideTimer)
            return;
    }
    updateCounters();
    pushStep();
}

int playSlideSequence(SDL_Surface* screen, int mode)
{
    if (!screen)
        screen = SDL_GetVideoSurface();
    if (vell::quitRequested())
        return -1;
    if (mode < SLIDES_INTRO || mode > SLIDES_CREDITS || !screen) {
        std::fprintf(stderr, "ERROR: No slide sequence of mode %d!\n", mode);
        return -1;
    }
    const int w = screen->w;
    const int h = screen->h;

    const std::vector<uint8_t> zeros(size_t(kFullTex) * kFullTex * 3, 0);
    for (GLuint& t : quarterTex)
        t = makeTexture(kQuarterTex, zeros);
    fullTex = makeTexture(kFullTex, zeros);
    quarterBuffer.assign(size_t(kQuarterW) * kQuarterH * 3, 0);
    fullBuffer.assign(size_t(kFullW) * kFullH * 3, 0);

    // Both buffers start black.
    for (int i = 0; i < 2; ++i) {
        designSpace(w, h);
        fullQuad(0, 1);
        SDL_GL_SwapBuffers();
    }

    dropStepEvents();
    pushStep();
    slideState.store(mode == SLIDES_INTRO ? 1 : mode == SLIDES_SPLASH ? 101 : 201);
    slideMusic = nullptr;
    holdActive = false;
    fadeAlpha = 0;
    holdCount.store(0);
    frameCount.store(0);
    creditCount = 0;
    fadeStart.store(SDL_GetTicks());
    slideTimer = vell::addTimer(kTickPeriod, slideTimerCallback, nullptr);

    SDL_Event ev;
    while (slideState.load() > 0) {
        if (!SDL_PollEvent(&ev)) {
            SDL_Delay(2);
            continue;
        }
        if (ev.type == SDL_KEYDOWN)
            slideSequenceKey(ev.key.keysym.sym);
        else if (ev.type == SDL_USEREVENT && ev.user.code == kSlideStepCode)
            slideSequenceStep(screen);
        else if (ev.type == SDL_QUIT) {
            vell::requestQuit();
            slideState.store(-1);
        }
    }

    removeTimer();
    stopMusic();
    freeCredits();
    glDeleteTextures(4, quarterTex);
    glDeleteTextures(1, &fullTex);
    std::memset(quarterTex, 0, sizeof quarterTex);
    fullTex = 0;
    quarterBuffer = std::vector<uint8_t>();
    fullBuffer = std::vector<uint8_t>();
    dropStepEvents();
    return slideState.load();
}

const IntroSlide_S* introSlide(int32_t state) { return state >= 2 && state <= 27 ? &kIntro[state - 2] : nullptr; }

void setSlideAudioPort(AudioPort_C* port) { musicPort = port; }

int32_t slideSequenceState() { return slideState.load(); }

int32_t slideCreditCount() { return creditCount; }

void setSlideFrameHook(std::function<void()> hook) { frameHook = std::move(hook); }
