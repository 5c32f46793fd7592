#include "rules/InitList.h"

#include "rules/Action.h"
#include "core/Log.h"

bl3dInitList::~bl3dInitList() {
    clear();
}

int bl3dInitList::add(bl3dAction* action, ActionUse_S* use, uint32_t initiative) {
    VELL_LOG(1, "Adding to initiative list!\n");
    if (!action) {
        delete use;
        return -1;
    }
    auto pos = entries_.begin();
    while (pos != entries_.end() && pos->initiative > initiative)
        ++pos;
    entries_.insert(pos, Entry{action, use, initiative});
    return 0;
}

int bl3dInitList::pop() {
    if (entries_.empty())
        return INIT_LIST_EMPTY;
    // Unlinked first: a perform may queue further uses.
    const Entry e = entries_.front();
    entries_.pop_front();
    const int result = e.action->perform(e.use);
    e.action->freeEntry(e.use);
    VELL_LOG(1, "Popping off initiative list: retval=%d\n", result);
    return result;
}

void bl3dInitList::clear() {
    while (!entries_.empty()) {
        const Entry e = entries_.front();
        entries_.pop_front();
        e.action->freeEntry(e.use);
    }
}
