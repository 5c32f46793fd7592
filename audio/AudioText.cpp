#include "audio/AudioText.h"

#include "platform/Files.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

AudioTextFile_C::AudioTextFile_C(const std::string& path, Skip skip) : path_(path), skip_(skip)
{
    file_ = vell::openFile(path, "r");
}

AudioTextFile_C::~AudioTextFile_C()
{
    if (file_)
        std::fclose(file_);
}

bool AudioTextFile_C::next(std::vector<std::string>& words)
{
    words.clear();
    if (!file_)
        return false;
    std::string text;
    for (;;) {
        text.clear();
        int c = std::fgetc(file_);
        if (c == EOF)
            return false;
        bool tooLong = false;
        while (c != EOF && c != '\n') {
            if (text.size() <= kMaxLine)
                text.push_back(static_cast<char>(c));
            else
                tooLong = true;
            c = std::fgetc(file_);
        }
        ++line_;
        vell::stripLineEnd(text);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (tooLong || text.size() > kMaxLine) {
            refuse("the line is longer than " + std::to_string(kMaxLine) + " characters");
            continue;
        }
        if (!text.empty() && text[0] == '#')
            continue;
        if (text.empty() && skip_ == SKIP_COMMENTS_AND_EMPTY)
            continue;
        size_t i = 0;
        while (i < text.size()) {
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
                ++i;
            size_t j = i;
            while (j < text.size() && text[j] != ' ' && text[j] != '\t')
                ++j;
            if (j > i)
                words.push_back(text.substr(i, j - i));
            i = j;
        }
        if (words.empty() && skip_ == SKIP_COMMENTS_AND_EMPTY)
            continue;
        return true;
    }
}

void AudioTextFile_C::refuse(const std::string& what) const
{
    std::fprintf(stderr, "ERROR: %s line %d: %s\n", path_.c_str(), line_, what.c_str());
}

bool parseAudioInt(const std::string& word, long lo, long hi, int& out)
{
    if (word.empty() || word.size() > 12)
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || !end || *end != 0 || v < lo || v > hi)
        return false;
    out = static_cast<int>(v);
    return true;
}

bool isKeyword(const std::string& word, const char* keyword)
{
    size_t i = 0;
    for (; keyword[i]; ++i)
        if (i >= word.size() || std::tolower(static_cast<unsigned char>(word[i])) != keyword[i])
            return false;
    return true;
}
