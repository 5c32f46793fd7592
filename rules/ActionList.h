// ActionList: a singly linked list of (action, value) pairs with a walking
// cursor. The value is a weight in a monster's list and a per-character
// number in a character's. Unsorted lists put the newest entry first; sorted
// ones keep the values in descending order. The list never owns its actions
// (destroyAll is for the master list at quit).
//
// The list is part of the rules model because creatures, monster types and
// item types hold action lists; it knows actions only through the interface
// of rules/Action.h. The two members that need the kinds of actions, load
// and getSpellByCode, are defined with those kinds in actions/
// (ActionListLoad.cpp): a program that calls them links vell_actions.
#pragma once
#include <cstdint>

class bl3dAction;

struct ActionNode_S {
    bl3dAction* action;
    ActionNode_S* next;
    int32_t value;
};

class ActionList {
public:
    explicit ActionList(bool sorted = false) : sorted_(sorted) {}
    ~ActionList();
    ActionList(const ActionList&) = delete;
    ActionList& operator=(const ActionList&) = delete;

    // 0 added; -2 for a null action (with a message); -1 out of memory.
    int add(bl3dAction* action, int32_t value);
    int addActionSorted(bl3dAction* action, int32_t value);
    // Puts the pair at the tail whatever the order (rebuilding a stored list
    // in its stored order). 0, or -2 for a null action.
    int append(bl3dAction* action, int32_t value);

    // Reads the action data file at `path` (gzip, actions/ActionFile.h) and
    // adds one data-defined skill or spell per usable record, as the
    // built-in actions are added (value 0; in an unsorted list a record of
    // an id already there shadows it). A faulty record is refused with an
    // "ERROR" line naming it and the next one is read; a stream that ends
    // or breaks inside a record stops the reading there (the record is
    // dropped, the ones before it stay). Returns the number of actions
    // added; 0 when the file does not open.
    int load(const char* path);

    // Exact id; null (and a log line) when none has it.
    bl3dAction* getAction(int32_t id) const;
    // Same number and substitute flag bits (ACTION_SUBST_MASK).
    bl3dAction* getSubstAction(int32_t id) const;
    // The first spell whose four-letter code is exactly this text.
    bl3dAction* getSpellByCode(const char* code) const;

    bool first();
    bl3dAction* next();
    bl3dAction* nextWithValue(int32_t* value);
    // Rewinds and counts; the cursor is left at the end.
    int32_t count();

    // Copies every pair of another list, keeping its order.
    void copyFrom(const ActionList& other);
    // Frees the nodes (the actions stay).
    void clear();
    // Deletes every action and frees every node.
    void destroyAll();

    bool isSorted() const { return sorted_; }
    const ActionNode_S* head() const { return head_; }

private:
    // Frees every node, deleting its action too when withActions.
    void freeNodes(bool withActions);

    ActionNode_S* head_ = nullptr;
    ActionNode_S* cursor_ = nullptr;
    bool sorted_;
};

extern ActionList masterActionList;
