// The action data file ("data/actions.dat"): the skills and spells the game
// defines beyond its built-in actions, as they are stored. The file is a
// gzip stream of action records with no header, count or trailer:
//
//   ActionDef_S head (24 bytes)   id, text lengths, target kind, range,
//                                 level, action type, class mask, ignore
//                                 mask, effect count
//   the variable part             name, description, verb, preposition,
//                                 gerund; a spell adds its 4-letter code,
//                                 uint16 path and uint16 cost
//   effect-count effect records   EffectHeader_S (uint16 type, uint16 body
//                                 length), then the body: DamageBody_S (24
//                                 bytes), StatBody_S (16 bytes and 4 per
//                                 pair) or HealBody_S (18 bytes); a body of
//                                 another type is passed over by its length
//
// Everything is little-endian and read field by field. The writers emit
// exactly the bytes the readers take: the tool that builds the file
// (tools/mkactions) and the built-in damage spell's writeRecord use them, so
// what is written is what the game reads.
//
// A body of a known type is read by the type's own size (a stat body with
// its pairs); what the stated length has beyond that is passed over, kept as
// the body's tail (and written back), and a stated length shorter than the
// type makes the record faulty. A body of another type is passed over by its
// length. Whether a record
// read whole may be used is fault()'s to say; the loader refuses a faulty
// record and goes on with the next one.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

class MemStream_C;

enum ActionRecordType : uint8_t {
    ACTION_RECORD_SKILL = 1,
    ACTION_RECORD_SPELL = 2,
};

enum EffectType : uint16_t {
    EFFECT_DAMAGE = 1,
    EFFECT_STAT = 2,
    EFFECT_HEAL = 3,
};

// Limits a usable record keeps to (fault() refuses anything beyond them).
constexpr int32_t MAX_EFFECT_DICE = 100;       // dice in one roll, before a level multiplier
constexpr int32_t MAX_EFFECT_SIDES = 1000;     // sides of one die
constexpr int32_t MAX_SAVE_INDEX = 5;          // the saving throw tables' columns
constexpr int32_t MAX_ELEMENT = 4;             // 1 fire, 2 earth, 3 air, 4 water
constexpr uint32_t CONDITION_BITS = 0x1ff;     // every condition of stat 12
// The most pairs a stat body's 16-bit length can state.
constexpr int32_t MAX_STAT_PAIRS = (0xffff - 16) / 4;

// The head of an action record and its texts. For a spell (action type 2)
// the code, path and cost follow the texts.
struct ActionDef_S {
    static constexpr uint32_t HEAD_BYTES = 24;
    static constexpr uint32_t SPELL_TAIL_BYTES = 8;

    uint32_t id = 0;
    uint8_t targetKind = 0;
    uint8_t range = 0;
    uint8_t level = 0;
    uint8_t actionType = 0;
    uint32_t classMask = 0;
    uint32_t ignoreMask = 0; // conditions the can-act check passes over
    uint8_t effectCount = 0;
    std::string name;
    std::string description;
    std::string verb;        // "cast"; narration adds "s" and "ing"
    std::string preposition; // "at", or empty
    std::string gerund;      // the stem of "%sing"
    char code[5] = {0, 0, 0, 0, 0};
    uint16_t path = 0; // only its low byte is the spell's path
    uint16_t spCost = 0;

    bool isSpell() const { return actionType == ACTION_RECORD_SPELL; }
    // Everything back to zero and empty.
    void clear();
    // Reads the head and the variable part. 1 read; 0 the stream ended
    // before the first byte; -1 it ended (or broke) part way, with what is
    // missing in *why.
    int read(gzFile f, std::string* why = nullptr);
    // Appends the head and the variable part. False, writing nothing, when a
    // text is too long for its length field.
    bool write(MemStream_C& s) const;
};

struct EffectHeader_S {
    static constexpr uint32_t BYTES = 4;
    uint16_t type = 0;
    uint16_t length = 0; // of the body that follows

    bool read(gzFile f);
    void write(MemStream_C& s) const;
};

