#include "RunGame.h"

#include "core/MemStream.h"
#include "core/RefStr.h"
#include "world/GameWorld.h"
#include "world/GameClock.h"

#include <cstring>

namespace rungame {

int shell(const std::string& cmd) { return std::system(cmd.c_str()); }

OwnDisplay::OwnDisplay()
{
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    pid_ = ::fork();
    if (pid_ < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return;
    }
    if (pid_ == 0) {
        ::close(fds[0]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-noreset",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    // The server writes its display number once it listens.
    char buf[32] = {};
    size_t got = 0;
    while (got < sizeof buf - 1) {
        const ssize_t n = ::read(fds[0], buf + got, sizeof buf - 1 - got);
        if (n <= 0)
            break;
        got += size_t(n);
        if (std::memchr(buf, '\n', got))
            break;
    }
    ::close(fds[0]);
    if (got > 0 && buf[0] >= '0' && buf[0] <= '9')
        name_ = ":" + std::to_string(std::atoi(buf));
    else
        kill();
}

void OwnDisplay::kill()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

double differing(const Shot& a, const Shot& b, int x0, int y0, int w, int h) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty())
        return 1.0;
    long n = 0, total = 0;
    for (int y = y0; y < y0 + h && y < a.height; ++y)
        for (int x = x0; x < x0 + w && x < a.width; ++x) {
            size_t i = (size_t(y) * a.width + x) * 3;
            ++total;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])) > 24) {
                    ++n;
                    break;
                }
        }
    return total ? double(n) / double(total) : 0.0;
}

bool notBlack(const Shot& s) {
    return s.count(0, 0, s.width, s.height, [](int r, int g, int b) { return r + g + b > 60; }) > 1000;
}

double dimmedTitle(const Shot& title, const Shot& s, int x0, int y0, int w, int h) {
    if (title.width != s.width || title.height != s.height || s.rgb.empty())
        return 0.0;
    long n = 0, total = 0;
    for (int y = y0; y < y0 + h && y < s.height; ++y)
        for (int x = x0; x < x0 + w && x < s.width; ++x) {
            size_t i = (size_t(y) * s.width + x) * 3;
            ++total;
            bool ok = true;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(s.rgb[i + c]) - int(title.rgb[i + c] * 0.35)) > 12)
                    ok = false;
            n += ok;
        }
    return total ? double(n) / double(total) : 0.0;
}

bool menuOver(const Shot& title, const Shot& s) {
    return dimmedTitle(title, s, 0, 0, s.width, 100) > 0.9 && dimmedTitle(title, s, 0, 668, s.width, 100) > 0.9 &&
           differing(title, s, 256, 128, 512, 512) > 0.3;
}

double differing(const Shot& a, const Shot& b, const Rect& r) { return differing(a, b, r.x, r.y, r.w, r.h); }

int rosterRows(const Shot& s) {
    int rows = 0;
    for (int i = 0; i < 8; ++i) {
        const int white = s.count(kRosterNames.x, kRosterNames.y + 20 * i, kRosterNames.w, kRosterNames.h - 2,
                                  [](int r, int g, int b) { return r > 230 && g > 230 && b > 230; });
        if (white < 20)
            break;
        ++rows;
    }
    return rows;
}

bool frameShown(const Shot& s) {
    return s.count(0, 0, 8, 8, [](int r, int g, int b) {
        return r > 60 && r < 120 && g > 50 && g < 100 && b > 35 && b < 85 && r > b;
    }) > 48;
}

bool frameAndPane(const Shot& s) {
    return frameShown(s) &&
           s.count(760, 150, 200, 200, [](int r, int g, int b) { return r > 170 && g > 160 && b > 120; }) > 36000;
}

bool viewLit(const Shot& s) {
    return s.count(kView.x, kView.y, kView.w, kView.h, [](int r, int g, int b) { return r + g + b > 90; }) >
           kView.w * kView.h / 2;
}

bool questView(const Shot& s, int members) { return frameAndPane(s) && viewLit(s) && rosterRows(s) == members; }

bool hallShown(const Shot& s) {
    const int red = s.count(kView.x, kView.y, kView.w, kView.h,
                            [](int r, int g, int b) { return r > 110 && r < 170 && g < 60 && b < 60; });
    const int blue = s.count(kView.x, kView.y, kView.w, kView.h,
                             [](int r, int g, int b) { return b > 110 && b < 170 && r < 60 && g < 100; });
    return red > 1500 && blue > 1500;
}

int giltInView(const Shot& s) {
    return s.count(kView.x, kView.y, kView.w, kView.h, [](int r, int g, int b) {
        return r > 100 && 4 * g > 3 * r && 20 * g < 19 * r && 5 * b < 3 * r;
    });
}

