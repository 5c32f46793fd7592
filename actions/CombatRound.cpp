#include "actions/CombatRound.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "actions/Attributes.h"
#include "actions/CombatAI.h"
#include "actions/Songs.h"
#include "actions/Targets.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

#include <cstdint>

namespace {

// Members in these slots reach the foe only with a bow or a throwing weapon.
constexpr int FRONT_RANKS = 4;
// Conditions under which a member gives no order.
constexpr int32_t NO_ORDER = COND_STUNNED | COND_SLEEPING | COND_BLIND | COND_STONE | COND_SONG;

uint32_t initiativeBonus(const bl3dPartyChar& m) {
    if (m.isClass(0x10))
        return static_cast<uint32_t>(intAttribute(&m, tagkey::Expert) - 1);
    if (m.isClass(0x80))
        return static_cast<uint32_t>(intAttribute(&m, tagkey::InitBonus));
    return 0;
}

} // namespace

CombatRound_C::CombatRound_C() : text_(chars_, sizeof chars_) {
    beginFightWithoutSong();
}

void CombatRound_C::setOrder(int slot, const RoundOrder_S& order) {
    if (slot < 0 || slot >= MAX_PARTY)
        return;
    orders_[slot] = order;
    hasOrder_[slot] = true;
}

void CombatRound_C::clearOrders() {
    for (int i = 0; i < MAX_PARTY; ++i) {
        orders_[i] = RoundOrder_S{};
        hasOrder_[i] = false;
    }
}

RoundOrder_S CombatRound_C::defaultOrder(int slot, bl3dPartyChar& member) const {
    RoundOrder_S o;
    const bl3dItem* right = member.getSlotItem(SLOT_RT_HAND);
    const bool reaches = slot < FRONT_RANKS || (right && (right->isBow() || right->isThrown()));
    o.action = ownAction(member, reaches ? ACTION_ATTACK : ACTION_DEFEND);
    o.target = reaches ? enemyList.groupAt(0) : nullptr;
    return o;
}

ActionUse_S* CombatRound_C::makeUse(bl3dPartyChar& member, const RoundOrder_S& order) {
    bl3dAction* a = order.action;
    if (static_cast<uint32_t>(a->actionID()) & ACTION_BARD_SONG) {
        void* context[3] = {&text_, nullptr, reinterpret_cast<void*>(static_cast<intptr_t>(SONG_START_IN_COMBAT))};
        return a->makeEntry(new bl3dActor(&member), nullptr, 3, context);
    }
    if (a->actionID() == ACTION_EQUIP_ITEM) {
        void* context[5] = {nullptr, &member, &text_, nullptr, nullptr};
        return a->enqueue(new bl3dActor(&member), 0, 5, context);
    }
    void* context[2] = {&text_, &distance_};
    if (a->actionID() == ACTION_ADVANCE || a->actionID() == ACTION_RETREAT)
        context[1] = reinterpret_cast<void*>(static_cast<intptr_t>(order.places));
    else
        asEnemyGroup(order.target, &distance_);
    // Spells take a third value (a square, for the spells that want one).
    int32_t none = 0;
    void* spellContext[3] = {context[0], context[1], &none};
    void** ctx = a->isSpell() ? spellContext : context;
    const int n = a->isSpell() ? 3 : 2;
    // The actor handed to makeEntry is gone whatever it returns: enqueue gets
    // a new one.
    if (ActionUse_S* use = a->makeEntry(new bl3dActor(&member), order.target, n, ctx))
        return use;
    return a->enqueue(new bl3dActor(&member), order.targetIndex, n, ctx);
}

void CombatRound_C::queueMember(int slot, bl3dPartyChar& member) {
    bl3dAction* action = nullptr;
    ActionUse_S* use = nullptr;
    if (member.isJoinedMonster() && member.getCombatAI()) {
        member.getCombatAI()->enqueuePartySide(&action, &use, &member, &text_);
    } else {
        if (member.getConditions() & NO_ORDER)
            return;
        const RoundOrder_S order = hasOrder_[slot] ? orders_[slot] : defaultOrder(slot, member);
        if (!order.action)
            return;
        action = order.action;
        use = makeUse(member, order);
    }
    if (!action || !use)
        return;
    initList_.add(action, use, initiative(member));
}

bl3dAction* CombatRound_C::ownAction(bl3dCharacter& who, int32_t id) {
    if (bl3dAction* a = who.actions()->getAction(id))
        return a;
    return masterActionList.getAction(id);
}

uint32_t CombatRound_C::initiative(const bl3dPartyChar& member) {
    return static_cast<uint32_t>(vell::gameRand() % 4) +
           static_cast<uint32_t>(member.getStatBlock()->getCur(STAT_DX)) + initiativeBonus(member);
}

void CombatRound_C::queueRound() {
    initList_.clear();
    for (int slot = 0; slot < partySize(); ++slot) {
        bl3dPartyChar* m = partyMemberAt(slot);
        if (m && m->getCurHP() > 0)
            queueMember(slot, *m);
    }
    queueGroups();
}

void CombatRound_C::queueGroups() {
    // Each group by its first monster's combat AI; choosing changes no
    // group, so the positions hold through the walk.
    for (int i = 0; bl3dMonsterList* g = enemyList.groupAt(i); ++i) {
        bl3dMonster* first = g->getMonster(0);
        if (first && first->getCombatAI())
            first->getCombatAI()->enqueueAct(&initList_, g, &text_);
    }
}

int CombatRound_C::performNext() {
    for (;;) {
        text_.clear();
        const int r = initList_.pop();
        if (r >= 0) {
            if (narrate_)
                narrate_(text_.c_str());
            return r;
        }
        if (r <= -999)
            return r;
    }
}

void CombatRound_C::endSong(bl3dPartyChar& member) {
    text_.clear();
    endPlayingInCombat(member, text_);
    if (narrate_ && text_.c_str()[0])
        narrate_(text_.c_str());
}

void CombatRound_C::endSongs(bool deadOnly) {
    for (int i = 0; i < partySize(); ++i) {
        bl3dPartyChar* m = partyMemberAt(i);
        if (m->isPlayingSong() && (!deadOnly || m->getCurHP() <= 0))
            endSong(*m);
    }
}

void CombatRound_C::deadToTheBack() {
    for (;;) {
        int dead = -1;
        for (int i = 0; i < partySize() && dead < 0; ++i) {
            if (partyMemberAt(i)->getCurHP() > 0)
                continue;
            for (int k = i + 1; k < partySize(); ++k)
                if (partyMemberAt(k)->getCurHP() > 0) {
                    dead = i;
                    break;
                }
        }
        if (dead < 0)
            return;
        party->addMember(party->detachAt(dead));
    }
}

FightState CombatRound_C::settle() {
    enemyList.prune(&xp_, &gold_, &loot_);
    endSongs(true);
    deadToTheBack();
    const bl3dPartyChar* first = partyMemberAt(0);
    if (!first || first->getCurHP() <= 0) {
        initList_.clear();
        endSongs(false);
        return FightState::PartyDead;
    }
    if (enemyList.empty()) {
        endSongs(false);
        return FightState::Won;
    }
    return FightState::Going;
}

FightState CombatRound_C::endRound() {
    ++rounds_;
    const FightState s = settle();
    if (s != FightState::Going || !roundEnd_)
        return s;
    // The round's tick may kill (a poison): those it killed leave the field
    // and the ranks before anyone is asked for an order.
    roundEnd_();
    return settle();
}

FightState CombatRound_C::runRound() {
    queueRound();
    while (performNext() > -999) {
    }
    return endRound();
}
