#include "screens/CastSpell.h"

#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/Log.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The classes that cast spells.
constexpr int32_t CASTING_CLASSES = 0x3F30;
constexpr int32_t MAGICIANS_PORTAL = 0x00890015;
constexpr int MAX_TYPED = 4;

struct CastScreen_S {
    int state = CastSpell_C::DONE;
    Interface_C* iface = nullptr;
    bl3dPartyChar* caster = nullptr;
    bl3dAction* spell = nullptr;
    char entry[MAX_TYPED + 2] = "_";
    int typed = 0;
    int32_t north = 0;
    int32_t portalX = 0;
    int32_t portalY = 0;
    std::unique_ptr<ScrollList_C> list;
    char narration[1024] = {};
    TextBuf_C text{narration, sizeof narration};
};

CastScreen_S& S()
{
    static CastScreen_S screen;
    return screen;
}

void setState(int state)
{
    S().state = state;
    vell::pushRedraw();
}

void clearEntry()
{
    CastScreen_S& s = S();
    std::strcpy(s.entry, "_");
    s.typed = 0;
}

// Adds a character before the cursor mark, and shows it; nothing when the
// entry is full.
void type(char c)
{
    CastScreen_S& s = S();
    if (s.typed >= MAX_TYPED)
        return;
    s.entry[s.typed++] = c;
    s.entry[s.typed] = '_';
    s.entry[s.typed + 1] = 0;
    vell::pushRedraw();
}

// Takes back the last character, and shows it; nothing when none is typed.
void erase()
{
    CastScreen_S& s = S();
    if (s.typed == 0)
        return;
    --s.typed;
    s.entry[s.typed] = '_';
    s.entry[s.typed + 1] = 0;
    vell::pushRedraw();
}

// The typed characters without the cursor mark.
std::string typedText()
{
    const CastScreen_S& s = S();
    return std::string(s.entry, static_cast<size_t>(s.typed));
}

void buildList()
{
    CastScreen_S& s = S();
    PaneText_C pane(*s.iface);
    s.list = std::make_unique<ScrollList_C>(&s.iface->text(), pane.left(), pane.right(), pane.lineY(3),
                                            pane.lineY(-3));
    ActionList* known = s.caster->actions2();
    for (const ActionNode_S* n = known->head(); n; n = n->next)
        if (n->action)
            s.list->addLine(n->action->name().c_str(), n->action->actionID(), true);
}

// Performs and releases the use; -1 means the caster could not cast it.
void performUse(ActionUse_S* use)
{
    CastScreen_S& s = S();
    VELL_LOG(20, "CastSpell_C::ENTER CP2\n");
    const int r = s.spell->perform(use);
    if (use)
        s.spell->freeEntry(use);
    VELL_LOG(20, "CastSpell_C::ENTER CP5\n");
    setState(r == -1 ? CastSpell_C::TOO_DRAINED : CastSpell_C::CAST);
}

// Casts the chosen spell at once: makeEntry, else enqueue with a second
// actor.
void cast(void* target, int index)
{
    CastScreen_S& s = S();
    VELL_LOG(20, "CastSpell_C::ENTER CP1 0x%08x\n", static_cast<unsigned>(s.spell->actionID()));
    void* context[3] = {&s.text, &s.portalX, &s.portalY};
    s.text.clear();
    ActionUse_S* use = s.spell->makeEntry(new bl3dActor(s.caster), target, 2, context);
    if (!use)
        use = s.spell->enqueue(new bl3dActor(s.caster), index, 2, context);
    performUse(use);
}

// The portal to the square so many steps north and east of the party.
void castPortal()
{
    CastScreen_S& s = S();
    const int32_t east = std::atoi(typedText().c_str());
    s.portalX = static_cast<int32_t>(s.iface->getCurX() + static_cast<float>(east));
    s.portalY = static_cast<int32_t>(static_cast<float>(s.north) - s.iface->getCurZ());
    VELL_LOG(90, "about to enqueue it, values x, y = %d, %d\n", static_cast<int>(s.portalX),
             static_cast<int>(s.portalY));
    void* context[3] = {&s.text, &s.portalX, &s.portalY};
    s.text.clear();
    performUse(s.spell->makeEntry(new bl3dActor(s.caster), nullptr, 3, context));
}

// What follows the choice of a spell (null: one the caster does not know).
void choose(bl3dAction* spell)
{
    CastScreen_S& s = S();
    s.spell = spell;
    if (!spell) {
        setState(CastSpell_C::UNKNOWN_SPELL);
        return;
    }
    const uint32_t id = static_cast<uint32_t>(s.spell->actionID());
    if (id & ACTION_COMBAT_ONLY) {
        setState(CastSpell_C::COMBAT_ONLY);
    } else if (s.spell->actionID() == MAGICIANS_PORTAL) {
        VELL_LOG(90, "Picked Magician's Portal, enter special display event\n");
        clearEntry();
        setState(CastSpell_C::PORTAL_NORTH);
    } else if (s.spell->targetKind() & TARGET_ONE_MEMBER) {
        setState(CastSpell_C::CHOOSE_TARGET);
    } else {
        cast(nullptr, 0);
    }
}

void chooseCaster(int sym)
{
    CastScreen_S& s = S();
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    if (!m->isClass(CASTING_CLASSES)) {
        s.caster = m;
        setState(CastSpell_C::NOT_A_CASTER);
        return;
    }
    if (m->getCurHP() < 1)
        return;
    s.caster = m;
    clearEntry();
    setState(CastSpell_C::ENTER_CODE);
}

