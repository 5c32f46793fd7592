#include "screens/AddChar.h"

#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/ListKeys.h"
#include "screens/PaneText.h"
#include "screens/RosterList.h"
#include "town/Event_1000.h"
#include "world/Interface.h"

#include <cstdio>

namespace {

struct AddScreen_S {
    int running = 0;
    Interface_C* iface = nullptr;
    Event_1000_C* hall = nullptr;
    std::unique_ptr<bl3dPartyChar> result;
    RosterList_S roster;
};

AddScreen_S& S()
{
    static AddScreen_S screen;
    return screen;
}

// Whether the roster holds anyone the party does not have.
bool anyoneOutside(ArchiveDir_C& roster)
{
    for (int i = 0; i < roster.getEntryCount(); ++i)
        if (!party || !party->hasMember(roster.getEntryName(i)))
            return true;
    return false;
}

void buildList(ArchiveDir_C& roster)
{
    AddScreen_S& s = S();
    s.roster.reset(*s.iface);
    for (int i = 0; i < roster.getEntryCount(); ++i) {
        const std::string name = roster.getEntryName(i);
        std::unique_ptr<bl3dPartyChar> stored = loadRosterChar(roster, name.c_str());
        if (!stored) {
            std::fprintf(stderr, "WARNING: the stored adventurer %s cannot be read\n", name.c_str());
            s.roster.add(name, false, name + " (unreadable)");
            continue;
        }
        if (!isMonsterClass(stored->getClassId()))
            s.roster.add(name, true);
    }
}

void choose()
{
    AddScreen_S& s = S();
    const std::string name = s.roster.selectedName();
    DirHandle_C roster = openRoster();
    if (name.empty() || !roster)
        return;
    s.result = loadRosterChar(*roster, name.c_str());
    if (s.result)
        s.running = 0;
    vell::pushRedraw();
}

} // namespace

std::unique_ptr<bl3dPartyChar> AddChar_C::run(Interface_C* iface, Event_1000_C* hall)
{
    if (!iface)
        return nullptr;
    AddScreen_S& s = S();
    s.iface = iface;
    s.hall = hall;
    s.result.reset();
    s.running = 1;
    {
        DirHandle_C roster = openRoster();
        if (!roster || !anyoneOutside(*roster)) {
            s.running = 0;
            vell::pushRedraw();
            return nullptr;
        }
        buildList(*roster);
    }
    ModalLoop_C loop(s.running, [](const SDL_keysym& k) { key(k.sym); },
                     [iface] {
                         updateText(iface);
                         if (S().hall)
                             S().hall->drawPic();
                     });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
    s.running = 0;
    s.roster.clear();
    return std::move(s.result);
}

void AddChar_C::updateText(Interface_C* iface)
{
    AddScreen_S& s = S();
    beginPage(*iface, nullptr);
    PaneText_C pane(*iface);
    pane.line(1, "Choose:");
    if (s.roster.list) {
        s.roster.list->draw(&pane.text(), pane.regions());
        pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, s.roster.list.get());
    }
    pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    refreshCursor(*iface);
}

void AddChar_C::key(int sym)
{
    AddScreen_S& s = S();
    if (moveListByKey(s.roster.list.get(), sym, true)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        choose();
    } else if (sym == SDLK_ESCAPE) {
        s.running = 0;
        vell::pushRedraw();
    }
}

bool AddChar_C::isRunning() { return S().running != 0; }
const ScrollList_C* AddChar_C::getList() { return S().roster.list.get(); }
