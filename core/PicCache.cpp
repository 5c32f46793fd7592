#include "core/PicCache.h"
#include "core/ScreenProjection.h"

#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ImageLoad.h"
#include "core/MemStream.h"
#include "core/ModalLoop.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "platform/Timers.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace {

// Pictures and the index are small; anything larger is not one of ours.
constexpr size_t kMaxFileBytes = 64u << 20;

// Reads a whole gzip file. 0, -1 (cannot be opened), -3 (read error or larger
// than the limit).
int readGz(const std::string& path, std::string& out)
{
    const std::string real = vell::resolvePath(path);
    gzFile f = gzopen(real.c_str(), "rb");
    if (!f)
        return -1;
    out.clear();
    char buf[16384];
    int n;
    while ((n = gzread(f, buf, sizeof buf)) > 0) {
        out.append(buf, size_t(n));
        if (out.size() > kMaxFileBytes) {
            gzclose(f);
            return -3;
        }
    }
    const bool failed = n < 0;
    gzclose(f);
    return failed ? -3 : 0;
}

bool writeGz(const char* path, const std::string& bytes)
{
    gzFile f = gzopen(path, "wb9");
    if (!f)
        return false;
    bool ok = bytes.empty() || gzwrite(f, bytes.data(), unsigned(bytes.size())) == int(bytes.size());
    ok = (gzclose(f) == Z_OK) && ok;
    return ok;
}

bool validTexSize(int w, int h, int tw, int th)
{
    return w > 0 && h > 0 && w <= tw && h <= th && tw <= PicCache_C::kMaxTexture &&
           th <= PicCache_C::kMaxTexture;
}

// Copies the w x h rectangle at (x, y) of an RGB picture; parts outside it
// stay black.
std::vector<uint8_t> cutRect(const RGBImage_S& img, int x, int y, int w, int h)
{
    std::vector<uint8_t> out(size_t(w) * size_t(h) * 3, 0);
    for (int row = 0; row < h; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= img.height)
            continue;
        for (int col = 0; col < w; ++col) {
            const int sx = x + col;
            if (sx < 0 || sx >= img.width)
                continue;
            std::memcpy(&out[(size_t(row) * w + col) * 3], &img.rgb[(size_t(sy) * img.width + sx) * 3], 3);
        }
    }
    return out;
}

// Nearest-neighbour scaling of an RGB buffer.
std::vector<uint8_t> scaleRGB(const std::vector<uint8_t>& src, int sw, int sh, int dw, int dh)
{
    std::vector<uint8_t> out(size_t(dw) * size_t(dh) * 3, 0);
    for (int y = 0; y < dh; ++y) {
        const int sy = std::min(sh - 1, int(int64_t(y) * sh / dh));
        for (int x = 0; x < dw; ++x) {
            const int sx = std::min(sw - 1, int(int64_t(x) * sw / dw));
            std::memcpy(&out[(size_t(y) * dw + x) * 3], &src[(size_t(sy) * sw + sx) * 3], 3);
        }
    }
    return out;
}

bool videoUp()
{
    return SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetVideoSurface();
}

// The caches' running timers by key: a callback does its work while holding
// this lock, so taking a key out waits for a callback that is running.
struct TimerOwner {
    PicCache_C* cache;
    bool trim;
};
std::mutex timerTableLock;
std::map<uintptr_t, TimerOwner> timerTable;
uintptr_t nextTimerKey = 1;

} // namespace

// ---------------------------------------------------------------------------
PicCache_C::PicCache_C(int low, int max)
    : buckets_(kBuckets, nullptr), low_(low), high_((low + max) / 2), max_(max)
{
    mutex_ = SDL_CreateMutex();
}

PicCache_C::~PicCache_C()
{
    fini();
}

void PicCache_C::lock() const
{
    if (mutex_)
        SDL_mutexP(mutex_);
}

void PicCache_C::unlock() const
{
    if (mutex_)
        SDL_mutexV(mutex_);
}

void PicCache_C::setClock(std::function<Uint32()> clock)
{
    clock_ = std::move(clock);
}

Uint32 PicCache_C::now() const
{
    return clock_ ? clock_() : SDL_GetTicks();
}

