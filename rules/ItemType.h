// bl3dItemType: one entry of the item file "data/item.dat" and its five
// specialised kinds (melee weapon, kind-2 item, ammunition, missile
// launcher, throwing weapon). Types are master data; bl3dItem instances
// point at them.
#pragma once
#include "core/RefStr.h"

#include <cstdint>
#include <vector>

class bl3dAction;
class bl3dCharacter;
class bl3dItem;
class bl3dPartyChar;
class bl3dRecipe;
class bl3dStatBlock;
class MemStream_C;

enum ItemKind : int32_t {
    ITEM_PLAIN = 0,
    ITEM_WEAPON = 1,
    ITEM_KIND2 = 2,
    ITEM_AMMO = 3,
    ITEM_BOW = 4,
    ITEM_THROWN = 5,
};

enum ItemEffectKind : int32_t {
    IEFFECT_REGEN = 1,  // value: signed bytes (0 SP, 1 HP, 2 BP)
    IEFFECT_INST = 2,   // value added to "Inst"
    IEFFECT_BLOCK = 3,  // value: slots put out of use
    IEFFECT_INGREDIENT = 4,
};

enum ItemFlags : int32_t {
    ITEMF_CHARGES = 0x1,
};

// Special effects of a weapon hit.
enum WeaponSpecial : int32_t {
    WSPEC_POISON = 0x02,
    WSPEC_ADD_DAMAGE = 0x04,
    WSPEC_ONLY_VS = 0x08,
    WSPEC_DOUBLE_VS = 0x10,
    WSPEC_NONE_VS = 0x20,
    WSPEC_KILL = 0x40,
};

// Weapon categories.
enum WeaponCategory : int32_t {
    CAT_AXE = 9,
    CAT_BLUNT = 10,
    CAT_MELEE = 11,
    CAT_BOW = 12,
    CAT_LONG_BLADE = 14,
    CAT_THROWN = 15,
    CAT_SHORT_BLADE = 16,
};

constexpr int32_t UNLIMITED_CHARGES = 10000;

struct StatPair_S {
    int32_t stat;
    int32_t amount; // a minimum for requirements
};

struct ItemEffect_S {
    int32_t kind;
    int32_t value;
    RefStr_C text;
};

struct ShopCount_S {
    int32_t count;
    int32_t shop;
};

class bl3dItemType {
public:
    bl3dItemType();
    virtual ~bl3dItemType();
    bl3dItemType(const bl3dItemType&) = delete;
    bl3dItemType& operator=(const bl3dItemType&) = delete;

    // The record body after the kind word, as the item file holds it.
    virtual void save(MemStream_C& s) const;
    virtual int32_t kind() const { return ITEM_PLAIN; }
    virtual int32_t getCategory() const { return category_; }
    virtual void setCategory(int32_t c) { category_ = c; }
    virtual bool isWeapon() const { return false; }
    virtual bool isKind2() const { return false; }
    virtual bool isAmmo() const { return false; }
    virtual bool isBow() const { return false; }
    virtual bool isThrown() const { return false; }
    // A new item with the world's next serial (never a reserved key).
    virtual bl3dItem* newInstance();
    // An item read from its stored form; null when the bytes are short.
    virtual bl3dItem* newInstance(MemStream_C& s);

    // Reads the record body; false with a reason when the bytes end inside
    // it (a count or length that runs past the end included). Any value is
    // taken as it stands: a shop index past the shop names matches no shop,
    // stats and slots out of range count for nothing.
    virtual bool load(MemStream_C& s, RefStr_C& why);

