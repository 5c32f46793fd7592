// Item types and the item file: every kind through the file format, display
// names, damage strings, look-ups, equip and unequip, damaged files.
#include "RulesTestEnv.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"
#include "rules/TagKeys.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

// One type of each kind with every list filled.
void buildCatalogue(bl3dItemTypeList& list) {
    list.addShopName("starfire.dat");
    list.addShopName("landru.dat");

    auto* plain = new bl3dItemType;
    plain->setBasics(10, "Ring of Mending", "heals", 900);
    plain->setValues(3, 1.5f);
    plain->setSlotMask(0x7800);
    plain->setClassMask(0x7fff);
    plain->setCategory(19);
    plain->setBlock(2, 42);
    plain->addRequirement(STAT_IQ, 9);
    plain->addRequirement(STAT_ST, 5);
    plain->addModifier(STAT_AC, -1);
    plain->addEffect(IEFFECT_REGEN, 0x000102, "Regeneration");
    plain->addShopCount(1, 1);
    list.insert(plain);

    auto* weapon = new bl3dWeaponType;
    weapon->setBasics(100, "Hand Axe", "venom", 45);
    weapon->setSlotMask((1 << 8) | (1 << 19));
    weapon->setClassMask(0x65);
    weapon->setCategory(CAT_AXE);
    weapon->setDamage(2, 4, 1, true);
    weapon->setWeaponA(7);
    weapon->setSpecial(WSPEC_POISON, static_cast<int32_t>(0x80000000u | (25u << 22) | (5u << 16) | (1u << 5) | 4u));
    weapon->addShopCount(4, 0);
    weapon->addShopCount(10000, 1);
    list.insert(weapon);

    auto* k2 = new bl3dItemType2;
    k2->setBasics(62, "Alchemist's Kit", "flasks", 150);
    k2->setValues(2, 0.5f);
    for (int i = 0; i < 5; ++i)
        k2->setValue(i, i + 1);
    list.insert(k2);

    auto* ammo = new bl3dAmmoType;
    ammo->setBasics(130, "Arrows", "quiver", 1);
    ammo->setFlags(ITEMF_CHARGES);
    ammo->setCharges(20);
    ammo->setDamage(1, 6, 0, false);
    ammo->setAmmoKind(1);
    list.insert(ammo);

    auto* bow = new bl3dBowType;
    bow->setBasics(120, "Short Bow", "yew", 70);
    bow->setRange(60);
    bow->setAmmoKind(1);
    list.insert(bow);

    auto* thrown = new bl3dThrownType;
    thrown->setBasics(140, "Throwing Knives", "balanced", 20);
    thrown->setDamage(1, 4, 0, false);
    thrown->setRange(30);
    thrown->setIsWeapon(true);
    list.insert(thrown);

    auto* potion = new bl3dItemType;
    potion->setBasics(60, "Draught of Mending", "heals", 60);
    potion->setFlags(ITEMF_CHARGES);
    potion->setCharges(3);
    potion->setUseAction(0x001603ee);
    auto* r = new bl3dRecipe;
    r->setId(0);
    r->addIngredient(2, "Mandrake Root");
    r->addIngredient(1, "Glowing Moss");
    potion->setRecipe(r);
    list.insert(potion);

    auto* letter = new bl3dItemType;
    letter->setBasics(71, "Sealed Letter", "wax", 0);
    letter->setUseAction(static_cast<int32_t>(0x80000003u));
    list.insert(letter);
}

class ItemTest : public RulesTest {
protected:
    static std::vector<uint8_t> fileBytes(const bl3dItemTypeList& l) {
        MemStream_C s;
        l.saveTo(s);
        return streamBytes(s);
    }
};

