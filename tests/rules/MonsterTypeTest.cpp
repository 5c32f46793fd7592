// Monster types: the stored record, the type built from it, rolls, drops,
// monsters and party members made from a type, and the master list.
#include "MonsterTestEnv.h"

#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/PartyChar.h"

#include <zlib.h>

#include <cstring>
#include <unistd.h>

namespace {

constexpr int32_t ATTACK = 0x000e0001;
constexpr int32_t DEFEND = 0x00320003;
constexpr int32_t SPELL = 0x00090001;

using MonsterTypeTest = MonsterRulesTest;

std::vector<std::pair<bl3dAction*, int32_t>> pairs(ActionList* list) {
    std::vector<std::pair<bl3dAction*, int32_t>> out;
    for (const ActionNode_S* n = list->head(); n; n = n->next)
        out.emplace_back(n->action, n->value);
    return out;
}

TEST_F(MonsterTypeTest, RecordKeepsEveryFieldThroughItsStoredForm) {
    MonsterTypeRecord_S r = record("Orc", 3, 20, 5);
    for (int i = 0; i < 22; ++i)
        r.stats[i] = i * 3 - 7;
    r.spBase = 4; r.spSpread = 1; r.xpBase = 50; r.xpSpread = 10; r.goldBase = 30; r.goldSpread = 0xffffffffu;
    r.aiIndex = 1; r.creatureType = 21; r.sexCode = 2;
    r.actions = {{ATTACK, 10}, {0x123, 2}};
    r.actions2 = {{SPELL, 7}};
    r.drops = {"Hand_Axe 250 1d2+0", "rand"};
    MemStream_C s;
    r.write(s);
    EXPECT_EQ(s.size(), MONSTER_HEAD_BYTES + 3 * 8 + 2 * MONSTER_DROP_BYTES);
    MonsterTypeRecord_S back;
    ASSERT_EQ(back.read(s), 1);
    EXPECT_EQ(std::vector<int32_t>(back.stats, back.stats + 22), std::vector<int32_t>(r.stats, r.stats + 22));
    EXPECT_EQ(back.name, "Orc");
    EXPECT_EQ(back.pluralName, "Orcs");
    EXPECT_EQ(back.goldSpread, 0xffffffffu);
    EXPECT_EQ(back.level, 3);
    EXPECT_EQ(back.creatureType, 21);
    EXPECT_EQ(back.actions, r.actions);
    EXPECT_EQ(back.actions2, r.actions2);
    EXPECT_EQ(back.drops, r.drops);
    EXPECT_EQ(back.read(s), 0) << "the end of the stream is the end of the records";
}

TEST_F(MonsterTypeTest, NamesWithoutTheirEndAreCutInsideTheirFields) {
    MemStream_C s;
    record("x").write(s);
    std::vector<uint8_t> bytes = streamBytes(s);
    std::memset(bytes.data() + 30 * 4, 'A', 40);  // singular name: no NUL
    std::memset(bytes.data() + 50 * 4, 'B', 128); // name buffer: no NUL
    fillStream(s, bytes);
    MonsterTypeRecord_S back;
    ASSERT_EQ(back.read(s), 1);
    EXPECT_EQ(back.name, std::string(39, 'A'));
    EXPECT_EQ(back.nameBuffer, std::string(127, 'B'));
    EXPECT_EQ(back.pluralName, "xs");
}

TEST_F(MonsterTypeTest, CountsThatCannotBeFollowedAreRefused) {
    struct Case {
        int word;
        int32_t value;
        const char* what;
    } cases[] = {
        {86, -1, "negative first count"},
        {87, 100000, "huge second count"},
        {88, -5, "negative drop count"},
        {88, 3, "drop lines the stream does not hold"},
    };
    for (const Case& c : cases) {
        MemStream_C s;
        record("Orc").write(s);
        std::vector<uint8_t> bytes = streamBytes(s);
        std::memcpy(bytes.data() + c.word * 4, &c.value, 4);
        fillStream(s, bytes);
        MonsterTypeRecord_S back;
        std::string why;
        EXPECT_EQ(back.read(s, &why), -1) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
    }
    MemStream_C s;
    record("Orc").write(s);
    std::vector<uint8_t> bytes = streamBytes(s);
    bytes.resize(MONSTER_HEAD_BYTES - 1);
    fillStream(s, bytes);
    MonsterTypeRecord_S back;
    EXPECT_EQ(back.read(s), 0) << "fewer bytes than a head end the records";
}

TEST_F(MonsterTypeTest, LongListsANamelessRecordAndAStrayTail) {
    // A type with more actions and drop lines than any of ours, a nameless
    // record between two good ones, and bytes too few for another record.
    FakeAction attack(ATTACK, "Attack"), defend(DEFEND, "Defend");
    ActionList actions;
    actions.add(&attack, 0);
    actions.add(&defend, 0);
    MonsterTypeRecord_S big = record("Hydra");
    big.actions.assign(300, {ATTACK, 1});
    big.actions2.assign(260, {ATTACK, 2});
    for (int i = 0; i < 70; ++i)
        big.drops.push_back("Nothing_Here 0 1d1+0");
    MemStream_C s;
    big.write(s);
    record("").write(s);
    record("Orc").write(s);
    const uint8_t stray[] = {1, 2, 3};
    s.write(stray, sizeof stray);
    bl3dMonsterTypeList list;
    std::string why;
    std::vector<std::string> notes;
    ASSERT_EQ(list.loadFrom(s, actions, &why, &notes), 2) << why;
    bl3dMonsterType* hydra = list.findByName("Hydra");
    ASSERT_NE(hydra, nullptr);
    EXPECT_EQ(pairs(hydra->actions()).size(), 301u) << "Defend, then all 300";
    EXPECT_EQ(pairs(hydra->actions2()).size(), 260u);
    EXPECT_EQ(hydra->dropLines().size(), 70u);
    EXPECT_NE(list.findByName("Orc"), nullptr);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_NE(notes[0].find("record 1"), std::string::npos) << notes[0];
    EXPECT_NE(notes[0].find("no name"), std::string::npos) << notes[0];
    EXPECT_NE(notes[1].find("3 stray bytes"), std::string::npos) << notes[1];
}

TEST_F(MonsterTypeTest, FirstListStartsWithDefendAndUnknownIdsAreSkipped) {
    FakeAction attack(ATTACK, "Attack"), defend(DEFEND, "Defend"), spell(SPELL, "Spell");
    ActionList actions;
    actions.add(&attack, 0);
    actions.add(&defend, 0);
    actions.add(&spell, 0);
    MonsterTypeRecord_S r = record("Orc");
    // 0x00060001 shares Attack's number and substitute bits.
    r.actions = {{0x00060001, 7}, {0x00000999, 3}, {ATTACK, 5}};
    r.actions2 = {{0x00000998, 1}, {SPELL, 4}};
    bl3dMonsterType t(r, actions);
    // Unsorted lists put the newest entry first: Defend was added first.
    const auto first = pairs(t.actions());
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first.back(), std::make_pair(static_cast<bl3dAction*>(&defend), 0));
    EXPECT_EQ(first[0], std::make_pair(static_cast<bl3dAction*>(&attack), 5));
    EXPECT_EQ(first[1], std::make_pair(static_cast<bl3dAction*>(&attack), 7));
    EXPECT_EQ(pairs(t.actions2()), (std::vector<std::pair<bl3dAction*, int32_t>>{{&spell, 4}}));
    EXPECT_EQ(t.getAlignment(), ALIGN_EVIL);
}

