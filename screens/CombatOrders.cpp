// The fight's order entry: each living member in turn is asked for one
// order, which becomes a use of the action at once (kept in selAct and
// selActArg of its slot) with its target (charTarget). After the last one
// the fight asks "Begin combat?". Joined monsters choose through their
// combat AI as their turn comes, without a screen.
#include "events/Event_4000.h"

#include "actions/Attributes.h"
#include "actions/CombatAI.h"
#include "actions/Songs.h"
#include "actions/Spell.h"
#include "actions/Targets.h"
#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "core/TagList.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "screens/CombatScreen.h"
#include "screens/InvChooser.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int FRONT_RANKS = 4;
// The number bits by which a bard song is known.
constexpr uint32_t SONG_NUMBER_BITS = 0xb000;
constexpr int SLOT_COUNT_ALL = 20;
constexpr int MAX_CODE = 4;

bool enemyKind(const bl3dAction* a) { return (a->targetKind() & (TARGET_ONE_ENEMY | TARGET_ENEMY_GROUP)) != 0; }

int groupCount()
{
    int n = 0;
    while (enemyList.groupAt(n))
        ++n;
    return n;
}

// Not the names a member's skill list leaves out: its own combat moves.
bool isPlainMove(const bl3dAction* a)
{
    static const char* const moves[] = {"Attack", "Defend", "Advance", "EquipItem", "Retreat"};
    for (const char* name : moves)
        if (std::strcmp(a->name().c_str(), name) == 0)
            return true;
    return false;
}

void counterKey(const bl3dAction* a, char (&key)[16])
{
    std::snprintf(key, sizeof key, "0x%08x", static_cast<unsigned>(a->actionID()));
}

} // namespace

bl3dPartyChar* Event_4000_C::member() const
{
    if (!party || curMember_ < 0 || curMember_ >= party->getCount())
        return nullptr;
    return party->getMember(curMember_);
}

void Event_4000_C::clearEntry()
{
    std::strcpy(entry_, "_");
    entryLen_ = 0;
}

void Event_4000_C::typeEntry(char c, int max)
{
    if (entryLen_ >= max)
        return;
    entry_[entryLen_++] = c;
    entry_[entryLen_] = '_';
    entry_[entryLen_ + 1] = 0;
    vell::pushRedraw();
}

void Event_4000_C::eraseEntry()
{
    if (entryLen_ == 0)
        return;
    --entryLen_;
    entry_[entryLen_] = '_';
    entry_[entryLen_ + 1] = 0;
    vell::pushRedraw();
}

bool Event_4000_C::canAttack(const bl3dPartyChar& m) const
{
    if (curMember_ < FRONT_RANKS)
        return true;
    const bl3dItem* right = m.getSlotItem(SLOT_RT_HAND);
    return right && (right->isBow() || right->isThrown());
}

// --- whose turn ------------------------------------------------------------------------

void Event_4000_C::beginTurn()
{
    // Joined monsters choose for themselves, one after the other; a choice
    // made before the player went back past them is released first.
    for (bl3dPartyChar* m = member(); m && m->getCurHP() > 0 && m->isJoinedMonster(); m = member()) {
        if (selAct_[curMember_] && selActArg_[curMember_])
            selAct_[curMember_]->freeEntry(selActArg_[curMember_]);
        selAct_[curMember_] = nullptr;
        selActArg_[curMember_] = nullptr;
        if (bl3dCombatAI* ai = m->getCombatAI())
            ai->enqueuePartySide(&selAct_[curMember_], &selActArg_[curMember_], m, &round_->text());
        ++curMember_;
    }
    const bl3dPartyChar* m = member();
    if (m && m->getCurHP() > 0)
        selExtra_[curMember_] = OrderExtra_S{};
    setState(m && m->getCurHP() > 0 ? MEMBER_TURN : BEGIN_COMBAT);
}

void Event_4000_C::nextMember()
{
    ++curMember_;
    beginTurn();
}

void Event_4000_C::back()
{
    if (curMember_ <= 0)
        return;
    int k = curMember_ - 1;
    while (k >= 0 && party->getMember(k)->isJoinedMonster())
        --k;
    if (k < 0)
        return;
    curMember_ = k;
    if (selAct_[k] && selActArg_[k])
        selAct_[k]->freeEntry(selActArg_[k]);
    selActArg_[k] = nullptr;
    selExtra_[k] = OrderExtra_S{};
    setState(MEMBER_TURN);
}

