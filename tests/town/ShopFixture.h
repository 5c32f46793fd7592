// Fixture of the shop tests: the test kit's items sorted into the shops'
// categories and stocked for "starfire.dat" (Starfire Swords), a quest of
// its own whose "shop" directory the shops fill, and a look at a shop's
// stock as the archive holds it.
#pragma once
#include "TownFixture.h"

#include "core/ArchiveDir.h"
#include "core/ArchiveFile.h"
#include "rules/ItemList.h"
#include "rules/ShopInv.h"
#include "town/Shops.h"
#include "world/Interface.h"

#include <memory>

namespace town {

class ShopFixture : public TownFixture {
protected:
    void SetUp() override
    {
        TownFixture::SetUp();
        if (HasFatalFailure())
            return;
        const int shop = masterITL.addShopName("starfire.dat");
        partykit::PartyKit& k = kit();
        // In stock: Armor (the helm), Bladed (sword, dagger; the plate is
        // Armor for Land Reavers only), Miscellaneous (rope, unlimited). The
        // ring is an accessory the shop does not hold.
        stock(k.helm, 1, 1, shop);
        stock(k.sword, 9, 2, shop);
        stock(k.dagger, 9, 1, shop);
        stock(k.heavy, 1, 1, shop);
        stock(k.rope, 17, STOCK_UNLIMITED, shop);
        k.ring->setCategory(19);
        k.root->setCategory(17);
        k.arrows->setCategory(13);
    }

    // The stock of that name as the quest's archive holds it; null when
    // there is none.
    static std::unique_ptr<bl3dShopInv> stored(const char* name)
    {
        if (!saveFile || !saveFile->hasEntry("shop"))
            return nullptr;
        DirHandle_C dir = saveFile->openDir("shop");
        std::unique_ptr<Storable_C> rec = dir ? dir->load(name) : nullptr;
        auto* s = dynamic_cast<bl3dShopInv*>(rec.get());
        if (!s)
            return nullptr;
        rec.release();
        return std::unique_ptr<bl3dShopInv>(s);
    }
    // The count on the shelf of a type (-1 when the stock has no entry).
    static int32_t onShelf(bl3dShopInv& stock, const bl3dItemType* type)
    {
        const ShopStock_S* e = stock.find(type);
        return e ? e->count : -1;
    }


private:
    static void stock(bl3dItemType* type, int32_t category, int32_t count, int shop)
    {
        type->setCategory(category);
        type->addShopCount(count, shop);
    }
};

} // namespace town
