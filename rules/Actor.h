// bl3dActor: who pays for an action. A creature pays with spell points; an
// item actor acts through the item in one of a party member's slots and pays
// with its charges.
#pragma once
#include <cstddef>
#include <cstdint>

class bl3dCharacter;

// A condition that stops a creature from doing something, with the message
// that says so (a printf format of name, verb and subject pronoun).
struct ConditionBlock_S {
    int32_t bit;
    const char* format;
};

// The message format of the first entry of the table whose bit is among the
// conditions; null when none is.
const char* blockingCondition(const ConditionBlock_S* table, size_t count, int32_t conditions);

class bl3dActor {
public:
    explicit bl3dActor(bl3dCharacter* who) : who_(who) {}
    virtual ~bl3dActor() = default;

    // False with a message in out (at most outSize bytes) when the creature
    // is dead or one of the condition bits of mask stops it.
    virtual bool canAct(int32_t mask, const char* verb, char* out, int outSize);
    virtual bool hasPoints(int32_t n);
    virtual int32_t addPoints(int32_t n);
    virtual bool isCreature() const { return true; }
    virtual bool isItem() const { return false; }

    bl3dCharacter* getCreature() const { return who_; }

protected:
    bl3dCharacter* who_;
};

class bl3dItemActor : public bl3dActor {
public:
    bl3dItemActor(bl3dCharacter* who, int slot) : bl3dActor(who), slot_(slot) {}

    bool canAct(int32_t mask, const char* verb, char* out, int outSize) override;
    bool hasPoints(int32_t n) override;
    int32_t addPoints(int32_t n) override;
    bool isCreature() const override { return false; }
    bool isItem() const override { return true; }
    int getSlot() const { return slot_; }

private:
    int slot_;
};