int PicCache_C::bucketOf(const char* nickname)
{
    int b = 0;
    bool ended = false;
    for (int i = 0; i < 3; ++i) {
        const char c = ended ? 0 : nickname[i];
        if (!c)
            ended = true;
        int v = 26;
        if (c >= 'a' && c <= 'z')
            v = c - 'a';
        else if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        b = b * 27 + v;
    }
    return b;
}

void PicCache_C::freeEntries()
{
    for (auto& e : entries_)
        if (e->texture)
            deadTextures_.push_back(e->texture);
    entries_.clear();
    std::fill(buckets_.begin(), buckets_.end(), nullptr);
    head_ = nullptr;
    current_ = nullptr;
    loaded_ = 0;
}

bool PicCache_C::loadIndex(const char* path, bool verbose)
{
    picClear();
    lock();
    freeEntries();
    unlock();
    deletePendingTextures();

    std::string bytes;
    const int rc = readGz(path ? path : "", bytes);
    if (rc != 0) {
        std::fprintf(stderr, "ERROR: cannot read picture index '%s'\n", path ? path : "");
        return false;
    }
    if (verbose) {
        std::printf("Pictures found in index file '%s'\n", path);
        std::printf("Nickname: Filename\n");
    }
    MemStream_C in;
    in.write(bytes.data(), uint32_t(bytes.size()));
    bool complete = true;
    lock();
    while (in.remaining() > 0) {
        uint32_t keep = 0;
        uint16_t n = 0, m = 0;
        if (!in.readUInt32(keep) || !in.readUInt16(n) || !in.readUInt16(m) || n == 0 || m == 0 ||
            in.remaining() < uint32_t(n) + m) {
            complete = false;
            break;
        }
        auto e = std::make_unique<PicEntry_S>();
        e->keepBonus = keep;
        e->nickname.assign(in.current(), n);
        in.skip(n);
        e->path.assign(in.current(), m);
        in.skip(m);
        if (e->nickname.find('\0') != std::string::npos || e->path.find('\0') != std::string::npos) {
            complete = false;
            break;
        }
        if (verbose)
            std::printf("%s: %s\n", e->nickname.c_str(), e->path.c_str());
        // Into its bucket, in ascending strcmp order.
        PicEntry_S*& first = buckets_[size_t(bucketOf(e->nickname.c_str()))];
        PicEntry_S* raw = e.get();
        if (first && first->nickname < raw->nickname) {
            PicEntry_S* p = first;
            while (p->next && p->next->nickname < raw->nickname)
                p = p->next;
            raw->next = p->next;
            p->next = raw;
        } else {
            raw->next = first;
            first = raw;
        }
        entries_.push_back(std::move(e));
    }
    // Chain the buckets into one list.
    PicEntry_S* tail = nullptr;
    for (PicEntry_S* b : buckets_) {
        if (!b)
            continue;
        if (tail)
            tail->next = b;
        else
            head_ = b;
        tail = b;
        while (tail->next)
            tail = tail->next;
    }
    const int count = int(entries_.size());
    unlock();
    if (!complete)
        std::fprintf(stderr, "ERROR: picture index '%s' is cut short or damaged after %d pictures\n", path,
                     count);

    if (!trimTimer_.id) {
        const Timer_S t = startTimer(kTrimMs, true);
        lock();
        trimTimer_ = t;
        unlock();
    }
    return complete;
}

PicEntry_S* PicCache_C::picSearch(const char* nickname) const
{
    if (!nickname || buckets_.empty())
        return nullptr;
    // The buckets are chained into one list: stop at the end of this one.
    const int b = bucketOf(nickname);
    PicEntry_S* p = buckets_[size_t(b)];
    while (p && bucketOf(p->nickname.c_str()) == b && std::strcmp(p->nickname.c_str(), nickname) < 0)
        p = p->next;
    return (p && p->nickname == nickname) ? p : nullptr;
}

bool PicCache_C::curPicNamed(const char* nickname) const
{
    lock();
    const bool same = current_ && nickname && current_->nickname == nickname;
    unlock();
    return same;
}

void PicCache_C::picClear()
{
    lock();
    current_ = nullptr;
    animating_ = false;
    const Timer_S t = animTimer_;
    animTimer_ = Timer_S();
    unlock();
    // Stopped outside the mutex: the callback may be waiting for it.
    stopTimer(t);
}

