// TextBuf_C: a text buffer of the caller's together with its size. Narration
// and every other text the game builds piece by piece goes through set and
// append, which never write past the end: a text too long for the buffer is
// cut, stays terminated, and the buffer remembers that it was cut.
//
// Life cycle: the owner declares the characters (a member array, a local
// array) and wraps them once; the wrapper is passed by pointer to whoever
// writes (an action's use record keeps the pointer, never a copy of the
// characters). The wrapper holds no memory of its own.
#pragma once
#include <cstdarg>
#include <cstddef>

#if defined(__GNUC__)
#define VELL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define VELL_PRINTF_FORMAT(fmt, args)
#endif

class TextBuf_C {
public:
    // Wraps `size` bytes at `data` and empties them. Null data or size 0
    // gives a buffer that holds nothing (every write is cut).
    TextBuf_C(char* data, size_t size);
    TextBuf_C(const TextBuf_C&) = delete;
    TextBuf_C& operator=(const TextBuf_C&) = delete;

    // Empties the text and forgets an earlier cut.
    void clear();
    // Replaces the text with printf-formatted text. False when it was cut.
    // No argument may point into this buffer's own characters.
    bool set(const char* format, ...) VELL_PRINTF_FORMAT(2, 3);
    // Adds printf-formatted text after what is there. False when it was cut
    // (what fits is kept). No argument may point into this buffer.
    bool append(const char* format, ...) VELL_PRINTF_FORMAT(2, 3);
    // Adds plain text (no formatting). False when it was cut.
    bool appendText(const char* text);

    // A buffer that keeps nothing, for uses that want no narration: every
    // write to it is cut.
    static TextBuf_C& discard();

    const char* c_str() const { return size_ ? data_ : ""; }
    size_t length() const { return len_; }
    // The most characters it holds, without the terminator.
    size_t capacity() const { return size_ ? size_ - 1 : 0; }
    bool empty() const { return len_ == 0; }
    // True once a write since the last clear or set did not fit.
    bool wasCut() const { return cut_; }

private:
    bool appendV(const char* format, va_list args);

    char* data_;
    size_t size_;
    size_t len_ = 0;
    bool cut_ = false;
};
