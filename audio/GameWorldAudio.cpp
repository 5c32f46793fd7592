// The sound director as the game builds it: SDL_mixer through its port, and
// the quest in play (the global game world) for the time of day and the song.
#include "audio/MasterAudio.h"
#include "audio/SdlAudioPort.h"
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

void directorTimerWork(int kind);

SdlAudioPort_C sdlPort(directorTimerWork);
GameWorldAudio_C questWorld;

} // namespace

MasterAudio_C maserAudio(sdlPort, questWorld);

namespace {
void directorTimerWork(int kind) { maserAudio.timerWork(kind); }
} // namespace

int initMasterAudio() { return maserAudio.load("data/audio.dat"); }
