// BardSongMus_C: the music of one bard song, read from its song file: the
// song's action id, then up to seven variants of the same tune, one per
// instrument or voice ("Flute", "Lute", "Harp", "Pipes", "Male", "Female",
// "DEFAULT"). A part mask (SongParts_S) picks the variant: the first, in that
// order, that the mask asks for and the file names.
//
// Life cycle: construct with the file's path, load once (the music only with
// sound on), then ask and play as often as needed; the destructor frees the
// music.
//
// Song file:
//   0x005ab001            the action id, hexadecimal
//   Lute data/songs/x.ogg one line per variant: its tag and its music file
// A variant whose music does not load still counts as present (the song then
// plays in silence); an unknown tag or a bad line is refused with a message.
#pragma once
#include "audio/SongParts.h"

#include <cstdint>
#include <string>

class AudioPort_C;
struct AudioMusic_S;

class BardSongMus_C {
public:
    BardSongMus_C(const char* path, AudioPort_C& port);
    ~BardSongMus_C();
    BardSongMus_C(const BardSongMus_C&) = delete;
    BardSongMus_C& operator=(const BardSongMus_C&) = delete;

    // Reads the song file once; the music is loaded only when withMusic is
    // set. Does nothing without a path or when already loaded.
    void load(bool withMusic);
    // Loads the music of every present variant that has none yet (after a
    // load without music).
    void loadMusic();

    uint32_t getActionId() const { return actionId_; }
    bool isLoaded() const { return loaded_; }
    bool isPresent(int variant) const;
    const std::string& getPath() const { return path_; }

    // True when some variant is both asked for and present.
    bool hasVariant(SongParts_S parts) const;
    // The music of the first variant asked for and present; null when the
    // song is not loaded or there is none.
    AudioMusic_S* getMusic(SongParts_S parts) const;
    // -2 when not loaded. Otherwise the chosen variant's music becomes
    // "playing" (null when none: -1, nothing started or halted); with
    // `musicOn` and music present, it plays looping without end. 0.
    int play(SongParts_S parts, bool musicOn);
    AudioMusic_S* getPlaying() const { return playing_; }

    // Frees every variant's music (presence and the loaded mark stay).
    void freeMusic();

private:
    int chosenVariant(SongParts_S parts) const;

    AudioPort_C* port_;
    AudioMusic_S* music_[SongParts_S::VARIANT_COUNT] = {};
    std::string files_[SongParts_S::VARIANT_COUNT];
    bool present_[SongParts_S::VARIANT_COUNT] = {};
    AudioMusic_S* playing_ = nullptr;
    uint32_t actionId_ = 0;
    std::string path_;
    bool loaded_ = false;
};
