#include "core/ImageLoad.h"
#include "core/TexContainer.h"
#include "core/GameConfig.h"
#include "platform/Files.h"

#include <SDL.h>
#include <SDL_image.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kBmpFileHeaderBytes = 14;
constexpr int kBmpHeadersBytes = kBmpFileHeaderBytes + kBmpInfoBytes;   // 54

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct FileCloser {
    void operator()(FILE* f) const { if (f) std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { if (s) SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Copies a decoded surface of any pixel layout into packed RGB.
bool surfaceToRGB(SDL_Surface* s, RGBImage_S& out, std::string& error) {
    const int bpp = s->format->BytesPerPixel;
    if (s->w <= 0 || s->h <= 0 || s->w > kMaxTextureSize || s->h > kMaxTextureSize) {
        error = "picture size " + std::to_string(s->w) + " x " + std::to_string(s->h) + " is out of range";
        return false;
    }
    if (bpp < 1 || bpp > 4 || s->pitch < s->w * bpp) {
        error = "picture has an unusable pixel layout";
        return false;
    }
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) {
        error = "cannot lock the decoded picture";
        return false;
    }
    out.width = s->w;
    out.height = s->h;
    out.rgb.resize(static_cast<size_t>(s->w) * s->h * 3);
    const uint8_t* base = static_cast<const uint8_t*>(s->pixels);
    uint8_t* dst = out.rgb.data();
    for (int y = 0; y < s->h; ++y) {
        const uint8_t* row = base + static_cast<size_t>(y) * s->pitch;
        for (int x = 0; x < s->w; ++x) {
            const uint8_t* p = row + x * bpp;
            Uint32 v = 0;
            switch (bpp) {
            case 1: v = p[0]; break;
            case 2: v = static_cast<Uint32>(p[0] | (p[1] << 8)); break;
            case 3: v = static_cast<Uint32>(p[0] | (p[1] << 8) | (p[2] << 16)); break;
            default: v = le32(p); break;
            }
            if (SDL_BYTEORDER == SDL_BIG_ENDIAN && bpp > 1) {
                v = bpp == 2 ? ((v & 0xFF) << 8) | (v >> 8)
                             : bpp == 3 ? ((v & 0xFF) << 16) | (v & 0xFF00) | (v >> 16) : SDL_Swap32(v);
            }
            SDL_GetRGB(v, s->format, &dst[0], &dst[1], &dst[2]);
            dst += 3;
        }
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    return true;
}

bool decodeRW(SDL_RWops* rw, RGBImage_S& out, std::string& error) {
    if (!rw) {
        error = "cannot open";
        return false;
    }
    // The decoder makes room for the size the header claims before it reads
    // a pixel: a damaged header must not make it take gigabytes.
    int w = 0, h = 0;
    if (jpegFrameSize(rw, w, h) && (w < 1 || h < 1 || w > kMaxTextureSize || h > kMaxTextureSize)) {
        SDL_RWclose(rw);
        error = "picture size " + std::to_string(w) + " x " + std::to_string(h) + " is out of range";
        return false;
    }
    SurfacePtr s(IMG_LoadTyped_RW(rw, 1, const_cast<char*>("JPG")));
    if (!s) {
        error = std::string("not a JPEG picture (") + IMG_GetError() + ")";
        return false;
    }
    return surfaceToRGB(s.get(), out, error);
}

bool isColourKey(uint8_t r, uint8_t g, uint8_t b) {
    return r > 240 && g <= 14 && b > 240;
}

}  // namespace

bool jpegFrameSize(SDL_RWops* rw, int& width, int& height) {
    if (!rw)
        return false;
    const int start = SDL_RWtell(rw);
    auto next = [rw](int& c) {
        uint8_t b = 0;
        if (SDL_RWread(rw, &b, 1, 1) != 1)
            return false;
        c = b;
        return true;
    };
    bool found = false;
    int c = 0;
    if (next(c) && c == 0xFF && next(c) && c == 0xD8) {
        for (;;) {
            // As the decoder does: bytes up to a 0xFF are passed over, fill
            // bytes of 0xFF repeat, and 0xFF 0x00 is no marker.
            do {
                do {
                    if (!next(c))
                        c = -1;
                } while (c >= 0 && c != 0xFF);
                while (c == 0xFF)
                    if (!next(c))
                        c = -1;
            } while (c == 0);
            if (c < 0)
                break;
            if (c == 0x01 || c == 0xD8 || (c >= 0xD0 && c <= 0xD7))
                continue; // markers without a length
            if (c == 0xD9 || c == 0xDA)
                break;    // the end, or the image data: no frame header before it
            uint8_t len[2];
            if (SDL_RWread(rw, len, 1, 2) != 2)
                break;
            const int n = (len[0] << 8) | len[1];
            if (n < 2)
                break;
            if (c >= 0xC0 && c <= 0xCF && c != 0xC4 && c != 0xC8 && c != 0xCC) {
                uint8_t f[5];
                if (n < 7 || SDL_RWread(rw, f, 1, 5) != 5)
                    break;
                height = (f[1] << 8) | f[2];
                width = (f[3] << 8) | f[4];
                found = true;
                break;
            }
            if (SDL_RWseek(rw, n - 2, RW_SEEK_CUR) < 0)
                break;
        }
    }
    SDL_RWseek(rw, start, RW_SEEK_SET);
    return found;
}

int32_t bmpInfoWidth(const uint8_t info[kBmpInfoBytes]) {
    return static_cast<int32_t>(le32(info + 4));
}

int32_t bmpInfoHeight(const uint8_t info[kBmpInfoBytes]) {
    return static_cast<int32_t>(le32(info + 8));
}

std::unique_ptr<uint8_t[]> loadBMP(const char* path, uint8_t info[kBmpInfoBytes]) {
    FilePtr f(path ? vell::openFile(path, "rb") : nullptr);
    if (!f) {
        std::fprintf(stderr, "Error in fopen!\n");
        return nullptr;
    }
    uint8_t fileHeader[kBmpFileHeaderBytes];
    if (std::fread(fileHeader, 1, sizeof fileHeader, f.get()) != sizeof fileHeader) {
        std::fprintf(stderr, "Error in fread(fileHeader)!\n");
        return nullptr;
    }
    if (std::fread(info, 1, kBmpInfoBytes, f.get()) != static_cast<size_t>(kBmpInfoBytes)) {
        std::fprintf(stderr, "Error in fread(bmpInfo)!\n");
        return nullptr;
    }
    const uint32_t dataOffset = le32(fileHeader + 10);
    if (dataOffset < static_cast<uint32_t>(kBmpHeadersBytes)) {
        std::fprintf(stderr, "Error in fread(voidBuff)\n");
        return nullptr;
    }
    for (uint32_t skip = dataOffset - kBmpHeadersBytes; skip > 0;) {
        uint8_t voidBuff[256];
        const size_t n = skip < sizeof voidBuff ? skip : sizeof voidBuff;
        if (std::fread(voidBuff, 1, n, f.get()) != n) {
            std::fprintf(stderr, "Error in fread(voidBuff)\n");
            return nullptr;
        }
        skip -= static_cast<uint32_t>(n);
    }
    const uint32_t imageSize = le32(info + 20);
    if (imageSize == 0) {
        std::fprintf(stderr, "Error: imageSize = 0\n");
        return nullptr;
    }
    const int32_t width = bmpInfoWidth(info);
    const int32_t height = bmpInfoHeight(info);
    const uint16_t bitCount = le16(info + 14);
    const uint32_t compression = le32(info + 16);
    if (bitCount != 24 || compression != 0 || width <= 0 || height <= 0 || width > kMaxTextureSize ||
        height > kMaxTextureSize) {
        std::fprintf(stderr, "Error: unsupported BMP (%d x %d, %u bits, compression %u); 24-bit bottom-up only\n",
                     width, height, bitCount, compression);
        return nullptr;
    }
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[pixels * 4]);
    if (!buf) {
        std::fprintf(stderr, "Error in memory allocation!\n");
        return nullptr;
    }
    // Rows of 24-bit BMP data are padded to multiples of 4 bytes.
    const size_t rowPad = (4 - (static_cast<size_t>(width) * 3) % 4) % 4;
    uint8_t* dst = buf.get();
    size_t done = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t bgr[3];
            if (std::fread(bgr, 1, 3, f.get()) != 3) {
                std::fprintf(stderr, "Error in fread() != 3!  Amount read: %zu bmpSize: %u\n", done, imageSize);
                return nullptr;
            }
            done += 3;
            const uint8_t r = bgr[2], g = bgr[1], b = bgr[0];
            if (r > 250 && g <= 4 && b > 250) {
                dst[0] = dst[1] = dst[2] = dst[3] = 0;
            } else {
                dst[0] = r;
                dst[1] = g;
                dst[2] = b;
                dst[3] = 255;
            }
            dst += 4;
        }
        if (rowPad && y + 1 < height) {
            uint8_t pad[3];
            if (std::fread(pad, 1, rowPad, f.get()) != rowPad) {
                std::fprintf(stderr, "Error in fread() != 3!  Amount read: %zu bmpSize: %u\n", done, imageSize);
                return nullptr;
            }
            done += rowPad;
        }
    }
    return buf;
}

