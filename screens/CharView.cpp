// The character sheet's life cycle and keys: run, the equipment trial and
// the key handler of every page.
#include "screens/CharView.h"
#include "world/ListKeys.h"

#include "actions/Spell.h"
#include "core/GameConfig.h"
#include "core/MemberKeys.h"
#include "core/ModalLoop.h"
#include "core/PtrList.h"
#include "rules/Item.h"
#include "rules/ItemCreate.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "screens/CharSheetText.h"
#include "screens/CharViewScreen.h"
#include "screens/CreateItem.h"
#include "screens/InvLines.h"
#include "rules/Inventory.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

CharViewScreen_C& charViewScreen()
{
    static CharViewScreen_C screen;
    return screen;
}

bool CharViewScreen_C::hasCreateGift() const
{
    if (!member)
        return false;
    for (const ItemCreate_S& kind : itemCreate)
        if (member->getCreateAbility(&kind) != 0)
            return true;
    return false;
}

void CharViewScreen_C::open(bl3dPartyChar* pc, Interface_C* iface, bool edit, bool inTrial, int state)
{
    member = pc;
    iface_ = iface;
    allowEdit = edit;
    trial = inTrial;
    changed = false;
    state_ = state;
}

void CharViewScreen_C::close()
{
    trial = false;
    member = nullptr;
    invList.reset();
    spellList.reset();
    detail.reset();
}

void CharViewScreen_C::run()
{
    runLoop(false);
    iface_->clearULPic();
}

void CharViewScreen_C::rebuildInvList()
{
    if (!member || !iface_)
        return;
    PaneText_C pane(*iface_);
    invList = makeInvList(&iface_->text(), *member, pane.left(), pane.right(), pane.lineY(5), pane.lineY(-6), 20, 0,
                          false);
}

// A new spell list of the member's known spells: state 4 when it has a line,
// else 10.
void CharViewScreen_C::buildSpellList()
{
    go(CharView_C::STATE_NO_SPELLS);
    PaneText_C pane(*iface_);
    spellList =
        std::make_unique<ScrollList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-4));
    for (bl3dAction* a : charsheet::knownSpells(*member)) {
        spellList->addLine(a->name().c_str(), a->actionID(), true);
        go(CharView_C::STATE_SPELLS);
    }
}

// The detail pane of the selected spell; false when no spell is selected.
bool CharViewScreen_C::buildSpellDetail()
{
    if (!spellList || spellList->selected() < 0)
        return false;
    const int id = spellList->selectedValue();
    bl3dAction* action = nullptr;
    for (bl3dAction* a : charsheet::knownSpells(*member))
        if (a->actionID() == id) {
            action = a;
            break;
        }
    auto* spell = dynamic_cast<bl3dSpell*>(action);
    if (!spell)
        return false;
    PaneText_C pane(*iface_);
    detail = std::make_unique<ScrollPane_C>(0, pane.left(), pane.right(), pane.lineY(1), pane.lineY(-2));
    const CommonInterface_C* text = &iface_->text();
    char buf[256];
    detail->addText(spell->name().c_str(), text);
    std::snprintf(buf, sizeof buf, "%s (Lvl: %d)", charsheet::spellSchool(*spell).c_str(), int(spell->getLevel()));
    detail->addText(buf, text);
    std::snprintf(buf, sizeof buf, "Code: %s", spell->code());
    detail->addText(buf, text);
    std::snprintf(buf, sizeof buf, "Cost: %d", int(spell->spCost()));
    detail->addText(buf, text);
    if (spell->range() != 0) {
        std::snprintf(buf, sizeof buf, "Range: %d'\n\n", int(spell->range()));
        detail->addText(buf, text);
    } else {
        detail->addText("\n", text);
    }
    detail->addText(spell->description().c_str(), text);
    return true;
}

