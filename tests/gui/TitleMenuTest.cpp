// The title menu driven by pushed keys: new quests (name entry, the copy of
// the template, the question before replacing, the refusal to replace the
// quest in play), the quest list, and the menu's other results.
#include "GuiHarness.h"

#include "core/GameConfig.h"
#include "platform/FileIO.h"
#include "screens/TitleMenu.h"

#include <fcntl.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TestFiles.h"

namespace {

using testfiles::readFile;
using testfiles::writeFile;
using testfiles::exists;

const std::string kTemplateBytes("\x01\0\0\0\x0c\0\0\0\x0c\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24);

// Runs each test in a game folder of its own: the font, the quest template
// and (unless a test removes it) an empty save folder.
class TitleMenuTest : public vell_test::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        dir_ = std::string(::testing::TempDir()) + "vell_title_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "/data' '" + dir_ + "/savegame'").c_str()),
                  0);
        ASSERT_EQ(std::system(("cp '" + gamePath("data/font.fot") + "' '" + dir_ + "/data/'").c_str()), 0);
        writeFile(dir_ + "/data/savegame.dat", kTemplateBytes);
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
        savedConfig_ = gameConfig;
        gameConfig.sound = false;
        gameConfig.mouseSupport = false;
    }
    void TearDown() override {
        gameConfig = savedConfig_;
        if (::chdir(oldDir_) == 0)
            std::system(("rm -rf '" + dir_ + "'").c_str());
        GuiFixture::TearDown();
    }

    static void keys(const char* text) {
        for (const char* p = text; *p; ++p)
            pushKey(SDLKey(*p));
    }

    char oldDir_[4096];
    std::string dir_;
    GameConfig_S savedConfig_;
};

TEST_F(TitleMenuTest, NewQuestCopiesTheTemplateAndStartsIt) {
    TitleMenu_C menu(1024, 768);
    int menuDrawsWithText = 0;
    afterDisplay([&] {
        if (menu.getState() == TitleMenu_C::STATE_MENU &&
            countNear(400, 460, 260, 40, {0, 0, 0}, 40) > 20)
            ++menuDrawsWithText;
    });
    // One key after each redraw, as a player would type them.
    scriptKeys({SDLK_SPACE /* the title picture, first call only */, SDLKey('n'), SDLKey('a'), SDLKey('1'),
                SDLK_SPACE, SDLKey('b'), SDLK_RETURN});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_START);
    EXPECT_EQ(menu.typedName(), "A1 B");
    EXPECT_STREQ(menu.getQuestPath().c_str(), "./savegame/A1 B");
    EXPECT_EQ(readFile("savegame/A1 B"), kTemplateBytes);
    EXPECT_FALSE(exists("savegame/A1 B.new"));
    EXPECT_GT(menuDrawsWithText, 0) << "the menu's text was not drawn";
}

// The title card (the game's own picture, shown once before the menu)
// waits for any key and says so: light letters on the dark hills at its
// foot. Any key then leads to the menu.
TEST_F(TitleMenuTest, TheTitleCardSaysWhatItWaitsFor) {
    ASSERT_EQ(::symlink(VELL_GAME_DIR "/pics", (dir_ + "/pics").c_str()), 0);
    TitleMenu_C menu(1024, 768);
    int promptPixels = -1, hillPixels = -1;
    afterDisplay([&] {
        if (menu.getState() != TitleMenu_C::STATE_TITLE)
            return;
        // The line under the middle of the hills, and as much of the hills
        // beside it.
        promptPixels = countNear(384, 60, 256, 60, {216, 208, 192}, 40);
        hillPixels = countNear(384, 130, 256, 30, {22, 18, 14}, 12);
    });
    scriptKeys({SDLKey('x'), SDLKey('q'), SDLKey('y')});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_GT(hillPixels, 256 * 30 * 9 / 10) << "the hills are not where the title card has them";
    EXPECT_GT(promptPixels, 200) << "the title card does not say what it waits for";
}

