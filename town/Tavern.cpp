#include "town/Tavern.h"

#include "core/ModalLoop.h"
#include "platform/Random.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "world/PaneText.h"
#include "town/TownPrices.h"
#include "world/GameWorld.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kSongClass = 0x2;

struct Drink_S {
    int key;
    const char* label;
    int64_t price;
    int songs;   // songs restored; -1 all of them
    int ticks;   // time the drink takes
    const char* words;
};

const Drink_S kDrinks[Tavern_C::kDrinkCount] = {
    {'a', "House (A)le", 10, 1, 10, "The house ale is weak and flat, but at least it was cheap, right?"},
    {'i', "(I)mported Ale", 50, 8, 10, "The fine import is smooth and rich, soothing your parched throught."},
    {'w', "(W)ine", 30, 5, 10,
     "The rich, blood-colored wine is a bit sour for your tastes, but is soothing none-the-less."},
    {'m', "(M)ead", 15, 2, 10, "The mead seems to be more water than alcohol, but at least it's drinkable."},
    {'h', "W(h)isky", 40, 4, 10, "The whisky goes down like fire, and very nearly takes you to the floor with it."},
    {'t', "(T)ongue o'the Dragon", 100, -1, 30,
     "The Tongue o'the Dragon glows slightly red as the barkeep pours your shot. You hesitate, then down it all in "
     "one swallow. Awakening several minutes later, you realize that may not have been the best idea you've ever "
     "had."},
};

constexpr int kFirstDrinkState = Tavern_C::ALE;
static_assert(kFirstDrinkState + Tavern_C::kDrinkCount - 1 == Tavern_C::TONGUE, "a state for each drink");
const char* const kNothingToTell = "The barkeep shrugs. \"Quiet times, friend. I've heard nothing worth the telling.\"";

// A question that F1-F8 answer, and ESC cancels.
void askForMember(PaneText_C& pane, const char* question)
{
    pane.wrapped(1, question);
    pane.line(-1, "(F1-F8) for Character");
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

std::string format(const char* fmt, const char* a)
{
    char buf[600];
    std::snprintf(buf, sizeof buf, fmt, a);
    return buf;
}

std::string format(const char* fmt, long long n)
{
    char buf[600];
    std::snprintf(buf, sizeof buf, fmt, n);
    return buf;
}

} // namespace

Tavern_C::Tavern_C(const EventParams_S* params, const char* name, const char* tipFile)
    : Building_C(params), name_(name ? name : "")
{
    tips_.read(tipFile);
}

int Tavern_C::invoke(Interface_C* iface)
{
    amount_.clear();
    return Building_C::invoke(iface);
}

const char* Tavern_C::closedText() const
{
    return "We're sorry, but we're closed. We reopen at noon, please come back then!";
}

// --- the tavern's work ----------------------------------------------------------

int64_t Tavern_C::drinkPrice(int drink)
{
    return drink >= 0 && drink < kDrinkCount ? kDrinks[drink].price : -1;
}

bool Tavern_C::buyDrink(bl3dPartyChar& drinker, int drink)
{
    return money::pay(drinker, drinkPrice(drink));
}

void Tavern_C::drinkEffect(bl3dPartyChar& drinker, int drink)
{
    if (drink < 0 || drink >= kDrinkCount)
        return;
    const Drink_S& d = kDrinks[drink];
    if (drinker.isClass(kSongClass)) {
        TagList_C* tags = drinker.getTagList();
        const int32_t most = tags->intValue(tagkey::MaxSongs);
        const int64_t now = tags->intValue(tagkey::CurSongs);
        const int64_t songs = d.songs < 0 ? most : std::min<int64_t>(now + d.songs, most);
        tags->setInt(tagkey::CurSongs, static_cast<int32_t>(songs));
    }
    if (d.songs < 0)
        drinker.changeHP(drinker.getStatBlock()->getCur(STAT_CO) - 20);
    passTime(d.ticks);
}

int64_t Tavern_C::roomPrice() const
{
    int64_t levels = 0;
    const int count = party ? party->getCount() : 0;
    for (int i = 0; i < count; ++i)
        if (const bl3dPartyChar* m = party->getMember(i))
            levels += m->getLevel();
    // No members, no average: a room for level 0.
    return price(count > 0 ? levels / count : 0);
}

bool Tavern_C::rentRoom(bl3dPartyChar& payer) const
{
    return money::pay(payer, roomPrice());
}

