#include "world/GameWorld.h"

#include "audio/MasterAudio.h"
#include "core/MemStream.h"
#include "platform/Files.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/Interface.h"
#include "world/Map.h"
#include "world/MapInfo.h"
#include "world/Movement.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

ra2dGameWorld* gameworld = nullptr;

namespace {
constexpr int32_t NEW_WEATHER = 0x30003;
} // namespace

// --- bl3dGameWorld -------------------------------------------------------------

bl3dGameWorld::bl3dGameWorld(const RefStr_C& name) : Storable_C(name), tags_(name) {}

bl3dGameWorld::~bl3dGameWorld() = default;

std::unique_ptr<Storable_C> bl3dGameWorld::create(const RefStr_C& name, int version, MemStream_C& s)
{
    auto w = std::make_unique<bl3dGameWorld>(name);
    if (!w->read(version, s))
        return nullptr;
    return w;
}

void bl3dGameWorld::write(MemStream_C& s) const
{
    writeBase(s);
}

bool bl3dGameWorld::read(int version, MemStream_C& s)
{
    return readBase(version, s);
}

void bl3dGameWorld::writeBase(MemStream_C& s) const
{
    clock_.write(s);
    s.writeUInt64(itemSerial_);
    tags_.write(s);
    s.writeInt32(maxPack_);
    s.writeInt32(maxItems_);
}

bool bl3dGameWorld::readBase(int version, MemStream_C& s)
{
    GameClock_C clock;
    uint64_t serial = 0;
    TagList_C tags(getName());
    int32_t maxPack = 0;
    int32_t maxItems = 0;
    if (!clock.read(s) || !s.readUInt64(serial) || !tags.read(version, s) || !s.readInt32(maxPack) ||
        !s.readInt32(maxItems))
        return false;
    clock_.setTicks(clock.getTicks());
    itemSerial_ = serial;
    tags_ = tags;
    maxPack_ = maxPack;
    maxItems_ = maxItems;
    return true;
}

int32_t bl3dGameWorld::getVar(const char* key) const
{
    int32_t v = 0;
    if (const TagNode_S* node = tags_.find(key)) {
        TagList_C& tags = const_cast<TagList_C&>(tags_);
        if (tags.getInt(node->key.c_str(), v) != 1)
            v = 0;
    }
    return v;
}

void bl3dGameWorld::setVar(const char* key, int32_t value)
{
    tags_.setInt(key, value);
}

// --- ra2dGameWorld -------------------------------------------------------------

ra2dGameWorld::ra2dGameWorld(const RefStr_C& name) : bl3dGameWorld(name), queue_(&getClock()) {}

ra2dGameWorld::~ra2dGameWorld()
{
    previous_.reset();
    current_.reset();
    retired_.clear();
    queue_.clear();
    if (gameworld == this)
        gameworld = nullptr;
}

std::unique_ptr<Storable_C> ra2dGameWorld::create(const RefStr_C& name, int version, MemStream_C& s)
{
    auto w = std::make_unique<ra2dGameWorld>(name);
    if (!w->read(version, s))
        return nullptr;
    return w;
}

int ra2dGameWorld::getSquareX() const
{
    return static_cast<int>(CurX);
}

int ra2dGameWorld::getSquareY() const
{
    return static_cast<int>(-CurZ);
}

namespace {
// Floats are stored as their 4 IEEE bytes, little-endian.
void writeFloat(MemStream_C& s, float f)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    s.writeUInt32(bits);
}
} // namespace

void ra2dGameWorld::write(MemStream_C& s) const
{
    writeFloat(s, CurX);
    writeFloat(s, CurZ);
    s.writeInt32(facing);
    s.writeInt32(songBits);
    s.writeInt32(songID);
    RefStr_C(current_ ? current_->getFileName() : "").write(s);
    queue_.write(s);
    writeBase(s);
    mapStatesStored_ = true;
    if (current_)
        mapStatesStored_ = storeState(*current_) && mapStatesStored_;
    if (previous_)
        mapStatesStored_ = storeState(*previous_) && mapStatesStored_;
}

