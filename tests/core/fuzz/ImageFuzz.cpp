// libFuzzer target: the picture readers. The first byte picks the reader:
//   0: a BMP file (loadBMP);
//   1: a JPEG ".dat" picture and its alpha picture ("_A.dat");
//   2: the low-resolution pair ("L.dat" and "_AL.dat");
//   3: the uncompressed bytes of a texture container, written as a gzip
//      file and read at both qualities.
// For 1 and 2 the next two bytes (little-endian) say how many of the rest
// belong to the picture; the others are its alpha picture (none: no alpha
// file). Nothing may crash, read out of bounds or leak.
#include "FuzzFiles.h"

#include "core/ImageLoad.h"

#include <cstdint>
#include <string>
#include <unistd.h>

namespace {

void fuzzBMP(const uint8_t* data, size_t size)
{
    const std::string path = fuzzfiles::dir() + "p.bmp";
    if (!fuzzfiles::writeFile(path, data, size))
        return;
    uint8_t info[kBmpInfoBytes];
    std::unique_ptr<uint8_t[]> pixels = loadBMP(path.c_str(), info);
    if (pixels) {
        // Every pixel of the picture it claims is there to be read.
        const size_t n = static_cast<size_t>(bmpInfoWidth(info)) * static_cast<size_t>(bmpInfoHeight(info)) * 4;
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < n; ++i)
            sum = static_cast<uint8_t>(sum + pixels[i]);
    }
}

void fuzzJPG(const uint8_t* data, size_t size, bool lowRes)
{
    if (size < 2)
        return;
    size_t split = static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8;
    data += 2;
    size -= 2;
    if (split > size)
        split = size;
    const std::string base = fuzzfiles::dir() + "p.dat";
    const std::string main = lowRes ? pictureVariantName(base, "L.dat") : base;
    const std::string alpha = pictureVariantName(base, lowRes ? "_AL.dat" : "_A.dat");
    if (!fuzzfiles::writeFile(main, data, split))
        return;
    if (split < size)
        fuzzfiles::writeFile(alpha, data + split, size - split);
    else
        ::unlink(alpha.c_str());
    int w = 0, h = 0, bpp = 0;
    std::unique_ptr<uint8_t[]> pixels = loadJPG(base.c_str(), w, h, bpp, lowRes);
    if (pixels) {
        const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
        volatile uint8_t sum = 0;
        for (size_t i = 0; i < n; ++i)
            sum = static_cast<uint8_t>(sum + pixels[i]);
    }
}

void fuzzContainer(const uint8_t* data, size_t size)
{
    const std::string path = fuzzfiles::dir() + "t.dat";
    if (!fuzzfiles::writeGzip(path, data, size))
        return;
    for (int quality : {1, 0}) {
        TexPixels_S tex;
        std::string error;
        if (readTexContainer(path.c_str(), quality, tex, error)) {
            const size_t channels = tex.alpha ? 4 : 3;
            if (tex.pixels.size() != static_cast<size_t>(tex.texWidth) * tex.texHeight * channels)
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    switch (data[0] % 4) {
    case 0:
        fuzzBMP(data + 1, size - 1);
        break;
    case 1:
        fuzzJPG(data + 1, size - 1, false);
        break;
    case 2:
        fuzzJPG(data + 1, size - 1, true);
        break;
    default:
        fuzzContainer(data + 1, size - 1);
        break;
    }
    return 0;
}
