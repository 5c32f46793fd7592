#include "core/TagValue.h"

#include "core/MemStream.h"

#include <cstdlib>
#include <new>

namespace {
void* alloc(size_t n) {
    void* p = std::calloc(1, n);
    if (!p)
        throw std::bad_alloc();
    return p;
}
} // namespace

void TagValue_S::setKindInt(int k, int32_t v) {
    if (kind != k || !value) {
        clear();
        value = alloc(4);
        kind = k;
    }
    *static_cast<int32_t*>(value) = v;
}

void TagValue_S::setBool(bool v) {
    if (kind != 4 || !value) {
        clear();
        value = alloc(1);
        kind = 4;
    }
    *static_cast<uint8_t*>(value) = v ? 1 : 0;
}

void TagValue_S::clear() {
    std::free(value);
    value = nullptr;
    kind = 0;
}

TagValue_S& TagValue_S::operator=(const TagValue_S& other) {
    if (this == &other)
        return *this;
    if (other.kind >= 1 && other.kind <= 3)
        setKindInt(other.kind, other.getInt());
    else if (other.kind == 4)
        setBool(other.getBool());
    else
        clear();
    return *this;
}

void TagValue_S::write(MemStream_C& s) const {
    s.writeByte(static_cast<uint8_t>(kind));
    if (kind >= 1 && kind <= 3)
        s.writeInt32(getInt());
    else if (kind == 4)
        s.writeByte(getBool() ? 1 : 0);
}

bool TagValue_S::read(MemStream_C& s) {
    clear();
    uint8_t k;
    if (!s.readByte(k))
        return false;
    if (k >= 1 && k <= 3) {
        int32_t v;
        if (!s.readInt32(v))
            return false;
        setKindInt(k, v);
    } else if (k == 4) {
        uint8_t b;
        if (!s.readByte(b))
            return false;
        setBool(b != 0);
    }
    return true;
}

bool TagValue_S::writeFile(FILE* f) const {
    MemStream_C s;
    write(s);
    return std::fwrite(s.data(), 1, s.size(), f) == s.size();
}

bool TagValue_S::readFile(FILE* f) {
    clear();
    int k = std::fgetc(f);
    if (k == EOF)
        return false;
    if (k >= 1 && k <= 3) {
        unsigned char b[4];
        if (std::fread(b, 1, 4, f) != 4)
            return false;
        setKindInt(k, static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24));
    } else if (k == 4) {
        int b = std::fgetc(f);
        if (b == EOF)
            return false;
        setBool(b != 0);
    }
    return true;
}
