#include "rules/ClassDef.h"

#include "core/MemStream.h"

std::vector<ClassDef_S> classDef;

const ClassDef_S* findClassDef(int32_t classId) {
    for (auto it = classDef.rbegin(); it != classDef.rend(); ++it)
        if (it->classId == classId)
            return &*it;
    return nullptr;
}

namespace {

bool fail(std::string* why, const char* text) {
    if (why)
        *why = text;
    return false;
}

// A count read from the stream that is negative or claims more entries of
// entrySize bytes than remain is corrupt.
bool readCount(MemStream_C& s, uint32_t entrySize, int32_t& n) {
    return s.readInt32(n) && n >= 0 && static_cast<uint32_t>(n) <= s.remaining() / entrySize;
}

bool readInts(MemStream_C& s, std::vector<int32_t>& out) {
    int32_t n = 0;
    if (!readCount(s, 4, n))
        return false;
    out.assign(static_cast<size_t>(n), 0);
    for (int32_t& v : out)
        if (!s.readInt32(v))
            return false;
    return true;
}

void writeInts(MemStream_C& s, const std::vector<int32_t>& v) {
    s.writeInt32(static_cast<int32_t>(v.size()));
    for (int32_t x : v)
        s.writeInt32(x);
}

bool readPairs(MemStream_C& s, std::vector<ClassStatPair_S>& out) {
    int32_t n = 0;
    if (!readCount(s, 8, n))
        return false;
    out.assign(static_cast<size_t>(n), ClassStatPair_S());
    for (ClassStatPair_S& p : out)
        if (!s.readInt32(p.stat) || !s.readInt32(p.value))
            return false;
    return true;
}

void writePairs(MemStream_C& s, const std::vector<ClassStatPair_S>& v) {
    s.writeInt32(static_cast<int32_t>(v.size()));
    for (const ClassStatPair_S& p : v) {
        s.writeInt32(p.stat);
        s.writeInt32(p.value);
    }
}

} // namespace

void ClassDef_S::write(MemStream_C& s) const {
    name.write(s);
    for (int32_t v : {classId, levelTable, hpDie, spDie, hpBonus, spBonus, spStat, acBonus, acStat})
        s.writeInt32(v);
    writeInts(s, races);
    writePairs(s, requirements);
    writePairs(s, modifiers);
    s.writeInt32(static_cast<int32_t>(tags.size()));
    for (const ClassTag_S& t : tags) {
        t.key.write(s);
        t.value.write(s);
    }
    writeInts(s, list1);
    writeInts(s, list2);
    s.writeInt32(static_cast<int32_t>(startingItems.size()));
    for (const ClassItem_S& i : startingItems) {
        s.writeInt32(i.itemId);
        s.writeByte(i.equip ? 1 : 0);
    }
}

bool ClassDef_S::read(MemStream_C& s, std::string* why) {
    if (!name.read(s))
        return fail(why, "name");
    for (int32_t* v : {&classId, &levelTable, &hpDie, &spDie, &hpBonus, &spBonus, &spStat, &acBonus, &acStat})
        if (!s.readInt32(*v))
            return fail(why, "fields");
    if (!readInts(s, races))
        return fail(why, "races");
    if (!readPairs(s, requirements))
        return fail(why, "requirements");
    if (!readPairs(s, modifiers))
        return fail(why, "modifiers");
    int32_t n = 0;
    if (!readCount(s, 5, n)) // a key length and a kind byte at least
        return fail(why, "tag count");
    tags.assign(static_cast<size_t>(n), ClassTag_S());
    for (ClassTag_S& t : tags) {
        if (!t.key.read(s))
            return fail(why, "tag key");
        // A value of unknown kind has no known length: nothing after it can
        // be found.
        if (s.remaining() > 0 && static_cast<uint8_t>(s.current()[0]) > 4)
            return fail(why, "tag kind");
        if (!t.value.read(s))
            return fail(why, "tag value");
    }
    if (!readInts(s, list1) || !readInts(s, list2))
        return fail(why, "lists");
    if (!readCount(s, 5, n))
        return fail(why, "starting item count");
    startingItems.assign(static_cast<size_t>(n), ClassItem_S());
    for (ClassItem_S& i : startingItems) {
        uint8_t equip = 0;
        if (!s.readInt32(i.itemId) || !s.readByte(equip))
            return fail(why, "starting items");
        i.equip = equip != 0;
    }
    return true;
}
