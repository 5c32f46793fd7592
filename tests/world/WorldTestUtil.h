// Shared set-up of the world model tests: maps are read from the fixture
// folder (or the built game folder) without pictures, and map states go to a
// store in memory.
#pragma once
#include "core/MemStream.h"
#include "world/Map.h"
#include "world/MapInfo.h"
#include "rules/ItemList.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unistd.h>

namespace worldtest {

// Runs a test inside a folder (map files name their companions relative to
// the game folder) and with map pictures off.
class InFolder {
public:
    explicit InFolder(const std::string& dir)
    {
        char buf[4096];
        old_ = getcwd(buf, sizeof buf) ? buf : ".";
        ok_ = chdir(dir.c_str()) == 0;
        Map_C::setLoadPictures(false);
    }
    ~InFolder()
    {
        Map_C::setLoadPictures(pictures_);
        if (chdir(old_.c_str()) != 0)
            ADD_FAILURE() << "cannot go back to " << old_;
    }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
    bool pictures_ = Map_C::getLoadPictures();
};

// Map states kept as stored bytes, as the archive keeps them.
class MemoryStore : public MapStateStore_C {
public:
    std::map<std::string, std::string> entries;
    int stores = 0;

    std::unique_ptr<mapInfo> load(const char* name) override
    {
        auto it = entries.find(name);
        if (it == entries.end())
            return nullptr;
        MemStream_C s;
        s.write(it->second.data(), static_cast<uint32_t>(it->second.size()));
        std::unique_ptr<Storable_C> rec = mapInfo::create(name, 1, s);
        return std::unique_ptr<mapInfo>(static_cast<mapInfo*>(rec.release()));
    }
    bool store(const mapInfo& info) override
    {
        MemStream_C s;
        info.write(s);
        entries[info.getName().c_str()] = std::string(reinterpret_cast<const char*>(s.data()), s.size());
        ++stores;
        return true;
    }
};

// Installs a store for the life of a test.
class StoreScope {
public:
    StoreScope() { setMapStateStore(&store); }
    ~StoreScope() { setMapStateStore(nullptr); }
    MemoryStore store;
};

// The game's item list in the master list for the life of a test (the
// catacombs name their random items in it); a list that was there already
// is left as it was.
class ShippedItems {
public:
    ShippedItems()
    {
        if (masterITL.count() != 0)
            return;
        loaded_ = true;
        ok_ = masterITL.load(VELL_GAME_DIR "/data/item.dat") == 0;
    }
    ~ShippedItems()
    {
        if (loaded_)
            masterITL.clear();
    }
    ShippedItems(const ShippedItems&) = delete;
    ShippedItems& operator=(const ShippedItems&) = delete;
    bool ok() const { return ok_; }

private:
    bool loaded_ = false;
    bool ok_ = true;
};

inline std::string fixtureDir()
{
    return std::string(VELL_TEST_FIXTURES) + "/world";
}

} // namespace worldtest
