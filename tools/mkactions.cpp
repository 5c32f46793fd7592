// mkactions: builds the action data file ("data/actions.dat", gzip) from the
// readable spell book in content/actions/, with the game's own record
// writers, and checks what it wrote: the file read back record by record and
// written again gives the same bytes, and the game's loader takes every
// record.
//   mkactions SOURCE OUT
//
// '#' starts a comment; numbers may be hex with 0x. One block per action,
// "spell ID" or "skill ID" to "end":
//   name TEXT                 the name
//   desc TEXT                 the description
//   code ABCD                 spells: four upper-case letters, unique (lower
//                             case is warned of and kept)
//   path N  cost N            spells: the school (0 for none) and the cost
//   class MASK  level N       who may learn it, and its level
//   target none|one|group|all|member|party|self
//   range FEET                0 reaches anywhere
//   ignore COND...            conditions the can-act check passes over
//   words VERB PREP GERUND    "cast at blast"; "-" for no preposition
// and its effects, in order:
//   damage mode M [range FEET] dice NdS[+B] [save N] [perlevel [MAX]]
//          [element fire|earth|air|water] [poison DUR SIDES COUNT BONUS STRIDE save|nosave]
//          [deathblow] [only TYPE | double TYPE | none TYPE] [banish]
//          (poison, only, double and none keep their value in one field: at
//          most one of them per effect)
//   stat mode M [range FEET] duration KIND [ticks N] [save N] [cond COND...]
//        [mod STAT AMOUNT]...
//   heal mode M [dice NdS[+B]] [cure COND...] [raise]
// perlevel multiplies the dice count by the user's level, at most MAX (2 to
// 255) when given. Modes as targets (one group all member party self); duration kinds 1
// (10 ticks) to 5 (for good), 6 (the ticks given); conditions stun poison
// aged sleep blind song hidden withered stone; stats as the item catalogue
// names them (ST IQ WI DX CN CH CO LK AC ATTACK DAMAGE ...).
// Refused: an id or code given twice, an id that takes the place of a
// built-in action (by id or by the id a stored action is matched with),
// texts that do not fit their fields, and anything the game's loader would
// refuse. Records are written in source order.
#include "rules/Action.h"
#include "actions/ActionFile.h"
#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "core/MemStream.h"
#include "rules/StatBlock.h"
#include "tools/SourceReader.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Named_S {
    const char* name;
    uint32_t value;
};

const Named_S TARGETS[] = {{"none", 0x00},   {"one", 0x01},   {"group", 0x02}, {"all", 0x04},
                           {"member", 0x08}, {"party", 0x10}, {"self", 0x20}};
const Named_S CONDITIONS[] = {{"stun", 0x01},  {"poison", 0x02}, {"aged", 0x04},     {"sleep", 0x08}, {"blind", 0x10},
                              {"song", 0x20},  {"hidden", 0x40}, {"withered", 0x80}, {"stone", 0x100}};
const Named_S ELEMENTS[] = {{"fire", 1}, {"earth", 2}, {"air", 3}, {"water", 4}};
const char* const STATS[STAT_COUNT] = {"ST",       "IQ",      "WI",       "DX",      "CN",       "CH",
                                       "CO",       "LK",      "AC",       "ATTACK",  "DAMAGE",   "EXTRA",
                                       "COND",     "FIREHIT", "FIREDMG",  "EARTHHIT", "EARTHDMG", "AIRHIT",
                                       "AIRDMG",   "WATERHIT", "WATERDMG", "STAT21"};

template <size_t N>
bool lookUp(const Named_S (&table)[N], const std::string& word, uint32_t& out) {
    for (const Named_S& n : table)
        if (word == n.name) {
            out = n.value;
            return true;
        }
    return false;
}

