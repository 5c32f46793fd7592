#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/EventAPI.h"

#include <cstdio>

namespace {

PyMethodDef eventApiMethods[] = {
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef eventApiModule = {
    PyModuleDef_HEAD_INIT,
    "eventAPI",
    "The game's services for map event scripts.",
    -1,
    eventApiMethods,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

} // namespace

PyObject* initEventAPI() {
    PyObject* module = PyModule_Create(&eventApiModule);
    if (!module) {
        PyErr_Print();
        return nullptr;
    }
    PyObject* modules = PyImport_GetModuleDict(); // borrowed
    if (PyDict_SetItemString(modules, "eventAPI", module) != 0) {
        PyErr_Print();
        Py_DECREF(module);
        return nullptr;
    }
    Py_DECREF(module); // sys.modules holds it now
    return module;
}

bool startScripting(const char* programName) {
    PyConfig config;
    PyConfig_InitPythonConfig(&config);
    config.write_bytecode = 0;
    config.parse_argv = 0;
    config.install_signal_handlers = 0;
    PyConfig_SetBytesString(&config, &config.program_name, programName ? programName : "vellrun");
    PyStatus status = Py_InitializeFromConfig(&config);
    PyConfig_Clear(&config);
    if (PyStatus_Exception(status)) {
        std::fprintf(stderr, "ERROR: Could not start Python: %s\n", status.err_msg ? status.err_msg : "unknown");
        return false;
    }
    PyRun_SimpleString("import sys\nsys.path.insert(0, './data/scripts')\n");
    PyRun_SimpleString("from random import Random\nrand = Random(None)\n");
    initEventAPI();
    return true;
}

bool stopScripting() { return !Py_IsInitialized() || Py_FinalizeEx() == 0; }
