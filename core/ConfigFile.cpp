#include "core/ConfigFile.h"

#include "platform/Files.h"

FILE* openConfig(const char* path) { return vell::openFile(path, "r"); }

void closeConfig(FILE* f) {
    if (f)
        std::fclose(f);
}

char* readConfigLine(char* buf, int size, FILE* f) {
    while (std::fgets(buf, size, f)) {
        if (buf[0] == '#' || buf[0] == '\n' || buf[0] == '\r')
            continue;
        vell::stripLineEnd(buf);
        return buf;
    }
    return nullptr;
}

int configEOF(FILE* f) { return std::feof(f); }

char* fgetsSkipComments(char* buf, int size, FILE* f) {
    while (std::fgets(buf, size, f)) {
        if (buf[0] == '#')
            continue;
        vell::stripLineEnd(buf);
        return buf;
    }
    return nullptr;
}
