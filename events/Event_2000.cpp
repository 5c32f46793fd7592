#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "events/Event_2000.h"

#include "audio/MasterAudio.h"
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/MouseRegions.h"
#include "core/RefStr.h"
#include "core/ScrollPane.h"
#include "core/TagList.h"
#include "events/Chest.h"
#include "events/EventAPI.h"
#include "events/ScriptWatch.h"
#include "platform/Random.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Money.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/SavingThrow.h"
#include "rules/StatBlock.h"
#include "rules/TagKeys.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/Map.h"
#include "world/Movement.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <strings.h>

namespace {

constexpr int kInputMax = 40;

// Every live scripted event by its handle. Handles count up and are never
// reused, so a handle kept by a script never reaches a later event.
struct HandleTable_S {
    std::map<int, Event_2000_C*> live;
    int next = 1;
};

// Never destroyed: events held by other globals may outlive any static.
HandleTable_S& handles()
{
    static HandleTable_S* table = new HandleTable_S;
    return *table;
}

std::string cut(const char* s, size_t max)
{
    std::string out = s ? s : "";
    if (out.size() > max)
        out.resize(max);
    return out;
}

bl3dPartyChar* member(int index)
{
    return party ? party->getMember(index) : nullptr;
}

// The display name of an item, charges included.
bool itemNamed(const bl3dItem* item, const char* name)
{
    if (!item)
        return false;
    RefStr_C shown;
    item->getDisplayName(shown);
    return std::strcmp(shown.c_str(), name) == 0;
}

} // namespace

// --- construction ------------------------------------------------------------------

Event_2000_C::Event_2000_C(const EventParams_S* params)
{
    if (params) {
        scriptName_ = cut(params->name, 255);
        baseExitX_ = params->exitX;
        baseExitY_ = params->exitY;
        baseExitFacing_ = params->exitFacing;
    }
    HandleTable_S& t = handles();
    handle_ = t.next++;
    t.live[handle_] = this;
    importScript();
}

Event_2000_C::~Event_2000_C()
{
    stopSpecAudio();
    releaseScript();
    handles().live.erase(handle_);
}

void Event_2000_C::importScript()
{
    if (scriptName_.empty() || !scriptingOnThisThread())
        return;
    PyObject* module = nullptr;
    {
        // A module runs its top level when imported: a script may hang there too.
        ScriptWatch_C watch(scriptName_);
        module = PyImport_ImportModule(scriptName_.c_str());
    }
    if (!module) {
        if (vell::quitRequested())
            reportStoppedScript(scriptName_.c_str());
        else
            PyErr_Clear();   // a square without its script: not ready, nothing said
        return;
    }
    PyObject* fire = PyObject_GetAttrString(module, "fireEvent");
    Py_DECREF(module);
    if (!fire || !PyCallable_Check(fire)) {
        PyErr_Clear();
        Py_XDECREF(fire);
        return;
    }
    args_ = Py_BuildValue("(i)", handle_);
    if (!args_) {
        PyErr_Clear();
        Py_DECREF(fire);
        return;
    }
    fireEvent_ = fire;
    ready_ = true;
}

void Event_2000_C::releaseScript()
{
    ready_ = false;
    if (!Py_IsInitialized()) {
        fireEvent_ = args_ = nullptr;   // gone with the interpreter
        return;
    }
    Py_CLEAR(fireEvent_);
    Py_CLEAR(args_);
}

Event_2000_C* Event_2000_C::running(long handle)
{
    const HandleTable_S& t = handles();
    auto it = t.live.find(static_cast<int>(handle));
    if (handle < 1 || handle > INT32_MAX || it == t.live.end() || it->second->runDepth_ == 0)
        return nullptr;
    return it->second;
}

void Event_2000_C::releaseAllScripts()
{
    for (auto& entry : handles().live)
        entry.second->releaseScript();
}

// --- the run -------------------------------------------------------------------------

