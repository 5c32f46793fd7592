// Shop stock: adding, removing and restocking with the sentinels kept, and
// both stored versions, including damaged ones.
#include "MonsterTestEnv.h"

#include "rules/ShopInv.h"

#include <array>
#include <map>

namespace {

class ShopInvTest : public MonsterRulesTest {
protected:
    void SetUp() override {
        MonsterRulesTest::SetUp();
        masterITL.addShopName("other.dat");
        masterITL.addShopName("shop.dat");
        for (int id : {10, 20, 30, 40, 50})
            types[id] = addItemType(id, ("Item " + std::to_string(id)).c_str());
    }

    // (id, base, count) of every entry in order.
    static std::vector<std::array<int32_t, 3>> entries(const bl3dShopInv& inv) {
        std::vector<std::array<int32_t, 3>> out;
        for (int i = 0; i < inv.count(); ++i)
            out.push_back({inv.at(i)->type->getID(), inv.at(i)->base, inv.at(i)->count});
        return out;
    }

    std::map<int, bl3dItemType*> types;
};

using Entries = std::vector<std::array<int32_t, 3>>;

TEST_F(ShopInvTest, AddKeepsIdOrderAndTheSentinels) {
    bl3dShopInv inv("shop.dat");
    EXPECT_TRUE(inv.add(4, types[30], true));
    EXPECT_TRUE(inv.add(2, types[10], false));
    EXPECT_TRUE(inv.add(1, types[50], false));
    EXPECT_TRUE(inv.add(9997, types[40], false));
    EXPECT_EQ(entries(inv), (Entries{{10, 0, 2}, {30, 4, 4}, {40, 0, 9997}, {50, 0, 1}}));
    struct Case {
        int id, n;
        bool setBase;
        std::array<int32_t, 3> after;
    } cases[] = {
        {40, 3, false, {40, 0, 9999}},          // landing on 10000 is no accident-unlimited
        {40, 5, false, {40, 0, 9999}},          // capped at 9999
        {40, 2147483647, false, {40, 0, 9999}}, // no wrap past the cap
        {30, 3, true, {30, 7, 7}},              // the base follows the count
        {10, 10000, false, {10, 0, 10000}},     // 10000 makes it unlimited
        {10, 5, true, {10, 0, 10000}},          // and unlimited stays so
        {50, 0, false, {50, 0, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(inv.add(c.n, types[c.id], c.setBase));
        EXPECT_EQ(entries(inv)[static_cast<size_t>(inv.find(types[c.id]) - inv.at(0))], c.after) << c.id << " + " << c.n;
    }
    EXPECT_FALSE(inv.add(1, nullptr, false));
    EXPECT_FALSE(inv.add(-3, types[50], false)) << "a negative amount is refused";
    EXPECT_TRUE(inv.add(12000, types[20], true));
    EXPECT_EQ(inv.find(types[20])->count, 9999) << "a new entry is capped too";
}

TEST_F(ShopInvTest, RemoveEmptiesRegularStockAndDropsTheRest) {
    bl3dShopInv inv("shop.dat");
    EXPECT_FALSE(inv.remove(1, types[10])) << "an empty stock";
    inv.add(4, types[10], true);                  // regular: base 4
    inv.add(1, types[20], false);                 // bought from the party: base 0
    inv.add(10000, types[30], false);             // unlimited
    inv.add(2, types[40], false);
    inv.find(types[40])->base = STOCK_BASE_FROM_FILE;
    struct Case {
        int id, n;
        bool result;
        Entries after;
    } cases[] = {
        {10, 3, true, {{10, 4, 1}, {20, 0, 1}, {30, 0, 10000}, {40, 10001, 2}}},
        {10, 1, true, {{10, 4, 0}, {20, 0, 1}, {30, 0, 10000}, {40, 10001, 2}}},
        {20, 1, true, {{10, 4, 0}, {30, 0, 10000}, {40, 10001, 2}}},
        {30, 3, true, {{10, 4, 0}, {30, 0, 10000}, {40, 10001, 2}}},
        {40, 5, true, {{10, 4, 0}, {30, 0, 10000}}},
        {30, 10000, true, {{10, 4, 0}}},
        {50, 1, false, {{10, 4, 0}}},
        {10, -1, false, {{10, 4, 0}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inv.remove(c.n, types[c.id]), c.result) << c.id << " - " << c.n;
        EXPECT_EQ(entries(inv), c.after) << c.id << " - " << c.n;
    }
    EXPECT_FALSE(inv.remove(1, nullptr));
}

TEST_F(ShopInvTest, RestockFollowsTheItemFile) {
    // The file: shop.dat (index 1) stocks 10 x6, 30 x2, 40 unlimited, 50 x1;
    // other.dat stocks 20.
    types[10]->addShopCount(6, 1);
    types[20]->addShopCount(9, 0);
    types[30]->addShopCount(2, 1);
    types[40]->addShopCount(10000, 1);
    types[50]->addShopCount(1, 1);
    bl3dShopInv inv("shop.dat");
    inv.add(1, types[10], false);
    inv.find(types[10])->base = 4;            // base 4, count 1, file now 6
    inv.add(3, types[20], false);              // bought from the party
    inv.add(9999, types[30], true);            // base 9999, file now 2: 9997 fewer
    inv.add(5, types[50], false);
    inv.find(types[50])->base = STOCK_BASE_FROM_FILE;
    inv.restock(masterITL);
    EXPECT_EQ(entries(inv), (Entries{{10, 6, 3}, {20, 0, 3}, {30, 2, 2}, {40, 10000, 10000}, {50, 1, 5}}));

    // A file count that grows past the cap keeps the count at 9999.
    types[30]->addShopCount(0, 0);
    bl3dShopInv full("shop.dat");
    full.add(9999, types[10], false);
    full.find(types[10])->base = 1;
    full.restock(masterITL);
    EXPECT_EQ(full.find(types[10])->count, 9999);
    // Nor does a restock that lands exactly on 10000 make the entry unlimited.
    bl3dShopInv edge("shop.dat");
    edge.add(9996, types[10], false);
    edge.find(types[10])->base = 2; // file says 6: four more
    edge.restock(masterITL);
    EXPECT_EQ(edge.find(types[10])->count, 9999);

    // A shop the file does not name stocks nothing new.
    bl3dShopInv stranger("nowhere.dat");
    stranger.add(2, types[10], true);
    stranger.restock(masterITL);
    EXPECT_EQ(entries(stranger), (Entries{{10, 0, 0}}));
}

TEST_F(ShopInvTest, RestockMovesUnlimitedEntriesByTheFileCount) {
    // The shelf moves by as much as the file's count moved; 10000 stands
    // for unlimited.
    struct Case {
        int32_t base, count, file;
        int32_t newBase, newCount;
        const char* why;
    } cases[] = {
        {10000, 10000, 6, 6, 6, "unlimited in the file before, now six: six on the shelf"},
        {10000, 10000, 0, 0, 0, "no longer stocked: none left"},
        {10000, 10000, 10000, 10000, 10000, "still unlimited"},
        {4, 4, 10000, 10000, 10000, "a full shelf becomes unlimited"},
        {4, 3, 10000, 10000, 9999, "one sold: one short of unlimited"},
        {4, 1, 10000, 10000, 9997, "three sold"},
        {4, 6, 10000, 10000, 9999, "more than the base: held at 9999"},
        {4, 10000, 10000, 10000, 9999, "made unlimited by hand over a base of 4"},
        {4, 10000, 4, 4, 10000, "the file unchanged: it stays as it is"},
        {2, 9996, 6, 6, 9999, "landing on 10000 with a finite file count is no unlimited"},
    };
    types[10]->addShopCount(0, 1);
    for (const Case& c : cases) {
        types[10]->addShopCount(c.file, 1); // the newest pair of a shop counts
        bl3dShopInv inv("shop.dat");
        inv.add(1, types[10], false);
        inv.find(types[10])->base = c.base;
        inv.find(types[10])->count = c.count;
        inv.restock(masterITL);
        ASSERT_NE(inv.find(types[10]), nullptr) << c.why;
        EXPECT_EQ(inv.find(types[10])->base, c.newBase) << c.why;
        EXPECT_EQ(inv.find(types[10])->count, c.newCount) << c.why;
    }
}

TEST_F(ShopInvTest, StoredFormVersionTwoAndOne) {
    bl3dShopInv inv("shop.dat");
    inv.add(4, types[10], true);
    inv.add(10000, types[30], false);
    MemStream_C s;
    inv.write(s);
    EXPECT_EQ(streamBytes(s), Bytes().i32(2).i32(4).i32(4).i32(10).i32(0).i32(10000).i32(30).b);
    EXPECT_EQ(inv.version(), 2);
    EXPECT_EQ(inv.typeId(), 4);
    auto back = bl3dShopInv::create(RefStr_C("shop.dat"), 2, s);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(entries(static_cast<bl3dShopInv&>(*back)), entries(inv));
    EXPECT_EQ(back->getName(), "shop.dat");

    MemStream_C v1;
    fillStream(v1, Bytes().i32(2).i32(3).i32(20).i32(10000).i32(40).b);
    bl3dShopInv old("shop.dat");
    ASSERT_TRUE(old.read(1, v1));
    EXPECT_EQ(entries(old), (Entries{{20, 10001, 3}, {40, 10001, 10000}}));
}

TEST_F(ShopInvTest, DamagedRecordsAreRefusedOrMended) {
    struct Case {
        int version;
        std::vector<uint8_t> bytes;
        bool ok;
        Entries kept;
    } cases[] = {
        // Unknown type and an id out of order: dropped, the rest kept.
        {2, Bytes().i32(4).i32(1).i32(1).i32(20).i32(1).i32(1).i32(99).i32(1).i32(1).i32(10).i32(1).i32(2).i32(30).b,
         true, {{20, 1, 1}, {30, 1, 2}}},
        // A repeated id.
        {2, Bytes().i32(2).i32(1).i32(1).i32(20).i32(5).i32(5).i32(20).b, true, {{20, 1, 1}}},
        // Counts out of the sentinels' range are brought back into it.
        {2, Bytes().i32(2).i32(3).i32(-7).i32(10).i32(3).i32(123456).i32(20).b, true, {{10, 3, 0}, {20, 3, 9999}}},
        // A count the stream cannot hold, a negative count, a short stream.
        {2, Bytes().i32(1000).i32(1).i32(1).i32(10).b, false, {}},
        {2, Bytes().i32(-1).b, false, {}},
        {1, Bytes().i32(1).i32(1).b, false, {}},
        {2, Bytes().b, false, {}},
        // A version this game never wrote.
        {3, Bytes().i32(0).b, false, {}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        MemStream_C s;
        fillStream(s, c.bytes);
        bl3dShopInv inv("shop.dat");
        testing::internal::CaptureStdout();
        EXPECT_EQ(inv.read(c.version, s), c.ok) << "case " << i;
        const std::string out = testing::internal::GetCapturedStdout();
        if (c.ok) {
            EXPECT_EQ(entries(inv), c.kept) << "case " << i;
        }
        if (i < 2) {
            EXPECT_NE(out.find("Warning: Compensating for corrupt shop inventory"), std::string::npos) << "case " << i;
        }
    }
}

TEST_F(ShopInvTest, RandomlyDamagedRecordsNeverCrash) {
    bl3dShopInv inv("shop.dat");
    for (int id : {10, 20, 30, 40, 50})
        inv.add(id, types[id], id % 20 == 0);
    MemStream_C s;
    inv.write(s);
    const std::vector<uint8_t> good = streamBytes(s);
    vell::gameSrand(99);
    testing::internal::CaptureStdout();
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bytes = good;
        const int flips = 1 + vell::gameRandMod(4);
        for (int f = 0; f < flips; ++f)
            bytes[static_cast<size_t>(vell::gameRandMod(static_cast<int>(bytes.size())))] =
                static_cast<uint8_t>(vell::gameRandMod(256));
        if (round % 3 == 0)
            bytes.resize(static_cast<size_t>(vell::gameRandMod(static_cast<int>(bytes.size()) + 1)));
        MemStream_C bad;
        fillStream(bad, bytes);
        bl3dShopInv back("shop.dat");
        if (back.read(1 + round % 2, bad)) {
            for (int i = 0; i < back.count(); ++i) {
                ASSERT_NE(back.at(i)->type, nullptr);
                ASSERT_TRUE(back.at(i)->count <= STOCK_MAX || back.at(i)->count == STOCK_UNLIMITED);
                ASSERT_GE(back.at(i)->count, 0);
                if (i > 0) {
                    ASSERT_LT(back.at(i - 1)->type->getID(), back.at(i)->type->getID());
                }
            }
        }
    }
    testing::internal::GetCapturedStdout();
}

} // namespace