int paneBand(const Shot& s, int y, int h) {
    return s.count(735, y, 240, h, [](int r, int g, int b) { return r + g + b < 200; });
}

int paneText(const Shot& s) { return paneBand(s, 80, 100); }

bool streetWith(const Shot& s, int members) {
    return frameAndPane(s) && paneText(s) < 50 && rosterRows(s) == members;
}

bool streetAtAnyHour(const Shot& s) { return streetWith(s, kParty); }

Route route(const std::string& name, const std::vector<std::pair<std::string, int>>& legs) {
    Route r{name, {}};
    for (const auto& [key, times] : legs)
        r.keys.insert(r.keys.end(), size_t(times), key);
    return r;
}

namespace routes {

const Route& hallToTheLane() {
    static const Route r = route("the way to the lane", {{"Right", 1}, {"Up", 1}, {"Right", 1}, {"Up", 1}, {"Left", 1}});
    return r;
}

const Route& hallToTemple() {
    static const Route r = route("the walk to the Temple", {{"Right", 1}, {"Up", 1}, {"Right", 1}, {"Up", 1},
                                                            {"Left", 1}, {"Up", 8}, {"Left", 1}, {"Up", 1}});
    return r;
}

const Route& templeToCollegium() {
    static const Route r = route("the walk to the Collegium", {{"Left", 1}, {"Up", 9}, {"Right", 1}, {"Up", 8},
                                                               {"Right", 1}, {"Up", 3}});
    return r;
}

const Route& hallToStarfireSwords() {
    static const Route r = route("the walk to Starfire Swords", {{"Right", 1}, {"Up", 1}, {"Right", 1}, {"Up", 1},
                                                                 {"Left", 1}, {"Up", 10}, {"Right", 1}, {"Up", 7},
                                                                 {"Right", 1}, {"Up", 8}});
    return r;
}

const Route& hallToCasino() {
    static const Route r = route("the walk to the Casino", {{"Right", 1}, {"Up", 1}, {"Right", 1}, {"Up", 1},
                                                            {"Left", 1}, {"Up", 10}, {"Left", 1}, {"Up", 1},
                                                            {"Right", 1}, {"Up", 7}, {"Right", 1}, {"Up", 10},
                                                            {"Right", 1}});
    return r;
}

const Route& casinoToMelkorans() {
    static const Route r = route("the walk to Melkoran's Tavern", {{"Left", 1}, {"Up", 10}, {"Left", 1}, {"Up", 7},
                                                                   {"Right", 1}, {"Up", 6}, {"Left", 1}, {"Up", 8},
                                                                   {"Left", 1}});
    return r;
}

} // namespace routes

bool calmStreet(const Shot& s) {
    const int standing = rosterRows(s);
    return standing > 0 && streetWith(s, standing) &&
           s.count(715, 60, 280, 405, [](int r, int g, int b) { return r + g + b < 200; }) < 50;
}

void RunGameTest::toTheLaneAtDusk(Shot& shot, const std::string& quest, SavedQuest* rested, int* waits) {
    walk(shot, routes::hallToTheLane());
    if (HasFatalFailure())
        return;
    pressAllUntilChanged(shot, {"r", "1", "0"}, "asking for a rest");
    if (HasFatalFailure())
        return;
    keys("Return");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return paneText(s) > 100 && paneText(s) < 800; }, 300, shot))
        << "no end of the rest; game said:\n" << gameErrors();
    ASSERT_TRUE(endRest(shot, calmStreet)) << "the rest did not end; game said:\n" << gameErrors();
    save(shot, calmStreet, "after the rest");
    if (HasFatalFailure())
        return;
    *rested = savedQuest(quest, dir_);
    ASSERT_TRUE(rested->world.ok);
    const uint32_t dusk = 20 * GameClock_C::TICKS_PER_HOUR - 2;   // 19:59:30
    const uint32_t now = rested->world.ticks % GameClock_C::TICKS_PER_DAY;
    ASSERT_LT(now, dusk) << "the rest ran into the night";
    *waits = int((dusk - now) / 2);
    if (*waits > 0) {
        std::string spaces;
        for (int i = 0; i < *waits; ++i)
            spaces += i ? " space" : "space";
        keys(spaces);
        ASSERT_TRUE(waitSettled(calmStreet, 60, shot)) << "waiting for the night; game said:\n" << gameErrors();
    }
}

