// The save archive: its bytes on file, the free list, store / load /
// remove / commit / rollback in the cases that matter, and files that are
// damaged or cut short.
#include "ArchiveTestUtil.h"

#include "core/TagList.h"
#include "platform/FileIO.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace archtest;

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerBytes();
        path = tempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::remove(path.c_str());
    }
    void TearDown() override {
        vell::setWriteHook(nullptr);
        vell::setReadHook(nullptr);
        std::remove(path.c_str());
    }

    std::unique_ptr<ArchiveFile_C> openArchive() { return reopen(path); }

    std::string loadBytes(ArchiveDir_C& dir, const char* name) {
        auto r = dir.load(name);
        auto* b = dynamic_cast<BytesRec_C*>(r.get());
        return b ? b->bytes() : std::string("<none>");
    }

    std::string path;
};

TEST_F(ArchiveTest, NewArchiveIsTwentyFourBytes) {
    { auto a = openArchive(); }
    std::string expect = Bytes().i32(1).i32(12).i32(12).i32(0).i32(0).i32(0).s;
    EXPECT_EQ(readFile(path), expect);
    // Reopening an empty archive changes nothing.
    {
        auto a = openArchive();
        ASSERT_TRUE(a);
        EXPECT_EQ(a->getEntryCount(), 0);
    }
    EXPECT_EQ(readFile(path), expect);
}

// A held archive (a quest in play) refuses a second holder at once, before
// anything is read or written; an open that does not hold it still reads it,
// and the hold ends with the archive.
TEST_F(ArchiveTest, HeldArchiveRefusesASecondHolder) {
    {
        auto a = openArchive();
        ASSERT_TRUE(a->store(BytesRec_C("seen", "first")));
        ASSERT_TRUE(a->commit());
    }
    const std::string bytes = readFile(path);
    std::string error;
    auto first = ArchiveFile_C::open(path, false, &error, true);
    ASSERT_TRUE(first) << error;
    EXPECT_TRUE(vell::isHeld(path.c_str()));
    for (bool truncate : {false, true}) {
        auto second = ArchiveFile_C::open(path, truncate, &error, true);
        EXPECT_FALSE(second);
        EXPECT_EQ(error, "the quest is in use by another game");
        EXPECT_EQ(readFile(path), bytes);
    }
    {
        auto reader = ArchiveFile_C::open(path, false, &error);
        ASSERT_TRUE(reader) << error;
        EXPECT_EQ(loadBytes(*reader, "seen"), "first");
    }
    first.reset();
    EXPECT_FALSE(vell::isHeld(path.c_str()));
    auto again = ArchiveFile_C::open(path, false, &error, true);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(loadBytes(*again, "seen"), "first");
}

TEST_F(ArchiveTest, SmallArchiveWithSubdirectoryBytes) {
    {
        auto a = openArchive();
        DirHandle_C hall = a->openDir("hall");
        ASSERT_TRUE(hall->store(BytesRec_C("a", "xyz")));
        ASSERT_TRUE(a->commit());
        // A second save with nothing new moves the root down over the space
        // the first one left, and the file shrinks to what it holds.
        ASSERT_TRUE(a->commit());
    }
    Bytes hallBlob;
    hallBlob.i32(1).entry("a", TYPE_BYTES, 1, 12, 3, 0).i32(0);
    ASSERT_EQ(hallBlob.s.size(), 31u);
    Bytes file;
    file.i32(1).i32(46).i32(38);                                       // header
    file.raw("xyz");                                                   // 12: the record
    file.raw(hallBlob.s);                                              // 15: "hall"
    file.i32(1).entry("hall", 1, 1, 15, 31, 2).i32(0).i32(0);          // 46: root, no free block
    EXPECT_EQ(readFile(path), file.s);

    auto a = openArchive();
    ASSERT_TRUE(a);
    DirHandle_C hall = a->openDir("hall");
    EXPECT_EQ(loadBytes(*hall, "a"), "xyz");
}

