#include "screens/ReorderParty.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <cassert>
#include <SDL.h>

#include <cstdio>

namespace {

struct ReorderScreen_S {
    int running = 0;
    bl3dPartyChar* picked[MAX_PARTY] = {};
    int count = 0;
    Interface_C* iface = nullptr;
};

ReorderScreen_S& S()
{
    static ReorderScreen_S screen;
    return screen;
}

} // namespace

void ReorderParty_C::run(Interface_C* iface)
{
    ReorderScreen_S& s = S();
    s.count = 0;
    for (bl3dPartyChar*& p : s.picked)
        p = nullptr;
    if (!iface || !party || party->getCount() == 0)
        return;
    s.iface = iface;
    s.running = 1;
    ModalLoop_C loop(s.running, [](const SDL_keysym& k) { key(k.sym); }, [] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
    s.running = 0;
    // Whatever ended the loop, no member is left outside the party.
    for (int i = 0; i < s.count; ++i) {
        // They all came out of the party, so there is room for each again.
        const bool back = party->addMember(s.picked[i]);
        assert(back && "a picked member found no room in the party");
        (void)back;
        s.picked[i] = nullptr;
    }
    s.count = 0;
    vell::pushRedraw();
}

void ReorderParty_C::key(int sym)
{
    ReorderScreen_S& s = S();
    if (!s.running || !memberForKey(sym) || s.count >= MAX_PARTY)
        return;
    s.picked[s.count++] = party->detachAt(memberSlotOfKey(sym));
    if (party->getCount() == 0)
        s.running = 0;
    vell::pushRedraw();
}

void ReorderParty_C::display()
{
    ReorderScreen_S& s = S();
    Interface_C* iface = s.iface;
    if (!iface)
        return;
    beginViewPage(*iface);
    PaneText_C pane(*iface);
    pane.wrapped(1, "New Order:");
    char buf[160];
    for (int i = 0; i < s.count; ++i) {
        std::snprintf(buf, sizeof buf, "%d) %s", i + 1, s.picked[i]->getName());
        pane.line(3 + i, buf);
    }
    std::snprintf(buf, sizeof buf, "%d) ", s.count + 1);
    pane.line(3 + s.count, buf);
    pane.line(0, "(F1-F8) to Select");
    refreshCursor(*iface);
}

bool ReorderParty_C::isRunning() { return S().running != 0; }
int ReorderParty_C::pickedCount() { return S().count; }
