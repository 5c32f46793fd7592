#include "world/MapInfo.h"

#include "core/MemStream.h"
#include "platform/Files.h"
#include "rules/MonsterType.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// name length, then eight int32 values: the least bytes one stored entry takes
constexpr uint32_t MIN_STORED_MONSTER = 4 + 8 * 4;
constexpr int MONSTER_LINE = 256;

void underscoresToBlanks(char* s)
{
    for (; *s; ++s)
        if (*s == '_')
            *s = ' ';
}

} // namespace

mapInfo::mapInfo(const RefStr_C& name, int32_t width, int32_t height)
    : Storable_C(name), tags_(name)
{
    if (width > 0 && height > 0) {
        width_ = width;
        height_ = height;
        squares_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    }
}

std::unique_ptr<Storable_C> mapInfo::create(const RefStr_C& name, int version, MemStream_C& s)
{
    auto info = std::make_unique<mapInfo>(name, 0, 0);
    if (!info->read(version, s))
        return nullptr;
    return info;
}

void mapInfo::clearMonsters()
{
    monsters_.clear();
    weightTotal_ = 0;
    remainingTotal_ = 0;
    startRemaining_ = 0;
}

void mapInfo::recomputeTotals()
{
    // Summed wide: the numbers come from files and may be anything.
    int64_t weight = 0;
    int64_t remaining = 0;
    for (const MapMonster_S& m : monsters_) {
        weight += m.weight;
        remaining += m.remaining;
    }
    weightTotal_ = static_cast<int32_t>(std::clamp<int64_t>(weight, INT32_MIN, INT32_MAX));
    remainingTotal_ = static_cast<int32_t>(std::clamp<int64_t>(remaining, INT32_MIN, INT32_MAX));
}

bool mapInfo::loadMonsters(const char* path)
{
    clearMonsters();
    encounterRate_ = 0;
    FILE* f = vell::openFile(path, "r");
    if (!f) {
        std::fprintf(stderr, "ERROR: Could not open Monster file %s\n", path);
        return false;
    }
    char line[MONSTER_LINE];
    int32_t count = 0;
    int32_t rate = 0;
    if (!std::fgets(line, sizeof line, f)) {
        std::fprintf(stderr, "ERROR: Unexpected EOF (header) on Monster file %s\n", path);
        std::fclose(f);
        return false;
    }
    if (std::sscanf(line, "%d %d", &count, &rate) < 1)
        count = 0;
    encounterRate_ = rate;

    for (int32_t i = 0; i < count; ++i) {
        if (!std::fgets(line, sizeof line, f)) {
            std::fprintf(stderr, "ERROR: Unexpected EOF on Monster file %s\n", path);
            clearMonsters();
            std::fclose(f);
            return false;
        }
        if (!std::strchr(line, '\n') && !std::feof(f)) {
            // Longer than a line may be: dropped whole, not read as two.
            int c;
            while ((c = std::fgetc(f)) != EOF && c != '\n') {
            }
            std::fprintf(stderr, "ERROR: Malformed monster entry: %s\n", line);
            continue;
        }
        vell::stripLineEnd(line);
        char name[MONSTER_LINE] = {};
        MapMonster_S m;
        unsigned flags = 0;
        int n = std::sscanf(line, "%255s %d %d %d %d %d %d %d 0x%8X", name, &m.minGroup, &m.spread, &m.distance,
                            &m.weight, &m.remaining, &m.firstHour, &m.endHour, &flags);
        if (n < 6) {
            std::fprintf(stderr, "ERROR: Malformed monster entry: %s\n", line);
            continue;
        }
        if (n < 8) {
            m.firstHour = -1;
            m.endHour = -1;
        }
        m.flags = n >= 9 ? flags : 0;
        underscoresToBlanks(name);
        m.type = masterMTL.findByName(name);
        if (!m.type) {
            std::fprintf(stderr, "ERROR: Could not find monster '%s' in MTL\n", name);
            continue;
        }
        m.typeName = name;
        monsters_.push_back(m);
    }
    std::fclose(f);
    recomputeTotals();
    startRemaining_ = remainingTotal_;
    return true;
}

