// bl3dDirectAction: the actions that derive from bl3dAction directly (the
// combat moves, the bard songs, Equip Item). They resolve no target: their
// makeEntry hands the actor on to their own enqueue with target index 0,
// and enqueue builds the use from the context values.
#pragma once
#include "actions/Action.h"
#include "actions/Catalogue.h"

class bl3dDirectAction : public bl3dAction {
public:
    explicit bl3dDirectAction(const ActionRow_S& row)
        : bl3dAction(row.classMask, row.level), name_(row.name), description_(row.description), id_(row.id),
          targetKind_(row.targetKind), range_(row.range), aiCategory_(row.aiCategory) {}

    ActionUse_S* makeEntry(bl3dActor* actor, void*, int argc, void** argv) override {
        return makeEntryNoTarget(actor, argc, argv);
    }
    RefStr_C name() const override { return name_; }
    RefStr_C description() const override { return description_; }
    uint8_t targetKind() const override { return targetKind_; }
    uint8_t range() const override { return range_; }
    int32_t actionID() const override { return id_; }
    int aiCategory() const override { return aiCategory_; }

private:
    RefStr_C name_;
    RefStr_C description_;
    int32_t id_;
    uint8_t targetKind_;
    uint8_t range_;
    int aiCategory_;
};
