// What a record writer accepts, its reader reads: the rules' stored records
// written with the extreme values each writer takes, read back, and written
// again to the same bytes. A record that could not be read back would cost
// a party its member and the next save the member's record.
#include "RulesTestEnv.h"
#include "core/ArchiveFile.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/ShopInv.h"

#include <climits>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

template <class T>
std::unique_ptr<T> readAs(std::unique_ptr<Storable_C> (*create)(const RefStr_C&, int, MemStream_C&),
                          const Storable_C& written, MemStream_C& bytes) {
    std::unique_ptr<Storable_C> r = create(written.getName(), written.version(), bytes);
    return std::unique_ptr<T>(dynamic_cast<T*>(r.release()));
}

// Written and read back twice: the same bytes. (Lists read back put each
// node at the head, so one reading turns them round and a second one
// back.)
template <class T>
::testing::AssertionResult readsBack(std::unique_ptr<Storable_C> (*create)(const RefStr_C&, int, MemStream_C&),
                                     const T& record) {
    MemStream_C first;
    record.write(first);
    const std::vector<uint8_t> written = streamBytes(first);
    std::unique_ptr<T> back;
    for (int round = 0; round < 2; ++round) {
        back = readAs<T>(create, record, first);
        if (!back)
            return ::testing::AssertionFailure() << "the record written is not read back (round " << round << ")";
        first.clear();
        back->write(first);
    }
    if (streamBytes(first) != written)
        return ::testing::AssertionFailure() << "read back, it writes other bytes";
    return ::testing::AssertionSuccess();
}

class StoredExtremesTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        masterActionList.add(&plain, 0);
        masterActionList.add(&flagged, 0);
        for (int32_t id : {INT_MIN, -1, 1, INT_MAX}) {
            auto* t = new bl3dItemType;
            t->setBasics(id, "thing", "", INT_MAX);
            t->setSlotMask(0xfffff);
            t->setClassMask(-1);
            t->setFlags(ITEMF_CHARGES);
            masterITL.insert(t);
            types.push_back(t);
        }
    }

    bl3dItem* item(size_t type, uint64_t serial, int32_t charges) {
        bl3dItem* i = types[type]->newInstance();
        i->setSerial(serial);
        i->setCharges(charges);
        return i;
    }

    // Every field at an end of its range.
    std::unique_ptr<bl3dPartyChar> extremeCharacter(const char* name) {
        auto pc = std::make_unique<bl3dPartyChar>(name, INT_MIN, INT_MAX, true, ALIGN_EVIL, nullptr, nullptr);
        pc->setName(std::string(NAME_SIZE - 1, '\xff').c_str());
        pc->rawAddGold(INT_MAX);
        pc->addXP(INT_MAX);
        pc->setLevel(INT_MIN);
        pc->setMaxHP(INT_MAX);
        pc->setCurHP(INT_MIN);
        pc->setMaxSP(INT_MIN);
        pc->setCurSP(INT_MAX);
        bl3dStatBlock* stats = pc->getStatBlock();
        for (int i = 0; i < STAT_COUNT; ++i) {
            stats->setBase(i, i % 2 ? INT_MAX : INT_MIN);
            env.now = i % 2 ? UINT32_MAX : 0;
            stats->addModifier(i, i % 2 ? INT_MIN : INT_MAX, UINT32_MAX, INT_MIN, INT_MAX, -1);
        }
        pc->actions()->append(&plain, INT_MIN);
        pc->actions2()->append(&flagged, INT_MAX);
        pc->enableSlots(ALL_SLOTS_MASK);
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            pc->putInSlot(slot, item(static_cast<size_t>(slot) % types.size(), UINT64_MAX - slot,
                                     slot % 2 ? INT_MAX : INT_MIN));
        for (int k = 0; k < 40; ++k)
            pc->getPack()->pushFront(item(static_cast<size_t>(k) % types.size(), FIRST_ITEM_SERIAL + k, INT_MIN));
        TagList_C* attrs = pc->getTagList();
        attrs->setInt("", INT_MIN);
        attrs->setIntKind1(std::string(300, 'k').c_str(), INT_MAX);
        attrs->setCounterMax("0x7fffffff", INT_MIN);
        int32_t none = 0;
        attrs->getInt("absent", none); // a key without a value
        // Poisons: any dice a script passes, any bonus, stride and duration.
        env.now = UINT32_MAX - 1;
        pc->poison(UINT32_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MAX, true);
        pc->poison(0, INT_MIN, INT_MIN, INT_MAX, INT_MIN, false);
        pc->poison(7, 1000, 1000, 0, 1, true);
        return pc;
    }

    FakeAction plain{0x00000001, "Plain"};
    FakeAction flagged{static_cast<int32_t>(0xff0e0001u), "Flagged"};
    std::vector<bl3dItemType*> types;
};

