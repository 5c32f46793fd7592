#include "core/ScrollArrows.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"

#include <GL/gl.h>
#include <string>

namespace {
constexpr char kUpGlyph = 16;
constexpr char kDownGlyph = 17;
} // namespace

void ScrollArrows_S::draw(CommonInterface_C* ci, MouseRegions_C* regions, int right, int y, bool up, bool down,
                          MouseCallback cb, void* data)
{
    upX = upY = downX = downY = 0;
    if (!up && !down)
        return;
    std::string group = "( ";
    if (up)
        group += kUpGlyph;
    if (down) {
        group += ' ';
        group += kDownGlyph;
    }
    group += " )";
    float rgb[3];
    ListColours::arrows(rgb);
    glColor3f(rgb[0], rgb[1], rgb[2]);
    ci->printStr(right - 100, y, group.c_str());
    if (up) {
        upX = right - 85;
        upY = y;
    }
    if (down) {
        downX = up ? right - 60 : right - 85;
        downY = y;
    }
    if (!regions)
        return;
    const int h = ci->getHeight();
    if (up)
        regions->addRegion(upX, h - upY - kBox, kBox, kBox, SDLK_RETURN, 1, cb, data);
    if (down)
        regions->addRegion(downX, h - downY - kBox, kBox, kBox, SDLK_RETURN, 1, cb, data);
}

int ScrollArrows_S::hit(int x, int mouseY, int screenHeight, int lineHeight) const
{
    const int glY = screenHeight - mouseY;
    auto on = [&](int ax, int ay) { return ax != 0 && x >= ax && x < ax + kBox && glY >= ay && glY < ay + lineHeight; };
    if (on(upX, upY))
        return -1;
    if (on(downX, downY))
        return 1;
    return 0;
}

bool ScrollArrows_S::press(int x, int mouseY, int screenHeight, int lineHeight) const
{
    const int arrow = hit(x, mouseY, screenHeight, lineHeight);
    if (arrow)
        vell::pushKeyEvent(arrow < 0 ? SDLK_PAGEUP : SDLK_PAGEDOWN, true);
    return arrow != 0;
}
