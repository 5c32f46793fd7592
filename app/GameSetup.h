// The game's set-up between its window and its title menu, and its
// shutdown: one place that the program and the benchmarks share, so that a
// benchmark measures the game as a player runs it (every event class
// registered, the actions, record types, sound director and master lists
// loaded) and stops when the game would.
//
//   if (!masterDataPresent()) exit;      // before the window opens
//   ...the settings, the window, the mixer...
//   if (!setUpGame(argv[0])) stop;       // scripting, dice, events, data
//   ...iface.init, the title loop...
//   shutDownGame();                       // everything set up, in order
#pragma once

// True when every master data file is there and not too short; otherwise
// one "ERROR: ..." line on the error stream names each one that is not.
bool masterDataPresent();

// Starts scripting (program name for the interpreter), seeds the dice
// (VELL_SEED, else the clock; the scripts' dice too when fixed), registers
// every event class, makes the built-in actions and loads the data-defined
// ones, registers the stored record types, loads the sound director's data
// and the master lists (items, monsters, classes, item recipes), and makes
// the combat AI. Needs the current folder to be the game folder.
// False after an "ERROR: ..." line on the error stream when scripting or a
// master list cannot be started or read; what was made by then is released
// by shutDownGame.
bool setUpGame(const char* programName);

// The ordered shutdown: the interface, the master action list, the sound
// director's, the items' and the monsters' contents, the mixer, SDL,
// scripting, the world; the debug file is closed. Saves nothing.
void shutDownGame();