std::string pictureVariantName(const std::string& path, const char* suffix) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + suffix;
    return path.substr(0, dot) + suffix;
}

bool decodeJPEG(const void* data, size_t size, RGBImage_S& out, std::string& error) {
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) {
        error = "no JPEG data";
        return false;
    }
    return decodeRW(SDL_RWFromConstMem(data, static_cast<int>(size)), out, error);
}

bool decodeJPEGFile(const char* path, RGBImage_S& out, std::string& error) {
    SDL_RWops* rw = path ? SDL_RWFromFile(vell::resolvePath(path).c_str(), "rb") : nullptr;
    if (!rw) {
        error = std::string("cannot open ") + (path ? path : "(null)");
        return false;
    }
    return decodeRW(rw, out, error);
}

std::unique_ptr<uint8_t[]> loadJPG(const char* path, int& width, int& height, int& bpp, bool lowRes) {
    if (!path) return nullptr;
    const std::string name = lowRes ? pictureVariantName(path, "L.dat") : std::string(path);
    RGBImage_S img;
    std::string error;
    if (!decodeJPEGFile(name.c_str(), img, error)) {
        std::fprintf(stderr, "ERROR: Could not load picture %s: %s\n", name.c_str(), error.c_str());
        return nullptr;
    }
    const size_t w = static_cast<size_t>(img.width);
    const size_t h = static_cast<size_t>(img.height);
    std::unique_ptr<uint8_t[]> buf(new (std::nothrow) uint8_t[w * h * 4]);
    if (!buf) {
        std::fprintf(stderr, "ERROR: Out of memory for picture %s\n", name.c_str());
        return nullptr;
    }
    for (size_t y = 0; y < h; ++y) {
        const uint8_t* src = img.rgb.data() + y * w * 3;
        uint8_t* dst = buf.get() + (h - 1 - y) * w * 4;
        for (size_t x = 0; x < w; ++x, src += 3, dst += 4) {
            if (isColourKey(src[0], src[1], src[2])) {
                dst[0] = dst[1] = dst[2] = dst[3] = 0;
            } else {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
                dst[3] = 255;
            }
        }
    }
    const std::string alphaName = pictureVariantName(path, lowRes ? "_AL.dat" : "_A.dat");
    RGBImage_S alpha;
    std::string alphaError;
    if (decodeJPEGFile(alphaName.c_str(), alpha, alphaError)) {
        if (alpha.width == img.width && alpha.height == img.height) {
            for (size_t y = 0; y < h; ++y) {
                const uint8_t* src = alpha.rgb.data() + y * w * 3;
                uint8_t* dst = buf.get() + (h - 1 - y) * w * 4;
                for (size_t x = 0; x < w; ++x, src += 3, dst += 4)
                    dst[3] = static_cast<uint8_t>((src[0] + src[1] + src[2]) / 3);
            }
        } else {
            std::fprintf(stderr, "ERROR: Alpha picture %s is %d x %d, its picture %d x %d; not used\n",
                         alphaName.c_str(), alpha.width, alpha.height, img.width, img.height);
        }
    }
    width = img.width;
    height = img.height;
    bpp = 32;
    return buf;
}