int Event_2000_C::invoke(Interface_C* iface)
{
    // The same square cannot run inside its own run (a random event of the
    // timer pass started from its own tickGame): that run would share this
    // one's input and flags.
    if (runDepth_ > 0 || !iface)
        return 0;
    iface_ = iface;
    map_ = iface->getCurrentMap();
    exitX_ = baseExitX_;
    exitY_ = baseExitY_;
    exitFacing_ = baseExitFacing_;
    exitMap_ = map_ ? cut(map_->getFileName(), 255) : std::string();

    squareX_ = static_cast<int32_t>(iface->getCurX());
    squareY_ = static_cast<int32_t>(-iface->getCurZ());
    lFlagU_ = 0;
    lFlagS_ = 0;
    if (map_) {
        char keyU[32], keyS[32];
        squareKey(keyU, sizeof keyU, 'U');
        squareKey(keyS, sizeof keyS, 'S');
        lFlagU_ = map_->getTagList()->intValue(keyU);
        lFlagS_ = map_->getTagList()->intValue(keyS);
        lFlagS_ = static_cast<int32_t>((static_cast<uint32_t>(lFlagS_) & 0xffff0000u)
                                       | map_->getSquareState(squareX_, squareY_)
                                       | (static_cast<uint32_t>(iface->getEntryState()) << 8));
    }
    combatResult_ = 0;
    chestResult_ = 0;
    audioActive_ = false;
    audioName_.clear();

    int r = callFireEvent();
    if (r == -1)
        r = 0;   // nothing returned: moved like a 0
    vell::pushRedraw();
    endEvent(r);
    return 0;
}

int Event_2000_C::callFireEvent()
{
    if (!ready_ || !scriptingOnThisThread())
        return -999;
    ++runDepth_;
    PyObject* result = nullptr;
    {
        ScriptWatch_C watch(scriptName_);
        result = PyObject_CallObject(fireEvent_, args_);
    }
    --runDepth_;
    if (!result) {
        if (vell::quitRequested())
            reportStoppedScript(scriptName_.c_str());   // the game ends: the script was stopped
        else
            reportScriptError(scriptName_.c_str());
        return -1000;
    }
    int r = -1;
    if (PyLong_Check(result)) {
        int overflow = 0;
        const long v = PyLong_AsLongAndOverflow(result, &overflow);
        if (!overflow && v >= INT32_MIN && v <= INT32_MAX)
            r = static_cast<int>(v);
        else
            r = overflow < 0 || v < INT32_MIN ? INT32_MIN : INT32_MAX;
        PyErr_Clear();
    }
    Py_DECREF(result);
    return r;
}

int Event_2000_C::endEvent(int r)
{
    if (drawn_ && iface_)
        iface_->clearULPic();
    stopSpecAudio();
    if (map_) {
        storeFlag('U', lFlagU_);
        storeFlag('S', lFlagS_);
    }
    removeDeadMonsters();
    if (party && !party->anyoneAlive()) {
        carryToHall();
        return 0;
    }
    if (r != 1 && r > -999 && iface_) {
        Map_C* now = iface_->getCurrentMap();
        const std::string from = now ? now->getFileName() : "";
        if (!exitMap_.empty() && exitMap_ != from) {
            if (!iface_->newMap(exitMap_.c_str()))
                return 0;   // the map cannot be built: the party stays (the player was told)
            now = iface_->getCurrentMap();
        }
        // An exit off the grid, on a square that cannot be entered or with
        // no facing would leave the party nowhere, walled in or unable to
        // step (the script's own exits are refused when set; this is the
        // exit of the map's event line).
        if (now && (!now->canStand(exitX_, exitY_) || !movement::isFacing(exitFacing_))) {
            std::fprintf(stderr, "ERROR: the script '%s' sends the party to (%d, %d) facing %d of %s, where it "
                                 "cannot stand; it stays\n",
                         scriptName_.c_str(), exitX_, exitY_, exitFacing_, now->getFileName());
            if (!from.empty() && from != now->getFileName())
                iface_->newMap(from.c_str());
            return 0;
        }
        iface_->setCurX(static_cast<float>(exitX_));
        iface_->setCurZ(-static_cast<float>(exitY_));
        iface_->setFacing(exitFacing_);
    }
    return 0;
}

void Event_2000_C::squareKey(char* out, size_t size, char kind) const
{
    std::snprintf(out, size, "f%03dx%03d%c", squareX_, squareY_, kind);
}

void Event_2000_C::storeFlag(char kind, int32_t value)
{
    char key[32];
    squareKey(key, sizeof key, kind);
    map_->getTagList()->setInt(key, value);
}

void Event_2000_C::removeDeadMonsters()
{
    if (!party)
        return;
    for (int i = 0; i < party->getCount();) {
        bl3dPartyChar* m = party->getMember(i);
        if (m && m->isJoinedMonster() && m->getCurHP() < 1)
            party->removeAt(i);
        else
            ++i;
    }
}

