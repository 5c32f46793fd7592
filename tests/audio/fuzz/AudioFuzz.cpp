// libFuzzer target for the sound director's readers: the first byte picks
// the file the rest becomes (a sound pack, a bard song file, the audio
// configuration with a bard song master file), read on a stand-in mixer
// that "loads" every file. Then the director runs over what it read.
#include "../RecordingPort.h"
#include "../../core/fuzz/FuzzFiles.h"

#include "audio/BardSongMus.h"
#include "audio/EnvSoundPak.h"
#include "audio/MasterAudio.h"
#include "core/GameConfig.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string& dir = fuzzfiles::dir();
    const std::string file = dir + "input";
    fuzzfiles::writeFile(file, data + 1, size - 1);
    vell_test::RecordingPort port;
    vell_test::TestWorld world;
    gameConfig.sound = true;
    gameConfig.audioMusic = true;
    gameConfig.audioSpecial = true;
    switch (data[0] % 3) {
    case 0: {
        EnvSoundPak_S pack(file.c_str(), port);
        (void)pack.findNamed("Door");
        MasterAudio_C audio(port, world);
        const char* paths[] = {file.c_str(), file.c_str()};
        const int hours[] = {0, 12};
        audio.addMapAudio("map", 2, paths, hours);
        for (unsigned h = 0; h < 24; h += 5) {
            world.hour = h;
            world.minute = h * 7 % 60;
            audio.mapChange("map");
            audio.playAmbient();
            audio.timerWork(AudioPort_C::TIMER_INTRO);
            audio.playSound("Door");
        }
        break;
    }
    case 1: {
        BardSongMus_C song(file.c_str(), port);
        song.load(true);
        for (int v = 0; v < SongParts_S::VARIANT_COUNT; ++v)
            song.play(SongParts_S::only(v), true);
        break;
    }
    default: {
        // The same bytes as the configuration and as the bard master file.
        const std::string conf = dir + "audio.dat";
        fuzzfiles::writeFile(conf, "bardsongs " + file + "\nenvironment " + file + " Place\nglobal " + file + "\n");
        MasterAudio_C a(port, world);
        a.load(conf.c_str());
        MasterAudio_C b(port, world);
        b.load(file.c_str());
        a.pushSpecAudio("Place");
        a.playSound("Door");
        a.popSpecAudio();
        break;
    }
    }
    return 0;
}
