#include "town/Event_1002.h"

#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/StatBlock.h"
#include "world/PaneText.h"
#include "town/TownPrices.h"
#include "world/Interface.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int HEAL_PRICE_PER_POINT = 5;
constexpr int RAISE_PRICE_PER_LEVEL = 500;
constexpr int SERVICE_TICKS = 30;
constexpr int LEVEL_GAIN_TICKS = 60;
constexpr int64_t TITHE_PER_LUCK = 500;
constexpr uint32_t TITHE_DAYS_TICKS = 40320;
constexpr int32_t TITHE_MOD_TYPE = 7;
constexpr int POISON_EFFECT = 1;
constexpr int32_t REDEEMER_CLASSES = 0x20;
constexpr int32_t MEDITATING_CLASSES = 0x18;
constexpr int TITHE_INPUT_Y = 615;

const char* const SHAME = "%s turns away in embarrassment as %s realizes %s does not have enough funds!";

bool isLiving(const bl3dPartyChar* m) { return m && m->getCurHP() > 0; }

int64_t missingHP(const bl3dPartyChar& m) { return std::max<int64_t>(0, int64_t(m.getMaxHP()) - m.getCurHP()); }

} // namespace

// One of the five cures of a condition: its key in the healing menu, the
// condition bit, the price a level, its states and texts, and the stat
// block's cure (none for poison, whose effects are removed instead).
struct Event_1002_C::Cure_S {
    int key;
    int32_t bit;
    int64_t pricePerLevel;
    int choose;
    int notAfflicted() const { return choose + kCureNotAfflicted; }
    int offer() const { return choose + kCureOffer; }
    int shortOfGold() const { return choose + kCureShort; }
    int done() const { return choose + kCureDone; }
    bool otherPays;
    void (bl3dStatBlock::*cure)();
    const char* askText;
    const char* notText;
    const char* offerText;
    const char* doneText;
};

const Event_1002_C::Cure_S* Event_1002_C::cureTable(size_t& count)
{
    static const Event_1002_C::Cure_S kCures[] = {
        {'p', COND_POISONED, 10, POISON_WHO, false, nullptr, "Who requires curing?", "%s is not poisoned!",
         "To cure %s will cost %lld gold.\nWill you pay?", "%s is cured!"},
        {'b', COND_BLIND, 15, BLIND_WHO, false, &bl3dStatBlock::cureBlind, "Who is blinded?",
         "%s can see well enough!", "To restore sight to %s will cost %lld gold.\nWill you pay?",
         "%s can see again!"},
        {'l', COND_WITHERED, 25, LIMBS_WHO, false, &bl3dStatBlock::cureWithered,
         "Who requires the restoration of limbs?", "%s has no withered limbs!",
         "To restore %s will cost %lld gold.\nWill you pay?", "%s is restored!"},
        {'a', COND_AGED, 30, AGING_WHO, false, &bl3dStatBlock::cureAged, "Who is unnaturally aged?",
         "%s has earned all %s years!", "To revert %s will cost %lld gold.\nWill you pay?",
         "%s is young once more!"},
        {'s', COND_STONE, 50, STONE_WHO, true, &bl3dStatBlock::cureStone, "Who requires reanimation?",
         "%s is animate already!", "To reanimate %s will cost %lld gold.\nWho will pay?",
         "%s is no longer a statue!"},
    };
    count = sizeof kCures / sizeof kCures[0];
    return kCures;
}

Event_1002_C::Event_1002_C(const EventParams_S* params) : Building_C(params) {}

int64_t Event_1002_C::partyHealPrice()
{
    int64_t total = 0;
    for (int i = 0; party && i < party->getCount(); ++i)
        if (const bl3dPartyChar* m = party->getMember(i); isLiving(m))
            total += HEAL_PRICE_PER_POINT * missingHP(*m);
    return total;
}

const Event_1002_C::Cure_S* Event_1002_C::cureChosenIn(int state)
{
    size_t n = 0;
    const Cure_S* cures = cureTable(n);
    for (size_t i = 0; i < n; ++i)
        if (cures[i].choose == state)
            return &cures[i];
    return nullptr;
}

const Event_1002_C::Cure_S* Event_1002_C::cureOfferedIn(int state)
{
    size_t n = 0;
    const Cure_S* cures = cureTable(n);
    for (size_t i = 0; i < n; ++i)
        if (cures[i].offer() == state)
            return &cures[i];
    return nullptr;
}

