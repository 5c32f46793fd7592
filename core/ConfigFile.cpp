#include "core/ConfigFile.h"

#include "platform/Files.h"

#include <cstring>

namespace {

// fgets of one whole line. A line longer than the buffer keeps what fits and
// the rest of it is skipped, so that its tail never reads as a line of its
// own (the rest of a long comment would otherwise come back as a setting).
char* readWholeLine(char* buf, int size, FILE* f) {
    if (!buf || size < 2 || !f || !std::fgets(buf, size, f))
        return nullptr;
    size_t n = std::strlen(buf);
    if (n > 0 && buf[n - 1] == '\n')
        return buf;
    int c = std::fgetc(f);
    if (c == EOF || c == '\n') {
        // The line ended exactly at the buffer's end: drop a '\r' of "\r\n".
        if (c == '\n' && n > 0 && buf[n - 1] == '\r')
            buf[n - 1] = 0;
        return buf;
    }
    while (c != EOF && c != '\n')
        c = std::fgetc(f);
    return buf;
}

} // namespace

FILE* openConfig(const char* path) { return vell::openFile(path, "r"); }

void closeConfig(FILE* f) {
    if (f)
        std::fclose(f);
}

char* readConfigLine(char* buf, int size, FILE* f) {
    while (readWholeLine(buf, size, f)) {
        if (buf[0] == '#' || buf[0] == '\n' || buf[0] == '\r' || buf[0] == 0)
            continue;
        vell::stripLineEnd(buf);
        return buf;
    }
    return nullptr;
}

int configEOF(FILE* f) { return std::feof(f); }

char* fgetsSkipComments(char* buf, int size, FILE* f) {
    while (readWholeLine(buf, size, f)) {
        if (buf[0] == '#')
            continue;
        vell::stripLineEnd(buf);
        return buf;
    }
    return nullptr;
}
