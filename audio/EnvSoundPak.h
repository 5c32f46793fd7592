// EnvSoundPak_S: one sound environment read from its pack file: an intro
// played once when the environment starts, a looping background, random
// ambient sounds with their chances, sounds at set times of day and named
// sound effects. The pack owns everything it loaded; a missing file or
// piece leaves that part empty, and the director then finds nothing to play
// there.
//
// Pack file lines (keywords compared by their beginning, any case):
//   main FILE                 the background, looped
//   intro FILE                played once before the background
//   rand FILE CHANCE          an ambient sound, CHANCE per mille (0..1000)
//   timed FILE H:M MINUTES    plays once when the time of day enters the
//                             window from H:M lasting MINUTES
//   named FILE NAME           a sound effect played by name
// A bad line is refused with a message naming the file and the line; the
// rest of the file is read on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class AudioPort_C;
struct AudioChunk_S;
struct AudioMusic_S;

struct EnvRandSound_S {
    AudioChunk_S* chunk = nullptr;
    int32_t chance = 0; // per mille
};

struct EnvTimedSound_S {
    AudioChunk_S* chunk = nullptr;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t duration = 0; // game minutes
    int32_t played = 0;   // set while its window lasts
};

struct EnvNamedSound_S {
    static constexpr size_t kMaxName = 39;
    AudioChunk_S* chunk = nullptr;
    char name[kMaxName + 1] = {};
};

struct EnvSoundPak_S {
    static constexpr size_t kMaxRand = 100;
    static constexpr size_t kMaxTimed = 100;
    static constexpr size_t kMaxNamed = 200;
    static constexpr size_t kMaxFileName = 127;

    std::vector<EnvRandSound_S> randSounds;
    std::vector<EnvTimedSound_S> timedSounds;
    std::vector<EnvNamedSound_S> namedSounds;
    AudioMusic_S* intro = nullptr;
    AudioMusic_S* main = nullptr;

    // Reads the pack file, loading its music and sounds through the port.
    EnvSoundPak_S(const char* path, AudioPort_C& port);
    ~EnvSoundPak_S() { release(); }
    EnvSoundPak_S(const EnvSoundPak_S&) = delete;
    EnvSoundPak_S& operator=(const EnvSoundPak_S&) = delete;

    // Frees the music and every sound; the pack is empty afterwards.
    void release();

    // The first named sound of that name (exact compare), or null.
    AudioChunk_S* findNamed(const char* name) const;

    bool isEmpty() const {
        return !intro && !main && randSounds.empty() && timedSounds.empty() && namedSounds.empty();
    }

private:
    void read(const char* path);
    AudioPort_C* port_;
};
