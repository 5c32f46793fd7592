#include "rules/EnemyList.h"

#include "core/Log.h"
#include "core/PtrList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/MonsterType.h"
#include "rules/StatBlock.h"

#include <algorithm>
#include <vector>

bl3dEnemyList enemyList;

bl3dEnemyList::~bl3dEnemyList() {
    clear();
}

void bl3dEnemyList::add(int count, bl3dMonsterType* type, int distance) {
    VELL_LOG(1, "bl3dEnemyList::add(%d,%s,%d)\n", count, type ? type->getName() : "(null)", distance);
    insertGroup(new bl3dMonsterList(count, type, 0), distance);
}

bl3dMonsterList* bl3dEnemyList::insertGroup(bl3dMonsterList* group, int distance) {
    if (!group)
        return nullptr;
    if (group->empty()) {
        delete group;
        return nullptr;
    }
    if (groups_.empty() || distance < groups_.front().distance) {
        groups_.push_front(Node{group, distance});
        return group;
    }
    const bl3dMonsterType* type = group->getType();
    for (Node& n : groups_) {
        if (n.distance == distance && n.group->getType() == type) {
            VELL_LOG(1, "About to gobble...\n");
            n.group->gobble(*group);
            delete group;
            return n.group;
        }
    }
    // After the last node nearer than this; right after the head when the
    // head itself stands at this distance.
    Iter pos = std::next(groups_.begin());
    while (pos != groups_.end() && pos->distance < distance)
        ++pos;
    groups_.insert(pos, Node{group, distance});
    return group;
}

void bl3dEnemyList::clear() {
    for (Node& n : groups_)
        delete n.group;
    groups_.clear();
    cursor_ = groups_.end();
}

void bl3dEnemyList::rewind() {
    cursor_ = groups_.begin();
}

bl3dMonsterList* bl3dEnemyList::nextGroup() {
    return nextGroupDist(nullptr);
}

bl3dMonsterList* bl3dEnemyList::nextGroupDist(int* distance) {
    if (cursor_ == groups_.end()) {
        if (distance)
            *distance = 0;
        return nullptr;
    }
    bl3dMonsterList* g = cursor_->group;
    if (distance)
        *distance = cursor_->distance;
    ++cursor_;
    return g;
}

int bl3dEnemyList::countGroups() {
    rewind();
    int n = 0;
    while (nextGroup())
        ++n;
    return n;
}

bl3dEnemyList::Iter bl3dEnemyList::find(const bl3dMonsterList* group) {
    return std::find_if(groups_.begin(), groups_.end(), [group](const Node& n) { return n.group == group; });
}

bool bl3dEnemyList::hasGroup(const bl3dMonsterList* group) const {
    return distanceOf(group) >= 0;
}

int bl3dEnemyList::distanceOf(const bl3dMonsterList* group) const {
    for (const Node& n : groups_)
        if (n.group == group)
            return n.distance;
    return -1;
}

bl3dMonsterList* bl3dEnemyList::groupAt(int index, int* distance) const {
    if (distance)
        *distance = 0;
    if (index < 0)
        return nullptr;
    for (const Node& n : groups_) {
        if (index-- == 0) {
            if (distance)
                *distance = n.distance;
            return n.group;
        }
    }
    return nullptr;
}

int bl3dEnemyList::totalLevel() const {
    int total = 0;
    for (const Node& n : groups_)
        if (bl3dMonster* m = n.group->getMonster(0))
            total += m->getLevel() * static_cast<int>(n.group->getSize());
    return total;
}

bl3dMonsterList* bl3dEnemyList::cursorGroup() const {
    return cursor_ == groups_.end() ? nullptr : cursor_->group;
}

void bl3dEnemyList::restoreCursor(const bl3dMonsterList* group) {
    cursor_ = group ? find(group) : groups_.end();
}

bool bl3dEnemyList::advanceGroup(int feet) {
    if (groups_.empty())
        return false;
    Iter node = cursor_ == groups_.begin() ? cursor_ : std::prev(cursor_);
    bl3dMonsterList* group = node->group;
    const int distance = std::max(node->distance - feet, MELEE_DISTANCE);
    const bool cursorOnIt = node == cursor_;
    if (cursorOnIt)
        ++cursor_;
    groups_.erase(node);
    bl3dMonsterList* holder = insertGroup(group, distance);
    if (cursorOnIt)
        restoreCursor(holder); // the cursor stays on the group it was on
    return true;
}

void bl3dEnemyList::advanceAll(int feet) {
    const bl3dMonsterList* atCursor = cursorGroup();
    std::list<Node> old;
    old.swap(groups_);
    cursor_ = groups_.end();
    for (Node& n : old) {
        bl3dMonsterList* holder = insertGroup(n.group, std::max(n.distance - feet, MELEE_DISTANCE));
        if (n.group == atCursor)
            atCursor = holder; // absorbed: the cursor follows its monsters
    }
    restoreCursor(atCursor);
}

namespace {

void moveCarried(bl3dMonster* m, PtrList_C* loot) {
    PtrList_C* carried = m->getCarried();
    if (!loot || !carried)
        return;
    while (ListObject_C* item = carried->at(0)) {
        carried->unlink(item);
        if (loot->pushFront(item) != 0) {
            delete item;
        }
    }
}

} // namespace

bool bl3dEnemyList::prune(int* outXP, int* outGold, PtrList_C* loot) {
    bool removed = false;
    for (Node& n : groups_) {
        for (;;) {
            int dead = -1;
            for (uint32_t i = 0; i < n.group->getSize(); ++i) {
                if (n.group->getMonster(static_cast<int>(i))->getCurHP() < 1) {
                    dead = static_cast<int>(i);
                    break;
                }
            }
            if (dead < 0)
                break;
            bl3dMonster* m = n.group->getMonster(dead);
            const int xp = m->getType() ? m->getType()->rollXP() : 0;
            const int gold = m->getGold();
            if (outXP)
                *outXP = saturate32(static_cast<int64_t>(*outXP) + xp);
            if (outGold)
                *outGold = saturate32(static_cast<int64_t>(*outGold) + gold);
            moveCarried(m, loot);
            VELL_LOG(1, "EL - Pruned dead monster (%s) - XP==%d GP==%d\n", m->getName(), xp, gold);
            n.group->removeAt(dead);
            removed = true;
        }
    }
    for (Iter it = groups_.begin(); it != groups_.end();) {
        if (!it->group->empty()) {
            ++it;
            continue;
        }
        VELL_LOG(1, "EL - Pruned empty group\n");
        delete it->group;
        if (cursor_ == it)
            ++cursor_; // the cursor moves on to the next live group
        it = groups_.erase(it);
        removed = true;
    }
    return removed;
}
