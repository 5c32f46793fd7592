// InvChooser_C: the modal "Inventory:" screen with which another screen
// lets the player pick one of a member's items: the combat item command,
// the use-item screen, the shops (selling, with half prices) and item
// creation. It lists the member's equipped items and pack as the character
// sheet does and returns the chosen item's position (see
// screens/InvLines.h), or -1.
//
// Life cycle: the caller keeps the chooser as a local object, calls run
// once and then finds the item itself by the position. The chooser only
// reads the member's items; the list it builds lives until the chooser does.
#pragma once
#include <memory>

class Interface_C;
class ScrollInvList_C;
class bl3dPartyChar;

class InvChooser_C {
public:
    enum State { RUNNING = 0, CANCELLED = 1, CHOSEN = 2 };

    // redraw: draws the caller's own picture or page behind the chooser
    // (may be null).
    InvChooser_C(bl3dPartyChar* member, void (*redraw)());
    ~InvChooser_C();
    InvChooser_C(const InvChooser_C&) = delete;
    InvChooser_C& operator=(const InvChooser_C&) = delete;

    // Runs the chooser (polling events); the chosen position, or -1 when
    // cancelled. priceColumn: an 80-pixel price column; selling: half
    // prices, and the first pack item selected at the start.
    int run(Interface_C* iface, bool priceColumn, bool selling);

    void key(int sym, Interface_C* iface);
    void redraw(Interface_C* iface);
    void draw(Interface_C* iface);

    int getState() const { return state_; }
    const ScrollInvList_C* getList() const { return list_.get(); }

private:
    int state_ = RUNNING;
    int chosen_ = 0;
    bl3dPartyChar* member_;
    std::unique_ptr<ScrollInvList_C> list_;
    void (*redraw_)();
};
