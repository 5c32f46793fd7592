// Scroll lists and the text pane as state: selection, paging, wrapping.
// A block font (every glyph 8 pixels wide, advance 10) makes widths exact.
#include "core/CommonInterface.h"
#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace {

const CommonInterface_C& blockFont()
{
    static CommonInterface_C* ci = [] {
        const std::string path = vell_test::tempPath("block.fot");
        EXPECT_TRUE(vell_test::writeBlockFont(path));
        return new CommonInterface_C(1024, 768, path.c_str());
    }();
    return *ci;
}

// A list of n lines "L0".."Ln-1", selectable unless listed, page of `page`.
ScrollList_C makeList(int n, int page, std::vector<int> unselectable = {})
{
    ScrollList_C list(nullptr, 730, 980, 675, 675 - page * 20);
    for (int i = 0; i < n; ++i) {
        const bool sel = std::find(unselectable.begin(), unselectable.end(), i) == unselectable.end();
        list.addLine(("L" + std::to_string(i)).c_str(), 100 + i, sel);
    }
    return list;
}

TEST(ScrollListTest, DefaultsTakeTheUpperRightPane)
{
    ScrollList_C list(&blockFont(), -1, -1, -1, -1);
    EXPECT_EQ(list.getLeft(), 730);
    EXPECT_EQ(list.getRight(), 980);
    EXPECT_EQ(list.getTop(), 675);
    EXPECT_EQ(list.getBottom(), 335);
    EXPECT_EQ(list.pageSize(), 17);
    EXPECT_EQ(list.selectedValue(), 0);
    EXPECT_STREQ(list.selectedText().c_str(), "");
    EXPECT_EQ(list.lineText(0), nullptr);
}

TEST(ScrollListTest, FirstSelectableLineIsChosenAndMovesStopAtTheEnds)
{
    ScrollList_C list = makeList(3, 5, {0});
    EXPECT_EQ(list.selected(), 1);
    EXPECT_EQ(list.selectedValue(), 101);
    EXPECT_TRUE(list.lineDown());
    EXPECT_EQ(list.selected(), 2);
    EXPECT_FALSE(list.lineDown());
    EXPECT_TRUE(list.lineUp());
    EXPECT_EQ(list.selected(), 1);
    // Nothing selectable above: back to the first selectable line, no change.
    EXPECT_FALSE(list.lineUp());
    EXPECT_EQ(list.selected(), 1);
    EXPECT_STREQ(list.selectedText().c_str(), "L1");
}

TEST(ScrollListTest, AllUnselectableHasNoSelectionAndNoMoves)
{
    ScrollList_C list = makeList(4, 2, {0, 1, 2, 3});
    EXPECT_EQ(list.selected(), -1);
    EXPECT_FALSE(list.lineDown());
    EXPECT_FALSE(list.lineUp());
    EXPECT_FALSE(list.pageDown());
    EXPECT_FALSE(list.pageUp());
    EXPECT_EQ(list.selectedValue(), 0);
}

TEST(ScrollListTest, PagingMovesViewAndSelectionTogether)
{
    ScrollList_C list = makeList(12, 5);
    struct Step {
        bool (ScrollList_C::*move)();
        bool result;
        int selected, first;
    };
    const Step steps[] = {
        {&ScrollList_C::pageDown, true, 5, 5},   // shows 5-9
        {&ScrollList_C::pageDown, true, 10, 7},  // shows 7-11
        {&ScrollList_C::pageDown, true, 11, 7},
        {&ScrollList_C::pageDown, false, 11, 7}, // at the last line
        {&ScrollList_C::pageUp, true, 6, 2},
        {&ScrollList_C::lineUp, true, 5, 2},
        {&ScrollList_C::pageUp, true, 0, 0},
        {&ScrollList_C::pageUp, false, 0, 0},
        {&ScrollList_C::lineDown, true, 1, 0},
    };
    for (const Step& s : steps) {
        EXPECT_EQ((list.*s.move)(), s.result);
        EXPECT_EQ(list.selected(), s.selected);
        EXPECT_EQ(list.firstVisible(), s.first);
        // The selection is always inside the page.
        EXPECT_GE(list.selected(), list.firstVisible());
        EXPECT_LT(list.selected(), list.firstVisible() + list.pageSize());
    }
    for (int i = 0; i < 8; ++i)
        list.lineDown();
    EXPECT_EQ(list.selected(), 9);
    EXPECT_EQ(list.firstVisible(), 5);
}

