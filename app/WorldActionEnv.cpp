#include "app/WorldActionEnv.h"

#include "audio/MasterAudio.h"
#include "events/Event_7001.h"
#include "world/Event.h"
#include "world/EventQueue.h"
#include "world/Interface.h"
#include "world/Map.h"

#include <memory>

namespace
{

// Hands the event to the world's queue; false (and the event deleted) when
// no quest is loaded or the tick has passed.
bool queue(std::unique_ptr<Event_C> event, uint32_t due)
{
    EventQueue_C* q = iface.getEventQueue();
    if (!q || !event || q->enqueue(due, event.get()) == 0)
        return false;
    event.release(); // the queue owns it now
    return true;
}

} // namespace

bool WorldActionEnv_C::queueStunTimeout(bl3dCharacter* target, uint32_t due)
{
    return queue(std::make_unique<Event_7001_C>(target), due);
}

bool WorldActionEnv_C::queueTimedEvent(int typeId, uint32_t due)
{
    return queue(createTimedEvent(typeId), due);
}

void WorldActionEnv_C::calcLight()
{
    if (iface.getWorld())
        iface.calcLight();
}

void WorldActionEnv_C::buildPercepPane()
{
    if (iface.getWorld())
        iface.buildPercepPane();
}

void WorldActionEnv_C::calcXC()
{
    if (iface.getWorld())
        iface.calcXC();
}

bool WorldActionEnv_C::partyPosition(int& x, int& y, int& facing) const
{
    if (!iface.getWorld())
        return ActionEnv_C::partyPosition(x, y, facing);
    x = static_cast<int>(iface.getCurX());
    y = static_cast<int>(-iface.getCurZ());
    facing = iface.getFacing();
    return true;
}

bool WorldActionEnv_C::moveParty(int x, int y)
{
    const Map_C* map = iface.getWorld() ? iface.getCurrentMap() : nullptr;
    if (!map || !map->inGrid(x, y))
        return false;
    iface.setCurX(static_cast<float>(x));
    iface.setCurZ(-static_cast<float>(y));
    return true;
}

bool WorldActionEnv_C::mapSize(int& width, int& height) const
{
    const Map_C* map = iface.getWorld() ? iface.getCurrentMap() : nullptr;
    width = map ? map->getWidth() : 0;
    height = map ? map->getHeight() : 0;
    return map != nullptr;
}

bool WorldActionEnv_C::isBlocked(int x, int y, int facing) const
{
    const Map_C* map = iface.getWorld() ? iface.getCurrentMap() : nullptr;
    return !map || map->isBlocked(x, y, facing);
}

bool WorldActionEnv_C::hasWall(int x, int y, int facing) const
{
    const Map_C* map = iface.getWorld() ? iface.getCurrentMap() : nullptr;
    const CellDef_S* cell = map ? map->getCell(x, y) : nullptr;
    return cell && cell->hasWall(facing);
}

uint8_t WorldActionEnv_C::squareState(int x, int y) const
{
    const Map_C* map = iface.getWorld() ? iface.getCurrentMap() : nullptr;
    return map ? map->getSquareState(x, y) : 0;
}

void WorldActionEnv_C::springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2)
{
    if (Map_C* map = iface.getWorld() ? iface.getCurrentMap() : nullptr)
        map->springTraps(spring, spinners, x1, y1, x2, y2);
}

bool WorldActionEnv_C::bsTest(int32_t songId, uint32_t parts)
{
    return maserAudio.bsTest(static_cast<uint32_t>(songId), parts);
}

int WorldActionEnv_C::playSong(int32_t songId, uint32_t parts)
{
    return maserAudio.playSong(static_cast<uint32_t>(songId), parts);
}

int WorldActionEnv_C::stopSong()
{
    maserAudio.stopSong();
    return 0;
}

int WorldActionEnv_C::stopFightSong()
{
    maserAudio.stopPlaceSong();
    return 0;
}

bool WorldActionEnv_C::isSongPlaying() const
{
    return maserAudio.isSongPlaying();
}

bool WorldActionEnv_C::equipTrial(bl3dPartyChar* member, EquipTrial_S& out)
{
    if (!member || !equipScreen_)
        return false;
    return equipScreen_(member, out);
}

void installWorldActionEnv(EquipTrialScreen equipScreen)
{
    static WorldActionEnv_C env;
    env.setEquipTrialScreen(equipScreen);
    setActionEnv(&env);
}
