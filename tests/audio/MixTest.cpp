// The director on the real SDL_mixer, recorded by SDL's "disk" audio driver:
// entering the town at noon with the shipped data makes a mix that is not
// silent; with sound off the same steps make silence.
#include "RecordingPort.h"

#include "audio/MasterAudio.h"
#include "audio/SdlAudioPort.h"
#include "core/GameConfig.h"

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void noWork(int) {}

// The root mean square of the 16-bit samples in the file, skipping `skip`
// bytes at its start.
double rmsOf(const std::string& path)
{
    std::vector<int16_t> s;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int16_t buf[4096];
        size_t n = 0;
        while ((n = std::fread(buf, sizeof buf[0], 4096, f)) > 0)
            s.insert(s.end(), buf, buf + n);
        std::fclose(f);
    }
    if (s.empty())
        return 0;
    double sum = 0;
    for (int16_t v : s)
        sum += double(v) * double(v);
    return std::sqrt(sum / double(s.size()));
}

class MixTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        raw_ = std::string(oldDir_) + "/mixtest-" + std::to_string(::getpid()) + ".raw";
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", raw_.c_str(), 1);
        ::setenv("SDL_DISKAUDIODELAY", "40", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO | SDL_INIT_TIMER), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 4096), 0) << Mix_GetError();
        ASSERT_EQ(::chdir(VELL_GAME_DIR), 0) << "the game folder is not built: " VELL_GAME_DIR;
        saved_ = gameConfig;
    }
    void TearDown() override
    {
        gameConfig = saved_;
        Mix_CloseAudio();
        SDL_Quit();
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::remove(raw_.c_str());
        if (::chdir(oldDir_) != 0)
            std::perror("chdir");
    }

    char oldDir_[4096];
    std::string raw_;
    GameConfig_S saved_;
};

TEST_P(MixTest, EnteringTheTownAtNoon)
{
    const bool sound = GetParam();
    gameConfig.sound = sound;
    gameConfig.audioMusic = true;
    gameConfig.audioSpecial = true;
    {
        SdlAudioPort_C port(noWork);
        vell_test::TestWorld world;
        world.hour = 12;
        MasterAudio_C audio(port, world);
        ASSERT_EQ(audio.load("data/audio.dat"), 0);
        EXPECT_EQ(audio.environmentCount() > 0, sound);
        EXPECT_EQ(audio.bardSongCount(), 12u) << "the four built-in songs and the Lyre's eight";
        const char* packs[] = {"data/sounds/packs/town_night.env", "data/sounds/packs/town_morning.env",
                               "data/sounds/packs/town_day.env", "data/sounds/packs/town_night.env"};
        const int hours[] = {0, 6, 11, 20};
        audio.addMapAudio("maps/renibister.cfg", 4, packs, hours);
        EXPECT_EQ(audio.mapChange("maps/renibister.cfg"), sound ? 0 : 0);
        audio.setRain(1, 100);
        EXPECT_EQ(audio.playSound("W_Axe"), 0);
        EXPECT_EQ(Mix_PlayingMusic() != 0, sound);
        SDL_Delay(1500);
        audio.release();
    }
    Mix_CloseAudio();
    const double rms = rmsOf(raw_);
    if (sound)
        EXPECT_GT(rms, 300.0) << "the town at noon made no sound (RMS " << rms << ")";
    else
        EXPECT_LT(rms, 1.0) << "sound off, yet something played (RMS " << rms << ")";
}

// The ready-made bard of the quest template plays her lute and sings (parts
// 0x404): the shipped music has those parts for both songs she knows, and
// her song takes over from the town's music.
TEST_P(MixTest, TheTemplateBardsSongsHaveTheirMusic)
{
    const bool sound = GetParam();
    gameConfig.sound = sound;
    gameConfig.audioMusic = true;
    {
        SdlAudioPort_C port(noWork);
        vell_test::TestWorld world;
        world.hour = 12;
        MasterAudio_C audio(port, world);
        ASSERT_EQ(audio.load("data/audio.dat"), 0);
        const SongParts_S lieselsParts(0x404);
        for (uint32_t song : {0x005ab009u, 0x005ab00du})
            EXPECT_TRUE(audio.bsTest(song, lieselsParts)) << std::hex << song;
        const char* packs[] = {"data/sounds/packs/town_day.env"};
        const int hours[] = {0};
        audio.addMapAudio("maps/renibister.cfg", 1, packs, hours);
        audio.mapChange("maps/renibister.cfg");
        if (sound) {
            EXPECT_EQ(audio.playSong(0x005ab009u, lieselsParts), 0);
            EXPECT_TRUE(audio.isSongPlaying());
        }
        SDL_Delay(1000);
        audio.release();
    }
    Mix_CloseAudio();
    const double rms = rmsOf(raw_);
    if (sound)
        EXPECT_GT(rms, 300.0) << "the song made no sound (RMS " << rms << ")";
    else
        EXPECT_LT(rms, 1.0) << "sound off, yet something played (RMS " << rms << ")";
}

INSTANTIATE_TEST_SUITE_P(SoundOnAndOff, MixTest, ::testing::Bool());

} // namespace
