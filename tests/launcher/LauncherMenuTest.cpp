// The launcher's menu as a state machine, driven by pushed keys through its
// own loop: every page with its text, every option's values and limits,
// Play and Quit writing "data/config.dat" exactly as the game reads it, the
// close button writing nothing, a failed write shown on the menu, and the
// sound setting kept apart from whether sound can be played.
#include "../gui/GuiHarness.h"

#include "core/GameConfig.h"
#include "core/Startup.h"
#include "launcher/LauncherMain.h"
#include "launcher/LauncherMenu.h"
#include "platform/FileIO.h"

#include <SDL_mixer.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/TestFiles.h"

namespace {

using testfiles::exists;
using testfiles::readFile;
using testfiles::writeFile;
using vell_test::Rgb;

const Rgb kBackground{31, 45, 48}; // (0.121, 0.176, 0.1875)
const Rgb kKeyGreen{77, 153, 77};  // (0.3, 0.6, 0.3)
const Rgb kGrey{179, 179, 179};    // (0.7, 0.7, 0.7)
constexpr int kGlyph = 8 * 17;     // pixels of one block glyph

mode_t currentUmask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

// Each test runs in a game folder of its own: a block font (every glyph a
// solid block 8 pixels wide and 17 high, 10 apart) and the shipped title
// picture.
class LauncherMenuTest : public vell_test::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        dir_ = std::string(::testing::TempDir()) + "vell_launcher_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::string title = gamePath(LauncherMenu_C::kTitlePicture);
        ASSERT_TRUE(exists(title)) << title << " is not built (target game_data)";
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "/data' '" + dir_ +
                               "/pics/other' && cp '" + title + "' '" + dir_ + "/pics/other/'")
                                  .c_str()),
                  0);
        ASSERT_TRUE(vell_test::writeBlockFont(dir_ + "/data/font.fot"));
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        vell::setWriteHook({});
        if (::chdir(oldDir_) == 0)
            std::system(("rm -rf '" + dir_ + "'").c_str());
        GuiFixture::TearDown();
    }

    // Runs a menu on `config`, each key of `keys` pushed after a display (so
    // every key must lead to a redraw); `seen` runs after every display,
    // before the next key.
    int runKeys(GameConfig_S& config, const std::string& keys,
                const std::function<void(const LauncherMenu_C&)>& seen = {}, bool audioOpen = false) {
        drainEvents(); // the redraw asked for by the last key of an earlier run
        LauncherMenu_C menu(config, audioOpen);
        afterDisplay([&] {
            if (seen)
                seen(menu);
        });
        for (char k : keys)
            scriptKeys({SDLKey(k)});
        return menu.run();
    }

    // The value printed on the current page at row y ("" when none).
    static std::string valueAt(const LauncherMenu_C& menu, int y) {
        for (const LauncherText_S& t : menu.pageText())
            if (t.kind == LauncherText_S::VALUE && t.y == y)
                return t.text;
        return "";
    }

    // The game's own reader on the file the launcher wrote.
    static GameConfig_S readBack() {
        GameConfig_S c;
        c.load(GameConfig_S::kPath);
        return c;
    }

    static void pushQuit() {
        SDL_Event ev{};
        ev.type = SDL_QUIT;
        SDL_PushEvent(&ev);
    }

    char oldDir_[4096];
    std::string dir_;
};