void mapInfo::write(MemStream_C& s) const
{
    s.writeInt32(getMonsterCount());
    s.writeInt32(startRemaining_);
    s.writeInt32(encounterRate_);
    for (const MapMonster_S& m : monsters_) {
        m.typeName.write(s);
        s.writeInt32(m.minGroup);
        s.writeInt32(m.spread);
        s.writeInt32(m.distance);
        s.writeInt32(m.weight);
        s.writeInt32(m.remaining);
        s.writeInt32(m.firstHour);
        s.writeInt32(m.endHour);
        s.writeUInt32(m.flags);
    }
    tags_.write(s);
    s.writeInt32(width_);
    s.writeInt32(height_);
    if (!squares_.empty())
        s.write(squares_.data(), static_cast<uint32_t>(squares_.size()));
}

bool mapInfo::read(int version, MemStream_C& s)
{
    droppedUnknown_ = false;
    int32_t count = 0;
    int32_t start = 0;
    int32_t rate = 0;
    if (!s.readInt32(count) || !s.readInt32(start) || !s.readInt32(rate))
        return false;
    if (count < 0 || static_cast<uint32_t>(count) > s.remaining() / MIN_STORED_MONSTER)
        return false;

    std::vector<MapMonster_S> table;
    for (int32_t i = 0; i < count; ++i) {
        MapMonster_S m;
        if (!m.typeName.read(s))
            return false;
        if (!s.readInt32(m.minGroup) || !s.readInt32(m.spread) || !s.readInt32(m.distance) ||
            !s.readInt32(m.weight) || !s.readInt32(m.remaining) || !s.readInt32(m.firstHour) ||
            !s.readInt32(m.endHour) || !s.readUInt32(m.flags))
            return false;
        m.type = masterMTL.findByName(m.typeName.c_str());
        if (!m.type) {
            std::fprintf(stderr, "ERROR: Could not find monster '%s' in MTL\n", m.typeName.c_str());
            droppedUnknown_ = true;
            continue;
        }
        table.push_back(m);
    }

    TagList_C tags(getName());
    if (!tags.read(version, s))
        return false;

    int32_t w = 0;
    int32_t h = 0;
    if (!s.readInt32(w) || !s.readInt32(h) || w < 0 || h < 0)
        return false;
    const uint64_t bytes = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    if (bytes > s.remaining())
        return false;
    std::vector<uint8_t> squares(static_cast<size_t>(bytes));
    if (bytes && !s.read(squares.data(), static_cast<uint32_t>(bytes)))
        return false;

    monsters_ = std::move(table);
    startRemaining_ = start;
    encounterRate_ = rate;
    recomputeTotals();
    tags_ = tags;
    if (bytes == 0) {
        w = 0;
        h = 0;
    }
    width_ = w;
    height_ = h;
    squares_ = std::move(squares);
    return true;
}

bool mapInfo::fitTo(int32_t width, int32_t height)
{
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    if (width == 0 || height == 0)
        width = height = 0;
    if (width == width_ && height == height_ && squares_.size() == static_cast<size_t>(width) * height)
        return false;
    std::vector<uint8_t> squares(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height && y < height_; ++y)
        for (int32_t x = 0; x < width && x < width_; ++x)
            squares[static_cast<size_t>(x) + static_cast<size_t>(y) * width] = getSquareState(x, y);
    width_ = width;
    height_ = height;
    squares_ = std::move(squares);
    return true;
}

uint8_t mapInfo::getSquareState(int32_t x, int32_t y) const
{
    if (!inGrid(x, y))
        return 0;
    return squares_[static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(width_)];
}

void mapInfo::setSquareState(int32_t x, int32_t y, uint8_t state)
{
    if (inGrid(x, y))
        squares_[static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(width_)] = state;
}

void mapInfo::orSquareState(int32_t x, int32_t y, uint8_t bits)
{
    setSquareState(x, y, getSquareState(x, y) | bits);
}

namespace {
MapStateStore_C* customStore = nullptr;
} // namespace

void setMapStateStore(MapStateStore_C* store)
{
    customStore = store;
}

std::unique_ptr<mapInfo> loadMapState(const char* name)
{
    if (customStore)
        return customStore->load(name);
    return nullptr;
}

bool storeMapState(const mapInfo& info)
{
    if (customStore)
        return customStore->store(info);
    return false;
}
