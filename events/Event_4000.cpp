#include "events/Event_4000.h"

#include "actions/Attributes.h"
#include "actions/CombatAI.h"
#include "actions/Songs.h"
#include "audio/MasterAudio.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "core/TimerWork.h"
#include "events/Chest.h"
#include "platform/Random.h"
#include "platform/Timers.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int32_t CLASS_PALADIN = 0x20;
// The class whose "FOD" comes back after a fight.
constexpr int32_t CLASS_FOD = 0x08;
constexpr int COMBAT_MUSICS = 7;

Event_4000_C* gRunning = nullptr;
// Serial of the pacing work that may still act; every start and stop of the
// pacing makes a new one, so work pushed earlier finds nothing to do.
intptr_t gPacingSerial = 0;

} // namespace

bool enterCombatMusic()
{
    char music[16];
    std::snprintf(music, sizeof music, "Combat%d", static_cast<int>(vell::gameRand() % COMBAT_MUSICS) + 1);
    return maserAudio.pushSpecAudio(music, false) == 0;
}

int64_t scaleByDifficulty(int64_t amount)
{
    switch (gameConfig.difficulty) {
    case 0: return amount * 12 / 10;
    case 2: return amount * 8 / 10;
    case 3: return amount * 5 / 10;
    default: return amount;
    }
}

Event_4000_C::Event_4000_C(const EventParams_S*) {}

Event_4000_C::~Event_4000_C()
{
    stopPacing();
    vell::dropTimerWork(&Event_4000_C::pacingWork);
    clearSlots();
}

Event_4000_C* Event_4000_C::running() { return gRunning; }

int32_t Event_4000_C::getXpPool() const { return round_ ? round_->xp() : 0; }
int32_t Event_4000_C::getGoldPool() const { return round_ ? round_->gold() : 0; }

int32_t Event_4000_C::xpShare() const
{
    const int living = party ? party->livingCount() : 0;
    return living > 0 ? saturate32(scaleByDifficulty(getXpPool()) / living) : 0;
}

// --- life cycle ------------------------------------------------------------------------