// Every page's text at its place, as the menu draws it, and the drawing:
// background, title picture, green key letters, grey labels and values.
TEST_F(LauncherMenuTest, EveryPageShowsItsOptionsAtTheirPlaces) {
    using K = LauncherText_S::Kind;
    using Item = std::tuple<int, int, K, std::string>;
    // The rest of each word starts where the font ends its key: with the
    // block font three advances of 10 after the key's x, no gap and no overlap.
    const CommonInterface_C font(1024, 768, "data/font.fot");
    ASSERT_EQ(font.widthStr("(W)"), 30);
    auto opt = [&font](std::vector<Item>& v, int y, int keyX, const char* key, const char* label,
                       const char* value = nullptr) {
        v.emplace_back(keyX, y, LauncherText_S::KEY, key);
        v.emplace_back(keyX + font.widthStr(key), y, LauncherText_S::LABEL, label);
        if (value)
            v.emplace_back(500, y, LauncherText_S::VALUE, value);
    };
    std::map<int, std::vector<Item>> want;
    {
        auto& v = want[LauncherMenu_C::STATE_MAIN];
        v.emplace_back(20, 360, LauncherText_S::LABEL, "Vellicorn Options");
        opt(v, 330, 40, "(P)", "lay Vellicorn");
        opt(v, 300, 40, "(E)", "dit Configuration Options");
        opt(v, 270, 40, "(Q)", "uit Vellicorn");
    }
    {
        auto& v = want[LauncherMenu_C::STATE_CONFIG];
        v.emplace_back(20, 360, LauncherText_S::LABEL, "Vellicorn Configuration");
        opt(v, 330, 40, "(V)", "ideo Options");
        opt(v, 300, 40, "(A)", "udio Options");
        opt(v, 270, 40, "(G)", "ame Options");
        opt(v, 60, 20, "(B)", "ack");
    }
    {
        auto& v = want[LauncherMenu_C::STATE_VIDEO];
        v.emplace_back(20, 360, LauncherText_S::LABEL, "Video Configuration");
        opt(v, 330, 40, "(C)", "olor Depth", "24");
        opt(v, 305, 40, "(I)", "nterface Detail", "high");
        opt(v, 280, 40, "(T)", "exture Detail", "highest");
        opt(v, 255, 40, "(L)", "inear Interpolation", "on");
        opt(v, 230, 40, "(S)", "hadows", "on");
        opt(v, 205, 40, "(F)", "og", "on");
        opt(v, 180, 40, "(W)", "indowed mode", "off");
        opt(v, 155, 40, "(D)", "irectX Video Driver", "off");
        opt(v, 130, 40, "(R)", "esolution", "1024x768");
        opt(v, 105, 40, "(V)", "iew Distance", "9");
        opt(v, 60, 20, "(B)", "ack");
    }
    {
        auto& v = want[LauncherMenu_C::STATE_AUDIO];
        v.emplace_back(20, 360, LauncherText_S::LABEL, "Audio Configuration");
        opt(v, 330, 40, "(S)", "ound", "yes");
        opt(v, 300, 64, "(A)", "udio One-shots", "yes");
        opt(v, 270, 64, "(M)", "usic", "yes");
        opt(v, 210, 40, "(D)", "irectX Audio Driver", "no");
        opt(v, 60, 20, "(B)", "ack");
    }
    {
        auto& v = want[LauncherMenu_C::STATE_GAME];
        v.emplace_back(20, 360, LauncherText_S::LABEL, "Game Configuration");
        opt(v, 330, 40, "(S)", "mooth Walking", "on");
        opt(v, 300, 40, "(D)", "ifficulty", "average");
        opt(v, 270, 40, "(T)", "ext Brightness:", "Normal");
        opt(v, 240, 40, "(F)", "ree Navigation", "off");
        opt(v, 210, 40, "(M)", "ouse Support", "off");
        opt(v, 180, 40, "(P)", "arty Gold", "off");
        opt(v, 60, 20, "(B)", "ack");
    }

    std::map<int, int> drawn; // state -> displays checked
    GameConfig_S config;
    auto check = [&](const LauncherMenu_C& menu) {
        const int state = menu.getState();
        if (!want.count(state))
            return;
        ++drawn[state];
        std::vector<Item> got;
        for (const LauncherText_S& t : menu.pageText())
            got.emplace_back(t.x, t.y, t.kind, t.text);
        EXPECT_EQ(got, want[state]) << "page " << state;
        // The background around the text and the title banner above it
        // (480 x 100 pixels at the top of the 640 x 480 window).
        EXPECT_EQ(countNear(600, 5, 30, 30, kBackground, 2), 900) << "page " << state;
        EXPECT_LT(countNear(80, 380, 480, 100, kBackground, 6), 480 * 100 / 10) << "no title picture";
        EXPECT_EQ(countNear(20, 380, 50, 100, kBackground, 2), 50 * 100) << "the banner is out of place";
        // The first glyph of every key green, the title and every value grey.
        for (const LauncherText_S& t : menu.pageText()) {
            if (t.kind == LauncherText_S::KEY) {
                EXPECT_EQ(countNear(t.x, t.y, 8, 17, kKeyGreen, 3), kGlyph) << t.text << " on page " << state;
            } else if (t.kind == LauncherText_S::LABEL && t.x != 20) {
                EXPECT_EQ(countNear(t.x, t.y, 8, 17, kGrey, 3), kGlyph) << t.text << " on page " << state;
                EXPECT_EQ(countNear(t.x - 2, t.y, 2, 17, kGrey, 3) + countNear(t.x - 2, t.y, 2, 17, kKeyGreen, 3), 0)
                    << "no gap between the key and " << t.text << " on page " << state;
            } else if (t.kind == LauncherText_S::VALUE || t.x == 20) {
                EXPECT_EQ(countNear(t.x, t.y, 8, 17, kGrey, 3), kGlyph) << t.text << " on page " << state;
            }
        }
    };
    EXPECT_EQ(runKeys(config, "evbabgbbq", check), LauncherMenu_C::STATE_QUIT);
    EXPECT_EQ(drawn[LauncherMenu_C::STATE_MAIN], 2);
    EXPECT_EQ(drawn[LauncherMenu_C::STATE_CONFIG], 4);
    EXPECT_EQ(drawn[LauncherMenu_C::STATE_VIDEO], 1);
    EXPECT_EQ(drawn[LauncherMenu_C::STATE_AUDIO], 1);
    EXPECT_EQ(drawn[LauncherMenu_C::STATE_GAME], 1);
}

