#include "town/Event_1022.h"

#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "platform/Random.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// 1 each for class bits 128 and 2 and for race 6.
int luckBonus(const bl3dPartyChar& p)
{
    return (p.isClass(0x80) ? 1 : 0) + (p.isClass(0x2) ? 1 : 0) + (p.getRace() == 6 ? 1 : 0);
}

int luck(const bl3dPartyChar& p)
{
    return p.getStatBlock()->getCur(STAT_LK);
}

std::string format(const char* fmt, const char* s, long long n)
{
    char buf[300];
    std::snprintf(buf, sizeof buf, fmt, s, n);
    return buf;
}

} // namespace

Event_1022_C::Event_1022_C(const EventParams_S* params) : Building_C(params) {}

int Event_1022_C::invoke(Interface_C* iface)
{
    payout_ = 0;
    received_ = 0;
    player_ = 0;
    digits_.clear();
    return Building_C::invoke(iface);
}

bool Event_1022_C::canPlay(int slot)
{
    const bl3dPartyChar* p = party ? party->getMember(slot) : nullptr;
    return p && !p->isStunned() && !p->isSleeping() && !p->isStone() && !p->isBlind() && p->getCurHP() > 0;
}

int64_t Event_1022_C::spinWheel(int slot, int64_t wager)
{
    const bl3dPartyChar* p = party ? party->getMember(slot) : nullptr;
    if (!p)
        return 0;
    int s = vell::gameRand() % 13 + luckBonus(*p);
    if (luck(*p) > 16)
        ++s;
    else if (luck(*p) < 10)
        --s;
    if (s < 7)
        return 0;
    if (s <= 8)
        return wager;
    return s <= 10 ? 2 * wager : 4 * wager;
}

int64_t Event_1022_C::rollBones(int slot, int64_t wager)
{
    const bl3dPartyChar* p = party ? party->getMember(slot) : nullptr;
    if (!p)
        return 0;
    int d = vell::gameRand() % 6;
    d += vell::gameRand() % 6;
    const int t = luckBonus(*p) + (luck(*p) > 16 ? 1 : 0);
    if (d >= 1 && d <= 3)
        d = std::max(d - t, 0);
    else if (d >= 4 && d <= 6)
        d = std::min(d + t, 7);
    else if (d >= 8)
        d = std::max(d - t, 7);
    if (d == 7)
        return 2 * wager;
    return d == 0 ? 4 * wager : 0;
}

int Event_1022_C::play(int slot, int game, const std::string& digits)
{
    bl3dPartyChar* p = party ? party->getMember(slot) : nullptr;
    // atoi's reading of the digits, in 64 bits and held there: 38 nines are
    // simply more than anyone has.
    wager_ = std::max<long long>(0, std::strtoll(digits.c_str(), nullptr, 10));
    if (!p || p->getGold() < wager_)
        return NO_GOLD;
    payout_ = game == kBones ? rollBones(slot, wager_) : spinWheel(slot, wager_);
    received_ = 0;
    if (!money::pay(*p, wager_))
        return NO_GOLD;
    if (payout_ > 0)
        received_ = money::receiveUpTo(*p, payout_);
    return payout_ > 0 ? WON : LOST;
}

void Event_1022_C::drawState(PaneText_C& pane)
{
    const bl3dPartyChar* p = party ? party->getMember(player_) : nullptr;
    switch (state_) {
    case MENU:
        pane.wrapped(1, "Welcome to the Casino! Try your luck at one of our games of skill.");
        pane.line(5, "(W)heel of Chance", 'w');
        pane.line(6, "(B)ones of Luck", 'b');
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case kWheel:
    case kBones:
        pane.wrapped(1, state_ == kWheel ? "Prepare to spin the Wheel of Chance! Who will play?"
                                         : "Prepare to roll the Bones of Skill! Who will play?");
        pane.line(-1, "(F1-F8) to select");
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case WAGER:
        pane.wrapped(1, format("%s has %lld Gold:", p ? p->getName() : "", p ? p->getGold() : 0).c_str());
        pane.line(3, "How much will you wager?");
        pane.line(5, (digits_ + "_").c_str());
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case WON:
    case LOST: {
        int at = 3;
        if (state_ == WON) {
            pane.wrapped(1, "WE HAVE A WINNER!");
            const std::string purse = format("%sYour purse increases by %lld Gold Pieces", "", received_);
            pane.wrapped(2, payout_ == wager_ ? "You broke even on the wager" : purse.c_str());
            at = 5;
        } else {
            pane.wrapped(1, "Sorry friend, the house wins");
        }
        pane.line(at, "Would you like to :");
        const int first = state_ == WON ? at + 1 : at + 2;
        pane.line(first, "(P)lay again", 'p');
        pane.line(first + 1, "(C)hoose a new Player", 'c');
        pane.line(first + 2, "(L)eave this table", 'l');
        return;
    }
    case CANNOT_PLAY:
    case NO_GOLD:
        pane.wrapped(1, state_ == CANNOT_PLAY ? "Perhaps someone who can move should play?"
                                    : "Your credit is no good here, come back when you have the cash");
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        return;
    default:
        return;
    }
}

void Event_1022_C::keyWager(int sym)
{
    int digit = -1;
    if (sym >= '0' && sym <= '9')
        digit = sym - '0';
    else if (sym >= SDLK_KP0 && sym <= SDLK_KP9)
        digit = sym - SDLK_KP0;
    if (digit >= 0) {
        if (int(digits_.size()) < kMaxWagerDigits) {
            digits_ += char('0' + digit);
            vell::pushRedraw();
        }
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        if (!digits_.empty()) {
            digits_.pop_back();
            vell::pushRedraw();
        }
    } else if (sym == SDLK_RETURN) {
        setState(play(player_, game_, digits_));
    } else if (sym == SDLK_ESCAPE) {
        setState(game_);
    }
}

void Event_1022_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case MENU:
        if (sym == 'w' || sym == 'b') {
            game_ = sym == 'w' ? kWheel : kBones;
            setState(game_);
        } else if (sym == SDLK_ESCAPE) {
            leave();
        }
        return;
    case kWheel:
    case kBones:
        if (sym == SDLK_ESCAPE) {
            setState(MENU);
        } else if (memberForKey(sym)) {
            player_ = memberSlotOfKey(sym);
            setState(canPlay(player_) ? WAGER : CANNOT_PLAY);
        }
        return;
    case WAGER:
        keyWager(sym);
        return;
    case WON:
    case LOST:
        if (sym == 'p')
            setState(WAGER);
        else if (sym == 'c')
            setState(game_);
        else if (sym == 'l')
            setState(MENU);
        return;
    case CANNOT_PLAY:
        if (sym == SDLK_SPACE)
            setState(game_);
        return;
    case NO_GOLD:
        if (sym == SDLK_SPACE)
            setState(WAGER);
        return;
    default:
        return;
    }
}
