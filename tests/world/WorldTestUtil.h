// Shared set-up of the world model tests: maps are read from the fixture
// folder (or the built game folder) without pictures, and map states go to a
// store in memory.
#pragma once
#include "core/MemStream.h"
#include "rules/ItemList.h"
#include "world/Map.h"
#include "world/MapInfo.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unistd.h>

namespace worldtest {

// Runs a test inside a folder (map files name their companions relative to
// the game folder) and with map pictures off. In a folder with the game's
// item file, the master item list holds its items (the maps' random items
// name them) unless a test filled it already.
class InFolder {
public:
    explicit InFolder(const std::string& dir)
    {
        char buf[4096];
        old_ = getcwd(buf, sizeof buf) ? buf : ".";
        ok_ = chdir(dir.c_str()) == 0;
        Map_C::setLoadPictures(false);
        if (ok_ && masterITL.count() == 0 && access("data/item.dat", R_OK) == 0)
            loadedItems_ = masterITL.load("data/item.dat") == 0;
    }
    ~InFolder()
    {
        if (loadedItems_)
            masterITL.clear();
        Map_C::setLoadPictures(pictures_);
        if (chdir(old_.c_str()) != 0)
            ADD_FAILURE() << "cannot go back to " << old_;
    }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
    bool loadedItems_ = false;
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

inline std::string fixtureDir()
{
    return std::string(VELL_TEST_FIXTURES) + "/world";
}

} // namespace worldtest
