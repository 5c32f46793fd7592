#include "core/MemStream.h"

#include "platform/FileIO.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

MemStream_C::MemStream_C() : capacity_(0), size_(0), readPos_(0), data_(nullptr) {}

MemStream_C::~MemStream_C() { std::free(data_); }

void MemStream_C::reserve(uint32_t needed) {
    // A stream never holds more than 2 GB: a bigger need is a corrupt
    // length, never a real record.
    if (needed > INT32_MAX)
        throw std::bad_alloc();
    uint32_t stepSize = needed <= 2000 ? 2000 : needed + 2000;
    if (capacity_ == 0) {
        uint8_t* p = static_cast<uint8_t*>(std::malloc(stepSize));
        if (!p)
            throw std::bad_alloc();
        data_ = p;
        capacity_ = stepSize;
    } else if (static_cast<uint64_t>(capacity_) < static_cast<uint64_t>(needed) + size_) {
        uint8_t* p = static_cast<uint8_t*>(std::realloc(data_, capacity_ + stepSize));
        if (!p)
            throw std::bad_alloc();
        data_ = p;
        capacity_ += stepSize;
    }
}

bool MemStream_C::write(const void* bytes, uint32_t n) {
    if (n == 0)
        return true;
    if (n > INT32_MAX - size_)
        throw std::bad_alloc();
    if (capacity_ < size_ + n)
        reserve(size_ + n);
    std::memcpy(data_ + size_, bytes, n);
    size_ += n;
    return true;
}

bool MemStream_C::read(void* bytes, uint32_t n) {
    if (remaining() < n)
        return false;
    if (n)
        std::memcpy(bytes, data_ + readPos_, n);
    readPos_ += n;
    return true;
}

void MemStream_C::clear() {
    size_ = 0;
    readPos_ = 0;
}

void MemStream_C::release() {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
    readPos_ = 0;
}

bool MemStream_C::readFromFile(int fd, uint32_t n) {
    if (n == 0)
        return true;
    if (n > INT32_MAX - size_)
        return false;
    reserve(size_ + n);
    uint32_t done = 0;
    while (done < n) {
        long got = vell::ioRead(fd, data_ + size_ + done, n - done);
        if (got <= 0) // error (EINTR is retried inside ioRead) or end of file
            break;
        done += static_cast<uint32_t>(got);
    }
    size_ += done;
    return done == n;
}

bool MemStream_C::writeToFile(int fd) const {
    uint32_t done = 0;
    while (done < size_) {
        long put = vell::ioWrite(fd, data_ + done, size_ - done);
        if (put <= 0)
            return false;
        done += static_cast<uint32_t>(put);
    }
    return true;
}

void MemStream_C::writeInt32(int32_t v) { writeUInt32(static_cast<uint32_t>(v)); }

void MemStream_C::writeUInt32(uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    write(b, 4);
}

void MemStream_C::writeInt16(int16_t v) { writeUInt16(static_cast<uint16_t>(v)); }

void MemStream_C::writeUInt16(uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    write(b, 2);
}

void MemStream_C::writeByte(uint8_t v) { write(&v, 1); }

void MemStream_C::writeUInt64(uint64_t v) {
    writeUInt32(static_cast<uint32_t>(v));
    writeUInt32(static_cast<uint32_t>(v >> 32));
}

bool MemStream_C::readInt32(int32_t& v) {
    uint32_t u;
    if (!readUInt32(u))
        return false;
    v = static_cast<int32_t>(u);
    return true;
}

bool MemStream_C::readUInt32(uint32_t& v) {
    uint8_t b[4];
    if (!read(b, 4))
        return false;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

bool MemStream_C::readInt16(int16_t& v) {
    uint16_t u;
    if (!readUInt16(u))
        return false;
    v = static_cast<int16_t>(u);
    return true;
}

bool MemStream_C::readUInt16(uint16_t& v) {
    uint8_t b[2];
    if (!read(b, 2))
        return false;
    v = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool MemStream_C::readByte(uint8_t& v) { return read(&v, 1); }

bool MemStream_C::readUInt64(uint64_t& v) {
    uint32_t lo, hi;
    if (remaining() < 8 || !readUInt32(lo) || !readUInt32(hi))
        return false;
    v = uint64_t(hi) << 32 | lo;
    return true;
}
