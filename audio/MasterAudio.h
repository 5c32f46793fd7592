// MasterAudio_C: the sound director. For now it only checks that the audio
// configuration can be read; music, environments and sounds come with it
// later.
#pragma once

class MasterAudio_C {
public:
    MasterAudio_C() = default;
    ~MasterAudio_C() { release(); }
    MasterAudio_C(const MasterAudio_C&) = delete;
    MasterAudio_C& operator=(const MasterAudio_C&) = delete;

    // Reads the audio configuration (a text file, comment and empty lines
    // skipped). 0, or -1 when the file cannot be opened (nothing loaded).
    int load(const char* path);

    // Frees what the director holds; safe to call more than once (the game
    // calls it at quit, and the destructor again at program end).
    void release();

    // The music that plays now is forgotten, so that the next tick starts
    // the right one again.
    void clearCurMusic() {}

    int lineCount() const { return lines_; }

    // Services the world and the 3-D view call. Until the sound director
    // plays music and rain they only succeed without sound.
    // Rain sound 0..3 (0 none) at level 0..100 of full volume.
    int setRain(int index, int level) { (void)index; (void)level; return 0; }
    // Selects the audio of the named map; -1 when it has none.
    int mapChange(const char* mapPath) { (void)mapPath; return -1; }
    // Chooses the music for the present state after time passed.
    void tick() {}
    // Bard song music outside combat.
    int playSong(int songId, unsigned parts) { (void)songId; (void)parts; return -1; }
    void stopSong() {}
    bool isSongPlaying() const { return false; }
    // Plays a named sound effect; -1 when it cannot be played.
    int playSound(const char* name) { (void)name; return -1; }

private:
    int lines_ = 0;
};

// The game's sound director.
extern MasterAudio_C maserAudio;

// Loads maserAudio from "data/audio.dat"; returns MasterAudio_C::load's result.
int initMasterAudio();
