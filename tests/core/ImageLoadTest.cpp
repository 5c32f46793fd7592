// Picture decoding without a display: BMP, JPEG ".dat" pictures with their
// companions, and the gzip texture container.
#include "core/ImageLoad.h"
#include "core/TexContainer.h"

#include "support/ImageTestFiles.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string kImages = vell_test::imageFixture("");

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "vell_images_" + name;
}

using vell_test::makeBmp;
using vell_test::put32;
using vell_test::Px;
using vell_test::readFileBytes;
using vell_test::writeFileBytes;

// RGBA pixel (x, y) of a buffer of width w, y counted in buffer rows.
const uint8_t* at(const uint8_t* buf, int w, int x, int y) {
    return buf + (static_cast<size_t>(y) * w + x) * 4;
}

void expectNear(const uint8_t* p, int r, int g, int b, int a, int tol = 12) {
    EXPECT_NEAR(p[0], r, tol);
    EXPECT_NEAR(p[1], g, tol);
    EXPECT_NEAR(p[2], b, tol);
    EXPECT_NEAR(p[3], a, tol);
}

}  // namespace

// --- BMP --------------------------------------------------------------------

TEST(LoadBMP, ReadsPaddedRowsAndKeysMagenta) {
    // 3 x 2: rows need one pad byte each. Bottom row first.
    const std::vector<Px> px = {{251, 4, 251}, {251, 5, 251}, {10, 20, 30},
                                {255, 0, 255}, {250, 0, 255}, {1, 2, 3}};
    const std::string path = tempPath("keyed.bmp");
    writeFileBytes(path, makeBmp(3, 2, px));
    uint8_t info[kBmpInfoBytes];
    auto buf = loadBMP(path.c_str(), info);
    ASSERT_TRUE(buf);
    EXPECT_EQ(bmpInfoWidth(info), 3);
    EXPECT_EQ(bmpInfoHeight(info), 2);
    const uint8_t* b = buf.get();
    const std::vector<std::vector<int>> want = {{0, 0, 0, 0},     {251, 5, 251, 255}, {10, 20, 30, 255},
                                                {0, 0, 0, 0},     {250, 0, 255, 255}, {1, 2, 3, 255}};
    for (size_t i = 0; i < want.size(); ++i)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(b[i * 4 + c], want[i][c]) << "pixel " << i << " channel " << c;
}

TEST(LoadBMP, SkipsExtraBytesBeforeThePixels) {
    const std::string path = tempPath("offset.bmp");
    writeFileBytes(path, makeBmp(4, 1, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}}, 0xFFFFFFFF, 24, 70));
    uint8_t info[kBmpInfoBytes];
    auto buf = loadBMP(path.c_str(), info);
    ASSERT_TRUE(buf);
    EXPECT_EQ(buf[12], 4);
}

TEST(LoadBMP, BadFilesFailWithTheirMessage) {
    const std::vector<Px> four(4, Px{9, 9, 9});
    std::vector<uint8_t> good = makeBmp(2, 2, four);
    std::vector<uint8_t> shortPixels(good.begin(), good.end() - 4);
    std::vector<uint8_t> shortHeader(good.begin(), good.begin() + 30);
    std::vector<uint8_t> huge = good;
    put32(huge, 18, 0x7FFFFFFF);
    put32(huge, 22, 0x7FFFFFFF);
    std::vector<uint8_t> lowOffset = good;
    put32(lowOffset, 10, 20);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* message;
    } cases[] = {
        {"file header cut", std::vector<uint8_t>(good.begin(), good.begin() + 10), "Error in fread(fileHeader)!"},
        {"info header cut", shortHeader, "Error in fread(bmpInfo)!"},
        {"image size 0", makeBmp(2, 2, four, 0), "Error: imageSize = 0"},
        {"pixels cut", shortPixels, "Error in fread() != 3!  Amount read: "},
        {"32-bit", makeBmp(2, 2, four, 0xFFFFFFFF, 32), "unsupported BMP"},
        {"huge", huge, "unsupported BMP"},
        {"offset inside header", lowOffset, "Error in fread(voidBuff)"},
    };
    for (const Case& c : cases) {
        const std::string path = tempPath("bad.bmp");
        writeFileBytes(path, c.bytes);
        uint8_t info[kBmpInfoBytes];
        ::testing::internal::CaptureStderr();
        auto buf = loadBMP(path.c_str(), info);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(buf) << c.name;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.name << ": " << err;
    }
    uint8_t info[kBmpInfoBytes];
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(loadBMP(tempPath("missing.bmp").c_str(), info));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Error in fopen!"), std::string::npos);
}