void Event_4000_C::view(int sym)
{
    if (bl3dPartyChar* m = memberForKey(sym)) {
        CharView_C::run(m, iface_, false);
        vell::pushRedraw();
    }
}

// --- making the uses -----------------------------------------------------------------

ActionUse_S* Event_4000_C::makeUse(bl3dAction* act, bl3dPartyChar& m, bool item, void* target, int index, int argc,
                                   void** argv)
{
    auto actor = [&]() -> bl3dActor* { return item ? new bl3dItemActor(&m, itemSlot_) : new bl3dActor(&m); };
    void* context[3] = {&round_->text(), &groupDistance_, &noSquare_};
    if (!argv) {
        // Spells take a third value (a square, for the spells that want one).
        groupDistance_ = 0;
        asEnemyGroup(target, &groupDistance_);
        argv = context;
        argc = act->isSpell() ? 3 : 2;
    }
    if (ActionUse_S* use = act->makeEntry(actor(), target, argc, argv))
        return use;
    return act->enqueue(actor(), index, argc, argv);
}

void Event_4000_C::queue(bool item, void* target, int index)
{
    bl3dPartyChar* m = member();
    if (!m || !selAct_[curMember_])
        return;
    selActArg_[curMember_] = makeUse(selAct_[curMember_], *m, item, target, index);
    selExtra_[curMember_].itemSlot = item ? itemSlot_ : -1;
    if (target)
        charTarget_[curMember_] = target;
    nextMember();
}

ActionUse_S* Event_4000_C::rankUse(bl3dAction* move, bl3dPartyChar& m, int32_t ranks)
{
    // The ranks travel as the context's second value itself.
    void* context[2] = {&round_->text(), reinterpret_cast<void*>(static_cast<intptr_t>(ranks))};
    return makeUse(move, m, false, nullptr, 0, 2, context);
}

bool Event_4000_C::spendDailyUse(bl3dPartyChar& m, const bl3dAction* skill)
{
    char key[16];
    counterKey(skill, key);
    TagList_C* attrs = m.getTagList();
    if (!attrs->hasKey(key))
        return true;
    if (!attrs->hasAmtLeft(key))
        return false;
    attrs->useCounter(key);
    return true;
}

void Event_4000_C::queueOnGroup(bool item)
{
    if (groupCount() > 1) {
        setState(item ? ITEM_GROUP : CHOOSE_GROUP);
        return;
    }
    queue(item, enemyList.groupAt(0), 0);
}

void Event_4000_C::queueSong(int32_t request)
{
    bl3dPartyChar* m = member();
    bl3dAction* song = selAct_[curMember_];
    if (m && song) {
        void* context[3] = {&round_->text(), iface_, reinterpret_cast<void*>(static_cast<intptr_t>(request))};
        selActArg_[curMember_] = makeUse(song, *m, false, nullptr, 0, 3, context);
    }
    nextMember();
}

// --- keys ---------------------------------------------------------------------------------

void Event_4000_C::orderKey(int sym)
{
    bl3dPartyChar* m = member();
    if (!m) {
        if (state_ == MEMBER_TURN)
            setState(BEGIN_COMBAT);
        return;
    }
    switch (state_) {
    case MEMBER_TURN: memberTurnKey(*m, sym); return;
    case CHOOSE_GROUP:
    case ITEM_GROUP: groupKey(sym); return;
    case WEAPON_LIST:
    case SKILL_LIST:
    case SPELL_LIST:
    case SONG_LIST: listKey(*m, sym); return;
    case RANK_CHOICE:
        if (sym == 'a' || sym == 'r') {
            selAct_[curMember_] = CombatRound_C::ownAction(*m, sym == 'a' ? ACTION_ADVANCE : ACTION_RETREAT);
            clearEntry();
            setState(RANK_COUNT);
        } else if (sym == SDLK_ESCAPE) {
            setState(MEMBER_TURN);
        }
        return;
    case RANK_COUNT: rankKey(*m, sym); return;
    case NO_RESERVE:
    case NO_SKILLS:
    case UNKNOWN_SPELL:
    case NOT_IN_COMBAT:
        if (sym == SDLK_SPACE)
            setState(MEMBER_TURN);
        return;
    case SPELL_CODE: spellCodeKey(*m, sym); return;
    case SPELL_TARGET:
    case ITEM_TARGET:
        if (sym == SDLK_ESCAPE) {
            setState(MEMBER_TURN);
        } else if (bl3dPartyChar* target = memberForKey(sym)) {
            queue(state_ == ITEM_TARGET, target, memberSlotOfKey(sym));
        }
        return;
    case SPELL_DESCRIPTION:
        if (sym == SDLK_ESCAPE)
            setState(SPELL_LIST);
        return;
    default: return;
    }
}

