// The screen-wide state of the character sheet, shared by its key handling
// (CharView.cpp) and its pages (CharViewPages.cpp). Only those two include
// it.
#pragma once
#include "core/ScrollList.h"
#include "core/ScrollPane.h"

#include <memory>

class Interface_C;
class bl3dPartyChar;

struct CharViewScreen_S {
    int state = 0;
    bl3dPartyChar* member = nullptr;
    Interface_C* iface = nullptr;
    bool allowEdit = false;
    bool trial = false;     // inside charView
    bool changed = false;   // an item was equipped or unequipped
    std::unique_ptr<ScrollInvList_C> invList;
    std::unique_ptr<ScrollList_C> spellList;
    std::unique_ptr<ScrollPane_C> detail;

    // The selected inventory line's value (position + 1); 0 for none.
    int selectedValue() const { return invList ? invList->selectedItem() : 0; }
    // Whether the member has a skill for some kind of item creation.
    bool hasCreateGift() const;
    // Whether item creation is offered on the summary page.
    bool offersCreate() const { return !trial && allowEdit && hasCreateGift(); }
};

CharViewScreen_S& charViewScreen();
