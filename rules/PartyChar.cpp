#include "rules/PartyChar.h"

#include "rules/Action.h"
#include "core/MemStream.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/LevelUp.h"
#include "rules/MonsterType.h"
#include "rules/RulesEnv.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
// Stored size of an item after its type id: serial, charges, equipped.
constexpr uint32_t STORED_ITEM_SIZE = 13;
// Smallest stored effect: kind, five numbers and a byte, expiry.
constexpr uint32_t STORED_EFFECT_MIN = 4 + 21 + 4;
constexpr int MAX_SLOT_DEPTH = SLOT_COUNT;

const char* const DEATH_SOUNDS[9][2] = {
    {"HumanM_Death", "HumanF_Death"},     {"ElfM_Death", "ElfF_Death"},
    {"HalfElfM_Death", "HalfElfF_Death"}, {"DwarfM_Death", "DwarfF_Death"},
    {"GnomeM_Death", "GnomeF_Death"},     {"BegganM_Death", "BegganF_Death"},
    {"HalfOrcM_Death", "HalfOrcF_Death"}, {"SaurianM_Death", "SaurianF_Death"},
    {"SenratsM_Death", "SenratsF_Death"},
};

const char* const SLOT_LABELS[SLOT_COUNT] = {
    "Location: Head",    "Location: Body",    "Location: Shirt", "Location: Belt",  "Location: Back",
    "Location: Inst.",   "Location: Feet",    "Location: Gloves", "Location: Rt Hand", "Location: Lt Hand",
    "Location: Ammo.",   "Location: Finger",  "",                "",                "",
    "Location: Misc.",   "",                  "",                "",                "Location: Ready",
};

bool validSlot(int slot) { return slot >= 0 && slot < SLOT_COUNT; }

void writeActions(MemStream_C& s, const ActionList& list) {
    int32_t n = 0;
    for (const ActionNode_S* a = list.head(); a; a = a->next)
        ++n;
    s.writeInt32(n);
    for (const ActionNode_S* a = list.head(); a; a = a->next) {
        s.writeInt32(a->action->actionID());
        s.writeInt32(a->value);
    }
}

bool readActions(MemStream_C& s, ActionList& list) {
    int32_t n = 0;
    if (!s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining() / 8)
        return false;
    for (int32_t i = 0; i < n; ++i) {
        int32_t id = 0, value = 0;
        if (!s.readInt32(id) || !s.readInt32(value))
            return false;
        bl3dAction* a = masterActionList.getAction(id);
        if (!a)
            a = masterActionList.getSubstAction(id);
        if (a)
            list.append(a, value);
    }
    return true;
}

void writeItem(MemStream_C& s, const bl3dItem* item) {
    s.writeInt32(item->getType() ? item->getType()->getID() : 0);
    item->save(s);
}
} // namespace

const char* slotLabel(int slot) { return validSlot(slot) ? SLOT_LABELS[slot] : ""; }

bl3dPartyChar::bl3dPartyChar(const char* name)
    : bl3dCharacter(name, 0, 0, ALIGN_NONE, SEX_NONE), Storable_C(RefStr_C(name ? name : "")) {}

bl3dPartyChar::bl3dPartyChar(const char* name, int32_t classId, int32_t race, bool male, int32_t alignment,
                             bl3dCombatAI* combatAI, bl3dMonsterType* sourceType)
    : bl3dCharacter(name, 0, 0, alignment, male ? SEX_MALE : SEX_FEMALE), Storable_C(RefStr_C(name ? name : "")),
      xp_(0), level_(1), classId_(classId), race_(race), combatAI_(combatAI), sourceType_(sourceType) {}

bl3dPartyChar::~bl3dPartyChar() {
    for (bl3dItem*& item : slots_) {
        delete item;
        item = nullptr;
    }
}

int32_t bl3dPartyChar::creatureType() const { return sourceType_ ? sourceType_->getKind() : 0; }

bool bl3dPartyChar::levelUp(bool apply) { return ::levelUp(this, apply); }

