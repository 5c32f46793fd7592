// CharEffect: a timed effect on a creature, ticked on every clock advance
// until it expires, asks to be removed, or is removed by kind. Poison is the
// one kind there is.
#pragma once
#include "core/Storable.h"

#include <cstdint>

class bl3dCharacter;

enum EffectKind : int {
    EFFECT_POISON = 1,
};

class CharEffect : public Storable_C {
public:
    CharEffect() : Storable_C(RefStr_C("CharEffect")) {}
    int typeId() const override { return 0; }
    int version() const override { return 1; }
    // Acts on the creature; below 0 asks to be removed.
    virtual int tick(bl3dCharacter& who) = 0;
    // Undoes the effect's lasting mark; runs whenever it leaves the list.
    virtual void remove(bl3dCharacter& who) = 0;
    // Written before each stored effect.
    virtual int kind() const = 0;
};

class CharEffect_Poison : public CharEffect {
public:
    // The most sides and dice a poison may have; more (or fewer than 0) are
    // brought within 0..MAX_DICE when the poison is made, so that whatever
    // is stored can be read back.
    static constexpr int32_t MAX_DICE = 1000;

    CharEffect_Poison() = default;
    CharEffect_Poison(int32_t sides, int32_t count, int32_t bonus, int32_t stride, bool allowSave)
        : sides_(boundDice(sides)), count_(boundDice(count)), bonus_(bonus), stride_(stride), allowSave_(allowSave) {}

    int typeId() const override { return TYPE_POISON; }
    void write(MemStream_C& s) const override;
    bool read(int version, MemStream_C& s) override;
    int tick(bl3dCharacter& who) override;
    void remove(bl3dCharacter& who) override;
    int kind() const override { return EFFECT_POISON; }

    int32_t sides() const { return sides_; }
    int32_t count() const { return count_; }
    int32_t bonus() const { return bonus_; }
    int32_t stride() const { return stride_; }
    uint32_t nextTick() const { return nextTick_; }
    bool allowSave() const { return allowSave_; }

private:
    static int32_t boundDice(int32_t n) { return n < 0 ? 0 : n > MAX_DICE ? MAX_DICE : n; }

    int32_t sides_ = 0;
    int32_t count_ = 0;
    int32_t bonus_ = 0;
    int32_t stride_ = 0;
    uint32_t nextTick_ = 0;
    bool allowSave_ = false;
};
