// The sound director's choices as pure logic, on the recording stand-in:
// the music for each combination of special environment, song and hour;
// intro then background; the rain crossfade; the settings gates; balanced
// pushes and pops; named, timed and ambient sounds; songs across maps.
#include "AudioFixture.h"

#include "audio/BardSongMus.h"
#include "audio/EnvSoundPak.h"

#include <functional>

namespace {

using vell_test::AudioFixture;

class DirectorTest : public AudioFixture {};

std::string contains(const std::vector<std::string>& calls, const std::string& what)
{
    for (const auto& c : calls)
        if (c == what)
            return c;
    return "";
}

TEST_F(DirectorTest, MusicFollowsEnvironmentSongAndHour)
{
    loadAll();
    struct Case {
        const char* what;
        unsigned hour;
        const char* env; // pushed, or null
        uint32_t song;   // played, or 0
        uint32_t parts;
        const char* music;
    };
    const Case cases[] = {
        {"night segment from midnight", 3, nullptr, 0, 0, "night.ogg"},
        {"morning segment starts with its intro", 7, nullptr, 0, 0, "morning_intro.ogg"},
        {"day segment from 11", 11, nullptr, 0, 0, "day.ogg"},
        {"the last segment from 20 is night again", 22, nullptr, 0, 0, "night.ogg"},
        {"a song over the map", 12, nullptr, kSkirl, SongParts_S::only(SongParts_S::LUTE).bits, "skirl_lute.ogg"},
        {"the first variant asked for wins", 12, nullptr, kSkirl,
         SongParts_S::only(SongParts_S::FLUTE).bits | SongParts_S::only(SongParts_S::LUTE).bits |
             SongParts_S::only(SongParts_S::DEFAULT_PART).bits,
         "skirl_lute.ogg"},
        {"an environment over the map", 12, "Tavern", 0, 0, "tavern.ogg"},
        {"an environment's intro first", 12, "Treasure", 0, 0, "treasure_intro.ogg"},
        {"a song inside an environment", 12, "Tavern", kSkirl, SongParts_S::only(SongParts_S::DEFAULT_PART).bits,
         "skirl_default.ogg"},
        {"an environment without music keeps the map's", 12, "Quiet", 0, 0, "day.ogg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        audio_ = std::make_unique<MasterAudio_C>(port_, world_);
        world_.song = 0;
        loadAll();
        at(c.hour);
        ASSERT_EQ(audio_->mapChange("maps/town.cfg"), 0);
        if (c.env) {
            ASSERT_EQ(audio_->pushSpecAudio(c.env), 0);
        }
        if (c.song) {
            ASSERT_EQ(audio_->playSong(c.song, c.parts), 0);
            EXPECT_EQ(world_.song, int32_t(c.song));
            EXPECT_EQ(world_.parts, c.parts);
            EXPECT_TRUE(audio_->isSongPlaying());
        }
        EXPECT_EQ(port_.music, c.music);
        EXPECT_EQ(port_.nameOf(audio_->curMusic()), c.music);
    }
}

TEST_F(DirectorTest, IntroPlaysOnceThenTheBackgroundLoops)
{
    loadAll();
    at(7);
    audio_->mapChange("maps/town.cfg");
    auto calls = port_.take();
    EXPECT_NE(contains(calls, "music morning_intro.ogg once"), "");
    EXPECT_NE(contains(calls, "intro timer 200"), "");
    EXPECT_TRUE(audio_->introTimerRunning());

    // While the intro sounds the watch changes nothing; a tick neither.
    audio_->timerWork(AudioPort_C::TIMER_INTRO);
    audio_->tick();
    EXPECT_EQ(port_.music, "morning_intro.ogg");
    EXPECT_EQ(contains(port_.take(), "music morning_intro.ogg once"), "") << "a tick restarted the intro";

    // The intro ended: the background loops and the watch ends.
    port_.playing = false;
    audio_->timerWork(AudioPort_C::TIMER_INTRO);
    EXPECT_EQ(port_.music, "morning.ogg");
    EXPECT_TRUE(port_.musicLoops);
    EXPECT_FALSE(audio_->introTimerRunning());
    EXPECT_NE(contains(port_.take(), "stop timer intro"), "");

    // The next hours change nothing until the next segment begins.
    at(10, 30);
    audio_->tick();
    EXPECT_EQ(contains(port_.take(), "music morning.ogg loop"), "");
    at(11);
    audio_->tick();
    EXPECT_EQ(port_.music, "day.ogg");
}

TEST_F(DirectorTest, ChestInsideCombatReturnsToTheCombatMusicFromItsIntro)
{
    loadAll();
    audio_->mapChange("maps/town.cfg");
    ASSERT_EQ(audio_->pushSpecAudio("Combat3"), 0);
    port_.playing = false;
    audio_->timerWork(AudioPort_C::TIMER_INTRO);
    EXPECT_EQ(port_.music, "combat.ogg");
    ASSERT_EQ(audio_->pushSpecAudio("Treasure"), 0);
    EXPECT_EQ(port_.music, "treasure_intro.ogg");
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "combat_intro.ogg");
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "day.ogg");
    EXPECT_EQ(audio_->popSpecAudio(), -1) << "nothing left to pop";
}

