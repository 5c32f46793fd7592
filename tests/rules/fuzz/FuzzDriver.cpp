// Runs the rules fuzz entry points without libFuzzer: every file named on
// the command line, or else a fixed, seeded campaign of truncations, byte
// flips and splices of valid inputs (quick enough for every test run).
#include "RulesFuzz.h"

#include "rules/ItemList.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

using Entry = int (*)(const uint8_t*, size_t);

void campaign(Entry entry, const std::vector<uint8_t>& seed, int rounds, uint32_t seedValue) {
    std::mt19937 rng(seedValue);
    for (size_t cut = 0; cut <= seed.size(); ++cut)
        entry(seed.data(), cut);
    for (int i = 0; i < rounds; ++i) {
        std::vector<uint8_t> m = seed;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits && !m.empty(); ++e) {
            const size_t at = rng() % m.size();
            switch (rng() % 4) {
            case 0:
                m[at] = static_cast<uint8_t>(rng());
                break;
            case 1:
                m[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
                break;
            case 2: // a large or negative 32-bit value
                for (size_t k = 0; k < 4 && at + k < m.size(); ++k)
                    m[at + k] = (rng() % 2) ? 0xff : 0x7f;
                break;
            default:
                m.resize(at);
                break;
            }
        }
        entry(m.data(), m.size());
    }
}


void writeSeed(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

// fuzz_rules_campaign                      the seeded campaign
// fuzz_rules_campaign seeds DIR            writes the seed inputs (a corpus start)
// fuzz_rules_campaign item|char FILE...    replays inputs
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "seeds") {
        writeSeed(std::string(argv[2]) + "/item_seed.dat", seedItemFile());
        writeSeed(std::string(argv[2]) + "/char_seed.dat", seedStoredChar());
        masterITL.clear();
        return 0;
    }
    if (argc > 1) {
        for (int i = 2; i < argc; ++i) {
            std::ifstream f(argv[i], std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            (std::string(argv[1]) == "char" ? fuzzStoredChar : fuzzItemFile)(bytes.data(), bytes.size());
        }
        return 0;
    }
    campaign(fuzzItemFile, seedItemFile(), 20000, 1);
    campaign(fuzzStoredChar, seedStoredChar(), 20000, 2);
    masterITL.clear();
    std::printf("rules fuzz campaign done\n");
    return 0;
}
