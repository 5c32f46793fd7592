// Pointer list, bit iterator, folder listing and the text-line readers.
#include "core/ConfigFile.h"
#include "core/DirIter.h"
#include "core/PtrList.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// ---------------------------------------------------------------- PtrList_C

struct Thing : ListObject_C {
    Thing(uint64_t s, int* deaths) : serial(s), deaths(deaths) {}
    ~Thing() override { ++*deaths; }
    uint64_t getSerial() const override { return serial; }
    uint64_t serial;
    int* deaths;
};

TEST(PtrListTest, CursorWalksFromTheHeadAndStaysAtTheEnd) {
    int deaths = 0;
    PtrList_C l;
    EXPECT_FALSE(l.first());
    EXPECT_EQ(l.next(), nullptr);
    for (uint64_t s : {1, 2, 3})
        ASSERT_EQ(l.pushFront(new Thing(s, &deaths)), 0);
    EXPECT_EQ(l.count(), 3);
    ASSERT_TRUE(l.first());
    std::vector<uint64_t> seen;
    while (ListObject_C* o = l.next())
        seen.push_back(o->getSerial());
    EXPECT_EQ(seen, (std::vector<uint64_t>{3, 2, 1}));
    EXPECT_EQ(l.next(), nullptr);
    EXPECT_EQ(l.next(), nullptr);
}

TEST(PtrListTest, RemoveBySerial) {
    int deaths = 0;
    PtrList_C l;
    const uint64_t big = (uint64_t(0xabc) << 32) | 0x123;
    l.pushFront(new Thing(5, &deaths));
    l.pushFront(new Thing(big, &deaths));
    l.pushFront(new Thing(7, &deaths));
    EXPECT_EQ(l.remove(0x99u, 0u), nullptr);
    EXPECT_EQ(l.count(), 3);
    ListObject_C* o = l.remove(0x123u, 0xabcu);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->getSerial(), big);
    EXPECT_EQ(l.count(), 2);
    EXPECT_EQ(deaths, 0); // handed back, not deleted
    delete o;
    // Removing the object under the cursor keeps the walk going.
    l.first();
    delete l.remove(uint64_t(7));
    ListObject_C* rest = l.next();
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->getSerial(), 5u);
    l.deleteAll();
    EXPECT_EQ(deaths, 3);
    EXPECT_FALSE(l.first());
}

TEST(PtrListTest, TheListOwnsItsObjects) {
    int deaths = 0;
    {
        PtrList_C l;
        l.pushFront(new Thing(1, &deaths));
        l.pushFront(new Thing(2, &deaths));
    }
    EXPECT_EQ(deaths, 2);
}

// ---------------------------------------------------------------- BitIter_C

TEST(BitIterTest, SetBitsFromBitZeroUp) {
    struct Case {
        uint32_t mask;
        std::vector<int> bits;
    };
    const Case cases[] = {
        {0, {}},
        {0x80000001u, {0, 31}},
        {0x12u, {1, 4}},
        {0xffffffffu, {}},
    };
    for (const Case& c : cases) {
        std::vector<int> got;
        for (BitIter_C it(c.mask); !it.done(); it.next())
            got.push_back(it.index());
        if (c.mask == 0xffffffffu) {
            EXPECT_EQ(got.size(), 32u);
            continue;
        }
        EXPECT_EQ(got, c.bits) << std::hex << c.mask;
    }
    BitIter_C end(0);
    EXPECT_TRUE(end.done());
    end.next();
    EXPECT_TRUE(end.done());
}

// ---------------------------------------------------------------- DirIter_C

TEST(DirIterTest, SortedListingAndEnd) {
    std::string dir = std::string(::testing::TempDir()) + "vell_dir_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    for (const char* n : {"b.sav", "a.sav", "C.sav"})
        std::ofstream(dir + "/" + n) << "x";
    ASSERT_EQ(::mkdir((dir + "/sub").c_str(), 0755), 0);

    std::vector<std::string> names;
    std::set<std::string> dirs;
    DirIter_C end;
    for (DirIter_C it(dir); it != end; it.next()) {
        names.push_back(it.name());
        if (it.isDir())
            dirs.insert(it.name());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"C.sav", "a.sav", "b.sav", "sub"}));
    EXPECT_EQ(dirs, (std::set<std::string>{"sub"}));

    // Two live iterators are never unequal; a live one and the end are.
    DirIter_C a(dir), b(dir);
    EXPECT_FALSE(a != b);
    EXPECT_TRUE(a != end);
    EXPECT_FALSE(end != DirIter_C());
    // Copies share one listing.
    DirIter_C c = a;
    c.next();
    EXPECT_STREQ(a.name(), c.name());
    // A missing folder is the end at once.
    EXPECT_FALSE(DirIter_C(dir + "/missing") != end);

    for (const char* n : {"b.sav", "a.sav", "C.sav"})
        std::remove((dir + "/" + n).c_str());
    ::rmdir((dir + "/sub").c_str());
    ::rmdir(dir.c_str());
}

