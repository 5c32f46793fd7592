#include "screens/UseSkill.h"

#include "actions/GenericSkill.h"
#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/Log.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "core/TagList.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "screens/UseAtOnce.h"
#include "world/Interface.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct SkillScreen_S {
    int state = UseSkill_C::DONE;
    Interface_C* iface = nullptr;
    bl3dPartyChar* member = nullptr;
    bl3dAction* skill = nullptr;
    std::unique_ptr<ScrollList_C> list;
    char narration[1024] = {};
    TextBuf_C text{narration, sizeof narration};
};

SkillScreen_S& S()
{
    static SkillScreen_S screen;
    return screen;
}

void setState(int state)
{
    S().state = state;
    vell::pushRedraw();
}

// The key of an action's daily-use counter.
void counterKey(const bl3dAction* a, char* out, size_t size)
{
    std::snprintf(out, size, "0x%08x", static_cast<unsigned>(a->actionID()));
}

// Whether the list offers the action: not one of the common actions, no
// bard song, and daily uses left when it has a counter.
bool listed(bl3dPartyChar* m, const bl3dAction* a)
{
    static const char* const COMMON[] = {"Attack", "Defend", "Advance", "EquipItem", "Retreat"};
    const RefStr_C name = a->name();
    VELL_LOG(98, "skilNm = [%s]\n", name.c_str());
    for (const char* c : COMMON)
        if (std::strcmp(name.c_str(), c) == 0)
            return false;
    if (static_cast<uint32_t>(a->actionID()) & ACTION_BARD_SONG)
        return false;
    char key[16];
    counterKey(a, key, sizeof key);
    TagList_C* tags = m->getTagList();
    if (!tags->hasKey(key))
        return true;
    VELL_LOG(98, "SKILL IS SPD\n");
    return tags->hasAmtLeft(key);
}

void buildList()
{
    SkillScreen_S& s = S();
    PaneText_C pane(*s.iface);
    s.list = std::make_unique<ScrollList_C>(&s.iface->text(), pane.left(), pane.right(), pane.lineY(3),
                                            pane.lineY(-3));
    for (const ActionNode_S* n = s.member->actions()->head(); n; n = n->next)
        if (n->action && listed(s.member, n->action))
            s.list->addLine(n->action->name().c_str(), n->action->actionID(), true);
}

// Whether the skill will turn the member away for a condition (stunned,
// asleep, poisoned and the like, less what the skill ignores). Only skills
// from the action data files check the user's condition.
bool refusedByCondition(bl3dAction* skill, bl3dPartyChar* member)
{
    const auto* generic = dynamic_cast<const bl3dGenericSkill*>(skill);
    return generic &&
           skill->checkState(member, static_cast<int32_t>(generic->core().ignoreMask()), "", nullptr) < 1;
}

// Uses the chosen skill at once: makeEntry, else enqueue with a second
// actor; perform; release. A use that went ahead spends a daily use; one
// that the member's condition stopped spends none.
void use(void* target, int index)
{
    SkillScreen_S& s = S();
    int32_t distance = 0;
    void* context[2] = {&s.text, &distance};
    s.text.clear();
    // Asked before the use: the skill may change the member's condition.
    const bool refused = refusedByCondition(s.skill, s.member);
    const int r = useAtOnce(s.skill, [&s] { return new bl3dActor(s.member); }, target, index, 2, context);
    if (r == -1) {
        setState(UseSkill_C::FAILED);
        return;
    }
    char key[16];
    counterKey(s.skill, key, sizeof key);
    if (!refused && s.member->getTagList()->hasKey(key))
        s.member->getTagList()->useCounter(key);
    setState(UseSkill_C::USED);
}

void choose()
{
    SkillScreen_S& s = S();
    if (static_cast<uint32_t>(s.skill->actionID()) & ACTION_COMBAT_ONLY)
        setState(UseSkill_C::COMBAT_ONLY);
    else if (s.skill->targetKind() & TARGET_ONE_MEMBER)
        setState(UseSkill_C::CHOOSE_TARGET);
    else
        use(nullptr, 0);
}

