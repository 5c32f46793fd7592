// A small catalogue of item types and party members for the party screen
// tests: the types go into masterITL (cleared first), the kinds of item
// creation into itemCreate; members are built in code. (The spells and
// skills of the pages are support/FakeActions.h's.)
//
//   PartyKit kit;                       // installs the catalogue
//   bl3dPartyChar* m = kit.member("Ann", 0x4);
//   kit.give(*m, kit.helm, 0);          // into slot 0
//   kit.carry(*m, kit.root);            // onto the front of the pack
#pragma once
#include "support/FakeActions.h"

#include "core/PtrList.h"
#include "core/RefStr.h"
#include "rules/Item.h"
#include "rules/ItemCreate.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"
#include "rules/StatBlock.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace partykit {

constexpr int32_t bit(int slot) { return 1 << slot; }

class PartyKit {
public:
    bl3dItemType *helm, *jerkin, *ring, *sword, *dagger, *shield, *tower, *arrows, *bottomless, *bow, *root, *moss,
        *draught, *rope, *heavy;

    PartyKit()
    {
        masterITL.clear();
        helm = plain(9001, "Helm", 30, bit(SLOT_HEAD));
        helm->addModifier(STAT_AC, -1);
        jerkin = plain(9002, "Jerkin", 40, bit(SLOT_BODY));
        jerkin->addModifier(STAT_AC, -2);
        ring = plain(9003, "Ring", 900, bit(SLOT_FINGER) | bit(12));
        ring->addModifier(STAT_LK, 2);
        sword = weapon(9004, "Sword", 60, bit(SLOT_RT_HAND) | bit(SLOT_READY), 1, 8);
        sword->addModifier(STAT_ATTACK, 1);
        dagger = weapon(9005, "Dagger", 15, bit(SLOT_RT_HAND) | bit(SLOT_LT_HAND) | bit(SLOT_READY), 1, 4);
        shield = plain(9006, "Buckler", 35, bit(SLOT_LT_HAND));
        shield->addModifier(STAT_AC, -1);
        tower = plain(9007, "Tower Shield", 180, bit(SLOT_LT_HAND));
        tower->addModifier(STAT_AC, -3);
        arrows = ammo(9008, "Arrows", 20);
        bottomless = ammo(9009, "Endless Quiver", UNLIMITED_CHARGES);
        bow = makeItemType(ITEM_BOW);
        bow->setBasics(9010, "Bow", "A bow of the kit.", 70);
        bow->setSlotMask(bit(SLOT_RT_HAND) | bit(SLOT_READY));
        bow->setClassMask(0x7fff);
        static_cast<bl3dBowType*>(bow)->setRange(60);
        masterITL.insert(bow);
        root = plain(9011, "Root", 8, bit(SLOT_MISC));
        root->addEffect(IEFFECT_INGREDIENT, 1, "Root");
        moss = plain(9012, "Moss", 6, bit(SLOT_MISC));
        moss->addEffect(IEFFECT_INGREDIENT, 1, "Moss");
        // Herbalism (kind 0): two roots and a moss.
        auto* recipe = new bl3dRecipe;
        recipe->setId(0);
        recipe->addIngredient(2, "Root");
        recipe->addIngredient(1, "Moss");
        draught = plain(9013, "Draught", 60, bit(SLOT_MISC), recipe);
        rope = plain(9014, "Rope", 5, bit(SLOT_MISC));
        heavy = plain(9015, "Plate", 900, bit(SLOT_BODY));
        heavy->setClassMask(0x1);   // only for class 0x1

        itemCreate.clear();
        itemCreate.push_back(kind("Herbalism", 0xf, "The herbs wilt.", "No remedy calls for these."));
        itemCreate.push_back(kind("Fletching", 0xf0, "The shafts split.", "Nothing to fletch."));
    }

    ~PartyKit()
    {
        masterITL.clear();
        itemCreate.clear();
    }

    // A member of a class (one bit) at a level, 20 HP, all stats 12.
    bl3dPartyChar* member(const char* name, int32_t classId, int level = 1, bool male = true)
    {
        auto* m = new bl3dPartyChar(name, classId, 1, male, 1, nullptr, nullptr);
        m->setLevel(level);
        m->setMaxHP(20);
        m->setCurHP(20);
        for (int s = 0; s < 8; ++s)
            m->getStatBlock()->setBase(s, 12);
        m->setName(male ? "Human_Male" : "Human_Female");
        return m;
    }

    // A new item of the type into the slot (equipped as putInSlot does).
    bl3dItem* give(bl3dPartyChar& m, bl3dItemType* type, int slot)
    {
        bl3dItem* item = type->newInstance();
        if (!m.putInSlot(slot, item)) {
            delete item;
            return nullptr;
        }
        return item;
    }
    // A new item of the type onto the front of the pack.
    bl3dItem* carry(bl3dPartyChar& m, bl3dItemType* type, int charges = -1)
    {
        bl3dItem* item = type->newInstance();
        if (charges >= 0)
            item->setCharges(charges);
        m.getPack()->pushFront(item);
        return item;
    }

private:
    bl3dItemType* plain(int32_t id, const char* name, int32_t price, int32_t slots, bl3dRecipe* recipe = nullptr)
    {
        bl3dItemType* t = makeItemType(ITEM_PLAIN);
        t->setRecipe(recipe);   // before it goes into the list, which sorts the recipes
        setup(t, id, name, price, slots);
        return t;
    }
    bl3dItemType* weapon(int32_t id, const char* name, int32_t price, int32_t slots, int dice, int sides)
    {
        auto* t = static_cast<bl3dWeaponType*>(makeItemType(ITEM_WEAPON));
        t->setDamage(dice, sides, 0, false);
        setup(t, id, name, price, slots);
        return t;
    }
    bl3dItemType* ammo(int32_t id, const char* name, int32_t charges)
    {
        auto* t = static_cast<bl3dAmmoType*>(makeItemType(ITEM_AMMO));
        t->setDamage(1, 6, 0, false);
        t->setFlags(ITEMF_CHARGES);
        t->setCharges(charges);
        setup(t, id, name, 1, bit(SLOT_AMMO));
        return t;
    }
    void setup(bl3dItemType* t, int32_t id, const char* name, int32_t price, int32_t slots)
    {
        t->setBasics(id, name, (std::string("A ") + name + " of the kit.").c_str(), price);
        t->setSlotMask(slots);
        t->setClassMask(0x7fff);
        masterITL.insert(t);
    }
    static ItemCreate_S kind(const char* name, int32_t mask, const char* fail, const char* noMatch)
    {
        ItemCreate_S k;
        k.name = name;
        k.key = "CreateAbility";
        k.mask = mask;
        k.failText = fail;
        k.noMatchText = noMatch;
        return k;
    }
};

// The member's items as names: the 20 slots ("" for empty) and the pack in
// order.
struct Holdings {
    std::vector<std::string> slots;
    std::vector<std::string> pack;
    bool operator==(const Holdings& o) const { return slots == o.slots && pack == o.pack; }
};

inline std::string itemName(const bl3dItem* item)
{
    if (!item)
        return "";
    RefStr_C n;
    item->getDisplayName(n);
    return n.c_str();
}

inline Holdings holdings(const bl3dPartyChar& m)
{
    Holdings h;
    for (int s = 0; s < SLOT_COUNT; ++s)
        h.slots.push_back(itemName(m.getSlotItem(s)));
    for (int i = 0; i < m.getPack()->count(); ++i)
        h.pack.push_back(itemName(static_cast<const bl3dItem*>(m.getPack()->at(i))));
    return h;
}

} // namespace partykit
