// Reading the sound director's files: packs, bard song files and the audio
// configuration, good and bad. A bad line is refused with a message naming
// the file and the line, and everything else in the file is kept.
#include "AudioFixture.h"

#include "audio/AudioText.h"
#include "audio/BardSongMus.h"
#include "audio/EnvSoundPak.h"

namespace {

using vell_test::AudioFixture;
using vell_test::writeText;

class SoundFilesTest : public AudioFixture {};

// Reads a pack made of one good line on each side of the line under test.
struct PackCase {
    const char* what;
    const char* line;
    const char* message; // part of the error line, or null for a good line
    size_t rand, timed, named;
};

TEST_F(SoundFilesTest, PackLinesAreCheckedOneByOne)
{
    const std::string longName(EnvSoundPak_S::kMaxFileName + 1, 'a');
    const std::string longSound(EnvNamedSound_S::kMaxName + 1, 's');
    const std::string longLine(AudioTextFile_C::kMaxLine + 1, 'x');
    const std::string nameLine = "named " + longName + ".ogg Boom";
    const std::string soundLine = "named boom.ogg " + longSound;
    const PackCase cases[] = {
        {"a good random sound", "rand wind.ogg 300", nullptr, 2, 1, 1},
        {"a keyword by its beginning, any case", "RANDOMLY wind.ogg 5", nullptr, 2, 1, 1},
        {"a time without minutes", "timed bell.ogg 7 15", nullptr, 1, 2, 1},
        {"a chance that is no number", "rand wind.ogg often", "chance 'often'", 1, 1, 1},
        {"a chance above 1000", "rand wind.ogg 1001", "chance '1001'", 1, 1, 1},
        {"a chance with trailing text", "rand wind.ogg 10x", "chance '10x'", 1, 1, 1},
        {"a huge chance", "rand wind.ogg 99999999999999999999", "chance", 1, 1, 1},
        {"too few words", "rand wind.ogg", "too few words for 'rand'", 1, 1, 1},
        {"an hour past the day", "timed bell.ogg 24:00 5", "time '24:00'", 1, 1, 1},
        {"a minute past the hour", "timed bell.ogg 7:60 5", "time '7:60'", 1, 1, 1},
        {"a negative duration", "timed bell.ogg 7:30 -5", "duration '-5'", 1, 1, 1},
        {"a file name too long", nameLine.c_str(), "file name is longer", 1, 1, 1},
        {"a sound name too long", soundLine.c_str(), "sound name is longer", 1, 1, 1},
        {"a line too long", longLine.c_str(), "longer than 249", 1, 1, 1},
        {"a missing sound file", "named missing_boom.ogg Boom", "Could not open sound file missing_boom.ogg", 1, 1,
         1},
        {"an unknown keyword", "loudness 11", nullptr, 1, 1, 1},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeText("packs/test.env", std::string("# first\nrand drip.ogg 10\ntimed bell.ogg 7:30 15\n") + c.line +
                                        "\nnamed door.ogg Door\n");
        testing::internal::CaptureStderr();
        EnvSoundPak_S pack("packs/test.env", port_);
        const std::string err = testing::internal::GetCapturedStderr();
        if (c.message) {
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
            EXPECT_NE(err.find("packs/test.env"), std::string::npos) << err;
        } else {
            EXPECT_EQ(err, "");
        }
        if (c.message && std::string(c.message).find("Could not") == std::string::npos) {
            EXPECT_NE(err.find("line 4"), std::string::npos) << err;
        }
        EXPECT_EQ(pack.randSounds.size(), c.rand);
        EXPECT_EQ(pack.timedSounds.size(), c.timed);
        EXPECT_EQ(pack.namedSounds.size(), c.named);
        EXPECT_NE(pack.findNamed("Door"), nullptr) << "the line after a bad one is lost";
    }
}

TEST_F(SoundFilesTest, PackEdgesAndLimits)
{
    testing::internal::CaptureStderr();
    EnvSoundPak_S missing("packs/no-such.env", port_);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not open Env config file packs/no-such.env"),
              std::string::npos);
    EXPECT_TRUE(missing.isEmpty());

    writeText("packs/comments.env", "# only comments\n\n\r\n#main x.ogg\n");
    EXPECT_TRUE(EnvSoundPak_S("packs/comments.env", port_).isEmpty());

    // A second main replaces the first (which is freed); a last line
    // without a line break counts; CRLF line ends are taken.
    writeText("packs/twice.env", "main one.ogg\r\nintros two.ogg\r\nmain three.ogg\r\nTIMED bell.ogg 7:30 15");
    {
        EnvSoundPak_S p("packs/twice.env", port_);
        EXPECT_EQ(port_.nameOf(p.main), "three.ogg");
        EXPECT_EQ(port_.nameOf(p.intro), "two.ogg");
        ASSERT_EQ(p.timedSounds.size(), 1u);
        EXPECT_EQ(p.timedSounds[0].hour, 7);
        EXPECT_EQ(p.timedSounds[0].minute, 30);
        EXPECT_EQ(p.timedSounds[0].duration, 15);
        EXPECT_EQ(port_.loadedNow.size(), 3u) << "the first main was not freed";
    }
    EXPECT_TRUE(port_.loadedNow.empty());

    // At most 100 random sounds: the rest are refused, one message each.
    std::string many;
    for (int i = 0; i < 105; ++i)
        many += "rand s" + std::to_string(i) + ".ogg 1\n";
    writeText("packs/many.env", many);
    testing::internal::CaptureStderr();
    EnvSoundPak_S p("packs/many.env", port_);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(p.randSounds.size(), 100u);
    EXPECT_NE(err.find("line 101: more than 100 random sounds"), std::string::npos) << err;
}

