#include "core/ScrollList.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/MouseRegions.h"
#include "core/ScrollArrows.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>

namespace {

int orDefault(int v, int dflt) { return v < 0 ? dflt : v; }

void setColour(const float rgb[3]) { glColor3f(rgb[0], rgb[1], rgb[2]); }

// Rows a text takes word-wrapped from x0 to maxX; a text that cannot be
// wrapped (a word wider than the column) is printed unwrapped, one row per
// line of its own.
int wrappedRows(const CommonInterface_C* ci, int x0, int maxX, const char* text)
{
    if (!ci)
        return 1;
    std::string copy(text ? text : "");
    int lines = 1;
    if (ci->wrapText(x0, maxX, copy, lines))
        return std::max(1, lines);
    return 1 + int(std::count(copy.begin(), copy.end(), '\n'));
}

// printFormat prints nothing for a text it cannot wrap; such a line is
// printed unwrapped instead of vanishing.
void printWrapped(CommonInterface_C* ci, int x, int y, const char* text, int maxX)
{
    std::string copy(text);
    int lines = 0;
    if (ci->wrapText(x, maxX, copy, lines))
        ci->printStr(x, y, copy.c_str());
    else
        ci->printStr(x, y, text);
}

} // namespace

// ---------------------------------------------------------------------------
void ListColours::selected(int level, float rgb[3])
{
    CommonInterface_C::escapeColour('2', level, rgb);
}

void ListColours::selectable(int, float rgb[3])
{
    rgb[0] = rgb[1] = rgb[2] = 0;
}

void ListColours::unselectable(int level, float rgb[3])
{
    CommonInterface_C::escapeColour('4', level, rgb);
}

void ListColours::line(int level, bool isSelectable, bool isSelected, float rgb[3])
{
    if (!isSelectable)
        unselectable(level, rgb);
    else if (isSelected)
        selected(level, rgb);
    else
        selectable(level, rgb);
}

void ListColours::arrows(float rgb[3])
{
    rgb[0] = 0.1f;
    rgb[1] = 0.2f;
    rgb[2] = 0.3f;
}

// ---------------------------------------------------------------------------
ScrollList_C::ScrollList_C(const CommonInterface_C* iface, int left, int right, int top, int bottom)
    : left_(orDefault(left, iface ? iface->getURLeft() : kURLeft)),
      right_(orDefault(right, iface ? iface->getURRight() : kURRight)),
      top_(orDefault(top, iface ? iface->getURFirstLine() : kURTop - kTextLineHeight)),
      bottom_(orDefault(bottom, iface ? iface->getURBottom() : kURBottom))
{
    if (iface) {
        lineHeight_ = std::max(1, iface->getLineHeight());
        screenHeight_ = iface->getHeight();
    }
    page_ = std::max(1, (top_ - bottom_) / lineHeight_);
}

bool ScrollList_C::addLine(const char* text, int value, bool selectable)
{
    ScrollLine_S line;
    line.text = text ? text : "";
    line.value = value;
    line.selectable = selectable;
    lines_.push_back(line);
    if (selectable && selected_ < 0)
        selected_ = forwardSelectable(0);
    return true;
}

int ScrollList_C::forwardSelectable(int from) const
{
    for (int i = std::max(0, from); i < getNumLines(); ++i)
        if (lines_[i].selectable)
            return i;
    return -1;
}

int ScrollList_C::backSelectable(int from) const
{
    for (int i = std::min(from, getNumLines() - 1); i >= 0; --i)
        if (lines_[i].selectable)
            return i;
    return -1;
}

bool ScrollList_C::lineDown()
{
    const int n = getNumLines();
    if (selected_ < 0 || selected_ >= n - 1)
        return false;
    const int oldS = selected_, oldF = first_;
    int s = forwardSelectable(selected_ + 1);
    if (s < 0)
        s = backSelectable(n - 1);
    selected_ = s;
    if (selected_ >= first_ + page_)
        first_ = selected_ - page_ + 1;
    return selected_ != oldS || first_ != oldF;
}

bool ScrollList_C::lineUp()
{
    if (selected_ < 1)
        return false;
    const int oldS = selected_, oldF = first_;
    int s = backSelectable(selected_ - 1);
    if (s < 0)
        s = forwardSelectable(0);
    selected_ = s;
    if (selected_ >= 0 && selected_ < first_)
        first_ = selected_;
    return selected_ != oldS || first_ != oldF;
}

bool ScrollList_C::pageDown()
{
    const int n = getNumLines();
    if (selected_ < 0 || selected_ >= n - 1)
        return false;
    const int oldS = selected_, oldF = first_;
    first_ = std::max(0, std::min(first_ + page_, n - page_));
    selected_ = backSelectable(std::min(selected_ + page_, n - 1));
    if (selected_ >= 0 && selected_ < first_)
        first_ = selected_;
    return selected_ != oldS || first_ != oldF;
}

