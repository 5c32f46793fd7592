// Strings, memory streams, tagged values and the type registry: their bytes
// in a stream, sharing of string blocks, stream growth and short reads.
#include "core/MemStream.h"
#include "core/RefStr.h"
#include "core/Storable.h"
#include "core/TagValue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

std::string bytesOf(const MemStream_C& s) {
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

MemStream_C& fill(MemStream_C& s, const std::string& bytes) {
    s.write(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return s;
}

// ---------------------------------------------------------------- RefStr_C

TEST(RefStrTest, CopiesShareOneBlock) {
    RefStr_C a("Aldo");
    RefStr_C b(a);
    EXPECT_TRUE(a.sharesWith(b));
    EXPECT_EQ(a.refCount(), 2);
    {
        RefStr_C c = b;
        EXPECT_EQ(a.refCount(), 3);
    }
    EXPECT_EQ(a.refCount(), 2);
    RefStr_C empty;
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(empty.refCount(), 1);
}

TEST(RefStrTest, AppendingToASharedStringLeavesTheOtherAlone) {
    RefStr_C a("0x000a2042");
    RefStr_C b(a);
    b += "MAX";
    EXPECT_STREQ(a.c_str(), "0x000a2042");
    EXPECT_STREQ(b.c_str(), "0x000a2042MAX");
    EXPECT_EQ(a.refCount(), 1);
    EXPECT_EQ(b.refCount(), 1);
    // An unshared string grows in place.
    b += RefStr_C("!");
    EXPECT_STREQ(b.c_str(), "0x000a2042MAX!");
    // Appending a string to itself.
    RefStr_C c("ab");
    c += c;
    EXPECT_STREQ(c.c_str(), "abab");
    RefStr_C d("x");
    RefStr_C e(d);
    d += e;
    EXPECT_STREQ(d.c_str(), "xx");
    EXPECT_STREQ(e.c_str(), "x");
}

TEST(RefStrTest, AssigningAStringThatSharesTheBlockChangesNoCount) {
    RefStr_C a("same");
    RefStr_C b(a);
    b = a;
    EXPECT_EQ(a.refCount(), 2);
    a = a;
    EXPECT_EQ(a.refCount(), 2);
    RefStr_C c("other");
    c = a;
    EXPECT_EQ(a.refCount(), 3);
    c = "fresh";
    EXPECT_EQ(a.refCount(), 2);
    EXPECT_EQ(c.refCount(), 1);
}

TEST(RefStrTest, PlusAndComparisons) {
    RefStr_C k("0x01");
    RefStr_C max = k + "MAX";
    EXPECT_STREQ(max.c_str(), "0x01MAX");
    EXPECT_STREQ(k.c_str(), "0x01");
    EXPECT_TRUE(k == RefStr_C("0x01"));
    EXPECT_TRUE(k != max);
    EXPECT_TRUE(k == "0x01");
}

TEST(RefStrTest, StreamLayout) {
    MemStream_C s;
    RefStr_C("abc").write(s);
    RefStr_C().write(s);
    EXPECT_EQ(bytesOf(s), std::string("\x03\0\0\0abc\0\0\0\0", 11));
    RefStr_C a("old"), b("old");
    ASSERT_TRUE(a.read(s));
    ASSERT_TRUE(b.read(s));
    EXPECT_STREQ(a.c_str(), "abc");
    EXPECT_STREQ(b.c_str(), "");
}

TEST(RefStrTest, BadLengthsAreRefused) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"no length", std::string("\x03\0", 2)},
        {"negative length", std::string("\xff\xff\xff\xff", 4)},
        {"longer than what remains", std::string("\x05\0\0\0abc", 7)},
        {"huge", std::string("\xff\xff\xff\x7f", 4)},
    };
    for (const Case& c : cases) {
        MemStream_C s;
        fill(s, c.bytes);
        RefStr_C r("kept?");
        EXPECT_FALSE(r.read(s)) << c.what;
        EXPECT_STREQ(r.c_str(), "") << c.what;
    }
}

TEST(RefStrTest, FileLayout) {
    FILE* f = std::tmpfile();
    ASSERT_TRUE(f);
    ASSERT_TRUE(RefStr_C("hello").writeFile(f));
    std::fwrite("\x09\0\0\0ab", 1, 6, f); // cut short
    std::rewind(f);
    RefStr_C r;
    ASSERT_TRUE(r.readFile(f));
    EXPECT_STREQ(r.c_str(), "hello");
    EXPECT_FALSE(r.readFile(f));
    EXPECT_STREQ(r.c_str(), "");
    std::fclose(f);
}

// ---------------------------------------------------------------- MemStream_C

