// The game's command line: each argument vector against the settings it
// leaves, the error text and the exit code the shell sees.
#include "core/GameConfig.h"
#include "core/Startup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
    int rc;
    std::string err;
    GameConfig_S config;
    StartOptions_S options;
};

Outcome runArgs(std::vector<std::string> args, const GameConfig_S& start = GameConfig_S()) {
    args.insert(args.begin(), "vellrun");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Outcome o{0, "", start, StartOptions_S()};
    FILE* err = std::tmpfile();
    o.rc = applyCommandLine(int(args.size()), argv.data(), o.config, o.options, err);
    std::rewind(err);
    char buf[512];
    size_t n = std::fread(buf, 1, sizeof buf, err);
    o.err.assign(buf, n);
    std::fclose(err);
    if (o.config.debugFile != stderr && o.config.debugFile)
        std::fclose(o.config.debugFile);
    return o;
}

std::string tempFile(const char* name, const std::string& text) {
    std::string path = std::string(::testing::TempDir()) + "vell_cl_" + std::to_string(::getpid()) + "_" + name;
    std::ofstream(path) << text;
    return path;
}

TEST(CommandLine, TableOfArgumentVectors) {
    struct Case {
        std::vector<std::string> args;
        int rc;
        const char* err;
        int depth, graphics, sound, window, debugLevel, skipIntro;
    };
    const Case cases[] = {
        {{}, 0, "", 24, 9, 1, 0, 0, 0},
        {{"-w"}, 0, "", 24, 9, 1, 1, 0, 0},
        {{"-s"}, 0, "", 24, 9, 0, 0, 0, 0},
        {{"-16"}, 0, "", 16, 9, 1, 0, 0, 0},
        {{"-skipintro"}, 0, "", 24, 9, 1, 0, 0, 1},
        {{"-g", "4"}, 0, "", 24, 4, 1, 0, 0, 0},
        // The option's level is not clamped (only the file's is).
        {{"-g", "12"}, 0, "", 24, 12, 1, 0, 0, 0},
        {{"-g", "-3"}, 0, "", 24, -3, 1, 0, 0, 0},
        {{"-d", "7"}, 0, "WARNING - Debug not compiled in!\n", 24, 9, 1, 0, 7, 0},
        {{"-w", "-s", "-16", "-skipintro", "-g", "2"}, 0, "", 16, 2, 0, 1, 0, 1},
        {{"-g"}, -1, "ERROR: -g must be followed by graphics level!\n", 24, 9, 1, 0, 0, 0},
        {{"-d"}, -1, "WARNING - Debug not compiled in!\nERROR: -d must be followed by debug level!\n", 24, 9, 1, 0, 0,
         0},
        {{"-df"}, -1, "WARNING - Debug not compiled in!\nERROR: -df must be followed by filename!\n", 24, 9, 1, 0, 0,
         0},
        {{"-c"}, -1, "ERROR: -c must be followed by filename!\n", 24, 9, 1, 0, 0, 0},
        {{"-x"}, -1, "ERROR: Incorrect command line option!\n", 24, 9, 1, 0, 0, 0},
        {{"-W"}, -1, "ERROR: Incorrect command line option!\n", 24, 9, 1, 0, 0, 0},
        {{"-skip"}, -1, "ERROR: Incorrect command line option!\n", 24, 9, 1, 0, 0, 0},
        {{"w"}, -1, "ERROR: Incorrect command line option!\n", 24, 9, 1, 0, 0, 0},
        // Options before the bad one have been applied; none after it.
        {{"-w", "bogus", "-s"}, -1, "ERROR: Incorrect command line option!\n", 24, 9, 1, 1, 0, 0},
        {{"-df", "/nonexistent/dir/log.txt"},
         -1,
         "WARNING - Debug not compiled in!\nERROR: Failed to open file '/nonexistent/dir/log.txt' for append!\n",
         24, 9, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::string& a : c.args)
            label += a + " ";
        Outcome o = runArgs(c.args);
        EXPECT_EQ(o.rc, c.rc) << label;
        EXPECT_EQ(o.err, c.err) << label;
        EXPECT_EQ(o.config.depth, c.depth) << label;
        EXPECT_EQ(o.config.graphics, c.graphics) << label;
        EXPECT_EQ(int(o.config.sound), c.sound) << label;
        EXPECT_EQ(int(o.config.window), c.window) << label;
        EXPECT_EQ(o.config.debugLevel, c.debugLevel) << label;
        EXPECT_EQ(int(o.options.skipIntro), c.skipIntro) << label;
    }
}