TEST_F(DirectorTest, EveryPushAddsAnEntryAndEveryPopUndoesItsOwn)
{
    loadAll();
    audio_->mapChange("maps/town.cfg");
    // A fight, a chest in it, and a second chest pushed over the first: the
    // second pop must leave the first chest, the third the fight.
    const char* pushes[] = {"Combat3", "Treasure", "Treasure"};
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(audio_->pushSpecAudio(pushes[i]), 0);
        EXPECT_EQ(audio_->stackDepth(), i + 1);
    }
    const int envAfterPop[] = {1, 0, -1}; // index into pushes of the new top; -1 empty
    for (int expected : envAfterPop) {
        ASSERT_EQ(audio_->popSpecAudio(), 0);
        if (expected < 0) {
            EXPECT_EQ(audio_->stackTop(), nullptr);
        } else {
            ASSERT_NE(audio_->stackTop(), nullptr);
            EXPECT_EQ(audio_->stackTop()->pack, audio_->environmentPack(pushes[expected]));
        }
    }
    EXPECT_EQ(audio_->pushSpecAudio("NoSuchPlace"), -1);
    EXPECT_EQ(audio_->stackDepth(), 0u);
}

// A second chest pushed over the first (or a script entering the place it
// is in) neither restarts the intro nor drops the song of the place.
TEST_F(DirectorTest, PushingThePlaceOnTopAgainLeavesItsMusicAlone)
{
    loadAll();
    at(12);
    audio_->mapChange("maps/town.cfg");
    ASSERT_EQ(audio_->pushSpecAudio("Treasure"), 0);
    EXPECT_EQ(port_.music, "treasure_intro.ogg");
    port_.take();
    ASSERT_EQ(audio_->pushSpecAudio("Treasure"), 0);
    EXPECT_TRUE(port_.take().empty()) << "the intro started again";
    port_.playing = false; // the intro ends: the background follows as usual
    audio_->timerWork(AudioPort_C::TIMER_INTRO);
    EXPECT_EQ(port_.music, "treasure.ogg");
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    port_.take();
    audio_->tick();
    EXPECT_TRUE(port_.take().empty()) << "still in the first chest: nothing changes";

    ASSERT_EQ(audio_->pushSpecAudio("Tavern"), 0);
    ASSERT_EQ(audio_->playSong(kSkirl, SongParts_S::only(SongParts_S::LUTE)), 0);
    ASSERT_EQ(port_.music, "skirl_lute.ogg");
    port_.take();
    ASSERT_EQ(audio_->pushSpecAudio("Tavern"), 0);
    audio_->tick();
    EXPECT_TRUE(port_.take().empty()) << "the song in the tavern was cut off";
}

// The title menu over a quest: no map sounds while it is up, and the
// quest's music, ambient sounds and rain come back at the next tick.
TEST_F(DirectorTest, SuspendStopsTheMapSoundsUntilTheNextTick)
{
    loadAll();
    at(12);
    audio_->mapChange("maps/town.cfg");
    audio_->setRain(2, 100);
    ASSERT_TRUE(audio_->ambientTimerRunning());
    audio_->clearCurMusic();
    audio_->suspend();
    EXPECT_FALSE(audio_->ambientTimerRunning());
    EXPECT_TRUE(port_.timers.empty());
    EXPECT_EQ(port_.channel.count(0), 0u) << "the rain goes on over the menu";
    port_.take();
    audio_->timerWork(AudioPort_C::TIMER_AMBIENT); // a hand-over already queued
    EXPECT_TRUE(port_.take().empty());
    audio_->tick();
    EXPECT_TRUE(audio_->ambientTimerRunning());
    EXPECT_EQ(port_.music, "day.ogg");
    EXPECT_EQ(port_.channel[0], "rain2.ogg");
    EXPECT_EQ(port_.volume[0], 128);
}

