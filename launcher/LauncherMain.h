// launcherMain: the launcher program vellconf from start to end.
//
// It finds the game folder as the game does (the current folder, else the
// folder of the program), reads "data/config.dat", opens its 640 x 480
// window (and the mixer for the title music when sound is on), runs the menu
// and closes audio and window. After Play it starts the game program
// "vellrun" beside it, detached, in the same working folder, and ends.
//
// Exit codes: 0 after Quit, the close button or a started game; -1 when the
// data folder, the font or the title picture is missing, the settings file
// cannot be read or the game cannot be started; 1 when SDL cannot start;
// -23 when the video mode cannot be set. Every failure prints its reason on
// the error stream.
#pragma once

#include "core/GameConfig.h"

int launcherMain();

// Reads the settings file into `config`. A missing file keeps the defaults;
// a file that exists but cannot be read is an error (printed; false), so that
// Play or Quit never write over settings that were not read. Lines that set
// nothing are named in a warning: the writer does not keep them.
bool readLauncherSettings(GameConfig_S& config, const char* path);

// Starts the "vellrun" beside the running program, detached. 0, or -1 after
// printing the reason.
int startGame();
