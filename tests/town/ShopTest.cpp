// The shops through every state: welcome, business, categories, the buy
// list, the buy offer, haggling, selling, messages and the closed shop;
// gold, items, stock (in play and in the archive) and the clock checked.
// The test kit's items are stocked for Starfire Swords (ShopFixture.h).
#include "ShopFixture.h"

#include "core/ScrollList.h"
#include "platform/FileIO.h"
#include "platform/Random.h"
#include "rules/Money.h"

namespace {

using namespace town;
using partykit::holdings;

class ShopTest : public ShopFixture {
protected:
    // Whether any display printed the text.
    bool anyShows(const std::string& text) const
    {
        for (const Shown& s : shown())
            if (s.has(text))
                return true;
        return false;
    }
};

TEST_F(ShopTest, BuyByCategoryFromTheListAndTheStockKeepsTheSale)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.rawAddGold(200);
    Event_1011_C shop(&params_);
    const uint32_t t0 = now();
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_c, SDLK_b, SDLK_DOWN, SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE,
               SDLK_ESCAPE});
    ASSERT_EQ(shown().size(), 11u);
    EXPECT_TRUE(shown(0).has("Welcome to Starfire Swords!  Who seeks my services today?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) for Character"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Exit"));
    const Shown& business = shown(1);
    EXPECT_EQ(business.state, Shop_C::BUSINESS);
    for (const char* t : {"Ann:", "Which be your business today?", "(B)uy an Item", "(S)ell an Item",
                          "(F1-F8) to View ", "(ESCAPE) to Cancel"})
        EXPECT_TRUE(business.has(t)) << t;
    const Shown& kinds = shown(2);
    EXPECT_EQ(kinds.state, Shop_C::CATEGORY);
    for (const char* t : {"What kind of item are you looking for?", "(A)rmor", "(B)laded Weapons", "(M)iscellaneous",
                          "(ESC) to go back"})
        EXPECT_TRUE(kinds.has(t)) << t;
    EXPECT_FALSE(kinds.has("A(c)cessories")) << "no accessory in stock";
    EXPECT_FALSE(kinds.has("(R)anged Weapons"));
    EXPECT_EQ(shown(3).state, Shop_C::CATEGORY) << "a category not in stock changes nothing";
    const Shown& list = shown(4);
    EXPECT_EQ(list.state, Shop_C::BUY_LIST);
    for (const char* t : {"Ann", "Gold: 200", "Choose:", "Sword", "Dagger", "(ESCAPE) to Cancel"})
        EXPECT_TRUE(list.has(t)) << t;
    EXPECT_FALSE(list.has("Helm"));
    const Shown& offer = shown(6);
    EXPECT_EQ(offer.state, Shop_C::BUY_OFFER);
    for (const char* t : {"Item:", "Dagger", "That'll cost you 15 gold.  Do you accept?", "(Y)es", "(N)o",
                          "(T)alk him down"})
        EXPECT_TRUE(offer.has(t)) << t;
    const Shown& after = shown(7);
    EXPECT_EQ(after.state, Shop_C::BUY_LIST);
    EXPECT_TRUE(after.has("Gold: 185"));
    EXPECT_TRUE(after.has("Sword"));
    EXPECT_FALSE(after.has("Dagger")) << "the sold-out entry leaves the list";
    EXPECT_EQ(shown(8).state, Shop_C::CATEGORY);
    EXPECT_EQ(shown(9).state, Shop_C::BUSINESS);
    EXPECT_EQ(shown(10).state, Shop_C::WELCOME);

    EXPECT_EQ(gold(ann), 185);
    EXPECT_EQ(holdings(ann).pack, std::vector<std::string>{"Dagger"});
    EXPECT_EQ(now(), t0 + 20 + 30) << "the purchase's five minutes and the leave time";
    expectOnExit();
    EXPECT_TRUE(iface.curPicNamed("Weapon_Shop")) << "a shop leaves its picture";
    std::unique_ptr<bl3dShopInv> kept = stored("starfire.dat");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(onShelf(*kept, kit().dagger), 0) << "sold out, kept for the restock";
    EXPECT_EQ(onShelf(*kept, kit().sword), 2);
    EXPECT_EQ(onShelf(*kept, kit().rope), STOCK_UNLIMITED);
}

TEST_F(ShopTest, SoldOutCategoryIsNotOfferedAndUnlimitedStockNeverRunsOut)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.rawAddGold(2000);
    Event_1011_C shop(&params_);
    // Buy the helm and the plate (all the armor), then three ropes.
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_a, SDLK_RETURN, SDLK_y, SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_b,
               SDLK_m, SDLK_RETURN, SDLK_y, SDLK_RETURN, SDLK_y, SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE,
               SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_FALSE(lastIn(Shop_C::CATEGORY).has("(A)rmor"));
    EXPECT_TRUE(lastIn(Shop_C::CATEGORY).has("(B)laded Weapons"));
    EXPECT_EQ(gold(ann), 2000 - 30 - 900 - 3 * 5);
    EXPECT_EQ(holdings(ann).pack, (std::vector<std::string>{"Rope", "Rope", "Rope", "Plate", "Helm"}));
    EXPECT_EQ(onShelf(shop.getStock(), kit().rope), STOCK_UNLIMITED);
    EXPECT_EQ(onShelf(shop.getStock(), kit().helm), 0);
}