int texturePow2(int size) {
    if (size < 1 || size > kMaxTextureSize) return 0;
    int t = kMaxTextureSize;
    while (t / 2 >= size) t /= 2;
    return t;
}

bool decodeTexContainer(const uint8_t* data, size_t size, int quality, TexPixels_S& out, std::string& error) {
    TexContainerPart_S part;
    if (!locateTexContainerPart(data, size, quality, part, error)) return false;
    RGBImage_S img;
    if (!decodeJPEG(part.jpeg, part.jpegBytes, img, error)) return false;
    if (img.width != part.width || img.height != part.height) {
        error = "JPEG is " + std::to_string(img.width) + " x " + std::to_string(img.height) + ", header says " +
                std::to_string(part.width) + " x " + std::to_string(part.height);
        return false;
    }
    out.width = img.width;
    out.height = img.height;
    out.texWidth = texturePow2(img.width);
    out.texHeight = texturePow2(img.height);
    out.alpha = part.alpha != nullptr;
    const size_t channels = out.alpha ? 4 : 3;
    const size_t w = static_cast<size_t>(img.width);
    out.pixels.assign(static_cast<size_t>(out.texWidth) * out.texHeight * channels, 0);
    for (size_t y = 0; y < static_cast<size_t>(img.height); ++y) {
        const uint8_t* src = img.rgb.data() + y * w * 3;
        const uint8_t* a = part.alpha ? part.alpha + y * w : nullptr;
        uint8_t* dst = out.pixels.data() + y * out.texWidth * channels;
        for (size_t x = 0; x < w; ++x, src += 3, dst += channels) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            if (a) dst[3] = a[x];
        }
    }
    return true;
}

