// The game world: everything of a quest that is not a character or a shop.
// bl3dGameWorld holds the clock, the item serial counter, the world variables
// and the item limits; ra2dGameWorld adds the party's place on the grid, the
// bard song playing, the current and previous maps and the timed events.
// Stored as "ra2d.dat" in archive directory "world".
#pragma once
#include "core/Storable.h"
#include "core/TagList.h"
#include "world/EventQueue.h"
#include "world/GameClock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Map_C;

class bl3dGameWorld : public Storable_C {
public:
    explicit bl3dGameWorld(const RefStr_C& name);
    ~bl3dGameWorld() override;

    int typeId() const override { return TYPE_GAME_WORLD; }
    void write(MemStream_C& s) const override;
    bool read(int version, MemStream_C& s) override;
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    GameClock_C& getClock() { return clock_; }
    const GameClock_C& getClock() const { return clock_; }
    TagList_C& getTagList() { return tags_; }
    const TagList_C& getTagList() const { return tags_; }
    int& getMaxPack() { return maxPack_; }
    int& getMaxItems() { return maxItems_; }
    // The serial of a new item; the counter moves on.
    uint64_t nextItemSerial() { return itemSerial_++; }
    uint64_t peekItemSerial() const { return itemSerial_; }
    // Makes the next serial come after `last` (never moves the counter back).
    void skipItemSerialsThrough(uint64_t last)
    {
        if (itemSerial_ <= last && last < UINT64_MAX)
            itemSerial_ = last + 1;
    }

    // The world variable, 0 when it is absent.
    int32_t getVar(const char* key) const;
    void setVar(const char* key, int32_t value);

protected:
    void writeBase(MemStream_C& s) const;
    bool readBase(int version, MemStream_C& s);

private:
    GameClock_C clock_;
    uint64_t itemSerial_ = 1;
    TagList_C tags_;
    int maxPack_ = 8;
    int maxItems_ = 28;
};

class ra2dGameWorld : public bl3dGameWorld {
public:
    static constexpr const char* START_MAP = "maps/renibister.cfg";

    explicit ra2dGameWorld(const RefStr_C& name);
    ~ra2dGameWorld() override;

    int typeId() const override { return TYPE_RA2D_WORLD; }
    // Also stores the current and previous maps' states into archive
    // directory "map" of the open save archive; mapStatesStored tells
    // whether that worked.
    void write(MemStream_C& s) const override;
    bool mapStatesStored() const { return mapStatesStored_; }
    // Builds the map named by the record. False when the bytes are short or
    // wrong, or the map cannot be built.
    bool read(int version, MemStream_C& s) override;
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    // The set-up of a world that has never been saved: the party in the
    // Hall's street of Renibister, weather and the nightly and hourly events.
    // False when the town cannot be built (getMapError says why).
    bool newWorld();
    // The first tick of the next full hour and of the next day (midnight).
    uint32_t nextHourStart() const;
    uint32_t nextDayStart() const;
    // Queues the nightly and the hourly upkeep when the queue holds none
    // (a world stored while they could not run again). True when one was
    // added.
    bool ensureUpkeepEvents();

    // Changes the current map. The previous map is kept for a walk back; a
    // third map drops it, after storing its state. The map's own path
    // changes nothing, however it is spelt (maps are told apart by their
    // normal path, vell::normalPath: "./maps/renibister.cfg" is the town).
    // False when the map cannot be built: the party stays where it is and
    // getMapError holds the map's load error.
    bool newMap(const char* path);
    // Whether the party could stand on square (x, y) of the map of that
    // file (Map_C::canStand): the current or the previous map, else the
    // file's grid, read for the look. False with the reason in `why` when
    // the map cannot be read, or the square is off its grid or closed.
    bool canStand(const char* path, int x, int y, std::string* why = nullptr) const;
    // The load error of the last map that could not be built (0 when none).
    int getMapError() const { return mapError_; }

    Map_C* getCurrentMap() const { return current_.get(); }
    Map_C* getPreviousMap() const { return previous_.get(); }
    EventQueue_C& getEventQueue() { return queue_; }
    const EventQueue_C& getEventQueue() const { return queue_; }

    float CurX = 0.0f;
    float CurZ = 0.0f;
    int32_t facing = 0;
    float viewX = 0.0f;
    float viewZ = 0.0f;
    int32_t viewFacing = 0;
    int32_t songBits = 0;
    int32_t songID = 0;

    int getSquareX() const;
    int getSquareY() const;

private:
    static bool storeState(const Map_C& map);
    // Stores and deletes the set-aside maps whose events have returned.
    void releaseRetired();
    // A new object of the map at that path is about to be built (built
    // false: a set-aside copy stores its latest state for it to read) or
    // was built (true: the set-aside copy stores nothing more).
    void supersedeRetired(const char* path, bool built);
    void afterMapChange();

    // A map dropped while one of its events was running; deleted once it
    // has returned. Its state is stored again then, unless a newer object
    // of the same map was built meanwhile (the newer state wins).
    struct Retired_S {
        std::unique_ptr<Map_C> map;
        bool superseded = false;
    };

    std::unique_ptr<Map_C> current_;
    std::unique_ptr<Map_C> previous_;
    std::vector<Retired_S> retired_;
    EventQueue_C queue_;
    int mapError_ = 0;
    mutable bool mapStatesStored_ = true;
};

// The quest in play; null when none is loaded.
extern ra2dGameWorld* gameworld;

// Registers the world and map state records with the type registry.
void registerWorldTypes();
