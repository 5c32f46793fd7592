// bl3dDirectAction: the actions that derive from bl3dAction directly (the
// combat moves, the bard songs, Equip Item). They resolve no target: their
// makeEntry hands the actor on to their own enqueue with target index 0,
// and enqueue builds the use from the context values.
#pragma once
#include "actions/RowAction.h"

class bl3dDirectAction : public bl3dRowAction {
public:
    explicit bl3dDirectAction(const ActionRow_S& row) : bl3dRowAction(row) {}

    ActionUse_S* makeEntry(bl3dActor* actor, void*, int argc, void** argv) override {
        return makeEntryNoTarget(actor, argc, argv);
    }
};
