#include "town/Event_1003.h"

#include "actions/Spell.h"
#include "core/CommonInterface.h"
#include "core/ModalLoop.h"
#include "core/ScrollPane.h"
#include "rules/ActionList.h"
#include "rules/Money.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "screens/CharSheetText.h"
#include "world/PaneText.h"
#include "town/TownPrices.h"
#include "world/Interface.h"

#include <cstdio>
#include <string>

namespace {

constexpr int32_t GEOMANCER_PATH = 0x10;
constexpr int32_t AEROMANCER_PATH = 0x40;
constexpr int32_t ISOMANCER_PATH = 0x100;
constexpr int32_t ELEMENT_PATHS = 0xF0;   // the four elements that count in a path's price
constexpr int32_t GEOMANCER = 0x0200;
constexpr int32_t AEROMANCER = 0x0800;
constexpr int LAST_SCHOOL = 5;
constexpr int32_t PATH_LEVEL_NEEDED = 12;
constexpr int64_t PATH_PRICE_STEP = 10000;
constexpr int PATH_TICKS = 60;
constexpr int SPELL_COUNT_BITS = 4;
constexpr int32_t SPELL_COUNT_MAX = 0xF;
constexpr int SPELL_LEVELS_COUNTED = 32 / SPELL_COUNT_BITS;

int32_t attr(const bl3dPartyChar& m, const char* key) { return m.getTagList()->intValue(key); }
void setAttr(bl3dPartyChar& m, const char* key, int32_t v) { m.getTagList()->setInt(key, v); }

int32_t spellsOfLevel(int32_t ptSp, int level)
{
    return (static_cast<uint32_t>(ptSp) >> (SPELL_COUNT_BITS * (level - 1))) & SPELL_COUNT_MAX;
}

int bitCount(int32_t bits)
{
    int n = 0;
    for (uint32_t b = static_cast<uint32_t>(bits); b; b &= b - 1)
        ++n;
    return n;
}

} // namespace

Event_1003_C::Event_1003_C(const EventParams_S* params) : Guild_C(params) {}

Event_1003_C::~Event_1003_C() = default;

int32_t Event_1003_C::countSpell(int32_t ptSp, int32_t level)
{
    if (level < 1 || level > SPELL_LEVELS_COUNTED || spellsOfLevel(ptSp, level) == SPELL_COUNT_MAX)
        return ptSp;
    return static_cast<int32_t>(static_cast<uint32_t>(ptSp) + (1u << (SPELL_COUNT_BITS * (level - 1))));
}

int32_t Event_1003_C::elementalPath(int32_t pathAttr, int32_t classId)
{
    if (pathAttr != 0)
        return pathAttr;
    if (classId & 0x0200)
        return 0x10;
    if (classId & 0x0400)
        return 0x20;
    if (classId & 0x0800)
        return 0x40;
    if (classId & 0x1000)
        return 0x80;
    return 0;
}

const char* Event_1003_C::closedText() const
{
    return "We're sorry, but the masters are cloistered, contemplating the mysteries of the universe.  Please come "
           "again.";
}

// --- the guild's values -----------------------------------------------------------------

bool Event_1003_C::isOfGuild(const bl3dPartyChar& m) const { return m.isClass(GUILD_CLASSES); }

int64_t Event_1003_C::trainingPrice(int32_t level) const { return (int64_t(level) + 1) * 100; }

bool Event_1003_C::isOffered(const bl3dAction& action, bl3dPartyChar& m) const
{
    if (!action.isSpell() || action.getLevel() > attr(m, tagkey::SPlv))
        return false;
    const int32_t school = m.isClass(MAGICIAN) ? attr(m, tagkey::Path) : 0;
    if (action.school() != school && !action.isForClass(ELEMENTAL_CLASSES))
        return false;
    if (!action.isForClass(m.getClassId()))
        return false;
    return m.actions2()->getAction(action.actionID()) == nullptr;
}

ActionList* Event_1003_C::learnedList(bl3dPartyChar& m) const { return m.actions2(); }

void Event_1003_C::afterLearning(bl3dPartyChar& m, const bl3dAction& action)
{
    setAttr(m, tagkey::PtSp, countSpell(attr(m, tagkey::PtSp), action.getLevel()));
}

// --- texts -------------------------------------------------------------------------

bool Event_1003_C::isOwnMessage(int state) const
{
    return state == PATH_NOT_OF_GUILD || state == PATH_NOT_READY || state == PATH_SHORT || state == PATH_CHANGED
           || state == PATH_DECLINED;
}

