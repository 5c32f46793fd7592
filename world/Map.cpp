#include "world/Map.h"

#include "audio/MasterAudio.h"
#include "core/GameConfig.h"
#include "core/ImageLoad.h"
#include "core/TextureList.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "world/Event.h"
#include "world/Interface.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Every line of a map's text files is read into a buffer of this size.
constexpr int LINE_BUF = 149;
// The largest grid a map file may ask for.
constexpr int MAX_SIDE = 4096;
constexpr int64_t MAX_SQUARES = 1 << 20;
// More trap or random-item lines than this cannot be meant.
constexpr int MAX_LIST = 100000;

bool picturesOn = true;

// A plain line read: false at the end of the file. A line longer than the
// buffer keeps what fits and the rest of it is dropped (never read as a line
// of its own).
bool readLine(char* buf, FILE* f)
{
    if (!std::fgets(buf, LINE_BUF, f))
        return false;
    if (!std::strchr(buf, '\n') && !std::feof(f)) {
        std::fprintf(stderr, "ERROR! Line longer than %d characters cut: %s\n", LINE_BUF - 2, buf);
        int c;
        while ((c = std::fgetc(f)) != EOF && c != '\n') {
        }
    }
    vell::stripLineEnd(buf);
    return true;
}

// The next line that does not begin with '#'.
bool readLineSkipComments(char* buf, FILE* f)
{
    do {
        if (!readLine(buf, f))
            return false;
    } while (buf[0] == '#');
    return true;
}

void underscoresToBlanks(char* s)
{
    for (; *s; ++s)
        if (*s == '_')
            *s = ' ';
}

bool endsWith(const char* s, const char* tail)
{
    size_t n = std::strlen(s);
    size_t t = std::strlen(tail);
    return n >= t && std::strcmp(s + n - t, tail) == 0;
}

// The texture list without pictures: every line's values, no GL.
std::unique_ptr<TextureList_C> readTextureValues(const char* path)
{
    auto list = std::make_unique<TextureList_C>();
    FILE* f = vell::openFile(path, "r");
    if (!f) {
        std::fprintf(stderr, "ERROR: Could not open file: %s\n", path);
        return list;
    }
    char line[LINE_BUF];
    while (readLine(line, f)) {
        TextureLine_S t;
        if (!parseTextureLine(line, t))
            continue;
        auto tex = std::make_unique<Texture_S>();
        tex->solid = t.number1 != 0 ? 1 : 0;
        tex->level = static_cast<uint8_t>(t.number3);
        tex->value = t.number2 < 0 ? 0 : t.number2;
        list->add(t.name.c_str(), std::move(tex));
    }
    std::fclose(f);
    return list;
}

// Floor and ceiling: a BMP of the map's own, or a texture container.
unsigned loadSurface(const char* name, const char* what)
{
    if (endsWith(name, "bmp")) {
        bool ok = false;
        const unsigned id = loadBMPTexture(name, &ok);
        if (!ok)
            std::fprintf(stderr, "Error loading %s graphic: %s!\n", what, name);
        return id;
    }
    const int texMode = gameConfig.texMode;
    TexInfo_S t = loadDATTex(name, textureQualityFor(texMode), textureMipModeFor(texMode), 0);
    return static_cast<unsigned>(t.texID);
}

// A cloud picture as an alpha-only texture (the first byte of every pixel).
unsigned loadCloud(const char* name)
{
    int w = 0;
    int h = 0;
    int bpp = 0;
    std::unique_ptr<uint8_t[]> rgba = loadJPG(name, w, h, bpp, false);
    if (!rgba || bpp < 32 || w <= 0 || h <= 0) {
        std::fprintf(stderr, "ERROR: Could not load cloud texture data!\n");
        return 0; // the layer stays empty: no clouds are drawn
    }
    std::vector<uint8_t> alpha(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = rgba[i * 4];
    const unsigned id = newRepeatTexture();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, w, h, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return id;
}

void deleteTexture(unsigned& id)
{
    if (id) {
        const GLuint t = id;
        glDeleteTextures(1, &t);
        id = 0;
    }
}

} // namespace

// --- cell definitions ---------------------------------------------------------

int CellDef_S::side(int facing)
{
    switch (facing) {
    case 0:
        return 0;
    case 90:
        return 1;
    case 180:
        return 2;
    case 270:
        return 3;
    default:
        return -1;
    }
}

