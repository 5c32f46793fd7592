#include "rules/StatBlock.h"

#include "core/MemStream.h"
#include "platform/Random.h"
#include "rules/RulesEnv.h"

#include <algorithm>

bl3dStatBlock creationStats;

namespace {
constexpr uint32_t STORED_MOD_SIZE = 24;

int32_t penalised(int32_t v, int32_t by) {
    return static_cast<int32_t>(std::max<int64_t>(1, static_cast<int64_t>(v) - by));
}
} // namespace

// --- StatModList ------------------------------------------------------------

void StatModList::dropExpired(uint32_t now) {
    mods_.remove_if([now](const StatMod_S& m) { return m.isExpired(now); });
}

void StatModList::removeType(int32_t type) {
    mods_.remove_if([type](const StatMod_S& m) { return m.type == type; });
}

void StatModList::removeByKey(int32_t key1, int32_t key2) {
    mods_.remove_if([key1, key2](const StatMod_S& m) { return m.key1 == key1 && m.key2 == key2; });
}

void StatModList::removeItemByKey(int32_t key1, int32_t key2) {
    mods_.remove_if([key1, key2](const StatMod_S& m) {
        return m.key1 == key1 && m.key2 == key2 && (m.type == MOD_ITEM || m.type == MOD_SUSPENDED);
    });
}

bool StatModList::rekeyItem(int32_t value, int32_t oldKey1, int32_t oldKey2, int32_t newKey1, int32_t newKey2) {
    for (StatMod_S& m : mods_) {
        if (m.value == value && m.key1 == oldKey1 && m.key2 == oldKey2 &&
            (m.type == MOD_ITEM || m.type == MOD_SUSPENDED)) {
            m.key1 = newKey1;
            m.key2 = newKey2;
            return true;
        }
    }
    return false;
}

void StatModList::removeValue(int32_t value) {
    mods_.remove_if([value](const StatMod_S& m) { return m.value == value; });
}

int32_t StatModList::total(bool orMode) const {
    int64_t t = 0;
    for (const StatMod_S& m : mods_) {
        if (m.type == MOD_SUSPENDED)
            continue;
        if (orMode)
            t |= static_cast<uint32_t>(m.value);
        else
            t += m.value;
    }
    return orMode ? static_cast<int32_t>(static_cast<uint32_t>(t)) : saturate32(t);
}

void StatModList::suspendItems() {
    for (StatMod_S& m : mods_)
        if (m.type == MOD_ITEM)
            m.type = MOD_SUSPENDED;
}

void StatModList::resumeItems() {
    for (StatMod_S& m : mods_)
        if (m.type == MOD_SUSPENDED)
            m.type = MOD_ITEM;
}

int StatModList::count() const { return static_cast<int>(std::distance(mods_.begin(), mods_.end())); }

void StatModList::write(MemStream_C& s) const {
    s.writeInt32(count());
    for (const StatMod_S& m : mods_) {
        s.writeInt32(m.value);
        s.writeUInt32(m.timeAdded);
        s.writeUInt32(m.duration);
        s.writeInt32(m.type);
        s.writeInt32(m.key1);
        s.writeInt32(m.key2);
    }
}

bool StatModList::read(MemStream_C& s) {
    int32_t n = 0;
    if (!s.readInt32(n) || n < 0 || static_cast<uint32_t>(n) > s.remaining() / STORED_MOD_SIZE)
        return false;
    for (int32_t i = 0; i < n; ++i) {
        StatMod_S m;
        if (!s.readInt32(m.value) || !s.readUInt32(m.timeAdded) || !s.readUInt32(m.duration) ||
            !s.readInt32(m.type) || !s.readInt32(m.key1) || !s.readInt32(m.key2))
            return false;
        // Each node goes to the head as it is read.
        mods_.push_front(m);
    }
    return true;
}

// --- bl3dStatBlock ----------------------------------------------------------

bl3dStatBlock::bl3dStatBlock() {
    std::fill(base_, base_ + STAT_COUNT, 0);
    std::fill(current_, current_ + STAT_COUNT, 0);
}

int32_t bl3dStatBlock::getCur(int index) const {
    if (!validStat(index))
        return 0;
    if (index == STAT_AC)
        return std::max(current_[index], AC_FLOOR);
    return current_[index];
}

int32_t bl3dStatBlock::getBase(int index) const { return validStat(index) ? base_[index] : 0; }

void bl3dStatBlock::combine(int index) {
    if (index == STAT_CONDITIONS)
        current_[index] = base_[index] | mods_[index].total(true);
    else
        current_[index] = saturate32(static_cast<int64_t>(base_[index]) + mods_[index].total(false));
}

int bl3dStatBlock::setBase(int index, int32_t value) {
    if (!validStat(index))
        return -1;
    base_[index] = value;
    combine(index);
    return index;
}

int bl3dStatBlock::addModifier(int index, int32_t value, uint32_t duration, int32_t type, int32_t key1,
                               int32_t key2) {
    if (!validStat(index))
        return -1;
    StatMod_S m;
    m.value = value;
    m.timeAdded = rulesEnv().currentTick();
    m.duration = duration;
    m.type = type;
    m.key1 = key1;
    m.key2 = key2;
    mods_[index].add(m);
    return 0;
}

