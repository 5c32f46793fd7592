#include "rules/MonsterType.h"

#include "rules/Action.h"
#include "core/Log.h"
#include "core/MemStream.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "rules/MonsterTypeRecord.h"

#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstring>

bl3dMonsterTypeList masterMTL;

namespace {

constexpr int32_t DEFEND_ID = 0x320003;

bl3dCombatAI* aiTable[COMBAT_AI_SLOTS] = {};
RandomItemSource randomItemSource;

int32_t roll(int32_t base, uint32_t spread) {
    // 64-bit so that a spread of 0xffffffff does not wrap to a zero modulus.
    const uint64_t range = uint64_t(spread) + 1;
    return static_cast<int32_t>(static_cast<int64_t>(base) - static_cast<int64_t>(uint64_t(vell::gameRand()) % range));
}

bl3dAction* lookUp(const ActionList& actions, int32_t id) {
    bl3dAction* a = actions.getAction(id);
    return a ? a : actions.getSubstAction(id);
}

} // namespace

bl3dCombatAI* combatAIEntry(int index) {
    return index >= 0 && index < COMBAT_AI_SLOTS ? aiTable[index] : nullptr;
}

void setCombatAIEntry(int index, bl3dCombatAI* ai) {
    if (index >= 0 && index < COMBAT_AI_SLOTS)
        aiTable[index] = ai;
}

void setRandomItemSource(RandomItemSource source) {
    randomItemSource = std::move(source);
}

bl3dItem* drawRandomItem() {
    return randomItemSource ? randomItemSource() : nullptr;
}

// --- bl3dMonsterType ----------------------------------------------------------

bl3dMonsterType::bl3dMonsterType(const MonsterTypeRecord_S& rec, const ActionList& actions)
    : hpBase_(rec.hpBase), spBase_(rec.spBase), xpBase_(rec.xpBase), goldBase_(rec.goldBase),
      hpSpread_(rec.hpSpread), spSpread_(rec.spSpread), xpSpread_(rec.xpSpread), goldSpread_(rec.goldSpread),
      name_(rec.name), pluralName_(rec.pluralName), sex_(rec.sexCode == 1 || rec.sexCode == 2 ? rec.sexCode : 0),
      drops_(rec.drops), creatureType_(rec.creatureType), level_(rec.level), aiIndex_(rec.aiIndex) {
    setName(rec.nameBuffer.c_str());
    for (int i = 0; i < STAT_COUNT; ++i)
        stats_.setBase(i, rec.stats[i]);
    if (bl3dAction* defend = actions.getAction(DEFEND_ID))
        actions_.add(defend, 0);
    for (const auto& [id, weight] : rec.actions)
        if (bl3dAction* a = lookUp(actions, id))
            actions_.add(a, weight);
    for (const auto& [id, weight] : rec.actions2)
        if (bl3dAction* a = lookUp(actions, id))
            actions2_.add(a, weight);
}

bl3dMonsterType::~bl3dMonsterType() = default;

const char* bl3dMonsterType::getName(bool plural) const {
    return plural ? pluralName_.c_str() : name_.c_str();
}

const char* bl3dMonsterType::article(bool capital) const {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(name_.empty() ? 'x' : name_[0])));
    const bool vowel = std::strchr("aeiouy", c) != nullptr;
    if (vowel)
        return capital ? "An" : "an";
    return capital ? "A" : "a";
}

const char* bl3dMonsterType::pronoun(int form) const {
    static const char* const forms[3][3] = {
        {"it", "it", "its"}, {"she", "her", "her"}, {"he", "him", "his"}};
    if (form < 0 || form > 2)
        form = 0;
    const int s = sex_ >= 0 && sex_ <= 2 ? sex_ : 0;
    return forms[s][form];
}

bl3dCombatAI* bl3dMonsterType::getCombatAI() const {
    return combatAIEntry(aiIndex_);
}

void bl3dMonsterType::setName(const char* text) {
    std::strncpy(nameBuffer_, text ? text : "", sizeof nameBuffer_ - 1);
    nameBuffer_[sizeof nameBuffer_ - 1] = 0;
}

