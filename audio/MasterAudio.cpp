#include "audio/MasterAudio.h"

#include "core/ConfigFile.h"

MasterAudio_C maserAudio;

int MasterAudio_C::load(const char* path) {
    FILE* f = openConfig(path);
    if (!f)
        return -1;
    char line[256];
    while (readConfigLine(line, sizeof line, f))
        ++lines_;
    closeConfig(f);
    return 0;
}

void MasterAudio_C::release() { lines_ = 0; }

int initMasterAudio() { return maserAudio.load("data/audio.dat"); }
