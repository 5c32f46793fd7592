#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/EventAPI.h"

#include "events/Event_2000.h"
#include "events/ScriptWatch.h"
#include "rules/CharEffect.h"
#include "rules/EnemyList.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "core/ModalLoop.h"
#include "platform/Random.h"
#include "world/GameWorld.h"

#include <SDL_thread.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

Uint32 scriptThread = 0;
bool scriptThreadKnown = false;

// A chest filled by a script holds no more random items than this.
constexpr int kMaxRandomItems = 100;
// The farthest a script may set a group in a fight, in feet (the nearest is
// melee reach).
constexpr int kMaxDistance = 1000;
// A poison's damage per hit beyond its dice, either way.
constexpr int kMaxPoisonBonus = CharEffect_Poison::MAX_DICE;

// --- the method frame ------------------------------------------------------------------

// The running event of a handle; else null with ValueError set.
Event_2000_C* eventOf(int handle)
{
    if (!scriptingOnThisThread()) {
        PyErr_SetString(PyExc_RuntimeError, "eventAPI may be called from the game's own thread only");
        return nullptr;
    }
    Event_2000_C* e = Event_2000_C::running(handle);
    if (!e)
        PyErr_Format(PyExc_ValueError, "%d is not the handle of a running event", handle);
    return e;
}

// A valid party-member index (0 .. count - 1); else false with IndexError.
bool validPartyIndex(int index)
{
    const int count = party ? party->getCount() : 0;
    if (index >= 0 && index < count)
        return true;
    PyErr_Format(PyExc_IndexError, "party member %d does not exist (the party has %d)", index, count);
    return false;
}

// The handle's event and a valid member; null with the exception set.
Event_2000_C* eventAndMember(int handle, int index)
{
    Event_2000_C* e = eventOf(handle);
    return e && validPartyIndex(index) ? e : nullptr;
}

// The strings of a list; false with TypeError for an item that is not one.
bool pyListToStrings(PyObject* list, std::vector<std::string>& out, const char* what)
{
    const Py_ssize_t n = PyList_GET_SIZE(list);
    out.clear();
    out.reserve(static_cast<size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* item = PyList_GET_ITEM(list, i);   // borrowed
        const char* s = PyUnicode_Check(item) ? PyUnicode_AsUTF8(item) : nullptr;
        if (!s) {
            if (!PyErr_Occurred() || PyErr_ExceptionMatches(PyExc_UnicodeError)) {
                PyErr_Clear();
                PyErr_Format(PyExc_TypeError, "%s: item %zd is not a string", what, i);
            }
            return false;
        }
        out.emplace_back(s);
    }
    return true;
}

// The integers of a list; false with TypeError for an item that is not one
// (OverflowError for one beyond 32 bits).
bool pyListToInts(PyObject* list, std::vector<int>& out, const char* what)
{
    const Py_ssize_t n = PyList_GET_SIZE(list);
    out.clear();
    out.reserve(static_cast<size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) {
        PyObject* item = PyList_GET_ITEM(list, i);
        if (!PyLong_Check(item)) {
            PyErr_Format(PyExc_TypeError, "%s: item %zd is not an integer", what, i);
            return false;
        }
        const long v = PyLong_AsLong(item);
        if ((v == -1 && PyErr_Occurred()) || v < INT_MIN || v > INT_MAX) {
            PyErr_Clear();
            PyErr_Format(PyExc_OverflowError, "%s: item %zd does not fit in 32 bits", what, i);
            return false;
        }
        out.push_back(static_cast<int>(v));
    }
    return true;
}

// After an input that the quit event ended: the script is stopped (by an
// exception that `except Exception` does not catch), so that a script
// waiting for an answer in a loop cannot keep the game from ending.
bool gameEnding()
{
    if (!vell::quitRequested())
        return false;
    PyErr_SetString(PyExc_KeyboardInterrupt, "the game is ending");
    return true;
}

PyObject* none()
{
    Py_RETURN_NONE;
}

PyObject* integer(long v)
{
    return PyLong_FromLong(v);
}

// --- the methods -----------------------------------------------------------------------

PyObject* showPicture(PyObject*, PyObject* a)
{
    int h;
    const char* name;
    if (!PyArg_ParseTuple(a, "is:showPicture", &h, &name))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    return e ? integer(e->showPicture(name)) : nullptr;
}

PyObject* clearPicture(PyObject*, PyObject* a)
{
    int h;
    if (!PyArg_ParseTuple(a, "i:clearPicture", &h))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    if (!e)
        return nullptr;
    e->clearPicture();
    return none();
}