bool Event_2000_C::exitUsable(const std::string& mapFile, int x, int y, int facing, std::string* why) const
{
    char text[160];
    if (!movement::isFacing(facing)) {
        std::snprintf(text, sizeof text, "facing %d: a facing is 0, 90, 180 or 270", facing);
        *why = text;
        return false;
    }
    const Map_C* current = iface_ ? iface_->getCurrentMap() : nullptr;
    const std::string file = !mapFile.empty() ? mapFile : current ? current->getFileName() : "";
    std::string reason;
    if (gameworld && !file.empty() && !gameworld->canStand(file.c_str(), x, y, &reason)) {
        *why = "(" + std::to_string(x) + ", " + std::to_string(y) + ") of " + file + ": " + reason;
        return false;
    }
    return true;
}

// The whole party fell to the script: to the town's Hall of Adventurers,
// without the main view's message.
void Event_2000_C::carryToHall()
{
    if (!iface_)
        return;
    EventParams_S params;
    params.exitX = 13;
    params.exitY = 24;
    params.exitFacing = 0;
    iface_->carryToHall(&params);
}

// --- screen and input ------------------------------------------------------------------

bool Event_2000_C::showPicture(const char* nickname)
{
    const std::string name = cut(nickname, 63);
    if (!iface_ || !iface_->picExists(name.c_str()))
        return false;
    picture_ = name;
    if (drawn_)
        display();
    return true;
}

void Event_2000_C::clearPicture()
{
    picture_.clear();
    if (drawn_)
        display();
}

bool Event_2000_C::playSpecAudio(const char* name)
{
    stopSpecAudio();
    audioName_ = cut(name, 255);
    audioActive_ = maserAudio.pushSpecAudio(audioName_.c_str(), false) >= 0;
    if (!audioActive_)
        audioName_.clear();
    return audioActive_;
}

void Event_2000_C::stopSpecAudio()
{
    if (!audioActive_)
        return;
    maserAudio.popSpecAudio();
    audioActive_ = false;
    audioName_.clear();
}

void Event_2000_C::newTextPane(const std::vector<std::string>& texts, int bottomLine)
{
    const ViewLayout_S& l = iface_->layout();
    textPane_ = std::make_unique<ScrollPane_C>(0, l.upperRight.left, l.upperRight.right, iface_->getURLineY(1),
                                               iface_->getURLineY(bottomLine));
    for (const std::string& t : texts)
        textPane_->addText(t.c_str(), &iface_->text());
}

int Event_2000_C::optionInput(const std::vector<std::string>& texts, const std::vector<std::string>& labels,
                              const std::vector<int>& keys)
{
    if (!iface_)
        return chosenKey_;
    labels_ = &labels;
    keys_ = &keys;
    inputMode_ = 1;
    newTextPane(texts, -(static_cast<int>(labels.size()) + 1));
    inputLoop();
    labels_ = nullptr;
    keys_ = nullptr;
    inputMode_ = 0;
    return chosenKey_;
}

const char* Event_2000_C::stringInput(const std::vector<std::string>& texts)
{
    if (!iface_) {
        input_.clear();
        return input_.c_str();
    }
    inputMode_ = 2;
    newTextPane(texts, -1);
    input_ = "_";
    inputLoop();
    if (!input_.empty() && input_.back() == '_')
        input_.pop_back();   // ended by the quit event: no cursor either
    inputMode_ = 0;
    return input_.c_str();
}

int Event_2000_C::maxOptionLabels() const
{
    if (!iface_)
        return INT32_MAX;   // nothing is shown
    const int lineHeight = iface_->text().getLineHeight();
    const int paneLines = (iface_->getURLineY(1) - iface_->getURLineY(0)) / lineHeight + 1;
    return paneLines - 3;   // one line of text and the blank line above the options
}

std::string Event_2000_C::inputLine() const
{
    if (!iface_)
        return "? " + input_;
    const ViewLayout_S& l = iface_->layout();
    const int width = l.upperRight.right - l.upperRight.left;
    const CommonInterface_C& text = iface_->text();
    size_t from = 0;
    while (from < input_.size() && text.widthStr(("? " + input_.substr(from)).c_str()) > width)
        ++from;
    return "? " + input_.substr(from);
}

