// Helpers shared by the save archive tests: a record type that stores raw
// bytes, scratch files, and a check of the archive's space bookkeeping.
#pragma once
#include "core/ArchiveFile.h"
#include "core/MemStream.h"
#include "core/Storable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/TestFiles.h"

namespace archtest {

using testfiles::readFile;
using testfiles::writeFile;

constexpr int TYPE_BYTES = 900;

// A record whose stored form is its bytes, nothing more.
class BytesRec_C : public Storable_C {
public:
    BytesRec_C(const RefStr_C& name, std::string bytes, int ver = 1)
        : Storable_C(name), bytes_(std::move(bytes)), ver_(ver) {}
    int typeId() const override { return TYPE_BYTES; }
    int version() const override { return ver_; }
    void write(MemStream_C& s) const override { s.write(bytes_.data(), static_cast<uint32_t>(bytes_.size())); }
    bool read(int version, MemStream_C& s) override {
        ver_ = version;
        bytes_.assign(s.current(), s.remaining());
        s.skip(s.remaining());
        return true;
    }
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s) {
        auto r = std::make_unique<BytesRec_C>(name, "");
        r->read(version, s);
        return r;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    int ver_;
};

inline void registerBytes() {
    if (!getTypeRegistry().has(TYPE_BYTES))
        getTypeRegistry().add(TYPE_BYTES, &BytesRec_C::create);
}

inline std::string tempPath(const std::string& name) {
    return std::string(::testing::TempDir()) + "vell_arch_" + std::to_string(::getpid()) + "_" + name;
}

// Opens an archive that must open (flushing off: a test never loses power).
inline std::unique_ptr<ArchiveFile_C> reopen(const std::string& path) {
    std::string err;
    auto a = ArchiveFile_C::open(path, false, &err);
    EXPECT_TRUE(a) << err;
    if (a)
        a->setDurable(false);
    return a;
}

// Little-endian byte builder for golden files.
struct Bytes {
    std::string s;
    Bytes& i32(int32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xff);
        return *this;
    }
    Bytes& i16(int16_t v) {
        s += static_cast<char>(v & 0xff);
        s += static_cast<char>((static_cast<uint16_t>(v) >> 8) & 0xff);
        return *this;
    }
    Bytes& str(const std::string& t) {
        i32(static_cast<int32_t>(t.size()));
        s += t;
        return *this;
    }
    Bytes& raw(const std::string& t) {
        s += t;
        return *this;
    }
    Bytes& entry(const std::string& name, int32_t type, int32_t ver, int32_t off, int32_t size, int16_t flags) {
        return str(name).i32(type).i32(ver).i32(off).i32(size).i16(flags);
    }
};

// Every block of the file: live and old entries of all directories, the free
// list and the root blob; no two may overlap, all lie inside the file, and
// the free list is sorted with no empty or touching blocks.
inline void collectBlocks(ArchiveDir_C& dir, std::vector<std::pair<ArchiveFile_C::Block, std::string>>& out,
                          const std::string& path) {
    for (int i = 0; i < dir.oldEntries().count(); ++i) {
        const ArchiveEntry_S& e = dir.oldEntries().at(i);
        out.push_back({{e.offset, e.size}, "old " + path + e.name.c_str()});
    }
    for (int i = 0; i < dir.usedEntries().count(); ++i) {
        const ArchiveEntry_S& e = dir.usedEntries().at(i);
        out.push_back({{e.offset, e.size}, "live " + path + e.name.c_str()});
        if (e.isDir()) {
            DirHandle_C child = dir.openDir(e.name.c_str());
            collectBlocks(*child, out, path + e.name.c_str() + "/");
        }
    }
}

inline ::testing::AssertionResult spaceIsSound(ArchiveFile_C& a, long fileSize) {
    const auto& fl = a.freeBlocks();
    for (size_t i = 0; i < fl.size(); ++i) {
        if (fl[i].size <= 0)
            return ::testing::AssertionFailure() << "empty free block at " << fl[i].offset;
        if (i > 0 && fl[i].offset <= fl[i - 1].end())
            return ::testing::AssertionFailure() << "free list unsorted or unmerged at " << fl[i].offset;
    }
    std::vector<std::pair<ArchiveFile_C::Block, std::string>> blocks;
    collectBlocks(a, blocks, "");
    for (const auto& b : fl)
        blocks.push_back({b, "free"});
    blocks.push_back({a.rootBlock(), "root blob"});
    blocks.push_back({{0, 12}, "header"});
    std::vector<std::pair<ArchiveFile_C::Block, std::string>> nonEmpty;
    for (const auto& b : blocks) {
        if (b.first.size == 0)
            continue;
        if (b.first.offset < 0 || b.first.end() > fileSize)
            return ::testing::AssertionFailure() << b.second << " outside the file";
        nonEmpty.push_back(b);
    }
    std::sort(nonEmpty.begin(), nonEmpty.end(),
              [](const auto& x, const auto& y) { return x.first.offset < y.first.offset; });
    for (size_t i = 1; i < nonEmpty.size(); ++i)
        if (nonEmpty[i].first.offset < nonEmpty[i - 1].first.end())
            return ::testing::AssertionFailure()
                   << nonEmpty[i].second << " at " << nonEmpty[i].first.offset << " overlaps "
                   << nonEmpty[i - 1].second << " at " << nonEmpty[i - 1].first.offset << "+"
                   << nonEmpty[i - 1].first.size;
    // Data and free space lie below the root blob (the file's end of data).
    for (const auto& b : nonEmpty)
        if (b.second != "root blob" && b.second != "header" && b.first.end() > a.rootBlock().offset)
            return ::testing::AssertionFailure() << b.second << " lies past the root blob";
    return ::testing::AssertionSuccess();
}

// Every byte up to the end of the root blob is live, old, free, the header
// or the root: nothing is lost track of.
inline ::testing::AssertionResult noSpaceLost(ArchiveFile_C& a) {
    std::vector<std::pair<ArchiveFile_C::Block, std::string>> blocks;
    collectBlocks(a, blocks, "");
    long total = 12 + a.rootBlock().size;
    for (const auto& b : blocks)
        total += b.first.size;
    for (const auto& b : a.freeBlocks())
        total += b.size;
    if (total != a.rootBlock().end())
        return ::testing::AssertionFailure() << (a.rootBlock().end() - total) << " bytes lost track of";
    return ::testing::AssertionSuccess();
}

} // namespace archtest
