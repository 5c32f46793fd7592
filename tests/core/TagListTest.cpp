// The keyed value list: its result codes, the two integer kinds, per-use
// counters and its stored form.
#include "core/MemStream.h"
#include "core/TagList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string bytesOf(const MemStream_C& s) {
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

// Each case starts from a list with "k2" = 7 (kind 2), "k1" = 4 (kind 1),
// "ctr" = 3 with "ctrMAX" = 5, and "lone" = 2 without a MAX companion.
TagList_C sample() {
    TagList_C t(RefStr_C("attrs"));
    t.setInt("k2", 7);
    t.setIntKind1("k1", 4);
    t.setInt("ctr", 3);
    t.setInt("ctrMAX", 5);
    t.setInt("lone", 2);
    return t;
}

int32_t valueOf(TagList_C& t, const char* key) {
    TagNode_S* n = t.find(key);
    return n ? n->value.getInt() : -999;
}

TEST(TagListTest, ResultsTable) {
    struct Case {
        const char* what;
        std::function<int(TagList_C&, int32_t&)> op;
        int result;
        int32_t out;       // the out value afterwards (starts at -5)
        const char* key;   // a key to look at afterwards
        int32_t keyValue;  // its value (-999: absent)
    };
    const std::vector<Case> cases = {
        {"getInt found", [](TagList_C& t, int32_t& o) { return t.getInt("k2", o); }, 1, 7, "k2", 7},
        {"getInt absent adds an empty entry", [](TagList_C& t, int32_t& o) { return t.getInt("new", o); }, 0, 0,
         "new", 0},
        {"getInt on kind 1 refused", [](TagList_C& t, int32_t& o) { return t.getInt("k1", o); }, -1, -5, "k1", 4},
        {"setInt found", [](TagList_C& t, int32_t&) { return t.setInt("k2", 9); }, 1, -5, "k2", 9},
        {"setInt absent", [](TagList_C& t, int32_t&) { return t.setInt("new", 9); }, 0, -5, "new", 9},
        {"setInt on kind 1 refused", [](TagList_C& t, int32_t&) { return t.setInt("k1", 9); }, -1, -5, "k1", 4},
        {"getIntKind1 on kind 2 refused", [](TagList_C& t, int32_t& o) { return t.getIntKind1("k2", o); }, -1, -5,
         "k2", 7},
        {"getIntKind1 found", [](TagList_C& t, int32_t& o) { return t.getIntKind1("k1", o); }, 1, 4, "k1", 4},
        {"setIntKind1 on kind 2 refused", [](TagList_C& t, int32_t&) { return t.setIntKind1("k2", 1); }, -1, -5,
         "k2", 7},
        {"addCounter when both exist", [](TagList_C& t, int32_t&) { return t.addCounter("ctr", 8); }, -1, -5, "ctr",
         3},
        {"addCounter without MAX sets both", [](TagList_C& t, int32_t&) { return t.addCounter("lone", 6); }, 0, -5,
         "loneMAX", 6},
        {"addCounter new", [](TagList_C& t, int32_t&) { return t.addCounter("0x10", 4); }, 0, -5, "0x10MAX", 4},
        {"setCounterMax", [](TagList_C& t, int32_t&) { return t.setCounterMax("ctr", 9); }, 0, -5, "ctrMAX", 9},
        {"setCounterMax without MAX", [](TagList_C& t, int32_t&) { return t.setCounterMax("lone", 9); }, -1, -5,
         "loneMAX", -999},
        {"refillCounter", [](TagList_C& t, int32_t&) { return t.refillCounter("ctr"); }, 0, -5, "ctr", 5},
        {"refillCounter without MAX", [](TagList_C& t, int32_t&) { return t.refillCounter("lone"); }, -1, -5,
         "lone", 2},
        {"getCounter", [](TagList_C& t, int32_t&) { return t.getCounter("ctr"); }, 3, -5, "ctr", 3},
        {"getCounter absent", [](TagList_C& t, int32_t&) { return t.getCounter("none"); }, -1, -5, "none", -999},
        {"getCounter on kind 1 gives 0", [](TagList_C& t, int32_t&) { return t.getCounter("k1"); }, 0, -5, "k1", 4},
        {"useCounter", [](TagList_C& t, int32_t&) { return t.useCounter("ctr"); }, 2, -5, "ctr", 2},
        {"useCounter absent", [](TagList_C& t, int32_t&) { return t.useCounter("none"); }, -1, -5, "none", -999},
        {"hasAmtLeft", [](TagList_C& t, int32_t&) { return int(t.hasAmtLeft("ctr")); }, 1, -5, "ctr", 3},
        {"hasAmtLeft absent creates nothing", [](TagList_C& t, int32_t&) { return int(t.hasAmtLeft("none")); }, 0,
         -5, "none", -999},
    };
    for (const Case& c : cases) {
        TagList_C t = sample();
        int32_t out = -5;
        EXPECT_EQ(c.op(t, out), c.result) << c.what;
        EXPECT_EQ(out, c.out) << c.what;
        EXPECT_EQ(valueOf(t, c.key), c.keyValue) << c.what;
    }
}