const Texture_S* CellDef_S::getWall(int facing) const
{
    const int s = side(facing);
    return s < 0 ? nullptr : wall[s];
}

bool CellDef_S::isSecretDoor(int facing) const
{
    const Texture_S* t = getWall(facing);
    return t && t->value == 1;
}

bool CellDef_S::wallBlocks(int facing) const
{
    const Texture_S* t = getWall(facing);
    if (!t || !t->solid)
        return false;
    if (hanging() && t->level < threshold)
        return false; // the wall hangs above the way through
    return true;
}

bool CellDef_S::neighbourBlocks(int facing) const
{
    if (closed())
        return true;
    // The side of this square that faces the mover.
    const int opposite = (facing + 180) % 360;
    return wallBlocks(opposite);
}

CellDefList_C::CellDefList_C(const char* path, const TextureList_C* textures)
{
    if (path && textures)
        load(path, textures);
}

CellDefList_C::~CellDefList_C() = default;

void CellDefList_C::clear()
{
    entries_.clear();
}

bool CellDefList_C::parseLine(const char* line, const TextureList_C* textures)
{
    char name[LINE_BUF] = {};
    char walls[4][LINE_BUF] = {};
    char p7[LINE_BUF] = {};
    char p8[LINE_BUF] = {};
    char p9[LINE_BUF] = {};
    char p10[LINE_BUF] = {};
    char p11[LINE_BUF] = {};
    int type = 0;
    const int n = std::sscanf(line, "%148s %148s %148s %148s %148s %d %148s %148s %148s %148s %148s", name, walls[0],
                              walls[1], walls[2], walls[3], &type, p7, p8, p9, p10, p11);
    if (n < 6) {
        std::fprintf(stderr, "ERROR: Bad line in cell config!\n\t%s\n", line);
        return false;
    }
    if (type < CellDef_S::PLAIN || type > CellDef_S::HANGING_CLOSED) {
        std::fprintf(stderr, "ERROR: Bad cell type %d in cell config!\n\t%s\n", type, line);
        return false;
    }
    if (std::strlen(name) > 15) {
        std::fprintf(stderr, "ERROR: Cell name longer than 15 characters!\n\t%s\n", line);
        return false;
    }
    auto def = std::make_unique<CellDef_S>();
    def->type = type;
    for (int i = 0; i < 4; ++i)
        def->wall[i] = textures ? textures->find(walls[i]) : nullptr;
    if (type == CellDef_S::PLAIN || type == CellDef_S::PLAIN_CLOSED) {
        if (n < 8) {
            std::fprintf(stderr, "ERROR: Bad line in cell config (type 1/2)!\n\t%s\n", line);
        } else if (textures) {
            def->floor = textures->find(p7);
            def->billboard = textures->find(p8);
        }
    } else {
        int threshold = 0;
        if (n < 9 || std::sscanf(p9, "%d", &threshold) != 1) {
            std::fprintf(stderr, "ERROR: Bad line in cell config (type 3/4)!\n\t%s\n", line);
            threshold = 0;
        }
        def->threshold = static_cast<uint8_t>(threshold < 0 ? 0 : threshold > 255 ? 255 : threshold);
    }
    entries_.insert(entries_.begin(), Entry{name, std::move(def)});
    return true;
}

bool CellDefList_C::load(const char* path, const TextureList_C* textures)
{
    clear();
    FILE* f = vell::openFile(path, "r");
    if (!f) {
        std::fprintf(stderr, "ERROR: Could not open file: %s\n", path);
        return false;
    }
    char line[LINE_BUF];
    while (readLineSkipComments(line, f))
        if (line[0])
            parseLine(line, textures);
    std::fclose(f);
    return true;
}

const CellDef_S* CellDefList_C::find(const char* name) const
{
    for (const Entry& e : entries_)
        if (e.name == name)
            return e.def.get();
    return nullptr;
}

// --- the map -------------------------------------------------------------------

void Map_C::setLoadPictures(bool on)
{
    picturesOn = on;
}

bool Map_C::getLoadPictures()
{
    return picturesOn;
}

std::string Map_C::baseName(const char* path)
{
    std::string s(path ? path : "");
    const size_t slash = s.rfind('/');
    if (slash != std::string::npos)
        s.erase(0, slash + 1);
    const size_t dot = s.find('.');
    if (dot != std::string::npos)
        s.erase(dot);
    return s;
}

