#include "town/ArcaniumCatalogue.h"

#include "core/ConfigFile.h"
#include "core/Log.h"
#include "platform/Files.h"

#include <cstdio>
#include <cstring>

namespace {

bool startsWith(const char* line, const char* word)
{
    return std::strncmp(line, word, std::strlen(word)) == 0;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The next blank-separated word from *p, moving *p past it; empty at the end.
std::string nextWord(const char*& p)
{
    while (isBlank(*p))
        ++p;
    const char* start = p;
    while (*p && !isBlank(*p))
        ++p;
    return std::string(start, p);
}

} // namespace

bool ArcaniumCatalogue_S::read(const char* path)
{
    topics.clear();
    entries.clear();
    FILE* f = path ? openConfig(path) : nullptr;
    if (!f) {
        std::printf("ERROR OPENING ARCDATA.TXT\n");
        return false;
    }
    char line[kPieceSize];
    enum { BEFORE, TOPICS, TEXTS } part = BEFORE;
    while (fgetsSkipComments(line, sizeof line, f)) {
        if (part == BEFORE) {
            if (startsWith(line, "DIRLIST"))
                part = TOPICS;
        } else if (part == TOPICS) {
            if (startsWith(line, "TEXTLIST"))
                part = TEXTS;
            else if (line[0])
                topics.emplace_back(line);
        } else {
            const char* p = line;
            ArcaniumEntry_S e;
            e.topic = nextWord(p);
            e.file = nextWord(p);
            while (isBlank(*p))
                ++p;
            e.title = p;
            if (e.topic.empty() || e.file.empty() || e.title.empty()) {
                VELL_LOG(1, "WARNING: arcdata: a text line without topic, file and title is skipped\n");
                continue;
            }
            if (!safeName(e.topic) || !safeName(e.file)) {
                VELL_LOG(1, "WARNING: arcdata: %s/%s lies outside the Arcanium; skipped\n", e.topic.c_str(),
                         e.file.c_str());
                continue;
            }
            entries.push_back(std::move(e));
        }
    }
    closeConfig(f);
    return true;
}

bool ArcaniumCatalogue_S::safeName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find("..") == std::string::npos && name.find(':') == std::string::npos;
}

std::string ArcaniumCatalogue_S::textPath(const ArcaniumEntry_S& entry)
{
    if (!safeName(entry.topic) || !safeName(entry.file))
        return std::string();
    return std::string(kFolder) + entry.topic + "/" + entry.file;
}

bool ArcaniumCatalogue_S::readText(const std::string& path, const std::function<void(const char*)>& add)
{
    FILE* f = path.empty() ? nullptr : vell::openFile(path, "r");
    if (!f) {
        VELL_LOG(1, "CANNOT OPEN TEXT FILE\n");
        return false;
    }
    char piece[kPieceSize];
    while (std::fgets(piece, sizeof piece, f)) {
        vell::stripLineEnd(piece);
        add(piece);
    }
    // The read that meets the end of the file.
    add("");
    std::fclose(f);
    return true;
}
