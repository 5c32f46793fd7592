#include "screens/InvChooser.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "screens/InvLines.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <GL/gl.h>
#include <SDL.h>

InvChooser_C::InvChooser_C(bl3dPartyChar* member, void (*redraw)()) : member_(member), redraw_(redraw) {}

InvChooser_C::~InvChooser_C() = default;

int InvChooser_C::run(Interface_C* iface, bool priceColumn, bool selling)
{
    if (!iface || !member_)
        return -1;
    state_ = RUNNING;
    chosen_ = 0;
    PaneText_C pane(*iface);
    list_ = makeInvList(&iface->text(), *member_, pane.left(), pane.right(), pane.lineY(3), pane.lineY(-2), 20,
                        priceColumn ? 80 : 0, selling);
    const int equipped = equippedCount(*member_);
    if (selling && equipped > 0 && list_->getNumLines() > 0)
        list_->select(equipped);

    // The chooser's own state counts 0 while it runs; the loop runs while
    // its counter is above 0.
    int running = 1;
    ModalLoop_C loop(running,
                     [&](const SDL_keysym& k) {
                         key(k.sym, iface);
                         if (state_ != RUNNING)
                             running = 0;
                     },
                     [&] { redraw(iface); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
    return state_ == CHOSEN ? chosen_ : -1;
}

void InvChooser_C::key(int sym, Interface_C*)
{
    if (!list_)
        return;
    switch (sym) {
    case SDLK_UP:
        list_->lineUp();
        break;
    case SDLK_DOWN:
        list_->lineDown();
        break;
    case SDLK_PAGEUP:
        list_->pageUp();
        break;
    case SDLK_PAGEDOWN:
        list_->pageDown();
        break;
    case SDLK_RETURN: {
        const int v = list_->selectedItem();
        if (v == 0)
            return;
        chosen_ = v - 1;
        state_ = CHOSEN;
        break;
    }
    case SDLK_ESCAPE:
        state_ = CANCELLED;
        break;
    default:
        return;
    }
    vell::pushRedraw();
}

void InvChooser_C::redraw(Interface_C* iface)
{
    clearRegions(*iface);
    iface->clearUR(false);
    draw(iface);
    if (redraw_)
        redraw_();
    if (list_) {
        PaneText_C pane(*iface);
        pane.listRegion(3, -2, SDLK_RETURN, &ScrollInvList_C::mouseCallback, list_.get());
    }
    refreshCursor(*iface);
}

void InvChooser_C::draw(Interface_C* iface)
{
    PaneText_C pane(*iface);
    glColor3f(0, 0, 0);
    iface->drawCharText();
    pane.line(1, "Inventory:");
    if (list_)
        list_->draw(&pane.text(), pane.regions());
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}
