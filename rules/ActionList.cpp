#include "rules/ActionList.h"

#include "core/Log.h"
#include "rules/Action.h"

#include <cstdio>
#include <new>

ActionList masterActionList;

ActionList::~ActionList() { clear(); }

void ActionList::freeNodes(bool withActions) {
    while (head_) {
        ActionNode_S* n = head_->next;
        if (withActions)
            delete head_->action;
        delete head_;
        head_ = n;
    }
    cursor_ = nullptr;
}

void ActionList::clear() { freeNodes(false); }

void ActionList::destroyAll() { freeNodes(true); }

int ActionList::add(bl3dAction* action, int32_t value) {
    if (!action) {
        std::fprintf(stderr, "ERROR: NULL ACTION ADD ATTEMPTED!\n");
        return -2;
    }
    if (sorted_)
        return addActionSorted(action, value);
    ActionNode_S* n = new (std::nothrow) ActionNode_S{action, head_, value};
    if (!n)
        return -1;
    head_ = n;
    return 0;
}

int ActionList::addActionSorted(bl3dAction* action, int32_t value) {
    if (!action) {
        std::fprintf(stderr, "ERROR: NULL ACTION ADD ATTEMPTED!\n");
        return -2;
    }
    VELL_LOG(1, "About to addActionSorted(%s,%d)\n", action->name().c_str(), value);
    ActionNode_S** at = &head_;
    while (*at && (*at)->value >= value)
        at = &(*at)->next;
    ActionNode_S* n = new (std::nothrow) ActionNode_S{action, *at, value};
    if (!n)
        return -1;
    *at = n;
    return 0;
}

int ActionList::append(bl3dAction* action, int32_t value) {
    if (!action)
        return -2;
    ActionNode_S** tail = &head_;
    while (*tail)
        tail = &(*tail)->next;
    *tail = new ActionNode_S{action, nullptr, value};
    return 0;
}

bl3dAction* ActionList::getAction(int32_t id) const {
    for (ActionNode_S* n = head_; n; n = n->next)
        if (n->action->actionID() == id)
            return n->action;
    VELL_LOG(1, "ERROR: NULL RETURN ON getAction(0x%08x)!\n", id);
    return nullptr;
}

bl3dAction* ActionList::getSubstAction(int32_t id) const {
    const uint32_t want = static_cast<uint32_t>(id) & ACTION_SUBST_MASK;
    for (ActionNode_S* n = head_; n; n = n->next)
        if ((static_cast<uint32_t>(n->action->actionID()) & ACTION_SUBST_MASK) == want)
            return n->action;
    VELL_LOG(1, "ERROR: NULL RETURN ON getSubstAction(0x%08x)!\n", id);
    return nullptr;
}

bool ActionList::first() {
    cursor_ = head_;
    return head_ != nullptr;
}

bl3dAction* ActionList::next() { return nextWithValue(nullptr); }

bl3dAction* ActionList::nextWithValue(int32_t* value) {
    if (!cursor_)
        return nullptr;
    ActionNode_S* n = cursor_;
    cursor_ = n->next;
    if (value)
        *value = n->value;
    return n->action;
}

int32_t ActionList::count() {
    int32_t c = 0;
    first();
    while (next())
        ++c;
    return c;
}

void ActionList::copyFrom(const ActionList& other) {
    // Appending at the tail keeps the other list's order whatever this one's
    // sorting.
    ActionNode_S** tail = &head_;
    while (*tail)
        tail = &(*tail)->next;
    for (const ActionNode_S* n = other.head_; n; n = n->next) {
        ActionNode_S* c = new ActionNode_S{n->action, nullptr, n->value};
        *tail = c;
        tail = &c->next;
    }
}