int Event_4000_C::invoke(Interface_C* iface)
{
    if (!iface || !party)
        return 0;
    iface_ = iface;
    start();
    Event_4000_C* outer = gRunning;
    gRunning = this;
    ModalLoop_C loop(state_, [this](const SDL_keysym& k) { key(k); }, [this] { redraw(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
    loop.run();
    stopPacing();
    // No pace of this fight reaches the screen that comes next.
    vell::dropTimerWork(&Event_4000_C::pacingWork);
    gRunning = outer;
    const int last = state_;
    finish();
    if (last == PERISHED)
        return -1;
    if (last == ESCAPED)
        return 1;
    return 0;
}

void Event_4000_C::start()
{
    firstRound_ = true;
    usePrevious_ = false;
    surrenderTried_ = false;
    state_ = ROUND_MENU;
    curMember_ = 0;
    hasPaladin_ = false;
    for (int i = 0; i < party->getCount(); ++i) {
        const bl3dPartyChar* m = party->getMember(i);
        if (m->isClass(CLASS_PALADIN) && !m->isDead())
            hasPaladin_ = true;
    }
    // A pace outside what ',' and '.' can set is none the player chose.
    const int32_t delay = worldVar(tagkey::CombatDelay);
    combatDelay_ = delay < MIN_DELAY ? DEFAULT_DELAY : delay > MAX_DELAY ? MAX_DELAY : delay;
    clearEntry();
    clearSlots();
    // A song played outside combat ends with all it did (its music, its
    // timed end, its lasting effect); the fight has songs of its own.
    if (worldVar(tagkey::NCBS) != 0)
        endSongOutsideCombat();
    for (int i = 0; i < party->getCount() && i < 8; ++i) {
        bl3dPartyChar* m = party->getMember(i);
        savedOrder_[i] = m;
        wasPlaying_[i] = m->isPlayingSong();
        m->clearBaseConditions(COND_SONG);
    }
    // The round driver starts with no fight's song ("CBS" 0) and empty pools.
    round_ = std::make_unique<CombatRound_C>();
    round_->setNarration([this](const char* text) {
        if (scrollPane_ && iface_) {
            scrollPane_->addText("\n", &iface_->text());
            scrollPane_->addText(text, &iface_->text());
        }
    });
    round_->setRoundEnd([this] { advanceClock(); });
    pushedTreasure_ = false;
    pushedMusic_ = enterCombatMusic();
    enemyList.setInCombat(true);
}

void Event_4000_C::finish()
{
    if (iface_)
        iface_->clearULPic();
    scrollPane_.reset();
    scrollList_.reset();
    const int32_t share = xpShare();
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (!m->isDead())
            m->addXP(share);
        if (m->getClassId() == CLASS_FOD && intAttribute(m, tagkey::FOD) != 0)
            setIntAttribute(m, tagkey::FOD, 4);
    }
    round_->endAllSongs();
    for (int i = 0; i < party->getCount(); ++i)
        party->getMember(i)->clearBaseConditions(COND_HIDDEN);
    setWorldVar(tagkey::CBS, 0);
    restoreParty();
    CombatRound_C::deadToTheBack();
    for (int i = party->getCount() - 1; i >= 0; --i) {
        const bl3dPartyChar* m = party->getMember(i);
        if (m->isJoinedMonster() && m->isDead())
            party->removeAt(i);
    }
    setWorldVar(tagkey::CombatDelay, combatDelay_);
    // A game that quit on the victory screen leaves its chest music too.
    if (pushedTreasure_)
        maserAudio.popSpecAudio();
    pushedTreasure_ = false;
    if (pushedMusic_)
        maserAudio.popSpecAudio();
    pushedMusic_ = false;
    enemyList.setInCombat(false);
    clearSlots();
}

// Every per-slot record emptied; a use made for an order and never queued
// is released.
void Event_4000_C::clearSlots()
{
    for (int i = 0; i < 8; ++i) {
        if (selAct_[i] && selActArg_[i])
            selAct_[i]->freeEntry(selActArg_[i]);
        selAct_[i] = nullptr;
        selActArg_[i] = nullptr;
        origSrc_[i] = nullptr;
        selActBkup_[i] = nullptr;
        selExtra_[i] = OrderExtra_S{};
        extraBkup_[i] = OrderExtra_S{};
        charTarget_[i] = nullptr;
        savedOrder_[i] = nullptr;
        wasPlaying_[i] = false;
    }
}

// The order of the start comes back. Members who joined in the fight (a
// summoned beast) stay, behind them; only members still in the party are
// put back, so nobody who left it returns.
void Event_4000_C::restoreParty()
{
    std::vector<bl3dPartyChar*> now;
    while (party->getCount() > 0)
        now.push_back(party->detachAt(0));
    const bool songPlays = worldVar(tagkey::NCBS) != 0;
    for (int i = 0; i < 8 && savedOrder_[i]; ++i) {
        bl3dPartyChar* m = savedOrder_[i];
        auto it = std::find(now.begin(), now.end(), m);
        if (it == now.end())
            continue;
        now.erase(it);
        party->addMember(m);
        bl3dStatBlock* s = m->getStatBlock();
        // Only a song that still plays outside combat has its bard playing.
        if (wasPlaying_[i] && songPlays)
            m->addBaseConditions(COND_SONG);
        s->cureStun();
        m->clearBaseConditions(COND_STUNNED);
        s->cureSleep();
        m->clearBaseConditions(COND_SLEEPING);
    }
    for (bl3dPartyChar* m : now)
        if (!party->addMember(m))
            delete m; // cannot happen: they all stood in the party a moment ago
}

void Event_4000_C::advanceClock()
{
    if (gameworld)
        gameworld->getClock().advance(1, iface_);
}

void Event_4000_C::setState(int state)
{
    state_ = state;
    vell::pushRedraw();
}

// --- keys of the round -------------------------------------------------------------

void Event_4000_C::key(const SDL_keysym& k)
{
    switch (state_) {
    case ROUND_MENU:
    case LAUGHED_AT:
    case OVERTAKEN:
    case BEGIN_COMBAT:
    case PERFORMING:
    case VICTORY:
    case NO_PALADIN:
    case SURRENDERED:
    case NOT_UNDERSTOOD: roundKey(k.sym); return;
    default: orderKey(k.sym); return;
    }
}

void Event_4000_C::roundKey(int sym)
{
    switch (state_) {
    case ROUND_MENU:
        if (sym == 'c' && !surrenderTried_ && hasPaladin_) {
            setState(trySurrender());
        } else if (sym == 'v') {
            advance();
        } else if (sym == 'f') {
            curMember_ = 0;
            beginTurn();
        } else if (sym == 'u' && !firstRound_) {
            usePrevious_ = true;
            curMember_ = 0;
            setState(BEGIN_COMBAT);
        } else if (sym == 'r') {
            runAway();
        }
        return;
    case LAUGHED_AT:
    case NO_PALADIN:
    case NOT_UNDERSTOOD:
        if (sym == SDLK_SPACE)
            setState(ROUND_MENU);
        return;
    case OVERTAKEN:
        if (sym == SDLK_SPACE) {
            curMember_ = 0;
            beginTurn();
        }
        return;
    case SURRENDERED:
        if (sym == SDLK_SPACE)
            setState(OVER);
        return;
    case BEGIN_COMBAT:
        if (sym == 'y') {
            confirmOrders();
        } else if (sym == 'n') {
            // With nobody left to order (every member a joined monster) the
            // question stays.
            back();
        }
        return;
    case PERFORMING:
        if (sym == SDLK_SPACE) {
            performNext();
        } else if (sym == ',') {
            combatDelay_ = std::min(MAX_DELAY, combatDelay_ + 100);
        } else if (sym == '.') {
            combatDelay_ = std::max(MIN_DELAY, combatDelay_ - 100);
        }
        return;
    case VICTORY:
        if (sym == 'f')
            frisk();
        else if (sym == 'l')
            leaveVictory();
        return;
    default: return;
    }
}

int Event_4000_C::trySurrender()
{
    surrenderTried_ = true;
    for (int i = 0; i < party->getCount(); ++i) {
        const bl3dPartyChar* paladin = party->getMember(i);
        if (!paladin->isClass(CLASS_PALADIN) || paladin->isDead())
            continue;
        const int32_t cha = paladin->getStatBlock()->getCur(STAT_CH);
        int64_t levels = 0;
        for (int k = 0; k < party->getCount(); ++k)
            if (!party->getMember(k)->isDead())
                levels += party->getMember(k)->getLevel();
        const int64_t enemyLevels = enemyList.totalLevel();
        int64_t enemies = 0;
        int32_t smartest = 0;
        for (int g = 0; const bl3dMonsterList* group = enemyList.groupAt(g); ++g) {
            enemies += group->getSize();
            if (const bl3dMonster* first = group->getMonster(0))
                smartest = std::max(smartest, first->getStatBlock()->getCur(STAT_IQ));
        }
        if (smartest < 6)
            return NOT_UNDERSTOOD;
        if (enemies > 2 * static_cast<int64_t>(party->getCount()))
            return LAUGHED_AT;
        const int r = vell::gameRand() % 7;
        return (cha > smartest + r && levels > enemyLevels + r) ? SURRENDERED : LAUGHED_AT;
    }
    return NO_PALADIN;
}

void Event_4000_C::runAway()
{
    const int32_t bonus = worldVar(tagkey::XCBonus);
    const bl3dMonsterList* first = enemyList.groupAt(0);
    if (!first) {
        setState(ESCAPED);
        return;
    }
    for (int g = 0; const bl3dMonsterList* group = enemyList.groupAt(g); ++g) {
        const bl3dMonster* m = group->getMonster(0);
        if (m && m->creatureType() == CREATURE_NO_ESCAPE) {
            setState(OVERTAKEN);
            return;
        }
    }
    int groups = 0;
    while (enemyList.groupAt(groups))
        ++groups;
    const bl3dMonster* lead = first->getMonster(0);
    const int64_t foeDex = lead ? lead->getStatBlock()->getCur(STAT_DX) : 0;
    const int64_t chance = bonus + 50 + 5 * (party->averageStat(STAT_DX) - foeDex - (groups - 1));
    setState(vell::gameRand() % 100 < chance ? ESCAPED : OVERTAKEN);
}

void Event_4000_C::advance()
{
    bl3dAction* partyAdv = masterActionList.getAction(ACTION_PARTY_ADV);
    if (!partyAdv) {
        std::fprintf(stderr, "ERROR: the party cannot advance: the game has no \"PartyAdv\" action\n");
        return;
    }
    int64_t dex = 0;
    int living = 0;
    for (int i = 0; i < party->getCount(); ++i) {
        const bl3dPartyChar* m = party->getMember(i);
        if (!m->isDead()) {
            dex += m->getStatBlock()->getCur(STAT_DX);
            ++living;
        }
    }
    const uint32_t avg = living > 0 ? static_cast<uint32_t>(static_cast<double>(dex) / living + 0.5) : 0;
    round_->initList().clear();
    void* context[2] = {&round_->text(), &groupDistance_};
    ActionUse_S* use = partyAdv->enqueue(new bl3dActor(nullptr), 0, 2, context);
    if (use)
        round_->initList().add(partyAdv, use, avg + static_cast<uint32_t>(vell::gameRand() % 4));
    round_->queueGroups();
    beginRound();
}

void Event_4000_C::confirmOrders()
{
    firstRound_ = false;
    round_->initList().clear();
    // The last round's orders as they stood: rebuilding one slot must not
    // change what a later slot's member finds of its own.
    LastOrder_S last[8];
    for (int k = 0; k < 8; ++k)
        last[k] = LastOrder_S{origSrc_[k], selActBkup_[k], charTarget_[k], extraBkup_[k]};
    for (curMember_ = 0; curMember_ < party->getCount() && curMember_ < 8; ++curMember_) {
        const int slot = curMember_;
        bl3dPartyChar& m = *party->getMember(slot);
        bool playing = false;
        if (usePrevious_)
            rebuildPrevious(slot, m, playing, last);
        selActBkup_[slot] = selAct_[slot];
        extraBkup_[slot] = selExtra_[slot];
        if (selAct_[slot] && selActArg_[slot] && !playing)
            round_->initList().add(selAct_[slot], selActArg_[slot], CombatRound_C::initiative(m));
        else if (selAct_[slot] && selActArg_[slot])
            selAct_[slot]->freeEntry(selActArg_[slot]);
        selAct_[slot] = nullptr;
        selActArg_[slot] = nullptr;
    }
    for (int k = 0; k < 8; ++k)
        origSrc_[k] = k < party->getCount() ? party->getMember(k) : nullptr;
    usePrevious_ = false;
    round_->queueGroups();
    beginRound();
}

// "(U)se previous orders": the member's own order of the last round again
// (found by who gave it, wherever the member stands now), with its target,
// its ranks and the item it was given through. A member who cannot act
// does nothing this round, as in the order entry, and keeps the order.
void Event_4000_C::rebuildPrevious(int slot, bl3dPartyChar& m, bool& playing, const LastOrder_S (&last)[8])
{
    selAct_[slot] = nullptr;
    selActArg_[slot] = nullptr;
    selExtra_[slot] = OrderExtra_S{};
    if (m.isDead())
        return;
    if (m.isJoinedMonster()) {
        if (bl3dCombatAI* ai = m.getCombatAI())
            ai->enqueuePartySide(&selAct_[slot], &selActArg_[slot], &m, &round_->text());
        return;
    }
    int source = -1;
    if (last[slot].source == &m) {
        source = slot;
    } else {
        for (int k = 0; k < 8; ++k)
            if (last[k].source == &m)
                source = k;
    }
    if (source < 0 || !last[source].act)
        return;
    const LastOrder_S& was = last[source];
    bl3dAction* act = was.act;
    charTarget_[slot] = was.target;
    auto defend = [&] {
        bl3dAction* d = CombatRound_C::ownAction(m, ACTION_DEFEND);
        selAct_[slot] = d;
        selActArg_[slot] = d ? makeUse(d, m, false, nullptr, 0) : nullptr;
        selExtra_[slot] = OrderExtra_S{};
    };
    if (act->actionID() == ACTION_EQUIP_ITEM) {
        defend();
        return;
    }
    // The order stays the member's to repeat, also in a round that it is
    // not carried out (a song goes on; the member cannot act and spends
    // nothing).
    selAct_[slot] = act;
    selExtra_[slot] = was.extra;
    if (m.isPlayingSong()) {
        playing = true;
        return;
    }
    if (m.getConditions() & NO_ORDER)
        return;
    void* target = was.target;
    if (!target && (static_cast<uint32_t>(act->actionID()) & ACTION_BARD_SONG)) {
        defend(); // the song ended in the last round
        return;
    }
    // The day's uses of a skill are spent as the order entry spends them
    // (an item's power costs its charges instead); with none left the
    // member defends.
    if (was.extra.itemSlot < 0 && !spendDailyUse(m, act)) {
        defend();
        return;
    }
    if (target) {
        bool isMember = false;
        for (int k = 0; k < party->getCount(); ++k)
            if (party->getMember(k) == target)
                isMember = true;
        if (!isMember && !enemyList.hasGroup(static_cast<const bl3dMonsterList*>(target)))
            target = enemyList.groupAt(0);
        charTarget_[slot] = target;
    }
    if (act->actionID() == ACTION_ADVANCE || act->actionID() == ACTION_RETREAT) {
        selActArg_[slot] = rankUse(act, m, was.extra.ranks);
        return;
    }
    const bool item = was.extra.itemSlot >= 0;
    if (item)
        itemSlot_ = was.extra.itemSlot;
    selActArg_[slot] = makeUse(act, m, item, target, 0);
}

void Event_4000_C::beginRound()
{
    scrollPane_ = std::make_unique<ScrollPane_C>(1, -1, -1, -1, -1);
    state_ = PERFORMING;
    vell::pushRedraw();
    stopPacing();
    startPacing();
    // The first entry at once, then one per pace.
    vell::pushTimerWork(&Event_4000_C::pacingWork, pacingSerial_);
}

void Event_4000_C::performNext()
{
    stopPacing();
    const int r = round_->performNext();
    if (r >= 0) {
        vell::pushRedraw();
        startPacing();
        return;
    }
    switch (round_->endRound()) {
    case FightState::PartyDead: state_ = PERISHED; return;
    case FightState::Going:
        curMember_ = 0;
        setState(ROUND_MENU);
        return;
    case FightState::Won:
        pushedTreasure_ = maserAudio.pushSpecAudio("Treasure", false) == 0;
        setState(VICTORY);
        return;
    }
}

void Event_4000_C::leaveVictory()
{
    if (pushedTreasure_)
        maserAudio.popSpecAudio();
    pushedTreasure_ = false;
    setState(OVER);
    advanceClock();
}

void Event_4000_C::frisk()
{
    PtrList_C& loot = round_->loot();
    if (round_->gold() != 0 || loot.count() > 0) {
        auto* chest = new Chest_S;
        chest->trap = -1;
        chest->lock = 0;
        chest->gold = saturate32(scaleByDifficulty(round_->gold()));
        while (ListObject_C* item = loot.at(0)) {
            loot.remove(item->getSerial());
            chest->items.pushFront(item);
        }
        EventParams_S params;
        params.chest = chest;
        if (std::unique_ptr<Event_C> ev = createEncounterEvent(ENCOUNTER_CHEST, &params))
            ev->invoke(iface_); // the chest event owns the chest from here
        else
            delete chest;
    }
    leaveVictory();
}

// --- pacing ------------------------------------------------------------------------

void Event_4000_C::startPacing()
{
    pacingSerial_ = ++gPacingSerial;
    timerId_ = vell::addTimer(static_cast<uint32_t>(combatDelay_), &Event_4000_C::combatDelayCallback,
                              reinterpret_cast<void*>(pacingSerial_));
}

void Event_4000_C::stopPacing()
{
    if (timerId_)
        vell::removeTimer(timerId_);
    timerId_ = 0;
    // Work already pushed belongs to a pace that is over.
    pacingSerial_ = ++gPacingSerial;
}

uint32_t Event_4000_C::combatDelayCallback(uint32_t interval, void* param)
{
    vell::pushTimerWork(&Event_4000_C::pacingWork, reinterpret_cast<intptr_t>(param));
    return interval;
}

void Event_4000_C::pacingWork(intptr_t serial)
{
    Event_4000_C* fight = gRunning;
    if (fight && fight->pacingSerial_ == serial && fight->state_ == PERFORMING)
        fight->performNext();
}
