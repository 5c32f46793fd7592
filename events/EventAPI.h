// The script module "eventAPI" through which map scripts call back into the
// game.
#pragma once

typedef struct _object PyObject;

// Creates the module "eventAPI" and registers it in sys.modules, so that
// scripts can import it. Call once, after the interpreter started. Returns
// the module (a borrowed reference; sys.modules keeps it), or null after
// printing the Python error.
PyObject* initEventAPI();

// Starts the interpreter for the map scripts: the program name from the
// command line, no bytecode files written, Python's own signal handlers left
// out (SDL keeps its own); then "./data/scripts" first on the module path, a
// module-level random generator `rand` for the scripts, and the eventAPI
// module; and the watch that lets the quit event stop a running script
// (events/ScriptWatch.h). False (after a line on the error stream) when
// Python cannot start.
bool startScripting(const char* programName);

// Lets every scripted event release what it holds of Python, then
// finalizes the interpreter; true when Python finalized cleanly (or was not
// running).
bool stopScripting();

// True when the interpreter runs and this is the thread that started it:
// Python is entered from the game's own thread only, never from an SDL
// timer or decoder thread.
bool scriptingOnThisThread();

// The scripts' random generator: `rand` of the module "gamerandom" (the
// same object as `rand` of the main module). Tests seed it.
void seedScriptRandom(unsigned long seed);

// Reports the Python error that is set (with its traceback) on the error
// stream as the failure of the named script, and clears it. A SystemExit
// raised by a script is reported like any other error: it never ends the
// game.
void reportScriptError(const char* script);
// The same for a script that the end of the game stopped (the quit event
// came while it ran): its traceback, under a line that says so.
void reportStoppedScript(const char* script);
