// The quest template tool (tools/mksavegame) on its readable party list:
// every fault of the list is named with its line and leaves the template
// that was there before untouched; a good list writes an archive whose party
// a quest can read.
#include "core/ArchiveFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestFiles.h"

namespace {

using testfiles::readFile;
using testfiles::exists;

class QuestTemplateTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::string(::testing::TempDir()) + "vell_tmpl_" + std::to_string(::getpid());
        ::mkdir(dir_.c_str(), 0755);
        for (const char* f : {"/data/item.dat", "/data/class.dat", "/data/actions.dat"})
            ASSERT_TRUE(exists(std::string(VELL_GAME_DIR) + f)) << f << " is missing: the game folder is not assembled";
    }
    void TearDown() override {
        for (const char* f : {"/party.txt", "/out.dat", "/out.dat.tmp"})
            std::remove((dir_ + f).c_str());
        ::rmdir(dir_.c_str());
    }

    // Runs the tool on the party list; its exit code, with what it printed
    // in *said.
    int run(const std::string& party, std::string* said) {
        std::ofstream(dir_ + "/party.txt", std::ios::trunc) << party;
        const std::string cmd = std::string("'") + VELL_MKSAVEGAME + "' '" VELL_GAME_DIR "/data/item.dat' '" VELL_GAME_DIR
                                "/data/class.dat' '" VELL_GAME_DIR "/data/actions.dat' '" + dir_ + "/party.txt' '" +
                                dir_ + "/out.dat' 2>&1";
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p)
            return -1;
        char buf[512];
        said->clear();
        while (std::fgets(buf, sizeof buf, p))
            *said += buf;
        const int status = ::pclose(p);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string dir_;
};

std::string member(const char* name, const char* cls = "0x1", const char* race = "1",
                   const char* stats = "16 10 11 13 15 10") {
    return std::string("member ") + name + "\nclass " + cls + "\nrace " + race + "\nsex male\nstats " + stats +
           "\nend\n";
}

// A member of the class, with stats every class takes, who knows the action.
std::string knowing(const char* name, const char* cls, const char* action) {
    return std::string("member ") + name + "\nclass " + cls + "\nrace 3\nsex female\nstats 14 14 15 14 14 16\nknows " +
           action + "\nend\n";
}

TEST_F(QuestTemplateTool, FaultsAreNamedAndTheOldTemplateStays) {
    std::string nine;
    for (int i = 0; i < 9; ++i)
        nine += member(("M" + std::to_string(i)).c_str());
    const struct {
        const char* what;
        std::string text;
        const char* said;
    } cases[] = {
        {"unknown class", member("Ann", "0x8000"), "no class 0x8000"},
        {"race the class refuses", member("Ann", "0x1", "2"), "does not take"},
        {"stats below the class minimum", member("Ann", "0x1", "1", "8 10 11 13 15 10"), "does not take"},
        {"race out of range", member("Ann", "0x1", "12"), "party.txt:3:"},
        {"five stats", member("Ann", "0x1", "1", "10 10 10 10 10"), "party.txt:5:"},
        {"a name twice", member("Ann") + member("Ann"), "given twice"},
        {"no end", "member Ann\nclass 0x1\nrace 1\nstats 16 10 11 13 15 10\n", "has no end"},
        {"no name", "member\nclass 0x1\nend\n", "needs a name"},
        {"a line outside a member", "class 0x1\n", "outside a member block"},
        {"nine members", nine, "more than 8"},
        // Knowledge beyond the member's class and level.
        {"a spell above the first level", knowing("Cor", "0x100", "0x00090005"), "cannot know 0x00090005 (Ball of Bearing): a spell of level 2"},
        {"a spell of another class", knowing("Cor", "0x100", "0x00090400"), "not an action of its class"},
        {"a song above the song level", knowing("Lies", "0x2", "0x005ab009"), "a song above its song level"},
        {"a skill of another class", knowing("Ysol", "0x4", "0x00883001"), "not an action of its class"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ofstream(dir_ + "/out.dat", std::ios::trunc) << "the template before";
        std::string said;
        EXPECT_EQ(run(c.text, &said), 1);
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(readFile(dir_ + "/out.dat"), "the template before");
        EXPECT_FALSE(exists(dir_ + "/out.dat.tmp"));
    }
}

TEST_F(QuestTemplateTool, GoodListReplacesTheTemplateWithItsParty) {
    std::ofstream(dir_ + "/out.dat", std::ios::trunc) << "the template before";
    std::string said;
    ASSERT_EQ(run(member("Ann") + member("Bo", "0x8", "2", "12 12 11 16 12 12"), &said), 0) << said;
    EXPECT_TRUE(said.empty()) << said;
    EXPECT_FALSE(exists(dir_ + "/out.dat.tmp"));
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(dir_ + "/out.dat", false, &error);
    ASSERT_TRUE(archive) << error;
    DirHandle_C hall = archive->openDir("hall");
    ASSERT_TRUE(hall);
    EXPECT_EQ(hall->getEntryCount(), 2);
    EXPECT_TRUE(hall->hasEntry("Ann"));
    EXPECT_TRUE(hall->hasEntry("Bo"));
    DirHandle_C world = archive->openDir("world");
    ASSERT_TRUE(world);
    EXPECT_TRUE(world->hasEntry("party.dat"));
}

} // namespace
