// The traps of a square as the party enters or turns there: the defuse
// roll, spinners, anti-magic and darkness traps, and the scripted traps.
#include "world/Map.h"

#include "core/ModalLoop.h"
#include "core/TagList.h"
#include "platform/Random.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/StatBlock.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

#include <cstdio>

namespace {

// Trap ids from here on name no script.
constexpr uint32_t FIRST_UNSCRIPTED_TRAP = 10000;

int d20()
{
    return vell::gameRandMod(20) + 1;
}

TagList_C* worldVars(Interface_C* iface)
{
    ra2dGameWorld* w = iface ? iface->getWorld() : nullptr;
    return w ? &w->getTagList() : nullptr;
}

// What every trap effect does last: the square's event processing ends
// here, and whatever the effect turned is not taken as a move.
void endTrapEffect(Interface_C* iface)
{
    iface->endEventProcessing();
    iface->clearEntryState();
    vell::pushRedraw();
}

} // namespace

bool Map_C::defuseRoll()
{
    if (!party)
        return false;
    for (int i = 0; i < party->getCount(); ++i) {
        const bl3dPartyChar* m = party->getMember(i);
        const TagList_C* attrs = m ? m->getTagList() : nullptr;
        if (!attrs || !attrs->hasKey(tagkey::LocateTrap))
            continue;
        if (d20() + attrs->intValue(tagkey::LocateTrap) <= 14)
            continue;
        const int roll = d20();
        if (roll == 1)
            return false;   // set it off while feeling for it: nobody else tries
        if (roll + attrs->intValue(tagkey::Defuse) > 14)
            return true;
    }
    return false;
}

void Map_C::trapPass(int x, int y, Interface_C* iface)
{
    TagList_C* vars = worldVars(iface);
    if (!vars || !info_ || vars->intValue(tagkey::Bardb007) == 1)
        return;
    // By index: a trap's script may not add traps, but it may change maps,
    // and this map stays (the caller holds it busy) with its trap list.
    for (size_t i = 0; i < traps_.size(); ++i) {
        const MapTrap_S trap = traps_[i];
        if (trap.x != x || trap.y != y)
            continue;
        const bool defused = defuseRoll();
        const uint8_t state = getSquareState(x, y);
        if (!(state & SQUARE_SPINNER_OFF) && trap.isSpinner()) {
            spinnerTrap(iface);
        } else if (trap.isAntiMagic()) {
            antiMagicTrap(iface);
        } else if (trap.isDarkness()) {
            darknessTrap(iface);
        } else if (trap.isRegular() && !(state & SQUARE_TRAP_SPRUNG)) {
            if (trap.getId() >= FIRST_UNSCRIPTED_TRAP) {
                std::fprintf(stderr, "TRAP #%u!\n", trap.getId());
                continue;
            }
            EventParams_S params;
            if (defused)
                std::snprintf(params.name, sizeof params.name, "trapdefuse");
            else
                std::snprintf(params.name, sizeof params.name, "trap%04u", trap.getId());
            params.exitX = static_cast<int32_t>(iface->getCurX());
            params.exitY = static_cast<int32_t>(-iface->getCurZ());
            params.exitFacing = iface->getFacing();
            std::unique_ptr<Event_C> event = createMapEvent(EVENT_SCRIPT, &params);
            if (!event || !event->isReady()) {
                // The trap stays as it was: the party is not hurt by a
                // script that is not there, and a mended game still has it.
                std::fprintf(stderr, "ERROR! Map %s: the trap at (%d, %d) names the script %s, which the game does not have\n",
                             getFileName(), x, y, params.name);
                continue;
            }
            event->invoke(iface);
            info_->orSquareState(x, y, SQUARE_TRAP_SPRUNG);
        }
    }
}

void Map_C::spinnerTrap(Interface_C* iface)
{
    if (!iface || iface->getEntryState() == 0)
        return;
    iface->setFacing(vell::gameRandMod(4) * 90);
    endTrapEffect(iface);
}

void Map_C::antiMagicTrap(Interface_C* iface)
{
    TagList_C* vars = worldVars(iface);
    if (!vars || iface->getEntryState() == 0)
        return;
    vars->setInt(tagkey::MagLt1, 0);
    vars->setInt(tagkey::Percep1, 0);
    vars->setInt(tagkey::MagState1, 0);
    vars->setInt(tagkey::XCState, vars->intValue(tagkey::XCState) & 1);
    if (party)
        for (int i = 0; i < party->getCount(); ++i)
            if (bl3dPartyChar* m = party->getMember(i)) {
                m->getStatBlock()->changeMods(1);
                m->getStatBlock()->recompute();
            }
    iface->calcLight();
    iface->buildPercepPane();
    iface->calcXC();
    endTrapEffect(iface);
}

void Map_C::darknessTrap(Interface_C* iface)
{
    TagList_C* vars = worldVars(iface);
    if (!vars || iface->getEntryState() == 0)
        return;
    vars->setInt(tagkey::MagLt1, 0);
    vars->setInt(tagkey::MunLt1, 0);
    iface->calcLight();
    endTrapEffect(iface);
}
