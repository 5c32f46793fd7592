// The widgets under X: click regions and cursors, the modal loop, the scroll
// list and text pane drawn and driven by pushed events, the message box, and
// the picture cache drawn and animated by its timer. Checked on state, on the
// events the widgets push and on pixels read back.
#include "GuiHarness.h"

#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/MouseRegions.h"
#include "core/PicCache.h"
#include "core/ScrollList.h"
#include "core/ScrollPane.h"

#include <fstream>
#include <sstream>

namespace {

using vell_test::GuiFixture;
using vell_test::Rgb;

CommonInterface_C& blockFont()
{
    static CommonInterface_C* ci = [] {
        const std::string path = vell_test::tempPath("block.fot");
        EXPECT_TRUE(vell_test::writeBlockFont(path));
        auto* c = new CommonInterface_C(1024, 768, path.c_str());
        c->setTextLevel(1);
        return c;
    }();
    return *ci;
}

struct KeyEv {
    bool down;
    int key;
};
std::vector<KeyEv> keyEvents(const std::vector<SDL_Event>& evs)
{
    std::vector<KeyEv> out;
    for (const SDL_Event& e : evs)
        if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP)
            out.push_back({e.type == SDL_KEYDOWN, int(e.key.keysym.sym)});
    return out;
}
int redraws(const std::vector<SDL_Event>& evs)
{
    int n = 0;
    for (const SDL_Event& e : evs)
        n += e.type == SDL_USEREVENT && e.user.code == vell::kRedrawCode;
    return n;
}
bool operator==(const KeyEv& a, const KeyEv& b) { return a.down == b.down && a.key == b.key; }
std::ostream& operator<<(std::ostream& o, const KeyEv& k) { return o << (k.down ? "down " : "up ") << k.key; }

// --- click regions ------------------------------------------------------------

class MouseRegionsTest : public GuiFixture {};

TEST_F(MouseRegionsTest, FirstAddedWinsUntilTheMouseLeavesTheCurrentRegion)
{
    MouseRegions_C mr;
    ASSERT_EQ(mr.addRegion(0, 0, 100, 100, 'a', -1), 1);
    ASSERT_EQ(mr.addRegion(50, 50, 100, 100, 'b', -1), 1);
    mr.mouseDown(60, 60, 0);
    mr.mouseUp(60, 60, 0);
    EXPECT_EQ(keyEvents(takeEvents()), (std::vector<KeyEv>{{true, 'a'}, {false, 'a'}}));
    mr.mouseMove(120, 120, 0);   // only in b
    EXPECT_EQ(mr.currentRegion(), 1);
    mr.mouseMove(60, 60, 0);     // in both: b stays current
    EXPECT_EQ(mr.currentRegion(), 1);
    mr.mouseDown(60, 60, 0);
    EXPECT_EQ(keyEvents(takeEvents()), (std::vector<KeyEv>{{true, 'b'}}));
    mr.mouseUp(60, 60, 0);
    takeEvents();
    // Edges: x + w and y + h are outside.
    mr.mouseDown(150, 149, 0);
    EXPECT_TRUE(keyEvents(takeEvents()).empty());
    EXPECT_EQ(mr.currentRegion(), -1);
}

struct CallbackLog {
    std::vector<int> modes;
    static void cb(void* data, int, int, int mode) { static_cast<CallbackLog*>(data)->modes.push_back(mode); }
};

TEST_F(MouseRegionsTest, RegionWithCallbackCallsOnlyTheCallback)
{
    MouseRegions_C mr;
    CallbackLog log;
    mr.addRegion(10, 10, 20, 20, SDLK_RETURN, 1, &CallbackLog::cb, &log);
    mr.mouseMove(15, 15, 0);
    mr.mouseMove(16, 16, 0);
    mr.mouseDown(16, 16, 0);
    mr.mouseUp(16, 16, 0);
    EXPECT_EQ(log.modes, (std::vector<int>{2, 0, 1}));
    EXPECT_TRUE(keyEvents(takeEvents()).empty());
}

