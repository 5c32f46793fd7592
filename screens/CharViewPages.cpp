// The character sheet's pages: what each state shows in the upper-right
// pane, with a click region on every line that names a key.
#include "screens/CharView.h"

#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "rules/Item.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "screens/CharSheetText.h"
#include "screens/CharViewScreen.h"
#include "screens/InvLines.h"
#include "rules/Inventory.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <SDL.h>

#include <cstdio>
#include <string>

namespace {

CharViewScreen_C& S() { return charViewScreen(); }

int32_t attribute(const bl3dCharacter& who, const char* key)
{
    const TagNode_S* n = who.getTagList()->find(key);
    return n ? n->value.getInt() : 0;
}

void numberAt(PaneText_C& pane, int n, int dx, const char* fmt, long a, long b = 0)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    pane.line(n, buf, 0, dx);
}

void summaryPage(PaneText_C& pane, bl3dPartyChar& m)
{
    pane.line(1, m.getName());
    pane.line(2, charsheet::raceLabel(m).c_str());
    pane.line(3, charsheet::classTitle(m).c_str());
    if (!m.isClass(0x18000)) {
        char buf[48];
        if (m.isClass(0x3F00))
            std::snprintf(buf, sizeof buf, "Lv:%2d(%d)", int(m.getLevel()), int(attribute(m, tagkey::PtLv)));
        else
            std::snprintf(buf, sizeof buf, "Lv:%2d", int(m.getLevel()));
        pane.line(3, buf, 0, 145);
    }
    const std::string condition = charsheet::conditionText(m);
    if (condition == "Dead")
        pane.colouredLine(4, condition.c_str(), 100 / 255.0f, 95 / 255.0f, 85 / 255.0f);
    else if (!condition.empty())
        pane.colouredLine(4, condition.c_str(), 174 / 255.0f, 151 / 255.0f, 104 / 255.0f);

    struct Cell {
        const char* label;
        int stat;
    };
    const Cell grid[3][3] = {{{"St:", 0}, {"IQ:", 1}, {"Co:", 6}},
                             {{"Dx:", 3}, {"Wi:", 2}, {"Lk:", 7}},
                             {{"Cn:", 4}, {"Ch:", 5}, {"AC:", 8}}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
            pane.line(5 + row, grid[row][col].label, 0, col * 80);
            numberAt(pane, 5 + row, col * 80 + 40, "%ld", m.getStatBlock()->getCur(grid[row][col].stat));
        }
    numberAt(pane, 9, 0, "HP:%3ld/%3ld", m.getCurHP(), m.getMaxHP());
    numberAt(pane, 9, 120, "SP:%3ld/%3ld", m.getCurSP(), m.getMaxSP());
    if (m.isClass(0x2))
        numberAt(pane, 10, 0, "Songs:%3ld/%3ld", attribute(m, tagkey::CurSongs), attribute(m, tagkey::MaxSongs));
    char buf[48];
    std::snprintf(buf, sizeof buf, "XP: %u", static_cast<unsigned>(m.getXP()));
    pane.line(11, buf);
    std::snprintf(buf, sizeof buf, "Gold: %u", static_cast<unsigned>(m.getGold()));
    pane.line(12, buf);

    const bool goldMoves = !gameConfig.partyGold && !S().trial;
    int n = goldMoves ? -4 : -2;
    if (S().offersCreate())
        pane.line(n - 1, "(B)uild/Brew Item", 'b');
    pane.line(n++, "(I)nventory", 'i');
    pane.line(n++, "(L)ist Spells", 'l');
    if (goldMoves) {
        pane.line(n++, "(P)ool Gold", 'p');
        pane.line(n++, "(S)hare Gold", 's');
    }
    pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
}

void inventoryPage(PaneText_C& pane, bl3dPartyChar& m)
{
    const CharViewScreen_C& s = S();
    pane.line(1, m.getName());
    pane.line(2, "Inventory:");
    if (!s.invList) {
        std::fprintf(stderr, "ERROR: NULL invList in CharView_C::updateText state 5!\n");
    } else {
        s.invList->draw(&pane.text(), pane.regions());
        pane.listRegion(5, -6, SDLK_RETURN, &ScrollInvList_C::mouseCallback, s.invList.get());
    }
    const bool full = s.allowEdit && !s.trial;
    int n = 0;
    pane.line(n--, s.trial ? "(ESCAPE) to Exit" : "(ESCAPE) to Cancel", SDLK_ESCAPE);
    pane.line(n--, "E(x)amine item", 'x');
    if (full) {
        pane.line(n--, "(D)rop the item", 'd');
        pane.line(n--, "(T)rade the item", 't');
    }
    const int v = s.selectedValue();
    const ItemPlace_S at = findItemAt(m, v - 1);
    if (v <= 0 || !at.item)
        return;
    if (at.place != PACK_PLACE) {
        pane.line(3, slotLabel(at.place));
        if (s.allowEdit)
            pane.line(n--, "(U)nequip the item", 'u');
    } else {
        pane.line(3, PACK_LABEL);
        if (!s.allowEdit || !inv::canOfferEquip(m, *at.item))
            return;
        pane.line(n--, "(E)quip the item", 'e');
    }
    if (full && at.item->isAmmo())
        pane.line(n--, "(J)oin Ammunition", 'j');
}

