// The four built-in bard songs. They are direct children of bl3dAction
// whose ids carry the bard-song bit 0x00400000.
//
// The use: enqueue needs three context values and a party member as the
// performer (otherwise it deletes the actor and returns null): argv[0] the
// narration buffer (TextBuf_C*), argv[1] the interface (kept as it is),
// argv[2] the request as a plain integer (SONG_START outside combat,
// SONG_START_IN_COMBAT, SONG_STOP outside combat, SONG_STOP_IN_COMBAT).
//
// One song plays on each side of the divide: the world variable "NCBS"
// holds the id of the song played outside combat, "CBS" the one played in
// a fight. A song costs one of the bard's "CurSongs" and marks the bard as
// playing (condition 0x20); its music plays through the sound director,
// for the part bits of the bard's "Inst" attribute. Outside combat a song
// lasts 120 to 359 ticks: its end is kept in the world variable "NCBSEnd"
// and the bard-song event (9100) queued for it ends the song only when that
// end has come, so an event left over from an earlier song never stops a
// later one. The world bits a song sets get that end as their expiry (so an
// expiry event of the same bit does not clear it while the song plays); a
// song in combat holds its bit for the fight.
//
// perform: 0 performed (a narrated refusal of Beasty Skirl in combat
// included), 1 no song uses left, 2 someone is already playing, 3 no
// instrument for this song, -1 an unknown request or no record. Every
// refusal comes before anything is spent or set; every stop undoes the
// song's own effect once.
#pragma once
#include "actions/DirectAction.h"

#include <cstdint>

class bl3dCharacter;
class TextBuf_C;

enum SongRequest : int32_t {
    SONG_START = 0,
    SONG_START_IN_COMBAT = 1,
    SONG_STOP = 2,
    SONG_STOP_IN_COMBAT = 3,
};

struct SongUse_S : ActionUse_S {
    bl3dCharacter* performer = nullptr;
    void* iface = nullptr;
    TextBuf_C* text = nullptr; // never null (TextBuf_C::discard())
    int32_t mode = 0;
};

class bl3dSong : public bl3dDirectAction {
public:
    using bl3dDirectAction::bl3dDirectAction;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    int perform(ActionUse_S* use) override;

protected:
    static SongUse_S* songUse(ActionUse_S* use);

    // The song's own effect and narration when it starts outside combat
    // (`end`: the tick it ends) and in combat.
    virtual void startOutside(SongUse_S& use, uint32_t end) = 0;
    virtual void startInCombat(SongUse_S& use) = 0;
    // A refusal of the song in combat, narrated; true when refused.
    virtual bool refusedInCombat(SongUse_S&) { return false; }
    // Undoes what the song did that does not end by itself.
    virtual void undoOutside() {}
    virtual void undoInCombat() {}

private:
    int start(SongUse_S& use, bool inCombat);
    int stopInCombat(SongUse_S& use);

    friend int endSongOutsideCombat();
};

// Ends the song played outside combat, whoever plays it: "NCBS" and its end
// cleared, the music stopped, every member's playing mark gone, and the
// song's own lasting effect undone (when it is one of the built-in songs).
// 0 always.
int endSongOutsideCombat();

class bl3dSong_BeastySkirl : public bl3dSong {
public:
    using bl3dSong::bl3dSong;

protected:
    void startOutside(SongUse_S& use, uint32_t end) override;
    void startInCombat(SongUse_S& use) override;
    bool refusedInCombat(SongUse_S& use) override;
    void undoOutside() override;
};

class bl3dSong_ProudMary : public bl3dSong {
public:
    using bl3dSong::bl3dSong;

protected:
    void startOutside(SongUse_S& use, uint32_t end) override;
    void startInCombat(SongUse_S& use) override;
};

class bl3dSong_TrylersIntuition : public bl3dSong {
public:
    using bl3dSong::bl3dSong;

protected:
    void startOutside(SongUse_S& use, uint32_t end) override;
    void startInCombat(SongUse_S& use) override;
};

class bl3dSong_WalkingSong : public bl3dSong {
public:
    using bl3dSong::bl3dSong;

protected:
    void startOutside(SongUse_S& use, uint32_t end) override;
    void startInCombat(SongUse_S& use) override;
    void undoInCombat() override;
};

// Ids of the built-in songs, and of a song of the action data file that
// the bard-song event knows by its light bit.
enum SongId : int32_t {
    SONG_BEASTY_SKIRL = 0x005ab001,
    SONG_PROUD_MARY = 0x005ab009,
    SONG_TRYLERS_INTUITION = 0x005eb00c,
    SONG_WALKING_SONG = 0x005ab00d,
    SONG_DATA_LIGHT = 0x004ab005,
};
