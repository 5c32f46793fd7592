#include "town/CreateChar.h"

#include "core/ArchiveFile.h"
#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "rules/CharCreation.h"
#include "rules/ClassDef.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/StatBlock.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "town/Event_1000.h"
#include "world/Interface.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int SHIFT_BITS = KMOD_LSHIFT | KMOD_RSHIFT;

struct CreateScreen_S {
    int state = CreateChar_C::CANCELLED;
    int running = 0;   // the loop's own flag: 1 while a page is up
    Interface_C* iface = nullptr;
    Event_1000_C* hall = nullptr;
    const CreationRace_S* race = nullptr;
    float raceFactor = 0.0f;
    bool male = true;
    char portraitName[40] = {};
    std::unique_ptr<ScrollList_C> classList;
    int32_t classId = 0;
    ClassRoll_S roll;
    char name[32] = {};
    int nameLength = 0;
    std::unique_ptr<bl3dPartyChar> result;
};

CreateScreen_S& S()
{
    static CreateScreen_S screen;
    return screen;
}

void setState(int state)
{
    CreateScreen_S& s = S();
    s.state = state;
    const bool page = (state >= CreateChar_C::RACE && state <= CreateChar_C::PORTRAIT) || state == CreateChar_C::NO_CLASS;
    s.running = page ? 1 : 0;
    vell::pushRedraw();
}

void setPortraitToPrefix()
{
    CreateScreen_S& s = S();
    std::snprintf(s.portraitName, sizeof s.portraitName, "%s", s.race ? s.race->prefix : "");
}

void appendPortrait(const char* text)
{
    CreateScreen_S& s = S();
    const size_t len = std::strlen(s.portraitName);
    std::snprintf(s.portraitName + len, sizeof s.portraitName - len, "%s", text);
}

// The next numbered portrait of the race and gender; back to the base
// portrait after the last one the picture cache knows.
void nextPortrait()
{
    CreateScreen_S& s = S();
    char* p = s.portraitName;
    const size_t len = std::strlen(p);
    if (len == 0)
        return;
    const char c = p[len - 1];
    if (c > '9') {
        appendPortrait("02");
    } else if (len >= 2) {
        char& tens = p[len - 2];
        char& units = p[len - 1];
        if (units < '9') {
            ++units;
        } else if (tens < '9') {
            units = '0';
            ++tens;
        } else {
            tens = 'X';
            units = 'X';
        }
    }
    if (!s.iface->picExists(p)) {
        const size_t now = std::strlen(p);
        if (now >= 2)
            p[now - 2] = '\0';
    }
}

// The first class of the class file with that bit.
const ClassDef_S* firstClassWith(int32_t bit)
{
    for (const ClassDef_S& c : classDef)
        if (c.classId == bit)
            return &c;
    return nullptr;
}

// Rolls and shows the classes on offer, or tells the player that none
// would take the race.
void roll(int nextState)
{
    CreateChar_C::rollStats(S().iface);
    if (S().classList)
        setState(nextState);
    else
        setState(CreateChar_C::NO_CLASS);
}

void setName(const char* typed)
{
    CreateScreen_S& s = S();
    std::snprintf(s.name, sizeof s.name, "%s_", typed);
    s.nameLength = static_cast<int>(std::strlen(typed));
}

std::string typedName()
{
    const CreateScreen_S& s = S();
    return std::string(s.name, static_cast<size_t>(s.nameLength));
}

// A name the roster holds, or a member of the party: a monster that joined
// since the last save has no record in the roster yet, and the next save
// would store it over the new adventurer's.
bool nameTaken(const std::string& name)
{
    if (party && party->hasMember(name.c_str()))
        return true;
    if (!saveFile)
        return false;
    DirHandle_C hall = saveFile->openDir("hall");
    return hall && hall->hasEntry(name.c_str());
}

void create()
{
    CreateScreen_S& s = S();
    const std::string name = typedName();
    if (name.empty() || nameTaken(name))
        return;   // the player edits the name
    const ClassDef_S* cls = firstClassWith(s.classId);
    if (!cls)
        return;
    s.result = makeCreatedChar(name.c_str(), *cls, s.race->race, s.male, s.portraitName, creationStats, s.roll);
    setState(CreateChar_C::CREATED);
}

void chooseClass()
{
    CreateScreen_S& s = S();
    if (!s.classList)
        return;
    const ClassDef_S* cls = firstClassWith(s.classList->selectedValue());
    if (!cls)
        return;
    s.classId = cls->classId;
    s.roll = classStep(*cls, creationStats);
    setState(CreateChar_C::NAME);
}

