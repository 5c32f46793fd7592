#include "core/ScrollPane.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/MouseRegions.h"

#include <GL/gl.h>
#include <algorithm>

namespace {

int orDefault(int v, int dflt) { return v < 0 ? dflt : v; }

bool isColourDigit(char c) { return c >= '0' && c <= '5'; }

} // namespace

ScrollPane_C::ScrollPane_C(int fixedLines, int left, int right, int top, int bottom)
    : fixed_(fixedLines != 0),
      left_(orDefault(left, kURLeft)),
      right_(orDefault(right, kURRight)),
      top_(orDefault(top, kURTop - kTextLineHeight)),
      bottom_(orDefault(bottom, kURBottom))
{
    page_ = std::max(1, (top_ - bottom_) / lineHeight_);
    if (fixed_)
        clearLines();
}

void ScrollPane_C::clearLines()
{
    lines_.clear();
    current_ = 0;
    if (fixed_)
        lines_.assign(size_t(page_) + 1, std::string());
}

void ScrollPane_C::pushLine(std::string line)
{
    lines_.push_back(std::move(line));
    if (fixed_ && !lines_.empty())
        lines_.pop_front();
}

bool ScrollPane_C::addText(const char* text, const CommonInterface_C* iface)
{
    if (!text)
        text = "";
    const int width = right_ - left_;
    std::string line;
    int pen = 0;
    size_t lastBlank = std::string::npos;   // position of the last blank in line
    char colour = '0';                      // colour in force
    char colourAtBlank = '0';
    int pushed = 0;

    auto startLine = [&](char c) {
        line.clear();
        if (c != '0') {
            line += '#';
            line += c;
        }
        pen = 0;
        lastBlank = std::string::npos;
    };
    auto widthOf = [&](const std::string& s) { return iface ? iface->widthStr(s.c_str()) : 0; };

    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '\n') {
            pushLine(line);
            ++pushed;
            colour = '0';
            startLine(colour);
            continue;
        }
        if (c == '#') {
            if (!p[1])
                break;
            line += c;
            line += p[1];
            if (isColourDigit(p[1]))
                colour = p[1];
            ++p;
            continue;
        }
        const int adv = iface ? iface->advance(static_cast<unsigned char>(c)) : 0;
        if (adv == 0)
            continue;   // no glyph: dropped
        if (pen + adv > width) {
            if (c == ' ') {
                pushLine(line);
                ++pushed;
                startLine(colour);
                continue;   // the blank is the break and is dropped
            }
            if (lastBlank != std::string::npos) {
                std::string rest = line.substr(lastBlank + 1);
                line.erase(lastBlank);
                pushLine(line);
                ++pushed;
                startLine(colourAtBlank);
                line += rest;
                pen = widthOf(line);
            } else {
                pushLine(line);
                ++pushed;
                startLine(colour);
            }
        }
        if (c == ' ') {
            lastBlank = line.size();
            colourAtBlank = colour;
        }
        line += c;
        pen += adv;
    }
    const bool onlyEscape = line.size() == 2 && line[0] == '#';
    if ((!line.empty() && !onlyEscape) || pushed == 0)
        pushLine(line);
    return true;
}

bool ScrollPane_C::lineUp()
{
    if (fixed_ || current_ == 0)
        return false;
    --current_;
    return true;
}

bool ScrollPane_C::lineDown()
{
    if (fixed_)
        return false;
    const size_t below = lines_.size() - current_ - 1;
    if (lines_.empty() || below < size_t(page_) + 1)
        return false;
    ++current_;
    return true;
}

bool ScrollPane_C::pageUp()
{
    if (fixed_ || current_ == 0)
        return false;
    for (int i = 0; i < page_ && current_ > 0; ++i)
        --current_;
    return true;
}

bool ScrollPane_C::pageDown()
{
    if (fixed_)
        return false;
    for (int i = 0; i < page_ + 1; ++i)
        if (!lineDown())
            break;
    return true;
}

bool ScrollPane_C::home()
{
    if (fixed_)
        return false;
    current_ = 0;
    return true;
}

bool ScrollPane_C::end()
{
    if (fixed_)
        return false;
    while (lineDown()) {
    }
    return true;
}

void ScrollPane_C::drawPane(CommonInterface_C* iface, MouseRegions_C* regions)
{
    arrows_ = ScrollArrows_S();
    if (!iface)
        return;
    lineHeight_ = std::max(1, iface->getLineHeight());
    screenHeight_ = iface->getHeight();
    int y = top_;
    size_t i = current_;
    for (; i < lines_.size() && y >= bottom_; ++i, y -= lineHeight_) {
        glColor3f(0, 0, 0);
        iface->printStr(left_, y, lines_[i].c_str());
    }
    arrows_.draw(iface, regions, right_, y, current_ > 0, i < lines_.size(), &ScrollPane_C::mousecallback, this);
}

void ScrollPane_C::mousecallback(void* data, int x, int y, int mode)
{
    auto* pane = static_cast<ScrollPane_C*>(data);
    if (!pane || mode != 0)
        return;
    pane->arrows_.press(x, y, pane->screenHeight_, pane->lineHeight_);
}

// ---------------------------------------------------------------------------
int urLineY(const CommonInterface_C& text, int n)
{
    const int lh = text.getLineHeight() > 0 ? text.getLineHeight() : kTextLineHeight;
    return n > 0 ? text.getURTop() - n * lh : text.getURBottom() - n * lh;
}

void messageBox(const MessageBoxHost_S& host, const char* text, void (*redraw)())
{
    CommonInterface_C* ci = host.text;
    if (!ci)
        return;
    int state = 1;
    auto display = [&] {
        if (host.regions) {
            host.regions->clear();
            int mx = 0, my = 0;
            SDL_GetMouseState(&mx, &my);
            host.regions->mouseMove(mx, my, 1);
        }
        if (host.clearUR)
            host.clearUR(false);
        if (redraw)
            redraw();
        if (host.drawCharText)
            host.drawCharText();
        glColor3f(0, 0, 0);
        ci->printFormat(ci->getURLeft(), urLineY(*ci, 2), text ? text : "", ci->getURRight());
        glColor3f(0, 0, 0);
        const int y0 = urLineY(*ci, 0);
        ci->printStr(ci->getURLeft(), y0, "(SPACE) to Continue");
        if (host.regions)
            host.regions->addRegion(ci->getURLeft(), ci->getHeight() - y0 - ci->getLineHeight(),
                                    ci->getURRight() - ci->getURLeft(), ci->getLineHeight(), SDLK_SPACE, 1);
    };
    ModalLoop_C loop(state,
                     [&](const SDL_keysym& k) {
                         if (k.sym == SDLK_SPACE || k.sym == SDLK_ESCAPE)
                             state = 0;
                     },
                     display);
    loop.setMouse(host.regions);
    if (host.drawBackground)
        loop.setFrame(host.drawBackground);
    loop.run();
    // The box took every redraw that came while it stood, the caller's own
    // among them: the screen under it is asked for again.
    if (!vell::quitRequested())
        vell::pushRedraw();
}
