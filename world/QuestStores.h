// Where a quest's records live between loads: the party members' own records
// in the save archive's "hall" directory and the map states in its "map"
// directory. The interface installs both when it opens a quest.
#pragma once
#include "rules/Party.h"
#include "world/MapInfo.h"

#include <string>

class ArchiveFile_C;

class ArchiveHall_C : public PartyHall_C {
public:
    explicit ArchiveHall_C(ArchiveFile_C* archive) : archive_(archive) {}
    bool storeMember(const bl3dPartyChar& member) override;
    std::unique_ptr<bl3dPartyChar> loadMember(const char* name) override;
    bool hasEntry(const char* name) override;

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
// removes both. Either way the records waiting to be stored are dropped.
void installQuestStores(ArchiveFile_C* archive);

// Records of the quest in play that could not be stored in the archive when
// they changed (a shop's stock when the party left it, the disk full): each
// waits, as its bytes, for the next save, which stores it before anything
// else. A newer copy of the same directory and name takes the place of the
// older one.
void keepUnstored(const char* dir, const Storable_C& record);
// The record stored in its place since: it no longer waits.
void forgetUnstored(const char* dir, const char* name);
// The waiting copy of dir/name, rebuilt; null when none waits.
std::unique_ptr<Storable_C> loadUnstored(const char* dir, const char* name);
// Stores every waiting record into the archive; those stored wait no more.
// False when one could not be stored, with "dir/name" in *failed.
bool storeUnstored(ArchiveFile_C* archive, std::string* failed);