// The words of an effect line, taken one by one.
class Words_C {
public:
    Words_C(SourceReader_C& in, std::vector<std::string> words) : in_(in), words_(std::move(words)) {}
    bool more() const { return at_ < words_.size(); }
    std::string next() { return more() ? words_[at_++] : std::string(); }
    const std::string& peek() const { return words_[at_]; }
    bool number(int64_t& out, int64_t lo, int64_t hi) {
        const std::string w = next();
        if (!SourceReader_C::number(w, out) || out < lo || out > hi) {
            in_.error("\"" + w + "\" is no number within " + std::to_string(lo) + ".." + std::to_string(hi));
            return false;
        }
        return true;
    }
    bool mode(uint32_t& out) {
        const std::string w = next();
        if (!lookUp(TARGETS, w, out)) {
            in_.error("unknown mode \"" + w + "\"");
            return false;
        }
        return true;
    }
    // "NdS" or "NdS+B" (or -B).
    bool dice(int64_t& count, int64_t& sides, int64_t& bonus) {
        const std::string w = next();
        const size_t d = w.find('d');
        const size_t sign = w.find_first_of("+-", d == std::string::npos ? 0 : d);
        bonus = 0;
        bool ok = d != std::string::npos && SourceReader_C::number(w.substr(0, d), count) &&
                  SourceReader_C::number(w.substr(d + 1, sign == std::string::npos ? std::string::npos : sign - d - 1),
                                         sides) &&
                  (sign == std::string::npos || SourceReader_C::number(w.substr(sign), bonus));
        ok = ok && count >= 0 && sides >= 0 && bonus >= INT16_MIN && bonus <= INT16_MAX && count <= INT16_MAX &&
             sides <= INT16_MAX;
        if (!ok)
            in_.error("\"" + w + "\" is no dice such as 2d6+1");
        return ok;
    }
    // Condition names up to the next word that is none.
    uint32_t conditions() {
        uint32_t bits = 0, one = 0;
        while (more() && lookUp(CONDITIONS, words_[at_], one)) {
            bits |= one;
            ++at_;
        }
        if (bits == 0)
            in_.error("a condition name is missing");
        return bits;
    }

private:
    SourceReader_C& in_;
    std::vector<std::string> words_;
    size_t at_ = 0;
};

bool statIndex(const std::string& word, int64_t& out) {
    for (int i = 0; i < STAT_COUNT; ++i)
        if (word == STATS[i]) {
            out = i;
            return true;
        }
    return SourceReader_C::number(word, out);
}

// One word of an effect line and what follows it, taken into the record;
// false for a word the effect does not know.
using TakeWord = bool (*)(const std::string& key, Words_C& w, EffectRecord_S& e, SourceReader_C& in);

// An effect line of that type: every word handed to `take`; a word it does
// not know is a fault (named only while the source has no other).
EffectRecord_S effectLine(SourceReader_C& in, uint16_t type, const char* kind, TakeWord take) {
    EffectRecord_S e;
    e.header.type = type;
    Words_C w(in, in.words());
    while (w.more()) {
        const std::string key = w.next();
        if (!take(key, w, e, in) && in.ok())
            in.error("unknown " + std::string(kind) + " word \"" + key + "\"");
    }
    e.setLength();
    return e;
}

// The words that each keep their value in the one special parameter.
constexpr uint32_t PARAM_FLAGS = 0x02 | 0x08 | 0x10 | 0x20;

// A second word that would keep its value in the special parameter is a
// fault: one of the two would be lost.
void takeParam(const std::string& key, const DamageBody_S& b, SourceReader_C& in) {
    if (b.flags & PARAM_FLAGS)
        in.error("\"" + key + "\" shares the one special parameter with a word before it (poison, only, double, none)");
}