TEST_F(MouseRegionsTest, DraggingAcrossRegionsReleasesOneKeyAndPressesTheNext)
{
    MouseRegions_C mr;
    ASSERT_EQ(mr.makeCursors(), 6);
    mr.addRegion(100, 100, 50, 50, SDLK_UP, MouseRegions_C::CursorForward);
    mr.addRegion(40, 100, 50, 50, SDLK_LEFT, MouseRegions_C::CursorLeft);
    mr.mouseMove(120, 120, 0);
    EXPECT_EQ(mr.shownCursor(), MouseRegions_C::CursorForward);
    mr.mouseDown(120, 120, 0);
    EXPECT_EQ(mr.heldKey(), SDLK_UP);
    mr.mouseMove(60, 120, 0);
    EXPECT_EQ(mr.shownCursor(), MouseRegions_C::CursorLeft);
    EXPECT_EQ(mr.heldKey(), SDLK_LEFT);
    mr.mouseUp(60, 120, 0);
    EXPECT_EQ(mr.heldKey(), 0);
    EXPECT_EQ(keyEvents(takeEvents()),
              (std::vector<KeyEv>{{true, SDLK_UP}, {false, SDLK_UP}, {true, SDLK_LEFT}, {false, SDLK_LEFT}}));
    // A refresh after a redraw (flag 1) never sends keys, held button or not.
    mr.mouseDown(60, 120, 0);
    takeEvents();
    mr.mouseMove(120, 120, 1);
    EXPECT_TRUE(keyEvents(takeEvents()).empty());
    // The middle button drags nothing.
    mr.mouseUp(120, 120, 0);
    takeEvents();
    mr.mouseDown(120, 120, 1);
    mr.mouseMove(60, 120, 0);
    EXPECT_EQ(keyEvents(takeEvents()), (std::vector<KeyEv>{{true, SDLK_UP}}));
}

TEST_F(MouseRegionsTest, ClearedTableShowsTheDefaultCursorAndSendsNothing)
{
    MouseRegions_C mr;
    mr.makeCursors();
    mr.addRegion(0, 0, 500, 500, 'x', MouseRegions_C::CursorPointer);
    mr.mouseMove(10, 10, 0);
    EXPECT_EQ(mr.shownCursor(), MouseRegions_C::CursorPointer);
    mr.mouseDown(10, 10, 0);
    takeEvents();
    mr.clear();
    EXPECT_EQ(mr.regionCount(), 0);
    EXPECT_EQ(mr.currentRegion(), -1);
    mr.mouseMove(20, 20, 0);
    EXPECT_EQ(mr.shownCursor(), 0);
    mr.mouseDown(20, 20, 0);
    mr.mouseUp(20, 20, 0);
    EXPECT_TRUE(takeEvents().empty());
    // A region whose cursor index is not a cursor shows cursor 0.
    mr.addRegion(0, 0, 50, 50, 'y', 12);
    mr.mouseMove(5, 5, 0);
    EXPECT_EQ(mr.shownCursor(), 0);
}

TEST_F(MouseRegionsTest, TablesRefuseBeyondTheirSize)
{
    MouseRegions_C mr;
    for (int i = 0; i < MouseRegions_C::kMaxRegions; ++i)
        ASSERT_EQ(mr.addRegion(i, 0, 1, 1, 'a', 0), 1);
    EXPECT_EQ(mr.addRegion(0, 0, 1, 1, 'a', 0), 0);
    EXPECT_EQ(mr.regionCount(), MouseRegions_C::kMaxRegions);

    EXPECT_EQ(mr.makeCursors(), 6);
    EXPECT_EQ(mr.makeCursors(), 6);
    EXPECT_EQ(mr.makeCursors(), 4);   // 16 in all
    EXPECT_EQ(mr.cursorCount(), 16);
    EXPECT_EQ(mr.removeCursor(16), 0);
    EXPECT_EQ(mr.removeCursor(-1), 0);
    mr.mouseMove(0, 0, 0);            // shows cursor 0...
    EXPECT_EQ(mr.removeCursor(0), 1); // ...which may still be freed
    EXPECT_EQ(mr.cursorCount(), 15);
}

