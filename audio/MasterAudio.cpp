#include "audio/MasterAudio.h"

#include "audio/AudioPort.h"
#include "audio/AudioText.h"
#include "audio/BardSongMus.h"
#include "audio/EnvSoundPak.h"
#include "core/GameConfig.h"
#include "core/Log.h"
#include "platform/Random.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

int ambientInterval() { return vell::cosmeticRand() % 2000 + 1000; }

} // namespace

MasterAudio_C::MasterAudio_C(AudioPort_C& port, AudioWorld_C& world) : port_(&port), world_(&world), sounds_(port) {}

MasterAudio_C::~MasterAudio_C() { release(); }

void MasterAudio_C::usePort(AudioPort_C& port)
{
    release();
    port_ = &port;
    sounds_.setBehind(port);
}

bool MasterAudio_C::soundOn() const { return gameConfig.sound && port_->isOpen(); }
bool MasterAudio_C::musicOn() const { return soundOn() && gameConfig.audioMusic; }
bool MasterAudio_C::specialOn() const { return soundOn() && gameConfig.audioSpecial; }

// --- start-up -------------------------------------------------------------------

int MasterAudio_C::load(const char* path)
{
    AudioTextFile_C file(path ? path : "");
    if (!file.isOpen()) {
        std::fprintf(stderr, "ERROR: Could not open master audio config file %s!\n", path ? path : "");
        return -1;
    }
    const bool sound = soundOn();
    std::vector<std::string> w;
    while (file.next(w)) {
        const std::string& key = w[0];
        if (isKeyword(key, "bard")) {
            if (w.size() < 2)
                file.refuse("'bardsongs' needs the bard song master file");
            else
                loadBardSongs(w[1]);
        } else if (isKeyword(key, "rain")) {
            if (!sound)
                continue;
            if (w.size() < 2)
                file.refuse("'rain' needs the rain folder");
            else
                rainFolder_ = w[1];
        } else if (isKeyword(key, "env")) {
            if (!sound)
                continue;
            if (w.size() < 3)
                file.refuse("'environment' needs a pack file and a name");
            else if (w[1].size() > EnvDef_S::kMaxPath)
                file.refuse("the pack file name is longer than " + std::to_string(EnvDef_S::kMaxPath) + " characters");
            else if (w[2].size() > EnvDef_S::kMaxName)
                file.refuse("the environment name is longer than " + std::to_string(EnvDef_S::kMaxName) +
                            " characters");
            else if (envDefs_.size() >= size_t(kMaxEnvironments))
                file.refuse("more than " + std::to_string(kMaxEnvironments) + " environments");
            else
                envDefs_.push_back(EnvDef_S{w[1], w[2]});
        } else if (isKeyword(key, "global")) {
            if (!sound)
                continue;
            if (w.size() < 2)
                file.refuse("'global' needs a pack file");
            else
                globalPath_ = w[1];
        }
    }
    if (!sound)
        return 0;
    if (port_->reserveChannels(2) < 2)
        std::fprintf(stderr, "ERROR: Mix_ReserveChannels(2) returned <2!\n");
    rainChannel_ = 0;
    fadeChannel_ = 1;
    return 0;
}

void MasterAudio_C::loadMedia()
{
    if (mediaLoaded_ || !soundOn())
        return;
    mediaLoaded_ = true;
    if (!rainFolder_.empty())
        loadRain(rainFolder_);
    if (!globalPath_.empty())
        globalPak_ = std::make_unique<EnvSoundPak_S>(globalPath_.c_str(), sounds_);
    // Every environment's pack, once per pack file.
    std::map<std::string, EnvSoundPak_S*> byPath;
    for (const EnvDef_S& def : envDefs_) {
        auto found = byPath.find(def.path);
        if (found == byPath.end()) {
            envPacks_.push_back(std::make_unique<EnvSoundPak_S>(def.path.c_str(), sounds_));
            found = byPath.emplace(def.path, envPacks_.back().get()).first;
        }
        envPackOf_.push_back(found->second);
        VELL_LOG(19, "MasterAudio_C: Copied env %s (%s)\n", def.name.c_str(), def.path.c_str());
    }
    for (auto& song : bardSongs_)
        song->loadMusic();
}