    int32_t getID() const { return id_; }
    int32_t getIntValue() const { return intValue_; }
    float getFloatValue() const { return floatValue_; }
    const RefStr_C& getName() const { return name_; }
    const char* getDescription() const { return description_.c_str(); }
    int32_t getPrice() const { return price_; }
    int32_t getFlags() const { return flags_; }
    bool hasCharges() const { return (flags_ & ITEMF_CHARGES) != 0; }
    int32_t getSlotMask() const { return slotMask_; }
    int32_t getClassMask() const { return classMask_; }
    const int32_t* getBlock() const { return block_; }
    const std::vector<StatPair_S>& getRequirements() const { return requirements_; }
    const std::vector<StatPair_S>& getStatMods() const { return modifiers_; }
    const std::vector<ItemEffect_S>& getEffects() const { return effects_; }
    bl3dAction* getAction() const { return useAction_; }
    int32_t getUseActionId() const { return useActionId_; }
    int32_t getCharges() const { return charges_; }
    bl3dRecipe* getRecipe() const { return recipe_; }
    const std::vector<ShopCount_S>& getShopCounts() const { return shopCounts_; }
    // The count of the first pair for that shop; -1 when not stocked.
    int32_t getShopCount(int32_t shopIndex) const;

    // Name, with " (charges)" when the type has charges that are limited.
    void getDisplayName(RefStr_C& out) const;
    bool canUse(const bl3dPartyChar* who) const;

    // Modifier halves of equipping: type-3 modifiers keyed by the serial.
    void applyMods(bl3dStatBlock& stats, uint64_t serial) const;
    void removeMods(bl3dStatBlock& stats, uint64_t serial) const;
    void suspendStatMods(bl3dStatBlock& stats, int32_t stat, uint64_t serial) const;

    // Building a type in code (the data tool, tests).
    void setBasics(int32_t id, const char* name, const char* description, int32_t price);
    void setValues(int32_t intValue, float floatValue) { intValue_ = intValue; floatValue_ = floatValue; }
    void setFlags(int32_t f) { flags_ = f; }
    void setSlotMask(int32_t m) { slotMask_ = m; }
    void setClassMask(int32_t m) { classMask_ = m; }
    void setBlock(int i, int32_t v) { if (i >= 0 && i < 5) block_[i] = v; }
    void addRequirement(int32_t stat, int32_t minimum);
    void addModifier(int32_t stat, int32_t amount);
    void addEffect(int32_t kind, int32_t value, const char* text);
    // Negative ids make a plot event numbered id & 0xffff; others are looked
    // up in the master action list.
    void setUseAction(int32_t id);
    void setCharges(int32_t c) { charges_ = c; }
    // Takes the recipe over (null for none).
    void setRecipe(bl3dRecipe* r);
    void addShopCount(int32_t count, int32_t shop);

protected:
    virtual bool loadExtra(MemStream_C& s, RefStr_C& why);
    virtual void saveExtra(MemStream_C& s) const;

    int32_t id_ = 0;
    int32_t intValue_ = 0;
    float floatValue_ = 0.0f;
    RefStr_C name_;
    RefStr_C description_;
    int32_t price_ = 0;
    int32_t flags_ = 0;
    int32_t slotMask_ = 0;
    int32_t classMask_ = 0;
    int32_t category_ = 0;
    int32_t block_[5] = {5, 10, 10, 1, 10};
    std::vector<StatPair_S> requirements_;
    std::vector<StatPair_S> modifiers_;
    std::vector<ItemEffect_S> effects_;
    bl3dAction* useAction_ = nullptr;
    bool ownsAction_ = false;
    int32_t useActionId_ = 0;
    int32_t charges_ = 0;
    bl3dRecipe* recipe_ = nullptr;
    std::vector<ShopCount_S> shopCounts_;
};

// Kind 1: a melee weapon.
class bl3dWeaponType : public bl3dItemType {
public:
    int32_t kind() const override { return ITEM_WEAPON; }
    bool isWeapon() const override { return true; }

    // Sum of the dice, plus the damage bonus, plus bonus when addBonus.
    int32_t rollDamage(int32_t bonus) const;
    // "%dd%d", then "t%d" with a non-zero damage bonus. The caller frees it
    // (delete[]).
    char* damageStr() const;

