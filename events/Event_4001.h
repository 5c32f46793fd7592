// Event_4001_C: a treasure chest. The party may pick its lock, cast Trip
// Trap on it, open it, bash it or leave it; a trapped chest can go off on
// the member who handles it; an opened chest pays its gold to that member
// and lists its items, which any member may take into the pack.
//
// Life cycle: the creator puts a new Chest_S into EventParams_S::chest,
// builds the event (which takes the chest and owns it from then on),
// invokes it once and deletes it; whatever nobody took goes with it.
// invoke gives 1 when the party left the chest unopened, 0 when the screen
// ended after the chest was opened (or blew up), -999 otherwise (a chest
// the party cannot face: no party, or nobody in it).
//
// A chest with a negative trap is loose loot: the screen opens on the
// gold and items at once, with the first member as the taker. A trap above
// the six kinds counts as no trap.
//
// The key handler (events/Event_4001.cpp) changes the state and never
// draws; display (screens/ChestScreen.cpp) draws the state and changes
// nothing, and viewTaker (there too) opens the taker's character sheet.
#pragma once
#include "world/Event.h"

#include <cstdint>
#include <memory>

struct Chest_S;
class ScrollInvList_C;
class bl3dPartyChar;

class Event_4001_C : public Event_C {
public:
    enum State : int {
        LEFT_UNOPENED = -1,
        DONE = 0,
        MENU = 1,
        WHO_TRIPS = 2,
        NOT_A_CASTER = 3,
        NO_TRIP_TRAP = 4,
        NO_ENERGY = 5,
        WHO_PICKS = 6,
        NO_SKILL = 7,
        PICK_FAILED = 8,
        WHO_OPENS = 9,
        FOUND = 10,
        REMAIN = 11,
        NONE_REMAIN = 12,
        LEAVE_ITEMS = 13,
        PACK_FULL = 14,
        WHO_BASHES = 15,
        BASH_FAILED = 16,
        TRAP_SPRUNG = 100,   // + the trap kind 1..6
        OPENING = 999,
    };
    static constexpr int TRAP_KINDS = 6;
    static constexpr int TRAP_EXPLOSION = 4;

    // Takes params->chest (may be null: an empty chest with nothing in it).
    explicit Event_4001_C(const EventParams_S* params);
    ~Event_4001_C() override;


    int typeId() const override { return EVENT_CHEST; }
    int invoke(Interface_C* iface) override;

    // --- the screen -----------------------------------------------------------
    // The first state: the chest's menu, or for loose loot the found items
    // with the first member as the taker. False when nobody can face the
    // chest (no party or an empty one): the state is then DONE.
    bool begin(Interface_C* iface);
    void key(int sym);
    void display();
    // Shows the taker's character sheet (the V key), a screen of its own.
    void viewTaker();

    // --- what tests look at -------------------------------------------------
    int getState() const { return state_; }
    const Chest_S* getChest() const { return chest_; }
    bl3dPartyChar* getTaker() const { return taker_; }
    const ScrollInvList_C* getItemList() const { return itemList_.get(); }
    // The trap that can go off: 1..6, else 0.
    int trap() const;

private:
    void setState(int state);
    bl3dPartyChar* chosenMember(int sym, bool refuseStone) const;
    void menuKey(int sym);
    void tripTrap(bl3dPartyChar& m);
    // Picking (attribute "LockPick", classes 0xC2) and bashing ("Bashing",
    // class 0x1) share one rule.
    void tryLock(bl3dPartyChar& m, int32_t classMask, const char* skill, int failState);
    void spring();
    void open();
    void openKey(int sym);
    void take();
    void rebuildList();
    bool itemsRemain() const;

    Chest_S* chest_ = nullptr;
    int state_ = MENU;
    Interface_C* iface_ = nullptr;
    bl3dPartyChar* taker_ = nullptr;
    std::unique_ptr<ScrollInvList_C> itemList_;
    bool paid_ = false;
    // The taker was poisoned by the last trap (the messages of traps 5, 6).
    bool poisoned_ = false;
};
