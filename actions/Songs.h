// The bard songs: the four built-in ones (direct children of bl3dAction
// whose ids carry the bard-song bit 0x00400000) and, through the same frame,
// the songs of the action data file (actions/GenericSong.h).
//
// The use: enqueue needs three context values and a party member as the
// performer (otherwise it deletes the actor and returns null): argv[0] the
// narration buffer (TextBuf_C*), argv[1] the interface (kept as it is),
// argv[2] the request as a plain integer (SONG_START outside combat,
// SONG_START_IN_COMBAT, SONG_STOP outside combat, SONG_STOP_IN_COMBAT).
//
// One song plays on each side of the divide: the world variable "NCBS"
// holds the id of the song played outside combat, "CBS" the one played in
// a fight. A song needs music for the bard's instrument (the part bits of
// the bard's "Inst" attribute) and costs one of the bard's "CurSongs";
// the use is spent before the song asks whether someone already plays,
// so a bard who interrupts loses it. A song marks the bard as playing
// (condition 0x20) and its music plays through the sound director. Outside
// combat a song lasts 120 to 359 ticks: its end is kept in the world
// variable "NCBSEnd" and the bard-song event (9100) queued for it ends the
// song only when that end has come, so an event left over from an earlier
// song never stops a later one. The world bits a song sets get that end as
// their expiry (so an expiry event of the same bit does not clear it while
// the song plays); a song in combat holds its bit for the fight. A song
// refused in a fight by its own rule (Beasty Skirl's) keeps the use spent
// but leaves "CBS" free for another bard.
//
// perform: 0 performed (a narrated refusal of Beasty Skirl in combat
// included), 1 no song uses left, 2 someone is already playing, 3 no
// instrument for this song, -1 an unknown request or no record.
//
// A song's life is kept here, whoever asks: the song actions, the round
// driver, the bard-song event and the song screen start and end songs only
// through the functions below the classes.
#pragma once
#include "actions/DirectAction.h"

#include <cstdint>

class bl3dCharacter;
class bl3dPartyChar;
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

    friend int endSongOutsideCombat();
    friend int endSongInCombat(bl3dCharacter& bard, TextBuf_C& text);
};

// The member performs the song with that request (a use made with the
// song's context and released after): the song's perform result, -1 when
// no use could be made.
int performSongRequest(bl3dAction& song, bl3dPartyChar& member, TextBuf_C& text, void* iface, SongRequest request);

// Ends the song played outside combat, whoever plays it: "NCBS" and its end
// cleared, the music stopped, every member's playing mark gone, and the
// song's own lasting effect undone. 0 always.
int endSongOutsideCombat();

// Ends the fight's song ("CBS"), narrated as stopped by the bard: "CBS"
// cleared, the fight's song music stopped (a song played outside combat
// that still runs plays on, with its instrument), every member's playing
// mark gone, and the song's own effect for the fight undone once. 0 always.
int endSongInCombat(bl3dCharacter& bard, TextBuf_C& text);

// The bard-song event's work: when the song played outside combat has come
// to its end, it is stopped by the first member playing (through that
// song's own stop request), or ended all the same when nobody is; then the
// world bit the song held ends unless a spell keeps it longer (the light of
// song 0x004ab005, Vezivi'v Iroviriva's compass, the Walking Song's easier
// roads) and the view that shows it is brought up to date.
void endSongOutsideCombatWhenDue();

// Before a new song starts outside combat (the song screen): every member
// playing stops, through the song in "NCBS" when the member knows it, the
// song ended all the same when it does not, and only the member's mark
// cleared when "NCBS" is empty. `text` and `iface` as in a song's use.
void endPlayingOutsideCombat(TextBuf_C& text, void* iface);

// The fight's song ended by this member (dead, or the fight over): through
// the song in "CBS" when the member knows it, else the fight's song ended
// all the same (or only the member's mark cleared when "CBS" is empty).
void endPlayingInCombat(bl3dPartyChar& member, TextBuf_C& text);

// No song of an earlier fight plays in a new one.
void beginFightWithoutSong();

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