// Each option key on its page: the values it steps through (as printed at
// x 500), its limits, and the file written afterwards read back by the game.
TEST_F(LauncherMenuTest, OptionKeysStepThroughTheirValues) {
    struct Case {
        char page;   // key of the page in the configuration menu
        char key;
        int row;
        std::function<void(GameConfig_S&)> start;
        std::vector<std::string> shown; // before the first press, then after each
        bool readable;                  // the game reads the written value back as it is
    };
    auto none = [](GameConfig_S&) {};
    const Case cases[] = {
        {'v', 'c', 330, none, {"24", "32", "16", "24"}, true},
        {'v', 'c', 330, [](GameConfig_S& c) { c.depth = 8; }, {"8", "16", "24"}, true},
        {'v', 'i', 305, none, {"high", "low", "high"}, true},
        {'v', 't', 280, none, {"highest", "lowest", "low", "moderate", "high", "highest"}, true},
        {'v', 't', 280, [](GameConfig_S& c) { c.texMode = 0; }, {"", "lowest"}, true},
        // A negative value from the file steps into the ring, as its remainder says.
        {'v', 't', 280, [](GameConfig_S& c) { c.texMode = -1; }, {"", "highest", "lowest"}, true},
        {'v', 't', 280, [](GameConfig_S& c) { c.texMode = -7; }, {"", "high"}, true},
        {'v', 'v', 105, [](GameConfig_S& c) { c.graphics = -3; }, {"-3", "8"}, true},
        {'v', 'l', 255, none, {"on", "off", "on"}, true},
        {'v', 's', 230, none, {"on", "off"}, true},
        {'v', 'f', 205, none, {"on", "off"}, true},
        {'v', 'w', 180, none, {"off", "on", "off"}, true},
        {'v', 'd', 155, none, {"off", "on"}, true},
        {'v', 'r', 130, none, {"1024x768", "1280x1024", "1600x1200", "1024x768"}, true},
        {'v', 'r', 130, [](GameConfig_S& c) { c.width = 800; c.height = 600; }, {"800x600", "800x600"}, false},
        {'v', 'v', 105, none, {"9", "0", "1"}, true},
        {'a', 's', 330, none, {"yes", "no", "yes"}, true},
        {'a', 'a', 300, none, {"yes", "no"}, true},
        {'a', 'm', 270, none, {"yes", "no"}, true},
        {'a', 'd', 210, none, {"no", "yes"}, true},
        {'g', 's', 330, none, {"on", "off"}, true},
        {'g', 'd', 300, none, {"average", "difficult", "impossible", "easy", "average"}, true},
        {'g', 't', 270, none, {"Normal", "Higher", "Highest", "Normal"}, true},
        {'g', 't', 270, [](GameConfig_S& c) { c.textLevel = 0; }, {"", "Normal"}, true},
        {'g', 't', 270, [](GameConfig_S& c) { c.textLevel = -2; }, {"", "Higher"}, true},
        {'g', 'd', 300, [](GameConfig_S& c) { c.difficulty = -1; }, {"", "easy"}, true},
        {'g', 'f', 240, none, {"off", "on"}, true},
        {'g', 'm', 210, none, {"off", "on"}, true},
        {'g', 'p', 180, none, {"off", "on", "off"}, true},
    };
    for (const Case& tc : cases) {
        const std::string what = std::string("page ") + tc.page + " key " + tc.key;
        GameConfig_S config;
        tc.start(config);
        const int page = tc.page == 'v' ? LauncherMenu_C::STATE_VIDEO
                         : tc.page == 'a' ? LauncherMenu_C::STATE_AUDIO
                                          : LauncherMenu_C::STATE_GAME;
        std::vector<std::string> shown;
        const std::string keys =
            std::string("e") + tc.page + std::string(tc.shown.size() - 1, tc.key) + "bbq";
        EXPECT_EQ(runKeys(config, keys,
                          [&](const LauncherMenu_C& m) {
                              if (m.getState() == page)
                                  shown.push_back(valueAt(m, tc.row));
                          }),
                  LauncherMenu_C::STATE_QUIT)
            << what;
        EXPECT_EQ(shown, tc.shown) << what;
        EXPECT_EQ(readFile(GameConfig_S::kPath), config.toText()) << what;
        if (tc.readable) {
            EXPECT_EQ(readBack().toText(), config.toText()) << what;
        }
    }
}

