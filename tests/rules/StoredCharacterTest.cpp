// The stored party character to the byte, reading it back, damaged records,
// the poison across a save and a reload, and the party through a real save
// archive.
#include "RulesTestEnv.h"
#include "core/ArchiveFile.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

// The hall in a directory of a real save archive, as the game keeps it.
class DirHall_C : public PartyHall_C {
public:
    explicit DirHall_C(const DirHandle_C& dir) : dir_(dir) {}
    bool storeMember(const bl3dPartyChar& member) override {
        return dir_ && dir_->store(static_cast<const Storable_C&>(member));
    }
    std::unique_ptr<bl3dPartyChar> loadMember(const char* name) override {
        std::unique_ptr<Storable_C> rec = dir_ ? dir_->load(name) : nullptr;
        if (!rec || rec->typeId() != TYPE_PARTY_CHAR)
            return nullptr;
        return std::unique_ptr<bl3dPartyChar>(static_cast<bl3dPartyChar*>(rec.release()));
    }

private:
    DirHandle_C dir_;
};

class StoredCharacterTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        masterActionList.add(&attack, 0);
        ring = new bl3dItemType;
        ring->setBasics(30, "Ring of Warding", "", 600);
        ring->setSlotMask(0x7800);
        ring->setClassMask(0x7fff);
        ring->addModifier(STAT_AC, -1);
        masterITL.insert(ring);
        potion = new bl3dItemType;
        potion->setBasics(60, "Draught", "", 60);
        potion->setFlags(ITEMF_CHARGES);
        potion->setCharges(3);
        masterITL.insert(potion);
    }

    // Elf, female, with a ring on, a potion in the pack, an attribute and
    // a poison.
    std::unique_ptr<bl3dPartyChar> makeAda() {
        auto pc = std::make_unique<bl3dPartyChar>("Ada", 0x4, RACE_ELF, false, ALIGN_GOOD, nullptr, nullptr);
        pc->setName("A much longer portrait name that gets replaced");
        pc->setName("Elf_Female02");
        pc->rawAddGold(50);
        pc->addXP(1200);
        pc->setLevel(3);
        pc->setMaxHP(30);
        pc->setCurHP(25);
        pc->setMaxSP(8);
        pc->setCurSP(6);
        pc->getStatBlock()->setBase(STAT_ST, 14);
        pc->getStatBlock()->setBase(STAT_AC, 10);
        pc->actions()->add(&attack, 5);
        env.serial = 100;
        env.now = 500;
        pc->putInSlot(11, ring->newInstance());
        pc->getPack()->pushFront(potion->newInstance());
        pc->getTagList()->setInt(tagkey::Inst, 1);
        env.now = 1000;
        pc->poison(100, 6, 2, 1, 10, true);
        return pc;
    }

    static std::vector<uint8_t> expectedAda() {
        Bytes b;
        b.i32(50).i32(1200).i32(3).i32(0x4).i32(RACE_ELF).u8(0);
        b.i32(30).i32(25).i32(8).i32(6);
        char name[128] = {};
        std::strcpy(name, "Elf_Female02");
        b.raw(name, sizeof name);
        // stat block: bases, then the lists
        for (int i = 0; i < STAT_COUNT; ++i)
            b.i32(i == STAT_ST ? 14 : i == STAT_AC ? 10 : i == STAT_CONDITIONS ? COND_POISONED : 0);
        for (int i = 0; i < STAT_COUNT; ++i) {
            if (i == STAT_AC)
                b.i32(1).i32(-1).i32(500).i32(0).i32(MOD_ITEM).i32(100).i32(0);
            else
                b.i32(0);
        }
        b.str("NONE");
        b.i32(1).i32(0x000e0001).i32(5); // actions
        b.i32(0);                        // actions2
        b.i32(0x7ffff);
        for (int i = 0; i < SLOT_COUNT; ++i) {
            if (i == 11)
                b.i32(30).u64(100).i32(0).u8(1);
            else
                b.i32(0);
        }
        b.i32(1).i32(60).u64(101).i32(3).u8(0); // pack
        b.i32(1).str("Inst").u8(2).i32(1);      // attributes
        b.i32(1).i32(EFFECT_POISON).i32(6).i32(2).i32(1).i32(10).i32(0).u8(1).i32(1100);
        return b.b;
    }

    static std::unique_ptr<bl3dPartyChar> readBack(const std::vector<uint8_t>& bytes, const char* name = "Ada") {
        MemStream_C s;
        fillStream(s, bytes);
        std::unique_ptr<Storable_C> r = bl3dPartyChar::create(RefStr_C(name), 1, s);
        return std::unique_ptr<bl3dPartyChar>(static_cast<bl3dPartyChar*>(r.release()));
    }

    FakeAction attack{0x000e0001, "Attack"};
    bl3dItemType* ring = nullptr;
    bl3dItemType* potion = nullptr;
};

