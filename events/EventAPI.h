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
// module. False (after a line on the error stream) when Python cannot start.
bool startScripting(const char* programName);

// Finalizes the interpreter; true when Python finalized cleanly.
bool stopScripting();
