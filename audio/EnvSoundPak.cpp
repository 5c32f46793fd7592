#include "audio/EnvSoundPak.h"

#include "audio/AudioPort.h"
#include "audio/AudioText.h"
#include "core/Log.h"

#include <cstdio>
#include <cstring>

namespace {

// "H:M" or "H" (minute 0) within a day.
bool parseTimeOfDay(const std::string& word, int& hour, int& minute)
{
    const size_t colon = word.find(':');
    int h = 0;
    int m = 0;
    if (!parseAudioInt(word.substr(0, colon), 0, 23, h))
        return false;
    if (colon != std::string::npos && !parseAudioInt(word.substr(colon + 1), 0, 59, m))
        return false;
    hour = h;
    minute = m;
    return true;
}

} // namespace

EnvSoundPak_S::EnvSoundPak_S(const char* path, AudioPort_C& port) : port_(&port)
{
    read(path ? path : "");
}

void EnvSoundPak_S::read(const char* path)
{
    AudioTextFile_C file(path);
    if (!file.isOpen()) {
        std::fprintf(stderr, "ERROR! Could not open Env config file %s!\n", path);
        return;
    }
    std::vector<std::string> w;
    while (file.next(w)) {
        const std::string& key = w[0];
        const char* kind = isKeyword(key, "main")    ? "main"
                           : isKeyword(key, "intro") ? "intro"
                           : isKeyword(key, "rand")  ? "rand"
                           : isKeyword(key, "time")  ? "timed"
                           : isKeyword(key, "name")  ? "named"
                                                      : nullptr;
        if (!kind)
            continue; // other keywords are no concern of the pack
        const size_t needed = std::strcmp(kind, "timed") == 0 ? 4 : (kind[0] == 'm' || kind[0] == 'i') ? 2 : 3;
        if (w.size() < needed) {
            file.refuse(std::string("too few words for '") + kind + "'");
            continue;
        }
        if (w[1].size() > kMaxFileName) {
            file.refuse("the file name is longer than " + std::to_string(kMaxFileName) + " characters");
            continue;
        }
        const char* fileName = w[1].c_str();

        if (kind[0] == 'm' || kind[0] == 'i') {
            AudioMusic_S* music = port_->loadMusic(fileName);
            if (!music) {
                std::fprintf(stderr, "ERROR: Could not open music file %s in Env config file %s!\n", fileName, path);
                continue;
            }
            AudioMusic_S*& slot = kind[0] == 'm' ? main : intro;
            if (slot)
                port_->freeMusic(slot);
            slot = music;
            VELL_LOG(9, "EnvSoundPak_S: Loaded %s %s\n", kind[0] == 'm' ? "background" : "intro", fileName);
            continue;
        }

        // The sound's own words are checked before its file is loaded.
        int chance = 0, hour = 0, minute = 0, duration = 0;
        if (kind[0] == 'r') {
            if (randSounds.size() >= kMaxRand) {
                file.refuse("more than " + std::to_string(kMaxRand) + " random sounds");
                continue;
            }
            if (!parseAudioInt(w[2], 0, 1000, chance)) {
                file.refuse("the chance '" + w[2] + "' is no number from 0 to 1000");
                continue;
            }
        } else if (kind[0] == 't') {
            if (timedSounds.size() >= kMaxTimed) {
                file.refuse("more than " + std::to_string(kMaxTimed) + " timed sounds");
                continue;
            }
            if (!parseTimeOfDay(w[2], hour, minute)) {
                file.refuse("the time '" + w[2] + "' is no time of day H:M");
                continue;
            }
            if (!parseAudioInt(w[3], 0, 24 * 60, duration)) {
                file.refuse("the duration '" + w[3] + "' is no number of minutes from 0 to 1440");
                continue;
            }
        } else {
            if (namedSounds.size() >= kMaxNamed) {
                file.refuse("more than " + std::to_string(kMaxNamed) + " named sounds");
                continue;
            }
            if (w[2].size() > EnvNamedSound_S::kMaxName) {
                file.refuse("the sound name is longer than " + std::to_string(EnvNamedSound_S::kMaxName) +
                            " characters");
                continue;
            }
        }
        AudioChunk_S* chunk = port_->loadChunk(fileName);
        if (!chunk) {
            std::fprintf(stderr, "ERROR: Could not open sound file %s in Env config file %s!\n", fileName, path);
            continue;
        }
        if (kind[0] == 'r') {
            randSounds.push_back(EnvRandSound_S{chunk, chance});
        } else if (kind[0] == 't') {
            timedSounds.push_back(EnvTimedSound_S{chunk, hour, minute, duration, 0});
        } else {
            EnvNamedSound_S named;
            named.chunk = chunk;
            std::memcpy(named.name, w[2].c_str(), w[2].size() + 1);
            namedSounds.push_back(named);
            VELL_LOG(18, "loaded named sound %s!\n", named.name);
        }
    }
    randSounds.shrink_to_fit();
    timedSounds.shrink_to_fit();
    namedSounds.shrink_to_fit();
}

void EnvSoundPak_S::release()
{
    if (intro)
        port_->freeMusic(intro);
    if (main)
        port_->freeMusic(main);
    intro = main = nullptr;
    for (auto& s : randSounds)
        port_->freeChunk(s.chunk);
    for (auto& s : timedSounds)
        port_->freeChunk(s.chunk);
    for (auto& s : namedSounds)
        port_->freeChunk(s.chunk);
    randSounds.clear();
    timedSounds.clear();
    namedSounds.clear();
}

AudioChunk_S* EnvSoundPak_S::findNamed(const char* name) const
{
    if (!name)
        return nullptr;
    for (const auto& s : namedSounds)
        if (std::strcmp(s.name, name) == 0)
            return s.chunk;
    return nullptr;
}
