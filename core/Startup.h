// Start-up of the game program: the program name and base folder, the
// settings from "data/config.dat" and the command line, and SDL with its
// OpenGL video mode and the mixer.
//
// Command line options, applied in order after "data/config.dat" was read:
//   -d LEVEL      debug level (debugging is not compiled in; a warning says so)
//   -df FILE      debug file, opened for appending
//   -s            sound off
//   -g LEVEL      graphics level, taken as it is
//   -w            windowed
//   -16           16-bit colour depth
//   -skipintro    no introduction movie
//   -c FILE       reads a further configuration file at this point
#pragma once
#include "core/GameConfig.h"

#include <cstdio>

struct SDL_Surface;

// What the command line sets beside the settings record.
struct StartOptions_S {
    bool skipIntro = false;
};

extern StartOptions_S startOptions;

// Records the program name and the base folder: "." when the current folder
// holds "data", else the program's own folder when that holds "data" (the
// process then changes into it, as every data path is relative). True.
bool findDataFiles(const char* programName);
// The base folder recorded by findDataFiles.
const char* getBaseDir();
const char* getProgramName();

// Applies the options of argv[1..argc-1] to `config` and `options`. Returns
// 0, or -1 after printing the error on `err` (the process's exit code).
int applyCommandLine(int argc, char** argv, GameConfig_S& config, StartOptions_S& options, FILE* err);

// findDataFiles("vellrun"), "data/config.dat" into gameConfig, then the
// options into gameConfig and startOptions. Ends the process with exit code
// -1 on a bad option.
void parseCommandLine(int argc, char** argv);

// SDL with timer and video (audio when sound is on; a failing audio
// subsystem means no sound this run), an 8-bit stencil, the OpenGL video mode, the
// hidden cursor and the caption. Returns 0 with *screen set, 1 when SDL
// cannot start (after printing SDL's reason on the error stream), -1 when the video mode cannot be opened (after printing
// "ERROR! Could not open OpenGL graphics device!" and quitting SDL).
int startVideo(GameConfig_S& config, SDL_Surface** screen);

// Opens the mixer at 22050 Hz, 16-bit, stereo, 4096-sample chunks. True when
// it is open in exactly that format; otherwise it is left closed.
bool openMixer();

// openMixer when sound is on; any failure or another device format means
// silence for this run (a line on the error stream says why). The settings
// stay the player's.
void startMixer(const GameConfig_S& config);
// Sound for this run: the sound setting is on and the mixer is open.
bool soundActive();
// Closes the mixer when startMixer opened it.
void stopMixer();

// The window caption, "Vellicorn".
void setCaption();

// Master data: true when the file exists and holds at least `minBytes`;
// otherwise prints "ERROR: ..." naming the file on the error stream.
bool checkDataFile(const char* path, long minBytes);
