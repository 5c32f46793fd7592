// GameConfig_S: the settings of one program run. The game fills its global
// gameConfig with the defaults, then from "data/config.dat", then from the
// command line; the launcher reads and writes the same file with the same
// code.
//
// "data/config.dat" is a text file of "keyword value" lines; '#' starts a
// comment line. Keywords and values are matched by their beginning and
// case-insensitively (see GameConfig.cpp for the table).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// What GameConfig_S::load found, for a caller that tells the player (the
// launcher, which rewrites the file). The game ignores it.
struct ConfigReadReport_S {
    bool missing = false;          // no such file: nothing was read
    int error = 0;                 // errno when the file exists but could not be read whole
    std::vector<int> ignoredLines; // line numbers (from 1) that set nothing
};

struct GameConfig_S {
    static constexpr const char* kPath = "data/config.dat";

    int32_t debugLevel;
    int32_t graphics;      // view distance 0..9
    bool sound;            // master switch of all audio
    FILE* debugFile;       // "-df"; the error stream by default
    bool ifaceSmall;       // low-detail interface pictures
    int32_t texMode;       // texture quality; 3 or less takes the low pictures
    bool linear;           // linear texture filtering
    bool shadows;
    bool fog;
    int32_t depth;         // 16, 24 or 32
    bool window;           // windowed instead of full screen
    int32_t width;
    int32_t height;
    bool dxAudio;          // let SDL choose its audio driver
    bool dxVideo;          // let SDL choose its video driver
    bool smoothWalk;
    int32_t difficulty;    // 0 easy, 1 average, 2 difficult, 3 impossible
    bool audioSpecial;     // one-shot and ambient sounds
    bool audioMusic;
    int32_t textLevel;     // 1 normal, 2 medium, 3 high
    bool freeNavigation;
    bool mouseSupport;
    bool partyGold;

    GameConfig_S() { setDefaults(); }

    void setDefaults();

    // Reads the file over the current values; keywords the file does not
    // name keep theirs. A file that cannot be opened changes nothing; one
    // that fails while it is read keeps the lines read before. With a
    // report, what was found goes there (comment and empty lines are no
    // ignored lines).
    void load(const char* path, ConfigReadReport_S* report = nullptr);

    // Applies one line of the file ("keyword value ..."). Lines with fewer
    // than two words and unknown keywords change nothing and give false.
    bool applyLine(const char* line);

    // Writes the comment lines of the file there now (in their order), then
    // all 20 lines, to a temporary file beside `path` (mode 0644 under
    // the usual umask) and renames it over `path`, so the old file stays
    // whole when anything fails. True when the new file is in place; on false
    // the old file is untouched, a line on the error stream says why and
    // *why (when given) holds the reason.
    bool save(const char* path, std::string* why = nullptr) const;

    // The 20 lines that save writes, each ended by "\n".
    std::string toText() const;
};

// The game's settings.
extern GameConfig_S gameConfig;