TEST(ScrollListTest, PagingSkipsUnselectableLines)
{
    ScrollList_C list = makeList(12, 5, {5, 6, 10});
    EXPECT_TRUE(list.pageDown());   // 5 is a heading: back to 4
    EXPECT_EQ(list.selected(), 4);
    EXPECT_EQ(list.firstVisible(), 4);
    EXPECT_TRUE(list.lineDown());   // over 5 and 6
    EXPECT_EQ(list.selected(), 7);
    EXPECT_TRUE(list.pageDown());
    EXPECT_EQ(list.selected(), 11);
    EXPECT_TRUE(list.pageUp());     // 6 is a heading: forward to 7
    EXPECT_EQ(list.selected(), 7);
    EXPECT_LE(list.firstVisible(), 7);
    EXPECT_GT(list.firstVisible() + list.pageSize(), 7);
}

// --- ScrollInvList_C ---------------------------------------------------------

TEST(ScrollInvListTest, PricesShowInThreeForms)
{
    struct Case {
        uint32_t price;
        const char* shown;
    };
    for (const Case& c : {Case{0, "0"}, Case{9999, "9999"}, Case{10000, "10k"}, Case{12345, "12k"},
                          Case{999999, "999k"}, Case{1000000, "LOTS"}})
        EXPECT_EQ(ScrollInvList_C::priceText(c.price), c.shown) << c.price;
}

TEST(ScrollInvListTest, LinesTakeTheRowsOfTheirWrappedText)
{
    // Text column 760..930: 17 characters of 10 pixels.
    ScrollInvList_C list(&blockFont(), 730, 980, 675, 575, 30, 50);
    EXPECT_EQ(list.visibleRows(), 5);
    list.addLine("Sword", 1, 'a', true, 10);
    list.addLine("Long Bow of the Northern Wind", 2, 'b', true, 20);   // 2 rows
    list.addLine("Waterlogged_rope_of_no_use", 3, 64, false, 0);      // no blank: 1 row
    EXPECT_EQ(list.lineAt(0)->height, 1);
    EXPECT_EQ(list.lineAt(1)->height, 2);
    EXPECT_EQ(list.lineAt(2)->height, 1);
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.selectedItem(), 1);
    EXPECT_STREQ(list.selectedText(), "Sword");
    EXPECT_EQ(list.lastVisible(), 2);
    EXPECT_EQ(list.lineAt(3), nullptr);
}

TEST(ScrollInvListTest, MovesKeepTheSelectionInView)
{
    ScrollInvList_C list(&blockFont(), 730, 980, 675, 575, 30, 0);   // 5 rows
    for (int i = 0; i < 12; ++i)
        list.addLine(("Item " + std::to_string(i)).c_str(), 10 + i, 0, i != 3, 0);
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.firstVisible(), 0);
    EXPECT_EQ(list.lastVisible(), 4);
    for (int expect : {1, 2, 4, 5}) {
        EXPECT_TRUE(list.lineDown());
        EXPECT_EQ(list.selected(), expect);
    }
    EXPECT_EQ(list.lastVisible(), 5);
    EXPECT_EQ(list.firstVisible(), 1);
    EXPECT_TRUE(list.pageDown());   // a pane further, same place in the view
    EXPECT_EQ(list.firstVisible(), 6);
    EXPECT_EQ(list.selected(), 10);
    EXPECT_TRUE(list.pageDown());   // the end is in view: the last line
    EXPECT_EQ(list.selected(), 11);
    EXPECT_FALSE(list.pageDown());
    EXPECT_FALSE(list.lineDown());
    EXPECT_TRUE(list.pageUp());
    EXPECT_GE(list.selected(), list.firstVisible());
    EXPECT_LE(list.selected(), list.lastVisible());
    while (list.pageUp()) {
    }
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.firstVisible(), 0);
    EXPECT_FALSE(list.lineUp());

    EXPECT_TRUE(list.select(11));
    EXPECT_EQ(list.lastVisible(), 11);
    EXPECT_TRUE(list.select(3));     // a heading: the next selectable line in view
    EXPECT_EQ(list.selected(), 4);
    EXPECT_FALSE(list.select(12));
    EXPECT_FALSE(list.select(-1));
}