// Type 1: damage.
struct DamageBody_S {
    static constexpr uint32_t BYTES = 24;
    uint8_t range = 0;
    uint8_t mode = 0; // 1 one, 2 a group, 4 all
    int16_t sides = 0;
    int16_t count = 0;
    int16_t bonus = 0;
    int32_t unused = 0;
    // Non-zero: the dice count is multiplied by the user's level; a value
    // above 1 is also the highest multiplier (a cheap spell's growth capped).
    uint8_t perLevel = 0;
    uint8_t element = 0;
    uint16_t saveIndex = 0;
    uint32_t flags = 0; // 0x02 poison, 0x04 death blow, 0x08/0x10/0x20 by type, 0x40 banish
    uint32_t param = 0; // a creature type, or the packed poison

    // From BYTES bytes of `s`; false (nothing read) when fewer remain.
    bool read(MemStream_C& s);
    void write(MemStream_C& s) const;
};

// Type 2: timed stat modifiers and condition bits; pairCount EffectStatPair_S
// follow it.
struct StatBody_S {
    static constexpr uint32_t BYTES = 16;
    uint8_t range = 0;
    uint8_t mode = 0;
    uint16_t durationKind = 0;
    uint16_t duration = 0; // ticks, with duration kind 6
    uint16_t saveIndex = 0;
    int32_t conditions = 0;
    int32_t pairCount = 0;

    bool read(MemStream_C& s);
    void write(MemStream_C& s) const;
};

struct EffectStatPair_S {
    static constexpr uint32_t BYTES = 4;
    uint16_t stat = 0;
    int16_t amount = 0;

    bool read(MemStream_C& s);
    void write(MemStream_C& s) const;
};

// Type 3: healing, curing and raising.
struct HealBody_S {
    static constexpr uint32_t BYTES = 18;
    uint16_t mode = 0; // 8 one member, 0x10 the whole side, 0x20 the user
    int16_t count = 0;
    int16_t sides = 0;
    int16_t fixed = 0;
    uint16_t unused = 0;
    int32_t flags = 0; // bit 0: may raise the dead
    uint32_t cure = 0; // condition bits cured

    bool read(MemStream_C& s);
    void write(MemStream_C& s) const;
};

// One effect record as read. `decoded` tells whether the type is a known
// one (its fields are then valid); `tail` holds the bytes the stated length
// has beyond the decoded part (all of them for an unknown type).
struct EffectRecord_S {
    EffectHeader_S header;
    bool decoded = false;
    DamageBody_S damage;
    StatBody_S stat;
    std::vector<EffectStatPair_S> pairs;
    HealBody_S heal;
    std::vector<uint8_t> tail;

    // The decoded part's size for this type; 0 for an unknown type.
    uint32_t decodedBytes() const;
    // Reads the header and the body: a known type by its own size, then what
    // the stated length has beyond it; another type by the stated length.
    // False when the stream ends (or breaks) first, or when a stat body states
    // more pairs than any length holds (then with the reason in *why).
    bool read(gzFile f, std::string* why = nullptr);
    // Header, decoded part, tail; the header's length is written as it is.
    void write(MemStream_C& s) const;
    // A record made in memory: the header's length set to its body's.
    void setLength();
    // Empty when the effect may be used; else why not.
    std::string fault() const;
};

// A whole action record.
struct ActionRecord_S {
    ActionDef_S def;
    std::vector<EffectRecord_S> effects;

    // 1 read; 0 the stream ended before the record's first byte; -1 the
    // stream ended or broke inside the record (what was missing in *why).
    int read(gzFile f, std::string* why = nullptr);
    // False, writing nothing, when a text does not fit its length field or
    // the effect count is not the number of effects.
    bool write(MemStream_C& s) const;
    // Empty when the record may become an action; else the first reason it
    // may not (the lengths, counts, indices, dice and code it holds).
    std::string fault() const;
    // Empty, or what a usable record holds that is likely a slip (a spell
    // code in lower case: monsters and items may name the spell, so it is
    // kept).
    std::string warning() const;
};

// Reads exactly n bytes of the stream into `to` (appended). False when fewer
// came.
bool readGzBytes(gzFile f, MemStream_C& to, uint32_t n);
