// bl3dRowAction: what an action of the built-in catalogue answers from its
// row (actions/Catalogue.h): name, description, id, target kind, range and
// AI category. The skills and the direct children of bl3dAction (moves,
// songs, Equip Item) build on it; an action made elsewhere (the action data
// file) fills a row of its own.
#pragma once
#include "rules/Action.h"
#include "actions/Catalogue.h"

class bl3dRowAction : public bl3dAction {
public:
    explicit bl3dRowAction(const ActionRow_S& row)
        : bl3dAction(row.classMask, row.level), name_(row.name ? row.name : ""),
          description_(row.description ? row.description : ""), id_(row.id), targetKind_(row.targetKind),
          range_(row.range), aiCategory_(row.aiCategory) {}

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