int RunGameTest::walkTheLaneUntilAFight(Shot& shot, int maxSteps) {
    int y = 23, dy = -1, steps = 0;
    while (calmStreet(shot)) {
        if (steps >= maxSteps) {
            ADD_FAILURE() << "no fight within " << maxSteps << " steps at night (seed " << seed_ << ")";
            return steps;
        }
        if (y + dy < 14 || y + dy > 23) {
            pressUntilChanged(shot, "Down", "turning round");
            if (HasFatalFailure())
                return steps;
            dy = -dy;
            continue;
        }
        keys("Up");
        if (!waitSettled([](const Shot&) { return true; }, 30, shot)) {
            ADD_FAILURE() << "a step did not come to rest; game said:\n" << gameErrors();
            return steps;
        }
        y += dy;
        ++steps;
    }
    return steps;
}

int RunGameTest::playFight(Shot& shot, int maxPresses, const std::vector<std::string>& order,
                           const std::vector<std::string>& firstKeys,
                           const std::function<void(const std::string&, Shot&)>& answered) {
    // A screen answering a key the same way again and again (a full pack,
    // say) gets other keys tried.
    std::map<std::pair<size_t, std::string>, int> tried;
    bool firstDone = firstKeys.empty();
    for (int press = 0; press < maxPresses; ++press) {
        if (calmStreet(shot) || hallShown(shot))
            return press;
        const size_t screen = std::hash<std::string>()(std::string(shot.rgb.begin(), shot.rgb.end()));
        bool moved = false;
        std::vector<std::string> keysNow = firstDone ? order : firstKeys;
        if (!firstDone)
            keysNow.insert(keysNow.end(), order.begin(), order.end());
        for (const std::string& k : keysNow) {
            int& n = tried[{screen, k}];
            if (n >= 12)
                continue;
            ++n;
            if (tryKey(shot, k)) {
                moved = true;
                if (!firstDone && std::find(firstKeys.begin(), firstKeys.end(), k) != firstKeys.end()) {
                    firstDone = true;
                    if (answered)
                        answered(k, shot);
                }
                break;
            }
        }
        if (!moved) {
            shot.savePPM(dir_ + "/../stuck.ppm");
            ADD_FAILURE() << "the fight answers none of the player's keys; game said:\n" << gameErrors();
            return press;
        }
    }
    shot.savePPM(dir_ + "/../stuck.ppm");
    ADD_FAILURE() << "the fight did not end within " << maxPresses << " keys; game said:\n" << gameErrors();
    return maxPresses;
}

int64_t goldOf(const std::vector<SavedMember>& party) {
    int64_t total = 0;
    for (const SavedMember& m : party)
        total += m.gold;
    return total;
}

std::vector<SavedMember> savedParty(const std::string& questFile, const std::string& gameDir) {
    std::vector<SavedMember> out;
    registerRulesTypes();
    if (masterITL.count() == 0 && masterITL.load((gameDir + "/data/item.dat").c_str()) != 0) {
        ADD_FAILURE() << "cannot read the item catalogue";
        return out;
    }
    // The spell books name the game's actions: loaded for the reading only.
    struct Actions {
        bool loaded = false;
        ~Actions() {
            if (loaded)
                masterActionList.destroyAll();
        }
    } actions;
    if (!masterActionList.head()) {
        actions.loaded = true;
        initActions();
        if (masterActionList.load((gameDir + "/data/actions.dat").c_str()) <= 0) {
            ADD_FAILURE() << "cannot read the actions";
            return out;
        }
    }
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false, &error);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile << ": " << error;
        return out;
    }
    installQuestStores(archive.get());
    DirHandle_C world = archive->openDir("world");
    std::unique_ptr<Storable_C> rec = world ? world->load("party.dat") : nullptr;
    auto* p = dynamic_cast<bl3dParty*>(rec.get());
    if (!p)
        ADD_FAILURE() << "no party in " << questFile;
    for (int i = 0; p && i < p->getCount(); ++i) {
        bl3dPartyChar* m = p->getMember(i);
        SavedMember s;
        s.name = m->getName();
        RefStr_C n;
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            const bl3dItem* item = m->getSlotItem(slot);
            if (item)
                item->getDisplayName(n);
            s.slots.push_back(item ? n.c_str() : "");
        }
        for (int k = 0; k < m->getPack()->count(); ++k) {
            static_cast<const bl3dItem*>(m->getPack()->at(k))->getDisplayName(n);
            s.pack.push_back(n.c_str());
        }
        s.gold = m->rawGold();
        s.xp = m->getXP();
        s.hp = m->getCurHP();
        s.maxHp = m->getMaxHP();
        s.sp = m->getCurSP();
        s.maxSp = m->getMaxSP();
        for (int k = 0; k < STAT_COUNT; ++k)
            s.stats.push_back(m->getStatBlock()->getCur(k));
        for (const ActionNode_S* a = m->actions2()->head(); a; a = a->next)
            if (a->action)
                s.spells.push_back(a->action->name().c_str());
        for (const ActionNode_S* a = m->actions()->head(); a; a = a->next)
            if (a->action)
                s.abilities.push_back(a->action->name().c_str());
        out.push_back(s);
    }
    rec.reset();
    installQuestStores(nullptr);
    return out;
}