TEST_F(MonsterTypeTest, RollsRangeFromBaseMinusSpreadToBase) {
    struct Case {
        int32_t base;
        uint32_t spread;
        int draw;
        int32_t expected;
    } cases[] = {
        {20, 0, 0, 20},     {20, 0, 32767, 20}, {20, 5, 0, 20},   {20, 5, 5, 15},
        {20, 5, 6, 20},     {20, 5, 32767, 19},
        // The widest spread must not wrap to a zero modulus.
        {7, 0xffffffffu, 32767, 7 - 32767},
    };
    for (const Case& c : cases) {
        MonsterTypeRecord_S r = record("Orc", 1, c.base, c.spread);
        r.spBase = c.base; r.spSpread = c.spread;
        r.xpBase = c.base; r.xpSpread = c.spread;
        r.goldBase = c.base; r.goldSpread = c.spread;
        bl3dMonsterType t(r, masterActionList);
        vell::scriptGameRand({c.draw, c.draw, c.draw, c.draw});
        EXPECT_EQ(t.rollHP(), c.expected) << c.spread << " " << c.draw;
        EXPECT_EQ(t.rollSP(), c.expected);
        EXPECT_EQ(t.rollXP(), c.expected);
        EXPECT_EQ(t.rollGold(), c.expected);
    }
}

