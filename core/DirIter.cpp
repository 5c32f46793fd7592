#include "core/DirIter.h"

DirIter_C::DirIter_C(const std::string& folder) {
    auto s = std::make_shared<State>();
    s->entries = vell::listDir(folder);
    if (!s->entries.empty())
        state_ = s;
}

void DirIter_C::next() {
    if (atEnd())
        return;
    if (++state_->pos >= state_->entries.size())
        state_.reset();
}

const char* DirIter_C::name() const { return atEnd() ? "" : state_->entries[state_->pos].name.c_str(); }

bool DirIter_C::isDir() const { return !atEnd() && state_->entries[state_->pos].isDir; }
