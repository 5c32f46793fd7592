#include "rules/MonsterTypeRecord.h"

#include "core/MemStream.h"

#include <cstring>

namespace {

void writeText(MemStream_C& s, const std::string& text, uint32_t field) {
    char buf[MONSTER_BUFFER_BYTES] = {};
    std::strncpy(buf, text.c_str(), field - 1);
    s.write(buf, field);
}

// The field's text up to its first NUL; a field without one ends at its
// last byte.
std::string readText(const uint8_t* p, uint32_t field) {
    char buf[MONSTER_BUFFER_BYTES];
    std::memcpy(buf, p, field);
    buf[field - 1] = 0;
    return std::string(buf);
}

int32_t word(const uint8_t* head, int i) {
    const uint8_t* p = head + i * 4;
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

int fail(std::string* why, const std::string& text) {
    if (why)
        *why = text;
    return -1;
}

// The caller has checked that the pairs fit the bytes.
void readPairs(MemStream_C& s, int32_t n, std::vector<std::pair<int32_t, int32_t>>& out) {
    out.clear();
    out.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        int32_t id = 0, weight = 0;
        s.readInt32(id);
        s.readInt32(weight);
        out.emplace_back(id, weight);
    }
}

} // namespace

void MonsterTypeRecord_S::write(MemStream_C& s) const {
    for (int32_t v : stats)
        s.writeInt32(v);
    for (int32_t v : {hpBase, spBase, xpBase, goldBase})
        s.writeInt32(v);
    for (uint32_t v : {hpSpread, spSpread, xpSpread, goldSpread})
        s.writeUInt32(v);
    writeText(s, name, MONSTER_NAME_BYTES);
    writeText(s, pluralName, MONSTER_NAME_BYTES);
    writeText(s, nameBuffer, MONSTER_BUFFER_BYTES);
    for (int32_t v : {aiIndex, creatureType, level, sexCode, static_cast<int32_t>(actions.size()),
                      static_cast<int32_t>(actions2.size()), static_cast<int32_t>(drops.size())})
        s.writeInt32(v);
    for (const auto& [id, weight] : actions) {
        s.writeInt32(id);
        s.writeInt32(weight);
    }
    for (const auto& [id, weight] : actions2) {
        s.writeInt32(id);
        s.writeInt32(weight);
    }
    for (const std::string& d : drops)
        writeText(s, d, MONSTER_DROP_BYTES);
}

int MonsterTypeRecord_S::read(MemStream_C& s, std::string* why) {
    if (s.remaining() < MONSTER_HEAD_BYTES)
        return 0;
    uint8_t head[MONSTER_HEAD_BYTES];
    s.read(head, MONSTER_HEAD_BYTES);
    for (int i = 0; i < 22; ++i)
        stats[i] = word(head, i);
    hpBase = word(head, 22);
    spBase = word(head, 23);
    xpBase = word(head, 24);
    goldBase = word(head, 25);
    hpSpread = static_cast<uint32_t>(word(head, 26));
    spSpread = static_cast<uint32_t>(word(head, 27));
    xpSpread = static_cast<uint32_t>(word(head, 28));
    goldSpread = static_cast<uint32_t>(word(head, 29));
    name = readText(head + 30 * 4, MONSTER_NAME_BYTES);
    pluralName = readText(head + 40 * 4, MONSTER_NAME_BYTES);
    nameBuffer = readText(head + 50 * 4, MONSTER_BUFFER_BYTES);
    aiIndex = word(head, 82);
    creatureType = word(head, 83);
    level = word(head, 84);
    sexCode = word(head, 85);
    const int32_t firstCount = word(head, 86);
    const int32_t secondCount = word(head, 87);
    const int32_t dropCount = word(head, 88);
    const std::string who = "\"" + name + "\": ";
    if (firstCount < 0 || secondCount < 0 || dropCount < 0)
        return fail(why, who + "negative count");
    // Checked before anything is allocated: the counts must fit the bytes.
    const uint64_t need = (uint64_t(firstCount) + uint64_t(secondCount)) * 8 + uint64_t(dropCount) * MONSTER_DROP_BYTES;
    if (need > s.remaining())
        return fail(why, who + "record runs past the end");
    readPairs(s, firstCount, actions);
    readPairs(s, secondCount, actions2);
    drops.clear();
    drops.reserve(static_cast<size_t>(dropCount));
    for (int32_t i = 0; i < dropCount; ++i) {
        uint8_t line[MONSTER_DROP_BYTES];
        s.read(line, MONSTER_DROP_BYTES);
        drops.push_back(readText(line, MONSTER_DROP_BYTES));
    }
    return 1;
}