TEST_F(ShopTest, SellFromEquipmentAndPackAtHalfPrice)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().give(ann, kit().sword, SLOT_RT_HAND);
    kit().carry(ann, kit().ring);
    kit().carry(ann, kit().arrows, 1);   // worth 1: pays nothing
    Event_1011_C shop(&params_);
    const uint32_t t0 = now();
    // The chooser starts on the first pack item: the arrows, then the ring;
    // then the sword (UP to the equipment), declined; ESC leaves the chooser.
    visitBuilding(shop, {SDLK_F1, SDLK_s, SDLK_RETURN, SDLK_y, SDLK_RETURN, SDLK_y, SDLK_UP, SDLK_RETURN, SDLK_n, SDLK_ESCAPE,
               SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown arrows = shown(3);
    EXPECT_EQ(arrows.state, Shop_C::SELL_OFFER);
    EXPECT_TRUE(arrows.has("Item:"));
    EXPECT_TRUE(arrows.mentions("Arrows"));
    EXPECT_TRUE(arrows.has("I'll give you 0 gold for that.  Do you accept?"));
    EXPECT_TRUE(arrows.has("(Y)es"));
    EXPECT_TRUE(arrows.has("(N)o"));
    EXPECT_TRUE(anyShows("I'll give you 450 gold for that.  Do you accept?")) << "the ring";
    EXPECT_TRUE(anyShows("I'll give you 30 gold for that.  Do you accept?")) << "the sword";
    EXPECT_EQ(gold(ann), 450);
    EXPECT_EQ(holdings(ann).slots[SLOT_RT_HAND], "Sword") << "declined: kept";
    EXPECT_TRUE(holdings(ann).pack.empty());
    EXPECT_EQ(now(), t0 + 2 * 20 + 30);
    std::unique_ptr<bl3dShopInv> kept = stored("starfire.dat");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(onShelf(*kept, kit().ring), 1) << "a new entry";
    EXPECT_EQ(kept->find(kit().ring)->base, 0);
    EXPECT_EQ(onShelf(*kept, kit().arrows), 1);

    // A later visit (the map's shop object, or a new one from the archive)
    // sells the ring again; its last one leaves the stock.
    forget();
    Event_1011_C again(&params_);
    EXPECT_EQ(onShelf(again.getStock(), kit().ring), 1);
    visitBuilding(again, {SDLK_F1, SDLK_b, SDLK_c, SDLK_RETURN, SDLK_y, SDLK_SPACE, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(2).has("A(c)cessories"));
    EXPECT_EQ(gold(ann), 450) << "the ring costs 900: not enough gold";
    EXPECT_TRUE(lastIn(Shop_C::MESSAGE).has("Not enough gold."));
}

TEST_F(ShopTest, SellingAnEquippedItemUnequipsIt)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().give(ann, kit().helm, SLOT_HEAD);
    const int32_t ac = ann.getStatBlock()->getCur(STAT_AC);
    Event_1011_C shop(&params_);
    visitBuilding(shop, {SDLK_F1, SDLK_s, SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(gold(ann), 15);
    EXPECT_EQ(holdings(ann).slots[SLOT_HEAD], "");
    EXPECT_EQ(ann.getStatBlock()->getCur(STAT_AC), ac + 1) << "the helm's armour went with it";
    EXPECT_EQ(onShelf(shop.getStock(), kit().helm), 2);
}

TEST_F(ShopTest, MessagesForNoGoldAndAFullPack)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.rawAddGold(59);
    bl3dPartyChar& bob = join("Bob", 0x4);
    bob.rawAddGold(500);
    for (int i = 0; i < 8; ++i)
        kit().carry(bob, kit().root);
    Event_1011_C shop(&params_);
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN, SDLK_y, SDLK_SPACE, SDLK_b, SDLK_b, SDLK_F2, SDLK_RETURN,
               SDLK_SPACE, SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown poor = lastIn(Shop_C::MESSAGE);
    EXPECT_TRUE(shown(5).has("Not enough gold."));
    EXPECT_TRUE(shown(5).has("(SPACE) to Continue"));
    EXPECT_EQ(shown(6).state, Shop_C::BUSINESS);
    EXPECT_TRUE(shown(9).has("Gold: 500")) << "F2 made Bob the customer";
    EXPECT_TRUE(shown(10).has("Your pack is full."));
    EXPECT_EQ(gold(ann), 59);
    EXPECT_EQ(gold(bob), 500);
    EXPECT_EQ(onShelf(shop.getStock(), kit().sword), 2);
}

TEST_F(ShopTest, CustomerChangesInTheListAndTheSheetLeavesTheCustomer)
{
    setTime(9);
    join("Ann", 0x4).rawAddGold(10);
    join("Bob", 0x1).rawAddGold(20);
    Event_1011_C shop(&params_);
    std::vector<int> plateTags;
    onDisplay([&] {
        if (shop.getState() == Shop_C::BUY_LIST && shop.getList())
            plateTags.push_back(shop.getList()->lineAt(1)->tag);
    });
    // F1 in the business screen opens Ann's sheet (ESC closes it); the
    // customer stays Ann. In the armor list F2 makes Bob the customer.
    visitBuilding(shop, {SDLK_F1, SDLK_F2, SDLK_ESCAPE, SDLK_b, SDLK_a, SDLK_DOWN, SDLK_F2, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE,
               SDLK_ESCAPE});
    size_t firstKinds = 0;
    while (firstKinds < shown().size() && shown(firstKinds).state != Shop_C::CATEGORY)
        ++firstKinds;
    ASSERT_GT(firstKinds, 2u);
    EXPECT_TRUE(shown(firstKinds - 1).has("Ann:")) << "the sheet came and went; Ann is still the customer";
    EXPECT_EQ(plateTags, (std::vector<int>{'@', '@', 0})) << "the plate is for Land Reavers: Bob";
    EXPECT_TRUE(lastIn(Shop_C::BUY_LIST).has("Gold: 20"));
    EXPECT_EQ(shop.getList()->selected(), 1) << "the same line stays selected";
    EXPECT_EQ(shop.getCustomer(), 1);
}

// Haggling: a raise, then a drop; Y buys at the haggled price; the count
// starts again on the next key in the list.
TEST_F(ShopTest, HagglingMovesThePriceAndYesBuysAtIt)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);   // stats 5 and 6 at 12: m = roll + 5n - 15
    ann.rawAddGold(200);
    Event_1011_C shop(&params_);
    vell::scriptGameRand({29, 0});
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN, SDLK_t, SDLK_t, SDLK_y, SDLK_RETURN, SDLK_n, SDLK_ESCAPE,
               SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown& up = shown(5);
    EXPECT_EQ(up.state, Shop_C::HAGGLING);
    EXPECT_TRUE(up.has("You gotta be kidding me!")) << "m = 14: 60 -> 68";
    EXPECT_TRUE(up.has("It's gonna cost you 68 now!"));
    for (const char* t : {"Do You Accept?", "(Y)es", "(N)o", "(T)ry Again"})
        EXPECT_TRUE(up.has(t)) << t;
    const Shown& down = shown(6);
    EXPECT_TRUE(down.has("Alright, you talked me into it")) << "m = -10: 68 -> 61";
    EXPECT_TRUE(down.has("How does 61 sound?"));
    EXPECT_EQ(gold(ann), 200 - 61);
    EXPECT_TRUE(shown(8).has("That'll cost you 60 gold.  Do you accept?")) << "the next offer starts afresh";
    EXPECT_EQ(shop.getHaggleCount(), 0);
}