// Quit rewrites the file even when nothing changed: the player's comment
// lines, then the 20 lines of the writer, whatever the file held before (odd
// spacing, short forms), with the settings it held.
TEST_F(LauncherMenuTest, QuitRewritesTheFileAsTwentyLines) {
    writeFile(GameConfig_S::kPath, "# my settings\r\n  DEPTH   16\r\nwindowed yes\n# the hard way\ndiff imp\n\n"
                                   "#\ntexmode 2");
    GameConfig_S config;
    ASSERT_TRUE(readLauncherSettings(config, GameConfig_S::kPath));
    EXPECT_EQ(runKeys(config, "q"), LauncherMenu_C::STATE_QUIT);
    std::string text = readFile(GameConfig_S::kPath);
    const std::string comments = "# my settings\n# the hard way\n#\n";
    ASSERT_EQ(text.substr(0, comments.size()), comments) << "the comment lines were lost";
    text = text.substr(comments.size());
    EXPECT_EQ(text, config.toText());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20);
    EXPECT_EQ(text.substr(0, 9), "depth 16\n");
    EXPECT_NE(text.find("\ntexMode 2\n"), std::string::npos);
    EXPECT_NE(text.find("\nwindow on\n"), std::string::npos);
    EXPECT_NE(text.find("\ndifficulty impossible\n"), std::string::npos);
    struct stat st;
    ASSERT_EQ(::stat(GameConfig_S::kPath, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644 & ~currentUmask());
    EXPECT_FALSE(exists(std::string(GameConfig_S::kPath) + ".tmp"));
}

