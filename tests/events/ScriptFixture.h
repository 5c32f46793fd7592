// Fixture of the scripted-event tests: the party screens' quest and party,
// the interpreter started as the game starts it (once per program), the test
// scripts of tests/fixtures/scripts first on the module path, the game's
// events registered, and recording stand-ins for the fight and the chest.
//
//   TEST_F(ScriptedEvent, X) {
//       join("Ann", 0x4);
//       auto r = probe({"api.getPartyCount(h)", "api.isPC(h, 5)"});
//       EXPECT_EQ(r, (Results{"1", "IndexError"}));
//   }
#pragma once
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "../gui/PartyScreenFixture.h"
#include "events/Chest.h"
#include "events/EventAPI.h"
#include "events/Event_2000.h"
#include "app/GameEvents.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "world/Map.h"

#include <string>
#include <vector>

namespace scripted {

using Results = std::vector<std::string>;

// A call of a probe's table and what it gives.
struct Case {
    std::string call;
    const char* expected;   // repr of the result, or the exception's name
};

inline void expectCases(const Results& got, const std::vector<Case>& cases)
{
    ASSERT_EQ(got.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(got[i], cases[i].expected) << cases[i].call;
}

inline std::vector<std::string> calls(const std::vector<Case>& cases)
{
    std::vector<std::string> out;
    for (const Case& c : cases)
        out.push_back(c.call);
    return out;
}

// What a recording stand-in saw.
struct Started {
    int type = 0;
    EventParams_S params;
    std::vector<std::pair<std::string, int>> groups;   // fight: monster type, count
    std::vector<int> distances;
    int32_t trap = 0, lock = 0, gold = 0;               // chest
    std::string description;
    std::vector<std::string> items;
};
inline std::vector<Started>& started()
{
    static std::vector<Started> s;
    return s;
}
// What the next stand-in returns from invoke.
inline int& standInResult()
{
    static int r = 0;
    return r;
}
// Runs inside a stand-in's invoke, when set (nesting tests).
inline std::function<void()>& duringStandIn()
{
    static std::function<void()> f;
    return f;
}

class Recorder_C : public Event_C {
public:
    Recorder_C(int type, const EventParams_S* p) : type_(type)
    {
        Started s;
        s.type = type;
        if (p)
            s.params = *p;
        if (p && p->chest) {
            chest_.reset(p->chest);   // a chest event owns its chest
            s.trap = chest_->trap;
            s.lock = chest_->lock;
            s.gold = chest_->gold;
            s.description = chest_->description;
            for (int i = 0; i < chest_->items.count(); ++i) {
                RefStr_C n;
                static_cast<bl3dItem*>(chest_->items.at(i))->getDisplayName(n);
                s.items.push_back(n.c_str());
            }
            s.params.chest = nullptr;
        }
        if (type == EVENT_COMBAT) {
            int d = 0;
            for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g, &d); ++g) {
                s.groups.emplace_back(group->getMonster(0) ? group->getMonster(0)->getName() : "",
                                      static_cast<int>(group->getSize()));
                s.distances.push_back(d);
            }
        }
        started().push_back(s);
    }
    int typeId() const override { return type_; }
    int invoke(Interface_C*) override
    {
        if (duringStandIn())
            duringStandIn()();
        return standInResult();
    }

private:
    int type_;
    std::unique_ptr<Chest_S> chest_;
};

template <int Id>
std::unique_ptr<Event_C> record(const EventParams_S* p)
{
    return std::make_unique<Recorder_C>(Id, p);
}