void MasterAudio_C::loadBardSongs(const std::string& masterFile)
{
    AudioTextFile_C file(masterFile);
    if (!file.isOpen()) {
        std::fprintf(stderr, "ERROR: Could not open Bard Song Master Config file %s!\n", masterFile.c_str());
        return;
    }
    std::vector<std::string> w;
    if (!file.next(w)) {
        std::fprintf(stderr, "ERROR: Unexpected EOF in Bard Song Master Config file %s\n", masterFile.c_str());
        return;
    }
    int count = 0;
    if (w.size() < 2 || !parseAudioInt(w[1], 0, kMaxBardSongs, count)) {
        file.refuse("the first line needs the song folder and the number of songs (0 to " +
                    std::to_string(kMaxBardSongs) + ")");
        return;
    }
    if (count == 0) {
        file.refuse("number of bard songs == 0");
        return;
    }
    const std::string folder = w[0];
    int read = 0;
    while (read < count && file.next(w)) {
        ++read;
        const std::string songPath = folder + (folder.back() == '/' ? "" : "/") + w[0];
        auto song = std::make_unique<BardSongMus_C>(songPath.c_str(), *port_);
        song->load(false); // the music comes with loadMedia
        bardSongs_.push_back(std::move(song));
    }
    if (read < count)
        std::fprintf(stderr, "ERROR: Unexpected EOF reading bard songs from BSMC file %s!\n", masterFile.c_str());
    VELL_LOG(1, "Done reading BS Master Config - got %d bard songs!\n", read);
}

void MasterAudio_C::loadRain(const std::string& folder)
{
    for (int i = 0; i < 3; ++i) {
        const std::string file = folder + "/rain" + std::to_string(i + 1) + ".ogg";
        if (rainChunks_[i])
            port_->freeChunk(rainChunks_[i]);
        rainChunks_[i] = port_->loadChunk(file.c_str());
        if (!rainChunks_[i])
            std::fprintf(stderr, "ERROR: Could not open rain sound %s!\n", file.c_str());
    }
}

int MasterAudio_C::findEnv(const char* name) const
{
    if (!name)
        return -1;
    for (size_t i = 0; i < envDefs_.size(); ++i)
        if (envDefs_[i].name == name)
            return static_cast<int>(i);
    return -1;
}

const EnvDef_S* MasterAudio_C::environment(const char* name) const
{
    const int i = findEnv(name);
    return i >= 0 ? &envDefs_[size_t(i)] : nullptr;
}

EnvSoundPak_S* MasterAudio_C::environmentPack(const char* name) const
{
    const int i = findEnv(name);
    return i >= 0 && size_t(i) < envPackOf_.size() ? envPackOf_[size_t(i)] : nullptr;
}

const BardSongMus_C* MasterAudio_C::bardSong(size_t i) const
{
    return i < bardSongs_.size() ? bardSongs_[i].get() : nullptr;
}

BardSongMus_C* MasterAudio_C::findSong(uint32_t id) const
{
    for (size_t i = 0; i < bardSongs_.size(); ++i)
        if (bardSongs_[i]->getActionId() == id) {
            VELL_LOG(10, "MaterAudio_C::bsTest:  i == %d", int(i));
            return bardSongs_[i].get();
        }
    return nullptr;
}

// --- rain -------------------------------------------------------------------------

int MasterAudio_C::volumeOf(int percent) const { return static_cast<int>(percent / 100.0 * 128); }