namespace {
bool readFloat(MemStream_C& s, float& f)
{
    uint32_t bits = 0;
    if (!s.readUInt32(bits))
        return false;
    std::memcpy(&f, &bits, 4);
    return true;
}

// A position that cannot be a square of any map.
bool badPosition(float x, float z)
{
    return !std::isfinite(x) || !std::isfinite(z) || x < 0.0f || z > 0.0f || x > 1.0e6f || z < -1.0e6f;
}
} // namespace

bool ra2dGameWorld::read(int version, MemStream_C& s)
{
    float x = 0.0f;
    float z = 0.0f;
    int32_t f = 0;
    int32_t bits = 0;
    int32_t song = 0;
    RefStr_C path;
    if (!readFloat(s, x) || !readFloat(s, z) || !s.readInt32(f) || !s.readInt32(bits) || !s.readInt32(song) ||
        !path.read(s))
        return false;
    if (!queue_.read(s) || !readBase(version, s))
        return false;

    auto map = std::make_unique<Map_C>(vell::normalPath(path.c_str()).c_str());
    mapError_ = map->getLoadError();
    if (mapError_ != Map_C::LOAD_OK)
        return false;
    // A stored position off the map is put back on it.
    if (badPosition(x, z) || !map->inGrid(static_cast<int>(x), static_cast<int>(-z))) {
        std::fprintf(stderr, "ERROR: stored position (%g, %g) is off map %s\n", x, z, path.c_str());
        x = std::fmin(std::fmax(std::isfinite(x) ? x : 0.0f, 0.0f), static_cast<float>(map->getWidth() - 1));
        z = -std::fmin(std::fmax(std::isfinite(z) ? -z : 0.0f, 0.0f), static_cast<float>(map->getHeight() - 1));
        x = std::floor(x);
        z = -std::floor(-z);
    }
    if (!movement::isFacing(f))
        f = 0;
    CurX = viewX = x;
    CurZ = viewZ = z;
    facing = viewFacing = f;
    songBits = bits;
    songID = song;
    previous_.reset();
    current_ = std::move(map);
    // The nightly and hourly upkeep each queue their next run; a world
    // stored when one of them had stopped doing so gets it back.
    if (ensureUpkeepEvents())
        std::fprintf(stderr, "WARNING: the stored world lacked its nightly or hourly upkeep; queued again\n");
    return true;
}

bool ra2dGameWorld::newWorld()
{
    CurX = viewX = 13.0f;
    CurZ = viewZ = -24.0f;
    facing = viewFacing = 0;
    previous_.reset();
    current_ = std::make_unique<Map_C>(START_MAP);
    mapError_ = current_->getLoadError();
    const uint32_t now = getClock().getTicks();
    setVar(tagkey::Weather, NEW_WEATHER);
    setVar(tagkey::WCalc, static_cast<int32_t>(now - 1));
    setVar(tagkey::Light, 0);
    queue_.enqueue(nextDayStart(), createTimedEvent(EVENT_NIGHTLY).release());
    queue_.enqueue(nextHourStart(), createTimedEvent(EVENT_HOURLY).release());
    return mapError_ == 0;
}

uint32_t ra2dGameWorld::nextHourStart() const
{
    const GameClock_C& c = getClock();
    return c.getTicks() - c.getSecond() / 15 - c.getMinute() * GameClock_C::TICKS_PER_MINUTE +
           GameClock_C::TICKS_PER_HOUR;
}

uint32_t ra2dGameWorld::nextDayStart() const
{
    const uint32_t hourStart = nextHourStart() - GameClock_C::TICKS_PER_HOUR;
    return hourStart - getClock().getHour() * GameClock_C::TICKS_PER_HOUR + GameClock_C::TICKS_PER_DAY;
}