TEST_F(ItemTest, EveryKindSurvivesTheFileFormat) {
    FakeAction heal(0x001603ee, "Rapid Healing");
    masterActionList.add(&heal, 0);
    bl3dItemTypeList built;
    buildCatalogue(built);
    const std::vector<uint8_t> bytes = fileBytes(built);

    MemStream_C s;
    fillStream(s, bytes);
    bl3dItemTypeList read;
    RefStr_C why;
    ASSERT_EQ(read.loadFrom(s, why), 0) << why.c_str();
    ASSERT_EQ(read.count(), 8);
    EXPECT_EQ(fileBytes(read), bytes) << "a load and a save give the same bytes";
    EXPECT_EQ(read.shopIndex("landru.dat"), 1);
    EXPECT_EQ(read.shopIndex("nowhere"), -1);

    struct KindCase {
        int32_t id;
        int32_t kind;
        bool weapon, kind2, ammo, bow, thrown;
    };
    const KindCase kinds[] = {
        {10, ITEM_PLAIN, false, false, false, false, false}, {100, ITEM_WEAPON, true, false, false, false, false},
        {62, ITEM_KIND2, false, true, false, false, false},  {130, ITEM_AMMO, false, false, true, false, false},
        {120, ITEM_BOW, false, false, false, true, false},   {140, ITEM_THROWN, true, false, false, false, true},
    };
    for (const KindCase& k : kinds) {
        bl3dItemType* t = read.findById(k.id);
        ASSERT_NE(t, nullptr) << k.id;
        EXPECT_EQ(t->kind(), k.kind);
        EXPECT_EQ(t->isWeapon(), k.weapon) << k.id;
        EXPECT_EQ(t->isKind2(), k.kind2);
        EXPECT_EQ(t->isAmmo(), k.ammo);
        EXPECT_EQ(t->isBow(), k.bow);
        EXPECT_EQ(t->isThrown(), k.thrown);
    }
    const bl3dItemType* ring = read.findById(10);
    EXPECT_EQ(ring->getIntValue(), 3);
    EXPECT_FLOAT_EQ(ring->getFloatValue(), 1.5f);
    EXPECT_EQ(ring->getBlock()[0], 5) << "block defaults";
    EXPECT_EQ(ring->getBlock()[2], 42);
    ASSERT_EQ(ring->getRequirements().size(), 2u);
    EXPECT_EQ(ring->getRequirements()[0].stat, STAT_ST) << "lists hold the newest entry first";
    EXPECT_EQ(ring->getEffects()[0].value, 0x000102);
    EXPECT_STREQ(ring->getEffects()[0].text.c_str(), "Regeneration");
    EXPECT_EQ(read.getShopCount(ring, 1), 1);
    EXPECT_EQ(read.getShopCount(ring, 0), -1);

    auto* axe = static_cast<bl3dWeaponType*>(read.findById(100));
    EXPECT_EQ(axe->getWeaponA(), 7);
    EXPECT_TRUE(axe->getAddBonus());
    EXPECT_EQ(axe->getSpecialFlags(), WSPEC_POISON);
    EXPECT_LT(axe->getSpecialValue(), 0) << "the poison allows a save";
    EXPECT_EQ(read.getShopCount(axe, 1), 10000);
    EXPECT_EQ(static_cast<bl3dBowType*>(read.findById(120))->getRange(), 60);
    EXPECT_EQ(static_cast<bl3dAmmoType*>(read.findById(130))->getAmmoKind(), 1);
    EXPECT_EQ(static_cast<bl3dItemType2*>(read.findById(62))->getValues()[4], 5);

    EXPECT_EQ(read.findById(60)->getAction(), &heal);
    bl3dAction* plot = read.findById(71)->getAction();
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(static_cast<uint32_t>(plot->actionID()), 0x80000003u);
    EXPECT_EQ(read.findById(999), nullptr);
}

TEST_F(ItemTest, UnknownUseActionLeavesNoActionButKeepsTheId) {
    bl3dItemTypeList built;
    buildCatalogue(built); // 0x001603ee is not in the master list here
    const std::vector<uint8_t> bytes = fileBytes(built);
    MemStream_C s;
    fillStream(s, bytes);
    bl3dItemTypeList read;
    RefStr_C why;
    ASSERT_EQ(read.loadFrom(s, why), 0);
    EXPECT_EQ(read.findById(60)->getAction(), nullptr);
    EXPECT_EQ(fileBytes(read), bytes);
}

