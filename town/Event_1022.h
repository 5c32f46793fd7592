// Event_1022_C: the Casino. One party member at a time wagers gold on the
// Wheel of Chance or the Bones of Luck; each game is one roll that the
// player's luck (current stat 7), two class bits and one race nudge.
//
// A visit runs in the building frame (town/Building.h): sound "Casino",
// picture "Casino", no hours, the loop polls, 60 ticks pass on leaving.
//
// Money: the wager is read from up to 38 typed digits in 64 bits (a wager
// beyond any purse is simply more than the player has); the player pays the
// wager and receives the payout once per game, through the player's gold
// rules (the party's pool when gold is shared). Gold never passes what it
// can hold: a payout that would is cut to fit, and the result says what
// was received.
//
// States: below (State).
#pragma once
#include "town/Building.h"

#include <cstdint>
#include <memory>
#include <string>

class Event_1022_C : public Building_C {
public:
    enum State : int {
        MENU = 1,          // choose a game
        WHEEL_WHO = 2,     // who spins the Wheel of Chance
        BONES_WHO = 3,     // who rolls the Bones of Luck
        WAGER = 4,         // the wager typed
        WON = 5,
        LOST = 6,
        CANNOT_PLAY = 7,   // the player cannot play
        NO_GOLD = 8,       // not enough gold for the wager
    };
    static constexpr int TYPE_ID = EVENT_CASINO;
    // The games, named by the state that asks who plays them.
    static constexpr int kWheel = WHEEL_WHO;
    static constexpr int kBones = BONES_WHO;
    static constexpr int kMaxWagerDigits = 38;
    static constexpr int kLeave = 60;

    explicit Event_1022_C(const EventParams_S* params);
    int typeId() const override { return TYPE_ID; }

    // Starts each visit with no player, no payout and an empty wager.
    int invoke(Interface_C* iface) override;

    // --- the games, apart from the screen -------------------------------------
    // The member in that place is awake, can see, is not stone and lives.
    static bool canPlay(int slot);
    // One game for the member in that place; the payout (0 lost).
    static int64_t spinWheel(int slot, int64_t wager);
    static int64_t rollBones(int slot, int64_t wager);
    // RETURN on the wager: reads the digits, and when the player has the
    // gold plays the game, takes the wager and gives the payout. The state
    // it leads to: WON, LOST, or NO_GOLD (nothing moved).
    int play(int slot, int game, const std::string& digits);

    int64_t wager() const { return wager_; }
    int64_t payout() const { return payout_; }
    int64_t received() const { return received_; }
    const std::string& wagerDigits() const { return digits_; }

protected:
    const char* audioName() const override { return "Casino"; }
    const char* pictureName() const override { return "Casino"; }
    int leaveTicks() const override { return kLeave; }
    bool waitsForEvents() const override { return false; }

    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

private:
    void keyWager(int sym);

    int64_t payout_ = 0;
    int64_t received_ = 0;
    int player_ = 0;
    int game_ = kWheel;
    int64_t wager_ = 0;
    std::string digits_;
};