// --- modal loop -----------------------------------------------------------------

class ModalLoopTest : public GuiFixture {};

TEST_F(ModalLoopTest, KeysChangeTheStateAndRedrawsDrawIt)
{
    int state = 1, downs = 0, displays = 0, frames = 0;
    ModalLoop_C loop(state,
                     [&](const SDL_keysym& k) {
                         if (k.sym == SDLK_DOWN) {
                             ++downs;
                             vell::pushRedraw();
                         } else if (k.sym == SDLK_ESCAPE) {
                             state = 0;
                         }
                     },
                     [&] { ++displays; });
    loop.setFrame([&] { ++frames; });
    pushKey(SDLK_DOWN);
    pushExpose();
    pushKey(SDLK_DOWN);
    scriptKeys({SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(loop.run(), 0);
    EXPECT_EQ(downs, 2);
    EXPECT_GE(displays, 2);
    EXPECT_EQ(frames, 2);   // the expose: frame, screen, frame
}

// The frame picture is opaque: after an uncovered window the screen must be
// what is shown, with the frame under it, not the frame over it.
TEST_F(ModalLoopTest, AnExposeShowsTheScreenOverTheFrame)
{
    int state = 1;
    auto fill = [](int x, int y, int w, int h, float r, float g, float b) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, w, h);
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    };
    ModalLoop_C loop(state,
                     [&](const SDL_keysym& k) {
                         if (k.sym == SDLK_ESCAPE)
                             state = 0;
                     },
                     [&] { fill(100, 100, 50, 50, 0, 1, 0); });
    loop.setFrame([&] { fill(0, 0, 1024, 768, 1, 0, 0); });
    loop.setInitialRedraw(false);
    // What the buffer holds when it is swapped onto the screen.
    Rgb screen, around;
    afterDisplay([&] {
        screen = readPixel(120, 120);
        around = readPixel(10, 10);
    });
    pushExpose();
    scriptKeys({SDLK_ESCAPE});
    EXPECT_EQ(loop.run(), 0);
    EXPECT_EQ(screen.g, 255) << "the screen is shown after the expose";
    EXPECT_EQ(screen.r, 0);
    EXPECT_EQ(around.r, 255) << "with the frame around it";
    EXPECT_EQ(readPixel(120, 120).r, 255) << "and the frame goes under the next redraw";
}

TEST_F(ModalLoopTest, MouseGoesToTheRegionsOnlyWhenMouseSupportIsOn)
{
    MouseRegions_C mr;
    mr.addRegion(0, 0, 50, 50, SDLK_q, 0);
    int state = 1;
    std::vector<int> keys;
    auto key = [&](const SDL_keysym& k) {
        keys.push_back(k.sym);
        if (k.sym == SDLK_q || k.sym == SDLK_ESCAPE)
            state = 0;
    };
    // Off: the click is dropped, ESC ends it.
    ModalLoop_C off(state, key, [] {});
    pushMouseButton(10, 10, SDL_BUTTON_LEFT, true);
    pushKey(SDLK_ESCAPE);
    off.run();
    EXPECT_EQ(keys, (std::vector<int>{SDLK_ESCAPE}));
    // On: the click becomes the region's key.
    keys.clear();
    state = 1;
    ModalLoop_C on(state, key, [] {});
    on.setMouse(&mr);
    pushMouseButton(10, 10, SDL_BUTTON_LEFT, true);
    on.run();
    EXPECT_EQ(keys, (std::vector<int>{SDLK_q}));
    EXPECT_TRUE(mr.buttonDown(0));
}