void Event_4000_C::memberTurnKey(bl3dPartyChar& m, int sym)
{
    if (memberSlotOfKey(sym) >= 0) {
        view(sym);
        return;
    }
    if (sym == '-') {
        back();
        return;
    }
    if (m.isPlayingSong()) {
        if (sym == 'c') {
            selAct_[curMember_] = nullptr;
            selActArg_[curMember_] = nullptr;
            nextMember();
        } else if (sym == 'e') {
            const int32_t playing = worldVar(tagkey::CBS);
            selAct_[curMember_] = playing ? CombatRound_C::ownAction(m, playing) : nullptr;
            selActArg_[curMember_] = nullptr;
            queueSong(SONG_STOP_IN_COMBAT);
        }
        return;
    }
    if (m.getConditions() & NO_ORDER) {
        if (sym == SDLK_SPACE) {
            selAct_[curMember_] = nullptr;
            selActArg_[curMember_] = nullptr;
            nextMember();
        }
        return;
    }
    orderMenuKey(m, sym);
}

void Event_4000_C::orderMenuKey(bl3dPartyChar& m, int sym)
{
    switch (sym) {
    case 'a':
        if (!canAttack(m))
            return;
        selAct_[curMember_] = CombatRound_C::ownAction(m, ACTION_ATTACK);
        queueOnGroup(false);
        return;
    case 'd': {
        selAct_[curMember_] = CombatRound_C::ownAction(m, ACTION_DEFEND);
        if (bl3dAction* d = selAct_[curMember_]) {
            void* context[2] = {&round_->text(), &groupDistance_};
            selActArg_[curMember_] = d->enqueue(new bl3dActor(&m), 0, 2, context);
        }
        nextMember();
        return;
    }
    case 'c':
        if (!m.isClass(CLASS_CASTERS))
            return;
        clearEntry();
        setState(SPELL_CODE);
        return;
    case 'p':
        if (!m.isClass(CLASS_BARD))
            return;
        newList();
        for (const ActionNode_S* n = m.actions()->head(); n; n = n->next)
            if (n->action && (static_cast<uint32_t>(n->action->actionID()) & SONG_NUMBER_BITS))
                scrollList_->addLine(n->action->name().c_str(), n->action->actionID(), true);
        setState(SONG_LIST);
        return;
    case 'u':
        buildSkillList(m);
        setState(scrollList_->getNumLines() > 0 ? SKILL_LIST : NO_SKILLS);
        return;
    case 'r': {
        newList();
        if (const bl3dItem* ready = m.getSlotItem(SLOT_READY)) {
            RefStr_C name;
            ready->getDisplayName(name);
            scrollList_->addLine(name.c_str(), SLOT_READY, true);
        }
        setState(scrollList_->getNumLines() > 0 ? WEAPON_LIST : NO_RESERVE);
        return;
    }
    case 'e': {
        selAct_[curMember_] = CombatRound_C::ownAction(m, ACTION_EQUIP_ITEM);
        if (bl3dAction* equip = selAct_[curMember_]) {
            // The player arranges the member's items on the character sheet now.
            void* itemArg[5] = {iface_, &m, &round_->text(), nullptr, nullptr};
            selActArg_[curMember_] = equip->enqueue(new bl3dActor(&m), 0, 5, itemArg);
        }
        nextMember();
        return;
    }
    case 'i': itemOrder(m); return;
    case 'o': setState(RANK_CHOICE); return;
    default: return;
    }
}

void Event_4000_C::groupKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        selAct_[curMember_] = nullptr;
        setState(MEMBER_TURN);
        return;
    }
    if (sym < 'a' || sym > 'h')
        return;
    const int index = sym - 'a';
    if (bl3dMonsterList* group = enemyList.groupAt(index))
        queue(state_ == ITEM_GROUP, group, index);
}