void Event_2000_C::inputLoop()
{
    looping_ = 1;
    ModalLoop_C loop(
        looping_, [this](const SDL_keysym& k) { key(k.sym, k.mod); }, [this] { display(); });
    loop.setMouse(gameConfig.mouseSupport ? iface_->getMouseRegions() : nullptr)
        .setFrame([this] { iface_->drawBackground(); })
        .setPolling(true)
        .setSwap(false);
    loop.run();
    looping_ = 0;
}

void Event_2000_C::key(int sym, int modifiers)
{
    if (inputMode_ == 2) {
        const int typed = static_cast<int>(input_.size()) - 1;   // without the cursor
        if (sym >= 'a' && sym <= 'z' && typed < kInputMax) {
            const char c = static_cast<char>((modifiers & (KMOD_LSHIFT | KMOD_RSHIFT)) ? sym - 'a' + 'A' : sym);
            input_.insert(input_.size() - 1, 1, c);
            vell::pushRedraw();
            return;
        }
        if (sym == SDLK_SPACE && typed < kInputMax) {
            input_.insert(input_.size() - 1, 1, ' ');
            vell::pushRedraw();
            return;
        }
        if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
            if (typed > 0)
                input_.erase(input_.size() - 2, 1);
            vell::pushRedraw();
            return;
        }
        if (sym == SDLK_RETURN) {
            input_.pop_back();
            looping_ = 0;
            return;
        }
    } else if (inputMode_ == 1 && keys_) {
        for (int k : *keys_)
            if (k == sym) {
                chosenKey_ = sym;
                looping_ = 0;
                return;
            }
    }
    if (!textPane_)
        return;
    bool moved = moveListByKey(textPane_.get(), sym, true);
    if (sym == SDLK_HOME)
        moved = textPane_->home();
    else if (sym == SDLK_END)
        moved = textPane_->end();
    if (moved)
        vell::pushRedraw();
}

void Event_2000_C::display()
{
    if (!iface_)
        return;
    MouseRegions_C* regions = gameConfig.mouseSupport ? iface_->getMouseRegions() : nullptr;
    if (regions) {
        regions->clear();
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        regions->mouseMove(x, y, 1);
    }
    iface_->clearUR(false);
    if (!picture_.empty()) {
        if (!iface_->curPicNamed(picture_.c_str()))
            iface_->setULPic(picture_.c_str());
        iface_->drawULPic();
    } else {
        iface_->clearULPic();
        iface_->redrawUL();
    }
    iface_->drawCharText();
    glColor3f(0, 0, 0);
    if (textPane_)
        textPane_->drawPane(&iface_->text(), regions);
    PaneText_C pane(*iface_);
    if (inputMode_ == 2) {
        pane.line(-1, inputLine().c_str());
    } else if (inputMode_ == 1 && labels_ && keys_) {
        const int count = static_cast<int>(labels_->size());
        for (int i = 0; i < count; ++i)
            pane.line(i - (count - 1), (*labels_)[static_cast<size_t>(i)].c_str(), (*keys_)[static_cast<size_t>(i)]);
    }
    SDL_GL_SwapBuffers();
    drawn_ = true;
}

// --- tags and time ------------------------------------------------------------------------

int Event_2000_C::setTag(const char* name, int32_t value)
{
    if (!std::strcmp(name, "Combat") || !std::strcmp(name, "lFlagS"))
        return -2;
    if (!std::strcmp(name, "lFlagU")) {
        lFlagU_ = value;
        if (map_)
            storeFlag('U', value);
        return 0;
    }
    if (gameworld)
        gameworld->setVar(name, value);
    return 0;
}

int32_t Event_2000_C::getTag(const char* name) const
{
    if (!std::strcmp(name, "Combat"))
        return combatResult_;
    if (!std::strcmp(name, "lFlagS"))
        return lFlagS_;
    if (!std::strcmp(name, "lFlagU"))
        return lFlagU_;
    if (!std::strcmp(name, "Chest"))
        return chestResult_;
    return gameworld ? gameworld->getVar(name) : 0;
}

int Event_2000_C::tick(int ticks)
{
    if (ticks <= 0)
        return -2;
    if (gameworld)
        gameworld->getClock().advance(ticks, iface_);
    if (iface_)
        iface_->timerEvents();
    return 0;
}

