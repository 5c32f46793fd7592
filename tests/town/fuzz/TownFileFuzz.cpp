// libFuzzer target for the town's text readers: the first byte picks the
// file the rest becomes, a tavern's tip file (even) or the Arcanium's
// catalogue (odd), which is then also read as a text. What is read must
// hold: tips and rumours at most 1000 each, tip lines' texts within the
// reader's line, and every catalogue text inside the Arcanium's folder.
#include "../../core/fuzz/FuzzFiles.h"

#include "town/ArcaniumCatalogue.h"
#include "town/TavernTips.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string file = fuzzfiles::dir() + "input";
    fuzzfiles::writeFile(file, data + 1, size - 1);
    if (data[0] % 2 == 0) {
        TavernTips_S tips;
        check(tips.read(file.c_str()));
        check(tips.rumours.size() <= size_t(TavernTips_S::kMaxEntries));
        check(tips.tips.size() <= size_t(TavernTips_S::kMaxEntries));
        for (const TipEntry_S& r : tips.rumours)
            check(r.value == 0 && r.text.size() < size_t(TavernTips_S::kLineSize));
        for (const TipEntry_S& t : tips.tips)
            check(t.value != 0 && t.text.size() < size_t(TavernTips_S::kLineSize));
    } else {
        ArcaniumCatalogue_S cat;
        check(cat.read(file.c_str()));
        for (const ArcaniumEntry_S& e : cat.entries) {
            const std::string path = ArcaniumCatalogue_S::textPath(e);
            check(path.compare(0, 14, "data/arcanium/") == 0);
            check(path.find("..") == std::string::npos && path.find('\\') == std::string::npos);
            check(std::count(path.begin(), path.end(), '/') == 3);
            (void)ArcaniumCatalogue_S::readText(path, [](const char*) {});
        }
        size_t pieces = 0;
        check(ArcaniumCatalogue_S::readText(file, [&pieces](const char* p) {
            check(std::char_traits<char>::length(p) < size_t(ArcaniumCatalogue_S::kPieceSize));
            ++pieces;
        }));
        check(pieces >= 1);
    }
    return 0;
}