int32_t bl3dMonsterType::rollHP() const { return roll(hpBase_, hpSpread_); }
int32_t bl3dMonsterType::rollSP() const { return roll(spBase_, spSpread_); }
int32_t bl3dMonsterType::rollXP() const { return roll(xpBase_, xpSpread_); }
int32_t bl3dMonsterType::rollGold() const { return roll(goldBase_, goldSpread_); }

// --- bl3dMonsterTypeList ----------------------------------------------------------

bl3dMonsterTypeList::~bl3dMonsterTypeList() {
    if (this == &masterMTL)
        VELL_LOG(1, "Quitting... masterMTL.~bl3dMonsterTypeList()\n");
    clear();
}

void bl3dMonsterTypeList::clear() {
    types_.clear();
}

void bl3dMonsterTypeList::pushFront(std::unique_ptr<bl3dMonsterType> type) {
    if (type)
        types_.push_back(std::move(type));
}

bl3dMonsterType* bl3dMonsterTypeList::at(int i) const {
    if (i < 0 || i >= count())
        return nullptr;
    return types_[types_.size() - 1 - static_cast<size_t>(i)].get();
}

bl3dMonsterType* bl3dMonsterTypeList::findByName(const char* name) const {
    if (!name)
        return nullptr;
    for (auto it = types_.rbegin(); it != types_.rend(); ++it)
        if (std::strcmp((*it)->getName(), name) == 0)
            return it->get();
    return nullptr;
}

int bl3dMonsterTypeList::loadFrom(MemStream_C& s, const ActionList& actions, std::string* why,
                                  std::vector<std::string>* notes) {
    std::vector<std::unique_ptr<bl3dMonsterType>> loaded;
    std::vector<std::string> refused;
    for (int record = 0;; ++record) {
        MonsterTypeRecord_S rec;
        std::string reason;
        const int r = rec.read(s, &reason);
        if (r == 0)
            break;
        if (r < 0) {
            if (why)
                *why = "record " + std::to_string(record) + ": " + reason;
            return -2;
        }
        // Monsters are found by name: a nameless one could never be met.
        if (rec.name.empty()) {
            refused.push_back("record " + std::to_string(record) + " refused: it has no name");
            continue;
        }
        loaded.push_back(std::make_unique<bl3dMonsterType>(rec, actions));
    }
    if (s.remaining() > 0)
        refused.push_back(std::to_string(s.remaining()) + " stray bytes after the last record ignored");
    for (auto& t : loaded)
        types_.push_back(std::move(t));
    if (notes)
        notes->insert(notes->end(), refused.begin(), refused.end());
    return static_cast<int>(loaded.size());
}

int bl3dMonsterTypeList::load(const std::string& path) {
    gzFile f = gzopen(vell::resolvePath(path).c_str(), "rb");
    if (!f) {
        VELL_LOG(1, "MTL::load() could not open monster type file %s\n", path.c_str());
        std::fprintf(stderr, "ERROR: could not open monster type file %s\n", path.c_str());
        return -1;
    }
    MemStream_C s;
    constexpr uint32_t MAX_BYTES = 64u << 20;
    char buf[65536];
    bool ok = true;
    for (;;) {
        const int got = gzread(f, buf, sizeof buf);
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (s.size() + static_cast<uint32_t>(got) > MAX_BYTES) {
            ok = false;
            break;
        }
        s.write(buf, static_cast<uint32_t>(got));
    }
    // A compressed stream that stops before its end reads like a shorter
    // file; zlib only tells through its error state.
    int err = Z_OK;
    gzerror(f, &err);
    if (err != Z_OK)
        ok = false;
    gzclose(f);
    std::string why = "not a readable gzip stream";
    std::vector<std::string> notes;
    const int n = ok ? loadFrom(s, masterActionList, &why, &notes) : -2;
    for (const std::string& note : notes)
        std::fprintf(stderr, "ERROR: monster type file %s: %s\n", path.c_str(), note.c_str());
    if (n < 0)
        std::fprintf(stderr, "ERROR: monster type file %s is corrupt (%s)\n", path.c_str(), why.c_str());
    return n;
}