const Event_1002_C::Cure_S* Event_1002_C::cureKeyed(int sym)
{
    size_t n = 0;
    const Cure_S* cures = cureTable(n);
    for (size_t i = 0; i < n; ++i)
        if (cures[i].key == sym)
            return &cures[i];
    return nullptr;
}

const char* Event_1002_C::closedText() const
{
    return "Our humble order appologizes with the utmost respect, but the Temple is now closed to the public that we "
           "might pursue those rituals reserved for members of our Order alone.  Please return in the morning to "
           "worship in reverence and peace.";
}

// --- texts -------------------------------------------------------------------------

bool Event_1002_C::isMessage() const
{
    switch (state_) {
    case HEAL_DEAD: case HEAL_NOT_HURT: case HEAL_SHORT: case HEALED: case RAISE_ALIVE: case PAYER_SHORT:
    case RAISED: case REDEEMER_REFUSED: case REDEEMER_NOT_READY: case REDEEMER_SHORT: case REDEEMER_GAINED:
    case MEDITATE_REFUSED: case MEDITATE_NOT_READY: case MEDITATE_SHORT: case MEDITATE_GAINED: case TITHE_SHORT:
    case TITHED: case DECLINED: case GAIN_DECLINED: case PARTY_HEALED: case REDEEMER_RANK: case MEDITATE_RANK:
        return true;
    default: break;
    }
    size_t n = 0;
    const Cure_S* cures = cureTable(n);
    for (size_t i = 0; i < n; ++i)
        if (state_ == cures[i].notAfflicted() || state_ == cures[i].shortOfGold() || state_ == cures[i].done())
            return true;
    return false;
}

std::string Event_1002_C::stateText() const
{
    char buf[512];
    const char* patient = patient_ ? patient_->getName() : "";
    auto named = [&](const char* fmt) {
        std::snprintf(buf, sizeof buf, fmt, patient);
        return std::string(buf);
    };
    auto priced = [&](const char* fmt, int64_t price) {
        std::snprintf(buf, sizeof buf, fmt, patient, static_cast<long long>(price));
        return std::string(buf);
    };
    auto shame = [&](const bl3dPartyChar* who) {
        std::snprintf(buf, sizeof buf, SHAME, who ? who->getName() : "", who ? who->pronoun(0) : "",
                      who ? who->pronoun(0) : "");
        return std::string(buf);
    };
    auto price = [&](const char* fmt) {
        std::snprintf(buf, sizeof buf, fmt, static_cast<long long>(amount_));
        return std::string(buf);
    };
    switch (state_) {
    case HEAL_WHO: return "Who requires healing?";
    case HEAL_DEAD:
        return named("%s is beyond the abilities of our common healers - perhaps you should pray for Resurrection?");
    case HEAL_NOT_HURT:
        return named("%s does not require our services!  Please make way for those who are truly injured.");
    case HEAL_OFFER:
        return priced("To heal %s fully will cost %lld gold.\nWill you pay?", HEAL_PRICE_PER_POINT * amount_);
    case HEAL_SHORT: return shame(patient_);
    case HEALED: return named("%s is miraculously healed!");
    case RAISE_WHO: return "Who wishes resurrection?";
    case RAISE_ALIVE:
        return named("%s is already quite animate!  Please make way for those who truly require our services.");
    case RAISE_OFFER: return priced("To revive %s will cost %lld gold.\nWho will pay?", amount_);
    case PAYER_SHORT: return shame(payer_);
    case RAISED:
        return named("After many prayers and repeated invocation of the forces of Life, %s is restored!");
    case REDEEMER_WHO: return "Which of you wishes to commune with the great Redeemer?";
    case REDEEMER_REFUSED:
        return "The Holy Redeemer does not accept those not of the order.  Please seek enlightenment in your own way.";
    case REDEEMER_NOT_READY:
        return "Your time with the Redeemer leaves you only with the knowledge that you must continue your quest "
               "before enlightenment will be possible.";
    case REDEEMER_OFFER:
        return price("Enlightenment comes to those who properly support the temple.  A donation of %lld gold is "
                     "suggested...\nDo you donate?");
    case REDEEMER_SHORT:
        return "Your desire to support the holy order is commendable, but you do not seem to have the funds.  Perhaps "
               "you can return when you are capable of expressing your support adequately?";
    case REDEEMER_GAINED: return "Your time with the Redeemer grants you insight, and you gain a level!";
    case REDEEMER_RANK:
        return "Your time with the Redeemer grants you great insight, and you advance along your Path!";
    case MEDITATE_WHO: return "Which of you wishes to meditate in our sanctuary?";
    case MEDITATE_REFUSED:
        return "Though your time in the sanctuary is calming and peaceful, you gain no insight.  Perhaps you should "
               "seek another method of instruction?";
    case MEDITATE_NOT_READY:
        return "Your time at peace with the world leaves you with the certain knowledge that further exploits are "
               "required before advancement will be possible.";
    case MEDITATE_OFFER:
        return price("Just as you're about to obtain wisdom, an acolyte approaches you.\nHe requests a donation, "
                     "suggesting %lld gold...\nDo you donate?");
    case MEDITATE_SHORT:
        return "You find that you do not have the funds you thought.  Your guilt at being unable to support the order "
               "prevents you from gaining any further insight.";
    case MEDITATE_GAINED:
        return "Your time at peace with yourself and the world grants you sapience, and you gain a level!";
    case MEDITATE_RANK:
        return "Your time at peace with yourself and the world grants you deep knowledge, and you advance in your "
               "Path!";
    case GAIN_DECLINED:
        return "Your guilt at choosing not to support such a respected order prevents you from gaining any wisdom.";
    case TITHE_WHO: return "Who wishes to tithe to the order?";
    case TITHE_INPUT: return "How much would you like to donate?";
    case TITHE_SHORT: return "You cannot tithe more than you have!";
    case TITHED: return "The order thanks you for your generous gift.\nMay the blessings of the Redeemer go with you.";
    case DECLINED: return "Very well - may the peace and glory of the Redeemer be with you.";
    case PARTY_OFFER: return price("To heal the wounds of the entire party will cost %lld gold.\nWho will pay?");
    case PARTY_HEALED: return "The entire party is healed!";
    default: break;
    }
    size_t n = 0;
    const Cure_S* cures = cureTable(n);
    for (size_t i = 0; i < n; ++i) {
        const Cure_S& c = cures[i];
        if (state_ == c.choose)
            return c.askText;
        if (state_ == c.offer())
            return priced(c.offerText, amount_);
        if (state_ == c.shortOfGold())
            return shame(c.otherPays ? payer_ : patient_);
        if (state_ == c.done())
            return named(c.doneText);
        if (state_ == c.notAfflicted()) {
            std::snprintf(buf, sizeof buf, c.notText, patient, patient_ ? patient_->pronoun(2) : "");
            return buf;
        }
    }
    return "";
}

