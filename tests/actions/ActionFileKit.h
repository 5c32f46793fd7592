// Helpers of the action data file tests: little-endian bytes written by
// hand, gzip files of them, temporary paths of this process.
#pragma once
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <unistd.h>

namespace actionfile {

// Bytes laid down field by field, little-endian, as a record's table gives
// them.
struct Bytes {
    std::string b;
    Bytes& u8(uint32_t v) {
        b += static_cast<char>(v & 0xff);
        return *this;
    }
    Bytes& u16(uint32_t v) { return u8(v).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xffff).u16(v >> 16); }
    Bytes& text(const std::string& t) {
        b += t;
        return *this;
    }
    Bytes& add(const Bytes& other) {
        b += other.b;
        return *this;
    }
};

inline std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "vell" + std::to_string(getpid()) + "_" + name;
}

// The bytes as a gzip file at `path`.
inline void writeGz(const std::string& path, const std::string& bytes) {
    gzFile f = gzopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) {
        ASSERT_EQ(gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size())), static_cast<int>(bytes.size()));
    }
    ASSERT_EQ(gzclose(f), Z_OK);
}

// An action record's head (24 bytes) and texts, by the file's table.
inline Bytes actionHead(uint32_t id, const std::string& name, const std::string& desc, uint32_t target,
                        uint32_t range, uint32_t level, uint32_t type, uint32_t classMask, uint32_t ignore,
                        uint32_t effects, const std::string& verb, const std::string& prep, const std::string& ger) {
    Bytes h;
    h.u32(id).u16(static_cast<uint32_t>(name.size())).u16(static_cast<uint32_t>(desc.size()));
    h.u8(target).u8(range).u8(level).u8(type).u32(classMask).u32(ignore).u8(effects);
    h.u8(static_cast<uint32_t>(verb.size())).u8(static_cast<uint32_t>(prep.size())).u8(static_cast<uint32_t>(ger.size()));
    h.text(name).text(desc).text(verb).text(prep).text(ger);
    return h;
}

// A damage effect record (header and 24-byte body).
inline Bytes damageRecord(uint32_t range, uint32_t mode, uint32_t sides, uint32_t count, uint32_t bonus,
                          uint32_t perLevel, uint32_t element, uint32_t save, uint32_t flags, uint32_t param,
                          uint32_t length = 24) {
    Bytes e;
    e.u16(1).u16(length);
    e.u8(range).u8(mode).u16(sides).u16(count).u16(bonus).u32(0).u8(perLevel).u8(element).u16(save).u32(flags).u32(
        param);
    return e;
}

// A heal effect record (header and 18-byte body).
inline Bytes healRecord(uint32_t mode, uint32_t count, uint32_t sides, uint32_t fixed, uint32_t flags, uint32_t cure) {
    Bytes e;
    e.u16(3).u16(18);
    e.u16(mode).u16(count).u16(sides).u16(fixed).u16(0).u32(flags).u32(cure);
    return e;
}

// A stat effect record with its pairs (stat, amount).
inline Bytes statRecord(uint32_t range, uint32_t mode, uint32_t durationKind, uint32_t duration, uint32_t save,
                        uint32_t conditions, std::initializer_list<std::pair<uint32_t, int>> pairs) {
    Bytes e;
    e.u16(2).u16(16 + 4 * static_cast<uint32_t>(pairs.size()));
    e.u8(range).u8(mode).u16(durationKind).u16(duration).u16(save).u32(conditions).u32(
        static_cast<uint32_t>(pairs.size()));
    for (const auto& p : pairs)
        e.u16(p.first).u16(static_cast<uint32_t>(p.second));
    return e;
}

} // namespace actionfile