PyObject* playSpecAudio(PyObject*, PyObject* a)
{
    int h;
    const char* name;
    if (!PyArg_ParseTuple(a, "is:playSpecAudio", &h, &name))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    return e ? integer(e->playSpecAudio(name)) : nullptr;
}

PyObject* stopSpecAudio(PyObject*, PyObject* a)
{
    int h;
    if (!PyArg_ParseTuple(a, "i:stopSpecAudio", &h))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    if (!e)
        return nullptr;
    e->stopSpecAudio();
    return none();
}

PyObject* optionInput(PyObject*, PyObject* a)
{
    int h;
    PyObject *texts, *labels, *keys;
    if (!PyArg_ParseTuple(a, "iO!O!O!:optionInput", &h, &PyList_Type, &texts, &PyList_Type, &labels, &PyList_Type,
                          &keys))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    std::vector<std::string> t, l;
    std::vector<int> k;
    if (!e || !pyListToStrings(texts, t, "optionInput texts") || !pyListToStrings(labels, l, "optionInput labels")
        || !pyListToInts(keys, k, "optionInput keys"))
        return nullptr;
    if (k.empty()) {
        PyErr_SetString(PyExc_ValueError, "optionInput: the list of keys is empty, so no key could end the input");
        return nullptr;
    }
    if (l.size() != k.size()) {
        PyErr_Format(PyExc_ValueError, "optionInput: %zu labels but %zu keys; each label stands for one key",
                     l.size(), k.size());
        return nullptr;
    }
    if (l.size() > static_cast<size_t>(e->maxOptionLabels())) {
        PyErr_Format(PyExc_ValueError, "optionInput: %zu labels; the text pane shows %d at most", l.size(),
                     e->maxOptionLabels());
        return nullptr;
    }
    const int key = e->optionInput(t, l, k);
    return gameEnding() ? nullptr : integer(key);
}

PyObject* stringInput(PyObject*, PyObject* a)
{
    int h;
    PyObject* texts;
    if (!PyArg_ParseTuple(a, "iO!:stringInput", &h, &PyList_Type, &texts))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    std::vector<std::string> t;
    if (!e || !pyListToStrings(texts, t, "stringInput texts"))
        return nullptr;
    const std::string typed = e->stringInput(t);
    return gameEnding() ? nullptr : PyUnicode_FromString(typed.c_str());
}

PyObject* getGameTime(PyObject*, PyObject* a)
{
    int h;
    if (!PyArg_ParseTuple(a, "i:getGameTime", &h))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    if (!e)
        return nullptr;
    return PyLong_FromUnsignedLong(gameworld ? gameworld->getClock().getTicks() : 0);
}

PyObject* setTag(PyObject*, PyObject* a)
{
    int h, value;
    const char* name;
    if (!PyArg_ParseTuple(a, "isi:setTag", &h, &name, &value))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    return e ? integer(e->setTag(name, value)) : nullptr;
}

PyObject* getTag(PyObject*, PyObject* a)
{
    int h;
    const char* name;
    if (!PyArg_ParseTuple(a, "is:getTag", &h, &name))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    return e ? integer(e->getTag(name)) : nullptr;
}

PyObject* tickGame(PyObject*, PyObject* a)
{
    int h, ticks;
    if (!PyArg_ParseTuple(a, "ii:tickGame", &h, &ticks))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    if (!e)
        return nullptr;
    if (ticks < 1) {
        PyErr_Format(PyExc_ValueError, "tickGame: %d ticks; the game ticks 1 or more", ticks);
        return nullptr;
    }
    const uint32_t left = gameworld ? gameworld->getClock().ticksLeft() : UINT32_MAX;
    if (static_cast<uint32_t>(ticks) > left) {
        PyErr_Format(PyExc_ValueError, "tickGame: %d ticks would carry the clock past its end (%lu ticks left)",
                     ticks, static_cast<unsigned long>(left));
        return nullptr;
    }
    return integer(e->tick(ticks));
}

PyObject* getPartyCount(PyObject*, PyObject* a)
{
    int h;
    if (!PyArg_ParseTuple(a, "i:getPartyCount", &h))
        return nullptr;
    if (!eventOf(h))
        return nullptr;
    return integer(party ? party->getCount() : 0);
}

PyObject* isPC(PyObject*, PyObject* a)
{
    int h, i;
    if (!PyArg_ParseTuple(a, "ii:isPC", &h, &i))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->isPC(i)) : nullptr;
}

PyObject* hasItem(PyObject*, PyObject* a)
{
    int h, i;
    const char* name;
    if (!PyArg_ParseTuple(a, "iis:hasItem", &h, &i, &name))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->hasItem(i, name)) : nullptr;
}