int PicCache_C::picSet(const char* nickname)
{
    if (!nickname)
        return -1;
    if (curPicNamed(nickname))
        return 0;
    picClear();
    PicEntry_S* e = picSearch(nickname);
    if (!e)
        return -1;
    deletePendingTextures();
    lock();
    current_ = e;
    unlock();
    // The trim leaves a current picture alone, so loading needs no lock
    // until it publishes the result.
    if (!e->loaded)
        loadPic(e);
    lock();
    const Uint32 t = now();
    for (PicRegion_S& r : e->regions)
        r.lastUpdate = t;
    animating_ = true;
    unlock();
    Timer_S timer = startTimer(kAnimateMs, false);
    lock();
    if (animating_ && current_ == e && !animTimer_.id) {
        animTimer_ = timer;
        timer = Timer_S();
    }
    unlock();
    stopTimer(timer);   // cleared meanwhile
    return 0;
}

int32_t PicCache_C::stepDuration(const PicStep_S& s) const
{
    const int32_t tenths = s.base + (s.extra > 0 ? vell::cosmeticRand() % (s.extra + 1) : 0);
    // A step of no length would never let the animation catch up: it shows
    // for one timer period.
    return std::max<int32_t>(int32_t(kAnimateMs), tenths * 100);
}

int PicCache_C::loadPic(PicEntry_S* entry)
{
    if (!entry)
        return -1;
    std::string bytes;
    const int rc = readGz(entry->path, bytes);
    if (rc == -1) {
        std::fprintf(stderr, "ERROR: cannot open picture '%s'\n", entry->path.c_str());
        return -1;
    }
    auto bad = [&](int code, const char* why) {
        std::fprintf(stderr, "ERROR: picture '%s': %s\n", entry->path.c_str(), why);
        return code;
    };
    if (rc != 0)
        return bad(-3, "cannot be read");
    MemStream_C in;
    in.write(bytes.data(), uint32_t(bytes.size()));
    uint16_t version = 0, regionCount = 0;
    uint32_t hiSize = 0, hiTex = 0, loSize = 0, loTex = 0, hiBytes = 0, loOffset = 0, loBytes = 0;
    if (!in.readUInt16(version) || !in.readUInt16(regionCount) || !in.readUInt32(hiSize) ||
        !in.readUInt32(hiTex) || !in.readUInt32(loSize) || !in.readUInt32(loTex) || !in.readUInt32(hiBytes) ||
        !in.readUInt32(loOffset) || !in.readUInt32(loBytes))
        return bad(-3, "header cut short");
    if (version != 1)
        return bad(-2, "wrong version");

    const bool low = gameConfig.texMode < 4;
    const uint32_t size = low ? loSize : hiSize;
    const uint32_t tex = low ? loTex : hiTex;
    const int w = int(size & 0xFFFF), h = int(size >> 16);
    const int tw = int(tex & 0xFFFF), th = int(tex >> 16);
    if (!validTexSize(w, h, tw, th))
        return bad(-3, "bad picture size");
    const uint64_t total = bytes.size();
    if (32 + uint64_t(hiBytes) > total || uint64_t(loOffset) + loBytes > total || loOffset < 32 + hiBytes)
        return bad(-3, "picture data cut short");
    const uint32_t jpegAt = low ? loOffset : 32;
    const uint32_t jpegBytes = low ? loBytes : hiBytes;
    RGBImage_S pic;
    std::string error;
    if (!decodeJPEG(bytes.data() + jpegAt, jpegBytes, pic, error))
        return bad(-3, error.c_str());

    // Regions are stored for the high-quality picture; with the low one they
    // are scaled to it.
    const int hiW = int(hiSize & 0xFFFF), hiH = int(hiSize >> 16);
    const bool scale = low && hiW > 0 && hiH > 0 && (hiW != w || hiH != h);

    std::vector<PicRegion_S> regions;
    in.setReadPos(loOffset + loBytes);
    const Uint32 t = now();
    for (int r = 0; r < regionCount; ++r) {
        uint32_t unused = 0, pos = 0, dim = 0;
        uint16_t extra = 0, unused16 = 0;
        if (!in.readUInt32(unused) || !in.readUInt32(pos) || !in.readUInt32(dim) || !in.readUInt16(extra) ||
            !in.readUInt16(unused16))
            return bad(-3, "region cut short");
        PicRegion_S reg;
        const int rx = int(pos & 0xFFFF), ry = int(pos >> 16);
        const int rw = int(dim & 0xFFFF), rh = int(dim >> 16);
        if (rw <= 0 || rh <= 0 || rx + rw > (scale ? hiW : tw) || ry + rh > (scale ? hiH : th))
            return bad(-3, "region outside the picture");
        std::vector<std::vector<uint8_t>> frames;
        frames.push_back(std::vector<uint8_t>());   // frame 0 below
        for (int f = 0; f < extra; ++f) {
            uint32_t n = 0;
            if (!in.readUInt32(n) || n > in.remaining())
                return bad(-3, "frame cut short");
            RGBImage_S img;
            if (!decodeJPEG(in.current(), n, img, error))
                return bad(-3, error.c_str());
            in.skip(n);
            frames.push_back(cutRect(img, 0, 0, rw, rh));
        }
        uint16_t steps = 0;
        if (!in.readUInt16(steps))
            return bad(-3, "steps cut short");
        for (int s = 0; s < steps; ++s) {
            uint32_t v = 0;
            if (!in.readUInt32(v))
                return bad(-3, "steps cut short");
            PicStep_S st;
            st.frame = int(v & 0xFFFF);
            st.base = int((v >> 16) & 0xFF);
            st.extra = int(v >> 24);
            if (st.frame > extra)
                return bad(-3, "step names a frame that does not exist");
            reg.steps.push_back(st);
        }
        if (scale) {
            reg.x = rx * w / hiW;
            reg.y = ry * h / hiH;
            reg.width = std::max(1, rw * w / hiW);
            reg.height = std::max(1, rh * h / hiH);
            for (size_t f = 1; f < frames.size(); ++f)
                frames[f] = scaleRGB(frames[f], rw, rh, reg.width, reg.height);
        } else {
            reg.x = rx;
            reg.y = ry;
            reg.width = rw;
            reg.height = rh;
        }
        frames[0] = cutRect(pic, reg.x, reg.y, reg.width, reg.height);
        reg.frames = std::move(frames);
        int64_t prev = 0;
        for (PicStep_S& st : reg.steps) {
            st.deadline = stepDuration(st) + prev;
            prev = st.deadline;
        }
        reg.curStep = 0;
        reg.curFrame = reg.steps.empty() ? 0 : reg.steps[0].frame;
        reg.lastUpdate = t;
        regions.push_back(std::move(reg));
    }

    // The texture: the decoded picture placed in a texture-sized buffer.
    std::vector<uint8_t> texBytes = cutRect(pic, 0, 0, tw, th);
    GLuint id = 0;
    if (videoUp()) {
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        // The edge texels, never the black border, at the picture's edges.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        const GLint filter = gameConfig.texMode == 1 ? GL_NEAREST : GL_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, tw, th, 0, GL_RGB, GL_UNSIGNED_BYTE, texBytes.data());
    }

    lock();
    if (entry->texture)
        deadTextures_.push_back(entry->texture);
    entry->texture = id;
    entry->width = w;
    entry->height = h;
    entry->texWidth = tw;
    entry->texHeight = th;
    entry->regions = std::move(regions);
    entry->lastDrawn = t;
    if (!entry->loaded) {
        entry->loaded = true;
        ++loaded_;
    }
    unlock();
    return 0;
}

