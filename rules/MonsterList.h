// bl3dMonsterList: one enemy group, monsters of one type that stand together.
// The group owns its monsters; its type is its first monster's type.
#pragma once
#include <cstdint>
#include <vector>

class bl3dMonster;
class bl3dMonsterType;

// More monsters than this in one group are refused (an empty group).
constexpr int MAX_GROUP_SIZE = 1000;

class bl3dMonsterList {
public:
    // An empty group.
    bl3dMonsterList() = default;
    // `count` new monsters of the type (createMonster(kind)); a count below
    // 1, above MAX_GROUP_SIZE or no type gives an empty group.
    bl3dMonsterList(int count, bl3dMonsterType* type, int kind);
    ~bl3dMonsterList();
    bl3dMonsterList(const bl3dMonsterList&) = delete;
    bl3dMonsterList& operator=(const bl3dMonsterList&) = delete;

    // Null when the index is not below the size.
    bl3dMonster* getMonster(int index) const;
    uint32_t getSize() const { return static_cast<uint32_t>(monsters_.size()); }
    bool empty() const { return monsters_.empty(); }
    // The first monster's type; null for an empty group.
    bl3dMonsterType* getType() const;

    // Takes the monster over and appends it (null is ignored).
    void append(bl3dMonster* monster);
    // Appends the other group's monsters after its own and leaves the other
    // empty.
    void gobble(bl3dMonsterList& other);
    // Deletes the monster at the index and moves the later ones down; an
    // index out of range does nothing.
    void removeAt(int index);
    // Hands the monster at the index to the caller (not deleted); null when
    // out of range.
    bl3dMonster* detachAt(int index);

private:
    std::vector<bl3dMonster*> monsters_;
};
