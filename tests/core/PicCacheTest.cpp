// Picture cache without a display: the index, picture files, the animation
// schedule and the trim, driven by a fake clock.
#include "core/GameConfig.h"
#include "core/PicCache.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <unistd.h>
#include <sstream>

namespace {

std::string fixture(const char* name)
{
    std::ifstream in(std::string(VELL_TEST_FIXTURES) + "/piccache/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeRawGz(const std::string& path, const std::string& bytes)
{
    gzFile f = gzopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    if (!bytes.empty())
        gzwrite(f, bytes.data(), unsigned(bytes.size()));
    gzclose(f);
}

std::string gunzip(const std::string& path)
{
    gzFile f = gzopen(path.c_str(), "rb");
    std::string out;
    char buf[4096];
    int n;
    while (f && (n = gzread(f, buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    if (f)
        gzclose(f);
    return out;
}

// A 500 x 400 red picture (512 x 512 texture), a 250 x 200 green low one,
// and one 64 x 64 region at (10, 20) with a blue and a yellow extra frame.
PicFile_S testPicture(std::vector<PicFileRegion_S::Step> steps)
{
    PicFile_S p;
    p.width = 500;
    p.height = 400;
    p.texWidth = 512;
    p.texHeight = 512;
    p.lowWidth = 250;
    p.lowHeight = 200;
    p.lowTexWidth = 256;
    p.lowTexHeight = 256;
    p.highJpeg = fixture("red512.jpg");
    p.lowJpeg = fixture("green256.jpg");
    PicFileRegion_S r;
    r.x = 10;
    r.y = 20;
    r.width = 64;
    r.height = 64;
    r.extraFrames = {fixture("blue64.jpg"), fixture("yellow64.jpg")};
    r.steps = std::move(steps);
    p.regions.push_back(r);
    return p;
}

struct Px {
    int r, g, b;
};
Px framePixel(const PicRegion_S& r, int frame, int x, int y)
{
    const auto& f = r.frames.at(size_t(frame));
    const size_t i = (size_t(y) * size_t(r.width) + size_t(x)) * 3;
    return Px{f[i], f[i + 1], f[i + 2]};
}

class PicCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gameConfig.texMode = 5;
        cache.setClock([this] { return clock; });
        watchdog.arm(20, ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override
    {
        watchdog.disarm();
        gameConfig.texMode = 5;
    }

    // An index naming the given picture file under each nickname.
    void makeIndex(const std::vector<std::string>& nicknames, const std::string& pic,
                   std::vector<uint32_t> keep = {})
    {
        std::vector<PicIndexRecord_S> recs;
        for (size_t i = 0; i < nicknames.size(); ++i)
            recs.push_back({i < keep.size() ? keep[i] : 0u, nicknames[i], pic});
        indexPath = vell_test::tempPath("picindex.dat");
        ASSERT_TRUE(PicCache_C::writeIndex(indexPath.c_str(), recs));
        ASSERT_TRUE(cache.loadIndex(indexPath.c_str()));
    }

    std::string writePic(const PicFile_S& p, const char* name = "test.pic")
    {
        std::string path = vell_test::tempPath(name);
        EXPECT_TRUE(PicCache_C::writePicFile(path.c_str(), p));
        return path;
    }

    Uint32 clock = 1000;
    PicCache_C cache;
    std::string indexPath;
    vell_test::Watchdog watchdog;
};

TEST_F(PicCacheTest, BucketsCountLettersAndGiveTwentySixToEverythingElse)
{
    EXPECT_EQ(PicCache_C::bucketOf("abc"), 0 * 729 + 1 * 27 + 2);
    EXPECT_EQ(PicCache_C::bucketOf("ABC"), PicCache_C::bucketOf("abc"));
    EXPECT_EQ(PicCache_C::bucketOf("a"), 0 * 729 + 26 * 27 + 26);
    EXPECT_EQ(PicCache_C::bucketOf("Zb"), 25 * 729 + 1 * 27 + 26);
    EXPECT_EQ(PicCache_C::bucketOf("1_x"), 26 * 729 + 26 * 27 + 23);
    EXPECT_EQ(PicCache_C::bucketOf(""), PicCache_C::kBuckets - 1);
}

TEST_F(PicCacheTest, IndexIsSearchableAndChainedInBucketOrder)
{
    makeIndex({"Temple", "a", "Tavern", "Zb", "Campfire", "Tavern2", "7up"}, "x.pic");
    for (const char* n : {"Temple", "a", "Tavern", "Zb", "Campfire", "Tavern2", "7up"}) {
        PicEntry_S* e = cache.picSearch(n);
        ASSERT_NE(e, nullptr) << n;
        EXPECT_EQ(e->nickname, n);
        EXPECT_EQ(e->path, "x.pic");
        EXPECT_FALSE(e->loaded);
    }
    EXPECT_EQ(cache.picSearch("Tav"), nullptr);
    EXPECT_EQ(cache.picSearch("Templ"), nullptr);
    EXPECT_EQ(cache.picSearch("b"), nullptr);

    // The list visits every entry once, by bucket, and by name inside one.
    std::vector<std::string> order;
    for (const PicEntry_S* e = cache.first(); e; e = e->next)
        order.push_back(e->nickname);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "Campfire", "Tavern", "Tavern2", "Temple", "Zb", "7up"}));
}

TEST_F(PicCacheTest, IndexCutShortKeepsTheCompleteRecordsAndReportsIt)
{
    const std::string full = vell_test::tempPath("full.dat");
    ASSERT_TRUE(PicCache_C::writeIndex(full.c_str(), {{5, "One", "a.pic"}, {7, "Two", "bb.pic"}}));
    const std::string bytes = gunzip(full);
    const size_t first = 4 + 2 + 2 + 3 + 5;   // the first record
    ASSERT_EQ(bytes.size(), first + 4 + 2 + 2 + 3 + 6);
    // Cut inside the header, the nickname and the path of the second record.
    for (size_t cut : {first + 2, first + 8, first + 9, first + 12, bytes.size() - 1}) {
        const std::string path = vell_test::tempPath("cut.dat");
        writeRawGz(path, bytes.substr(0, cut));
        PicCache_C c;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(c.loadIndex(path.c_str())) << cut;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("ERROR"), std::string::npos) << cut;
        EXPECT_EQ(c.entryCount(), 1) << cut;
        ASSERT_NE(c.picSearch("One"), nullptr);
        EXPECT_EQ(c.picSearch("One")->keepBonus, 5u);
        EXPECT_EQ(c.picSearch("Two"), nullptr);
    }
}

TEST_F(PicCacheTest, MissingOrMalformedIndexIsRefused)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(cache.loadIndex(vell_test::tempPath("nothing-here.dat").c_str()));
    EXPECT_EQ(cache.entryCount(), 0);

    // A record with an empty nickname is damage, not a picture.
    std::string bad("\0\0\0\0\0\0\x03\0abc", 11);
    const std::string path = vell_test::tempPath("bad.dat");
    writeRawGz(path, bad);
    EXPECT_FALSE(cache.loadIndex(path.c_str()));
    EXPECT_EQ(cache.entryCount(), 0);
    // Not gzip at all: read as plain bytes by zlib, still refused.
    std::ofstream(path, std::ios::binary) << "garbage";
    EXPECT_FALSE(cache.loadIndex(path.c_str()));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(cache.picSet("One"), -1);
    EXPECT_EQ(cache.current(), nullptr);
}

TEST_F(PicCacheTest, PictureLoadsTheQualityOfTheTextureMode)
{
    const std::string pic = writePic(testPicture({{1, 2, 0}}));
    makeIndex({"Scene"}, pic);

    ASSERT_EQ(cache.picSet("Scene"), 0);
    const PicEntry_S* e = cache.picSearch("Scene");
    ASSERT_TRUE(e->loaded);
    EXPECT_EQ(cache.loadedCount(), 1);
    EXPECT_EQ(e->width, 500);
    EXPECT_EQ(e->height, 400);
    EXPECT_EQ(e->texWidth, 512);
    EXPECT_EQ(e->texHeight, 512);
    ASSERT_EQ(e->regions.size(), 1u);
    const PicRegion_S& r = e->regions[0];
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.width, 64);
    ASSERT_EQ(r.frames.size(), 3u);
    Px red = framePixel(r, 0, 5, 5), blue = framePixel(r, 1, 30, 30), yellow = framePixel(r, 2, 63, 63);
    EXPECT_GT(red.r, 180);
    EXPECT_LT(red.b, 60);
    EXPECT_GT(blue.b, 180);
    EXPECT_LT(blue.r, 60);
    EXPECT_GT(yellow.g, 180);
    EXPECT_LT(yellow.b, 60);
    EXPECT_EQ(r.curFrame, 1);

