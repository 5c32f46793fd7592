// The spell book the game ships ("data/actions.dat" as the build made it
// from content/actions): it reads back to its own bytes and loads whole;
// every action id the shipped data names (items, the bestiary, the quest
// template, what the classes learn by level and start with) is there; codes
// are four upper-case letters and unique; no built-in action is shadowed;
// every spell's words read right; each casting path has what the
// Collegium's path change asks, healing and curing among it; the Protector
// has spells below level 7; the Lyre has a song of every level.
#include "ActionTest.h"

#include "actions/ActionFile.h"
#include "actions/Catalogue.h"
#include "actions/GenericSkill.h"
#include "actions/GenericSong.h"
#include "actions/GenericSpell.h"
#include "actions/HealEffect.h"
#include "actions/Spells.h"
#include "core/ArchiveFile.h"
#include "core/MemStream.h"
#include "rules/ClassDef.h"
#include "rules/ClassDefFile.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/LevelTable.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "world/QuestStores.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace {

std::string gameFile(const char* name) { return std::string(VELL_GAME_DIR) + "/data/" + name; }

// The whole uncompressed stream of a gzip file.
std::string gunzip(const std::string& path) {
    gzFile f = gzopen(path.c_str(), "rb");
    std::string out;
    if (!f)
        return out;
    char buf[8192];
    int n = 0;
    while ((n = gzread(f, buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    gzclose(f);
    return out;
}

// The generic part of a data-defined action (null for a built-in one).
const bl3dGenericCore* coreOf(const bl3dAction* a) {
    if (auto* s = dynamic_cast<const bl3dGenericSpell*>(a))
        return &s->core();
    if (auto* k = dynamic_cast<const bl3dGenericSkill*>(a))
        return &k->core();
    if (auto* g = dynamic_cast<const bl3dGenericSong*>(a))
        return &g->core();
    return nullptr;
}

// The stored bytes of every party member read since the list was cleared.
std::vector<std::string>& storedMembers() {
    static std::vector<std::string> bytes;
    return bytes;
}

std::unique_ptr<Storable_C> keepStoredMember(const RefStr_C& name, int version, MemStream_C& s) {
    storedMembers().emplace_back(s.current(), s.remaining());
    return bl3dPartyChar::create(name, version, s);
}

class ShippedSpellBookTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        for (const char* f : {"actions.dat", "item.dat", "monsters.dat", "class.dat", "savegame.dat"})
            if (access(gameFile(f).c_str(), R_OK) != 0)
                FAIL() << "the game folder has not been assembled (" << f << ")";
        for (const ActionNode_S* n = masterActionList.head(); n; n = n->next)
            builtins.insert(n->action);
        records = readRecords();
        ASSERT_EQ(masterActionList.load(gameFile("actions.dat").c_str()), static_cast<int>(records.size()))
            << "every record loads";
    }
    void TearDown() override {
        installQuestStores(nullptr);
        getTypeRegistry().add(TYPE_PARTY_CHAR, bl3dPartyChar::create);
        masterITL.clear();
        classDef.clear();
        levelTables.clear();
        ActionTest::TearDown();
    }

    // A new member of the class in the party, levelled to 60.
    bl3dPartyChar* levelled(const ClassDef_S& c) {
        MemberSpec_S wanted;
        wanted.name = c.name.c_str();
        wanted.classId = c.classId;
        bl3dPartyChar* m = kit->addMember(wanted);
        m->addXP(INT32_MAX);
        while (m->getLevel() < 60 && m->levelUp(true)) {
        }
        return m;
    }

    static std::vector<ActionRecord_S> readRecords() {
        std::vector<ActionRecord_S> out;
        gzFile f = gzopen(gameFile("actions.dat").c_str(), "rb");
        ActionRecord_S r;
        while (r.read(f) == 1)
            out.push_back(r);
        gzclose(f);
        return out;
    }
    static bool resolves(int32_t id) {
        return masterActionList.getAction(id) || masterActionList.getSubstAction(id);
    }
    // The data-defined actions, newest first.
    std::vector<bl3dAction*> dataActions() const {
        std::vector<bl3dAction*> out;
        for (const ActionNode_S* n = masterActionList.head(); n; n = n->next)
            if (!builtins.count(n->action))
                out.push_back(n->action);
        return out;
    }

    std::set<const bl3dAction*> builtins;
    std::vector<ActionRecord_S> records;
};

TEST_F(ShippedSpellBookTest, ReadsBackToItsOwnBytes) {
    MemStream_C again;
    for (const ActionRecord_S& r : records) {
        EXPECT_EQ(r.fault(), "") << r.def.name;
        ASSERT_TRUE(r.write(again));
    }
    const std::string raw = gunzip(gameFile("actions.dat"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(again.data()), again.size()), raw);
    EXPECT_GT(records.size(), 100u);
}

TEST_F(ShippedSpellBookTest, CodesAreUniqueAndNoBuiltInIsShadowed) {
    std::map<std::string, int32_t> codes;
    std::map<uint32_t, int32_t> keys;
    for (const ActionNode_S* n = masterActionList.head(); n; n = n->next) {
        const bl3dAction* a = n->action;
        SCOPED_TRACE(a->name().c_str());
        const uint32_t key = static_cast<uint32_t>(a->actionID()) & ACTION_SUBST_MASK;
        EXPECT_TRUE(keys.emplace(key, a->actionID()).second)
            << std::hex << a->actionID() << " is matched with " << keys[key] << " when a stored id is looked up";
        if (!a->isSpell())
            continue;
        const char* code = static_cast<const bl3dSpell*>(a)->code();
        ASSERT_EQ(std::strlen(code), 4u);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(code[i] >= 'A' && code[i] <= 'Z') << code;
        EXPECT_TRUE(codes.emplace(code, a->actionID()).second) << code << " twice";
        EXPECT_EQ(masterActionList.getSpellByCode(code), a) << code;
    }
    for (const bl3dAction* a : builtins)
        EXPECT_EQ(masterActionList.getAction(a->actionID()), a) << a->name().c_str() << " is shadowed";
}

TEST_F(ShippedSpellBookTest, EveryIdTheShippedDataNamesIsThere) {
    // Items' powers (a plot event is a script, not an action).
    ASSERT_EQ(masterITL.load(gameFile("item.dat").c_str()), 0);
    int powers = 0;
    for (int i = 0; i < masterITL.count(); ++i) {
        const int32_t id = masterITL.at(i)->getUseActionId();
        if (id == 0 || (static_cast<uint32_t>(id) & ACTION_PLOT_EVENT))
            continue;
        ++powers;
        EXPECT_NE(masterActionList.getAction(id), nullptr) << masterITL.at(i)->getName().c_str();
    }
    EXPECT_GE(powers, 3);

    // The bestiary, as the monster loader looks its ids up.
    MemStream_C monsters;
    const std::string raw = gunzip(gameFile("monsters.dat"));
    monsters.write(raw.data(), static_cast<uint32_t>(raw.size()));
    int abilities = 0;
    MonsterTypeRecord_S rec;
    while (rec.read(monsters) == 1)
        for (const auto* list : {&rec.actions, &rec.actions2})
            for (const auto& pair : *list) {
                EXPECT_TRUE(resolves(pair.first)) << rec.name << ": " << std::hex << pair.first;
                abilities += coreOf(masterActionList.getAction(pair.first)) != nullptr;
            }
    EXPECT_GE(abilities, 5) << "the monsters breathe, curse and heal";

    // The quest template's adventurers: each one's record, read with the
    // spell book loaded and written again, gives its stored bytes, so no
    // stored action id was left behind. (A reading turns the attribute list
    // round, so the record goes through twice.)
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(gameFile("savegame.dat"), false, &error);
    ASSERT_TRUE(archive) << error;
    registerRulesTypes();
    getTypeRegistry().add(TYPE_PARTY_CHAR, keepStoredMember);
    installQuestStores(archive.get());
    storedMembers().clear();
    std::unique_ptr<Storable_C> stored = archive->openDir("world")->load("party.dat");
    auto* p = dynamic_cast<bl3dParty*>(stored.get());
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(storedMembers().size(), static_cast<size_t>(p->getCount()));
    for (int i = 0; i < p->getCount(); ++i) {
        bl3dPartyChar* m = p->getMember(i);
        MemStream_C once;
        m->write(once);
        std::unique_ptr<Storable_C> reread = bl3dPartyChar::create(RefStr_C(m->getName()), m->version(), once);
        ASSERT_TRUE(reread) << m->getName();
        MemStream_C again;
        reread->write(again);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(again.data()), again.size()), storedMembers()[i])
            << m->getName();
    }
    installQuestStores(nullptr);
}