// Play after changes on every page: the file holds them before the game
// would start, and the play page shows the background and banner alone.
TEST_F(LauncherMenuTest, PlayWritesTheChangesFirst) {
    GameConfig_S config;
    bool playDrawn = false;
    auto seen = [&](const LauncherMenu_C& m) {
        if (m.getState() != LauncherMenu_C::STATE_PLAY)
            return;
        playDrawn = true;
        // The file is in place when the play page is drawn.
        EXPECT_EQ(readBack().toText(), config.toText());
        EXPECT_TRUE(m.pageText().empty());
        EXPECT_EQ(countNear(0, 0, 640, 370, kBackground, 2), 640 * 370) << "text on the play page";
        EXPECT_LT(countNear(80, 380, 480, 100, kBackground, 6), 480 * 100 / 10);
    };
    EXPECT_EQ(runKeys(config, "evcwrbasbgdtmbbp", seen), LauncherMenu_C::STATE_PLAY);
    EXPECT_TRUE(playDrawn);
    const GameConfig_S game = readBack();
    EXPECT_EQ(game.depth, 32);
    EXPECT_TRUE(game.window);
    EXPECT_EQ(game.width, 1280);
    EXPECT_EQ(game.height, 1024);
    EXPECT_FALSE(game.sound);
    EXPECT_EQ(game.difficulty, 2);
    EXPECT_EQ(game.textLevel, 2);
    EXPECT_TRUE(game.mouseSupport);
    EXPECT_EQ(game.toText(), config.toText());
}

// The window's close button leaves the menu at once and writes nothing.
TEST_F(LauncherMenuTest, CloseButtonQuitsWithoutWriting) {
    for (bool fileThere : {true, false}) {
        if (fileThere)
            writeFile(GameConfig_S::kPath, "depth 16\n");
        else
            std::remove(GameConfig_S::kPath);
        GameConfig_S config;
        auto seen = [&](const LauncherMenu_C& m) {
            if (m.getState() == LauncherMenu_C::STATE_VIDEO && config.depth == 32)
                pushQuit();
        };
        EXPECT_EQ(runKeys(config, "evc", seen), LauncherMenu_C::STATE_QUIT);
        EXPECT_EQ(config.depth, 32);
        if (fileThere) {
            EXPECT_EQ(readFile(GameConfig_S::kPath), "depth 16\n");
        } else {
            EXPECT_FALSE(exists(GameConfig_S::kPath));
        }
    }
}

// A write that fails keeps the old file and the menu, and says why on the
// main page; once the file can be written, Play goes on.
TEST_F(LauncherMenuTest, FailedWriteIsShownAndKeepsTheMenu) {
    writeFile(GameConfig_S::kPath, "depth 16\n");
    GameConfig_S config;
    config.depth = 32;
    vell::setWriteHook([](int, size_t) -> long { return -1; });
    int errorsShown = 0;
    auto seen = [&](const LauncherMenu_C& m) {
        if (m.writeError().empty())
            return;
        ++errorsShown;
        EXPECT_EQ(m.getState(), LauncherMenu_C::STATE_MAIN);
        EXPECT_EQ(readFile(GameConfig_S::kPath), "depth 16\n");
        const std::vector<LauncherText_S> page = m.pageText();
        ASSERT_FALSE(page.empty());
        EXPECT_EQ(page.back().kind, LauncherText_S::ERROR);
        EXPECT_EQ(page.back().text, "Could not write data/config.dat: Input/output error");
        // Drawn in red below the options.
        EXPECT_GT(countPixels(20, 200, 600, 40, [](const Rgb& p) { return p.r > 180 && p.g < 120 && p.b < 120; }),
                  10 * kGlyph);
        vell::setWriteHook({});
    };
    ::testing::internal::CaptureStderr();
    const int result = runKeys(config, "qp", seen);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, LauncherMenu_C::STATE_PLAY);
    EXPECT_EQ(errorsShown, 1);
    EXPECT_NE(err.find("ERROR: Could not write 'data/config.dat': Input/output error"), std::string::npos) << err;
    EXPECT_EQ(readBack().depth, 32);
}