namespace {

CharViewScreen_C& S() { return charViewScreen(); }

// The redraw function of message boxes over the sheet: the member's picture.
void drawMemberPicture()
{
    CharViewScreen_C& s = S();
    if (!s.isOpen())
        return;
    s.iface()->setULPic(s.member->nameBuffer());
    s.iface()->drawULPic();
}

// --- the equipment trial -------------------------------------------------------------

// The member's items as they were: pack order and slots, with the equipped
// flags. Pointers only: the items stay the member's.
struct TrialBackup_S {
    std::vector<bl3dItem*> pack;
    std::vector<bool> packEquipped;
    bl3dItem* slots[SLOT_COUNT] = {};
    bool equipped[SLOT_COUNT] = {};

    explicit TrialBackup_S(const bl3dPartyChar& m)
    {
        const PtrList_C* p = m.getPack();
        for (int i = 0; i < p->count(); ++i) {
            auto* item = static_cast<bl3dItem*>(p->at(i));
            pack.push_back(item);
            packEquipped.push_back(item->isEquipped());
        }
        for (int s = 0; s < SLOT_COUNT; ++s) {
            slots[s] = m.getSlotItem(s);
            equipped[s] = slots[s] && slots[s]->isEquipped();
        }
    }
};

// What the member holds now, by serial.
void describe(const bl3dPartyChar& m, EquipTrial_S& out)
{
    out.pack.clear();
    const PtrList_C* p = m.getPack();
    for (int i = 0; i < p->count(); ++i)
        out.pack.push_back(p->at(i)->getSerial());
    for (int s = 0; s < SLOT_COUNT; ++s)
        out.equip[size_t(s)] = m.getSlotItem(s) ? m.getSlotItem(s)->getSerial() : 0;
}

// Puts the member back as the backup has it: the pack in its old order, each
// slot's item back in its slot (which equips it again), then the equipped
// flags as they were (an item of a type already worn elsewhere, a slot out of
// use). Items the member no longer holds are left out rather than put back;
// items the backup does not know go onto the pack.
void restore(bl3dPartyChar& m, const TrialBackup_S& b)
{
    std::set<bl3dItem*> held;
    PtrList_C* pack = m.getPack();
    while (pack->count() > 0) {
        auto* item = static_cast<bl3dItem*>(pack->at(0));
        pack->unlink(item);
        held.insert(item);
    }
    for (int s = SLOT_COUNT - 1; s >= 0; --s)
        if (bl3dItem* item = m.takeFromSlot(s))
            held.insert(item);

    for (size_t i = b.pack.size(); i-- > 0;)
        if (held.erase(b.pack[i]))
            pack->pushFront(b.pack[i]);
    for (int s = 0; s < SLOT_COUNT; ++s)
        if (b.slots[s] && held.erase(b.slots[s]))
            m.putInSlot(s, b.slots[s]);
    for (bl3dItem* stray : held)
        pack->pushFront(stray);

    for (int s = 0; s < SLOT_COUNT; ++s)
        if (bl3dItem* item = m.getSlotItem(s); item && item == b.slots[s] && item->isEquipped() && !b.equipped[s])
            item->unequip(m);
    for (int s = 0; s < SLOT_COUNT; ++s)
        if (bl3dItem* item = m.getSlotItem(s); item && item == b.slots[s] && !item->isEquipped() && b.equipped[s])
            item->equip(m);
    for (size_t i = 0; i < b.pack.size(); ++i)
        b.pack[i]->setEquipped(b.packEquipped[i]);
    m.getStatBlock()->recompute();
}

} // namespace

// --- keys by page ----------------------------------------------------------------