TEST_F(ShopTest, TenthAttemptEndsTheTalkButYesStillBuysAndTalkGoesOn)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.getStatBlock()->setBase(5, 30);
    ann.getStatBlock()->setBase(6, 30);
    ann.rawAddGold(200);
    Event_1011_C shop(&params_);
    // Rolls of 0 with stats 30: every attempt takes a quarter off, truncated:
    // 60 45 33 24 18 13 9 6 4 3 2 (10th), then 1.
    vell::scriptGameRand(std::vector<int>(12, 0));
    std::vector<Step> keys = {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN};
    for (int i = 0; i < 11; ++i)
        keys.push_back(SDLK_t);
    keys.insert(keys.end(), {SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE});
    visitBuilding(shop, keys);
    EXPECT_TRUE(shown(13).has("How does 3 sound?")) << "the 9th";
    const Shown& tenth = shown(14);
    EXPECT_EQ(tenth.state, Shop_C::HAGGLING);
    EXPECT_TRUE(tenth.has("I've heard enough, forget it."));
    EXPECT_TRUE(tenth.has("(SPACE) to continue"));
    EXPECT_FALSE(tenth.mentions("How does"));
    EXPECT_TRUE(shown(15).has("I've heard enough, forget it.")) << "an 11th attempt";
    EXPECT_EQ(gold(ann), 199) << "Y bought the sword at the last price, 1";
    EXPECT_EQ(holdings(ann).pack, std::vector<std::string>{"Sword"});
}