TEST_F(ModalLoopTest, PollingLoopRunsItsIdleWorkAndStopsOnNegativeStates)
{
    int state = 1, idles = 0;
    ModalLoop_C loop(state, [](const SDL_keysym&) {}, [] {});
    loop.setPolling(true).setIdle([&] {
        if (++idles == 5)
            state = -1;
    });
    EXPECT_EQ(loop.run(), -1);
    EXPECT_EQ(idles, 5);
}

// The quit event (window closed, Ctrl-C, SIGTERM): waiting and polling loops
// end on it whatever their state, and every loop run after it ends at once,
// so that the game unwinds to its shutdown.
TEST_F(ModalLoopTest, QuitEventEndsEveryLoop)
{
    for (bool polling : {false, true}) {
        SCOPED_TRACE(polling ? "polling" : "waiting");
        vell::clearQuitRequest();
        int state = 1, keys = 0;
        ModalLoop_C loop(state, [&](const SDL_keysym&) { ++keys; }, [] {});
        loop.setPolling(polling);
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        pushKey(SDLK_SPACE);   // after the quit: never handled
        EXPECT_EQ(loop.run(), 1);
        EXPECT_TRUE(vell::quitRequested());
        EXPECT_EQ(keys, 0);
        // A screen opened on the way out does not wait.
        int inner = 1;
        ModalLoop_C next(inner, [](const SDL_keysym&) {}, [] {});
        next.setPolling(polling);
        EXPECT_EQ(next.run(), 1);
        drainEvents();
    }
}

// --- scroll list and pane on screen -----------------------------------------------

class ScrollScreenTest : public GuiFixture {
protected:
    // Row r of a list at the top line 675: the glyph blocks span GL y
    // 675 - 20 r .. +16.
    static int rowY(int r) { return 675 - 20 * r + 8; }
    const Rgb green{16, 48, 0};
    const Rgb black{0, 0, 0};
    const Rgb red{72, 24, 16};
    const Rgb arrows{25, 51, 76};
};

TEST_F(ScrollScreenTest, ListDrivenByKeysShowsTheSelectionInGreen)
{
    CommonInterface_C& ci = blockFont();
    ScrollList_C list(&ci, -1, -1, -1, -1);
    for (int i = 0; i < 30; ++i)
        list.addLine(("Line " + std::to_string(i)).c_str(), i, i != 1);
    int state = 1;
    ModalLoop_C loop(state,
                     [&](const SDL_keysym& k) {
                         bool moved = false;
                         switch (k.sym) {
                         case SDLK_UP: moved = list.lineUp(); break;
                         case SDLK_DOWN: moved = list.lineDown(); break;
                         case SDLK_PAGEUP: moved = list.pageUp(); break;
                         case SDLK_PAGEDOWN: moved = list.pageDown(); break;
                         case SDLK_RETURN: state = 0; break;
                         default: break;
                         }
                         if (moved)
                             vell::pushRedraw();
                     },
                     [&] {
                         clearScreen();
                         list.draw(&ci);
                     });
    std::vector<int> selectedAtDisplay;
    std::vector<Rgb> firstRow, secondRow, selectedRow;
    std::vector<int> arrowPixels, upArrowAt, downArrowAt;
    afterDisplay([&] {
        upArrowAt.push_back(list.upArrowX());
        downArrowAt.push_back(list.downArrowX());
        selectedAtDisplay.push_back(list.selected());
        firstRow.push_back(readPixel(733, rowY(0)));
        secondRow.push_back(readPixel(733, rowY(1)));
        selectedRow.push_back(readPixel(733, rowY(list.selected() - list.firstVisible())));
        arrowPixels.push_back(countNear(870, 675 - 17 * 20, 110, 17, arrows, 6));   // below the page
    });
    scriptKeys({SDLK_DOWN, SDLK_PAGEDOWN, SDLK_RETURN});
    loop.run();
    ASSERT_GE(selectedAtDisplay.size(), 3u);
    // First picture: line 0 selected (green), line 1 unselectable (red).
    EXPECT_EQ(selectedAtDisplay[0], 0);
    EXPECT_TRUE(vell_test::near(firstRow[0], green, 6)) << firstRow[0].r << "," << firstRow[0].g;
    EXPECT_TRUE(vell_test::near(secondRow[0], red, 6)) << secondRow[0].r << "," << secondRow[0].g;
    // DOWN skips the heading: line 2, the first row turns black.
    EXPECT_EQ(selectedAtDisplay[1], 2);
    EXPECT_TRUE(vell_test::near(firstRow[1], black, 6));
    EXPECT_TRUE(vell_test::near(selectedRow[1], green, 6));
    // PAGEDOWN: a page of 17 further, the view scrolled; the selected row is
    // green wherever it is.
    EXPECT_EQ(list.selected(), 19);
    EXPECT_GT(list.firstVisible(), 0);
    EXPECT_TRUE(vell_test::near(selectedRow.back(), green, 6));
    // Arrows: "down" alone at first (at right - 85), "up" alone once the
    // page reaches the end of the list.
    EXPECT_EQ(downArrowAt[0], 980 - 85);
    EXPECT_EQ(upArrowAt[0], 0);
    EXPECT_EQ(list.firstVisible(), 13);
    EXPECT_EQ(list.upArrowX(), 980 - 85);
    EXPECT_EQ(list.downArrowX(), 0);
    EXPECT_GT(arrowPixels.back(), 0);
    EXPECT_GT(arrowPixels[0], 0);
}

