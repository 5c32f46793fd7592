#include "screens/UseSkill.h"

#include "actions/GenericSkill.h"
#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/Log.h"
#include "core/ModalLoop.h"
#include "screens/PaneScreen.h"
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

// The screen: a pane screen over the main view.
class SkillScreen_C : public PaneScreen_C {
public:
    bl3dPartyChar* member = nullptr;
    bl3dAction* skill = nullptr;
    std::unique_ptr<ScrollList_C> list;
    char narration[1024] = {};
    TextBuf_C text{narration, sizeof narration};

    void run(Interface_C* iface)
    {
        iface_ = iface;
        state_ = UseSkill_C::CHOOSE_MEMBER;
        runLoop(true);
    }

private:
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    bool isMessage() const override
    {
        return state_ == UseSkill_C::USED || state_ == UseSkill_C::FAILED || state_ == UseSkill_C::COMBAT_ONLY ||
               state_ == UseSkill_C::NO_SKILLS;
    }
    // SPACE on "no skills" goes back to the choice of member; on any other
    // message it closes the screen.
    void endMessage() override
    {
        setState(state_ == UseSkill_C::NO_SKILLS ? UseSkill_C::CHOOSE_MEMBER : UseSkill_C::DONE);
    }

    void buildList();
    void use(void* target, int index);
    void choose();
    void chooseMember(int sym);
    void chooseSkill(int sym);
};

SkillScreen_C& S()
{
    static SkillScreen_C screen;
    return screen;
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

void SkillScreen_C::buildList()
{
    PaneText_C pane(*iface_);
    list = std::make_unique<ScrollList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-3));
    for (const ActionNode_S* n = member->actions()->head(); n; n = n->next)
        if (n->action && listed(member, n->action))
            list->addLine(n->action->name().c_str(), n->action->actionID(), true);
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
void SkillScreen_C::use(void* target, int index)
{
    int32_t distance = 0;
    void* context[2] = {&text, &distance};
    text.clear();
    // Asked before the use: the skill may change the member's condition.
    const bool refused = refusedByCondition(skill, member);
    const int r = useAtOnce(skill, [this] { return new bl3dActor(member); }, target, index, 2, context);
    if (r == -1) {
        setState(UseSkill_C::FAILED);
        return;
    }
    char key[16];
    counterKey(skill, key, sizeof key);
    if (!refused && member->getTagList()->hasKey(key))
        member->getTagList()->useCounter(key);
    setState(UseSkill_C::USED);
}

void SkillScreen_C::choose()
{
    if (static_cast<uint32_t>(skill->actionID()) & ACTION_COMBAT_ONLY)
        setState(UseSkill_C::COMBAT_ONLY);
    else if (skill->targetKind() & TARGET_ONE_MEMBER)
        setState(UseSkill_C::CHOOSE_TARGET);
    else
        use(nullptr, 0);
}

void SkillScreen_C::chooseMember(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m || m->getCurHP() < 1)
        return;
    member = m;
    buildList();
    setState(list->getNumLines() > 0 ? UseSkill_C::CHOOSE_SKILL : UseSkill_C::NO_SKILLS);
}

void SkillScreen_C::chooseSkill(int sym)
{
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
        skill = member->actions()->getAction(list->selectedValue());
        if (skill)
            choose();
        return;
    case SDLK_ESCAPE: setState(UseSkill_C::DONE); return;
    default: return;
    }
}

void SkillScreen_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case UseSkill_C::CHOOSE_MEMBER:
        if (memberSlotOfKey(sym) >= 0)
            chooseMember(sym);
        else if (sym == SDLK_ESCAPE)
            setState(UseSkill_C::DONE);
        return;
    case UseSkill_C::CHOOSE_SKILL: chooseSkill(sym); return;
    case UseSkill_C::CHOOSE_TARGET:
        if (sym == SDLK_ESCAPE || sym == SDLK_SPACE) {
            setState(UseSkill_C::DONE);
        } else if (memberSlotOfKey(sym) >= 0) {
            if (bl3dPartyChar* target = memberForKey(sym))
                use(target, memberSlotOfKey(sym));
        }
        return;
    default: return;
    }
}

void SkillScreen_C::drawState(PaneText_C& pane)
{
    char line[1200];
    auto message = [&](const char* said) {
        pane.wrapped(1, said);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
    };
    switch (state_) {
    case UseSkill_C::CHOOSE_MEMBER:
        pane.wrapped(1, "Who wishes to use their skill?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case UseSkill_C::USED:
    case UseSkill_C::FAILED: message(narration); break;
    case UseSkill_C::NO_SKILLS:
        std::snprintf(line, sizeof line, "%s has no special skills", member ? member->getName() : "");
        message(line);
        break;
    case UseSkill_C::CHOOSE_SKILL:
        pane.wrapped(1, "Available skills:");
        if (list) {
            list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, list.get());
        } else {
            VELL_LOG(1, "ERROR: UseSkill_C: scrollList NOT DEFINED!\n");
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case UseSkill_C::COMBAT_ONLY: message("That skill isn't intended for non-combat use!"); break;
    case UseSkill_C::CHOOSE_TARGET:
        std::snprintf(line, sizeof line, "On who do you wish to use %s?", skill ? skill->name().c_str() : "");
        pane.wrapped(1, line);
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    default: break;
    }
}

} // namespace

void UseSkill_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    S().run(iface);
}

void UseSkill_C::key(int sym) { S().key(sym); }

void UseSkill_C::updateText() { S().display(); }

int UseSkill_C::getState() { return S().getState(); }
bl3dPartyChar* UseSkill_C::getMember() { return S().member; }
bl3dAction* UseSkill_C::getSkill() { return S().skill; }
const ScrollList_C* UseSkill_C::getSkillList() { return S().list.get(); }
const char* UseSkill_C::getNarration() { return S().narration; }
