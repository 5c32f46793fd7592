#include "rules/MonsterList.h"

#include "rules/Monster.h"
#include "rules/MonsterType.h"

#include <cstdio>
#include <new>

bl3dMonsterList::bl3dMonsterList(int count, bl3dMonsterType* type, int kind) {
    if (!type || count < 1)
        return;
    // A group far beyond any fight (a script's runaway count) is refused like
    // a failed allocation.
    bool ok = count <= MAX_GROUP_SIZE;
    if (ok) {
        try {
            monsters_.reserve(static_cast<size_t>(count));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        std::fprintf(stderr, "bl3dMonsterList::bl3dMonsterList - ERROR: OUT OF MEMORY!\n");
        return;
    }
    for (int i = 0; i < count; ++i)
        monsters_.push_back(type->createMonster(kind));
}

bl3dMonsterList::~bl3dMonsterList() {
    for (bl3dMonster* m : monsters_)
        delete m;
}

bl3dMonster* bl3dMonsterList::getMonster(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= monsters_.size())
        return nullptr;
    return monsters_[static_cast<size_t>(index)];
}

bl3dMonsterType* bl3dMonsterList::getType() const {
    return monsters_.empty() ? nullptr : monsters_.front()->getType();
}

void bl3dMonsterList::append(bl3dMonster* monster) {
    if (monster)
        monsters_.push_back(monster);
}

void bl3dMonsterList::gobble(bl3dMonsterList& other) {
    if (&other == this)
        return;
    monsters_.insert(monsters_.end(), other.monsters_.begin(), other.monsters_.end());
    other.monsters_.clear();
}

void bl3dMonsterList::removeAt(int index) {
    delete detachAt(index);
}

bl3dMonster* bl3dMonsterList::detachAt(int index) {
    if (index < 0 || static_cast<size_t>(index) >= monsters_.size())
        return nullptr;
    bl3dMonster* m = monsters_[static_cast<size_t>(index)];
    monsters_.erase(monsters_.begin() + index);
    return m;
}
