// Event_1003_C: the Collegium of Magika, the guild of the spell-casting
// classes (0x3F00). On the guild pattern (town/Guild.h) it trains its
// members for (L + 1) x 100 gold, sells the spells of their class that they
// may learn (up to their "SPlv"; a Magician, class 0x100, those of the
// school its "Path" names and those that the elemental classes may learn)
// for 1000 gold a spell level, shows a spell's description (TAB), and lets
// an experienced member change path:
//   16 who changes path: F1-F8 a living member -> 17 (not of the guild),
//     19 (no further path, or short of the requirements: "PtLv" 12 and
//     "PtSp" counting two spells of each level 1 to 4 and one of level 5),
//     18 (an elemental member chooses its next element) or 20 (a
//     Magician's offer, (school + 1) x 10000 gold);
//   18 the elements offered: 'g' Geomancer, 'a' Aeromancer, each while the
//     member's path bits lack it; ESC -> 1;
//   20 the path offer: 'y' pays, moves on (a Magician to the next school,
//     an elemental member adds the element and takes its class), starts
//     the new path ("PtSp" 0, "PtLv" 1, "SPlv" 1) and spends 60 ticks
//     -> 22, short -> 21; 'n' -> 23;
//   40 the spell description: UP/DOWN/PAGEUP/PAGEDOWN scroll, ESC -> 11.
// Open from 9:00 until 17:00; sound environment and picture "Magika".
//
// "PtSp" counts the spells bought within the present path, 4 bits a spell
// level (bits 0-3 level 1, ...); each count stops at 15 and never carries
// into the next level's.
#pragma once
#include "town/Guild.h"

#include <cstdint>
#include <memory>

class ScrollPane_C;

class Event_1003_C : public Guild_C {
public:
    enum OwnState : int {
        PATH_WHO = 16,
        PATH_NOT_OF_GUILD = 17,
        PATH_CHOICE = 18,
        PATH_NOT_READY = 19,
        PATH_OFFER = 20,
        PATH_SHORT = 21,
        PATH_CHANGED = 22,
        PATH_DECLINED = 23,
        SPELL_INFO = 40,
    };
    static constexpr int TYPE_ID = EVENT_COLLEGIUM;
    static constexpr int32_t GUILD_CLASSES = 0x3F00;
    static constexpr int32_t MAGICIAN = 0x0100;
    static constexpr int32_t ELEMENTAL_CLASSES = 0x3E00;

    explicit Event_1003_C(const EventParams_S* params);
    ~Event_1003_C() override;

    int typeId() const override { return TYPE_ID; }

    // The spell description as last built (null before).
    const ScrollPane_C* getInfo() const { return info_.get(); }

    // "PtSp" after one more spell of that level is counted (each level's
    // count stops at 15).
    static int32_t countSpell(int32_t ptSp, int32_t level);
    // The path bits of an elemental member: its "Path", or when that is 0
    // the bit of its class.
    static int32_t elementalPath(int32_t pathAttr, int32_t classId);

protected:
    const char* audioName() const override { return "Magika"; }
    const char* pictureName() const override { return "Magika"; }
    bool isOpenAt(unsigned hour) const override { return hour >= 9 && hour < 17; }
    const char* closedText() const override;

    bool isOfGuild(const bl3dPartyChar& m) const override;
    int64_t trainingPrice(int32_t level) const override;
    bool isOffered(const bl3dAction& action, bl3dPartyChar& m) const override;
    ActionList* learnedList(bl3dPartyChar& m) const override;
    void afterLearning(bl3dPartyChar& m, const bl3dAction& action) override;
    int listBottomLine() const override { return -4; }
    int listRegionBottomLine() const override { return -6; }
    const char* text(int state) const override;
    void drawMenu(PaneText_C& pane) override;
    bool isOwnMessage(int state) const override;
    bool isOwnChoice(int state) const override { return state == PATH_WHO; }
    bool isOwnOffer(int state) const override { return state == PATH_OFFER; }
    void drawOwnState(PaneText_C& pane) override;
    void ownMenuKey(int sym) override;
    void ownMemberChosen(bl3dPartyChar& m) override;
    void ownKey(int sym) override;
    void ownOfferKey(bool yes) override;
    void ownListKey(int sym) override;

private:
    void showInfo();
    void choosePath(int sym);

    std::unique_ptr<ScrollPane_C> info_;
    int32_t pathBits_ = 0;     // an elemental member's path bits (state 18)
    int32_t pathChoice_ = 0;   // the element chosen in state 18
};
