// What loading the shipped spell book adds to the game's start-up: the
// built-in actions made, then "data/actions.dat" read into the master
// action list, as the game's set-up does; each sample from scratch. Prints
// the time of the load alone (median, 95th percentile) and how many actions
// it added; the floor is a fixed piece of plain work timed in the same run.
//
//   bench_actionfile [samples] [game folder]
#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "tools/BenchSupport.h"

#include <algorithm>
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
    bench::printReferenceFloor();
    std::vector<double> ms;
    int added = 0;
    for (int i = 0; i < samples; ++i) {
        initActions();
        const bench::Clock::time_point start = bench::Clock::now();
        added = masterActionList.load("data/actions.dat");
        ms.push_back(bench::msSince(start));
        masterActionList.destroyAll();
    }
    if (added <= 0) {
        std::fprintf(stderr, "ERROR: data/actions.dat added no action\n");
        return 1;
    }
    bench::figure("load data/actions.dat (" + std::to_string(added) + " actions)", ms, "ms");
    return 0;
}
