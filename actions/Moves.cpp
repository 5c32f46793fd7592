#include "actions/Moves.h"

#include "actions/Targets.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"

#include <algorithm>
#include <iterator>

namespace {
// What stops a Defend: sleep, a song, stone.
const ConditionBlock_S DEFEND_BLOCKS[] = {
    {COND_SLEEPING, "%s tries to %s, but %s is sleeping!\n"},
    {COND_SONG, "%s would %s, but %s is playing a song!\n"},
    {COND_STONE, "%s would %s, but %s is stone!\n"},
};

// Conditions that never stop a move: aged, poisoned, withered.
constexpr int32_t MOVE_IGNORES = 0x86;
} // namespace

MoveUse_S* bl3dMove::moveUse(ActionUse_S* use) { return dynamic_cast<MoveUse_S*>(use); }

ActionUse_S* bl3dMove::enqueue(bl3dActor* actor, int, int argc, void** argv) {
    if (argc < needed_) {
        delete actor;
        return nullptr;
    }
    auto* use = new MoveUse_S;
    use->performer = actor ? actor->getCreature() : nullptr;
    delete actor;
    use->text = contextText(argc, argv, 0);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    if (needed_ >= 2) {
        use->group = static_cast<bl3dMonsterList*>(argc > 1 ? argv[1] : nullptr);
        use->places = contextPlainInt(argc, argv, 1, 0);
    }
    return use;
}

int advanceMonsterGroup(bl3dMonsterList* group, TextBuf_C& text) {
    // The walk leaves the shared cursor just past the group, which is the
    // group advanceGroup moves.
    enemyList.rewind();
    int distance = 0;
    bl3dMonsterList* g = nullptr;
    while ((g = enemyList.nextGroupDist(&distance)) && g != group) {
    }
    if (!g)
        return -1;
    const bl3dMonster* first = g->getMonster(0);
    const bool one = g->getSize() == 1;
    const char* name = first ? first->displayName(!one) : "";
    if (distance <= MELEE_DISTANCE) {
        text.set("The #4%s#0 tr%s to advance, but are already too close!\n", name, one ? "ies" : "y");
        return 0;
    }
    text.set("The #4%s#0 advance%s!\n", name, one ? "s" : "");
    enemyList.advanceGroup(MELEE_DISTANCE);
    return 0;
}

int bl3dMove_MonAdv::perform(ActionUse_S* record) {
    MoveUse_S* use = moveUse(record);
    if (!use)
        return -1;
    return advanceMonsterGroup(use->group, *use->text);
}

int bl3dMove_PartyAdv::perform(ActionUse_S* record) {
    MoveUse_S* use = moveUse(record);
    if (!use)
        return -1;
    int distance = 0;
    for (int i = 0; enemyList.groupAt(i, &distance); ++i) {
        if (distance <= MELEE_DISTANCE) {
            use->text->set("You try to advance, but the enemy is already on top of you!\n");
            return 0;
        }
    }
    enemyList.advanceAll(MELEE_DISTANCE);
    use->text->set("You advance on your foes.\n");
    return 0;
}

int bl3dMove_Defend::checkState(bl3dCharacter* who, int32_t ignoreMask, const char* verb, TextBuf_C* out) {
    if (!who || who->getCurHP() < 1)
        return -1;
    const char* format = blockingCondition(DEFEND_BLOCKS, std::size(DEFEND_BLOCKS), who->getConditions() & ~ignoreMask);
    if (!format)
        return 1;
    if (out)
        out->set(format, who->getName(), verb ? verb : "", who->pronoun(0));
    return 0;
}

int bl3dMove_Defend::perform(ActionUse_S* record) {
    MoveUse_S* use = moveUse(record);
    if (!use || !use->performer)
        return -1;
    bl3dCharacter* who = use->performer;
    const int r = checkState(who, MOVE_IGNORES, "defend", use->text);
    if (r < 1)
        return r;
    who->getStatBlock()->addModifier(STAT_AC, -2, 1, MOD_DEFEND, 0, 0);
    who->getStatBlock()->recompute();
    if (who->isPartyMember())
        use->text->set("#2%s#0 crouches in a defensive posture.\n", who->getName());
    else
        use->text->set("%s #4%s#0 crouches in a defensive posture.\n", who->article(true), who->getName());
    return 0;
}

int bl3dMove_Rank::perform(ActionUse_S* record) {
    MoveUse_S* use = moveUse(record);
    if (!use || !use->performer)
        return -1;
    bl3dCharacter* who = use->performer;
    const int r = checkState(who, MOVE_IGNORES, forward_ ? "advance" : "retreat", use->text);
    if (r < 1)
        return r;
    int slot = partySlotOf(who);
    if (slot < 0)
        return -2;
    // A negative count would turn an advance into a retreat; no count goes
    // beyond the party.
    const int places = std::clamp(use->places, 0, MAX_PARTY);
    const int last = party->getCount() - 1;
    const int goal = forward_ ? std::max(0, slot - places) : std::min(last, slot + places);
    while (slot != goal) {
        const int next = forward_ ? slot - 1 : slot + 1;
        party->swap(slot, next);
        slot = next;
    }
    use->text->set(forward_ ? "#2%s#0 advances!\n" : "#2%s#0 retreats!\n", who->getName());
    return 0;
}