// --- drawing -----------------------------------------------------------------------

void Event_1002_C::drawState(PaneText_C& pane)
{
    switch (state_) {
    case MENU:
        pane.wrapped(1, "Welcome to our humble temple.");
        pane.wrapped(3, "How may we assist you in your valiant quest?\n");
        pane.line(7, "(H)eal an Adventurer", 'h');
        pane.line(8, "(V)isit with the Redeemer", 'v');
        pane.line(10, "(M)editate on the truths of life", 'm');
        pane.line(12, "(T)ithe to the Temple", 't');
        pane.line(-1, "(F1-F8) to View");
        pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        return;
    case HEALING_MENU:
        pane.wrapped(1, "Which of our healing services do you require?");
        pane.line(4, "(H)eal Party", 'h');
        pane.line(5, "Heal (W)ounds", 'w');
        pane.line(6, "Cure (P)oison", 'p');
        pane.line(7, "Remove (B)lindness", 'b');
        pane.line(8, "Restore (L)imbs", 'l');
        pane.line(9, "Revert (A)ging", 'a');
        pane.line(10, "Reanimate (S)tone", 's');
        pane.line(11, "(R)esurrect the Dead", 'r');
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        return;
    case TITHE_INPUT: {
        pane.wrapped(1, stateText().c_str());
        const std::string input = tithe_ + "_";
        glColor3f(0, 0, 0);
        pane.text().printStr(pane.left(), TITHE_INPUT_Y, input.c_str());
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        return;
    }
    default: break;
    }
    const std::string text = stateText();
    pane.wrapped(1, text.c_str());
    if (isMessage()) {
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        return;
    }
    const Cure_S* cure = cureOfferedIn(state_);
    const bool yesNo = state_ == HEAL_OFFER || state_ == REDEEMER_OFFER || state_ == MEDITATE_OFFER
                       || (cure && !cure->otherPays);
    if (yesNo) {
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        return;
    }
    // A choice of a member: who is served, or who pays.
    pane.line(-1, "(F1-F8) for Character");
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

// --- keys --------------------------------------------------------------------------

void Event_1002_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case MENU: menuKey(sym); return;
    case HEALING_MENU: healingMenuKey(sym); return;
    case TITHE_INPUT: titheKey(sym); return;
    case RAISE_OFFER:
    case PARTY_OFFER: payerKey(sym); return;
    case HEAL_OFFER:
    case REDEEMER_OFFER:
    case MEDITATE_OFFER: yesNoKey(sym); return;
    default: break;
    }
    if (const Cure_S* offered = cureOfferedIn(state_)) {
        if (offered->otherPays)
            payerKey(sym);
        else
            yesNoKey(sym);
        return;
    }
    // The states that choose the member to serve.
    const Cure_S* cure = cureChosenIn(state_);
    if (sym == SDLK_ESCAPE) {
        setState(cure ? HEALING_MENU : MENU);
        return;
    }
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    if (cure) {
        cureWhoKey(*cure, *m);
        return;
    }
    switch (state_) {
    case HEAL_WHO: healWhoKey(*m); break;
    case RAISE_WHO: raiseWhoKey(*m); break;
    case REDEEMER_WHO:
    case MEDITATE_WHO: gainWhoKey(*m); break;
    case TITHE_WHO:
        if (!isLiving(m))
            return;
        patient_ = m;
        tithe_.clear();
        setState(TITHE_INPUT);
        break;
    default: break;
    }
}

