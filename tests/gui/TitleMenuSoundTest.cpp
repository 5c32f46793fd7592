// The title menu over a quest in play, with sound: the quest's ambient
// sounds stop while the menu is up, and its music and sounds come back as
// soon as the menu returns to the quest (continue or save), not at the
// party's first step.
#include "GuiHarness.h"

#include "audio/MasterAudio.h"
#include "core/GameConfig.h"
#include "core/Startup.h"
#include "screens/TitleMenu.h"

#include <SDL_mixer.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

class TitleMenuSoundTest : public vell_test::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        ASSERT_NE(::getcwd(oldDir_, sizeof oldDir_), nullptr);
        dir_ = std::string(::testing::TempDir()) + "vell_title_sound_" + std::to_string(::getpid());
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "/data' '" + dir_ + "/savegame'").c_str()),
                  0);
        ASSERT_EQ(std::system(("cp '" + gamePath("data/font.fot") + "' '" + dir_ + "/data/'").c_str()), 0);
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
        savedConfig_ = gameConfig;
        gameConfig.sound = true;
        gameConfig.audioMusic = true;
        gameConfig.audioSpecial = true;
        gameConfig.mouseSupport = false;
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_TIMER), 0) << SDL_GetError();
        ASSERT_TRUE(openMixer()) << "no sound device (SDL_AUDIODRIVER=dummy gives one)";
    }
    void TearDown() override {
        maserAudio.release();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        gameConfig = savedConfig_;
        if (::chdir(oldDir_) == 0)
            std::system(("rm -rf '" + dir_ + "'").c_str());
        GuiFixture::TearDown();
    }

    char oldDir_[4096];
    std::string dir_;
    GameConfig_S savedConfig_;
};

TEST_F(TitleMenuSoundTest, QuestSoundsPauseForTheMenuAndComeBackWithTheQuest) {
    maserAudio.tick(); // the quest in play has its ambient timer running
    ASSERT_TRUE(maserAudio.ambientTimerRunning());
    TitleMenu_C menu(1024, 768);
    int displays = 0;
    afterDisplay([&] {
        ++displays;
        EXPECT_FALSE(maserAudio.ambientTimerRunning()) << "the quest's ambient sounds play over the menu";
    });

    struct Step {
        const char* keys;
        int result;
        bool questSounds; // the quest's sounds run again afterwards
    };
    const Step steps[] = {
        {" c", TitleMenu_C::RESULT_CONTINUE, true},
        {"s", TitleMenu_C::RESULT_SAVE, true},
        {"v", TitleMenu_C::RESULT_CREDITS, false},
        {"qy", TitleMenu_C::RESULT_QUIT, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.keys);
        for (const char* k = s.keys; *k; ++k)
            pushKey(SDLKey(*k));
        EXPECT_EQ(menu.run(true), s.result);
        EXPECT_EQ(maserAudio.ambientTimerRunning(), s.questSounds);
        EXPECT_EQ(maserAudio.isSuspended(), !s.questSounds);
    }
    EXPECT_GT(displays, 0);
}

} // namespace