TEST_F(StoredExtremesTest, PartyCharacter) {
    auto pc = extremeCharacter("Ada");
    EXPECT_TRUE(readsBack(&bl3dPartyChar::create, *pc));
    // A living, poisoned member ticks the backlog of a stored poison and is
    // still read back.
    pc->setCurHP(INT_MAX);
    env.now = UINT32_MAX;
    vell::scriptGameRand(std::vector<int>(5000, 0));
    pc->effectTick();
    vell::clearScriptedGameRand();
    EXPECT_TRUE(readsBack(&bl3dPartyChar::create, *pc));
}

// The whole road of the fault: a member poisoned with dice a script made up
// is saved in the hall, and the party still has the member after a reload.
TEST_F(StoredExtremesTest, PoisonedMemberStaysInTheParty) {
    registerRulesTypes();
    char tmpl[] = "/tmp/rules_extremesXXXXXX";
    const int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string path = tmpl;
    struct Hall : PartyHall_C {
        DirHandle_C dir;
        bool storeMember(const bl3dPartyChar& m) override { return dir->store(static_cast<const Storable_C&>(m)); }
        std::unique_ptr<bl3dPartyChar> loadMember(const char* name) override {
            std::unique_ptr<Storable_C> r = dir->load(name);
            return std::unique_ptr<bl3dPartyChar>(dynamic_cast<bl3dPartyChar*>(r.release()));
        }
    } hall;
    {
        auto file = ArchiveFile_C::open(path, true);
        ASSERT_NE(file, nullptr);
        file->setDurable(false);
        hall.dir = file->openDir("hall");
        bl3dParty::setHall(&hall);
        bl3dParty p(RefStr_C("party.dat"));
        auto pc = std::make_unique<bl3dPartyChar>("Ada", 0x4, RACE_ELF, false, ALIGN_GOOD, nullptr, nullptr);
        pc->poison(100, 5000, 5000, 3, 10, true);
        p.addMember(pc.release());
        p.addMember(extremeCharacter(std::string(200, 'B').c_str()).release());
        for (const char* name : {"C", "D", "E", "F", "G", "H"}) // a full party
            p.addMember(new bl3dPartyChar(name, 0x4, RACE_DWARF, true, ALIGN_GOOD, nullptr, nullptr));
        ASSERT_TRUE(file->openDir("world")->store(p));
        ASSERT_TRUE(p.lastWriteOk());
        ASSERT_TRUE(file->commit());
        hall.dir = DirHandle_C();
    }
    auto file = ArchiveFile_C::open(path, false);
    ASSERT_NE(file, nullptr);
    hall.dir = file->openDir("hall");
    std::unique_ptr<Storable_C> rec = file->openDir("world")->load("party.dat");
    auto* p = dynamic_cast<bl3dParty*>(rec.get());
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->getCount(), MAX_PARTY);
    bl3dPartyChar* ada = p->getMember(0);
    ASSERT_EQ(ada->effects().size(), 1u);
    const auto* poison = static_cast<const CharEffect_Poison*>(ada->effects().front().effect.get());
    EXPECT_EQ(poison->sides(), CharEffect_Poison::MAX_DICE);
    EXPECT_EQ(poison->count(), CharEffect_Poison::MAX_DICE);
    EXPECT_EQ(poison->bonus(), 3);
    rec.reset();
    hall.dir = DirHandle_C();
    bl3dParty::setHall(nullptr);
    std::remove(path.c_str());
}

TEST_F(StoredExtremesTest, ShopStock) {
    bl3dShopInv inv("Ye Olde Shoppe");
    ASSERT_TRUE(inv.add(0, types[0], false));
    ASSERT_TRUE(inv.add(STOCK_MAX, types[1], true));
    ASSERT_TRUE(inv.add(STOCK_UNLIMITED, types[2], true));
    ASSERT_TRUE(inv.add(INT_MAX, types[3], true));
    inv.at(0)->base = INT_MIN;
    inv.at(3)->base = INT_MAX;
    EXPECT_TRUE(readsBack(&bl3dShopInv::create, inv));
}

} // namespace