TEST_F(ArchiveTest, RecordsRoundTripThroughTheRegistry) {
    {
        auto a = openArchive();
        TagList_C tags(RefStr_C("flags"));
        tags.setInt("Weather", 0x35);
        tags.setIntKind1("MagLt1", 3);
        getTypeRegistry().add(TYPE_TAG_LIST, &TagList_C::create);
        ASSERT_TRUE(a->openDir("world")->store(tags));
        ASSERT_TRUE(a->commit());
    }
    auto a = openArchive();
    DirHandle_C world = a->openDir("world");
    auto r = world->load("flags");
    auto* tags = dynamic_cast<TagList_C*>(r.get());
    ASSERT_TRUE(tags);
    EXPECT_EQ(tags->getName(), "flags");
    int32_t v = 0;
    EXPECT_EQ(tags->getInt("Weather", v), 1);
    EXPECT_EQ(v, 0x35);
    // Absent names, directories and unknown types give nothing.
    EXPECT_EQ(world->load("nothing"), nullptr);
    EXPECT_EQ(a->load("world"), nullptr);
    ASSERT_TRUE(world->store(BytesRec_C("odd", "q")));
    const ArchiveEntry_S* e = world->findEntry("odd");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->typeId, TYPE_BYTES);
}

TEST_F(ArchiveTest, UnknownTypeLoadsAsNull) {
    struct Alien : Storable_C {
        Alien() : Storable_C(RefStr_C("alien")) {}
        int typeId() const override { return 4242; }
        void write(MemStream_C& s) const override { s.writeInt32(7); }
        bool read(int, MemStream_C&) override { return true; }
    };
    auto a = openArchive();
    ASSERT_TRUE(a->store(Alien()));
    EXPECT_TRUE(a->hasEntry("alien"));
    EXPECT_EQ(a->load("alien"), nullptr);
}

TEST_F(ArchiveTest, EntriesAreListedInNameOrder) {
    auto a = openArchive();
    for (const char* n : {"m", "b", "z", "a"})
        ASSERT_TRUE(a->store(BytesRec_C(n, n)));
    ASSERT_EQ(a->getEntryCount(), 4);
    EXPECT_STREQ(a->getEntryName(0), "a");
    EXPECT_STREQ(a->getEntryName(1), "b");
    EXPECT_STREQ(a->getEntryName(2), "m");
    EXPECT_STREQ(a->getEntryName(3), "z");
    EXPECT_EQ(a->getEntryName(4), nullptr);
    EXPECT_EQ(a->getEntryName(-1), nullptr);
    EXPECT_TRUE(a->hasEntry("m"));
    EXPECT_FALSE(a->hasEntry("mm"));
}