TEST_F(TitleMenuTest, NameEntryAcceptsOnlyQuestCharactersUpToFifteen) {
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('n'));
    pushKey(SDLK_BACKSPACE); // nothing to remove
    pushKey(SDLK_RETURN);    // empty: nothing happens
    keys("ab-.c");           // '-' and '.' are refused
    pushKey(SDLK_DELETE);
    keys("c_9");
    keys("abcdefghijklmn"); // only 9 more fit
    pushKey(SDLK_ESCAPE);
    pushKey(SDLKey('q'));
    pushKey(SDLKey('y'));
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_EQ(menu.typedName(), "");
    EXPECT_TRUE(readFile("savegame/AB").empty());

    // Typed again, RETURN creates exactly the 15 accepted characters.
    TitleMenu_C menu2(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('n'));
    keys("ab-.c");
    pushKey(SDLK_DELETE);
    keys("c_9abcdefghijklmn");
    pushKey(SDLK_RETURN);
    EXPECT_EQ(menu2.run(false), TitleMenu_C::RESULT_START);
    EXPECT_EQ(menu2.typedName(), "ABC_9ABCDEFGHIJ");
    EXPECT_EQ(readFile("savegame/ABC_9ABCDEFGHIJ"), kTemplateBytes);
}

// A keyboard gives the underscore as shift and the minus key: the name takes
// it, while the minus key alone stays refused.
TEST_F(TitleMenuTest, ShiftMinusTypesTheUnderscore) {
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('n'));
    keys("a");
    pushKey(SDLK_MINUS, KMOD_LSHIFT);
    pushKey(SDLK_MINUS);
    pushKey(SDLK_MINUS, KMOD_RSHIFT);
    keys("b");
    pushKey(SDLK_RETURN);
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_START);
    EXPECT_EQ(menu.typedName(), "A__B");
    EXPECT_EQ(readFile("savegame/A__B"), kTemplateBytes);
}

TEST_F(TitleMenuTest, TakenNameAsksBeforeReplacing) {
    writeFile("savegame/HERO", "progress");
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('n'));
    keys("hero");
    pushKey(SDLK_RETURN);
    pushKey(SDLKey('n')); // no: back to the name, kept
    pushKey(SDLK_ESCAPE);
    pushKey(SDLKey('q'));
    pushKey(SDLKey('y'));
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_EQ(readFile("savegame/HERO"), "progress");

    // A differently cased name is another quest.
    writeFile("savegame/Hero2", "other");
    pushKey(SDLKey('n'));
    keys("hero");
    pushKey(SDLK_RETURN);
    pushKey(SDLKey('y'));
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_START);
    EXPECT_EQ(readFile("savegame/HERO"), kTemplateBytes);
    EXPECT_EQ(readFile("savegame/Hero2"), "other");
}

// Back from the question to the name: the typed name shows its cursor again.
TEST_F(TitleMenuTest, NoToReplacingShowsTheNameWithItsCursor) {
    writeFile("savegame/HERO", "progress");
    TitleMenu_C menu(1024, 768);
    std::vector<std::string> shown;
    afterDisplay([&] {
        if (menu.getState() == TitleMenu_C::STATE_NAME)
            shown.push_back(menu.shownName());
    });
    scriptKeys({SDLK_SPACE, SDLKey('n'), SDLKey('h'), SDLKey('e'), SDLKey('r'), SDLKey('o'), SDLK_RETURN, SDLKey('n'),
                SDLKey('s'), SDLK_ESCAPE, SDLKey('q'), SDLKey('y')});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2], "HERO_");   // after 'n'
    EXPECT_EQ(shown.back(), "HEROS_");
    EXPECT_EQ(readFile("savegame/HERO"), "progress");
}

