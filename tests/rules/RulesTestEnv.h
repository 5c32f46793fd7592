// Shared pieces of the rules model tests: a fixture that installs the
// tests' rules environment (support/FakeRulesEnv.h) and leaves the game's
// globals as it found them, and builders of stored bytes.
#pragma once
#include "support/FakeActions.h"
#include "support/FakeRulesEnv.h"

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

    FakeRulesEnv_C env;
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