bool readTexContainer(const char* path, int quality, TexPixels_S& out, std::string& error) {
    // One load buffer for every container of the run.
    static std::vector<uint8_t> loadBuffer;
    if (loadBuffer.capacity() < kTexLoadBufferBytes) loadBuffer.reserve(kTexLoadBufferBytes);
    if (!path) {
        error = "no file name";
        return false;
    }
    if (!readGzipFile(vell::resolvePath(path).c_str(), kTexLoadBufferBytes, loadBuffer, error)) return false;
    return decodeTexContainer(loadBuffer.data(), loadBuffer.size(), quality, out, error);
}

uint32_t uploadTexture(const TexPixels_S& tex, int mipMode, bool clamp) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    // Clamped to the picture's own edge texels: GL_CLAMP would blend the
    // border colour (black) into every edge under linear filtering, a dark
    // seam wherever two walls meet.
    const GLint wrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    const GLenum format = tex.alpha ? GL_RGBA : GL_RGB;
    const void* pixels = tex.pixels.empty() ? nullptr : tex.pixels.data();
    GLint unpack = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLint mag = 0, min = 0;
    bool mipmaps = false;
    switch (mipMode) {
    case 0: mag = GL_NEAREST; min = GL_NEAREST; break;
    case 1: mag = GL_LINEAR; min = GL_LINEAR; break;
    case 2: mag = GL_NEAREST; min = GL_NEAREST_MIPMAP_NEAREST; mipmaps = true; break;
    case 3: mag = GL_LINEAR; min = GL_LINEAR_MIPMAP_NEAREST; mipmaps = true; break;
    case 4: mag = GL_LINEAR; min = GL_LINEAR_MIPMAP_LINEAR; mipmaps = true; break;
    default: break;
    }
    if (mag != 0 && pixels && tex.texWidth > 0 && tex.texHeight > 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
        if (mipmaps)
            gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), tex.texWidth, tex.texHeight, format,
                              GL_UNSIGNED_BYTE, pixels);
        else
            glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), tex.texWidth, tex.texHeight, 0, format,
                         GL_UNSIGNED_BYTE, pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
    return id;
}

uint32_t newRepeatTexture() {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    const GLint filter = gameConfig.linear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    return id;
}

uint32_t loadBMPTexture(const char* path, bool* ok) {
    uint8_t info[kBmpInfoBytes] = {};
    std::unique_ptr<uint8_t[]> pixels = loadBMP(path, info);
    if (ok) *ok = pixels != nullptr;
    const GLuint id = newRepeatTexture();
    if (pixels) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, bmpInfoWidth(info), bmpInfoHeight(info), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.get());
    }
    return id;
}

TexInfo_S loadDATTex(const char* path, int quality, int mipMode, int clamp) {
    TexInfo_S info;
    TexPixels_S tex;
    std::string error;
    if (!readTexContainer(path, quality, tex, error)) {
        std::fprintf(stderr, "ERROR: Could not load texture %s: %s\n", path ? path : "(null)", error.c_str());
        return info;
    }
    info.texID = static_cast<int32_t>(uploadTexture(tex, mipMode, clamp != 0));
    info.width = tex.width;
    info.height = tex.height;
    info.texWidth = tex.texWidth;
    info.texHeight = tex.texHeight;
    return info;
}
