// bl3dAction: everything a creature can do on its turn or from a menu. One
// object of each action lives in the master action list for the whole run;
// a single use of it is an ActionUse_S record that enqueue/makeEntry build,
// perform carries out and freeEntry releases.
#pragma once
#include "core/RefStr.h"

#include <cstdint>

class bl3dActor;
class bl3dCharacter;
class MemStream_C;

// Flag bits of an action id (bits 16..23 are part of the id).
enum ActionIdBits : uint32_t {
    ACTION_NUMBER_MASK = 0x0000ffffu,
    ACTION_COMBAT_ONLY = 0x00020000u,
    ACTION_BARD_SONG = 0x00400000u,
    ACTION_NOT_IN_COMBAT = 0x00800000u,
    ACTION_PLOT_EVENT = 0x80000000u,
    // What a stored id and the current action must share to be the same.
    ACTION_SUBST_MASK = 0x0021ffffu,
};

// Target kind bits.
enum TargetKind : uint8_t {
    TARGET_NONE = 0x00,
    TARGET_ONE_ENEMY = 0x01,
    TARGET_ENEMY_GROUP = 0x02,
    TARGET_ALL_ENEMIES = 0x04,
    TARGET_ONE_MEMBER = 0x08,
    TARGET_OWN_SIDE = 0x10,
    TARGET_EVIL_FOES = 0x20,
};

// Class mask of actions open to every player class.
constexpr int32_t ALL_CLASSES = 0x7fff;

// One queued use of an action. Each kind of action derives its own record;
// only the action that made it looks inside.
struct ActionUse_S {
    virtual ~ActionUse_S() = default;
};

class bl3dAction {
public:
    bl3dAction(int32_t classMask, int32_t level) : classMask_(classMask), level_(level) {}
    virtual ~bl3dAction() = default;
    bl3dAction(const bl3dAction&) = delete;
    bl3dAction& operator=(const bl3dAction&) = delete;

    // Carries out one queued use; what the initiative list's pop returns.
    virtual int perform(ActionUse_S* use) = 0;
    // Builds a use for a target already resolved to an object, taking the
    // actor over (kept in the record, or deleted). The base builds nothing
    // and leaves the actor to the caller, who then asks enqueue.
    virtual ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv);
    // Builds a use for a target given by position; takes the actor over.
    virtual ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) = 0;
    // Releases a use that was made by this action.
    virtual void freeEntry(ActionUse_S* use);
    virtual bool isSkill() const { return false; }
    virtual bool isSpell() const { return false; }
    virtual RefStr_C name() const = 0;
    virtual RefStr_C description() const = 0;
    virtual uint8_t targetKind() const = 0;
    // In feet; 0 means no limit.
    virtual uint8_t range() const = 0;
    virtual int32_t actionID() const = 0;
    // Whether the creature could use the action now against a target this far.
    virtual bool usable(bl3dCharacter* who, int distance);
    // Magic school (path) of a spell, 0 for everything else.
    virtual uint8_t school() const { return 0; }
    // -1 dead, 0 prevented by a condition (narrated into out), 1 able.
    virtual int checkState(bl3dCharacter* who, int32_t ignoreMask, const char* verb, char* out, int outSize);
    // What the combat AI scores the action as.
    virtual int aiCategory() const { return 0; }
    // Writes the action as a record of the action data file; most have none.
    virtual void writeRecord(MemStream_C& s) const;

    uint8_t path() const { return school(); }
    bool isForClass(int32_t classBits) const { return (classMask_ & classBits) != 0; }
    int32_t getLevel() const { return level_; }
    int32_t getClassMask() const { return classMask_; }

protected:
    int32_t classMask_;
    int32_t level_;
};

// Base of every spell: a spell-point cost and a four-letter code by which
// the cast screen and scripts find it.
class bl3dSpell : public bl3dAction {
public:
    bl3dSpell(int32_t classMask, int32_t level, const char* name, const char* description, const char* code);

    bool isSpell() const override { return true; }
    uint8_t range() const override { return 0; }
    RefStr_C name() const override { return name_; }
    RefStr_C description() const override { return description_; }
    virtual const char* code() const { return code_; }
    virtual int32_t spCost() const { return spCost_; }

protected:
    int32_t spCost_ = 0;
    RefStr_C name_;
    RefStr_C description_;
    char code_[5] = {0, 0, 0, 0, 0};
};

// The script hook an item can carry: using the item runs the map script
// "item%06d" of the event number.
class bl3dPlotEvent : public bl3dAction {
public:
    explicit bl3dPlotEvent(int32_t eventNumber);

    int perform(ActionUse_S*) override { return 0; }
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    RefStr_C name() const override { return name_; }
    RefStr_C description() const override { return description_; }
    uint8_t targetKind() const override { return 0; }
    uint8_t range() const override { return 0; }
    int32_t actionID() const override;
    int32_t eventNumber() const { return eventNumber_; }

private:
    int32_t eventNumber_;
    RefStr_C name_;
    RefStr_C description_;
};
