// bench_audio: what the sound director costs, on the real SDL_mixer (dummy
// audio driver unless SDL_AUDIODRIVER says otherwise) and the shipped data.
//
//   bench_audio [game folder]
//
// Prints: loading "data/audio.dat" (the director's share of start-up), its
// music and sounds (at the first map), registering the town's packs (a map
// load), then per
// call: tick with the right music already playing, tick across a change of
// hour, mapChange to the same map, mapChange between the town and the
// catacombs, and an environment push and pop. The floor is a fixed piece
// of plain work timed in the same run.
#include "audio/MasterAudio.h"
#include "audio/SdlAudioPort.h"
#include "core/GameConfig.h"
#include "tools/BenchSupport.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

using bench::Clock;
using bench::msSince;

class BenchWorld : public AudioWorld_C {
public:
    unsigned hour = 12, minute = 0;
    int32_t song = 0;
    bool timeOfDay(unsigned& h, unsigned& m) const override
    {
        h = hour;
        m = minute;
        return true;
    }
    int32_t songId() const override { return song; }
    void setSong(int32_t id, uint32_t) override { song = id; }
};

void noWork(int) {}

// Nanoseconds per call of fn over n calls.
double perCall(int n, const std::function<void(int)>& fn)
{
    const Clock::time_point t = Clock::now();
    for (int i = 0; i < n; ++i)
        fn(i);
    return msSince(t) * 1e6 / n;
}

} // namespace

int main(int argc, char** argv)
{
    if (!bench::enterGameFolder(argv[0], argc > 1 ? argv[1] : nullptr))
        return 1;
    if (!std::getenv("SDL_AUDIODRIVER"))
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_TIMER) != 0 || Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 4096) != 0) {
        std::fprintf(stderr, "ERROR: no mixer: %s\n", SDL_GetError());
        return 1;
    }
    gameConfig.sound = gameConfig.audioMusic = gameConfig.audioSpecial = true;
    bench::printReferenceFloor();
    {
        SdlAudioPort_C port(noWork);
        BenchWorld world;
        MasterAudio_C audio(port, world);

        Clock::time_point t = Clock::now();
        const std::clock_t cpu = std::clock();
        if (audio.load("data/audio.dat") < 0) {
            std::fprintf(stderr, "ERROR: data/audio.dat cannot be read\n");
            return 1;
        }
        const double loadMs = msSince(t);
        const double loadCpu = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
        std::printf("data/audio.dat: %zu environments, %zu bard songs\n", audio.environmentCount(),
                    audio.bardSongCount());
        bench::figure("load data/audio.dat at start-up", loadMs, "ms", bench::number(loadCpu) + " ms of CPU");
        t = Clock::now();
        const std::clock_t cpu2 = std::clock();
        audio.loadMedia();
        const double mediaMs = msSince(t);
        bench::figure("load the sounds at the first map", mediaMs, "ms",
                      bench::number(double(std::clock() - cpu2) * 1000.0 / CLOCKS_PER_SEC) + " ms of CPU");

        const char* town[] = {"data/sounds/packs/town_night.env", "data/sounds/packs/town_morning.env",
                              "data/sounds/packs/town_day.env", "data/sounds/packs/town_night.env"};
        const int hours[] = {0, 6, 11, 20};
        const char* crypt[] = {"data/sounds/packs/catacombs.env"};
        const int zero[] = {0};
        t = Clock::now();
        audio.addMapAudio("maps/renibister.cfg", 4, town, hours);
        bench::figure("add the town's 4 sound packs", msSince(t), "ms");
        audio.addMapAudio("maps/catacombs.cfg", 1, crypt, zero);
        audio.mapChange("maps/renibister.cfg");

        const int n = 200000;
        bench::figure("tick, music already right", perCall(n, [&](int) { audio.tick(); }), "ns");
        bench::figure("tick, minutes passing (timed sounds)", perCall(n, [&](int i) {
                          world.hour = 11 + (i / 60) % 8;
                          world.minute = unsigned(i % 60);
                          audio.tick();
                      }),
                      "ns");
        world.hour = 12;
        world.minute = 0;
        bench::figure("map change to the same map", perCall(n, [&](int) { audio.mapChange("maps/renibister.cfg"); }),
                      "ns");
        bench::figure("map change town <-> catacombs", perCall(2000, [&](int i) {
                          audio.mapChange(i % 2 ? "maps/renibister.cfg" : "maps/catacombs.cfg");
                      }),
                      "ns", "a change of music each");
        bench::figure("environment push + pop", perCall(2000, [&](int) {
                          audio.pushSpecAudio("Tavern");
                          audio.popSpecAudio();
                      }),
                      "ns");
        audio.release();
    }
    Mix_CloseAudio();
    SDL_Quit();
    return 0;
}
