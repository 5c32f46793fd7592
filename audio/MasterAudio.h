// MasterAudio_C: the sound director, the one object that decides which music
// plays and which sounds are heard while a quest runs. The game keeps it in
// the global maserAudio.
//
// Life cycle:
//   constructed before main (empty, silent)
//   -> load("data/audio.dat") once at start-up: bard songs, rain loops, the
//      environment table and its packs, the global pack of named sounds
//   -> during play the game only tells it what happens: a map was built
//      (addMapAudio) or entered (mapChange), a building, fight, chest or
//      script opens or closes a special environment (pushSpecAudio,
//      popSpecAudio), a bard song starts or ends (playSong, stopSong), the
//      weather changes the rain (setRain), a sound effect is wanted
//      (playSound), game time passed (tick)
//   -> release() at quit (the destructor runs it again; the second time
//      changes nothing).
//
// The music is chosen by precedence: the top special environment, a bard
// song, the map's music for the hour of the day; each as an intro played once
// and then a looping background. Ambient sounds play on a timer, timed sounds
// at set times of day, and two rain loops crossfade on channels 0 and 1.
//
// Settings gate everything: with sound off (or no sound device this run)
// only the bard song table loads and every other operation does nothing and
// returns 0; "audio-music" gates the music and the environments,
// "audio-special" the ambient, timed and named sounds.
//
// Threads: every call comes from the main thread. The two timers only hand
// work to the main thread (AudioPort_C::startTimer), so nothing here is
// touched from another thread.
#pragma once
#include "audio/SharedChunkPort.h"
#include "audio/SongParts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class AudioPort_C;
class BardSongMus_C;
struct AudioChunk_S;
struct AudioMusic_S;
struct EnvSoundPak_S;

// What the director reads and writes of the quest in play: the time of day
// and the world's song fields (which are saved with the world).
class AudioWorld_C {
public:
    virtual ~AudioWorld_C() = default;
    // False when no quest is loaded.
    virtual bool timeOfDay(unsigned& hour, unsigned& minute) const = 0;
    virtual int32_t songId() const = 0;
    virtual void setSong(int32_t id, uint32_t parts) = 0;
};

// One "env" line of the audio configuration.
struct EnvDef_S {
    static constexpr size_t kMaxPath = 127;
    static constexpr size_t kMaxName = 39;
    std::string path;
    std::string name;
};

// One entry of the special-environment stack.
struct SpecAudio_S {
    EnvSoundPak_S* pack = nullptr; // the environment's pack (kept by the table)
    BardSongMus_C* song = nullptr; // attached song, not owned
    SongParts_S parts;             // the instrument mask it plays with
    // The attached song is the world's, carried up from the map (or from
    // an entry that carried it), rather than one played in the place.
    bool worldSong = false;
    int envIndex = -1;
};

// The audio of one map: its sound packs by the hour from which each plays.
struct MapAudio_S {
    std::string name; // the map's configuration file path
    std::vector<std::unique_ptr<EnvSoundPak_S>> packs;
    std::vector<int> hours;
    BardSongMus_C* song = nullptr;
    SongParts_S parts;
    EnvSoundPak_S* current = nullptr; // the segment chosen last, null until then
};

class MasterAudio_C {
public:
    static constexpr int kMaxEnvironments = 5000;
    static constexpr int kMaxBardSongs = 1000;
    static constexpr int kIntroWatchMs = 200;

    // The port and the world are not owned and must outlive the director.
    MasterAudio_C(AudioPort_C& port, AudioWorld_C& world);
    // Another world to read the time and the song from (the game installs
    // the quest in play at start-up).
    void setWorld(AudioWorld_C& world) { world_ = &world; }
    AudioWorld_C& world() const { return *world_; }
    // Plays through another port from now on (a test hears the game's own
    // director on a recording stand-in): everything is released first, so
    // the configuration is loaded anew.
    void usePort(AudioPort_C& port);
    ~MasterAudio_C();
    MasterAudio_C(const MasterAudio_C&) = delete;
    MasterAudio_C& operator=(const MasterAudio_C&) = delete;

    // --- start-up -------------------------------------------------------------
    // Reads the audio configuration: "bardsongs FILE", "rain FOLDER",
    // "environment PACK NAME", "global PACK" (keywords by their beginning).
    // -1 when the file cannot be opened (nothing loaded), else 0. Bad lines
    // are refused with a message and the rest is read on.
    // This reads the text files only; the music and sounds they name are
    // loaded by loadMedia, which the first operation that plays anything
    // runs (in the game: the first map built, behind the loading screen),
    // so that start-up to the title menu stays quick.
    int load(const char* path);
    // Loads the rain loops, the global pack, every environment's pack and
    // the bard songs' music, once, with sound on.
    void loadMedia();
    bool isMediaLoaded() const { return mediaLoaded_; }