void Event_1002_C::menuKey(int sym)
{
    switch (sym) {
    case 'h': setState(HEALING_MENU); return;
    case 'v': setState(REDEEMER_WHO); return;
    case 'm': setState(MEDITATE_WHO); return;
    case 't': setState(TITHE_WHO); return;
    case SDLK_ESCAPE: leave(); return;
    default: break;
    }
    showSheet(sym);
}

void Event_1002_C::healingMenuKey(int sym)
{
    switch (sym) {
    case 'h':
        amount_ = partyHealPrice();
        setState(PARTY_OFFER);
        return;
    case 'w': setState(HEAL_WHO); return;
    case 'r': setState(RAISE_WHO); return;
    case SDLK_ESCAPE: setState(MENU); return;
    default: break;
    }
    if (const Cure_S* cure = cureKeyed(sym))
        setState(cure->choose);
}

void Event_1002_C::healWhoKey(bl3dPartyChar& m)
{
    patient_ = &m;
    if (m.getCurHP() <= 0) {
        setState(HEAL_DEAD);
    } else if (m.getCurHP() >= m.getMaxHP()) {
        setState(HEAL_NOT_HURT);
    } else {
        amount_ = missingHP(m);
        setState(HEAL_OFFER);
    }
}

void Event_1002_C::raiseWhoKey(bl3dPartyChar& m)
{
    patient_ = &m;
    if (m.getCurHP() > 0) {
        setState(RAISE_ALIVE);
        return;
    }
    amount_ = int64_t(RAISE_PRICE_PER_LEVEL) * m.getLevel();
    setState(RAISE_OFFER);
}

void Event_1002_C::gainWhoKey(bl3dPartyChar& m)
{
    patient_ = &m;
    const bool redeemer = state_ == REDEEMER_WHO;
    if (!m.isClass(redeemer ? REDEEMER_CLASSES : MEDITATING_CLASSES)) {
        setState(redeemer ? REDEEMER_REFUSED : MEDITATE_REFUSED);
    } else if (!m.levelUp(false)) {
        setState(redeemer ? REDEEMER_NOT_READY : MEDITATE_NOT_READY);
    } else {
        amount_ = levelGainPrice(m.getLevel());
        setState(redeemer ? REDEEMER_OFFER : MEDITATE_OFFER);
    }
}

void Event_1002_C::cureWhoKey(const Cure_S& cure, bl3dPartyChar& m)
{
    patient_ = &m;
    if ((m.getConditions() & cure.bit) == 0) {
        setState(cure.notAfflicted());
        return;
    }
    amount_ = cure.pricePerLevel * m.getLevel();
    setState(cure.offer());
}