// What a new quest offers a player at once: every spell a ready-made
// adventurer knows can be cast with the points he starts with, outside a
// fight unless it is for fights only (a new Magician's Arcane Dart), a
// summon (should one know it) finds its creature in the bestiary, and among
// them there are spells to cast at once and a bard's songs. (No class knows
// a summon at the first level, which the ready-made adventurers are.)
TEST_F(ShippedSpellBookTest, TheReadyMadeAdventurersCanCastWhatTheyKnow) {
    ASSERT_EQ(masterITL.load(gameFile("item.dat").c_str()), 0);
    ASSERT_GT(masterMTL.load(gameFile("monsters.dat")), 0);
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(gameFile("savegame.dat"), false, &error);
    ASSERT_TRUE(archive) << error;
    registerRulesTypes();
    installQuestStores(archive.get());
    std::unique_ptr<Storable_C> stored = archive->openDir("world")->load("party.dat");
    auto* p = dynamic_cast<bl3dParty*>(stored.get());
    ASSERT_NE(p, nullptr);
    int summons = 0, songs = 0, spells = 0, atOnce = 0;
    for (int i = 0; i < p->getCount(); ++i) {
        bl3dPartyChar* m = p->getMember(i);
        SCOPED_TRACE(m->getName());
        for (const ActionNode_S* n = m->actions2()->head(); n; n = n->next) {
            const auto* spell = dynamic_cast<const bl3dSpell*>(n->action);
            ASSERT_NE(spell, nullptr) << "only spells are in the spell book";
            SCOPED_TRACE(spell->name().c_str());
            ++spells;
            atOnce += (static_cast<uint32_t>(spell->actionID()) & ACTION_COMBAT_ONLY) == 0;
            EXPECT_LE(spell->spCost(), m->getMaxSP());
            if (const auto* summon = dynamic_cast<const bl3dSummonSpell*>(spell)) {
                ++summons;
                EXPECT_NE(masterMTL.findByName(summon->summon().monster), nullptr) << summon->summon().monster;
            }
        }
        for (const ActionNode_S* n = m->actions()->head(); n; n = n->next)
            songs += n->action && (static_cast<uint32_t>(n->action->actionID()) & 0xb000) != 0;
    }
    EXPECT_GE(spells, 2);
    EXPECT_GE(atOnce, 2);
    EXPECT_EQ(summons, 0);
    EXPECT_GE(songs, 2);
    installQuestStores(nullptr);
    masterMTL.clear();
}