TEST_F(StoredCharacterTest, PackComesBackInItsOrder) {
    auto ada = makeAda();
    ada->getPack()->pushFront(ring->newInstance());
    ada->getPack()->pushFront(potion->newInstance());
    std::vector<uint64_t> order;
    for (int i = 0; i < ada->getPack()->count(); ++i)
        order.push_back(ada->getPack()->at(i)->getSerial());
    MemStream_C s;
    ada->write(s);
    auto back = readBack(streamBytes(s));
    ASSERT_TRUE(back);
    std::vector<uint64_t> got;
    for (int i = 0; i < back->getPack()->count(); ++i)
        got.push_back(back->getPack()->at(i)->getSerial());
    EXPECT_EQ(got, order);
}

TEST_F(StoredCharacterTest, StoredFormToTheByte) {
    auto ada = makeAda();
    MemStream_C s;
    ada->write(s);
    const std::vector<uint8_t> got = streamBytes(s), want = expectedAda();
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "first difference at byte " << i;
    MemStream_C again;
    ada->write(again);
    EXPECT_EQ(streamBytes(again), streamBytes(s)) << "a save is repeatable";
    // A caller that writes the name buffer directly leaves an old tail
    // behind the new name; the stored name is still zero-filled.
    std::strcpy(ada->nameBuffer(), "Elf_Female02 with a much longer tail");
    std::strcpy(ada->nameBuffer(), "Elf_Female02");
    MemStream_C third;
    ada->write(third);
    EXPECT_EQ(streamBytes(third), streamBytes(s));
}

TEST_F(StoredCharacterTest, ReadingRebuildsTheCharacter) {
    std::unique_ptr<bl3dPartyChar> pc = readBack(expectedAda());
    ASSERT_NE(pc, nullptr);
    EXPECT_STREQ(pc->getName(), "Ada");
    EXPECT_STREQ(pc->nameBuffer(), "Elf_Female02");
    EXPECT_EQ(pc->rawGold(), 50);
    EXPECT_EQ(pc->getXP(), 1200);
    EXPECT_EQ(pc->getLevel(), 3);
    EXPECT_TRUE(pc->isFemale());
    EXPECT_TRUE(pc->isGood()) << "a player character's alignment comes back good";
    EXPECT_TRUE(pc->isPC());
    EXPECT_EQ(pc->getCurHP(), 25);
    EXPECT_EQ(pc->actions()->getAction(0x000e0001), &attack);
    bl3dItem* r = pc->getSlotItem(11);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->getType(), ring);
    EXPECT_TRUE(r->isEquipped());
    EXPECT_EQ(pc->getItemCount(), 2);
    pc->getStatBlock()->recompute();
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 9) << "the ring's modifier came back with the block";
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(11));
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 10) << "and leaves with the ring, by its serial";
    EXPECT_EQ(pc->countEffects(EFFECT_POISON), 1);
    EXPECT_TRUE(pc->isPoisoned());
    MemStream_C s;
    readBack(expectedAda())->write(s);
    EXPECT_EQ(streamBytes(s), expectedAda()) << "a read and a write give the same bytes";
}

TEST_F(StoredCharacterTest, PoisonRunsOutAtTheSameTickAfterAReload) {
    auto ada = makeAda();
    ada->setCurHP(30);
    env.now = 1000;
    vell::scriptGameRand({0, 0, 0, 0});
    ada->effectTick();
    EXPECT_EQ(ada->getCurHP(), 27);
    MemStream_C s;
    ada->write(s);
    std::unique_ptr<Storable_C> r = bl3dPartyChar::create(RefStr_C("Ada"), 1, s);
    auto* back = static_cast<bl3dPartyChar*>(r.get());
    ASSERT_NE(back, nullptr);
    env.now = 1009;
    back->effectTick();
    EXPECT_EQ(back->getCurHP(), 27) << "the next hit is still due at 1010";
    env.now = 1010;
    vell::scriptGameRand({1, 1, 1, 1}); // no poison save (roll 2 + 0 against the target), then 2+2+1
    back->effectTick();
    EXPECT_LT(back->getCurHP(), 27);
    env.now = 1100;
    back->effectTick();
    EXPECT_EQ(back->countEffects(EFFECT_POISON), 0);
    EXPECT_FALSE(back->isPoisoned());
}