const char* bl3dPartyChar::deathSound() const {
    if (race_ < RACE_HUMAN || race_ > RACE_SENRAT)
        return nullptr;
    return DEATH_SOUNDS[race_ - 1][isFemale() ? 1 : 0];
}

// --- equipment --------------------------------------------------------------

bl3dItem* bl3dPartyChar::getSlotItem(int slot) const { return validSlot(slot) ? slots_[slot] : nullptr; }

bool bl3dPartyChar::isSlotUsable(int slot) const { return validSlot(slot) && (usable_ & (1 << slot)) != 0; }

bool bl3dPartyChar::sameTypeCounts(const bl3dItem* item, int exceptSlot) const {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const bl3dItem* other = slots_[i];
        if (i != exceptSlot && other && other != item && isSlotUsable(i) && other->isEquipped() &&
            other->getType() == item->getType())
            return true;
    }
    return false;
}

void bl3dPartyChar::equipFirstIdle(const bl3dItem* like) {
    for (int i = 0; i < SLOT_COUNT; ++i) {
        bl3dItem* other = slots_[i];
        if (other && isSlotUsable(i) && !other->isEquipped() && other->getType() == like->getType()) {
            other->equip(*this);
            return;
        }
    }
}

bool bl3dPartyChar::putInSlot(int slot, bl3dItem* item) {
    if (!validSlot(slot) || !item || slots_[slot])
        return false;
    slots_[slot] = item;
    ++filled_;
    if (!isSlotUsable(slot) || sameTypeCounts(item, slot))
        return true;
    item->equip(*this);
    if (slot == SLOT_BODY || slot == SLOT_SHIRT) {
        const int other = slot == SLOT_BODY ? SLOT_SHIRT : SLOT_BODY;
        if (slots_[other] && slots_[other]->isEquipped()) {
            bl3dItem* shirt = slots_[SLOT_SHIRT];
            if (shirt->getType())
                shirt->getType()->suspendStatMods(stats_, STAT_ST, shirt->getSerial());
        }
    }
    return true;
}

bl3dItem* bl3dPartyChar::takeFromSlot(int slot) {
    if (!validSlot(slot) || !slots_[slot])
        return nullptr;
    bl3dItem* item = slots_[slot];
    slots_[slot] = nullptr;
    --filled_;
    if (item->isEquipped()) {
        item->unequip(*this);
        equipFirstIdle(item);
    }
    if (slot == SLOT_RT_HAND && slots_[SLOT_READY]) {
        bl3dItem* ready = slots_[SLOT_READY];
        slots_[SLOT_READY] = nullptr;
        slots_[SLOT_RT_HAND] = ready;
        if (!ready->isEquipped() && isSlotUsable(SLOT_RT_HAND) && !sameTypeCounts(ready, SLOT_RT_HAND))
            ready->equip(*this);
    }
    if (slot == SLOT_BODY && slots_[SLOT_SHIRT] && slots_[SLOT_SHIRT]->isEquipped()) {
        bl3dItem* shirt = slots_[SLOT_SHIRT];
        if (shirt->getType()) {
            shirt->getType()->removeMods(stats_, shirt->getSerial());
            shirt->getType()->applyMods(stats_, shirt->getSerial());
        }
    }
    return item;
}

void bl3dPartyChar::readyItem(int slot) {
    if (slot != SLOT_READY || !slots_[SLOT_READY])
        return;
    bl3dItem* ready = slots_[SLOT_READY];
    bl3dItem* weapon = slots_[SLOT_RT_HAND];
    if (weapon && weapon->isEquipped())
        weapon->unequip(*this);
    slots_[SLOT_RT_HAND] = ready;
    slots_[SLOT_READY] = weapon;
    if (!ready->isEquipped() && isSlotUsable(SLOT_RT_HAND) && !sameTypeCounts(ready, SLOT_RT_HAND))
        ready->equip(*this);
}

void bl3dPartyChar::enableSlots(int32_t mask, const bl3dItem* except) {
    const bool cascade = slotDepth_ < MAX_SLOT_DEPTH;
    ++slotDepth_;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const int32_t bit = 1 << i;
        if (!(mask & bit) || (usable_ & bit))
            continue;
        usable_ |= bit;
        bl3dItem* item = slots_[i];
        if (cascade && item && item != except && !item->isEquipped() && !sameTypeCounts(item, i))
            item->equip(*this);
    }
    --slotDepth_;
}

