// The five combat moves: a monster group closes in (MonAdv), the party
// closes in on every group (PartyAdv), a fighter braces itself (Defend), a
// party member steps forward or back in the marching order (Advance,
// Retreat). Distances change in steps of 10 feet and no group comes nearer
// than 10 (melee reach).
//
// Context values, read as plain values (not through pointers) except the
// narration buffer argv[0] (TextBuf_C*):
//   MonAdv    2: argv[1] the bl3dMonsterList* that advances
//   PartyAdv  1
//   Defend    1 (the performer is the actor's creature)
//   Advance, Retreat  2: argv[1] the number of places, an integer
// With fewer, enqueue deletes the actor and returns null.
//
// Results of perform: 0 done (a refused advance is narrated and done); -1
// MonAdv's group is no longer in the enemy list, or no performer; -2 the
// performer is not in the party; a state check's result below 1.
#pragma once
#include "actions/DirectAction.h"

class bl3dCharacter;
class bl3dMonsterList;
class TextBuf_C;

struct MoveUse_S : ActionUse_S {
    bl3dCharacter* performer = nullptr;
    bl3dMonsterList* group = nullptr;
    TextBuf_C* text = nullptr; // never null (TextBuf_C::discard())
    int32_t places = 0;
};

// The base of the five: the record and its context values.
class bl3dMove : public bl3dDirectAction {
public:
    bl3dMove(const ActionRow_S& row, int neededValues) : bl3dDirectAction(row), needed_(neededValues) {}
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;

protected:
    static MoveUse_S* moveUse(ActionUse_S* use);

private:
    int needed_;
};

class bl3dMove_MonAdv : public bl3dMove {
public:
    explicit bl3dMove_MonAdv(const ActionRow_S& row) : bl3dMove(row, 2) {}
    int perform(ActionUse_S* use) override;
};

class bl3dMove_PartyAdv : public bl3dMove {
public:
    explicit bl3dMove_PartyAdv(const ActionRow_S& row) : bl3dMove(row, 1) {}
    int perform(ActionUse_S* use) override;
};

// Defend: AC - 2 for one tick. Always usable; stopped only by sleep, a song
// or stone (its own state check).
class bl3dMove_Defend : public bl3dMove {
public:
    explicit bl3dMove_Defend(const ActionRow_S& row) : bl3dMove(row, 1) {}
    int perform(ActionUse_S* use) override;
    bool usable(bl3dCharacter*, int) override { return true; }
    int checkState(bl3dCharacter* who, int32_t ignoreMask, const char* verb, TextBuf_C* out) override;
};

// Advance and Retreat: `places` slots toward the front or the back, passing
// members one swap at a time.
class bl3dMove_Rank : public bl3dMove {
public:
    bl3dMove_Rank(const ActionRow_S& row, bool forward) : bl3dMove(row, 2), forward_(forward) {}
    int perform(ActionUse_S* use) override;

private:
    bool forward_;
};

class bl3dMove_Advance : public bl3dMove_Rank {
public:
    explicit bl3dMove_Advance(const ActionRow_S& row) : bl3dMove_Rank(row, true) {}
};

class bl3dMove_Retreat : public bl3dMove_Rank {
public:
    explicit bl3dMove_Retreat(const ActionRow_S& row) : bl3dMove_Rank(row, false) {}
};

// A monster group 10 feet closer, with MonAdv's narration (the group must
// be in the enemy list: -1 otherwise). Hide in Shadows uses it too.
int advanceMonsterGroup(bl3dMonsterList* group, TextBuf_C& text);
