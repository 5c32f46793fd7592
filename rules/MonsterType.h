// bl3dMonsterType: one kind of monster from "data/monsters.dat". A type makes
// combat monsters with rolled hit points, spell points and gold and with
// per-mille item drops, and makes a party member when a monster joins or is
// summoned. bl3dMonsterTypeList (the global masterMTL) owns every type;
// monsters and joined monsters point at their type, so the list outlives them.
#pragma once
#include "rules/ActionList.h"
#include "rules/StatBlock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class bl3dCombatAI;
class bl3dItem;
class bl3dMonster;
class bl3dPartyChar;
struct MonsterTypeRecord_S;

// Creature type of the undead (weapons name creature types they act on).
constexpr int32_t CREATURE_UNDEAD = 21;
// Creature type of monsters that cannot be outrun.
constexpr int32_t CREATURE_NO_ESCAPE = 4;
// Creature type of demons.
constexpr int32_t CREATURE_DEMON = 22;

class bl3dMonsterType {
public:
    // Builds the type from a stored record: stats as base values, Defend
    // (weight 0) then the record's pairs in the first list, the second
    // list's pairs, the drop lines. Ids are looked up in `actions` by exact
    // id, then by substitute id; unknown ids are skipped.
    bl3dMonsterType(const MonsterTypeRecord_S& rec, const ActionList& actions);
    ~bl3dMonsterType();
    bl3dMonsterType(const bl3dMonsterType&) = delete;
    bl3dMonsterType& operator=(const bl3dMonsterType&) = delete;

    // The plural name when asked (as stored, even when empty), else the
    // singular.
    const char* getName(bool plural = false) const;
    const char* getPluralName() const { return pluralName_.c_str(); }
    // "A"/"a", or "An"/"an" when the singular name begins with a vowel or y.
    const char* article(bool capital) const;
    int32_t getLevel() const { return level_; }
    int32_t getKind() const { return creatureType_; }
    int32_t getAlignment() const { return alignment_; }
    int32_t getSex() const { return sex_; }
    // By sex; form 0 subject, 1 object, 2 possessive.
    const char* pronoun(int form) const;
    // The combat AI table's entry at the type's AI index (null when unset).
    bl3dCombatAI* getCombatAI() const;
    int32_t getAIIndex() const { return aiIndex_; }
    ActionList* actions() { return &actions_; }
    ActionList* actions2() { return &actions2_; }
    bl3dStatBlock* getStats() { return &stats_; }
    const bl3dStatBlock* getStats() const { return &stats_; }
    // The name a monster of this type takes as a party member; also the name
    // buffer of its combat monsters (128 characters with the NUL).
    char* nameBuffer() { return nameBuffer_; }
    void setName(const char* text);
    const std::vector<std::string>& dropLines() const { return drops_; }

    // Fresh draws: base - rand() % (spread + 1), from base - spread to base.
    int32_t rollHP() const;
    int32_t rollSP() const;
    int32_t rollXP() const;
    int32_t rollGold() const;

    // A new combat monster of this type with the type's combat AI and the
    // kind byte, carrying its drops. The caller owns it.
    bl3dMonster* createMonster(int kind);
    // The drops of one monster, rolled line by line (each try a per-mille
    // chance), appended to `out` (the caller owns the items).
    void rollDrops(std::vector<bl3dItem*>& out) const;
    // A party member made from the type: class 0x10000 when summoned, else
    // 0x8000; race 10. The caller owns it.
    bl3dPartyChar* makePartyChar(bool summoned);

private:
    bl3dStatBlock stats_;
    int32_t hpBase_, spBase_, xpBase_, goldBase_;
    uint32_t hpSpread_, spSpread_, xpSpread_, goldSpread_;
    ActionList actions_;
    ActionList actions2_;
    std::string name_;
    std::string pluralName_;
    int32_t alignment_ = 2;
    int32_t sex_ = 0;
    std::vector<std::string> drops_;
    int32_t creatureType_ = 0;
    int32_t level_ = 1;
    char nameBuffer_[128] = {};
    int32_t aiIndex_ = 1;
};

class bl3dMonsterTypeList {
public:
    bl3dMonsterTypeList() = default;
    ~bl3dMonsterTypeList();
    bl3dMonsterTypeList(const bl3dMonsterTypeList&) = delete;
    bl3dMonsterTypeList& operator=(const bl3dMonsterTypeList&) = delete;

    // Reads a gzip (or plain) monster file. Every record's action ids are
    // looked up in masterActionList. Records follow one another until fewer
    // bytes than a record's head are left (such a tail is ignored). A record
    // without a name is refused and the tail reported, each with an "ERROR"
    // line naming the file on the error stream; the other records are kept
    // and their number returned, each type pushed at the head. A file that
    // cannot be opened (-1), or whose structure cannot be followed (-2: a
    // broken gzip stream, a count that is negative or runs past the end),
    // leaves the list as it was, with a message on the error stream.
    int load(const std::string& path);
    // Parses records from memory into the list (as load); notes, when
    // given, gets one text per refused record or stray tail.
    int loadFrom(MemStream_C& s, const ActionList& actions, std::string* why,
                 std::vector<std::string>* notes = nullptr);

    // The first type from the head (the file's last record first) whose
    // singular name is exactly `name`; null when none.
    bl3dMonsterType* findByName(const char* name) const;
    // Takes the type over and puts it at the head.
    void pushFront(std::unique_ptr<bl3dMonsterType> type);
    int count() const { return static_cast<int>(types_.size()); }
    // Type i counted from the head; null out of range.
    bl3dMonsterType* at(int i) const;
    void clear();

private:
    // Kept in file order; the head is the back.
    std::vector<std::unique_ptr<bl3dMonsterType>> types_;
};

extern bl3dMonsterTypeList masterMTL;

// The combat AI table that monster types index (entry 1 is the one combat AI
// object of the game, which start-up installs). Out-of-range indices give
// null.
constexpr int COMBAT_AI_SLOTS = 8;
bl3dCombatAI* combatAIEntry(int index);
void setCombatAIEntry(int index, bl3dCombatAI* ai);

// Where random-item drops ("rand..." lines) come from: the current map's
// random item table. The game installs it; it returns a new item, or null
// when the map has none. Unset, such lines drop nothing.
using RandomItemSource = std::function<bl3dItem*()>;
void setRandomItemSource(RandomItemSource source);
// A new item from the installed source; null when there is none.
bl3dItem* drawRandomItem();
