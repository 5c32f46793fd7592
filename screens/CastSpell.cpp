#include "screens/CastSpell.h"

#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/Log.h"
#include "core/ModalLoop.h"
#include "screens/PaneScreen.h"
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

// The screen: a pane screen over the main view.
class CastScreen_C : public PaneScreen_C {
public:
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

    void run(Interface_C* iface)
    {
        iface_ = iface;
        // A member or spell of an earlier run may be gone by now.
        caster = nullptr;
        spell = nullptr;
        state_ = CastSpell_C::CHOOSE_CASTER;
        runLoop(true);
    }

private:
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    // SPACE ends every message, and with it the screen.
    bool isMessage() const override
    {
        return state_ == CastSpell_C::UNKNOWN_SPELL || state_ == CastSpell_C::CAST ||
               state_ == CastSpell_C::TOO_DRAINED || state_ == CastSpell_C::NOT_A_CASTER ||
               state_ == CastSpell_C::COMBAT_ONLY;
    }
    void endMessage() override { setState(CastSpell_C::DONE); }

    void clearEntry();
    void type(char c);
    void erase();
    std::string typedText() const;
    void buildList();
    void performUse(ActionUse_S* use);
    void cast(void* target, int index);
    void castPortal();
    void choose(bl3dAction* chosen);
    void chooseCaster(int sym);
    void enterCode(int sym);
    void spellList(int sym);
    void enterSteps(int sym);
};

CastScreen_C& S()
{
    static CastScreen_C screen;
    return screen;
}

void CastScreen_C::clearEntry()
{
    std::strcpy(entry, "_");
    typed = 0;
}

// Adds a character before the cursor mark, and shows it; nothing when the
// entry is full.
void CastScreen_C::type(char c)
{
    if (typed >= MAX_TYPED)
        return;
    entry[typed++] = c;
    entry[typed] = '_';
    entry[typed + 1] = 0;
    vell::pushRedraw();
}

// Takes back the last character, and shows it; nothing when none is typed.
void CastScreen_C::erase()
{
    if (typed == 0)
        return;
    --typed;
    entry[typed] = '_';
    entry[typed + 1] = 0;
    vell::pushRedraw();
}

// The typed characters without the cursor mark.
std::string CastScreen_C::typedText() const
{
    return std::string(entry, static_cast<size_t>(typed));
}

void CastScreen_C::buildList()
{
    PaneText_C pane(*iface_);
    list = std::make_unique<ScrollList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-3));
    ActionList* known = caster->actions2();
    for (const ActionNode_S* n = known->head(); n; n = n->next)
        if (n->action)
            list->addLine(n->action->name().c_str(), n->action->actionID(), true);
}

// Performs and releases the use; -1 means the caster could not cast it.
void CastScreen_C::performUse(ActionUse_S* use)
{
    VELL_LOG(20, "CastSpell_C::ENTER CP2\n");
    const int r = spell->perform(use);
    if (use)
        spell->freeEntry(use);
    VELL_LOG(20, "CastSpell_C::ENTER CP5\n");
    setState(r == -1 ? CastSpell_C::TOO_DRAINED : CastSpell_C::CAST);
}

// Casts the chosen spell at once: makeEntry, else enqueue with a second
// actor.
void CastScreen_C::cast(void* target, int index)
{
    VELL_LOG(20, "CastSpell_C::ENTER CP1 0x%08x\n", static_cast<unsigned>(spell->actionID()));
    void* context[3] = {&text, &portalX, &portalY};
    text.clear();
    ActionUse_S* use = spell->makeEntry(new bl3dActor(caster), target, 2, context);
    if (!use)
        use = spell->enqueue(new bl3dActor(caster), index, 2, context);
    performUse(use);
}

// The portal to the square so many steps north and east of the party.
void CastScreen_C::castPortal()
{
    const int32_t east = std::atoi(typedText().c_str());
    portalX = static_cast<int32_t>(iface_->getCurX() + static_cast<float>(east));
    portalY = static_cast<int32_t>(static_cast<float>(north) - iface_->getCurZ());
    VELL_LOG(90, "about to enqueue it, values x, y = %d, %d\n", static_cast<int>(portalX),
             static_cast<int>(portalY));
    void* context[3] = {&text, &portalX, &portalY};
    text.clear();
    performUse(spell->makeEntry(new bl3dActor(caster), nullptr, 3, context));
}

// What follows the choice of a spell (null: one the caster does not know).
void CastScreen_C::choose(bl3dAction* chosen)
{
    spell = chosen;
    if (!spell) {
        setState(CastSpell_C::UNKNOWN_SPELL);
        return;
    }
    const uint32_t id = static_cast<uint32_t>(spell->actionID());
    if (id & ACTION_COMBAT_ONLY) {
        setState(CastSpell_C::COMBAT_ONLY);
    } else if (spell->actionID() == MAGICIANS_PORTAL) {
        VELL_LOG(90, "Picked Magician's Portal, enter special display event\n");
        clearEntry();
        setState(CastSpell_C::PORTAL_NORTH);
    } else if (spell->targetKind() & TARGET_ONE_MEMBER) {
        setState(CastSpell_C::CHOOSE_TARGET);
    } else {
        cast(nullptr, 0);
    }
}

void CastScreen_C::chooseCaster(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return;
    if (!m->isClass(CASTING_CLASSES)) {
        caster = m;
        setState(CastSpell_C::NOT_A_CASTER);
        return;
    }
    if (m->getCurHP() < 1)
        return;
    caster = m;
    clearEntry();
    setState(CastSpell_C::ENTER_CODE);
}

