#include "town/Event_1000.h"

#include "actions/Songs.h"
#include "core/ArchiveFile.h"
#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "town/AddChar.h"
#include "town/BanishChar.h"
#include "town/CreateChar.h"
#include "world/PaneText.h"
#include "town/TownPrices.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

#include <cinttypes>
#include <cstdio>

namespace {

constexpr int32_t HALL_EXIT_X = 14;
constexpr int32_t HALL_EXIT_Y = 24;
constexpr int32_t HALL_EXIT_FACING = 270;
constexpr int TRAINING_TICKS = 60;
constexpr int32_t MONSTER_RACE = 10;

// Stores the character in the roster; false when there is no archive or it
// refused the write.
bool storeInHall(const bl3dPartyChar& member)
{
    if (!saveFile)
        return false;
    DirHandle_C hall = saveFile->openDir("hall");
    return hall && !hall->isBroken() && hall->store(member);
}

} // namespace

Event_1000_C::Event_1000_C(const EventParams_S* params)
    : Building_C(params, HALL_EXIT_X, HALL_EXIT_Y, HALL_EXIT_FACING)
{
}

// --- drawing -----------------------------------------------------------------------

void Event_1000_C::drawState(PaneText_C& pane)
{
    char buf[256];
    switch (state_) {
    case MENU:
        pane.wrapped(1, "Welcome to the Hall of Adventurers\n");
        pane.wrapped(4, "(G)ive welcome to an Adventurer", 'g');
        pane.wrapped(6, "(L)et rest an Adventurer", 'l');
        pane.wrapped(8, "(R)ecruit a new Adventurer", 'r');
        pane.wrapped(10, "(B)anish an Adventurer from the Realm", 'b');
        pane.wrapped(13, "(T)rain a valiant Adventurer", 't');
        pane.wrapped(15, "(V)enture forth and seek thy fortune", 'v');
        pane.wrapped(17, "(Q)uit the quest for a time", 'q');
        return;
    case REST_WHO:
    case TRAIN_WHO:
        if (state_ == REST_WHO)
            pane.line(1, "Which Member?");   // not wrapped
        else
            pane.wrapped(1, "Who would like to train?");
        pane.wrapped(-1, "(F1-F8) for Character");
        pane.wrapped(0, "(ESC) to Cancel", SDLK_ESCAPE);
        return;
    case OFFER:
    case BREAKTHROUGH_OFFER:
        std::snprintf(buf, sizeof buf,
                      state_ == OFFER ? "The use of our facility will cost you %" PRId64 " gold.\nWill you pay?"
                                      : "You appear on the verge of a breakthrough in your training.  Such heavy use "
                                        "of our facilities as you require will cost you %" PRId64
                                        " gold.\nWill you pay?",
                      cost_);
        pane.wrapped(1, buf);
        pane.wrapped(-1, "(Y)es", 'y');
        pane.wrapped(0, state_ == OFFER ? "N)o" : "(N)o", 'n');
        return;
    default:
        break;
    }
    const char* message = "";
    switch (state_) {
    case NOT_TAUGHT:
        message = "You must seek out your own guild - we have not the materials to train you here.";
        break;
    case LEVEL_GAINED: message = "After much hard training, you gain a level!"; break;
    case NOT_READY:
        message = "You have much yet to learn before attaining another level of mastery.";
        break;
    case DECLINED:
        message = "We're sorry to hear that.  Come back anytime you wish to PAY for our facilities.";
        break;
    case NO_FUNDS:
        message = "You don't appear to have the funds to make good on the deal.  Come back when you've got more to "
                  "offer.";
        break;
    case BREAKTHROUGH_GAINED:
        message = "After much hard work, you have a breakthrough, and advance in your path!";
        break;
    case MONSTER_REFUSED: message = "Monsters and illusions are not welcome to stay here!"; break;
    case STORE_FAILED: message = failure_.c_str(); break;
    default: return;
    }
    pane.wrapped(1, message);
    pane.wrapped(0, "(SPACE) to Continue", SDLK_SPACE);
}

// --- keys --------------------------------------------------------------------------

void Event_1000_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case MENU: menuKey(sym); break;
    case REST_WHO: restKey(sym); break;
    case TRAIN_WHO: trainKey(sym); break;
    case OFFER:
    case BREAKTHROUGH_OFFER: offerKey(sym); break;
    default: break;
    }
}

bool Event_1000_C::isMessage() const
{
    switch (state_) {
    case NOT_TAUGHT:
    case LEVEL_GAINED:
    case NOT_READY:
    case DECLINED:
    case NO_FUNDS:
    case BREAKTHROUGH_GAINED:
    case MONSTER_REFUSED:
    case STORE_FAILED: return true;
    default: return false;
    }
}

void Event_1000_C::menuKey(int sym)
{
    const int count = party ? party->getCount() : 0;
    switch (sym) {
    case 'g':
        if (party && count < MAX_PARTY)
            welcome();
        break;
    case 'l':
        if (count > 0)
            setState(REST_WHO);
        break;
    case 'r': recruit(); break;
    case 'b': BanishChar_C::run(iface_, this); break;
    case 't':
        if (count > 0)
            setState(TRAIN_WHO);
        break;
    case 'v':
        if (party && party->anyoneAlive())
            leave();
        break;
    case 'q':
        iface_->quit(0);
        setState(kDone);
        break;
    default: showSheet(sym); break;
    }
}

void Event_1000_C::welcome()
{
    std::unique_ptr<bl3dPartyChar> joined = AddChar_C::run(iface_, this);
    if (joined && party->addMember(joined.get()))
        joined.release();
}

void Event_1000_C::recruit()
{
    std::unique_ptr<bl3dPartyChar> made = CreateChar_C::run(iface_, this);
    if (!made || storeInHall(*made))
        return;
    failure_ = std::string("The Hall's records could not be written, so ") + made->getName()
               + " could not be entered in the roster.";
    setState(STORE_FAILED);
}

void Event_1000_C::restKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        setState(MENU);
        return;
    }
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    if (m->getRace() == MONSTER_RACE) {
        setState(MONSTER_REFUSED);
        return;
    }
    if (m->isPlayingSong())
        endSongOutsideCombat();
    if (!storeInHall(*m)) {
        failure_ = std::string("The Hall's records could not be written, so ") + m->getName()
                   + " stays with the party.";
        setState(STORE_FAILED);
        return;
    }
    party->removeAt(memberSlotOfKey(sym));
    setState(MENU);
}

void Event_1000_C::trainKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        setState(MENU);
        return;
    }
    bl3dPartyChar* m = memberForKey(sym);
    if (!m || m->getCurHP() <= 0)
        return;
    member_ = m;
    if (!m->isClass(TRAINED_CLASSES)) {
        setState(NOT_TAUGHT);
        return;
    }
    if (!m->levelUp(false)) {
        setState(NOT_READY);
        return;
    }
    cost_ = levelGainPrice(m->getLevel());
    setState(isMilestoneLevel(int64_t(m->getLevel()) + 1) ? BREAKTHROUGH_OFFER : OFFER);
}

void Event_1000_C::offerKey(int sym)
{
    if (sym == 'n') {
        setState(DECLINED);
        return;
    }
    if (sym != 'y' || !member_)
        return;
    if (!money::pay(*member_, cost_)) {
        setState(NO_FUNDS);
        return;
    }
    const bool breakthrough = state_ == BREAKTHROUGH_OFFER;
    member_->levelUp(true);
    passTime(TRAINING_TICKS);
    setState(breakthrough ? BREAKTHROUGH_GAINED : LEVEL_GAINED);
}
