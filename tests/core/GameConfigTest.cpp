// The settings record and "data/config.dat": prefix matching, clamps, the
// round trip through the writer, and a writer that fails without harm.
#include "core/GameConfig.h"
#include "platform/FileIO.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/TestFiles.h"

namespace {

using testfiles::readFile;
using testfiles::writeFile;

std::string tempPath(const char* name) {
    return std::string(::testing::TempDir()) + "vell_cfg_" + std::to_string(::getpid()) + "_" + name;
}

GameConfig_S loadText(const std::string& text) {
    std::string path = tempPath("load.dat");
    writeFile(path, text);
    GameConfig_S c;
    c.load(path.c_str());
    std::remove(path.c_str());
    return c;
}

struct LineCase {
    const char* line;
    std::function<int(const GameConfig_S&)> field;
    int expected;
};

TEST(GameConfig, DefaultsAsDocumented) {
    GameConfig_S c;
    EXPECT_EQ(c.debugLevel, 0);
    EXPECT_EQ(c.graphics, 9);
    EXPECT_TRUE(c.sound);
    EXPECT_EQ(c.debugFile, stderr);
    EXPECT_FALSE(c.ifaceSmall);
    EXPECT_EQ(c.texMode, 5);
    EXPECT_TRUE(c.linear && c.shadows && c.fog && c.smoothWalk && c.audioSpecial && c.audioMusic);
    EXPECT_EQ(c.depth, 24);
    EXPECT_FALSE(c.window || c.dxAudio || c.dxVideo || c.freeNavigation || c.mouseSupport || c.partyGold);
    EXPECT_EQ(c.width, 1024);
    EXPECT_EQ(c.height, 768);
    EXPECT_EQ(c.difficulty, 1);
    EXPECT_EQ(c.textLevel, 1);
}

TEST(GameConfig, EachLineSetsItsField) {
    auto depth = [](const GameConfig_S& c) { return c.depth; };
    auto width = [](const GameConfig_S& c) { return c.width; };
    auto height = [](const GameConfig_S& c) { return c.height; };
    auto graphics = [](const GameConfig_S& c) { return c.graphics; };
    auto texMode = [](const GameConfig_S& c) { return c.texMode; };
    auto textLevel = [](const GameConfig_S& c) { return c.textLevel; };
    auto difficulty = [](const GameConfig_S& c) { return c.difficulty; };
    auto sound = [](const GameConfig_S& c) { return int(c.sound); };
    auto window = [](const GameConfig_S& c) { return int(c.window); };
    auto iface = [](const GameConfig_S& c) { return int(c.ifaceSmall); };
    auto shadows = [](const GameConfig_S& c) { return int(c.shadows); };
    auto mouse = [](const GameConfig_S& c) { return int(c.mouseSupport); };
    auto freeNav = [](const GameConfig_S& c) { return int(c.freeNavigation); };
    auto party = [](const GameConfig_S& c) { return int(c.partyGold); };
    auto audioSp = [](const GameConfig_S& c) { return int(c.audioSpecial); };
    auto audioMu = [](const GameConfig_S& c) { return int(c.audioMusic); };
    auto dxAudio = [](const GameConfig_S& c) { return int(c.dxAudio); };
    auto dxVideo = [](const GameConfig_S& c) { return int(c.dxVideo); };

    const LineCase cases[] = {
        {"depth 16", depth, 16},
        {"depth 32", depth, 32},
        {"depth 15", depth, 24},
        {"depth abc", depth, 24},
        {"resolution 1280x1024", width, 1280},
        {"resolution 1280x1024", height, 1024},
        {"resolution 1600x1200", height, 1200},
        {"resolution 1024x600", height, 768},
        {"resolution 800x600", width, 1024},
        {"resolution 1280x1200", width, 1024},
        {"res 1600", width, 1024},
        {"graphics 12", graphics, 9},
        {"graphics -3", graphics, 0},
        {"graphics 4", graphics, 4},
        {"texMode 40", texMode, 40},
        {"texMode lots", texMode, 5},
        {"texMode 2", texMode, 2},
        // "textlevel" is not caught by the earlier "texmode" prefix.
        {"textLevel 2", textLevel, 2},
        {"textLevel high", textLevel, 3},
        {"text medium", textLevel, 2},
        {"textLevel 7", textLevel, 1},
        {"difficulty easy", difficulty, 0},
        {"difficulty impossible", difficulty, 3},
        {"difficulty 2", difficulty, 2},
        {"diff averagely", difficulty, 1},
        {"difficulty hard", difficulty, 1},
        {"sound off", sound, 0},
        {"sound no", sound, 0},
        {"sound nope", sound, 0},
        {"sound 0", sound, 0},
        {"sound maybe", sound, 1},
        {"SOUND OFF", sound, 0},
        {"window on", window, 1},
        {"window yesplease", window, 1},
        {"window 1", window, 1},
        {"window maybe", window, 0},
        {"WINDOW ON", window, 1},
        {"windowed yes", window, 1},
        {"iface low", iface, 1},
        {"iface small", iface, 1},
        {"iface high", iface, 0},
        {"shadows off", shadows, 0},
        {"shadow no", shadows, 0},
        {"mouse-support on", mouse, 1},
        {"free-navigation yes", freeNav, 1},
        {"party-gold 1", party, 1},
        {"audio-special off", audioSp, 0},
        {"audio-music off", audioMu, 0},
        {"audio-music off", audioSp, 1},
        {"dxaudio on", dxAudio, 1},
        {"dxvideo on", dxVideo, 1},
        {"depth 16 and more words", depth, 16},
        // Lines that change nothing.
        {"depth", depth, 24},
        {"# depth 16", depth, 24},
        {"colour 16", depth, 24},
        {"", depth, 24},
    };
    for (const LineCase& tc : cases) {
        GameConfig_S c = loadText(std::string(tc.line) + "\n");
        EXPECT_EQ(tc.field(c), tc.expected) << "line: \"" << tc.line << "\"";
    }
}

TEST(GameConfig, LoadKeepsUnnamedFieldsAndMissingFileChangesNothing) {
    GameConfig_S c;
    c.depth = 16;
    c.window = true;
    c.load("/nonexistent/vell/config.dat");
    EXPECT_EQ(c.depth, 16);
    EXPECT_TRUE(c.window);

    std::string path = tempPath("partial.dat");
    writeFile(path, "# a comment\nfog off\n\n  graphics   3  \r\n");
    c.load(path.c_str());
    std::remove(path.c_str());
    EXPECT_EQ(c.depth, 16);
    EXPECT_TRUE(c.window);
    EXPECT_FALSE(c.fog);
    EXPECT_EQ(c.graphics, 3);
}

TEST(GameConfig, LastLineWithoutLineEndIsApplied) {
    GameConfig_S c = loadText("depth 16\nwindow on");
    EXPECT_EQ(c.depth, 16);
    EXPECT_TRUE(c.window);
}

TEST(GameConfig, OverlongLinesAndWordsDoNotOverrun) {
    std::string longWord(500, 'x');
    // A line longer than the reader's buffer is skipped whole: its tail must
    // not be read as a line of its own.
    std::string text = "comment " + longWord + " depth 16\n" + "depth " + longWord + "\n" + "window on\n" +
                       longWord + "\n" + "sound " + std::string(60, 'o') + "ff\n";
    GameConfig_S c = loadText(text);
    EXPECT_EQ(c.depth, 24);
    EXPECT_TRUE(c.window);
    EXPECT_TRUE(c.sound); // "ooo..." does not begin with an off word

    GameConfig_S d;
    d.applyLine(("graphics" + std::string(100, 'z') + " 2").c_str());
    EXPECT_EQ(d.graphics, 2);

    // 199 characters is the longest whole line (also with "\r\n"); 200 is
    // too long.
    auto padded = [](const std::string& s, size_t n) { return s + std::string(n - s.size(), ' '); };
    GameConfig_S e = loadText(padded("depth 16", 199) + "\n" + padded("window on", 198) + "\r\n" +
                              padded("fog off", 200) + "\n");
    EXPECT_EQ(e.depth, 16);
    EXPECT_TRUE(e.window);
    EXPECT_TRUE(e.fog);
}

TEST(GameConfig, WriterWritesTheTwentyLines) {
    GameConfig_S c;
    EXPECT_EQ(c.toText(),
              "depth 24\nsound on\niface high\ntexMode 5\nlinear on\nshadows on\nfog on\nwindow off\n"
              "dxaudio off\ndxvideo off\nresolution 1024x768\ngraphics 9\nsmoothWalk on\n"
              "audio-special on\naudio-music on\ntextLevel 1\nfree-navigation off\nmouse-support off\n"
              "party-gold off\ndifficulty average\n");
}

// The player's comment lines survive the writer, above the settings, in
// their order and only once however often it writes; a file without any
// gets none.
TEST(GameConfig, WriterKeepsTheCommentLines) {
    struct Case {
        const char* before; // the file as the writer finds it, or null for none
        const char* comments;
    };
    const Case cases[] = {
        {nullptr, ""},
        {"depth 16\nsound off\n", ""},
        {"# mine\r\ndepth 16\n\n  # indented: a setting line that sets nothing\n#\n# last, no line end",
         "# mine\n#\n# last, no line end\n"},
        {"#depth 32\nfog off\n", "#depth 32\n"},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.before ? tc.before : "(no file)");
        const std::string path = tempPath("comments.dat");
        std::remove(path.c_str());
        if (tc.before)
            writeFile(path, tc.before);
        GameConfig_S c;
        c.load(path.c_str());
        ASSERT_TRUE(c.save(path.c_str()));
        EXPECT_EQ(readFile(path), tc.comments + c.toText());
        ASSERT_TRUE(c.save(path.c_str()));
        EXPECT_EQ(readFile(path), tc.comments + c.toText()) << "a second write changed the file";
        GameConfig_S r;
        r.load(path.c_str());
        EXPECT_EQ(r.toText(), c.toText()) << "the comments changed what the file sets";
        std::remove(path.c_str());
    }
}