bool Event_2000_C::setExit(const char* map, int x, int y, int facing, std::string* why)
{
    const std::string nextMap = map ? cut(map, 255) : exitMap_;
    const int32_t nextX = x >= 0 ? x : exitX_;
    const int32_t nextY = y >= 0 ? y : exitY_;
    const int32_t nextFacing = facing >= 0 ? facing : exitFacing_;
    std::string reason;
    if (!exitUsable(nextMap, nextX, nextY, nextFacing, &reason)) {
        if (why)
            *why = reason;
        return false;
    }
    exitMap_ = nextMap;
    exitX_ = nextX;
    exitY_ = nextY;
    exitFacing_ = nextFacing;
    return true;
}

// --- party ------------------------------------------------------------------------------------

bool Event_2000_C::isPC(int index) const
{
    const bl3dPartyChar* m = member(index);
    return m && m->isPC();
}

bool Event_2000_C::hasItem(int index, const char* name) const
{
    const bl3dPartyChar* m = member(index);
    if (!m)
        return false;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        if (itemNamed(m->getSlotItem(slot), name))
            return true;
    for (int i = 0; i < m->getPack()->count(); ++i)
        if (itemNamed(static_cast<const bl3dItem*>(m->getPack()->at(i)), name))
            return true;
    return false;
}

bool Event_2000_C::removeItem(int index, const char* name)
{
    bl3dPartyChar* m = member(index);
    if (!m)
        return false;
    for (int i = 0; i < m->getPack()->count(); ++i) {
        auto* item = static_cast<bl3dItem*>(m->getPack()->at(i));
        if (itemNamed(item, name)) {
            m->getPack()->unlink(item);
            delete item;
            return true;
        }
    }
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        if (itemNamed(m->getSlotItem(slot), name)) {
            delete m->takeFromSlot(slot);
            return true;
        }
    return false;
}

bool Event_2000_C::modifyXP(int index, int amount)
{
    if (bl3dPartyChar* m = member(index); m && amount >= 0)
        m->addXP(amount);
    return true;
}

bool Event_2000_C::modifyHP(int index, int amount)
{
    bl3dPartyChar* m = member(index);
    if (!m)
        return false;
    if (m->getCurHP() > 0)
        m->changeHP(amount);
    return m->isJoinedMonster() || m->getCurHP() > 0;
}

bool Event_2000_C::modifySP(int index, int amount, bool force)
{
    bl3dPartyChar* m = member(index);
    if (!m)
        return false;
    if (amount < 0 && static_cast<int64_t>(m->getCurSP()) + amount < 0 && !force)
        return false;
    m->addSP(amount);
    return true;
}

// A failure (a negative amount larger than the points left, without force)
// writes nothing.
bool Event_2000_C::modifyBP(int index, int amount, bool force)
{
    bl3dPartyChar* m = member(index);
    if (!m)
        return false;
    if (!m->isClass(0x2))
        return amount >= 0;
    TagList_C* attrs = m->getTagList();
    const int64_t cur = attrs->intValue(tagkey::CurSongs);
    const int64_t max = attrs->intValue(tagkey::MaxSongs);
    int64_t next = cur + amount;
    const bool failed = amount < 0 && next < 0;
    if (failed && !force)
        return false;
    if (next > max)
        next = max;
    else if (next < 0)
        next = 0;   // forced
    attrs->setInt(tagkey::CurSongs, static_cast<int32_t>(next));
    return !failed;
}

bool Event_2000_C::modifyGold(int index, int amount, bool takeAll)
{
    bl3dPartyChar* m = member(index);
    if (!m)
        return false;
    if (amount >= 0) {
        money::receive(*m, amount);
        return true;
    }
    const int32_t cost = amount == INT32_MIN ? INT32_MAX : -amount;
    if (money::pay(*m, cost))
        return true;
    if (takeAll)
        money::pay(*m, m->getGold());
    return false;
}

