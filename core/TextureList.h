// Texture_S: one named texture of a map's texture list; TextureList_C: the
// list read from a texture-list file.
//
// Texture-list file: text lines "name file [n1 [n2 [n3 [n4]]]]"; lines that
// begin with '#' and lines with fewer than two words are skipped. n1 != 0
// makes the texture solid, n2 is its integer value (1 marks a secret door;
// negative values are kept as 0), n3 its level (wall height); n4 is read and
// not used. Missing numbers: n2 = 0, n3 = 1, n4 = 1. A later line of the same
// name hides an earlier one.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

struct Texture_S {
    uint32_t texID = 0;     // GL texture
    uint8_t solid = 0;      // flag: blocks movement
    uint8_t level = 0;      // byte value: wall height in squares
    int32_t value = 0;      // integer value (1 = secret door)

    Texture_S() = default;
    // Loads the file as a texture (needs a GL context): a name ending in
    // "bmp" through loadBMP, anything else as a texture container with the
    // quality and mip mode of the texMode setting, clamped when value >= 0.
    Texture_S(const char* file, uint8_t flag, uint8_t byteValue, int32_t intValue);
    ~Texture_S();
    Texture_S(const Texture_S&) = delete;
    Texture_S& operator=(const Texture_S&) = delete;
};

// Quality and mip mode of textures for a texMode setting: quality 1 (high)
// above 3; mip mode 2 for texMode 1, else 4 when odd, 3 when even.
int textureQualityFor(int texMode);
int textureMipModeFor(int texMode);

// One parsed texture-list line.
struct TextureLine_S {
    std::string name;
    std::string file;
    int number1 = 0;
    int number2 = 0;
    int number3 = 1;
    int number4 = 1;
};

// Parses one line; false for comments and lines of fewer than two words.
bool parseTextureLine(const char* line, TextureLine_S& out);

class TextureList_C {
public:
    static constexpr size_t kMaxNameLength = 15;

    // An empty list; reads the file when a path is given.
    explicit TextureList_C(const char* path = nullptr);
    ~TextureList_C();
    TextureList_C(const TextureList_C&) = delete;
    TextureList_C& operator=(const TextureList_C&) = delete;

    // Deletes every entry, then reads the file (needs a GL context). A file
    // that cannot be opened prints "ERROR: Could not open file: <path>" and
    // returns false with the list empty.
    bool load(const char* path);
    // Adds a texture at the head of the list. Names longer than 15
    // characters are cut to 15.
    void add(const char* name, std::unique_ptr<Texture_S> texture);
    // The texture of the first entry from the head with exactly this name.
    Texture_S* find(const char* name) const;
    void clear();
    int count() const;

private:
    struct Entry {
        std::unique_ptr<Texture_S> texture;
        char name[kMaxNameLength + 1] = {};
        std::unique_ptr<Entry> next;
    };
    std::unique_ptr<Entry> head_;
};