int MasterAudio_C::setRain(int rain, int level)
{
    if (!musicOn() || rainChannel_ < 0)
        return 0;
    loadMedia();
    if (rain < 0 || rain > 3)
        return -1;
    level = level < 0 ? 0 : level > 100 ? 100 : level;
    rainLevel_ = level;
    // While a special environment is open the rain stays silent; leaving
    // the last one starts the loops from these variables.
    const bool audible = stack_.empty();
    if (rain != curRain_) {
        prevRain_ = curRain_;
        curRain_ = rain;
        port_->haltChannel(fadeChannel_);
        if (level >= 100)
            prevRain_ = 0;
        if (audible && prevRain_ != 0 && rainChunks_[prevRain_ - 1]) {
            port_->playChunk(fadeChannel_, rainChunks_[prevRain_ - 1], true);
            port_->setVolume(fadeChannel_, volumeOf(100 - level));
        }
        port_->haltChannel(rainChannel_);
        if (audible && curRain_ != 0 && rainChunks_[curRain_ - 1]) {
            port_->playChunk(rainChannel_, rainChunks_[curRain_ - 1], true);
            port_->setVolume(rainChannel_, volumeOf(level));
        }
        return 0;
    }
    if (level >= 100 && prevRain_ != 0) {
        port_->haltChannel(fadeChannel_);
        prevRain_ = 0;
    }
    if (!audible)
        return 0;
    if (prevRain_ != 0)
        port_->setVolume(fadeChannel_, volumeOf(100 - level));
    if (curRain_ != 0)
        port_->setVolume(rainChannel_, volumeOf(level));
    return 0;
}

void MasterAudio_C::startRainLoops()
{
    if (prevRain_ != 0 && rainChunks_[prevRain_ - 1]) {
        port_->playChunk(fadeChannel_, rainChunks_[prevRain_ - 1], true);
        port_->setVolume(fadeChannel_, volumeOf(100 - rainLevel_));
    }
    if (curRain_ != 0 && rainChunks_[curRain_ - 1]) {
        port_->playChunk(rainChannel_, rainChunks_[curRain_ - 1], true);
        port_->setVolume(rainChannel_, volumeOf(rainLevel_));
    }
}

// --- maps and environments -----------------------------------------------------------

int MasterAudio_C::addMapAudio(const char* name, int count, const char* const* paths, const int* hours)
{
    if (!soundOn() || !name)
        return 0;
    loadMedia();
    for (const auto& m : maps_)
        if (m->name == name)
            return 0;
    auto rec = std::make_unique<MapAudio_S>();
    rec->name = name;
    for (int i = 0; i < count && paths && hours; ++i) {
        rec->packs.push_back(std::make_unique<EnvSoundPak_S>(paths[i], sounds_));
        rec->hours.push_back(hours[i]);
    }
    maps_.insert(maps_.begin(), std::move(rec));
    return 0;
}

int MasterAudio_C::mapChange(const char* name)
{
    if (!soundOn())
        return 0;
    MapAudio_S* found = nullptr;
    for (const auto& m : maps_)
        if (name && m->name == name)
            found = m.get();
    if (!found)
        return -1;
    // The song goes along with the mask it plays with (without it the next
    // change of music would find no variant and leave a place's music
    // sounding). Only the world's own song does: a song left attached by a
    // quest played before this one (the map records outlive quests) stays
    // behind.
    const MapAudio_S* from = curMap_ && curMap_ != found ? curMap_ : found;
    BardSongMus_C* song = from->song;
    const SongParts_S parts = from->parts;
    if (song && song->getActionId() != static_cast<uint32_t>(world_->songId()))
        song = nullptr;
    found->song = song;
    found->parts = song ? parts : SongParts_S{};
    curMap_ = found;
    tick();
    return 0;
}

