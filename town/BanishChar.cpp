#include "town/BanishChar.h"

#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "world/ListKeys.h"
#include "screens/PaneScreen.h"
#include "world/PaneText.h"
#include "screens/RosterList.h"
#include "town/Event_1000.h"
#include "world/Interface.h"


#include <string>

namespace {

// The screen: a pane screen whose picture is the Hall's.
class BanishScreen_C : public PaneScreen_C {
public:
    Event_1000_C* hall = nullptr;
    RosterList_S roster;

    void open(Interface_C* iface, Event_1000_C* h)
    {
        iface_ = iface;
        hall = h;
        state_ = BanishChar_C::CHOOSE;
    }
    void close() { state_ = BanishChar_C::DONE; }
    void run() { runLoop(true); }

private:
    void drawPicture() override
    {
        if (hall)
            hall->drawPic();
    }
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    void banish();
};

BanishScreen_C& S()
{
    static BanishScreen_C screen;
    return screen;
}

void redrawUnder() { S().display(); }

void BanishScreen_C::banish()
{
    const std::string name = roster.selectedName();
    DirHandle_C dir = openRoster();
    setState(BanishChar_C::DONE);
    if (name.empty() || !dir)
        return;
    if (dir->isBroken() || dir->remove(name.c_str()) < 0)
        paneMessage(*iface_, ("The Hall's records could not be written, so " + name + " stays in the roster.").c_str(),
                    &redrawUnder);
}

void BanishScreen_C::drawState(PaneText_C& pane)
{
    if (state_ == BanishChar_C::CHOOSE) {
        pane.line(1, "Choose:");
        if (roster.list) {
            roster.list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, roster.list.get());
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    } else if (state_ == BanishChar_C::CONFIRM) {
        const std::string text = "You are about to permenantly remove " + roster.selectedName() + " from the database.";
        pane.wrapped(1, text.c_str());
        pane.line(6, "This action is not reversable!");
        pane.colouredLine(9, "Are you sure?", 1, 1, 1);
        pane.line(-1, "(Y)es, I'm sure", 'y');
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
    }
}

void BanishScreen_C::handleKey(int sym, SDLMod)
{
    if (state_ == BanishChar_C::CHOOSE) {
        if (moveListByKey(roster.list.get(), sym, true))
            vell::pushRedraw();
        else if (sym == SDLK_RETURN && roster.anySelectable())
            setState(BanishChar_C::CONFIRM);
        else if (sym == SDLK_ESCAPE)
            setState(BanishChar_C::DONE);
    } else if (state_ == BanishChar_C::CONFIRM) {
        if (sym == 'y')
            banish();
        else if (sym == SDLK_ESCAPE)
            setState(BanishChar_C::DONE);
    }
}

} // namespace

void BanishChar_C::run(Interface_C* iface, Event_1000_C* hall)
{
    if (!iface)
        return;
    BanishScreen_C& s = S();
    s.open(iface, hall);
    {
        DirHandle_C roster = openRoster();
        if (!roster || roster->getEntryCount() == 0) {
            s.close();
            return;
        }
        s.roster.reset(*iface);
        for (int i = 0; i < roster->getEntryCount(); ++i)
            s.roster.add(roster->getEntryName(i), true);
    }
    if (!s.roster.anySelectable()) {
        s.close();
        s.roster.clear();
        return;
    }
    s.run();
    s.close();
    s.roster.clear();
}

void BanishChar_C::updateText(Interface_C*) { S().display(); }

void BanishChar_C::key(int sym) { S().key(sym); }

int BanishChar_C::getState() { return S().getState(); }
const ScrollList_C* BanishChar_C::getList() { return S().roster.list.get(); }