bool damageWord(const std::string& key, Words_C& w, EffectRecord_S& e, SourceReader_C& in) {
    DamageBody_S& b = e.damage;
    int64_t v = 0, count = 0, sides = 0, bonus = 0;
    uint32_t u = 0;
    if (key == "mode" && w.mode(u)) {
        b.mode = static_cast<uint8_t>(u);
    } else if (key == "range" && w.number(v, 0, 255)) {
        b.range = static_cast<uint8_t>(v);
    } else if (key == "dice" && w.dice(count, sides, bonus)) {
        b.count = static_cast<int16_t>(count);
        b.sides = static_cast<int16_t>(sides);
        b.bonus = static_cast<int16_t>(bonus);
    } else if (key == "save" && w.number(v, 0, 0xffff)) {
        b.saveIndex = static_cast<uint16_t>(v);
    } else if (key == "perlevel") {
        b.perLevel = 1;
        if (w.more() && SourceReader_C::number(w.peek(), v)) {
            if (w.number(v, 2, 255))
                b.perLevel = static_cast<uint8_t>(v);
        }
    } else if (key == "element") {
        const std::string name = w.next();
        if (!lookUp(ELEMENTS, name, u))
            in.error("unknown element \"" + name + "\"");
        b.element = static_cast<uint8_t>(u);
    } else if (key == "poison") {
        int64_t dur = 0, s = 0, c = 0, bo = 0, stride = 0;
        takeParam(key, b, in);
        if (w.number(dur, 0, 0x1ff) && w.number(s, 0, 31) && w.number(c, 0, 31) && w.number(bo, 0, 63) &&
            w.number(stride, 0, 63)) {
            const std::string save = w.next();
            if (save != "save" && save != "nosave")
                in.error("poison ends with save or nosave");
            b.flags |= 0x02;
            b.param = static_cast<uint32_t>(dur) << 22 | static_cast<uint32_t>(s) | static_cast<uint32_t>(c) << 5 |
                      static_cast<uint32_t>(bo) << 10 | static_cast<uint32_t>(stride) << 16 |
                      (save == "save" ? 0x80000000u : 0u);
        }
    } else if (key == "deathblow") {
        b.flags |= 0x04;
    } else if ((key == "only" || key == "double" || key == "none") && w.number(v, 0, INT32_MAX)) {
        takeParam(key, b, in);
        b.flags |= key == "only" ? 0x08u : key == "double" ? 0x10u : 0x20u;
        b.param = static_cast<uint32_t>(v);
    } else if (key == "banish") {
        b.flags |= 0x40;
    } else {
        return false;
    }
    return true;
}

bool statWord(const std::string& key, Words_C& w, EffectRecord_S& e, SourceReader_C& in) {
    StatBody_S& b = e.stat;
    int64_t v = 0;
    uint32_t u = 0;
    if (key == "mode" && w.mode(u)) {
        b.mode = static_cast<uint8_t>(u);
    } else if (key == "range" && w.number(v, 0, 255)) {
        b.range = static_cast<uint8_t>(v);
    } else if (key == "duration" && w.number(v, 1, 6)) {
        b.durationKind = static_cast<uint16_t>(v);
    } else if (key == "ticks" && w.number(v, 0, 0xffff)) {
        b.duration = static_cast<uint16_t>(v);
    } else if (key == "save" && w.number(v, 0, 0xffff)) {
        b.saveIndex = static_cast<uint16_t>(v);
    } else if (key == "cond") {
        b.conditions = static_cast<int32_t>(w.conditions());
    } else if (key == "mod") {
        int64_t stat = 0;
        const std::string name = w.next();
        if (!statIndex(name, stat) || stat < 0 || stat > 0xffff)
            in.error("unknown stat \"" + name + "\"");
        else if (w.number(v, INT16_MIN, INT16_MAX))
            e.pairs.push_back(EffectStatPair_S{static_cast<uint16_t>(stat), static_cast<int16_t>(v)});
    } else {
        return false;
    }
    return true;
}

bool healWord(const std::string& key, Words_C& w, EffectRecord_S& e, SourceReader_C&) {
    HealBody_S& b = e.heal;
    int64_t count = 0, sides = 0, bonus = 0;
    uint32_t u = 0;
    if (key == "mode" && w.mode(u)) {
        b.mode = static_cast<uint16_t>(u);
    } else if (key == "dice" && w.dice(count, sides, bonus)) {
        b.count = static_cast<int16_t>(count);
        b.sides = static_cast<int16_t>(sides);
        b.fixed = static_cast<int16_t>(bonus);
    } else if (key == "cure") {
        b.cure = w.conditions();
    } else if (key == "raise") {
        b.flags |= 1;
    } else {
        return false;
    }
    return true;
}

EffectRecord_S damageLine(SourceReader_C& in) {
    EffectRecord_S e = effectLine(in, EFFECT_DAMAGE, "damage", damageWord);
    if (e.damage.mode == 0)
        in.error("damage needs a mode");
    return e;
}

EffectRecord_S statLine(SourceReader_C& in) {
    EffectRecord_S e = effectLine(in, EFFECT_STAT, "stat", statWord);
    if (e.stat.mode == 0 || e.stat.durationKind == 0)
        in.error("stat needs a mode and a duration");
    return e;
}

