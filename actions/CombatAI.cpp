#include "actions/CombatAI.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "actions/Targets.h"
#include "core/Log.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/InitList.h"
#include "rules/Monster.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"

#include <algorithm>
#include <vector>

bl3dCombatAI_Default* masterAIList = nullptr;

void initCombatAI() {
    if (!masterAIList)
        masterAIList = new bl3dCombatAI_Default;
    setCombatAIEntry(1, masterAIList);
    VELL_LOG(1, "masterAIList loaded\n");
}

namespace {
// Monsters aim their Attack only at the front ranks.
constexpr int ATTACK_RANKS = 4;
// Party members behind this slot leave drain and attack actions alone.
constexpr int LAST_FRONT_SLOT = 3;

int32_t iq(const bl3dCharacter* who) { return who->getStatBlock()->getCur(STAT_IQ); }
} // namespace

int bl3dCombatAI::randScore(int pct, int32_t stat, int hi, int lo) const {
    const int32_t s = std::clamp(stat, std::min(lo, hi), hi);
    const double x = lo != 0 ? pct * (static_cast<double>(hi - s) / lo) : 0.0;
    return vell::gameRandMod(static_cast<int>(x) + 1);
}

int bl3dCombatAI_Generic::score(bl3dAction* action, int32_t weight, bl3dCharacter* who) {
    VELL_LOG(1, "About to handle action %s...\n", action->name().c_str());
    int64_t s = static_cast<int64_t>(weight) * 10 + baseScore(who);
    switch (action->aiCategory()) {
    case AI_HEAL: {
        const int32_t maxHP = who->getMaxHP();
        const bool low = maxHP > 0 && static_cast<double>(who->getCurHP()) / maxHP < 0.1;
        if (!low)
            s += noHealScore(who);
        else if (action->targetKind() & (TARGET_ENEMY_GROUP | TARGET_ALL_ENEMIES | TARGET_OWN_SIDE))
            s += healGroupScore(who);
        else
            s += healOneScore(who);
        break;
    }
    case AI_SUMMON: s += summonScore(who); break;
    case AI_ENTANGLE: s += entangleScore(who); break;
    case AI_DRAIN: s += drainScore(who); break;
    case AI_CATEGORY5: s += category5Score(who); break;
    case AI_ATTACK: s += attackScore(who); break;
    case AI_DEFEND: s += defendScore(who); break;
    default: break;
    }
    VELL_LOG(1, "Just handled action %s\n", action->name().c_str());
    return saturate32(s);
}

bool bl3dCombatAI_Generic::gather(ActionList* from, ActionList& candidates, bl3dCharacter* who, int distance,
                                  bool dropLow, bool rankRule) {
    bool other = false;
    // Walked by its nodes: the list's own cursor belongs to its other users.
    for (const ActionNode_S* n = from ? from->head() : nullptr; n; n = n->next) {
        bl3dAction* a = n->action;
        if (!a || !a->usable(who, distance))
            continue;
        if (rankRule && (a->aiCategory() == AI_DRAIN || a->aiCategory() == AI_ATTACK))
            continue;
        const int s = score(a, n->value, who);
        if (dropLow && s <= 0)
            continue;
        // Defending, or closing in with the group, leaves the group free to
        // advance; anything else is an act of the monster's own.
        if (a->aiCategory() != AI_DEFEND && a->actionID() != ACTION_MON_ADV)
            other = true;
        candidates.add(a, s);
    }
    return other;
}

