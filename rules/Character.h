// bl3dCharacter: the creature, everything that fights, casts, is poisoned or
// carries gold. Party members (bl3dPartyChar) and combat monsters
// (bl3dMonster) derive from it; kind tests are virtual operations.
#pragma once
#include "rules/ActionList.h"
#include "core/TagList.h"
#include "rules/CharEffect.h"
#include "rules/StatBlock.h"

#include <cstdint>
#include <list>
#include <memory>

struct ItemCreate_S;

enum Alignment : int32_t { ALIGN_NONE = 0, ALIGN_GOOD = 1, ALIGN_EVIL = 2 };
enum Sex : int32_t { SEX_NONE = 0, SEX_FEMALE = 1, SEX_MALE = 2 };

constexpr int NAME_SIZE = 128;

class bl3dCharacter {
public:
    bl3dCharacter(const char* name, int32_t hp, int32_t sp, int32_t alignment, int32_t sex);
    virtual ~bl3dCharacter();
    bl3dCharacter(const bl3dCharacter&) = delete;
    bl3dCharacter& operator=(const bl3dCharacter&) = delete;

    // A number no other creature of this run of the game ever has, not even
    // one made later at the same address: what a delayed event that names a
    // creature holds instead of its pointer. Never stored.
    uint64_t uniqueId() const { return uniqueId_; }

    virtual bool isEvil() const { return alignment_ == ALIGN_EVIL; }
    virtual bool isGood() const { return alignment_ == ALIGN_GOOD; }
    virtual bool hasAlignment() const { return alignment_ != ALIGN_NONE; }
    virtual bool isMale() const { return sex_ == SEX_MALE; }
    virtual bool isFemale() const { return sex_ == SEX_FEMALE; }
    virtual bool isSexless() const { return sex_ == SEX_NONE; }
    // 0 subject, 1 object, 2 possessive.
    virtual const char* pronoun(int form) const;
    virtual ActionList* actions() { return &actions_; }
    virtual ActionList* actions2() { return &actions2_; }
    virtual void setName(const char* text);
    virtual char* nameBuffer() { return name_; }
    virtual const char* displayName(bool plural) const;
    virtual const char* getName() const = 0;
    virtual const char* article(bool capital) const = 0;
    // Pooled across the party when the party-gold setting is on and the
    // creature is one of the party's members; else the creature's own.
    virtual int32_t getGold() const;
    virtual bool addGold(int32_t n);
    virtual bool spendGold(int32_t n);
    virtual int32_t rawGold() const { return gold_; }
    virtual void rawAddGold(int32_t n) { gold_ = saturate32(static_cast<int64_t>(gold_) + n); }
    virtual bool rawSpendGold(int32_t n);
    virtual int32_t getLevel() const { return 0; }
    virtual bool isPartyMember() const { return false; }
    virtual bool isPC() const { return false; }
    virtual bool isJoinedMonster() const { return false; }
    virtual bool isMonster() const { return false; }
    virtual int32_t creatureType() const { return 0; }
    // Effects (owned once added).
    virtual void addEffect(CharEffect* effect, uint32_t expiry);
    virtual int removeEffects(int kind);
    virtual int countEffects(int kind) const;
    virtual void effectTick();
    virtual void poison(uint32_t duration, int32_t sides, int32_t count, int32_t bonus, int32_t stride,
                        bool allowSave);

    int32_t getCurHP() const { return curHP_; }
    int32_t getMaxHP() const { return maxHP_; }
    void setMaxHP(int32_t n) { maxHP_ = n; }
    void setCurHP(int32_t n) { curHP_ = n; }
    int32_t getCurSP() const { return curSP_; }
    int32_t getMaxSP() const { return maxSP_; }
    void setMaxSP(int32_t n) { maxSP_ = n; }
    void setCurSP(int32_t n) { curSP_ = n; }
    bl3dStatBlock* getStatBlock() { return &stats_; }
    const bl3dStatBlock* getStatBlock() const { return &stats_; }
    TagList_C* getTagList() { return &attributes_; }
    const TagList_C* getTagList() const { return &attributes_; }
    int32_t getGender() const { return sex_; }
    void setGender(int32_t sex) { sex_ = sex; }
    int32_t getAlignment() const { return alignment_; }
    void setAlignment(int32_t a) { alignment_ = a; }
    int32_t getConditions() const { return stats_.getCur(STAT_CONDITIONS); }
    void setConditions(int32_t bits) { stats_.setBase(STAT_CONDITIONS, bits); }
    // Sets or clears bits of the creature's own conditions (the base value),
    // leaving those that timed modifiers lay on it to their modifiers.
    void addBaseConditions(int32_t bits) { stats_.setBase(STAT_CONDITIONS, stats_.getBase(STAT_CONDITIONS) | bits); }
    void clearBaseConditions(int32_t bits) {
        stats_.setBase(STAT_CONDITIONS, stats_.getBase(STAT_CONDITIONS) & ~bits);
    }
    bool isStunned() const { return hasCondition(COND_STUNNED); }
    bool isPoisoned() const { return hasCondition(COND_POISONED); }
    bool isAged() const { return hasCondition(COND_AGED); }
    bool isSleeping() const { return hasCondition(COND_SLEEPING); }
    bool isBlind() const { return hasCondition(COND_BLIND); }
    bool isPlayingSong() const { return hasCondition(COND_SONG); }
    bool isHidden() const { return hasCondition(COND_HIDDEN); }
    bool isWithered() const { return hasCondition(COND_WITHERED); }
    bool isStone() const { return hasCondition(COND_STONE); }
    bool isDead() const { return curHP_ < 1; }

    // curSP += n, no higher than maxSP; no lower bound. Returns the new SP.
    int32_t addSP(int32_t n);
    // curHP += delta, no higher than maxHP; a party member that a loss
    // leaves below 1 cries out. Returns the new HP.
    int32_t changeHP(int32_t delta);
    // The skill bits of an item-creation kind: the attribute named key,
    // masked and shifted down; 0 when absent.
    int32_t getCreateAbility(const char* key, int32_t mask);
    int32_t getCreateAbility(const ItemCreate_S* kind);

    // Effects from the head, for storing.
    struct EffectNode_S {
        std::unique_ptr<CharEffect> effect;
        uint32_t expiry;
    };
    const std::list<EffectNode_S>& effects() const { return effects_; }

protected:
    // The death cry of this creature; null for none.
    virtual const char* deathSound() const { return nullptr; }
    bool hasCondition(int32_t bit) const { return (getConditions() & bit) != 0; }
    // Whether the party's pooled gold stands for this creature's.
    bool usesPartyGold() const;

    std::list<EffectNode_S> effects_;
    bl3dStatBlock stats_;
    int32_t maxHP_;
    int32_t curHP_;
    int32_t maxSP_;
    int32_t curSP_;
    int32_t gold_ = 0;
    int32_t alignment_;
    int32_t sex_;
    ActionList actions_;
    ActionList actions2_;
    char name_[NAME_SIZE];
    TagList_C attributes_;

private:
    uint64_t uniqueId_;
};