void bl3dPartyChar::disableSlots(int32_t mask, const bl3dItem* except) {
    const bool cascade = slotDepth_ < MAX_SLOT_DEPTH;
    ++slotDepth_;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const int32_t bit = 1 << i;
        if (!(mask & bit) || !(usable_ & bit))
            continue;
        usable_ &= ~bit;
        bl3dItem* item = slots_[i];
        if (cascade && item && item != except && item->isEquipped())
            item->unequip(*this);
    }
    --slotDepth_;
}

// --- stored form ------------------------------------------------------------

void bl3dPartyChar::write(MemStream_C& s) const {
    s.writeInt32(gold_);
    s.writeInt32(xp_);
    s.writeInt32(level_);
    s.writeInt32(classId_);
    s.writeInt32(race_);
    s.writeByte(sex_ == SEX_MALE ? 1 : 0);
    s.writeInt32(maxHP_);
    s.writeInt32(curHP_);
    s.writeInt32(maxSP_);
    s.writeInt32(curSP_);
    // Only the name itself, zero-filled: the bytes behind its end may hold
    // an older, longer name.
    char name[NAME_SIZE] = {};
    std::memcpy(name, bl3dCharacter::name_, strnlen(bl3dCharacter::name_, NAME_SIZE - 1));
    s.write(name, NAME_SIZE);
    stats_.save(s);
    RefStr_C(sourceType_ ? sourceType_->getName(false) : "NONE").write(s);
    writeActions(s, actions_);
    writeActions(s, actions2_);
    s.writeInt32(usable_);
    for (const bl3dItem* item : slots_) {
        if (item)
            writeItem(s, item);
        else
            s.writeInt32(0);
    }
    s.writeInt32(pack_.count());
    for (int i = 0; i < pack_.count(); ++i)
        writeItem(s, static_cast<const bl3dItem*>(pack_.at(i)));
    attributes_.write(s);
    s.writeInt32(static_cast<int32_t>(effects_.size()));
    for (const EffectNode_S& e : effects_) {
        s.writeInt32(e.effect->kind());
        e.effect->write(s);
        s.writeUInt32(e.expiry);
    }
}

bool bl3dPartyChar::readItem(MemStream_C& s, int32_t typeId, bl3dItem*& item) {
    item = nullptr;
    bl3dItemType* type = masterITL.findById(typeId);
    if (!type) {
        // Every stored item has the same size, so an item of a type the
        // item file no longer has can be passed over.
        if (s.remaining() < STORED_ITEM_SIZE)
            return false;
        MemStream_C one;
        one.write(s.current(), STORED_ITEM_SIZE);
        s.skip(STORED_ITEM_SIZE);
        bl3dItem lost(nullptr, 0, 0);
        lost.load(one);
        std::fprintf(stderr, "WARNING: %s carries an item of unknown type %d; it is dropped\n", getName(),
                     static_cast<int>(typeId));
        if (lost.isEquipped() && lost.getSerial() >= FIRST_ITEM_SERIAL)
            stats_.removeItemModsByKey(static_cast<int32_t>(static_cast<uint32_t>(lost.getSerial())),
                                       static_cast<int32_t>(static_cast<uint32_t>(lost.getSerial() >> 32)));
        return true;
    }
    item = type->newInstance(s);
    if (!item)
        return false;
    if (item->getSerial() < FIRST_ITEM_SERIAL) {
        // Such a serial would share its key with the race, creation or class
        // modifiers: the item takes a fresh one and its modifiers follow.
        const uint64_t old = item->getSerial();
        uint64_t fresh = rulesEnv().nextItemSerial();
        while (fresh < FIRST_ITEM_SERIAL)
            fresh = rulesEnv().nextItemSerial();
        item->setSerial(fresh);
        // Only the modifiers that are this item's own follow it (the class's
        // may share the old key): one for each of its type's modifiers, and
        // the counter-modifier a shirt may carry.
        const int32_t k1 = static_cast<int32_t>(static_cast<uint32_t>(fresh));
        const int32_t k2 = static_cast<int32_t>(static_cast<uint32_t>(fresh >> 32));
        const int32_t o1 = static_cast<int32_t>(old);
        for (const StatPair_S& m : type->getStatMods()) {
            stats_.rekeyItemMod(m.stat, m.amount, o1, 0, k1, k2);
            if (m.stat == STAT_ST)
                stats_.rekeyItemMod(m.stat, -m.amount, o1, 0, k1, k2);
        }
    }
    return true;
}

