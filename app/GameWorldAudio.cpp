// The sound director's view of the quest in play: the global game world's
// clock for the time of day, and its song fields.
#include "app/GameWorldAudio.h"

#include "audio/MasterAudio.h"
#include "world/GameWorld.h"

namespace {

class GameWorldAudio_C : public AudioWorld_C {
public:
    bool timeOfDay(unsigned& hour, unsigned& minute) const override
    {
        if (!gameworld)
            return false;
        hour = gameworld->getClock().getHour();
        minute = gameworld->getClock().getMinute();
        return true;
    }
    int32_t songId() const override { return gameworld ? gameworld->songID : 0; }
    void setSong(int32_t id, uint32_t parts) override
    {
        if (!gameworld)
            return;
        gameworld->songID = id;
        gameworld->songBits = static_cast<int32_t>(parts);
    }
};

GameWorldAudio_C questWorld;

} // namespace

int initMasterAudio()
{
    maserAudio.setWorld(questWorld);
    return maserAudio.load("data/audio.dat");
}