TEST_F(StoredCharacterTest, TruncatedRecordsFailCleanly) {
    const std::vector<uint8_t> good = expectedAda();
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_EQ(readBack(part), nullptr) << "cut at " << cut;
    }
}

TEST_F(StoredCharacterTest, CorruptFieldsAreRefused) {
    const std::vector<uint8_t> good = expectedAda();
    // Offsets: 37 bytes of numbers, 128 of name, then the block.
    const size_t block = 37 + 128;
    const size_t afterBlock = block + 88 + 21 * 4 + 4 + 24;
    const size_t afterSource = afterBlock + 8;
    const size_t usable = afterSource + 12 + 4;
    const size_t effects = good.size() - (4 + 4 + 21 + 4);
    struct Patch {
        const char* what;
        size_t offset;
        int32_t value;
    };
    const Patch patches[] = {
        {"negative modifier count", block + 88, -1},
        {"huge modifier count", block + 88, 0x10000000},
        {"huge source name", afterBlock, 0x7fffffff},
        {"huge action count", afterSource, 0x20000000},
        {"slot bit past 19", usable, 0x100000},
        {"huge effect count", effects, 1000},
        {"unknown effect kind", effects + 4, 9},
    };
    for (const Patch& p : patches) {
        std::vector<uint8_t> bad = good;
        for (int i = 0; i < 4; ++i)
            bad[p.offset + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(p.value) >> (8 * i));
        EXPECT_EQ(readBack(bad), nullptr) << p.what;
    }
}

TEST_F(StoredCharacterTest, ItemOfAVanishedTypeIsPassedOver) {
    std::vector<uint8_t> bytes = expectedAda();
    masterITL.clear();
    potion = new bl3dItemType;
    potion->setBasics(60, "Draught", "", 60);
    masterITL.insert(potion); // the ring's type is gone
    std::unique_ptr<bl3dPartyChar> pc = readBack(bytes);
    ASSERT_NE(pc, nullptr);
    EXPECT_EQ(pc->getSlotItem(11), nullptr);
    EXPECT_EQ(pc->getItemCount(), 1);
    pc->getStatBlock()->recompute();
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 10) << "the lost ring's modifier went with it";
    EXPECT_EQ(pc->countEffects(EFFECT_POISON), 1) << "the rest of the record still read";
}

TEST_F(StoredCharacterTest, ItemWithAReservedSerialTakesAFreshOne) {
    std::vector<uint8_t> bytes = expectedAda();
    // Give the ring serial 2, the class modifiers' key, and add a class
    // modifier with that key and the same owner type as an item's.
    const size_t slot11 = 37 + 128 + 88 + 21 * 4 + 4 + 24 + 8 + 12 + 4 + 4 + 11 * 4 + 4;
    bytes[slot11] = 2;
    const size_t acList = 37 + 128 + 88 + 8 * 4;
    Bytes classMod;
    classMod.i32(2).i32(0).i32(0).i32(MOD_ITEM).i32(KEY_CLASS).i32(0);
    bytes[acList] = 2;
    bytes.insert(bytes.begin() + static_cast<long>(acList + 4), classMod.b.begin(), classMod.b.end());
    // the ring's own modifier was keyed 100: key it 2 as well
    const size_t ringMod = acList + 4 + 24 + 16;
    bytes[ringMod] = 2;
    env.serial = 7000;
    std::unique_ptr<bl3dPartyChar> pc = readBack(bytes);
    ASSERT_NE(pc, nullptr);
    bl3dItem* r = pc->getSlotItem(11);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->getSerial(), 7000u);
    pc->getStatBlock()->recompute();
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 10 + 2 - 1);
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(11));
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 12) << "the class modifier stays when the ring comes off";
}

TEST_F(StoredCharacterTest, JoinedMonsterWithoutItsTypeKeepsNoAlignment) {
    bl3dPartyChar wolf("Wolf", CLASS_JOINED, RACE_MONSTER, false, ALIGN_EVIL, nullptr, nullptr);
    MemStream_C s;
    wolf.write(s);
    std::unique_ptr<Storable_C> r = bl3dPartyChar::create(RefStr_C("Wolf"), 1, s);
    ASSERT_NE(r, nullptr);
    auto* back = static_cast<bl3dPartyChar*>(r.get());
    EXPECT_FALSE(back->isGood());
    EXPECT_EQ(back->getMonsterType(), nullptr);
}