// ---------------------------------------------------------------- normal paths

// Every spelling of a file's path gives the one the game compares by; what
// cannot be tidied without knowing the folders ("..") is kept.
TEST(NormalPathTest, SpellingsOfOneFileGiveOnePath) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    const std::string dir = std::string(::testing::TempDir()) + "vell_paths_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir + "/maps").c_str(), 0755), 0);
    std::ofstream(dir + "/maps/Town.cfg") << "x";
    ASSERT_EQ(::chdir(dir.c_str()), 0);
    const struct {
        std::string given, normal;
    } cases[] = {
        {"maps/Town.cfg", "maps/Town.cfg"},
        {"./maps/Town.cfg", "maps/Town.cfg"},
        {"maps//./Town.cfg", "maps/Town.cfg"},
        {"maps\\Town.cfg", "maps/Town.cfg"},
        {"maps/../maps/Town.cfg", "maps/Town.cfg"},
        {"MAPS/town.CFG", "maps/Town.cfg"},
        {dir + "/maps/Town.cfg", "maps/Town.cfg"},
        {dir + "/../" + dir.substr(dir.rfind('/') + 1) + "/maps/Town.cfg", "maps/Town.cfg"},
        {"../elsewhere/x.cfg", "../elsewhere/x.cfg"},
        {"a/../../x.cfg", "../x.cfg"},
        {"/no/such/../place.cfg", "/no/place.cfg"},
        {"maps/Gone.cfg", "maps/Gone.cfg"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vell::normalPath(c.given), c.normal) << c.given;
    ASSERT_EQ(::chdir(cwd), 0);
    std::remove((dir + "/maps/Town.cfg").c_str());
    ::rmdir((dir + "/maps").c_str());
    ::rmdir(dir.c_str());
}

// ---------------------------------------------------------------- line readers

std::vector<std::string> readAll(const std::string& text, int size, bool configLines) {
    std::string path = std::string(::testing::TempDir()) + "vell_lines_" + std::to_string(::getpid());
    {
        std::ofstream f(path, std::ios::binary);
        f << text;
    }
    FILE* f = openConfig(path.c_str());
    EXPECT_TRUE(f);
    std::vector<std::string> lines;
    std::vector<char> buf(static_cast<size_t>(size));
    while (char* l = configLines ? readConfigLine(buf.data(), size, f) : fgetsSkipComments(buf.data(), size, f))
        lines.push_back(l);
    EXPECT_TRUE(configEOF(f));
    closeConfig(f);
    std::remove(path.c_str());
    return lines;
}

TEST(LineReaderTest, ConfigLinesSkipCommentsAndBlankLines) {
    const std::string text = "# header\r\n\r\nfirst\r\n\n  \n#x\nsecond\tvalue\nlast";
    EXPECT_EQ(readAll(text, 256, true), (std::vector<std::string>{"first", "  ", "second\tvalue", "last"}));
    // fgetsSkipComments keeps blank lines (as empty lines).
    EXPECT_EQ(readAll(text, 256, false), (std::vector<std::string>{"", "first", "", "  ", "second\tvalue", "last"}));
}

TEST(LineReaderTest, OverlongLinesKeepTheirStartOnly) {
    // The tail of a long line (or of a long comment) never comes back as a
    // line of its own.
    const std::string text = "# a comment much longer than the buffer: depth 16\n"
                             "resolution 1600x1200 and more\r\n"
                             "abcdefghi\r\n"
                             "ok\n";
    EXPECT_EQ(readAll(text, 11, true), (std::vector<std::string>{"resolution", "abcdefghi", "ok"}));
    EXPECT_EQ(readAll(text, 11, false), (std::vector<std::string>{"resolution", "abcdefghi", "ok"}));
    // A line that fills the buffer exactly up to its "\r".
    EXPECT_EQ(readAll("abcdefghij\r\nz\n", 12, true), (std::vector<std::string>{"abcdefghij", "z"}));
}

TEST(LineReaderTest, MissingFileGivesNull) {
    EXPECT_EQ(openConfig("/nonexistent/vell/config.dat"), nullptr);
}

} // namespace