    // --- what the game tells it -------------------------------------------------
    // Rain kind 0..3 (0 none) at level 0..100: a new kind starts its loop at
    // the level while the old one goes on at the rest; 100 ends the old one.
    int setRain(int rain, int level);
    // Registers a map's sound packs (each loaded once) unless one of that
    // name exists. The arrays are copied; count 0 with null arrays is a map
    // without sounds.
    int addMapAudio(const char* name, int count, const char* const* paths, const int* hours);
    // Selects the named map's audio (the song goes with it), then ticks; -1
    // when no map of that name registered.
    int mapChange(const char* name);
    // Enters a special environment (a building, a fight, a chest, a script's
    // place); -1 for a name the configuration does not define. Every push
    // adds one entry, so that every pop undoes exactly its own push; pushing
    // the environment already on top repeats that entry and leaves the
    // music (and its intro) as it is. With keepSong the song below goes on
    // in the new place with its instrument mask.
    int pushSpecAudio(const char* name, bool keepSong = false);
    // Leaves the top special environment; -1 when none is open.
    int popSpecAudio();
    // Plays a named sound once from the open environment's pack (or the map
    // segment's), else from the global pack; -1 when none has it.
    int playSound(const char* name);
    // Whether the bard song with that action id has a variant the mask asks for.
    bool bsTest(uint32_t id, SongParts_S parts) const;
    // Starts a bard song's music; -1 for an unknown song or one without a
    // variant for the mask (the world's song then stays), or when there is
    // neither an environment nor a map to attach it to.
    int playSong(uint32_t id, SongParts_S parts);
    // Ends the world's bard song (the one played outside the places, on the
    // map): it leaves the map and every place it was carried into; a song
    // played inside a place (a fight's) plays on, and the world's song
    // fields then name it. -1 when there was nothing to detach it from.
    int stopSong();
    // Ends the song played inside the open places (a fight's song): it
    // leaves every place that holds it, the world's song plays on below and
    // the world's song fields name it again (0 when there is none). With no
    // place open the song was played on the map: as stopSong.
    int stopPlaceSong();
    bool isSongPlaying() const;
    // Forgets the music that plays, so that the next tick starts its choice
    // even if that is what played before (the title menu plays its own).
    void clearCurMusic() { curMusic_ = nullptr; }
    // No map is in play (the title menu is up): the ambient timer, the intro
    // watch and the rain loops stop. The next tick starts them again.
    void suspend();
    bool isSuspended() const { return suspended_; }
    // After game time passed: chooses the music, starts the ambient timer,
    // plays timed sounds.
    void tick();
    // Plays at most one random ambient sound of the open pack. 0.
    int playAmbient();
    // The work of a timer, on the main thread (AudioPort_C::TimerKind).
    void timerWork(int kind);

    // --- shutdown ---------------------------------------------------------------
    // Halts the music and every channel, frees every pack, song, sound and
    // table and stops both timers. Safe to run more than once.
    void release();

    // --- what tests and tools look at -------------------------------------------
    size_t stackDepth() const { return stack_.size(); }
    const SpecAudio_S* stackTop() const { return stack_.empty() ? nullptr : &stack_.back(); }
    const MapAudio_S* currentMap() const { return curMap_; }
    AudioMusic_S* curMusic() const { return curMusic_; }
    size_t environmentCount() const { return envDefs_.size(); }
    const EnvDef_S* environment(const char* name) const;
    EnvSoundPak_S* environmentPack(const char* name) const;
    const EnvSoundPak_S* globalPack() const { return globalPak_.get(); }
    size_t bardSongCount() const { return bardSongs_.size(); }
    const BardSongMus_C* bardSong(size_t i) const;
    AudioChunk_S* rainChunk(int rain) const { return rain >= 1 && rain <= 3 ? rainChunks_[rain - 1] : nullptr; }
    int currentRain() const { return curRain_; }
    int previousRain() const { return prevRain_; }
    int rainLevel() const { return rainLevel_; }
    bool ambientTimerRunning() const { return ambientTimer_ != 0; }
    bool introTimerRunning() const { return introTimer_ != 0; }
    bool isSoundOn() const { return soundOn(); }

private:
    bool soundOn() const;
    bool musicOn() const;
    bool specialOn() const;

    void loadBardSongs(const std::string& masterFile);
    void loadRain(const std::string& folder);
    int findEnv(const char* name) const;
    BardSongMus_C* findSong(uint32_t id) const;

    void loopMusic(AudioMusic_S* music);
    void startIntro(AudioMusic_S* intro);
    void stopIntroTimer();
    void chooseSongMusic(BardSongMus_C* song, SongParts_S parts);
    // The world's song fields name the song that now plays: the top-most
    // one of the places, else the map's, else none.
    void setWorldSongFromAttached();
    void chooseStackMusic();
    void chooseMapMusic();
    void playTimedSounds(EnvSoundPak_S& pack, unsigned hour, unsigned minute);
    void introWatch();
    void startRainLoops();
    int volumeOf(int percent) const;

    AudioPort_C* port_;
    AudioWorld_C* world_;
    // What the packs load through: a sound file named by several packs is
    // loaded once.
    SharedChunkPort_C sounds_;

    int ambientTimer_ = 0;
    int introTimer_ = 0;
    AudioChunk_S* rainChunks_[3] = {};
    int curRain_ = 0;
    int prevRain_ = 0;
    int rainChannel_ = -1;
    int fadeChannel_ = -1;
    int rainLevel_ = 0;
    std::vector<std::unique_ptr<BardSongMus_C>> bardSongs_;
    std::vector<EnvDef_S> envDefs_;
    // The environments' packs, loaded with the configuration (one per pack
    // file), so that entering a place reads nothing from disk; envPackOf_
    // gives each environment's.
    std::vector<std::unique_ptr<EnvSoundPak_S>> envPacks_;
    std::vector<EnvSoundPak_S*> envPackOf_;
    std::vector<SpecAudio_S> stack_;
    std::unique_ptr<EnvSoundPak_S> globalPak_;
    std::vector<std::unique_ptr<MapAudio_S>> maps_;
    MapAudio_S* curMap_ = nullptr;
    AudioMusic_S* curMusic_ = nullptr;
    std::string rainFolder_;
    std::string globalPath_;
    bool mediaLoaded_ = false;
    bool suspended_ = false;
};

// The game's sound director, on SDL_mixer; until initMasterAudio
// (app/GameWorldAudio.h) it sees no quest.
extern MasterAudio_C maserAudio;

// The mixer and timers that maserAudio plays through; other players of
// music (the slide sequences) go through it too.
AudioPort_C& gameAudioPort();