void nameKey(int sym, SDLMod mod)
{
    CreateScreen_S& s = S();
    std::string typed = typedName();
    if (sym >= 'a' && sym <= 'z') {
        if (s.nameLength >= CreateChar_C::MAX_NAME)
            return;
        typed += static_cast<char>((mod & SHIFT_BITS) ? sym - 'a' + 'A' : sym);
    } else if (sym == SDLK_SPACE) {
        if (s.nameLength >= CreateChar_C::MAX_NAME)
            return;
        typed += ' ';
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        if (typed.empty())
            return;
        typed.pop_back();
    } else if (sym == SDLK_ESCAPE) {
        undoClassStep(creationStats);
        setName("");
        setState(CreateChar_C::ROLLS);
        return;
    } else if (sym == SDLK_RETURN) {
        create();
        return;
    } else {
        return;
    }
    setName(typed.c_str());
    vell::pushRedraw();
}

// --- drawing ---------------------------------------------------------------------

void statGrid(PaneText_C& pane)
{
    static const struct {
        int line;
        const char* label[3];
        int stat[3];
    } rows[] = {
        {5, {"St:", "IQ:", "Co:"}, {STAT_ST, STAT_IQ, STAT_CO}},
        {6, {"Dx:", "Wi:", "Lk:"}, {STAT_DX, STAT_WI, STAT_LK}},
        {7, {"Cn:", "Ch:", "AC:"}, {STAT_CN, STAT_CH, STAT_AC}},
    };
    char buf[16];
    for (const auto& r : rows)
        for (int col = 0; col < 3; ++col) {
            pane.line(r.line, r.label[col], 0, col * 80);
            std::snprintf(buf, sizeof buf, "%d", creationStats.getCur(r.stat[col]));
            pane.line(r.line, buf, 0, col * 80 + 40);
        }
}

std::string raceAndGender()
{
    const CreateScreen_S& s = S();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s (%c)", creationRaceName(s.race ? s.race->race : 0), s.male ? 'M' : 'F');
    return buf;
}

void drawPage(Interface_C* iface)
{
    CreateScreen_S& s = S();
    PaneText_C pane(*iface);
    glColor3f(0, 0, 0);
    char buf[64];
    switch (s.state) {
    case CreateChar_C::RACE:
        pane.line(1, "Race: ");
        for (int i = 0; i < CREATION_RACES; ++i) {
            const CreationRace_S* r = creationRace(i + 1);
            pane.line(3 + i, r->menuText, r->key);
        }
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::GENDER:
        pane.line(2, creationRaceName(s.race ? s.race->race : 0));
        pane.line(4, "Gender:");
        pane.line(6, "(M)ale", 'm');
        pane.line(7, "(F)emale", 'f');
        pane.line(-1, "(G)o back", 'g');
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::PORTRAIT:
        pane.line(3, "(S)wap Pic", 's');
        pane.line(-1, "(G)o Back", 'g');
        pane.line(0, "(C)ontinue", 'c');
        break;
    case CreateChar_C::ROLLS:
        pane.line(2, raceAndGender().c_str());
        statGrid(pane);
        CreateChar_C::drawClassList(iface);
        pane.line(-3, "(R)e-roll", 'r');
        pane.line(-2, "(G)o back", 'g');
        pane.line(-1, "(RETURN) to Accept", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::NAME:
        pane.line(1, s.name);
        pane.line(2, raceAndGender().c_str());
        std::snprintf(buf, sizeof buf, "Lv:%2d", 1);
        pane.line(2, buf, 0, 160);
        pane.line(3, creationClassName(s.classId));
        statGrid(pane);
        std::snprintf(buf, sizeof buf, "HP: %2d/%2d", s.roll.hp, s.roll.hp);
        pane.line(9, buf);
        std::snprintf(buf, sizeof buf, "SP: %2d/%2d", s.roll.sp, s.roll.sp);
        pane.line(9, buf, 0, 115);
        pane.line(11, "XP: 0");
        std::snprintf(buf, sizeof buf, "Gold: %d", s.roll.gold);
        pane.line(12, buf);
        pane.line(-2, "Enter a Name");
        if (s.nameLength > 0)
            pane.line(-1, "(RETURN) to Save", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::NO_CLASS:
        std::snprintf(buf, sizeof buf, "%s", creationRaceName(s.race ? s.race->race : 0));
        pane.wrapped(1, (std::string("No class of the realm will take this ") + buf
                         + ", however often the stats are rolled.  Choose another race.")
                            .c_str());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default: break;
    }
}

void drawPicture(Interface_C* iface)
{
    CreateScreen_S& s = S();
    if (s.state == CreateChar_C::RACE || s.state == CreateChar_C::GENDER || s.state == CreateChar_C::NO_CLASS) {
        if (s.hall)
            s.hall->drawPic();
    } else if (s.state >= CreateChar_C::ROLLS && s.state <= CreateChar_C::PORTRAIT) {
        iface->setULPic(s.portraitName);
        iface->drawULPic();
    }
}

} // namespace

std::unique_ptr<bl3dPartyChar> CreateChar_C::run(Interface_C* iface, Event_1000_C* hall)
{
    if (!iface)
        return nullptr;
    CreateScreen_S& s = S();
    s.iface = iface;
    s.hall = hall;
    setName("");
    s.result.reset();
    creationStats.clear();
    s.raceFactor = 0.0f;
    s.roll = ClassRoll_S();
    s.race = nullptr;
    s.classId = 0;
    s.male = true;
    s.portraitName[0] = '\0';
    s.classList.reset();
    s.state = RACE;
    s.running = 1;
    ModalLoop_C loop(
        s.running, [iface](const SDL_keysym& k) { key(k.sym, k.mod, iface); },
        [iface] {
            drawPicture(iface);
            updateText(iface);
        });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); });
    loop.run();
    s.classList.reset();
    if (s.state != CREATED)
        s.result.reset();
    return std::move(s.result);
}