// --- JPEG pictures --------------------------------------------------------

TEST(LoadJPG, FlipsRowsAndTakesTheAlphaPicture) {
    int w = 0, h = 0, bpp = 0;
    auto buf = loadJPG((kImages + "quad.dat").c_str(), w, h, bpp, false);
    ASSERT_TRUE(buf);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(bpp, 32);
    // Picture top left is red; the buffer holds the bottom row first. The
    // alpha picture makes the top half opaque and the bottom half clear.
    expectNear(at(buf.get(), w, 3, 12), 255, 0, 0, 255);
    expectNear(at(buf.get(), w, 12, 12), 0, 255, 0, 255);
    expectNear(at(buf.get(), w, 3, 3), 0, 0, 255, 0);
    expectNear(at(buf.get(), w, 12, 3), 255, 255, 255, 0);
}

TEST(LoadJPG, LowResolutionTakesTheLCompanions) {
    int w = 0, h = 0, bpp = 0;
    auto buf = loadJPG((kImages + "quad.dat").c_str(), w, h, bpp, true);
    ASSERT_TRUE(buf);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
    expectNear(at(buf.get(), w, 4, 4), 255, 255, 0, 128);
}

TEST(LoadJPG, ColourKeyMakesMagentaClear) {
    int w = 0, h = 0, bpp = 0;
    auto buf = loadJPG((kImages + "key.dat").c_str(), w, h, bpp, false);
    ASSERT_TRUE(buf);
    expectNear(at(buf.get(), w, 4, 12), 0, 0, 0, 0, 0);
    expectNear(at(buf.get(), w, 4, 3), 0, 255, 0, 255);
}

TEST(LoadJPG, GrayscalePictureIsReadAsEightBitPixels) {
    int w = 0, h = 0, bpp = 0;
    auto buf = loadJPG((kImages + "gray.dat").c_str(), w, h, bpp, false);
    ASSERT_TRUE(buf);
    ASSERT_EQ(w, 16);
    ASSERT_EQ(h, 16);
    expectNear(at(buf.get(), w, 8, 13), 200, 200, 200, 255);
    expectNear(at(buf.get(), w, 8, 2), 50, 50, 50, 255);
}

TEST(LoadJPG, AlphaPictureOfAnotherSizeIsNotUsed) {
    int w = 0, h = 0, bpp = 0;
    ::testing::internal::CaptureStderr();
    auto buf = loadJPG((kImages + "odd.dat").c_str(), w, h, bpp, false);
    const std::string err = ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(buf);
    expectNear(at(buf.get(), w, 4, 4), 255, 0, 0, 255);
    EXPECT_NE(err.find("odd_A.dat"), std::string::npos) << err;
}

TEST(LoadJPG, MissingOrBrokenPicturesGiveNull) {
    for (const char* name : {"broken.dat", "absent.dat"}) {
        int w = -1, h = -1, bpp = -1;
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(loadJPG((kImages + name).c_str(), w, h, bpp, false)) << name;
        EXPECT_NE(::testing::internal::GetCapturedStderr().find(name), std::string::npos);
        EXPECT_EQ(w, -1);
    }
}

