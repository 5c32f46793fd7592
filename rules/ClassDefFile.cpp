#include "rules/ClassDefFile.h"

#include "core/MemStream.h"
#include "platform/Files.h"

#include <cstdio>
#include <memory>

namespace vell {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

std::string recordText(const char* what, size_t index, const std::string& reason) {
    return std::string(what) + " " + std::to_string(index) + ": " + reason;
}

bool readCount(MemStream_C& s, uint32_t minEntrySize, int32_t& n) {
    return s.readInt32(n) && n >= 0 && static_cast<uint32_t>(n) <= s.remaining() / minEntrySize;
}

int report(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "ERROR: %s is corrupt (%s)\n", path.c_str(), why.c_str());
    return LOAD_CORRUPT;
}

} // namespace

bool readWholeFile(const std::string& path, MemStream_C& out, uint32_t maxBytes) {
    FilePtr f(openFile(path, "rb"));
    if (!f)
        return false;
    char buf[65536];
    uint64_t total = 0;
    for (;;) {
        size_t got = std::fread(buf, 1, sizeof buf, f.get());
        if (got > 0) {
            total += got;
            if (total > maxBytes)
                return false;
            out.write(buf, static_cast<uint32_t>(got));
        }
        if (got < sizeof buf)
            return !std::ferror(f.get());
    }
}

bool writeWholeFile(const std::string& path, const MemStream_C& in) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(in.data(), 1, in.size(), f) == in.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

namespace {

// A count, then that many records read by readOne (which may explain a
// failure in its string). False with the reason in *why.
template <class Record, class ReadOne>
bool readRecords(MemStream_C& s, uint32_t minSize, const char* what, std::vector<Record>& out, ReadOne readOne,
                 std::string* why) {
    out.clear();
    int32_t n = 0;
    if (!readCount(s, minSize, n)) {
        if (why)
            *why = std::string(what) + " count";
        return false;
    }
    out.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < out.size(); ++i) {
        std::string reason = "cut short or a bad count";
        if (!readOne(out[i], reason)) {
            if (why)
                *why = recordText(what, i, reason);
            return false;
        }
    }
    return true;
}

// Bytes after the last record are stray: noted and ignored.
bool noteStray(const MemStream_C& s, std::vector<std::string>* notes) {
    if (s.remaining() > 0 && notes)
        notes->push_back(std::to_string(s.remaining()) + " stray bytes after the last record ignored");
    return true;
}

// Reads and parses a file; on success hands the parsed tables to commit.
template <class Parse, class Commit>
int loadFile(const std::string& path, const char* what, Parse parse, Commit commit) {
    MemStream_C s;
    if (!readWholeFile(path, s)) {
        std::fprintf(stderr, "ERROR: could not read %s file %s\n", what, path.c_str());
        return LOAD_CANNOT_OPEN;
    }
    std::string why;
    std::vector<std::string> notes;
    if (!parse(s, why, notes))
        return report(path, why);
    for (const std::string& n : notes)
        std::fprintf(stderr, "ERROR: %s: %s\n", path.c_str(), n.c_str());
    return commit();
}

} // namespace

bool parseClassFile(MemStream_C& s, std::vector<ClassDef_S>& classes, std::vector<LevelTable_S>& tables,
                    std::string* why, std::vector<std::string>* notes) {
    tables.clear();
    // The smallest class record is about 70 bytes; 40 is a safe floor.
    return readRecords(s, 40, "class", classes, [&s](ClassDef_S& c, std::string& r) { return c.read(s, &r); }, why) &&
           readRecords(s, 12, "level table", tables, [&s](LevelTable_S& t, std::string&) { return t.read(s); }, why) &&
           noteStray(s, notes);
}

void writeClassFile(MemStream_C& s, const std::vector<ClassDef_S>& classes, const std::vector<LevelTable_S>& tables) {
    s.writeInt32(static_cast<int32_t>(classes.size()));
    for (const ClassDef_S& c : classes)
        c.write(s);
    s.writeInt32(static_cast<int32_t>(tables.size()));
    for (const LevelTable_S& t : tables)
        t.write(s);
}

bool parseItemCreateFile(MemStream_C& s, std::vector<ItemCreate_S>& kinds, std::string* why,
                         std::vector<std::string>* notes) {
    return readRecords(s, 20, "record", kinds, [&s](ItemCreate_S& k, std::string&) { return k.read(s); }, why) &&
           noteStray(s, notes);
}

void writeItemCreateFile(MemStream_C& s, const std::vector<ItemCreate_S>& kinds) {
    s.writeInt32(static_cast<int32_t>(kinds.size()));
    for (const ItemCreate_S& k : kinds)
        k.write(s);
}

int loadClassFile(const std::string& path) {
    std::vector<ClassDef_S> classes;
    std::vector<LevelTable_S> tables;
    return loadFile(
        path, "class",
        [&](MemStream_C& s, std::string& why, std::vector<std::string>& notes) {
            return parseClassFile(s, classes, tables, &why, &notes);
        },
        [&]() {
            classDef.swap(classes);
            levelTables.swap(tables);
            return static_cast<int>(classDef.size());
        });
}

int loadItemCreateFile(const std::string& path) {
    std::vector<ItemCreate_S> kinds;
    return loadFile(
        path, "item creation",
        [&](MemStream_C& s, std::string& why, std::vector<std::string>& notes) {
            return parseItemCreateFile(s, kinds, &why, &notes);
        },
        [&]() {
            itemCreate.swap(kinds);
            return static_cast<int>(itemCreate.size());
        });
}

} // namespace vell
