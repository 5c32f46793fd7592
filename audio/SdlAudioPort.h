// SdlAudioPort_C: the sound director's port on SDL_mixer and the game's
// timers (platform/Timers.h). Timer callbacks run on the timer thread and only hand the work to the
// main thread (core/TimerWork.h); while one such hand-over waits in the
// queue, the same timer pushes no second one (a hand-over that a loop
// dropped is given up after a second), so a busy main thread never finds
// the queue filled with timer work.
#pragma once
#include "audio/AudioPort.h"

#include <map>

class SdlAudioPort_C : public AudioPort_C {
public:
    // `work` runs on the main thread for every firing of a timer, with its kind.
    using WorkFn = void (*)(int kind);
    explicit SdlAudioPort_C(WorkFn work);
    ~SdlAudioPort_C() override;

    bool isOpen() const override;
    AudioMusic_S* loadMusic(const char* path) override;
    void freeMusic(AudioMusic_S* music) override;
    AudioChunk_S* loadChunk(const char* path) override;
    void freeChunk(AudioChunk_S* chunk) override;
    void playMusic(AudioMusic_S* music, bool loop) override;
    void haltMusic() override;
    bool musicPlaying() const override;
    void setMusicVolume(int volume) override;
    void fadeOutMusic(int ms) override;
    int playChunk(int channel, AudioChunk_S* chunk, bool loop) override;
    void haltChannel(int channel) override;
    void setVolume(int channel, int volume) override;
    int reserveChannels(int count) override;
    int startTimer(int ms, TimerKind kind) override;
    void stopTimer(int id) override;

private:
    std::map<int, int> timers_;   // the port's ids: the timers' ids
    int nextTimer_ = 1;
};
