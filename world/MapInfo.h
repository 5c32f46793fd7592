// mapInfo: the part of a map that changes during play and is saved (record
// type 101 in archive directory "map", under the map's base name): the map's
// variables, its table of wandering monsters with their counters, and one
// state byte per square.
#pragma once
#include "core/RefStr.h"
#include "core/Storable.h"
#include "core/TagList.h"

#include <cstdint>
#include <vector>

class bl3dMonsterType;

// Square state bits.
enum SquareState : uint8_t {
    SQUARE_VISITED = 0x01,
    SQUARE_TRAP_SPRUNG = 0x02,
    SQUARE_SPINNER_OFF = 0x04,
};

// One line of a map's monster file.
struct MapMonster_S {
    const bl3dMonsterType* type = nullptr; // of the master monster list
    RefStr_C typeName;                     // the name it was found by
    int32_t minGroup = 0;                  // number 1: least group size
    int32_t spread = 0;                    // number 2
    int32_t distance = 0;                  // number 3: the group's distance in feet
    int32_t weight = 0;                    // number 4
    int32_t remaining = 0;                 // number 5: how many are left
    int32_t firstHour = -1;                // number 6, -1 when absent
    int32_t endHour = -1;                  // number 7, -1 when absent
    uint32_t flags = 0;                    // condition mask
};

class mapInfo : public Storable_C {
public:
    mapInfo(const RefStr_C& name, int32_t width, int32_t height);

    int typeId() const override { return TYPE_MAP_INFO; }
    void write(MemStream_C& s) const override;
    // False when the bytes end early or a count or size cannot be right.
    // Entries naming a monster the master list lacks are dropped.
    bool read(int version, MemStream_C& s) override;
    // The last read dropped entries whose monster the master list lacks.
    bool droppedUnknown() const { return droppedUnknown_; }
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    // Replaces the table and its counters with the monster file's entries.
    // False when the file cannot be opened or ends early (table left empty).
    bool loadMonsters(const char* path);

    // Makes a stored state fit its map: a different size keeps the squares
    // both sizes share and clears the rest. True when something changed.
    bool fitTo(int32_t width, int32_t height);

    TagList_C& getTagList() { return tags_; }
    const TagList_C& getTagList() const { return tags_; }

    std::vector<MapMonster_S>& getMonsters() { return monsters_; }
    const std::vector<MapMonster_S>& getMonsters() const { return monsters_; }
    int32_t getMonsterCount() const { return static_cast<int32_t>(monsters_.size()); }
    int32_t getWeightTotal() const { return weightTotal_; }
    int32_t& remainingTotal() { return remainingTotal_; }
    int32_t getRemainingTotal() const { return remainingTotal_; }
    int32_t getStartRemaining() const { return startRemaining_; }
    int32_t getEncounterRate() const { return encounterRate_; }
    // Sums numbers 4 and 5 over the table again (held within int32).
    void recomputeTotals();

    int32_t getWidth() const { return width_; }
    int32_t getHeight() const { return height_; }
    bool inGrid(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // 0 outside the grid.
    uint8_t getSquareState(int32_t x, int32_t y) const;
    // Nothing outside the grid.
    void setSquareState(int32_t x, int32_t y, uint8_t state);
    void orSquareState(int32_t x, int32_t y, uint8_t bits);
    const std::vector<uint8_t>& squares() const { return squares_; }

private:
    void clearMonsters();

    TagList_C tags_;
    std::vector<MapMonster_S> monsters_;
    int32_t weightTotal_ = 0;
    int32_t remainingTotal_ = 0;
    int32_t startRemaining_ = 0;
    int32_t encounterRate_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> squares_; // index x + y * width
    bool droppedUnknown_ = false;
};

// Where map states live between visits: directory "map" of the open save
// archive. Tests may put their own store in.
class MapStateStore_C {
public:
    virtual ~MapStateStore_C() = default;
    // The stored state of that name; null when there is none or it cannot
    // be read.
    virtual std::unique_ptr<mapInfo> load(const char* name) = 0;
    virtual bool store(const mapInfo& info) = 0;
};

// Null puts the save archive's store back.
void setMapStateStore(MapStateStore_C* store);
std::unique_ptr<mapInfo> loadMapState(const char* name);
// False when the state could not be stored (or no archive is open).
bool storeMapState(const mapInfo& info);
