// bl3dEffect: one effect of a data-defined skill or spell (the action data
// file, actions/ActionFile.h): damage, timed stat modifiers with condition
// bits, or healing with curing and raising. The action calls every effect's
// apply in file order, sums what they report and chooses its narration from
// the sums and the best result.
//
// Life cycle: the loader builds each effect from its record's body; the
// action that receives it owns it and deletes it with itself.
//
// apply(actor, target, distance, sums, fallOff, actionId):
//   actor     who acts (a party member or a monster; anyone else gets -5)
//   target    what the use was aimed at: an enemy group, a party member, or
//             null. It is looked up again before it is used, by what the
//             effect's target mode needs (an enemy group for a party
//             member's modes 1, 2, 4; a party member for a party member's
//             mode 8 and a monster's mode 1), so that a pointer of the wrong
//             kind or one that left the fight is simply "gone".
//   distance  a monster user's distance from the party in feet
//   sums      set to what this effect did: total damage (a heal counts
//             negative), creatures affected, kills (a raise counts -1)
//   fallOff   spells pass true: successive victims of a group take less
//   actionId  the acting action's id (armour spells key their modifiers)
// Results: 0 applied; -1 out of range; -2 the target is gone; -3 it
// resisted; -4 nothing to do (a dead target that may not be raised, an
// immune creature, a single target's damage that came to 0); -5 the target
// mode does not apply to the actor's side.
#pragma once
#include <cstdint>

class bl3dActor;
class bl3dCharacter;
class bl3dMonsterList;

struct EffectSums_S {
    int32_t total = 0;
    int32_t count = 0;
    int32_t kills = 0;
    // The creature a single-target effect reached (null for the others).
    bl3dCharacter* victim = nullptr;
};

enum EffectResult : int {
    EFFECT_APPLIED = 0,
    EFFECT_OUT_OF_RANGE = -1,
    EFFECT_TARGET_GONE = -2,
    EFFECT_RESISTED = -3,
    EFFECT_NOTHING_TO_DO = -4,
    EFFECT_WRONG_SIDE = -5,
};

class bl3dEffect {
public:
    virtual ~bl3dEffect() = default;
    bl3dEffect() = default;
    bl3dEffect(const bl3dEffect&) = delete;
    bl3dEffect& operator=(const bl3dEffect&) = delete;

    // 1 damage, 2 stat modifier, 3 heal.
    virtual int effectType() const = 0;
    virtual int apply(bl3dActor* actor, void* target, int distance, EffectSums_S& sums, bool fallOff,
                      int32_t actionId) = 0;

protected:
    enum class Side { None, Party, Monster };
    // Which side acts: the actor's creature as a party member or a monster.
    static Side sideOf(const bl3dActor* actor);
    static bl3dCharacter* creatureOf(const bl3dActor* actor);
    // The sum of `count` dice of `sides` (0 when either is not positive).
    static int32_t roll(int64_t count, int32_t sides);
    // Whether `distance` is beyond `range` (a range of 0 reaches anywhere).
    static bool beyond(int range, int distance) { return range != 0 && distance > range; }
    // The enemy group a party member's use aims at, within the range: 0
    // with `group` set; -2 when it is not in the enemy list; -1 beyond.
    static int groupInRange(void* target, int range, bl3dMonsterList*& group);
    // The one creature a single-target mode reaches: for a party member a
    // living monster of the target group (a random one, else the first
    // living one); for a monster the target member (member 0 when that one
    // is dead). 0 with `victim` set; -2 when there is none; -1 beyond the
    // range (the group's distance, or the monster's own).
    static int singleTarget(Side side, void* target, int range, int distance, bl3dCharacter*& victim);
    // A party member's own side, one of it: the target member (mode 8,
    // null when the target is no member) or the user itself (0x20).
    static bl3dCharacter* memberOrSelf(int mode, void* target, bl3dCharacter* user);
};