TEST_F(ScrollScreenTest, ListMouseSelectsAndChoosesLines)
{
    CommonInterface_C& ci = blockFont();
    MouseRegions_C mr;
    ScrollList_C list(&ci, 730, 980, 675, 575);   // page of 5
    for (int i = 0; i < 12; ++i)
        list.addLine(("Entry " + std::to_string(i)).c_str(), i, true);
    list.pageDown();
    clearScreen();
    list.draw(&ci, &mr);
    ASSERT_EQ(mr.regionCount(), 2);   // both arrows
    mr.addRegion(730, 768 - 675 - 20, 250, 100, SDLK_RETURN, 1, &ScrollList_C::mouseCallback, &list);
    takeEvents();
    const int first = list.firstVisible();
    // Motion over row 2 of the list (entering the region, then moving in it)
    // selects that line and asks for a redraw.
    mr.mouseMove(760, 768 - rowY(2), 0);
    EXPECT_EQ(list.selected(), first);
    mr.mouseMove(761, 768 - rowY(2), 0);
    EXPECT_EQ(list.selected(), first + 2);
    EXPECT_EQ(redraws(takeEvents()), 1);
    // A press on row 1 chooses it.
    mr.mouseDown(760, 768 - rowY(1), 0);
    EXPECT_EQ(list.selected(), first + 1);
    EXPECT_EQ(keyEvents(takeEvents()), (std::vector<KeyEv>{{true, SDLK_RETURN}}));
    mr.mouseUp(760, 768 - rowY(1), 0);
    // The up arrow pages up.
    mr.mouseDown(list.upArrowX() + 5, 768 - list.upArrowY() - 5, 0);
    EXPECT_EQ(keyEvents(takeEvents()), (std::vector<KeyEv>{{true, SDLK_PAGEUP}}));
}

