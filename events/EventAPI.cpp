#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/EventAPI.h"

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