TEST(LoadJPG, AHeaderClaimingAHugePictureIsRefusedBeforeDecoding) {
    // A few hundred damaged bytes must not make the decoder take room for a
    // picture of 60000 x 60000 (the decoder itself then fails "out of
    // memory", or takes gigabytes).
    const std::vector<uint8_t> good = readFileBytes(kImages + "quad.dat");
    size_t sof = 0;
    while (sof + 1 < good.size() && !(good[sof] == 0xFF && good[sof + 1] == 0xC0))
        ++sof;
    ASSERT_LT(sof + 9, good.size()) << "the fixture has a baseline frame header";
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool found;
        int w, h;
    };
    std::vector<uint8_t> huge = good;
    huge[sof + 5] = huge[sof + 7] = 0xEA; // 60000 = 0xEA60
    huge[sof + 6] = huge[sof + 8] = 0x60;
    // Stray bytes and fill bytes before the frame header, as decoders allow.
    std::vector<uint8_t> stray(huge.begin(), huge.begin() + static_cast<long>(sof));
    stray.insert(stray.end(), {0x12, 0x00, 0xFF, 0x00, 0x34, 0xFF, 0xFF});
    stray.insert(stray.end(), huge.begin() + static_cast<long>(sof) + 1, huge.end());
    std::vector<uint8_t> zero = good;
    zero[sof + 5] = zero[sof + 6] = 0;
    const Case cases[] = {
        {"the fixture", good, true, 16, 16},
        {"a huge frame", huge, true, 60000, 60000},
        {"stray bytes before it", stray, true, 60000, 60000},
        {"no height", zero, true, 16, 0},
        {"cut before the frame", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(sof)), false, 0, 0},
        {"not a JPEG", {'B', 'M', 0, 0}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SDL_RWops* rw = SDL_RWFromConstMem(c.bytes.data(), static_cast<int>(c.bytes.size()));
        int w = 0, h = 0;
        EXPECT_EQ(jpegFrameSize(rw, w, h), c.found) << c.what;
        EXPECT_EQ(SDL_RWtell(rw), 0) << c.what << ": the stream is put back";
        SDL_RWclose(rw);
        if (c.found) {
            EXPECT_EQ(w, c.w) << c.what;
            EXPECT_EQ(h, c.h) << c.what;
        }
    }
    for (const auto* bytes : {&huge, &stray}) {
        RGBImage_S img;
        std::string error;
        EXPECT_FALSE(decodeJPEG(bytes->data(), bytes->size(), img, error));
        EXPECT_NE(error.find("60000 x 60000 is out of range"), std::string::npos) << error;
    }
}

TEST(LoadJPG, VariantNames) {
    EXPECT_EQ(pictureVariantName("pics/a.dat", "L.dat"), "pics/aL.dat");
    EXPECT_EQ(pictureVariantName("pics/a.dat", "_AL.dat"), "pics/a_AL.dat");
    EXPECT_EQ(pictureVariantName("./pics/a", "_A.dat"), "./pics/a_A.dat");
    EXPECT_EQ(pictureVariantName("a.b.dat", "L.dat"), "a.bL.dat");
}

// --- texture container ----------------------------------------------------

TEST(TexturePow2, SmallestPowerOfTwoThatHolds) {
    const int cases[][2] = {{300, 512}, {200, 256}, {256, 256}, {1, 1}, {3, 4},
                            {8192, 8192}, {8193, 0}, {0, 0}, {-5, 0}};
    for (const auto& c : cases) EXPECT_EQ(texturePow2(c[0]), c[1]) << c[0];
}

class TexContainerTest : public ::testing::Test {
protected:
    void SetUp() override {
        vell_test::fixtureContainerPictures(high, low);
        ASSERT_FALSE(high.jpeg.empty());
        ASSERT_FALSE(low.jpeg.empty());
    }
    void addAlpha() {
        high.alpha.assign(300 * 200, 0);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x) high.alpha[y * 300 + x] = static_cast<uint8_t>(y);
        low.alpha.assign(16 * 16, 77);
    }
    std::vector<uint8_t> build() {
        std::vector<uint8_t> out;
        std::string error;
        EXPECT_TRUE(buildTexContainer(high, low, out, error)) << error;
        return out;
    }
    TexContainerSource_S high, low;
};

