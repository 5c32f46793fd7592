#include "town/AddChar.h"

#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/ListKeys.h"
#include "screens/PaneScreen.h"
#include "world/PaneText.h"
#include "screens/RosterList.h"
#include "town/Event_1000.h"
#include "world/Interface.h"

#include <cstdio>

namespace {

// The screen: a pane screen whose picture is the Hall's.
class AddScreen_C : public PaneScreen_C {
public:
    Event_1000_C* hall = nullptr;
    std::unique_ptr<bl3dPartyChar> result;
    RosterList_S roster;

    void open(Interface_C* iface, Event_1000_C* h)
    {
        iface_ = iface;
        hall = h;
        result.reset();
        state_ = AddChar_C::CHOOSE;
    }
    void close() { state_ = AddChar_C::DONE; }
    void run() { runLoop(true); }
    void buildList(ArchiveDir_C& dir);

private:
    void drawPicture() override
    {
        if (hall)
            hall->drawPic();
    }
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    void choose();
};

AddScreen_C& S()
{
    static AddScreen_C screen;
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

void AddScreen_C::buildList(ArchiveDir_C& dir)
{
    roster.reset(*iface_);
    for (int i = 0; i < dir.getEntryCount(); ++i) {
        const std::string name = dir.getEntryName(i);
        std::unique_ptr<bl3dPartyChar> stored = loadRosterChar(dir, name.c_str());
        if (!stored) {
            std::fprintf(stderr, "WARNING: the stored adventurer %s cannot be read\n", name.c_str());
            roster.add(name, false, name + " (unreadable)");
            continue;
        }
        if (!isMonsterClass(stored->getClassId()))
            roster.add(name, true);
    }
}

void AddScreen_C::choose()
{
    const std::string name = roster.selectedName();
    DirHandle_C dir = openRoster();
    if (name.empty() || !dir)
        return;
    result = loadRosterChar(*dir, name.c_str());
    if (result)
        state_ = AddChar_C::DONE;
    vell::pushRedraw();
}

void AddScreen_C::drawState(PaneText_C& pane)
{
    pane.line(1, "Choose:");
    if (roster.list) {
        roster.list->draw(&pane.text(), pane.regions());
        pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, roster.list.get());
    }
    pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

void AddScreen_C::handleKey(int sym, SDLMod)
{
    if (moveListByKey(roster.list.get(), sym, true)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        choose();
    } else if (sym == SDLK_ESCAPE) {
        setState(AddChar_C::DONE);
    }
}

} // namespace

std::unique_ptr<bl3dPartyChar> AddChar_C::run(Interface_C* iface, Event_1000_C* hall)
{
    if (!iface)
        return nullptr;
    AddScreen_C& s = S();
    s.open(iface, hall);
    {
        DirHandle_C roster = openRoster();
        if (!roster || !anyoneOutside(*roster)) {
            s.close();
            vell::pushRedraw();
            return nullptr;
        }
        s.buildList(*roster);
    }
    s.run();
    s.close();
    s.roster.clear();
    return std::move(s.result);
}

void AddChar_C::updateText(Interface_C*) { S().display(); }

void AddChar_C::key(int sym) { S().key(sym); }

bool AddChar_C::isRunning() { return S().getState() != DONE; }
const ScrollList_C* AddChar_C::getList() { return S().roster.list.get(); }