bool ra2dGameWorld::ensureUpkeepEvents()
{
    bool nightly = false;
    bool hourly = false;
    for (const QueueNode_S* n = queue_.head(); n; n = n->next) {
        nightly = nightly || n->event->typeId() == EVENT_NIGHTLY;
        hourly = hourly || n->event->typeId() == EVENT_HOURLY;
    }
    if (!nightly)
        queue_.enqueue(nextDayStart(), createTimedEvent(EVENT_NIGHTLY).release());
    if (!hourly)
        queue_.enqueue(nextHourStart(), createTimedEvent(EVENT_HOURLY).release());
    return !nightly || !hourly;
}

bool ra2dGameWorld::storeState(const Map_C& map)
{
    return map.getMapInfo() && storeMapState(*map.getMapInfo());
}

void ra2dGameWorld::releaseRetired()
{
    for (auto it = retired_.begin(); it != retired_.end();) {
        if (it->map->isBusy()) {
            ++it;
            continue;
        }
        if (!it->superseded)
            storeState(*it->map);
        it = retired_.erase(it);
    }
}

void ra2dGameWorld::supersedeRetired(const char* path, bool built)
{
    for (Retired_S& r : retired_) {
        if (r.superseded || std::strcmp(r.map->getFileName(), path) != 0)
            continue;
        if (built)
            r.superseded = true;
        else
            storeState(*r.map);
    }
}

bool ra2dGameWorld::newMap(const char* given)
{
    if (!given)
        return false;
    const std::string normal = vell::normalPath(given);
    const char* path = normal.c_str();
    releaseRetired();
    if (current_ && std::strcmp(current_->getFileName(), path) == 0)
        return true; // already there: nothing is rebuilt or dropped
    if (previous_ && std::strcmp(previous_->getFileName(), path) == 0) {
        std::swap(current_, previous_);
    } else {
        // The new object starts from the latest state of a set-aside copy.
        supersedeRetired(path, false);
        auto map = std::make_unique<Map_C>(path);
        if (map->getLoadError() != Map_C::LOAD_OK) {
            mapError_ = map->getLoadError();
            std::fprintf(stderr, "ERROR: map %s cannot be loaded (%d)\n", path, map->getLoadError());
            return false;
        }
        supersedeRetired(path, true);
        if (previous_) {
            storeState(*previous_);
            if (previous_->isBusy())
                retired_.push_back(Retired_S{std::move(previous_), false}); // its event is still running
            previous_.reset();
        }
        previous_ = std::move(current_);
        current_ = std::move(map);
    }
    afterMapChange();
    return true;
}

bool ra2dGameWorld::canStand(const char* given, int x, int y, std::string* why) const
{
    const std::string path = vell::normalPath(given ? given : "");
    const Map_C* map = nullptr;
    std::unique_ptr<Map_C> look;
    if (current_ && path == current_->getFileName())
        map = current_.get();
    else if (previous_ && path == previous_->getFileName())
        map = previous_.get();
    else
        map = (look = Map_C::gridOnly(path.c_str())).get();
    const char* reason = nullptr;
    if (map->getLoadError() != Map_C::LOAD_OK)
        reason = "that map cannot be read";
    else if (!map->inGrid(x, y))
        reason = "the square is off the map";
    else if (!map->canStand(x, y))
        reason = "the square cannot be entered";
    if (reason && why)
        *why = reason;
    return !reason;
}

void ra2dGameWorld::afterMapChange()
{
    // The weather is computed afresh at the next check.
    setVar(tagkey::WCalc, static_cast<int32_t>(getClock().getTicks() - 1));
    maserAudio.mapChange(current_->getFileName());
    current_->wetherCheck(*this);
    if (iface.getWorld() == this)
        iface.calcLight();
}

void registerWorldTypes()
{
    TypeRegistry_C& reg = getTypeRegistry();
    reg.add(TYPE_GAME_WORLD, &bl3dGameWorld::create);
    reg.add(TYPE_RA2D_WORLD, &ra2dGameWorld::create);
    reg.add(TYPE_MAP_INFO, &mapInfo::create);
}

namespace {
// The world's records are known to the type registry as soon as the world is
// part of the program, so that a quest can be read whoever starts it.
const bool worldTypesRegistered = (registerWorldTypes(), true);
} // namespace