TEST_F(ArchiveTest, StoringTwiceKeepsOneOldCopy) {
    auto a = openArchive();
    ASSERT_TRUE(a->store(BytesRec_C("r", "committed")));
    ASSERT_TRUE(a->commit());
    const int32_t committedAt = a->findEntry("r")->offset;
    ASSERT_TRUE(a->store(BytesRec_C("r", "second")));
    ASSERT_TRUE(a->store(BytesRec_C("r", "third!")));
    ASSERT_EQ(a->oldEntries().count(), 1);
    EXPECT_EQ(a->oldEntries().at(0).offset, committedAt);
    EXPECT_EQ(a->findEntry("r")->flags, ArchiveEntry_S::MODIFIED);
    EXPECT_EQ(loadBytes(*a, "r"), "third!");
    ASSERT_TRUE(a->rollback());
    EXPECT_EQ(loadBytes(*a, "r"), "committed");
    EXPECT_EQ(a->oldEntries().count(), 0);
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, CommitFreesTheEarlierBlockForReuse) {
    auto a = openArchive();
    ASSERT_TRUE(a->store(BytesRec_C("big", std::string(400, 'a'))));
    ASSERT_TRUE(a->commit());
    const int32_t earlier = a->findEntry("big")->offset;
    ASSERT_TRUE(a->store(BytesRec_C("big", std::string(500, 'b'))));
    // Until the commit the earlier copy is kept for a rollback.
    for (const auto& b : a->freeBlocks())
        EXPECT_FALSE(b.offset < earlier + 400 && earlier < b.end());
    ASSERT_TRUE(a->commit());
    bool freed = false;
    for (const auto& b : a->freeBlocks())
        freed = freed || (b.offset <= earlier && earlier + 400 <= b.end());
    EXPECT_TRUE(freed);
    // The next record of that size or smaller goes there (first fit).
    ASSERT_TRUE(a->store(BytesRec_C("small", std::string(300, 'c'))));
    EXPECT_LE(a->findEntry("small")->offset, earlier);
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, RollbackUndoesNewReplacedAndRemoved) {
    auto a = openArchive();
    DirHandle_C hall = a->openDir("hall");
    ASSERT_TRUE(hall->store(BytesRec_C("keep", "k1")));
    ASSERT_TRUE(hall->store(BytesRec_C("gone", "g1")));
    ASSERT_TRUE(hall->store(BytesRec_C("swap", "s1")));
    ASSERT_TRUE(a->commit());

    ASSERT_TRUE(hall->store(BytesRec_C("fresh", "f2")));
    ASSERT_TRUE(hall->store(BytesRec_C("swap", "s2-longer")));
    EXPECT_EQ(hall->remove("gone"), 1);
    EXPECT_EQ(hall->remove("never"), hall->getEntryCount());
    EXPECT_FALSE(hall->hasEntry("gone"));
    // Only entries that existed at the commit have old copies: a brand-new
    // name leaves nothing behind in the old table.
    ASSERT_EQ(hall->oldEntries().count(), 2);
    EXPECT_STREQ(hall->oldEntries().at(0).name.c_str(), "gone");
    EXPECT_STREQ(hall->oldEntries().at(1).name.c_str(), "swap");

    ASSERT_TRUE(a->rollback());
    EXPECT_FALSE(hall->hasEntry("fresh"));
    EXPECT_EQ(loadBytes(*hall, "gone"), "g1");
    EXPECT_EQ(loadBytes(*hall, "swap"), "s1");
    EXPECT_EQ(loadBytes(*hall, "keep"), "k1");
    EXPECT_EQ(hall->getEntryCount(), 3);
    EXPECT_EQ(hall->oldEntries().count(), 0);
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, RollbackOfANewNameAfterCommitLeavesNoEntry) {
    auto a = openArchive();
    ASSERT_TRUE(a->commit());
    ASSERT_TRUE(a->store(BytesRec_C("n", "new")));
    ASSERT_TRUE(a->commit());
    ASSERT_TRUE(a->rollback());
    EXPECT_EQ(loadBytes(*a, "n"), "new");
    ASSERT_TRUE(a->store(BytesRec_C("m", "newer")));
    ASSERT_TRUE(a->rollback());
    EXPECT_FALSE(a->hasEntry("m"));
    EXPECT_EQ(a->oldEntries().count(), 0);
}

TEST_F(ArchiveTest, RemoveOfAModifiedEntryLeavesNoOldCopy) {
    auto a = openArchive();
    ASSERT_TRUE(a->store(BytesRec_C("x", "1")));
    EXPECT_EQ(a->remove("x"), 0);
    EXPECT_EQ(a->oldEntries().count(), 0);
    EXPECT_EQ(a->getEntryCount(), 0);
}

TEST_F(ArchiveTest, DirectoriesInsideDirectories) {
    {
        auto a = openArchive();
        DirHandle_C map = a->openDir("map");
        DirHandle_C deep = map->openDir("level1")->openDir("level2");
        ASSERT_TRUE(deep->store(BytesRec_C("cell", "deep data")));
        ASSERT_TRUE(a->commit());
        ASSERT_TRUE(deep->store(BytesRec_C("cell", "changed")));
        // The change is on file at once, with the means to undo it.
    }
    {
        auto a = openArchive();
        DirHandle_C deep = a->openDir("map")->openDir("level1")->openDir("level2");
        EXPECT_EQ(loadBytes(*deep, "cell"), "changed");
        ASSERT_TRUE(a->rollback());
        EXPECT_EQ(loadBytes(*deep, "cell"), "deep data");
        EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
    }
    auto a = openArchive();
    EXPECT_EQ(loadBytes(*a->openDir("map")->openDir("level1")->openDir("level2"), "cell"), "deep data");
}