TEST_F(SoundFilesTest, BardSongFiles)
{
    struct SongCase {
        const char* what;
        const char* text;
        bool loaded;
        uint32_t id;
        unsigned present; // bit per variant
        const char* message;
    };
    const SongCase cases[] = {
        {"two variants", "0x005ab001\nLute l.ogg\nDEFAULT d.ogg\n", true, 0x005ab001, 0x42, nullptr},
        {"an empty file", "", false, 0, 0, "Unexpected EOF"},
        {"id 0", "0x00000000\nLute l.ogg\n", false, 0, 0, "no action id"},
        {"an id that is no number", "song\nLute l.ogg\n", false, 0, 0, "no action id"},
        {"an id of nine digits", "0x123456789\nLute l.ogg\n", false, 0, 0, "no action id"},
        {"a lower-case tag is unknown", "0x1\nflute f.ogg\nHarp h.ogg\n", true, 1, 0x4, "unknown tag 'flute'"},
        {"a tag without its file", "0x1\nHarp\nPipes p.ogg\n", true, 1, 0x8, "line 2: a variant line needs"},
        {"music that does not load still counts", "0x2\nMale missing_m.ogg\n", true, 2, 0x10,
         "Could not load Male bard song missing_m.ogg"},
    };
    for (const SongCase& c : cases) {
        SCOPED_TRACE(c.what);
        writeText("songs/t.song", c.text);
        BardSongMus_C song("songs/t.song", port_);
        testing::internal::CaptureStderr();
        song.load(true);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(song.isLoaded(), c.loaded);
        EXPECT_EQ(song.getActionId(), c.id);
        unsigned present = 0;
        for (int v = 0; v < SongParts_S::VARIANT_COUNT; ++v)
            present |= song.isPresent(v) ? 1u << v : 0u;
        EXPECT_EQ(present, c.present);
        if (c.message) {
            EXPECT_NE(err.find(c.message), std::string::npos) << err;
        } else {
            EXPECT_EQ(err, "");
        }
    }
    BardSongMus_C none("songs/none.song", port_);
    none.load(true);
    EXPECT_FALSE(none.isLoaded());
    EXPECT_EQ(none.play(SongParts_S::only(SongParts_S::LUTE), true), -2);
    EXPECT_TRUE(port_.take().empty()) << "a song that is not loaded touches no music";

    // Without sound the variants are present but no music is loaded.
    writeText("songs/t.song", "0x5\nHarp h.ogg\n");
    BardSongMus_C silent("songs/t.song", port_);
    silent.load(false);
    EXPECT_TRUE(silent.hasVariant(SongParts_S::only(SongParts_S::HARP)));
    EXPECT_EQ(silent.getMusic(SongParts_S::only(SongParts_S::HARP)), nullptr);
    EXPECT_TRUE(port_.loadedNow.empty());
}

TEST_F(SoundFilesTest, AudioConfigurationLines)
{
    const std::string longName(EnvDef_S::kMaxName + 1, 'n');
    writeText("bad.dat", "environment packs/tavern.env Tavern\n"
                         "environment packs/tavern.env\n"
                         "environment packs/tavern.env " + longName + "\n"
                         "rain\n"
                         "global\n"
                         "bardsongs\n"
                         "whatever goes here\n"
                         "environment packs/treasure.env Treasure\n");
    testing::internal::CaptureStderr();
    ASSERT_EQ(audio_->load("bad.dat"), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* m : {"bad.dat line 2: 'environment' needs", "bad.dat line 3: the environment name is longer",
                          "bad.dat line 4: 'rain' needs", "bad.dat line 5: 'global' needs",
                          "bad.dat line 6: 'bardsongs' needs"})
        EXPECT_NE(err.find(m), std::string::npos) << m << "\n" << err;
    EXPECT_EQ(audio_->environmentCount(), 2u);
    EXPECT_NE(audio_->environment("Treasure"), nullptr);
    EXPECT_EQ(audio_->environment("treasure"), nullptr) << "names compare exactly";

    // Bard song master files.
    struct MasterCase {
        const char* text;
        size_t songs;
        const char* message;
    };
    writeText("songs/a.song", "0x1\nLute a.ogg\n");
    const MasterCase masters[] = {
        {"songs 0\n", 0, "number of bard songs == 0"},
        {"songs many\na.song\n", 0, "line 1: the first line needs"},
        {"songs 1001\na.song\n", 0, "line 1: the first line needs"},
        {"", 0, "Unexpected EOF in Bard Song Master"},
        {"songs/ 3\na.song\na.song\n", 2, "Unexpected EOF reading bard songs"},
    };
    for (const MasterCase& m : masters) {
        SCOPED_TRACE(m.text);
        writeText("master.cfg", m.text);
        writeText("m.dat", "bardsongs master.cfg\n");
        MasterAudio_C a(port_, world_);
        testing::internal::CaptureStderr();
        a.load("m.dat");
        const std::string e = testing::internal::GetCapturedStderr();
        EXPECT_EQ(a.bardSongCount(), m.songs);
        EXPECT_NE(e.find(m.message), std::string::npos) << e;
        if (m.songs) {
            EXPECT_EQ(a.bardSong(0)->getPath(), "songs/a.song");
        }
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(audio_->load("no-such.dat"), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not open master audio config file no-such.dat"),
              std::string::npos);
}

TEST_F(SoundFilesTest, TooFewChannelsIsOnlyReported)
{
    port_.reserved = 1;
    testing::internal::CaptureStderr();
    loadAll();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Mix_ReserveChannels(2) returned <2"), std::string::npos);
    audio_->mapChange("maps/town.cfg");
    audio_->setRain(1, 100);
    EXPECT_EQ(port_.channel[0], "rain1.ogg");
}

} // namespace