void Tavern_C::restNight()
{
    passTime(kRestTicks);
    for (int i = 0; party && i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (!m || m->getCurHP() <= 0)
            continue;
        const int64_t hp = (int64_t(m->getMaxHP()) - m->getCurHP()) / 2;
        const int64_t sp = (int64_t(m->getMaxSP()) - m->getCurSP()) / 4;
        // A member already above its maximum keeps what it has.
        if (hp > 0)
            m->changeHP(static_cast<int32_t>(std::min<int64_t>(hp, INT32_MAX)));
        if (sp > 0)
            m->addSP(static_cast<int32_t>(std::min<int64_t>(sp, INT32_MAX)));
    }
    if (gameworld) {
        const unsigned hour = gameworld->getClock().getHour();
        if (hour < 6)
            passTime(int(6 - hour) * int(GameClock_C::TICKS_PER_HOUR));
    }
}

std::string Tavern_C::anyRumour() const
{
    if (tips_.rumours.empty())
        return kNothingToTell;
    return tips_.rumours[size_t(vell::gameRandMod(int(tips_.rumours.size())))].text;
}

void Tavern_C::listen()
{
    const int tipCount = int(tips_.tips.size());
    // One time in a thousand the barkeep lets a tip slip; a tavern without
    // rumours always tells a tip when it has one.
    if (vell::gameRand() % 1000 != 0 && !tips_.rumours.empty()) {
        text_ = anyRumour();
    } else if (tipCount == 0) {
        text_ = anyRumour();
    } else {
        text_ = tips_.tips[0].text;
        for (int k = tipCount; k >= 2; --k)
            if (vell::gameRandMod(10 * k) == 0) {
                text_ = tips_.tips[size_t(k - 1)].text;
                break;
            }
    }
    passTime(kListenTicks);
}

bool Tavern_C::tip(bl3dPartyChar& tipper, const std::string& digits)
{
    // At most eight digits are typed; anything longer (or not a number) is
    // read as far as it is one, held to what gold can say.
    const long long typed = std::strtoll(digits.c_str(), nullptr, 10);
    cost_ = std::min<long long>(std::max<long long>(typed, 0), INT32_MAX);
    if (!money::pay(tipper, cost_))
        return false;
    int64_t worth = cost_;
    const int32_t ch = tipper.getStatBlock()->getCur(STAT_CH);
    if (ch > 15)
        worth += int64_t(ch - 15) * 100;
    else if (ch < 10)
        worth -= int64_t(10 - ch) * 100;

    const std::vector<TipEntry_S>& list = tips_.tips;
    if (list.empty()) {
        text_ = anyRumour();
    } else {
        const int n = int(list.size());
        size_t pick = size_t(vell::gameRandMod(n));
        for (int more = 0; more < 20 && list[pick].value > worth; ++more)
            pick = size_t(vell::gameRandMod(n));
        if (list[pick].value <= worth) {
            text_ = list[pick].text;
        } else {
            auto it = std::find_if(list.begin(), list.end(), [worth](const TipEntry_S& t) { return t.value >= worth; });
            const TipEntry_S& first = it != list.end() ? *it : list.back();
            text_ = first.value <= worth ? first.text : anyRumour();
        }
    }
    passTime(kTipTicks);
    return true;
}

// --- the screen -------------------------------------------------------------------

void Tavern_C::hourTest()
{
    const unsigned hour = gameworld ? gameworld->getClock().getHour() : 12;
    setState(hour >= 1 && hour <= 11 ? kClosed : MENU);
}

bl3dPartyChar* Tavern_C::livingMemberFor(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    return m && m->getCurHP() > 0 ? m : nullptr;
}