TEST(MemStreamTest, GrowthSteps) {
    MemStream_C s;
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.data(), nullptr);
    std::string a(1500, 'a'), b(600, 'b');
    s.write(a.data(), 1500);
    EXPECT_EQ(s.capacity(), 2000u);
    s.write(b.data(), 600); // needed 2100: grows by 4100
    EXPECT_EQ(s.capacity(), 6100u);
    EXPECT_EQ(s.size(), 2100u);
    EXPECT_EQ(bytesOf(s), a + b);
    // A first write larger than 2000 gets needed + 2000.
    MemStream_C big;
    std::string c(5000, 'c');
    big.write(c.data(), 5000);
    EXPECT_EQ(big.capacity(), 7000u);
}

TEST(MemStreamTest, ClearKeepsTheBufferReleaseFreesIt) {
    MemStream_C s;
    s.writeInt32(5);
    s.clear();
    EXPECT_EQ(s.size(), 0u);
    EXPECT_EQ(s.capacity(), 2000u);
    s.release();
    EXPECT_EQ(s.capacity(), 0u);
    EXPECT_EQ(s.data(), nullptr);
}

TEST(MemStreamTest, ShortReadsCopyNothing) {
    MemStream_C s;
    s.writeInt16(0x1234);
    s.writeByte(7);
    int32_t v = 99;
    EXPECT_FALSE(s.readInt32(v));
    EXPECT_EQ(v, 99);
    EXPECT_EQ(s.readPos(), 0u);
    int16_t h = 0;
    ASSERT_TRUE(s.readInt16(h));
    EXPECT_EQ(h, 0x1234);
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(s.read(buf, 2));
    EXPECT_EQ(buf[0], 'x');
    uint64_t w = 1;
    EXPECT_FALSE(s.readUInt64(w));
    EXPECT_EQ(w, 1u);
    uint8_t b = 0;
    ASSERT_TRUE(s.readByte(b));
    EXPECT_EQ(b, 7);
    EXPECT_EQ(s.remaining(), 0u);
}

TEST(MemStreamTest, IntegersAreLittleEndian) {
    MemStream_C s;
    s.writeInt32(-2);
    s.writeUInt16(0xbeef);
    s.writeUInt64(0x0102030405060708ull);
    EXPECT_EQ(bytesOf(s), std::string("\xfe\xff\xff\xff\xef\xbe\x08\x07\x06\x05\x04\x03\x02\x01", 14));
    int32_t i;
    uint16_t u;
    uint64_t w;
    ASSERT_TRUE(s.readInt32(i) && s.readUInt16(u) && s.readUInt64(w));
    EXPECT_EQ(i, -2);
    EXPECT_EQ(u, 0xbeef);
    EXPECT_EQ(w, 0x0102030405060708ull);
}

TEST(MemStreamTest, FileTransfers) {
    char name[] = "/tmp/vell_memstream_XXXXXX";
    int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    MemStream_C out;
    std::string text(3000, 'q');
    fill(out, text);
    ASSERT_TRUE(out.writeToFile(fd));
    ASSERT_EQ(::lseek(fd, 0, SEEK_SET), 0);
    MemStream_C in;
    in.writeByte('>');
    ASSERT_TRUE(in.readFromFile(fd, 1000));
    ASSERT_TRUE(in.readFromFile(fd, 2000));
    EXPECT_EQ(bytesOf(in), ">" + text);
    // End of file before n bytes: false, without waiting.
    EXPECT_FALSE(in.readFromFile(fd, 10));
    ::close(fd);
    std::remove(name);
    // A bad descriptor.
    EXPECT_FALSE(in.readFromFile(-1, 4));
    EXPECT_FALSE(out.writeToFile(-1));
}

// ---------------------------------------------------------------- TagValue_S

TEST(TagValueTest, StreamLayoutPerKind) {
    struct Case {
        const char* what;
        std::function<void(TagValue_S&)> set;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty", [](TagValue_S&) {}, std::string("\0", 1)},
        {"kind 1", [](TagValue_S& v) { v.setInt(-1); }, std::string("\x01\xff\xff\xff\xff", 5)},
        {"kind 2", [](TagValue_S& v) { v.setInt2(0x35); }, std::string("\x02\x35\0\0\0", 5)},
        {"kind 3", [](TagValue_S& v) { v.setKindInt(3, 7); }, std::string("\x03\x07\0\0\0", 5)},
        {"kind 4", [](TagValue_S& v) { v.setBool(true); }, std::string("\x04\x01", 2)},
    };
    for (const Case& c : cases) {
        TagValue_S v;
        c.set(v);
        MemStream_C s;
        v.write(s);
        EXPECT_EQ(bytesOf(s), c.bytes) << c.what;
        TagValue_S back;
        back.setInt(123);
        ASSERT_TRUE(back.read(s)) << c.what;
        EXPECT_EQ(back.kind, v.kind) << c.what;
        EXPECT_EQ(back.getInt(), v.getInt()) << c.what;
        EXPECT_EQ(back.getBool(), v.getBool()) << c.what;
    }
}