EffectRecord_S healLine(SourceReader_C& in) {
    EffectRecord_S e = effectLine(in, EFFECT_HEAL, "heal", healWord);
    if (e.heal.mode == 0)
        in.error("heal needs a mode");
    return e;
}

bool lowerWord(const std::string& w) {
    if (w.empty())
        return false;
    for (char c : w)
        if (c < 'a' || c > 'z')
            return false;
    return true;
}

// Reads the source; false after printing every fault found.
bool readBook(const char* path, std::vector<ActionRecord_S>& out) {
    SourceReader_C in(path);
    if (!in.opened()) {
        std::fprintf(stderr, "mkactions: cannot read %s\n", path);
        return false;
    }
    ActionRecord_S* cur = nullptr;
    bool haveWords = false;
    int64_t v = 0;
    while (in.next()) {
        const std::string& key = in.keyword();
        if (!cur) {
            if (key != "spell" && key != "skill") {
                in.error("\"" + key + "\" outside a spell or skill block");
                continue;
            }
            out.emplace_back();
            cur = &out.back();
            cur->def.actionType = key == "spell" ? ACTION_RECORD_SPELL : ACTION_RECORD_SKILL;
            haveWords = false;
            if (!SourceReader_C::number(in.rest(), v) || v < 0 || v > 0xffffffffLL)
                in.error(key + " needs an action id");
            cur->def.id = static_cast<uint32_t>(v);
            continue;
        }
        ActionDef_S& d = cur->def;
        std::vector<int64_t> n;
        uint32_t u = 0;
        if (key == "end") {
            if (d.name.empty() || !haveWords)
                in.error("the block needs a name and its words");
            if (d.isSpell() && d.code[0] == 0)
                in.error("a spell needs a code");
            if (cur->effects.size() > 255)
                in.error("more than 255 effects");
            d.effectCount = static_cast<uint8_t>(cur->effects.size());
            cur = nullptr;
        } else if (key == "name") {
            d.name = in.rest();
        } else if (key == "desc") {
            d.description = in.rest();
        } else if (key == "code" && d.isSpell()) {
            const std::string c = in.rest();
            if (c.size() != 4)
                in.error("a code is four letters");
            std::strncpy(d.code, c.c_str(), 4);
            d.code[4] = 0;
        } else if ((key == "path" || key == "cost") && d.isSpell() && in.numbers(n, 1) && n[0] >= 0 &&
                   n[0] <= 0xffff) {
            (key == "path" ? d.path : d.spCost) = static_cast<uint16_t>(n[0]);
        } else if (key == "class" && in.numbers(n, 1) && n[0] >= 0 && n[0] <= 0xffffffffLL) {
            d.classMask = static_cast<uint32_t>(n[0]);
        } else if (key == "level" && in.numbers(n, 1) && n[0] >= 0 && n[0] <= 255) {
            d.level = static_cast<uint8_t>(n[0]);
        } else if (key == "range" && in.numbers(n, 1) && n[0] >= 0 && n[0] <= 255) {
            d.range = static_cast<uint8_t>(n[0]);
        } else if (key == "target" && lookUp(TARGETS, in.rest(), u)) {
            d.targetKind = static_cast<uint8_t>(u);
        } else if (key == "ignore") {
            Words_C w(in, in.words());
            d.ignoreMask = w.conditions();
        } else if (key == "words") {
            const std::vector<std::string> w = in.words();
            if (w.size() != 3 || !lowerWord(w[0]) || !lowerWord(w[2]) || (w[1] != "-" && !lowerWord(w[1]))) {
                in.error("words are a verb, a preposition (or -) and a gerund stem, in lower case");
                continue;
            }
            d.verb = w[0];
            d.preposition = w[1] == "-" ? "" : w[1];
            d.gerund = w[2];
            haveWords = true;
        } else if (key == "damage") {
            cur->effects.push_back(damageLine(in));
        } else if (key == "stat") {
            cur->effects.push_back(statLine(in));
        } else if (key == "heal") {
            cur->effects.push_back(healLine(in));
        } else {
            in.error("bad line \"" + key + "\"");
        }
    }
    if (cur)
        in.error("the last block has no \"end\"");
    return in.ok();
}

