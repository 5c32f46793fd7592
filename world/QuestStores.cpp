#include "world/QuestStores.h"

#include "core/ArchiveFile.h"
#include "rules/PartyChar.h"

#include <memory>

namespace {

template <class T>
std::unique_ptr<T> loadAs(ArchiveFile_C* archive, const char* dir, const char* name)
{
    // Reading never makes a directory: the file stays as it is until a
    // store needs one.
    if (!archive || !name || !archive->hasEntry(dir))
        return nullptr;
    DirHandle_C d = archive->openDir(dir);
    if (!d || d->isBroken())
        return nullptr;
    std::unique_ptr<Storable_C> rec = d->load(name);
    auto* typed = dynamic_cast<T*>(rec.get());
    if (!typed)
        return nullptr;
    rec.release();
    return std::unique_ptr<T>(typed);
}

bool storeIn(ArchiveFile_C* archive, const char* dir, const Storable_C& record)
{
    if (!archive)
        return false;
    DirHandle_C d = archive->openDir(dir);
    return d && !d->isBroken() && d->store(record);
}

std::unique_ptr<ArchiveHall_C> gHall;
std::unique_ptr<ArchiveMapStore_C> gMaps;

} // namespace

bool ArchiveHall_C::storeMember(const bl3dPartyChar& member)
{
    return storeIn(archive_, "hall", member);
}

std::unique_ptr<bl3dPartyChar> ArchiveHall_C::loadMember(const char* name)
{
    return loadAs<bl3dPartyChar>(archive_, "hall", name);
}

std::unique_ptr<mapInfo> ArchiveMapStore_C::load(const char* name)
{
    return loadAs<mapInfo>(archive_, "map", name);
}

bool ArchiveMapStore_C::store(const mapInfo& info)
{
    return storeIn(archive_, "map", info);
}

void installQuestStores(ArchiveFile_C* archive)
{
    if (!archive) {
        bl3dParty::setHall(nullptr);
        setMapStateStore(nullptr);
        gHall.reset();
        gMaps.reset();
        return;
    }
    gHall = std::make_unique<ArchiveHall_C>(archive);
    gMaps = std::make_unique<ArchiveMapStore_C>(archive);
    bl3dParty::setHall(gHall.get());
    setMapStateStore(gMaps.get());
}
