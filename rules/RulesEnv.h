// RulesEnv_C: what the rules model needs of the running game (the world's
// clock and item serial counter, the world variables, named sounds, the item
// limits) without depending on the code that provides it.
// The game installs its own with setRulesEnv once a quest is loaded; until
// then, and in tests, a plain default stands in.
#pragma once
#include <cstdint>

class TagList_C;

class RulesEnv_C {
public:
    virtual ~RulesEnv_C() = default;
    // The world clock's current tick.
    virtual uint32_t currentTick() const { return tick_; }
    // The world's next item serial number; the counter moves on by one.
    virtual uint64_t nextItemSerial() { return serial_++; }
    // The world variables; null when no world is loaded.
    virtual TagList_C* worldTags() { return nullptr; }
    // Plays a named sound through the sound director.
    virtual void playSound(const char* /*name*/) {}
    // The world's limits on what a member carries: items in the pack and
    // items in all. Left as they are when no world is loaded.
    virtual void itemLimits(int& /*maxPack*/, int& /*maxItems*/) const {}

    // For the stand-in (tests and tools).
    void setTick(uint32_t t) { tick_ = t; }
    void setNextSerial(uint64_t s) { serial_ = s; }

private:
    uint32_t tick_ = 0;
    uint64_t serial_ = 1;
};

// The environment in force; never null.
RulesEnv_C& rulesEnv();
// Installs an environment (not owned); null puts the stand-in back.
void setRulesEnv(RulesEnv_C* env);
// An integer world variable of the environment in force (a key of
// rules/TagKeys.h): 0 when absent or when no world is loaded; setting one
// without a world does nothing.
int32_t worldVar(const char* key);
void setWorldVar(const char* key, int32_t value);
// Registers the record types of the rules model in the type registry.
void registerRulesTypes();
