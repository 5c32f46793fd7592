// Where a quest's records live between loads: the party members' own records
// in the save archive's "hall" directory and the map states in its "map"
// directory. The interface installs both when it opens a quest.
#pragma once
#include "rules/Party.h"
#include "world/MapInfo.h"

class ArchiveFile_C;

class ArchiveHall_C : public PartyHall_C {
public:
    explicit ArchiveHall_C(ArchiveFile_C* archive) : archive_(archive) {}
    bool storeMember(const bl3dPartyChar& member) override;
    std::unique_ptr<bl3dPartyChar> loadMember(const char* name) override;

private:
    ArchiveFile_C* archive_;
};

class ArchiveMapStore_C : public MapStateStore_C {
public:
    explicit ArchiveMapStore_C(ArchiveFile_C* archive) : archive_(archive) {}
    std::unique_ptr<mapInfo> load(const char* name) override;
    bool store(const mapInfo& info) override;

private:
    ArchiveFile_C* archive_;
};

// Points the party's hall and the map-state store at the archive; null
// removes both.
void installQuestStores(ArchiveFile_C* archive);
