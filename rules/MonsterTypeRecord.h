// MonsterTypeRecord_S: one record of "data/monsters.dat" exactly as stored,
// before its action ids are looked up. Little-endian; a 356-byte head of 89
// int32 words, then the two action lists and the drop lines:
//
//   words 0-21   the 22 stat values        words 50-81 char[128] name buffer
//   22-25        hp, sp, xp, gold bases    82 AI index
//   26-29        hp, sp, xp, gold spreads  83 creature type
//   30-39        char[40] singular name    84 level
//   40-49        char[40] plural name      85 sex code (1 female, 2 male)
//   86, 87, 88   first and second action pair counts, drop line count
//
// then firstCount x (int32 action id, int32 weight), secondCount x the
// same, dropCount x an 80-byte drop line. Every text is forced to end inside
// its field.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class MemStream_C;

constexpr uint32_t MONSTER_HEAD_BYTES = 356;
constexpr uint32_t MONSTER_NAME_BYTES = 40;
constexpr uint32_t MONSTER_BUFFER_BYTES = 128;
constexpr uint32_t MONSTER_DROP_BYTES = 80;

struct MonsterTypeRecord_S {
    int32_t stats[22] = {};
    int32_t hpBase = 0, spBase = 0, xpBase = 0, goldBase = 0;
    uint32_t hpSpread = 0, spSpread = 0, xpSpread = 0, goldSpread = 0;
    std::string name;
    std::string pluralName;
    std::string nameBuffer;
    int32_t aiIndex = 1;
    int32_t creatureType = 0;
    int32_t level = 1;
    int32_t sexCode = 0;
    std::vector<std::pair<int32_t, int32_t>> actions;  // (action id, weight)
    std::vector<std::pair<int32_t, int32_t>> actions2; // (action id, weight)
    std::vector<std::string> drops;

    // Texts longer than their fields are cut to fit (with their NUL).
    void write(MemStream_C& s) const;
    // 1 read; 0 no record left (fewer bytes than a record's head: the end of
    // the records); -1 the record runs past the end of the bytes, through a
    // count that is negative or asks for more than is left (reason in
    // *why). Any other value is taken as it stands, an empty name included.
    int read(MemStream_C& s, std::string* why = nullptr);
};