TEST(GameConfig, RoundTripThroughTheFile) {
    GameConfig_S c;
    c.depth = 16;
    c.sound = false;
    c.ifaceSmall = true;
    c.texMode = 3;
    c.linear = false;
    c.shadows = false;
    c.fog = false;
    c.window = true;
    c.dxAudio = true;
    c.dxVideo = true;
    c.width = 1600;
    c.height = 1200;
    c.graphics = 4;
    c.smoothWalk = false;
    c.audioSpecial = false;
    c.audioMusic = false;
    c.textLevel = 3;
    c.freeNavigation = true;
    c.mouseSupport = true;
    c.partyGold = true;
    for (int d = 0; d <= 3; ++d) {
        c.difficulty = d;
        std::string path = tempPath("round.dat");
        ASSERT_TRUE(c.save(path.c_str()));
        GameConfig_S r;
        r.load(path.c_str());
        std::remove(path.c_str());
        EXPECT_EQ(r.toText(), c.toText());
        EXPECT_EQ(r.difficulty, d);
    }
    GameConfig_S defaults;
    std::string path = tempPath("round2.dat");
    ASSERT_TRUE(defaults.save(path.c_str()));
    GameConfig_S r;
    r.depth = 32;
    r.window = true;
    r.load(path.c_str());
    std::remove(path.c_str());
    EXPECT_EQ(r.toText(), defaults.toText());
}