bool bl3dPartyChar::read(int version, MemStream_C& s) {
    uint8_t male = 0;
    if (!s.readInt32(gold_) || !s.readInt32(xp_) || !s.readInt32(level_) || !s.readInt32(classId_) ||
        !s.readInt32(race_) || !s.readByte(male) || !s.readInt32(maxHP_) || !s.readInt32(curHP_) ||
        !s.readInt32(maxSP_) || !s.readInt32(curSP_) || !s.read(bl3dCharacter::name_, NAME_SIZE))
        return false;
    bl3dCharacter::name_[NAME_SIZE - 1] = 0;
    sex_ = male ? SEX_MALE : SEX_FEMALE;
    if (!stats_.load(s))
        return false;
    RefStr_C source;
    if (!source.read(s))
        return false;
    sourceType_ = nullptr;
    combatAI_ = nullptr;
    if (source != "NONE") {
        sourceType_ = masterMTL.findByName(source.c_str());
        if (sourceType_)
            combatAI_ = sourceType_->getCombatAI();
    }
    // Alignment is not stored and a monster's sex may be none: both come
    // back from what the character is.
    if (sourceType_) {
        alignment_ = sourceType_->getAlignment();
        sex_ = sourceType_->getSex();
    } else {
        alignment_ = (race_ == RACE_MONSTER) ? ALIGN_NONE : ALIGN_GOOD;
    }
    if (!readActions(s, actions_) || !readActions(s, actions2_))
        return false;
    int32_t usable = 0;
    if (!s.readInt32(usable) || (usable & ~ALL_SLOTS_MASK))
        return false;
    usable_ = usable;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        int32_t typeId = 0;
        if (!s.readInt32(typeId))
            return false;
        if (typeId == 0)
            continue;
        bl3dItem* item = nullptr;
        if (!readItem(s, typeId, item))
            return false;
        if (item) {
            slots_[i] = item;
            ++filled_;
        }
    }
    int32_t n = 0;
    if (!s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining() / (4 + STORED_ITEM_SIZE))
        return false;
    // Stored from the head: pushed on the front in reverse, so that the
    // pack comes back in the order it was saved in.
    std::vector<std::unique_ptr<bl3dItem>> packed;
    for (int32_t i = 0; i < n; ++i) {
        int32_t typeId = 0;
        bl3dItem* item = nullptr;
        if (!s.readInt32(typeId) || !readItem(s, typeId, item))
            return false;
        if (item)
            packed.emplace_back(item);
    }
    for (size_t i = packed.size(); i-- > 0;)
        pack_.pushFront(packed[i].release());
    if (!attributes_.read(version, s))
        return false;
    if (!s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining() / STORED_EFFECT_MIN)
        return false;
    for (int32_t i = 0; i < n; ++i) {
        int32_t kind = 0;
        if (!s.readInt32(kind) || kind != EFFECT_POISON)
            return false; // an effect of unknown kind has no length to skip
        auto effect = std::make_unique<CharEffect_Poison>();
        uint32_t expiry = 0;
        if (!effect->read(version, s) || !s.readUInt32(expiry))
            return false;
        addEffect(effect.release(), expiry);
    }
    return true;
}

std::unique_ptr<Storable_C> bl3dPartyChar::create(const RefStr_C& name, int version, MemStream_C& s) {
    auto pc = std::make_unique<bl3dPartyChar>(name.c_str());
    if (!pc->read(version, s)) {
        std::fprintf(stderr, "ERROR: stored character %s is damaged\n", name.c_str());
        return nullptr;
    }
    return pc;
}
