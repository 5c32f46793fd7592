// Map_C: one square grid of the world (a town, a dungeon level), built from
// its configuration file ("maps/renibister.cfg"), which names the texture
// list, the cell table, the event file and the monster file. The map owns its
// textures, cell definitions, events, traps, random items and its saved state
// (mapInfo).
//
// Square (x, y): 0 <= x < width, 0 <= y < height; x grows to the east, y to
// the north. Facings in degrees: 0 north (+y), 90 west (-x), 180 south (-y),
// 270 east (+x).
#pragma once
#include "world/MapInfo.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct Texture_S;
class TextureList_C;
class Event_C;
class Interface_C;
class bl3dItem;
class bl3dItemType;
class bl3dGameWorld;

// One cell definition, shared by every square that names it.
struct CellDef_S {
    enum Type : int32_t {
        PLAIN = 1,          // walls on its edges
        PLAIN_CLOSED = 2,   // like PLAIN, never entered
        HANGING = 3,        // walls hang from a ceiling at the threshold
        HANGING_CLOSED = 4, // like HANGING, never entered
    };

    // Walls by side: 0 north, 1 west, 2 south, 3 east (facing / 90).
    const Texture_S* wall[4] = {nullptr, nullptr, nullptr, nullptr};
    int32_t type = PLAIN;
    const Texture_S* billboard = nullptr; // types 1 and 2
    const Texture_S* floor = nullptr;     // types 1 and 2: instead of the map floor
    uint8_t threshold = 0;                // types 3 and 4
    // Stands for a square whose cell could not be found (an unknown name, or
    // no DEFAULT cell): never entered, nothing drawn.
    bool missing = false;

    // Side index of a facing, -1 for anything but 0, 90, 180, 270.
    static int side(int facing);
    const Texture_S* getWall(int facing) const;
    bool hasWall(int facing) const { return getWall(facing) != nullptr; }
    bool isSecretDoor(int facing) const;
    bool closed() const { return type == PLAIN_CLOSED || type == HANGING_CLOSED || missing; }
    bool hanging() const { return type == HANGING || type == HANGING_CLOSED; }
    // Whether the wall of that side stops a mover: a solid wall does, except
    // that below a hanging cell's threshold the wall leaves a way under it.
    bool wallBlocks(int facing) const;
    // A mover stepping toward `facing` into this square: closed squares and
    // the wall on the side facing the mover stop it.
    bool neighbourBlocks(int facing) const;
    // A mover leaving this square toward `facing`.
    bool ownWallBlocks(int facing) const { return wallBlocks(facing); }
};

// The cell table of a map: definitions by name (at most 15 characters); a
// later line of the same name hides an earlier one.
class CellDefList_C {
public:
    CellDefList_C() = default;
    // Reads the table when both are given.
    CellDefList_C(const char* path, const TextureList_C* textures);
    ~CellDefList_C();
    CellDefList_C(const CellDefList_C&) = delete;
    CellDefList_C& operator=(const CellDefList_C&) = delete;

    // Empties the list and reads the file; false when it cannot be opened.
    bool load(const char* path, const TextureList_C* textures);
    // Parses one table line; false (nothing added) when it is not a cell.
    bool parseLine(const char* line, const TextureList_C* textures);
    const CellDef_S* find(const char* name) const;
    int count() const { return static_cast<int>(entries_.size()); }
    void clear();

private:
    struct Entry {
        std::string name;
        std::unique_ptr<CellDef_S> def;
    };
    std::vector<Entry> entries_; // newest first
};

// A trap line: bits 0-23 the trap id, bits 24-27 the kind.
struct MapTrap_S {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t value = 0;

    static uint32_t pack(uint32_t kindBits, uint32_t id) { return (id & 0x00FFFFFFu) | ((kindBits & 0xFu) << 24); }
    bool isRegular() const { return (value & 0x01000000u) != 0; }
    bool isSpinner() const { return (value & 0x02000000u) != 0; }
    bool isAntiMagic() const { return (value & 0x04000000u) != 0; }
    bool isDarkness() const { return (value & 0x08000000u) != 0; }
    uint32_t getId() const { return value & 0x00FFFFFFu; }
};

struct RandItem_S {
    bl3dItemType* type = nullptr;   // in the master item list
    int32_t weight = 0;
};

struct RandEvent_S {
    std::unique_ptr<Event_C> event;
    int32_t probability = 0; // per 3000 tries
};