TEST(CommandLine, DebugFileIsOpenedForAppending) {
    std::string path = tempFile("debug.log", "kept\n");
    std::vector<std::string> args = {"vellrun", "-df", path};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    GameConfig_S config;
    StartOptions_S options;
    FILE* err = std::tmpfile();
    ASSERT_EQ(applyCommandLine(3, argv.data(), config, options, err), 0);
    std::fclose(err);
    ASSERT_NE(config.debugFile, stderr);
    std::fputs("more\n", config.debugFile);
    std::fclose(config.debugFile);
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "kept\nmore\n");
    std::remove(path.c_str());
}

TEST(CommandLine, ConfigFileAppliesAtItsPosition) {
    std::string file = tempFile("extra.dat", "depth 32\nwindow on\ngraphics 3\n");
    // The option after the file wins ...
    Outcome a = runArgs({"-c", file, "-16"});
    EXPECT_EQ(a.rc, 0);
    EXPECT_EQ(a.config.depth, 16);
    EXPECT_TRUE(a.config.window);
    // ... and the file after the option wins over it.
    Outcome b = runArgs({"-16", "-c", file});
    EXPECT_EQ(b.config.depth, 32);
    // Between two options.
    Outcome c = runArgs({"-g", "7", "-c", file, "-s"});
    EXPECT_EQ(c.config.graphics, 3);
    EXPECT_FALSE(c.config.sound);
    // Over what was there before (the settings file), keeping the rest.
    GameConfig_S start;
    start.fog = false;
    start.depth = 16;
    Outcome d = runArgs({"-c", file}, start);
    EXPECT_FALSE(d.config.fog);
    EXPECT_EQ(d.config.depth, 32);
    // A missing file changes nothing and is no error.
    Outcome e = runArgs({"-c", "/nonexistent/extra.dat", "-w"});
    EXPECT_EQ(e.rc, 0);
    EXPECT_EQ(e.config.depth, 24);
    EXPECT_TRUE(e.config.window);
    std::remove(file.c_str());
}

TEST(CommandLine, FindDataFilesRecordsNameAndBaseFolder) {
    EXPECT_TRUE(findDataFiles("vellrun"));
    EXPECT_STREQ(getProgramName(), "vellrun");
    EXPECT_STREQ(getBaseDir(), ".");
}

// The whole start: "data/config.dat" of the working folder, then the
// options; a bad option ends the process with -1, which the shell sees as 255.
TEST(CommandLineDeathTest, BadOptionExitsWith255) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    char a0[] = "vellrun", a1[] = "-w", a2[] = "-nonsense";
    char* argv[] = {a0, a1, a2, nullptr};
    EXPECT_EXIT(parseCommandLine(3, argv), ::testing::ExitedWithCode(255), "ERROR: Incorrect command line option!");
    char b1[] = "-g";
    char* argv2[] = {a0, b1, nullptr};
    EXPECT_EXIT(parseCommandLine(2, argv2), ::testing::ExitedWithCode(255),
                "ERROR: -g must be followed by graphics level!");
}

TEST(CommandLine, ParseReadsTheSettingsFileFirst) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    std::string dir = std::string(::testing::TempDir()) + "vell_cl_dir_" + std::to_string(::getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir + "/data").c_str()), 0);
    std::ofstream(dir + "/data/config.dat") << "depth 32\nwindow on\nsound off\n";
    ASSERT_EQ(::chdir(dir.c_str()), 0);
    GameConfig_S saved = gameConfig;
    gameConfig.setDefaults();
    char a0[] = "vellrun", a1[] = "-16";
    char* argv[] = {a0, a1, nullptr};
    parseCommandLine(2, argv);
    EXPECT_EQ(gameConfig.depth, 16);
    EXPECT_TRUE(gameConfig.window);
    EXPECT_FALSE(gameConfig.sound);
    gameConfig = saved;
    ASSERT_EQ(::chdir(cwd), 0);
    std::system(("rm -rf " + dir).c_str());
}

} // namespace