    int32_t getDiceCount() const { return diceCount_; }
    int32_t getDiceSides() const { return diceSides_; }
    int32_t getDamageBonus() const { return damageBonus_; }
    int32_t getWeaponA() const { return weaponA_; }
    bool getAddBonus() const { return addBonus_ != 0; }
    int32_t getSpecialFlags() const { return specialFlags_; }
    int32_t getSpecialValue() const { return specialValue_; }
    void setDamage(int32_t count, int32_t sides, int32_t bonus, bool addBonus);
    void setWeaponA(int32_t v) { weaponA_ = v; }
    void setSpecial(int32_t flags, int32_t value) { specialFlags_ = flags; specialValue_ = value; }

protected:
    bool loadExtra(MemStream_C& s, RefStr_C& why) override;
    void saveExtra(MemStream_C& s) const override;

    int32_t diceCount_ = 0;
    int32_t diceSides_ = 0;
    int32_t damageBonus_ = 0;
    int32_t weaponA_ = 0;
    uint8_t addBonus_ = 0;
    int32_t specialFlags_ = 0;
    int32_t specialValue_ = 0;
};

// Kind 2: an item whose instances carry values of their own.
class bl3dItemType2 : public bl3dItemType {
public:
    int32_t kind() const override { return ITEM_KIND2; }
    bool isKind2() const override { return true; }
    bl3dItem* newInstance() override;
    bl3dItem* newInstance(MemStream_C& s) override;
    const int32_t* getValues() const { return values_; }
    void setValue(int i, int32_t v) { if (i >= 0 && i < 5) values_[i] = v; }

protected:
    bool loadExtra(MemStream_C& s, RefStr_C& why) override;
    void saveExtra(MemStream_C& s) const override;

    int32_t values_[5] = {0, 0, 0, 0, 0};
};

// Kind 3: ammunition, shot by a launcher of the same ammoKind.
class bl3dAmmoType : public bl3dWeaponType {
public:
    int32_t kind() const override { return ITEM_AMMO; }
    bool isWeapon() const override { return false; }
    bool isAmmo() const override { return true; }
    int32_t getAmmoKind() const { return ammoKind_; }
    void setAmmoKind(int32_t k) { ammoKind_ = k; }

protected:
    bool loadExtra(MemStream_C& s, RefStr_C& why) override;
    void saveExtra(MemStream_C& s) const override;

    int32_t ammoKind_ = 0;
};

// Kind 4: a missile launcher.
class bl3dBowType : public bl3dItemType {
public:
    int32_t kind() const override { return ITEM_BOW; }
    bool isBow() const override { return true; }
    int32_t getRange() const { return range_; }
    int32_t getAmmoKind() const { return ammoKind_; }
    void setRange(int32_t r) { range_ = r; }
    void setAmmoKind(int32_t k) { ammoKind_ = k; }

protected:
    bool loadExtra(MemStream_C& s, RefStr_C& why) override;
    void saveExtra(MemStream_C& s) const override;

    int32_t range_ = 0;
    int32_t ammoKind_ = 0;
};

// Kind 5: a throwing weapon.
class bl3dThrownType : public bl3dWeaponType {
public:
    int32_t kind() const override { return ITEM_THROWN; }
    bool isWeapon() const override { return isWeapon_ != 0; }
    bool isThrown() const override { return true; }
    int32_t getRange() const { return range_; }
    void setRange(int32_t r) { range_ = r; }
    void setIsWeapon(bool w) { isWeapon_ = w ? 1 : 0; }

protected:
    bool loadExtra(MemStream_C& s, RefStr_C& why) override;
    void saveExtra(MemStream_C& s) const override;

    int32_t range_ = 0;
    uint8_t isWeapon_ = 0;
};

// A new empty type of a record kind (kinds out of 1..5 are plain).
bl3dItemType* makeItemType(int32_t kind);