class ScriptedEvent : public partyscreens::PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        if (!Py_IsInitialized()) {
            ASSERT_TRUE(startScripting("test_events"));
            const std::string add = std::string("import sys\nsys.path.insert(0, '") + VELL_TEST_FIXTURES + "/scripts')\n";
            ASSERT_EQ(PyRun_SimpleString(add.c_str()), 0);
        }
        registerGameEvents();
        registerEncounterEvent(ENCOUNTER_FIGHT, record<EVENT_COMBAT>);
        registerEncounterEvent(ENCOUNTER_CHEST, record<EVENT_CHEST>);
        registerMapEvent(1000, record<1000>);
        registerMapEvent(1012, record<1012>);
        started().clear();
        standInResult() = 0;
        duringStandIn() = nullptr;
        seedScriptRandom(99);
        gameConfig.mouseSupport = false;
        standOn(2, 2, 0);
    }

    void TearDown() override
    {
        duringStandIn() = nullptr;
        enemyList.clear();
        masterMTL.clear();
        clearEventMakers();
        PartyScreenFixture::TearDown();
    }

    static void standOn(int x, int y, int facing)
    {
        iface.setCurX(float(x));
        iface.setViewX(float(x));
        iface.setCurZ(-float(y));
        iface.setViewZ(-float(y));
        iface.setFacing(facing);
        iface.setViewFacing(facing);
        iface.clearEntryState();
    }

    // Sets a global of a test script.
    static void setGlobal(const char* module, const char* name, const std::string& pythonValue)
    {
        const std::string code =
            std::string("import ") + module + "\n" + module + "." + name + " = " + pythonValue + "\n";
        ASSERT_EQ(PyRun_SimpleString(code.c_str()), 0) << code;
    }
    // The repr of a global of a test script.
    static std::string global(const char* module, const char* name)
    {
        PyObject* m = PyImport_ImportModule(module);
        PyObject* v = m ? PyObject_GetAttrString(m, name) : nullptr;
        PyObject* r = v ? PyObject_Repr(v) : nullptr;
        std::string out = r ? PyUnicode_AsUTF8(r) : "<none>";
        PyErr_Clear();
        Py_XDECREF(r);
        Py_XDECREF(v);
        Py_XDECREF(m);
        return out;
    }

    // One run of a scripted square with that script and exit.
    static void runScript(const char* script, int exitX = 9, int exitY = 9, int exitFacing = 180)
    {
        EventParams_S p;
        std::snprintf(p.name, sizeof p.name, "%s", script);
        p.exitX = exitX;
        p.exitY = exitY;
        p.exitFacing = exitFacing;
        std::unique_ptr<Event_C> e = createMapEvent(2000, &p);
        ASSERT_NE(dynamic_cast<Event_2000_C*>(e.get()), nullptr) << "the game registers its scripted event";
        EXPECT_EQ(e->invoke(&iface), 0);
    }

    // Runs the probe script over the expressions; their results in order.
    Results probe(const std::vector<std::string>& steps, const char* ret = "1")
    {
        std::string list = "[";
        for (const std::string& s : steps) {
            std::string q;
            for (char c : s) {
                if (c == '\\' || c == '\'')
                    q += '\\';
                q += c;
            }
            list += "'" + q + "',";
        }
        list += "]";
        setGlobal("probe", "steps", list);
        setGlobal("probe", "ret", ret);
        runScript("probe");
        Results out;
        PyObject* m = PyImport_ImportModule("probe");
        PyObject* v = m ? PyObject_GetAttrString(m, "results") : nullptr;
        for (Py_ssize_t i = 0; v && i < PyList_Size(v); ++i)
            out.push_back(PyUnicode_AsUTF8(PyList_GetItem(v, i)));
        PyErr_Clear();
        Py_XDECREF(v);
        Py_XDECREF(m);
        return out;
    }

    // A monster type of that name in the master list.
    void monsterType(const char* name)
    {
        MonsterTypeRecord_S rec;
        rec.name = name;
        masterMTL.pushFront(std::make_unique<bl3dMonsterType>(rec, monsterActions_));
    }

    static int squareX() { return gameworld->getSquareX(); }
    static int squareY() { return gameworld->getSquareY(); }

private:
    ActionList monsterActions_;
};

} // namespace scripted
