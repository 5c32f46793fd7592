// bl3dItemTypeList: the master item list read from "data/item.dat": the
// shop names, every item type in ascending id order, and the types with a
// recipe ordered by their ingredient total, largest first.
#pragma once
#include "core/RefStr.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class bl3dItemType;
class bl3dRecipe;
class MemStream_C;

class bl3dItemTypeList {
public:
    bl3dItemTypeList() = default;
    ~bl3dItemTypeList();
    bl3dItemTypeList(const bl3dItemTypeList&) = delete;
    bl3dItemTypeList& operator=(const bl3dItemTypeList&) = delete;

    // Reads the item file. 0 when loaded: a record whose id an earlier
    // record already has is refused and stray bytes after the last record
    // are ignored, each with an "ERROR" line naming the file on the error
    // stream, and every other record is kept. -1 when the file is missing
    // (the list stays empty); -2 when its structure cannot be followed (a
    // count or length that runs past the end: a message on the error stream,
    // the list left as it was).
    int load(const char* path);
    // The same from bytes in memory; why says what is wrong, and notes (when
    // given) gets one text per refused record or stray tail.
    int loadFrom(MemStream_C& s, RefStr_C& why, std::vector<std::string>* notes = nullptr);
    // Writes the same format; false when the file cannot be written.
    bool save(const char* path) const;
    void saveTo(MemStream_C& s) const;

    // Takes the type over. Refuses (false, type deleted) a second type with
    // an id already present.
    bool insert(bl3dItemType* type);
    bl3dItemType* findById(int32_t id) const;
    bl3dItemType* findByName(const char* text) const;
    bl3dItemType* findByRecipe(const bl3dRecipe* gathered) const;

    int shopIndex(const char* name) const;
    int addShopName(const char* name);
    int shopCount() const { return static_cast<int>(shopNames_.size()); }
    const RefStr_C& shopName(int i) const { return shopNames_[i]; }
    // The count for a shop; -1 when the type is not stocked there.
    int32_t getShopCount(const bl3dItemType* type, int shopIndex) const;

    int count() const { return static_cast<int>(types_.size()); }
    bl3dItemType* at(int i) const { return types_[i].get(); }
    void clear();

private:
    std::vector<RefStr_C> shopNames_;
    std::vector<std::unique_ptr<bl3dItemType>> types_; // ascending id
    std::vector<bl3dItemType*> recipes_;               // ingredient total, descending
};

extern bl3dItemTypeList masterITL;