TEST(GameConfig, FailingWriteIsReportedAndKeepsTheOldFile) {
    std::string path = tempPath("keep.dat");
    writeFile(path, "depth 16\n");

    GameConfig_S c;
    c.depth = 32;
    // Every k-th write of the save fails, or stops short at the first one.
    for (long allowed : {-1L, 0L, 10L}) {
        int calls = 0;
        vell::setWriteHook([&](int, size_t n) -> long {
            ++calls;
            return allowed < 0 ? -1 : (calls == 1 ? allowed : static_cast<long>(n));
        });
        bool ok = c.save(path.c_str());
        vell::setWriteHook({});
        if (allowed == 10) {
            // A short write is continued, and the file is whole.
            EXPECT_TRUE(ok);
            EXPECT_EQ(readFile(path), c.toText());
            writeFile(path, "depth 16\n");
        } else {
            EXPECT_FALSE(ok) << "allowed " << allowed;
            EXPECT_EQ(readFile(path), "depth 16\n");
            EXPECT_FALSE(std::ifstream(path + ".tmp").good()) << "temporary file left behind";
        }
    }
    EXPECT_FALSE(c.save("/nonexistent/vell/config.dat"));
    std::remove(path.c_str());
}

// What the reader tells a caller that reports it: a missing file, a file
// that cannot be read, and the numbers of the lines that set nothing
// (comments and empty lines are none of them).
TEST(GameConfig, ReadReportNamesWhatWasNotUsed) {
    GameConfig_S c;
    ConfigReadReport_S found;
    c.load("/nonexistent/vell/config.dat", &found);
    EXPECT_TRUE(found.missing);
    EXPECT_EQ(found.error, 0);

    // A folder opens but cannot be read: an error, not a missing file.
    c.load(::testing::TempDir().c_str(), &found);
    EXPECT_FALSE(found.missing);
    EXPECT_EQ(found.error, EISDIR);

    std::string path = tempPath("report.dat");
    writeFile(path, "# comment\n\ndepth 16\ncolour 8\nfog\n   \r\n" + std::string(300, 'x') +
                        "\nwindow on\n\x01\x02 \xff\nparty yes");
    c.load(path.c_str(), &found);
    std::remove(path.c_str());
    EXPECT_FALSE(found.missing);
    EXPECT_EQ(found.error, 0);
    EXPECT_EQ(found.ignoredLines, (std::vector<int>{4, 5, 7, 9}));
    EXPECT_EQ(c.depth, 16);
    EXPECT_TRUE(c.window);
    EXPECT_TRUE(c.partyGold);
}

