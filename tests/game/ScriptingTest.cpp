// The interpreter as start-up leaves it for the map scripts.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/EventAPI.h"
#include "events/Event_2000.h"

#include <SDL_thread.h>

#include <gtest/gtest.h>

namespace {

// The value of a Python expression in the main module, as text.
std::string eval(const char* expr) {
    PyObject* main = PyImport_AddModule("__main__"); // borrowed
    PyObject* globals = PyModule_GetDict(main);       // borrowed
    PyObject* v = PyRun_String(expr, Py_eval_input, globals, globals);
    if (!v) {
        PyErr_Clear();
        return "<error>";
    }
    PyObject* s = PyObject_Str(v);
    std::string out = s ? PyUnicode_AsUTF8(s) : "<error>";
    Py_XDECREF(s);
    Py_DECREF(v);
    return out;
}

TEST(Scripting, StartUpPreparesTheInterpreterForMapScripts) {
    setenv("VELL_FIX", VELL_TEST_FIXTURES "/scripts", 1);
    ASSERT_TRUE(startScripting("vellrun"));
    EXPECT_EQ(eval("__import__('sys').path[0]"), "./data/scripts");
    EXPECT_EQ(eval("__import__('sys').dont_write_bytecode"), "True");
    EXPECT_EQ(eval("type(rand).__name__"), "Random");
    EXPECT_EQ(PyRun_SimpleString("import eventAPI\n"), 0);
    EXPECT_EQ(eval("__import__('eventAPI').__name__"), "eventAPI");
    EXPECT_EQ(eval("len([n for n in dir(__import__('eventAPI')) if not n.startswith('_')])"), "26");
    EXPECT_EQ(eval("__import__('gamerandom').rand is rand"), "True");

    // The scripts' generator is seedable.
    seedScriptRandom(42);
    const std::string a = eval("[rand.randint(0, 999) for i in range(5)]");
    seedScriptRandom(42);
    EXPECT_EQ(eval("[__import__('gamerandom').rand.randint(0, 999) for i in range(5)]"), a);

    // Python is entered from this thread only.
    bool otherThread = true;
    SDL_Thread* t = SDL_CreateThread(
        [](void* out) {
            *static_cast<bool*>(out) = scriptingOnThisThread();
            return 0;
        },
        &otherThread);
    SDL_WaitThread(t, nullptr);
    EXPECT_FALSE(otherThread);
    EXPECT_TRUE(scriptingOnThisThread());

    // An event that outlives the interpreter lets go of its script first.
    ASSERT_EQ(PyRun_SimpleString("import sys, os\nsys.path.insert(0, os.environ.get('VELL_FIX', '.'))\n"), 0);
    EventParams_S p;
    std::snprintf(p.name, sizeof p.name, "probe");
    auto event = std::make_unique<Event_2000_C>(&p);
    EXPECT_TRUE(event->isReady());
    EXPECT_TRUE(stopScripting());
    EXPECT_FALSE(event->isReady());
    EXPECT_EQ(event->invoke(nullptr), 0);
    Event_2000_C late(&p);   // made after the end: never ready
    EXPECT_FALSE(late.isReady());
    event.reset();
    EXPECT_TRUE(stopScripting()) << "a second stop must be harmless";
}

} // namespace
