#include "actions/ActionFile.h"

#include "core/MemStream.h"
#include "rules/StatBlock.h"

#include <cstdio>
#include <cstring>

bool readGzBytes(gzFile f, MemStream_C& to, uint32_t n) {
    char buf[4096];
    while (n > 0) {
        const unsigned want = n < sizeof buf ? n : static_cast<unsigned>(sizeof buf);
        const int got = gzread(f, buf, want);
        if (got <= 0)
            return false;
        to.write(buf, static_cast<uint32_t>(got));
        n -= static_cast<uint32_t>(got);
    }
    return true;
}

namespace {

// What went wrong with the stream: its own error, or its end.
std::string streamTrouble(gzFile f, const char* what) {
    int err = Z_OK;
    const char* text = gzerror(f, &err);
    if (err != Z_OK && err != Z_STREAM_END && text && *text)
        return std::string(what) + " unreadable (" + text + ")";
    return std::string("premature end of file in ") + what;
}

void readText(MemStream_C& s, std::string& out, uint32_t n) {
    if (n == 0) {
        out.clear();
        return;
    }
    out.assign(s.current(), n);
    s.skip(n);
}

bool isLetterCode(const char* code, bool upperOnly) {
    for (int i = 0; i < 4; ++i) {
        const bool upper = code[i] >= 'A' && code[i] <= 'Z';
        const bool lower = code[i] >= 'a' && code[i] <= 'z';
        if (!upper && (upperOnly || !lower))
            return false;
    }
    return code[4] == 0;
}

bool validTargetKind(uint8_t kind) {
    switch (kind) {
    case 0x00:
    case 0x01:
    case 0x02:
    case 0x04:
    case 0x08:
    case 0x10:
    case 0x20:
        return true;
    default:
        return false;
    }
}

// Empty when the dice may be rolled.
std::string diceFault(int32_t count, int32_t sides) {
    if (count < 0 || count > MAX_EFFECT_DICE)
        return "dice count " + std::to_string(count) + " outside 0.." + std::to_string(MAX_EFFECT_DICE);
    if (sides < 0 || sides > MAX_EFFECT_SIDES)
        return "dice sides " + std::to_string(sides) + " outside 0.." + std::to_string(MAX_EFFECT_SIDES);
    if (count > 0 && sides == 0)
        return "dice of 0 sides";
    return {};
}

std::string saveFault(uint16_t index) {
    if (index > MAX_SAVE_INDEX)
        return "saving throw index " + std::to_string(index) + " beyond " + std::to_string(MAX_SAVE_INDEX);
    return {};
}

std::string conditionFault(const char* what, uint32_t bits) {
    if (bits & ~CONDITION_BITS) {
        char text[96];
        std::snprintf(text, sizeof text, "%s 0x%x holds bits that are no condition", what, bits);
        return text;
    }
    return {};
}

} // namespace

// --- ActionDef_S ---------------------------------------------------------------------

void ActionDef_S::clear() { *this = ActionDef_S{}; }

int ActionDef_S::read(gzFile f, std::string* why) {
    // The first byte tells a clean end of the records from a cut one.
    MemStream_C head;
    char first = 0;
    const int got = gzread(f, &first, 1);
    if (got == 0) {
        int err = Z_OK;
        gzerror(f, &err);
        if (err == Z_OK || err == Z_STREAM_END)
            return 0;
    }
    bool whole = got == 1;
    if (whole) {
        head.write(&first, 1);
        whole = readGzBytes(f, head, HEAD_BYTES - 1);
    }
    if (!whole) {
        if (why)
            *why = streamTrouble(f, "the action's head");
        return -1;
    }
    uint16_t nameLen = 0, descLen = 0;
    uint8_t verbLen = 0, prepLen = 0, gerundLen = 0;
    head.readUInt32(id);
    head.readUInt16(nameLen);
    head.readUInt16(descLen);
    head.readByte(targetKind);
    head.readByte(range);
    head.readByte(level);
    head.readByte(actionType);
    head.readUInt32(classMask);
    head.readUInt32(ignoreMask);
    head.readByte(effectCount);
    head.readByte(verbLen);
    head.readByte(prepLen);
    head.readByte(gerundLen);

    const uint32_t varBytes = uint32_t(nameLen) + descLen + verbLen + prepLen + gerundLen +
                              (isSpell() ? SPELL_TAIL_BYTES : 0);
    MemStream_C var;
    if (!readGzBytes(f, var, varBytes)) {
        if (why)
            *why = streamTrouble(f, "the action's texts");
        return -1;
    }
    readText(var, name, nameLen);
    readText(var, description, descLen);
    readText(var, verb, verbLen);
    readText(var, preposition, prepLen);
    readText(var, gerund, gerundLen);
    std::memset(code, 0, sizeof code);
    path = 0;
    spCost = 0;
    if (isSpell()) {
        var.read(code, 4);
        var.readUInt16(path);
        var.readUInt16(spCost);
    }
    return 1;
}