bool CharViewScreen_C::summaryKey(int sym)
{
    const bool goldMoves = !gameConfig.partyGold && !trial && party;
    switch (sym) {
    case SDLK_ESCAPE:
        iface_->clearUR(false);
        go(CharView_C::STATE_DONE);
        return true;
    case 'i':
        rebuildInvList();
        go(CharView_C::STATE_INVENTORY);
        return true;
    case 'l':
        if (!member->isClass(0x3F20))
            go(CharView_C::STATE_NOT_CASTER);
        else
            buildSpellList();
        return true;
    case 'p':
        if (goldMoves)
            inv::poolGold(*member, *party);
        return goldMoves;
    case 's':
        if (goldMoves)
            inv::shareGold(*member, *party);
        return goldMoves;
    case 'b':
        if (!offersCreate())
            return false;
        CreateItem_C::runForBuilder(iface_, member);
        return true;
    default:
        if (memberSlotOfKey(sym) >= 0 && !trial)
            if (bl3dPartyChar* m = memberForKey(sym)) {
                member = m;
                return true;
            }
        return false;
    }
}

bool CharViewScreen_C::spellListKey(int sym)
{
    if (moveListByKey(spellList.get(), sym, true))
        return true;
    switch (sym) {
    case SDLK_RETURN:
        // With nothing selected (no spell known any more): the page that
        // says so.
        if (!buildSpellDetail())
            go(CharView_C::STATE_NO_SPELLS);
        else
            go(CharView_C::STATE_SPELL_DETAIL);
        return true;
    case SDLK_ESCAPE:
        go(CharView_C::STATE_SUMMARY);
        return true;
    case 's':
        go(CharView_C::STATE_SPELL_SUMMARY);
        return true;
    default:
        break;
    }
    return false;
}

// F1-F8 on the spell pages: that member's spells, without the caster test.
bool CharViewScreen_C::spellMemberKey(int sym)
{
    if (memberSlotOfKey(sym) < 0 || trial)
        return false;
    bl3dPartyChar* m = memberForKey(sym);
    if (!m)
        return false;
    member = m;
    buildSpellList();
    return true;
}

bool CharViewScreen_C::inventoryKey(int sym)
{
    const int v = selectedValue();
    const bool edit = allowEdit;
    const bool full = edit && !trial;   // what the trial cannot undo
    if (moveListByKey(invList.get(), sym, true))
        return true;
    switch (sym) {
    case SDLK_ESCAPE:
        go(trial ? CharView_C::STATE_DONE : CharView_C::STATE_SUMMARY);
        return true;
    case 'x':
        if (v == 0)
            return false;
        go(CharView_C::STATE_ITEM_INFO);
        return true;
    case 'e':
    case 'u':
        if (!edit || v == 0)
            return false;
        if (sym == 'e' ? inv::equip(*member, v - 1) : inv::unequip(*member, v - 1, inv::worldLimits()))
            changed = true;
        rebuildInvList();
        return true;
    case 'j':
        if (!full || v == 0)
            return false;
        inv::join(*member, v - 1);
        rebuildInvList();
        return true;
    case 't':
        if (!full || v == 0)
            return false;
        go(CharView_C::STATE_GIVE);
        return true;
    case 'd':
        if (!full || v == 0)
            return false;
        go(CharView_C::STATE_DISCARD);
        return true;
    default:
        if (memberSlotOfKey(sym) >= 0 && !trial)
            if (bl3dPartyChar* m = memberForKey(sym)) {
                member = m;
                rebuildInvList();
                return true;
            }
        return false;
    }
}

bool CharViewScreen_C::giveKey(int sym)
{
    if (sym == SDLK_ESCAPE) {
        rebuildInvList();
        go(CharView_C::STATE_INVENTORY);
        return true;
    }
    if (memberSlotOfKey(sym) < 0)
        return false;
    bl3dPartyChar* to = memberForKey(sym);
    if (!to)
        return false;
    const int v = selectedValue();
    if (v > 0 && inv::give(*member, v - 1, *to, inv::worldLimits()) == inv::Give::NoRoom) {
        char msg[200];
        std::snprintf(msg, sizeof msg, "%s has no room for that item!", to->getName());
        paneMessage(*iface_, msg, drawMemberPicture);
    }
    rebuildInvList();
    go(CharView_C::STATE_INVENTORY);
    return true;
}