int Event_2000_C::savingThrow(const char* kind, int index, int bonus)
{
    bl3dPartyChar* m = member(index);
    if (!m || !kind)
        return -1;
    struct Element_S {
        const char* name;
        int element;
    };
    static const Element_S elements[] = {
        {"fire", ELEMENT_FIRE}, {"water", ELEMENT_WATER}, {"earth", ELEMENT_EARTH}, {"air", ELEMENT_AIR}};
    for (const Element_S& e : elements)
        if (!strcasecmp(kind, e.name))
            return rollElementResist(m, e.element) ? 0 : 1;
    if (!strcasecmp(kind, "dex"))
        return vell::gameRand() % 25 >= m->getStatBlock()->getCur(STAT_DX) ? 1 : 0;
    if (!strcasecmp(kind, "con"))
        return vell::gameRand() % 25 >= m->getStatBlock()->getCur(STAT_CN) ? 1 : 0;
    struct Save_S {
        const char* name;
        int index;
    };
    static const Save_S saves[] = {{"paralyzation", 0}, {"poison", 0}, {"death", 0}, {"stoning", 2},
                                   {"polymorph", 2},    {"breath", 3}, {"spells", 4}, {"psionics", 5}};
    for (const Save_S& s : saves)
        if (!strcasecmp(kind, s.name))
            return rollSavingThrow(m, s.index, bonus) ? 0 : 1;
    return -1;
}

void Event_2000_C::poison(int index, int diceCount, int diceSides, int bonus, int tickStride, bool allowSave,
                          int duration)
{
    if (bl3dPartyChar* m = member(index))
        m->poison(static_cast<uint32_t>(duration), diceSides, diceCount, bonus, tickStride, allowSave);
}

// --- events started by the script ------------------------------------------------------

int Event_2000_C::combat()
{
    std::unique_ptr<Event_C> fight = createEncounterEvent(ENCOUNTER_FIGHT, nullptr);
    const int r = fight ? fight->invoke(iface_) : 999;
    switch (r) {
    case -1: combatResult_ = 3; break;
    case 0: combatResult_ = 1; break;
    case 1: combatResult_ = 2; break;
    default: combatResult_ = 999; break;
    }
    return combatResult_;
}

int Event_2000_C::chest(int trap, int lock, int gold, const std::vector<std::string>& names, int randomCount,
                        const char* description)
{
    auto box = std::make_unique<Chest_S>();
    box->trap = trap;
    box->lock = static_cast<uint8_t>(lock);
    box->gold = gold;
    std::snprintf(box->description, sizeof box->description, "%s", description ? description : "something");
    for (size_t i = 0; i < names.size(); ++i) {
        bl3dItemType* type = masterITL.findByName(names[i].c_str());
        if (!type) {
            std::fprintf(stderr, "ERROR: the script '%s' names the item '%s', which the game does not have\n",
                         scriptName_.c_str(), names[i].c_str());
            return -(static_cast<int>(i) + 100);
        }
        box->items.pushFront(type->newInstance());
    }
    for (int i = 0; i < randomCount; ++i)
        if (Map_C* m = iface_ ? iface_->getCurrentMap() : nullptr)
            if (bl3dItem* item = m->randItem())   // a table entry naming no type gives none
                box->items.pushFront(item);

    EventParams_S params;
    params.chest = box.get();
    std::unique_ptr<Event_C> event = createEncounterEvent(ENCOUNTER_CHEST, &params);
    int r = -1;
    if (event) {
        box.release();   // the chest event owns it now
        r = event->invoke(iface_);
    }
    chestResult_ = r == 0 ? 1 : r == 1 ? 2 : -1;
    return chestResult_;
}

bool Event_2000_C::callEvent(int type, const std::vector<std::string>& args, std::string* why)
{
    EventParams_S params;
    if (!args.empty())
        std::snprintf(params.name, sizeof params.name, "%s", args[0].c_str());
    auto exitItem = [&args](size_t i, int32_t own) {
        if (i >= args.size())
            return own;
        const long v = std::strtol(args[i].c_str(), nullptr, 10);
        return v < 0 || v > INT32_MAX ? own : static_cast<int32_t>(v);
    };
    params.exitX = exitItem(1, exitX_);
    params.exitY = exitItem(2, exitY_);
    params.exitFacing = exitItem(3, exitFacing_);

    std::unique_ptr<Event_C> event;
    if (type == EVENT_MOVIE) {
        event = createEncounterEvent(ENCOUNTER_MOVIE, &params);
    } else if (isMapEventId(type) && type != typeId()) {
        // A building puts the party on its exit of the current map.
        std::string reason;
        if (!exitUsable("", params.exitX, params.exitY, params.exitFacing, &reason)) {
            if (why)
                *why = reason;
            return false;
        }
        event = createMapEvent(type, &params);
    }
    if (!event)
        return false;
    event->invoke(iface_);
    return true;
}
