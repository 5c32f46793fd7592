// ArcaniumCatalogue_S: the Arcanium's catalogue of topics and texts, read
// once from "data/arcanium/arcdata.txt" when the Arcanium is built.
//
// Catalogue file (text; lines of at most 119 characters, a longer line's
// tail is dropped; the line end is removed):
//   lines before the first line that begins "DIRLIST" are ignored;
//   then, up to a line that begins "TEXTLIST", every line that is not empty
//   and does not begin with '#' is a topic name (the whole line);
//   after "TEXTLIST", every line not beginning with '#' holds a topic, a
//   file name and a title: the first two words (blank-separated) and the
//   rest of the line. A line of fewer than these three parts is skipped.
// A text's file is "data/arcanium/<topic>/<file>".
//
// Nothing is ever read outside the Arcanium's folder: a topic or file name
// that is empty, holds a '/', a '\\' or "..", leaves its text out of the
// catalogue, and textPath refuses it again before any file lookup.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct ArcaniumEntry_S {
    std::string topic;   // the topic folder's name
    std::string file;    // the file's name in it
    std::string title;   // shown in the title list
};

struct ArcaniumCatalogue_S {
    static constexpr const char* kFolder = "data/arcanium/";
    static constexpr const char* kCatalogue = "data/arcanium/arcdata.txt";
    static constexpr int kPieceSize = 120;   // 119 characters and the end

    std::vector<std::string> topics;
    std::vector<ArcaniumEntry_S> entries;

    // Replaces the catalogue with the file's; false (catalogue empty) when
    // the file cannot be opened.
    bool read(const char* path);

    // Whether a name may stand for one folder or file inside the Arcanium.
    static bool safeName(const std::string& name);
    // "data/arcanium/<topic>/<file>"; empty for an entry whose names are not
    // safe.
    static std::string textPath(const ArcaniumEntry_S& entry);
    // Reads a text file in pieces of at most 119 characters, each without
    // its line end, into add; the read that meets the end of the file adds
    // an empty piece. False (nothing added) when the path is empty or the
    // file cannot be opened.
    static bool readText(const std::string& path, const std::function<void(const char*)>& add);
};