TEST_F(TexContainerTest, HighQualityWithAlphaIsPaddedToPowersOfTwo) {
    addAlpha();
    const std::vector<uint8_t> bytes = build();
    TexPixels_S tex;
    std::string error;
    ASSERT_TRUE(decodeTexContainer(bytes.data(), bytes.size(), 1, tex, error)) << error;
    EXPECT_EQ(tex.width, 300);
    EXPECT_EQ(tex.height, 200);
    EXPECT_EQ(tex.texWidth, 512);
    EXPECT_EQ(tex.texHeight, 256);
    ASSERT_TRUE(tex.alpha);
    ASSERT_EQ(tex.pixels.size(), size_t(512) * 256 * 4);
    // Image row i is texture row i (no flip); the alpha plane row follows.
    const uint8_t* p = &tex.pixels[(size_t(150) * 512 + 10) * 4];
    EXPECT_NEAR(p[2], 255, 8);
    EXPECT_EQ(p[3], 150);
    // Outside the image everything stays 0.
    const uint8_t* pad = &tex.pixels[(size_t(150) * 512 + 400) * 4];
    EXPECT_EQ(pad[0] + pad[1] + pad[2] + pad[3], 0);
    const uint8_t* below = &tex.pixels[(size_t(220) * 512 + 10) * 4];
    EXPECT_EQ(below[2], 0);
}

TEST_F(TexContainerTest, LowQualityWithoutAlphaHasThreeBytes) {
    const std::vector<uint8_t> bytes = build();
    TexPixels_S tex;
    std::string error;
    ASSERT_TRUE(decodeTexContainer(bytes.data(), bytes.size(), 0, tex, error)) << error;
    EXPECT_EQ(tex.width, 16);
    EXPECT_EQ(tex.texWidth, 16);
    EXPECT_FALSE(tex.alpha);
    ASSERT_EQ(tex.pixels.size(), size_t(16) * 16 * 3);
    EXPECT_NEAR(tex.pixels[(2 * 16 + 2) * 3 + 0], 255, 12);   // top-left red, row 2
}

