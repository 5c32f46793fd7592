// Save archives as the archive's own algorithm leaves them in ordinary use,
// built byte by byte here (not by our writer): each step puts its bytes at
// their offset, over whatever an earlier step left there, exactly as that
// algorithm writes them. Such files hold things our writer never makes (a
// free block of no size, empty copies of new names in the old table, the
// same one twice, empty entries in the live table after a rollback,
// directories and records smaller than their recorded size, stale bytes
// after the root) and must open and keep working.
#include "ArchiveTestUtil.h"

#include "core/TagList.h"

#include <gtest/gtest.h>

using namespace archtest;

namespace {

constexpr int16_t MOD = ArchiveEntry_S::MODIFIED;
constexpr int16_t DIR = ArchiveEntry_S::DIRECTORY;

struct Block {
    int32_t offset, size;
};

// A table in a directory blob: the count, then the entries.
std::string table(std::initializer_list<std::string> entries) {
    Bytes b;
    b.i32(static_cast<int32_t>(entries.size()));
    for (const std::string& e : entries)
        b.raw(e);
    return b.s;
}

std::string entry(const std::string& name, int32_t type, int32_t offset, int32_t size, int16_t flags) {
    return Bytes().entry(name, type, 1, offset, size, flags).s;
}

// The copy a new name leaves in the old table: all numbers 0.
std::string phantom(const std::string& name) { return Bytes().entry(name, 0, 0, 0, 0, 0).s; }

std::string freeList(std::initializer_list<Block> blocks) {
    Bytes b;
    b.i32(static_cast<int32_t>(blocks.size()));
    for (const Block& x : blocks)
        b.i32(x.offset).i32(x.size);
    return b.s;
}

// The file as the algorithm's writes leave it.
struct Image {
    std::string bytes;

    Image& put(int32_t at, const std::string& b) {
        const size_t end = static_cast<size_t>(at) + b.size();
        if (bytes.size() < end)
            bytes.resize(end, '\0');
        bytes.replace(static_cast<size_t>(at), b.size(), b);
        return *this;
    }
    // The root saves itself: the header {1, end of data, blob size}, and the
    // blob (live table, old table, free list) at the end of data.
    Image& root(int32_t endOfData, const std::string& used, const std::string& old, const std::string& free) {
        const std::string blob = used + old + free;
        put(0, Bytes().i32(1).i32(endOfData).i32(static_cast<int32_t>(blob.size())).s);
        return put(endOfData, blob);
    }
};

// An empty archive, then "a" (3 bytes) stored and committed.
Image committedA() {
    Image f;
    f.root(12, table({}), table({}), freeList({}));
    // Store "a", a new name: its entry, still all 0, is copied into the old
    // table; the bytes go to the end of data, over the old root.
    f.put(12, "xyz");
    f.root(15, table({entry("a", TYPE_BYTES, 12, 3, MOD)}), table({phantom("a")}), freeList({}));
    // Commit frees the old copy's block {0, 0}: it joins the free list and
    // stays there. The smaller root leaves the old one's tail behind it.
    f.root(15, table({entry("a", TYPE_BYTES, 12, 3, 0)}), table({}), freeList({{0, 0}}));
    return f;
}

class ArchiveFixtureTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerBytes();
        if (!getTypeRegistry().has(TYPE_TAG_LIST))
            getTypeRegistry().add(TYPE_TAG_LIST, &TagList_C::create);
        path = tempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::remove(path.c_str());
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::unique_ptr<ArchiveFile_C> openImage(const Image& f) {
        writeFile(path, f.bytes);
        return reopen(path);
    }

    static std::string loadBytes(ArchiveDir_C& dir, const char* name) {
        auto r = dir.load(name);
        auto* b = dynamic_cast<BytesRec_C*>(r.get());
        return b ? b->bytes() : std::string("<none>");
    }

    // The archive keeps working: a store and a commit, and the file opens
    // again with its space accounted for.
    void keepsWorking(std::unique_ptr<ArchiveFile_C> a) {
        ASSERT_TRUE(a);
        EXPECT_TRUE(spaceIsSound(*a, static_cast<long>(readFile(path).size())));
        ASSERT_TRUE(a->store(BytesRec_C("later", std::string(40, 'l'))));
        ASSERT_TRUE(a->commit());
        a.reset();
        auto again = reopen(path);
        ASSERT_TRUE(again);
        EXPECT_EQ(loadBytes(*again, "later"), std::string(40, 'l'));
        EXPECT_TRUE(spaceIsSound(*again, static_cast<long>(readFile(path).size())));
        EXPECT_TRUE(noSpaceLost(*again));
    }