int MasterAudio_C::pushSpecAudio(const char* name, bool keepSong)
{
    if (!musicOn())
        return 0;
    loadMedia();
    const int index = findEnv(name);
    if (index < 0) {
        std::fprintf(stderr, "ERROR: Unknown special audio environment %s\n", name ? name : "(none)");
        return -1;
    }
    if (stack_.empty()) {
        port_->haltChannel(rainChannel_);
        port_->haltChannel(fadeChannel_);
    }
    if (size_t(index) >= envPackOf_.size())
        return -1; // defined after the packs were loaded
    if (!stack_.empty() && stack_.back().envIndex == index) {
        // Already there: the place goes on as it is, music and song alike.
        stack_.push_back(stack_.back());
        return 0;
    }
    SpecAudio_S entry;
    entry.pack = envPackOf_[size_t(index)];
    entry.envIndex = index;
    if (keepSong && !stack_.empty()) {
        entry.song = stack_.back().song;
        entry.parts = stack_.back().parts;
        entry.worldSong = stack_.back().worldSong;
    } else if (keepSong && curMap_ && curMap_->song) {
        entry.song = curMap_->song;
        entry.parts = curMap_->parts;
        entry.worldSong = true;
    }
    stack_.push_back(entry);
    if (entry.pack->intro) {
        VELL_LOG(9, "About to play intro for sound spec %s\n", name);
        startIntro(entry.pack->intro);
    }
    tick();
    return 0;
}

int MasterAudio_C::popSpecAudio()
{
    if (!musicOn())
        return 0;
    if (stack_.empty())
        return -1;
    stack_.pop_back();
    if (stack_.empty())
        startRainLoops();
    tick();
    return 0;
}

// --- sounds and songs --------------------------------------------------------------

int MasterAudio_C::playSound(const char* name)
{
    if (!specialOn())
        return 0;
    loadMedia();
    AudioChunk_S* chunk = nullptr;
    if (!stack_.empty())
        chunk = stack_.back().pack->findNamed(name);
    else if (curMap_ && curMap_->current)
        chunk = curMap_->current->findNamed(name);
    if (!chunk && globalPak_)
        chunk = globalPak_->findNamed(name);
    if (!chunk)
        return -1;
    const int channel = port_->playChunk(-1, chunk, false);
    if (channel >= 0)
        port_->setVolume(channel, 128);
    return 0;
}

bool MasterAudio_C::bsTest(uint32_t id, SongParts_S parts) const
{
    const BardSongMus_C* song = findSong(id);
    return song && song->hasVariant(parts);
}

int MasterAudio_C::playSong(uint32_t id, SongParts_S parts)
{
    BardSongMus_C* song = findSong(id);
    if (!song || !song->hasVariant(parts))
        return -1;
    loadMedia();
    world_->setSong(static_cast<int32_t>(id), parts.bits);
    if (!stack_.empty()) {
        stack_.back().song = song;
        stack_.back().parts = parts;
        stack_.back().worldSong = false;
    } else if (curMap_) {
        curMap_->song = song;
        curMap_->parts = parts;
    } else {
        return -1;
    }
    tick();
    return 0;
}

int MasterAudio_C::stopSong()
{
    if (stack_.empty() && !curMap_) {
        world_->setSong(0, 0);
        return -1;
    }
    if (curMap_) {
        curMap_->song = nullptr;
        curMap_->parts = SongParts_S{};
    }
    for (SpecAudio_S& e : stack_)
        if (e.worldSong) {
            e.song = nullptr;
            e.worldSong = false;
        }
    setWorldSongFromAttached();
    tick();
    return 0;
}

int MasterAudio_C::stopPlaceSong()
{
    if (stack_.empty())
        return stopSong();
    for (SpecAudio_S& e : stack_)
        if (!e.worldSong)
            e.song = nullptr;
    setWorldSongFromAttached();
    tick();
    return 0;
}

void MasterAudio_C::setWorldSongFromAttached()
{
    for (auto e = stack_.rbegin(); e != stack_.rend(); ++e)
        if (e->song) {
            world_->setSong(static_cast<int32_t>(e->song->getActionId()), e->parts.bits);
            return;
        }
    if (curMap_ && curMap_->song)
        world_->setSong(static_cast<int32_t>(curMap_->song->getActionId()), curMap_->parts.bits);
    else
        world_->setSong(0, 0);
}

bool MasterAudio_C::isSongPlaying() const { return world_->songId() != 0; }

// --- the music ---------------------------------------------------------------------