bool ActionDef_S::write(MemStream_C& s) const {
    if (name.size() > 0xffff || description.size() > 0xffff || verb.size() > 0xff || preposition.size() > 0xff ||
        gerund.size() > 0xff)
        return false;
    s.writeUInt32(id);
    s.writeUInt16(static_cast<uint16_t>(name.size()));
    s.writeUInt16(static_cast<uint16_t>(description.size()));
    s.writeByte(targetKind);
    s.writeByte(range);
    s.writeByte(level);
    s.writeByte(actionType);
    s.writeUInt32(classMask);
    s.writeUInt32(ignoreMask);
    s.writeByte(effectCount);
    s.writeByte(static_cast<uint8_t>(verb.size()));
    s.writeByte(static_cast<uint8_t>(preposition.size()));
    s.writeByte(static_cast<uint8_t>(gerund.size()));
    for (const std::string* t : {&name, &description, &verb, &preposition, &gerund})
        s.write(t->data(), static_cast<uint32_t>(t->size()));
    if (isSpell()) {
        s.write(code, 4);
        s.writeUInt16(path);
        s.writeUInt16(spCost);
    }
    return true;
}

// --- effect records ----------------------------------------------------------------

bool EffectHeader_S::read(gzFile f) {
    MemStream_C s;
    if (!readGzBytes(f, s, BYTES))
        return false;
    s.readUInt16(type);
    s.readUInt16(length);
    return true;
}

void EffectHeader_S::write(MemStream_C& s) const {
    s.writeUInt16(type);
    s.writeUInt16(length);
}

bool DamageBody_S::read(MemStream_C& s) {
    if (s.remaining() < BYTES)
        return false;
    s.readByte(range);
    s.readByte(mode);
    s.readInt16(sides);
    s.readInt16(count);
    s.readInt16(bonus);
    s.readInt32(unused);
    s.readByte(perLevel);
    s.readByte(element);
    s.readUInt16(saveIndex);
    s.readUInt32(flags);
    s.readUInt32(param);
    return true;
}

void DamageBody_S::write(MemStream_C& s) const {
    s.writeByte(range);
    s.writeByte(mode);
    s.writeInt16(sides);
    s.writeInt16(count);
    s.writeInt16(bonus);
    s.writeInt32(unused);
    s.writeByte(perLevel);
    s.writeByte(element);
    s.writeUInt16(saveIndex);
    s.writeUInt32(flags);
    s.writeUInt32(param);
}

bool StatBody_S::read(MemStream_C& s) {
    if (s.remaining() < BYTES)
        return false;
    s.readByte(range);
    s.readByte(mode);
    s.readUInt16(durationKind);
    s.readUInt16(duration);
    s.readUInt16(saveIndex);
    s.readInt32(conditions);
    s.readInt32(pairCount);
    return true;
}

void StatBody_S::write(MemStream_C& s) const {
    s.writeByte(range);
    s.writeByte(mode);
    s.writeUInt16(durationKind);
    s.writeUInt16(duration);
    s.writeUInt16(saveIndex);
    s.writeInt32(conditions);
    s.writeInt32(pairCount);
}

