// The character sheet's screen: a pane screen (screens/PaneScreen.h) that
// waits for each event, shared by its key handling (CharView.cpp) and its
// pages (CharViewPages.cpp). Only those two include it.
//
// The page behind each state draws the member's picture in the upper-left
// pane. The spell summary, "not a spell caster" and item information pages
// are messages: SPACE goes back to the page they came from.
#pragma once
#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "screens/PaneScreen.h"

#include <memory>

class Interface_C;
class bl3dPartyChar;

class CharViewScreen_C : public PaneScreen_C {
public:
    bl3dPartyChar* member = nullptr;
    bool allowEdit = false;
    bool trial = false;     // inside charView
    bool changed = false;   // an item was equipped or unequipped
    std::unique_ptr<ScrollInvList_C> invList;
    std::unique_ptr<ScrollList_C> spellList;
    std::unique_ptr<ScrollPane_C> detail;

    Interface_C* iface() const { return iface_; }
    // Whether a member is shown on an interface: the sheet draws and takes
    // keys only then.
    bool isOpen() const { return iface_ && member; }

    void open(bl3dPartyChar* pc, Interface_C* iface, bool edit, bool inTrial, int state);
    void close();
    // Runs the sheet until its state is 0, then takes the picture down.
    void run();
    // The pages of the current state without the frame.
    void drawText();

    // The inventory list of the member shown, new (selection on its first line).
    void rebuildInvList();
    // The selected inventory line's value (position + 1); 0 for none.
    int selectedValue() const { return invList ? invList->selectedItem() : 0; }
    // Whether the member has a skill for some kind of item creation.
    bool hasCreateGift() const;
    // Whether item creation is offered on the summary page.
    bool offersCreate() const { return !trial && allowEdit && hasCreateGift(); }

private:
    void drawPicture() override;
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    bool isMessage() const override;
    void endMessage() override;

    // The sheet's states change without a redraw of their own: a key that
    // counts asks for one.
    void go(int state) { state_ = state; }
    bool pageKey(int sym);
    bool summaryKey(int sym);
    bool spellListKey(int sym);
    bool spellMemberKey(int sym);
    bool inventoryKey(int sym);
    bool giveKey(int sym);
    void buildSpellList();
    bool buildSpellDetail();
};

CharViewScreen_C& charViewScreen();
