#include "events/Event_4001.h"

#include "actions/Attributes.h"
#include "actions/Spell.h"
#include "audio/MasterAudio.h"
#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "events/Chest.h"
#include "platform/Random.h"
#include "rules/Inventory.h"
#include "rules/Item.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/SavingThrow.h"
#include "rules/TagKeys.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/GameClock.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

#include <cstdio>

namespace {

constexpr int32_t PICKING_CLASSES = 0xC2;
constexpr int32_t BASHING_CLASS = 0x01;
constexpr int TICKS_AT_CHEST = 60;
// Where the item list ends: line -5, counted up from the pane's bottom.
constexpr int LIST_BOTTOM_LINE = -5;

int dice(int count, int sides)
{
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += vell::gameRand() % sides + 1;
    return sum;
}

// A damage roll halved (toward zero) when rand() % 25 falls below the stat.
int trapDamage(bl3dPartyChar& m, int count, int sides, int stat, bool* halved)
{
    int damage = dice(count, sides);
    *halved = vell::gameRand() % 25 < m.getStatBlock()->getCur(stat);
    if (*halved)
        damage /= 2;
    return damage;
}

} // namespace

Event_4001_C::Event_4001_C(const EventParams_S* params)
    : chest_(params ? params->chest : nullptr)
{
}

Event_4001_C::~Event_4001_C() { delete chest_; }

int Event_4001_C::trap() const
{
    if (!chest_ || chest_->trap < 1 || chest_->trap > TRAP_KINDS)
        return 0;
    return chest_->trap;
}

// --- life cycle --------------------------------------------------------------------

bool Event_4001_C::begin(Interface_C* iface)
{
    iface_ = iface;
    taker_ = nullptr;
    if (!chest_)
        chest_ = new Chest_S;
    if (!party || party->getCount() == 0) {
        std::fprintf(stderr, "WARNING: a chest with nobody in the party to face it is left where it is\n");
        state_ = DONE;
        return false;
    }
    if (chest_->trap < 0) {
        taker_ = party->getMember(0);
        state_ = OPENING;
        key(SDLK_SPACE);
    } else {
        state_ = MENU;
    }
    return true;
}

int Event_4001_C::invoke(Interface_C* iface)
{
    if (!begin(iface))
        return -999;
    // Left again only when it was entered: a music the sound packs lack
    // pops nobody else's.
    const bool pushedMusic = maserAudio.pushSpecAudio("Treasure", false) == 0;
    if (iface) {
        ModalLoop_C loop(state_, [this](const SDL_keysym& k) { key(k.sym); }, [this] { display(); });
        loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
        loop.run();
        iface->clearULPic();
    }
    if (pushedMusic)
        maserAudio.popSpecAudio();
    if (gameworld)
        gameworld->getClock().advance(TICKS_AT_CHEST, iface);
    itemList_.reset();
    if (state_ == LEFT_UNOPENED)
        return 1;
    if (state_ == DONE)
        return 0;
    return -999;
}

void Event_4001_C::setState(int state)
{
    state_ = state;
    vell::pushRedraw();
}

// --- keys ----------------------------------------------------------------------------

bl3dPartyChar* Event_4001_C::chosenMember(int sym, bool refuseStone) const
{
    const int slot = memberSlotOfKey(sym);
    if (slot < 0 || !party || slot >= party->getCount())
        return nullptr;
    bl3dPartyChar* m = party->getMember(slot);
    if (!m || m->getCurHP() <= 0 || (refuseStone && m->isStone()))
        return nullptr;
    return m;
}

void Event_4001_C::key(int sym)
{
    switch (state_) {
    case MENU: menuKey(sym); break;
    case WHO_TRIPS:
    case WHO_PICKS:
    case WHO_OPENS:
    case WHO_BASHES: {
        if (sym == SDLK_ESCAPE) {
            setState(MENU);
            break;
        }
        bl3dPartyChar* m = chosenMember(sym, state_ == WHO_PICKS);
        if (!m)
            break;
        taker_ = m;
        if (state_ == WHO_TRIPS)
            tripTrap(*m);
        else if (state_ == WHO_PICKS)
            tryLock(*m, PICKING_CLASSES, tagkey::LockPick, PICK_FAILED);
        else if (state_ == WHO_BASHES)
            tryLock(*m, BASHING_CLASS, tagkey::Bashing, BASH_FAILED);
        else if (trap() == 0)
            setState(OPENING);
        else
            spring();
        break;
    }
    case NOT_A_CASTER:
    case NO_TRIP_TRAP:
    case NO_ENERGY:
    case NO_SKILL:
    case PICK_FAILED:
    case BASH_FAILED:
        if (sym == SDLK_SPACE)
            setState(MENU);
        break;
    case FOUND:
    case REMAIN: openKey(sym); break;
    case NONE_REMAIN:
        if (sym == SDLK_SPACE)
            setState(DONE);
        break;
    case LEAVE_ITEMS:
        if (sym == 'y')
            setState(DONE);
        else if (sym == 'n')
            setState(REMAIN);
        break;
    case PACK_FULL:
        if (sym == SDLK_SPACE)
            setState(REMAIN);
        break;
    case TRAP_SPRUNG + TRAP_EXPLOSION:
        if (sym == SDLK_SPACE)
            setState(DONE);
        break;
    default:
        if (state_ > TRAP_SPRUNG && state_ <= TRAP_SPRUNG + TRAP_KINDS && sym == SDLK_SPACE)
            setState(OPENING);
        break;
    }
    if (state_ == OPENING)
        open();
}