TEST_F(MonsterTypeTest, AccessorsByNameSexAndKind) {
    struct Case {
        const char* name;
        int32_t sexCode;
        const char* article;
        const char* subject;
        const char* object;
        const char* possessive;
    } cases[] = {
        {"Orc", 2, "An", "he", "him", "his"},
        {"Harpy", 1, "A", "she", "her", "her"},
        // y counts as a vowel; a sex code other than 1 or 2 is none.
        {"Yevil", 0, "An", "it", "it", "its"},
        {"yeti", 7, "An", "it", "it", "its"},
        {"Umber Hulk", 0, "An", "it", "it", "its"},
    };
    for (const Case& c : cases) {
        MonsterTypeRecord_S r = record(c.name);
        r.sexCode = c.sexCode;
        bl3dMonsterType t(r, masterActionList);
        EXPECT_STREQ(t.article(true), c.article) << c.name;
        EXPECT_STREQ(t.pronoun(0), c.subject);
        EXPECT_STREQ(t.pronoun(1), c.object);
        EXPECT_STREQ(t.pronoun(2), c.possessive);
    }
    MonsterTypeRecord_S r = record("Wolf");
    r.pluralName = "";
    bl3dMonsterType wolf(r, masterActionList);
    EXPECT_STREQ(wolf.getName(true), "") << "the plural as stored, even empty";
    EXPECT_STREQ(wolf.getName(), "Wolf");
    EXPECT_STREQ(wolf.article(false), "a");
}

TEST_F(MonsterTypeTest, CombatAIComesFromTheTableByIndex) {
    auto* ai = reinterpret_cast<bl3dCombatAI*>(&env);
    setCombatAIEntry(1, ai);
    for (auto [index, want] : std::vector<std::pair<int, bl3dCombatAI*>>{{1, ai}, {0, nullptr}, {-3, nullptr}, {99, nullptr}}) {
        MonsterTypeRecord_S r = record("Orc");
        r.aiIndex = index;
        EXPECT_EQ(bl3dMonsterType(r, masterActionList).getCombatAI(), want) << index;
    }
}

// --- drops ---------------------------------------------------------------------

class DropTest : public MonsterRulesTest {
protected:
    void SetUp() override {
        MonsterRulesTest::SetUp();
        addItemType(100, "Hand Axe");
        addItemType(60, "Draught");
        setRandomItemSource([this]() -> bl3dItem* {
            ++randomCalls;
            return randomItems ? masterITL.findById(60)->newInstance() : nullptr;
        });
    }

    std::vector<bl3dItem*> drops(const std::vector<std::string>& lines) {
        MonsterTypeRecord_S r = record("Orc");
        r.drops = lines;
        bl3dMonsterType t(r, masterActionList);
        std::vector<bl3dItem*> out;
        t.rollDrops(out);
        return out;
    }

    static std::vector<std::string> names(const std::vector<bl3dItem*>& items) {
        std::vector<std::string> out;
        for (bl3dItem* i : items) {
            out.emplace_back(i->getType()->getName().c_str());
            delete i;
        }
        return out;
    }

    int randomCalls = 0;
    bool randomItems = true;
};

