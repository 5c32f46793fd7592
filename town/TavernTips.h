// TavernTips_S: what a tavern's barkeep can tell, read once from the
// tavern's tip file when the tavern is built.
//
// Tip file: a text file read with the game's line reader (lines starting
// with '#', and empty lines, are skipped; a line holds at most 499
// characters). Every other line is "n|text": n a decimal number (0 when it is
// none), the text everything after the first '|'. n = 0 makes a rumour, any
// other n a tip worth n gold. At most 1000 of each are kept, in file order.
//
// A file that cannot be opened leaves both lists empty; a line without '|'
// is skipped. Nothing else can fail.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TipEntry_S {
    int32_t value = 0;   // 0 for a rumour; else the least gold it is told for
    std::string text;
};

struct TavernTips_S {
    static constexpr int kMaxEntries = 1000;
    static constexpr int kLineSize = 500;

    std::vector<TipEntry_S> rumours;
    std::vector<TipEntry_S> tips;

    // Replaces both lists with the file's; false when the file cannot be
    // opened (both lists then empty).
    bool read(const char* path);
};