TEST_F(DirectorTest, RainCrossfadesOnTheTwoReservedChannels)
{
    loadAll();
    audio_->mapChange("maps/town.cfg");
    port_.take();
    audio_->setRain(1, 100);
    EXPECT_EQ(port_.channel[0], "rain1.ogg");
    EXPECT_EQ(port_.volume[0], 128);
    port_.take();
    audio_->setRain(2, 30);
    EXPECT_EQ(port_.channel[0], "rain2.ogg");
    EXPECT_EQ(port_.volume[0], 38);
    EXPECT_EQ(port_.channel[1], "rain1.ogg");
    EXPECT_EQ(port_.volume[1], 89);
    audio_->setRain(2, 70);
    EXPECT_EQ(port_.volume[0], 89);
    EXPECT_EQ(port_.volume[1], 38);
    audio_->setRain(2, 100);
    EXPECT_EQ(port_.channel.count(1), 0u) << "the old rain ends at full level";
    EXPECT_EQ(port_.volume[0], 128);
    EXPECT_EQ(audio_->previousRain(), 0);

    // Indoors the rain is silent, and stays so when the weather changes
    // there; leaving the last place starts the loops at the stored level.
    audio_->pushSpecAudio("Tavern");
    EXPECT_EQ(port_.channel.count(0), 0u);
    audio_->setRain(3, 40);
    EXPECT_EQ(port_.channel.count(0), 0u) << "rain started inside a building";
    audio_->popSpecAudio();
    EXPECT_EQ(port_.channel[0], "rain3.ogg");
    EXPECT_EQ(port_.volume[0], 51);
    EXPECT_EQ(port_.channel[1], "rain2.ogg");
    EXPECT_EQ(port_.volume[1], 76);

    audio_->setRain(0, 100);
    EXPECT_TRUE(port_.channel.empty()) << "rain 0 at full level stops both loops";
    EXPECT_EQ(audio_->setRain(7, 50), -1);
    EXPECT_EQ(audio_->setRain(-1, 50), -1);
}

// Which operations act under each combination of settings: the sound master
// switch (and the device), "audio-music" and "audio-special".
TEST_F(DirectorTest, SettingsGateEveryOperation)
{
    struct Gate {
        const char* what;
        bool sound, device, music, special;
        bool loadsEnvironments, musicPlays, environmentsOpen, soundsPlay, timersRun;
    };
    const Gate gates[] = {
        {"everything on", true, true, true, true, true, true, true, true, true},
        {"sound off", false, true, true, true, false, false, false, false, false},
        {"no device this run", true, false, true, true, false, false, false, false, false},
        {"music off", true, true, false, true, true, false, false, true, true},
        {"special sounds off", true, true, true, false, true, true, true, false, true},
    };
    for (const Gate& g : gates) {
        SCOPED_TRACE(g.what);
        gameConfig.sound = g.sound;
        gameConfig.audioMusic = g.music;
        gameConfig.audioSpecial = g.special;
        port_.open = g.device;
        port_.take();
        port_.music.clear();
        port_.channel.clear();
        audio_ = std::make_unique<MasterAudio_C>(port_, world_);
        loadAll();
        EXPECT_EQ(audio_->environmentCount() > 0, g.loadsEnvironments);
        EXPECT_EQ(audio_->bardSongCount(), 2u) << "the bard songs load whatever the settings";
        EXPECT_TRUE(audio_->bsTest(kSkirl, SongParts_S::only(SongParts_S::LUTE)));
        at(12);
        // A gated call does nothing and answers 0; an acting one knows its maps.
        EXPECT_EQ(audio_->mapChange("maps/nowhere.cfg"), g.sound && g.device ? -1 : 0);
        EXPECT_EQ(audio_->mapChange("maps/town.cfg"), 0);
        EXPECT_EQ(!port_.music.empty(), g.musicPlays);
        port_.take();
        EXPECT_EQ(audio_->pushSpecAudio("Quiet"), 0); // its bell at 12:00, or the map's nothing
        EXPECT_EQ(audio_->stackDepth(), g.environmentsOpen ? 1u : 0u);
        audio_->tick();
        const bool rang = !contains(port_.calls, "play -1 quiet_bell.ogg").empty();
        EXPECT_EQ(audio_->playSound("W_Axe"), 0);
        const bool axe = !contains(port_.take(), "play -1 W_Axe.ogg").empty();
        EXPECT_EQ(axe, g.soundsPlay);
        EXPECT_EQ(rang, g.soundsPlay && g.environmentsOpen);
        EXPECT_EQ(audio_->ambientTimerRunning(), g.timersRun);
        EXPECT_EQ(audio_->popSpecAudio(), 0);
        EXPECT_EQ(audio_->popSpecAudio(), g.environmentsOpen ? -1 : 0) << "the stack is empty again";
        EXPECT_EQ(audio_->setRain(1, 100), 0);
        EXPECT_EQ(port_.channel.count(0), g.musicPlays ? 1u : 0u);
        audio_->release();
    }
}

