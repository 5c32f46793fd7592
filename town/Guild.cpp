#include "town/Guild.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/Money.h"
#include "rules/PartyChar.h"
#include "rules/StatBlock.h"
#include "world/PaneText.h"
#include "town/TownPrices.h"
#include "world/Interface.h"

#include <cstdio>

namespace {

constexpr int LIST_TOP_LINE = 5;
constexpr int PRICE_WIDTH = 80;

bool isLiving(const bl3dPartyChar* m) { return m && m->getCurHP() > 0; }

} // namespace

Guild_C::Guild_C(const EventParams_S* params) : Building_C(params) {}

Guild_C::~Guild_C() = default;

bl3dAction* Guild_C::selectedAction() const
{
    if (!offers_ || offers_->selected() < 0)
        return nullptr;
    // Found again by its id: the list keeps only the id.
    return masterActionList.getAction(offers_->selectedItem());
}

// --- drawing -----------------------------------------------------------------------

bool Guild_C::isMessage() const
{
    switch (state_) {
    case NOT_OF_GUILD: case NOT_READY: case TRAIN_SHORT: case TRAINED: case TRAIN_DECLINED: case CANNOT_LEARN:
    case BUY_SHORT: case BOUGHT: case BUY_DECLINED: case NOTHING_OFFERED:
        return true;
    default: return isOwnMessage(state_);
    }
}

void Guild_C::drawState(PaneText_C& pane)
{
    if (state_ == MENU) {
        drawMenu(pane);
        return;
    }
    if (state_ == OFFER_LIST) {
        drawList(pane);
        return;
    }
    if (isMessage()) {
        pane.wrapped(1, text(state_));
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        return;
    }
    if (state_ == TRAIN_WHO || state_ == BUY_WHO || isOwnChoice(state_)) {
        pane.wrapped(1, text(state_));
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, state_ == TRAIN_WHO ? "(ESCAPE) to Continue" : "(ESCAPE) to Cancel", SDLK_ESCAPE);
        return;
    }
    if (state_ == TRAIN_OFFER || state_ == BUY_OFFER || isOwnOffer(state_)) {
        char buf[512];
        std::snprintf(buf, sizeof buf, text(state_), static_cast<long long>(cost_));
        pane.wrapped(1, buf);
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        return;
    }
    drawOwnState(pane);
}

void Guild_C::drawList(PaneText_C& pane)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "Gold: %ld", static_cast<long>(member_ ? member_->getGold() : 0));
    pane.wrapped(1, buf);
    pane.line(3, text(OFFER_LIST));
    if (offers_) {
        offers_->draw(&pane.text(), pane.regions());
        pane.listRegion(LIST_TOP_LINE, listRegionBottomLine(), SDLK_RETURN, &ScrollInvList_C::mouseCallback,
                        offers_.get());
    }
    drawOwnState(pane);
    pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

// --- keys --------------------------------------------------------------------------

void Guild_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case MENU: menuKey(sym); return;
    case TRAIN_OFFER: trainKey(sym); return;
    case OFFER_LIST: listKey(sym); return;
    case BUY_OFFER: buyKey(sym); return;
    default: break;
    }
    if (state_ == TRAIN_WHO || state_ == BUY_WHO || isOwnChoice(state_)) {
        if (sym == SDLK_ESCAPE) {
            setState(MENU);
            return;
        }
        bl3dPartyChar* m = memberForKey(sym);
        if (isLiving(m))
            memberChosen(*m);
        return;
    }
    if (isOwnOffer(state_)) {
        if (sym == 'y' || sym == 'n')
            ownOfferKey(sym == 'y');
        return;
    }
    ownKey(sym);
}

void Guild_C::menuKey(int sym)
{
    switch (sym) {
    case 't': setState(TRAIN_WHO); return;
    case 'a': setState(BUY_WHO); return;
    case SDLK_ESCAPE: leave(); return;
    default: break;
    }
    if (!showSheet(sym))
        ownMenuKey(sym);
}

void Guild_C::memberChosen(bl3dPartyChar& m)
{
    member_ = &m;
    if (state_ == TRAIN_WHO) {
        if (!isOfGuild(m)) {
            setState(NOT_OF_GUILD);
        } else if (!m.levelUp(false)) {
            setState(NOT_READY);
        } else {
            cost_ = trainingPrice(m.getLevel());
            setState(TRAIN_OFFER);
        }
    } else if (state_ == BUY_WHO) {
        if (!isOfGuild(m)) {
            setState(CANNOT_LEARN);
            return;
        }
        buildOffers();
        setState(offers_->getNumLines() > 0 ? OFFER_LIST : NOTHING_OFFERED);
    } else {
        ownMemberChosen(m);
    }
}

void Guild_C::buildOffers()
{
    PaneText_C pane(*iface_);
    offers_ = std::make_unique<ScrollInvList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(LIST_TOP_LINE),
                                                pane.lineY(listBottomLine()), 0, PRICE_WIDTH);
    for (const ActionNode_S* n = masterActionList.head(); n; n = n->next) {
        const bl3dAction* a = n->action;
        if (!a || !isOffered(*a, *member_))
            continue;
        const int price = saturate32(kPricePerLevel * a->getLevel());
        offers_->addLine(a->name().c_str(), a->actionID(), 0, true, price < 0 ? 0 : price);
    }
}

void Guild_C::trainKey(int sym)
{
    if (sym == 'n') {
        setState(TRAIN_DECLINED);
        return;
    }
    if (sym != 'y' || !member_)
        return;
    if (!money::pay(*member_, cost_)) {
        setState(TRAIN_SHORT);
        return;
    }
    member_->levelUp(true);
    passTime(kTrainingTicks);
    setState(trainedState(cost_, member_->getLevel()));
}

void Guild_C::listKey(int sym)
{
    switch (sym) {
    case SDLK_UP:
        if (offers_ && offers_->lineUp())
            vell::pushRedraw();
        return;
    case SDLK_DOWN:
        if (offers_ && offers_->lineDown())
            vell::pushRedraw();
        return;
    case SDLK_RETURN:
        // Nothing happens without a line selected.
        if (const bl3dAction* a = selectedAction()) {
            cost_ = kPricePerLevel * a->getLevel();
            setState(BUY_OFFER);
        }
        return;
    case SDLK_ESCAPE: setState(MENU); return;
    default: ownListKey(sym); return;
    }
}

void Guild_C::buyKey(int sym)
{
    if (sym == 'n') {
        setState(BUY_DECLINED);
        return;
    }
    bl3dAction* a = selectedAction();
    if (sym != 'y' || !member_ || !a)
        return;
    if (!money::pay(*member_, cost_)) {
        setState(BUY_SHORT);
        return;
    }
    learnedList(*member_)->add(a, 0);
    afterLearning(*member_, *a);
    passTime(kLearningTicks);
    setState(BOUGHT);
}