TEST_F(TexContainerTest, DamagedHeadersAreRefused) {
    addAlpha();
    const std::vector<uint8_t> good = build();
    struct Case {
        const char* name;
        size_t offset;
        uint32_t value;
        int quality;
        const char* message;
    } cases[] = {
        {"size differs from the JPEG", 0, TexContainerHeader_S::packSize(301, 200), 1, "header says"},
        {"no size", 0, 0, 1, "no size"},
        {"high alpha past the end", 4, static_cast<uint32_t>(good.size() - 100), 1, "alpha plane"},
        {"high JPEG too long", 8, 0xFFFFFFF0u, 1, "JPEG lies outside"},
        {"low JPEG offset past the end", 16, 0xFFFFFFFFu, 0, "JPEG lies outside"},
        {"low alpha offset wraps", 20, 0xFFFFFFFFu, 0, "alpha plane"},
        {"low size larger than its alpha", 12, TexContainerHeader_S::packSize(4000, 4000), 0, "alpha plane"},
        {"low JPEG empty", 24, 0, 0, "JPEG lies outside"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        put32(bytes, c.offset, c.value);
        TexPixels_S tex;
        std::string error;
        EXPECT_FALSE(decodeTexContainer(bytes.data(), bytes.size(), c.quality, tex, error)) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    }
    TexPixels_S tex;
    std::string error;
    EXPECT_FALSE(decodeTexContainer(good.data(), 31, 1, tex, error));
    EXPECT_NE(error.find("header"), std::string::npos);
    // A cut-off file: the low picture lies past the end.
    EXPECT_FALSE(decodeTexContainer(good.data(), good.size() / 2, 0, tex, error));
}

TEST_F(TexContainerTest, WriterRefusesHalfGivenAlpha) {
    high.alpha.assign(300 * 200, 1);
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_FALSE(buildTexContainer(high, low, out, error));
    low.alpha.assign(5, 1);
    EXPECT_FALSE(buildTexContainer(high, low, out, error));
}

TEST_F(TexContainerTest, GzipFileRoundTripAndLimits) {
    addAlpha();
    const std::string path = tempPath("tex.dat");
    std::string error;
    ASSERT_TRUE(writeGzipFile(path.c_str(), build(), error)) << error;
    TexPixels_S tex;
    ASSERT_TRUE(readTexContainer(path.c_str(), 1, tex, error)) << error;
    EXPECT_EQ(tex.texWidth, 512);
    EXPECT_TRUE(readTexContainer(path.c_str(), 2, tex, error)) << error;
    EXPECT_EQ(tex.width, 16);

    // More than the 4 MiB load buffer: refused, never read past it.
    std::vector<uint8_t> big = build();
    big.resize(kTexLoadBufferBytes + 10, 0);
    const std::string bigPath = tempPath("big.dat");
    ASSERT_TRUE(writeGzipFile(bigPath.c_str(), big, error));
    EXPECT_FALSE(readTexContainer(bigPath.c_str(), 1, tex, error));
    EXPECT_NE(error.find("larger"), std::string::npos) << error;

    // A gzip file cut short.
    std::vector<uint8_t> gz = readFileBytes(path);
    gz.resize(gz.size() / 2);
    const std::string cutPath = tempPath("cut.dat");
    writeFileBytes(cutPath, gz);
    EXPECT_FALSE(readTexContainer(cutPath.c_str(), 1, tex, error));

    EXPECT_FALSE(readTexContainer(tempPath("none.dat").c_str(), 1, tex, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST_F(TexContainerTest, CommittedTitlePicturesAreContainers) {
    // The sources that content/pics packs at build time decode as JPEG. The
    // launcher's title banner is 1024 x 256: the launcher stretches its whole
    // texture, so both sides are powers of two.
    struct Source {
        const char* name;
        int height;
    };
    for (const Source& p : {Source{"titlescreen", 768}, Source{"gameselect", 768}, Source{"title", 256}}) {
        RGBImage_S img;
        std::string error;
        const std::string src = std::string(VELL_SOURCE_DIR) + "/content/pics/src/" + p.name + ".jpg";
        ASSERT_TRUE(decodeJPEGFile(src.c_str(), img, error)) << src << ": " << error;
        EXPECT_EQ(img.width, 1024);
        EXPECT_EQ(img.height, p.height);
    }
    RGBImage_S loading;
    std::string error;
    const std::string path = std::string(VELL_SOURCE_DIR) + "/content/pics/intro/loading.dat";
    ASSERT_TRUE(decodeJPEGFile(path.c_str(), loading, error)) << error;
    EXPECT_EQ(loading.width, 1024);
    EXPECT_EQ(loading.height, 768);
}

// The title menu prints black text over the middle of the game-select
// picture: the picture must be light there, or the menu cannot be read.
TEST_F(TexContainerTest, GameSelectPictureIsLightUnderTheMenuText) {
    for (const char* name : {"gameselect", "gameselect-low"}) {
        RGBImage_S img;
        std::string error;
        const std::string src = std::string(VELL_SOURCE_DIR) + "/content/pics/src/" + name + ".jpg";
        ASSERT_TRUE(decodeJPEGFile(src.c_str(), img, error)) << src << ": " << error;
        // The menu square: the middle half across, rows 1/6 .. 5/6 down.
        long dark = 0, total = 0;
        for (int y = img.height / 6; y < img.height * 5 / 6; ++y)
            for (int x = img.width / 4; x < img.width * 3 / 4; ++x) {
                const uint8_t* p = &img.rgb[(size_t(y) * img.width + x) * 3];
                const int luma = (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
                dark += luma < 150;
                ++total;
            }
        EXPECT_LT(double(dark) / double(total), 0.05) << name << " is too dark for black text";
    }
}