// A wrapped line takes two rows of the page: the lines after it stop at the
// page's last row, and the arrows stay inside the list's rectangle.
TEST_F(ScrollScreenTest, WrappedLinesNeverRunPastThePage)
{
    CommonInterface_C& ci = blockFont();
    ScrollList_C list(&ci, 730, 980, 675, 575);   // page of 5, 25 characters a row
    list.addLine("aaaa bbbb cccc dddd eeee ffff", 0, true);   // two rows
    for (int i = 1; i < 10; ++i)
        list.addLine(("Entry " + std::to_string(i)).c_str(), i, true);
    clearScreen();
    list.draw(&ci);
    EXPECT_EQ(list.downArrowY(), 675 - 5 * 20);
    // Rows 0-1 are the wrapped line, rows 2-4 entries 1-3; nothing below.
    EXPECT_EQ(list.lineAtMouse(760, 768 - rowY(1)), 0);
    EXPECT_EQ(list.lineAtMouse(760, 768 - rowY(4)), 3);
    EXPECT_EQ(list.lineAtMouse(760, 768 - rowY(5)), -1);
    EXPECT_EQ(countNear(730, 575, 100, 17, black, 6), 0);   // no entry 4 on the arrows' row
}

TEST_F(ScrollScreenTest, PaneShowsItsLinesAndArrowsPageIt)
{
    CommonInterface_C& ci = blockFont();
    MouseRegions_C mr;
    ScrollPane_C pane(0, -1, -1, -1, -1);
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "word" + std::to_string(i) + " ";
    text += "\n#4red line";
    pane.addText(text.c_str(), &ci);
    ASSERT_EQ(pane.lineCount(), 10);
    EXPECT_EQ(pane.line(9), "#4red line");
    clearScreen();
    pane.drawPane(&ci, &mr);
    // Lines printed black from the top; no arrows (all lines fit).
    EXPECT_TRUE(vell_test::near(readPixel(733, rowY(0)), black, 6));
    EXPECT_TRUE(vell_test::near(readPixel(733, rowY(9)), red, 6));
    EXPECT_EQ(pane.downArrowX(), 0);
    EXPECT_EQ(mr.regionCount(), 0);

    for (int i = 0; i < 20; ++i)
        pane.addText(("more " + std::to_string(i)).c_str(), &ci);
    pane.lineDown();
    clearScreen();
    pane.drawPane(&ci, &mr);
    ASSERT_EQ(mr.regionCount(), 2);
    EXPECT_GT(countNear(880, pane.upArrowY(), 100, 17, arrows, 6), 0);
    takeEvents();
    mr.mouseDown(pane.downArrowX() + 3, 768 - pane.downArrowY() - 3, 0);
    mr.mouseUp(pane.downArrowX() + 3, 768 - pane.downArrowY() - 3, 0);
    mr.mouseDown(pane.upArrowX() + 3, 768 - pane.upArrowY() - 3, 0);
    EXPECT_EQ(keyEvents(takeEvents()), (std::vector<KeyEv>{{true, SDLK_PAGEDOWN}, {true, SDLK_PAGEUP}}));
}

// --- message box ------------------------------------------------------------------

class MessageBoxTest : public GuiFixture {};

int g_pictureDraws = 0;
void drawPicture()
{
    ++g_pictureDraws;
    glColor3f(0, 0, 1);
    glRecti(85, 297, 585, 697);
}

