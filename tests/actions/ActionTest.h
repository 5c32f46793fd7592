// The fixture of the action tests: a fresh headless fight (FightKit_C) with
// a seeded generator, and small helpers to make and perform uses the way
// combat does.
#pragma once
#include "support/FightKit.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class ActionTest : public ::testing::Test {
protected:
    void SetUp() override {
        vell::gameSrand(4242);
        vell::clearScriptedGameRand();
        kit = std::make_unique<FightKit_C>();
    }
    void TearDown() override {
        kit.reset();
        vell::clearScriptedGameRand();
    }

    static bl3dAction* action(int32_t id) { return masterActionList.getAction(id); }
    // A member with the kit's plain values.
    bl3dPartyChar* member(const char* name, bool male = true, int32_t classId = 0x4) {
        MemberSpec_S m;
        m.name = name;
        m.male = male;
        m.classId = classId;
        return kit->addMember(m);
    }

    // A use aimed at an object, with the narration buffer, the distance and
    // the capital flag as context.
    ActionUse_S* use(int32_t id, bl3dCharacter* who, void* target, int32_t distance = 0, uint8_t capital = 1) {
        distance_ = distance;
        capital_ = capital;
        void* context[3] = {&text, &distance_, &capital_};
        return action(id)->makeEntry(new bl3dActor(who), target, 3, context);
    }
    // makeEntry, perform, freeEntry: what a screen does with one use.
    int run(int32_t id, bl3dCharacter* who, void* target, int32_t distance = 0, uint8_t capital = 1) {
        bl3dAction* a = action(id);
        ActionUse_S* u = use(id, who, target, distance, capital);
        const int r = a->perform(u);
        a->freeEntry(u);
        return r;
    }
    std::string said() const { return text.c_str(); }

    std::unique_ptr<FightKit_C> kit;
    char chars[1024];
    TextBuf_C text{chars, sizeof chars};

private:
    int32_t distance_ = 0;
    uint8_t capital_ = 1;
};