    // texMode 3: the low picture; the region is scaled onto it.
    gameConfig.texMode = 3;
    PicCache_C low;
    ASSERT_TRUE(low.loadIndex(indexPath.c_str()));
    ASSERT_EQ(low.picSet("Scene"), 0);
    const PicEntry_S* l = low.picSearch("Scene");
    ASSERT_TRUE(l->loaded);
    EXPECT_EQ(l->width, 250);
    EXPECT_EQ(l->texWidth, 256);
    EXPECT_EQ(l->regions[0].x, 5);
    EXPECT_EQ(l->regions[0].y, 10);
    EXPECT_EQ(l->regions[0].width, 32);
    EXPECT_EQ(l->regions[0].frames[1].size(), 32u * 32u * 3u);
    EXPECT_GT(framePixel(l->regions[0], 0, 3, 3).g, 180);   // cut from the green picture
}

TEST_F(PicCacheTest, BrokenPictureFilesStayUnloadedWithTheirReason)
{
    const PicFile_S good = testPicture({{1, 2, 0}, {2, 1, 0}});
    const std::string bytes = PicCache_C::picFileBytes(good);
    const size_t regionsAt = 32 + good.highJpeg.size() + good.lowJpeg.size();
    struct Case {
        const char* what;
        std::string data;
        int expected;
    };
    std::string badVersion = bytes;
    badVersion[0] = 2;
    std::string badStep = bytes;   // the last step names frame 7
    badStep[badStep.size() - 4] = 7;
    PicFile_S outside = good;
    outside.regions[0].x = 480;
    PicFile_S huge = good;
    huge.texWidth = 60000;
    std::vector<Case> cases = {
        {"header cut", bytes.substr(0, 20), -3},
        {"high JPEG cut", bytes.substr(0, 32 + 100), -3},
        {"region header cut", bytes.substr(0, regionsAt + 10), -3},
        {"frame cut", bytes.substr(0, regionsAt + 16 + 4 + 50), -3},
        {"steps cut", bytes.substr(0, bytes.size() - 2), -3},
        {"wrong version", badVersion, -2},
        {"step frame missing", badStep, -3},
        {"region outside", PicCache_C::picFileBytes(outside), -3},
        {"texture too large", PicCache_C::picFileBytes(huge), -3},
    };
    for (const Case& c : cases) {
        const std::string path = vell_test::tempPath("broken.pic");
        writeRawGz(path, c.data);
        PicEntry_S e;
        e.path = path;
        testing::internal::CaptureStderr();
        EXPECT_EQ(cache.loadPic(&e), c.expected) << c.what;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR"), std::string::npos) << c.what;
        EXPECT_FALSE(e.loaded) << c.what;
        EXPECT_TRUE(e.regions.empty()) << c.what;
    }
    PicEntry_S missing;
    missing.path = vell_test::tempPath("no-such.pic");
    testing::internal::CaptureStderr();
    EXPECT_EQ(cache.loadPic(&missing), -1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(cache.loadedCount(), 0);

    // A broken picture can still be made current; drawing it fails.
    makeIndex({"Broken"}, missing.path);
    testing::internal::CaptureStderr();
    EXPECT_EQ(cache.picSet("Broken"), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(cache.curPicNamed("Broken"));
    EXPECT_EQ(cache.draw(nullptr), -1);
    EXPECT_FALSE(cache.animate(clock + 500));
}

TEST_F(PicCacheTest, FramesFollowTheStepsAndTheirDurations)
{
    // frame 1 for 200 ms, frame 2 for a zero-length step (one period), frame 0
    // for 100 ms, then round again.
    makeIndex({"Scene"}, writePic(testPicture({{1, 2, 0}, {2, 0, 0}, {0, 1, 0}})));
    ASSERT_EQ(cache.picSet("Scene"), 0);
    const PicRegion_S& r = cache.current()->regions[0];
    struct Tick {
        Uint32 at;
        bool changed;
        int frame;
    };
    const Tick ticks[] = {
        {1100, false, 1}, {1200, true, 2}, {1300, true, 0}, {1400, true, 1},
        {1500, false, 1}, {1600, true, 2}, {1700, true, 0}, {1800, true, 1},
    };
    for (const Tick& t : ticks) {
        EXPECT_EQ(cache.animate(t.at), t.changed) << t.at;
        EXPECT_EQ(r.curFrame, t.frame) << t.at;
    }
}

TEST_F(PicCacheTest, ZeroLengthStepsAndLateTimersNeverHang)
{
    // Every step without length: each still shows for one period.
    makeIndex({"Zero", "One", "Late"}, writePic(testPicture({{1, 0, 0}, {2, 0, 0}})));
    ASSERT_EQ(cache.picSet("Zero"), 0);
    const PicEntry_S* e = cache.current();
    EXPECT_TRUE(cache.animate(1100));
    EXPECT_EQ(e->regions[0].curFrame, 2);
    EXPECT_TRUE(cache.animate(1200));
    EXPECT_EQ(e->regions[0].curFrame, 1);

    // A timer an hour late (a stalled machine) catches up at once.
    EXPECT_TRUE(cache.animate(1200 + 3600u * 1000u));
    const int f = e->regions[0].curFrame;
    EXPECT_TRUE(f == 1 || f == 2);
    for (const PicStep_S& s : e->regions[0].steps)
        EXPECT_GT(s.deadline, 0);
    EXPECT_TRUE(cache.animate(1300 + 3600u * 1000u));
    EXPECT_NE(e->regions[0].curFrame, f);

    // A clock that went backwards (or wrapped) is no hang either.
    EXPECT_FALSE(cache.animate(50));
}

TEST_F(PicCacheTest, TheLongestScheduleAFileCanHoldKeepsItsOrder)
{
    // 65535 steps of 25.5 s each (the most a file can say) last 1.67e9 ms;
    // with their random extras the schedule passes 2^31 ms.
    std::vector<PicFileRegion_S::Step> steps(65535, PicFileRegion_S::Step{1, 255, 255});
    makeIndex({"Long"}, writePic(testPicture(steps)));
    ASSERT_EQ(cache.picSet("Long"), 0);
    const PicRegion_S& r = cache.current()->regions[0];
    ASSERT_EQ(r.steps.size(), 65535u);
    for (size_t i = 1; i < r.steps.size(); ++i)
        ASSERT_GT(r.steps[i].deadline, r.steps[i - 1].deadline) << i;
    EXPECT_GE(r.steps.back().deadline, int64_t(65535) * 25500);
    // The first step ends before the rest: no step is thought long overdue.
    EXPECT_FALSE(cache.animate(1100));
    EXPECT_EQ(r.curStep, 0);
}

TEST_F(PicCacheTest, OneStepRegionKeepsItsFrameForEver)
{
    makeIndex({"Still"}, writePic(testPicture({{2, 1, 3}})));
    ASSERT_EQ(cache.picSet("Still"), 0);
    const PicRegion_S& r = cache.current()->regions[0];
    for (Uint32 t = 1100; t < 20000; t += 100) {
        cache.animate(t);
        ASSERT_EQ(r.curFrame, 2) << t;
        ASSERT_GT(r.steps[0].deadline, 0);
        ASSERT_LE(r.steps[0].deadline, 400);
    }
}

TEST_F(PicCacheTest, SettingTheCurrentPictureAgainChangesNothing)
{
    makeIndex({"Scene", "Other"}, writePic(testPicture({{1, 2, 0}, {2, 2, 0}})));
    ASSERT_EQ(cache.picSet("Scene"), 0);
    cache.animate(1200);
    const int step = cache.current()->regions[0].curStep;
    clock = 5000;
    ASSERT_EQ(cache.picSet("Scene"), 0);
    // Not reloaded, not restarted: the region's clock was not reset.
    EXPECT_EQ(cache.current()->regions[0].lastUpdate, 1200u);
    EXPECT_EQ(cache.current()->regions[0].curStep, step);
    EXPECT_EQ(cache.picSet("Nope"), -1);
    EXPECT_EQ(cache.current(), nullptr);
    EXPECT_FALSE(cache.curPicNamed("Scene"));
    EXPECT_TRUE(cache.picSearch("Scene")->loaded);   // clearing keeps it loaded
}

class PicTrimTest : public PicCacheTest {
protected:
    // Loads `ages.size()` pictures; picture i was last drawn ages[i] ms
    // before `now`.
    void loadAged(const std::vector<int>& ages, std::vector<uint32_t> keep = {})
    {
        std::vector<std::string> names;
        for (size_t i = 0; i < ages.size(); ++i)
            names.push_back("pic" + std::to_string(100 + i));
        makeIndex(names, writePic(testPicture({{1, 1, 0}})), keep);
        for (size_t i = 0; i < ages.size(); ++i) {
            clock = now - Uint32(ages[i]);
            ASSERT_EQ(cache.picSet(names[i].c_str()), 0);
        }
        cache.picClear();
        clock = now;
        ASSERT_EQ(cache.loadedCount(), int(ages.size()));
    }
    std::vector<bool> loadedFlags()
    {
        std::vector<bool> out;
        for (size_t i = 0; i < size_t(cache.entryCount()); ++i)
            out.push_back(cache.picSearch(("pic" + std::to_string(100 + i)).c_str())->loaded);
        return out;
    }
    const Uint32 now = 1000000;
};

TEST_F(PicTrimTest, FifteenLoadedAreLeftAlone)
{
    loadAged(std::vector<int>(15, 100000));
    cache.trim(now);
    EXPECT_EQ(cache.loadedCount(), 15);
}

TEST_F(PicTrimTest, SixteenLoadedLoseTheLongUnused)
{
    std::vector<int> ages(16, 1000);
    ages[2] = ages[5] = ages[9] = ages[11] = 40000;
    loadAged(ages);
    cache.trim(now);
    EXPECT_EQ(cache.loadedCount(), 12);
    const auto flags = loadedFlags();
    for (int i : {2, 5, 9, 11})
        EXPECT_FALSE(flags[size_t(i)]) << i;
    // Unloaded pictures keep their names and load again when set.
    EXPECT_EQ(cache.picSet("pic102"), 0);
    EXPECT_TRUE(cache.picSearch("pic102")->loaded);
    EXPECT_EQ(cache.loadedCount(), 13);
}

TEST_F(PicTrimTest, ThresholdFallsInStepsOfFiveSecondsDownToTwelve)
{
    // Two unused for 31 s, two for 22 s, one 12 s, one 7 s, ten fresh.
    std::vector<int> ages = {31000, 31000, 22000, 22000, 12000, 7000};
    ages.resize(16, 1000);
    loadAged(ages);
    cache.trim(now);
    EXPECT_EQ(cache.loadedCount(), 12);
    EXPECT_EQ(loadedFlags(), (std::vector<bool>{false, false, false, false, true, true, true, true, true, true,
                                                true, true, true, true, true, true}));
}

TEST_F(PicTrimTest, KeepBonusAndTheCurrentPictureProtect)
{
    std::vector<int> ages(17, 40000);
    std::vector<uint32_t> keep(17, 0);
    keep[0] = 100000;   // kept long beyond the others
    loadAged(ages, keep);
    ASSERT_EQ(cache.picSet("pic116"), 0);
    cache.trim(now);
    EXPECT_EQ(cache.loadedCount(), 17);   // nothing while a picture is current
    cache.picClear();
    cache.trim(now);
    EXPECT_EQ(cache.loadedCount(), 12);
    EXPECT_TRUE(cache.picSearch("pic100")->loaded);
}

TEST_F(PicCacheTest, FiniIsSafeTwiceAndLeavesNothing)
{
    makeIndex({"Scene"}, writePic(testPicture({{1, 1, 0}})));
    ASSERT_EQ(cache.picSet("Scene"), 0);
    cache.fini();
    EXPECT_EQ(cache.entryCount(), 0);
    EXPECT_EQ(cache.current(), nullptr);
    EXPECT_EQ(cache.loadedCount(), 0);
    cache.fini();
    EXPECT_EQ(cache.picSet("Scene"), -1);
    EXPECT_FALSE(cache.animate(5000));
    cache.trim(5000);
}

// The pictures the build packs into the game folder load as they are.
TEST(ShippedPictures, IndexAndAnimatedPicturesLoad)
{
    const std::string game = VELL_GAME_DIR;
    // Building the test program assembles the game folder: a file missing
    // there is a fault, never a reason to skip.
    ASSERT_EQ(access((game + "/data/picindex.dat").c_str(), R_OK), 0)
        << "data/picindex.dat is missing: the game folder is not assembled";
    // Back to the old folder and texture mode however the test ends.
    struct Restore {
        char dir[4096] = {};
        ~Restore()
        {
            gameConfig.texMode = 5;
            if (dir[0] && chdir(dir) != 0)
                ADD_FAILURE() << "cannot return to " << dir;
        }
    } restore;
    ASSERT_NE(getcwd(restore.dir, sizeof restore.dir), nullptr);
    ASSERT_EQ(chdir(game.c_str()), 0);
    {
        PicCache_C cache;
        EXPECT_TRUE(cache.loadIndex("data/picindex.dat"));
        struct Want {
            const char* nickname;
            size_t frames;
        };
        for (const Want& w : {Want{"Campfire", 4}, Want{"Fountain", 3}}) {
            for (int mode : {5, 3}) {
                gameConfig.texMode = mode;
                PicEntry_S* e = cache.picSearch(w.nickname);
                ASSERT_NE(e, nullptr) << w.nickname;
                ASSERT_EQ(cache.loadPic(e), 0) << w.nickname << " texMode " << mode;
                EXPECT_EQ(e->width, mode > 3 ? 500 : 250);
                ASSERT_EQ(e->regions.size(), 1u);
                EXPECT_EQ(e->regions[0].frames.size(), w.frames);
                EXPECT_GE(e->regions[0].steps.size(), 2u);
            }
        }
        EXPECT_EQ(cache.loadedCount(), 2);
    }
}

} // namespace
