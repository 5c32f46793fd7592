#include "rules/ShopInv.h"

#include "core/MemStream.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"

#include <algorithm>
#include <cstdio>

namespace {

// A count read from a save or given by a caller is kept to the sentinels'
// rules: unlimited stays unlimited, anything else is 0..9999.
int32_t saneCount(int64_t count) {
    if (count == STOCK_UNLIMITED)
        return STOCK_UNLIMITED;
    return static_cast<int32_t>(std::clamp<int64_t>(count, 0, STOCK_MAX));
}

} // namespace

bl3dShopInv::bl3dShopInv(const char* name) : Storable_C(RefStr_C(name ? name : "")) {}

ShopStock_S* bl3dShopInv::at(int i) {
    return i >= 0 && i < count() ? &entries_[static_cast<size_t>(i)] : nullptr;
}

const ShopStock_S* bl3dShopInv::at(int i) const {
    return i >= 0 && i < count() ? &entries_[static_cast<size_t>(i)] : nullptr;
}

void bl3dShopInv::reserve(int n) {
    if (n > 0)
        entries_.reserve(static_cast<size_t>(n));
}

size_t bl3dShopInv::lowerBound(int32_t id) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                               [](const ShopStock_S& e, int32_t v) { return e.type->getID() < v; });
    return static_cast<size_t>(it - entries_.begin());
}

ShopStock_S* bl3dShopInv::find(const bl3dItemType* type) {
    if (!type)
        return nullptr;
    const size_t i = lowerBound(type->getID());
    return i < entries_.size() && entries_[i].type == type ? &entries_[i] : nullptr;
}

bool bl3dShopInv::add(int n, bl3dItemType* type, bool setBase) {
    if (!type || n < 0)
        return false;
    const size_t i = lowerBound(type->getID());
    if (i < entries_.size() && entries_[i].type == type) {
        ShopStock_S& e = entries_[i];
        if (e.count == STOCK_UNLIMITED)
            return true;
        if (n == STOCK_UNLIMITED) {
            e.count = STOCK_UNLIMITED;
            return true;
        }
        // Only n = 10000 makes an entry unlimited; a sum that lands on 10000
        // is capped like any other.
        e.count = static_cast<int32_t>(std::clamp<int64_t>(int64_t(e.count) + n, 0, STOCK_MAX));
        if (setBase)
            e.base = e.count;
        return true;
    }
    ShopStock_S e;
    e.type = type;
    e.count = saneCount(n);
    e.base = setBase ? e.count : 0;
    if (entries_.size() == entries_.capacity())
        entries_.reserve(entries_.size() + 16);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(i), e);
    return true;
}

bool bl3dShopInv::remove(int n, bl3dItemType* type) {
    if (!type || n < 0 || entries_.empty())
        return false;
    const size_t i = lowerBound(type->getID());
    if (i >= entries_.size() || entries_[i].type != type)
        return false;
    ShopStock_S& e = entries_[i];
    if (e.count == STOCK_UNLIMITED && n != STOCK_UNLIMITED)
        return true;
    if (n < e.count) {
        e.count -= n;
        return true;
    }
    if (e.base != 0 && e.base != STOCK_BASE_FROM_FILE)
        e.count = 0; // regular stock: restocked later
    else
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

void bl3dShopInv::restock(const bl3dItemTypeList& itemTypes) {
    const int shop = itemTypes.shopIndex(getName().c_str());
    size_t p = 0;
    for (int t = 0; t < itemTypes.count(); ++t) {
        bl3dItemType* type = itemTypes.at(t);
        // Entries of types the list does not hold are passed over.
        while (p < entries_.size() && entries_[p].type->getID() < type->getID() && entries_[p].type != type)
            ++p;
        // A shop the file does not name, or a count below 0, stocks nothing.
        const int32_t fileCount = shop < 0 ? 0 : std::max(itemTypes.getShopCount(type, shop), 0);
        if (p < entries_.size() && entries_[p].type == type) {
            ShopStock_S& e = entries_[p];
            if (e.base == STOCK_BASE_FROM_FILE) {
                e.base = fileCount;
            } else if (e.base != fileCount) {
                // The shelf moves by as much as the file's count moved: an
                // unlimited entry whose file count became finite gets that
                // count, and an entry becomes unlimited only when the file
                // says unlimited and the shelf held its whole base. Any other
                // result stays within 0..9999.
                const int64_t count = std::max<int64_t>(int64_t(e.count) - (int64_t(e.base) - fileCount), 0);
                e.base = fileCount;
                e.count = fileCount == STOCK_UNLIMITED && count == STOCK_UNLIMITED
                              ? STOCK_UNLIMITED
                              : static_cast<int32_t>(std::min<int64_t>(count, STOCK_MAX));
            }
            ++p;
        } else if (fileCount != 0) {
            add(fileCount, type, true);
            ++p;
        }
    }
}

void bl3dShopInv::write(MemStream_C& s) const {
    s.writeInt32(static_cast<int32_t>(entries_.size()));
    for (const ShopStock_S& e : entries_) {
        s.writeInt32(e.base);
        s.writeInt32(e.count);
        s.writeInt32(e.type->getID());
    }
}

bool bl3dShopInv::read(int version, MemStream_C& s) {
    clear();
    if (version != 1 && version != 2)
        return false;
    const uint32_t entrySize = version == 2 ? 12 : 8;
    int32_t n = 0;
    if (!s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining() / entrySize)
        return false;
    reserve(n);
    for (int32_t i = 0; i < n; ++i) {
        int32_t base = STOCK_BASE_FROM_FILE, count = 0, id = 0;
        if ((version == 2 && !s.readInt32(base)) || !s.readInt32(count) || !s.readInt32(id))
            return false;
        bl3dItemType* type = masterITL.findById(id);
        if (!type || (!entries_.empty() && id <= entries_.back().type->getID())) {
            std::printf("Warning: Compensating for corrupt shop inventory\n");
            continue;
        }
        ShopStock_S e;
        e.type = type;
        e.base = base;
        e.count = saneCount(count);
        entries_.push_back(e);
    }
    return true;
}

std::unique_ptr<Storable_C> bl3dShopInv::create(const RefStr_C& name, int version, MemStream_C& s) {
    auto inv = std::make_unique<bl3dShopInv>(name.c_str());
    if (!inv->read(version, s))
        return nullptr;
    return inv;
}
