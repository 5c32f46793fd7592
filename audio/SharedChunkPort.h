// SharedChunkPort_C: a port in front of another that loads each sound file
// once. Packs that name the same file share its chunk, which is freed with
// its last user; everything else goes straight to the port behind.
#pragma once
#include "audio/AudioPort.h"

#include <map>
#include <string>

class SharedChunkPort_C : public AudioPort_C {
public:
    explicit SharedChunkPort_C(AudioPort_C& behind) : behind_(&behind) {}
    // Another port behind this one; only while no sound is loaded through it.
    void setBehind(AudioPort_C& behind) { behind_ = &behind; }

    bool isOpen() const override { return behind_->isOpen(); }
    AudioMusic_S* loadMusic(const char* path) override { return behind_->loadMusic(path); }
    void freeMusic(AudioMusic_S* music) override { behind_->freeMusic(music); }
    AudioChunk_S* loadChunk(const char* path) override;
    void freeChunk(AudioChunk_S* chunk) override;
    void playMusic(AudioMusic_S* music, bool loop) override { behind_->playMusic(music, loop); }
    void haltMusic() override { behind_->haltMusic(); }
    bool musicPlaying() const override { return behind_->musicPlaying(); }
    void setMusicVolume(int volume) override { behind_->setMusicVolume(volume); }
    void fadeOutMusic(int ms) override { behind_->fadeOutMusic(ms); }
    int playChunk(int channel, AudioChunk_S* chunk, bool loop) override
    {
        return behind_->playChunk(channel, chunk, loop);
    }
    void haltChannel(int channel) override { behind_->haltChannel(channel); }
    void setVolume(int channel, int volume) override { behind_->setVolume(channel, volume); }
    int reserveChannels(int count) override { return behind_->reserveChannels(count); }
    int startTimer(int ms, TimerKind kind) override { return behind_->startTimer(ms, kind); }
    void stopTimer(int id) override { behind_->stopTimer(id); }

    // Sound files loaded now.
    size_t loadedCount() const { return byPath_.size(); }

private:
    struct Entry {
        AudioChunk_S* chunk = nullptr;
        int users = 0;
    };
    AudioPort_C* behind_;
    std::map<std::string, Entry> byPath_;
    std::map<AudioChunk_S*, std::string> pathOf_;
};
