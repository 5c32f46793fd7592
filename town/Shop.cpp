#include "town/Shop.h"

#include "core/ArchiveDir.h"
#include "core/ArchiveFile.h"
#include "core/CommonInterface.h"
#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "platform/Random.h"
#include "rules/Inventory.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/ShopInv.h"
#include "screens/CharView.h"
#include "screens/InvChooser.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/QuestStores.h"

#include <algorithm>
#include <cstdio>

namespace {

const char* const kShopDir = "shop";

// The seven categories, in the order the category screen lists them.
struct Category_S {
    int bit;
    int key;
    const char* label;
};
const Category_S kCategories[] = {
    {1, 'a', "(A)rmor"},
    {2, 'b', "(B)laded Weapons"},
    {4, 'l', "B(l)unt Weapons"},
    {8, 'r', "(R)anged Weapons"},
    {16, 'c', "A(c)cessories"},
    {64, 'i', "(I)nstruments"},
    {32, 'm', "(M)iscellaneous"},
};

// The stock of that name in the quest's "shop" directory; null when there
// is none, or it cannot be read (said on the error stream).
std::unique_ptr<bl3dShopInv> loadStock(const char* name)
{
    // A stock that could not be stored when the party last left the shop
    // waits for the next save: it is newer than the archive's.
    if (std::unique_ptr<Storable_C> waiting = loadUnstored(kShopDir, name)) {
        if (auto* stock = dynamic_cast<bl3dShopInv*>(waiting.get())) {
            waiting.release();
            return std::unique_ptr<bl3dShopInv>(stock);
        }
    }
    if (!saveFile || !saveFile->hasEntry(kShopDir))
        return nullptr;
    DirHandle_C dir = saveFile->openDir(kShopDir);
    if (!dir || dir->isBroken() || !dir->hasEntry(name))
        return nullptr;
    std::unique_ptr<Storable_C> rec = dir->load(name);
    auto* stock = dynamic_cast<bl3dShopInv*>(rec.get());
    if (!stock) {
        std::fprintf(stderr, "WARNING: the stock of shop %s cannot be read; the shop restocks from the item file\n",
                     name);
        return nullptr;
    }
    rec.release();
    return std::unique_ptr<bl3dShopInv>(stock);
}

bool storeStock(const bl3dShopInv& stock)
{
    if (!saveFile)
        return false;
    DirHandle_C dir = saveFile->openDir(kShopDir);
    return dir && !dir->isBroken() && dir->store(stock);
}

// The item chooser's picture behind it: the shop's, still in the pane.
void redrawShopPicture()
{
    iface.drawULPic();
}

} // namespace

Shop_C::Shop_C(const EventParams_S* params, const ShopValues_S& values)
    : Building_C(params), values_{values.stockName, values.picture, values.soundEnv, values.welcome}
{
    stock_ = loadStock(values_.stockName.c_str());
    if (!stock_)
        stock_ = std::make_unique<bl3dShopInv>(values_.stockName.c_str());
    stock_->restock(masterITL);
}

Shop_C::~Shop_C() = default;

int Shop_C::categoryBit(int32_t category)
{
    if (category >= 1 && category <= 8)
        return 1;
    switch (category) {
    case 9: case 14: case 16: return 2;
    case 10: case 11: return 4;
    case 12: case 13: case 15: return 8;
    case 19: case 20: return 16;
    case 18: return 64;
    case 17: return 32;
    default: return 0;
    }
}

bool Shop_C::inCategory(int bit, int32_t category)
{
    return bit != 0 && categoryBit(category) == bit;
}

int64_t Shop_C::modifyPrice(int64_t price) const
{
    // A negative price (a damaged item file) is never paid; talking cannot
    // turn it into one that is.
    if (price < 0)
        return price;
    const bl3dPartyChar* who = customer();
    const int64_t s5 = who ? who->getStatBlock()->getCur(5) : 0;
    const int64_t s6 = who ? who->getStatBlock()->getCur(6) : 0;
    int64_t m = vell::gameRand() % 30 + 5 * int64_t(haggleCount_) - 2 * s5 - 2 * s6 + 33;
    m = std::clamp<int64_t>(m, -25, 25);
    const double moved = double(price) + double(price) * double(m) / 100.0;
    // Truncated toward zero; a price past what gold holds stops there.
    if (moved >= double(money::kMaxGold))
        return money::kMaxGold;
    return moved <= 0 ? 0 : static_cast<int64_t>(moved);
}

