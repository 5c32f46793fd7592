// The slide sequences: full-screen presentations that play out on their own
// or end when the player presses ESC or SPACE.
//   mode 0, the introduction: text pictures and illustrations fade in and out
//           over the four quarters of the screen, then the title picture,
//           then the credits pictures; with music;
//   mode 1, the splash: one picture fades in, stays and fades out;
//   mode 2, the scrolling credits: the lines of "data/credits.dat" rise up
//           the screen in their colours; with music.
//
// The sequence runs its own loop on the game thread. A 50 ms SDL timer only
// works out the frame or hold counter from SDL's clock and pushes a step
// event (code kSlideStepCode); each step loads what its state needs, draws
// one frame and moves the state on, so fades and holds keep to the clock
// however long a step takes. Step events left in the queue when the
// sequence ends are dropped. A quit event (window closed, SIGTERM) ends the
// sequence and the game (vell::requestQuit); once the game is quitting a
// sequence does not start.
//
// Pictures are JPEG ".dat" files: 512 x 384 for a quarter, 1024 x 768 for
// the whole screen. A picture of another size is scaled to fit; one that is
// missing or does not decode is reported and leaves its place black.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <functional>

class AudioPort_C;

// SDL_USEREVENT code of a slide step.
constexpr int kSlideStepCode = 0x7602;

enum SlideMode { SLIDES_INTRO = 0, SLIDES_SPLASH = 1, SLIDES_CREDITS = 2 };

// Plays the sequence of that mode in the window of `screen` (null: the
// current video surface). 0 when mode 0 or 1 played out; -1 when the player
// ended it, when mode 2 played out, or for a mode that does not exist.
int playSlideSequence(SDL_Surface* screen, int mode);

// The key handler: ESC or SPACE ends the sequence (-1); other keys do nothing.
void slideSequenceKey(int key);
// One step of the state machine.
void slideSequenceStep(SDL_Surface* screen);
// The SDL timer callback (timer thread): counters and a step event only.
Uint32 slideTimerCallback(Uint32 interval, void* param);

// The introduction's quarters: upper left, upper right, lower left, lower right.
enum SlideQuarter { SLIDE_UL = 0, SLIDE_UR = 1, SLIDE_LL = 2, SLIDE_LR = 3 };

// A picture of the introduction ("pics/intro/<picture>.dat") and the quarter
// whose texture it goes into.
struct SlidePicture_S {
    const char* picture = nullptr; // null: none
    int quarter = SLIDE_UL;
};

// One state of the introduction: the pictures loaded as it begins and the
// quarters its fade draws with their picture (bit 1 << quarter; the others
// black).
struct IntroSlide_S {
    SlidePicture_S load[2];
    unsigned mask = 0;
};

// The introduction's states 2 to 27; null for another state. States 12 and
// 14 draw the whole screen black and state 13 the title picture; their
// entries are not used for drawing.
const IntroSlide_S* introSlide(int32_t state);

// The port the sequences play their music through; null: the game's
// (gameAudioPort). With the sound setting off, or no sound device open for
// the port, no music is loaded.
void setSlideAudioPort(AudioPort_C* port);

// What a running sequence shows, for tests.
int32_t slideSequenceState();
int32_t slideCreditCount();
// Called after every frame the sequence draws, before its buffer swap; tests
// read pixels there. Null clears it.
void setSlideFrameHook(std::function<void()> hook);
