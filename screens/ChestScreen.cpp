// The drawing of the treasure chest (events/Event_4001.h): the texts of its
// state in the upper-right pane, the picture "Treasure" in the upper left.
#include "core/ScrollList.h"
#include "core/TextBuf.h"
#include "events/Chest.h"
#include "events/Event_4001.h"
#include "rules/PartyChar.h"
#include "screens/CharView.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

namespace {

void message(PaneText_C& pane, const char* text)
{
    pane.wrapped(1, text);
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
}

void memberPrompt(PaneText_C& pane, const char* question)
{
    pane.wrapped(1, question);
    pane.line(-1, "(F1-F8) for Character");
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

// The messages that name the member acting; null for other states.
const char* namedMessage(int state)
{
    switch (state) {
    case Event_4001_C::NOT_A_CASTER: return "%s is not a caster!";
    case Event_4001_C::NO_TRIP_TRAP: return "%s does not know Trip Trap!";
    case Event_4001_C::NO_ENERGY: return "%s does not have enough magical energy to cast Trip Trap!";
    case Event_4001_C::NO_SKILL: return "%s has not the skill!";
    case Event_4001_C::PICK_FAILED: return "%s fails to pick the lock!";
    case Event_4001_C::BASH_FAILED: return "%s, tries, but damages himself more than the chest!";
    case Event_4001_C::PACK_FULL: return "%s, your pack is full!";
    default: return nullptr;
    }
}

} // namespace

void Event_4001_C::display()
{
    if (!iface_ || !chest_)
        return;
    beginPage(*iface_, [this] {
        if (iface_->curPicNamed("Treasure") || iface_->setULPic("Treasure") != 0)
            iface_->drawULPic();
    });
    glColor3f(0, 0, 0);
    PaneText_C pane(*iface_);
    const char* name = taker_ ? taker_->getName() : "";
    const char* him = taker_ ? taker_->pronoun(1) : "it";
    char text[400];
    switch (state_) {
    case MENU:
        std::snprintf(text, sizeof text, "Before you is %s.  What will you do?", chest_->description);
        pane.wrapped(1, text);
        pane.line(4, "(P)ick Lock", 'p');
        pane.line(5, "(C)ast Trip Trap", 'c');
        pane.line(6, "(O)pen it", 'o');
        pane.line(7, "(B)ash it", 'b');
        pane.line(8, "(L)eave", 'l');
        break;
    case WHO_TRIPS: memberPrompt(pane, "Who will cast Trip Trap?"); break;
    case WHO_PICKS: memberPrompt(pane, "Who will attempt to pick the lock?"); break;
    case WHO_OPENS: memberPrompt(pane, "Who will open?"); break;
    case WHO_BASHES: memberPrompt(pane, "Who will bash the chest?"); break;
    case FOUND:
    case REMAIN: {
        TextBuf_C found(text, sizeof text);
        if (state_ == REMAIN) {
            found.set("%s, the following items remain:", name);
        } else {
            found.set("%s, you find ", name);
            if (chest_->gold != 0) {
                found.append("%d pieces of gold", static_cast<int>(chest_->gold));
                found.appendText(chest_->items.count() > 0 ? ", and the following items!" : "!");
            } else {
                found.appendText("the following items!");
            }
        }
        pane.wrapped(1, found.c_str());
        if (itemList_) {
            itemList_->draw(&pane.text(), pane.regions());
            pane.listRegion(chest_->gold != 0 ? 5 : 4, -5, SDLK_RETURN, &ScrollInvList_C::mouseCallback,
                            itemList_.get());
        }
        if (chest_->items.count() > 0) {
            pane.line(-3, "(F1-F8) for Character");
            pane.line(-2, "(T)ake an Item", 't');
            pane.line(-1, "(V)iew Character", 'v');
        }
        pane.line(0, "(ESCAPE) to Leave", SDLK_ESCAPE);
        break;
    }
    case NONE_REMAIN: message(pane, "No items remain."); break;
    case LEAVE_ITEMS:
        pane.wrapped(1, "Items left in the open often disappear very quickly.  Are you sure you want to leave these "
                        "things behind?");
        pane.line(-1, "(Y)es, Leave Now", 'y');
        pane.line(0, "(N)o, Go Back", 'n');
        break;
    case TRAP_SPRUNG + 1:
    case TRAP_SPRUNG + 2:
    case TRAP_SPRUNG + 3: {
        static const char* const kTraps[] = {"Large spikes leap out at %s, hurting %s severely!",
                                             "A choking gas surrounds %s, choking %s!",
                                             "Darts fly at %s, injuring %s!"};
        std::snprintf(text, sizeof text, kTraps[state_ - TRAP_SPRUNG - 1], name, him);
        message(pane, text);
        break;
    }
    case TRAP_SPRUNG + TRAP_EXPLOSION:
        message(pane, "An explosion surrounds the party, hurting everyone and destroying all the treasure!");
        break;
    case TRAP_SPRUNG + 5:
        std::snprintf(text, sizeof text, "A Noxious gas envelops %s, hurting %s%s!", name,
                      poisoned_ ? "and poisoning " : "", him);
        message(pane, text);
        break;
    case TRAP_SPRUNG + 6:
        std::snprintf(text, sizeof text, "A Poisonous gas permeates the air around %s, injuring %s%s!", name,
                      poisoned_ ? "and poisoning " : "", him);
        message(pane, text);
        break;
    default:
        if (const char* format = namedMessage(state_)) {
            std::snprintf(text, sizeof text, format, name);
            message(pane, text);
        }
        break;
    }
    refreshCursor(*iface_);
}

void Event_4001_C::viewTaker()
{
    CharView_C::run(taker_, iface_, true);
}