bool PicCache_C::animate(Uint32 t)
{
    lock();
    bool changed = false;
    if (animating_ && current_ && current_->loaded) {
        for (PicRegion_S& r : current_->regions) {
            if (r.steps.empty())
                continue;
            // A clock that went backwards counts as no time.
            const int64_t elapsed = std::max<int32_t>(0, int32_t(t - r.lastUpdate));
            for (PicStep_S& s : r.steps)
                s.deadline -= elapsed;
            const int n = int(r.steps.size());
            int64_t cycle = 0;
            for (const PicStep_S& s : r.steps)
                cycle += std::max<int64_t>(kAnimateMs, (s.base + s.extra) * 100);
            if (r.steps[size_t(r.curStep)].deadline < -cycle) {
                // Far behind (the timer came very late): start the schedule
                // again from the current step instead of catching up.
                int64_t prev = 0;
                for (int k = 0; k < n; ++k) {
                    PicStep_S& s = r.steps[size_t((r.curStep + k) % n)];
                    s.deadline = stepDuration(s) + prev;
                    prev = s.deadline;
                }
                changed = true;
            }
            while (r.steps[size_t(r.curStep)].deadline <= 0) {
                PicStep_S& s = r.steps[size_t(r.curStep)];
                // The step comes round again after the one before it, whose
                // deadline already counts the time since the last update.
                const int64_t before = n == 1 ? s.deadline : r.steps[size_t((r.curStep + n - 1) % n)].deadline;
                s.deadline = stepDuration(s) + std::max<int64_t>(before, 0);
                r.curStep = (r.curStep + 1) % n;
                changed = true;
            }
            r.curFrame = r.steps[size_t(r.curStep)].frame;
            r.lastUpdate = t;
        }
    }
    unlock();
    if (changed && SDL_WasInit(SDL_INIT_VIDEO))
        vell::pushRedraw();
    return changed;
}