TEST_F(ItemTest, DisplayNamesShowLimitedCharges) {
    bl3dItemType t;
    t.setBasics(1, "Wand", "", 0);
    t.setFlags(ITEMF_CHARGES);
    t.setCharges(10000);
    RefStr_C name;
    t.getDisplayName(name);
    EXPECT_STREQ(name.c_str(), "Wand");
    std::unique_ptr<bl3dItem> item(t.newInstance());
    item->setCharges(3);
    item->getDisplayName(name);
    EXPECT_STREQ(name.c_str(), "Wand (3)");
    t.setFlags(0);
    item->getDisplayName(name);
    EXPECT_STREQ(name.c_str(), "Wand") << "no charges shown without the flag";
}

TEST_F(ItemTest, DamageStrings) {
    struct Case {
        int32_t count, sides, bonus;
        const char* text;
    };
    const Case cases[] = {{2, 4, 0, "2d4"}, {2, 4, 1, "2d4t1"}, {1, 6, -2, "1d6t-2"}, {12, 20, 100, "12d20t100"}};
    for (const Case& c : cases) {
        bl3dWeaponType w;
        w.setDamage(c.count, c.sides, c.bonus, false);
        std::unique_ptr<char[]> s(w.damageStr());
        EXPECT_STREQ(s.get(), c.text);
    }
}

TEST_F(ItemTest, RollDamageGuardsAZeroDie) {
    bl3dWeaponType w;
    w.setDamage(3, 0, 2, true);
    EXPECT_EQ(w.rollDamage(5), 7);
    w.setDamage(2, 4, 1, false);
    vell::scriptGameRand({3, 0});
    EXPECT_EQ(w.rollDamage(5), 4 + 1 + 1);
}

TEST_F(ItemTest, FindByNameUsesTheDisplayName) {
    buildCatalogue(masterITL);
    EXPECT_EQ(masterITL.findByName("Arrows (20)"), masterITL.findById(130));
    EXPECT_EQ(masterITL.findByName("Arrows"), nullptr);
    EXPECT_EQ(masterITL.findByName("Short Bow"), masterITL.findById(120));
}

