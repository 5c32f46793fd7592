#include "events/Event_4000a.h"

#include "actions/Attributes.h"
#include "audio/MasterAudio.h"
#include "core/ModalLoop.h"
#include "core/ScrollPane.h"
#include "events/Event_4000.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"
#include "world/Interface.h"

#include <cstdio>

Event_4000a_C::Event_4000a_C(const EventParams_S*) {}

Event_4000a_C::~Event_4000a_C() = default;

bl3dMonster* Event_4000a_C::candidate()
{
    bl3dMonsterList* group = enemyList.groupAt(0);
    return group ? group->getMonster(0) : nullptr;
}

int Event_4000a_C::invoke(Interface_C* iface)
{
    if (!candidate() || !party) {
        std::fprintf(stderr, "WARNING: an offer to join with no monster to make it is not shown\n");
        return -999;
    }
    state_ = OFFER;
    iface_ = iface;
    fought_ = false;
    fightResult_ = 0;
    TagList_C* world = rulesEnv().worldTags();
    const int32_t delay = intAttribute(world, tagkey::CombatDelay);
    combatDelay_ = delay < Event_4000_C::MIN_DELAY ? Event_4000_C::DEFAULT_DELAY : delay;
    const bool pushedMusic = enterCombatMusic();
    enemyList.setInCombat(true);
    vell::pushRedraw();
    if (iface) {
        ModalLoop_C loop(state_, [this](const SDL_keysym& k) { key(k.sym); }, [this] { display(); });
        loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
        loop.run();
        iface->clearULPic();
    }
    textPane_.reset();
    // A fight that followed keeps the pace the player set in it.
    if (!fought_)
        setIntAttribute(world, tagkey::CombatDelay, combatDelay_);
    if (pushedMusic)
        maserAudio.popSpecAudio();
    enemyList.setInCombat(false);
    return fought_ ? fightResult_ : 0;
}

void Event_4000a_C::setState(int state)
{
    state_ = state;
    vell::pushRedraw();
}

void Event_4000a_C::key(int sym)
{
    switch (state_) {
    case OFFER:
        if (sym == 'd')
            setState(ANGRY);
        else if (sym == 'w')
            setState(party && party->getCount() > 7 ? PARTY_FULL : WELCOMED);
        break;
    case WELCOMED:
        if (sym == SDLK_SPACE)
            welcome();
        break;
    case ANGRY:
        if (sym == SDLK_SPACE)
            fight();
        break;
    case PARTY_FULL:
        if (sym == SDLK_SPACE)
            setState(ANGRY);
        break;
    default: break;
    }
}

void Event_4000a_C::welcome()
{
    bl3dMonster* m = candidate();
    bl3dMonsterType* type = m ? m->getType() : nullptr;
    if (bl3dPartyChar* joined = type ? type->makePartyChar(false) : nullptr) {
        setIntAttribute(joined, tagkey::MonExpire, 0);
        if (!party || !party->addMonster(joined))
            delete joined;
    }
    setState(DONE);
}

void Event_4000a_C::fight()
{
    fought_ = true;
    // The enemy list as it stands, the angry monster with it.
    if (std::unique_ptr<Event_C> ev = createEncounterEvent(ENCOUNTER_FIGHT, nullptr))
        fightResult_ = ev->invoke(iface_);
    setState(DONE);
}