// One sound environment of the map: the file and the hour from which it plays.
struct MapSound_S {
    std::string path;
    int hour = 0;
};

struct CloudLayer_S {
    float colour[4] = {1.0f, 1.0f, 1.0f, 0.5f};
    float offset = 0.0f;
    float speed = 0.01f;
    float factor = 1.0f;
    float repeat = 1.0f;
};

// A picture drawn behind the scene, with the part of its texture it uses.
struct Backdrop_S {
    unsigned texture = 0;
    float extentS = 0.0f; // image width / texture width
    float extentT = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// Whatever the 3-D drawing keeps per map (display lists and the like). The
// map owns it and deletes it with itself.
class MapDrawData_C {
public:
    virtual ~MapDrawData_C() = default;
};

class Map_C {
public:
    // Map-file failures. The game ends with the code; tests read it.
    enum LoadError : int {
        LOAD_OK = 0,
        LOAD_BAD_ITEM = -1,   // an unknown random item, or no configuration file
        LOAD_EARLY_EOF = -2,  // the file ends before its sections do
        LOAD_SOUNDS_EOF = -3, // the file ends among the sound lines
    };

    explicit Map_C(const char* path);
    // The grid of a map file alone: its size and cells, without pictures,
    // events, stored state or sounds (a look at a map the party is not on).
    // getLoadError tells whether the file could be read.
    static std::unique_ptr<Map_C> gridOnly(const char* path);
    ~Map_C();
    Map_C(const Map_C&) = delete;
    Map_C& operator=(const Map_C&) = delete;

    // LOAD_OK, or the code with which the game must stop.
    int getLoadError() const { return loadError_; }

    // Pictures (floor, ceiling, backdrop, sun, clouds) go to OpenGL; headless
    // tools and tests switch that off before building maps.
    static void setLoadPictures(bool on);
    static bool getLoadPictures();

