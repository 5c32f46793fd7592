#include "core/TextBuf.h"

#include <cstdio>
#include <cstring>

TextBuf_C::TextBuf_C(char* data, size_t size) : data_(data), size_(data ? size : 0) {
    clear();
}

TextBuf_C& TextBuf_C::discard() {
    static TextBuf_C nothing(nullptr, 0);
    return nothing;
}

void TextBuf_C::clear() {
    len_ = 0;
    cut_ = false;
    if (size_)
        data_[0] = 0;
}

bool TextBuf_C::appendV(const char* format, va_list args) {
    if (!format)
        return true;
    if (size_ == 0) {
        cut_ = true;
        return false;
    }
    const size_t room = size_ - len_;
    const int n = std::vsnprintf(data_ + len_, room, format, args);
    if (n < 0) {
        // A format the runtime cannot render writes nothing.
        data_[len_] = 0;
        cut_ = true;
        return false;
    }
    if (static_cast<size_t>(n) >= room) {
        len_ = size_ - 1;
        cut_ = true;
        return false;
    }
    len_ += static_cast<size_t>(n);
    return true;
}

bool TextBuf_C::set(const char* format, ...) {
    clear();
    va_list args;
    va_start(args, format);
    const bool ok = appendV(format, args);
    va_end(args);
    return ok;
}

bool TextBuf_C::append(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = appendV(format, args);
    va_end(args);
    return ok;
}

bool TextBuf_C::appendText(const char* text) {
    if (!text)
        return true;
    if (size_ == 0) {
        cut_ = true;
        return *text == 0;
    }
    const size_t want = std::strlen(text);
    const size_t room = size_ - 1 - len_;
    const size_t n = want < room ? want : room;
    std::memcpy(data_ + len_, text, n);
    len_ += n;
    data_[len_] = 0;
    if (n < want) {
        cut_ = true;
        return false;
    }
    return true;
}