TEST_F(DropTest, EveryFormOfDropLine) {
    struct Case {
        const char* line;
        std::vector<int> draws;
        std::vector<std::string> expected;
    } cases[] = {
        // Underscores stand for blanks; chance 1000 with 1d1+0: exactly one.
        {"Hand_Axe 1000 1d1+0", {0, 999}, {"Hand Axe"}},
        // 2d2+1: dice 1 and 2 make 4 tries, each rand() % 1000 < 500.
        {"rand_item 500 2d2+1", {0, 1, 499, 500, 0, 999}, {"Draught", "Draught"}},
        // Dice 2 and 2: 5 tries, the most.
        {"rand 500 2d2+1", {1, 1, 0, 0, 0, 0, 0}, {"Draught", "Draught", "Draught", "Draught", "Draught"}},
        // Dice 1 and 1: 3 tries, the fewest.
        {"rand 500 2d2+1", {0, 0, 0, 0, 0}, {"Draught", "Draught", "Draught"}},
        // Two words: one try at the chance.
        {"Hand_Axe 300", {299}, {"Hand Axe"}},
        {"Hand_Axe 300", {300}, {}},
        // The name alone: one try that always drops.
        {"Hand_Axe", {999}, {"Hand Axe"}},
        // A bonus alone, no dice sides: bonus tries.
        {"Hand_Axe 1000 0d0+2", {0, 0}, {"Hand Axe", "Hand Axe"}},
        // An item no type has drops nothing.
        {"Golden_Fleece 1000 1d1+0", {0, 0}, {}},
        // A negative try count drops nothing.
        {"Hand_Axe 1000 0d0-4", {}, {}},
    };
    for (const Case& c : cases) {
        vell::scriptGameRand(c.draws);
        EXPECT_EQ(names(drops({c.line})), c.expected) << c.line;
        EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << c.line << ": every scripted draw is used";
        vell::clearScriptedGameRand();
    }
}

TEST_F(DropTest, RandomItemsOnAMapWithoutThemSkipTheLine) {
    randomItems = false;
    vell::scriptGameRand({0, 0, 0, 0, 0, 0, 0});
    // 1d1+2 = 3 tries; the first success finds no random item: the line ends.
    EXPECT_TRUE(names(drops({"rand 1000 1d1+2", "Hand_Axe 1000 1d1+0"})) == std::vector<std::string>{"Hand Axe"});
    EXPECT_EQ(randomCalls, 1);
}

TEST_F(DropTest, HugeDiceAreBoundedAndNeverStall) {
    vell::gameSrand(7);
    const auto got = drops({"Hand_Axe 0 2000000000d6+2000000000"});
    EXPECT_TRUE(got.empty()) << "chance 0 never drops";
}

TEST_F(DropTest, CreatedMonstersCarryTheirDrops) {
    MonsterTypeRecord_S r = record("Orc", 2, 10, 0);
    r.drops = {"Hand_Axe 1000 1d1+1"};
    bl3dMonsterType* t = addType(r);
    std::unique_ptr<bl3dMonster> m(t->createMonster(3));
    EXPECT_EQ(m->getType(), t);
    EXPECT_EQ(m->kind(), 3);
    EXPECT_EQ(m->getMaxHP(), 10);
    EXPECT_EQ(m->getCarried()->count(), 2);
    EXPECT_STREQ(m->getName(), "Orc");
}

TEST_F(MonsterTypeTest, PartyMembersMadeFromATypeCopyItsStatsAndLists) {
    FakeAction attack(ATTACK, "Attack"), spell(SPELL, "Spell");
    masterActionList.add(&attack, 0);
    masterActionList.add(&spell, 0);
    MonsterTypeRecord_S r = record("Wolf", 2, 14, 0);
    for (int i = 0; i < 22; ++i)
        r.stats[i] = 100 + i;
    r.spBase = 6;
    r.goldBase = 9;
    r.sexCode = 1;
    r.nameBuffer = "wolfpic";
    r.actions = {{ATTACK, 12}};
    r.actions2 = {{SPELL, 3}};
    bl3dMonsterType* t = addType(r);
    auto* ai = reinterpret_cast<bl3dCombatAI*>(&env);
    setCombatAIEntry(1, ai);
    for (bool summoned : {false, true}) {
        std::unique_ptr<bl3dPartyChar> pc(t->makePartyChar(summoned));
        EXPECT_EQ(pc->getClassId(), summoned ? CLASS_SUMMONED : CLASS_JOINED);
        EXPECT_EQ(pc->getRace(), RACE_MONSTER);
        EXPECT_STREQ(pc->getNameStr(), "Wolf");
        EXPECT_STREQ(pc->nameBuffer(), "wolfpic");
        EXPECT_EQ(pc->getGender(), SEX_FEMALE);
        EXPECT_EQ(pc->getAlignment(), ALIGN_EVIL);
        EXPECT_EQ(pc->getCombatAI(), ai);
        EXPECT_EQ(pc->getMonsterType(), t);
        EXPECT_FALSE(pc->isPC());
        EXPECT_EQ(pc->getMaxHP(), 14);
        EXPECT_EQ(pc->getCurHP(), 14);
        EXPECT_EQ(pc->getMaxSP(), 6);
        EXPECT_EQ(pc->getCurSP(), 6);
        EXPECT_EQ(pc->rawGold(), 9);
        for (int i = 0; i < 22; ++i) {
            EXPECT_EQ(pc->getStatBlock()->getBase(i), 100 + i) << i;
        }
        EXPECT_EQ(pairs(pc->actions()), pairs(t->actions()));
        EXPECT_EQ(pairs(pc->actions2()), pairs(t->actions2()));
    }
}

