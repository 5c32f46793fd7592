#include "screens/DismissChar.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "screens/RosterList.h"
#include "world/Interface.h"

#include <SDL.h>

#include <string>

namespace {

struct DismissScreen_S {
    int state = DismissChar_C::DONE;
    Interface_C* iface = nullptr;
    int index = 0;
    std::string name;
};

DismissScreen_S& S()
{
    static DismissScreen_S screen;
    return screen;
}

void setState(int state)
{
    S().state = state;
    vell::pushRedraw();
}

// Deletes the roster entry of that name when it holds a monster; an
// adventurer's entry of the same name stays.
void forgetMonster(const std::string& name)
{
    DirHandle_C roster = openRoster();
    if (!roster || !roster->hasEntry(name.c_str()))
        return;
    std::unique_ptr<bl3dPartyChar> stored = loadRosterChar(*roster, name.c_str());
    if (stored && (isMonsterClass(stored->getClassId()) || !stored->isPC()))
        roster->remove(name.c_str());
}

void dismiss()
{
    DismissScreen_S& s = S();
    if (party && s.index < party->getCount())
        party->removeAt(s.index);
    forgetMonster(s.name);
    setState(DismissChar_C::DONE);
}

} // namespace

void DismissChar_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    DismissScreen_S& s = S();
    s.iface = iface;
    s.state = CHOOSE;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [iface] { updateText(iface); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
    s.state = DONE;
}

void DismissChar_C::updateText(Interface_C* iface)
{
    DismissScreen_S& s = S();
    beginViewPage(*iface);
    PaneText_C pane(*iface);
    switch (s.state) {
    case CHOOSE:
        pane.wrapped(1, "Who do you wish to dismiss?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case REFUSED:
        pane.wrapped(1, (s.name + " is not a monster!").c_str());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case CONFIRM:
        pane.wrapped(1, ("Are you sure you want to dismiss " + s.name + "?").c_str());
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        break;
    default: break;
    }
    refreshCursor(*iface);
}

void DismissChar_C::key(int sym)
{
    DismissScreen_S& s = S();
    switch (s.state) {
    case CHOOSE:
        if (sym == SDLK_ESCAPE) {
            setState(DONE);
        } else if (memberSlotOfKey(sym) >= 0) {
            bl3dPartyChar* m = memberForKey(sym);
            if (!m) {
                vell::pushRedraw();
                break;
            }
            s.index = memberSlotOfKey(sym);
            s.name = m->getName();
            setState(m->isMonster() || m->isJoinedMonster() ? CONFIRM : REFUSED);
        }
        break;
    case REFUSED:
        if (sym == SDLK_SPACE)
            setState(CHOOSE);
        break;
    case CONFIRM:
        if (sym == 'n')
            setState(CHOOSE);
        else if (sym == 'y')
            dismiss();
        break;
    default: break;
    }
}

int DismissChar_C::getState() { return S().state; }
