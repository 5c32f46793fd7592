// Texture-list lines, texMode choices and the list itself (textures made
// without GL; loading real files is tested under X in tests/gui).
#include "core/TextureList.h"

#include <gtest/gtest.h>

TEST(TextureLine, NumbersDefaultWhenMissing) {
    const struct {
        const char* line;
        bool ok;
        const char* name;
        const char* file;
        int n1, n2, n3, n4;
    } cases[] = {
        {"wall pics/wall.dat", true, "wall", "pics/wall.dat", 0, 0, 1, 1},
        {"wall pics/wall.dat 1", true, "wall", "pics/wall.dat", 1, 0, 1, 1},
        {"door pics/d.dat 1 -1 3 9", true, "door", "pics/d.dat", 1, -1, 3, 9},
        {"  tree\tpics/t.bmp 0 1", true, "tree", "pics/t.bmp", 0, 1, 1, 1},
        {"a b x 4", true, "a", "b", 0, 0, 1, 1},   // a word where a number belongs ends the numbers
        {"# comment line", false, nullptr, nullptr, 0, 0, 0, 0},
        {"", false, nullptr, nullptr, 0, 0, 0, 0},
        {"   ", false, nullptr, nullptr, 0, 0, 0, 0},
        {"lonely", false, nullptr, nullptr, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        TextureLine_S t;
        ASSERT_EQ(parseTextureLine(c.line, t), c.ok) << '"' << c.line << '"';
        if (!c.ok) continue;
        EXPECT_EQ(t.name, c.name);
        EXPECT_EQ(t.file, c.file);
        EXPECT_EQ(t.number1, c.n1) << c.line;
        EXPECT_EQ(t.number2, c.n2) << c.line;
        EXPECT_EQ(t.number3, c.n3) << c.line;
        EXPECT_EQ(t.number4, c.n4) << c.line;
    }
}

TEST(TextureLine, QualityAndMipModeFromTexMode) {
    const int cases[][3] = {{5, 1, 4}, {4, 1, 3}, {3, 0, 4}, {2, 0, 3}, {1, 0, 2}, {0, 0, 3}, {40, 1, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(textureQualityFor(c[0]), c[1]) << "texMode " << c[0];
        EXPECT_EQ(textureMipModeFor(c[0]), c[2]) << "texMode " << c[0];
    }
}

TEST(TextureList, LastEntryOfANameWinsAndNamesAreCut) {
    TextureList_C list;
    auto make = [](int32_t value) {
        auto t = std::make_unique<Texture_S>();
        t->value = value;
        return t;
    };
    list.add("wall", make(1));
    list.add("door", make(2));
    list.add("wall", make(3));
    list.add("averyveryverylongname", make(4));
    EXPECT_EQ(list.count(), 4);
    ASSERT_NE(list.find("wall"), nullptr);
    EXPECT_EQ(list.find("wall")->value, 3);
    EXPECT_EQ(list.find("door")->value, 2);
    EXPECT_EQ(list.find("wal"), nullptr);
    EXPECT_EQ(list.find(nullptr), nullptr);
    ASSERT_NE(list.find("averyveryverylo"), nullptr);   // 15 characters kept
    EXPECT_EQ(list.find("averyveryverylo")->value, 4);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.find("door"), nullptr);
}

TEST(TextureList, MissingFileLeavesTheListEmpty) {
    TextureList_C list;
    list.add("old", std::make_unique<Texture_S>());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(list.load("/nonexistent/textures.txt"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ERROR: Could not open file: /nonexistent/textures.txt\n");
    EXPECT_EQ(list.count(), 0);
}

TEST(TextureList, LongListIsFreedWithoutDeepRecursion) {
    TextureList_C list;
    for (int i = 0; i < 200000; ++i) list.add("t", std::make_unique<Texture_S>());
    EXPECT_EQ(list.count(), 200000);
}