TEST_F(ArchiveTest, OneLiveObjectPerDirectory) {
    auto a = openArchive();
    DirHandle_C first = a->openDir("hall");
    EXPECT_EQ(a->openDir("hall").get(), first.get()); // the cached one
    DirHandle_C other = a->openDir("shop");           // the cache now holds "shop"
    DirHandle_C again = a->openDir("hall");
    EXPECT_EQ(again.get(), first.get());
    ASSERT_TRUE(first->store(BytesRec_C("a", "1")));
    ASSERT_TRUE(again->store(BytesRec_C("b", "2")));
    EXPECT_EQ(first->getEntryCount(), 2);
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, DroppedDirectoryIsReadBackFromItsBlob) {
    auto a = openArchive();
    {
        DirHandle_C shop = a->openDir("shop");
        ASSERT_TRUE(shop->store(BytesRec_C("inn", "stock")));
    }
    a->openDir("other"); // pushes "shop" out of the cache: it is deleted
    DirHandle_C shop = a->openDir("shop");
    EXPECT_EQ(loadBytes(*shop, "inn"), "stock");
}

TEST_F(ArchiveTest, RecordAndDirectoryNamesDoNotMix) {
    auto a = openArchive();
    ASSERT_TRUE(a->store(BytesRec_C("thing", "1")));
    DirHandle_C d = a->openDir("thing");
    EXPECT_TRUE(d->isBroken());
    EXPECT_FALSE(d->store(BytesRec_C("x", "2")));
    a->openDir("dir");
    EXPECT_FALSE(a->store(BytesRec_C("dir", "3")));
    EXPECT_EQ(a->remove("dir"), -1);
    EXPECT_TRUE(a->findEntry("dir")->isDir());
}

TEST_F(ArchiveTest, RollbackBringsARecordBackOverADirectoryOfItsName) {
    auto a = openArchive();
    ASSERT_TRUE(a->store(BytesRec_C("inn", "committed record")));
    ASSERT_TRUE(a->commit());
    EXPECT_EQ(a->remove("inn"), 0);
    DirHandle_C inn = a->openDir("inn");
    ASSERT_FALSE(inn->isBroken());
    ASSERT_TRUE(inn->store(BytesRec_C("beds", std::string(300, 'b'))));
    ASSERT_TRUE(inn->openDir("cellar")->store(BytesRec_C("casks", std::string(200, 'c'))));
    ASSERT_TRUE(a->rollback());
    EXPECT_EQ(loadBytes(*a, "inn"), "committed record");
    EXPECT_TRUE(inn->isBroken()); // the directory is gone
    EXPECT_FALSE(inn->store(BytesRec_C("x", "y")));
    EXPECT_TRUE(a->openDir("inn")->isBroken());
    // Everything the directory held was given back.
    EXPECT_TRUE(noSpaceLost(*a));
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, ARecordOfTheDirectoryTypeStaysARecord) {
    // A record whose type id is that of a directory.
    struct Odd : BytesRec_C {
        using BytesRec_C::BytesRec_C;
        int typeId() const override { return TYPE_ARCHIVE_DIR; }
    };
    {
        auto a = openArchive();
        ASSERT_TRUE(a->store(BytesRec_C("keep", "committed")));
        ASSERT_TRUE(a->commit());
        ASSERT_TRUE(a->store(Odd(RefStr_C("odd"), "not a directory blob")));
        EXPECT_FALSE(a->findEntry("odd")->isDir());
        EXPECT_TRUE(a->openDir("odd")->isBroken());
        ASSERT_TRUE(a->commit());
        ASSERT_TRUE(a->store(Odd(RefStr_C("odd"), "again")));
        ASSERT_TRUE(a->rollback());
        // Nor does it ever take a directory's place.
        DirHandle_C hall = a->openDir("hall");
        ASSERT_TRUE(hall->store(BytesRec_C("Aldo", "fighter")));
        EXPECT_FALSE(a->store(Odd(RefStr_C("hall"), std::string(8, '\0'))));
        EXPECT_FALSE(a->store(BytesRec_C("hall", "x")));
        ASSERT_TRUE(a->commit());
    }
    // Every committed record is still there.
    auto a = openArchive();
    ASSERT_TRUE(a);
    EXPECT_EQ(loadBytes(*a, "keep"), "committed");
    EXPECT_FALSE(a->findEntry("odd")->isDir());
    EXPECT_EQ(a->findEntry("odd")->typeId, TYPE_ARCHIVE_DIR);
    EXPECT_EQ(a->load("odd"), nullptr);
    EXPECT_EQ(loadBytes(*a->openDir("hall"), "Aldo"), "fighter");
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, ANewDirectoryThatCannotBeWrittenIsReportedAndForgotten) {
    auto a = openArchive();
    ASSERT_TRUE(a->commit());
    const std::string before = readFile(path);
    vell::setWriteHook([](int, size_t) -> long { return -1; });
    DirHandle_C shop = a->openDir("shop");
    EXPECT_TRUE(shop->isBroken());
    EXPECT_FALSE(a->hasEntry("shop"));
    EXPECT_TRUE(a->openDir("shop")->isBroken()) << "no phantom is kept";
    vell::setWriteHook(nullptr);
    EXPECT_FALSE(shop->store(BytesRec_C("inn", "x")));
    EXPECT_EQ(readFile(path), before);
    // Once the file can be written, the directory is made for real.
    shop = a->openDir("shop");
    ASSERT_FALSE(shop->isBroken());
    ASSERT_TRUE(shop->store(BytesRec_C("inn", "stock")));
    ASSERT_TRUE(a->commit());
    shop = DirHandle_C();
    a = openArchive();
    EXPECT_EQ(loadBytes(*a->openDir("shop"), "inn"), "stock");
}