TEST(TagValueTest, OddBytesOnReading) {
    struct Case {
        const char* what;
        std::string bytes;
        bool ok;
        int kind;
        int32_t value;
    };
    const Case cases[] = {
        {"truth byte other than 0 reads as 1", std::string("\x04\x09", 2), true, 4, 0},
        {"unknown kind is empty", std::string("\x07\x01\x02", 3), true, 0, 0},
        {"no kind byte", std::string(), false, 0, 0},
        {"value cut short", std::string("\x02\x01\x02", 3), false, 0, 0},
        {"truth cut short", std::string("\x04", 1), false, 0, 0},
    };
    for (const Case& c : cases) {
        MemStream_C s;
        fill(s, c.bytes);
        TagValue_S v;
        v.setInt(55);
        EXPECT_EQ(v.read(s), c.ok) << c.what;
        EXPECT_EQ(v.kind, c.kind) << c.what;
        if (c.kind == 4) {
            EXPECT_TRUE(v.getBool()) << c.what;
        }
        if (c.kind == 0) {
            EXPECT_EQ(v.value, nullptr) << c.what;
        }
    }
}

TEST(TagValueTest, AssignmentAndKinds) {
    TagValue_S a, b;
    a.setInt2(5);
    b.setInt2(9);
    void* place = b.value;
    b = a; // same kind: copied in place
    EXPECT_EQ(b.value, place);
    EXPECT_EQ(b.getInt(), 5);
    TagValue_S t;
    t.setBool(true);
    b = t;
    EXPECT_EQ(b.kind, 4);
    EXPECT_TRUE(b.getBool());
    TagValue_S empty;
    b = empty;
    EXPECT_EQ(b.kind, 0);
    EXPECT_EQ(b.value, nullptr);
    // setInt on another kind starts over.
    a.setInt(3);
    EXPECT_EQ(a.kind, 1);
    EXPECT_EQ(a.getInt(), 3);
}

TEST(TagValueTest, FileLayout) {
    FILE* f = std::tmpfile();
    ASSERT_TRUE(f);
    TagValue_S v;
    v.setInt2(258);
    ASSERT_TRUE(v.writeFile(f));
    std::rewind(f);
    TagValue_S back;
    ASSERT_TRUE(back.readFile(f));
    EXPECT_EQ(back.kind, 2);
    EXPECT_EQ(back.getInt(), 258);
    EXPECT_FALSE(back.readFile(f));
    std::fclose(f);
}

// ---------------------------------------------------------------- registry

class Probe_C : public Storable_C {
public:
    Probe_C(const RefStr_C& n, int tag) : Storable_C(n), tag_(tag) {}
    int typeId() const override { return 77; }
    void write(MemStream_C& s) const override { s.writeInt32(tag_); }
    bool read(int, MemStream_C& s) override { return s.readInt32(tag_); }
    int tag_;
};

std::unique_ptr<Storable_C> createOld(const RefStr_C& n, int, MemStream_C& s) {
    auto p = std::make_unique<Probe_C>(n, 1);
    if (!p->read(1, s))
        return nullptr;
    return p;
}

std::unique_ptr<Storable_C> createNew(const RefStr_C& n, int version, MemStream_C& s) {
    auto p = std::make_unique<Probe_C>(n, 2);
    if (!p->read(version, s))
        return nullptr;
    p->tag_ += 1000 * version;
    return p;
}

TEST(TypeRegistryTest, NewestRegistrationWinsUnknownGivesNull) {
    TypeRegistry_C reg;
    MemStream_C s;
    s.writeInt32(5);
    EXPECT_EQ(reg.create(77, RefStr_C("p"), 1, s), nullptr);
    EXPECT_EQ(s.readPos(), 0u); // nothing read
    reg.add(77, &createOld);
    reg.add(77, &createNew);
    auto r = reg.create(77, RefStr_C("probe"), 3, s);
    auto* p = dynamic_cast<Probe_C*>(r.get());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->getName(), "probe");
    EXPECT_EQ(p->tag_, 3005);
    EXPECT_EQ(p->version(), 1);
    // A short stream gives null.
    MemStream_C empty;
    EXPECT_EQ(reg.create(77, RefStr_C("x"), 1, empty), nullptr);
}

} // namespace