Map_C::Map_C(const char* path) : Map_C(path, false) {}

Map_C::Map_C(const char* path, bool gridOnly) : fileName_(path ? path : ""), gridOnly_(gridOnly)
{
    missingCell_.type = CellDef_S::PLAIN_CLOSED;
    missingCell_.missing = true;
    setupClouds();
    std::string monsterFile;
    std::string eventFile;
    if (!readConfig(eventFile, monsterFile)) {
        // A broken map keeps nothing of its grid, so nothing can index it.
        width_ = height_ = 0;
        cells_.clear();
        events_.clear();
        info_ = std::make_unique<mapInfo>(RefStr_C(baseName(getFileName()).c_str()), 0, 0);
        return;
    }
    if (gridOnly_) {
        info_ = std::make_unique<mapInfo>(RefStr_C(baseName(getFileName()).c_str()), width_, height_);
        return;
    }
    if (!eventFile.empty())
        loadEvents(eventFile.c_str());
    loadState(monsterFile);
    registerAudio();
}

std::unique_ptr<Map_C> Map_C::gridOnly(const char* path)
{
    return std::unique_ptr<Map_C>(new Map_C(path, true));
}

void Map_C::registerAudio() const
{
    std::vector<const char*> paths;
    std::vector<int> hours;
    for (const MapSound_S& s : sounds_) {
        paths.push_back(s.path.c_str());
        hours.push_back(s.hour);
    }
    maserAudio.addMapAudio(getFileName(), static_cast<int>(paths.size()), paths.empty() ? nullptr : paths.data(),
                           hours.empty() ? nullptr : hours.data());
}

Map_C::~Map_C()
{
    drawData_.reset();
    info_.reset();
    cellDefs_.reset();
    textures_.reset();
    randEvents_.clear();
    cells_.clear();
    deleteTexture(sunTex_);
    deleteTexture(cloudTex_[0]);
    deleteTexture(cloudTex_[1]);
    deleteTexture(floorTex_);
    deleteTexture(ceilingTex_);
    deleteTexture(backdrop_.texture);
    events_.clear();
}

bool Map_C::fail(int code, const char* message)
{
    if (message)
        std::fprintf(stderr, "%s", message);
    loadError_ = code;
    return false;
}

