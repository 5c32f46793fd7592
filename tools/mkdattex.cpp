// mkdattex: packs JPEG pictures into the game's gzip texture container.
//
//   mkdattex <out.dat> <high.jpg> <low.jpg> [<high-alpha.jpg> <low-alpha.jpg>]
//
// The alpha pictures (grey pictures of the same sizes) become the alpha
// planes: each pixel's (r + g + b) / 3, top row first.
#include "core/ImageLoad.h"
#include "core/TexContainer.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool readBytes(const char* path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool loadPicture(const char* path, TexContainerSource_S& out) {
    if (!readBytes(path, out.jpeg)) {
        std::fprintf(stderr, "mkdattex: cannot read %s\n", path);
        return false;
    }
    RGBImage_S img;
    std::string error;
    if (!decodeJPEG(out.jpeg.data(), out.jpeg.size(), img, error)) {
        std::fprintf(stderr, "mkdattex: %s: %s\n", path, error.c_str());
        return false;
    }
    out.width = img.width;
    out.height = img.height;
    return true;
}

bool loadAlpha(const char* path, TexContainerSource_S& out) {
    RGBImage_S img;
    std::string error;
    if (!decodeJPEGFile(path, img, error)) {
        std::fprintf(stderr, "mkdattex: %s: %s\n", path, error.c_str());
        return false;
    }
    if (img.width != out.width || img.height != out.height) {
        std::fprintf(stderr, "mkdattex: %s is %d x %d, its picture %d x %d\n", path, img.width, img.height,
                     out.width, out.height);
        return false;
    }
    out.alpha.resize(static_cast<size_t>(img.width) * img.height);
    for (size_t i = 0; i < out.alpha.size(); ++i) {
        const uint8_t* p = &img.rgb[i * 3];
        out.alpha[i] = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: %s <out.dat> <high.jpg> <low.jpg> [<high-alpha.jpg> <low-alpha.jpg>]\n",
                     argv[0]);
        return 2;
    }
    TexContainerSource_S high, low;
    if (!loadPicture(argv[2], high) || !loadPicture(argv[3], low)) return 1;
    if (argc == 6 && (!loadAlpha(argv[4], high) || !loadAlpha(argv[5], low))) return 1;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!buildTexContainer(high, low, bytes, error)) {
        std::fprintf(stderr, "mkdattex: %s\n", error.c_str());
        return 1;
    }
    if (bytes.size() > kTexLoadBufferBytes) {
        std::fprintf(stderr, "mkdattex: %zu bytes is more than the game reads (%zu)\n", bytes.size(),
                     kTexLoadBufferBytes);
        return 1;
    }
    if (!writeGzipFile(argv[1], bytes, error)) {
        std::fprintf(stderr, "mkdattex: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