bool ScrollList_C::pageUp()
{
    if (selected_ < 1)
        return false;
    const int oldS = selected_, oldF = first_;
    first_ = std::max(first_ - page_, 0);
    selected_ = forwardSelectable(std::max(selected_ - page_, 0));
    // Keep the selection inside the page (it would sit one line below it).
    if (selected_ >= first_ + page_)
        first_ = selected_ - page_ + 1;
    return selected_ != oldS || first_ != oldF;
}

int ScrollList_C::selectedValue() const
{
    return selected_ >= 0 && selected_ < getNumLines() ? lines_[selected_].value : 0;
}

RefStr_C ScrollList_C::selectedText() const
{
    return selected_ >= 0 && selected_ < getNumLines() ? lines_[selected_].text : RefStr_C();
}

const char* ScrollList_C::lineText(int index) const
{
    return index >= 0 && index < getNumLines() ? lines_[index].text.c_str() : nullptr;
}

void ScrollList_C::draw(CommonInterface_C* iface, MouseRegions_C* regions)
{
    if (!iface)
        return;
    lineHeight_ = std::max(1, iface->getLineHeight());
    screenHeight_ = iface->getHeight();
    const int level = iface->getTextLevel();
    drawnRows_.clear();
    int y = top_;
    int i = first_;
    // No line starts below the page's last row, so wrapped lines never push
    // the list (and its arrows) past the bottom.
    const int lastRowY = top_ - (page_ - 1) * lineHeight_;
    for (; i < getNumLines() && i < first_ + page_ && y >= lastRowY; ++i) {
        const ScrollLine_S& line = lines_[i];
        float rgb[3];
        ListColours::line(level, line.selectable, i == selected_, rgb);
        setColour(rgb);
        printWrapped(iface, left_, y, line.text.c_str(), right_);
        const int rows = wrappedRows(iface, left_, right_, line.text.c_str());
        drawnRows_.push_back(rows);
        y -= rows * lineHeight_;
    }
    arrows_.draw(iface, regions, right_, y, first_ > 0, i < getNumLines(), &ScrollList_C::mouseCallback, this);
}

int ScrollList_C::lineAtMouse(int x, int y) const
{
    if (x < left_ || x >= right_)
        return -1;
    const int glY = screenHeight_ - y;
    // Row 0 is the band from the first baseline up one line height.
    const int fromTop = top_ + lineHeight_ - glY;
    if (fromTop < 0)
        return -1;
    int row = fromTop / lineHeight_;
    for (size_t k = 0; k < drawnRows_.size(); ++k) {
        if (row < drawnRows_[k])
            return first_ + int(k);
        row -= drawnRows_[k];
    }
    return -1;
}

void ScrollList_C::mouseCallback(void* data, int x, int y, int mode)
{
    auto* list = static_cast<ScrollList_C*>(data);
    if (!list || mode == 1)
        return;
    if (mode == 0 && list->arrows_.press(x, y, list->screenHeight_, list->lineHeight_))
        return;
    const int i = list->lineAtMouse(x, y);
    if (i < 0 || !list->lines_[i].selectable)
        return;
    if (mode == 0) {
        list->selected_ = i;
        vell::pushKeyEvent(SDLK_RETURN, true);
    } else if (mode == 2 && list->selected_ != i) {
        list->selected_ = i;
        vell::pushRedraw();
    }
}

// ---------------------------------------------------------------------------
ScrollInvList_C::ScrollInvList_C(int left, int right, int top, int bottom, int indent, int priceWidth, int)
    : ScrollInvList_C(nullptr, left, right, top, bottom, indent, priceWidth)
{
}

ScrollInvList_C::ScrollInvList_C(const CommonInterface_C* text, int left, int right, int top, int bottom,
                                 int indent, int priceWidth)
    : text_(text),
      left_(orDefault(left, text ? text->getURLeft() : kURLeft)),
      right_(orDefault(right, text ? text->getURRight() : kURRight)),
      top_(orDefault(top, text ? text->getURFirstLine() : kURTop - kTextLineHeight)),
      bottom_(orDefault(bottom, text ? text->getURBottom() : kURBottom)),
      indent_(std::max(0, indent)),
      priceWidth_(std::max(0, priceWidth))
{
    if (text) {
        lineHeight_ = std::max(1, text->getLineHeight());
        screenHeight_ = text->getHeight();
    }
    rows_ = std::max(1, (top_ - bottom_) / lineHeight_);
}

