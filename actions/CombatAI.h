// The combat AI: how monsters, and party members that a monster type drives
// (joined or summoned creatures), choose their actions. Every usable action
// of the creature's two lists is scored by its list weight, a random term
// that shrinks as intelligence grows, and a term by the action's AI
// category; the best is taken (the first met among equals) and aimed.
//
// One object, masterAIList (a bl3dCombatAI_Default), is made at start-up by
// initCombatAI, installed as entry 1 of the monster types' AI table, and
// never deleted. It keeps no state: each call builds and frees its own
// candidate lists.
#pragma once
#include <cstdint>

class bl3dAction;
class bl3dCharacter;
class bl3dInitList;
class bl3dMonsterList;
class bl3dPartyChar;
class ActionList;
class TextBuf_C;
struct ActionUse_S;

class bl3dCombatAI {
public:
    virtual ~bl3dCombatAI() = default;

    // Picks and queues into `list` the action of every monster of `group`
    // (or one advance of the whole group, see the .cpp). `text` is the
    // narration buffer every use writes into. 0 always; a group no longer in
    // the enemy list, or empty, queues nothing.
    virtual int enqueueAct(bl3dInitList* list, bl3dMonsterList* group, TextBuf_C* text) = 0;
    // Picks one action for an AI-driven party member and writes it and its
    // use (the caller queues and releases it) to the outputs; with no enemy
    // group or no candidate the outputs stay as they were. 0 always.
    virtual int enqueuePartySide(bl3dAction** action, ActionUse_S** use, bl3dPartyChar* member, TextBuf_C* text) = 0;

    // rand() % (x + 1) with x = pct * (hi - s) / lo truncated, s the stat
    // held to lo..hi: pct 40, hi 20, lo 10 gives rand() % 41 at stat 10 or
    // less, rand() % 21 at 15, 0 at 20 or more.
    int randScore(int pct, int32_t stat, int hi, int lo) const;
};

class bl3dCombatAI_Generic : public bl3dCombatAI {
public:
    int enqueueAct(bl3dInitList* list, bl3dMonsterList* group, TextBuf_C* text) override;
    int enqueuePartySide(bl3dAction** action, ActionUse_S** use, bl3dPartyChar* member, TextBuf_C* text) override;

    // The terms of a score, by creature.
    virtual int baseScore(bl3dCharacter* who) = 0;
    virtual int healGroupScore(bl3dCharacter* who) = 0;
    virtual int healOneScore(bl3dCharacter* who) = 0;
    virtual int noHealScore(bl3dCharacter* who) = 0;
    virtual int summonScore(bl3dCharacter* who) = 0;
    virtual int entangleScore(bl3dCharacter* who) = 0;
    virtual int drainScore(bl3dCharacter* who) = 0;
    virtual int category5Score(bl3dCharacter* who) = 0;
    virtual int attackScore(bl3dCharacter* who) = 0;
    virtual int defendScore(bl3dCharacter* who) = 0;

    // The whole score of one action for the creature at that distance:
    // weight x 10 + base + the category's term. The caller tests usable.
    int score(bl3dAction* action, int32_t weight, bl3dCharacter* who);

private:
    // Adds the usable actions of one list to the sorted candidates. With
    // dropLow, a score not above 0 is left out; rankRule leaves out drain and
    // attack actions (categories 4, 6). Returns whether a candidate other
    // than a Defend (category 7) was added.
    bool gather(ActionList* from, ActionList& candidates, bl3dCharacter* who, int distance, bool dropLow,
                bool rankRule);
};

class bl3dCombatAI_Default : public bl3dCombatAI_Generic {
public:
    int baseScore(bl3dCharacter* who) override;
    int healGroupScore(bl3dCharacter* who) override;
    int healOneScore(bl3dCharacter* who) override;
    int noHealScore(bl3dCharacter* who) override;
    int summonScore(bl3dCharacter* who) override;
    int entangleScore(bl3dCharacter* who) override;
    int drainScore(bl3dCharacter* who) override;
    int category5Score(bl3dCharacter* who) override;
    int attackScore(bl3dCharacter* who) override;
    int defendScore(bl3dCharacter* who) override;
};

// The game's one combat AI; null until initCombatAI.
extern bl3dCombatAI_Default* masterAIList;
// Makes masterAIList (once) and installs it as the AI table's entry 1.
void initCombatAI();
