// Level gain of a party character: whether one is due (experience strictly
// above its class's level-table threshold for its level) and, when applied,
// the hit and spell points, the new level and the class's rules for it
// (attacks, stat steps, skill attributes, learned actions with their daily
// counters, the item-creation fields of "CreateAbility", spells known).
#pragma once
#include "rules/TagKeys.h"

#include <cstdint>

class bl3dPartyChar;

// The character attribute that holds the item-creation skills (4-bit fields).
constexpr const char* CREATE_ABILITY_KEY = tagkey::CreateAbility;

// True when a level is due; with apply, also makes the gain.
bool levelUp(bl3dPartyChar* who, bool apply);

// The per-day counter key of an action id ("0x000a203d").
void actionCounterKey(int32_t id, char (&out)[16]);