TEST_F(DirectorTest, NamedSoundsComeFromTheOpenPackThenTheGlobalOne)
{
    loadAll();
    at(12);
    EXPECT_EQ(audio_->playSound("W_Axe"), 0) << "the global pack serves before any map";
    audio_->mapChange("maps/town.cfg");
    port_.take();
    EXPECT_EQ(audio_->playSound("Door"), 0);
    EXPECT_EQ(port_.channel[2], "day_door.ogg") << "the map segment's own";
    EXPECT_EQ(port_.volume[2], 128);
    audio_->pushSpecAudio("Tavern");
    EXPECT_EQ(audio_->playSound("Door"), 0);
    EXPECT_EQ(port_.channel[2], "tavern_door.ogg");
    audio_->pushSpecAudio("Quiet");
    EXPECT_EQ(audio_->playSound("Door"), 0);
    EXPECT_EQ(port_.channel[2], "global_door.ogg") << "never the map's while a place is open";
    port_.take();
    EXPECT_EQ(audio_->playSound("NoSuchSound"), -1);
    EXPECT_EQ(audio_->playSound(nullptr), -1);
    EXPECT_TRUE(port_.take().empty()) << "a missing name plays nothing";
    // A map without segments still has the global sounds.
    audio_->popSpecAudio();
    audio_->popSpecAudio();
    audio_->mapChange("maps/crypt.cfg");
    EXPECT_EQ(audio_->playSound("W_Axe"), 0);
}

TEST_F(DirectorTest, TimedSoundsPlayOnceEachTimeTheirWindowIsEntered)
{
    loadAll();
    struct Step {
        unsigned hour, minute;
        const char* plays; // or null
    };
    const Step steps[] = {
        {10, 4, nullptr},     {10, 5, "tick.ogg"},  {10, 5, nullptr},   {10, 6, nullptr},
        {10, 49, nullptr},    {10, 50, "bell.ogg"}, {11, 5, nullptr},   // day segment from 11: bell not in it
        {22, 0, nullptr},     {23, 49, nullptr},    {23, 50, "gong.ogg"}, {23, 59, nullptr},
        {0, 5, nullptr},      {23, 55, nullptr},
    };
    audio_->mapChange("maps/town.cfg");
    for (const Step& s : steps) {
        SCOPED_TRACE(std::to_string(s.hour) + ":" + std::to_string(s.minute));
        at(s.hour, s.minute);
        port_.take();
        audio_->tick();
        std::string played;
        for (const auto& c : port_.take())
            if (c.rfind("play -1 ", 0) == 0)
                played = c.substr(8);
        EXPECT_EQ(played, s.plays ? s.plays : "");
    }
    // The line in capitals is a timed sound all the same: 10:05 for 0 minutes.
    EnvSoundPak_S morning("packs/morning.env", port_);
    ASSERT_EQ(morning.timedSounds.size(), 2u);
    EXPECT_EQ(morning.timedSounds[1].hour, 10);
    EXPECT_EQ(morning.timedSounds[1].minute, 5);
    EXPECT_EQ(morning.timedSounds[1].duration, 0);
}

