// bench_scripts: what entering a scripted square costs.
//
//   bench_scripts [game folder]
//
// Prints, in milliseconds or microseconds: the first import of a script
// module (a new square's first construction), building the event again with
// the module cached (what the item-use screen does on every use), one run
// (invoke) of a small script on a square the map holds, and one eventAPI
// call from a script (getTag of a world variable), net of the loop around it.
// The game is set up as the program sets it up (scripting, every event
// class, the master data), but no quest is loaded (no world, no map): the
// figures are those of the interpreter and the event, not of the tags
// written. The floor is a fixed piece of plain work timed in the same run.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "app/GameSetup.h"
#include "events/Event_2000.h"
#include "tools/BenchSupport.h"
#include "world/Interface.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::msSince;

void write(const std::string& path, const char* text)
{
    std::ofstream(path) << text;
}

EventParams_S params(const char* name)
{
    EventParams_S p;
    std::snprintf(p.name, sizeof p.name, "%s", name);
    return p;
}

// Microseconds from milliseconds.
std::vector<double> micro(std::vector<double> ms)
{
    for (double& v : ms)
        v *= 1000.0;
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (!bench::enterGameFolder(argv[0], argc > 1 ? argv[1] : nullptr) || !masterDataPresent())
        return 1;
    if (!setUpGame("bench_scripts")) {
        shutDownGame();
        return 1;
    }
    bench::printReferenceFloor();
    char tmpl[] = "/tmp/vell-bench-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    if (!dir) {
        std::perror("ERROR: no folder for the scripts");
        shutDownGame();
        return 1;
    }
    write(std::string(dir) + "/small.py",
          "import eventAPI as api\n"
          "def fireEvent(h):\n"
          "    n = api.getTag(h, 'Visits')\n"
          "    api.setTag(h, 'Visits', n + 1)\n"
          "    return 1\n");
    write(std::string(dir) + "/calls.py",
          "import eventAPI as api\n"
          "count = 0\n"
          "call = True\n"
          "def fireEvent(h):\n"
          "    g = api.getTag\n"
          "    if call:\n"
          "        for i in range(count):\n"
          "            g(h, 'Visits')\n"
          "    else:\n"
          "        for i in range(count):\n"
          "            pass\n"
          "    return 1\n");
    PyRun_SimpleString((std::string("import sys\nsys.path.insert(0, '") + dir + "')\n").c_str());

    // The first import.
    EventParams_S small = params("small");
    Clock::time_point t = Clock::now();
    auto first = std::make_unique<Event_2000_C>(&small);
    const double importMs = msSince(t);
    if (!first->isReady()) {
        std::fprintf(stderr, "ERROR: the script module small cannot be imported\n");
        return 1;
    }

    std::vector<double> build, run;
    for (int i = 0; i < 2000; ++i) {
        t = Clock::now();
        Event_2000_C again(&small);
        build.push_back(msSince(t));
    }
    for (int i = 0; i < 2000; ++i) {
        t = Clock::now();
        first->invoke(&iface);
        run.push_back(msSince(t));
    }

    // One method call: a run of n calls less a run of n empty loop turns.
    EventParams_S callsP = params("calls");
    Event_2000_C calls(&callsP);
    const int n = 200000;
    PyRun_SimpleString("import calls\ncalls.count = 200000\n");
    double best[2] = {1e9, 1e9};
    for (int rep = 0; rep < 5; ++rep)
        for (int withCall = 0; withCall < 2; ++withCall) {
            PyRun_SimpleString(withCall ? "calls.call = True\n" : "calls.call = False\n");
            t = Clock::now();
            calls.invoke(&iface);
            best[withCall] = std::min(best[withCall], msSince(t));
        }
    const double perCallUs = (best[1] - best[0]) * 1000.0 / n;

    bench::figure("first import of a script module", importMs, "ms");
    bench::figure("building the event, module cached", micro(build), "us");
    bench::figure("one run (invoke) of a small script", micro(run), "us");
    bench::figure("one eventAPI call (getTag)", perCallUs, "us");
    first.reset();
    shutDownGame();
    std::remove((std::string(dir) + "/small.py").c_str());
    std::remove((std::string(dir) + "/calls.py").c_str());
    rmdir(dir);
    return 0;
}