void enterCode(int sym)
{
    CastScreen_S& s = S();
    if (sym >= 'a' && sym <= 'z') {
        type(static_cast<char>(sym - 'a' + 'A'));
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        erase();
    } else if (sym == SDLK_TAB) {
        buildList();
        setState(CastSpell_C::SPELL_LIST);
    } else if (sym == SDLK_RETURN) {
        if (s.typed == 0)
            return;
        VELL_LOG(90, "selected a spell to cast\n");
        const std::string code = typedText();
        std::strcpy(s.entry, code.c_str());
        choose(s.caster->actions2()->getSpellByCode(code.c_str()));
    } else if (sym == SDLK_ESCAPE) {
        setState(CastSpell_C::DONE);
    }
}

void spellList(int sym)
{
    CastScreen_S& s = S();
    ScrollList_C* list = s.list.get();
    if (moveListByKey(list, sym, true)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        // An empty list has no line to take.
        if (!list || list->selected() < 0)
            return;
        choose(s.caster->actions2()->getAction(list->selectedValue()));
    } else if (sym == SDLK_ESCAPE) {
        setState(CastSpell_C::DONE);
    }
}

// Digits, and a minus sign first, for the portal's steps.
void enterSteps(int sym)
{
    CastScreen_S& s = S();
    if ((sym >= '0' && sym <= '9') || (sym == '-' && s.typed == 0)) {
        type(static_cast<char>(sym));
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        erase();
    } else if (sym == SDLK_RETURN && s.typed > 0) {
        if (s.state == CastSpell_C::PORTAL_NORTH) {
            VELL_LOG(90, "Getting first value\n");
            s.north = std::atoi(typedText().c_str());
            clearEntry();
            setState(CastSpell_C::PORTAL_EAST);
        } else {
            VELL_LOG(90, "getting second value\n");
            castPortal();
        }
    }
}

} // namespace

void CastSpell_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    CastScreen_S& s = S();
    s.iface = iface;
    // A member or spell of an earlier run may be gone by now.
    s.caster = nullptr;
    s.spell = nullptr;
    s.state = CHOOSE_CASTER;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { display(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
}

void CastSpell_C::key(int sym)
{
    CastScreen_S& s = S();
    switch (s.state) {
    case CHOOSE_CASTER:
        if (memberSlotOfKey(sym) >= 0)
            chooseCaster(sym);
        else if (sym == SDLK_ESCAPE)
            setState(DONE);
        return;
    case ENTER_CODE: enterCode(sym); return;
    case UNKNOWN_SPELL:
    case CAST:
    case TOO_DRAINED:
    case NOT_A_CASTER:
    case COMBAT_ONLY:
        if (sym == SDLK_SPACE)
            setState(DONE);
        return;
    case SPELL_LIST: spellList(sym); return;
    case CHOOSE_TARGET:
        if (sym == SDLK_ESCAPE) {
            setState(DONE);
        } else if (memberSlotOfKey(sym) >= 0) {
            if (bl3dPartyChar* target = memberForKey(sym))
                cast(target, memberSlotOfKey(sym));
        }
        return;
    case PORTAL_NORTH:
    case PORTAL_EAST: enterSteps(sym); return;
    default: return;
    }
}

void CastSpell_C::display()
{
    CastScreen_S& s = S();
    if (!s.iface)
        return;
    beginViewPage(*s.iface);
    PaneText_C pane(*s.iface);
    char line[1200];
    const char* name = s.caster ? s.caster->getName() : "";
    auto message = [&](const char* text) {
        pane.wrapped(1, text);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
    };
    switch (s.state) {
    case CHOOSE_CASTER:
        pane.wrapped(1, "Who will cast?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case ENTER_CODE:
        std::snprintf(line, sizeof line, "Enter code: %s", s.entry);
        pane.wrapped(1, line);
        pane.line(-1, "(TAB) for List", SDLK_TAB);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case UNKNOWN_SPELL:
        std::snprintf(line, sizeof line, "%s does not know that spell!", name);
        message(line);
        break;
    case CAST: message(s.narration); break;
    case TOO_DRAINED:
        std::snprintf(line, sizeof line, "%s is too drained for such intense magic!", name);
        message(line);
        break;
    case NOT_A_CASTER:
        std::snprintf(line, sizeof line, "%s is not a spell caster!", name);
        message(line);
        break;
    case SPELL_LIST:
        pane.wrapped(1, "Available spells:");
        if (s.list) {
            s.list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, s.list.get());
        } else {
            VELL_LOG(1, "ERROR: CastSpell_C: scrollList NOT DEFINED!\n");
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case COMBAT_ONLY: message("That spell isn't intended for non-combat use!"); break;
    case CHOOSE_TARGET:
        std::snprintf(line, sizeof line, "On who do you wish to cast %s?", s.spell ? s.spell->name().c_str() : "");
        pane.wrapped(1, line);
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case PORTAL_NORTH:
        VELL_LOG(90, "printing portal message\n");
        std::snprintf(line, sizeof line, "How many steps North would you like to teleport (negative for South)?\n%s",
                      s.entry);
        pane.wrapped(1, line);
        break;
    case PORTAL_EAST:
        std::snprintf(line, sizeof line, "How many steps East would you like to teleport (negative for West)?\n%s",
                      s.entry);
        pane.wrapped(1, line);
        break;
    default: break;
    }
    refreshCursor(*s.iface);
}

int CastSpell_C::getState() { return S().state; }
const char* CastSpell_C::getEntry() { return S().entry; }
bl3dPartyChar* CastSpell_C::getCaster() { return S().caster; }
bl3dAction* CastSpell_C::getSpell() { return S().spell; }
const ScrollList_C* CastSpell_C::getSpellList() { return S().list.get(); }
const char* CastSpell_C::getNarration() { return S().narration; }