void spellListPage(PaneText_C& pane, bl3dPartyChar& m)
{
    const CharViewScreen_C& s = S();
    pane.line(1, m.getName());
    pane.line(2, "Spells:");
    if (s.spellList) {
        s.spellList->draw(&pane.text(), pane.regions());
        pane.listRegion(3, -4, SDLK_RETURN, &ScrollList_C::mouseCallback, s.spellList.get());
    }
    pane.line(-2, "(S)ummary", 's');
    pane.line(-1, "(RETURN) for Details", SDLK_RETURN);
    pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
}

void spellSummaryPage(PaneText_C& pane, bl3dPartyChar& m)
{
    pane.line(1, m.getName());
    int n = 2;
    const bool school = m.isClass(0x100);
    const bool elemental = !school && m.isClass(0x3E00);
    for (const charsheet::SummaryBlock_S& b : charsheet::spellSummary(m)) {
        pane.line(n++, b.heading.c_str());
        if (school)
            pane.line(n++, b.counts.c_str(), 0, 30);
        else
            pane.line(n++, ((elemental ? "    " : "\t\t") + b.counts).c_str());
    }
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
}

void questionPage(PaneText_C& pane, bl3dPartyChar& m, const char* fmt, const char* item)
{
    char buf[400];
    std::snprintf(buf, sizeof buf, fmt, item ? item : "");
    pane.line(1, m.getName());
    pane.wrapped(2, buf);
}

} // namespace

void CharViewScreen_C::drawPicture()
{
    iface_->setULPic(member->nameBuffer());
    iface_->drawULPic();
}

void CharViewScreen_C::drawText()
{
    PaneText_C pane(*iface_);
    drawState(pane);
}

void CharViewScreen_C::drawState(PaneText_C& pane)
{
    bl3dPartyChar& m = *member;
    switch (state_) {
    case CharView_C::STATE_SUMMARY:
        summaryPage(pane, m);
        break;
    case CharView_C::STATE_SPELLS:
        spellListPage(pane, m);
        break;
    case CharView_C::STATE_INVENTORY:
        inventoryPage(pane, m);
        break;
    case CharView_C::STATE_GIVE: {
        char buf[400];
        const char* item = invList ? invList->selectedText() : nullptr;
        std::snprintf(buf, sizeof buf, "Who does %s want to give the %s to?", m.getName(), item ? item : "");
        pane.line(1, m.getName());
        pane.wrapped(2, buf);
        pane.line(-1, "(F1-F8) for Character");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    }
    case CharView_C::STATE_SPELL_DETAIL:
        if (detail)
            detail->drawPane(&pane.text(), pane.regions());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case CharView_C::STATE_SPELL_SUMMARY:
        spellSummaryPage(pane, m);
        break;
    case CharView_C::STATE_NOT_CASTER:
    case CharView_C::STATE_NO_SPELLS:
        pane.wrapped(1, state_ == CharView_C::STATE_NOT_CASTER ? "Thou art not a spell caster!"
                                                               : "Thou hast no knowledge of spells!");
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case CharView_C::STATE_DISCARD:
        questionPage(pane, m, "Are you sure you wish to discard the %s permanently?",
                     invList ? invList->selectedText() : nullptr);
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        break;
    case CharView_C::STATE_ITEM_INFO: {
        const ItemPlace_S at = findItemAt(m, selectedValue() - 1);
        if (at.item)
            CharView_C::printItemInfo(invList->selectedText(), at.item);
        break;
    }
    default:
        break;
    }
}

void CharView_C::redraw()
{
    if (S().isOpen())
        S().display();
}

void CharView_C::updateText()
{
    if (S().isOpen())
        S().drawText();
}

void CharView_C::printItemInfo(const char* title, const bl3dItem* item)
{
    Interface_C* iface = S().iface();
    if (!iface || !item)
        return;
    PaneText_C pane(*iface);
    int n = 1;
    for (const std::string& block : charsheet::itemInfo(title, *item, canJudgeCombat(), canJudgeMagic()))
        n += pane.wrapped(n, block.c_str());
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
}
