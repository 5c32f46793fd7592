#include "screens/DismissChar.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/PaneScreen.h"
#include "world/PaneText.h"
#include "screens/RosterList.h"
#include "world/Interface.h"

#include <SDL.h>

#include <string>

namespace {

// The screen: a pane screen over the main view. The refusal is a message:
// SPACE goes back to the choice.
class DismissScreen_C : public PaneScreen_C {
public:
    void open(Interface_C* iface)
    {
        iface_ = iface;
        state_ = DismissChar_C::CHOOSE;
    }
    void close() { state_ = DismissChar_C::DONE; }
    void run() { runLoop(true); }

private:
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    bool isMessage() const override { return state_ == DismissChar_C::REFUSED; }
    void choose(int sym);
    void dismiss();

    int index_ = 0;
    std::string name_;
};

DismissScreen_C& S()
{
    static DismissScreen_C screen;
    return screen;
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

void DismissScreen_C::dismiss()
{
    if (party && index_ < party->getCount())
        party->removeAt(index_);
    forgetMonster(name_);
    setState(DismissChar_C::DONE);
}

void DismissScreen_C::choose(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m) {
        vell::pushRedraw();
        return;
    }
    index_ = memberSlotOfKey(sym);
    name_ = m->getName();
    setState(m->isMonster() || m->isJoinedMonster() ? DismissChar_C::CONFIRM : DismissChar_C::REFUSED);
}

void DismissScreen_C::drawState(PaneText_C& pane)
{
    switch (state_) {
    case DismissChar_C::CHOOSE:
        pane.wrapped(1, "Who do you wish to dismiss?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case DismissChar_C::REFUSED:
        pane.wrapped(1, (name_ + " is not a monster!").c_str());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case DismissChar_C::CONFIRM:
        pane.wrapped(1, ("Are you sure you want to dismiss " + name_ + "?").c_str());
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        break;
    default: break;
    }
}

void DismissScreen_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case DismissChar_C::CHOOSE:
        if (sym == SDLK_ESCAPE)
            setState(DismissChar_C::DONE);
        else if (memberSlotOfKey(sym) >= 0)
            choose(sym);
        break;
    case DismissChar_C::CONFIRM:
        if (sym == 'n')
            setState(DismissChar_C::CHOOSE);
        else if (sym == 'y')
            dismiss();
        break;
    default: break;
    }
}

} // namespace

void DismissChar_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    DismissScreen_C& s = S();
    s.open(iface);
    s.run();
    s.close();
}

void DismissChar_C::updateText(Interface_C*) { S().display(); }

void DismissChar_C::key(int sym) { S().key(sym); }

int DismissChar_C::getState() { return S().getState(); }