TEST_F(ShippedSpellBookTest, WhatTheClassesStartWithAndLearnByLevel) {
    // The first spells of the casting classes.
    const std::pair<int32_t, int32_t> starting[] = {
        {0x100, 0x00090001}, {0x100, 0x000f0002}, {0x200, 0x00090101}, {0x200, 0x000f0102}, {0x400, 0x0009012d},
        {0x400, 0x000f012e}, {0x800, 0x000b0116}, {0x800, 0x000f0117}, {0x1000, 0x00090160}, {0x1000, 0x000f0143}};
    for (const auto& s : starting) {
        const bl3dAction* a = masterActionList.getAction(s.second);
        ASSERT_NE(a, nullptr) << std::hex << s.second;
        EXPECT_TRUE(a->isSpell());
        EXPECT_TRUE(a->isForClass(s.first)) << a->name().c_str();
        EXPECT_EQ(a->getLevel(), 1) << a->name().c_str();
    }
    // The skills of the level gains, with their flag bytes.
    const std::pair<int32_t, int32_t> gains[] = {
        {0x1, 0x1a2036},    {0x1, 0x1e2037},    {0x8, 0x882038},   {0x20, 0xa2039},   {0x20, 0xe203a},
        {0x10, 0x1a203b},   {0x10, 0x1e203c},   {0x4000, 0xa203d}, {0x40, 0xe203e},   {0x1, 0xe203f},
        {0x1, 0xa2040},     {0x1, 0xa2041},     {0x1, 0xa2042},    {0x8, 0x82043},    {0x8, 0x82044},
        {0x8, 0x82045},     {0x8, 0xe2046},     {0x20, 0xa2047},   {0x20, 0xe2048},   {0x20, 0xe2049},
        {0x20, 0xa204a},    {0x20, 0xa204b},    {0x10, 0x1a204c},  {0x10, 0x1e204d},  {0x10, 0x1a204e},
        {0x10, 0x1a204f},   {0x10, 0x1a2050},   {0x10, 0xe2051},   {0x4, 0xe2052},    {0x10, 0x1e2053},
        {0x4000, 0x1e2054}, {0x4, 0xa2055},     {0x4, 0xe2056},    {0x40, 0x8205b},   {0x40, 0x1a205c}};
    // The Harper's level gains carry song numbers without the song flag:
    // the book has no action there (a bard's song numbers are its songs).
    for (int32_t harpers : {0xa2057, 0x882058, 0x882059, 0xa205a})
        EXPECT_EQ(masterActionList.getAction(harpers), nullptr) << std::hex << harpers;
    for (const auto& g : gains) {
        const bl3dAction* a = masterActionList.getAction(g.second);
        ASSERT_NE(a, nullptr) << std::hex << g.second;
        EXPECT_TRUE(a->isSkill()) << a->name().c_str();
        EXPECT_TRUE(a->isForClass(g.first)) << a->name().c_str();
    }

    // Every class levelled to 60: each daily counter it is given belongs to
    // an action it has learned.
    ASSERT_EQ(vell::loadClassFile(gameFile("class.dat")), 15);
    for (const ClassDef_S& c : classDef) {
        SCOPED_TRACE(c.name.c_str());
        bl3dPartyChar* m = levelled(c);
        std::set<int32_t> known;
        for (const ActionNode_S* n = m->actions()->head(); n; n = n->next)
            known.insert(n->action->actionID());
        for (const RefStr_C& key : m->getTagList()->counterKeys()) {
            const int32_t id = static_cast<int32_t>(std::strtoul(key.c_str(), nullptr, 16));
            EXPECT_TRUE(known.count(id)) << key.c_str();
        }
        party->removeAt(party->getCount() - 1);
    }
}