void MasterAudio_C::loopMusic(AudioMusic_S* music)
{
    port_->playMusic(music, true);
    curMusic_ = music;
}

void MasterAudio_C::startIntro(AudioMusic_S* intro)
{
    stopIntroTimer();
    introTimer_ = port_->startTimer(kIntroWatchMs, AudioPort_C::TIMER_INTRO);
    port_->playMusic(intro, false);
    curMusic_ = intro;
}

void MasterAudio_C::stopIntroTimer()
{
    if (introTimer_)
        port_->stopTimer(introTimer_);
    introTimer_ = 0;
}

void MasterAudio_C::chooseSongMusic(BardSongMus_C* song, SongParts_S parts)
{
    AudioMusic_S* wanted = song->getMusic(parts);
    if (curMusic_ == wanted)
        return;
    song->play(parts, musicOn());
    curMusic_ = song->getPlaying();
}

void MasterAudio_C::chooseStackMusic()
{
    const SpecAudio_S& top = stack_.back();
    if (top.song) {
        chooseSongMusic(top.song, top.parts);
        return;
    }
    const EnvSoundPak_S& p = *top.pack;
    AudioMusic_S* belowMain = stack_.size() > 1 ? stack_[stack_.size() - 2].pack->main : nullptr;
    AudioMusic_S* mapMain = curMap_ && curMap_->current ? curMap_->current->main : nullptr;
    if (curMusic_ &&
        (curMusic_ == p.intro || curMusic_ == p.main || (!p.main && (curMusic_ == belowMain || curMusic_ == mapMain))))
        return;
    stopIntroTimer();
    VELL_LOG(9, "testing for sound spec %s\n", envDefs_[size_t(top.envIndex)].name.c_str());
    if (p.intro)
        startIntro(p.intro);
    else if (p.main)
        loopMusic(p.main);
    else if (belowMain)
        loopMusic(belowMain);
    else if (mapMain)
        loopMusic(mapMain);
    else {
        port_->haltMusic();
        curMusic_ = nullptr;
    }
}

void MasterAudio_C::chooseMapMusic()
{
    if (curMap_->song) {
        chooseSongMusic(curMap_->song, curMap_->parts);
        return;
    }
    const EnvSoundPak_S* seg = curMap_->current;
    if (!seg)
        return; // no segment chosen yet: the music stays as it is
    if (curMusic_ && (curMusic_ == seg->intro || curMusic_ == seg->main))
        return;
    stopIntroTimer();
    if (seg->intro)
        startIntro(seg->intro);
    else if (seg->main) {
        VELL_LOG(9, "playing background for MAP!\n");
        loopMusic(seg->main);
    } else {
        port_->haltMusic();
        curMusic_ = nullptr;
    }
}

void MasterAudio_C::suspend()
{
    if (ambientTimer_)
        port_->stopTimer(ambientTimer_);
    ambientTimer_ = 0;
    stopIntroTimer();
    if (!suspended_ && stack_.empty() && rainChannel_ >= 0 && soundOn()) {
        port_->haltChannel(rainChannel_);
        port_->haltChannel(fadeChannel_);
    }
    suspended_ = true;
}

void MasterAudio_C::tick()
{
    if (!soundOn())
        return;
    loadMedia();
    if (suspended_) {
        suspended_ = false;
        if (stack_.empty() && musicOn())
            startRainLoops();
    }
    if (ambientTimer_ == 0)
        ambientTimer_ = port_->startTimer(ambientInterval(), AudioPort_C::TIMER_AMBIENT);
    unsigned hour = 0, minute = 0;
    const bool timeKnown = world_->timeOfDay(hour, minute);

    if (!stack_.empty()) {
        if (musicOn())
            chooseStackMusic();
        if (specialOn() && timeKnown)
            playTimedSounds(*stack_.back().pack, hour, minute);
        return;
    }
    if (!curMap_)
        return;
    if (timeKnown)
        for (size_t i = 0; i < curMap_->packs.size(); ++i)
            if (curMap_->hours[i] <= int(hour))
                curMap_->current = curMap_->packs[i].get();
    if (musicOn())
        chooseMapMusic();
    if (specialOn() && timeKnown && curMap_->current)
        playTimedSounds(*curMap_->current, hour, minute);
    VELL_LOG(99, "Finished MasterAudio_C::tick\n");
}

