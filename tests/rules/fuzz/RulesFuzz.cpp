#include "RulesFuzz.h"

#include "core/MemStream.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"

#include <memory>

namespace {

void fill(MemStream_C& s, const uint8_t* data, size_t size) {
    if (size > 0)
        s.write(data, static_cast<uint32_t>(size));
}

// The item types a stored character may refer to.
void ensureItemTypes() {
    if (masterITL.count() > 0)
        return;
    masterITL.addShopName("shop.dat");
    auto* ring = new bl3dItemType;
    ring->setBasics(30, "Ring", "", 1);
    ring->setSlotMask(0x7800);
    ring->addModifier(STAT_AC, -1);
    ring->addEffect(IEFFECT_REGEN, 0x010203, "Regen");
    ring->addEffect(IEFFECT_BLOCK, 1 << 11, "");
    masterITL.insert(ring);
    auto* kit = new bl3dItemType2;
    kit->setBasics(62, "Kit", "", 1);
    masterITL.insert(kit);
}

} // namespace

int fuzzItemFile(const uint8_t* data, size_t size) {
    MemStream_C s;
    fill(s, data, size);
    bl3dItemTypeList list;
    RefStr_C why;
    if (list.loadFrom(s, why) == 0) {
        // Whatever loads must also work.
        MemStream_C out;
        list.saveTo(out);
        RefStr_C name;
        for (int i = 0; i < list.count(); ++i) {
            bl3dItemType* t = list.at(i);
            t->getDisplayName(name);
            list.findByName(name.c_str());
            list.findById(t->getID());
            if (t->isWeapon() || t->isAmmo() || t->isThrown()) {
                auto* w = static_cast<bl3dWeaponType*>(t);
                std::unique_ptr<char[]> d(w->damageStr());
                if (w->getDiceCount() <= 64)
                    w->rollDamage(1);
            }
            bl3dPartyChar pc("Fuzz", 0x7fff, 1, true, 1, nullptr, nullptr);
            bl3dItem* item = t->newInstance();
            for (int slot = 0; slot < SLOT_COUNT; ++slot)
                if (t->getSlotMask() & (1 << slot)) {
                    if (pc.putInSlot(slot, item)) {
                        delete pc.takeFromSlot(slot);
                        item = nullptr;
                    }
                    break;
                }
            delete item;
        }
        list.findByRecipe(nullptr);
    }
    return 0;
}

int fuzzStoredChar(const uint8_t* data, size_t size) {
    ensureItemTypes();
    MemStream_C s;
    fill(s, data, size);
    std::unique_ptr<Storable_C> r = bl3dPartyChar::create(RefStr_C("Fuzz"), 1, s);
    if (r) {
        auto* pc = static_cast<bl3dPartyChar*>(r.get());
        MemStream_C out;
        pc->write(out);
        pc->getStatBlock()->recompute();
        for (int slot = 0; slot < SLOT_COUNT; ++slot)
            delete pc->takeFromSlot(slot);
        pc->removeEffects(1);
    }
    return 0;
}

std::vector<uint8_t> seedItemFile() {
    bl3dItemTypeList list;
    list.addShopName("shop.dat");
    list.addShopName("landru.dat");
    auto* plain = new bl3dItemType;
    plain->setBasics(10, "Ring", "desc", 5);
    plain->setFlags(ITEMF_CHARGES);
    plain->setCharges(4);
    plain->setSlotMask(0x7800);
    plain->addRequirement(STAT_ST, 3);
    plain->addModifier(STAT_AC, -1);
    plain->addEffect(IEFFECT_REGEN, 0x0102, "Regen");
    plain->addEffect(IEFFECT_BLOCK, 1 << 9, "");
    plain->addShopCount(2, 1);
    auto* r = new bl3dRecipe;
    r->setId(0);
    r->addIngredient(2, "Root");
    plain->setRecipe(r);
    plain->setUseAction(static_cast<int32_t>(0x80000004u));
    list.insert(plain);
    for (int32_t kind = 1; kind <= 5; ++kind) {
        bl3dItemType* t = makeItemType(kind);
        t->setBasics(100 + kind, "Kind", "", 1);
        t->setSlotMask(1 << 8);
        if (kind == 1 || kind == 3 || kind == 5)
            static_cast<bl3dWeaponType*>(t)->setDamage(2, 4, 1, true);
        list.insert(t);
    }
    MemStream_C s;
    list.saveTo(s);
    return std::vector<uint8_t>(s.data(), s.data() + s.size());
}

std::vector<uint8_t> seedStoredChar() {
    ensureItemTypes();
    bl3dPartyChar pc("Fuzz", 0x4, 2, false, 1, nullptr, nullptr);
    pc.setName("Elf_Female");
    pc.getStatBlock()->setBase(STAT_AC, 10);
    pc.putInSlot(11, masterITL.findById(30)->newInstance());
    pc.getPack()->pushFront(masterITL.findById(62)->newInstance());
    pc.getTagList()->setInt("Inst", 1);
    pc.poison(100, 6, 2, 1, 10, true);
    MemStream_C s;
    pc.write(s);
    return std::vector<uint8_t>(s.data(), s.data() + s.size());
}
