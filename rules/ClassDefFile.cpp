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

bool parseClassFile(MemStream_C& s, std::vector<ClassDef_S>& classes, std::vector<LevelTable_S>& tables,
                    std::string* why) {
    classes.clear();
    tables.clear();
    int32_t n = 0;
    // The smallest class record is about 70 bytes; 40 is a safe floor.
    if (!readCount(s, 40, n)) {
        if (why)
            *why = "class count";
        return false;
    }
    classes.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < classes.size(); ++i) {
        std::string r;
        if (!classes[i].read(s, &r)) {
            if (why)
                *why = recordText("class", i, r);
            return false;
        }
    }
    if (!readCount(s, 12, n)) {
        if (why)
            *why = "level table count";
        return false;
    }
    tables.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < tables.size(); ++i) {
        if (!tables[i].read(s)) {
            if (why)
                *why = recordText("level table", i, "cut short or bad count");
            return false;
        }
    }
    if (s.remaining() != 0) {
        if (why)
            *why = "bytes after the last level table";
        return false;
    }
    return true;
}

void writeClassFile(MemStream_C& s, const std::vector<ClassDef_S>& classes, const std::vector<LevelTable_S>& tables) {
    s.writeInt32(static_cast<int32_t>(classes.size()));
    for (const ClassDef_S& c : classes)
        c.write(s);
    s.writeInt32(static_cast<int32_t>(tables.size()));
    for (const LevelTable_S& t : tables)
        t.write(s);
}

bool parseItemCreateFile(MemStream_C& s, std::vector<ItemCreate_S>& kinds, std::string* why) {
    kinds.clear();
    int32_t n = 0;
    if (!readCount(s, 20, n)) {
        if (why)
            *why = "record count";
        return false;
    }
    kinds.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (!kinds[i].read(s)) {
            if (why)
                *why = recordText("record", i, "cut short");
            return false;
        }
    }
    if (s.remaining() != 0) {
        if (why)
            *why = "bytes after the last record";
        return false;
    }
    return true;
}

void writeItemCreateFile(MemStream_C& s, const std::vector<ItemCreate_S>& kinds) {
    s.writeInt32(static_cast<int32_t>(kinds.size()));
    for (const ItemCreate_S& k : kinds)
        k.write(s);
}

int loadClassFile(const std::string& path) {
    MemStream_C s;
    if (!readWholeFile(path, s)) {
        std::fprintf(stderr, "ERROR: could not read class file %s\n", path.c_str());
        return LOAD_CANNOT_OPEN;
    }
    std::vector<ClassDef_S> classes;
    std::vector<LevelTable_S> tables;
    std::string why;
    if (!parseClassFile(s, classes, tables, &why))
        return report(path, why);
    classDef.swap(classes);
    levelTables.swap(tables);
    return static_cast<int>(classDef.size());
}

int loadItemCreateFile(const std::string& path) {
    MemStream_C s;
    if (!readWholeFile(path, s)) {
        std::fprintf(stderr, "ERROR: could not read item creation file %s\n", path.c_str());
        return LOAD_CANNOT_OPEN;
    }
    std::vector<ItemCreate_S> kinds;
    std::string why;
    if (!parseItemCreateFile(s, kinds, &why))
        return report(path, why);
    itemCreate.swap(kinds);
    return static_cast<int>(itemCreate.size());
}

} // namespace vell
