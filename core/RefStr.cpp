#include "core/RefStr.h"

#include "core/MemStream.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
int32_t& countOf(char* block) { return *reinterpret_cast<int32_t*>(block); }
}

char* RefStr_C::makeBlock(const char* text, uint32_t n) {
    char* b = static_cast<char*>(std::malloc(n + 8));
    if (!b)
        throw std::bad_alloc();
    countOf(b) = 1;
    if (n)
        std::memcpy(b + 4, text, n);
    b[4 + n] = 0;
    return b;
}

RefStr_C::RefStr_C() : block_(makeBlock("", 0)) {}

RefStr_C::RefStr_C(const char* text)
    : block_(makeBlock(text ? text : "", text ? static_cast<uint32_t>(std::strlen(text)) : 0)) {}

RefStr_C::RefStr_C(const RefStr_C& other) : block_(other.block_) { ++countOf(block_); }

RefStr_C::~RefStr_C() { release(); }

void RefStr_C::release() {
    if (--countOf(block_) == 0)
        std::free(block_);
    block_ = nullptr;
}

uint32_t RefStr_C::length() const { return static_cast<uint32_t>(std::strlen(c_str())); }

int32_t RefStr_C::refCount() const { return countOf(block_); }

RefStr_C& RefStr_C::operator=(const char* text) {
    char* fresh = makeBlock(text ? text : "", text ? static_cast<uint32_t>(std::strlen(text)) : 0);
    release();
    block_ = fresh;
    return *this;
}

RefStr_C& RefStr_C::operator=(const RefStr_C& other) {
    if (block_ == other.block_)
        return *this;
    ++countOf(other.block_);
    release();
    block_ = other.block_;
    return *this;
}

RefStr_C& RefStr_C::operator+=(const char* text) {
    if (!text)
        return *this;
    uint32_t oldLen = length();
    uint32_t addLen = static_cast<uint32_t>(std::strlen(text));
    // text may point into our own block: copy it before touching the block.
    char* added = static_cast<char*>(std::malloc(addLen + 1));
    if (!added)
        throw std::bad_alloc();
    std::memcpy(added, text, addLen + 1);
    if (countOf(block_) == 1) {
        char* grown = static_cast<char*>(std::realloc(block_, oldLen + addLen + 8));
        if (!grown) {
            std::free(added);
            throw std::bad_alloc();
        }
        block_ = grown;
    } else {
        char* priv = makeBlock(c_str(), oldLen);
        char* grown = static_cast<char*>(std::realloc(priv, oldLen + addLen + 8));
        if (!grown) {
            std::free(priv);
            std::free(added);
            throw std::bad_alloc();
        }
        --countOf(block_);
        block_ = grown;
    }
    std::memcpy(block_ + 4 + oldLen, added, addLen + 1);
    std::free(added);
    return *this;
}

RefStr_C& RefStr_C::operator+=(const RefStr_C& other) {
    RefStr_C keep(other); // other may be *this
    return *this += keep.c_str();
}

RefStr_C RefStr_C::operator+(const char* text) const {
    RefStr_C out(c_str());
    out += text;
    return out;
}

bool RefStr_C::operator==(const RefStr_C& other) const {
    return std::strcmp(c_str(), other.c_str()) == 0;
}

bool RefStr_C::operator==(const char* text) const {
    return std::strcmp(c_str(), text ? text : "") == 0;
}

void RefStr_C::write(MemStream_C& s) const {
    int32_t n = static_cast<int32_t>(length());
    s.writeInt32(n);
    s.write(c_str(), static_cast<uint32_t>(n));
}

bool RefStr_C::read(MemStream_C& s) {
    int32_t n = 0;
    if (!s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining()) {
        *this = "";
        return false;
    }
    char* b = makeBlock(s.current(), static_cast<uint32_t>(n));
    s.skip(static_cast<uint32_t>(n));
    release();
    block_ = b;
    return true;
}

bool RefStr_C::writeFile(FILE* f) const {
    uint32_t n = length();
    unsigned char len[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                            static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
    return std::fwrite(len, 1, 4, f) == 4 && std::fwrite(c_str(), 1, n, f) == n;
}

bool RefStr_C::readFile(FILE* f) {
    unsigned char len[4];
    if (std::fread(len, 1, 4, f) != 4) {
        *this = "";
        return false;
    }
    int32_t n = static_cast<int32_t>(len[0] | (len[1] << 8) | (len[2] << 16) | (uint32_t(len[3]) << 24));
    // A string in a file is never longer than this; anything else is corrupt.
    if (n < 0 || n > (1 << 24)) {
        *this = "";
        return false;
    }
    char* b = makeBlock("", 0);
    char* grown = static_cast<char*>(std::realloc(b, static_cast<size_t>(n) + 8));
    if (!grown) {
        std::free(b);
        throw std::bad_alloc();
    }
    b = grown;
    if (std::fread(b + 4, 1, static_cast<size_t>(n), f) != static_cast<size_t>(n)) {
        std::free(b);
        *this = "";
        return false;
    }
    b[4 + n] = 0;
    release();
    block_ = b;
    return true;
}
