// Who an action acts on in a fight: enemy groups by position, a living
// monster in a group, party members by slot. Actions never trust a pointer
// they kept from an earlier call: a group is looked up in the enemy list and
// a party member among the party's members before it is used, so a group
// that merged or was pruned, or a member who left, is simply not found.
#pragma once
#include <cstdint>

class bl3dCharacter;
class bl3dMonster;
class bl3dMonsterList;
class bl3dPartyChar;

// The party's member count; 0 when no party is loaded.
int partySize();
// The member in that slot; null for an empty slot or no party.
bl3dPartyChar* partyMemberAt(int slot);
// The creature's slot in the party; -1 when it is not a member.
int partySlotOf(const bl3dCharacter* who);
// The target as a party member, when it is one of the party's members now.
bl3dCharacter* asPartyMember(void* target);
// The target as an enemy group, when it is in the enemy list now (with its
// distance); null otherwise.
bl3dMonsterList* asEnemyGroup(void* target, int* distance = nullptr);

// The enemy group that holds the creature now (and its distance); null when
// no group of the enemy list does.
bl3dMonsterList* groupHolding(const bl3dCharacter* who, int* distance = nullptr);

// A living monster of the group: a random one (rand() % size), or when that
// one is dead the first living one; null for a group without one (an empty
// group draws no number).
bl3dMonster* livingMonsterIn(bl3dMonsterList* group);

// The living-target pick that attacks and skills share.
struct FoeChoice_S {
    bl3dMonsterList* group = nullptr;
    bl3dMonster* monster = nullptr;
    int distance = 0;
};
// The preferred group first (when it is still in the enemy list), then every
// group from the nearest; the first that gives a living monster wins. False
// when none does.
bool pickLivingFoe(void* preferredGroup, FoeChoice_S& out);

// An illusion: a monster of a non-zero kind (conjured, not born), or a
// summoned party member.
bool isIllusion(const bl3dCharacter* who);

// A monster's party target: the given member when it is in the party and
// alive, else member 0 when alive; null when neither is. Dead here means HP
// below 1, as everywhere in the rules.
bl3dCharacter* partyTargetOrFirst(void* target);