void Event_4000_C::listKey(bl3dPartyChar& m, int sym)
{
    ScrollList_C* list = scrollList_.get();
    if (moveListByKey(list, sym, true)) {
        vell::pushRedraw();
        return;
    }
    if (sym == SDLK_ESCAPE) {
        setState(MEMBER_TURN);
        return;
    }
    if (state_ == SPELL_LIST && sym == 'd') {
        if (list && list->selected() >= 0) {
            buildSpellDescription(m.actions2()->getAction(list->selectedValue()));
            setState(SPELL_DESCRIPTION);
        }
        return;
    }
    if (sym != SDLK_RETURN || !list || list->selected() < 0)
        return;
    const int32_t value = list->selectedValue();
    switch (state_) {
    case WEAPON_LIST:
        m.readyItem(value);
        setState(MEMBER_TURN);
        return;
    case SKILL_LIST: chooseSkill(m, m.actions()->getAction(value)); return;
    case SPELL_LIST: chooseSpell(m.actions2()->getAction(value)); return;
    case SONG_LIST: {
        // The list goes by the song numbers, which a bard's own skills of
        // the higher levels share: such a line is no song to start.
        bl3dAction* song = m.actions()->getAction(value);
        if (!song || !(static_cast<uint32_t>(song->actionID()) & ACTION_BARD_SONG))
            return;
        selAct_[curMember_] = song;
        queueSong(SONG_START_IN_COMBAT);
        return;
    }
    default: return;
    }
}

void Event_4000_C::rankKey(bl3dPartyChar& m, int sym)
{
    if (sym >= '1' && sym <= '9') {
        if (entryLen_ == 0)
            typeEntry(static_cast<char>(sym), 1);
    } else if (sym >= SDLK_KP1 && sym <= SDLK_KP9) {
        if (entryLen_ == 0)
            typeEntry(static_cast<char>('1' + (sym - SDLK_KP1)), 1);
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        eraseEntry();
    } else if (sym == SDLK_ESCAPE) {
        setState(MEMBER_TURN);
    } else if (sym == SDLK_RETURN) {
        bl3dAction* move = selAct_[curMember_];
        const int32_t ranks = entryLen_ > 0 ? entry_[0] - '0' : 0;
        if (move)
            selActArg_[curMember_] = rankUse(move, m, ranks);
        selExtra_[curMember_].ranks = ranks;
        nextMember();
    }
}

void Event_4000_C::spellCodeKey(bl3dPartyChar& m, int sym)
{
    if (sym >= 'a' && sym <= 'z') {
        typeEntry(static_cast<char>(sym - 'a' + 'A'), MAX_CODE);
    } else if (sym == SDLK_BACKSPACE || sym == SDLK_DELETE) {
        eraseEntry();
    } else if (sym == SDLK_TAB) {
        newList();
        for (const ActionNode_S* n = m.actions2()->head(); n; n = n->next)
            if (n->action)
                scrollList_->addLine(n->action->name().c_str(), n->action->actionID(), true);
        setState(SPELL_LIST);
    } else if (sym == SDLK_ESCAPE) {
        setState(MEMBER_TURN);
    } else if (sym == SDLK_RETURN && entryLen_ > 0) {
        const std::string code(entry_, static_cast<size_t>(entryLen_));
        chooseSpell(m.actions2()->getSpellByCode(code.c_str()));
    }
}

void Event_4000_C::chooseSpell(bl3dAction* spell)
{
    selAct_[curMember_] = spell;
    if (!spell) {
        setState(UNKNOWN_SPELL);
    } else if (static_cast<uint32_t>(spell->actionID()) & ACTION_NOT_IN_COMBAT) {
        setState(NOT_IN_COMBAT);
    } else if (enemyKind(spell)) {
        queueOnGroup(false);
    } else if (spell->targetKind() & TARGET_ONE_MEMBER) {
        setState(SPELL_TARGET);
    } else {
        queue(false, nullptr, 0);
    }
}

void Event_4000_C::chooseSkill(bl3dPartyChar& m, bl3dAction* skill)
{
    selAct_[curMember_] = skill;
    if (!skill)
        return;
    spendDailyUse(m, skill); // the list offers only skills with uses left
    if (enemyKind(skill))
        queueOnGroup(false);
    else if (skill->targetKind() & TARGET_ONE_MEMBER)
        setState(SPELL_TARGET);
    else if (skill->targetKind() & TARGET_EVIL_FOES)
        queue(false, &m, curMember_);
    else
        queue(false, nullptr, 0);
}

