// The item chooser and the item creation screen, driven by pushed keys:
// positions, selling prices, gathering ingredients, the success roll, what
// goes back to its owner, and the way in from the character sheet.
#include "PartyScreenFixture.h"

#include "core/ScrollList.h"
#include "platform/Random.h"
#include "rules/Item.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "screens/CreateItem.h"
#include "screens/InvChooser.h"

namespace {

using namespace partyscreens;
using namespace partykit;

class ItemChooserTest : public PartyScreenFixture {};

TEST_F(ItemChooserTest, AMemberWithoutItemsCanOnlyCancel)
{
    bl3dPartyChar& ann = join("Ann", 0x1);
    InvChooser_C chooser(&ann, nullptr);
    watch([&chooser] { return chooser.getState(); });
    script({quiet(SDLK_RETURN), quiet(SDLK_x), SDLK_ESCAPE});
    EXPECT_EQ(chooser.run(&iface, false, false), -1);
    ASSERT_EQ(shown().size(), 3u);
    EXPECT_TRUE(shown(0).has("Inventory:"));
    EXPECT_TRUE(shown(0).has("*** Empty ***"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Cancel"));
}

TEST_F(ItemChooserTest, PositionsCountTheWornItemsFirst)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().give(ann, kit().helm, SLOT_HEAD);
    kit().give(ann, kit().sword, SLOT_RT_HAND);
    kit().carry(ann, kit().rope);
    kit().carry(ann, kit().root);
    InvChooser_C chooser(&ann, nullptr);
    script({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(chooser.run(&iface, false, false), 2);
    EXPECT_EQ(ann.getItemCount(), 4) << "the chooser takes nothing";
}

TEST_F(ItemChooserTest, SellingStartsOnThePackAtHalfPrice)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().give(ann, kit().helm, SLOT_HEAD);      // 30
    kit().give(ann, kit().sword, SLOT_RT_HAND);  // 60
    kit().carry(ann, kit().rope);                // 5
    kit().carry(ann, kit().dagger);              // 15
    InvChooser_C chooser(&ann, nullptr);
    script({SDLK_RETURN});
    EXPECT_EQ(chooser.run(&iface, true, true), 2);
    ASSERT_FALSE(shown().empty());
    for (const char* price : {"15", "30", "7", "2"})
        EXPECT_TRUE(shown(0).has(price)) << price;
    ASSERT_NE(chooser.getList(), nullptr);
    EXPECT_EQ(chooser.getList()->lineAt(2)->price, 7u);
}

class CreateItemTest : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        watch([] { return CreateItem_C::getState(); });
    }
    static void skill(bl3dPartyChar& m, int herbalism) { m.getTagList()->setInt(tagkey::CreateAbility, herbalism); }
    bool said(const std::string& text) const
    {
        for (const Shown& s : shown())
            if (s.has(text))
                return true;
        return false;
    }
};

TEST_F(CreateItemTest, AMemberWithoutTheGiftIsToldSo)
{
    join("Ann", 0x1);
    script({SDLK_F1, SDLK_SPACE, SDLK_ESCAPE});
    CreateItem_C::run(&iface, false);
    EXPECT_TRUE(shown(0).has("Who will attempt to build/brew an item?"));
    EXPECT_TRUE(said("Ann has no skill for creating items."));
    EXPECT_EQ(shown().back().state, CreateItem_C::CHOOSE_BUILDER);
    EXPECT_EQ(stepsLeft(), 0u);
}

TEST_F(CreateItemTest, EscapePutsEveryIngredientBack)
{
    bl3dPartyChar& ann = join("Ann", 0x40);
    skill(ann, 3);
    kit().give(ann, kit().ring, SLOT_FINGER);
    kit().carry(ann, kit().draught);
    kit().carry(ann, kit().rope);
    // The kind page lists Herbalism only; take the ring (first line), then
    // the draught (the rope's line is first now), then leave.
    script({SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE});
    CreateItem_C::runForBuilder(&iface, &ann);
    EXPECT_TRUE(shown(0).has("What item type will you build/brew?"));
    EXPECT_TRUE(shown(0).has("Herbalism"));
    EXPECT_FALSE(shown(0).has("Fletching"));
    EXPECT_TRUE(said("Ingredients:"));
    EXPECT_TRUE(said("(C) to Create"));
    EXPECT_EQ(holdings(ann).slots[SLOT_FINGER], "Ring");
    EXPECT_TRUE(ann.getSlotItem(SLOT_FINGER)->isEquipped());
    EXPECT_EQ(holdings(ann).pack, (std::vector<std::string>{"Draught", "Rope"}));
    EXPECT_TRUE(CreateItem_C::ingredients().empty());
}

TEST_F(CreateItemTest, TheRollDecidesAndIngredientsAreUsedUp)
{
    struct Case {
        const char* what;
        int roll;
        bool made;
    };
    // Skill 3, five ingredients: 17 + 3 - 5 = 15 succeeds, 16 fails.
    for (const Case c : {Case{"a roll of 17", 17, true}, Case{"a roll of 16", 16, false}}) {
        SCOPED_TRACE(c.what);
        while (party->getCount() > 0)
            party->removeAt(0);
        forget();
        bl3dPartyChar& ann = join("Ann", 0x40);
        bl3dPartyChar& bob = join("Bob", 0x1);
        skill(ann, 3);
        for (int i = 0; i < 3; ++i)
            kit().carry(ann, kit().root);
        kit().carry(bob, kit().moss);
        kit().carry(bob, kit().moss);
        kit().carry(bob, kit().rope);   // no ingredient: goes back to Bob
        vell::scriptGameRand({c.roll - 1});
        script({SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F2, SDLK_RETURN,
                SDLK_F2, SDLK_RETURN, SDLK_F2, SDLK_RETURN, SDLK_c, c.made ? SDLK_F2 : SDLK_SPACE});
        CreateItem_C::runForBuilder(&iface, &ann);
        EXPECT_EQ(stepsLeft(), 0u);
        EXPECT_EQ(ann.getItemCount(), 0);
        if (c.made) {
            EXPECT_TRUE(said("Who shall take the Draught"));
            EXPECT_TRUE(said("(ESCAPE) to Destroy It"));
            // The rope comes back when the screen ends, after Bob took the
            // draught.
            EXPECT_EQ(holdings(bob).pack, (std::vector<std::string>{"Rope", "Draught"}));
        } else {
            EXPECT_TRUE(said("The herbs wilt."));
            EXPECT_EQ(holdings(bob).pack, std::vector<std::string>{"Rope"});
        }
    }
}

TEST_F(CreateItemTest, NoMatchingRecipeAndAFullPack)
{
    bl3dPartyChar& ann = join("Ann", 0x40);
    bl3dPartyChar& bob = join("Bob", 0x1);
    skill(ann, 15);
    kit().carry(ann, kit().moss);
    script({SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_c, SDLK_SPACE});
    CreateItem_C::runForBuilder(&iface, &ann);
    EXPECT_TRUE(said("No remedy calls for these."));
    EXPECT_EQ(ann.getItemCount(), 0);

    // Made, but Bob's pack is full: he is told so, and Ann takes it.
    forget();
    for (int i = 0; i < 2; ++i)
        kit().carry(ann, kit().root);
    kit().carry(ann, kit().moss);
    for (int i = 0; i < 8; ++i)
        kit().carry(bob, kit().rope);
    vell::scriptGameRand({29});
    script({SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_c, SDLK_F2,
            SDLK_SPACE, SDLK_F1});
    CreateItem_C::runForBuilder(&iface, &ann);
    EXPECT_TRUE(said("Your pack is full."));
    EXPECT_EQ(holdings(ann).pack, std::vector<std::string>{"Draught"});
    EXPECT_EQ(bob.getPack()->count(), 8);
}

TEST_F(CreateItemTest, StartedOnTheKindPageWithoutABuilder)
{
    bl3dPartyChar& ann = join("Ann", 0x1);
    for (int i = 0; i < 2; ++i)
        kit().carry(ann, kit().root);
    kit().carry(ann, kit().moss);
    // Every kind is listed; nobody's skill counts: 30 + 0 - 3 succeeds, and
    // ESC on the taking page destroys the new item.
    vell::scriptGameRand({29});
    script({SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_F1, SDLK_RETURN, SDLK_c, SDLK_ESCAPE});
    CreateItem_C::run(&iface, true);
    EXPECT_TRUE(shown(0).has("Herbalism"));
    EXPECT_TRUE(shown(0).has("Fletching"));
    EXPECT_TRUE(said("Who shall take the Draught"));
    EXPECT_EQ(ann.getItemCount(), 0);
    EXPECT_EQ(CreateItem_C::getBuilder(), nullptr);
}

TEST_F(CreateItemTest, TheCharacterSheetLeadsAGiftedMemberThere)
{
    bl3dPartyChar& ann = join("Ann", 0x40);
    bl3dPartyChar& bob = join("Bob", 0x1);
    skill(ann, 2);
    bl3dPartyChar* builder = nullptr;
    watch([&builder] {
        if (CreateItem_C::getState() == CreateItem_C::CHOOSE_KIND)
            builder = CreateItem_C::getBuilder();
        return CharView_C::getState();
    });
    script({SDLK_b, SDLK_ESCAPE, SDLK_ESCAPE});
    CharView_C::run(&ann, &iface, true);
    EXPECT_TRUE(shown(0).has("(B)uild/Brew Item"));
    EXPECT_EQ(builder, &ann);
    EXPECT_EQ(stepsLeft(), 0u);

    // Not for a member without the gift, nor on a read-only sheet.
    forget();
    script({quiet(SDLK_b), SDLK_ESCAPE});
    CharView_C::run(&bob, &iface, true);
    EXPECT_FALSE(shown(0).has("(B)uild/Brew Item"));
    forget();
    script({quiet(SDLK_b), SDLK_ESCAPE});
    CharView_C::run(&ann, &iface, false);
    EXPECT_FALSE(shown(0).has("(B)uild/Brew Item"));
    EXPECT_EQ(shown().size(), 2u);
}

} // namespace
