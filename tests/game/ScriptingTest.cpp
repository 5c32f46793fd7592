// The interpreter as start-up leaves it for the map scripts.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/EventAPI.h"

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
    ASSERT_TRUE(startScripting("vellrun"));
    EXPECT_EQ(eval("__import__('sys').path[0]"), "./data/scripts");
    EXPECT_EQ(eval("__import__('sys').dont_write_bytecode"), "True");
    EXPECT_EQ(eval("type(rand).__name__"), "Random");
    EXPECT_EQ(PyRun_SimpleString("import eventAPI\n"), 0);
    EXPECT_EQ(eval("__import__('eventAPI').__name__"), "eventAPI");
    EXPECT_TRUE(stopScripting());
    EXPECT_TRUE(stopScripting()) << "a second stop must be harmless";
}

} // namespace
