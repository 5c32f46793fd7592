// ArchiveHall_C: the party's hall kept in a save archive directory ("hall"):
// each member's record is the entry of its name.
#pragma once
#include "core/ArchiveDir.h"
#include "rules/Party.h"

class ArchiveHall_C : public PartyHall_C {
public:
    explicit ArchiveHall_C(const DirHandle_C& dir) : dir_(dir) {}

    bool storeMember(const bl3dPartyChar& member) override;
    std::unique_ptr<bl3dPartyChar> loadMember(const char* name) override;

private:
    DirHandle_C dir_;
};
