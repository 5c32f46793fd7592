// The shipped music and sounds as the mixer plays them: every sound effect
// sits under the music and never takes music and sound together past full
// scale; the introduction slides' two tracks last as long as their sections.
#include "core/GameConfig.h"

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>
#include <smpeg.h>
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Level {
    std::string file;
    double rms = 0; // of full scale
    double peak = 0;
};

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> out;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n.size() > 4 && (n.compare(n.size() - 4, 4, ".ogg") == 0 || n.compare(n.size() - 4, 4, ".wav") == 0))
                out.push_back(folder + "/" + n);
        }
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Decoded by the mixer into its own format (22050 Hz, 16-bit stereo).
Level levelOf(const std::string& file)
{
    Level l;
    l.file = file;
    Mix_Chunk* c = Mix_LoadWAV(file.c_str());
    if (!c)
        return l;
    const auto* s = reinterpret_cast<const int16_t*>(c->abuf);
    const size_t n = c->alen / 2;
    double sum = 0;
    int peak = 0;
    for (size_t i = 0; i < n; ++i) {
        sum += double(s[i]) * double(s[i]);
        peak = std::max(peak, std::abs(int(s[i])));
    }
    Mix_FreeChunk(c);
    l.rms = n ? std::sqrt(sum / double(n)) / 32768.0 : 0;
    l.peak = peak / 32768.0;
    return l;
}

class ShippedSoundsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 4096), 0) << Mix_GetError();
    }
    void TearDown() override
    {
        Mix_CloseAudio();
        SDL_Quit();
    }
    static std::string sounds(const char* folder) { return std::string(VELL_GAME_DIR "/data/sounds/") + folder; }
};

// In the town at noon the music plays with birds, a cart, rain and the odd
// timed bell; in a fight with the weapons' and spells' sounds.
TEST_F(ShippedSoundsTest, SoundsSitUnderTheMusicAndNeverClipWithIt)
{
    std::vector<Level> music, effects;
    for (const char* folder : {"music", "songs"})
        for (const std::string& f : filesIn(sounds(folder)))
            music.push_back(levelOf(f));
    for (const char* folder : {"ambient", "timed", "rain", "named"})
        for (const std::string& f : filesIn(sounds(folder)))
            effects.push_back(levelOf(f));
    ASSERT_GT(music.size(), 20u) << "the game folder is not built: " VELL_GAME_DIR;
    ASSERT_GT(effects.size(), 50u);
    double quietest = 1, loudest = 0;
    for (const Level& m : music) {
        ASSERT_GT(m.rms, 0) << m.file << " does not decode";
        quietest = std::min(quietest, m.rms);
        loudest = std::max(loudest, m.peak);
        EXPECT_LT(m.peak, 1.0) << m.file << " clips";
    }
    for (const Level& e : effects) {
        ASSERT_GT(e.rms, 0) << e.file << " does not decode";
        EXPECT_LT(e.rms, quietest) << e.file << " is louder than the quietest music";
        EXPECT_LT(e.peak + loudest, 1.0) << e.file << " and the music together clip";
    }
}

// A slide fades in for 20 frames of 50 ms and stays for 80 ticks of 50 ms,
// of which the next fade takes the last 75 ms: the first track plays over
// ten slides, a fade to black, the title picture and another fade to black;
// the second over twelve slides and the last fade to black. Music plays
// throughout: each track ends within a second of its section.
TEST_F(ShippedSoundsTest, IntroductionTracksFillTheirSections)
{
    const double fade = 20 * 0.05;
    const double slide = fade + 80 * 0.05 - 0.075;
    struct Track {
        const char* file;
        double section;
    };
    const Track tracks[] = {
        {"credits.mp3", 10 * slide + fade + slide + fade},
        {"intro2.mp3", 12 * slide + fade},
    };
    for (const Track& t : tracks) {
        SCOPED_TRACE(t.file);
        const std::string path = std::string(VELL_GAME_DIR "/pics/intro/") + t.file;
        SMPEG_Info info;
        std::memset(&info, 0, sizeof info);
        SMPEG* mpeg = SMPEG_new(path.c_str(), &info, 0);
        ASSERT_NE(mpeg, nullptr);
        ASSERT_EQ(SMPEG_error(mpeg), nullptr) << SMPEG_error(mpeg);
        ASSERT_TRUE(info.has_audio);
        const double length = info.total_time;
        SMPEG_delete(mpeg);
        EXPECT_GE(length, t.section - 1.0) << "the music stops before its section ends";
        EXPECT_LE(length, t.section + 1.0) << "the music is cut off";
    }
}

} // namespace
