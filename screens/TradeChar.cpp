#include "screens/TradeChar.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/PaneScreen.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <SDL.h>

namespace {

// The screen: a pane screen over the main view.
class TradeScreen_C : public PaneScreen_C {
public:
    void open(Interface_C* iface)
    {
        iface_ = iface;
        state_ = TradeChar_C::TRADE_WHO;
        first_ = -1;
    }
    void run() { runLoop(true); }

private:
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

    int first_ = -1;
};

TradeScreen_C& S()
{
    static TradeScreen_C screen;
    return screen;
}

// The index of a living member for F1-F8; -1 when there is none.
int livingMember(int sym)
{
    const bl3dPartyChar* m = memberForKey(sym);
    return m && m->getCurHP() > 0 ? memberSlotOfKey(sym) : -1;
}

void TradeScreen_C::drawState(PaneText_C& pane)
{
    pane.wrapped(1, state_ == TradeChar_C::TRADE_WHO ? "Trade who?" : "With who?");
    pane.line(-1, "(F1-F8) to Select");
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

void TradeScreen_C::handleKey(int sym, SDLMod)
{
    if (sym == SDLK_ESCAPE) {
        setState(TradeChar_C::DONE);
        return;
    }
    const int who = livingMember(sym);
    if (who < 0)
        return;
    if (state_ == TradeChar_C::TRADE_WHO) {
        first_ = who;
        setState(TradeChar_C::WITH_WHO);
    } else if (who != first_ && party->swap(first_, who)) {
        setState(TradeChar_C::DONE);
    }
}

} // namespace

void TradeChar_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    TradeScreen_C& s = S();
    s.open(iface);
    s.run();
}

void TradeChar_C::key(int sym) { S().key(sym); }

void TradeChar_C::display() { S().display(); }

int TradeChar_C::getState() { return S().getState(); }
