// AudioPort_C: everything the sound director asks of the mixer and of SDL's
// timers, behind one seam. The game runs on SdlAudioPort_C (SDL_mixer and
// SDL timers); tests put a recording stand-in in its place.
//
// Music and sounds are handed around as opaque pointers: the director only
// ever compares them, passes them back, and frees what it loaded.
// Every call comes from the main thread.
#pragma once

struct AudioMusic_S; // a loaded piece of music
struct AudioChunk_S; // a loaded sound

class AudioPort_C {
public:
    // The director's two timers.
    enum TimerKind { TIMER_AMBIENT = 1, TIMER_INTRO = 2 };

    virtual ~AudioPort_C() = default;

    // True when the sound device is open for this run.
    virtual bool isOpen() const = 0;

    // Loads music (Ogg, MP3, WAV) or a sound; null when the file is missing
    // or cannot be decoded.
    virtual AudioMusic_S* loadMusic(const char* path) = 0;
    virtual void freeMusic(AudioMusic_S* music) = 0;
    virtual AudioChunk_S* loadChunk(const char* path) = 0;
    virtual void freeChunk(AudioChunk_S* chunk) = 0;

    // Plays music once or looping without end, in place of what plays.
    virtual void playMusic(AudioMusic_S* music, bool loop) = 0;
    virtual void haltMusic() = 0;
    virtual bool musicPlaying() const = 0;
    // Volume 0..128 of the music.
    virtual void setMusicVolume(int volume) = 0;
    // Fades the music out over `ms` milliseconds, then it stops.
    virtual void fadeOutMusic(int ms) = 0;

    // Plays a sound on a channel (-1: the first free channel that is not
    // reserved), once or looping without end. The channel, or -1 when none
    // was free.
    virtual int playChunk(int channel, AudioChunk_S* chunk, bool loop) = 0;
    // Stops one channel, or every channel for -1.
    virtual void haltChannel(int channel) = 0;
    // Volume 0..128 of one channel.
    virtual void setVolume(int channel, int volume) = 0;
    // Keeps channels 0..count-1 out of the free choice; the number granted.
    virtual int reserveChannels(int count) = 0;

    // Starts a timer that has MasterAudio_C::timerWork(kind) run on the main
    // thread every `ms` milliseconds (the ambient timer picks a new interval
    // of 1 to 3 seconds after each firing). Its id, or 0 when none started.
    virtual int startTimer(int ms, TimerKind kind) = 0;
    virtual void stopTimer(int id) = 0;
};
