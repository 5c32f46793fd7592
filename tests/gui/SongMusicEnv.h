// The game's answers to the actions, with a sound director that has lute
// music for every song and remembers what it plays (song screen and fight
// tests).
#pragma once
#include "screens/CharView.h"
#include "app/WorldActionEnv.h"

#include <cstdint>

namespace songmusic {

constexpr uint32_t LUTE = 0x1u << 2;

class MusicEnv_C : public WorldActionEnv_C {
public:
    MusicEnv_C() : WorldActionEnv_C(&CharView_C::equipTrial) {}
    bool bsTest(int32_t, uint32_t parts) override { return (parts & LUTE) != 0; }
    int playSong(int32_t id, uint32_t) override
    {
        playing = id;
        return 0;
    }
    int stopSong() override
    {
        playing = 0;
        ++stops;
        return 0;
    }
    int stopFightSong() override { return stopSong(); }
    int32_t playing = 0;
    int stops = 0;
};

} // namespace songmusic
