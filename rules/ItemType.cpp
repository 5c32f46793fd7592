#include "rules/ItemType.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/MemStream.h"
#include "platform/Random.h"
#include "rules/Item.h"
#include "rules/PartyChar.h"
#include "rules/Recipe.h"
#include "rules/RulesEnv.h"
#include "rules/StatBlock.h"

#include <cstdio>
#include <cstring>

namespace {
int32_t keyLow(uint64_t serial) { return static_cast<int32_t>(static_cast<uint32_t>(serial)); }
int32_t keyHigh(uint64_t serial) { return static_cast<int32_t>(static_cast<uint32_t>(serial >> 32)); }

void writeFloat(MemStream_C& s, float f) {
    uint32_t u = 0;
    std::memcpy(&u, &f, sizeof u);
    s.writeUInt32(u);
}

bool readFloat(MemStream_C& s, float& f) {
    uint32_t u = 0;
    if (!s.readUInt32(u))
        return false;
    std::memcpy(&f, &u, sizeof f);
    return true;
}

// A count read from the file that must leave room for that many entries of
// at least minSize bytes each.
bool readCount(MemStream_C& s, int32_t& n, uint32_t minSize) {
    return s.readInt32(n) && n >= 0 && static_cast<uint32_t>(n) <= s.remaining() / minSize;
}

bool fail(RefStr_C& why, const char* what) {
    why = what;
    return false;
}

// Serials (0,0), (1,0) and (2,0) key the race, creation and class modifiers.
uint64_t freshSerial() {
    uint64_t s = rulesEnv().nextItemSerial();
    while (s < FIRST_ITEM_SERIAL)
        s = rulesEnv().nextItemSerial();
    return s;
}
} // namespace

bl3dItemType::bl3dItemType() = default;

bl3dItemType::~bl3dItemType() {
    if (ownsAction_)
        delete useAction_;
    delete recipe_;
}

bl3dItem* bl3dItemType::newInstance() { return new bl3dItem(this, freshSerial(), charges_); }

bl3dItem* bl3dItemType::newInstance(MemStream_C& s) {
    bl3dItem* item = new bl3dItem(this, 0, 0);
    if (!item->load(s)) {
        delete item;
        return nullptr;
    }
    return item;
}

bl3dItem* bl3dItemType2::newInstance() { return new bl3dItem2(this, freshSerial()); }

bl3dItem* bl3dItemType2::newInstance(MemStream_C& s) {
    bl3dItem* item = new bl3dItem2(this, 0);
    item->setCharges(0);
    if (!item->load(s)) {
        delete item;
        return nullptr;
    }
    return item;
}

int32_t bl3dItemType::getShopCount(int32_t shopIndex) const {
    for (const ShopCount_S& c : shopCounts_)
        if (c.shop == shopIndex)
            return c.count;
    return -1;
}

void bl3dItemType::getDisplayName(RefStr_C& out) const {
    out = name_;
    if (hasCharges() && charges_ != UNLIMITED_CHARGES) {
        char buf[24];
        std::snprintf(buf, sizeof buf, " (%d)", static_cast<int>(charges_));
        out += buf;
    }
}

bool bl3dItemType::canUse(const bl3dPartyChar* who) const {
    if (!who || who->isClass(CLASS_JOINED | CLASS_SUMMONED))
        return false;
    if (!who->isClass(classMask_))
        return false;
    for (const StatPair_S& r : requirements_)
        if (who->getStatBlock()->getCur(r.stat) < r.amount)
            return false;
    return true;
}

void bl3dItemType::applyMods(bl3dStatBlock& stats, uint64_t serial) const {
    for (const StatPair_S& m : modifiers_)
        stats.addModifier(m.stat, m.amount, 0, MOD_ITEM, keyLow(serial), keyHigh(serial));
    stats.recompute();
}

void bl3dItemType::removeMods(bl3dStatBlock& stats, uint64_t serial) const {
    stats.removeModsByKey(keyLow(serial), keyHigh(serial));
}

void bl3dItemType::suspendStatMods(bl3dStatBlock& stats, int32_t stat, uint64_t serial) const {
    for (const StatPair_S& m : modifiers_)
        if (m.stat == stat)
            stats.addModifier(m.stat, -m.amount, 0, MOD_SUSPENDED, keyLow(serial), keyHigh(serial));
    stats.recompute();
}

// --- building ---------------------------------------------------------------

void bl3dItemType::setBasics(int32_t id, const char* name, const char* description, int32_t price) {
    id_ = id;
    name_ = name ? name : "";
    description_ = description ? description : "";
    price_ = price;
}

// Lists take each entry at the head, as the file reader does.
void bl3dItemType::addRequirement(int32_t stat, int32_t minimum) {
    requirements_.insert(requirements_.begin(), StatPair_S{stat, minimum});
}

void bl3dItemType::addModifier(int32_t stat, int32_t amount) {
    modifiers_.insert(modifiers_.begin(), StatPair_S{stat, amount});
}

