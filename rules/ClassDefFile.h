// Reading and writing the plain binary master files of classes, level tables
// and item-creation kinds ("data/class.dat", "data/itemcreate.dat").
// Little-endian int32 values; strings as an int32 length and the bytes.
//
// "data/class.dat": int32 class count, the class records; int32 level table
// count, the level tables. "data/itemcreate.dat": int32 count, the records.
//
// A file that cannot be read, or whose structure cannot be followed (it ends
// inside a record, a count or length runs past the end) gives a negative
// result and a message naming the file and the record, and leaves the tables
// as they were. Values are taken as they stand. Stray bytes after the last
// record are ignored, with an "ERROR" line naming the file.
#pragma once
#include "rules/ClassDef.h"
#include "rules/ItemCreate.h"
#include "rules/LevelTable.h"

#include <string>
#include <vector>

class MemStream_C;

namespace vell {

// Results of the loaders.
constexpr int LOAD_CANNOT_OPEN = -1;
constexpr int LOAD_CORRUPT = -2;

// Reads a whole file into the stream (appending); false when it cannot be
// opened or read, or is larger than maxBytes.
bool readWholeFile(const std::string& path, MemStream_C& out, uint32_t maxBytes = 64u << 20);
// Writes the stream's bytes as the whole file; false on any failure.
bool writeWholeFile(const std::string& path, const MemStream_C& in);

// Parses a class file from memory. On failure returns false with the reason
// in *why and leaves the outputs unspecified. Stray bytes after the last
// record are reported in notes (when given).
bool parseClassFile(MemStream_C& s, std::vector<ClassDef_S>& classes, std::vector<LevelTable_S>& tables,
                    std::string* why, std::vector<std::string>* notes = nullptr);
void writeClassFile(MemStream_C& s, const std::vector<ClassDef_S>& classes, const std::vector<LevelTable_S>& tables);
bool parseItemCreateFile(MemStream_C& s, std::vector<ItemCreate_S>& kinds, std::string* why,
                         std::vector<std::string>* notes = nullptr);
void writeItemCreateFile(MemStream_C& s, const std::vector<ItemCreate_S>& kinds);

// Fill the globals classDef and levelTables, or itemCreate. The number of
// classes (kinds) read, or LOAD_CANNOT_OPEN / LOAD_CORRUPT (with an "ERROR"
// line on the error stream).
int loadClassFile(const std::string& path);
int loadItemCreateFile(const std::string& path);

} // namespace vell
