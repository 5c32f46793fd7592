// MemStream_C: the growable byte buffer every stored record is written to and
// read from. Integers are little-endian. Reads never pass the written size.
#pragma once
#include <cstdint>

class MemStream_C {
public:
    MemStream_C();
    ~MemStream_C();
    MemStream_C(const MemStream_C&) = delete;
    MemStream_C& operator=(const MemStream_C&) = delete;

    bool write(const void* bytes, uint32_t n);
    // False, copying nothing, when fewer than n bytes remain.
    bool read(void* bytes, uint32_t n);

    void reserve(uint32_t needed);
    void clear();
    void release();

    // Appends exactly n bytes read from the descriptor at its position.
    bool readFromFile(int fd, uint32_t n);
    // Writes the whole content to the descriptor at its position.
    bool writeToFile(int fd) const;

    void writeInt32(int32_t v);
    void writeUInt32(uint32_t v);
    void writeInt16(int16_t v);
    void writeUInt16(uint16_t v);
    void writeByte(uint8_t v);
    void writeUInt64(uint64_t v);
    bool readInt32(int32_t& v);
    bool readUInt32(uint32_t& v);
    bool readInt16(int16_t& v);
    bool readUInt16(uint16_t& v);
    bool readByte(uint8_t& v);
    bool readUInt64(uint64_t& v);

    uint32_t capacity() const { return capacity_; }
    uint32_t size() const { return size_; }
    uint32_t readPos() const { return readPos_; }
    void setReadPos(uint32_t pos) { readPos_ = pos > size_ ? size_ : pos; }
    uint32_t remaining() const { return size_ - readPos_; }
    const uint8_t* data() const { return data_; }
    // The bytes at the read position (valid while remaining() > 0).
    const char* current() const { return reinterpret_cast<const char*>(data_) + readPos_; }
    // Moves the read position forward by at most remaining() bytes.
    void skip(uint32_t n) { readPos_ += n > remaining() ? remaining() : n; }

private:
    uint32_t capacity_;
    uint32_t size_;
    uint32_t readPos_;
    uint8_t* data_;
};
