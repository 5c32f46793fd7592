// Robustness of the master file readers of monsters, classes and item
// creation: valid files damaged at random (bytes changed, cut short, grown)
// must load cleanly or fail clearly, never crash or read out of bounds (run
// under AddressSanitizer in CI). Seeded, so every run damages alike.
#include "MonsterTestEnv.h"

#include "rules/ClassDefFile.h"
#include "rules/Item.h"
#include "rules/Monster.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

constexpr int ROUNDS = 3000;

// Damages a copy of the bytes: a few changed bytes, sometimes a cut, sometimes
// a tail of random bytes. Sets `cut` when the result is a strict prefix.
std::vector<uint8_t> damage(const std::vector<uint8_t>& good, int round, bool& cut) {
    std::vector<uint8_t> b = good;
    cut = false;
    switch (round % 4) {
    case 0: // a cut only
        b.resize(static_cast<size_t>(vell::gameRandMod(static_cast<int>(b.size()))));
        cut = true;
        break;
    case 1: // changed bytes
    case 2: {
        const int n = 1 + vell::gameRandMod(6);
        for (int i = 0; i < n; ++i) {
            const size_t at = static_cast<size_t>(vell::gameRandMod(static_cast<int>(b.size())));
            // Often a byte of a count or length: make it large or negative.
            b[at] = static_cast<uint8_t>(vell::gameRandMod(3) == 0 ? 0xff : vell::gameRandMod(256));
        }
        if (round % 8 == 2)
            b.resize(static_cast<size_t>(vell::gameRandMod(static_cast<int>(b.size()))));
        break;
    }
    default: // random bytes appended
        for (int i = vell::gameRandMod(40); i >= 0; --i)
            b.push_back(static_cast<uint8_t>(vell::gameRandMod(256)));
        break;
    }
    return b;
}

class MasterFileFuzzTest : public MonsterRulesTest {
protected:
    void SetUp() override {
        MonsterRulesTest::SetUp();
        vell::gameSrand(20261210);
        addItemType(100, "Hand Axe");
        setRandomItemSource([]() -> bl3dItem* { return masterITL.findById(100)->newInstance(); });
    }
};

// Three records; `ends` gets the byte offset where each one ends.
std::vector<uint8_t> sampleMonsters(std::vector<size_t>* ends = nullptr) {
    MemStream_C s;
    const char* names[] = {"Goblin", "Orc Chieftain", "Wolf"};
    for (int k = 0; k < 3; ++k) {
        MonsterTypeRecord_S r;
        r.name = names[k];
        r.pluralName = std::string(names[k]) + "s";
        r.nameBuffer = "pic";
        r.hpBase = 10 + k;
        r.hpSpread = 3;
        r.level = k + 1;
        r.sexCode = k;
        r.actions = {{0x000e0001, 10}, {0x00320001, 2}};
        if (k == 1)
            r.actions2 = {{0x00090001, 4}};
        r.drops = {"Hand_Axe 500 1d2+1", "rand 100", "Hand_Axe"};
        r.write(s);
        if (ends)
            ends->push_back(s.size());
    }
    return streamBytes(s);
}

TEST_F(MasterFileFuzzTest, MonsterRecords) {
    std::vector<size_t> ends;
    const std::vector<uint8_t> good = sampleMonsters(&ends);
    int failures = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        bool cut = false;
        const std::vector<uint8_t> bytes = damage(good, round, cut);
        MemStream_C s;
        fillStream(s, bytes);
        bl3dMonsterTypeList list;
        std::string why;
        const int n = list.loadFrom(s, masterActionList, &why);
        if (n < 0) {
            ++failures;
            ASSERT_EQ(n, -2);
            ASSERT_FALSE(why.empty());
            ASSERT_EQ(list.count(), 0) << "nothing of a broken file is kept";
            continue;
        }
        if (cut) {
            // A cut file keeps its whole records; what is left of the next
            // one is too short for a record's head.
            size_t whole = 0;
            while (whole < ends.size() && ends[whole] <= bytes.size())
                ++whole;
            ASSERT_EQ(n, static_cast<int>(whole));
            ASSERT_LT(bytes.size() - (whole ? ends[whole - 1] : 0), MONSTER_HEAD_BYTES);
        }
        // Whatever was read is usable: names end, rolls and drops work.
        for (int i = 0; i < list.count(); ++i) {
            bl3dMonsterType* t = list.at(i);
            ASSERT_LT(std::strlen(t->getName()), MONSTER_NAME_BYTES);
            ASSERT_LT(std::strlen(t->nameBuffer()), 128u);
            (void)t->pronoun(2);
            (void)t->article(true);
            std::unique_ptr<bl3dMonster> m(t->createMonster(0));
            ASSERT_LE(m->getCarried()->count(), 3 * 1000);
        }
    }
    EXPECT_GT(failures, ROUNDS / 8) << "the damage must actually break files";
}

