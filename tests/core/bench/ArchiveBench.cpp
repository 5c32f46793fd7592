// The save archive with a whole quest's worth of records: 8 characters of
// about 4 KB, 20 map states of about 2 KB and 5 shop stocks, stored and
// committed as a save does (with and without the flush to disk), then the
// archive reopened and every record loaded.
#include "core/ArchiveFile.h"
#include "core/MemStream.h"
#include "core/Storable.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

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

void BM_SaveWholeQuest(benchmark::State& state) {
    const bool durable = state.range(0) != 0;
    const std::string path = benchPath();
    std::remove(path.c_str());
    auto a = ArchiveFile_C::open(path, false);
    a->setDurable(durable);
    saveQuest(*a, 'a');
    char fill = 'b';
    for (auto _ : state) {
        if (!saveQuest(*a, fill++))
            state.SkipWithError("save failed");
    }
    state.SetLabel(durable ? "with fsync" : "without fsync");
    a.reset();
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveWholeQuest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReopenAndLoadAll(benchmark::State& state) {
    getTypeRegistry().add(901, &Blob_C::create);
    const std::string path = benchPath();
    std::remove(path.c_str());
    {
        auto a = ArchiveFile_C::open(path, false);
        a->setDurable(false);
        saveQuest(*a, 'a');
        saveQuest(*a, 'b');
    }
    for (auto _ : state) {
        auto a = ArchiveFile_C::open(path, false);
        int loaded = 0;
        for (const char* dir : {"hall", "map", "shop", "world"}) {
            DirHandle_C d = a->openDir(dir);
            for (int i = 0; i < d->getEntryCount(); ++i)
                loaded += d->load(d->getEntryName(i)) != nullptr;
        }
        if (loaded != 35)
            state.SkipWithError("records missing");
        benchmark::DoNotOptimize(loaded);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ReopenAndLoadAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
