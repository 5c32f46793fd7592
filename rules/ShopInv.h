// bl3dShopInv: a shop's stock, kept in the save archive's "shop" directory
// under the shop's name (record type 4, version 2). One entry per item type,
// in ascending type id: the base count the shop normally holds and the count
// on the shelf now. A count of 10000 is unlimited; counts otherwise stay at
// or below 9999. A base of 10001 takes the item file's count at the next
// restock; a base of 0 marks an item that is not regular stock (bought from
// the party): it goes when the last one is sold.
#pragma once
#include "core/Storable.h"

#include <cstdint>
#include <vector>

class bl3dItemType;
class bl3dItemTypeList;

constexpr int32_t STOCK_UNLIMITED = 10000;
constexpr int32_t STOCK_MAX = 9999;
constexpr int32_t STOCK_BASE_FROM_FILE = 10001;

struct ShopStock_S {
    bl3dItemType* type = nullptr;
    int32_t base = 0;
    int32_t count = 0;
};

class bl3dShopInv : public Storable_C {
public:
    explicit bl3dShopInv(const char* name);
    ~bl3dShopInv() override = default;

    int typeId() const override { return TYPE_SHOP_INV; }
    int version() const override { return 2; }
    // int32 entry count; per entry int32 base, int32 count, int32 type id.
    void write(MemStream_C& s) const override;
    // Versions 1 (no base: every base becomes 10001) and 2. Entries of an
    // unknown type or out of id order are dropped with a warning; a count
    // that does not fit the stream, or another version, is refused (false).
    bool read(int version, MemStream_C& s) override;
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    int count() const { return static_cast<int>(entries_.size()); }
    // Entry i; null out of range.
    ShopStock_S* at(int i);
    const ShopStock_S* at(int i) const;
    // The entry of the type; null when not stocked.
    ShopStock_S* find(const bl3dItemType* type);
    void clear() { entries_.clear(); }
    void reserve(int n);

    // Adds n of a type (see the header comment for the sentinels). False for
    // no type or a negative n.
    bool add(int n, bl3dItemType* type, bool setBase);
    // Takes n out of stock. False for no type, a negative n or a type not
    // stocked.
    bool remove(int n, bl3dItemType* type);
    // Brings the stock in line with the item file's counts for this shop.
    void restock(const bl3dItemTypeList& itemTypes);

private:
    // The first entry whose type id is not below the id.
    size_t lowerBound(int32_t id) const;

    std::vector<ShopStock_S> entries_;
};
