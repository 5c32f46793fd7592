// bl3dEnemyList: the enemy groups of a fight, ordered by their distance from
// the party in feet (nearest first). A group of one type that arrives where
// a group of that type already stands merges into it. One walk cursor is
// shared by every walker; the list keeps it pointing at a live group (or at
// the end) through merges, advances and prunes.
#pragma once
#include "rules/MonsterList.h"

#include <cstdint>
#include <list>

class PtrList_C;
class bl3dMonsterType;

// No group comes nearer than melee reach.
constexpr int32_t MELEE_DISTANCE = 10;

class bl3dEnemyList {
public:
    bl3dEnemyList() = default;
    ~bl3dEnemyList();
    bl3dEnemyList(const bl3dEnemyList&) = delete;
    bl3dEnemyList& operator=(const bl3dEnemyList&) = delete;

    // A group of `count` new monsters of the type (kind 0), inserted.
    void add(int count, bl3dMonsterType* type, int distance);
    // Takes the group over: an empty one is deleted; one whose type already
    // stands at exactly this distance is absorbed by that group (and
    // deleted); else it gets a node of its own ahead of the groups at the
    // same or a greater distance (right after the head when the head stands
    // there). Returns the group that now holds its monsters (null for an
    // empty one).
    bl3dMonsterList* insertGroup(bl3dMonsterList* group, int distance);
    // Deletes every group; the cursor is reset.
    void clear();

    void rewind();
    // The group at the cursor (and its distance), moving on; null (and 0)
    // at the end.
    bl3dMonsterList* nextGroup();
    bl3dMonsterList* nextGroupDist(int* distance);
    // Counts by walking with the shared cursor, which is left at the end.
    int countGroups();
    bool hasGroup(const bl3dMonsterList* group) const;
    // The distance of a group in the list; -1 when absent.
    int distanceOf(const bl3dMonsterList* group) const;
    // The group at that position from the nearest (0 first) and its
    // distance, without touching the shared cursor; null (and 0) past the
    // end or for a negative index.
    bl3dMonsterList* groupAt(int index, int* distance = nullptr) const;
    // Sum over the groups of the first monster's level times the size.
    int totalLevel() const;

    // Moves the group last returned by nextGroup (the node before the
    // cursor; the head when the cursor is at the head) nearer by `feet`, no
    // nearer than 10, and inserts it again (it may merge). False when the
    // list is empty.
    bool advanceGroup(int feet);
    // Every group moves nearer by `feet` (no nearer than 10), in the old
    // order; groups of one type that meet merge.
    void advanceAll(int feet);
    // Removes every dead monster (HP below 1), adding its type's XP roll to
    // *outXP, its gold to *outGold and moving its carried items into loot
    // (each may be null), then every empty group. True when anything was
    // removed.
    bool prune(int* outXP, int* outGold, PtrList_C* loot);

    void setInCombat(bool on) { inCombat_ = on; }
    bool isInCombat() const { return inCombat_; }
    bool empty() const { return groups_.empty(); }

private:
    struct Node {
        bl3dMonsterList* group;
        int32_t distance;
    };
    using Iter = std::list<Node>::iterator;

    // The node holding the group, or end().
    Iter find(const bl3dMonsterList* group);
    // The cursor's group (null at the end) and putting it back afterwards.
    bl3dMonsterList* cursorGroup() const;
    void restoreCursor(const bl3dMonsterList* group);

    std::list<Node> groups_;
    Iter cursor_ = groups_.end();
    bool inCombat_ = false;
};

extern bl3dEnemyList enemyList;
