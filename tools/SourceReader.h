// SourceReader_C: reads the line-based readable sources of the data tools:
// '#' starts a comment, blank lines are skipped, each line begins with a
// keyword. Errors are printed as "file:line: text" and remembered.
// Header only: every tools/*.cpp is a program of its own.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class SourceReader_C {
public:
    explicit SourceReader_C(const std::string& path) : path_(path), in_(path) {}

    bool opened() const { return static_cast<bool>(in_); }
    // Moves to the next line with a keyword; false at the end.
    bool next();
    const std::string& keyword() const { return keyword_; }
    // The rest of the line after the keyword, trimmed.
    std::string rest() const;
    // The words after the keyword.
    std::vector<std::string> words() const;
    // The numbers after the keyword; exactly n of them (any count for -1).
    bool numbers(std::vector<int64_t>& out, int n) const;
    void error(const std::string& text);
    bool ok() const { return ok_; }
    int line() const { return line_; }

    // A decimal or 0x-hex number filling the whole word.
    static bool number(const std::string& word, int64_t& out);

private:
    std::string path_;
    std::ifstream in_;
    std::string keyword_;
    std::string rest_;
    int line_ = 0;
    bool ok_ = true;
};

inline bool SourceReader_C::number(const std::string& word, int64_t& out) {
    if (word.empty())
        return false;
    char* end = nullptr;
    out = std::strtoll(word.c_str(), &end, 0);
    return *end == 0;
}

inline bool SourceReader_C::next() {
    std::string text;
    while (std::getline(in_, text)) {
        ++line_;
        const size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        std::istringstream words(text);
        if (!(words >> keyword_))
            continue;
        std::getline(words, rest_);
        return true;
    }
    return false;
}

inline std::string SourceReader_C::rest() const {
    const size_t a = rest_.find_first_not_of(" \t");
    const size_t b = rest_.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : rest_.substr(a, b - a + 1);
}

inline std::vector<std::string> SourceReader_C::words() const {
    std::istringstream in(rest_);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

inline bool SourceReader_C::numbers(std::vector<int64_t>& out, int n) const {
    out.clear();
    for (const std::string& w : words()) {
        int64_t v = 0;
        if (!number(w, v))
            return false;
        out.push_back(v);
    }
    return n < 0 || out.size() == static_cast<size_t>(n);
}

inline void SourceReader_C::error(const std::string& text) {
    std::fprintf(stderr, "%s:%d: %s\n", path_.c_str(), line_, text.c_str());
    ok_ = false;
}
