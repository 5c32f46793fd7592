// Event_1001_C: Elium's Energy Emporium, the town building that sells spell
// points. One living member of the spell-casting classes at a time is
// recharged to full spell points for 10 gold a missing point, paid by that
// member (the party's pool when gold is shared); the recharge takes a tick
// for every two points.
//
// It runs in the building frame (town/Building.h): sound environment
// "Elium", picture "Eliums", open from 8:00 until 18:00, waits for each
// event, 30 ticks on leaving.
//
// A member with more spell points than its maximum misses none: it is told
// it needs no energy, never offered a negative price.
#pragma once
#include "town/Building.h"

#include <cstdint>
#include <memory>
#include <string>

class Event_1001_C : public Building_C {
public:
    enum State : int {
        MENU = 1,
        OFFER = 2,
        NOT_MAGIC = 3,
        FULL = 4,
        DECLINED = 5,
        CHARGED = 6,
        NO_FUNDS = 7,
        DEAD = 8,
    };
    static constexpr int TYPE_ID = EVENT_ELIUMS;
    static constexpr int kOpensAt = 8;
    static constexpr int kClosesAt = 18;
    // The classes served: those that cast spells.
    static constexpr int32_t kCasterMask = 0x3F30;
    static constexpr int64_t kPricePerPoint = 10;

    explicit Event_1001_C(const EventParams_S* params);

    int typeId() const override { return TYPE_ID; }

    // The spell points the member being served lacks, and their price.
    int64_t getMissing() const { return missing_; }
    int64_t price() const { return missing_ * kPricePerPoint; }
    // The party slot of the member being served.
    int getMember() const { return member_; }

protected:
    const char* audioName() const override { return "Elium"; }
    const char* pictureName() const override { return "Eliums"; }
    bool keepsHours() const override { return true; }
    bool isOpenAt(unsigned hour) const override;
    const char* closedText() const override;
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

private:
    void choose(int sym);
    void payKey(int sym);
    std::string memberName() const;

    uint8_t member_ = 0;
    int64_t missing_ = 0;
};