    // --- grid ---------------------------------------------------------------
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    bool inGrid(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // Never null inside the grid (a missing cell is the closed stand-in);
    // null outside it.
    const CellDef_S* getCell(int x, int y) const;
    // Whether the party can stand on square (x, y): inside the grid, on a
    // square that may be entered.
    bool canStand(int x, int y) const;
    // Whether a step from (x, y) toward the facing is refused.
    bool isBlocked(int x, int y, int facing) const;
    // Whether a step from (x, y) toward the facing leaves the grid (or starts
    // outside it): what stops even a party walking through walls.
    bool leavesGrid(int x, int y, int facing) const;
    // Free navigation: x, y continuous (square i covers [i - 0.5, i + 0.5)).
    // 0 free, bit 1 blocked north-south, bit 2 blocked east-west, 3 outside.
    int freeMoveBlocked(float x, float y, int facing) const;

    // --- names ----------------------------------------------------------------
    const char* getFileName() const { return fileName_.c_str(); }
    const char* getTitle() const { return title_.c_str(); }
    // The file name after its last '/', cut at its first '.': the entry name
    // of the map's state in archive directory "map".
    static std::string baseName(const char* path);

    // --- saved state ----------------------------------------------------------
    mapInfo* getMapInfo() { return info_.get(); }
    const mapInfo* getMapInfo() const { return info_.get(); }
    TagList_C* getTagList() { return &info_->getTagList(); }
    uint8_t getSquareState(int x, int y) const { return info_->getSquareState(x, y); }
    // The stored state did not fit the map and was repaired.
    bool stateRepaired() const { return stateRepaired_; }

    // --- events -----------------------------------------------------------------
    void loadEvents(const char* path);
    bool hasCellEvent(int x, int y) const { return getCellEvent(x, y) != nullptr; }
    bool cellEventNoAnim(int x, int y) const;
    Event_C* getCellEvent(int x, int y) const;
    // Puts an event on a square (replacing and deleting any there); false,
    // and the event deleted, for a square outside the grid.
    bool setCellEvent(int x, int y, std::unique_ptr<Event_C> event);
    void addRandomEvent(std::unique_ptr<Event_C> event, int32_t probability);
    const std::vector<RandEvent_S>& getRandomEvents() const { return randEvents_; }
    int getRandomEventTries() const { return randEventTries_; }
    // Runs the event of the party's square after it entered or turned; a
    // square without an event springs its traps (trapPass).
    void processEvents(int x, int y, Interface_C* iface);
    // 1 when a random event ran, else 0.
    int rollRandomEvents(Interface_C* iface);
    // The random encounter roll, when game time passed on a square without
    // an event and no random event ran: wandering monsters of the map
    // state's table fill the enemy list, weighed against the party's
    // levels and the difficulty, then a fight runs or a lone monster may
    // offer to join (never both). What it came to:
    enum Encounter : int {
        ENCOUNTER_NONE = 0,         // no encounter (enemy list untouched)
        ENCOUNTER_FIGHT_RUN = 1,    // a fight ran (or its class is missing)
        ENCOUNTER_JOIN_OFFER = 2,   // a lone monster offered to join
        ENCOUNTER_STAYED_AWAY = 3,  // a lone monster came, made no offer, no fight
        ENCOUNTER_SLUMBER = 4,      // the undead slumbered on (enemy list emptied)
    };
    int randMonster(Interface_C* iface);
    // Events of this map are running (the world must not delete it).
    bool isBusy() const { return busy_ > 0; }

    // --- traps, stairs, random items ----------------------------------------
    int getStairsX() const { return stairsX_; }
    int getStairsY() const { return stairsY_; }
    const std::vector<MapTrap_S>& getTraps() const { return traps_; }
    const std::vector<RandItem_S>& getRandItems() const { return randItems_; }
    int32_t getRandItemTotal() const { return randItemTotal_; }
    // A new item drawn from the random item table by weight (one roll of
    // the game dice); null when the table is empty or weighs nothing.
    bl3dItem* randItem() const;
    // Marks every square of the rectangle as traps sprung (state bit 0x02)
    // and/or spinners stopped (0x04). Starts below 0 become 0; ends below 0
    // or beyond the grid become the last column and row.
    void springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2);
    // The traps of square (x, y), in file order, as the party enters or
    // turns there (nothing while the world variable "Bardb007" is 1). Each
    // trap first lets the party try to find and defuse it; then a spinner
    // (unless the square's spinners are stopped) turns the party, an
    // anti-magic trap ends magic, a darkness trap ends all light, and a
    // regular trap not yet sprung runs its script ("trap%04d" of its id, or
    // "trapdefuse" when defused) and is sprung. A trap id of 10000 or more
    // and a script the game does not have are told on the error stream and
    // do nothing: the trap stays unsprung.
    void trapPass(int x, int y, Interface_C* iface);
    // The defuse roll of one trap: members who know "LocateTrap" may find it
    // and then, by "Defuse", defuse it; a 1 on the second roll ends the try.
    static bool defuseRoll();
    // The trap effects. Each does nothing when the entry state is clear,
    // and ends the event processing of the square with the entry state
    // cleared (the new facing is not taken as a turn) and a redraw asked.
    void spinnerTrap(Interface_C* iface);
    void antiMagicTrap(Interface_C* iface);
    void darknessTrap(Interface_C* iface);
    // What the party's senses tell on square (x, y); empty when nothing:
    // "There are stairs near." (stairs within range on both axes), "There
    // are traps near." (a trap not sprung within range on both axes),
    // "There is a Secret Door here." (the wall ahead), and where the stairs
    // are from here.
    std::string stairsNear(int x, int y, int range) const;
    std::string trapsNear(int x, int y, int range) const;
    std::string secretDoorHere(int x, int y, int facing) const;
    std::string stairsDirection(int x, int y) const;

    // --- weather ----------------------------------------------------------------
    // Brings the world variables "Weather" (light mode, weather kind, change
    // bit, the previous value in the high half) and "WCalc" (the tick of the
    // next check) up to date when the check is due: every 4 ticks outdoors,
    // every 2400 indoors, where the light mode is always 1. The first form
    // works on the world in play (nothing without one).
    void wetherCheck();
    void wetherCheck(bl3dGameWorld& world);
    // The light mode of an hour outdoors: 2 dawn, 3 day, 4 dusk, 5 night.
    static int hourLightMode(unsigned hour);

    // The sound environments named by the map file.
    const std::vector<MapSound_S>& getSounds() const { return sounds_; }