// The writer replaces the file that the reader finds (also under another
// case), with a new file's mode even when an old temporary file was left
// behind, and says why when it cannot.
TEST(GameConfig, SaveReplacesTheFileTheReaderFinds) {
    const std::string dir = tempPath("Data");
    ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir '" + dir + "'").c_str()), 0);
    writeFile(dir + "/Config.dat", "depth 16\n");
    writeFile(dir + "/Config.dat.tmp", "left over");
    ASSERT_EQ(::chmod((dir + "/Config.dat.tmp").c_str(), 0600), 0);
    const mode_t mask = ::umask(022);
    GameConfig_S c;
    c.depth = 32;
    const std::string lower = tempPath("data") + "/config.dat";
    std::string why = "unchanged";
    EXPECT_TRUE(c.save(lower.c_str(), &why));
    EXPECT_EQ(why, "unchanged");
    EXPECT_EQ(readFile(dir + "/Config.dat"), c.toText());
    EXPECT_FALSE(std::ifstream(dir + "/Config.dat.tmp").good());
    struct stat st;
    ASSERT_EQ(::stat((dir + "/Config.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ::umask(mask);

    EXPECT_FALSE(c.save((dir + "/missing/config.dat").c_str(), &why));
    EXPECT_EQ(why, "No such file or directory");
    std::system(("rm -rf '" + dir + "'").c_str());
}

} // namespace