void Tavern_C::drawState(PaneText_C& pane)
{
    const int first = 1;
    switch (state_) {
    case MENU:
        pane.wrapped(first, format("Welcome to %s!\n", name_.c_str()).c_str());
        pane.line(3, "What be your pleasure?");
        pane.line(6, "(B)uy a Drink", 'b');
        pane.line(7, "(R)ent a Room", 'r');
        pane.line(8, "(L)isten for Rumors", 'l');
        pane.line(9, "(T)ip the Barkeep", 't');
        pane.line(-1, "(F1-F8) to View");
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case DRINK_WHO:
        askForMember(pane, "Who will drink?");
        return;
    case DRINKS:
        pane.wrapped(first, format("%s, what can I get ye?", member_ ? member_->getName() : "").c_str());
        for (int d = 0; d < kDrinkCount; ++d)
            pane.line(4 + d, kDrinks[d].label, kDrinks[d].key);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        return;
    case DRINK_OFFER:
        pane.wrapped(first, format("Such a fine brew will cost you %lld gold. Will ye pay?", (long long)cost_).c_str());
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        return;
    case ROOM_WHO:
        askForMember(pane, format("A room will cost you %lld gold. Who will pay?", (long long)cost_).c_str());
        return;
    case TIP_WHO:
        askForMember(pane, "Who wishes to tip the barkeep?");
        return;
    case TIP_AMOUNT:
        pane.wrapped(first, "How much do you wish to tip?");
        pane.line(4, (amount_ + "_").c_str());
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        return;
    default:
        break;
    }
    // The message states.
    const char* message = nullptr;
    if (state_ >= kFirstDrinkState && state_ < kFirstDrinkState + kDrinkCount)
        message = kDrinks[state_ - kFirstDrinkState].words;
    else if (state_ == NO_CREDIT)
        message = "I know not where from you hail, but in these parts we don't give drink on credit! Come back when "
                  "you have the funds.";
    else if (state_ == NO_DRINK)
        message = "Our policy is simple - no money, no drink. Come back when you understand that.";
    else if (state_ == NIGHT)
        message = "The room is simple, but comfortable. You rest for eight hours or so, and feel much refreshed.";
    else if (state_ == ROOM_SHORT)
        message = "You do not have enough to cover the cost.";
    else if (state_ == RUMOUR || state_ == TIP_TOLD)
        message = text_.c_str();
    else if (state_ == TIP_SHORT)
        message = "You don't have that much!";
    if (!message)
        return;
    pane.wrapped(first, message);
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
}

void Tavern_C::keyAmount(int sym)
{
    if (sym >= '0' && sym <= '9') {
        if (int(amount_.size()) < kMaxTipDigits) {
            amount_ += char(sym);
            vell::pushRedraw();
        }
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        if (!amount_.empty()) {
            amount_.pop_back();
            vell::pushRedraw();
        }
    } else if (sym == SDLK_RETURN) {
        if (!amount_.empty() && member_)
            setState(tip(*member_, amount_) ? TIP_TOLD : TIP_SHORT);
    } else if (sym == SDLK_ESCAPE) {
        setState(MENU);
    }
}

void Tavern_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case MENU:
        if (sym == SDLK_ESCAPE) {
            leave();
        } else if (sym == 'b') {
            setState(DRINK_WHO);
        } else if (sym == 'r') {
            cost_ = roomPrice();
            setState(ROOM_WHO);
        } else if (sym == 'l') {
            listen();
            setState(RUMOUR);
        } else if (sym == 't') {
            setState(TIP_WHO);
        } else if (bl3dPartyChar* m = memberForKey(sym)) {
            CharView_C::run(m, iface_, true);
            vell::pushRedraw();
        }
        return;
    case DRINK_WHO:
    case ROOM_WHO:
    case TIP_WHO:
        if (sym == SDLK_ESCAPE) {
            setState(MENU);
        } else if (bl3dPartyChar* m = livingMemberFor(sym)) {
            member_ = m;
            if (state_ == DRINK_WHO)
                setState(DRINKS);
            else if (state_ == TIP_WHO)
                setState(TIP_AMOUNT);
            else
                setState(rentRoom(*m) ? NIGHT : ROOM_SHORT);
        }
        return;
    case DRINKS:
        if (sym == SDLK_ESCAPE) {
            setState(MENU);
            return;
        }
        for (int d = 0; d < kDrinkCount; ++d)
            if (sym == kDrinks[d].key) {
                drink_ = d;
                cost_ = kDrinks[d].price;
                setState(DRINK_OFFER);
            }
        return;
    case DRINK_OFFER:
        if (sym == 'y' && member_)
            setState(buyDrink(*member_, drink_) ? kFirstDrinkState + drink_ : NO_CREDIT);
        else if (sym == 'n')
            setState(NO_DRINK);
        return;
    case TIP_AMOUNT:
        keyAmount(sym);
        return;
    default:
        break;
    }
    if (sym != SDLK_SPACE)
        return;
    if (state_ >= kFirstDrinkState && state_ < kFirstDrinkState + kDrinkCount) {
        if (member_)
            drinkEffect(*member_, state_ - kFirstDrinkState);
        hourTest();
    } else if (state_ == NIGHT) {
        restNight();
        hourTest();
    } else if (state_ == NO_CREDIT || state_ == NO_DRINK || state_ == ROOM_SHORT || state_ == RUMOUR ||
               state_ == TIP_SHORT || state_ == TIP_TOLD) {
        hourTest();
    }
}
