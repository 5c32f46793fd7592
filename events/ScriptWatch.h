// ScriptWatch_C: keeps the quit event working while a map script runs.
//
// A script holds the game's one thread until its fireEvent returns, so no
// loop of the game looks at the window or at the signals meanwhile: a script
// that never returns would leave the close button, Ctrl-C and SIGTERM
// without effect. While a script runs (an object of this class lives), a
// watcher thread asks the interpreter every kIntervalMs to call back on the
// main thread between two steps of the script (Py_AddPendingCall; the
// watcher takes the interpreter's lock for a moment to do so, which makes
// the main thread look at the call when it takes the lock back). That call
// reads what the display sent; when the window was closed or a signal asked
// the game to end (SDL turns SIGINT and SIGTERM into its quit event), the
// quit is recorded (vell::requestQuit) and the script is stopped with
// KeyboardInterrupt, an exception that `except Exception` does not catch,
// and again at each later call until it ends. The run then ends as for any
// script error, its traceback printed, and the game ends as from any other
// loop, saving nothing.
//
// A script that goes on after that (it swallows even KeyboardInterrupt, or
// waits inside a call that Python does not interrupt, such as a long sleep,
// while the quit event waits in the queue) is given kGraceMs; then the
// watcher says so on the error stream and ends the program at once with
// exit code 1, saving nothing, as a lost display does.
//
//   {
//       ScriptWatch_C watch("warden");            // a script runs from here
//       PyObject* r = PyObject_CallObject(f, a);
//   }                                             // ... to here
#pragma once
#include <string>

class ScriptWatch_C {
public:
    static constexpr int kIntervalMs = 100;
    static constexpr int kGraceMs = 3000;

    // Marks a run of the named script (runs nest: a script's tickGame may
    // start another square's script). Main thread only.
    explicit ScriptWatch_C(const std::string& script);
    ~ScriptWatch_C();
    ScriptWatch_C(const ScriptWatch_C&) = delete;
    ScriptWatch_C& operator=(const ScriptWatch_C&) = delete;

    // The watcher thread: started once the interpreter runs, stopped (and
    // joined) before it is finalized, from the thread that started it. Both
    // may be called again.
    static void start();
    static void stop();
};