int ScrollInvList_C::measure(const char* text) const
{
    return wrappedRows(text_, left_ + indent_, right_ - priceWidth_, text);
}

void ScrollInvList_C::remeasure(const CommonInterface_C* text)
{
    text_ = text;
    for (InvLine_S& l : lines_)
        l.height = measure(l.text.c_str());
    if (selected_ >= 0)
        select(selected_);
    else
        fitAround(first_);
}

bool ScrollInvList_C::addLine(const char* text, int value, int tag, bool selectable, int price)
{
    InvLine_S line;
    line.text = text ? text : "";
    line.value = value;
    line.tag = tag;
    line.selectable = selectable;
    line.price = price < 0 ? 0 : uint32_t(price);
    line.height = measure(line.text.c_str());
    lines_.push_back(line);
    if (selectable && selected_ < 0)
        selected_ = getNumLines() - 1;
    if (selected_ >= 0)
        select(selected_);
    else
        fitAround(first_);
    return true;
}

int ScrollInvList_C::rowsBetween(int from, int to) const
{
    int rows = 0;
    for (int i = from; i <= to; ++i)
        rows += lines_[i].height;
    return rows;
}

void ScrollInvList_C::fitAround(int index)
{
    const int n = getNumLines();
    if (n == 0) {
        first_ = 0;
        last_ = -1;
        return;
    }
    index = std::max(0, std::min(index, n - 1));
    int lo = index, hi = index;
    int rows = lines_[index].height;
    bool grew = true;
    while (grew) {
        grew = false;
        if (hi + 1 < n && rows + lines_[hi + 1].height <= rows_) {
            rows += lines_[++hi].height;
            grew = true;
        }
        if (lo > 0 && rows + lines_[lo - 1].height <= rows_) {
            rows += lines_[--lo].height;
            grew = true;
        }
    }
    first_ = lo;
    last_ = hi;
}

namespace {

// The first selectable line from `from` towards `to` (both included) in
// steps of step (1 or -1); -1 for none.
int findSelectable(const std::vector<InvLine_S>& lines, int from, int to, int step)
{
    for (int i = from; step > 0 ? i <= to : i >= to; i += step)
        if (lines[i].selectable)
            return i;
    return -1;
}

// The last line that fits in rowsAvail rows from `first` down (first itself
// when even it does not fit).
int lastFitting(const std::vector<InvLine_S>& lines, int rowsAvail, int first)
{
    const int n = int(lines.size());
    int rows = 0;
    int last = first - 1;
    while (last + 1 < n && rows + lines[last + 1].height <= rowsAvail)
        rows += lines[++last].height;
    return std::max(last, first);
}

// The first line of a view that ends with `last` and fills rowsAvail rows as
// far as the lines above allow.
int firstFitting(const std::vector<InvLine_S>& lines, int rowsAvail, int last)
{
    int rows = lines[last].height;
    int first = last;
    while (first > 0 && rows + lines[first - 1].height <= rowsAvail)
        rows += lines[--first].height;
    return first;
}

// Scrolls so that line s is visible: above the view it becomes the first
// line, below it the last one; the other end is filled as far as rows allow.
void scrollInto(const std::vector<InvLine_S>& lines, int rowsAvail, int s, int& first, int& last)
{
    if (s < first) {
        first = s;
        last = lastFitting(lines, rowsAvail, first);
    } else if (s > last) {
        last = s;
        first = firstFitting(lines, rowsAvail, s);
        if (first == 0)
            last = lastFitting(lines, rowsAvail, first);
    }
}

} // namespace

int ScrollInvList_C::selectableInView(int s) const
{
    const int pick = findSelectable(lines_, s, last_, 1);
    return pick >= 0 ? pick : findSelectable(lines_, s - 1, first_, -1);
}

void ScrollInvList_C::selectInPage(int offset)
{
    const int pick = selectableInView(std::min(first_ + offset, last_));
    if (pick >= 0)
        selected_ = pick;
    else
        scrollInto(lines_, rows_, selected_, first_, last_);
}

bool ScrollInvList_C::select(int index)
{
    if (index < 0 || index >= getNumLines())
        return false;
    selected_ = index;
    fitAround(index);
    if (!lines_[selected_].selectable)
        selected_ = selectableInView(selected_ + 1); // the line itself is not selectable
    return true;
}

bool ScrollInvList_C::lineDown()
{
    const int n = getNumLines();
    if (selected_ < 0 || selected_ >= n - 1)
        return false;
    const int s = findSelectable(lines_, selected_ + 1, n - 1, 1);
    if (s < 0)
        return false;
    selected_ = s;
    scrollInto(lines_, rows_, s, first_, last_);
    return true;
}