// The offers that a living member chosen with F1-F8 pays: resurrection, the
// whole party's wounds and reanimation.
void Event_1002_C::payerKey(int sym)
{
    const Cure_S* cure = cureOfferedIn(state_);
    if (sym == SDLK_ESCAPE) {
        setState(state_ == RAISE_OFFER ? DECLINED : HEALING_MENU);
        return;
    }
    bl3dPartyChar* payer = memberForKey(sym);
    if (!isLiving(payer))
        return;
    payer_ = payer;
    if (!money::pay(*payer, amount_)) {
        setState(cure ? cure->shortOfGold() : PAYER_SHORT);
        return;
    }
    if (cure) {
        applyCure(*cure);
        setState(cure->done());
    } else if (state_ == RAISE_OFFER) {
        if (patient_)
            patient_->changeHP(saturate32(int64_t(1) - patient_->getCurHP()));
        passTime(SERVICE_TICKS);
        setState(RAISED);
    } else {
        for (int i = 0; party && i < party->getCount(); ++i)
            if (bl3dPartyChar* m = party->getMember(i); isLiving(m))
                m->changeHP(m->getMaxHP());
        setState(PARTY_HEALED);
    }
}

// The offers that the patient pays: y or n.
void Event_1002_C::yesNoKey(int sym)
{
    const bool levelGain = state_ == REDEEMER_OFFER || state_ == MEDITATE_OFFER;
    if (sym == 'n') {
        setState(levelGain ? GAIN_DECLINED : DECLINED);
        return;
    }
    if (sym != 'y' || !patient_)
        return;
    if (levelGain) {
        gainLevel();
        return;
    }
    const Cure_S* cure = cureOfferedIn(state_);
    const int64_t price = cure ? amount_ : HEAL_PRICE_PER_POINT * amount_;
    if (!money::pay(*patient_, price)) {
        setState(cure ? cure->shortOfGold() : HEAL_SHORT);
        return;
    }
    if (cure) {
        applyCure(*cure);
        setState(cure->done());
        return;
    }
    patient_->changeHP(saturate32(amount_));
    passTime(static_cast<int>(amount_ / 4));
    setState(HEALED);
}

void Event_1002_C::gainLevel()
{
    const bool redeemer = state_ == REDEEMER_OFFER;
    if (!money::pay(*patient_, amount_)) {
        setState(redeemer ? REDEEMER_SHORT : MEDITATE_SHORT);
        return;
    }
    patient_->levelUp(true);
    passTime(LEVEL_GAIN_TICKS);
    // A price over a hundred a level is the price of a rank.
    const int64_t level = patient_->getLevel();
    const bool rank = level > 0 && uint64_t(amount_) / uint64_t(level) > 100;
    if (redeemer)
        setState(rank ? REDEEMER_RANK : REDEEMER_GAINED);
    else
        setState(rank ? MEDITATE_RANK : MEDITATE_GAINED);
}

void Event_1002_C::applyCure(const Cure_S& cure)
{
    if (!patient_)
        return;
    // Only the member's own condition goes here; the modifiers that lay the
    // condition on for a time go with the cure below.
    patient_->clearBaseConditions(cure.bit);
    bl3dStatBlock* stats = patient_->getStatBlock();
    if (cure.cure)
        (stats->*cure.cure)();
    else
        patient_->removeEffects(POISON_EFFECT);
    stats->recompute();
    passTime(SERVICE_TICKS);
}

void Event_1002_C::titheKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        setState(MENU);
        return;
    }
    if (sym >= '0' && sym <= '9') {
        if (int(tithe_.size()) < kTitheDigits) {
            tithe_.push_back(char(sym));
            vell::pushRedraw();
        }
        return;
    }
    if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        if (!tithe_.empty()) {
            tithe_.pop_back();
            vell::pushRedraw();
        }
        return;
    }
    if (sym != SDLK_RETURN || tithe_.empty() || !patient_)
        return;
    amount_ = std::strtoll(tithe_.c_str(), nullptr, 10);
    if (!money::pay(*patient_, amount_)) {
        setState(TITHE_SHORT);
        return;
    }
    const int64_t luck = amount_ / TITHE_PER_LUCK;
    if (luck >= 1)
        patient_->getStatBlock()->addModifier(STAT_LK, static_cast<int32_t>(luck), TITHE_DAYS_TICKS,
                                              TITHE_MOD_TYPE, 0, 0);
    setState(TITHED);
}
