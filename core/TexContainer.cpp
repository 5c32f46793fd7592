#include "core/TexContainer.h"
#include "core/MemStream.h"

#include <zlib.h>

#include <algorithm>

namespace {

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// True when [offset, offset + len) lies inside size bytes.
bool fits(uint64_t offset, uint64_t len, uint64_t size) {
    return offset <= size && len <= size - offset;
}

}  // namespace

bool parseTexContainerHeader(const uint8_t* data, size_t size, TexContainerHeader_S& h) {
    if (!data || size < TexContainerHeader_S::kBytes) return false;
    h.highSize = le32(data + 0);
    h.highAlphaOffset = le32(data + 4);
    h.highJpegBytes = le32(data + 8);
    h.lowSize = le32(data + 12);
    h.lowJpegOffset = le32(data + 16);
    h.lowAlphaOffset = le32(data + 20);
    h.lowJpegBytes = le32(data + 24);
    h.flags = le32(data + 28);
    return true;
}

bool locateTexContainerPart(const uint8_t* data, size_t size, int quality, TexContainerPart_S& out,
                            std::string& error) {
    TexContainerHeader_S h;
    if (!parseTexContainerHeader(data, size, h)) {
        error = "file is shorter than its 32-byte header";
        return false;
    }
    const bool high = quality == 1;
    const uint32_t dims = high ? h.highSize : h.lowSize;
    const uint64_t jpegOffset = high ? TexContainerHeader_S::kHighJpegOffset : h.lowJpegOffset;
    const uint64_t jpegBytes = high ? h.highJpegBytes : h.lowJpegBytes;
    const uint64_t alphaOffset = high ? h.highAlphaOffset : h.lowAlphaOffset;
    const char* which = high ? "high-quality" : "low-quality";

    out = TexContainerPart_S();
    out.width = TexContainerHeader_S::sizeWidth(dims);
    out.height = TexContainerHeader_S::sizeHeight(dims);
    if (out.width <= 0 || out.height <= 0) {
        error = std::string("the ") + which + " picture has no size";
        return false;
    }
    if (jpegBytes == 0 || !fits(jpegOffset, jpegBytes, size)) {
        error = std::string("the ") + which + " JPEG lies outside the file";
        return false;
    }
    out.jpeg = data + jpegOffset;
    out.jpegBytes = static_cast<size_t>(jpegBytes);
    if (h.hasAlpha()) {
        const uint64_t planeBytes = static_cast<uint64_t>(out.width) * static_cast<uint64_t>(out.height);
        if (!fits(alphaOffset, planeBytes, size)) {
            error = std::string("the ") + which + " alpha plane lies outside the file";
            return false;
        }
        out.alpha = data + alphaOffset;
    }
    return true;
}

bool buildTexContainer(const TexContainerSource_S& high, const TexContainerSource_S& low,
                       std::vector<uint8_t>& out, std::string& error) {
    for (const TexContainerSource_S* s : {&high, &low}) {
        if (s->width <= 0 || s->height <= 0 || s->width > 0xFFFF || s->height > 0xFFFF) {
            error = "picture size does not fit the container";
            return false;
        }
        if (s->jpeg.empty()) {
            error = "a picture has no JPEG data";
            return false;
        }
    }
    const bool alpha = !high.alpha.empty() || !low.alpha.empty();
    if (alpha) {
        const auto planeOk = [](const TexContainerSource_S& s) {
            return s.alpha.size() == static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
        };
        if (!planeOk(high) || !planeOk(low)) {
            error = "alpha planes must be given for both pictures, width x height bytes each";
            return false;
        }
    }
    const uint64_t highJpegEnd = TexContainerHeader_S::kHighJpegOffset + high.jpeg.size();
    const uint64_t highAlphaOffset = highJpegEnd;
    const uint64_t lowJpegOffset = highAlphaOffset + (alpha ? high.alpha.size() : 0);
    const uint64_t lowAlphaOffset = lowJpegOffset + low.jpeg.size();
    const uint64_t total = lowAlphaOffset + (alpha ? low.alpha.size() : 0);
    if (total > 0x7FFFFFFFu) {
        error = "container too large";
        return false;
    }
    MemStream_C s;
    s.writeUInt32(TexContainerHeader_S::packSize(high.width, high.height));
    s.writeUInt32(alpha ? static_cast<uint32_t>(highAlphaOffset) : 0);
    s.writeUInt32(static_cast<uint32_t>(high.jpeg.size()));
    s.writeUInt32(TexContainerHeader_S::packSize(low.width, low.height));
    s.writeUInt32(static_cast<uint32_t>(lowJpegOffset));
    s.writeUInt32(alpha ? static_cast<uint32_t>(lowAlphaOffset) : 0);
    s.writeUInt32(static_cast<uint32_t>(low.jpeg.size()));
    s.writeUInt32(alpha ? TexContainerHeader_S::kFlagAlpha : 0);
    s.write(high.jpeg.data(), static_cast<uint32_t>(high.jpeg.size()));
    if (alpha) s.write(high.alpha.data(), static_cast<uint32_t>(high.alpha.size()));
    s.write(low.jpeg.data(), static_cast<uint32_t>(low.jpeg.size()));
    if (alpha) s.write(low.alpha.data(), static_cast<uint32_t>(low.alpha.size()));
    out.assign(s.data(), s.data() + s.size());
    return true;
}

bool writeGzipFile(const char* path, const std::vector<uint8_t>& bytes, std::string& error) {
    gzFile f = gzopen(path, "wb9");
    if (!f) {
        error = std::string("cannot create ") + path;
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const unsigned chunk = static_cast<unsigned>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (gzwrite(f, bytes.data() + done, chunk) != static_cast<int>(chunk)) {
            gzclose(f);
            error = std::string("cannot write ") + path;
            return false;
        }
        done += chunk;
    }
    if (gzclose(f) != Z_OK) {
        error = std::string("cannot finish ") + path;
        return false;
    }
    return true;
}

bool readGzipFile(const char* path, size_t maxBytes, std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    gzFile f = gzopen(path, "rb");
    if (!f) {
        error = std::string("cannot open ") + path;
        return false;
    }
    uint8_t chunk[4000];
    int n;
    bool tooLarge = false;
    while ((n = gzread(f, chunk, sizeof chunk)) > 0) {
        if (out.size() + static_cast<size_t>(n) > maxBytes) {
            tooLarge = true;
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    int errnum = Z_OK;
    if (n < 0) gzerror(f, &errnum);
    gzclose(f);
    if (tooLarge) {
        error = std::string(path) + " is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    if (n < 0) {
        error = std::string(path) + " is damaged (" + std::to_string(errnum) + ")";
        return false;
    }
    return true;
}
