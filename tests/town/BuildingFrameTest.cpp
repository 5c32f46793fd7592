// The frame every town building runs in, through a small building of the
// test's own: entering, the closed state of a building that keeps hours,
// message states that close behind the player, leaving by the exit, the
// picture and the clock.
#include "TownFixture.h"
#include "../audio/RecordingPort.h"

#include "audio/MasterAudio.h"
#include "core/GameConfig.h"

#include <cstdlib>
#include <fstream>
#include <stdlib.h>

#include "world/PaneText.h"
#include "town/Building.h"
#include "world/GameClock.h"

namespace {

using namespace town;

// Open from 6 on; 'm' shows a message, 'w' lets 20 hours pass inside (in
// the message, unless the frame takes the message's keys).
class ProbeBuilding_C : public Building_C {
public:
    static constexpr int MESSAGE = 2;   // the probe's one message
    using Building_C::Building_C;
    int typeId() const override { return 1012; }
    std::string picSeen;       // the picture at the last drawState
    bool framedMessage = false; // MESSAGE is a message of the frame's
    size_t soundDepthInside = 0; // the sound director's places during the visit

protected:
    const char* audioName() const override { return "AdvHall"; }
    const char* pictureName() const override { return "Adv_Hall"; }
    bool keepsHours() const override { return true; }
    bool isOpenAt(unsigned hour) const override { return hour >= 6; }
    int leaveTicks() const override { return 60; }
    const char* closedText() const override { return "Closed for the night."; }
    bool isMessage() const override { return framedMessage && state_ == MESSAGE; }