TEST_F(MasterFileFuzzTest, MonsterFilesThroughGzip) {
    const std::vector<uint8_t> good = sampleMonsters();
    const std::string path = tempPath("fuzz_monsters.dat");
    gzFile f = gzopen(path.c_str(), "wb");
    gzwrite(f, good.data(), static_cast<unsigned>(good.size()));
    gzclose(f);
    FILE* in = std::fopen(path.c_str(), "rb");
    std::vector<uint8_t> gz(65536);
    gz.resize(std::fread(gz.data(), 1, gz.size(), in));
    std::fclose(in);
    for (int round = 0; round < 300; ++round) {
        bool cut = false;
        const std::vector<uint8_t> bytes = damage(gz, round, cut);
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        bl3dMonsterTypeList list;
        testing::internal::CaptureStderr();
        const int n = list.load(path);
        testing::internal::GetCapturedStderr();
        ASSERT_TRUE(n == -2 || n >= 0) << n;
        if (n < 0) {
            ASSERT_EQ(list.count(), 0);
        }
    }
    unlink(path.c_str());
}

std::vector<uint8_t> sampleClassFile() {
    std::vector<ClassDef_S> classes(2);
    for (size_t i = 0; i < classes.size(); ++i) {
        ClassDef_S& c = classes[i];
        c.name = i ? "Harper" : "Land Reaver";
        c.classId = 1 << i;
        c.hpDie = 8;
        c.spStat = 22;
        c.acStat = 3;
        c.races = {1, 2, 3};
        c.requirements = {{0, 10}};
        c.modifiers = {{9, 1}, {10, 1}};
        ClassTag_S t;
        t.key = "MaxSongs";
        t.value.setInt2(1);
        c.tags = {t};
        c.list1 = {4};
        c.startingItems = {{100, true}, {101, false}};
    }
    LevelTable_S t;
    t.name = "Arms";
    t.thresholds = {1000, 2000, 4000};
    t.step = 5000;
    MemStream_C s;
    vell::writeClassFile(s, classes, {t, t});
    return streamBytes(s);
}

TEST_F(MasterFileFuzzTest, ClassFiles) {
    const std::vector<uint8_t> good = sampleClassFile();
    int failures = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        bool cut = false;
        const std::vector<uint8_t> bytes = damage(good, round, cut);
        MemStream_C s;
        fillStream(s, bytes);
        std::vector<ClassDef_S> classes;
        std::vector<LevelTable_S> tables;
        std::string why;
        const bool ok = vell::parseClassFile(s, classes, tables, &why);
        if (cut) {
            ASSERT_FALSE(ok) << "a class file cut short never loads";
        }
        if (!ok) {
            ++failures;
            ASSERT_FALSE(why.empty());
            continue;
        }
        for (const ClassDef_S& c : classes) {
            // Whatever values were read are safe to use.
            bl3dStatBlock stats;
            (void)c.allows(1, &stats);
            c.applyStatMods(&stats, 3, 2, 0);
            (void)c.spBonusFor(&stats);
            (void)c.hpBonusFor(&stats);
        }
        for (const LevelTable_S& t : tables)
            for (int level : {1, 3, 4, 60, 2147483647})
                (void)t.xpForLevel(level);
    }
    EXPECT_GT(failures, ROUNDS / 4);
}

TEST_F(MasterFileFuzzTest, ItemCreateFiles) {
    std::vector<ItemCreate_S> kinds(3);
    for (size_t i = 0; i < kinds.size(); ++i) {
        kinds[i].name = "Kind";
        kinds[i].key = "CreateAbility";
        kinds[i].mask = 0xf << (4 * i);
        kinds[i].failText = "failed";
        kinds[i].noMatchText = "nothing";
    }
    MemStream_C good;
    vell::writeItemCreateFile(good, kinds);
    const std::vector<uint8_t> bytes0 = streamBytes(good);
    for (int round = 0; round < ROUNDS; ++round) {
        bool cut = false;
        const std::vector<uint8_t> bytes = damage(bytes0, round, cut);
        MemStream_C s;
        fillStream(s, bytes);
        std::vector<ItemCreate_S> got;
        std::string why;
        const bool ok = vell::parseItemCreateFile(s, got, &why);
        if (cut) {
            ASSERT_FALSE(ok);
        }
        if (!ok) {
            ASSERT_FALSE(why.empty());
        }
    }
}

} // namespace
