// ActionEnv_C: what the actions ask of the running game beyond the rules
// model (rules/RulesEnv.h already answers the clock's tick, the world
// variables and named sounds): timed events queued, the interface's
// recomputations after a world variable changed, the party's square and the
// map around it, monster types by name, the equipment trial of the
// character sheet, and bard-song music.
//
// The game installs its own (app/WorldActionEnv.h) once at start-up; until
// then, and in tests that install nothing, this stand-in answers: it queues
// nothing, recomputes nothing, knows no position and no map, finds monster
// types in masterMTL, reports every trial unchanged and has no music for any
// song. Tests derive their own to record what was asked.
#pragma once
#include <cstdint>

class bl3dCharacter;
class bl3dMonsterType;
class bl3dPartyChar;
struct EquipTrial_S;

class ActionEnv_C {
public:
    virtual ~ActionEnv_C() = default;

    // --- timed events --------------------------------------------------------
    // The end of a stun (event 7001) at tick `due`: with a creature, that
    // creature's stun ends (when it is still in the party or the enemy list
    // then); with null, every stunned party member whose "StunTimeout" has
    // passed. False when nothing was queued (no world, a tick in the past).
    virtual bool queueStunTimeout(bl3dCharacter* target, uint32_t due);
    // A timed event that needs no creature (the expiry events 9010 to 9014,
    // the bard song 9100) at tick `due`. False when nothing was queued.
    virtual bool queueTimedEvent(int typeId, uint32_t due);

    // --- the interface ---------------------------------------------------------
    // After "MagLt1", "Percep1" or "XCState" changed.
    virtual void calcLight() {}
    virtual void buildPercepPane() {}
    virtual void calcXC() {}
    // The party's square (x east, y north) and facing in degrees; false when
    // no quest is loaded.
    virtual bool partyPosition(int& x, int& y, int& facing) const;
    // Puts the party on the square (the facing stays). False, nothing
    // moved, without a map or for a square off it.
    virtual bool moveParty(int x, int y);
    // --- the current map ---------------------------------------------------------
    // Its size in squares; false when no map is loaded.
    virtual bool mapSize(int& width, int& height) const;
    // Whether a step from (x, y) toward the facing is refused.
    virtual bool isBlocked(int x, int y, int facing) const;
    // Whether the cell of square (x, y) has a wall on the side of the facing.
    virtual bool hasWall(int x, int y, int facing) const;
    // The saved state byte of a square (bit 0x01 visited); 0 off the map or
    // without one.
    virtual uint8_t squareState(int x, int y) const;
    // Marks every square of the rectangle as traps sprung and/or spinners
    // stopped (the map clamps the rectangle; ends below 0 reach the last
    // column and row).
    virtual void springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2);

    // --- master data -----------------------------------------------------------
    // The monster type of that singular name; null when there is none.
    virtual bl3dMonsterType* findMonsterType(const char* name);

    // --- the character sheet ---------------------------------------------------
    // Lets the player rearrange the member's equipment as a trial and hands
    // the result back by item serial; the member's own items are left as
    // they are. False (and `out` unchanged) when no trial could run.
    virtual bool equipTrial(bl3dPartyChar* member, EquipTrial_S& out);

    // --- bard-song music ---------------------------------------------------------
    // `parts` is the singer's instrument mask (its "Inst" attribute), two
    // bits per variant of the song's music.
    // Whether the song with that action id has music for one of the parts.
    virtual bool bsTest(int32_t songId, uint32_t parts);
    // Starts the song's music; -1 when it has none for the parts.
    virtual int playSong(int32_t songId, uint32_t parts);
    // Ends the music of the song played outside combat.
    virtual int stopSong() { return 0; }
    // Ends the music of the fight's song; a song played outside combat
    // that still runs plays on.
    virtual int stopFightSong() { return stopSong(); }
    virtual bool isSongPlaying() const { return false; }
};

// The environment in force; never null.
ActionEnv_C& actionEnv();
// Installs an environment (not owned); null puts the stand-in back.
void setActionEnv(ActionEnv_C* env);
