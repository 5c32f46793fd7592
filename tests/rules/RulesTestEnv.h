// Shared pieces of the rules model tests: an environment with a settable
// clock, a serial counter, world variables and a record of the sounds
// played; a plain test action; and a fixture that installs them and leaves
// the game's globals as it found them.
#pragma once
#include "actions/Spell.h"
#include "rules/ActionList.h"
#include "core/GameConfig.h"
#include "core/MemStream.h"
#include "core/TagList.h"
#include "platform/Random.h"
#include "rules/ItemList.h"
#include "rules/Party.h"
#include "rules/RulesEnv.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class TestEnv_C : public RulesEnv_C {
public:
    uint32_t currentTick() const override { return now; }
    uint64_t nextItemSerial() override { return serial++; }
    TagList_C* worldTags() override { return &tags; }
    void playSound(const char* name) override { sounds.emplace_back(name); }

    uint32_t now = 0;
    uint64_t serial = 1;
    TagList_C tags{RefStr_C("world")};
    std::vector<std::string> sounds;
};

class TestAction : public bl3dAction {
public:
    TestAction(int32_t id, const char* name, uint8_t range = 0)
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

class TestSpell : public bl3dSpell {
public:
    TestSpell(int32_t id, const char* code) : TestSpell(id, code, 0x100, 1) {}
    TestSpell(int32_t id, const char* code, int32_t classMask, int32_t level)
        : bl3dSpell(classMask, level, code, code, code), id_(id) {}
    int perform(ActionUse_S*) override { return 0; }
    ActionUse_S* enqueue(bl3dActor*, int, int, void**) override { return nullptr; }
    uint8_t targetKind() const override { return 0; }
    int32_t actionID() const override { return id_; }

private:
    int32_t id_;
};

class RulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        setRulesEnv(&env);
        vell::gameSrand(12345);
        vell::clearScriptedGameRand();
        savedPartyGold = gameConfig.partyGold;
        gameConfig.partyGold = false;
    }
    void TearDown() override {
        setRulesEnv(nullptr);
        vell::clearScriptedGameRand();
        gameConfig.partyGold = savedPartyGold;
        masterITL.clear();
        masterActionList.clear();
        party = nullptr;
    }

    TestEnv_C env;
    bool savedPartyGold = false;
};

// Little-endian byte builder for expected stored forms.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& i32(int32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Bytes& u64(uint64_t v) {
        for (int i = 0; i < 8; ++i)
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& u8(uint8_t v) {
        b.push_back(v);
        return *this;
    }
    Bytes& str(const std::string& s) {
        i32(static_cast<int32_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& raw(const void* p, size_t n) {
        const auto* c = static_cast<const uint8_t*>(p);
        b.insert(b.end(), c, c + n);
        return *this;
    }
};

inline std::vector<uint8_t> streamBytes(const MemStream_C& s) {
    return std::vector<uint8_t>(s.data(), s.data() + s.size());
}

inline void fillStream(MemStream_C& s, const std::vector<uint8_t>& bytes) {
    s.clear();
    if (!bytes.empty())
        s.write(bytes.data(), static_cast<uint32_t>(bytes.size()));
}