TEST(ScrollInvListTest, EmptyListSelectsNothing)
{
    ScrollInvList_C list(-1, -1, -1, -1, 20, 40);
    EXPECT_EQ(list.selectedItem(), 0);
    EXPECT_EQ(list.selectedText(), nullptr);
    EXPECT_FALSE(list.lineDown());
    EXPECT_FALSE(list.pageUp());
    EXPECT_FALSE(list.pageDown());
    list.addLine("Heading", 0, 0, false, 0);
    EXPECT_EQ(list.selectedText(), nullptr);
}

// --- ScrollPane_C ------------------------------------------------------------

std::vector<std::string> paneLines(const ScrollPane_C& p)
{
    std::vector<std::string> out;
    for (int i = 0; i < p.lineCount(); ++i)
        out.push_back(p.line(i));
    return out;
}

TEST(ScrollPaneTest, WrapsAtTheLastBlankAndCarriesTheColour)
{
    // 100 pixels: 10 characters a line.
    ScrollPane_C pane(0, 0, 100, 200, 100);
    pane.addText("one two three #2four five six\nseven", &blockFont());
    EXPECT_EQ(paneLines(pane),
              (std::vector<std::string>{"one two", "three #2four", "#2five six", "seven"}));
    pane.clearLines();
    EXPECT_EQ(pane.lineCount(), 0);
    pane.addText("", &blockFont());
    EXPECT_EQ(paneLines(pane), (std::vector<std::string>{""}));
}

TEST(ScrollPaneTest, WordWiderThanThePaneBreaksWithoutLosingCharacters)
{
    ScrollPane_C pane(0, 0, 100, 200, 100);
    pane.addText("abcdefghijklmnopqrstuvwxy z", &blockFont());
    EXPECT_EQ(paneLines(pane), (std::vector<std::string>{"abcdefghij", "klmnopqrst", "uvwxy z"}));
    // Characters without a glyph are dropped; a blank exactly at the edge is
    // the break.
    pane.clearLines();
    pane.addText("abcdefghij klm\x01n", &blockFont());
    EXPECT_EQ(paneLines(pane), (std::vector<std::string>{"abcdefghij", "klmn"}));
}

TEST(ScrollPaneTest, ScrollingKeepsTheLastPageFull)
{
    ScrollPane_C pane(0, 0, 200, 200, 100);   // page of 5
    ASSERT_EQ(pane.pageSize(), 5);
    for (int i = 0; i < 6; ++i)
        pane.addText(("line " + std::to_string(i)).c_str(), &blockFont());
    // page + 1 lines fit: nothing to scroll.
    EXPECT_FALSE(pane.lineDown());
    EXPECT_FALSE(pane.lineUp());
    EXPECT_FALSE(pane.pageUp());
    pane.addText("line 6\nline 7", &blockFont());   // page + 3 lines
    EXPECT_TRUE(pane.end());
    EXPECT_EQ(pane.currentLine(), 2);
    EXPECT_FALSE(pane.lineDown());
    EXPECT_TRUE(pane.lineUp());
    EXPECT_EQ(pane.currentLine(), 1);
    EXPECT_TRUE(pane.pageDown());
    EXPECT_EQ(pane.currentLine(), 2);
    EXPECT_TRUE(pane.pageUp());
    EXPECT_EQ(pane.currentLine(), 0);
    EXPECT_FALSE(pane.pageUp());
    EXPECT_TRUE(pane.end());
    EXPECT_TRUE(pane.home());
    EXPECT_EQ(pane.currentLine(), 0);
}

TEST(ScrollPaneTest, FixedLinesShowTheLatestAndNeverScroll)
{
    ScrollPane_C pane(1, 0, 200, 200, 100);   // page 5: 6 lines
    EXPECT_EQ(pane.lineCount(), 6);
    for (int i = 0; i < 9; ++i)
        pane.addText(("msg " + std::to_string(i)).c_str(), &blockFont());
    EXPECT_EQ(pane.lineCount(), 6);
    EXPECT_EQ(pane.line(0), "msg 3");
    EXPECT_EQ(pane.line(5), "msg 8");
    for (bool (ScrollPane_C::*move)() : {&ScrollPane_C::lineUp, &ScrollPane_C::lineDown, &ScrollPane_C::pageUp,
                                         &ScrollPane_C::pageDown, &ScrollPane_C::home, &ScrollPane_C::end})
        EXPECT_FALSE((pane.*move)());
    // Clearing keeps the log's shape, so new lines still show.
    pane.clearLines();
    EXPECT_EQ(pane.lineCount(), 6);
    pane.addText("after", &blockFont());
    EXPECT_EQ(pane.line(5), "after");
}

} // namespace