const char* Event_1003_C::text(int state) const
{
    switch (state) {
    case TRAIN_WHO: return "Who wishes to train with our learned instructors?";
    case NOT_OF_GUILD: return "Thou art not a man of learning or wisdom.  Be Gone!";
    case NOT_READY:
        return "You find that you haven't learned as much as you thought since your last visit, and further wisdom is "
               "beyond you.";
    case TRAIN_OFFER:
        return "Your support of our guild is greatly appreciated.  This lesson will cost you %lld gold.  Will you pay?";
    case TRAIN_SHORT:
        return "We appreciate your enthusiasm for education, but you do not have the funds.  Please return when you "
               "are equiped to pay for our service.";
    case TRAINED:
        return "After long study at dusty tomes with skilled professors of knowledge, you find insight!";
    case TRAIN_DECLINED:
        return "Education is not free.  Come back when you are willing to support your education.";
    case BUY_WHO: return "Who wishes to purchase spells?";
    case CANNOT_LEARN:
        return "The concepts involved are clearly beyond you!  Perhaps the study of magic would help.";
    case OFFER_LIST: return "Which spell?";
    case BUY_OFFER: return "That knowledge will cost you %lld gold.  Will you pay?";
    case BUY_SHORT:
        return "I notice that your purse does not agree with your desire.  Return when your funds are more plentiful, "
               "and we'll be happy to share our wisdom with you.";
    case BOUGHT: return "You study the symbols in the ancient texts, and acquire the lore you seek!";
    case BUY_DECLINED:
        return "I'm sorry to hear that you are unwilling to acquire this valuable information.  If you change your "
               "mind, it will be here for you.";
    case PATH_WHO: return "Who wishes to change their path?";
    case PATH_NOT_OF_GUILD:
        return "Though your desire to now explore the magical lore is laudable, instruction must begin at a much "
               "younger age than yours.  Perhaps you should seek advancement at your own guild?";
    case PATH_CHOICE: return "Which path do you wish to pursue?";
    case PATH_NOT_READY:
        return "You do not meet the minimum requirements for a path change!  Please return when you are better "
               "prepared.";
    case PATH_OFFER:
        return "Instruction in the basic techniques required for your new path will cost %lld gold.  Will you pay?";
    case PATH_SHORT:
        return "I notice that your purse does not agree with your desire.  Return when your funds are more plentiful, "
               "and we'll be happy to help you find your way.";
    case PATH_CHANGED:
        return "After the wise members of the guild instruct you in the basic techniques and principals of your new "
               "path, you feel ready to begin exploring new facets of the world!";
    case PATH_DECLINED:
        return "I'm sorry to hear that you are unwilling to pay for such complex instruction.  If you change your "
               "mind, we will be here for you.";
    case NOTHING_OFFERED:
        return "All of the spells in the great books that you do not already know are seemingly gibberish.  Perhaps "
               "further study is required?";
    default: return "";
    }
}

// --- drawing -----------------------------------------------------------------------

void Event_1003_C::drawMenu(PaneText_C& pane)
{
    pane.wrapped(1, "Welcome scholars to the Collegium of Magika.  How may we help you?");
    pane.line(6, "(T)rain with an elder", 't');
    pane.line(7, "(A)cquire spells for your book", 'a');
    pane.line(9, "(C)hange your path", 'c');
    pane.line(-1, "(F1-F8) to View");
    pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
}

void Event_1003_C::drawOwnState(PaneText_C& pane)
{
    switch (state_) {
    case OFFER_LIST: pane.line(-2, "(TAB) for Info", SDLK_TAB); return;
    case PATH_CHOICE: {
        int line = 1 + pane.wrapped(1, text(PATH_CHOICE)) + 1;
        if (!(pathBits_ & GEOMANCER_PATH)) {
            pane.line(line, "(G)eomancer", 'g');
            line += 2;
        }
        if (!(pathBits_ & AEROMANCER_PATH))
            pane.line(line, "(A)eromancer", 'a');
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        return;
    }
    case SPELL_INFO:
        if (info_)
            info_->drawPane(&pane.text(), pane.regions());
        pane.line(0, "(ESCAPE) to Go Back", SDLK_ESCAPE);
        return;
    default: return;
    }
}

// --- keys --------------------------------------------------------------------------

void Event_1003_C::ownMenuKey(int sym)
{
    if (sym == 'c')
        setState(PATH_WHO);
}

void Event_1003_C::ownListKey(int sym)
{
    if (sym == SDLK_TAB && selectedAction()) {
        showInfo();
        setState(SPELL_INFO);
    }
}

