#include "audio/SdlAudioPort.h"

#include "core/TimerWork.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "platform/Timers.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>

namespace {

SdlAudioPort_C::WorkFn workFn = nullptr;

// SDL ticks at which a hand-over of each timer kind was pushed; 0 none.
std::atomic<uint32_t> pendingSince[3];

constexpr uint32_t kGiveUpMs = 1000;

Mix_Music* mus(AudioMusic_S* m) { return reinterpret_cast<Mix_Music*>(m); }
Mix_Chunk* chk(AudioChunk_S* c) { return reinterpret_cast<Mix_Chunk*>(c); }

void runWork(intptr_t kind)
{
    if (kind > 0 && kind < 3)
        pendingSince[kind].store(0);
    if (workFn)
        workFn(static_cast<int>(kind));
}

// On the timer thread: hands the work over, nothing else.
uint32_t timerCallback(uint32_t interval, void* param)
{
    const intptr_t kind = reinterpret_cast<intptr_t>(param);
    const uint32_t now = SDL_GetTicks() | 1u;
    const uint32_t since = pendingSince[kind].load();
    if (since == 0 || now - since > kGiveUpMs) {
        pendingSince[kind].store(now);
        if (!vell::pushTimerWork(runWork, kind))
            pendingSince[kind].store(0);
    }
    if (kind == AudioPort_C::TIMER_AMBIENT)
        return static_cast<uint32_t>(vell::cosmeticRand() % 2000 + 1000);
    return interval;
}

} // namespace

SdlAudioPort_C::SdlAudioPort_C(WorkFn work) { workFn = work; }

SdlAudioPort_C::~SdlAudioPort_C()
{
    for (auto& t : timers_)
        vell::removeTimer(t.second);
    timers_.clear();
}

bool SdlAudioPort_C::isOpen() const
{
    int freq = 0, channels = 0;
    Uint16 format = 0;
    return Mix_QuerySpec(&freq, &format, &channels) != 0;
}

AudioMusic_S* SdlAudioPort_C::loadMusic(const char* path)
{
    return reinterpret_cast<AudioMusic_S*>(Mix_LoadMUS(vell::resolvePath(path ? path : "").c_str()));
}

void SdlAudioPort_C::freeMusic(AudioMusic_S* music)
{
    if (music)
        Mix_FreeMusic(mus(music));
}

AudioChunk_S* SdlAudioPort_C::loadChunk(const char* path)
{
    SDL_RWops* rw = SDL_RWFromFile(vell::resolvePath(path ? path : "").c_str(), "rb");
    if (!rw)
        return nullptr;
    return reinterpret_cast<AudioChunk_S*>(Mix_LoadWAV_RW(rw, 1));
}

void SdlAudioPort_C::freeChunk(AudioChunk_S* chunk)
{
    if (chunk)
        Mix_FreeChunk(chk(chunk));
}

void SdlAudioPort_C::playMusic(AudioMusic_S* music, bool loop)
{
    if (music)
        Mix_PlayMusic(mus(music), loop ? -1 : 1);
}

void SdlAudioPort_C::haltMusic() { Mix_HaltMusic(); }

bool SdlAudioPort_C::musicPlaying() const { return Mix_PlayingMusic() != 0; }

void SdlAudioPort_C::setMusicVolume(int volume) { Mix_VolumeMusic(volume); }

void SdlAudioPort_C::fadeOutMusic(int ms) { Mix_FadeOutMusic(ms); }

int SdlAudioPort_C::playChunk(int channel, AudioChunk_S* chunk, bool loop)
{
    if (!chunk)
        return -1;
    return Mix_PlayChannel(channel, chk(chunk), loop ? -1 : 0);
}

void SdlAudioPort_C::haltChannel(int channel) { Mix_HaltChannel(channel); }

void SdlAudioPort_C::setVolume(int channel, int volume) { Mix_Volume(channel, volume); }

int SdlAudioPort_C::reserveChannels(int count) { return Mix_ReserveChannels(count); }

int SdlAudioPort_C::startTimer(int ms, TimerKind kind)
{
    const int t = vell::addTimer(static_cast<uint32_t>(ms), timerCallback, reinterpret_cast<void*>(intptr_t(kind)));
    if (!t)
        return 0;
    const int id = nextTimer_++;
    timers_[id] = t;
    return id;
}

void SdlAudioPort_C::stopTimer(int id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    vell::removeTimer(it->second);
    timers_.erase(it);
}