bool Shop_C::isOpenAt(unsigned hour) const
{
    return hour >= unsigned(kOpensAt) && hour < unsigned(kClosesAt);
}

const char* Shop_C::closedText() const
{
    return "Sorry, I'm closed.  Come back tomorrow, and I'll be happy to sell you my wares!";
}

bl3dPartyChar* Shop_C::customer() const
{
    return party ? party->getMember(customer_) : nullptr;
}

const bl3dItemType* Shop_C::offeredType() const
{
    const ShopStock_S* e = stock_->at(selected_);
    return e ? e->type : nullptr;
}

int64_t Shop_C::offerPrice() const
{
    if (haggleCount_ > 0)
        return haggledPrice_;
    const bl3dItemType* t = offeredType();
    return t ? t->getPrice() : 0;
}

// --- drawing -----------------------------------------------------------------

void Shop_C::drawState(PaneText_C& pane)
{
    bl3dPartyChar* who = customer();
    const std::string name = who ? who->getName() : "";
    char buf[256];
    switch (state_) {
    case WELCOME:
        pane.wrapped(1, values_.welcome.c_str());
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        break;
    case BUSINESS:
        std::snprintf(buf, sizeof buf, "%s:", name.c_str());
        pane.line(1, buf);
        pane.line(3, "Which be your business today?");
        pane.line(6, "(B)uy an Item", 'b');
        pane.line(7, "(S)ell an Item", 's');
        pane.line(-1, "(F1-F8) to View ");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case BUY_LIST:
        pane.line(1, name.c_str());
        std::snprintf(buf, sizeof buf, "Gold: %lld", static_cast<long long>(who ? who->getGold() : 0));
        pane.line(2, buf);
        pane.line(3, "Choose:");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        drawBuyList(pane);
        break;
    case SELL_OFFER: {
        const ItemPlace_S place = who ? findItemAt(*who, sellIndex_) : ItemPlace_S();
        RefStr_C itemName;
        if (place.item)
            place.item->getDisplayName(itemName);
        std::snprintf(buf, sizeof buf, "I'll give you %lld gold for that.  Do you accept?",
                      static_cast<long long>(money::salePrice(place.item ? place.item->getPrice() : 0)));
        drawItemOffer(pane, itemName.c_str(), buf);
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        break;
    }
    case MESSAGE:
        pane.wrapped(1, message_.c_str());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case BUY_OFFER: {
        RefStr_C typeName;
        if (const bl3dItemType* t = offeredType())
            t->getDisplayName(typeName);
        std::snprintf(buf, sizeof buf, "That'll cost you %lld gold.  Do you accept?",
                      static_cast<long long>(offerPrice()));
        drawItemOffer(pane, typeName.c_str(), buf);
        pane.line(-2, "(Y)es", 'y');
        pane.line(-1, "(N)o", 'n');
        pane.line(0, "(T)alk him down", 't');
        break;
    }
    case CATEGORY: {
        pane.wrapped(1, "What kind of item are you looking for?");
        int n = 4;
        for (const Category_S& c : kCategories)
            if (categoryMask_ & c.bit)
                pane.line(n++, c.label, c.key);
        pane.line(0, "(ESC) to go back", SDLK_ESCAPE);
        break;
    }
    case HAGGLING:
        if (haggleCount_ >= kHaggleLimit) {
            pane.wrapped(1, "I've heard enough, forget it.");
            pane.line(0, "(SPACE) to continue", SDLK_SPACE);
            break;
        }
        // The attempt raised the price when it is above the price before it.
        pane.line(1, haggleRaised_ ? "You gotta be kidding me!" : "Alright, you talked me into it");
        std::snprintf(buf, sizeof buf, haggleRaised_ ? "It's gonna cost you %lld now!" : "How does %lld sound?",
                      static_cast<long long>(haggledPrice_));
        pane.line(3, buf);
        pane.line(5, "Do You Accept?");
        pane.line(-2, "(Y)es", 'y');
        pane.line(-1, "(N)o", 'n');
        pane.line(0, "(T)ry Again", 't');
        break;
    default:
        break;
    }
}