PyObject* modifyXP(PyObject*, PyObject* a)
{
    int h, i, amount;
    if (!PyArg_ParseTuple(a, "iii:modifyXP", &h, &i, &amount))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->modifyXP(i, amount)) : nullptr;
}

PyObject* modifyHP(PyObject*, PyObject* a)
{
    int h, i, amount;
    if (!PyArg_ParseTuple(a, "iii:modifyHP", &h, &i, &amount))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->modifyHP(i, amount)) : nullptr;
}

PyObject* modifySP(PyObject*, PyObject* a)
{
    int h, i, amount, force = 0;
    if (!PyArg_ParseTuple(a, "iii|i:modifySP", &h, &i, &amount, &force))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->modifySP(i, amount, force != 0)) : nullptr;
}

PyObject* modifyBP(PyObject*, PyObject* a)
{
    int h, i, amount, force = 0;
    if (!PyArg_ParseTuple(a, "iii|i:modifyBP", &h, &i, &amount, &force))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->modifyBP(i, amount, force != 0)) : nullptr;
}

PyObject* modifyGold(PyObject*, PyObject* a)
{
    int h, i, amount, takeAll = 0;
    if (!PyArg_ParseTuple(a, "iii|i:modifyGold", &h, &i, &amount, &takeAll))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->modifyGold(i, amount, takeAll != 0)) : nullptr;
}

PyObject* callEvent(PyObject*, PyObject* a)
{
    int h, type;
    PyObject* args;
    if (!PyArg_ParseTuple(a, "iiO!:callEvent", &h, &type, &PyList_Type, &args))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    std::vector<std::string> v;
    if (!e || !pyListToStrings(args, v, "callEvent arguments"))
        return nullptr;
    std::string refused;
    const bool created = e->callEvent(type, v, &refused);
    if (!refused.empty()) {
        PyErr_Format(PyExc_ValueError, "callEvent: the exit %s", refused.c_str());
        return nullptr;
    }
    return integer(created);
}

PyObject* setExit(PyObject*, PyObject* a)
{
    int h, x, y, facing;
    const char* map;
    if (!PyArg_ParseTuple(a, "isiii:setExit", &h, &map, &x, &y, &facing))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    if (!e)
        return nullptr;
    std::string refused;
    if (!e->setExit(map, x, y, facing, &refused)) {
        PyErr_Format(PyExc_ValueError, "setExit: %s", refused.c_str());
        return nullptr;
    }
    return none();
}

PyObject* savingThrow(PyObject*, PyObject* a)
{
    int h, i, bonus;
    const char* kind;
    if (!PyArg_ParseTuple(a, "isii:savingThrow", &h, &kind, &i, &bonus))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->savingThrow(kind, i, bonus)) : nullptr;
}

PyObject* removeItem(PyObject*, PyObject* a)
{
    int h, i;
    const char* name;
    if (!PyArg_ParseTuple(a, "iis:removeItem", &h, &i, &name))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    return e ? integer(e->removeItem(i, name)) : nullptr;
}

PyObject* combat(PyObject*, PyObject* a)
{
    int h;
    PyObject* enemies;
    if (!PyArg_ParseTuple(a, "iO!:combat", &h, &PyList_Type, &enemies))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    if (!e)
        return nullptr;
    const Py_ssize_t n = PyList_GET_SIZE(enemies);
    for (Py_ssize_t i = 0; i < n; ++i)
        if (!PyTuple_Check(PyList_GET_ITEM(enemies, i))) {
            PyErr_Format(PyExc_TypeError, "combat: enemy %zd is not a tuple", i);
            return nullptr;
        }
    // The list may be changed by what the fight runs: hold it.
    Py_INCREF(enemies);
    enemyList.clear();
    for (Py_ssize_t i = 0; i < n && i < PyList_GET_SIZE(enemies); ++i) {
        const char* name;
        int base, extra, distance;
        if (!PyArg_ParseTuple(PyList_GET_ITEM(enemies, i), "siii:combat enemy", &name, &base, &extra, &distance)) {
            Py_DECREF(enemies);
            return nullptr;
        }
        if (base < 0 || extra < 0 || static_cast<int64_t>(base) + extra > MAX_GROUP_SIZE) {
            PyErr_Format(PyExc_ValueError,
                         "combat: enemy %zd asks for %d and up to %d more monsters; counts are 0 or more and "
                         "%d at most together",
                         i, base, extra, MAX_GROUP_SIZE);
            Py_DECREF(enemies);
            return nullptr;
        }
        if (distance < MELEE_DISTANCE || distance > kMaxDistance) {
            PyErr_Format(PyExc_ValueError, "combat: enemy %zd stands %d feet away; a group stands %d to %d feet away",
                         i, distance, MELEE_DISTANCE, kMaxDistance);
            Py_DECREF(enemies);
            return nullptr;
        }
        bl3dMonsterType* type = masterMTL.findByName(name);
        if (!type) {
            Py_DECREF(enemies);
            return integer(-(static_cast<long>(i) + 100));
        }
        enemyList.add(base + vell::gameRandMod(extra + 1), type, distance);
    }
    Py_DECREF(enemies);
    return integer(e->combat());
}