void PicCache_C::unloadLocked(PicEntry_S* e)
{
    if (!e->loaded)
        return;
    if (e->texture)
        deadTextures_.push_back(e->texture);
    e->texture = 0;
    e->regions.clear();
    e->regions.shrink_to_fit();
    e->loaded = false;
    --loaded_;
}

void PicCache_C::trim(Uint32 t)
{
    lock();
    if (!current_ && loaded_ >= high_) {
        for (int32_t threshold = 30000; threshold > 0 && loaded_ > low_; threshold -= 5000) {
            for (PicEntry_S* e = head_; e && loaded_ > low_; e = e->next) {
                if (!e->loaded)
                    continue;
                const int64_t idle = int64_t(int32_t(t - e->lastDrawn)) - int64_t(e->keepBonus);
                if (idle >= threshold)
                    unloadLocked(e);
            }
        }
    }
    unlock();
}

void PicCache_C::deletePendingTextures()
{
    std::vector<GLuint> dead;
    lock();
    dead.swap(deadTextures_);
    unlock();
    if (!dead.empty() && videoUp())
        glDeleteTextures(GLsizei(dead.size()), dead.data());
}

int PicCache_C::draw(const CommonInterface_C* iface)
{
    deletePendingTextures();
    if (!iface)
        return -1;
    lock();
    PicEntry_S* e = current_;
    if (!e || !e->loaded || !e->texture) {
        unlock();
        return -1;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // The picture rectangle is in the 1024 x 768 design space, whatever the
    // window's size (and whatever space the interface prints text in).
    glOrtho(0, kScreenDesignWidth, 0, kScreenDesignHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const SDL_Surface* window = SDL_GetVideoSurface();
    glViewport(0, 0, window ? window->w : kScreenDesignWidth, window ? window->h : kScreenDesignHeight);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);

    glBindTexture(GL_TEXTURE_2D, e->texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const PicRegion_S& r : e->regions) {
        if (r.curFrame < 0 || size_t(r.curFrame) >= r.frames.size())
            continue;
        glTexSubImage2D(GL_TEXTURE_2D, 0, r.x, r.y, r.width, r.height, GL_RGB, GL_UNSIGNED_BYTE,
                        r.frames[size_t(r.curFrame)].data());
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(0, 0, 0, 1);
    const float s = float(e->width) / float(e->texWidth);
    const float tt = float(e->height) / float(e->texHeight);
    const float left = float(iface->getPicLeft()), right = float(iface->getPicRight());
    const float top = float(iface->getPicTop()), bottom = float(iface->getPicBottom());
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(s, 0);
    glVertex2f(right, top);
    glTexCoord2f(s, tt);
    glVertex2f(right, bottom);
    glTexCoord2f(0, tt);
    glVertex2f(left, bottom);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    e->lastDrawn = now();
    unlock();
    return 0;
}

void PicCache_C::fini()
{
    if (!mutex_)
        return;   // already done
    lock();
    const Timer_S trimTimer = trimTimer_;
    trimTimer_ = Timer_S();
    unlock();
    stopTimer(trimTimer);
    picClear();
    lock();
    freeEntries();
    unlock();
    deletePendingTextures();
    SDL_DestroyMutex(mutex_);
    mutex_ = nullptr;
}

PicCache_C::Timer_S PicCache_C::startTimer(Uint32 interval, bool trim)
{
    Timer_S t;
    // The animation asks for redraws through SDL's event queue.
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return t;
    {
        std::lock_guard<std::mutex> l(timerTableLock);
        t.key = nextTimerKey++;
        timerTable[t.key] = TimerOwner{this, trim};
    }
    t.id = vell::addTimer(interval, &PicCache_C::timerCallback, reinterpret_cast<void*>(t.key));
    if (!t.id) {
        std::lock_guard<std::mutex> l(timerTableLock);
        timerTable.erase(t.key);
        t.key = 0;
    }
    return t;
}

void PicCache_C::stopTimer(Timer_S t)
{
    if (t.key) {
        std::lock_guard<std::mutex> l(timerTableLock);
        timerTable.erase(t.key);
    }
    if (t.id)
        vell::removeTimer(t.id);
}

Uint32 PicCache_C::timerCallback(Uint32 interval, void* key)
{
    std::lock_guard<std::mutex> l(timerTableLock);
    const auto it = timerTable.find(reinterpret_cast<uintptr_t>(key));
    if (it == timerTable.end())
        return interval;   // stopped meanwhile: its removal follows
    PicCache_C* cache = it->second.cache;
    if (it->second.trim)
        cache->trim(cache->now());
    else
        cache->animate(cache->now());
    return interval;
}

// ---------------------------------------------------------------------------
bool PicCache_C::writeIndex(const char* path, const std::vector<PicIndexRecord_S>& records)
{
    MemStream_C out;
    for (const PicIndexRecord_S& r : records) {
        if (r.nickname.empty() || r.path.empty() || r.nickname.size() > 0xFFFF || r.path.size() > 0xFFFF)
            return false;
        out.writeUInt32(r.keepBonus);
        out.writeUInt16(uint16_t(r.nickname.size()));
        out.writeUInt16(uint16_t(r.path.size()));
        out.write(r.nickname.data(), uint32_t(r.nickname.size()));
        out.write(r.path.data(), uint32_t(r.path.size()));
    }
    return writeGz(path, std::string(reinterpret_cast<const char*>(out.data()), out.size()));
}

std::string PicCache_C::picFileBytes(const PicFile_S& pic)
{
    auto pack = [](int lo, int hi) { return uint32_t(lo & 0xFFFF) | (uint32_t(hi & 0xFFFF) << 16); };
    MemStream_C out;
    out.writeUInt16(uint16_t(pic.version));
    out.writeUInt16(uint16_t(pic.regions.size()));
    out.writeUInt32(pack(pic.width, pic.height));
    out.writeUInt32(pack(pic.texWidth, pic.texHeight));
    out.writeUInt32(pack(pic.lowWidth, pic.lowHeight));
    out.writeUInt32(pack(pic.lowTexWidth, pic.lowTexHeight));
    out.writeUInt32(uint32_t(pic.highJpeg.size()));
    out.writeUInt32(uint32_t(32 + pic.highJpeg.size()));
    out.writeUInt32(uint32_t(pic.lowJpeg.size()));
    out.write(pic.highJpeg.data(), uint32_t(pic.highJpeg.size()));
    out.write(pic.lowJpeg.data(), uint32_t(pic.lowJpeg.size()));
    for (const PicFileRegion_S& r : pic.regions) {
        out.writeUInt32(0);
        out.writeUInt32(pack(r.x, r.y));
        out.writeUInt32(pack(r.width, r.height));
        out.writeUInt16(uint16_t(r.extraFrames.size()));
        out.writeUInt16(0);
        for (const std::string& f : r.extraFrames) {
            out.writeUInt32(uint32_t(f.size()));
            out.write(f.data(), uint32_t(f.size()));
        }
        out.writeUInt16(uint16_t(r.steps.size()));
        for (const PicFileRegion_S::Step& s : r.steps)
            out.writeUInt32(uint32_t(s.frame & 0xFFFF) | (uint32_t(s.base & 0xFF) << 16) |
                            (uint32_t(s.extra & 0xFF) << 24));
    }
    return std::string(reinterpret_cast<const char*>(out.data()), out.size());
}

bool PicCache_C::writePicFile(const char* path, const PicFile_S& pic)
{
    return writeGz(path, picFileBytes(pic));
}