bool EffectStatPair_S::read(MemStream_C& s) {
    if (s.remaining() < BYTES)
        return false;
    s.readUInt16(stat);
    s.readInt16(amount);
    return true;
}

void EffectStatPair_S::write(MemStream_C& s) const {
    s.writeUInt16(stat);
    s.writeInt16(amount);
}

bool HealBody_S::read(MemStream_C& s) {
    if (s.remaining() < BYTES)
        return false;
    s.readUInt16(mode);
    s.readInt16(count);
    s.readInt16(sides);
    s.readInt16(fixed);
    s.readUInt16(unused);
    s.readInt32(flags);
    s.readUInt32(cure);
    return true;
}

void HealBody_S::write(MemStream_C& s) const {
    s.writeUInt16(mode);
    s.writeInt16(count);
    s.writeInt16(sides);
    s.writeInt16(fixed);
    s.writeUInt16(unused);
    s.writeInt32(flags);
    s.writeUInt32(cure);
}

uint32_t EffectRecord_S::decodedBytes() const {
    if (!decoded)
        return 0;
    switch (header.type) {
    case EFFECT_DAMAGE: return DamageBody_S::BYTES;
    case EFFECT_STAT: return StatBody_S::BYTES + EffectStatPair_S::BYTES * static_cast<uint32_t>(pairs.size());
    case EFFECT_HEAL: return HealBody_S::BYTES;
    default: return 0;
    }
}

bool EffectRecord_S::read(gzFile f, std::string* why) {
    *this = EffectRecord_S{};
    if (!header.read(f))
        return false;
    // A known type is read by its own size, whatever the stated length says,
    // so a wrong length never puts the next record inside this body.
    MemStream_C body;
    bool whole = true;
    switch (header.type) {
    case EFFECT_DAMAGE: whole = readGzBytes(f, body, DamageBody_S::BYTES) && damage.read(body); break;
    case EFFECT_HEAL: whole = readGzBytes(f, body, HealBody_S::BYTES) && heal.read(body); break;
    case EFFECT_STAT:
        whole = readGzBytes(f, body, StatBody_S::BYTES) && stat.read(body);
        if (whole && (stat.pairCount < 0 || stat.pairCount > MAX_STAT_PAIRS)) {
            if (why)
                *why = "stat effect of " + std::to_string(stat.pairCount) + " pairs, which no body length holds";
            return false;
        }
        if (whole) {
            pairs.resize(static_cast<size_t>(stat.pairCount));
            for (EffectStatPair_S& p : pairs)
                whole = whole && readGzBytes(f, body, EffectStatPair_S::BYTES) && p.read(body);
        }
        break;
    default: break;
    }
    if (!whole)
        return false;
    decoded = header.type == EFFECT_DAMAGE || header.type == EFFECT_STAT || header.type == EFFECT_HEAL;
    // What the stated length has beyond the type is passed over (and kept to
    // be written back); an unknown type is all such bytes.
    const uint32_t own = decodedBytes();
    if (header.length > own) {
        MemStream_C rest;
        if (!readGzBytes(f, rest, header.length - own))
            return false;
        tail.assign(rest.data(), rest.data() + rest.size());
    }
    return true;
}

void EffectRecord_S::write(MemStream_C& s) const {
    header.write(s);
    if (decoded) {
        switch (header.type) {
        case EFFECT_DAMAGE: damage.write(s); break;
        case EFFECT_STAT:
            stat.write(s);
            for (const EffectStatPair_S& p : pairs)
                p.write(s);
            break;
        case EFFECT_HEAL: heal.write(s); break;
        default: break;
        }
    }
    if (!tail.empty())
        s.write(tail.data(), static_cast<uint32_t>(tail.size()));
}

