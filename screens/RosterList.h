// What the roster screens share: the "hall" directory of the quest in
// play, reading an adventurer out of it, and the list of its entries that
// the add and banish screens show (the pane from line 3 down to line -3;
// an entry whose adventurer is in the party cannot be chosen).
#pragma once
#include "core/ArchiveDir.h"

#include <memory>
#include <string>
#include <vector>

class Interface_C;
class ScrollList_C;
class bl3dPartyChar;

// The roster of the open save archive; an empty handle without one.
DirHandle_C openRoster();
// A fresh copy of the stored adventurer; null when the entry is absent,
// cannot be read, or holds something else.
std::unique_ptr<bl3dPartyChar> loadRosterChar(ArchiveDir_C& roster, const char* name);
// Whether the class bits mark a monster that joined or was summoned.
bool isMonsterClass(int32_t classId);

struct RosterList_S {
    std::unique_ptr<ScrollList_C> list;
    std::vector<std::string> names;   // by line value - 1

    // A new empty list over the pane.
    void reset(Interface_C& iface);
    // Appends the entry (the value is its place + 1); selectable unless the
    // party has a member of that name or it is marked so. The text may say
    // more than the name.
    void add(const std::string& name, bool selectable, const std::string& text = std::string());
    // The name of the selected line; empty when none.
    std::string selectedName() const;
    bool anySelectable() const;
    void clear();
};
