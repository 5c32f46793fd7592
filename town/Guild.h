// Guild_C: what the two guilds of the town share, the Collegium of Magika
// (town/Event_1003.h) and the Order of the Lyre (town/Event_1005.h). A guild
// trains its members to their next level and sells them what they may learn
// (spells for the spell book, songs for the repertoire) from the master
// action list.
//
// It runs in the building frame (town/Building.h) with hours, a polling
// loop and 30 ticks on leaving. Its states:
//   1 menu: 't' train, 'a' acquire, F1-F8 view a member, ESC leave;
//   2 who trains: F1-F8 a living member -> 3 (not of the guild), 4 (not
//     ready), 5 (the offer); ESC -> 1;
//   5 training offer: 'y' pays, gains the level and spends 60 ticks -> 7
//     (or the guild's rank message), short -> 6; 'n' -> 8;
//   9 who buys: F1-F8 a living member -> 10 (not of the guild), 11 (the
//     offer list, built at once) or 30 (nothing to learn); ESC -> 1;
//   11 the offer list: UP/DOWN move, RETURN on a line -> 12, ESC -> 1;
//   12 the offer: 'y' pays, learns and spends 30 ticks -> 14, short -> 13;
//     'n' -> 15;
//   messages: SPACE -> 1, or 99 outside the hours.
// A guild adds its own states (the Collegium's path change and spell
// description) through the hooks below.
//
// Prices are worked out in 64 bits and paid through the member's gold rules
// (the party's pool when gold is shared); a short purse changes nothing.
// The member, the offers and the price are those of the moment the member
// was chosen; the purchase does not test them again.
#pragma once
#include "town/Building.h"

#include <cstdint>
#include <memory>

class ActionList;
class ScrollInvList_C;
class bl3dAction;
class bl3dPartyChar;

class Guild_C : public Building_C {
public:
    enum State : int {
        MENU = 1,
        TRAIN_WHO = 2,
        NOT_OF_GUILD = 3,
        NOT_READY = 4,
        TRAIN_OFFER = 5,
        TRAIN_SHORT = 6,
        TRAINED = 7,
        TRAIN_DECLINED = 8,
        BUY_WHO = 9,
        CANNOT_LEARN = 10,
        OFFER_LIST = 11,
        BUY_OFFER = 12,
        BUY_SHORT = 13,
        BOUGHT = 14,
        BUY_DECLINED = 15,
        NOTHING_OFFERED = 30,
    };
    static constexpr int kTrainingTicks = 60;
    static constexpr int kLearningTicks = 30;
    static constexpr int64_t kPricePerLevel = 1000;

    explicit Guild_C(const EventParams_S* params);
    ~Guild_C() override;

    // The price of the pending offer.
    int64_t getCost() const { return cost_; }
    // The chosen member (null before one is chosen).
    bl3dPartyChar* getMember() const { return member_; }
    // The offer list as last built (null before).
    const ScrollInvList_C* getOffers() const { return offers_.get(); }

protected:
    bool keepsHours() const override { return true; }
    bool waitsForEvents() const override { return false; }
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

    // --- the guild's values ------------------------------------------------------
    // Whether the member belongs to the guild (trains and learns here).
    virtual bool isOfGuild(const bl3dPartyChar& m) const = 0;
    // The price of training a member of level L to L + 1.
    virtual int64_t trainingPrice(int32_t level) const = 0;
    // The state after a paid level gain to newLevel at that price.
    virtual int trainedState(int64_t /*price*/, int32_t /*newLevel*/) const { return TRAINED; }
    // Whether the action is offered to the member.
    virtual bool isOffered(const bl3dAction& action, bl3dPartyChar& m) const = 0;
    // The member's list that a bought action goes to.
    virtual ActionList* learnedList(bl3dPartyChar& m) const = 0;
    // What else a purchase changes.
    virtual void afterLearning(bl3dPartyChar& /*m*/, const bl3dAction& /*action*/) {}
    // The pane line of the offer list's bottom edge, and the bottom line of
    // its click region.
    virtual int listBottomLine() const = 0;
    virtual int listRegionBottomLine() const = 0;
    // The text of a state; "%lld" in an offer's text is the price.
    virtual const char* text(int state) const = 0;
    virtual void drawMenu(PaneText_C& pane) = 0;
    // The guild's own states: whether the state is a message or a member's
    // choice (drawn and handled here), and the drawing and keys of the rest.
    virtual bool isOwnMessage(int /*state*/) const { return false; }
    virtual bool isOwnChoice(int /*state*/) const { return false; }
    virtual bool isOwnOffer(int /*state*/) const { return false; }
    virtual void drawOwnState(PaneText_C& /*pane*/) {}
    // A menu key the pattern does not name.
    virtual void ownMenuKey(int /*sym*/) {}
    // A living member chosen in one of the guild's own choice states.
    virtual void ownMemberChosen(bl3dPartyChar& /*m*/) {}
    // Keys of the guild's own states (the offer list's keys come first).
    virtual void ownKey(int /*sym*/) {}
    // An offer of the guild's own answered 'y' or 'n'.
    virtual void ownOfferKey(bool /*yes*/) {}
    // The offer list's keys the pattern does not name.
    virtual void ownListKey(int /*sym*/) {}

    // The action of the selected line of the offer list; null for none.
    bl3dAction* selectedAction() const;

    bl3dPartyChar* member_ = nullptr;   // not owned
    int64_t cost_ = 0;

private:
    bool isMessage() const override;
    void drawList(PaneText_C& pane);
    void menuKey(int sym);
    void memberChosen(bl3dPartyChar& m);
    void buildOffers();
    void trainKey(int sym);
    void listKey(int sym);
    void buyKey(int sym);

    std::unique_ptr<ScrollInvList_C> offers_;
};
