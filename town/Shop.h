// Shop_C: the town shops. One party member at a time, the customer, buys
// items from the shop's stock, by category, or sells items from its
// equipment or pack; a price may be haggled (down, or up). Each shop
// (town/Shops.h) gives only its type id, the name of its stock, its picture,
// sound environment and welcome text.
//
// It runs in the building frame (town/Building.h): open from 8:00 until
// 18:00, waits for each event, 30 ticks on leaving; unlike the other
// buildings it leaves its picture in the upper-left pane. Every purchase
// and sale takes 20 ticks, and the shop may close on the customer.
//
// Life of the stock: the constructor loads the shop's bl3dShopInv from the
// save archive's "shop" directory (a new empty one when there is none) and
// restocks it from the item file; purchases and sales change it in memory;
// leaving stores it back. A store that fails is told to the player; the
// stock in play stays as the visit left it, and the next leaving stores it
// again.
//
// Money: prices and payouts are worked out in 64 bits (rules/Money.h);
// a haggled price stops at what gold can hold, a negative price is never
// paid, and gold never wraps.
#pragma once
#include "town/Building.h"

#include <cstdint>
#include <memory>
#include <string>

class ScrollInvList_C;
class bl3dItemType;
class bl3dPartyChar;
class bl3dShopInv;

// A shop's own values.
struct ShopValues_S {
    const char* stockName;   // its bl3dShopInv in "shop", and its shop in the item file
    const char* picture;
    const char* soundEnv;
    const char* welcome;
};

class Shop_C : public Building_C {
public:
    enum State : int {
        WELCOME = 1,
        BUSINESS = 2,
        BUY_LIST = 3,
        SELL_OFFER = 4,
        MESSAGE = 5,
        BUY_OFFER = 6,
        CATEGORY = 7,
        HAGGLING = 8,
    };
    static constexpr int kOpensAt = 8;
    static constexpr int kClosesAt = 18;
    static constexpr int kTradeTicks = 20;
    static constexpr int kHaggleLimit = 10;

    Shop_C(const EventParams_S* params, const ShopValues_S& values);
    ~Shop_C() override;

    // The category bit of an item category number (0 for none), and whether
    // a number belongs to a chosen bit (false for a bit that is no
    // category's).
    static int categoryBit(int32_t category);
    static bool inCategory(int bit, int32_t category);

    // One haggling roll on the price, for the customer (a roll of the game's
    // generator): the price moves by at most a quarter, upward the more
    // attempts were made, downward the better the customer's stats 5 and 6.
    // The result stays within 0..what gold can hold.
    int64_t modifyPrice(int64_t price) const;

    const bl3dShopInv& getStock() const { return *stock_; }
    bl3dShopInv& getStock() { return *stock_; }
    const std::string& getStockName() const { return values_.stockName; }
    int getCustomer() const { return customer_; }
    int32_t getCategoryMask() const { return categoryMask_; }
    int32_t getCategory() const { return category_; }
    int64_t getHaggledPrice() const { return haggledPrice_; }
    int32_t getHaggleCount() const { return haggleCount_; }
    bool getHasRoom() const { return hasRoom_; }
    const ScrollInvList_C* getList() const { return list_.get(); }
    const std::string& getMessage() const { return message_; }
    // Whether the last store of the stock failed.
    bool storeFailed() const { return storeFailed_; }

protected:
    const char* audioName() const override { return values_.soundEnv.c_str(); }
    const char* pictureName() const override { return values_.picture.c_str(); }
    bool keepsHours() const override { return true; }
    bool isOpenAt(unsigned hour) const override;
    const char* closedText() const override;
    bool emptiesPictureOnLeaving() const override { return false; }
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    void afterVisit() override;

private:
    struct Values_S {
        std::string stockName, picture, soundEnv, welcome;
    };

    bl3dPartyChar* customer() const;
    const bl3dItemType* offeredType() const;
    // The price of the offered item: the haggled one after an attempt.
    int64_t offerPrice() const;

    void welcomeKey(int sym);
    void businessKey(int sym);
    void buyListKey(int sym);
    void offerKey(int sym);
    void categoryKey(int sym);
    void sellOfferKey(int sym);

    void computeRoom();
    void computeCategoryMask();
    // A new buy list for the customer and the chosen category; the line at
    // that position selected (the nearest one before it when it is gone).
    void rebuildList(int selectLine);
    void runSellChooser();
    void buy();
    void sell();
    void haggle();
    void message(const char* text);
    // After a trade: the trade's time passes; a shop that closed meanwhile
    // shows its closed screen.
    void tradeTime(int nextState);

    void drawItemOffer(PaneText_C& pane, const std::string& name, const char* offer);
    void drawBuyList(PaneText_C& pane);

    Values_S values_;
    std::unique_ptr<bl3dShopInv> stock_;
    std::unique_ptr<ScrollInvList_C> list_;
    int customer_ = 0;
    int32_t categoryMask_ = 0;
    int32_t category_ = 0;
    int selected_ = 0;        // stock index of the offered item
    int sellIndex_ = -1;      // item position of the sell offer
    int64_t haggledPrice_ = 0;
    int32_t haggleCount_ = 0;
    bool hasRoom_ = false;
    bool haggleRaised_ = false;
    bool storeFailed_ = false;
    std::string message_;
};