int bl3dCombatAI_Generic::enqueueAct(bl3dInitList* list, bl3dMonsterList* group, TextBuf_C* text) {
    VELL_LOG(1, "Starting bl3dCombatAI_Generic::enqueueAct()\n");
    // The distance without the enemy list's shared cursor: combat calls this
    // from inside its own walk over the groups.
    int32_t distance = group ? enemyList.distanceOf(group) : -1;
    if (!list || distance < 0 || group->empty())
        return 0;
    struct Pick {
        bl3dAction* action;
        ActionUse_S* use;
        uint32_t initiative;
    };
    std::vector<Pick> picks;
    picks.reserve(group->getSize());
    bool onlyDefend = true;
    const int members = partySize();
    for (uint32_t i = 0; i < group->getSize(); ++i) {
        bl3dMonster* m = group->getMonster(static_cast<int>(i));
        ActionList candidates(true);
        if (gather(m->actions(), candidates, m, distance, true, false))
            onlyDefend = false;
        if (m->actions2()->head() && gather(m->actions2(), candidates, m, distance, false, false))
            onlyDefend = false;
        if (!candidates.first()) {
            VELL_LOG(1, "ERROR: CombatAI_Generic: NO VALID ACTIONS for monster %s(%d)!\n", m->getName(), (int)i);
            continue;
        }
        VELL_LOG(1, "About to pick my action...\n");
        bl3dAction* best = candidates.next();
        VELL_LOG(1, "action is %s...\n", best->name().c_str());
        // Advancing moves the whole group, never one monster: a monster that
        // would rather close in waits for the group's advance below.
        if (best->actionID() == ACTION_MON_ADV)
            continue;
        void* target = group;
        if (!(best->targetKind() & TARGET_OWN_SIDE)) {
            // No one to aim at: the monster waits.
            if (members == 0)
                continue;
            const int among = best->actionID() == ACTION_ATTACK ? std::min(ATTACK_RANKS, members) : members;
            target = partyMemberAt(vell::gameRandMod(among));
        }
        void* context[2] = {text, &distance};
        ActionUse_S* use = best->makeEntry(new bl3dActor(m), target, 2, context);
        const uint32_t initiative =
            static_cast<uint32_t>(m->getStatBlock()->getCur(STAT_DX)) + static_cast<uint32_t>(vell::gameRand() % 4);
        VELL_LOG(1, "Monster %s(%d) picked skill %s (initiative %d)\n", m->getName(), (int)i, best->name().c_str(),
                 (int)initiative);
        if (use)
            picks.push_back(Pick{best, use, initiative});
    }

    if (onlyDefend && distance > MELEE_DISTANCE) {
        // Nothing to do from here but close in: the group advances instead.
        for (const Pick& p : picks)
            p.action->freeEntry(p.use);
        bl3dAction* advance = masterActionList.getAction(ACTION_MON_ADV);
        if (!advance)
            return 0;
        void* context[2] = {text, group};
        ActionUse_S* use = advance->enqueue(new bl3dActor(nullptr), 0, 2, context);
        const uint32_t initiative = static_cast<uint32_t>(vell::gameRand() % 4) +
                                    static_cast<uint32_t>(group->getMonster(0)->getStatBlock()->getCur(STAT_DX));
        if (use)
            list->add(advance, use, initiative);
        return 0;
    }
    for (const Pick& p : picks)
        list->add(p.action, p.use, p.initiative);
    return 0;
}

int bl3dCombatAI_Generic::enqueuePartySide(bl3dAction** action, ActionUse_S** use, bl3dPartyChar* member,
                                           TextBuf_C* text) {
    int32_t distance = 0;
    bl3dMonsterList* nearest = enemyList.groupAt(0, &distance);
    if (!action || !use || !member || !nearest)
        return 0;
    const int slot = partySlotOf(member);
    ActionList candidates(true);
    gather(member->actions(), candidates, member, distance, false, slot > LAST_FRONT_SLOT);
    gather(member->actions2(), candidates, member, distance, false, false);
    if (!candidates.first())
        return 0;
    bl3dAction* best = candidates.next();
    void* target = (best->targetKind() & TARGET_ONE_MEMBER) ? static_cast<void*>(member) : nearest;
    void* context[2] = {text, &distance};
    if (ActionUse_S* made = best->makeEntry(new bl3dActor(member), target, 2, context)) {
        *action = best;
        *use = made;
    }
    return 0;
}

// --- the game's scores ----------------------------------------------------------

int bl3dCombatAI_Default::baseScore(bl3dCharacter* who) { return randScore(40, iq(who), 20, 10); }
int bl3dCombatAI_Default::healGroupScore(bl3dCharacter* who) { return randScore(40, iq(who), 18, 10); }
int bl3dCombatAI_Default::healOneScore(bl3dCharacter* who) { return randScore(40, iq(who), 18, 10); }
int bl3dCombatAI_Default::noHealScore(bl3dCharacter*) { return -50; }
int bl3dCombatAI_Default::summonScore(bl3dCharacter* who) { return randScore(35, iq(who), 18, 10); }
int bl3dCombatAI_Default::entangleScore(bl3dCharacter* who) { return randScore(30, iq(who), 18, 10); }
int bl3dCombatAI_Default::drainScore(bl3dCharacter* who) { return randScore(25, iq(who), 18, 10); }
int bl3dCombatAI_Default::category5Score(bl3dCharacter* who) { return randScore(20, iq(who), 18, 10); }
int bl3dCombatAI_Default::attackScore(bl3dCharacter* who) { return randScore(15, iq(who), 18, 10); }
int bl3dCombatAI_Default::defendScore(bl3dCharacter* who) { return randScore(10, iq(who), 18, 10); }
