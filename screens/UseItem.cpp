#include "screens/UseItem.h"

#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "core/ModalLoop.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/InvChooser.h"
#include "world/PaneText.h"
#include "screens/UseAtOnce.h"
#include "world/Event.h"
#include "world/Interface.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace {

struct ItemScreen_S {
    int state = UseItem_C::DONE;
    Interface_C* iface = nullptr;
    bl3dPartyChar* user = nullptr;
    int slot = -1;
    bl3dAction* action = nullptr;
    char narration[1024] = {};
    TextBuf_C text{narration, sizeof narration};
    std::string message;
};

ItemScreen_S& S()
{
    static ItemScreen_S screen;
    return screen;
}

void show(const std::string& text)
{
    ItemScreen_S& s = S();
    s.message = text;
    paneMessage(*s.iface, s.message.c_str(), &UseItem_C::redrawView);
}

// The equipment slot of the chosen position: the filled slots 0-19 count
// first, in order; -1 for a position in the pack.
int slotOfPosition(const bl3dPartyChar* m, int position)
{
    int filled = 0;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        if (m->getSlotItem(slot) && filled++ == position)
            return slot;
    return -1;
}

// Why a use the action did not carry out was refused, when it wrote nothing
// itself (or, for a dead user, only the name its check leaves).
std::string refusal(bl3dPartyChar* user, int slot)
{
    const bl3dItem* item = user->getSlotItem(slot);
    if (!item)
        return "The item is no longer there.";
    bl3dItemActor payer(user, slot);
    if (user->getCurHP() < 1) {
        const std::string verb = std::string("use ") + item->getType()->getName().c_str();
        char why[256];
        payer.canAct(0, verb.c_str(), why, sizeof why);
        return why;
    }
    if (!payer.hasPoints(1))
        return "The item has no charges remaining.";
    return "Nothing happens.";
}

// Uses the item's action at once through the item: makeEntry, else enqueue
// with a second item actor; perform; release.
void use(void* target, int index)
{
    ItemScreen_S& s = S();
    int32_t distance = 0;
    void* context[2] = {&s.text, &distance};
    s.text.clear();
    const int r =
        useAtOnce(s.action, [&s] { return new bl3dItemActor(s.user, s.slot); }, target, index, 2, context);
    // A dead user's check leaves only the name: say why instead.
    if (r == -1 && (s.text.empty() || s.user->getCurHP() < 1))
        show(refusal(s.user, s.slot));
    else
        show(s.narration);
}

// The script of a plot item, as a scripted map event at the party's square.
void runScript(int32_t id)
{
    ItemScreen_S& s = S();
    EventParams_S params;
    std::snprintf(params.name, sizeof params.name, "item%06d", static_cast<int>(id & 0xffff));
    params.exitX = static_cast<int32_t>(s.iface->getCurX());
    params.exitY = static_cast<int32_t>(-s.iface->getCurZ());
    params.exitFacing = s.iface->getFacing();
    if (std::unique_ptr<Event_C> event = createMapEvent(EVENT_SCRIPT, &params))
        event->invoke(s.iface);
}

void chooseUser(int sym)
{
    ItemScreen_S& s = S();
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    s.user = m;
    s.action = nullptr;
    s.slot = -1;
    InvChooser_C chooser(m, &UseItem_C::redrawView);
    const int position = chooser.run(s.iface, false, false);
    s.state = UseItem_C::DONE;
    if (position >= 0) {
        s.slot = slotOfPosition(m, position);
        bl3dItem* item = s.slot < 0 ? nullptr : m->getSlotItem(s.slot);
        s.action = item ? item->getAction() : nullptr;
        const uint32_t id = s.action ? static_cast<uint32_t>(s.action->actionID()) : 0;
        if (s.slot < 0)
            show("The item must be equipped to be used.");
        else if (!s.action)
            show("The selected item doesn't do anything.");
        else if (id & ACTION_PLOT_EVENT)
            runScript(static_cast<int32_t>(id));
        else if (id & ACTION_COMBAT_ONLY)
            show("That item isn't intended for non-combat use!");
        else if (s.action->targetKind() & TARGET_ONE_MEMBER)
            s.state = UseItem_C::CHOOSE_TARGET;
        else
            use(nullptr, 0);
    }
    vell::pushRedraw();
}

} // namespace

void UseItem_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    ItemScreen_S& s = S();
    s.iface = iface;
    s.state = CHOOSE_USER;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { updateText(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
}

void UseItem_C::key(int sym)
{
    ItemScreen_S& s = S();
    if (sym == SDLK_ESCAPE && (s.state == CHOOSE_USER || s.state == CHOOSE_TARGET)) {
        s.state = DONE;
        vell::pushRedraw();
        return;
    }
    if (memberSlotOfKey(sym) < 0)
        return;
    if (s.state == CHOOSE_USER) {
        chooseUser(sym);
    } else if (s.state == CHOOSE_TARGET) {
        bl3dPartyChar* target = memberForKey(sym);
        if (!target)
            return;
        s.state = DONE;
        use(target, memberSlotOfKey(sym));
        vell::pushRedraw();
    }
}

void UseItem_C::updateText()
{
    ItemScreen_S& s = S();
    if (!s.iface)
        return;
    beginViewPage(*s.iface);
    PaneText_C pane(*s.iface);
    if (s.state == CHOOSE_USER) {
        pane.wrapped(1, "Who will use an item?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    } else if (s.state == CHOOSE_TARGET) {
        pane.wrapped(1, "On who do you wish to use the item?");
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    }
    refreshCursor(*s.iface);
}

void UseItem_C::redrawView()
{
    if (S().iface)
        S().iface->redrawUL();
}

int UseItem_C::getState() { return S().state; }
bl3dPartyChar* UseItem_C::getUser() { return S().user; }
int UseItem_C::getSlot() { return S().slot; }
bl3dAction* UseItem_C::getAction() { return S().action; }
const char* UseItem_C::getMessage() { return S().message.c_str(); }