    // --- look and light (drawn by the 3-D view) ----------------------------
    bool isOutdoors() const { return !hasCeiling_; }
    bool hasCeiling() const { return hasCeiling_; }
    TextureList_C* getTextureList() const { return textures_.get(); }
    const CellDefList_C* getCellDefs() const { return cellDefs_.get(); }
    unsigned getFloorTexture() const { return floorTex_; }
    unsigned getCeilingTexture() const { return ceilingTex_; }
    unsigned getSunTexture() const { return sunTex_; }
    unsigned getCloudTexture(int i) const { return cloudTex_[i & 1]; }
    CloudLayer_S& cloudLayer(int i) { return clouds_[i & 1]; }
    const Backdrop_S& getBackdrop() const { return backdrop_; }
    const float* getFogColour() const { return fogColour_; }
    float getFogDensity() const { return fogDensity_; }
    const float* getSpecialLight() const { return specLight_; }
    bool hasSpecialLight() const { return specLightSet_; }
    // The party's own light (set by the interface's light computation).
    void setPartyLight(const float colour[3], int strength);
    const float* getPartyLightColour() const { return partyLight_; }
    int getPartyLightStrength() const { return partyLightStrength_; }
    float* skyColour() { return skyColour_; }
    double* sunDirection() { return sunDir_; }
    double& dayFraction() { return dayFraction_; }
    // The tick at which the current change of weather kind began, as the
    // last weather check or drawing took it from the world variable
    // "WChange" (which a change records). A world without it (saved before
    // it was kept) counts its change as complete at the first check.
    int32_t weatherChangeStart() const { return weatherChangeStart_; }
    double& changeFraction() { return changeFraction_; }
    MapDrawData_C* getDrawData() const { return drawData_.get(); }
    void setDrawData(std::unique_ptr<MapDrawData_C> data);

    // Defined with the 3-D drawing code.
    void drawEnv();
    void drawSky();
    void drawCells(int x, int y, int facing, int pass);
    void beginShadows();
    void endShadows();

    // Marks the map busy while one of its events runs.
    class BusyGuard {
    public:
        explicit BusyGuard(Map_C& m) : map_(m) { ++map_.busy_; }
        ~BusyGuard() { --map_.busy_; }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        Map_C& map_;
    };

private:
    Map_C(const char* path, bool gridOnly);

    size_t index(int x, int y) const { return static_cast<size_t>(x) * static_cast<size_t>(height_) + static_cast<size_t>(y); }
    bool fail(int code, const char* message);
    bool readConfig(std::string& eventFile, std::string& monsterFile);
    void loadPictures(const char* floorName, const char* ceilingName, const char* backdropName);
    void setupClouds();
    void loadState(const std::string& monsterFile);
    // Hands the map's sound packs to the sound director.
    void registerAudio() const;
    // Reads one event entry; null for an entry that makes no event (and at
    // the end of the file, where `more` turns false).
    std::unique_ptr<Event_C> parseEvent(FILE* f, int& x, int& y, bool& more);
    bool sideBlocked(int x, int y, int facing) const;
    bool diagonalBlocked(int x, int y, int facing) const;

    std::unique_ptr<TextureList_C> textures_;
    std::unique_ptr<CellDefList_C> cellDefs_;
    CellDef_S missingCell_;                 // the stand-in of unknown cells
    std::vector<const CellDef_S*> cells_;   // x * height + y
    std::vector<std::unique_ptr<Event_C>> events_;
    std::vector<RandEvent_S> randEvents_;
    int randEventTries_ = 0;
    int stairsX_ = -1;
    int stairsY_ = -1;
    std::vector<MapTrap_S> traps_;
    std::vector<MapSound_S> sounds_;
    std::vector<RandItem_S> randItems_;
    int32_t randItemTotal_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::string title_;
    std::string fileName_;
    unsigned floorTex_ = 0;
    unsigned ceilingTex_ = 0;
    unsigned cloudTex_[2] = {0, 0};
    CloudLayer_S clouds_[2];
    Backdrop_S backdrop_;
    float fogColour_[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float fogDensity_ = 0.0f;
    float specLight_[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    bool specLightSet_ = false;
    float partyLight_[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    int partyLightStrength_ = 0;
    float skyColour_[3] = {0.0f, 0.0f, 0.0f};
    double sunDir_[3] = {0.0, 0.0, 0.0};
    double dayFraction_ = 0.0;
    unsigned sunTex_ = 0;
    int32_t weatherChangeStart_ = 0;
    double changeFraction_ = 0.0;
    bool hasCeiling_ = false;
    std::unique_ptr<mapInfo> info_;
    bool stateRepaired_ = false;
    bool gridOnly_ = false;
    int loadError_ = LOAD_OK;
    int busy_ = 0;
    std::unique_ptr<MapDrawData_C> drawData_;
};
