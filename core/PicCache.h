// PicCache_C: the scene pictures of the upper-left pane, chosen by nickname.
//
// The index "data/picindex.dat" (gzip, little-endian) holds records to the
// end of its data: uint32 keep bonus (ms), uint16 nickname length n, uint16
// path length m, the nickname, the path (no NULs).
//
// A picture file (gzip, little-endian):
//   0  u16 version (1)            2  u16 region count
//   4  u32 high width | height<<16   8  u32 high texture width | height<<16
//   12 u32 low  width | height<<16   16 u32 low  texture width | height<<16
//   20 u32 high JPEG size   24 u32 low JPEG offset   28 u32 low JPEG size
//   32 the high JPEG (texture-sized); the low JPEG at its offset; then the
//   regions: u32 unused, u32 x | y<<16, u32 w | h<<16, u16 extra frames e,
//   u16 unused, e x (u32 size + region-sized JPEG), u16 step count, per step
//   u32 frame | base tenths<<16 | random extra tenths<<24.
//
// A picture loads when first made current, animates its regions every 100 ms
// on SDL's timer thread while current, and may be unloaded by the 3000 ms
// trim once 16 are loaded and none is current. The timers, drawing and the
// trim share one SDL mutex; GL textures are only made and deleted on the main
// thread (the trim hands its textures over to it).
#pragma once
#include <SDL.h>
#include <GL/gl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CommonInterface_C;

struct PicStep_S {
    int frame = 0;        // frame index
    int base = 0;         // tenths of a second
    int extra = 0;        // random extra, tenths of a second
    int64_t deadline = 0; // ms left until the step ends, from the last update (a
                          // cycle of 65535 long steps does not fit 32 bits)
};

struct PicRegion_S {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::vector<uint8_t>> frames;   // width x height x 3 RGB, top row first
    std::vector<PicStep_S> steps;
    int curStep = 0;
    int curFrame = 0;
    Uint32 lastUpdate = 0;
};

struct PicEntry_S {
    PicEntry_S* next = nullptr;
    GLuint texture = 0;
    int width = 0, height = 0, texWidth = 0, texHeight = 0;
    std::vector<PicRegion_S> regions;
    Uint32 lastDrawn = 0;
    uint32_t keepBonus = 0;
    std::string nickname;
    std::string path;
    bool loaded = false;
};

// A picture file to write (the data tools and tests).
struct PicFileRegion_S {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::string> extraFrames;   // JPEG bytes, region-sized
    struct Step {
        int frame, base, extra;
    };
    std::vector<Step> steps;
};
struct PicFile_S {
    int width = 0, height = 0, texWidth = 0, texHeight = 0;           // high quality
    int lowWidth = 0, lowHeight = 0, lowTexWidth = 0, lowTexHeight = 0;
    std::string highJpeg, lowJpeg;
    std::vector<PicFileRegion_S> regions;
    int version = 1;
};
struct PicIndexRecord_S {
    uint32_t keepBonus = 0;
    std::string nickname;
    std::string path;
};

class PicCache_C {
public:
    static constexpr int kBuckets = 27 * 27 * 27;
    static constexpr Uint32 kAnimateMs = 100;
    static constexpr Uint32 kTrimMs = 3000;
    static constexpr int kMaxTexture = 4096;

    PicCache_C(int low = 12, int max = 20);
    ~PicCache_C();
    PicCache_C(const PicCache_C&) = delete;
    PicCache_C& operator=(const PicCache_C&) = delete;

    // Reads the index and starts the trim timer. The complete records are
    // kept; false (with an "ERROR..." line) when the file cannot be opened or
    // is cut short or malformed.
    bool loadIndex(const char* path, bool verbose = false);

    int picSet(const char* nickname);
    PicEntry_S* picSearch(const char* nickname) const;
    void picClear();
    bool curPicNamed(const char* nickname) const;
    // Draws the current picture over the picture rectangle; -1 when there is
    // no current picture or it is not loaded.
    int draw(const CommonInterface_C* iface);
    // Stops both timers and frees everything; safe to call more than once.
    void fini();

    // Loads a picture file into the entry: 0, -1 (cannot be opened), -2
    // (wrong version), -3 (cut short or inconsistent). Main thread.
    int loadPic(PicEntry_S* entry);

    // One animation pass / trim pass at the given time (the timers call them
    // with SDL_GetTicks()). animate returns true when a frame changed (a
    // redraw request was then pushed when SDL's events are running).
    bool animate(Uint32 now);
    void trim(Uint32 now);

    // Time source (tests set a fake clock; default SDL_GetTicks).
    void setClock(std::function<Uint32()> clock);

    static int bucketOf(const char* nickname);

    const PicEntry_S* current() const { return current_; }
    const PicEntry_S* first() const { return head_; }
    int loadedCount() const { return loaded_; }
    int lowWater() const { return low_; }
    int highWater() const { return high_; }
    bool animationRunning() const { return animTimer_.id != 0; }
    int animationTimer() const { return animTimer_.id; }
    bool trimRunning() const { return trimTimer_.id != 0; }
    int entryCount() const { return int(entries_.size()); }

    // Writers of the two file formats (gzip). False on a write error.
    static bool writeIndex(const char* path, const std::vector<PicIndexRecord_S>& records);
    static bool writePicFile(const char* path, const PicFile_S& pic);
    // The uncompressed bytes of a picture file (tests cut and corrupt them).
    static std::string picFileBytes(const PicFile_S& pic);

private:
    // A timer (platform/Timers.h) and the key under which its callback finds this cache.
    // The callbacks look the key up in a table under one lock, and stopping
    // a timer takes its key out of the table first: once that returns, no
    // callback of it is running or can reach the cache any more.
    struct Timer_S {
        int id = 0;
        uintptr_t key = 0;
    };
    static Uint32 timerCallback(Uint32 interval, void* key);
    Timer_S startTimer(Uint32 interval, bool trim);
    static void stopTimer(Timer_S timer);

    Uint32 now() const;
    void unloadLocked(PicEntry_S* e);     // any thread, mutex held
    void deletePendingTextures();         // main thread
    void freeEntries();
    void lock() const;
    void unlock() const;
    int32_t stepDuration(const PicStep_S& s) const;

    std::vector<std::unique_ptr<PicEntry_S>> entries_;
    PicEntry_S* head_ = nullptr;
    std::vector<PicEntry_S*> buckets_;
    PicEntry_S* current_ = nullptr;
    Timer_S animTimer_;
    Timer_S trimTimer_;
    SDL_mutex* mutex_ = nullptr;
    int low_;
    int high_;
    int max_;
    int loaded_ = 0;
    bool animating_ = false;
    std::vector<GLuint> deadTextures_;
    std::function<Uint32()> clock_;
};
