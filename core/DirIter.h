// DirIter_C: the entries of a folder, in name order. Copies share one
// listing; an iterator that has passed the last entry equals the end
// iterator.
#pragma once
#include "platform/Files.h"

#include <memory>
#include <string>
#include <vector>

class DirIter_C {
public:
    DirIter_C() = default; // the end iterator
    explicit DirIter_C(const std::string& folder);

    void next();
    const char* name() const;
    bool isDir() const;
    bool atEnd() const { return !state_ || state_->pos >= state_->entries.size(); }
    // True when exactly one of the two is at the end.
    bool operator!=(const DirIter_C& other) const { return atEnd() != other.atEnd(); }

private:
    struct State {
        std::vector<vell::DirEntry> entries;
        size_t pos = 0;
    };
    std::shared_ptr<State> state_;
};
