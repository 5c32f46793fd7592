// libFuzzer target: the first byte picks what the rest is fed to.
//   0: a save archive file: opened, walked, loaded, changed, reopened;
//   1: the stream readers (strings, tagged values, keyed lists, directory
//      blobs);
//   2: the text-line readers, with a buffer size from the next byte.
// Anything that opens must keep working and reopen; nothing may crash.
#include "core/ArchiveFile.h"
#include "core/ConfigFile.h"
#include "core/MemStream.h"
#include "core/RefStr.h"
#include "core/TagList.h"
#include "core/TagValue.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class Raw_C : public Storable_C {
public:
    explicit Raw_C(const char* name) : Storable_C(RefStr_C(name)) {}
    int typeId() const override { return 900; }
    void write(MemStream_C& s) const override { s.writeInt32(0x1234); }
    bool read(int, MemStream_C& s) override {
        s.skip(s.remaining());
        return true;
    }
    static std::unique_ptr<Storable_C> create(const RefStr_C& n, int v, MemStream_C& s) {
        auto r = std::make_unique<Raw_C>(n.c_str());
        r->read(v, s);
        return r;
    }
};

void walk(ArchiveDir_C& dir, int depth) {
    if (depth > 8)
        return;
    for (int i = 0; i < dir.getEntryCount(); ++i) {
        const char* name = dir.getEntryName(i);
        const ArchiveEntry_S* e = dir.findEntry(name);
        if (e && e->isDir())
            walk(*dir.openDir(name), depth + 1);
        else
            dir.load(name);
    }
}

void fuzzArchive(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/vell_fuzz_" + std::to_string(::getpid()) + ".sav";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    {
        auto a = ArchiveFile_C::open(path, false);
        if (!a)
            return;
        a->setDurable(false);
        walk(*a, 0);
        // An archive that opened takes changes and still opens afterwards.
        if (!a->openDir("fuzz")->isBroken() && !a->openDir("fuzz")->store(Raw_C("x")))
            std::abort();
        if (!a->rollback() || !a->store(Raw_C("y")) || !a->commit())
            std::abort();
    }
    if (!ArchiveFile_C::open(path, false))
        std::abort();
}

void fuzzStreams(const uint8_t* data, size_t size) {
    auto feed = [&](MemStream_C& s) { s.write(data, static_cast<uint32_t>(size)); };
    {
        MemStream_C s;
        feed(s);
        RefStr_C r;
        while (r.read(s)) {
        }
    }
    {
        MemStream_C s;
        feed(s);
        TagValue_S v;
        while (v.read(s)) {
        }
    }
    {
        MemStream_C s;
        feed(s);
        auto list = TagList_C::create(RefStr_C("t"), 1, s);
        if (list) {
            MemStream_C out;
            list->write(out);
        }
    }
    {
        MemStream_C s;
        feed(s);
        ArchiveDir_C dir(RefStr_C("d"), nullptr, DirHandle_C());
        dir.read(1, s);
    }
}

void fuzzLines(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    int bufSize = 1 + data[0] % 64;
    FILE* f = ::fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "r");
    if (!f)
        return;
    std::string buf(static_cast<size_t>(bufSize), '\0');
    while (readConfigLine(&buf[0], bufSize, f)) {
    }
    std::rewind(f);
    while (fgetsSkipComments(&buf[0], bufSize, f)) {
    }
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    if (!getTypeRegistry().has(900)) {
        getTypeRegistry().add(900, &Raw_C::create);
        getTypeRegistry().add(TYPE_TAG_LIST, &TagList_C::create);
    }
    switch (data[0] % 3) {
    case 0:
        fuzzArchive(data + 1, size - 1);
        break;
    case 1:
        fuzzStreams(data + 1, size - 1);
        break;
    default:
        fuzzLines(data + 1, size - 1);
        break;
    }
    return 0;
}