TEST_F(ShippedSpellBookTest, EveryPathHasWhatAPathChangeAsks) {
    // What the Collegium offers a member of the class on the path, by level.
    auto offered = [&](int32_t classId, int path) {
        std::vector<const bl3dAction*> out;
        for (const ActionNode_S* n = masterActionList.head(); n; n = n->next) {
            const bl3dAction* a = n->action;
            if (a->isSpell() && (a->school() == path || a->isForClass(0x3e00)) && a->isForClass(classId))
                out.push_back(a);
        }
        return out;
    };
    struct Path {
        int32_t classId;
        int path;
    };
    const Path paths[] = {{0x100, 1},  {0x100, 2},  {0x100, 3},   {0x100, 4},   {0x100, 5},
                          {0x200, 0},  {0x400, 0},  {0x800, 0},   {0x1000, 0},  {0x2000, 0}};
    for (const Path& p : paths) {
        SCOPED_TRACE(std::to_string(p.classId) + " path " + std::to_string(p.path));
        int perLevel[8] = {};
        bool heals = false, cures = false;
        for (const bl3dAction* a : offered(p.classId, p.path)) {
            if (a->getLevel() >= 1 && a->getLevel() <= 7)
                ++perLevel[a->getLevel()];
            if (const bl3dGenericCore* core = coreOf(a))
                for (const auto& e : core->effects())
                    if (auto* h = dynamic_cast<const bl3dHealEffect*>(e.get())) {
                        heals |= h->restoresHP();
                        cures |= h->cureMask() != 0;
                    }
        }
        for (int level = 1; level <= 4; ++level)
            EXPECT_GE(perLevel[level], 2) << "level " << level;
        EXPECT_GE(perLevel[5], 1);
        EXPECT_TRUE(heals && cures);
    }

    // The Protector learns every spell of his below his level; some of each
    // level below 7.
    for (int level = 1; level <= 6; ++level) {
        int n = 0;
        for (const ActionNode_S* a = masterActionList.head(); a; a = a->next)
            n += a->action->isSpell() && a->action->isForClass(0x20) && a->action->getLevel() == level;
        EXPECT_GE(n, 1) << "level " << level;
    }
}

