// The global sound director on SDL_mixer. It sees no quest until
// initMasterAudio hands it the game world (app/GameWorldAudio.cpp), so that code
// which only builds maps needs nothing of the world to link.
#include "audio/MasterAudio.h"
#include "audio/SdlAudioPort.h"

namespace {

class NoQuest_C : public AudioWorld_C {
public:
    bool timeOfDay(unsigned&, unsigned&) const override { return false; }
    int32_t songId() const override { return 0; }
    void setSong(int32_t, uint32_t) override {}
};

void directorTimerWork(int kind);

SdlAudioPort_C sdlPort(directorTimerWork);
NoQuest_C noQuest;

} // namespace

MasterAudio_C maserAudio(sdlPort, noQuest);

namespace {
void directorTimerWork(int kind) { maserAudio.timerWork(kind); }
} // namespace

AudioPort_C& gameAudioPort() { return sdlPort; }
