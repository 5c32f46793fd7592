// bl3dRecipe: what an item-creation recipe asks for (an item type's recipe)
// or what a player has gathered: the kind of item creation (an index into
// itemCreate, -1 for none) and (count, ingredient name) entries, one entry
// per name.
#pragma once
#include "core/RefStr.h"

#include <cstdint>
#include <vector>

struct RecipeEntry_S {
    int32_t count = 0;
    RefStr_C name;
};

class bl3dRecipe {
public:
    bl3dRecipe() = default;

    void setId(int kind) { id_ = kind; }
    int getId() const { return id_; }

    // Adds count to the entry of that name, or appends a new entry.
    void addIngredient(int count, const char* name);
    // The sum of the entries' counts.
    int totalCount() const;

    int entryCount() const { return static_cast<int>(entries_.size()); }
    const RecipeEntry_S& entry(int i) const { return entries_[static_cast<size_t>(i)]; }
    // The entry of that name, null when none.
    const RecipeEntry_S* find(const char* name) const;
    // True when every entry of this recipe is met by an entry of the same
    // name in `gathered` with at least its count, the kinds agree and
    // this recipe has no more entries than `gathered`.
    bool isMetBy(const bl3dRecipe& gathered) const;
    void clear() { entries_.clear(); }

private:
    int32_t id_ = -1;
    std::vector<RecipeEntry_S> entries_;
};
