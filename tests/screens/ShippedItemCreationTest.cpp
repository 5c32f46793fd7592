// The shipped data lets item creation both succeed and fail: every recipe
// of the catalogue can be gathered from its ingredient items and is found by
// them, and the quest template brings a member with the gift and the makings
// of a recipe, whose success roll is neither sure nor hopeless.
#include "core/ArchiveDir.h"
#include "core/ArchiveFile.h"
#include "rules/ClassDefFile.h"
#include "rules/Item.h"
#include "rules/ItemCreate.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"
#include "rules/RulesEnv.h"
#include "screens/CreateItem.h"
#include "world/QuestStores.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

std::string gameFile(const char* rel) { return std::string(VELL_GAME_DIR) + "/" + rel; }

class ShippedItemCreation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::ifstream(gameFile("data/item.dat")) && std::ifstream(gameFile("data/savegame.dat")))
            << "the game data is not built yet (target game_data)";
        ASSERT_EQ(masterITL.load(gameFile("data/item.dat").c_str()), 0);
        ASSERT_GE(vell::loadItemCreateFile(gameFile("data/itemcreate.dat")), 0);
        registerRulesTypes();
    }
    void TearDown() override
    {
        masterITL.clear();
        itemCreate.clear();
    }

    // The ingredient that each item gives, by the ingredient's name.
    static std::map<std::string, const bl3dItemType*> ingredientItems()
    {
        std::map<std::string, const bl3dItemType*> out;
        for (int i = 0; i < masterITL.count(); ++i)
            for (const ItemEffect_S& e : masterITL.at(i)->getEffects())
                if (e.kind == IEFFECT_INGREDIENT)
                    out[e.text.c_str()] = masterITL.at(i);
        return out;
    }
};

TEST_F(ShippedItemCreation, EveryRecipeIsFoundByItsIngredients)
{
    const auto ingredients = ingredientItems();
    int recipes = 0;
    for (int i = 0; i < masterITL.count(); ++i) {
        bl3dItemType* t = masterITL.at(i);
        const bl3dRecipe* r = t->getRecipe();
        if (!r || r->entryCount() == 0)
            continue;
        ++recipes;
        SCOPED_TRACE(t->getName().c_str());
        ASSERT_GE(r->getId(), 0);
        ASSERT_LT(size_t(r->getId()), itemCreate.size()) << "a recipe of a kind nobody can make";
        bl3dRecipe gathered;
        gathered.setId(r->getId());
        for (int e = 0; e < r->entryCount(); ++e) {
            const char* name = r->entry(e).name.c_str();
            EXPECT_EQ(ingredients.count(name), 1u) << "no item gives " << name;
            gathered.addIngredient(r->entry(e).count, name);
        }
        EXPECT_EQ(masterITL.findByRecipe(&gathered), t);
    }
    EXPECT_GE(recipes, 3);
}

TEST_F(ShippedItemCreation, TheTemplateBringsABrewerWithHerMakings)
{
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(gameFile("data/savegame.dat"), false, &error);
    ASSERT_TRUE(archive) << error;
    installQuestStores(archive.get());
    DirHandle_C world = archive->openDir("world");
    std::unique_ptr<Storable_C> rec = world->load("party.dat");
    auto* p = dynamic_cast<bl3dParty*>(rec.get());
    ASSERT_NE(p, nullptr);
    bool brewer = false;
    for (int i = 0; i < p->getCount(); ++i) {
        bl3dPartyChar* m = p->getMember(i);
        for (size_t k = 0; k < itemCreate.size(); ++k) {
            const int skill = m->getCreateAbility(&itemCreate[k]);
            if (skill == 0)
                continue;
            // What the member carries, as a gathered recipe of this kind.
            bl3dRecipe gathered;
            gathered.setId(int(k));
            for (int j = 0; j < m->getPack()->count(); ++j)
                for (const ItemEffect_S& e :
                     static_cast<bl3dItem*>(m->getPack()->at(j))->getType()->getEffects())
                    if (e.kind == IEFFECT_INGREDIENT)
                        gathered.addIngredient(e.value, e.text.c_str());
            if (!masterITL.findByRecipe(&gathered))
                continue;
            // Rolls of 1..30: some succeed, some fail.
            const int needed = CreateItem_C::kSuccessMargin - skill + gathered.totalCount();
            EXPECT_GT(needed, 2) << m->getName();
            EXPECT_LE(needed, 30) << m->getName();
            brewer = true;
        }
    }
    EXPECT_TRUE(brewer) << "nobody in the template party can make anything";
    rec.reset();
    installQuestStores(nullptr);
}

} // namespace
