// bl3dInitList: the uses queued for one combat round, highest initiative
// first. Popping performs the head's use and releases it; an empty list
// pops -1000, the end of the round.
#pragma once
#include <cstdint>
#include <list>

class bl3dAction;
struct ActionUse_S;

constexpr int INIT_LIST_EMPTY = -1000;

class bl3dInitList {
public:
    bl3dInitList() = default;
    ~bl3dInitList();
    bl3dInitList(const bl3dInitList&) = delete;
    bl3dInitList& operator=(const bl3dInitList&) = delete;

    // Inserts ahead of the first entry whose initiative (unsigned) is not
    // larger, so a new entry goes before equal ones. 0, or -1 when the entry
    // cannot be queued (no action: the use is dropped).
    int add(bl3dAction* action, ActionUse_S* use, uint32_t initiative);
    // Performs the head's use, releases it through its action and returns
    // perform's result; INIT_LIST_EMPTY when there is none.
    int pop();
    // Releases every use without performing it.
    void clear();
    int count() const { return static_cast<int>(entries_.size()); }
    bool empty() const { return entries_.empty(); }

private:
    struct Entry {
        bl3dAction* action;
        ActionUse_S* use;
        uint32_t initiative;
    };
    std::list<Entry> entries_;
};
