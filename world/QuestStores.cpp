#include "world/QuestStores.h"

#include "core/ArchiveFile.h"
#include "core/MemStream.h"
#include "rules/PartyChar.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// A record that waits for the next save, as the archive would hold it.
class WaitingRecord_C : public Storable_C {
public:
    WaitingRecord_C(std::string dir, const Storable_C& record)
        : Storable_C(record.getName()), dir_(std::move(dir)), type_(record.typeId()), version_(record.version())
    {
        record.write(bytes_);
    }
    int typeId() const override { return type_; }
    int version() const override { return version_; }
    void write(MemStream_C& s) const override { s.write(bytes_.data(), bytes_.size()); }
    bool read(int, MemStream_C&) override { return false; }

    bool is(const char* dir, const char* name) const { return dir_ == dir && std::strcmp(getName().c_str(), name) == 0; }
    const std::string& dir() const { return dir_; }
    std::unique_ptr<Storable_C> rebuild() const
    {
        MemStream_C s;
        s.write(bytes_.data(), bytes_.size());
        return getTypeRegistry().create(type_, getName(), version_, s);
    }

private:
    std::string dir_;
    int type_;
    int version_;
    MemStream_C bytes_;
};

std::vector<std::unique_ptr<WaitingRecord_C>> gWaiting;

} // namespace

bool ArchiveHall_C::storeMember(const bl3dPartyChar& member)
{
    return storeIn(archive_, "hall", member);
}

std::unique_ptr<bl3dPartyChar> ArchiveHall_C::loadMember(const char* name)
{
    return loadAs<bl3dPartyChar>(archive_, "hall", name);
}

bool ArchiveHall_C::hasEntry(const char* name)
{
    if (!archive_ || !name || !archive_->hasEntry("hall"))
        return false;
    // (A hall that cannot be read takes no record either: nothing can be
    // stored over what it holds.)
    DirHandle_C d = archive_->openDir("hall");
    return d && !d->isBroken() && d->hasEntry(name);
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
    gWaiting.clear();
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

void forgetUnstored(const char* dir, const char* name)
{
    gWaiting.erase(std::remove_if(gWaiting.begin(), gWaiting.end(),
                                  [&](const std::unique_ptr<WaitingRecord_C>& w) { return w->is(dir, name); }),
                   gWaiting.end());
}

void keepUnstored(const char* dir, const Storable_C& record)
{
    forgetUnstored(dir, record.getName().c_str());
    gWaiting.push_back(std::make_unique<WaitingRecord_C>(dir, record));
}

std::unique_ptr<Storable_C> loadUnstored(const char* dir, const char* name)
{
    for (const auto& w : gWaiting)
        if (w->is(dir, name))
            return w->rebuild();
    return nullptr;
}

bool storeUnstored(ArchiveFile_C* archive, std::string* failed)
{
    while (!gWaiting.empty()) {
        const WaitingRecord_C& w = *gWaiting.front();
        if (!storeIn(archive, w.dir().c_str(), w)) {
            if (failed)
                *failed = w.dir() + "/" + w.getName().c_str();
            return false;
        }
        gWaiting.erase(gWaiting.begin());
    }
    return true;
}
