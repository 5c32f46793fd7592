// The gzip texture container of ".dat" textures: a 32-byte header, then a
// high-quality JPEG, a low-quality JPEG and optional alpha planes (one byte
// per pixel, rows of width bytes, top row first). Offsets are counted in the
// uncompressed bytes; every integer is little-endian.
//
//   0  high-quality size (width bits 0-15, height bits 16-31)
//   4  offset of the high-quality alpha plane
//   8  byte size of the high-quality JPEG (which starts at offset 32)
//  12  low-quality size
//  16  offset of the low-quality JPEG
//  20  offset of the low-quality alpha plane
//  24  byte size of the low-quality JPEG
//  28  flags: bit 0 = the alpha planes are present
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TexContainerHeader_S {
    static constexpr uint32_t kBytes = 32;
    static constexpr uint32_t kHighJpegOffset = 32;
    static constexpr uint32_t kFlagAlpha = 1;

    uint32_t highSize = 0;
    uint32_t highAlphaOffset = 0;
    uint32_t highJpegBytes = 0;
    uint32_t lowSize = 0;
    uint32_t lowJpegOffset = 0;
    uint32_t lowAlphaOffset = 0;
    uint32_t lowJpegBytes = 0;
    uint32_t flags = 0;

    static uint32_t packSize(int width, int height) {
        return (static_cast<uint32_t>(width) & 0xFFFFu) | ((static_cast<uint32_t>(height) & 0xFFFFu) << 16);
    }
    static int sizeWidth(uint32_t s) { return static_cast<int>(s & 0xFFFFu); }
    static int sizeHeight(uint32_t s) { return static_cast<int>(s >> 16); }
    bool hasAlpha() const { return (flags & kFlagAlpha) != 0; }
};

// One of the two pictures of a container, located and checked.
struct TexContainerPart_S {
    int width = 0;
    int height = 0;
    const uint8_t* jpeg = nullptr;
    size_t jpegBytes = 0;
    const uint8_t* alpha = nullptr;   // width x height bytes, or null
};

// Reads the header; false when fewer than 32 bytes are given.
bool parseTexContainerHeader(const uint8_t* data, size_t size, TexContainerHeader_S& out);

// Locates the picture of the given quality (1 = high, anything else = low)
// and checks every offset and size against the data. On failure `error`
// says what is wrong.
bool locateTexContainerPart(const uint8_t* data, size_t size, int quality, TexContainerPart_S& out,
                            std::string& error);

// What the writer needs for one picture: its size, its JPEG bytes and, when
// the container has alpha planes, width x height alpha bytes.
struct TexContainerSource_S {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> jpeg;
    std::vector<uint8_t> alpha;
};

// Builds the uncompressed container bytes. Alpha planes are written when
// both pictures have one of the right size; false (with `error`) when only
// one has, or a size does not fit 16 bits.
bool buildTexContainer(const TexContainerSource_S& high, const TexContainerSource_S& low,
                       std::vector<uint8_t>& out, std::string& error);

// Writes bytes as a gzip file.
bool writeGzipFile(const char* path, const std::vector<uint8_t>& bytes, std::string& error);

// Reads a whole gzip (or plain) file into out, refusing more than maxBytes.
bool readGzipFile(const char* path, size_t maxBytes, std::vector<uint8_t>& out, std::string& error);