// ---------------------------------------------------------------- free list

TEST_F(ArchiveTest, FreedSpaceMergesAndGoesBackToTheEnd) {
    auto a = openArchive();
    for (const char* n : {"a", "b", "c", "d"})
        ASSERT_TRUE(a->store(BytesRec_C(n, std::string(100, *n))));
    ASSERT_TRUE(a->commit());
    EXPECT_EQ(a->remove("a"), 0);
    EXPECT_EQ(a->remove("c"), 1);
    ASSERT_TRUE(a->commit());
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size())); // no two free blocks touch
    EXPECT_EQ(a->remove("b"), 0);
    EXPECT_EQ(a->remove("d"), 0);
    ASSERT_TRUE(a->commit());
    // Everything is free: it all merges, and (once the header no longer
    // describes the old copies) the root moves down to the first byte after
    // the header.
    ASSERT_TRUE(a->commit());
    EXPECT_TRUE(a->freeBlocks().empty());
    EXPECT_EQ(a->rootBlock().offset, 12);
    EXPECT_EQ(readFile(path).size(), 24u);
    ASSERT_TRUE(a->store(BytesRec_C("e", std::string(1000, 'e'))));
    ASSERT_TRUE(a->commit());
    EXPECT_LT(readFile(path).size(), 1000u + 200u);
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

TEST_F(ArchiveTest, HandlesMayOutliveTheArchive) {
    auto a = openArchive();
    DirHandle_C hall = a->openDir("hall");
    DirHandle_C deep = hall->openDir("deep");
    ASSERT_TRUE(deep->store(BytesRec_C("x", "1")));
    a.reset();
    EXPECT_TRUE(hall->isBroken());
    EXPECT_FALSE(deep->store(BytesRec_C("y", "2")));
    EXPECT_EQ(deep->load("x"), nullptr);
    EXPECT_TRUE(hall->openDir("other")->isBroken());
}

TEST_F(ArchiveTest, RepeatedSavesDoNotGrowTheFile) {
    auto a = openArchive();
    DirHandle_C world = a->openDir("world");
    size_t largest = 0;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(world->store(BytesRec_C("party.dat", std::string(300 + i % 7, 'p'))));
        ASSERT_TRUE(world->store(BytesRec_C("ra2d.dat", std::string(200 + i % 5, 'w'))));
        ASSERT_TRUE(a->commit());
        if (i > 10)
            largest = std::max(largest, readFile(path).size());
    }
    EXPECT_LT(largest, 4000u);
    EXPECT_TRUE(spaceIsSound(*a, readFile(path).size()));
}