void bl3dStatBlock::removeModsByKey(int32_t key1, int32_t key2) {
    for (StatModList& l : mods_)
        l.removeByKey(key1, key2);
    recompute();
}

void bl3dStatBlock::removeItemModsByKey(int32_t key1, int32_t key2) {
    for (StatModList& l : mods_)
        l.removeItemByKey(key1, key2);
}

bool bl3dStatBlock::rekeyItemMod(int index, int32_t value, int32_t oldKey1, int32_t oldKey2, int32_t newKey1,
                                 int32_t newKey2) {
    return validStat(index) && mods_[index].rekeyItem(value, oldKey1, oldKey2, newKey1, newKey2);
}

void bl3dStatBlock::changeMods(int mode) {
    for (StatModList& l : mods_) {
        switch (mode) {
        case 0:
            l.suspendItems();
            l.removeType(MOD_SONG);
            break;
        case 1:
            l.removeType(MOD_SONG);
            break;
        case 2:
            l.removeType(MOD_TYPE2);
            break;
        case 3:
            l.resumeItems();
            break;
        default:
            return;
        }
    }
}

void bl3dStatBlock::recompute() {
    const uint32_t now = rulesEnv().currentTick();
    for (int i = 0; i < STAT_COUNT; ++i) {
        mods_[i].dropExpired(now);
        combine(i);
    }
    if (current_[STAT_AC] < AC_FLOOR)
        current_[STAT_AC] = AC_FLOOR;
    const int32_t cond = current_[STAT_CONDITIONS];
    if (cond & (COND_AGED | COND_WITHERED)) {
        for (int i = STAT_ST; i <= STAT_LK; ++i)
            current_[i] = 1;
        current_[STAT_ATTACK] = 0;
        current_[STAT_DAMAGE] = 0;
        current_[STAT_EXTRA_ATTACKS] = 1;
    }
    if (cond & COND_SLEEPING)
        current_[STAT_DX] = 1;
    if (cond & COND_POISONED) {
        current_[STAT_ST] = penalised(current_[STAT_ST], 6);
        current_[STAT_DX] = penalised(current_[STAT_DX], 6);
        current_[STAT_CN] = penalised(current_[STAT_CN], 8);
        current_[STAT_ATTACK] = 0;
        current_[STAT_DAMAGE] = 0;
    }
}

void bl3dStatBlock::cure(int32_t bit) {
    mods_[STAT_CONDITIONS].removeValue(bit);
    recompute();
}

void bl3dStatBlock::clear() {
    std::fill(base_, base_ + STAT_COUNT, 0);
    std::fill(current_, current_ + STAT_COUNT, 0);
    for (StatModList& l : mods_)
        l.clear();
}

void bl3dStatBlock::copyValues(const bl3dStatBlock& other) {
    std::copy(other.base_, other.base_ + STAT_COUNT, base_);
    std::copy(other.current_, other.current_ + STAT_COUNT, current_);
    for (StatModList& l : mods_)
        l.clear();
}

void bl3dStatBlock::rollCreation(float raceFactor) {
    for (int i = STAT_ST; i <= STAT_CH; ++i) {
        const int a = vell::gameRandMod(6);
        const int b = vell::gameRandMod(6);
        setBase(i, 8 + a + b);
    }
    deriveCreation(raceFactor);
}

void bl3dStatBlock::deriveCreation(float raceFactor) {
    recompute();
    setBase(STAT_AC, 10);
    const float co = (getCur(STAT_IQ) + getCur(STAT_WI) + getCur(STAT_CN) + getCur(STAT_CH) + raceFactor) / 5.0f + 0.5f;
    setBase(STAT_CO, static_cast<int32_t>(co));
    setBase(STAT_LK, (getCur(STAT_WI) + getCur(STAT_DX) + getCur(STAT_CN) + getCur(STAT_CO)) / 4);
    setBase(STAT_ATTACK, 0);
    setBase(STAT_DAMAGE, 0);
    setBase(STAT_EXTRA_ATTACKS, 1);
    for (int i : {STAT_CONDITIONS, STAT_FIRE_DMG, STAT_EARTH_DMG, STAT_AIR_DMG, STAT_WATER_DMG, STAT_UNUSED})
        setBase(i, 0);
    for (int i : {STAT_FIRE_HIT, STAT_EARTH_HIT, STAT_AIR_HIT, STAT_WATER_HIT})
        setBase(i, 10);
    removeModsByKey(KEY_CREATION, 0);
    recompute();
    const int32_t dx = getCur(STAT_DX);
    if (dx >= 15)
        addModifier(STAT_AC, 14 - dx, 0, MOD_ITEM, KEY_CREATION, 0);
    recompute();
}

void bl3dStatBlock::save(MemStream_C& s) const {
    for (int32_t v : base_)
        s.writeInt32(v);
    for (const StatModList& l : mods_)
        l.write(s);
}

bool bl3dStatBlock::load(MemStream_C& s) {
    clear();
    int32_t base[STAT_COUNT];
    for (int32_t& v : base)
        if (!s.readInt32(v))
            return false;
    std::copy(base, base + STAT_COUNT, base_);
    for (StatModList& l : mods_) {
        if (!l.read(s)) {
            clear();
            return false;
        }
    }
    for (int i = 0; i < STAT_COUNT; ++i)
        combine(i);
    return true;
}
