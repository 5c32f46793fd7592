// The sound director's text files (the audio configuration, sound packs,
// bard song files): read line by line with every line numbered, comment
// lines skipped, and each line split into words. A line that is too long is
// refused with a message naming the file and the line, never cut in two.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

class AudioTextFile_C {
public:
    // The longest line taken, without its line end.
    static constexpr size_t kMaxLine = 249;

    // Which lines next() passes over: comments ('#' first) and empty lines,
    // or comments only (an empty line then comes back with no words).
    enum Skip { SKIP_COMMENTS_AND_EMPTY, SKIP_COMMENTS };

    explicit AudioTextFile_C(const std::string& path, Skip skip = SKIP_COMMENTS_AND_EMPTY);
    ~AudioTextFile_C();
    AudioTextFile_C(const AudioTextFile_C&) = delete;
    AudioTextFile_C& operator=(const AudioTextFile_C&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    // The number of the line last returned (from 1).
    int lineNumber() const { return line_; }

    // The next line's words (split at blanks and tabs); false at the end of
    // the file. A last line without a line break counts. Lines longer than
    // kMaxLine are refused (a message) and passed over.
    bool next(std::vector<std::string>& words);

    // "ERROR: <file> line <n>: <text>" on the error stream.
    void refuse(const std::string& what) const;

private:
    std::string path_;
    FILE* file_ = nullptr;
    Skip skip_;
    int line_ = 0;
};

// True when the word, in lower case, begins with the keyword (keywords are
// compared by their beginning: "randomly" is "rand", "TIMED" is "time").
bool isKeyword(const std::string& word, const char* keyword);

// A whole word read as a decimal integer within [lo, hi]; false (out
// untouched) for anything else.
bool parseAudioInt(const std::string& word, long lo, long hi, int& out);
