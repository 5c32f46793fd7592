// RefStr_C: the game's shared, reference-counted string. Copies share one
// heap block {count, characters, NUL}; appending to a shared block first makes
// a private copy. Stored as int32 length then the characters (no NUL).
#pragma once
#include <cstdint>
#include <cstdio>

class MemStream_C;

class RefStr_C {
public:
    RefStr_C();
    RefStr_C(const char* text);
    RefStr_C(const RefStr_C& other);
    ~RefStr_C();

    const char* c_str() const { return block_ + sizeof(int32_t); }
    uint32_t length() const;
    bool empty() const { return c_str()[0] == 0; }

    RefStr_C& operator=(const char* text);
    RefStr_C& operator=(const RefStr_C& other);
    RefStr_C& operator+=(const char* text);
    RefStr_C& operator+=(const RefStr_C& other);
    RefStr_C operator+(const char* text) const;

    bool operator==(const RefStr_C& other) const;
    bool operator!=(const RefStr_C& other) const { return !(*this == other); }
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }

    // The block's reference count (tests and sharing checks).
    int32_t refCount() const;
    bool sharesWith(const RefStr_C& other) const { return block_ == other.block_; }

    void write(MemStream_C& s) const;
    // False (and the string empty) when the stream ends early or the length
    // is negative or longer than what remains.
    bool read(MemStream_C& s);
    bool writeFile(FILE* f) const;
    bool readFile(FILE* f);

private:
    static char* makeBlock(const char* text, uint32_t n);
    void release();

    char* block_;
};
