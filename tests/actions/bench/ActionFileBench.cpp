// What loading the shipped spell book adds to the game's start-up: the
// built-in actions made, then "data/actions.dat" read into the master
// action list, as init does; each sample from scratch. Prints the time of
// the load alone (median, 95th percentile, best) and how many actions it
// added.
//
//   bench_actionfile [samples] [game folder]
#include "rules/ActionList.h"
#include "actions/Catalogue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const std::string folder = argc > 2 ? argv[2] : VELL_GAME_DIR;
    if (chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "ERROR: no game folder %s\n", folder.c_str());
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    int added = 0;
    for (int i = 0; i < samples; ++i) {
        initActions();
        const Clock::time_point start = Clock::now();
        added = masterActionList.load("data/actions.dat");
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        masterActionList.destroyAll();
    }
    if (added <= 0) {
        std::fprintf(stderr, "ERROR: data/actions.dat added no action\n");
        return 1;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("data/actions.dat: %d actions, load median %.3f ms, p95 %.3f ms, best %.3f ms (%d samples)\n", added,
                ms[ms.size() / 2], ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.95))], ms.front(),
                samples);
    return 0;
}