void CastScreen_C::enterCode(int sym)
{
    if (sym >= 'a' && sym <= 'z') {
        type(static_cast<char>(sym - 'a' + 'A'));
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        erase();
    } else if (sym == SDLK_TAB) {
        buildList();
        setState(CastSpell_C::SPELL_LIST);
    } else if (sym == SDLK_RETURN) {
        if (typed == 0)
            return;
        VELL_LOG(90, "selected a spell to cast\n");
        const std::string code = typedText();
        std::strcpy(entry, code.c_str());
        choose(caster->actions2()->getSpellByCode(code.c_str()));
    } else if (sym == SDLK_ESCAPE) {
        setState(CastSpell_C::DONE);
    }
}

void CastScreen_C::spellList(int sym)
{
    ScrollList_C* shown = list.get();
    if (moveListByKey(shown, sym, true)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        // An empty list has no line to take.
        if (!shown || shown->selected() < 0)
            return;
        choose(caster->actions2()->getAction(shown->selectedValue()));
    } else if (sym == SDLK_ESCAPE) {
        setState(CastSpell_C::DONE);
    }
}

// Digits, and a minus sign first, for the portal's steps.
void CastScreen_C::enterSteps(int sym)
{
    if ((sym >= '0' && sym <= '9') || (sym == '-' && typed == 0)) {
        type(static_cast<char>(sym));
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        erase();
    } else if (sym == SDLK_RETURN && typed > 0) {
        if (state_ == CastSpell_C::PORTAL_NORTH) {
            VELL_LOG(90, "Getting first value\n");
            north = std::atoi(typedText().c_str());
            clearEntry();
            setState(CastSpell_C::PORTAL_EAST);
        } else {
            VELL_LOG(90, "getting second value\n");
            castPortal();
        }
    }
}

void CastScreen_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case CastSpell_C::CHOOSE_CASTER:
        if (memberSlotOfKey(sym) >= 0)
            chooseCaster(sym);
        else if (sym == SDLK_ESCAPE)
            setState(CastSpell_C::DONE);
        return;
    case CastSpell_C::ENTER_CODE: enterCode(sym); return;
    case CastSpell_C::SPELL_LIST: spellList(sym); return;
    case CastSpell_C::CHOOSE_TARGET:
        if (sym == SDLK_ESCAPE) {
            setState(CastSpell_C::DONE);
        } else if (memberSlotOfKey(sym) >= 0) {
            if (bl3dPartyChar* target = memberForKey(sym))
                cast(target, memberSlotOfKey(sym));
        }
        return;
    case CastSpell_C::PORTAL_NORTH:
    case CastSpell_C::PORTAL_EAST: enterSteps(sym); return;
    default: return;
    }
}

void CastScreen_C::drawState(PaneText_C& pane)
{
    char line[1200];
    const char* name = caster ? caster->getName() : "";
    auto message = [&](const char* said) {
        pane.wrapped(1, said);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
    };
    switch (state_) {
    case CastSpell_C::CHOOSE_CASTER:
        pane.wrapped(1, "Who will cast?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CastSpell_C::ENTER_CODE:
        std::snprintf(line, sizeof line, "Enter code: %s", entry);
        pane.wrapped(1, line);
        pane.line(-1, "(TAB) for List", SDLK_TAB);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CastSpell_C::UNKNOWN_SPELL:
        std::snprintf(line, sizeof line, "%s does not know that spell!", name);
        message(line);
        break;
    case CastSpell_C::CAST: message(narration); break;
    case CastSpell_C::TOO_DRAINED:
        std::snprintf(line, sizeof line, "%s is too drained for such intense magic!", name);
        message(line);
        break;
    case CastSpell_C::NOT_A_CASTER:
        std::snprintf(line, sizeof line, "%s is not a spell caster!", name);
        message(line);
        break;
    case CastSpell_C::SPELL_LIST:
        pane.wrapped(1, "Available spells:");
        if (list) {
            list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, list.get());
        } else {
            VELL_LOG(1, "ERROR: CastSpell_C: scrollList NOT DEFINED!\n");
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CastSpell_C::COMBAT_ONLY: message("That spell isn't intended for non-combat use!"); break;
    case CastSpell_C::CHOOSE_TARGET:
        std::snprintf(line, sizeof line, "On who do you wish to cast %s?", spell ? spell->name().c_str() : "");
        pane.wrapped(1, line);
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CastSpell_C::PORTAL_NORTH:
        VELL_LOG(90, "printing portal message\n");
        std::snprintf(line, sizeof line, "How many steps North would you like to teleport (negative for South)?\n%s",
                      entry);
        pane.wrapped(1, line);
        break;
    case CastSpell_C::PORTAL_EAST:
        std::snprintf(line, sizeof line, "How many steps East would you like to teleport (negative for West)?\n%s",
                      entry);
        pane.wrapped(1, line);
        break;
    default: break;
    }
}

} // namespace

void CastSpell_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    S().run(iface);
}

void CastSpell_C::key(int sym) { S().key(sym); }

void CastSpell_C::display() { S().display(); }

int CastSpell_C::getState() { return S().getState(); }
const char* CastSpell_C::getEntry() { return S().entry; }
bl3dPartyChar* CastSpell_C::getCaster() { return S().caster; }
bl3dAction* CastSpell_C::getSpell() { return S().spell; }
const ScrollList_C* CastSpell_C::getSpellList() { return S().list.get(); }
const char* CastSpell_C::getNarration() { return S().narration; }