TEST_F(TitleMenuTest, RefusesToReplaceTheQuestInPlay) {
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('n'));
    keys("hero");
    pushKey(SDLK_RETURN);
    ASSERT_EQ(menu.run(false), TitleMenu_C::RESULT_START);
    menu.setQuestInPlay(menu.getQuestPath());   // as the main loop does once it loaded
    writeFile("savegame/HERO", "saved progress");

    // Back at the title with HERO in play: replacing it is refused.
    drainEvents(); // redraw requests left over from the first run
    int messageDraws = 0;
    afterDisplay([&] {
        if (menu.getState() == TitleMenu_C::STATE_MESSAGE &&
            countNear(400, 460, 260, 40, {0, 0, 0}, 40) > 20)
            ++messageDraws;
    });
    scriptKeys({SDLKey('n'), SDLKey('h'), SDLKey('e'), SDLKey('r'), SDLKey('o'), SDLK_RETURN, SDLKey('y'),
                SDLK_SPACE /* leaves the message, back to the name */, SDLK_ESCAPE, SDLKey('c')});
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_CONTINUE);
    EXPECT_EQ(readFile("savegame/HERO"), "saved progress");
    EXPECT_GT(messageDraws, 0);
    EXPECT_NE(menu.getMessage().find("cannot be replaced"), std::string::npos);
}

TEST_F(TitleMenuTest, QuestListShowsFilesOnlyAndLoadsTheChosenOne) {
    writeFile("savegame/BETA", "b");
    writeFile("savegame/ALPHA", "a");
    ASSERT_EQ(::mkdir("savegame/FOLDER", 0755), 0);
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('l'));
    pushKey(SDLK_DOWN);
    pushKey(SDLK_RETURN);
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_START);
    EXPECT_EQ(menu.questListSize(), 2);
    EXPECT_STREQ(menu.getQuestPath().c_str(), "./savegame/BETA");

    // With a quest in play, loading asks first; 'n' goes back to the menu.
    pushKey(SDLKey('l'));
    pushKey(SDLK_RETURN);
    pushKey(SDLKey('n'));
    pushKey(SDLKey('l'));
    pushKey(SDLK_RETURN);
    pushKey(SDLKey('y'));
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_START);
    EXPECT_STREQ(menu.getQuestPath().c_str(), "./savegame/ALPHA");
}

TEST_F(TitleMenuTest, EmptyOrMissingSaveFolderGivesAnEmptyListAndIsCreated) {
    ASSERT_EQ(std::system("rm -rf savegame"), 0);
    TitleMenu_C menu(1024, 768);
    EXPECT_TRUE(exists("savegame"));
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('l'));
    pushKey(SDLK_RETURN); // nothing selected: nothing happens
    pushKey(SDLK_ESCAPE);
    pushKey(SDLKey('v'));
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);
    EXPECT_EQ(menu.questListSize(), 0);
}

TEST_F(TitleMenuTest, MissingTemplateStartsNoQuest) {
    std::remove("data/savegame.dat");
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('n'));
    keys("lost");
    pushKey(SDLK_RETURN);
    pushKey(SDLK_SPACE); // the message
    pushKey(SDLK_ESCAPE);
    pushKey(SDLKey('q'));
    pushKey(SDLKey('y'));
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_FALSE(exists("savegame/LOST"));
    EXPECT_FALSE(exists("savegame/LOST.new"));
}

TEST_F(TitleMenuTest, MenuResults) {
    TitleMenu_C menu(1024, 768);
    // Without a quest in play 'c' and 's' do nothing; 'q' then 'n' returns.
    pushKey(SDLK_SPACE);
    keys("csqnv");
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);
    // Later calls start at the menu, not at the title picture.
    keys("s");
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_SAVE);
    keys("c");
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_CONTINUE);
    keys("qy");
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_QUIT);
}

} // namespace

namespace {

// With mouse support each menu line is a click region standing for its key.
TEST_F(TitleMenuTest, ClickOnAMenuLineActsAsItsKey) {
    gameConfig.mouseSupport = true;
    TitleMenu_C menu(1024, 768);
    bool clicked = false;
    afterDisplay([&] {
        if (menu.getState() == TitleMenu_C::STATE_MENU && !clicked) {
            clicked = true;
            // "(V)iew Credits" is the fifth line without a quest in play:
            // GL y 490 - 4 * 20 = 410, so mouse rows around 768 - 410.
            pushMouseButton(410, 768 - 410 - 6, SDL_BUTTON_LEFT, true);
            pushMouseButton(410, 768 - 410 - 6, SDL_BUTTON_LEFT, false);
        }
    });
    pushKey(SDLK_SPACE);
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);
    EXPECT_TRUE(clicked);
}

