// Textures made from pictures under a real GL context: the container's mip
// modes, wraps and sizes, what ends up on screen, Texture_S and TextureList_C.
#include "GuiHarness.h"
#include "support/ImageTestFiles.h"

#include "core/GameConfig.h"
#include "core/ImageLoad.h"
#include "core/TexContainer.h"
#include "core/TextureList.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

using vell_test::Rgb;

const std::string kImages = vell_test::imageFixture("");

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "vell_gui_tex_" + name;
}

// High: 300 x 200 blue; low: the 16 x 16 quad (red, green / blue, white).
std::string writeContainer(bool alpha) {
    TexContainerSource_S high, low;
    vell_test::fixtureContainerPictures(high, low);
    if (alpha) {
        high.alpha.assign(300 * 200, 128);
        low.alpha.assign(16 * 16, 255);
    }
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(buildTexContainer(high, low, bytes, error)) << error;
    const std::string path = tempPath(alpha ? "alpha.dat" : "plain.dat");
    EXPECT_TRUE(writeGzipFile(path.c_str(), bytes, error)) << error;
    return path;
}

// A 24-bit BMP of w x h grey pixels.
std::string writeBmp(int w, int h) {
    const std::string path = tempPath("floor.bmp");
    const std::vector<vell_test::Px> grey(size_t(w) * h, {0x80, 0x80, 0x80});
    vell_test::writeFileBytes(path, vell_test::makeBmp(w, h, grey));
    return path;
}

GLint texParam(GLuint id, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, id);
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &v);
    return v;
}

GLint levelParam(GLuint id, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, id);
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &v);
    return v;
}

void deleteTexture(int32_t id) {
    const GLuint t = GLuint(id);
    glDeleteTextures(1, &t);
}

class TextureLoadTest : public vell_test::GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        saved_ = gameConfig;
    }
    void TearDown() override {
        gameConfig = saved_;
        GuiFixture::TearDown();
    }
    GameConfig_S saved_;
};