    void drawState(PaneText_C& pane) override
    {
        if (state_ == kMenu) {
            pane.wrapped(1, "Probe menu");
            pane.line(4, "(M)essage", 'm');
            pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
        } else {
            pane.wrapped(1, "A message.");
            pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        }
        soundDepthInside = maserAudio.stackDepth();
        picSeen = iface_->curPicNamed("Closed") ? "Closed" : iface_->curPicNamed("Adv_Hall") ? "Adv_Hall" : "?";
    }
    void handleKey(int sym, SDLMod) override
    {
        if (state_ == kMenu && sym == 'm')
            setState(MESSAGE);
        else if (state_ == kMenu && sym == SDLK_ESCAPE)
            leave();
        else if (state_ == MESSAGE && sym == 'w')
            gameworld->getClock().advance(int(GameClock_C::TICKS_PER_HOUR) * 20);
        else if (state_ == MESSAGE && sym == SDLK_SPACE)
            backToMenu();
    }
};

class BuildingFrameTest : public TownFixture {
protected:
    void SetUp() override
    {
        TownFixture::SetUp();
        if (HasFatalFailure())
            return;
        join("Ann", 0x4);
        params_.exitX = 3;
        params_.exitY = 5;
        params_.exitFacing = 180;
    }
};

TEST_F(BuildingFrameTest, OpenBuildingShowsItsMenuAndLeavesByItsExit)
{
    setTime(9);
    ProbeBuilding_C b(&params_);
    watch([&] { return b.getState(); });
    const uint32_t t0 = gameworld->getClock().getTicks();
    script({SDLK_m, SDLK_SPACE, quiet(SDLK_RETURN), SDLK_ESCAPE});
    EXPECT_EQ(b.invoke(&iface), 0);
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_EQ(shown(0).state, Building_C::kMenu);
    EXPECT_TRUE(shown(0).has("Probe menu"));
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Exit"));
    EXPECT_EQ(shown(1).state, ProbeBuilding_C::MESSAGE);
    EXPECT_TRUE(shown(1).has("A message."));
    EXPECT_EQ(shown(2).state, Building_C::kMenu);
    EXPECT_EQ(b.picSeen, "Adv_Hall");
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(gameworld->getSquareY(), 5);
    EXPECT_EQ(iface.getFacing(), 180);
    EXPECT_EQ(gameworld->getClock().getTicks(), t0 + 60) << "the building's leave time passes";
    EXPECT_FALSE(iface.curPicNamed("Adv_Hall")) << "the picture is emptied on leaving";
}

TEST_F(BuildingFrameTest, ClosedBuildingShowsItsClosedTextAndSpaceLeaves)
{
    setTime(5);
    ProbeBuilding_C b(&params_);
    watch([&] { return b.getState(); });
    const uint32_t t0 = gameworld->getClock().getTicks();
    // Menu keys mean nothing while closed; SPACE leaves.
    script({quiet(SDLK_m), quiet(SDLK_ESCAPE), SDLK_SPACE});
    b.invoke(&iface);
    ASSERT_EQ(shown().size(), 3u) << "keys of a closed building ask for no redraw";
    EXPECT_EQ(shown(0).state, Building_C::kClosed);
    EXPECT_TRUE(shown(0).has("Closed for the night."));
    EXPECT_TRUE(shown(0).has("(SPACE) to Continue"));
    EXPECT_FALSE(shown(0).has("Probe menu"));
    EXPECT_EQ(gameworld->getSquareX(), 3);
    EXPECT_EQ(gameworld->getClock().getTicks(), t0 + 60);
}

TEST_F(BuildingFrameTest, MessageClosesBehindThePlayerWhenTheHourPassed)
{
    setTime(9);
    ProbeBuilding_C b(&params_);
    std::vector<bool> closedPic;
    onDisplay([&] { closedPic.push_back(iface.curPicNamed("Closed")); });
    watch([&] { return b.getState(); });
    // 9:00 + 20 hours inside is 5:00 the next day: the message closes into
    // state 99, whose SPACE leaves.
    script({SDLK_m, quiet(SDLK_w), SDLK_SPACE, SDLK_SPACE});
    b.invoke(&iface);
    ASSERT_EQ(shown().size(), 4u);
    EXPECT_EQ(shown(2).state, ProbeBuilding_C::MESSAGE);
    EXPECT_EQ(shown(3).state, Building_C::kClosed);
    EXPECT_TRUE(shown(3).has("Closed for the night."));
    EXPECT_EQ(closedPic, (std::vector<bool>{false, false, false, true})) << "closed shows the picture \"Closed\"";
    EXPECT_EQ(gameworld->getSquareX(), 3);
}

TEST_F(BuildingFrameTest, TheFrameTakesTheKeysOfAMessage)
{
    setTime(9);
    ProbeBuilding_C b(&params_);
    b.framedMessage = true;
    watch([&] { return b.getState(); });
    const uint32_t t0 = gameworld->getClock().getTicks();
    // 'w' never reaches the building in its message; SPACE is back in the
    // menu, still open.
    script({SDLK_m, quiet(SDLK_w), SDLK_SPACE, SDLK_ESCAPE});
    b.invoke(&iface);
    ASSERT_EQ(shown().size(), 4u) << "'w' in the message asks for no redraw";
    EXPECT_EQ(shown(2).state, ProbeBuilding_C::MESSAGE);
    EXPECT_EQ(shown(3).state, Building_C::kMenu);
    EXPECT_EQ(gameworld->getClock().getTicks(), t0 + 60) << "only the leave time passed";
    EXPECT_EQ(gameworld->getSquareX(), 3);
}

// An exit the party cannot take (a tree, a square off the map, a facing of
// none of the four; a script may hand a building any) leaves the party at
// the door as it stood, never walled in or unable to step.
TEST_F(BuildingFrameTest, AnExitThePartyCannotTakeLeavesItAtTheDoor)
{
    setTime(9);
    const struct {
        int x, y, facing;
    } exits[] = {{10, 28, 0}, {3, 500, 0}, {-3, 5, 0}, {3, 5, 45}, {3, 5, 360}};
    for (const auto& e : exits) {
        iface.setCurX(2.0f);
        iface.setCurZ(-2.0f);
        iface.setFacing(90);
        params_.exitX = e.x;
        params_.exitY = e.y;
        params_.exitFacing = e.facing;
        ProbeBuilding_C b(&params_);
        script({SDLK_ESCAPE});
        testing::internal::CaptureStderr();
        b.invoke(&iface);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(gameworld->getSquareX(), 2) << e.x << "," << e.y << " facing " << e.facing;
        EXPECT_EQ(gameworld->getSquareY(), 2) << e.x << "," << e.y << " facing " << e.facing;
        EXPECT_EQ(iface.getFacing(), 90) << e.x << "," << e.y << " facing " << e.facing;
        EXPECT_NE(said.find("cannot be taken"), std::string::npos) << said;
    }
}

TEST_F(BuildingFrameTest, BuildingWithoutARecordUsesItsDefaultExit)
{
    setTime(9);
    ProbeBuilding_C b(nullptr, 14, 24, 270);
    EXPECT_EQ(b.getExitX(), 14);
    EXPECT_EQ(b.getExitY(), 24);
    EXPECT_EQ(b.getExitFacing(), 270);
    ProbeBuilding_C withRecord(&params_, 14, 24, 270);
    EXPECT_EQ(withRecord.getExitX(), 3);
    EXPECT_EQ(withRecord.getExitFacing(), 180);
    EXPECT_EQ(b.invoke(nullptr), 0) << "no interface, no visit";
}

// The building's sound heard through the recording stand-in: a visit enters
// its place over the place around it and leaves only what it entered, also
// when the configuration does not know the building's sound.
class BuildingSoundTest : public BuildingFrameTest {
protected:
    void SetUp() override
    {
        BuildingFrameTest::SetUp();
        if (HasFatalFailure())
            return;
        char tmpl[] = "/tmp/vell-building-sound-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        std::ofstream(dir_ + "/place.env") << "main place.ogg\n";
        std::ofstream(dir_ + "/hall.env") << "main hall.ogg\n";
        audio_ = std::make_unique<vell_test::GameAudioOnStand>(port_, world_);
    }
    void TearDown() override
    {
        while (maserAudio.stackDepth() > 0)
            maserAudio.popSpecAudio();
        audio_.reset();
        if (!dir_.empty())
            std::system(("rm -rf '" + dir_ + "'").c_str());
        BuildingFrameTest::TearDown();
    }
    // The configuration: the scripted place's sound, and the Hall's when
    // `withHall`.
    void configure(bool withHall)
    {
        std::string conf = "environment " + dir_ + "/place.env Place\n";
        if (withHall)
            conf += "environment " + dir_ + "/hall.env AdvHall\n";
        std::ofstream(dir_ + "/audio.dat") << conf;
        maserAudio.usePort(port_);   // releases the configuration before
        ASSERT_EQ(maserAudio.load((dir_ + "/audio.dat").c_str()), 0);
    }

    vell_test::RecordingPort port_;
    vell_test::TestWorld world_;
    std::unique_ptr<vell_test::GameAudioOnStand> audio_;
    std::string dir_;
};

TEST_F(BuildingSoundTest, AVisitLeavesOnlyTheSoundItEntered)
{
    struct Case {
        bool hallKnown;
        size_t depthInside;
    };
    for (const Case c : {Case{true, 2}, Case{false, 1}}) {
        SCOPED_TRACE(c.hallKnown ? "the Hall's sound is configured" : "the Hall's sound is not configured");
        configure(c.hallKnown);
        if (HasFatalFailure())
            return;
        ASSERT_EQ(maserAudio.pushSpecAudio("Place", false), 0);   // a script's place around the door
        setTime(9);
        ProbeBuilding_C b(&params_);
        script({SDLK_ESCAPE});
        b.invoke(&iface);
        EXPECT_EQ(b.soundDepthInside, c.depthInside);
        EXPECT_EQ(maserAudio.stackDepth(), 1u) << "the place around the building is still entered";
        EXPECT_EQ(port_.music, "place.ogg");
        maserAudio.popSpecAudio();
    }
}

} // namespace