bool Map_C::readConfig(std::string& eventFile, std::string& monsterFile)
{
    const char* path = getFileName();
    FILE* f = vell::openFile(path, "r");
    if (!f) {
        std::fprintf(stderr, "ERROR: Could not open map file %s\n", path);
        return fail(LOAD_EARLY_EOF, nullptr);
    }
    struct Closer {
        FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{f};

    char line[LINE_BUF];
    char title[LINE_BUF] = {};
    char floorName[LINE_BUF] = {};
    char ceilingName[LINE_BUF] = {};
    char backdropName[LINE_BUF] = {};
    int w = 0;
    int h = 0;
    if (!readLine(line, f))
        return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
    const int n1 = std::sscanf(line, "%148s %d %d %148s %148s %148s", title, &w, &h, floorName, ceilingName,
                               backdropName);
    if (n1 < 3 || w < 1 || h < 1 || w > MAX_SIDE || h > MAX_SIDE ||
        static_cast<int64_t>(w) * h > MAX_SQUARES) {
        std::fprintf(stderr, "ERROR! Map %s has no usable size (line: %s)\n", path, line);
        return fail(LOAD_EARLY_EOF, nullptr);
    }
    title_.assign(title, std::min<size_t>(std::strlen(title), 39));
    width_ = w;
    height_ = h;
    hasCeiling_ = n1 >= 5 && std::strcmp(ceilingName, "NULL") != 0;
    const bool hasBackdrop = n1 >= 6 && std::strcmp(backdropName, "NULL") != 0;

    char texList[LINE_BUF] = {};
    char cellTable[LINE_BUF] = {};
    char events[LINE_BUF] = {};
    char monsters[LINE_BUF] = {};
    if (!readLine(line, f))
        return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
    const int n2 = std::sscanf(line, "%148s %148s %148s %148s", texList, cellTable, events, monsters);
    if (n2 >= 3 && std::strcmp(events, "NULL") != 0)
        eventFile = events;
    if (n2 >= 4 && std::strcmp(monsters, "NULL") != 0)
        monsterFile = monsters;

    const bool pictures = picturesOn && !gridOnly_;
    textures_ = pictures ? std::make_unique<TextureList_C>(texList) : readTextureValues(texList);
    cellDefs_ = std::make_unique<CellDefList_C>(cellTable, textures_.get());
    if (pictures)
        loadPictures(n1 >= 4 ? floorName : "", hasCeiling_ ? ceilingName : "", hasBackdrop ? backdropName : "");

    // Special light.
    if (!readLineSkipComments(line, f))
        return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
    if (std::strncmp(line, "SPECLITE", 8) == 0) {
        char word[LINE_BUF];
        std::sscanf(line, "%148s %f %f %f %f %f %f %f", word, &fogColour_[0], &fogColour_[1], &fogColour_[2],
                    &fogDensity_, &specLight_[0], &specLight_[1], &specLight_[2]);
        specLightSet_ = true;
        if (!readLineSkipComments(line, f))
            return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
    }

    // Sounds: a folder and a count, then per segment a file and its hour.
    char prefix[LINE_BUF] = {};
    int soundCount = 0;
    if (std::sscanf(line, "%148s %d", prefix, &soundCount) < 2 || soundCount < 0 || soundCount > MAX_LIST) {
        std::fprintf(stderr, "ERROR! Map %s: bad sounds line: %s\n", path, line);
        soundCount = 0;
    }
    for (int i = 0; i < soundCount; ++i) {
        do {
            if (!readLine(line, f))
                return fail(LOAD_SOUNDS_EOF, "ERROR! Unexpected EOF on map file read!\n");
        } while (line[0] == '#');
        char file[LINE_BUF] = {};
        MapSound_S snd;
        // The hour decides when the segment plays: one that is missing or
        // not an hour of the day would never play, or play at every hour.
        if (std::sscanf(line, "%148s %d", file, &snd.hour) < 2 || snd.hour < 0 || snd.hour > 23) {
            std::fprintf(stderr, "ERROR! Map %s: sound segment without an hour of the day (0-23) skipped: %s\n",
                         path, line);
            continue;
        }
        snd.path = std::string(prefix) + "/" + file;
        sounds_.push_back(snd);
    }

    // Stairs and traps.
    if (!readLineSkipComments(line, f))
        return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
    {
        char word[LINE_BUF] = {};
        int sx = -1;
        int sy = -1;
        int trapCount = 0;
        if (std::sscanf(line, "%148s %d %d %d", word, &sx, &sy, &trapCount) == 4 && std::strcmp(word, "SPECCELL") == 0) {
            stairsX_ = sx;
            stairsY_ = sy;
            if ((sx >= 0 || sy >= 0) && !inGrid(sx, sy)) {
                std::fprintf(stderr, "ERROR! Map %s: stairs (%d, %d) outside the grid\n", path, sx, sy);
                stairsX_ = stairsY_ = -1;
            }
            if (trapCount < 0 || trapCount > MAX_LIST) {
                std::fprintf(stderr, "ERROR! Map %s: bad trap count %d\n", path, trapCount);
                return fail(LOAD_EARLY_EOF, nullptr);
            }
            for (int i = 0; i < trapCount; ++i) {
                if (!readLineSkipComments(line, f))
                    return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
                int tx = 0;
                int ty = 0;
                unsigned kind = 0;
                unsigned id = 0;
                if (std::sscanf(line, "%d %d %u %u", &tx, &ty, &kind, &id) != 4 || !inGrid(tx, ty)) {
                    std::fprintf(stderr, "ERROR! Map %s: bad trap line: %s\n", path, line);
                    continue;
                }
                traps_.push_back(MapTrap_S{tx, ty, MapTrap_S::pack(kind, id)});
            }
            if (!readLineSkipComments(line, f))
                return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
        } else {
            std::fprintf(stderr, "ERROR! Map file has no SPECCELL line!\n");
        }
    }

    // Random items.
    {
        char word[LINE_BUF] = {};
        int itemCount = 0;
        if (std::sscanf(line, "%148s %d", word, &itemCount) == 2 && std::strcmp(word, "RANDITEMS") == 0) {
            if (itemCount < 0 || itemCount > MAX_LIST) {
                std::fprintf(stderr, "ERROR! Map %s: bad random item count %d\n", path, itemCount);
                return fail(LOAD_EARLY_EOF, nullptr);
            }
            for (int i = 0; i < itemCount; ++i) {
                if (!readLineSkipComments(line, f))
                    return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
                char name[LINE_BUF] = {};
                RandItem_S item;
                if (std::sscanf(line, "%148s %d", name, &item.weight) < 1)
                    continue;
                underscoresToBlanks(name);
                item.type = masterITL.findByName(name);
                if (!item.type) {
                    std::fprintf(stderr, "ERROR! Unknown item %s!\n", name);
                    return fail(LOAD_BAD_ITEM, nullptr);
                }
                if (item.weight < 0)
                    item.weight = 0;
                randItemTotal_ += item.weight;
                randItems_.push_back(item);
            }
            if (!readLineSkipComments(line, f))
                return fail(LOAD_EARLY_EOF, "ERROR! Unexpected EOF on map file read!\n");
        } else {
            std::fprintf(stderr, "ERROR! Map file has no RANDITEMS line!\n");
        }
    }

    // The grid: every square DEFAULT, then the cell lines.
    const CellDef_S* def = cellDefs_->find("DEFAULT");
    if (!def) {
        std::fprintf(stderr, "ERROR: Could not get default cell!\n");
        def = &missingCell_;
    }
    cells_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), def);
    events_.clear();
    events_.resize(cells_.size());
    do {
        if (!line[0])
            continue;
        int x = 0;
        int y = 0;
        char name[LINE_BUF] = {};
        if (std::sscanf(line, "%d %d %148s", &x, &y, name) != 3) {
            std::fprintf(stderr, "ERROR! Map %s: bad cell line: %s\n", path, line);
            continue;
        }
        if (!inGrid(x, y)) {
            std::fprintf(stderr, "ERROR! Map %s: cell (%d, %d) outside the grid\n", path, x, y);
            continue;
        }
        const CellDef_S* cell = cellDefs_->find(name);
        if (!cell) {
            std::fprintf(stderr, "Couldn't get %s\n", name);
            cell = &missingCell_;
        }
        cells_[index(x, y)] = cell;
    } while (readLineSkipComments(line, f));
    return true;
}

