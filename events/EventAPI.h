// The script module "eventAPI" through which map scripts call back into the
// game.
#pragma once

typedef struct _object PyObject;

// Creates the module "eventAPI" and registers it in sys.modules, so that
// scripts can import it. Call once, after the interpreter started. Returns
// the module (a borrowed reference; sys.modules keeps it), or null after
// printing the Python error.
PyObject* initEventAPI();