void bl3dItemType::addEffect(int32_t kind, int32_t value, const char* text) {
    effects_.insert(effects_.begin(), ItemEffect_S{kind, value, RefStr_C(text ? text : "")});
}

void bl3dItemType::addShopCount(int32_t count, int32_t shop) {
    shopCounts_.insert(shopCounts_.begin(), ShopCount_S{count, shop});
}

void bl3dItemType::setUseAction(int32_t id) {
    if (ownsAction_)
        delete useAction_;
    useAction_ = nullptr;
    ownsAction_ = false;
    useActionId_ = id;
    if (id < 0) {
        useAction_ = new bl3dPlotEvent(id & 0xffff);
        ownsAction_ = true;
    } else if (id != 0) {
        useAction_ = masterActionList.getAction(id);
    }
}

void bl3dItemType::setRecipe(bl3dRecipe* r) {
    delete recipe_;
    recipe_ = r;
}

// --- the file form ----------------------------------------------------------

void bl3dItemType::save(MemStream_C& s) const {
    s.writeInt32(id_);
    s.writeInt32(intValue_);
    writeFloat(s, floatValue_);
    name_.write(s);
    description_.write(s);
    s.writeInt32(price_);
    s.writeInt32(flags_);
    s.writeInt32(slotMask_);
    s.writeInt32(classMask_);
    s.writeInt32(category_);
    for (int32_t v : block_)
        s.writeInt32(v);
    // The reader pushes each entry at the head: writing from the tail keeps
    // a type's lists the same through a save and a load.
    s.writeInt32(static_cast<int32_t>(requirements_.size()));
    for (auto it = requirements_.rbegin(); it != requirements_.rend(); ++it) {
        s.writeInt32(it->stat);
        s.writeInt32(it->amount);
    }
    s.writeInt32(static_cast<int32_t>(modifiers_.size()));
    for (auto it = modifiers_.rbegin(); it != modifiers_.rend(); ++it) {
        s.writeInt32(it->stat);
        s.writeInt32(it->amount);
    }
    s.writeInt32(static_cast<int32_t>(effects_.size()));
    for (auto it = effects_.rbegin(); it != effects_.rend(); ++it) {
        s.writeInt32(it->kind);
        s.writeInt32(it->value);
        it->text.write(s);
    }
    s.writeInt32(useActionId_);
    s.writeInt32(charges_);
    if (recipe_ && recipe_->entryCount() > 0) {
        s.writeInt32(recipe_->getId());
        s.writeInt32(recipe_->entryCount());
        for (int i = 0; i < recipe_->entryCount(); ++i) {
            s.writeInt32(recipe_->entry(i).count);
            recipe_->entry(i).name.write(s);
        }
    } else {
        s.writeInt32(-1);
        s.writeInt32(0);
    }
    s.writeInt32(static_cast<int32_t>(shopCounts_.size()));
    for (auto it = shopCounts_.rbegin(); it != shopCounts_.rend(); ++it) {
        s.writeInt32(it->count);
        s.writeInt32(it->shop);
    }
    saveExtra(s);
}

void bl3dItemType::saveExtra(MemStream_C&) const {}

bool bl3dItemType::loadExtra(MemStream_C&, RefStr_C&) { return true; }

bool bl3dItemType::load(MemStream_C& s, RefStr_C& why) {
    if (!s.readInt32(id_) || !s.readInt32(intValue_) || !readFloat(s, floatValue_))
        return fail(why, "record cut short");
    if (!name_.read(s) || !description_.read(s))
        return fail(why, "name or description cut short");
    if (!s.readInt32(price_) || !s.readInt32(flags_) || !s.readInt32(slotMask_) || !s.readInt32(classMask_) ||
        !s.readInt32(category_))
        return fail(why, "record cut short");
    for (int32_t& v : block_)
        if (!s.readInt32(v))
            return fail(why, "record cut short");
    int32_t n = 0;
    if (!readCount(s, n, 8))
        return fail(why, "bad requirement count");
    for (int32_t i = 0; i < n; ++i) {
        int32_t stat = 0, minimum = 0;
        if (!s.readInt32(stat) || !s.readInt32(minimum))
            return fail(why, "record cut short");
        addRequirement(stat, minimum);
    }
    if (!readCount(s, n, 8))
        return fail(why, "bad modifier count");
    for (int32_t i = 0; i < n; ++i) {
        int32_t stat = 0, amount = 0;
        if (!s.readInt32(stat) || !s.readInt32(amount))
            return fail(why, "record cut short");
        addModifier(stat, amount);
    }
    if (!readCount(s, n, 12))
        return fail(why, "bad effect count");
    for (int32_t i = 0; i < n; ++i) {
        int32_t kind = 0, value = 0;
        RefStr_C text;
        if (!s.readInt32(kind) || !s.readInt32(value) || !text.read(s))
            return fail(why, "record cut short");
        effects_.insert(effects_.begin(), ItemEffect_S{kind, value, text});
    }
    int32_t actionId = 0;
    if (!s.readInt32(actionId) || !s.readInt32(charges_))
        return fail(why, "record cut short");
    setUseAction(actionId);
    int32_t recipeId = 0;
    if (!s.readInt32(recipeId) || !readCount(s, n, 8))
        return fail(why, "bad recipe");
    if (n > 0) {
        auto* r = new bl3dRecipe;
        r->setId(recipeId);
        for (int32_t i = 0; i < n; ++i) {
            int32_t count = 0;
            RefStr_C ingredient;
            if (!s.readInt32(count) || !ingredient.read(s)) {
                delete r;
                return fail(why, "recipe cut short");
            }
            r->addIngredient(count, ingredient.c_str());
        }
        setRecipe(r);
    }
    if (!readCount(s, n, 8))
        return fail(why, "bad shop count");
    for (int32_t i = 0; i < n; ++i) {
        int32_t count = 0, shop = 0;
        if (!s.readInt32(count) || !s.readInt32(shop))
            return fail(why, "record cut short");
        // A shop index past the shop names matches no shop.
        addShopCount(count, shop);
    }
    return loadExtra(s, why);
}