void Map_C::loadPictures(const char* floorName, const char* ceilingName, const char* backdropName)
{
    const int texMode = gameConfig.texMode;
    if (backdropName[0]) {
        TexInfo_S t = loadDATTex(backdropName, gameConfig.ifaceSmall ? 0 : 1, 1, 1);
        backdrop_.texture = static_cast<unsigned>(t.texID);
        if (t.texWidth > 0 && t.texHeight > 0) {
            backdrop_.extentS = static_cast<float>(t.width) / static_cast<float>(t.texWidth);
            backdrop_.extentT = static_cast<float>(t.height) / static_cast<float>(t.texHeight);
        }
        backdrop_.width = static_cast<float>(t.width);
        backdrop_.height = static_cast<float>(t.height);
    }
    if (floorName[0])
        floorTex_ = loadSurface(floorName, "floor");
    if (hasCeiling_) {
        ceilingTex_ = loadSurface(ceilingName, "ceiling");
        return;
    }
    sunTex_ = static_cast<unsigned>(loadDATTex("pics/other/sun.dat", textureQualityFor(texMode), 1, 1).texID);
    cloudTex_[0] = loadCloud("pics/other/clouds1.dat");
    cloudTex_[1] = loadCloud("pics/other/clouds2.dat");
}

void Map_C::setupClouds()
{
    clouds_[0] = CloudLayer_S{};
    clouds_[1] = CloudLayer_S{};
    clouds_[1].colour[3] = 0.25f;
    clouds_[1].speed = 0.005f;
}

void Map_C::loadState(const std::string& monsterFile)
{
    const std::string base = baseName(getFileName());
    std::unique_ptr<mapInfo> stored = loadMapState(base.c_str());
    if (stored) {
        if (stored->fitTo(width_, height_)) {
            std::fprintf(stderr, "ERROR: Stored state of %s does not fit its map; squares repaired\n",
                         getFileName());
            stateRepaired_ = true;
        }
        if (stored->droppedUnknown())
            stateRepaired_ = true;
        info_ = std::move(stored);
        return;
    }
    info_ = std::make_unique<mapInfo>(RefStr_C(base.c_str()), width_, height_);
    if (!monsterFile.empty())
        info_->loadMonsters(monsterFile.c_str());
}

const CellDef_S* Map_C::getCell(int x, int y) const
{
    if (!inGrid(x, y))
        return nullptr;
    return cells_[index(x, y)];
}

