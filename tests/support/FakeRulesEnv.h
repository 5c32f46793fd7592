// The rules environment of the tests: a clock they set, a serial counter,
// world variables and a record of the sounds played.
#pragma once
#include "core/RefStr.h"
#include "core/TagList.h"
#include "rules/RulesEnv.h"

#include <cstdint>
#include <string>
#include <vector>

class FakeRulesEnv_C : public RulesEnv_C {
public:
    explicit FakeRulesEnv_C(uint32_t startTick = 0, uint64_t firstSerial = 1) : now(startTick), serial(firstSerial) {}

    uint32_t currentTick() const override { return now; }
    uint64_t nextItemSerial() override { return serial++; }
    TagList_C* worldTags() override { return &tags; }
    void playSound(const char* name) override { sounds.emplace_back(name ? name : ""); }

    uint32_t now;
    uint64_t serial;
    TagList_C tags{RefStr_C("world")};
    std::vector<std::string> sounds;
};
