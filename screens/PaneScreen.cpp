#include "screens/PaneScreen.h"

#include "core/ModalLoop.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <GL/gl.h>

void PaneScreen_C::display()
{
    if (!iface_)
        return;
    beginPage(*iface_, [this] { drawPicture(); });
    PaneText_C pane(*iface_);
    glColor3f(0, 0, 0);
    drawPage(pane);
    refreshCursor(*iface_);
}

void PaneScreen_C::drawPicture()
{
    if (iface_)
        iface_->redrawUL();
}

void PaneScreen_C::drawPage(PaneText_C& pane)
{
    if (state_ > kDone)
        drawState(pane);
}

void PaneScreen_C::key(int sym, SDLMod mod)
{
    if (frameKey(sym))
        return;
    if (state_ <= kDone)
        return;
    if (isMessage()) {
        if (sym == SDLK_SPACE)
            endMessage();
        return;
    }
    handleKey(sym, mod);
}

void PaneScreen_C::runLoop(int& running, bool polling)
{
    if (!iface_)
        return;
    Interface_C* iface = iface_;
    ModalLoop_C loop(running, [this](const SDL_keysym& k) { key(k.sym, k.mod); }, [this] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(polling);
    loop.run();
}

void PaneScreen_C::setState(int state)
{
    state_ = state;
    vell::pushRedraw();
}
