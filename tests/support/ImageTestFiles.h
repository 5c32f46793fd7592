// Picture files for tests: the committed image fixtures, whole-file reading
// and writing, 24-bit BMP files made in memory and the pictures of a texture
// container.
#pragma once
#include "core/TexContainer.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vell_test {

inline std::string imageFixture(const std::string& name) {
    return std::string(VELL_TEST_FIXTURES) + "/images/" + name;
}

inline std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Stores x little-endian at v[at..at+3].
inline void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

struct Px {
    int r, g, b;
};

// A 24-bit bottom-up BMP; pixels given bottom row first, rows padded to 4.
// imageSize 0xFFFFFFFF stands for the true size of the pixels.
inline std::vector<uint8_t> makeBmp(int w, int h, const std::vector<Px>& px, uint32_t imageSize = 0xFFFFFFFF,
                                    uint16_t bits = 24, uint32_t dataOffset = 54) {
    const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> v(dataOffset + row * h, 0);
    v[0] = 'B';
    v[1] = 'M';
    put32(v, 2, static_cast<uint32_t>(v.size()));
    put32(v, 10, dataOffset);
    put32(v, 14, 40);
    put32(v, 18, static_cast<uint32_t>(w));
    put32(v, 22, static_cast<uint32_t>(h));
    v[26] = 1;
    v[28] = static_cast<uint8_t>(bits);
    put32(v, 34, imageSize == 0xFFFFFFFF ? static_cast<uint32_t>(row * h) : imageSize);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Px& p = px[static_cast<size_t>(y) * w + x];
            uint8_t* d = &v[dataOffset + y * row + x * 3];
            d[0] = static_cast<uint8_t>(p.b);
            d[1] = static_cast<uint8_t>(p.g);
            d[2] = static_cast<uint8_t>(p.r);
        }
    return v;
}

// The two pictures of the fixture container, without alpha: high quality
// 300 x 200 blue ("wide.dat"), low quality the 16 x 16 quad of red, green /
// blue, white ("quad.dat").
inline void fixtureContainerPictures(TexContainerSource_S& high, TexContainerSource_S& low) {
    high.jpeg = readFileBytes(imageFixture("wide.dat"));
    high.width = 300;
    high.height = 200;
    low.jpeg = readFileBytes(imageFixture("quad.dat"));
    low.width = 16;
    low.height = 16;
}

} // namespace vell_test
