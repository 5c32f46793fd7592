// Event_1000_C: the Hall of Adventurers, the town building where the party
// meets the roster of stored adventurers (the save archive's "hall"
// directory): adventurers are recruited and stored here, welcomed from the
// roster into the party, let rest from the party into the roster, banished
// for good, and trained to their next level when no guild teaches their
// class. A party that died all together comes back here, and the quest is
// left for the title menu from here.
//
// It runs in the building frame (town/Building.h): sound environment
// "AdvHall", picture "Adv_Hall", no hours, waits for each event, 30 ticks on
// leaving. It is not left by ESC: 'v' ventures forth through the exit (the
// square's, or (14, 24) facing 270 without a record) and 'q' ends the main
// loop for the title menu. Every visit starts in the menu.
//
// The roster changes go to the archive's working state; they become
// permanent when the quest is saved. A member is taken out of the party
// only after its record was stored: when the archive refuses the write the
// member stays and the player is told.
#pragma once
#include "town/Building.h"

#include <cstdint>
#include <memory>
#include <string>

class bl3dPartyChar;

class Event_1000_C : public Building_C {
public:
    enum State : int {
        MENU = 1,
        REST_WHO = 2,
        TRAIN_WHO = 3,
        NOT_TAUGHT = 4,
        OFFER = 5,
        LEVEL_GAINED = 6,
        NOT_READY = 7,
        DECLINED = 8,
        NO_FUNDS = 9,
        BREAKTHROUGH_OFFER = 10,
        BREAKTHROUGH_GAINED = 11,
        MONSTER_REFUSED = 12,
        STORE_FAILED = 13,
    };
    // The classes trained here; the guilds teach the others.
    static constexpr int32_t TRAINED_CLASSES = 0x40C5;
    static constexpr int TYPE_ID = EVENT_HALL;

    explicit Event_1000_C(const EventParams_S* params);

    int typeId() const override { return TYPE_ID; }

    // The price of the pending training (levelGainPrice, town/TownPrices.h;
    // a breakthrough is a gain to a milestone level).
    int64_t getCost() const { return cost_; }

protected:
    const char* audioName() const override { return "AdvHall"; }
    const char* pictureName() const override { return "Adv_Hall"; }
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    bool isMessage() const override;

private:
    void menuKey(int sym);
    void restKey(int sym);
    void trainKey(int sym);
    void offerKey(int sym);
    void recruit();
    void welcome();

    bl3dPartyChar* member_ = nullptr;   // chosen for training (not owned)
    int64_t cost_ = 0;
    std::string failure_;                // the text of STORE_FAILED
};