// The keys of each page and nothing else: any other key changes neither the
// state nor a setting and asks for no redraw; the play state takes no keys.
TEST_F(LauncherMenuTest, KeysNotListedDoNothing) {
    const std::map<int, std::string> listed = {
        {LauncherMenu_C::STATE_MAIN, "peq"},
        {LauncherMenu_C::STATE_CONFIG, "vagb"},
        {LauncherMenu_C::STATE_VIDEO, "citlsfwdrvb"},
        {LauncherMenu_C::STATE_AUDIO, "samdb"},
        {LauncherMenu_C::STATE_GAME, "sdtfmpb"},
        {LauncherMenu_C::STATE_PLAY, ""},
    };
    // The way from the main menu to each state.
    const std::map<int, std::string> way = {
        {LauncherMenu_C::STATE_MAIN, ""},  {LauncherMenu_C::STATE_CONFIG, "e"}, {LauncherMenu_C::STATE_VIDEO, "ev"},
        {LauncherMenu_C::STATE_AUDIO, "ea"}, {LauncherMenu_C::STATE_GAME, "eg"}, {LauncherMenu_C::STATE_PLAY, "p"},
    };
    std::vector<int> others = {SDLK_ESCAPE, SDLK_RETURN, SDLK_SPACE, SDLK_F1, '1', 'P' /* upper case */};
    for (int c = 'a'; c <= 'z'; ++c)
        others.push_back(c);
    for (const auto& [state, keys] : listed) {
        GameConfig_S config;
        LauncherMenu_C menu(config, false);
        for (char k : way.at(state))
            menu.key(k);
        ASSERT_EQ(menu.getState(), state);
        drainEvents();
        const std::string before = config.toText();
        for (int k : others) {
            if (k < 128 && keys.find(char(k)) != std::string::npos)
                continue;
            menu.key(k);
            EXPECT_EQ(menu.getState(), state) << "key " << k;
            EXPECT_TRUE(takeEvents().empty()) << "key " << k << " asked for a redraw";
        }
        EXPECT_EQ(config.toText(), before) << "page " << state;
    }
}

// A device that cannot play sound leaves the player's sound setting alone:
// the audio page shows it and the file keeps it.
TEST_F(LauncherMenuTest, SoundSettingIsThePlayersWhateverTheDevice) {
    GameConfig_S config;
    std::string shown;
    auto seen = [&](const LauncherMenu_C& m) {
        if (m.getState() == LauncherMenu_C::STATE_AUDIO)
            shown = valueAt(m, 330);
    };
    EXPECT_EQ(runKeys(config, "eabbq", seen, /*audioOpen*/ false), LauncherMenu_C::STATE_QUIT);
    EXPECT_EQ(shown, "yes");
    EXPECT_TRUE(readBack().sound);
}

// With the mixer open the title music plays while the menu runs and stops
// when it ends; a missing music file is reported and the menu runs silent.
TEST_F(LauncherMenuTest, TitleMusicPlaysWhileTheMenuRuns) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_TRUE(openMixer());
    for (bool musicThere : {false, true}) {
        if (musicThere) {
            ASSERT_EQ(std::system(("mkdir -p pics/intro && cp '" + gamePath(LauncherMenu_C::kMusic) +
                                   "' pics/intro/")
                                      .c_str()),
                      0);
        }
        GameConfig_S config;
        int playing = 0, displays = 0;
        ::testing::internal::CaptureStderr();
        const int result = runKeys(config, "ebq", [&](const LauncherMenu_C&) {
            ++displays;
            playing += Mix_PlayingMusic() ? 1 : 0;
        }, /*audioOpen*/ true);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, LauncherMenu_C::STATE_QUIT);
        EXPECT_EQ(Mix_PlayingMusic(), 0) << "the music goes on after the menu";
        if (musicThere) {
            EXPECT_EQ(playing, displays);
            EXPECT_EQ(err, "");
        } else {
            EXPECT_EQ(playing, 0);
            EXPECT_EQ(err, "ERROR! Couldn't load music (pics/intro/credits.ogg)!\n");
        }
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Without the title picture or the font there is no menu.
TEST_F(LauncherMenuTest, MissingPictureOrFontEndsTheMenu) {
    for (const char* file : {LauncherMenu_C::kTitlePicture, "data/font.fot"}) {
        ASSERT_EQ(std::rename(file, "kept"), 0);
        GameConfig_S config;
        ::testing::internal::CaptureStderr();
        {
            LauncherMenu_C menu(config, false);
            EXPECT_EQ(menu.run(), -1) << file;
        }
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(file), std::string::npos) << err;
        EXPECT_FALSE(exists(GameConfig_S::kPath));
        ASSERT_EQ(std::rename("kept", file), 0);
    }
}

}  // namespace
