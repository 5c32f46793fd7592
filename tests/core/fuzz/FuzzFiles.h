// What the file-reading fuzz targets share: a private folder for the files
// they write (under $VELL_FUZZ_TMP, else /tmp), writers for plain and gzip
// files, and the test fixtures ($VELL_FUZZ_FIXTURES) they read valid
// companion files from.
#pragma once
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzzfiles {

// A folder of this process's own, made on first use; ends in '/'.
inline const std::string& dir()
{
    static const std::string d = [] {
        const char* base = std::getenv("VELL_FUZZ_TMP");
        std::string p = std::string(base && *base ? base : "/tmp") + "/vell_fuzz_" + std::to_string(::getpid());
        ::mkdir(p.c_str(), 0755);
        return p + "/";
    }();
    return d;
}

inline bool writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

inline bool writeFile(const std::string& path, const std::string& bytes)
{
    return writeFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

inline bool writeGzip(const std::string& path, const uint8_t* data, size_t size)
{
    gzFile f = gzopen(path.c_str(), "wb1");
    if (!f)
        return false;
    const bool ok = size == 0 || gzwrite(f, data, static_cast<unsigned>(size)) == static_cast<int>(size);
    return gzclose(f) == Z_OK && ok;
}

// A fixture file's bytes; aborts when it is missing (the run is set up wrong).
inline std::string fixture(const char* name)
{
    const char* base = std::getenv("VELL_FUZZ_FIXTURES");
    const std::string path = std::string(base ? base : ".") + "/" + name;
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        std::fprintf(stderr, "fuzz target: missing fixture %s (set VELL_FUZZ_FIXTURES)\n", path.c_str());
        std::abort();
    }
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

} // namespace fuzzfiles
