// bl3dEquipItem, "EquipItem": a party member swaps equipment in the middle
// of a fight. enqueue runs the character sheet's trial at once (through the
// actions' environment, ActionEnv_C::equipTrial), so the player arranges the
// member's items; the use keeps the result by item serial, and perform
// rebuilds the member's pack and slots from it later in the round.
//
// Context values (five): argv[0] the interface (not used here), argv[1] the
// member (bl3dPartyChar*; the actor's creature when null), argv[2] the
// narration buffer (TextBuf_C*), argv[3] and argv[4] unused. With fewer,
// enqueue deletes the actor and returns null.
//
// The use owns no item: every item stays the member's own until perform,
// which finds each serial among the member's items again. An item of the
// member that the trial does not name stays in the pack; a serial no longer
// found is skipped. Nothing is ever lost or owned twice.
#pragma once
#include "actions/DirectAction.h"
#include "rules/EquipTrial.h"

class bl3dPartyChar;
class TextBuf_C;

struct EquipUse_S : ActionUse_S {
    bl3dPartyChar* member = nullptr;
    TextBuf_C* text = nullptr; // never null (TextBuf_C::discard())
    EquipTrial_S trial;
    // Set when the player confirmed a change: the swap is made in perform.
    // Kept per use, so two members' orders in one round stay apart.
    bool swap = false;
};

class bl3dEquipItem : public bl3dDirectAction {
public:
    explicit bl3dEquipItem(const ActionRow_S& row) : bl3dDirectAction(row) {}

    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    // 0 always (null does nothing and gives 0 too).
    int perform(ActionUse_S* use) override;
};

// Rebuilds the member's pack and 20 slots from the trial: every slot is
// emptied (items unequipped, so their modifiers go), the trial's slots are
// filled and equipped, the trial's pack follows in its order and every other
// item of the member after it. Serials not found are skipped.
void applyEquipTrial(bl3dPartyChar& member, const EquipTrial_S& trial);