namespace {

// The world record as the game stores it: the position (x and z floats, z
// the negated row), facing, two song numbers, the map's path, the timed
// events (skipped), then what every world holds (the clock, the variables).
class WorldRecordReader : public bl3dGameWorld {
public:
    explicit WorldRecordReader(const RefStr_C& name) : bl3dGameWorld(name) {}
    int typeId() const override { return TYPE_RA2D_WORLD; }
    bool read(int version, MemStream_C& s) override
    {
        uint32_t xBits = 0, zBits = 0;
        int32_t facing = 0, songBits = 0, song = 0, serial = 0, events = 0;
        RefStr_C path;
        if (!s.readUInt32(xBits) || !s.readUInt32(zBits) || !s.readInt32(facing) || !s.readInt32(songBits) ||
            !s.readInt32(song) || !path.read(s) || !s.readInt32(serial) || !s.readInt32(events) || events < 0 ||
            uint64_t(events) * 12 > s.remaining())
            return false;
        s.skip(uint32_t(events) * 12);   // due tick, serial and type of each
        if (!readBase(version, s))
            return false;
        float x = 0, z = 0;
        std::memcpy(&x, &xBits, 4);
        std::memcpy(&z, &zBits, 4);
        world.map = path.c_str();
        world.x = int(x);
        world.y = int(-z);
        world.facing = facing;
        return true;
    }
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s)
    {
        auto r = std::make_unique<WorldRecordReader>(name);
        return r->read(version, s) ? std::move(r) : nullptr;
    }
    SavedWorld world;
};

} // namespace

SavedWorld savedWorld(const std::string& questFile, const std::vector<const char*>& varNames) {
    SavedWorld out;
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false, &error);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile << ": " << error;
        return out;
    }
    DirHandle_C world = archive->hasEntry("world") ? archive->openDir("world") : DirHandle_C();
    // The game's own reader builds the map the party stands on; this one
    // only reads the record.
    getTypeRegistry().add(TYPE_RA2D_WORLD, &WorldRecordReader::create);
    std::unique_ptr<Storable_C> rec = world && world->hasEntry("ra2d.dat") ? world->load("ra2d.dat") : nullptr;
    getTypeRegistry().add(TYPE_RA2D_WORLD, &ra2dGameWorld::create);
    auto* w = dynamic_cast<WorldRecordReader*>(rec.get());
    if (!w) {
        ADD_FAILURE() << "no world record in " << questFile;
        return out;
    }
    out = w->world;
    out.ok = true;
    out.ticks = w->getClock().getTicks();
    out.hour = w->getClock().getHour();
    out.minute = w->getClock().getMinute();
    for (const char* v : varNames)
        out.vars[v] = w->getVar(v);
    return out;
}

std::string describe(const SavedWorld& w) {
    return w.map + " (" + std::to_string(w.x) + ", " + std::to_string(w.y) + ") facing " + std::to_string(w.facing);
}

SavedQuest savedQuest(const std::string& questFile, const std::string& gameDir) {
    return SavedQuest{savedWorld(questFile), savedParty(questFile, gameDir)};
}

std::vector<std::string> savedRoster(const std::string& questFile) {
    std::vector<std::string> names;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile;
        return names;
    }
    DirHandle_C roster = archive->openDir("hall");
    for (int i = 0; roster && i < roster->getEntryCount(); ++i)
        names.push_back(roster->getEntryName(i));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> namesOf(const std::vector<SavedMember>& party) {
    std::vector<std::string> names;
    for (const SavedMember& m : party)
        names.push_back(m.name);
    return names;
}

std::map<std::string, int32_t> savedStock(const std::string& questFile, const char* shop)
{
    std::map<std::string, int32_t> out;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile;
        return out;
    }
    installQuestStores(archive.get());
    DirHandle_C dir = archive->hasEntry("shop") ? archive->openDir("shop") : DirHandle_C();
    std::unique_ptr<Storable_C> rec = dir && dir->hasEntry(shop) ? dir->load(shop) : nullptr;
    if (auto* stock = dynamic_cast<bl3dShopInv*>(rec.get())) {
        RefStr_C n;
        for (int i = 0; i < stock->count(); ++i) {
            const ShopStock_S* e = stock->at(i);
            if (!e->type)
                continue;
            e->type->getDisplayName(n);
            out[n.c_str()] = e->count;
        }
    }
    rec.reset();
    installQuestStores(nullptr);
    return out;
}

} // namespace rungame
