// Event_1005_C: the Order of the Lyre, the guild of the bards (class 0x2).
// On the guild pattern (town/Guild.h) it trains bards for (L + 1) x 100
// gold, or (L + 1) x 500 at the levels where a bard advances a rank (13,
// 25, 37, 50; state 16 then tells of the new rank), and teaches the bard
// songs up to the bard's "SongLvl" that it does not know, for 1000 gold a
// song level, into its repertoire (the ability list, not the spell book).
// Open from 9:00 until 18:00; sound environment and picture "Lyre".
#pragma once
#include "town/Guild.h"

#include <cstdint>
#include <memory>

class Event_1005_C : public Guild_C {
public:
    enum OwnState : int {
        NEW_RANK = 16,
    };
    static constexpr int TYPE_ID = EVENT_LYRE;
    static constexpr int32_t BARDS = 0x0002;

    explicit Event_1005_C(const EventParams_S* params);

    int typeId() const override { return TYPE_ID; }

protected:
    const char* audioName() const override { return "Lyre"; }
    const char* pictureName() const override { return "Lyre"; }
    bool isOpenAt(unsigned hour) const override { return hour >= 9 && hour <= 17; }
    const char* closedText() const override;

    bool isOfGuild(const bl3dPartyChar& m) const override;
    int64_t trainingPrice(int32_t level) const override;
    int trainedState(int64_t price, int32_t newLevel) const override;
    bool isOffered(const bl3dAction& action, bl3dPartyChar& m) const override;
    ActionList* learnedList(bl3dPartyChar& m) const override;
    int listBottomLine() const override { return -3; }
    int listRegionBottomLine() const override { return -3; }
    const char* text(int state) const override;
    void drawMenu(PaneText_C& pane) override;
    bool isOwnMessage(int state) const override { return state == NEW_RANK; }
};
