#include "screens/ReorderParty.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/PaneScreen.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <cassert>
#include <SDL.h>

#include <cstdio>

namespace {

// The screen: a pane screen over the main view whose page shows the order
// picked so far in every state.
class ReorderScreen_C : public PaneScreen_C {
public:
    void reset()
    {
        count_ = 0;
        for (bl3dPartyChar*& p : picked_)
            p = nullptr;
    }
    void open(Interface_C* iface)
    {
        iface_ = iface;
        state_ = ReorderParty_C::PICKING;
    }
    void run() { runLoop(true); }
    void close();
    int count() const { return count_; }

private:
    void drawPage(PaneText_C& pane) override { drawState(pane); }
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

    bl3dPartyChar* picked_[MAX_PARTY] = {};
    int count_ = 0;
};

ReorderScreen_C& S()
{
    static ReorderScreen_C screen;
    return screen;
}

void ReorderScreen_C::close()
{
    state_ = ReorderParty_C::DONE;
    // Whatever ended the loop, no member is left outside the party.
    for (int i = 0; i < count_; ++i) {
        // They all came out of the party, so there is room for each again.
        const bool back = party->addMember(picked_[i]);
        assert(back && "a picked member found no room in the party");
        (void)back;
        picked_[i] = nullptr;
    }
    count_ = 0;
    vell::pushRedraw();
}

void ReorderScreen_C::handleKey(int sym, SDLMod)
{
    if (!memberForKey(sym) || count_ >= MAX_PARTY)
        return;
    picked_[count_++] = party->detachAt(memberSlotOfKey(sym));
    if (party->getCount() == 0)
        state_ = ReorderParty_C::DONE;
    vell::pushRedraw();
}

void ReorderScreen_C::drawState(PaneText_C& pane)
{
    pane.wrapped(1, "New Order:");
    char buf[160];
    for (int i = 0; i < count_; ++i) {
        std::snprintf(buf, sizeof buf, "%d) %s", i + 1, picked_[i]->getName());
        pane.line(3 + i, buf);
    }
    std::snprintf(buf, sizeof buf, "%d) ", count_ + 1);
    pane.line(3 + count_, buf);
    pane.line(0, "(F1-F8) to Select");
}

} // namespace

void ReorderParty_C::run(Interface_C* iface)
{
    ReorderScreen_C& s = S();
    s.reset();
    if (!iface || !party || party->getCount() == 0)
        return;
    s.open(iface);
    s.run();
    s.close();
}

void ReorderParty_C::key(int sym) { S().key(sym); }

void ReorderParty_C::display() { S().display(); }

bool ReorderParty_C::isRunning() { return S().getState() != DONE; }
int ReorderParty_C::pickedCount() { return S().count(); }