void Event_1003_C::showInfo()
{
    const bl3dAction* a = selectedAction();
    PaneText_C pane(*iface_);
    info_ = std::make_unique<ScrollPane_C>(0, pane.left(), pane.right(), pane.lineY(1), pane.lineY(-2));
    const CommonInterface_C* font = &iface_->text();
    char buf[128];
    info_->addText(a->name().c_str(), font);
    std::snprintf(buf, sizeof buf, "%s (Lvl: %d)", charsheet::spellSchool(*a).c_str(), int(a->getLevel()));
    info_->addText(buf, font);
    if (const auto* spell = dynamic_cast<const bl3dSpell*>(a)) {
        std::snprintf(buf, sizeof buf, "Code: %s", spell->code());
        info_->addText(buf, font);
        std::snprintf(buf, sizeof buf, "Cost: %d", int(spell->spCost()));
        info_->addText(buf, font);
    }
    if (a->range() != 0)
        std::snprintf(buf, sizeof buf, "Range: %d'\n\n", int(a->range()));
    else
        std::snprintf(buf, sizeof buf, "\n");
    info_->addText(buf, font);
    info_->addText(a->description().c_str(), font);
}

void Event_1003_C::ownKey(int sym)
{
    if (state_ == PATH_CHOICE) {
        choosePath(sym);
        return;
    }
    if (state_ != SPELL_INFO)
        return;
    bool moved = false;
    switch (sym) {
    case SDLK_ESCAPE: setState(OFFER_LIST); return;
    case SDLK_UP: moved = info_ && info_->lineUp(); break;
    case SDLK_DOWN: moved = info_ && info_->lineDown(); break;
    case SDLK_PAGEUP: moved = info_ && info_->pageUp(); break;
    case SDLK_PAGEDOWN: moved = info_ && info_->pageDown(); break;
    default: return;
    }
    if (moved)
        vell::pushRedraw();
}

void Event_1003_C::ownMemberChosen(bl3dPartyChar& m)
{
    if (!m.isClass(GUILD_CLASSES)) {
        setState(PATH_NOT_OF_GUILD);
        return;
    }
    const bool magician = m.isClass(MAGICIAN);
    int32_t path = attr(m, tagkey::Path);
    if (magician) {
        if (path >= LAST_SCHOOL || path < 0)
            path = 0;
    } else {
        path = elementalPath(path, m.getClassId());
        if (path & ISOMANCER_PATH)
            path = 0;
    }
    const int32_t ptSp = attr(m, tagkey::PtSp);
    const bool spellsEnough = spellsOfLevel(ptSp, 1) >= 2 && spellsOfLevel(ptSp, 2) >= 2
                              && spellsOfLevel(ptSp, 3) >= 2 && spellsOfLevel(ptSp, 4) >= 2
                              && spellsOfLevel(ptSp, 5) >= 1;
    if (path == 0 || attr(m, tagkey::PtLv) < PATH_LEVEL_NEEDED || !spellsEnough) {
        setState(PATH_NOT_READY);
        return;
    }
    if (magician) {
        cost_ = (int64_t(path) + 1) * PATH_PRICE_STEP;
        setState(PATH_OFFER);
    } else {
        pathBits_ = path;
        setState(PATH_CHOICE);
    }
}

void Event_1003_C::choosePath(int sym)
{
    if (sym == SDLK_ESCAPE) {
        setState(MENU);
        return;
    }
    int32_t choice = 0;
    if (sym == 'g' && !(pathBits_ & GEOMANCER_PATH))
        choice = GEOMANCER_PATH;
    else if (sym == 'a' && !(pathBits_ & AEROMANCER_PATH))
        choice = AEROMANCER_PATH;
    if (!choice)
        return;
    pathChoice_ = choice;
    cost_ = (1 + int64_t(bitCount(pathBits_ & ELEMENT_PATHS))) * PATH_PRICE_STEP;
    setState(PATH_OFFER);
}

void Event_1003_C::ownOfferKey(bool yes)
{
    if (!yes) {
        setState(PATH_DECLINED);
        return;
    }
    if (!member_)
        return;
    if (!money::pay(*member_, cost_)) {
        setState(PATH_SHORT);
        return;
    }
    if (member_->isClass(MAGICIAN)) {
        setAttr(*member_, tagkey::Path, attr(*member_, tagkey::Path) + 1);
    } else {
        // The element joins the member's path bits (those its class stands
        // for when "Path" was never set), and the member takes its class.
        setAttr(*member_, tagkey::Path, pathBits_ | pathChoice_);
        member_->setClassId(pathChoice_ == GEOMANCER_PATH ? GEOMANCER : AEROMANCER);
    }
    setAttr(*member_, tagkey::PtSp, 0);
    setAttr(*member_, tagkey::PtLv, 1);
    setAttr(*member_, tagkey::SPlv, 1);
    passTime(PATH_TICKS);
    setState(PATH_CHANGED);
}