// ---------------------------------------------------------------- bad files

TEST_F(ArchiveTest, FileThatCannotBeOpenedIsReported) {
    std::string err;
    auto a = ArchiveFile_C::open(path + "/no/such/folder", false, &err);
    EXPECT_FALSE(a);
    EXPECT_NE(err.find("cannot open"), std::string::npos) << err;
    // A folder where the file should be.
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    EXPECT_FALSE(ArchiveFile_C::open(path, false, &err));
    ::rmdir(path.c_str());
}

std::string sampleArchive(const std::string& path) {
    registerBytes();
    std::remove(path.c_str());
    auto a = ArchiveFile_C::open(path, false);
    a->setDurable(false);
    DirHandle_C hall = a->openDir("hall");
    hall->store(BytesRec_C("Aldo", "fighter"));
    hall->store(BytesRec_C("Brin", "bard"));
    a->openDir("world")->store(BytesRec_C("party.dat", "ppp"));
    a->commit();
    hall->store(BytesRec_C("Aldo", "fighter v2"));
    hall->remove("Brin");
    a.reset();
    return readFile(path);
}

TEST_F(ArchiveTest, ARollbackWithNothingToUndoWritesNothing) {
    sampleArchive(path); // left with uncommitted changes
    {
        auto a = openArchive();
        ASSERT_TRUE(a->rollback()); // undoes them: writes
    }
    const std::string rolledBack = readFile(path);
    int writes = 0;
    vell::setWriteHook([&writes](int, size_t n) -> long {
        ++writes;
        return static_cast<long>(n);
    });
    for (int i = 0; i < 3; ++i) {
        auto a = openArchive();
        ASSERT_TRUE(a->rollback());
        ASSERT_TRUE(a->openDir("hall")->rollback());
        EXPECT_EQ(loadBytes(*a->openDir("hall"), "Brin"), "bard");
    }
    vell::setWriteHook(nullptr);
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(readFile(path), rolledBack);
}

TEST_F(ArchiveTest, EveryTruncationIsRefusedAndLeftAlone) {
    const std::string good = sampleArchive(path);
    for (size_t len = 1; len < good.size(); ++len) {
        std::string cut = good.substr(0, len);
        writeFile(path, cut);
        std::string err;
        auto a = ArchiveFile_C::open(path, false, &err);
        EXPECT_FALSE(a) << "length " << len;
        EXPECT_NE(err.find("damaged"), std::string::npos) << err;
        EXPECT_EQ(readFile(path), cut) << "length " << len;
    }
}

// Every single-byte change either is refused (file untouched) or opens to an
// archive whose bookkeeping is sound and which keeps working.
TEST_F(ArchiveTest, CorruptBytesAreRefusedOrHarmless) {
    const std::string good = sampleArchive(path);
    int refused = 0;
    for (size_t i = 0; i < good.size(); ++i) {
        for (unsigned char x : {0x01, 0x80, 0xff}) {
            std::string bad = good;
            bad[i] = static_cast<char>(bad[i] ^ x);
            writeFile(path, bad);
            auto a = ArchiveFile_C::open(path, false);
            if (!a) {
                ++refused;
                EXPECT_EQ(readFile(path), bad);
                continue;
            }
            a->setDurable(false);
            ASSERT_TRUE(spaceIsSound(*a, static_cast<long>(bad.size()))) << "byte " << i << " ^ " << int(x);
            DirHandle_C hall = a->openDir("hall");
            if (!hall->isBroken()) {
                hall->store(BytesRec_C("Cara", std::string(50, 'c')));
                hall->load("Aldo");
            }
            a->commit();
            a.reset();
            EXPECT_TRUE(ArchiveFile_C::open(path, false)) << "byte " << i << " ^ " << int(x);
        }
    }
    EXPECT_GT(refused, 0);
}