TEST_F(TextureLoadTest, MipModesWrapAndSizes) {
    const std::string path = writeContainer(true);
    const struct {
        int mode;
        GLint mag, min;
    } cases[] = {
        {0, GL_NEAREST, GL_NEAREST},
        {1, GL_LINEAR, GL_LINEAR},
        {2, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
        {3, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
        {4, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
    };
    for (const auto& c : cases) {
        const TexInfo_S t = loadDATTex(path.c_str(), 1, c.mode, c.mode % 2);
        ASSERT_NE(t.texID, 0) << c.mode;
        EXPECT_EQ(t.width, 300);
        EXPECT_EQ(t.height, 200);
        EXPECT_EQ(t.texWidth, 512);
        EXPECT_EQ(t.texHeight, 256);
        EXPECT_EQ(texParam(t.texID, GL_TEXTURE_MAG_FILTER), c.mag) << c.mode;
        EXPECT_EQ(texParam(t.texID, GL_TEXTURE_MIN_FILTER), c.min) << c.mode;
        EXPECT_EQ(texParam(t.texID, GL_TEXTURE_WRAP_S), c.mode % 2 ? GL_CLAMP_TO_EDGE : GL_REPEAT) << c.mode;
        EXPECT_EQ(texParam(t.texID, GL_TEXTURE_WRAP_T), c.mode % 2 ? GL_CLAMP_TO_EDGE : GL_REPEAT) << c.mode;
        EXPECT_EQ(levelParam(t.texID, GL_TEXTURE_WIDTH), 512) << c.mode;
        EXPECT_EQ(levelParam(t.texID, GL_TEXTURE_HEIGHT), 256) << c.mode;
        EXPECT_GT(levelParam(t.texID, GL_TEXTURE_ALPHA_SIZE), 0) << c.mode;
        deleteTexture(t.texID);
    }
    // Another mode makes a texture without an image.
    const TexInfo_S none = loadDATTex(path.c_str(), 1, 7, 0);
    EXPECT_NE(none.texID, 0);
    EXPECT_EQ(levelParam(none.texID, GL_TEXTURE_WIDTH), 0);
    deleteTexture(none.texID);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureLoadTest, LowQualityImageRowsAreNotFlipped) {
    const TexInfo_S t = loadDATTex(writeContainer(false).c_str(), 0, 0, 1);
    ASSERT_NE(t.texID, 0);
    EXPECT_EQ(t.texWidth, 16);
    EXPECT_EQ(levelParam(t.texID, GL_TEXTURE_ALPHA_SIZE), 0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, GLuint(t.texID));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2i(0, 0);
    glTexCoord2f(1, 0); glVertex2i(160, 0);
    glTexCoord2f(1, 1); glVertex2i(160, 160);
    glTexCoord2f(0, 1); glVertex2i(0, 160);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    // Texture row 0 is the picture's top row (red, green): drawn at t = 0.
    EXPECT_TRUE(vell_test::near(readPixel(30, 30), Rgb{255, 0, 0}, 16));
    EXPECT_TRUE(vell_test::near(readPixel(130, 30), Rgb{0, 255, 0}, 16));
    EXPECT_TRUE(vell_test::near(readPixel(30, 130), Rgb{0, 0, 255}, 16));
    deleteTexture(t.texID);
}

TEST_F(TextureLoadTest, UnreadableContainersGiveNoTexture) {
    for (const std::string& path : {kImages + "broken.dat", kImages + "quad.dat", tempPath("absent.dat")}) {
        ::testing::internal::CaptureStderr();
        const TexInfo_S t = loadDATTex(path.c_str(), 1, 1, 1);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(t.texID, 0) << path;
        EXPECT_EQ(t.width + t.height + t.texWidth + t.texHeight, 0) << path;
        EXPECT_NE(err.find("ERROR: Could not load texture"), std::string::npos) << err;
    }
}

TEST_F(TextureLoadTest, TextureListFromFile) {
    gameConfig.texMode = 2;   // low quality, mip mode 3
    gameConfig.linear = false;
    const std::string container = writeContainer(false);
    const std::string bmp = writeBmp(4, 2);
    const std::string list = tempPath("list.txt");
    {
        std::ofstream out(list);
        out << "# walls\n"
            << "wall " << container << " 1 0 3\n"
            << "\n"
            << "floor " << bmp << " 0 -5 2\r\n"
            << "door " << container << " 1 1\n"
            << "wall " << container << "\n"
            << "broken " << tempPath("missing.bmp") << "\n";
    }
    ::testing::internal::CaptureStderr();
    TextureList_C textures(list.c_str());
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Error in fopen!"), std::string::npos) << err;
    EXPECT_EQ(textures.count(), 5);

    const Texture_S* wall = textures.find("wall");
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->solid, 0);   // the later line of the name
    EXPECT_EQ(wall->level, 1);
    EXPECT_EQ(levelParam(wall->texID, GL_TEXTURE_WIDTH), 16);
    EXPECT_EQ(texParam(wall->texID, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(texParam(wall->texID, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);

    const Texture_S* door = textures.find("door");
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->solid, 1);
    EXPECT_EQ(door->value, 1);

    const Texture_S* floor = textures.find("floor");
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(floor->value, 0);   // negative values are kept as 0
    EXPECT_EQ(floor->level, 2);
    EXPECT_EQ(levelParam(floor->texID, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(texParam(floor->texID, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(texParam(floor->texID, GL_TEXTURE_WRAP_S), GL_REPEAT);

    // A BMP that cannot be read still gets a texture, without pixels.
    const Texture_S* broken = textures.find("broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_NE(broken->texID, 0u);
    EXPECT_EQ(levelParam(broken->texID, GL_TEXTURE_WIDTH), 0);

    // Reloading empties the list first.
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(textures.load(list.c_str()));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(textures.count(), 5);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureLoadTest, HighQualityForHighTexModes) {
    gameConfig.texMode = 5;
    Texture_S t(writeContainer(true).c_str(), 1, 4, -1);
    EXPECT_EQ(t.value, 0);
    EXPECT_EQ(levelParam(t.texID, GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(texParam(t.texID, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(texParam(t.texID, GL_TEXTURE_WRAP_S), GL_REPEAT);   // negative value: not clamped
}

TEST_F(TextureLoadTest, ShippedTitlePicturesLoad) {
    // The launcher's title banner fills its texture: the launcher stretches
    // the whole texture, padding included.
    struct Shipped {
        const char* name;
        int height, texHeight;   // at quality 1; the low picture is half
    };
    for (const Shipped& p : {Shipped{"pics/other/titlescreen.dat", 768, 1024},
                             Shipped{"pics/other/gameselect.dat", 768, 1024},
                             Shipped{"pics/other/title.dat", 256, 256}}) {
        const std::string path = gamePath(p.name);
        ASSERT_TRUE(std::ifstream(path).good()) << path << " is missing: the game folder is not assembled";
        for (int quality : {1, 0}) {
            const TexInfo_S t = loadDATTex(path.c_str(), quality, 1, 1);
            const int div = quality == 1 ? 1 : 2;
            EXPECT_NE(t.texID, 0) << p.name;
            EXPECT_EQ(t.width, 1024 / div) << p.name;
            EXPECT_EQ(t.height, p.height / div) << p.name;
            EXPECT_EQ(t.texHeight, p.texHeight / div) << p.name;
            deleteTexture(t.texID);
        }
    }
}

}  // namespace
