#include "screens/UseItem.h"

#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "core/ModalLoop.h"
#include "screens/PaneScreen.h"
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

// The screen: a pane screen over the main view. The item chooser and the
// message boxes run over the view the screen draws (redrawView).
class ItemScreen_C : public PaneScreen_C {
public:
    bl3dPartyChar* user = nullptr;
    int slot = -1;
    bl3dAction* action = nullptr;
    char narration[1024] = {};
    TextBuf_C text{narration, sizeof narration};
    std::string message;

    void run(Interface_C* iface)
    {
        iface_ = iface;
        state_ = UseItem_C::CHOOSE_USER;
        runLoop(true);
    }
    void redrawView()
    {
        if (iface_)
            iface_->redrawUL();
    }

private:
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

    void show(const std::string& said);
    void use(void* target, int index);
    void runScript(int32_t id);
    void chooseUser(int sym);
};

ItemScreen_C& S()
{
    static ItemScreen_C screen;
    return screen;
}

void ItemScreen_C::show(const std::string& said)
{
    message = said;
    paneMessage(*iface_, message.c_str(), &UseItem_C::redrawView);
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
void ItemScreen_C::use(void* target, int index)
{
    int32_t distance = 0;
    void* context[2] = {&text, &distance};
    text.clear();
    const int r = useAtOnce(action, [this] { return new bl3dItemActor(user, slot); }, target, index, 2, context);
    // A dead user's check leaves only the name: say why instead.
    if (r == -1 && (text.empty() || user->getCurHP() < 1))
        show(refusal(user, slot));
    else
        show(narration);
}

// The script of a plot item, as a scripted map event at the party's square.
void ItemScreen_C::runScript(int32_t id)
{
    EventParams_S params;
    std::snprintf(params.name, sizeof params.name, "item%06d", static_cast<int>(id & 0xffff));
    params.exitX = static_cast<int32_t>(iface_->getCurX());
    params.exitY = static_cast<int32_t>(-iface_->getCurZ());
    params.exitFacing = iface_->getFacing();
    if (std::unique_ptr<Event_C> event = createMapEvent(EVENT_SCRIPT, &params))
        event->invoke(iface_);
}

// The chooser's answer decides the state without a redraw of its own: one
// redraw follows whatever the choice led to.
void ItemScreen_C::chooseUser(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    user = m;
    action = nullptr;
    slot = -1;
    InvChooser_C chooser(m, &UseItem_C::redrawView);
    const int position = chooser.run(iface_, false, false);
    state_ = UseItem_C::DONE;
    if (position >= 0) {
        slot = slotOfPosition(m, position);
        bl3dItem* item = slot < 0 ? nullptr : m->getSlotItem(slot);
        action = item ? item->getAction() : nullptr;
        const uint32_t id = action ? static_cast<uint32_t>(action->actionID()) : 0;
        if (slot < 0)
            show("The item must be equipped to be used.");
        else if (!action)
            show("The selected item doesn't do anything.");
        else if (id & ACTION_PLOT_EVENT)
            runScript(static_cast<int32_t>(id));
        else if (id & ACTION_COMBAT_ONLY)
            show("That item isn't intended for non-combat use!");
        else if (action->targetKind() & TARGET_ONE_MEMBER)
            state_ = UseItem_C::CHOOSE_TARGET;
        else
            use(nullptr, 0);
    }
    vell::pushRedraw();
}

void ItemScreen_C::handleKey(int sym, SDLMod)
{
    if (sym == SDLK_ESCAPE && (state_ == UseItem_C::CHOOSE_USER || state_ == UseItem_C::CHOOSE_TARGET)) {
        setState(UseItem_C::DONE);
        return;
    }
    if (memberSlotOfKey(sym) < 0)
        return;
    if (state_ == UseItem_C::CHOOSE_USER) {
        chooseUser(sym);
    } else if (state_ == UseItem_C::CHOOSE_TARGET) {
        bl3dPartyChar* target = memberForKey(sym);
        if (!target)
            return;
        // Closed before the use, redrawn after its message.
        state_ = UseItem_C::DONE;
        use(target, memberSlotOfKey(sym));
        vell::pushRedraw();
    }
}

void ItemScreen_C::drawState(PaneText_C& pane)
{
    if (state_ == UseItem_C::CHOOSE_USER) {
        pane.wrapped(1, "Who will use an item?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    } else if (state_ == UseItem_C::CHOOSE_TARGET) {
        pane.wrapped(1, "On who do you wish to use the item?");
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    }
}

} // namespace

void UseItem_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    S().run(iface);
}

void UseItem_C::key(int sym) { S().key(sym); }

void UseItem_C::updateText() { S().display(); }

void UseItem_C::redrawView() { S().redrawView(); }

int UseItem_C::getState() { return S().getState(); }
bl3dPartyChar* UseItem_C::getUser() { return S().user; }
int UseItem_C::getSlot() { return S().slot; }
bl3dAction* UseItem_C::getAction() { return S().action; }
const char* UseItem_C::getMessage() { return S().message.c_str(); }