void EffectRecord_S::setLength() {
    decoded = header.type == EFFECT_DAMAGE || header.type == EFFECT_STAT || header.type == EFFECT_HEAL;
    if (header.type == EFFECT_STAT)
        stat.pairCount = static_cast<int32_t>(pairs.size());
    header.length = static_cast<uint16_t>(decodedBytes() + tail.size());
}

std::string EffectRecord_S::fault() const {
    const char* kinds[] = {"damage", "stat", "heal"};
    if (header.type < EFFECT_DAMAGE || header.type > EFFECT_HEAL)
        return {}; // passed over by its length
    const std::string kind = kinds[header.type - 1];
    if (header.length < decodedBytes())
        return kind + " body stated as " + std::to_string(header.length) + " bytes, shorter than its " +
               std::to_string(decodedBytes());
    switch (header.type) {
    case EFFECT_DAMAGE: {
        std::string why = diceFault(damage.count, damage.sides);
        if (why.empty())
            why = saveFault(damage.saveIndex);
        if (why.empty() && damage.element > MAX_ELEMENT)
            why = "element " + std::to_string(damage.element) + " beyond " + std::to_string(MAX_ELEMENT);
        return why.empty() ? why : kind + ": " + why;
    }
    case EFFECT_STAT: {
        if (stat.pairCount < 0 || pairs.size() != static_cast<size_t>(stat.pairCount))
            return kind + ": " + std::to_string(stat.pairCount) + " pairs stated, " + std::to_string(pairs.size()) +
                   " given";
        std::string why = saveFault(stat.saveIndex);
        if (why.empty())
            why = conditionFault("condition mask", static_cast<uint32_t>(stat.conditions));
        for (const EffectStatPair_S& p : pairs)
            if (why.empty() && (!validStat(p.stat) || p.stat == STAT_CONDITIONS))
                why = "stat index " + std::to_string(p.stat) + " is no stat a modifier may change";
        return why.empty() ? why : kind + ": " + why;
    }
    default: {
        std::string why = diceFault(heal.count, heal.sides);
        if (why.empty() && heal.fixed < 0)
            why = "negative amount " + std::to_string(heal.fixed);
        if (why.empty())
            why = conditionFault("cure mask", heal.cure);
        return why.empty() ? why : kind + ": " + why;
    }
    }
}

// --- ActionRecord_S --------------------------------------------------------------

int ActionRecord_S::read(gzFile f, std::string* why) {
    effects.clear();
    const int r = def.read(f, why);
    if (r <= 0)
        return r;
    effects.resize(def.effectCount);
    for (size_t i = 0; i < effects.size(); ++i) {
        std::string broken;
        if (!effects[i].read(f, &broken)) {
            if (why)
                *why = !broken.empty() ? "effect " + std::to_string(i + 1) + ": " + broken
                                       : streamTrouble(f, ("effect " + std::to_string(i + 1)).c_str());
            effects.clear();
            return -1;
        }
    }
    return 1;
}

bool ActionRecord_S::write(MemStream_C& s) const {
    if (def.effectCount != effects.size())
        return false;
    MemStream_C record;
    if (!def.write(record))
        return false;
    for (const EffectRecord_S& e : effects)
        e.write(record);
    return s.write(record.data(), record.size());
}

std::string ActionRecord_S::fault() const {
    if (def.actionType != ACTION_RECORD_SKILL && def.actionType != ACTION_RECORD_SPELL)
        return "unknown action type " + std::to_string(def.actionType);
    if (!validTargetKind(def.targetKind))
        return "unknown target kind " + std::to_string(def.targetKind);
    if (def.isSpell() && !isLetterCode(def.code, false))
        return "the code is not four letters";
    for (size_t i = 0; i < effects.size(); ++i) {
        const std::string why = effects[i].fault();
        if (!why.empty())
            return "effect " + std::to_string(i + 1) + ": " + why;
    }
    return {};
}

std::string ActionRecord_S::warning() const {
    if (def.isSpell() && isLetterCode(def.code, false) && !isLetterCode(def.code, true))
        return std::string("the code ") + def.code + " has lower-case letters, which no caster types; kept as it is";
    return {};
}
