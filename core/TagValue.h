// TagValue_S: the value of a keyed list entry. Kinds: 0 empty, 1..3 a 32-bit
// value, 4 a one-byte truth value. Stored as a kind byte then the payload.
#pragma once
#include <cstdint>
#include <cstdio>

class MemStream_C;

struct TagValue_S {
    TagValue_S() = default;
    TagValue_S(const TagValue_S& other) { *this = other; }
    ~TagValue_S() { clear(); }

    int32_t getInt() const { return (kind >= 1 && kind <= 3 && value) ? *static_cast<int32_t*>(value) : 0; }
    bool getBool() const { return kind == 4 && value && *static_cast<uint8_t*>(value) != 0; }
    void setInt(int32_t v) { setKindInt(1, v); }
    void setInt2(int32_t v) { setKindInt(2, v); }
    void setKindInt(int k, int32_t v);
    void setBool(bool v);
    void clear();
    TagValue_S& operator=(const TagValue_S& other);

    void write(MemStream_C& s) const;
    // False when the stream ends early (the value is then empty).
    bool read(MemStream_C& s);
    bool writeFile(FILE* f) const;
    bool readFile(FILE* f);

    int kind = 0;
    void* value = nullptr;
};
