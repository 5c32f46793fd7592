// The magic that lies on the world rather than on a creature: four families
// of state bits kept in world variables, each bit with a world variable of
// its own that holds the tick at which it ends.
//
//   family            variable     bits (expiry variable)                 expiry event
//   light             "MagLt1"     0x01..0x40 ("MagExp11".."MagExp17")    9010
//   perception        "Percep1"    0x01..0x10 ("MagExp21".."MagExp25")    9011
//   magic state       "MagState1"  0x01..0x80 ("MagExp31".."MagExp38")    9012
//   encounters        "XCState"    0x02, 0x04, 0x08 ("MagExp41".."MagExp43") 9013
//
// A spell, skill or song that switches a bit on raises its expiry (never
// lowers it) and, when it raised it, queues the family's expiry event at
// the new end; the event clears every bit of its family whose end has come.
// Several events of one family are harmless: one that finds nothing due
// changes nothing. Everything lives in world variables, so it is saved and
// read back with the world.
#pragma once
#include <cstdint>

class TagList_C;

enum MagicFamily : int {
    MAGIC_LIGHT = 0,
    MAGIC_PERCEPTION = 1,
    MAGIC_STATE = 2,
    MAGIC_ENCOUNTER = 3,
    MAGIC_FAMILY_COUNT = 4,
};

struct MagicBit_S {
    int32_t bit;
    const char* expiry;
};

struct MagicFamily_S {
    const char* variable;
    int expiryEvent;
    const MagicBit_S* bits;
    int count;
};

const MagicFamily_S& magicFamily(MagicFamily family);

// Timed events that the actions queue besides the families' expiry events.
constexpr int EVENT_ID_FIZZLE_RESET = 9014; // every party member's mind clears
constexpr int EVENT_ID_BARD_SONG = 9100;    // the song outside combat ends

// Bits of "MagState1" that other rules read.
enum MagicStateBit : int32_t {
    MAGSTATE_FLOAT = 0x01,
    MAGSTATE_SHIELD = 0x02,
    MAGSTATE_NO_ILLUSIONS = 0x04,
    MAGSTATE_NO_UNDEAD = 0x08,
    MAGSTATE_NO_DEMONS = 0x10,
    MAGSTATE_NO_MAGIC = 0x20, // every cast fizzles
    MAGSTATE_NO_REPRODUCTION = 0x40,
    MAGSTATE_NO_SUMMONING = 0x80,
};

// Switches the bits on in the family's variable and raises the expiry of
// each to `until` where it ends earlier (unsigned compare); the variable is
// stored in any case. Bits the family does not know are ignored. True when
// some expiry moved. Nothing without a tag list.
bool raiseMagicBits(TagList_C* tags, MagicFamily family, int32_t bits, uint32_t until);
// Clears the bits (of `mask`) whose expiry is at or before now (an absent
// expiry counts as 0) and stores the variable. Returns the new value.
int32_t expireMagicBits(TagList_C* tags, MagicFamily family, uint32_t now, int32_t mask = -1);

// raiseMagicBits on the world in play, and the family's expiry event queued
// at `until` when an expiry moved. True when it did.
bool extendWorldMagic(MagicFamily family, int32_t bits, uint32_t until);