TEST(TagListTest, AbsentKeyReadBecomesAnEmptyEntry) {
    TagList_C t;
    int32_t v = 3;
    EXPECT_FALSE(t.hasKey("Weather"));
    EXPECT_EQ(t.getInt("Weather", v), 0);
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(t.hasKey("Weather"));
    EXPECT_EQ(t.find("Weather")->value.kind, 0);
}

TEST(TagListTest, UseCounterStopsAtZero) {
    TagList_C t;
    t.setInt("0x000a2042", 1);
    EXPECT_EQ(t.useCounter("0x000a2042"), 0);
    EXPECT_EQ(t.useCounter("0x000a2042"), 0);
    EXPECT_EQ(valueOf(t, "0x000a2042"), 0);
    EXPECT_FALSE(t.hasAmtLeft("0x000a2042"));
}

TEST(TagListTest, RefillCountersSkipsOtherKeys) {
    TagList_C t;
    t.addCounter("0x01", 3);
    t.addCounter("0x02", 5);
    t.setInt("CurSongs", 1);
    t.setInt("CurSongsMAX", 4); // not a counter key: stays
    t.useCounter("0x01");
    t.useCounter("0x02");
    t.useCounter("CurSongs");
    std::vector<RefStr_C> keys = t.counterKeys();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(t.refillCounters(), 0);
    EXPECT_EQ(valueOf(t, "0x01"), 3);
    EXPECT_EQ(valueOf(t, "0x02"), 5);
    EXPECT_EQ(valueOf(t, "CurSongs"), 0);
    // A counter key without its MAX stops the refill with -1.
    t.setInt("0x03", 1);
    EXPECT_EQ(t.refillCounters(), -1);
}

TEST(TagListTest, StoredFormAndReversedOrder) {
    TagList_C t(RefStr_C("w"));
    t.setInt("A", 1);
    TagValue_S* flag = nullptr;
    ASSERT_EQ(t.findOrAdd("flag", &flag), 0);
    flag->setBool(true);
    MemStream_C s;
    t.write(s);
    // From the head: the newest key first.
    const std::string expect("\x02\0\0\0"
                             "\x04\0\0\0flag\x04\x01"
                             "\x01\0\0\0A\x02\x01\0\0\0",
                             4 + 10 + 10);
    EXPECT_EQ(bytesOf(s), expect);
    auto back = TagList_C::create(RefStr_C("w2"), 1, s);
    auto* list = dynamic_cast<TagList_C*>(back.get());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->getName(), "w2");
    ASSERT_EQ(list->count(), 2);
    EXPECT_STREQ(list->head()->key.c_str(), "A"); // read order is reversed
    EXPECT_STREQ(list->head()->next->key.c_str(), "flag");
    EXPECT_TRUE(list->find("flag")->value.getBool());
    EXPECT_EQ(TagList_C().typeId(), 6);
    EXPECT_EQ(TagList_C().version(), 1);
}

// Whatever the list holds, its stored form reads back: every kind with
// the ends of its range, an empty key and a long one, a key without value.
TEST(TagListTest, ExtremeValuesReadBack) {
    TagList_C t(RefStr_C("w"));
    t.setInt("", INT32_MIN);
    t.setIntKind1(std::string(10000, '\xff').c_str(), INT32_MAX);
    TagValue_S* v = nullptr;
    ASSERT_EQ(t.findOrAdd("three", &v), 0);
    v->setKindInt(3, INT32_MIN);
    ASSERT_EQ(t.findOrAdd("yes", &v), 0);
    v->setBool(true);
    int32_t none = 0;
    t.getInt("nothing", none);
    // The plain reader of an ordinary integer adds nothing.
    EXPECT_EQ(t.intValue(""), INT32_MIN);
    EXPECT_EQ(t.intValue("three"), 0) << "another kind";
    EXPECT_EQ(t.intValue("absent"), 0);
    EXPECT_FALSE(t.hasKey("absent"));
    MemStream_C s;
    t.write(s);
    const std::string written = bytesOf(s);
    // Reading turns the order round; a second reading turns it back.
    for (int round = 0; round < 2; ++round) {
        auto back = TagList_C::create(RefStr_C("w"), 1, s);
        ASSERT_TRUE(back) << round;
        s.clear();
        back->write(s);
    }
    EXPECT_EQ(bytesOf(s), written);
}

TEST(TagListTest, DamagedBytesAreRefused) {
    const std::string cases[] = {
        std::string(""),
        std::string("\xff\xff\xff\xff", 4),                       // negative count
        std::string("\x00\x00\x00\x10", 4),                       // count far past the bytes
        std::string("\x02\0\0\0\x01\0\0\0A\x02\x01\0\0\0", 14), // second node missing
        std::string("\x01\0\0\0\x09\0\0\0A\x02", 10),             // key longer than the bytes
    };
    for (const std::string& bytes : cases) {
        MemStream_C s;
        s.write(bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ(TagList_C::create(RefStr_C("x"), 1, s), nullptr) << bytes.size();
    }
}

} // namespace
