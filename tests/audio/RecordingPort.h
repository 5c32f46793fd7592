// A stand-in for the mixer that records what the sound director asks of it,
// and a stand-in world with a settable time of day and song fields. A file
// "loads" when its name does not contain "missing"; every loaded music or
// sound is a distinct handle that names its file.
#pragma once
#include "audio/AudioPort.h"
#include "audio/MasterAudio.h"
#include "core/GameConfig.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vell_test {

class RecordingPort : public AudioPort_C {
public:
    bool open = true;
    bool playing = false;     // what musicPlaying() answers
    int reserved = 2;         // what reserveChannels grants
    std::vector<std::string> calls;
    std::set<std::string> loadedNow; // handles not yet freed
    std::map<int, int> volume;       // channel -> last volume
    std::map<int, std::string> channel; // channel -> sound looping or played last
    std::string music;                   // the music playing ("" none)
    bool musicLoops = false;
    int nextChannel = 2;

    ~RecordingPort() override = default;

    static std::string base(const char* path) {
        std::string p = path ? path : "";
        const size_t slash = p.rfind('/');
        return slash == std::string::npos ? p : p.substr(slash + 1);
    }
    std::string nameOf(const void* h) const {
        auto it = names_.find(h);
        return it == names_.end() ? "?" : it->second;
    }

    bool isOpen() const override { return open; }
    AudioMusic_S* loadMusic(const char* path) override { return reinterpret_cast<AudioMusic_S*>(load(path)); }
    void freeMusic(AudioMusic_S* m) override { unload(m); }
    AudioChunk_S* loadChunk(const char* path) override { return reinterpret_cast<AudioChunk_S*>(load(path)); }
    void freeChunk(AudioChunk_S* c) override { unload(c); }
    void playMusic(AudioMusic_S* m, bool loop) override {
        music = nameOf(m);
        musicLoops = loop;
        playing = true;
        calls.push_back("music " + music + (loop ? " loop" : " once"));
    }
    void haltMusic() override {
        music.clear();
        playing = false;
        calls.push_back("halt music");
    }
    bool musicPlaying() const override { return playing; }
    void setMusicVolume(int v) override { calls.push_back("music volume " + std::to_string(v)); }
    void fadeOutMusic(int ms) override { calls.push_back("fade out music " + std::to_string(ms)); }
    int playChunk(int ch, AudioChunk_S* c, bool loop) override {
        const int used = ch >= 0 ? ch : nextChannel;
        channel[used] = nameOf(c);
        calls.push_back("play " + std::to_string(ch) + " " + nameOf(c) + (loop ? " loop" : ""));
        return used;
    }
    void haltChannel(int ch) override {
        if (ch < 0)
            channel.clear();
        else
            channel.erase(ch);
        calls.push_back("halt " + std::to_string(ch));
    }
    void setVolume(int ch, int v) override {
        volume[ch] = v;
        calls.push_back("volume " + std::to_string(ch) + " " + std::to_string(v));
    }
    int reserveChannels(int n) override {
        calls.push_back("reserve " + std::to_string(n));
        return reserved;
    }
    int startTimer(int ms, TimerKind kind) override {
        const int id = nextTimer_++;
        timers[id] = kind;
        calls.push_back(std::string(kind == TIMER_AMBIENT ? "ambient" : "intro") + " timer " +
                        (kind == TIMER_INTRO ? std::to_string(ms) : std::string("1-3 s")));
        return id;
    }
    void stopTimer(int id) override {
        calls.push_back("stop timer " + std::string(timers[id] == TIMER_AMBIENT ? "ambient" : "intro"));
        timers.erase(id);
    }
    std::map<int, TimerKind> timers;

    // The calls since the last take, and forgets them.
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }

private:
    void* load(const char* path) {
        const std::string name = base(path);
        if (name.find("missing") != std::string::npos)
            return nullptr;
        auto h = std::make_unique<char>('x');
        void* p = h.get();
        handles_.push_back(std::move(h));
        names_[p] = name;
        loadedNow.insert(name + "#" + std::to_string(reinterpret_cast<uintptr_t>(p)));
        return p;
    }
    void unload(void* p) {
        if (!p)
            return;
        loadedNow.erase(names_[p] + "#" + std::to_string(reinterpret_cast<uintptr_t>(p)));
    }
    std::vector<std::unique_ptr<char>> handles_;
    std::map<const void*, std::string> names_;
    int nextTimer_ = 1;
};

class TestWorld : public AudioWorld_C {
public:
    bool loaded = true;
    unsigned hour = 12, minute = 0;
    int32_t song = 0;
    uint32_t parts = 0;
    bool timeOfDay(unsigned& h, unsigned& m) const override {
        h = hour;
        m = minute;
        return loaded;
    }
    int32_t songId() const override { return song; }
    void setSong(int32_t id, uint32_t p) override {
        song = id;
        parts = p;
    }
};

// The game's own sound director heard on a recording stand-in, with sound
// and music switched on, for as long as this lives: the port, the world and
// the settings are put back at the end (the configuration is released).
class GameAudioOnStand {
public:
    GameAudioOnStand(RecordingPort& port, AudioWorld_C& world)
        : oldWorld_(&maserAudio.world()), sound_(gameConfig.sound), music_(gameConfig.audioMusic) {
        gameConfig.sound = true;
        gameConfig.audioMusic = true;
        maserAudio.usePort(port);
        maserAudio.setWorld(world);
    }
    ~GameAudioOnStand() {
        maserAudio.usePort(gameAudioPort());
        maserAudio.setWorld(*oldWorld_);
        gameConfig.sound = sound_;
        gameConfig.audioMusic = music_;
    }
    GameAudioOnStand(const GameAudioOnStand&) = delete;
    GameAudioOnStand& operator=(const GameAudioOnStand&) = delete;

private:
    AudioWorld_C* oldWorld_;
    bool sound_, music_;
};

} // namespace vell_test
