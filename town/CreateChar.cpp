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
#include "screens/PaneScreen.h"
#include "world/PaneText.h"
#include "town/Event_1000.h"
#include "world/Interface.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int SHIFT_BITS = KMOD_LSHIFT | KMOD_RSHIFT;

// The screen: a pane screen whose picture is the Hall's on the race and
// gender pages and the chosen portrait from the portrait page on. Its loop
// runs while a page is up: the created adventurer (CREATED) ends it too.
class CreateScreen_C : public PaneScreen_C {
public:
    int running = 0;   // the loop's own flag: 1 while a page is up
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

    void open(Interface_C* iface, Event_1000_C* h);
    void run() { runLoop(running, false); }
    Interface_C* iface() const { return iface_; }

    void setName(const char* typed);

private:
    void drawPicture() override;
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    bool isMessage() const override { return state_ == CreateChar_C::NO_CLASS; }
    void endMessage() override
    {
        iface_->clearULPic();
        setState(CreateChar_C::RACE);
    }

    void setState(int state);
    void setPortraitToPrefix();
    void appendPortrait(const char* text);
    void nextPortrait();
    void rollClasses(int nextState);
    std::string typedName() const;
    void create();
    void chooseClass();
    void nameKey(int sym, SDLMod mod);
    void statGrid(PaneText_C& pane) const;
    std::string raceAndGender() const;
};

CreateScreen_C& S()
{
    static CreateScreen_C screen;
    return screen;
}

void CreateScreen_C::open(Interface_C* iface, Event_1000_C* h)
{
    iface_ = iface;
    hall = h;
    setName("");
    result.reset();
    creationStats.clear();
    raceFactor = 0.0f;
    roll = ClassRoll_S();
    race = nullptr;
    classId = 0;
    male = true;
    portraitName[0] = '\0';
    classList.reset();
    state_ = CreateChar_C::RACE;
    running = 1;
}

void CreateScreen_C::setState(int state)
{
    const bool page = (state >= CreateChar_C::RACE && state <= CreateChar_C::PORTRAIT) || state == CreateChar_C::NO_CLASS;
    running = page ? 1 : 0;
    PaneScreen_C::setState(state);
}

void CreateScreen_C::setPortraitToPrefix()
{
    std::snprintf(portraitName, sizeof portraitName, "%s", race ? race->prefix : "");
}

void CreateScreen_C::appendPortrait(const char* text)
{
    const size_t len = std::strlen(portraitName);
    std::snprintf(portraitName + len, sizeof portraitName - len, "%s", text);
}