// The ids of the songs that have music in the game folder.
std::set<uint32_t> songsWithMusic() {
    std::set<uint32_t> ids;
    std::ifstream list(std::string(VELL_GAME_DIR) + "/data/songs/bardsongs.cfg");
    std::string line;
    std::getline(list, line); // the folder and the number
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::ifstream song(std::string(VELL_GAME_DIR) + "/data/songs/" + line);
        std::string id;
        if (std::getline(song, id))
            ids.insert(static_cast<uint32_t>(std::stoul(id, nullptr, 16)));
    }
    return ids;
}

TEST_F(ShippedSpellBookTest, TheLyreHasASongOfEveryLevel) {
    const std::set<uint32_t> music = songsWithMusic();
    EXPECT_NE(dynamic_cast<const bl3dGenericSong*>(masterActionList.getAction(SONG_DATA_LIGHT)), nullptr)
        << "the song whose light the song's end event puts out";
    std::set<int> levels;
    for (const ActionNode_S* n = masterActionList.head(); n; n = n->next) {
        const uint32_t id = static_cast<uint32_t>(n->action->actionID());
        if (!(id & ACTION_BARD_SONG))
            continue;
        EXPECT_NE(id & 0xb000u, 0u) << n->action->name().c_str() << ": the song screens list it";
        EXPECT_NE(dynamic_cast<const bl3dSong*>(n->action), nullptr) << "it plays through the songs' frame";
        EXPECT_TRUE(music.count(id)) << n->action->name().c_str() << ": an instrument can play it";
        EXPECT_TRUE(n->action->isForClass(0x2));
        levels.insert(n->action->getLevel());
    }
    for (int level = 1; level <= 5; ++level)
        EXPECT_TRUE(levels.count(level)) << "a song of level " << level;
}

// A fight and the song screen offer a bard every action with a song number
// (a bit of 0xb000 in the low 16 bits); the rest of the game knows a song
// by its flag (0x00400000). Whatever a shipped bard can hold agrees on both:
// what it starts with, what it learns up to level 60 and every action made
// for its class (the Order of the Lyre's songs). And the cast screen takes
// the classes of 0x3F30 as casters where a fight takes those of 0x3F20:
// the one class between (0x10) holds no spell.
TEST_F(ShippedSpellBookTest, ABardsSongNumbersAreItsSongsAndOnlyTheFightsCastersHoldSpells) {
    ASSERT_EQ(vell::loadClassFile(gameFile("class.dat")), 15);
    int bards = 0;
    for (const ClassDef_S& c : classDef) {
        SCOPED_TRACE(c.name.c_str());
        bl3dPartyChar* m = levelled(c);
        for (int32_t id : c.list1)
            if (bl3dAction* a = masterActionList.getAction(id); a && !m->actions()->getAction(id))
                m->actions()->add(a, 0);
        for (int32_t id : c.list2)
            if (bl3dAction* a = masterActionList.getAction(id); a && !m->actions2()->getAction(id))
                m->actions2()->add(a, 0);
        if (c.classId & 0x10) {
            EXPECT_EQ(m->actions2()->head(), nullptr) << "a spell the fight would not let it cast";
            for (const ActionNode_S* n = m->actions()->head(); n; n = n->next)
                EXPECT_FALSE(n->action->isSpell()) << n->action->name().c_str();
        }
        if (c.classId & 0x2) {
            ++bards;
            for (const ActionNode_S* n = masterActionList.head(); n; n = n->next)
                if (n->action->isForClass(0x2) && !m->actions()->getAction(n->action->actionID()))
                    m->actions()->add(n->action, 0);
            int songs = 0;
            for (const ActionNode_S* n = m->actions()->head(); n; n = n->next) {
                const uint32_t id = static_cast<uint32_t>(n->action->actionID());
                EXPECT_EQ((id & 0xb000u) != 0, (id & ACTION_BARD_SONG) != 0)
                    << n->action->name().c_str() << std::hex << " 0x" << id;
                songs += (id & ACTION_BARD_SONG) != 0;
            }
            EXPECT_GE(songs, 8);
        }
        party->removeAt(party->getCount() - 1);
    }
    EXPECT_EQ(bards, 1);
    for (const ActionNode_S* n = masterActionList.head(); n; n = n->next) {
        if (n->action->isSpell()) {
            EXPECT_FALSE(n->action->isForClass(0x10)) << n->action->name().c_str();
        }
    }
}