void MasterAudio_C::playTimedSounds(EnvSoundPak_S& pack, unsigned hour, unsigned minute)
{
    const int now = int(hour) * 60 + int(minute);
    for (EnvTimedSound_S& t : pack.timedSounds) {
        // The window ends within the day: it does not run past midnight.
        const int start = t.hour * 60 + t.minute;
        const int end = start + t.duration;
        if (now >= start && now <= end) {
            if (!t.played) {
                port_->playChunk(-1, t.chunk, false);
                t.played = 1;
            }
        } else {
            t.played = 0;
        }
    }
}

int MasterAudio_C::playAmbient()
{
    if (!specialOn())
        return 0;
    const EnvSoundPak_S* pack =
        !stack_.empty() ? stack_.back().pack : curMap_ ? curMap_->current : nullptr;
    if (!pack)
        return 0;
    for (const EnvRandSound_S& s : pack->randSounds)
        if (vell::cosmeticRand() % 1000 < s.chance) {
            port_->playChunk(-1, s.chunk, false);
            break;
        }
    return 0;
}

void MasterAudio_C::introWatch()
{
    AudioMusic_S* intro = nullptr;
    if (!stack_.empty()) {
        const EnvSoundPak_S& p = *stack_.back().pack;
        intro = p.intro;
        if (curMusic_ && curMusic_ == p.intro && !port_->musicPlaying()) {
            AudioMusic_S* bg = p.main;
            if (!bg && stack_.size() > 1)
                bg = stack_[stack_.size() - 2].pack->main;
            if (!bg && curMap_ && curMap_->current)
                bg = curMap_->current->main;
            if (bg)
                loopMusic(bg);
            else
                curMusic_ = nullptr;
        }
    } else if (curMap_ && curMap_->current) {
        const EnvSoundPak_S& seg = *curMap_->current;
        intro = seg.intro;
        if (curMusic_ && curMusic_ == seg.intro && !port_->musicPlaying()) {
            if (seg.main)
                loopMusic(seg.main);
            else
                curMusic_ = nullptr;
        }
    }
    // Nothing left to watch: the timer ends.
    if (!intro || curMusic_ != intro)
        stopIntroTimer();
}

void MasterAudio_C::timerWork(int kind)
{
    if (kind == AudioPort_C::TIMER_AMBIENT) {
        if (ambientTimer_)
            playAmbient();
    } else if (kind == AudioPort_C::TIMER_INTRO) {
        if (introTimer_ && soundOn())
            introWatch();
    }
}

// --- shutdown ----------------------------------------------------------------------

void MasterAudio_C::release()
{
    // Only what this director started is halted, so that a second release
    // (and one of a director that never played) touches nothing.
    if (soundOn() && (rainChannel_ >= 0 || !maps_.empty() || curMusic_)) {
        port_->haltMusic();
        port_->haltChannel(-1);
    }
    if (ambientTimer_)
        port_->stopTimer(ambientTimer_);
    ambientTimer_ = 0;
    stopIntroTimer();
    stack_.clear();
    curMap_ = nullptr;
    maps_.clear();
    envPackOf_.clear();
    envPacks_.clear();
    envDefs_.clear();
    globalPak_.reset();
    bardSongs_.clear();
    for (auto& c : rainChunks_) {
        if (c)
            port_->freeChunk(c);
        c = nullptr;
    }
    curRain_ = prevRain_ = 0;
    rainChannel_ = fadeChannel_ = -1;
    curMusic_ = nullptr;
    rainFolder_.clear();
    globalPath_.clear();
    mediaLoaded_ = false;
    suspended_ = false;
}
