// libFuzzer target: the picture index and the picture files it names. The
// first byte picks what the rest is (uncompressed; the target writes it as
// the gzip file the game reads):
//   0: the index "data/picindex.dat": read, then every nickname looked up;
//   1: a picture file, named by a fixed index: loaded at both qualities,
//      made current and animated over a stretch of time.
// Nothing may crash, read out of bounds or leak.
#include "FuzzFiles.h"

#include "core/GameConfig.h"
#include "core/PicCache.h"

#include <cstdint>
#include <string>

namespace {

void fuzzIndex(const uint8_t* data, size_t size)
{
    const std::string path = fuzzfiles::dir() + "picindex.dat";
    if (!fuzzfiles::writeGzip(path, data, size))
        return;
    PicCache_C cache;
    cache.loadIndex(path.c_str());
    int walked = 0;
    for (const PicEntry_S* e = cache.first(); e; e = e->next) {
        if (cache.picSearch(e->nickname.c_str()) == nullptr)
            std::abort(); // every indexed picture can be found
        (void)PicCache_C::bucketOf(e->nickname.c_str());
        if (++walked > cache.entryCount())
            std::abort(); // the chain of buckets has a loop
    }
    if (walked != cache.entryCount())
        std::abort();
}

void fuzzPicture(const uint8_t* data, size_t size)
{
    const std::string pic = fuzzfiles::dir() + "p.pic";
    const std::string index = fuzzfiles::dir() + "picindex1.dat";
    static const bool indexWritten = PicCache_C::writeIndex(index.c_str(), {PicIndexRecord_S{500, "Fz", pic}});
    if (!indexWritten || !fuzzfiles::writeGzip(pic, data, size))
        return;
    Uint32 now = 1000;
    PicCache_C cache;
    cache.setClock([&now] { return now; });
    if (!cache.loadIndex(index.c_str()))
        return;
    PicEntry_S* entry = cache.picSearch("Fz");
    if (!entry)
        std::abort();
    const int texMode = gameConfig.texMode;
    for (int mode : {3, 5}) {
        gameConfig.texMode = mode;
        (void)cache.loadPic(entry);
    }
    // Animated over several minutes of steps, now and then after a long
    // wait or with the clock going back.
    if (cache.picSet("Fz") == 0)
        for (Uint32 step : {100u, 100u, 2500u, 100u, 600000u, 100u, 0u, 4294967000u, 100u})
            cache.animate(now += step);
    cache.picClear();
    gameConfig.texMode = texMode;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0)
        fuzzIndex(data + 1, size - 1);
    else
        fuzzPicture(data + 1, size - 1);
    return 0;
}
