#include "screens/BanishChar.h"

#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "screens/ListKeys.h"
#include "screens/PaneText.h"
#include "screens/RosterList.h"
#include "town/Event_1000.h"
#include "world/Interface.h"

#include <GL/gl.h>

#include <string>

namespace {

struct BanishScreen_S {
    int state = BanishChar_C::DONE;
    Interface_C* iface = nullptr;
    Event_1000_C* hall = nullptr;
    RosterList_S roster;
};

BanishScreen_S& S()
{
    static BanishScreen_S screen;
    return screen;
}

void setState(int state)
{
    S().state = state;
    vell::pushRedraw();
}

void redrawUnder()
{
    BanishScreen_S& s = S();
    if (s.hall)
        s.hall->drawPic();
    BanishChar_C::updateText(s.iface);
}

void banish()
{
    BanishScreen_S& s = S();
    const std::string name = s.roster.selectedName();
    DirHandle_C roster = openRoster();
    setState(BanishChar_C::DONE);
    if (name.empty() || !roster)
        return;
    if (roster->isBroken() || roster->remove(name.c_str()) < 0)
        paneMessage(*s.iface, ("The Hall's records could not be written, so " + name + " stays in the roster.").c_str(),
                    &redrawUnder);
}

} // namespace

void BanishChar_C::run(Interface_C* iface, Event_1000_C* hall)
{
    if (!iface)
        return;
    BanishScreen_S& s = S();
    s.iface = iface;
    s.hall = hall;
    s.state = CHOOSE;
    {
        DirHandle_C roster = openRoster();
        if (!roster || roster->getEntryCount() == 0) {
            s.state = DONE;
            return;
        }
        s.roster.reset(*iface);
        for (int i = 0; i < roster->getEntryCount(); ++i)
            s.roster.add(roster->getEntryName(i), true);
    }
    if (!s.roster.anySelectable()) {
        s.state = DONE;
        s.roster.clear();
        return;
    }
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, &redrawUnder);
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
    s.state = DONE;
    s.roster.clear();
}

void BanishChar_C::updateText(Interface_C* iface)
{
    BanishScreen_S& s = S();
    beginPage(*iface, nullptr);
    PaneText_C pane(*iface);
    if (s.state == CHOOSE) {
        pane.line(1, "Choose:");
        if (s.roster.list) {
            s.roster.list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, s.roster.list.get());
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    } else if (s.state == CONFIRM) {
        const std::string text =
            "You are about to permenantly remove " + s.roster.selectedName() + " from the database.";
        pane.wrapped(1, text.c_str());
        pane.line(6, "This action is not reversable!");
        pane.colouredLine(9, "Are you sure?", 1, 1, 1);
        pane.line(-1, "(Y)es, I'm sure", 'y');
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    }
    refreshCursor(*iface);
}

void BanishChar_C::key(int sym)
{
    BanishScreen_S& s = S();
    if (s.state == CHOOSE) {
        if (moveListByKey(s.roster.list.get(), sym, true))
            vell::pushRedraw();
        else if (sym == SDLK_RETURN && s.roster.anySelectable())
            setState(CONFIRM);
        else if (sym == SDLK_ESCAPE)
            setState(DONE);
    } else if (s.state == CONFIRM) {
        if (sym == 'y')
            banish();
        else if (sym == SDLK_ESCAPE)
            setState(DONE);
    }
}

int BanishChar_C::getState() { return S().state; }
const ScrollList_C* BanishChar_C::getList() { return S().roster.list.get(); }