bool ScrollInvList_C::lineUp()
{
    if (selected_ < 1)
        return false;
    const int s = findSelectable(lines_, selected_ - 1, 0, -1);
    if (s < 0)
        return false;
    selected_ = s;
    scrollInto(lines_, rows_, s, first_, last_);
    return true;
}

bool ScrollInvList_C::pageDown()
{
    const int n = getNumLines();
    if (selected_ < 0 || n == 0)
        return false;
    if (last_ >= n - 1) {
        // The end is in view: take the last selectable line.
        const int s = findSelectable(lines_, n - 1, selected_ + 1, -1);
        if (s < 0)
            return false;
        selected_ = s;
        return true;
    }
    const int offset = selected_ - first_;
    // Down by a view, but no further than the lowest first line that still
    // fills the view.
    first_ = std::min(last_ + 1, firstFitting(lines_, rows_, n - 1));
    last_ = lastFitting(lines_, rows_, first_);
    selectInPage(offset);
    return true;
}

bool ScrollInvList_C::pageUp()
{
    if (selected_ < 1)
        return false;
    if (first_ == 0) {
        const int s = findSelectable(lines_, 0, selected_ - 1, 1);
        if (s < 0)
            return false;
        selected_ = s;
        return true;
    }
    const int offset = selected_ - first_;
    // The view that ends just above the current one.
    last_ = first_ - 1;
    first_ = firstFitting(lines_, rows_, last_);
    if (first_ == 0)
        last_ = lastFitting(lines_, rows_, first_);
    selectInPage(offset);
    return true;
}

int ScrollInvList_C::selectedItem() const
{
    return selected_ >= 0 && selected_ < getNumLines() ? lines_[selected_].value : 0;
}

const char* ScrollInvList_C::selectedText() const
{
    return selected_ >= 0 && selected_ < getNumLines() ? lines_[selected_].text.c_str() : nullptr;
}

const InvLine_S* ScrollInvList_C::lineAt(int index) const
{
    return index >= 0 && index < getNumLines() ? &lines_[index] : nullptr;
}

std::string ScrollInvList_C::priceText(uint32_t price)
{
    char buf[16];
    if (price > 999999)
        return "LOTS";
    if (price > 9999)
        std::snprintf(buf, sizeof buf, "%uk", unsigned(price / 1000));
    else
        std::snprintf(buf, sizeof buf, "%u", unsigned(price));
    return buf;
}

void ScrollInvList_C::draw(CommonInterface_C* iface, MouseRegions_C* regions)
{
    if (!iface)
        return;
    if (iface != text_)
        remeasure(iface);
    lineHeight_ = std::max(1, iface->getLineHeight());
    screenHeight_ = iface->getHeight();
    const int level = iface->getTextLevel();
    int y = top_;
    for (int i = first_; i <= last_ && i < getNumLines(); ++i) {
        const InvLine_S& line = lines_[i];
        float rgb[3];
        ListColours::line(level, line.selectable, i == selected_, rgb);
        setColour(rgb);
        if (line.tag > 0 && line.tag < 256 && line.tag != '#') {
            const char tag[2] = {char(line.tag), 0};
            iface->printStr(left_, y, tag);
        }
        printWrapped(iface, left_ + indent_, y, line.text.c_str(), right_ - priceWidth_);
        if (priceWidth_ > 0) {
            const std::string p = priceText(line.price);
            setColour(rgb);
            iface->printStr(right_ - iface->widthStr(p.c_str()), y, p.c_str());
        }
        y -= line.height * lineHeight_;
    }
    arrows_.draw(iface, regions, right_, y, first_ > 0, last_ < getNumLines() - 1, &ScrollInvList_C::mouseCallback,
                 this);
}

int ScrollInvList_C::lineAtMouse(int x, int y) const
{
    if (x < left_ || x >= right_)
        return -1;
    const int fromTop = top_ + lineHeight_ - (screenHeight_ - y);
    if (fromTop < 0)
        return -1;
    int row = fromTop / lineHeight_;
    for (int i = first_; i <= last_ && i < getNumLines(); ++i) {
        if (row < lines_[i].height)
            return i;
        row -= lines_[i].height;
    }
    return -1;
}

void ScrollInvList_C::mouseCallback(void* data, int x, int y, int mode)
{
    auto* list = static_cast<ScrollInvList_C*>(data);
    if (!list || mode != 0)
        return;
    if (list->arrows_.press(x, y, list->screenHeight_, list->lineHeight_))
        return;
    const int i = list->lineAtMouse(x, y);
    if (i < 0 || !list->lines_[i].selectable)
        return;
    list->selected_ = i;
    vell::pushRedraw();
    vell::pushKeyEvent(SDLK_RETURN, true);
}
