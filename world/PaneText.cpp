#include "world/PaneText.h"

#include "core/CommonInterface.h"
#include "core/MemberKeys.h"
#include "core/MouseRegions.h"
#include "core/ScrollPane.h"
#include "rules/Party.h"
#include "world/Interface.h"

#include <GL/gl.h>
#include <SDL.h>

PaneText_C::PaneText_C(Interface_C& iface)
    : iface_(iface), text_(iface.text()), regions_(iface.getMouseRegions()),
      left_(iface.layout().upperRight.left), right_(iface.layout().upperRight.right),
      lineHeight_(iface.text().getLineHeight()), screenHeight_(iface.text().getHeight())
{
}

int PaneText_C::lineY(int n) const { return iface_.getURLineY(n); }

void PaneText_C::line(int n, const char* text, int key, int dx)
{
    colouredLine(n, text, 0, 0, 0, dx);
    if (key)
        keyRegion(n, key);
}

void PaneText_C::colouredLine(int n, const char* text, float r, float g, float b, int dx)
{
    glColor3f(r, g, b);
    text_.printStr(left_ + dx, lineY(n), text);
}

int PaneText_C::wrapped(int n, const char* text, int key)
{
    glColor3f(0, 0, 0);
    text_.printFormat(left_, lineY(n), text, right_);
    if (key)
        keyRegion(n, key);
    return text_.heightStr(left_, right_, text);
}

void PaneText_C::keyRegion(int n, int key)
{
    if (regions_)
        regions_->addRegion(left_, screenHeight_ - lineY(n) - lineHeight_, right_ - left_, lineHeight_, key, 1);
}

void PaneText_C::listRegion(int top, int bottom, int key, void (*callback)(void*, int, int, int), void* data)
{
    if (!regions_)
        return;
    const int y0 = screenHeight_ - lineY(top) - lineHeight_;
    const int y1 = screenHeight_ - lineY(bottom);
    regions_->addRegion(left_, y0, right_ - left_, y1 - y0, key, 1, callback, data);
}

void clearRegions(Interface_C& iface)
{
    if (MouseRegions_C* regions = iface.getMouseRegions())
        regions->clear();
}

void refreshCursor(Interface_C& iface)
{
    if (MouseRegions_C* regions = iface.getMouseRegions()) {
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        regions->mouseMove(mx, my, 1);
    }
}

void beginPage(Interface_C& iface, const std::function<void()>& drawPicture)
{
    clearRegions(iface);
    iface.clearUR(false);
    if (drawPicture)
        drawPicture();
    iface.drawCharText();
}

void beginViewPage(Interface_C& iface)
{
    beginPage(iface, [&iface] { iface.redrawUL(); });
}

void paneMessage(Interface_C& iface, const char* text, void (*redraw)())
{
    MessageBoxHost_S host;
    host.text = &iface.text();
    host.regions = iface.getMouseRegions();
    host.clearUR = [&iface](bool force) { iface.clearUR(force); };
    host.drawCharText = [&iface] { iface.drawCharText(); };
    host.drawBackground = [&iface] { iface.drawBackground(); };
    messageBox(host, text, redraw);
}

bl3dPartyChar* memberForKey(int key)
{
    const int slot = memberSlotOfKey(key);
    if (!party || slot < 0 || slot >= MAX_PARTY || slot >= party->getCount())
        return nullptr;
    return party->getMember(slot);
}