PyObject* poison(PyObject*, PyObject* a)
{
    int h, i, count, sides, bonus, stride, allowSave, duration;
    if (!PyArg_ParseTuple(a, "iiiiiiii:poison", &h, &i, &count, &sides, &bonus, &stride, &allowSave, &duration))
        return nullptr;
    Event_2000_C* e = eventAndMember(h, i);
    if (!e)
        return nullptr;
    if (count < 0 || sides < 0 || stride < 1 || duration < 0 || bonus < -kMaxPoisonBonus || bonus > kMaxPoisonBonus) {
        PyErr_Format(PyExc_ValueError,
                     "poison: dice count and sides are 0 or more, the bonus %d to %d, the tick stride 1 or more, "
                     "the duration 0 or more",
                     -kMaxPoisonBonus, kMaxPoisonBonus);
        return nullptr;
    }
    e->poison(i, count, sides, bonus, stride, allowSave != 0, duration);
    return none();
}

PyObject* giveItems(PyObject*, PyObject* a)
{
    int h;
    PyObject* names;
    if (!PyArg_ParseTuple(a, "iO!:giveItems", &h, &PyList_Type, &names))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    std::vector<std::string> v;
    if (!e || !pyListToStrings(names, v, "giveItems names"))
        return nullptr;
    e->chest(-1, 0, 0, v, 0, nullptr);
    return none();
}

PyObject* chest(PyObject*, PyObject* a)
{
    int h, trap, lock, gold, randomCount;
    PyObject* names;
    const char* description;
    if (!PyArg_ParseTuple(a, "iiiiO!is:chest", &h, &trap, &lock, &gold, &PyList_Type, &names, &randomCount,
                          &description))
        return nullptr;
    Event_2000_C* e = eventOf(h);
    std::vector<std::string> v;
    if (!e || !pyListToStrings(names, v, "chest names"))
        return nullptr;
    if (lock < 0 || lock > 255 || gold < 0 || randomCount < 0 || randomCount > kMaxRandomItems) {
        PyErr_Format(PyExc_ValueError, "chest: the lock is 0 to 255, the gold 0 or more and the random items 0 to %d",
                     kMaxRandomItems);
        return nullptr;
    }
    return integer(e->chest(trap, lock, gold, v, randomCount, description));
}

PyMethodDef eventApiMethods[] = {
    {"showPicture", showPicture, METH_VARARGS, "shows the given picture in UL"},
    {"clearPicture", clearPicture, METH_VARARGS, "clears any picture in UL"},
    {"playSpecAudio", playSpecAudio, METH_VARARGS, "begins playback of audio in spec channel"},
    {"stopSpecAudio", stopSpecAudio, METH_VARARGS, "stops playback of audio in spec channel"},
    {"optionInput", optionInput, METH_VARARGS, "displays text and options and returns chosen option"},
    {"stringInput", stringInput, METH_VARARGS, "displays text and returns the string that was input"},
    {"getGameTime", getGameTime, METH_VARARGS, "gets the current game time in ticks"},
    {"setTag", setTag, METH_VARARGS, "sets tag to value"},
    {"getTag", getTag, METH_VARARGS, "gets value for tag"},
    {"tickGame", tickGame, METH_VARARGS, "ticks game for a number of ticks"},
    {"getPartyCount", getPartyCount, METH_VARARGS, "gets number of party members"},
    {"isPC", isPC, METH_VARARGS, "checks if the party member is a PC"},
    {"hasItem", hasItem, METH_VARARGS, "checks if the party member has the item"},
    {"modifyXP", modifyXP, METH_VARARGS, "modifies the party member's XP"},
    {"modifyHP", modifyHP, METH_VARARGS, "modifies the party member's HP"},
    {"modifySP", modifySP, METH_VARARGS, "modifies the party member's SP"},
    {"modifyBP", modifyBP, METH_VARARGS, "modifies the party member's BP"},
    {"modifyGold", modifyGold, METH_VARARGS, "modifies the party member's gold"},
    {"callEvent", callEvent, METH_VARARGS, "calls an event with args"},
    {"setExit", setExit, METH_VARARGS, "sets the party's map, position and location"},
    {"savingThrow", savingThrow, METH_VARARGS, "rolls a saving throw"},
    {"removeItem", removeItem, METH_VARARGS, "removes an item from a party member"},
    {"combat", combat, METH_VARARGS, "executes a combat session"},
    {"poison", poison, METH_VARARGS, "poisons the party member"},
    {"giveItems", giveItems, METH_VARARGS, "gives items to the party (4001 Event)"},
    {"chest", chest, METH_VARARGS, "runs a chest event (4001)"},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef eventApiModule = {
    PyModuleDef_HEAD_INIT, "eventAPI", nullptr, -1, eventApiMethods, nullptr, nullptr, nullptr, nullptr,
};

// The scripts' random generator, made in the main module by the start-up
// strings, also as `rand` of an importable module.
void exposeScriptRandom()
{
    PyObject* main = PyImport_AddModule("__main__");          // borrowed
    PyObject* rand = main ? PyObject_GetAttrString(main, "rand") : nullptr;
    PyObject* module = PyImport_AddModule("gamerandom");       // borrowed; in sys.modules
    if (!rand || !module || PyModule_AddObject(module, "rand", rand) != 0) {
        Py_XDECREF(rand);
        PyErr_Print();
    }
}

} // namespace

