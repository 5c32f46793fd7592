#include "town/TavernTips.h"

#include "core/ConfigFile.h"
#include "core/Log.h"

#include <cstdlib>
#include <cstring>

bool TavernTips_S::read(const char* path)
{
    rumours.clear();
    tips.clear();
    FILE* f = path ? openConfig(path) : nullptr;
    if (!f) {
        VELL_LOG(1, "ERROR: Could not open tip file %s!\n", path ? path : "(none)");
        return false;
    }
    char line[kLineSize];
    while (readConfigLine(line, sizeof line, f)) {
        const char* bar = std::strchr(line, '|');
        if (!bar) {
            VELL_LOG(1, "WARNING: tip file %s: a line without '|' is skipped\n", path);
            continue;
        }
        TipEntry_S entry;
        // atoi's number, without its undefined overflow: the digits are read
        // wide and held to what an int32 can say.
        const long long n = std::strtoll(line, nullptr, 10);
        entry.value = n > INT32_MAX ? INT32_MAX : n < INT32_MIN ? INT32_MIN : static_cast<int32_t>(n);
        entry.text = bar + 1;
        std::vector<TipEntry_S>& list = entry.value == 0 ? rumours : tips;
        if (list.size() < size_t(kMaxEntries))
            list.push_back(std::move(entry));
    }
    closeConfig(f);
    return true;
}