void chooseMember(int sym)
{
    SkillScreen_S& s = S();
    bl3dPartyChar* m = memberForKey(sym);
    if (!m || m->getCurHP() < 1)
        return;
    s.member = m;
    buildList();
    setState(s.list->getNumLines() > 0 ? UseSkill_C::CHOOSE_SKILL : UseSkill_C::NO_SKILLS);
}

void chooseSkill(int sym)
{
    SkillScreen_S& s = S();
    ScrollList_C* list = s.list.get();
    switch (sym) {
    case SDLK_UP:
        if (list && list->lineUp())
            vell::pushRedraw();
        return;
    case SDLK_DOWN:
        if (list && list->lineDown())
            vell::pushRedraw();
        return;
    case SDLK_RETURN:
        // No line selected: nothing to use.
        if (!list || list->selected() < 0)
            return;
        s.skill = s.member->actions()->getAction(list->selectedValue());
        if (s.skill)
            choose();
        return;
    case SDLK_ESCAPE: setState(UseSkill_C::DONE); return;
    default: return;
    }
}

} // namespace

void UseSkill_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    SkillScreen_S& s = S();
    s.iface = iface;
    s.state = CHOOSE_MEMBER;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { updateText(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
}

void UseSkill_C::key(int sym)
{
    SkillScreen_S& s = S();
    switch (s.state) {
    case CHOOSE_MEMBER:
        if (memberSlotOfKey(sym) >= 0)
            chooseMember(sym);
        else if (sym == SDLK_ESCAPE)
            setState(DONE);
        return;
    case USED:
    case FAILED:
    case COMBAT_ONLY:
        if (sym == SDLK_SPACE)
            setState(DONE);
        return;
    case NO_SKILLS:
        if (sym == SDLK_SPACE)
            setState(CHOOSE_MEMBER);
        return;
    case CHOOSE_SKILL: chooseSkill(sym); return;
    case CHOOSE_TARGET:
        if (sym == SDLK_ESCAPE || sym == SDLK_SPACE) {
            setState(DONE);
        } else if (memberSlotOfKey(sym) >= 0) {
            if (bl3dPartyChar* target = memberForKey(sym))
                use(target, memberSlotOfKey(sym));
        }
        return;
    default: return;
    }
}

void UseSkill_C::updateText()
{
    SkillScreen_S& s = S();
    if (!s.iface)
        return;
    beginViewPage(*s.iface);
    PaneText_C pane(*s.iface);
    char line[1200];
    auto message = [&](const char* text) {
        pane.wrapped(1, text);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
    };
    switch (s.state) {
    case CHOOSE_MEMBER:
        pane.wrapped(1, "Who wishes to use their skill?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case USED:
    case FAILED: message(s.narration); break;
    case NO_SKILLS:
        std::snprintf(line, sizeof line, "%s has no special skills", s.member ? s.member->getName() : "");
        message(line);
        break;
    case CHOOSE_SKILL:
        pane.wrapped(1, "Available skills:");
        if (s.list) {
            s.list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, s.list.get());
        } else {
            VELL_LOG(1, "ERROR: UseSkill_C: scrollList NOT DEFINED!\n");
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case COMBAT_ONLY: message("That skill isn't intended for non-combat use!"); break;
    case CHOOSE_TARGET:
        std::snprintf(line, sizeof line, "On who do you wish to use %s?", s.skill ? s.skill->name().c_str() : "");
        pane.wrapped(1, line);
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    default: break;
    }
    refreshCursor(*s.iface);
}

int UseSkill_C::getState() { return S().state; }
bl3dPartyChar* UseSkill_C::getMember() { return S().member; }
bl3dAction* UseSkill_C::getSkill() { return S().skill; }
const ScrollList_C* UseSkill_C::getSkillList() { return S().list.get(); }
const char* UseSkill_C::getNarration() { return S().narration; }