TEST_F(ShopTest, SpaceInTheOfferGoesBackToTheWelcome)
{
    setTime(9);
    join("Ann", 0x4).rawAddGold(200);
    Event_1011_C shop(&params_);
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_EQ(shown(5).state, Shop_C::WELCOME);
    EXPECT_EQ(gold(member(0)), 200);
}

// The price modifier: a quarter at most either way, truncated toward zero;
// a price never passes what gold can hold, and a negative price stays
// unpaid.
TEST_F(ShopTest, PriceModifierStaysWithinAQuarterAndWithinGold)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    Event_1011_C shop(&params_);
    struct { int32_t s5, s6; int roll; int64_t price, expect; } cases[] = {
        {0, 0, 29, 100, 125},     // m = 62: clamped to 25
        {40, 40, 0, 100, 75},     // m = -127: clamped to -25
        {12, 12, 25, 100, 110},   // m = 25 - 48 + 33 = 10
        {12, 12, 20, 7, 7},       // m = 5: 7.35 truncated
        {12, 12, 10, 7, 6},       // m = -5: 6.65 truncated
        {0, 0, 0, money::kMaxGold, money::kMaxGold},
        {0, 0, 0, -40, -40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.price << " roll " << c.roll);
        ann.getStatBlock()->setBase(5, c.s5);
        ann.getStatBlock()->setBase(6, c.s6);
        vell::scriptGameRand({c.roll});
        EXPECT_EQ(shop.modifyPrice(c.price), c.expect);
        vell::clearScriptedGameRand();
    }
    // Talked up without end: a quarter each time until gold's limit, never
    // past it and never wrapping.
    ann.getStatBlock()->setBase(5, 0);
    ann.getStatBlock()->setBase(6, 0);
    int64_t price = 60;
    for (int i = 0; i < 200; ++i) {
        const int64_t next = shop.modifyPrice(price);
        ASSERT_GE(next, price);
        ASSERT_LE(next, money::kMaxGold);
        price = next;
    }
    EXPECT_EQ(price, money::kMaxGold);
}

TEST_F(ShopTest, CategoriesFoldTheItemCategoryNumbers)
{
    const int bits[21] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 4, 4, 8, 8, 2, 8, 2, 32, 64, 16, 16};
    for (int c = 0; c <= 20; ++c) {
        EXPECT_EQ(Shop_C::categoryBit(c), bits[c]) << c;
        EXPECT_EQ(Shop_C::inCategory(bits[c], c), bits[c] != 0) << c;
    }
    EXPECT_EQ(Shop_C::categoryBit(21), 0);
    EXPECT_EQ(Shop_C::categoryBit(-1), 0);
    EXPECT_FALSE(Shop_C::inCategory(128, 18));
    EXPECT_FALSE(Shop_C::inCategory(3, 1));
    EXPECT_FALSE(Shop_C::inCategory(2, 10));
}