TEST_F(ShippedSpellBookTest, EverySpellsWordsReadRight) {
    auto plainWord = [](const std::string& w) {
        if (w.empty())
            return false;
        for (char c : w)
            if (c < 'a' || c > 'z')
                return false;
        return true;
    };
    auto endsWith = [](const std::string& w, const char* tail) {
        const size_t n = std::strlen(tail);
        return w.size() >= n && w.compare(w.size() - n, n, tail) == 0;
    };
    for (const bl3dAction* a : dataActions()) {
        const bl3dGenericCore* core = coreOf(a);
        ASSERT_NE(core, nullptr);
        SCOPED_TRACE(a->name().c_str());
        const std::string& verb = core->verb();
        // "casts", "uses": a verb that takes a plain "s".
        ASSERT_TRUE(plainWord(verb));
        for (const char* tail : {"s", "x", "z", "sh", "ch"})
            EXPECT_FALSE(endsWith(verb, tail)) << verb;
        if (verb.size() > 1 && verb.back() == 'y') {
            EXPECT_NE(std::string("aeiou").find(verb[verb.size() - 2]), std::string::npos) << verb;
        }
        // The stem of "...ing": no silent e left on it ("free" keeps its own).
        EXPECT_TRUE(plainWord(core->gerund()));
        EXPECT_FALSE(endsWith(core->gerund(), "e") && !endsWith(core->gerund(), "ee")) << core->gerund();
        EXPECT_TRUE(core->preposition().empty() || plainWord(core->preposition()));
        // Printed once, with its one "s".
        const std::string expected = verb + "s" + (a->isSpell() ? " " + std::string(a->name().c_str()) : "");
        EXPECT_EQ(core->phrase(), expected);

    }
}

TEST_F(ShippedSpellBookTest, ASpellThatGrowsWithItsCasterNeverOutclassesAHigherOne) {
    // Average damage to one victim at a caster level.
    auto average = [](const DamageBody_S& d, int level) {
        const int m = d.perLevel == 0 ? 1 : d.perLevel == 1 ? level : std::min(level, int(d.perLevel));
        return d.count * m * (d.sides + 1) / 2.0 + d.bonus;
    };
    for (const ActionRecord_S& grows : records) {
        for (const EffectRecord_S& g : grows.effects) {
            if (g.header.type != EFFECT_DAMAGE || !g.damage.perLevel)
                continue;
            SCOPED_TRACE(grows.def.name);
            EXPECT_GT(g.damage.perLevel, 1) << "its growth is capped";
            for (const ActionRecord_S& higher : records) {
                if (higher.def.level <= grows.def.level || !(higher.def.classMask & grows.def.classMask))
                    continue;
                for (const EffectRecord_S& h : higher.effects) {
                    if (h.header.type == EFFECT_DAMAGE && h.damage.mode == g.damage.mode) {
                        EXPECT_LT(average(g.damage, 50), average(h.damage, 50)) << higher.def.name;
                    }
                }
            }
        }
    }
}

} // namespace
