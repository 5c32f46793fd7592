// CharView_C: the character sheet of one party member: the summary page,
// the inventory (20 equipment slots and the pack) with the actions on items,
// the spell list with its detail and summary pages, pooling and sharing
// gold, and the way into item creation for a member with the gift.
//
// Life cycle: run or charView opens the sheet as a modal screen (one sheet
// at a time: a single pane screen, screens/CharViewScreen.h, that waits for
// each event) and returns when the player leaves it. key and redraw are the
// screen's key handler and display; the accessors let the tests look at the
// state.
//
// run: from the main view (F1-F8) and every building, combat and chest
// screen. Starts on the summary page. Without allowEdit the inventory is
// read-only (no equip, unequip, join, give or discard).
//
// charView, the trial the Equip Item action runs in a fight: the player
// rearranges the member's equipment on the inventory page, the result is
// written into `out`, and the member is put back exactly as it was.
// Ownership: the member owns its items before, during and after the trial;
// the trial only moves them between the member's own slots and pack and
// then moves them back. `out` names items by serial number only (EquipTrial_S
// owns nothing and can delete nothing), so the action that later performs
// the swap looks each item up again on the member; an item that has gone
// by then is simply not found. Because only moves that can be undone are
// allowed, the trial offers equip, unequip and examine and nothing that
// would destroy or hand away an item (no discard, give or join), nor gold
// moves, item creation or switching to another member.
#pragma once
#include "rules/EquipTrial.h"

class Interface_C;
class ScrollInvList_C;
class ScrollList_C;
class ScrollPane_C;
class bl3dItem;
class bl3dPartyChar;

class CharView_C {
public:
    // The screen's states; 0 ends its loop. Other numbers draw nothing and
    // take no keys.
    enum State {
        STATE_DONE = 0,
        STATE_SUMMARY = 1,
        STATE_SPELLS = 4,
        STATE_INVENTORY = 5,
        STATE_GIVE = 6,
        STATE_SPELL_DETAIL = 7,
        STATE_SPELL_SUMMARY = 8,
        STATE_NOT_CASTER = 9,
        STATE_NO_SPELLS = 10,
        STATE_DISCARD = 20,
        STATE_ITEM_INFO = 100,
    };

    static void run(bl3dPartyChar* pc, Interface_C* iface, bool allowEdit);
    // The trial: runs from startState (the action passes STATE_INVENTORY),
    // fills `out` (the pack in its new order and the 20 slots by serial,
    // `changed` true when an item was equipped or unequipped) and restores
    // the member's slots, pack order and equipment exactly.
    static void charView(bl3dPartyChar* pc, Interface_C* iface, EquipTrial_S& out, int startState, bool allowEdit);
    // The equip trial of a fight: the sheet opens on the member's inventory
    // page (what start-up hands to installWorldActionEnv). False for no member.
    static bool equipTrial(bl3dPartyChar* pc, EquipTrial_S& out);

    static void key(int sym);
    static void redraw();
    static void updateText();
    // The item information page of the item (state 100).
    static void printItemInfo(const char* title, const bl3dItem* item);
    static bool canJudgeCombat();
    static bool canJudgeMagic();

    static int getState();
    static bl3dPartyChar* getMember();
    static bool inTrial();
    static const ScrollInvList_C* getInvList();
    static const ScrollList_C* getSpellList();
    static const ScrollPane_C* getDetailPane();
};