// 'l' again while the list drawn last still has its click regions (ESC, 'l'
// and a click all arrive before the next redraw): the regions go with the
// old list, so the click reaches nothing instead of the freed list.
TEST_F(TitleMenuTest, RebuiltQuestListTakesItsClickRegionsAlong) {
    writeFile("savegame/ALPHA", "a");
    writeFile("savegame/BETA", "b");
    gameConfig.mouseSupport = true;
    TitleMenu_C menu(1024, 768);
    ASSERT_NE(menu.getMouseRegions(), nullptr);
    int lists = 0;
    afterDisplay([&] {
        if (menu.getState() != TitleMenu_C::STATE_LIST)
            return;
        if (++lists == 1) {
            // Over the first line of the list as drawn: GL y 430..450.
            pushKey(SDLK_ESCAPE);
            pushKey(SDLKey('l'));
            pushMouseButton(420, 768 - 440, SDL_BUTTON_LEFT, true);
            pushMouseButton(420, 768 - 440, SDL_BUTTON_LEFT, false);
        } else if (lists == 2) {
            pushKey(SDLK_ESCAPE);
            pushKey(SDLKey('v'));
        }
    });
    pushKey(SDLK_SPACE);
    pushKey(SDLKey('l'));
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS) << "the click chose a quest";
    EXPECT_GE(lists, 2);
}

// A load that failed is told at the next run, before the menu; the quest
// that was in play is gone, so the menu offers neither to continue nor to
// save it.
TEST_F(TitleMenuTest, ReportedFailureComesFirstThenTheMenuWithoutTheQuest) {
    TitleMenu_C menu(1024, 768);
    pushKey(SDLK_SPACE);
    keys("l");
    pushKey(SDLK_ESCAPE);
    keys("v");
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);

    menu.setQuestInPlay(RefStr_C());
    menu.report("The quest HERO could not be loaded!  its party is damaged.");
    int messageDraws = 0;
    afterDisplay([&] {
        if (menu.getState() == TitleMenu_C::STATE_MESSAGE && countNear(400, 440, 260, 60, {0, 0, 0}, 40) > 20)
            ++messageDraws;
    });
    scriptKeys({SDLK_SPACE, SDLKey('c'), SDLKey('s'), SDLKey('v')});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);
    EXPECT_GT(messageDraws, 0);
    EXPECT_NE(menu.getMessage().find("could not be loaded"), std::string::npos);
    // Told once.
    keys("v");
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_CREDITS);
    EXPECT_NE(menu.getState(), TitleMenu_C::STATE_MESSAGE);
}

// The quit event (window closed, Ctrl-C, SIGTERM) quits from the title
// picture and from every state of the menu, as its own quit does.
TEST_F(TitleMenuTest, QuitEventQuitsFromTheTitleAndTheMenu) {
    TitleMenu_C menu(1024, 768);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_TRUE(vell::quitRequested());
    vell::clearQuitRequest();

    pushKey(SDLKey('n'));
    keys("ab");
    SDL_PushEvent(&quit);
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_QUIT);
    EXPECT_FALSE(exists("savegame/AB"));
    // Quitting already: the menu does not even start.
    EXPECT_EQ(menu.run(true), TitleMenu_C::RESULT_QUIT);
}

} // namespace

namespace {

// The title picture's mean colour in each cell of a 8 x 6 grid over the screen.
std::vector<vell_test::Rgb> titleGrid(bool lowDetail, int width, int height)
{
    gameConfig.ifaceSmall = lowDetail;
    TitleMenu_C menu(width, height);
    menu.display();
    std::vector<vell_test::Rgb> cells;
    const int cw = width / 8, ch = height / 6;
    for (int gy = 0; gy < 6; ++gy)
        for (int gx = 0; gx < 8; ++gx) {
            const auto px = vell_test::GuiFixture::readRect(gx * cw + cw / 4, gy * ch + ch / 4, cw / 2, ch / 2);
            long sum[3] = {0, 0, 0};
            for (size_t i = 0; i < px.size(); ++i)
                sum[i % 3] += px[i];
            const long n = long(px.size() / 3);
            cells.push_back({int(sum[0] / n), int(sum[1] / n), int(sum[2] / n)});
        }
    return cells;
}

} // namespace