TEST_F(MessageBoxTest, ShowsTheTextAndWaitsForSpaceOrEscThenAsksForTheScreenUnderIt)
{
    CommonInterface_C& ci = blockFont();
    int clears = 0, rosters = 0;
    MessageBoxHost_S host;
    host.text = &ci;
    host.clearUR = [&](bool force) {
        EXPECT_FALSE(force);
        ++clears;
        glColor3f(1, 1, 1);
        glRecti(720, 300, 1000, 720);
    };
    host.drawCharText = [&] { ++rosters; };
    std::vector<int> textPixels, continuePixels, emptyPixels;
    Rgb picture;
    afterDisplay([&] {
        textPixels.push_back(countNear(730, urLineY(ci, 2), 250, 17, {0, 0, 0}, 6));
        continuePixels.push_back(countNear(730, urLineY(ci, 0), 250, 17, {0, 0, 0}, 6));
        emptyPixels.push_back(countNear(730, urLineY(ci, -3), 250, 17, {0, 0, 0}, 6));
        picture = readPixel(300, 500);
    });
    for (SDLKey leave : {SDLK_SPACE, SDLK_ESCAPE}) {
        g_pictureDraws = 0;
        textPixels.clear();
        for (SDLKey other : {SDLK_a, SDLK_RETURN, SDLK_y, SDLK_n})
            pushKey(other);   // other keys do nothing
        scriptKeys({leave});
        clearScreen(0.5f, 0.5f, 0.5f);
        messageBox(host, "The door is locked.", &drawPicture);
        // The screen under the box is asked to draw itself again.
        bool redrawAsked = false;
        for (const SDL_Event& ev : takeEvents())
            redrawAsked = redrawAsked || (ev.type == SDL_USEREVENT && ev.user.code == vell::kRedrawCode);
        EXPECT_TRUE(redrawAsked) << "the box leaves its text over the screen under it";
        ASSERT_FALSE(textPixels.empty());
        EXPECT_GT(textPixels.back(), 100);
        EXPECT_GT(continuePixels.back(), 200);
        EXPECT_EQ(emptyPixels.back(), 0);
        EXPECT_TRUE(vell_test::near(picture, {0, 0, 255}, 4));
        EXPECT_GE(g_pictureDraws, 1);
    }
    EXPECT_GE(clears, 2);
    EXPECT_GE(rosters, 2);
}

TEST_F(MessageBoxTest, ClickOnTheContinueLineCloses)
{
    CommonInterface_C& ci = blockFont();
    MouseRegions_C mr;
    MessageBoxHost_S host;
    host.text = &ci;
    host.regions = &mr;
    int expose = 0;
    host.drawBackground = [&] { ++expose; };
    bool clicked = false;
    afterDisplay([&] {
        if (!clicked) {
            clicked = true;
            pushExpose();
            // The continue line: GL y 335..355 is mouse y 413..433.
            pushMouseButton(800, 420, SDL_BUTTON_LEFT, true);
        }
    });
    messageBox(host, "Click to go on.", nullptr);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(expose, 2);   // frame, message, frame
    EXPECT_EQ(mr.regionCount(), 1);
    EXPECT_EQ(mr.region(0).key, SDLK_SPACE);
}

// --- picture cache on screen --------------------------------------------------------