void CreateChar_C::updateText(Interface_C* iface)
{
    beginPage(*iface, nullptr);
    drawPage(iface);
    refreshCursor(*iface);
}

void CreateChar_C::key(int sym, SDLMod mod, Interface_C* iface)
{
    CreateScreen_S& s = S();
    switch (s.state) {
    case RACE:
        creationStats.clear();
        if (sym == SDLK_ESCAPE) {
            setState(CANCELLED);
        } else if (const CreationRace_S* r = creationRaceForKey(sym)) {
            s.race = r;
            s.raceFactor = r->factor;
            addRaceModifiers(creationStats, *r);
            setPortraitToPrefix();
            setState(GENDER);
        }
        break;
    case GENDER:
        if (sym == 'm' || sym == 'f') {
            s.male = sym == 'm';
            appendPortrait(s.male ? "Male" : "Female");
            setState(PORTRAIT);
        } else if (sym == 'g') {
            setState(RACE);
        } else if (sym == SDLK_ESCAPE) {
            setState(CANCELLED);
        }
        break;
    case PORTRAIT:
        if (sym == 's') {
            nextPortrait();
            vell::pushRedraw();
        } else if (sym == 'c') {
            roll(ROLLS);
        } else if (sym == 'g') {
            setPortraitToPrefix();
            setState(GENDER);
        }
        break;
    case ROLLS:
        if (sym == 'r') {
            roll(ROLLS);
        } else if (moveListByKey(s.classList.get(), sym, false)) {
            vell::pushRedraw();
        } else if (sym == SDLK_RETURN) {
            chooseClass();
        } else if (sym == 'g') {
            iface->clearULPic();
            setPortraitToPrefix();
            setState(GENDER);
        } else if (sym == SDLK_ESCAPE) {
            setState(CANCELLED);
        }
        break;
    case NAME: nameKey(sym, mod); break;
    case NO_CLASS:
        if (sym == SDLK_SPACE) {
            iface->clearULPic();
            setState(RACE);
        }
        break;
    default: break;
    }
}

int32_t CreateChar_C::rollStats(Interface_C* iface)
{
    CreateScreen_S& s = S();
    for (int i = 0; i < MAX_ROLLS; ++i) {
        creationStats.rollCreation(s.raceFactor);
        const int32_t offered = buildClassList(iface);
        if (s.classList->getNumLines() > 0)
            return offered;
    }
    s.classList.reset();
    return 0;
}

int32_t CreateChar_C::buildClassList(Interface_C* iface)
{
    CreateScreen_S& s = S();
    PaneText_C pane(*iface);
    s.classList = std::make_unique<ScrollList_C>(&iface->text(), pane.left(), pane.right(), pane.lineY(9),
                                                 pane.lineY(-5));
    int32_t offered = 0;
    const int32_t race = s.race ? s.race->race : 0;
    for (const ClassDef_S& c : classDef) {
        if (!c.allows(race, &creationStats))
            continue;
        s.classList->addLine(c.name.c_str(), c.classId, true);
        offered |= c.classId;
    }
    return offered;
}

void CreateChar_C::drawClassList(Interface_C* iface)
{
    CreateScreen_S& s = S();
    if (!s.classList)
        return;
    PaneText_C pane(*iface);
    s.classList->draw(&pane.text(), pane.regions());
    pane.listRegion(9, -5, SDLK_RETURN, &ScrollList_C::mouseCallback, s.classList.get());
}

int CreateChar_C::getState() { return S().state; }
const char* CreateChar_C::getName() { return S().name; }
const char* CreateChar_C::getPortrait() { return S().portraitName; }
const ScrollList_C* CreateChar_C::getClassList() { return S().classList.get(); }
int32_t CreateChar_C::getClassId() { return S().classId; }
