// Actions and spells that do nothing when used: for the lists, books, pages
// and stores that only hold, show or save them.
#pragma once
#include "actions/Spell.h"
#include "core/RefStr.h"
#include "rules/Action.h"

#include <cstdint>

// An action of every class that is not a spell (a skill, or what a joined
// monster's lists hold), its name also its description.
class FakeAction : public bl3dAction {
public:
    explicit FakeAction(int32_t id, const char* name = "Claw", uint8_t range = 0)
        : bl3dAction(ALL_CLASSES, 1), id_(id), name_(name), range_(range) {}
    int perform(ActionUse_S*) override { return 0; }
    ActionUse_S* enqueue(bl3dActor*, int, int, void**) override { return nullptr; }
    RefStr_C name() const override { return name_; }
    RefStr_C description() const override { return name_; }
    uint8_t targetKind() const override { return 0; }
    uint8_t range() const override { return range_; }
    int32_t actionID() const override { return id_; }

private:
    int32_t id_;
    RefStr_C name_;
    uint8_t range_;
};

class FakeSpell : public bl3dSpell {
public:
    // A spell of the first school and no cost whose code is also its name
    // and description.
    FakeSpell(int32_t id, const char* code, int32_t classMask = 0x100, int32_t level = 1)
        : bl3dSpell(classMask, level, code, code, code), id_(id) {}
    // A spell of a school, level, cost and range, for the spell pages.
    FakeSpell(int32_t id, const char* name, const char* code, int32_t classMask, int32_t level, int school,
              int cost = 3, int range = 0)
        : bl3dSpell(classMask, level, name, "A spell of the test kit.", code), id_(id), school_(school),
          range_(range)
    {
        spCost_ = cost;
    }
    int perform(ActionUse_S*) override { return 0; }
    ActionUse_S* enqueue(bl3dActor*, int, int, void**) override { return nullptr; }
    uint8_t targetKind() const override { return 0; }
    uint8_t range() const override { return uint8_t(range_); }
    int32_t actionID() const override { return id_; }
    uint8_t path() const override { return uint8_t(school_); }

private:
    int32_t id_;
    int school_ = 0;
    int range_ = 0;
};
