#include "screens/CombatScreen.h"

#include "core/CommonInterface.h"
#include "core/ScrollList.h"
#include "core/ScrollPane.h"
#include "core/TextBuf.h"
#include "events/Event_4000.h"
#include "rules/Action.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

namespace {

// Where the group lines of the attack choice begin, and how far their text
// stands from the letter.
constexpr int GROUP_FIRST_LINE = 3;
constexpr int GROUP_TEXT_DX = 25;

void message(PaneText_C& pane, const char* text)
{
    pane.wrapped(1, text);
    pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
}

void drawList(PaneText_C& pane, const char* heading, ScrollList_C* list)
{
    pane.wrapped(1, heading);
    if (!list)
        return;
    list->draw(&pane.text(), pane.regions());
    pane.listRegion(4, -3, SDLK_RETURN, &ScrollList_C::mouseCallback, list);
}

// The state's options, one per line from line `first` down.
struct Options_S {
    PaneText_C& pane;
    int n;
    void add(const char* text, int key)
    {
        pane.line(n, text, key);
        ++n;
    }
};

} // namespace

const char* combatPictureName()
{
    bl3dMonsterList* first = enemyList.groupAt(0);
    bl3dMonster* m = first ? first->getMonster(0) : nullptr;
    return m ? m->nameBuffer() : "Treasure";
}

namespace {

void drawEnemyPicture(Interface_C& ui)
{
    const char* name = combatPictureName();
    if (ui.curPicNamed(name) || ui.setULPic(name) != 0)
        ui.drawULPic();
}

} // namespace

void combatChooserRedraw() { drawEnemyPicture(iface); }

void Event_4000_C::sprintEnemy(TextBuf_C& out)
{
    out.clear();
    int distance = 0;
    for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g, &distance); ++g) {
        const bl3dMonster* m = group->getMonster(0);
        out.append("%d %s (%d')\n", static_cast<int>(group->getSize()), m ? m->displayName(group->getSize() > 1) : "",
                   distance);
    }
}

void Event_4000_C::redraw()
{
    if (!iface_)
        return;
    enemyList.rewind();
    beginPage(*iface_, [this] { drawEnemyPicture(*iface_); });
    display();
    refreshCursor(*iface_);
}

void Event_4000_C::display()
{
    if (!iface_)
        return;
    glColor3f(0, 0, 0);
    PaneText_C pane(*iface_);
    char line[1200];
    switch (state_) {
    case ROUND_MENU: drawRoundMenu(); return;
    case LAUGHED_AT:
        message(pane, "Your foes laugh in your face, and you flush with shame for your inept attempt at bravery.");
        return;
    case OVERTAKEN:
        message(pane, "Though you ran from your enemies as fast as you could, your foes refuse to let you go so "
                      "easily.\n\nAs they overtake you, combat is your only option.");
        return;
    case BEGIN_COMBAT:
        pane.wrapped(1, "Begin combat?");
        pane.line(-1, "(Y)es", 'y');
        pane.line(0, "(N)o", 'n');
        return;
    case PERFORMING:
        if (scrollPane_)
            scrollPane_->drawPane(&iface_->text(), pane.regions());
        return;
    case VICTORY: {
        std::snprintf(line, sizeof line,
                      "The battle is won, the glory is yours, and you have gained %d experience points each!  "
                      "What do you do with the remains?",
                      static_cast<int>(xpShare()));
        Options_S o{pane, 1 + pane.wrapped(1, line)};
        if (getGoldPool() != 0 || round_->loot().count() > 0)
            o.add("(F)risk the bodies for treasure", 'f');
        o.add("(L)eave the scene", 'l');
        return;
    }
    case NO_PALADIN: message(pane, "Your party must have a living Paladin in order to command a surrender!"); return;
    case SURRENDERED: message(pane, "The enemy thinks better of attacking you and moves along"); return;
    case NOT_UNDERSTOOD: message(pane, "The enemy cannot understand your words"); return;
    case MEMBER_TURN: drawMemberTurn(); return;
    default: drawOrderState(); return;
    }
}

void Event_4000_C::drawRoundMenu()
{
    PaneText_C pane(*iface_);
    scrollPane_ = std::make_unique<ScrollPane_C>(0, -1, -1, -1, -1);
    const CommonInterface_C* text = &iface_->text();
    scrollPane_->addText("Snarls of derision descend upon you from your latest band of critics.\nYou face:", text);
    char lines[CombatRound_C::TEXT_SIZE];
    TextBuf_C enemies(lines, sizeof lines);
    sprintEnemy(enemies);
    scrollPane_->addText(enemies.c_str(), text);
    scrollPane_->addText("What dost your brave party wish to do?\n\n", text);
    Options_S o{pane, -5};
    if (!surrenderTried_ && hasPaladin_)
        o.add("(C)ommand them to surrender", 'c');
    o.add("Ad(v)ance", 'v');
    o.add("(F)ight with valor", 'f');
    if (!firstRound_)
        o.add("(U)se previous orders", 'u');
    o.add("(R)un like a bunny", 'r');
    scrollPane_->drawPane(&iface_->text(), pane.regions());
}

