// bl3dAction: everything a creature can do on its turn or from a menu. One
// object of each action lives in the master action list for the whole run;
// a single use of it is an ActionUse_S record that enqueue/makeEntry build,
// perform carries out and freeEntry releases.
//
// Life of one use:
//   caller: new bl3dActor(creature)  ->  makeEntry(actor, target, argc, argv)
//           or, when that gives null, a NEW actor -> enqueue(actor, index, ...)
//   the initiative list (or a screen): perform(use), then freeEntry(use);
//   a use that will not be performed: freeEntry(use) alone.
//
// Ownership of actors (every action, every path): makeEntry and enqueue take
// over the actor they are handed, whatever they return. A record they build
// keeps what it needs of it (the creature; a spell keeps the actor itself)
// and deletes it at the latest in freeEntry; when they build nothing they
// delete the actor before returning null. A caller never touches an actor
// after handing it over, so no path can use or free one twice; asking
// enqueue after makeEntry gave null takes a new actor. enqueue may hand its
// actor on to makeEntry, which then owns it. A null actor is allowed (a use
// without a performer, such as the party's advance).
//
// Context values (argc, argv): argv holds argc pointers. By the common
// convention argv[0] is the narration buffer (a TextBuf_C*, null for none),
// argv[1] points to an int32 distance in feet and argv[2] to a uint8_t
// capital flag; each action's header says where it departs from this (moves
// take plain values, Equip Item has its own five). An action that gets fewer
// values than it needs queues nothing. A record copies the values it reads,
// so the caller's variables need not outlive the call.
#pragma once
#include "core/RefStr.h"

#include <cstdint>

class bl3dActor;
class bl3dCharacter;
class MemStream_C;
class TextBuf_C;

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

// Ids of the actions that other code names.
enum ActionId : int32_t {
    ACTION_ATTACK = 0x000e0001,
    ACTION_MON_ADV = 0x00320001,
    ACTION_PARTY_ADV = 0x003a0002,
    ACTION_DEFEND = 0x00320003,
    ACTION_ADVANCE = 0x00320004,
    ACTION_RETREAT = 0x00320005,
    ACTION_EQUIP_ITEM = 0x002a00af,
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

// What the combat AI scores an action as (aiCategory).
enum AICategory : int {
    AI_NONE = 0,
    AI_HEAL = 1,
    AI_SUMMON = 2,
    AI_ENTANGLE = 3,
    AI_DRAIN = 4,
    AI_CATEGORY5 = 5,
    AI_ATTACK = 6,
    AI_DEFEND = 7,
    AI_UTILITY = 8,
};

// Class mask of actions open to every player class.
constexpr int32_t ALL_CLASSES = 0x7fff;

// One queued use of an action. Each kind of action derives its own record;
// only the action that made it looks inside. A record releases what it owns
// in its destructor.
struct ActionUse_S {
    virtual ~ActionUse_S() = default;
};

// Reading the context values (null or the default when there are too few).
TextBuf_C* contextText(int argc, void** argv, int index = 0);
// The int32 that argv[index] points to.
int32_t contextInt(int argc, void** argv, int index, int32_t fallback);
// The uint8_t that argv[index] points to, as a truth value.
bool contextFlag(int argc, void** argv, int index, bool fallback);
// argv[index] itself read as a plain integer (moves).
int32_t contextPlainInt(int argc, void** argv, int index, int32_t fallback);

class bl3dAction {
public:
    bl3dAction(int32_t classMask, int32_t level) : classMask_(classMask), level_(level) {}
    virtual ~bl3dAction() = default;
    bl3dAction(const bl3dAction&) = delete;
    bl3dAction& operator=(const bl3dAction&) = delete;

    // Carries out one queued use (null does nothing); what the initiative
    // list's pop returns: 0 or more when something happened (or a miss was
    // narrated), negative when the use was not carried out.
    virtual int perform(ActionUse_S* use) = 0;
    // Builds a use for a target already resolved to an object. The base
    // builds nothing (and deletes the actor).
    virtual ActionUse_S* makeEntry(bl3dActor* actor, void* target, int argc, void** argv);
    // Builds a use for a target given by position.
    virtual ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) = 0;
    // Releases a use made by this action: the record and what it owns.
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
    // Magic path (school) of a Magician's spell, 1-5; 0 for everything else.
    virtual uint8_t path() const { return 0; }
    // -1 dead, 0 prevented by a condition, 1 able. The first two say why in
    // out (replacing its text; null for no text).
    virtual int checkState(bl3dCharacter* who, int32_t ignoreMask, const char* verb, TextBuf_C* out);
    // What the combat AI scores the action as.
    virtual int aiCategory() const { return AI_NONE; }
    // Writes the action as a record of the action data file; most have none.
    virtual void writeRecord(MemStream_C& s) const;

    // The screens call the path the spell's school.
    uint8_t school() const { return path(); }
    bool isForClass(int32_t classBits) const { return (classMask_ & classBits) != 0; }
    int32_t getLevel() const { return level_; }
    int32_t getClassMask() const { return classMask_; }

protected:
    // What the direct children of bl3dAction do in makeEntry: no target to
    // resolve, so enqueue with index 0 builds the use (and owns the actor).
    ActionUse_S* makeEntryNoTarget(bl3dActor* actor, int argc, void** argv) {
        return enqueue(actor, 0, argc, argv);
    }

    int32_t classMask_;
    int32_t level_;
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
