// A small sound data set in a folder of its own, and a director on the
// recording stand-in. The town map has four segments: night from 0, morning
// (with an intro) from 6, day from 11, night again from 20; the crypt map
// has none.
#pragma once
#include "RecordingPort.h"

#include "audio/MasterAudio.h"
#include "core/GameConfig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vell_test {

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class AudioFixture : public ::testing::Test {
protected:
    static constexpr uint32_t kSkirl = 0x005ab001; // Lute and DEFAULT
    static constexpr uint32_t kMary = 0x005ab009;  // Flute, whose music is missing

    void SetUp() override
    {
        char tmpl[] = "/tmp/vell-audio-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
        ASSERT_EQ(std::system("mkdir -p packs songs rain"), 0);
        writeText("audio.dat",
                  "# test configuration\n"
                  "bardsongs songs/master.cfg\n"
                  "rain rain\n"
                  "global packs/global.env\n"
                  "environment packs/tavern.env Tavern\n"
                  "ENV packs/treasure.env Treasure\n"
                  "environment packs/combat.env Combat3\n"
                  "environment packs/quiet.env Quiet\n");
        writeText("packs/tavern.env", "main tavern.ogg\nnamed tavern_door.ogg Door\nrand chatter.ogg 1000\n");
        writeText("packs/treasure.env", "intro treasure_intro.ogg\nmain treasure.ogg\n");
        writeText("packs/combat.env", "intro combat_intro.ogg\nmain combat.ogg\n");
        writeText("packs/quiet.env", "rand drip.ogg 0\ntimed quiet_bell.ogg 12:00 0\n");
        writeText("packs/global.env", "named W_Axe.ogg W_Axe\nnamed global_door.ogg Door\n");
        writeText("packs/night.env", "main night.ogg\ntimed gong.ogg 23:50 20\n");
        writeText("packs/morning.env",
                  "intro morning_intro.ogg\nmain morning.ogg\ntimed bell.ogg 10:50 20\nTIMED tick.ogg 10:05 0\n");
        writeText("packs/day.env", "main day.ogg\nnamed day_door.ogg Door\n");
        writeText("songs/master.cfg", "songs 2\nskirl.song\nmary.song\n");
        writeText("songs/skirl.song", "0x005ab001\nLute skirl_lute.ogg\nDEFAULT skirl_default.ogg\n");
        writeText("songs/mary.song", "0x005ab009\n# the flute only\nFlute missing_flute.ogg\n");

        saved_ = gameConfig;
        gameConfig.sound = true;
        gameConfig.audioMusic = true;
        gameConfig.audioSpecial = true;
        audio_ = std::make_unique<MasterAudio_C>(port_, world_);
    }

    void TearDown() override
    {
        audio_.reset();
        gameConfig = saved_;
        if (::chdir(oldDir_) == 0)
            std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    // Loads the configuration and registers the two maps.
    void loadAll()
    {
        ASSERT_EQ(audio_->load("audio.dat"), 0);
        const char* town[] = {"packs/night.env", "packs/morning.env", "packs/day.env", "packs/night.env"};
        const int hours[] = {0, 6, 11, 20};
        audio_->addMapAudio("maps/town.cfg", 4, town, hours);
        audio_->addMapAudio("maps/crypt.cfg", 0, nullptr, nullptr);
        port_.take();
    }

    void at(unsigned hour, unsigned minute = 0)
    {
        world_.hour = hour;
        world_.minute = minute;
    }

    RecordingPort port_;
    TestWorld world_;
    std::unique_ptr<MasterAudio_C> audio_;
    GameConfig_S saved_;
    std::string dir_;
    char oldDir_[4096];
};

} // namespace vell_test
