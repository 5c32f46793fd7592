#include "rules/Character.h"

#include "core/GameConfig.h"
#include "rules/ItemCreate.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {
// Creatures are numbered from 1; 0 stands for no creature.
uint64_t nextUniqueId() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

const char* const PRONOUNS[3][3] = {
    {"it", "it", "its"},
    {"she", "her", "her"},
    {"he", "him", "his"},
};
} // namespace

bl3dCharacter::bl3dCharacter(const char* name, int32_t hp, int32_t sp, int32_t alignment, int32_t sex)
    : maxHP_(hp), curHP_(hp), maxSP_(sp), curSP_(sp), alignment_(alignment), sex_(sex),
      attributes_(RefStr_C(name ? name : "")), uniqueId_(nextUniqueId()) {
    std::memset(name_, 0, sizeof name_);
}

bl3dCharacter::~bl3dCharacter() = default;

const char* bl3dCharacter::pronoun(int form) const {
    const int s = (sex_ == SEX_FEMALE || sex_ == SEX_MALE) ? sex_ : 0;
    const int f = (form >= 0 && form <= 2) ? form : 0;
    return PRONOUNS[s][f];
}

void bl3dCharacter::setName(const char* text) {
    // Zero-filled so that a stored character is the same bytes every time.
    std::memset(name_, 0, sizeof name_);
    if (text)
        std::strncpy(name_, text, sizeof name_ - 1);
}

const char* bl3dCharacter::displayName(bool) const { return getName(); }

bool bl3dCharacter::usesPartyGold() const {
    // This very character, not another of its name (one being made, or a
    // copy read from the hall).
    return gameConfig.partyGold && isPartyMember() && party && party->findMember(getName()) == this;
}

int32_t bl3dCharacter::getGold() const { return usesPartyGold() ? party->totalGold() : gold_; }

bool bl3dCharacter::addGold(int32_t n) {
    if (!usesPartyGold()) {
        rawAddGold(n);
        return true;
    }
    // A negative amount comes out of the pool as a spend takes it; false and
    // nothing taken when the pool holds less.
    if (n < 0)
        return n != INT32_MIN && party->spendGold(-n);
    party->splitGold(n);
    return true;
}

bool bl3dCharacter::spendGold(int32_t n) { return usesPartyGold() ? party->spendGold(n) : rawSpendGold(n); }

bool bl3dCharacter::rawSpendGold(int32_t n) {
    // A negative price would hand gold out instead of taking it.
    if (n < 0 || gold_ < n)
        return false;
    gold_ -= n;
    return true;
}

int32_t bl3dCharacter::addSP(int32_t n) {
    curSP_ = std::min(saturate32(static_cast<int64_t>(curSP_) + n), maxSP_);
    return curSP_;
}

int32_t bl3dCharacter::changeHP(int32_t delta) {
    curHP_ = std::min(saturate32(static_cast<int64_t>(curHP_) + delta), maxHP_);
    if (delta < 0 && curHP_ < 1 && isPartyMember())
        if (const char* cry = deathSound())
            rulesEnv().playSound(cry);
    return curHP_;
}

int32_t bl3dCharacter::getCreateAbility(const char* key, int32_t mask) {
    if (!key)
        return 0;
    TagNode_S* n = attributes_.find(key);
    if (!n)
        return 0;
    const uint32_t v = static_cast<uint32_t>(n->value.getInt());
    if (mask == 0)
        return static_cast<int32_t>(v);
    uint32_t m = static_cast<uint32_t>(mask);
    uint32_t r = v & m;
    while (!(m & 1u)) {
        m >>= 1;
        r >>= 1;
    }
    return static_cast<int32_t>(r);
}

int32_t bl3dCharacter::getCreateAbility(const ItemCreate_S* kind) {
    return kind ? getCreateAbility(kind->getKey(), kind->getMask()) : 0;
}

// --- effects ----------------------------------------------------------------

void bl3dCharacter::addEffect(CharEffect* effect, uint32_t expiry) {
    if (!effect)
        return;
    effects_.push_front(EffectNode_S{std::unique_ptr<CharEffect>(effect), expiry});
}

int bl3dCharacter::removeEffects(int kind) {
    int n = 0;
    for (auto it = effects_.begin(); it != effects_.end();) {
        if (it->effect->kind() == kind) {
            std::unique_ptr<CharEffect> e = std::move(it->effect);
            it = effects_.erase(it);
            e->remove(*this);
            ++n;
        } else {
            ++it;
        }
    }
    return n;
}

int bl3dCharacter::countEffects(int kind) const {
    return static_cast<int>(std::count_if(effects_.begin(), effects_.end(),
                                          [kind](const EffectNode_S& n) { return n.effect->kind() == kind; }));
}

void bl3dCharacter::effectTick() {
    const uint32_t now = rulesEnv().currentTick();
    for (auto it = effects_.begin(); it != effects_.end();) {
        // An expired effect goes without a last tick.
        if (now >= it->expiry || it->effect->tick(*this) < 0) {
            std::unique_ptr<CharEffect> e = std::move(it->effect);
            it = effects_.erase(it);
            e->remove(*this);
        } else {
            ++it;
        }
    }
}

void bl3dCharacter::poison(uint32_t duration, int32_t sides, int32_t count, int32_t bonus, int32_t stride,
                           bool allowSave) {
    addEffect(new CharEffect_Poison(sides, count, bonus, stride, allowSave), rulesEnv().currentTick() + duration);
    addBaseConditions(COND_POISONED);
}