class PicCacheScreenTest : public GuiFixture {
protected:
    static std::string fixture(const char* name)
    {
        std::ifstream in(std::string(VELL_TEST_FIXTURES) + "/piccache/" + name, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string writeScene()
    {
        PicFile_S p;
        p.width = 500;
        p.height = 400;
        p.texWidth = p.texHeight = 512;
        p.lowWidth = 250;
        p.lowHeight = 200;
        p.lowTexWidth = p.lowTexHeight = 256;
        p.highJpeg = fixture("red512.jpg");
        p.lowJpeg = fixture("green256.jpg");
        PicFileRegion_S r;
        r.x = 10;
        r.y = 20;
        r.width = r.height = 64;
        r.extraFrames = {fixture("blue64.jpg"), fixture("yellow64.jpg")};
        r.steps = {{1, 1, 0}, {2, 1, 0}};
        p.regions.push_back(r);
        const std::string pic = vell_test::tempPath("scene.pic");
        EXPECT_TRUE(PicCache_C::writePicFile(pic.c_str(), p));
        const std::string index = vell_test::tempPath("scene-index.dat");
        EXPECT_TRUE(PicCache_C::writeIndex(index.c_str(), {{0, "Scene", pic}}));
        return index;
    }
    void SetUp() override
    {
        GuiFixture::SetUp();
        gameConfig.texMode = 5;
    }
    // The region (10, 20, 64 x 64) of the picture at its place on screen.
    Rgb regionPixel() { return readPixel(85 + 40, 697 - 20 - 32); }
    Rgb outsidePixel() { return readPixel(85 + 300, 697 - 200); }
};

TEST_F(PicCacheScreenTest, RegionFramesAreDrawnIntoThePicture)
{
    PicCache_C cache;
    Uint32 clock = 1000;
    cache.setClock([&] { return clock; });
    ASSERT_TRUE(cache.loadIndex(writeScene().c_str()));
    ASSERT_EQ(cache.picSet("Scene"), 0);
    clearScreen();
    ASSERT_EQ(cache.draw(&blockFont()), 0);
    EXPECT_TRUE(vell_test::near(outsidePixel(), {200, 30, 30}, 16));
    EXPECT_TRUE(vell_test::near(regionPixel(), {30, 30, 200}, 16));
    // Nothing beyond the picture rectangle.
    EXPECT_TRUE(vell_test::near(readPixel(600, 500), {255, 255, 255}, 0));
    EXPECT_TRUE(vell_test::near(readPixel(300, 290), {255, 255, 255}, 0));

    clock += 100;
    EXPECT_TRUE(cache.animate(clock));
    clearScreen();
    cache.draw(&blockFont());
    EXPECT_TRUE(vell_test::near(regionPixel(), {200, 200, 30}, 16));
    EXPECT_TRUE(vell_test::near(outsidePixel(), {200, 30, 30}, 16));

    cache.picClear();
    EXPECT_EQ(cache.draw(&blockFont()), -1);
    cache.fini();
    cache.fini();
}

TEST_F(PicCacheScreenTest, TimerAnimatesTheCurrentPictureThroughRedrawRequests)
{
    PicCache_C cache;
    ASSERT_TRUE(cache.loadIndex(writeScene().c_str()));
    EXPECT_TRUE(cache.trimRunning());
    ASSERT_EQ(cache.picSet("Scene"), 0);
    ASSERT_TRUE(cache.animationRunning());
    const int timer = cache.animationTimer();
    ASSERT_EQ(cache.picSet("Scene"), 0);
    EXPECT_EQ(cache.animationTimer(), timer);   // not restarted

    // The loop draws on every redraw request; the timer sends them. Stop
    // once both frames have been seen on screen.
    int state = 1;
    bool sawBlue = false, sawYellow = false;
    ModalLoop_C loop(state, [](const SDL_keysym&) {},
                     [&] {
                         clearScreen();
                         cache.draw(&blockFont());
                     });
    afterDisplay([&] {
        const Rgb p = regionPixel();
        sawBlue = sawBlue || vell_test::near(p, {30, 30, 200}, 16);
        sawYellow = sawYellow || vell_test::near(p, {200, 200, 30}, 16);
        if (sawBlue && sawYellow)
            state = 0;
    });
    loop.run();
    EXPECT_TRUE(sawBlue);
    EXPECT_TRUE(sawYellow);

    cache.picClear();
    EXPECT_FALSE(cache.animationRunning());
    cache.fini();
    EXPECT_FALSE(cache.trimRunning());
    cache.fini();
}

TEST_F(PicCacheScreenTest, CachesDestroyedWhileTheirTimersRunLeaveNothingBehind)
{
    const std::string index = writeScene();
    for (int round = 0; round < 3; ++round) {
        auto cache = std::make_unique<PicCache_C>();
        ASSERT_TRUE(cache->loadIndex(index.c_str()));
        ASSERT_EQ(cache->picSet("Scene"), 0);
        // Wait for the timer's first redraw request, then destroy the cache
        // at once: a callback in flight must not reach it afterwards.
        SDL_Event ev;
        while (SDL_WaitEvent(&ev) && !(ev.type == SDL_USEREVENT && ev.user.code == vell::kRedrawCode)) {
        }
        if (round == 1)
            cache->fini();   // a second time in the destructor
        cache.reset();
    }
    SDL_Delay(250);   // a stray callback would run (and fault) in here
    drainEvents();
}

} // namespace