void Event_4000_C::drawMemberTurn()
{
    const bl3dPartyChar* m = member();
    if (!m || m->isJoinedMonster())
        return;
    PaneText_C pane(*iface_);
    char line[200];
    if (m->isPlayingSong()) {
        std::snprintf(line, sizeof line, "%s, you are currently playing.  What will you do?", m->getName());
        Options_S o{pane, 1 + pane.wrapped(1, line)};
        o.add("(C)ontinue Bard Song", 'c');
        o.add("(E)nd Bard Song", 'e');
        o.add("(-) Go back", '-');
        pane.line(0, "(F1-F8) to View");
        return;
    }
    const int32_t c = m->getConditions();
    if (c & NO_ORDER) {
        const char* what = (c & COND_STUNNED) ? "stunned" : (c & COND_SLEEPING) ? "asleep" : (c & COND_BLIND) ? "blind" : "stone";
        std::snprintf(line, sizeof line, "%s is currently %s!", m->getName(), what);
        Options_S o{pane, 1 + pane.wrapped(1, line)};
        o.add("(SPACE) to Continue", SDLK_SPACE);
        o.add("(-) Go back", '-');
        pane.line(0, "(F1-F8) to View");
        return;
    }
    std::snprintf(line, sizeof line, "%s, what will you do?", m->getName());
    Options_S o{pane, 1 + pane.wrapped(1, line)};
    if (canAttack(*m))
        o.add("(A)ttack the brutes", 'a');
    o.add("(D)efend yourself", 'd');
    if (m->isClass(CLASS_CASTERS))
        o.add("(C)ast a spell", 'c');
    if (m->isClass(CLASS_BARD))
        o.add("(P)lay a song", 'p');
    o.add("(U)se a special skill", 'u');
    o.add("(R)eady weapon in reserve", 'r');
    o.add("(E)quip an item", 'e');
    o.add("(I)nvoke an item", 'i');
    o.add("(O)rder change", 'o');
    if (curMember_ > 0)
        o.add("(-) Go back", '-');
    pane.line(0, "(F1-F8) to View");
}

void Event_4000_C::drawGroups()
{
    PaneText_C pane(*iface_);
    pane.wrapped(1, "You face:");
    int n = GROUP_FIRST_LINE;
    int distance = 0;
    char line[160];
    for (int g = 0; g < 8; ++g, ++n) {
        bl3dMonsterList* group = enemyList.groupAt(g, &distance);
        if (!group)
            break;
        const bl3dMonster* m = group->getMonster(0);
        const char letter[3] = {static_cast<char>('A' + g), ')', 0};
        pane.line(n, letter, 'a' + g);
        std::snprintf(line, sizeof line, "%d %s (%d')", static_cast<int>(group->getSize()),
                      m ? m->displayName(group->getSize() > 1) : "", distance);
        pane.line(n, line, 0, GROUP_TEXT_DX);
    }
    pane.wrapped(n, "Which will you bravely attack?");
    pane.line(0, "(ESCAPE) to Go Back", SDLK_ESCAPE);
}

void Event_4000_C::drawOrderState()
{
    PaneText_C pane(*iface_);
    char line[200];
    auto cancel = [&pane] { pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE); };
    auto select = [&pane] { pane.line(-1, "(RETURN) to Select", SDLK_RETURN); };
    switch (state_) {
    case CHOOSE_GROUP:
    case ITEM_GROUP: drawGroups(); return;
    case WEAPON_LIST:
        drawList(pane, "Available weapons:", scrollList_.get());
        select();
        cancel();
        return;
    case NO_RESERVE: message(pane, "You do not have any other weapons ready."); return;
    case RANK_CHOICE:
        pane.wrapped(1, "Would you like to:");
        pane.line(3, "(A)dvance within the party", 'a');
        pane.line(5, "(R)etreat within the party", 'r');
        cancel();
        return;
    case RANK_COUNT: {
        const bl3dAction* a = selAct_[curMember_];
        std::snprintf(line, sizeof line, "How many ranks would you like to %s?",
                      a && a->actionID() == ACTION_ADVANCE ? "advance" : "retreat");
        pane.line(1 + pane.wrapped(1, line), entry_);
        pane.line(-1, "(RETURN) to Accept", SDLK_RETURN);
        cancel();
        return;
    }
    case SKILL_LIST:
        drawList(pane, "Available skills:", scrollList_.get());
        select();
        cancel();
        return;
    case NO_SKILLS: message(pane, "You have no special skills for combat"); return;
    case SPELL_CODE:
        std::snprintf(line, sizeof line, "Enter Code: %s", entry_);
        pane.wrapped(1, line);
        pane.line(-1, "(TAB) for List", SDLK_TAB);
        cancel();
        return;
    case SPELL_LIST:
        drawList(pane, "Available spells:", scrollList_.get());
        pane.line(-2, "(D)escription", 'd');
        select();
        cancel();
        return;
    case SPELL_DESCRIPTION:
        if (scrollPane_)
            scrollPane_->drawPane(&iface_->text(), pane.regions());
        pane.line(0, "(ESC) to Continue", SDLK_ESCAPE);
        return;
    case UNKNOWN_SPELL: message(pane, "Alas, such a spell is beyond your knowledge."); return;
    case NOT_IN_COMBAT: message(pane, "That spell is not appropriate in combat!"); return;
    case SPELL_TARGET: {
        const bl3dAction* a = selAct_[curMember_];
        std::snprintf(line, sizeof line, "On who do you wish to cast %s?", a ? a->name().c_str() : "");
        pane.wrapped(1, line);
        pane.line(-1, "(F1-F8) for Character");
        cancel();
        return;
    }
    case ITEM_TARGET: {
        const bl3dPartyChar* m = member();
        const bl3dItem* item = m ? m->getSlotItem(itemSlot_) : nullptr;
        RefStr_C name;
        if (item)
            item->getDisplayName(name);
        std::snprintf(line, sizeof line, "On who do you wish to use the %s?", item ? name.c_str() : "");
        pane.wrapped(1, line);
        pane.line(-1, "(F1-F8) for Character");
        cancel();
        return;
    }
    case SONG_LIST:
        drawList(pane, "Available songs:", scrollList_.get());
        select();
        cancel();
        return;
    default: return;
    }
}
