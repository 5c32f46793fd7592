// Event_1002_C: the Temple, the town building that heals. It heals wounds
// (one member or the whole party), raises the dead, cures poison, blindness,
// withered limbs, unnatural aging and stone, grants level gains to its two
// groups of classes against a donation (the Redeemer's order, class bit
// 0x20; the meditating classes, 0x18), and takes tithes that raise a
// member's luck for seven days.
//
// It runs in the building frame (town/Building.h): sound environment
// "Temple", picture "Temple", open from 6:00 until midnight, waits for each
// event, 30 ticks on leaving. Every visit starts in the menu (or closed).
//
// Prices depend on the member's level or on the hit points missing; they
// are worked out in 64 bits and paid through the payer's gold rules (the
// party's pool when gold is shared), so a short purse changes nothing. The
// services take game time as each says: healing wounds a tick per four
// points healed, a cure or a resurrection 30 ticks, a level gain 60.
//
// Curing a condition clears only the member's own condition bit and the
// timed modifiers that lay the same condition on; a timed condition is
// never made permanent by it.
#pragma once
#include "town/Building.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class bl3dPartyChar;

class Event_1002_C : public Building_C {
public:
    enum State : int {
        MENU = 1,
        HEAL_WHO = 2,
        HEAL_DEAD = 3,
        HEAL_NOT_HURT = 4,
        HEAL_OFFER = 5,
        HEAL_SHORT = 6,
        HEALED = 7,
        RAISE_WHO = 8,
        RAISE_ALIVE = 9,
        RAISE_OFFER = 10,
        PAYER_SHORT = 11,
        RAISED = 12,
        REDEEMER_WHO = 13,
        REDEEMER_REFUSED = 14,
        REDEEMER_NOT_READY = 15,
        REDEEMER_OFFER = 16,
        REDEEMER_SHORT = 17,
        REDEEMER_GAINED = 18,
        MEDITATE_WHO = 19,
        MEDITATE_REFUSED = 20,
        MEDITATE_NOT_READY = 21,
        MEDITATE_OFFER = 22,
        MEDITATE_SHORT = 23,
        MEDITATE_GAINED = 24,
        TITHE_WHO = 25,
        TITHE_INPUT = 26,
        TITHE_SHORT = 27,
        TITHED = 28,
        DECLINED = 29,
        GAIN_DECLINED = 30,
        HEALING_MENU = 31,
        POISON_WHO = 32,
        BLIND_WHO = 37,
        LIMBS_WHO = 47,
        AGING_WHO = 52,
        STONE_WHO = 57,
        PARTY_OFFER = 62,
        PARTY_HEALED = 63,
        REDEEMER_RANK = 70,
        MEDITATE_RANK = 71,
    };
    // A cure's states follow its first (POISON_WHO, BLIND_WHO, LIMBS_WHO,
    // AGING_WHO, STONE_WHO: who is to be cured) at these steps: the chosen
    // member is not afflicted, the offer, the payer is short of gold, cured.
    static constexpr int kCureNotAfflicted = 1;
    static constexpr int kCureOffer = 2;
    static constexpr int kCureShort = 3;
    static constexpr int kCureDone = 4;
    static constexpr int TYPE_ID = EVENT_TEMPLE;
    static constexpr int kOpensAt = 6;
    static constexpr int kTitheDigits = 8;

    explicit Event_1002_C(const EventParams_S* params);

    int typeId() const override { return TYPE_ID; }

    // The price of the offer shown (the missing hit points while healing
    // wounds), or the tithe.
    int64_t getAmount() const { return amount_; }
    // The tithe typed so far.
    const std::string& titheDigits() const { return tithe_; }

    // The price of the whole party's wounds: 5 gold a missing point of
    // every living member.
    static int64_t partyHealPrice();

protected:
    const char* audioName() const override { return "Temple"; }
    const char* pictureName() const override { return "Temple"; }
    bool keepsHours() const override { return true; }
    bool isOpenAt(unsigned hour) const override { return hour >= unsigned(kOpensAt); }
    const char* closedText() const override;
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

private:
    struct Cure_S;
    static const Cure_S* cureTable(size_t& count);
    static const Cure_S* cureChosenIn(int state);
    static const Cure_S* cureOfferedIn(int state);
    static const Cure_S* cureKeyed(int sym);

    void menuKey(int sym);
    void healingMenuKey(int sym);
    void healWhoKey(bl3dPartyChar& m);
    void raiseWhoKey(bl3dPartyChar& m);
    void gainWhoKey(bl3dPartyChar& m);
    void cureWhoKey(const Cure_S& cure, bl3dPartyChar& m);
    void payerKey(int sym);
    void yesNoKey(int sym);
    void titheKey(int sym);
    void gainLevel();
    void applyCure(const Cure_S& cure);
    bool isMessage() const override;
    // The text of a state with the names and pronouns it needs filled in.
    std::string stateText() const;

    bl3dPartyChar* patient_ = nullptr;   // served (not owned)
    bl3dPartyChar* payer_ = nullptr;     // pays where another may (not owned)
    int64_t amount_ = 0;
    std::string tithe_;                  // digits typed
};