    std::string path;
};

TEST_F(ArchiveFixtureTest, EmptyFreeBlockAndBytesAfterTheRoot) {
    const Image f = committedA();
    ASSERT_EQ(f.bytes.size(), 73u);
    ASSERT_GT(f.bytes.size(), 15u + 43u) << "stale bytes follow the root";
    auto a = openImage(f);
    ASSERT_TRUE(a);
    EXPECT_EQ(loadBytes(*a, "a"), "xyz");
    EXPECT_TRUE(a->freeBlocks().empty()) << "the empty block is dropped";
    EXPECT_EQ(readFile(path), f.bytes) << "opening writes nothing";
    keepsWorking(std::move(a));
    auto back = reopen(path);
    EXPECT_EQ(loadBytes(*back, "a"), "xyz");
}

TEST_F(ArchiveFixtureTest, SamePhantomTwiceInTheOldTable) {
    Image f = committedA();
    // Store "b", new: a phantom in the old table, 2 bytes at the end of data
    // (the empty block fits nothing).
    f.put(15, "pq");
    f.root(17, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("b", TYPE_BYTES, 15, 2, MOD)}), table({phantom("b")}),
           freeList({{0, 0}}));
    // Remove "b": modified, so its block is freed at once.
    f.root(17, table({entry("a", TYPE_BYTES, 12, 3, 0)}), table({phantom("b")}), freeList({{0, 0}, {15, 2}}));
    // Store "b" again: new once more, a second phantom; the freed block fits.
    f.put(15, "pq");
    f.root(17, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("b", TYPE_BYTES, 15, 2, MOD)}),
           table({phantom("b"), phantom("b")}), freeList({{0, 0}}));
    ASSERT_EQ(f.bytes.size(), 129u);

    {
        auto a = openImage(f);
        ASSERT_TRUE(a);
        EXPECT_EQ(loadBytes(*a, "b"), "pq");
        EXPECT_EQ(a->oldEntries().count(), 0);
        // "b" came after the last commit: a rollback takes it away.
        ASSERT_TRUE(a->rollback());
        EXPECT_FALSE(a->hasEntry("b"));
        EXPECT_EQ(loadBytes(*a, "a"), "xyz");
        keepsWorking(std::move(a));
    }
    // A commit keeps it instead.
    auto a = openImage(f);
    ASSERT_TRUE(a);
    ASSERT_TRUE(a->commit());
    a.reset();
    a = reopen(path);
    ASSERT_TRUE(a);
    EXPECT_EQ(loadBytes(*a, "b"), "pq");
    keepsWorking(std::move(a));
}

TEST_F(ArchiveFixtureTest, PhantomLeftInTheLiveTableByARollback) {
    Image f = committedA();
    // Store "c", new, then roll back: the old copy of "c" (all 0) is copied
    // back over the live entry, whose block is freed.
    f.put(15, "k");
    f.root(16, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("c", TYPE_BYTES, 15, 1, MOD)}), table({phantom("c")}),
           freeList({{0, 0}}));
    f.root(16, table({entry("a", TYPE_BYTES, 12, 3, 0), phantom("c")}), table({}), freeList({{0, 0}, {15, 1}}));
    ASSERT_EQ(f.bytes.size(), 105u);

    auto a = openImage(f);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->getEntryCount(), 1) << "the phantom is no entry";
    EXPECT_FALSE(a->hasEntry("c"));
    EXPECT_EQ(a->load("c"), nullptr);
    ASSERT_TRUE(a->store(BytesRec_C("c", "real")));
    EXPECT_EQ(loadBytes(*a, "c"), "real");
    keepsWorking(std::move(a));
}