bool Map_C::canStand(int x, int y) const
{
    const CellDef_S* cell = getCell(x, y);
    return cell && !cell->closed();
}

bool Map_C::leavesGrid(int x, int y, int facing) const
{
    if (!inGrid(x, y))
        return true;
    switch (facing) {
    case 0:
        return y + 1 >= height_;
    case 90:
        return x - 1 < 0;
    case 180:
        return y - 1 < 0;
    case 270:
        return x + 1 >= width_;
    default:
        return true;
    }
}

namespace {
void stepOf(int facing, int& dx, int& dy)
{
    dx = facing == 90 ? -1 : facing == 270 ? 1 : 0;
    dy = facing == 0 ? 1 : facing == 180 ? -1 : 0;
}
} // namespace

bool Map_C::isBlocked(int x, int y, int facing) const
{
    if (leavesGrid(x, y, facing))
        return true;
    int dx = 0;
    int dy = 0;
    stepOf(facing, dx, dy);
    if (getCell(x + dx, y + dy)->neighbourBlocks(facing))
        return true;
    return getCell(x, y)->ownWallBlocks(facing);
}

bool Map_C::sideBlocked(int x, int y, int facing) const
{
    int dx = 0;
    int dy = 0;
    stepOf(facing, dx, dy);
    const CellDef_S* own = getCell(x, y);
    const CellDef_S* next = getCell(x + dx, y + dy);
    // Off the grid there is nothing to walk on.
    if (!next)
        return true;
    return next->neighbourBlocks(facing) || (own && own->ownWallBlocks(facing));
}

bool Map_C::diagonalBlocked(int x, int y, int facing) const
{
    const CellDef_S* cell = getCell(x, y);
    return !cell || cell->neighbourBlocks(facing);
}

int Map_C::freeMoveBlocked(float x, float y, int facing) const
{
    // Whole parts are taken downward, so that a body just south or west of
    // the grid counts as outside it rather than on square 0.
    auto whole = [](double v) { return static_cast<int>(std::floor(v)); };
    const int ix = whole(x + 0.5);
    const int iy = whole(y + 0.5);
    if (!inGrid(ix, iy))
        return 3;
    const double rad = facing * 3.1415926535898 / 180.0;
    const double nx = x - std::sin(rad) * 0.05;
    const double ny = y + std::cos(rad) * 0.05;

    const bool east = whole(nx + 0.7) != ix;
    const bool west = !east && whole(nx + 0.3) != ix;
    const bool north = whole(ny + 0.7) != iy;
    const bool south = !north && whole(ny + 0.3) != iy;

    int bits = 0;
    if (north && sideBlocked(ix, iy, 0))
        bits |= 1;
    if (south && sideBlocked(ix, iy, 180))
        bits |= 1;
    if (west && sideBlocked(ix, iy, 90))
        bits |= 2;
    if (east && sideBlocked(ix, iy, 270))
        bits |= 2;
    if ((east || west) && (north || south)) {
        const int cx = ix + (east ? 1 : -1);
        const int cy = iy + (north ? 1 : -1);
        const int ns = north ? 0 : 180;
        const int ew = east ? 270 : 90;
        const CellDef_S* own = getCell(ix, iy);
        if (diagonalBlocked(cx, cy, ns) || own->ownWallBlocks(ns))
            bits |= 1;
        if (diagonalBlocked(cx, cy, ew))
            bits |= 2;
    }
    return bits;
}

void Map_C::setPartyLight(const float colour[3], int strength)
{
    partyLight_[0] = colour[0];
    partyLight_[1] = colour[1];
    partyLight_[2] = colour[2];
    partyLight_[3] = 1.0f;
    partyLightStrength_ = strength;
}

void Map_C::setDrawData(std::unique_ptr<MapDrawData_C> data)
{
    drawData_ = std::move(data);
}

// --- events ----------------------------------------------------------------------

Event_C* Map_C::getCellEvent(int x, int y) const
{
    if (!inGrid(x, y) || events_.empty())
        return nullptr;
    return events_[index(x, y)].get();
}

bool Map_C::setCellEvent(int x, int y, std::unique_ptr<Event_C> event)
{
    if (!inGrid(x, y) || events_.empty())
        return false;
    events_[index(x, y)] = std::move(event);
    return true;
}

void Map_C::addRandomEvent(std::unique_ptr<Event_C> event, int32_t probability)
{
    if (!event)
        return;
    randEvents_.push_back(RandEvent_S{std::move(event), probability});
    randEventTries_ = 3 * static_cast<int>(randEvents_.size());
}