void Shop_C::drawItemOffer(PaneText_C& pane, const std::string& name, const char* offer)
{
    CommonInterface_C& text = pane.text();
    const int lh = pane.lineHeight();
    const int y = pane.lineY(1);
    pane.line(1, "Item:");
    text.printFormat(pane.left() + 60, y, name.c_str(), pane.right());
    const int rows = std::max(1, text.heightStr(pane.left() + 60, pane.right(), name.c_str()));
    // Two line heights below where the name ended.
    text.printFormat(pane.left(), y - (rows + 1) * lh, offer, pane.right());
}

void Shop_C::drawBuyList(PaneText_C& pane)
{
    if (!list_) {
        std::fprintf(stderr, "ERROR: BUYITEM - scrollInvList==NULL!\n");
        return;
    }
    list_->draw(&pane.text(), pane.regions());
    pane.listRegion(5, -3, SDLK_RETURN, &ScrollInvList_C::mouseCallback, list_.get());
}

// --- keys ----------------------------------------------------------------------

void Shop_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case WELCOME: welcomeKey(sym); break;
    case BUSINESS: businessKey(sym); break;
    case BUY_LIST: buyListKey(sym); break;
    case SELL_OFFER: sellOfferKey(sym); break;
    case MESSAGE:
        if (sym == SDLK_SPACE)
            setState(BUSINESS);
        break;
    case BUY_OFFER:
    case HAGGLING: offerKey(sym); break;
    case CATEGORY: categoryKey(sym); break;
    default: break;
    }
}

void Shop_C::welcomeKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        leave();
        return;
    }
    if (memberForKey(sym)) {
        customer_ = memberSlotOfKey(sym);
        setState(BUSINESS);
    }
}

void Shop_C::businessKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        setState(WELCOME);
    } else if (sym == 'b') {
        computeRoom();
        computeCategoryMask();
        category_ = 0;
        selected_ = 0;
        setState(CATEGORY);
    } else if (sym == 's') {
        runSellChooser();
        setState(sellIndex_ >= 0 ? SELL_OFFER : BUSINESS);
    } else if (bl3dPartyChar* m = memberForKey(sym)) {
        CharView_C::run(m, iface_, true);
        setState(BUSINESS);
    }
}

void Shop_C::buyListKey(int sym)
{
    haggleCount_ = 0;
    if (moveListByKey(list_.get(), sym, true)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        const int value = list_ ? list_->selectedItem() : 0;
        if (value <= 0) {
            message("You have made an invalid selection!");
        } else if (!hasRoom_) {
            message("Your pack is full.");
        } else {
            selected_ = value - 1;
            setState(BUY_OFFER);
        }
    } else if (sym == SDLK_ESCAPE) {
        setState(CATEGORY);
    } else if (memberForKey(sym)) {
        customer_ = memberSlotOfKey(sym);
        computeRoom();
        rebuildList(list_ ? list_->selected() : 0);
        setState(BUY_LIST);
    }
}

void Shop_C::offerKey(int sym)
{
    switch (sym) {
    case 'y': buy(); break;
    case 'n': setState(BUY_LIST); break;
    case 't':
        haggle();
        setState(HAGGLING);
        break;
    case SDLK_SPACE: setState(WELCOME); break;
    default: break;
    }
}

void Shop_C::categoryKey(int sym)
{
    category_ = 0;
    if (sym == SDLK_ESCAPE) {
        setState(BUSINESS);
        return;
    }
    for (const Category_S& c : kCategories)
        if (sym == c.key)
            category_ = c.bit;
    if (category_ != 0 && (categoryMask_ & category_)) {
        rebuildList(0);
        selected_ = 0;
        setState(BUY_LIST);
    } else {
        vell::pushRedraw();
    }
}

void Shop_C::sellOfferKey(int sym)
{
    if (sym == 'y') {
        sell();
    } else if (sym == 'n') {
        runSellChooser();
        setState(sellIndex_ >= 0 ? SELL_OFFER : BUSINESS);
    }
}