void Event_4001_C::menuKey(int sym)
{
    switch (sym) {
    case 'p': setState(WHO_PICKS); break;
    case 'c': setState(WHO_TRIPS); break;
    case 'o': setState(WHO_OPENS); break;
    case 'b': setState(WHO_BASHES); break;
    case 'l': setState(LEFT_UNOPENED); break;
    default: break;
    }
}

void Event_4001_C::tripTrap(bl3dPartyChar& m)
{
    if (!m.isClass(CLASS_CASTERS)) {
        setState(NOT_A_CASTER);
        return;
    }
    const auto* spell = dynamic_cast<const bl3dSpell*>(m.actions2()->getSpellByCode("TRTR"));
    if (!spell) {
        setState(NO_TRIP_TRAP);
        return;
    }
    if (m.getCurSP() < spell->spCost()) {
        setState(NO_ENERGY);
        return;
    }
    m.setCurSP(m.getCurSP() - spell->spCost());
    setState(OPENING);
}

void Event_4001_C::tryLock(bl3dPartyChar& m, int32_t classMask, const char* skill, int failState)
{
    if (!m.isClass(classMask)) {
        setState(NO_SKILL);
        return;
    }
    const int32_t ability = intAttribute(&m, skill);
    if (trap() == 0) {
        setState(OPENING);
        return;
    }
    const int lock = chest_->lock;
    if (vell::gameRand() % (lock + 25) + 1 <= ability) {
        setState(OPENING);
        return;
    }
    if (vell::gameRand() % 100 + 1 < (lock + 25 - ability) / 5)
        spring();
    else
        setState(failState);
}

void Event_4001_C::spring()
{
    const int kind = trap();
    setState(TRAP_SPRUNG + kind);
    poisoned_ = false;
    bl3dPartyChar& m = *taker_;
    bool halved = false;
    switch (kind) {
    case 1: m.changeHP(-trapDamage(m, 6, 4, STAT_DX, &halved)); break;
    case 2: m.changeHP(-trapDamage(m, 6, 6, STAT_CN, &halved)); break;
    case 3: m.changeHP(-trapDamage(m, 3, 4, STAT_DX, &halved)); break;
    case TRAP_EXPLOSION:
        for (int i = 0; i < party->getCount(); ++i) {
            bl3dPartyChar* each = party->getMember(i);
            int damage = dice(8, 8);
            if (rollElementResist(each, ELEMENT_FIRE))
                damage /= 2;
            each->changeHP(-damage);
        }
        chest_->items.deleteAll();
        chest_->gold = 0;
        break;
    case 5:
    case 6: {
        const bool strong = kind == 6;
        m.changeHP(-trapDamage(m, strong ? 6 : 3, 4, STAT_CN, &halved));
        const int32_t cn = m.getStatBlock()->getCur(STAT_CN);
        if (vell::gameRand() % 100 < (strong ? 100 : 50) - cn) {
            const uint32_t duration = (strong ? 40 : 20) + vell::gameRand() % 21;
            m.poison(duration, halved ? 2 : 4, strong ? 2 : 1, 0, 4, true);
        }
        poisoned_ = m.isPoisoned();
        break;
    }
    default: break;
    }
}

// --- the open chest ----------------------------------------------------------------

bool Event_4001_C::itemsRemain() const { return chest_->items.count() > 0; }

void Event_4001_C::open()
{
    rebuildList();
    if (!paid_ && taker_ && chest_->gold > 0)
        money::receive(*taker_, chest_->gold);
    paid_ = true;
    setState(FOUND);
}

void Event_4001_C::rebuildList()
{
    const int top = chest_->gold != 0 ? 5 : 4;
    if (iface_) {
        PaneText_C pane(*iface_);
        itemList_ = std::make_unique<ScrollInvList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(top),
                                                      pane.lineY(LIST_BOTTOM_LINE), 0, 0);
    } else {
        itemList_ = std::make_unique<ScrollInvList_C>(-1, -1, -1, -1, 0, 0);
    }
    RefStr_C name;
    for (int i = 0; i < chest_->items.count(); ++i) {
        const auto* item = static_cast<const bl3dItem*>(chest_->items.at(i));
        item->getDisplayName(name);
        const bool usable = taker_ && item->canUse(taker_);
        itemList_->addLine(name.c_str(), i, usable ? 0 : '@', true, 0);
    }
}

void Event_4001_C::openKey(int sym)
{
    const bool listed = itemList_ && itemList_->getNumLines() > 0;
    if (sym == SDLK_ESCAPE) {
        setState(itemsRemain() ? LEAVE_ITEMS : DONE);
    } else if (memberSlotOfKey(sym) >= 0) {
        const int slot = memberSlotOfKey(sym);
        if (!party || slot >= party->getCount())
            return;
        taker_ = party->getMember(slot);
        rebuildList();
        setState(itemsRemain() ? REMAIN : NONE_REMAIN);
    } else if (state_ == FOUND && !listed) {
        return;
    } else if (sym == 't') {
        take();
    } else if (sym == 'v') {
        if (iface_ && taker_) {
            viewTaker();
            vell::pushRedraw();
        }
    } else if (moveListByKey(itemList_.get(), sym, true)) {
        vell::pushRedraw();
    }
}

void Event_4001_C::take()
{
    if (!itemList_ || itemList_->selected() < 0 || !taker_)
        return;
    const int index = itemList_->selectedItem();
    ListObject_C* chosen = chest_->items.at(index);
    if (!chosen)
        return;
    if (!inv::hasRoom(*taker_, inv::worldLimits())) {
        setState(PACK_FULL);
        return;
    }
    ListObject_C* item = chest_->items.remove(chosen->getSerial());
    if (!item)
        return;
    taker_->getPack()->pushFront(item);
    if (itemsRemain()) {
        rebuildList();
        setState(REMAIN);
    } else {
        setState(NONE_REMAIN);
    }
}
