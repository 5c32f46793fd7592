// File access the game needs from the operating system: opening data files
// by a '/' path (falling back to a case-insensitive match of each component),
// sorted directory listings, and reading text lines without their line end.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace vell {

// The path as given when it exists; otherwise the first path whose
// components match it ignoring case; otherwise the path as given.
std::string resolvePath(const std::string& path);

// One spelling for every path that names the same file: "." parts, empty
// parts and "name/.." dropped ('\\' counts as '/'), a path inside the
// current folder made relative to it, then resolvePath's case.
// "./maps//x.cfg" and "/game/maps/X.cfg" (run from /game) both give
// "maps/x.cfg" when that file exists. Leading ".." parts are kept.
std::string normalPath(const std::string& path);

// fopen() through resolvePath().
FILE* openFile(const std::string& path, const char* mode);

// Entries of a folder (no "." or ".."), sorted by name. Empty when the folder
// cannot be read.
struct DirEntry {
    std::string name;
    bool isDir = false;
};
std::vector<DirEntry> listDir(const std::string& folder);

// Strips one trailing "\r\n" or "\n" in place; nothing else.
void stripLineEnd(char* line);
void stripLineEnd(std::string& line);

// Creates the folder when it is missing; true when it exists afterwards.
bool ensureDir(const std::string& folder);

// True when the path names an existing folder.
bool isDir(const std::string& path);

// True when the path names an existing file marked read-only: no write
// permission bit is set, or the user may not write it.
bool isReadOnlyFile(const std::string& path);

// A copy of the file's bytes in a new file of the temporary folder ($TMPDIR,
// else /tmp) that only this program knows; its path, or empty (with the
// reason in *error) when it cannot be made. The caller removes it.
std::string privateCopy(const std::string& path, std::string* error);

// The folder that holds the running program ("/proc/self/exe" without its
// last component); empty when it cannot be read.
std::string programFolder();

// Makes `folder` the current folder; true on success.
bool changeDir(const std::string& folder);

// Permission bits of every file the game creates.
constexpr int NEW_FILE_MODE = 0644;

} // namespace vell
