#include "screens/TradeChar.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <SDL.h>

namespace {

struct TradeScreen_S {
    int state = 0;
    int first = -1;
    Interface_C* iface = nullptr;
};

TradeScreen_S& S()
{
    static TradeScreen_S screen;
    return screen;
}

// The index of a living member for F1-F8; -1 when there is none.
int livingMember(int sym)
{
    const bl3dPartyChar* m = memberForKey(sym);
    return m && m->getCurHP() > 0 ? memberSlotOfKey(sym) : -1;
}

} // namespace

void TradeChar_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    TradeScreen_S& s = S();
    s.iface = iface;
    s.state = TRADE_WHO;
    s.first = -1;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
}

void TradeChar_C::key(int sym)
{
    TradeScreen_S& s = S();
    if (s.state != TRADE_WHO && s.state != WITH_WHO)
        return;
    if (sym == SDLK_ESCAPE) {
        s.state = DONE;
        vell::pushRedraw();
        return;
    }
    const int who = livingMember(sym);
    if (who < 0)
        return;
    if (s.state == TRADE_WHO) {
        s.first = who;
        s.state = WITH_WHO;
    } else {
        if (who == s.first || !party->swap(s.first, who))
            return;
        s.state = DONE;
    }
    vell::pushRedraw();
}

void TradeChar_C::display()
{
    TradeScreen_S& s = S();
    Interface_C* iface = s.iface;
    if (!iface)
        return;
    beginViewPage(*iface);
    if (s.state != TRADE_WHO && s.state != WITH_WHO) {
        refreshCursor(*iface);
        return;
    }
    PaneText_C pane(*iface);
    pane.wrapped(1, s.state == TRADE_WHO ? "Trade who?" : "With who?");
    pane.line(-1, "(F1-F8) to Select");
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    refreshCursor(*iface);
}

int TradeChar_C::getState() { return S().state; }