// The low-detail title picture is the same picture, smaller: it covers the
// screen as the high-detail one does.
TEST_F(TitleMenuTest, LowDetailTitleCoversTheScreenAsTheHighOneDoes) {
    ASSERT_EQ(::symlink(gamePath("pics").c_str(), "pics"), 0);
    const auto high = titleGrid(false, kWidth, kHeight);
    const auto low = titleGrid(true, kWidth, kHeight);
    ASSERT_EQ(high.size(), low.size());
    int differing = 0;
    for (size_t i = 0; i < high.size(); ++i)
        if (!vell_test::near(high[i], low[i], 24)) {
            ++differing;
            ADD_FAILURE() << "cell " << i % 8 << "," << i / 8 << ": high " << high[i].r << "/" << high[i].g << "/"
                          << high[i].b << ", low " << low[i].r << "/" << low[i].g << "/" << low[i].b;
        }
    EXPECT_EQ(differing, 0);
}

// Why a new quest could not be made is told on the screen; a quest marked
// read-only is not replaced (nor made writable) by a new one of its name.
TEST_F(TitleMenuTest, NewQuestThatCannotBeMadeSaysWhy) {
    writeFile("savegame/KEPT", "progress");
    ASSERT_EQ(::chmod("savegame/KEPT", 0444), 0);
    TitleMenu_C menu(1024, 768);
    int messageDraws = 0;
    afterDisplay([&] {
        if (menu.getState() == TitleMenu_C::STATE_MESSAGE && countNear(400, 380, 260, 110, {0, 0, 0}, 40) > 200)
            ++messageDraws;
    });
    scriptKeys({SDLK_SPACE, SDLKey('n'), SDLKey('k'), SDLKey('e'), SDLKey('p'), SDLKey('t'), SDLK_RETURN, SDLKey('y'),
                SDLK_SPACE, SDLK_ESCAPE, SDLKey('q'), SDLKey('y')});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_EQ(menu.getMessage(), "The new quest could not be created!  The quest is read-only and stays as it is.");
    EXPECT_GT(messageDraws, 0);
    EXPECT_EQ(readFile("savegame/KEPT"), "progress");
    struct stat st {};
    ASSERT_EQ(::stat("savegame/KEPT", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_FALSE(exists("savegame/KEPT.new"));

    // Without the template: the reason is on the screen as well.
    std::remove("data/savegame.dat");
    scriptKeys({SDLKey('n'), SDLKey('l'), SDLKey('o'), SDLKey('s'), SDLKey('t'), SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE,
                SDLKey('q'), SDLKey('y')});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    EXPECT_EQ(menu.getMessage(),
              "The new quest could not be created!  The quest template data/savegame.dat is missing.");
    EXPECT_FALSE(exists("savegame/LOST"));
}

// New Game does not replace a quest that another game plays.
TEST_F(TitleMenuTest, NewGameLeavesAQuestInUseByAnotherGame) {
    writeFile("savegame/HELD", "progress");
    int fd = ::open("savegame/HELD", O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(vell::ioHold(fd));
    TitleMenu_C menu(1024, 768);
    scriptKeys({SDLK_SPACE, SDLKey('n'), SDLKey('h'), SDLKey('e'), SDLKey('l'), SDLKey('d'), SDLK_RETURN, SDLKey('y'),
                SDLK_SPACE, SDLK_ESCAPE, SDLKey('q'), SDLKey('y')});
    EXPECT_EQ(menu.run(false), TitleMenu_C::RESULT_QUIT);
    ::close(fd);
    EXPECT_EQ(menu.getMessage(), "The new quest could not be created!  The quest is in use by another game.");
    EXPECT_EQ(readFile("savegame/HELD"), "progress");
}