// --- the master list --------------------------------------------------------------

std::string writeGz(const std::string& path, const std::vector<uint8_t>& bytes) {
    gzFile f = gzopen(path.c_str(), "wb");
    if (!bytes.empty())
        gzwrite(f, bytes.data(), static_cast<unsigned>(bytes.size()));
    gzclose(f);
    return path;
}

std::vector<uint8_t> twoOrcsAndAGoblin() {
    MemStream_C s;
    MonsterTypeRecord_S r;
    r.name = "Orc";
    r.level = 2;
    r.write(s);
    r.name = "Goblin";
    r.write(s);
    r.name = "Orc";
    r.level = 7;
    r.write(s);
    return streamBytes(s);
}

TEST_F(MonsterTypeTest, LoadPushesAtTheHeadSoTheLastOfANameWins) {
    const std::string path = tempPath("mtl_ok.dat");
    writeGz(path, twoOrcsAndAGoblin());
    ASSERT_EQ(masterMTL.load(path), 3);
    EXPECT_EQ(masterMTL.count(), 3);
    EXPECT_STREQ(masterMTL.at(0)->getName(), "Orc");
    EXPECT_EQ(masterMTL.findByName("Orc")->getLevel(), 7);
    EXPECT_STREQ(masterMTL.findByName("Goblin")->getName(), "Goblin");
    EXPECT_EQ(masterMTL.findByName("orc"), nullptr) << "names match exactly";
    EXPECT_EQ(masterMTL.findByName(nullptr), nullptr);
    unlink(path.c_str());
}

TEST_F(MonsterTypeTest, BrokenFilesFailClearlyAndLoadNothing) {
    const std::vector<uint8_t> good = twoOrcsAndAGoblin();
    // A drop line count that asks for more lines than the file holds.
    std::vector<uint8_t> cut = good;
    const int32_t drops = 1000;
    std::memcpy(cut.data() + 88 * 4, &drops, 4);
    const std::string dir = tempPath("");
    masterMTL.pushFront(std::make_unique<bl3dMonsterType>(record("Keeper"), masterActionList));
    EXPECT_EQ(masterMTL.load(dir + "mtl_missing.dat"), -1);
    EXPECT_EQ(masterMTL.load(writeGz(dir + "mtl_cut.dat", cut)), -2) << "a record that runs past the end";
    // A gzip stream whose end is gone.
    const std::string gz = writeGz(dir + "mtl_full.dat", good);
    FILE* f = std::fopen(gz.c_str(), "rb");
    std::vector<char> raw(4096);
    raw.resize(std::fread(raw.data(), 1, raw.size(), f));
    std::fclose(f);
    f = std::fopen((dir + "mtl_gzcut.dat").c_str(), "wb");
    std::fwrite(raw.data(), 1, raw.size() / 2, f);
    std::fclose(f);
    EXPECT_EQ(masterMTL.load(dir + "mtl_gzcut.dat"), -2) << "a gzip stream cut short";
    EXPECT_EQ(masterMTL.count(), 1) << "nothing of a broken file is kept";
    EXPECT_NE(masterMTL.findByName("Keeper"), nullptr);
    for (const char* n : {"mtl_cut.dat", "mtl_full.dat", "mtl_gzcut.dat"})
        unlink((dir + n).c_str());
}

} // namespace