// A window that begins 10:50 and lasts 20 minutes runs into the next hour,
// up to 11:10 inclusive, on a map whose one segment holds it all day.
TEST_F(DirectorTest, TimedWindowRunsIntoTheNextHourUpToItsEnd)
{
    loadAll();
    const char* bellTower[] = {"packs/morning.env"};
    const int fromMidnight[] = {0};
    audio_->addMapAudio("maps/belltower.cfg", 1, bellTower, fromMidnight);
    audio_->mapChange("maps/belltower.cfg");
    struct Step {
        unsigned hour, minute;
        bool rings;
    };
    const Step steps[] = {
        {10, 49, false}, {10, 50, true}, {11, 0, false}, {11, 10, false}, // once in the window
        {11, 11, false},                                                  // out of it
        {11, 10, true},  {11, 11, false}, {10, 50, true},                 // its last minute, its first
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::to_string(s.hour) + ":" + std::to_string(s.minute));
        at(s.hour, s.minute);
        port_.take();
        audio_->tick();
        EXPECT_EQ(!contains(port_.take(), "play -1 bell.ogg").empty(), s.rings);
    }
}

TEST_F(DirectorTest, AmbientSoundsFromTheOpenPackAtMostOneACall)
{
    loadAll();
    audio_->mapChange("maps/town.cfg");
    EXPECT_TRUE(audio_->ambientTimerRunning());
    port_.take();
    audio_->timerWork(AudioPort_C::TIMER_AMBIENT);
    EXPECT_TRUE(port_.take().empty()) << "the day segment has no ambient sounds";
    audio_->pushSpecAudio("Tavern");
    port_.take();
    audio_->timerWork(AudioPort_C::TIMER_AMBIENT);
    EXPECT_EQ(port_.take(), std::vector<std::string>{"play -1 chatter.ogg"}) << "chance 1000 always plays";
    audio_->pushSpecAudio("Quiet");
    port_.take();
    for (int i = 0; i < 50; ++i)
        audio_->timerWork(AudioPort_C::TIMER_AMBIENT);
    EXPECT_TRUE(port_.take().empty()) << "chance 0 never plays";
}

TEST_F(DirectorTest, SongsCarryOverMapsAndStop)
{
    loadAll();
    at(12);
    EXPECT_EQ(audio_->playSong(kSkirl, SongParts_S::only(SongParts_S::LUTE)), -1) << "no map, no place";
    EXPECT_EQ(world_.song, int32_t(kSkirl)) << "the world keeps the song all the same";
    world_.song = 0;
    audio_->mapChange("maps/town.cfg");
    EXPECT_EQ(audio_->playSong(0x12345, SongParts_S::only(SongParts_S::LUTE)), -1);
    EXPECT_EQ(audio_->playSong(kSkirl, SongParts_S::only(SongParts_S::HARP)), -1);
    EXPECT_FALSE(audio_->bsTest(kSkirl, SongParts_S::only(SongParts_S::HARP)));
    EXPECT_EQ(world_.song, 0) << "a refused song leaves the world's";
    ASSERT_EQ(audio_->playSong(kSkirl, SongParts_S::only(SongParts_S::LUTE)), 0);
    EXPECT_EQ(port_.music, "skirl_lute.ogg");

    // The song goes along to the crypt with its mask: the music keeps
    // sounding untouched, and after a place's own music it comes back on
    // the lute (with no mask it would find no variant, and the tavern's
    // music would play on in the crypt).
    port_.take();
    ASSERT_EQ(audio_->mapChange("maps/crypt.cfg"), 0);
    EXPECT_EQ(audio_->currentMap()->song, audio_->bardSong(0));
    EXPECT_EQ(audio_->currentMap()->parts.bits, SongParts_S::only(SongParts_S::LUTE).bits);
    EXPECT_EQ(port_.music, "skirl_lute.ogg");
    const auto calls = port_.take();
    EXPECT_EQ(contains(calls, "halt music"), "");
    EXPECT_EQ(contains(calls, "music skirl_lute.ogg loop"), "") << "the song is not restarted";
    ASSERT_EQ(audio_->pushSpecAudio("Tavern"), 0);
    EXPECT_EQ(port_.music, "tavern.ogg");
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "skirl_lute.ogg");
    EXPECT_EQ(audio_->mapChange("maps/nowhere.cfg"), -1);

    // A song whose only variant has no music: accepted, and silent.
    ASSERT_EQ(audio_->playSong(kMary, SongParts_S::only(SongParts_S::FLUTE)), 0);
    EXPECT_EQ(audio_->curMusic(), nullptr);
    ASSERT_EQ(audio_->stopSong(), 0);
    EXPECT_EQ(world_.song, 0);
    EXPECT_FALSE(audio_->isSongPlaying());
}

