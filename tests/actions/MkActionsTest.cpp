// The spell book tool on small books: words that would keep their values in
// the one special parameter of a damage record are refused rather than one
// silently overwriting the other, and a spell code in lower case is warned of
// and written all the same.
#include "ActionFileKit.h"

#include "actions/ActionFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using actionfile::tempPath;

// Runs the tool on the book; its exit code, with what it printed in *said.
int runTool(const std::string& book, const std::string& out, std::string* said) {
    const std::string src = tempPath("book.txt");
    std::ofstream(src, std::ios::trunc) << book;
    const std::string cmd = std::string("'") + VELL_MKACTIONS + "' '" + src + "' '" + out + "' 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return -1;
    char buf[512];
    said->clear();
    while (std::fgets(buf, sizeof buf, p))
        *said += buf;
    const int status = ::pclose(p);
    std::remove(src.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string spell(const std::string& code, const std::string& damageWords) {
    return "spell 0x000f7001\n  name Test Dart\n  code " + code +
           "\n  class 0x100\n  level 1\n  path 1\n  cost 2\n  target one\n  range 50\n  words cast at blast\n"
           "  damage mode one range 50 dice 1d4 save 4 " +
           damageWords + "\nend\n";
}

TEST(MkActionsTest, WordsSharingTheSpecialParameterAreRefused) {
    const std::string out = tempPath("book.dat");
    const char* clashes[] = {"poison 20 4 1 0 4 save only 21", "double 21 poison 20 4 1 0 4 save",
                             "only 21 double 5", "none 3 none 4"};
    for (const char* words : clashes) {
        SCOPED_TRACE(words);
        std::string said;
        EXPECT_EQ(runTool(spell("TEDA", words), out, &said), 1);
        EXPECT_NE(said.find("shares the one special parameter"), std::string::npos) << said;
        EXPECT_NE(access(out.c_str(), F_OK), 0) << "nothing is written";
    }
    // One of them alone is taken.
    std::string said;
    ASSERT_EQ(runTool(spell("TEDA", "double 21 deathblow"), out, &said), 0) << said;
    gzFile f = gzopen(out.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ActionRecord_S r;
    ASSERT_EQ(r.read(f), 1);
    gzclose(f);
    EXPECT_EQ(r.effects.at(0).damage.flags, 0x14u);
    EXPECT_EQ(r.effects.at(0).damage.param, 21u);
    std::remove(out.c_str());
}

TEST(MkActionsTest, ALowerCaseCodeIsWarnedOfAndKept) {
    const std::string out = tempPath("book.dat");
    std::string said;
    ASSERT_EQ(runTool(spell("teDa", "double 21"), out, &said), 0) << said;
    EXPECT_NE(said.find("warning: Test Dart (0x000f7001): the code teDa has lower-case letters"), std::string::npos)
        << said;
    gzFile f = gzopen(out.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ActionRecord_S r;
    ASSERT_EQ(r.read(f), 1);
    gzclose(f);
    EXPECT_STREQ(r.def.code, "teDa");
    std::remove(out.c_str());

    EXPECT_EQ(runTool(spell("te4a", "double 21"), out, &said), 1) << "a code that is no letters is refused";
    EXPECT_NE(said.find("four letters"), std::string::npos) << said;
}

} // namespace