TEST_F(ItemTest, DuplicateIdsAreRefused) {
    bl3dItemTypeList list;
    auto* a = new bl3dItemType;
    a->setBasics(5, "A", "", 0);
    auto* b = new bl3dItemType;
    b->setBasics(5, "B", "", 0);
    EXPECT_TRUE(list.insert(a));
    EXPECT_FALSE(list.insert(b));
    EXPECT_EQ(list.count(), 1);
    EXPECT_STREQ(list.findById(5)->getName().c_str(), "A");
    // Id 0 is what a stored empty slot holds.
    auto* zero = new bl3dItemType;
    zero->setBasics(0, "Zero", "", 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(list.insert(zero));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("item id 0"), std::string::npos);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(ItemTest, AFileLoadsOnPastItsBadRecordsAndOddValues) {
    // A duplicate id is refused; everything else the record format can hold
    // loads as it stands and is written back the same.
    bl3dItemTypeList built;
    built.addShopName("shop.dat");
    auto* first = new bl3dItemType;
    first->setBasics(5, "A", "", 0);
    built.insert(first);
    auto* odd = new bl3dWeaponType;
    odd->setBasics(6, "Odd", "", 1);
    odd->setClassMask(0x7fff);
    odd->setSlotMask(static_cast<int32_t>(0xfff00000u) | (1 << SLOT_HEAD));
    odd->addEffect(IEFFECT_BLOCK, static_cast<int32_t>(0x80100000u) | (1 << SLOT_FEET), "");
    odd->addRequirement(40, 3);
    odd->addModifier(-1, 2);
    odd->addModifier(STAT_AC, -1);
    odd->addShopCount(3, 7);      // a shop past the names
    odd->addShopCount(20000, 0);
    odd->addShopCount(-3, 0);
    odd->setDamage(5000, 2000, 0, false);
    auto* r = new bl3dRecipe;
    r->setId(0);
    r->addIngredient(2000000000, "Root");
    r->addIngredient(-5, "Moss");
    odd->setRecipe(r);
    built.insert(odd);
    MemStream_C s;
    built.saveTo(s);
    const std::vector<uint8_t> twoGood = streamBytes(s);
    // The same id once more, after the others; then id 0, which a stored
    // slot reads as empty.
    bl3dItemType again;
    again.setBasics(5, "B", "", 0);
    s.writeInt32(ITEM_PLAIN);
    again.save(s);
    bl3dItemType zero;
    zero.setBasics(0, "Zero", "", 0);
    s.writeInt32(ITEM_PLAIN);
    zero.save(s);
    const uint8_t stray[] = {9, 9, 9};
    s.write(stray, sizeof stray);

    bl3dItemTypeList read;
    RefStr_C why;
    std::vector<std::string> notes;
    ASSERT_EQ(read.loadFrom(s, why, &notes), 0) << why.c_str();
    ASSERT_EQ(read.count(), 2);
    EXPECT_STREQ(read.findById(5)->getName().c_str(), "A") << "the first of an id stays";
    EXPECT_EQ(read.findById(0), nullptr) << "no item type has id 0";
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_NE(notes[0].find("record 2 (id 5, \"B\")"), std::string::npos) << notes[0];
    EXPECT_NE(notes[1].find("record 3 (id 0, \"Zero\") refused"), std::string::npos) << notes[1];
    EXPECT_NE(notes[2].find("3 stray bytes"), std::string::npos) << notes[2];
    EXPECT_EQ(fileBytes(read), twoGood) << "what was read is written back";
    bl3dItemType* t = read.findById(6);
    EXPECT_EQ(read.getShopCount(t, 7), 3);
    EXPECT_EQ(read.getShopCount(t, 0), -3) << "the first pair of a shop counts";
    EXPECT_EQ(t->getRecipe()->totalCount(), 1999999995);

    // Worn, only the slots that exist count: the head slot is taken and the
    // feet blocked, nothing else changes.
    bl3dPartyChar pc("Ada", 0x4, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
    pc.getStatBlock()->setBase(STAT_AC, 10);
    bl3dItem* item = t->newInstance();
    ASSERT_TRUE(pc.putInSlot(SLOT_HEAD, item));
    EXPECT_TRUE(item->isEquipped());
    EXPECT_EQ(pc.getUsableSlots(), DEFAULT_USABLE_SLOTS & ~(1 << SLOT_FEET));
    EXPECT_EQ(pc.getStatBlock()->getCur(STAT_AC), 9);
    EXPECT_FALSE(t->canUse(&pc)) << "a requirement on a stat that does not exist reads it as 0";
    delete pc.takeFromSlot(SLOT_HEAD);
    EXPECT_EQ(pc.getUsableSlots(), DEFAULT_USABLE_SLOTS);

    // On disk the refused record and the stray bytes are reported with the
    // file's name.
    const std::string path = ::testing::TempDir() + "rules1_odd_item.dat";
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(s.data()), s.size());
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(masterITL.load(path.c_str()), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ERROR: item file " + path + ": record 2 (id 5"), std::string::npos) << err;
    EXPECT_NE(err.find("ERROR: item file " + path + ": record 3 (id 0"), std::string::npos) << err;
    EXPECT_NE(err.find("ERROR: item file " + path + ": 3 stray bytes"), std::string::npos) << err;
    EXPECT_EQ(masterITL.count(), 2);
    std::remove(path.c_str());
}

TEST_F(ItemTest, FindByRecipePrefersTheLargestRecipe) {
    bl3dItemTypeList list;
    auto add = [&](int32_t id, int kind, std::vector<std::pair<int, const char*>> parts) {
        auto* t = new bl3dItemType;
        t->setBasics(id, "x", "", 0);
        auto* r = new bl3dRecipe;
        r->setId(kind);
        for (auto& p : parts)
            r->addIngredient(p.first, p.second);
        t->setRecipe(r);
        list.insert(t);
    };
    add(1, 0, {{2, "Root"}, {1, "Moss"}});
    add(2, 0, {{3, "Root"}, {2, "Hair"}, {1, "Moss"}});
    add(3, 1, {{1, "Root"}});
    bl3dRecipe gathered;
    gathered.setId(0);
    gathered.addIngredient(3, "Root");
    gathered.addIngredient(2, "Hair");
    gathered.addIngredient(1, "Moss");
    EXPECT_EQ(list.findByRecipe(&gathered), list.findById(2));
    bl3dRecipe fewer;
    fewer.setId(0);
    fewer.addIngredient(2, "Root");
    fewer.addIngredient(1, "Moss");
    fewer.addIngredient(1, "Hair");
    EXPECT_EQ(list.findByRecipe(&fewer), list.findById(1));
    bl3dRecipe otherKind;
    otherKind.setId(1);
    otherKind.addIngredient(5, "Root");
    EXPECT_EQ(list.findByRecipe(&otherKind), list.findById(3));
    bl3dRecipe none;
    none.setId(0);
    none.addIngredient(1, "Root");
    EXPECT_EQ(list.findByRecipe(&none), nullptr);
}

TEST_F(ItemTest, NewItemsNeverTakeTheReservedKeys) {
    bl3dItemType t;
    t.setBasics(1, "Stone", "", 0);
    env.serial = 0;
    std::unique_ptr<bl3dItem> a(t.newInstance()), b(t.newInstance());
    EXPECT_EQ(a->getSerial(), 3u);
    EXPECT_EQ(b->getSerial(), 4u);
}

TEST_F(ItemTest, CanUseChecksClassRequirementsAndMonsters) {
    bl3dItemType t;
    t.setClassMask(0x4);
    t.addRequirement(STAT_ST, 14);
    bl3dPartyChar squire("Sq", 0x4, RACE_HUMAN, true, ALIGN_GOOD, nullptr, nullptr);
    squire.getStatBlock()->setBase(STAT_ST, 13);
    EXPECT_FALSE(t.canUse(&squire));
    squire.getStatBlock()->setBase(STAT_ST, 14);
    EXPECT_TRUE(t.canUse(&squire));
    bl3dPartyChar bard("Ba", 0x2, RACE_ELF, true, ALIGN_GOOD, nullptr, nullptr);
    bard.getStatBlock()->setBase(STAT_ST, 18);
    EXPECT_FALSE(t.canUse(&bard));
    bl3dPartyChar joined("Wolf", 0x8000 | 0x4, RACE_MONSTER, true, ALIGN_EVIL, nullptr, nullptr);
    joined.getStatBlock()->setBase(STAT_ST, 18);
    EXPECT_FALSE(t.canUse(&joined));
}

TEST_F(ItemTest, RegenBytesWrapAndComeBackExactly) {
    bl3dItemType t;
    t.setBasics(1, "Ring", "", 0);
    t.addEffect(IEFFECT_REGEN, 0x000102, "Regen");
    t.addEffect(IEFFECT_INST, 2, "Inst");
    bl3dPartyChar pc("Ada", 1, RACE_HUMAN, false, ALIGN_GOOD, nullptr, nullptr);
    pc.getTagList()->setInt(tagkey::Regen, 0x00ff00ff);
    std::unique_ptr<bl3dItem> ring(t.newInstance());
    ring->equip(pc);
    int32_t v = 0;
    pc.getTagList()->getInt(tagkey::Regen, v);
    EXPECT_EQ(static_cast<uint32_t>(v), 0x00ff0101u) << "each byte wraps on its own";
    pc.getTagList()->getInt(tagkey::Inst, v);
    EXPECT_EQ(v, 2);
    ring->unequip(pc);
    pc.getTagList()->getInt(tagkey::Regen, v);
    EXPECT_EQ(static_cast<uint32_t>(v), 0x00ff00ffu);
    pc.getTagList()->getInt(tagkey::Inst, v);
    EXPECT_EQ(v, 0);
}

TEST_F(ItemTest, DamagedFilesAreRefusedAndChangeNothing) {
    bl3dItemTypeList built;
    buildCatalogue(built);
    const std::vector<uint8_t> good = fileBytes(built);
    bl3dItemTypeList list;
    list.addShopName("kept");
    // Every cut inside a record is refused: the record runs past the end.
    // A cut that leaves fewer than four bytes of a record (no record kind)
    // is a whole file with a stray tail.
    int refused = 0;
    for (size_t cut = 1; cut < good.size(); ++cut) {
        MemStream_C s;
        fillStream(s, std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut)));
        RefStr_C why;
        if (list.loadFrom(s, why) < 0) {
            ++refused;
            EXPECT_EQ(list.shopCount(), 1) << "cut at " << cut;
        } else {
            list.clear();
            list.addShopName("kept");
        }
    }
    EXPECT_GT(refused, static_cast<int>(good.size()) - 4 * built.count() - 20);

    struct Patch {
        const char* what;
        size_t offset;
        int32_t value;
    };
    // Offsets inside the first record (the ring, id 10): shop names take
    // 4 + (4+12) + (4+10) = 34 bytes, then the kind word.
    const size_t body = 34 + 4;
    const size_t afterName = body + 12 + 4 + 15; // id, int, float, "Ring of Mending"
    const size_t afterDesc = afterName + 4 + 5;  // "heals"
    const Patch patches[] = {
        {"huge shop count", 0, 0x7fffffff},
        {"negative name length", body + 12, -5},
        {"requirement count too large", afterDesc + 20 + 20, 100000},
        {"negative requirement count", afterDesc + 20 + 20, -1},
    };
    for (const Patch& p : patches) {
        std::vector<uint8_t> bad = good;
        for (int i = 0; i < 4; ++i)
            bad[p.offset + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(p.value) >> (8 * i));
        MemStream_C s;
        fillStream(s, bad);
        RefStr_C why;
        EXPECT_LT(list.loadFrom(s, why), 0) << p.what;
    }
}

TEST_F(ItemTest, MissingAndDamagedFilesOnDisk) {
    bl3dItemTypeList list;
    EXPECT_EQ(list.load("/nonexistent/item.dat"), -1);
    EXPECT_EQ(list.count(), 0);
    const std::string path = ::testing::TempDir() + "rules1_bad_item.dat";
    {
        std::ofstream f(path, std::ios::binary);
        f << "\x01\x00\x00\x00\xff\xff";
    }
    EXPECT_EQ(list.load(path.c_str()), -2);
    std::remove(path.c_str());
    bl3dItemTypeList built;
    buildCatalogue(built);
    ASSERT_TRUE(built.save(path.c_str()));
    EXPECT_EQ(list.load(path.c_str()), 0);
    EXPECT_EQ(list.count(), built.count());
    std::remove(path.c_str());
}

TEST_F(ItemTest, ShippedItemFileHoldsEveryKind) {
    const std::string path = std::string(VELL_GAME_DIR) + "/data/item.dat";
    ASSERT_TRUE(std::ifstream(path).good()) << path << " is missing: the game folder is not assembled";
    bl3dItemTypeList list;
    ASSERT_EQ(list.load(path.c_str()), 0);
    EXPECT_EQ(list.shopCount(), 5);
    for (const char* shop : {"starfire.dat", "imperial.dat", "valor.dat", "shop.dat", "landru.dat"})
        EXPECT_GE(list.shopIndex(shop), 0) << shop;
    bool kinds[6] = {};
    bool unlimitedWand = false, plot = false, recipe = false, block = false, regen = false, inst = false;
    for (int i = 0; i < list.count(); ++i) {
        const bl3dItemType* t = list.at(i);
        kinds[t->kind()] = true;
        unlimitedWand |= t->hasCharges() && t->getCharges() == UNLIMITED_CHARGES;
        plot |= t->getUseActionId() < 0;
        recipe |= t->getRecipe() != nullptr;
        for (const ItemEffect_S& e : t->getEffects()) {
            block |= e.kind == IEFFECT_BLOCK;
            regen |= e.kind == IEFFECT_REGEN;
            inst |= e.kind == IEFFECT_INST;
        }
    }
    for (bool k : kinds)
        EXPECT_TRUE(k);
    EXPECT_TRUE(unlimitedWand && plot && recipe && block && regen && inst);
}

} // namespace