TEST_F(ArchiveFixtureTest, DirectoryBlobSmallerThanItsRecordedSize) {
    Image f = committedA();
    // openDir("hall"): an empty child blob at the end of data.
    f.put(15, table({}) + table({}));
    f.root(23, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("hall", 1, 15, 8, DIR)}), table({}),
           freeList({{0, 0}}));
    // "Aldo" into the hall: 7 bytes at the end of data; the hall's blob
    // outgrows its 8 bytes, which are freed, and moves to the end.
    f.put(23, "fighter");
    const std::string hall1 = table({entry("Aldo", TYPE_BYTES, 23, 7, MOD)}) + table({phantom("Aldo")});
    ASSERT_EQ(hall1.size(), 60u);
    f.put(30, hall1);
    f.root(90, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("hall", 1, 30, 60, DIR | MOD)}), table({}),
           freeList({{0, 0}, {15, 8}}));
    // "Brin": 4 bytes from the front of the free block at 15. The hall's
    // blob outgrows 60 bytes: freed, and as the last block it gives its
    // space back to the end, which it takes again.
    f.put(15, "bard");
    const std::string hall2 = table({entry("Aldo", TYPE_BYTES, 23, 7, MOD), entry("Brin", TYPE_BYTES, 15, 4, MOD)}) +
                              table({phantom("Aldo"), phantom("Brin")});
    ASSERT_EQ(hall2.size(), 112u);
    f.put(30, hall2);
    f.root(142, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("hall", 1, 30, 112, DIR | MOD)}), table({}),
           freeList({{0, 0}, {19, 4}}));
    // Commit: the hall's smaller blob is written in place and its entry
    // keeps the recorded size of 112.
    f.put(30, table({entry("Aldo", TYPE_BYTES, 23, 7, 0), entry("Brin", TYPE_BYTES, 15, 4, 0)}) + table({}));
    f.root(142, table({entry("a", TYPE_BYTES, 12, 3, 0), entry("hall", 1, 30, 112, DIR)}), table({}),
           freeList({{0, 0}, {19, 4}}));
    ASSERT_EQ(f.bytes.size(), 219u);

    auto a = openImage(f);
    ASSERT_TRUE(a);
    DirHandle_C hall = a->openDir("hall");
    ASSERT_FALSE(hall->isBroken());
    ASSERT_EQ(hall->getEntryCount(), 2);
    EXPECT_EQ(hall->oldEntries().count(), 0);
    EXPECT_EQ(loadBytes(*hall, "Aldo"), "fighter");
    EXPECT_EQ(loadBytes(*hall, "Brin"), "bard");
    ASSERT_TRUE(hall->store(BytesRec_C("Cara", "cleric")));
    hall = DirHandle_C();
    keepsWorking(std::move(a));
    a = reopen(path);
    EXPECT_EQ(loadBytes(*a->openDir("hall"), "Cara"), "cleric");
}

TEST_F(ArchiveFixtureTest, RecordSmallerThanItsRecordedSize) {
    auto tags = [](std::initializer_list<std::pair<const char*, int32_t>> values) {
        Bytes b;
        b.i32(static_cast<int32_t>(values.size()));
        for (const auto& v : values)
            b.str(v.first).raw(std::string(1, '\2')).i32(v.second);
        return b.s;
    };
    const std::string two = tags({{"Weather", 1}, {"Light", 2}});
    const std::string twoLater = tags({{"Weather", 3}, {"Light", 4}});
    const std::string one = tags({{"Weather", 5}});
    Image f;
    f.root(12, table({}), table({}), freeList({}));
    // Store and commit a keyed list "flags".
    f.put(12, two);
    f.root(46, table({entry("flags", TYPE_TAG_LIST, 12, 34, MOD)}), table({phantom("flags")}), freeList({}));
    f.root(46, table({entry("flags", TYPE_TAG_LIST, 12, 34, 0)}), table({}), freeList({{0, 0}}));
    // Store it again: the committed copy goes to the old table, the new
    // bytes to the end.
    f.put(46, twoLater);
    f.root(80, table({entry("flags", TYPE_TAG_LIST, 46, 34, MOD)}), table({entry("flags", TYPE_TAG_LIST, 12, 34, 0)}),
           freeList({{0, 0}}));
    // And once more, smaller: written in place, the recorded size stays 34.
    f.put(46, one);
    f.root(80, table({entry("flags", TYPE_TAG_LIST, 46, 34, MOD)}), table({entry("flags", TYPE_TAG_LIST, 12, 34, 0)}),
           freeList({{0, 0}}));
    ASSERT_EQ(f.bytes.size(), 154u);

    auto a = openImage(f);
    ASSERT_TRUE(a);
    auto rec = a->load("flags");
    auto* list = dynamic_cast<TagList_C*>(rec.get());
    ASSERT_NE(list, nullptr) << "the record ignores the stale bytes behind it";
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->intValue("Weather"), 5);
    ASSERT_TRUE(a->rollback());
    rec = a->load("flags");
    list = dynamic_cast<TagList_C*>(rec.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->intValue("Light"), 2);
    keepsWorking(std::move(a));
}

} // namespace