// --- weapons ----------------------------------------------------------------

void bl3dWeaponType::setDamage(int32_t count, int32_t sides, int32_t bonus, bool addBonus) {
    diceCount_ = count;
    diceSides_ = sides;
    damageBonus_ = bonus;
    addBonus_ = addBonus ? 1 : 0;
}

int32_t bl3dWeaponType::rollDamage(int32_t bonus) const {
    int64_t d = 0;
    if (diceSides_ > 0)
        for (int32_t i = 0; i < diceCount_; ++i)
            d += vell::gameRandMod(diceSides_) + 1;
    d += damageBonus_;
    if (addBonus_)
        d += bonus;
    return saturate32(d);
}

char* bl3dWeaponType::damageStr() const {
    char* text = new char[20];
    int n = std::snprintf(text, 20, "%dd%d", static_cast<int>(diceCount_), static_cast<int>(diceSides_));
    if (damageBonus_ != 0 && n >= 0 && n < 20)
        std::snprintf(text + n, static_cast<size_t>(20 - n), "t%d", static_cast<int>(damageBonus_));
    return text;
}

bool bl3dWeaponType::loadExtra(MemStream_C& s, RefStr_C& why) {
    if (!s.readInt32(diceCount_) || !s.readInt32(diceSides_) || !s.readInt32(damageBonus_) || !s.readInt32(weaponA_) ||
        !s.readByte(addBonus_) || !s.readInt32(specialFlags_) || !s.readInt32(specialValue_))
        return fail(why, "weapon fields cut short");
    return true;
}

void bl3dWeaponType::saveExtra(MemStream_C& s) const {
    s.writeInt32(diceCount_);
    s.writeInt32(diceSides_);
    s.writeInt32(damageBonus_);
    s.writeInt32(weaponA_);
    s.writeByte(addBonus_);
    s.writeInt32(specialFlags_);
    s.writeInt32(specialValue_);
}

bool bl3dItemType2::loadExtra(MemStream_C& s, RefStr_C& why) {
    for (int32_t& v : values_)
        if (!s.readInt32(v))
            return fail(why, "kind-2 fields cut short");
    return true;
}

void bl3dItemType2::saveExtra(MemStream_C& s) const {
    for (int32_t v : values_)
        s.writeInt32(v);
}

bool bl3dAmmoType::loadExtra(MemStream_C& s, RefStr_C& why) {
    if (!bl3dWeaponType::loadExtra(s, why))
        return false;
    if (!s.readInt32(ammoKind_))
        return fail(why, "ammunition fields cut short");
    return true;
}

void bl3dAmmoType::saveExtra(MemStream_C& s) const {
    bl3dWeaponType::saveExtra(s);
    s.writeInt32(ammoKind_);
}

bool bl3dBowType::loadExtra(MemStream_C& s, RefStr_C& why) {
    if (!s.readInt32(range_) || !s.readInt32(ammoKind_))
        return fail(why, "launcher fields cut short");
    return true;
}

void bl3dBowType::saveExtra(MemStream_C& s) const {
    s.writeInt32(range_);
    s.writeInt32(ammoKind_);
}

bool bl3dThrownType::loadExtra(MemStream_C& s, RefStr_C& why) {
    if (!bl3dWeaponType::loadExtra(s, why))
        return false;
    if (!s.readInt32(range_) || !s.readByte(isWeapon_))
        return fail(why, "throwing weapon fields cut short");
    return true;
}

void bl3dThrownType::saveExtra(MemStream_C& s) const {
    bl3dWeaponType::saveExtra(s);
    s.writeInt32(range_);
    s.writeByte(isWeapon_);
}

bl3dItemType* makeItemType(int32_t kind) {
    switch (kind) {
    case ITEM_WEAPON:
        return new bl3dWeaponType;
    case ITEM_KIND2:
        return new bl3dItemType2;
    case ITEM_AMMO:
        return new bl3dAmmoType;
    case ITEM_BOW:
        return new bl3dBowType;
    case ITEM_THROWN:
        return new bl3dThrownType;
    default:
        return new bl3dItemType;
    }
}