bool CharViewScreen_C::pageKey(int sym)
{
    switch (state_) {
    case CharView_C::STATE_SUMMARY:
        return summaryKey(sym);
    case CharView_C::STATE_SPELLS:
        return spellListKey(sym) || spellMemberKey(sym);
    case CharView_C::STATE_INVENTORY:
        return inventoryKey(sym);
    case CharView_C::STATE_GIVE:
        return giveKey(sym);
    case CharView_C::STATE_SPELL_DETAIL:
        if (sym == SDLK_SPACE) {
            go(CharView_C::STATE_SPELLS);
            return true;
        }
        return moveListByKey(detail.get(), sym, true);
    case CharView_C::STATE_NO_SPELLS:
        if (sym == SDLK_SPACE) {
            go(CharView_C::STATE_SUMMARY);
            return true;
        }
        return spellMemberKey(sym);
    case CharView_C::STATE_DISCARD:
        if (sym == 'n') {
            go(CharView_C::STATE_INVENTORY);
            return true;
        }
        if (sym != 'y' || selectedValue() == 0)
            return false;
        inv::discard(*member, selectedValue() - 1);
        rebuildInvList();
        go(CharView_C::STATE_INVENTORY);
        return true;
    default:
        return false;
    }
}

void CharViewScreen_C::handleKey(int sym, SDLMod)
{
    if (pageKey(sym))
        vell::pushRedraw();
}

bool CharViewScreen_C::isMessage() const
{
    return state_ == CharView_C::STATE_SPELL_SUMMARY || state_ == CharView_C::STATE_NOT_CASTER ||
           state_ == CharView_C::STATE_ITEM_INFO;
}

// SPACE on a message: the spell summary goes back to the spell list, "not a
// spell caster" to the summary page, the item information to the inventory.
void CharViewScreen_C::endMessage()
{
    switch (state_) {
    case CharView_C::STATE_SPELL_SUMMARY:
        setState(CharView_C::STATE_SPELLS);
        break;
    case CharView_C::STATE_NOT_CASTER:
        setState(CharView_C::STATE_SUMMARY);
        break;
    default:
        setState(CharView_C::STATE_INVENTORY);
        break;
    }
}

// --- life cycle ----------------------------------------------------------------------

void CharView_C::run(bl3dPartyChar* pc, Interface_C* iface, bool allowEdit)
{
    if (!pc || !iface)
        return;
    CharViewScreen_C& s = S();
    s.open(pc, iface, allowEdit, false, STATE_SUMMARY);
    s.run();
    s.close();
}

void CharView_C::charView(bl3dPartyChar* pc, Interface_C* iface, EquipTrial_S& out, int startState, bool allowEdit)
{
    out = EquipTrial_S();
    if (!pc || !iface)
        return;
    CharViewScreen_C& s = S();
    s.open(pc, iface, allowEdit, true, startState);
    const TrialBackup_S backup(*pc);
    s.rebuildInvList();
    s.run();

    describe(*pc, out);
    out.changed = s.changed;
    if (out.changed)
        restore(*pc, backup);
    s.close();
}

bool CharView_C::equipTrial(bl3dPartyChar* pc, EquipTrial_S& out)
{
    if (!pc)
        return false;
    charView(pc, &iface, out, STATE_INVENTORY, true);
    return true;
}

void CharView_C::key(int sym)
{
    if (S().isOpen())
        S().key(sym);
}

int CharView_C::getState() { return S().getState(); }
bl3dPartyChar* CharView_C::getMember() { return S().member; }
bool CharView_C::inTrial() { return S().trial; }
const ScrollInvList_C* CharView_C::getInvList() { return S().invList.get(); }
const ScrollList_C* CharView_C::getSpellList() { return S().spellList.get(); }
const ScrollPane_C* CharView_C::getDetailPane() { return S().detail.get(); }
bool CharView_C::canJudgeCombat() { return charsheet::canJudgeCombat(party); }
bool CharView_C::canJudgeMagic() { return charsheet::canJudgeMagic(party); }
