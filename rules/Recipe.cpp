#include "rules/Recipe.h"

#include "rules/StatBlock.h"

#include <cstring>

void bl3dRecipe::addIngredient(int count, const char* name) {
    if (!name)
        name = "";
    for (RecipeEntry_S& e : entries_) {
        if (std::strcmp(e.name.c_str(), name) == 0) {
            e.count = saturate32(static_cast<int64_t>(e.count) + count);
            return;
        }
    }
    RecipeEntry_S e;
    e.count = count;
    e.name = name;
    entries_.push_back(e);
}

int bl3dRecipe::totalCount() const {
    int64_t total = 0;
    for (const RecipeEntry_S& e : entries_)
        total += e.count;
    return saturate32(total);
}

const RecipeEntry_S* bl3dRecipe::find(const char* name) const {
    for (const RecipeEntry_S& e : entries_)
        if (std::strcmp(e.name.c_str(), name) == 0)
            return &e;
    return nullptr;
}

bool bl3dRecipe::isMetBy(const bl3dRecipe& gathered) const {
    if (id_ != gathered.id_ || entryCount() > gathered.entryCount())
        return false;
    for (const RecipeEntry_S& e : entries_) {
        const RecipeEntry_S* g = gathered.find(e.name.c_str());
        if (!g || g->count < e.count)
            return false;
    }
    return true;
}