PyObject* initEventAPI()
{
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

bool startScripting(const char* programName)
{
    if (Py_IsInitialized())
        return true;
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
    scriptThread = SDL_ThreadID();
    scriptThreadKnown = true;
    PyRun_SimpleString("import sys\nsys.path.insert(0, './data/scripts')\n");
    PyRun_SimpleString("from random import Random\nrand = Random(None)\n");
    exposeScriptRandom();
    initEventAPI();
    ScriptWatch_C::start();
    return true;
}

bool stopScripting()
{
    if (!Py_IsInitialized())
        return true;
    ScriptWatch_C::stop();
    Event_2000_C::releaseAllScripts();
    scriptThreadKnown = false;
    return Py_FinalizeEx() == 0;
}

bool scriptingOnThisThread()
{
    return scriptThreadKnown && Py_IsInitialized() && SDL_ThreadID() == scriptThread;
}

void seedScriptRandom(unsigned long seed)
{
    if (!scriptingOnThisThread())
        return;
    PyObject* module = PyImport_ImportModule("gamerandom");
    PyObject* rand = module ? PyObject_GetAttrString(module, "rand") : nullptr;
    PyObject* r = rand ? PyObject_CallMethod(rand, "seed", "k", seed) : nullptr;
    if (!r)
        PyErr_Clear();
    Py_XDECREF(r);
    Py_XDECREF(rand);
    Py_XDECREF(module);
}

namespace {

// The Python error that is set, with its traceback, as text; the error is
// cleared.
std::string takeScriptError()
{
    PyObject *type = nullptr, *value = nullptr, *trace = nullptr;
    PyErr_Fetch(&type, &value, &trace);
    PyErr_NormalizeException(&type, &value, &trace);
    if (value && trace)
        PyException_SetTraceback(value, trace);
    std::string text;
    PyObject* tb = PyImport_ImportModule("traceback");
    PyObject* lines = tb && type ? PyObject_CallMethod(tb, "format_exception", "OOO", type, value ? value : Py_None,
                                                       trace ? trace : Py_None)
                                 : nullptr;
    if (lines && PyList_Check(lines)) {
        for (Py_ssize_t i = 0; i < PyList_GET_SIZE(lines); ++i)
            if (const char* s = PyUnicode_AsUTF8(PyList_GET_ITEM(lines, i)))
                text += s;
    } else if (type) {
        text = reinterpret_cast<PyTypeObject*>(type)->tp_name;
        text += "\n";
    }
    PyErr_Clear();
    Py_XDECREF(lines);
    Py_XDECREF(tb);
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(trace);
    return text;
}

} // namespace

void reportScriptError(const char* script)
{
    const std::string text = takeScriptError();
    std::fprintf(stderr, "ERROR: the script '%s' failed; the party stays:\n%s", script ? script : "?", text.c_str());
}

void reportStoppedScript(const char* script)
{
    const std::string text = takeScriptError();
    std::fprintf(stderr, "The game is ending: the script '%s' was stopped:\n%s", script ? script : "?",
                 text.c_str());
}