// The next numbered portrait of the race and gender; back to the base
// portrait after the last one the picture cache knows.
void CreateScreen_C::nextPortrait()
{
    char* p = portraitName;
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
    if (!iface_->picExists(p)) {
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
void CreateScreen_C::rollClasses(int nextState)
{
    CreateChar_C::rollStats(iface_);
    if (classList)
        setState(nextState);
    else
        setState(CreateChar_C::NO_CLASS);
}

void CreateScreen_C::setName(const char* typed)
{
    std::snprintf(name, sizeof name, "%s_", typed);
    nameLength = static_cast<int>(std::strlen(typed));
}

std::string CreateScreen_C::typedName() const
{
    return std::string(name, static_cast<size_t>(nameLength));
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

void CreateScreen_C::create()
{
    const std::string typed = typedName();
    if (typed.empty() || nameTaken(typed))
        return;   // the player edits the name
    const ClassDef_S* cls = firstClassWith(classId);
    if (!cls)
        return;
    result = makeCreatedChar(typed.c_str(), *cls, race->race, male, portraitName, creationStats, roll);
    setState(CreateChar_C::CREATED);
}

void CreateScreen_C::chooseClass()
{
    if (!classList)
        return;
    const ClassDef_S* cls = firstClassWith(classList->selectedValue());
    if (!cls)
        return;
    classId = cls->classId;
    roll = classStep(*cls, creationStats);
    setState(CreateChar_C::NAME);
}

void CreateScreen_C::nameKey(int sym, SDLMod mod)
{
    std::string typed = typedName();
    if (sym >= 'a' && sym <= 'z') {
        if (nameLength >= CreateChar_C::MAX_NAME)
            return;
        typed += static_cast<char>((mod & SHIFT_BITS) ? sym - 'a' + 'A' : sym);
    } else if (sym == SDLK_SPACE) {
        if (nameLength >= CreateChar_C::MAX_NAME)
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

void CreateScreen_C::statGrid(PaneText_C& pane) const
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

std::string CreateScreen_C::raceAndGender() const
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s (%c)", creationRaceName(race ? race->race : 0), male ? 'M' : 'F');
    return buf;
}

void CreateScreen_C::drawState(PaneText_C& pane)
{
    char buf[64];
    switch (state_) {
    case CreateChar_C::RACE:
        pane.line(1, "Race: ");
        for (int i = 0; i < CREATION_RACES; ++i) {
            const CreationRace_S* r = creationRace(i + 1);
            pane.line(3 + i, r->menuText, r->key);
        }
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::GENDER:
        pane.line(2, creationRaceName(race ? race->race : 0));
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
        CreateChar_C::drawClassList(iface_);
        pane.line(-3, "(R)e-roll", 'r');
        pane.line(-2, "(G)o back", 'g');
        pane.line(-1, "(RETURN) to Accept", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::NAME:
        pane.line(1, name);
        pane.line(2, raceAndGender().c_str());
        std::snprintf(buf, sizeof buf, "Lv:%2d", 1);
        pane.line(2, buf, 0, 160);
        pane.line(3, creationClassName(classId));
        statGrid(pane);
        std::snprintf(buf, sizeof buf, "HP: %2d/%2d", roll.hp, roll.hp);
        pane.line(9, buf);
        std::snprintf(buf, sizeof buf, "SP: %2d/%2d", roll.sp, roll.sp);
        pane.line(9, buf, 0, 115);
        pane.line(11, "XP: 0");
        std::snprintf(buf, sizeof buf, "Gold: %d", roll.gold);
        pane.line(12, buf);
        pane.line(-2, "Enter a Name");
        if (nameLength > 0)
            pane.line(-1, "(RETURN) to Save", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CreateChar_C::NO_CLASS:
        std::snprintf(buf, sizeof buf, "%s", creationRaceName(race ? race->race : 0));
        pane.wrapped(1, (std::string("No class of the realm will take this ") + buf
                         + ", however often the stats are rolled.  Choose another race.")
                            .c_str());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default: break;
    }
}

void CreateScreen_C::drawPicture()
{
    if (state_ == CreateChar_C::RACE || state_ == CreateChar_C::GENDER || state_ == CreateChar_C::NO_CLASS) {
        if (hall)
            hall->drawPic();
    } else if (state_ >= CreateChar_C::ROLLS && state_ <= CreateChar_C::PORTRAIT) {
        iface_->setULPic(portraitName);
        iface_->drawULPic();
    }
}

void CreateScreen_C::handleKey(int sym, SDLMod mod)
{
    switch (state_) {
    case CreateChar_C::RACE:
        creationStats.clear();
        if (sym == SDLK_ESCAPE) {
            setState(CreateChar_C::CANCELLED);
        } else if (const CreationRace_S* r = creationRaceForKey(sym)) {
            race = r;
            raceFactor = r->factor;
            addRaceModifiers(creationStats, *r);
            setPortraitToPrefix();
            setState(CreateChar_C::GENDER);
        }
        break;
    case CreateChar_C::GENDER:
        if (sym == 'm' || sym == 'f') {
            male = sym == 'm';
            appendPortrait(male ? "Male" : "Female");
            setState(CreateChar_C::PORTRAIT);
        } else if (sym == 'g') {
            setState(CreateChar_C::RACE);
        } else if (sym == SDLK_ESCAPE) {
            setState(CreateChar_C::CANCELLED);
        }
        break;
    case CreateChar_C::PORTRAIT:
        if (sym == 's') {
            nextPortrait();
            vell::pushRedraw();
        } else if (sym == 'c') {
            rollClasses(CreateChar_C::ROLLS);
        } else if (sym == 'g') {
            setPortraitToPrefix();
            setState(CreateChar_C::GENDER);
        }
        break;
    case CreateChar_C::ROLLS:
        if (sym == 'r') {
            rollClasses(CreateChar_C::ROLLS);
        } else if (moveListByKey(classList.get(), sym, false)) {
            vell::pushRedraw();
        } else if (sym == SDLK_RETURN) {
            chooseClass();
        } else if (sym == 'g') {
            iface_->clearULPic();
            setPortraitToPrefix();
            setState(CreateChar_C::GENDER);
        } else if (sym == SDLK_ESCAPE) {
            setState(CreateChar_C::CANCELLED);
        }
        break;
    case CreateChar_C::NAME: nameKey(sym, mod); break;
    default: break;
    }
}

} // namespace

std::unique_ptr<bl3dPartyChar> CreateChar_C::run(Interface_C* iface, Event_1000_C* hall)
{
    if (!iface)
        return nullptr;
    CreateScreen_C& s = S();
    s.open(iface, hall);
    s.run();
    s.classList.reset();
    if (s.getState() != CREATED)
        s.result.reset();
    return std::move(s.result);
}

void CreateChar_C::updateText(Interface_C*) { S().display(); }

void CreateChar_C::key(int sym, SDLMod mod, Interface_C*) { S().key(sym, mod); }

int32_t CreateChar_C::rollStats(Interface_C* iface)
{
    CreateScreen_C& s = S();
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
    CreateScreen_C& s = S();
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
    CreateScreen_C& s = S();
    if (!s.classList)
        return;
    PaneText_C pane(*iface);
    s.classList->draw(&pane.text(), pane.regions());
    pane.listRegion(9, -5, SDLK_RETURN, &ScrollList_C::mouseCallback, s.classList.get());
}

int CreateChar_C::getState() { return S().getState(); }
const char* CreateChar_C::getName() { return S().name; }
const char* CreateChar_C::getPortrait() { return S().portraitName; }
const ScrollList_C* CreateChar_C::getClassList() { return S().classList.get(); }
int32_t CreateChar_C::getClassId() { return S().classId; }
