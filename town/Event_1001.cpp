#include "town/Event_1001.h"

#include "core/MemberKeys.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "world/GameWorld.h"

#include <cstdio>
#include <string>

Event_1001_C::Event_1001_C(const EventParams_S* params) : Building_C(params) {}

bool Event_1001_C::isOpenAt(unsigned hour) const
{
    return hour >= unsigned(kOpensAt) && hour < unsigned(kClosesAt);
}

const char* Event_1001_C::closedText() const
{
    return "We're sorry, but Elium's Energy Emporium is closed.  Please call again soon!";
}

std::string Event_1001_C::memberName() const
{
    const bl3dPartyChar* m = party ? party->getMember(member_) : nullptr;
    return m ? m->getName() : "";
}

void Event_1001_C::drawState(PaneText_C& pane)
{
    char buf[256];
    switch (state_) {
    case MENU:
        pane.wrapped(1, "Welcome to Elium's Energy Emporium!");
        pane.line(4, "Who requires our services?");
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case OFFER:
        std::snprintf(buf, sizeof buf, "One of magic indeed!\nA full charge will cost you %lld gold.\nWilt thou pay?",
                      static_cast<long long>(price()));
        pane.wrapped(1, buf);
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        return;
    case NOT_MAGIC:
        pane.wrapped(1, "You are not a magic user!");
        break;
    case FULL:
        pane.wrapped(1, "You do not need energy!");
        break;
    case DECLINED:
        pane.wrapped(1, "Very well, I will await your inevitable return.");
        break;
    case CHARGED:
        std::snprintf(buf, sizeof buf, "%s feels energized!", memberName().c_str());
        pane.wrapped(1, buf);
        break;
    case NO_FUNDS:
        pane.wrapped(1, "You have not the funds!");
        break;
    case DEAD:
        std::snprintf(buf, sizeof buf, "%s is beyond my help.\nPerhaps you should inquire at a temple?",
                      memberName().c_str());
        pane.wrapped(1, buf);
        break;
    default:
        return;
    }
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
}

void Event_1001_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case MENU:
        if (sym == SDLK_ESCAPE)
            leave();
        else
            choose(sym);
        return;
    case OFFER:
        payKey(sym);
        return;
    default:
        if (sym == SDLK_SPACE)
            backToMenu();
        return;
    }
}

void Event_1001_C::choose(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    member_ = static_cast<uint8_t>(memberSlotOfKey(sym));
    if (m->getCurHP() <= 0) {
        setState(DEAD);
    } else if (!m->isClass(kCasterMask)) {
        setState(NOT_MAGIC);
    } else {
        // More points than the maximum is no debt to the shop.
        const int64_t missing = int64_t(m->getMaxSP()) - m->getCurSP();
        missing_ = missing > 0 ? missing : 0;
        setState(missing_ == 0 ? FULL : OFFER);
    }
}

void Event_1001_C::payKey(int sym)
{
    if (sym == 'n') {
        setState(DECLINED);
        return;
    }
    if (sym != 'y')
        return;
    bl3dPartyChar* m = party ? party->getMember(member_) : nullptr;
    if (!m || !money::pay(*m, price())) {
        setState(NO_FUNDS);
        return;
    }
    // The price was paid, so the points fit a 32-bit count.
    m->addSP(static_cast<int32_t>(missing_));
    if (gameworld)
        gameworld->getClock().advance(static_cast<int>(static_cast<uint64_t>(missing_) / 2));
    setState(CHARGED);
}