TEST_F(ArchiveTest, HostileNumbersAreRefused) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"root past the end", Bytes().i32(1).i32(12).i32(400).i32(0).i32(0).i32(0).s},
        {"root inside the header", Bytes().i32(1).i32(4).i32(12).i32(0).i32(0).i32(0).s},
        {"negative root size", Bytes().i32(1).i32(12).i32(-12).i32(0).i32(0).i32(0).s},
        {"huge entry count", Bytes().i32(1).i32(12).i32(12).i32(0x7fffffff).i32(0).i32(0).s},
        {"negative entry count", Bytes().i32(1).i32(12).i32(12).i32(-1).i32(0).i32(0).s},
        {"huge free count", Bytes().i32(1).i32(12).i32(12).i32(0).i32(0).i32(1 << 28).s},
        {"name longer than the blob",
         Bytes().i32(1).i32(12).i32(34).i32(1).i32(1000).raw("abcd").i32(6).i32(1).i32(0).i32(0).i16(0).i32(0).i32(0).s},
        {"entry past the root",
         Bytes().i32(1).i32(12).i32(35).i32(1).entry("a", 6, 1, 12, 50, 1).i32(0).i32(0).s},
        {"free block over the header",
         Bytes().i32(1).i32(12).i32(20).i32(0).i32(0).i32(1).i32(0).i32(8).s},
        {"free block of negative size",
         Bytes().i32(1).i32(16).i32(20).raw("abcd").i32(0).i32(0).i32(1).i32(12).i32(-4).s},
        {"typeless entry with bytes past the root",
         Bytes().i32(1).i32(12).i32(35).i32(1).entry("a", 0, 0, 12, 50, 0).i32(0).i32(0).s},
        {"names out of order",
         Bytes().i32(1).i32(12).i32(58).i32(2).entry("b", 6, 1, 0, 0, 0).entry("a", 6, 1, 0, 0, 0).i32(0).i32(0).s},
        {"directory blob out of the file",
         Bytes().i32(1).i32(12).i32(38).i32(1).entry("hall", 1, 1, 12, 8, 2).i32(0).i32(0).s},
    };
    for (const Case& c : cases) {
        writeFile(path, c.bytes);
        std::string err;
        EXPECT_FALSE(ArchiveFile_C::open(path, false, &err)) << c.what;
        EXPECT_EQ(readFile(path), c.bytes) << c.what;
    }
}

TEST_F(ArchiveTest, TwoEntriesSharingABlockAreRefused) {
    Bytes f;
    f.i32(1).i32(16).i32(0);
    f.raw("abcd");
    Bytes blob;
    blob.i32(2).entry("a", TYPE_BYTES, 1, 12, 4, 0).entry("b", TYPE_BYTES, 1, 14, 2, 0).i32(0).i32(0);
    f.s.replace(8, 4, Bytes().i32(static_cast<int32_t>(blob.s.size())).s);
    f.raw(blob.s);
    writeFile(path, f.s);
    EXPECT_FALSE(ArchiveFile_C::open(path, false));
    // The same file with the blocks apart opens.
    blob = Bytes();
    blob.i32(2).entry("a", TYPE_BYTES, 1, 12, 2, 0).entry("b", TYPE_BYTES, 1, 14, 2, 0).i32(0).i32(0);
    f.s.resize(16);
    f.raw(blob.s);
    writeFile(path, f.s);
    auto a = ArchiveFile_C::open(path, false);
    ASSERT_TRUE(a);
    EXPECT_EQ(loadBytes(*a, "b"), "cd");
}

// A file whose reads fail (a bad disk, a file the user may not read) is not
// taken for an empty archive, and is left as it was: whoever runs the test,
// root included, the reads fail.
TEST_F(ArchiveTest, UnreadableFileIsNotTakenForEmpty) {
    sampleArchive(path);
    const std::string before = readFile(path);
    vell::setReadHook([](int, size_t) -> long { return -1; });
    EXPECT_FALSE(ArchiveFile_C::open(path, false));
    vell::setReadHook(nullptr);
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(ArchiveFile_C::open(path, false));
}

} // namespace