// --- the party ----------------------------------------------------------

class PartyStoreTest : public StoredCharacterTest {
protected:
    void SetUp() override {
        StoredCharacterTest::SetUp();
        registerRulesTypes();
        char tmpl[] = "/tmp/rules1_partyXXXXXX";
        const int fd = mkstemp(tmpl);
        ASSERT_GE(fd, 0);
        close(fd);
        path = tmpl;
    }
    void TearDown() override {
        bl3dParty::setHall(nullptr);
        std::remove(path.c_str());
        StoredCharacterTest::TearDown();
    }
    std::unique_ptr<bl3dPartyChar> named(const char* name, int32_t gold) {
        auto pc = std::make_unique<bl3dPartyChar>(name, 0x1, RACE_DWARF, true, ALIGN_GOOD, nullptr, nullptr);
        pc->rawAddGold(gold);
        return pc;
    }
    std::string path;
};

TEST_F(PartyStoreTest, AddRemoveAndCompact) {
    bl3dParty p("party.dat");
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (const char* n : names)
        EXPECT_TRUE(p.addMember(named(n, 0).release()));
    p.removeAt(2);
    ASSERT_EQ(p.getCount(), 4);
    const char* left[] = {"A", "B", "D", "E"};
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(p.getMember(i)->getName(), left[i]);
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(p.getMember(i), nullptr);
    EXPECT_EQ(p.getMember(8), nullptr);
    p.removeAt(4); // not below the count
    p.removeAt(-1);
    EXPECT_EQ(p.getCount(), 4);
    std::unique_ptr<bl3dPartyChar> d(p.detachAt(2));
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->getName(), "D");
    EXPECT_FALSE(p.hasMember("D"));
    EXPECT_TRUE(p.hasMember("E"));
    for (const char* n : {"F", "G", "H", "I", "J"})
        EXPECT_TRUE(p.addMember(named(n, 0).release()));
    auto extra = named("K", 0);
    EXPECT_FALSE(p.addMember(extra.get())) << "eight is the most";
    EXPECT_EQ(p.getCount(), 8);
}

TEST_F(PartyStoreTest, StoredThroughARealArchive) {
    {
        auto file = ArchiveFile_C::open(path, true);
        ASSERT_NE(file, nullptr);
        DirHandle_C hall = file->openDir("hall");
        DirHandle_C world = file->openDir("world");
        DirHall_C h(hall);
        bl3dParty::setHall(&h);
        bl3dParty p("party.dat");
        p.addMember(makeAda().release());
        p.addMember(named("Borin", 7).release());
        p.addMember(named("Cael", 9).release());
        ASSERT_TRUE(world->store(p));
        EXPECT_TRUE(p.lastWriteOk());
        MemStream_C s;
        p.write(s);
        EXPECT_EQ(streamBytes(s), (Bytes().u8(3).str("Ada").str("Borin").str("Cael").b));
        ASSERT_TRUE(file->commit());
        bl3dParty::setHall(nullptr);
    }
    {
        auto file = ArchiveFile_C::open(path, false);
        ASSERT_NE(file, nullptr);
        DirHandle_C hall = file->openDir("hall");
        ASSERT_TRUE(hall->hasEntry("Ada"));
        DirHall_C h(hall);
        bl3dParty::setHall(&h);
        std::unique_ptr<Storable_C> rec = file->openDir("world")->load("party.dat");
        ASSERT_NE(rec, nullptr);
        auto* p = static_cast<bl3dParty*>(rec.get());
        ASSERT_EQ(p->getCount(), 3);
        EXPECT_STREQ(p->getMember(0)->nameBuffer(), "Elf_Female02");
        EXPECT_EQ(p->getMember(1)->rawGold(), 7);
        EXPECT_EQ(p->getMember(0)->countEffects(EFFECT_POISON), 1);

        // A name given twice makes one member.
        MemStream_C twice;
        Bytes b;
        b.u8(2).str("Cael").str("Cael");
        fillStream(twice, b.b);
        std::unique_ptr<Storable_C> dup = bl3dParty::create(RefStr_C("party.dat"), 1, twice);
        ASSERT_NE(dup, nullptr);
        EXPECT_EQ(static_cast<bl3dParty*>(dup.get())->getCount(), 1);

        // A member missing from the hall leaves no hole.
        hall->remove("Borin");
        rec = file->openDir("world")->load("party.dat");
        ASSERT_NE(rec, nullptr);
        p = static_cast<bl3dParty*>(rec.get());
        ASSERT_EQ(p->getCount(), 2);
        EXPECT_STREQ(p->getMember(1)->getName(), "Cael");
        EXPECT_EQ(p->getMember(2), nullptr);
        bl3dParty::setHall(nullptr);
    }
}

