#include "core/TextureList.h"
#include "core/GameConfig.h"
#include "core/ImageLoad.h"
#include "platform/Files.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxLine = 148;

bool endsWithBmp(const char* file) {
    const size_t n = std::strlen(file);
    return n >= 3 && std::strcmp(file + n - 3, "bmp") == 0;
}

}  // namespace

int textureQualityFor(int texMode) {
    return texMode > 3 ? 1 : 0;
}

int textureMipModeFor(int texMode) {
    if (texMode == 1) return 2;
    return (texMode % 2 != 0) ? 4 : 3;
}

Texture_S::Texture_S(const char* file, uint8_t flag, uint8_t byteValue, int32_t intValue)
    : solid(flag), level(byteValue), value(intValue < 0 ? 0 : intValue) {
    if (!file) return;
    if (endsWithBmp(file)) {
        texID = loadBMPTexture(file);
    } else {
        const int texMode = gameConfig.texMode;
        const TexInfo_S info =
            loadDATTex(file, textureQualityFor(texMode), textureMipModeFor(texMode), intValue >= 0 ? 1 : 0);
        texID = static_cast<uint32_t>(info.texID);
    }
}

Texture_S::~Texture_S() {
    if (texID != 0) {
        const GLuint id = texID;
        glDeleteTextures(1, &id);
    }
}

bool parseTextureLine(const char* line, TextureLine_S& out) {
    if (!line || line[0] == '#') return false;
    char name[kMaxLine + 1] = {};
    char file[kMaxLine + 1] = {};
    int n1 = 0, n2 = 0, n3 = 1, n4 = 1;
    // The words cannot be longer than the line, which is at most kMaxLine.
    char copy[kMaxLine + 1];
    std::snprintf(copy, sizeof copy, "%s", line);
    const int got = std::sscanf(copy, "%148s %148s %d %d %d %d", name, file, &n1, &n2, &n3, &n4);
    if (got < 2) return false;
    out.name = name;
    out.file = file;
    out.number1 = got >= 3 ? n1 : 0;
    out.number2 = got >= 4 ? n2 : 0;
    out.number3 = got >= 5 ? n3 : 1;
    out.number4 = got >= 6 ? n4 : 1;
    return true;
}

TextureList_C::TextureList_C(const char* path) {
    if (path) load(path);
}

TextureList_C::~TextureList_C() {
    clear();
}

void TextureList_C::clear() {
    // Unlink iteratively so a long list cannot overflow the stack.
    while (head_) head_ = std::move(head_->next);
}

int TextureList_C::count() const {
    int n = 0;
    for (const Entry* e = head_.get(); e; e = e->next.get()) ++n;
    return n;
}

void TextureList_C::add(const char* name, std::unique_ptr<Texture_S> texture) {
    auto e = std::make_unique<Entry>();
    std::snprintf(e->name, sizeof e->name, "%s", name ? name : "");
    e->texture = std::move(texture);
    e->next = std::move(head_);
    head_ = std::move(e);
}

Texture_S* TextureList_C::find(const char* name) const {
    if (!name) return nullptr;
    for (const Entry* e = head_.get(); e; e = e->next.get())
        if (std::strcmp(e->name, name) == 0) return e->texture.get();
    return nullptr;
}

bool TextureList_C::load(const char* path) {
    clear();
    FILE* f = path ? vell::openFile(path, "r") : nullptr;
    if (!f) {
        std::fprintf(stderr, "ERROR: Could not open file: %s\n", path ? path : "(null)");
        return false;
    }
    std::string line;
    int c;
    bool more = true;
    while (more) {
        line.clear();
        while ((c = std::fgetc(f)) != EOF) {
            line.push_back(static_cast<char>(c));
            if (c == '\n') break;
        }
        more = c != EOF;
        vell::stripLineEnd(line);
        if (line.size() > static_cast<size_t>(kMaxLine)) {
            std::fprintf(stderr, "ERROR: %s: line longer than %d characters skipped\n", path, kMaxLine);
            continue;
        }
        TextureLine_S t;
        if (!parseTextureLine(line.c_str(), t)) continue;
        if (t.name.size() > kMaxNameLength)
            std::fprintf(stderr, "ERROR: %s: texture name %s cut to %zu characters\n", path, t.name.c_str(),
                         kMaxNameLength);
        add(t.name.c_str(), std::make_unique<Texture_S>(t.file.c_str(), t.number1 != 0 ? 1 : 0,
                                                        static_cast<uint8_t>(t.number3), t.number2));
    }
    std::fclose(f);
    return true;
}
