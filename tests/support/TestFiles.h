// Whole-file reads and writes and an existence check for tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace testfiles {

// The file's bytes; empty when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace testfiles
