// Picture loading: 24-bit BMP files, JPEG ".dat" pictures (with their
// low-resolution "L" and alpha "_A"/"_AL" companions) and the gzip texture
// container of ".dat" textures (core/TexContainer.h).
//
// Decoding (file -> pixels) needs neither a display nor a GL context; only
// loadDATTex and uploadTexture talk to OpenGL.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_RWops;

// A loaded texture; all 0 when nothing was loaded.
struct TexInfo_S {
    int32_t texID = 0;
    int32_t width = 0;       // image size
    int32_t height = 0;
    int32_t texWidth = 0;    // the powers of two that hold the image
    int32_t texHeight = 0;
};

// Tightly packed 8-bit RGB pixels, top row first.
struct RGBImage_S {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Pixels ready for a texture of texWidth x texHeight: 4 bytes per pixel
// (RGB and alpha) when `alpha`, else 3. Image row i is texture row i.
struct TexPixels_S {
    int width = 0;
    int height = 0;
    int texWidth = 0;
    int texHeight = 0;
    bool alpha = false;
    std::vector<uint8_t> pixels;
};

constexpr int kMaxTextureSize = 8192;
constexpr size_t kTexLoadBufferBytes = 4u << 20;

// The 40-byte BMP info header.
constexpr int kBmpInfoBytes = 40;
int32_t bmpInfoWidth(const uint8_t info[kBmpInfoBytes]);
int32_t bmpInfoHeight(const uint8_t info[kBmpInfoBytes]);

// Reads a 24-bit uncompressed BMP into RGBA (width x height x 4 bytes, rows in
// the file's order, bottom row first). Magenta (red > 250, green <= 4,
// blue > 250) becomes (0, 0, 0, 0); everything else gets alpha 255. The info
// header goes to `info`. On error one line goes to the error stream and null
// comes back.
std::unique_ptr<uint8_t[]> loadBMP(const char* path, uint8_t info[kBmpInfoBytes]);

// Reads a JPEG ".dat" picture into RGBA (width x height x 4, bottom row
// first); bpp is set to 32. With lowRes the name's extension is replaced by
// "L.dat". Colour key: red > 240, green <= 14, blue > 240 is transparent.
// An alpha picture ("_A.dat", or "_AL.dat" with lowRes) of the same size
// gives every pixel the alpha (r + g + b) / 3 of its own pixel.
std::unique_ptr<uint8_t[]> loadJPG(const char* path, int& width, int& height, int& bpp, bool lowRes);

// The companion names of a picture: ext replaced by the given suffix
// ("L.dat", "_A.dat", "_AL.dat"). Only a '.' after the last '/' starts an
// extension; a name without one gets the suffix appended.
std::string pictureVariantName(const std::string& path, const char* suffix);

// Decodes JPEG bytes (any colour layout SDL_image gives: 8-bit grayscale,
// 24 or 32 bits, padded rows) into RGB. False with `error` on failure or a
// picture larger than kMaxTextureSize on a side.
// A picture whose frame header claims a larger size is refused before any
// room is made for it.
bool decodeJPEG(const void* data, size_t size, RGBImage_S& out, std::string& error);
bool decodeJPEGFile(const char* path, RGBImage_S& out, std::string& error);

// The size a JPEG stream's frame header gives, read without decoding and
// passing over the bytes a decoder passes over; the stream is put back where
// it was. False when no frame header comes before the image data.
bool jpegFrameSize(SDL_RWops* rw, int& width, int& height);

// The smallest power of two, at most 8192, that is at least size; 0 when
// size is below 1 or above 8192.
int texturePow2(int size);

// Decodes the picture of the given quality from container bytes into
// texture-sized pixels. Every offset, size and pixel count is checked.
bool decodeTexContainer(const uint8_t* data, size_t size, int quality, TexPixels_S& out, std::string& error);

// Reads a gzip texture container (at most 4 MiB uncompressed, through one
// buffer kept for the whole run: main thread only) and decodes it.
bool readTexContainer(const char* path, int quality, TexPixels_S& out, std::string& error);

// Makes a GL texture of pixels (GL_RGBA when alpha, else GL_RGB) with the
// filters of the mip mode (0 nearest, 1 linear, 2 to 4 mipmaps; another mode
// uploads nothing); wrap GL_CLAMP_TO_EDGE when clamp is set (the picture's
// edge texels, never a border colour), else GL_REPEAT. Needs a current GL
// context.
uint32_t uploadTexture(const TexPixels_S& tex, int mipMode, bool clamp);

// Makes a GL texture without pixels and leaves it bound: wrap GL_REPEAT,
// both filters GL_LINEAR with the linear setting, else GL_NEAREST. What BMP
// and cloud textures start from.
uint32_t newRepeatTexture();

// Makes an RGBA texture of a 24-bit BMP: wrap GL_REPEAT, both filters
// GL_LINEAR with the linear setting, else GL_NEAREST. A BMP that cannot be
// read still gets a texture (without pixels); `ok` tells which it was.
uint32_t loadBMPTexture(const char* path, bool* ok = nullptr);

// Reads a texture container and makes a GL texture of it. Quality 1 takes
// the high-quality picture. A file that cannot be read or decoded is
// reported on the error stream and gives all zero.
TexInfo_S loadDATTex(const char* path, int quality, int mipMode, int clamp);