// --- the trade -----------------------------------------------------------------

void Shop_C::computeRoom()
{
    const bl3dPartyChar* who = customer();
    hasRoom_ = who && inv::hasRoom(*who, inv::worldLimits());
}

void Shop_C::computeCategoryMask()
{
    categoryMask_ = 0;
    for (int i = 0; i < stock_->count(); ++i) {
        const ShopStock_S* e = stock_->at(i);
        if (e->count != 0 && e->type)
            categoryMask_ |= categoryBit(e->type->getCategory());
    }
}

void Shop_C::rebuildList(int selectLine)
{
    list_.reset();
    if (!iface_)
        return;
    const bl3dPartyChar* who = customer();
    PaneText_C pane(*iface_);
    list_ = std::make_unique<ScrollInvList_C>(&pane.text(), pane.left(), pane.right(), pane.lineY(5), pane.lineY(-3),
                                              20, 80);
    for (int i = 0; i < stock_->count(); ++i) {
        const ShopStock_S* e = stock_->at(i);
        if (e->count == 0 || !e->type || !inCategory(category_, e->type->getCategory()))
            continue;
        RefStr_C name;
        e->type->getDisplayName(name);
        const int tag = who && e->type->canUse(who) ? 0 : '@';
        list_->addLine(name.c_str(), i + 1, tag, true, e->type->getPrice());
    }
    const int lines = list_->getNumLines();
    if (lines > 0)
        list_->select(std::clamp(selectLine, 0, lines - 1));
}

void Shop_C::runSellChooser()
{
    sellIndex_ = -1;
    bl3dPartyChar* who = customer();
    if (!who || !iface_)
        return;
    InvChooser_C chooser(who, &redrawShopPicture);
    sellIndex_ = chooser.run(iface_, true, true);
}

void Shop_C::buy()
{
    bl3dPartyChar* who = customer();
    const ShopStock_S* entry = stock_->at(selected_);
    bl3dItemType* type = entry ? entry->type : nullptr;
    if (!who || !type || entry->count == 0) {
        message("You have made an invalid selection!");
        return;
    }
    std::unique_ptr<bl3dItem> item(type->newInstance());
    if (!item) {
        message("You have made an invalid selection!");
        return;
    }
    if (!money::pay(*who, offerPrice())) {
        message("Not enough gold.");
        return;
    }
    who->getPack()->pushFront(item.release());
    stock_->remove(1, type);
    computeRoom();
    if (hasRoom_) {
        const int line = list_ ? list_->selected() : 0;
        rebuildList(line);
        tradeTime(BUY_LIST);
    } else {
        tradeTime(BUSINESS);
    }
}

void Shop_C::sell()
{
    bl3dPartyChar* who = customer();
    std::unique_ptr<bl3dItem> item(who ? takeItemAt(*who, sellIndex_) : nullptr);
    if (!item) {
        setState(BUSINESS);
        return;
    }
    money::receive(*who, money::salePrice(item->getPrice()));
    stock_->add(1, item->getType(), false);
    item.reset();
    runSellChooser();
    tradeTime(sellIndex_ >= 0 ? SELL_OFFER : BUSINESS);
}

void Shop_C::haggle()
{
    const int64_t base = offerPrice();
    haggledPrice_ = modifyPrice(base);
    haggleRaised_ = haggledPrice_ > base;
    ++haggleCount_;
}

void Shop_C::message(const char* text)
{
    message_ = text;
    setState(MESSAGE);
}

void Shop_C::tradeTime(int nextState)
{
    if (gameworld)
        gameworld->getClock().advance(kTradeTicks);
    setState(isOpenNow() ? nextState : kClosed);
}

void Shop_C::afterVisit()
{
    storeFailed_ = !storeStock(*stock_);
    // What could not be stored now waits for the next save.
    if (storeFailed_)
        keepUnstored(kShopDir, *stock_);
    else
        forgetUnstored(kShopDir, stock_->getName().c_str());
    if (storeFailed_ && iface_)
        paneMessage(*iface_, "The shopkeeper's ledger could not be written: what was bought and sold here is not saved "
                             "yet.",
                    &redrawShopPicture);
}