bool Map_C::cellEventNoAnim(int x, int y) const
{
    const Event_C* e = getCellEvent(x, y);
    return e && e->getNoAnim() != 0;
}

std::unique_ptr<Event_C> Map_C::parseEvent(FILE* f, int& x, int& y, bool& more)
{
    char line[LINE_BUF];
    more = readLineSkipComments(line, f);
    if (!more)
        return nullptr;
    int id = 0;
    int noanim = 0;
    const int n = std::sscanf(line, "%d %d %d %d", &x, &y, &id, &noanim);
    if (n < 3) {
        std::fprintf(stderr, "ERROR! Map %s: bad event line: %s\n", getFileName(), line);
        return nullptr;
    }
    if (n < 4)
        noanim = 0;
    // The parameter line belongs to the entry whatever its id.
    char params[LINE_BUF] = {};
    if (!readLine(params, f)) {
        more = false;
        std::fprintf(stderr, "ERROR! Map %s: event %d has no parameter line\n", getFileName(), id);
        return nullptr;
    }
    if (!isMapEventId(id)) {
        std::fprintf(stderr, "ERROR! Map %s: no event has id %d\n", getFileName(), id);
        return nullptr;
    }
    auto rec = std::make_unique<EventParams_S>();
    char name[LINE_BUF] = {};
    const int np = std::sscanf(params, "%d %d %d %148s", &rec->exitX, &rec->exitY, &rec->exitFacing, name);
    if (id == EVENT_SCRIPT && np >= 4)
        std::snprintf(rec->name, sizeof rec->name, "%.63s", name);
    std::unique_ptr<Event_C> event = createMapEvent(id, rec.get());
    rec.reset();
    if (event)
        event->setNoAnim(noanim);
    return event;
}

void Map_C::loadEvents(const char* path)
{
    FILE* f = vell::openFile(path, "r");
    if (!f) {
        std::fprintf(stderr, "ERROR! Could not open event file %s\n", path);
        return;
    }
    std::vector<RandEvent_S> randoms; // file order
    bool more = true;
    while (more) {
        int x = 0;
        int y = 0;
        std::unique_ptr<Event_C> event = parseEvent(f, x, y, more);
        if (!event)
            continue;
        if (x == -1) {
            randoms.push_back(RandEvent_S{std::move(event), y});
        } else if (inGrid(x, y)) {
            events_[index(x, y)] = std::move(event);
        } else {
            std::fprintf(stderr, "ERROR! Map %s: event at (%d, %d) outside the grid\n", getFileName(), x, y);
        }
    }
    std::fclose(f);
    // Random events are kept last first.
    randEvents_.clear();
    for (auto it = randoms.rbegin(); it != randoms.rend(); ++it)
        randEvents_.push_back(std::move(*it));
    randEventTries_ = 3 * static_cast<int>(randEvents_.size());
}

void Map_C::processEvents(int x, int y, Interface_C* iface)
{
    if (!iface || iface->getEntryState() == 0)
        return;
    iface->beginEventProcessing();
    if (Event_C* event = getCellEvent(x, y)) {
        // The event may change maps; the world keeps this one until it returns.
        BusyGuard guard(*this);
        event->invoke(iface);
    } else {
        BusyGuard guard(*this);   // a trap's script may change maps too
        trapPass(x, y, iface);
    }
    // Moves and turns made while the event ran are processed in their turn.
    iface->endEventProcessing();
}

bl3dItem* Map_C::randItem() const
{
    if (randItems_.empty() || randItemTotal_ <= 0)
        return nullptr;
    const int32_t r = vell::gameRand() % randItemTotal_;
    int64_t sum = 0;
    for (const RandItem_S& e : randItems_) {
        sum += e.weight;
        if (sum > r)
            return e.type ? e.type->newInstance() : nullptr;
    }
    return nullptr;
}

int Map_C::rollRandomEvents(Interface_C* iface)
{
    const int count = static_cast<int>(randEvents_.size());
    if (count == 0)
        return 0;
    for (int i = 0; i < randEventTries_; ++i) {
        const int k = vell::gameRandMod(count);
        if (vell::gameRandMod(3000) < randEvents_[k].probability) {
            BusyGuard guard(*this);
            randEvents_[k].event->invoke(iface);
            return 1;
        }
    }
    return 0;
}