// Members are stored by name: a party of four with two wolves (one summoned,
// one come with a song) must reload as four, whichever way each joined.
TEST_F(PartyStoreTest, NoTwoMembersShareAStoredName) {
    auto monster = [](const char* name, int32_t classId) {
        return std::make_unique<bl3dPartyChar>(name, classId, RACE_MONSTER, true, ALIGN_NONE, nullptr, nullptr);
    };
    {
        auto file = ArchiveFile_C::open(path, true);
        ASSERT_NE(file, nullptr);
        DirHall_C h(file->openDir("hall"));
        bl3dParty::setHall(&h);
        bl3dParty p("party.dat");
        ASSERT_TRUE(p.addMember(named("Borin", 0).release()));
        ASSERT_TRUE(p.addMember(monster("Wolf", CLASS_SUMMONED).release()));
        ASSERT_TRUE(p.addMember(monster("Wolf", CLASS_JOINED).release()));
        ASSERT_TRUE(p.addMember(monster("Wolf", CLASS_SUMMONED).release()));
        EXPECT_STREQ(p.getMember(1)->getName(), "Wolf");
        EXPECT_STREQ(p.getMember(2)->getName(), "Wolf 2");
        EXPECT_STREQ(p.getMember(3)->getName(), "Wolf 3");

        // An adventurer keeps the name it brings; a monster holding it gives way.
        ASSERT_TRUE(p.addMember(named("Wolf", 5).release()));
        EXPECT_STREQ(p.getMember(4)->getName(), "Wolf");
        EXPECT_STREQ(p.getMember(1)->getName(), "Wolf 4");
        // Two adventurers of one name: the second is refused, untouched.
        auto twin = named("Borin", 1);
        EXPECT_FALSE(p.addMember(twin.get()));
        EXPECT_STREQ(twin->getName(), "Borin");
        // Nor can a member join twice.
        EXPECT_FALSE(p.addMember(p.getMember(0)));
        ASSERT_EQ(p.getCount(), 5);

        ASSERT_TRUE(file->openDir("world")->store(p));
        ASSERT_TRUE(p.lastWriteOk());
        ASSERT_TRUE(file->commit());
        bl3dParty::setHall(nullptr);
    }
    auto file = ArchiveFile_C::open(path, false);
    ASSERT_NE(file, nullptr);
    DirHall_C h(file->openDir("hall"));
    bl3dParty::setHall(&h);
    std::unique_ptr<Storable_C> rec = file->openDir("world")->load("party.dat");
    ASSERT_NE(rec, nullptr);
    auto* back = static_cast<bl3dParty*>(rec.get());
    ASSERT_EQ(back->getCount(), 5);
    const char* names[] = {"Borin", "Wolf 4", "Wolf 2", "Wolf 3", "Wolf"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(back->getMember(i)->getName(), names[i]);
    EXPECT_EQ(back->getMember(4)->rawGold(), 5);
    bl3dParty::setHall(nullptr);
}

// A monster's record goes to the hall under its name: an adventurer
// resting there under that name must never be overwritten by it, whether
// the monster comes in the proper way (renamed on joining) or not (the save
// refuses to store it, and says why).
TEST_F(PartyStoreTest, AMonsterNeverTakesAnAdventurersPlaceInTheHall) {
    auto monster = [](const char* name) {
        return std::make_unique<bl3dPartyChar>(name, CLASS_SUMMONED, RACE_MONSTER, true, ALIGN_NONE, nullptr, nullptr);
    };
    auto file = ArchiveFile_C::open(path, true);
    ASSERT_NE(file, nullptr);
    file->setDurable(false);
    DirHandle_C hallDir = file->openDir("hall");
    DirHall_C h(hallDir);
    bl3dParty::setHall(&h);
    ASSERT_TRUE(hallDir->store(static_cast<const Storable_C&>(*named("Wolf", 1234))));
    auto restingWolf = [&] {
        std::unique_ptr<bl3dPartyChar> w = h.loadMember("Wolf");
        return w && w->getClassId() == 0x1 && w->rawGold() == 1234;
    };

    bl3dParty p("party.dat");
    ASSERT_TRUE(p.addMember(named("Borin", 0).release()));
    // Away from the hall's names and the party's alike.
    ASSERT_TRUE(p.addMonster(monster("Wolf").release()));
    EXPECT_STREQ(p.getMember(1)->getName(), "Wolf 2");
    ASSERT_TRUE(hallDir->store(static_cast<const Storable_C&>(*named("Bear", 5))));
    ASSERT_TRUE(p.addMonster(monster("Bear").release()));
    EXPECT_STREQ(p.getMember(2)->getName(), "Bear 2");
    ASSERT_TRUE(p.addMonster(monster("Wolf").release()));
    EXPECT_STREQ(p.getMember(3)->getName(), "Wolf 3");
    ASSERT_TRUE(p.addMonster(monster("Rat").release()));
    EXPECT_STREQ(p.getMember(4)->getName(), "Rat") << "a free name is kept";
    EXPECT_FALSE(p.addMonster(p.getMember(4))) << "nor can it join twice";
    EXPECT_STREQ(p.getMember(4)->getName(), "Rat");

    DirHandle_C world = file->openDir("world");
    ASSERT_TRUE(world->store(p));
    ASSERT_TRUE(p.lastWriteOk()) << p.lastWriteError();
    EXPECT_TRUE(restingWolf());
    // Stored again, the monsters replace their own records of the last save.
    ASSERT_TRUE(world->store(p));
    ASSERT_TRUE(p.lastWriteOk()) << p.lastWriteError();

    // A monster that came in some other way under the adventurer's name is
    // left out of the hall, and the write says so.
    ASSERT_TRUE(p.addMember(monster("Wolf").release()));
    EXPECT_STREQ(p.getMember(5)->getName(), "Wolf");
    world->store(p);
    EXPECT_FALSE(p.lastWriteOk());
    EXPECT_EQ(p.lastWriteError(), "the monster Wolf would replace the adventurer Wolf in the hall");
    EXPECT_TRUE(restingWolf());

    // Sent away, it leaves the adventurer where it was.
    p.removeAt(5);
    ASSERT_TRUE(world->store(p));
    EXPECT_TRUE(p.lastWriteOk()) << p.lastWriteError();
    EXPECT_TRUE(restingWolf());

    // A full party takes no one, and renames no one.
    for (const char* n : {"C", "D", "E"})
        ASSERT_TRUE(p.addMember(named(n, 0).release()));
    ASSERT_EQ(p.getCount(), MAX_PARTY);
    auto late = monster("Wolf");
    EXPECT_FALSE(p.addMonster(late.get()));
    EXPECT_STREQ(late->getName(), "Wolf");
    bl3dParty::setHall(nullptr);
}

// A hall that answers that it holds every name cannot keep a monster from
// joining: the search for a free name ends.
TEST_F(PartyStoreTest, ARenamingEndsWhateverTheHallAnswers) {
    struct HoldsAll : PartyHall_C {
        bool storeMember(const bl3dPartyChar&) override { return true; }
        std::unique_ptr<bl3dPartyChar> loadMember(const char*) override { return nullptr; }
        bool hasEntry(const char*) override { return true; }
    } all;
    bl3dParty::setHall(&all);
    struct Unset {
        ~Unset() { bl3dParty::setHall(nullptr); }
    } unset;
    bl3dParty p("party.dat");
    ASSERT_TRUE(p.addMonster(new bl3dPartyChar("Wolf", CLASS_JOINED, RACE_MONSTER, true, ALIGN_NONE, nullptr, nullptr)));
    EXPECT_STRNE(p.getMember(0)->getName(), "Wolf");
}

TEST_F(PartyStoreTest, DamagedPartyRecordsAreRefused) {
    bl3dParty::setHall(nullptr);
    const std::vector<std::vector<uint8_t>> bad = {
        {},
        {9},
        Bytes().u8(2).str("A").b,
        Bytes().u8(1).i32(1000).b,
    };
    for (const auto& b : bad) {
        MemStream_C s;
        fillStream(s, b);
        EXPECT_EQ(bl3dParty::create(RefStr_C("party.dat"), 1, s), nullptr);
    }
    MemStream_C s;
    fillStream(s, Bytes().u8(1).str("Nobody").b);
    std::unique_ptr<Storable_C> p = bl3dParty::create(RefStr_C("party.dat"), 1, s);
    ASSERT_NE(p, nullptr) << "a missing hall leaves an empty party, not a failure";
    EXPECT_EQ(static_cast<bl3dParty*>(p.get())->getCount(), 0);
}

} // namespace
