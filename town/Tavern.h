// Tavern_C: the generic tavern. A tavern sells six drinks, rents a room for
// the night, lets the party listen for rumours and buys tips from the
// barkeep; what the barkeep knows comes from the tavern's tip file
// (TavernTips_S). The five taverns (town/Taverns.h) give their type id,
// name, tip file and room price rule.
//
// A visit runs in the building frame (town/Building.h): sound "Tavern",
// picture "Tavern", the loop polls, 30 ticks pass on leaving. Entering is
// refused from 2:00 to 11:59; after every message a party still inside from
// 1:00 to 11:59 is turned out (the closed state).
//
// Money: prices are worked out in 64 bits and paid through the payer's gold
// rules (the party's pool when gold is shared); a price that is negative or
// above what gold can hold is never paid; nothing is taken when the payer
// has too little.
//
// States: below (State), and the frame's closed state.
#pragma once
#include "town/Building.h"
#include "town/TavernTips.h"

#include <cstdint>
#include <string>

class bl3dPartyChar;

class Tavern_C : public Building_C {
public:
    enum State : int {
        MENU = 1,          // welcome
        DRINK_WHO = 2,     // who drinks
        DRINKS = 3,        // the drinks
        DRINK_OFFER = 4,   // pay for the drink?
        NO_CREDIT = 5,     // the drinker cannot pay
        // The drink's words, one state a drink in the order of the list.
        ALE = 6,
        IMPORTED_ALE = 7,
        WINE = 8,
        MEAD = 9,
        WHISKY = 10,
        TONGUE = 11,
        NO_DRINK = 12,     // the drink refused
        ROOM_WHO = 13,     // who pays the room
        NIGHT = 14,        // the night's rest
        ROOM_SHORT = 15,   // the room not paid
        RUMOUR = 16,
        TIP_WHO = 17,      // who tips
        TIP_AMOUNT = 18,   // the tip typed
        TIP_SHORT = 19,    // the tip not paid
        TIP_TOLD = 20,     // the barkeep's answer
    };
    static constexpr int kDrinkCount = 6;
    static constexpr int kMaxTipDigits = 8;
    static constexpr int kRestTicks = 1920;   // eight hours
    static constexpr int kListenTicks = 20;
    static constexpr int kTipTicks = 20;

    // Reads the tip file (a file that cannot be read leaves the barkeep with
    // nothing to tell).
    Tavern_C(const EventParams_S* params, const char* name, const char* tipFile);

    // Empties the tip amount, then runs the visit.
    int invoke(Interface_C* iface) override;

    // The room's price for the party's average level (integer division of
    // the members' levels); 100 a level unless the tavern says otherwise.
    virtual int64_t price(int64_t averageLevel) const { return averageLevel * 100; }

    // --- what the tavern does, apart from its screen ---------------------------
    // A drink's price (drink 0..5); -1 for no drink.
    static int64_t drinkPrice(int drink);
    // The drinker pays for the drink; false, nothing taken, when unpaid.
    static bool buyDrink(bl3dPartyChar& drinker, int drink);
    // The drink's work once it is drunk: songs for the song-playing class
    // (the Tongue fills them, and costs hit points of anyone: stat 6 - 20),
    // and its time on the clock.
    static void drinkEffect(bl3dPartyChar& drinker, int drink);
    // The room's price for the present party (0 members: level 0).
    int64_t roomPrice() const;
    // The payer pays the room; false, nothing taken, when unpaid.
    bool rentRoom(bl3dPartyChar& payer) const;
    // Eight hours pass; every living member regains half its missing hit
    // points and a quarter of its missing spell points; a party that would
    // wake before 6:00 sleeps on until then.
    static void restNight();
    // Listening: a rumour (one time in a thousand a free tip); time passes.
    void listen();
    // The tipper pays the amount the digits give; on payment the barkeep
    // answers (the text) and time passes. False, nothing taken, when unpaid.
    bool tip(bl3dPartyChar& tipper, const std::string& digits);

    const std::string& text() const { return text_; }
    const char* name() const { return name_.c_str(); }
    const TavernTips_S& tips() const { return tips_; }
    const std::string& amountDigits() const { return amount_; }

protected:
    const char* audioName() const override { return "Tavern"; }
    const char* pictureName() const override { return "Tavern"; }
    bool keepsHours() const override { return true; }
    bool isOpenAt(unsigned hour) const override { return hour < 2 || hour >= 12; }
    bool waitsForEvents() const override { return false; }
    const char* closedText() const override;

    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

private:
    // After a message: state 1 from noon to midnight and at 0:xx, else 99.
    void hourTest();
    // A living member for F1-F8, else null.
    static bl3dPartyChar* livingMemberFor(int sym);
    // A rumour's text (the fallback when there is none).
    std::string anyRumour() const;
    void keyAmount(int sym);

    TavernTips_S tips_;
    std::string name_;
    int64_t cost_ = 0;      // the drink's or room's price, or the tip paid
    int drink_ = 0;
    std::string text_;
    std::string amount_;    // the tip's digits typed
    bl3dPartyChar* member_ = nullptr;
};