TEST_F(ShopTest, OpenFromEightUntilSixAndLeavingClosedStillStoresTheStock)
{
    join("Ann", 0x4);
    struct { unsigned hour, minute; bool open; } cases[] = {{7, 59, false}, {8, 0, true}, {17, 59, true}, {18, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hour << ":" << c.minute);
        forget();
        if (saveFile && saveFile->hasEntry("shop"))
            saveFile->openDir("shop")->remove("starfire.dat");
        setTime(c.hour, c.minute);
        Event_1011_C shop(&params_);
        const uint32_t t0 = now();
        bool closedPic = false;
        onDisplay([&] { closedPic = iface.curPicNamed("Closed"); });
        visitBuilding(shop, {c.open ? SDLK_ESCAPE : SDLK_SPACE});
        ASSERT_EQ(shown().size(), 1u);
        EXPECT_EQ(shown(0).state, c.open ? int(Shop_C::WELCOME) : Building_C::kClosed);
        EXPECT_EQ(closedPic, !c.open);
        if (!c.open) {
            EXPECT_TRUE(shown(0).has(
                "Sorry, I'm closed.  Come back tomorrow, and I'll be happy to sell you my wares!"));
            EXPECT_TRUE(shown(0).has("(SPACE) to Continue"));
        }
        EXPECT_EQ(now(), t0 + 30);
        EXPECT_NE(stored("starfire.dat"), nullptr);
        expectOnExit();
        onDisplay(nullptr);
    }
}

TEST_F(ShopTest, PurchaseAtFourMinutesToSixClosesTheShopOnTheCustomer)
{
    setTime(17, 56);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.rawAddGold(100);
    Event_1011_C shop(&params_);
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN, SDLK_y, SDLK_SPACE});
    EXPECT_EQ(shown(5).state, Building_C::kClosed);
    EXPECT_EQ(gold(ann), 40);
    EXPECT_EQ(gameworld->getClock().getHour(), 18u);
    expectOnExit();
}

// A failed store of the stock is told to the player; the stock in play
// stays as the visit left it.
TEST_F(ShopTest, FailedStoreOfTheStockIsToldAndTheStockInPlayStays)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.rawAddGold(100);
    Event_1011_C shop(&params_);
    vell::setWriteHook([](int, size_t) { return -1L; });
    visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE,
               SDLK_SPACE});
    vell::setWriteHook(nullptr);
    EXPECT_TRUE(shop.storeFailed());
    EXPECT_TRUE(last().mentions("could not be written")) << "the player is told";
    EXPECT_EQ(onShelf(shop.getStock(), kit().sword), 1);
    EXPECT_EQ(gold(ann), 40);
    expectOnExit();
}

// A trade, a saved quest and the quest loaded again: the gold, the items
// and the shop's stock come back as they were.
TEST_F(ShopTest, TradeThenSaveAndLoadBringsGoldItemsAndStockBack)
{
    setTime(9);
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.rawAddGold(200);
    kit().carry(ann, kit().ring);
    {
        Event_1011_C shop(&params_);
        // Buy a sword; sell the ring (the chooser starts on the sword, the
        // pack's first item, DOWN goes to the ring).
        visitBuilding(shop, {SDLK_F1, SDLK_b, SDLK_b, SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_s, SDLK_DOWN,
                   SDLK_RETURN, SDLK_y, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE});
    }
    EXPECT_EQ(gold(ann), 200 - 60 + 450);
    ASSERT_TRUE(iface.save());
    const std::string archive = questDir() + "/savegame/party.sav";
    ASSERT_TRUE(iface.load(archive.c_str()));
    ASSERT_EQ(party->getCount(), 1);
    EXPECT_STREQ(member(0).getName(), "Ann");
    EXPECT_EQ(gold(member(0)), 590);
    EXPECT_EQ(holdings(member(0)).pack, std::vector<std::string>{"Sword"});
    Event_1011_C shop(&params_);
    EXPECT_EQ(onShelf(shop.getStock(), kit().sword), 1);
    EXPECT_EQ(onShelf(shop.getStock(), kit().ring), 1);
    EXPECT_EQ(shop.getStock().find(kit().ring)->base, 0);
}

} // namespace