// A song played outside the places (the world's, on the map) and one
// played inside a place (a fight's) each end on their own: the one that
// ends takes only its own music along, the other plays on with its
// instrument, and the world's song fields name the one that still plays.
TEST_F(DirectorTest, AWorldSongAndAPlaceSongEndEachOnTheirOwn)
{
    const uint32_t lute = SongParts_S::only(SongParts_S::LUTE).bits;
    const uint32_t voice = SongParts_S::only(SongParts_S::DEFAULT_PART).bits;
    loadAll();
    at(12);
    ASSERT_EQ(audio_->mapChange("maps/town.cfg"), 0);
    ASSERT_EQ(audio_->playSong(kSkirl, lute), 0);
    ASSERT_EQ(port_.music, "skirl_lute.ogg");

    // A fight's song comes and goes over the world's.
    ASSERT_EQ(audio_->pushSpecAudio("Combat3"), 0);
    EXPECT_EQ(port_.music, "combat_intro.ogg");
    ASSERT_EQ(audio_->playSong(kSkirl, voice), 0);
    EXPECT_EQ(port_.music, "skirl_default.ogg");
    EXPECT_EQ(world_.parts, voice);
    ASSERT_EQ(audio_->stopPlaceSong(), 0);
    EXPECT_EQ(port_.music, "combat_intro.ogg") << "the fight's music again, from its intro";
    EXPECT_EQ(world_.song, int32_t(kSkirl)) << "the world's song still plays";
    EXPECT_EQ(world_.parts, lute);
    EXPECT_TRUE(audio_->isSongPlaying());
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "skirl_lute.ogg") << "the world's song comes back on its instrument";

    // A place entered with the song keeps it, mask and all, untouched.
    port_.take();
    ASSERT_EQ(audio_->pushSpecAudio("Tavern", true), 0);
    ASSERT_NE(audio_->stackTop(), nullptr);
    EXPECT_EQ(audio_->stackTop()->parts.bits, lute);
    EXPECT_EQ(port_.music, "skirl_lute.ogg");
    EXPECT_EQ(contains(port_.take(), "music skirl_lute.ogg loop"), "");
    // The world's song ends there: it leaves the place it was carried into.
    ASSERT_EQ(audio_->stopSong(), 0);
    EXPECT_EQ(port_.music, "tavern.ogg");
    EXPECT_EQ(world_.song, 0);
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "day.ogg");

    // The world's song ends while a fight's plays: the fight's plays on.
    ASSERT_EQ(audio_->playSong(kSkirl, lute), 0);
    ASSERT_EQ(audio_->pushSpecAudio("Combat3"), 0);
    ASSERT_EQ(audio_->playSong(kSkirl, voice), 0);
    ASSERT_EQ(audio_->stopSong(), 0);
    EXPECT_EQ(port_.music, "skirl_default.ogg");
    EXPECT_EQ(world_.song, int32_t(kSkirl));
    EXPECT_EQ(world_.parts, voice);
    EXPECT_EQ(audio_->currentMap()->song, nullptr);

    // The fight is won: the chest's music goes over it before its song
    // ends, and the ended song does not come back when the chest closes.
    ASSERT_EQ(audio_->pushSpecAudio("Treasure"), 0);
    EXPECT_EQ(port_.music, "treasure_intro.ogg");
    ASSERT_EQ(audio_->stopPlaceSong(), 0);
    EXPECT_EQ(port_.music, "treasure_intro.ogg");
    EXPECT_EQ(world_.song, 0);
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "combat_intro.ogg");
    ASSERT_EQ(audio_->popSpecAudio(), 0);
    EXPECT_EQ(port_.music, "day.ogg");

    // With no place open a fight's song was the map's: it ends as the
    // world's does.
    ASSERT_EQ(audio_->playSong(kSkirl, voice), 0);
    ASSERT_EQ(audio_->stopPlaceSong(), 0);
    EXPECT_EQ(world_.song, 0);
    EXPECT_EQ(port_.music, "day.ogg");
}