void Event_4000_C::itemOrder(bl3dPartyChar& m)
{
    InvChooser_C chooser(&m, &combatChooserRedraw);
    const int chosen = chooser.run(iface_, false, false);
    vell::pushRedraw();
    if (chosen < 0)
        return;
    int slot = -1;
    for (int s = 0, filled = 0; s < SLOT_COUNT_ALL; ++s)
        if (m.getSlotItem(s) && filled++ == chosen) {
            slot = s;
            break;
        }
    if (slot < 0) {
        paneMessage(*iface_, "The item must be equipped to be used.", &combatChooserRedraw);
        return;
    }
    itemSlot_ = slot;
    bl3dAction* act = m.getSlotItem(slot)->getAction();
    selAct_[curMember_] = act;
    if (!act) {
        paneMessage(*iface_, "The selected item doesn't do anything.", &combatChooserRedraw);
        return;
    }
    if (act->targetKind() & TARGET_ONE_MEMBER)
        setState(ITEM_TARGET);
    else if (enemyKind(act))
        queueOnGroup(true);
    else
        queue(true, nullptr, 0);
}

// --- lists and panes ---------------------------------------------------------------

void Event_4000_C::newList()
{
    PaneText_C pane(*iface_);
    scrollList_ = std::make_unique<ScrollList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(4),
                                                 pane.lineY(-3));
}

void Event_4000_C::buildSkillList(bl3dPartyChar& m)
{
    newList();
    TagList_C* attrs = m.getTagList();
    for (const ActionNode_S* n = m.actions()->head(); n; n = n->next) {
        const bl3dAction* a = n->action;
        // Songs have their own list; a skill for outside a fight is no order.
        if (!a || isPlainMove(a) || (static_cast<uint32_t>(a->actionID()) & (ACTION_BARD_SONG | ACTION_NOT_IN_COMBAT)))
            continue;
        char key[16];
        counterKey(a, key);
        if (attrs->hasKey(key) && !attrs->hasAmtLeft(key))
            continue;
        scrollList_->addLine(a->name().c_str(), a->actionID(), true);
    }
}

void Event_4000_C::buildSpellDescription(bl3dAction* spell)
{
    if (!spell)
        return;
    PaneText_C pane(*iface_);
    scrollPane_ = std::make_unique<ScrollPane_C>(0, pane.left(), pane.right(), pane.lineY(1), pane.lineY(-3));
    const CommonInterface_C* text = &iface_->text();
    scrollPane_->addText(spell->name().c_str(), text);
    static const char* const schools[] = {"Magician", "Thaumaturg.", "Illusionist", "Summoner", "Warlock", "Pale Claw"};
    const char* kind = "Other";
    if (spell->isForClass(0x100) && spell->school() >= 1 && spell->school() <= 6)
        kind = schools[spell->school() - 1];
    else if (spell->isForClass(0x20))
        kind = "Paladin";
    else if (spell->isForClass(0x200))
        kind = "Geomancer";
    else if (spell->isForClass(0x800))
        kind = "Aeromancer";
    else if (spell->isForClass(0x400))
        kind = "Hydromancer";
    else if (spell->isForClass(0x1000))
        kind = "Pyromancer";
    else if (spell->isForClass(0x2000))
        kind = "Isomancer";
    const auto* asSpell = dynamic_cast<const bl3dSpell*>(spell);
    char line[160];
    std::snprintf(line, sizeof line, "%s (Lvl: %d)", kind, static_cast<int>(spell->getLevel()));
    scrollPane_->addText(line, text);
    std::snprintf(line, sizeof line, "Code: %s", asSpell ? asSpell->code() : "");
    scrollPane_->addText(line, text);
    std::snprintf(line, sizeof line, "Cost: %d", asSpell ? static_cast<int>(asSpell->spCost()) : 0);
    scrollPane_->addText(line, text);
    if (spell->range() != 0)
        std::snprintf(line, sizeof line, "Range: %d'\n\n", static_cast<int>(spell->range()));
    else
        std::snprintf(line, sizeof line, "\n");
    scrollPane_->addText(line, text);
    scrollPane_->addText(spell->description().c_str(), text);
}
