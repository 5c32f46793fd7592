#include "events/Event_9002.h"

#include "core/TagList.h"
#include "rules/EnemyList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"
#include "world/Map.h"

#include <algorithm>

namespace {

// What every living member gains this hour besides its own "Regen".
struct PartyGain_S {
    int64_t sp = 0;
    int64_t hp = 0;
    int64_t songs = 0;
};

PartyGain_S partyGain(const ra2dGameWorld& world)
{
    PartyGain_S g;
    const unsigned hour = world.getClock().getHour();
    const Map_C* map = world.getCurrentMap();
    // Daylight under an open sky restores the casters a little.
    g.sp = (hour >= 6 && hour <= 18 && map && map->isOutdoors()) ? 1 : 0;
    const uint32_t regen = static_cast<uint32_t>(world.getVar(tagkey::Regen));
    g.sp += regen & 0xFF;
    g.hp += (regen >> 8) & 0xFF;
    g.songs += (regen >> 16) & 0xFF;
    // The last member with a bard's modifier sets it.
    int64_t spMul = 1;
    int64_t hpMul = 0;
    for (int i = 0; i < party->getCount(); ++i) {
        const TagList_C& attrs = *party->getMember(i)->getTagList();
        if (attrs.hasKey(tagkey::BardSPMod))
            spMul = attrs.intValue(tagkey::BardSPMod);
        if (attrs.hasKey(tagkey::BardHPMod))
            hpMul = attrs.intValue(tagkey::BardHPMod);
    }
    if (spMul != 0)
        g.sp *= spMul;
    if (g.hp > 0 && hpMul != 0)
        g.hp *= hpMul;
    return g;
}

// One signed byte of a member's own "Regen".
int64_t regenByte(int32_t regen, int byte)
{
    return static_cast<int8_t>(static_cast<uint32_t>(regen) >> (8 * byte) & 0xFF);
}

void regenerate(bl3dPartyChar& member, const PartyGain_S& g)
{
    TagList_C& attrs = *member.getTagList();
    const int32_t own = attrs.intValue(tagkey::Regen);
    member.changeHP(saturate32(regenByte(own, 1) + g.hp));
    if (member.isClass(CLASS_CASTERS))
        member.addSP(saturate32(regenByte(own, 0) + g.sp));
    if (member.isClass(CLASS_BARD)) {
        const int64_t songs = attrs.intValue(tagkey::CurSongs) + regenByte(own, 2) + g.songs;
        attrs.setInt(tagkey::CurSongs, saturate32(std::min<int64_t>(attrs.intValue(tagkey::MaxSongs), songs)));
    }
}

// A joined or summoned creature whose time has run out (0 never does).
bool expired(const bl3dPartyChar& member, uint32_t now)
{
    const int32_t until = member.getTagList()->intValue(tagkey::MonExpire);
    return member.isJoinedMonster() && until != 0 && static_cast<uint32_t>(until) < now;
}
} // namespace

int Event_9002_C::invoke(Interface_C*)
{
    if (!gameworld)
        return 0;
    std::unique_ptr<Event_C> next = makeEvent<Event_9002_C>();
    if (gameworld->getEventQueue().enqueue(gameworld->nextHourStart(), next.get()) != 0)
        next.release();
    if (!party)
        return 0;
    const PartyGain_S gain = partyGain(*gameworld);
    const uint32_t now = gameworld->getClock().getTicks();
    for (int k = 0; k < party->getCount();) {
        bl3dPartyChar* m = party->getMember(k);
        // Nobody leaves in the middle of a fight (the fight puts its party
        // back together at its end): the next hour lets it go.
        if (expired(*m, now) && !enemyList.isInCombat()) {
            party->removeAt(k); // the next member moves into slot k
            continue;
        }
        if (m->getCurHP() > 0)
            regenerate(*m, gain);
        ++k;
    }
    return 0;
}