// A quest played a song; the player goes to the title menu and starts or
// loads another quest, whose world has no song (or one the sound data has no
// music for, which the main loop then cannot start). The map records outlive
// the quest, so the first one's song must not come back with the second one.
TEST_F(DirectorTest, AnotherQuestDoesNotInheritTheSongOfTheOneBefore)
{
    struct Case {
        const char* what;
        const char* nextMap; // where the other quest starts
        int32_t nextSong;    // the other quest's song
        const char* music;   // what plays there at noon
    };
    const Case cases[] = {
        {"on the same map", "maps/town.cfg", 0, "day.ogg"},
        {"on another map", "maps/crypt.cfg", 0, ""},
        {"with a song of no music, on the same map", "maps/town.cfg", 0x004ab005, "day.ogg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        audio_ = std::make_unique<MasterAudio_C>(port_, world_);
        world_.song = 0;
        port_.music.clear();
        loadAll();
        at(12);
        ASSERT_EQ(audio_->mapChange("maps/town.cfg"), 0);
        ASSERT_EQ(audio_->playSong(kSkirl, SongParts_S::only(SongParts_S::LUTE)), 0);
        ASSERT_EQ(port_.music, "skirl_lute.ogg");

        // The title menu plays its own music; then the other quest starts.
        audio_->clearCurMusic();
        port_.haltMusic();
        world_.song = c.nextSong;
        world_.parts = SongParts_S::only(SongParts_S::LUTE).bits;
        ASSERT_EQ(audio_->mapChange(c.nextMap), 0);
        EXPECT_EQ(audio_->currentMap()->song, nullptr);
        if (c.nextSong) { // what the main loop asks as it starts
            EXPECT_EQ(audio_->playSong(uint32_t(c.nextSong), world_.parts), -1);
        }
        audio_->tick();
        EXPECT_EQ(port_.music, c.music);
        EXPECT_NE(port_.nameOf(audio_->curMusic()), "skirl_lute.ogg");
    }
}

TEST_F(DirectorTest, ReleaseFreesEverythingAndIsSafeTwice)
{
    loadAll();
    audio_->mapChange("maps/town.cfg");
    audio_->pushSpecAudio("Combat3");
    audio_->playSong(kSkirl, SongParts_S::only(SongParts_S::LUTE));
    EXPECT_FALSE(port_.loadedNow.empty());
    audio_->release();
    EXPECT_TRUE(port_.loadedNow.empty()) << "still loaded: " << *port_.loadedNow.begin();
    EXPECT_TRUE(port_.timers.empty());
    EXPECT_EQ(port_.music, "");
    port_.take();
    audio_->release();
    audio_.reset();
    EXPECT_TRUE(port_.take().empty()) << "a second release touched the mixer";
}

TEST_F(DirectorTest, ClearCurMusicRestartsTheChoiceAtTheNextTick)
{
    loadAll();
    at(12);
    audio_->mapChange("maps/town.cfg");
    port_.take();
    audio_->tick();
    EXPECT_EQ(contains(port_.take(), "music day.ogg loop"), "") << "the right music is not restarted";
    audio_->clearCurMusic(); // the title menu played its own meanwhile
    audio_->tick();
    EXPECT_NE(contains(port_.take(), "music day.ogg loop"), "");
}

} // namespace

namespace {

class MediaTest : public vell_test::AudioFixture {};

// Start-up reads only the text files; the music and sounds come with the
// first map, and only once.
TEST_F(MediaTest, StartUpReadsTextOnlyAndTheFirstMapLoadsTheSounds)
{
    ASSERT_EQ(audio_->load("audio.dat"), 0);
    EXPECT_EQ(audio_->environmentCount(), 4u);
    EXPECT_TRUE(audio_->bsTest(kSkirl, SongParts_S::only(SongParts_S::LUTE)));
    EXPECT_TRUE(port_.loadedNow.empty()) << "start-up loaded " << *port_.loadedNow.begin();
    EXPECT_FALSE(audio_->isMediaLoaded());
    audio_->addMapAudio("maps/crypt.cfg", 0, nullptr, nullptr);
    EXPECT_TRUE(audio_->isMediaLoaded());
    const size_t loaded = port_.loadedNow.size();
    EXPECT_GT(loaded, 10u);
    EXPECT_NE(audio_->rainChunk(3), nullptr);
    EXPECT_NE(audio_->globalPack(), nullptr);
    audio_->loadMedia();
    audio_->mapChange("maps/crypt.cfg");
    EXPECT_EQ(port_.loadedNow.size(), loaded) << "the sounds were loaded twice";
}

} // namespace
