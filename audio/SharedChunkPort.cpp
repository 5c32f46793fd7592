#include "audio/SharedChunkPort.h"

AudioChunk_S* SharedChunkPort_C::loadChunk(const char* path)
{
    const std::string key = path ? path : "";
    auto it = byPath_.find(key);
    if (it != byPath_.end()) {
        ++it->second.users;
        return it->second.chunk;
    }
    AudioChunk_S* chunk = behind_->loadChunk(path);
    if (!chunk)
        return nullptr;
    byPath_[key] = Entry{chunk, 1};
    pathOf_[chunk] = key;
    return chunk;
}

void SharedChunkPort_C::freeChunk(AudioChunk_S* chunk)
{
    auto p = pathOf_.find(chunk);
    if (p == pathOf_.end()) {
        behind_->freeChunk(chunk);
        return;
    }
    auto it = byPath_.find(p->second);
    if (--it->second.users > 0)
        return;
    behind_->freeChunk(chunk);
    byPath_.erase(it);
    pathOf_.erase(p);
}