// The faults across records: ids and codes twice, built-in actions shadowed,
// and what the loader would refuse.
bool checkBook(const std::vector<ActionRecord_S>& book) {
    bool ok = true;
    std::map<uint32_t, std::string> builtinKeys;
    for (const ActionNode_S* a = masterActionList.head(); a; a = a->next)
        builtinKeys[static_cast<uint32_t>(a->action->actionID()) & ACTION_SUBST_MASK] = a->action->name().c_str();
    std::set<uint32_t> ids, keys;
    std::set<std::string> codes;
    for (const ActionRecord_S& r : book) {
        const std::string what = r.def.name + " (0x" + [&] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08x", r.def.id);
            return std::string(hex);
        }() + ")";
        auto fail = [&](const std::string& why) {
            std::fprintf(stderr, "mkactions: %s: %s\n", what.c_str(), why.c_str());
            ok = false;
        };
        const uint32_t key = r.def.id & ACTION_SUBST_MASK;
        if (!ids.insert(r.def.id).second)
            fail("the id is given twice");
        else if (!keys.insert(key).second)
            fail("a stored id of another action would be matched with it");
        if (builtinKeys.count(key))
            fail("it would take the place of the built-in \"" + builtinKeys[key] + "\"");
        if (r.def.isSpell() && !codes.insert(r.def.code).second)
            fail(std::string("the code ") + r.def.code + " is given twice");
        const std::string fault = r.fault();
        if (!fault.empty())
            fail(fault);
        const std::string warning = r.warning();
        if (!warning.empty())
            std::fprintf(stderr, "mkactions: warning: %s: %s\n", what.c_str(), warning.c_str());
    }
    return ok;
}

bool writeGz(const char* path, const MemStream_C& bytes) {
    gzFile f = gzopen(path, "wb9");
    bool ok = f && (bytes.size() == 0 || gzwrite(f, bytes.data(), bytes.size()) == static_cast<int>(bytes.size()));
    if (f && gzclose(f) != Z_OK)
        ok = false;
    return ok;
}

// Reads the file back with the game's record readers and writes it again.
bool sameAfterRoundTrip(const char* path, const MemStream_C& written, size_t records) {
    gzFile f = gzopen(path, "rb");
    if (!f)
        return false;
    MemStream_C again;
    size_t n = 0;
    ActionRecord_S r;
    int got = 0;
    while ((got = r.read(f)) == 1 && r.write(again))
        ++n;
    gzclose(f);
    return got == 0 && n == records && again.size() == written.size() &&
           std::memcmp(again.data(), written.data(), written.size()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkactions SOURCE OUT\n");
        return 2;
    }
    std::vector<ActionRecord_S> book;
    if (!readBook(argv[1], book))
        return 1;
    initActions();
    const bool ok = checkBook(book);
    if (!ok) {
        masterActionList.destroyAll();
        return 1;
    }
    MemStream_C out;
    for (const ActionRecord_S& r : book)
        if (!r.write(out)) {
            std::fprintf(stderr, "mkactions: %s: a text is too long for its field\n", r.def.name.c_str());
            masterActionList.destroyAll();
            return 1;
        }
    // Written beside the target and put in its place only once it checks.
    const std::string tmp = std::string(argv[2]) + ".tmp";
    int status = 0;
    if (!writeGz(tmp.c_str(), out)) {
        std::fprintf(stderr, "mkactions: cannot write %s\n", tmp.c_str());
        status = 1;
    } else if (!sameAfterRoundTrip(tmp.c_str(), out, book.size())) {
        std::fprintf(stderr, "mkactions: %s does not read back as it was written\n", argv[2]);
        status = 1;
    } else if (masterActionList.load(tmp.c_str()) != static_cast<int>(book.size())) {
        std::fprintf(stderr, "mkactions: the game does not take every record of %s\n", argv[2]);
        status = 1;
    } else if (std::rename(tmp.c_str(), argv[2]) != 0) {
        std::fprintf(stderr, "mkactions: cannot write %s\n", argv[2]);
        status = 1;
    }
    masterActionList.destroyAll();
    if (status != 0)
        std::remove(tmp.c_str());
    return status;
}
