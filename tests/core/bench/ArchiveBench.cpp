// The save archive with a whole quest's worth of records: 8 characters of
// about 4 KB, 20 map states of about 2 KB and 5 shop stocks, stored and
// committed as a save does (with and without the flush to disk), then the
// archive reopened and every record loaded. The floor is a fixed piece of
// plain work timed in the same run.
//
//   bench_archive [samples]
#include "core/ArchiveFile.h"
#include "core/MemStream.h"
#include "core/Storable.h"
#include "tools/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class Blob_C : public Storable_C {
public:
    Blob_C(const char* name, size_t n, char fill) : Storable_C(RefStr_C(name)), bytes_(n, fill) {}
    int typeId() const override { return 901; }
    void write(MemStream_C& s) const override { s.write(bytes_.data(), static_cast<uint32_t>(bytes_.size())); }
    bool read(int, MemStream_C& s) override {
        bytes_.assign(s.current(), s.remaining());
        s.skip(s.remaining());
        return true;
    }
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s) {
        auto b = std::make_unique<Blob_C>(name.c_str(), 0, 0);
        b->read(version, s);
        return b;
    }

private:
    std::string bytes_;
};

std::string benchPath() { return "/tmp/vell_bench_" + std::to_string(::getpid()) + ".sav"; }

std::string nameOf(const char* stem, int i) { return std::string(stem) + std::to_string(i); }

// One save: every record of the quest stored, then the commit.
bool saveQuest(ArchiveFile_C& a, char fill) {
    bool ok = true;
    DirHandle_C hall = a.openDir("hall");
    for (int i = 0; i < 8; ++i)
        ok &= hall->store(Blob_C(nameOf("char", i).c_str(), 4000 + 16 * i, fill));
    DirHandle_C map = a.openDir("map");
    for (int i = 0; i < 20; ++i)
        ok &= map->store(Blob_C(nameOf("map", i).c_str(), 2000 + 8 * i, fill));
    DirHandle_C shop = a.openDir("shop");
    for (int i = 0; i < 5; ++i)
        ok &= shop->store(Blob_C(nameOf("shop", i).c_str(), 1500, fill));
    DirHandle_C world = a.openDir("world");
    ok &= world->store(Blob_C("ra2d.dat", 3000, fill));
    ok &= world->store(Blob_C("party.dat", 600, fill));
    return ok && a.commit();
}

// Milliseconds of each of `samples` saves; empty (after an error line) when
// one fails.
std::vector<double> timeSaves(bool durable, int samples) {
    const std::string path = benchPath();
    std::remove(path.c_str());
    std::vector<double> ms;
    {
        auto a = ArchiveFile_C::open(path, false);
        if (!a) {
            std::fprintf(stderr, "ERROR: the archive %s cannot be made\n", path.c_str());
            return ms;
        }
        a->setDurable(durable);
        char fill = 'a';
        bool ok = saveQuest(*a, fill++);
        for (int i = 0; ok && i < samples; ++i) {
            const bench::Clock::time_point t = bench::Clock::now();
            ok = saveQuest(*a, fill++);
            ms.push_back(bench::msSince(t));
        }
        if (!ok) {
            std::fprintf(stderr, "ERROR: a save failed\n");
            ms.clear();
        }
    }
    std::remove(path.c_str());
    return ms;
}

// Milliseconds of each reopening with every record loaded; empty (after an
// error line) when a record is missing.
std::vector<double> timeReopens(int samples) {
    getTypeRegistry().add(901, &Blob_C::create);
    const std::string path = benchPath();
    std::remove(path.c_str());
    {
        auto a = ArchiveFile_C::open(path, false);
        if (!a) {
            std::fprintf(stderr, "ERROR: the archive %s cannot be made\n", path.c_str());
            return {};
        }
        a->setDurable(false);
        saveQuest(*a, 'a');
        saveQuest(*a, 'b');
    }
    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
        const bench::Clock::time_point t = bench::Clock::now();
        auto a = ArchiveFile_C::open(path, false);
        int loaded = 0;
        for (const char* dir : {"hall", "map", "shop", "world"}) {
            DirHandle_C d = a->openDir(dir);
            for (int e = 0; e < d->getEntryCount(); ++e)
                loaded += d->load(d->getEntryName(e)) != nullptr;
        }
        ms.push_back(bench::msSince(t));
        if (loaded != 35) {
            std::fprintf(stderr, "ERROR: %d of the 35 records loaded\n", loaded);
            ms.clear();
            break;
        }
    }
    std::remove(path.c_str());
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    bench::printReferenceFloor();
    const std::vector<double> plain = timeSaves(false, samples);
    // A save with its flush to disk takes milliseconds: fewer of them.
    const std::vector<double> durable = timeSaves(true, std::max(1, samples / 10));
    const std::vector<double> reopen = timeReopens(samples);
    if (plain.empty() || durable.empty() || reopen.empty())
        return 1;
    bench::figure("save a whole quest, without fsync", plain, "ms");
    bench::figure("save a whole quest, with fsync", durable, "ms");
    bench::figure("reopen and load every record", reopen, "ms");
    return 0;
}
