// The bounded text buffer: writes never pass its end (guard bytes around
// it stay untouched), a cut text stays terminated and says it was cut, and
// a buffer of no size takes nothing.
#include "core/TextBuf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Guarded {
    static constexpr size_t GUARD = 8;
    explicit Guarded(size_t size) : size(size) { std::memset(raw, 0x5a, sizeof raw); }
    char* data() { return raw + GUARD; }
    bool guardsIntact() const {
        for (size_t i = 0; i < GUARD; ++i)
            if (static_cast<unsigned char>(raw[i]) != 0x5a ||
                static_cast<unsigned char>(raw[GUARD + size + i]) != 0x5a)
                return false;
        return true;
    }
    size_t size;
    char raw[64 + 2 * GUARD];
};

TEST(TextBufTest, SetAndAppendBuildOneText) {
    char chars[64];
    TextBuf_C t(chars, sizeof chars);
    EXPECT_TRUE(t.empty());
    EXPECT_TRUE(t.set("#2%s#0 attacks", "Ada"));
    EXPECT_TRUE(t.append(", and hits for #4%d#0 points", 7));
    EXPECT_TRUE(t.appendText("!\n"));
    EXPECT_STREQ(t.c_str(), "#2Ada#0 attacks, and hits for #47#0 points!\n");
    EXPECT_EQ(t.length(), std::strlen(t.c_str()));
    EXPECT_FALSE(t.wasCut());
    t.set("%s", "new");
    EXPECT_STREQ(t.c_str(), "new");
}

TEST(TextBufTest, ATextTooLongIsCutInsideTheBuffer) {
    struct Case {
        size_t size;
        const char* first;
        const char* more;
    };
    const Case cases[] = {{1, "x", "y"}, {2, "ab", "cd"}, {10, "123456789", "0"}, {16, "short", "a much longer tail"}};
    for (const Case& c : cases) {
        Guarded g(c.size);
        TextBuf_C t(g.data(), c.size);
        t.set("%s", c.first);
        const bool fitted = t.append("%s", c.more);
        const std::string want = (std::string(c.first) + c.more).substr(0, c.size - 1);
        EXPECT_EQ(t.c_str(), want) << c.size;
        EXPECT_EQ(t.length(), want.size());
        EXPECT_FALSE(fitted);
        EXPECT_TRUE(t.wasCut());
        EXPECT_TRUE(t.appendText("more") == false);
        EXPECT_EQ(t.c_str(), want);
        EXPECT_TRUE(g.guardsIntact()) << c.size;
    }
}

TEST(TextBufTest, ManyAppendsStopAtTheEnd) {
    Guarded g(40);
    TextBuf_C t(g.data(), 40);
    for (int i = 0; i < 100; ++i)
        t.append("line %d\n", i);
    EXPECT_EQ(t.length(), 39u);
    EXPECT_EQ(g.data()[39], 0);
    EXPECT_TRUE(g.guardsIntact());
    t.clear();
    EXPECT_FALSE(t.wasCut());
    EXPECT_STREQ(t.c_str(), "");
}

TEST(TextBufTest, ABufferOfNoSizeTakesNothing) {
    TextBuf_C none(nullptr, 100);
    EXPECT_FALSE(none.set("%s", "anything"));
    EXPECT_STREQ(none.c_str(), "");
    EXPECT_EQ(none.capacity(), 0u);
    TextBuf_C& discard = TextBuf_C::discard();
    discard.append("%d", 42);
    EXPECT_STREQ(discard.c_str(), "");
    EXPECT_EQ(discard.length(), 0u);
}

} // namespace
