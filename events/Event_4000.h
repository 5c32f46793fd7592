// Event_4000_C: one fight of the party against the monster groups of the
// global enemyList.
//
// Life cycle: the caller fills enemyList, builds the event as a local object
// (or through createEncounterEvent(ENCOUNTER_FIGHT)), calls invoke(&iface)
// once and destroys it. invoke runs the fight's own screen loop until the
// fight is over and gives 0 (won, or the enemy surrendered), 1 (the party
// ran away) or -1 (the whole party perished; the interface's timer pass
// then takes the dead party to the Hall). The fight never empties
// enemyList: the pruned dead are gone from it, survivors stay.
//
// A round: the player gives every living member an order (the order entry
// states), lets the whole party advance, runs or commands a surrender.
// The orders and the monsters' choices are performed by the round driver
// (CombatRound_C) one entry at a time, paced by a timer whose work runs on
// the main thread and only while this fight performs its round; whatever
// pacing work is left when the fight ends is dropped. At the end of a round
// the dead are pruned (experience, gold and carried items collected) and
// dead members go to the back. A victory offers to frisk the bodies, which
// hands a chest with the gold and items to the chest event.
//
// The three parts of the class live apart: the round and its life cycle
// (events/Event_4000.cpp), the order entry (screens/CombatOrders.cpp) and
// the drawing (screens/CombatScreen.cpp).
#pragma once
#include "actions/CombatRound.h"
#include "rules/StatBlock.h"
#include "world/Event.h"

#include <SDL.h>

#include <cstdint>
#include <memory>

class ScrollList_C;
class ScrollPane_C;
class TextBuf_C;
class bl3dAction;
class bl3dMonsterList;
class bl3dPartyChar;
struct ActionUse_S;

// The difficulty setting's factor on a fight's experience and on the gold of
// its chest (easy 1.2, average 1, difficult 0.8, impossible 0.5), truncated.
int64_t scaleByDifficulty(int64_t amount);

// Enters one of the fight's musics ("Combat1" to "Combat7", drawn by the
// game's generator). True when it was entered: only then is it left again
// (popSpecAudio), so that a music the sound packs lack pops nobody else's.
bool enterCombatMusic();

class Event_4000_C : public Event_C {
public:
    // Round states (the order entry's are in screens/CombatOrders.cpp).
    enum RoundState : int {
        PERISHED = -2,
        ESCAPED = -1,
        OVER = 0,
        ROUND_MENU = 1,
        LAUGHED_AT = 2,
        MEMBER_TURN = 3,
        OVERTAKEN = 5,
        BEGIN_COMBAT = 12,
        PERFORMING = 13,
        VICTORY = 14,
        NO_PALADIN = 22,
        SURRENDERED = 23,
        NOT_UNDERSTOOD = 24,
    };
    // Order entry states.
    enum OrderState : int {
        CHOOSE_GROUP = 4,
        WEAPON_LIST = 6,
        RANK_CHOICE = 9,
        RANK_COUNT = 10,
        SKILL_LIST = 11,
        SPELL_CODE = 51,
        UNKNOWN_SPELL = 52,
        SPELL_TARGET = 53,
        SPELL_LIST = 54,
        NOT_IN_COMBAT = 55,
        SONG_LIST = 60,
        ITEM_TARGET = 61,
        ITEM_GROUP = 62,
        NO_RESERVE = 63,
        NO_SKILLS = 70,
        SPELL_DESCRIPTION = 100,
    };

    // The params are ignored (every caller passes null).
    explicit Event_4000_C(const EventParams_S* params = nullptr);
    ~Event_4000_C() override;


    int typeId() const override { return EVENT_COMBAT; }
    int invoke(Interface_C* iface) override;

    // --- the screen -----------------------------------------------------------------
    void key(const SDL_keysym& k);
    void redraw();
    void display();
    // One line per enemy group, nearest first: "%d %s (%d')\n" (size, name,
    // plural above one, distance in feet), appended to out (cut at its end).
    static void sprintEnemy(TextBuf_C& out);
    // The surrender rule; returns the next state.
    int trySurrender();
    // The pacing timer (on SDL's timer thread): hands one pace of the round
    // to the main thread, where it performs the next entry if the round it
    // belongs to is still being performed. Repeats at the interval.
    static uint32_t combatDelayCallback(uint32_t interval, void* param);

    // --- what tests look at ----------------------------------------------------------
    int getState() const { return state_; }
    int getCurMember() const { return curMember_; }
    int32_t getCombatDelay() const { return combatDelay_; }
    int32_t getXpPool() const;
    int32_t getGoldPool() const;
    bl3dAction* getSelAct(int slot) const { return slotOk(slot) ? selAct_[slot] : nullptr; }
    ActionUse_S* getSelActArg(int slot) const { return slotOk(slot) ? selActArg_[slot] : nullptr; }
    void* getCharTarget(int slot) const { return slotOk(slot) ? charTarget_[slot] : nullptr; }
    const char* getEntry() const { return entry_; }
    const ScrollList_C* getScrollList() const { return scrollList_.get(); }
    const ScrollPane_C* getScrollPane() const { return scrollPane_.get(); }
    // The fight whose loop runs now; null outside a fight.
    static Event_4000_C* running();
    // The pacing delay's bounds and the value that stands in for one outside them.
    static constexpr int32_t MIN_DELAY = 500;
    static constexpr int32_t MAX_DELAY = 3000;
    static constexpr int32_t DEFAULT_DELAY = 1000;

private:
    static bool slotOk(int slot) { return slot >= 0 && slot < 8; }
    // Conditions under which a member can give no order, in the order the
    // member's turn names them.
    static constexpr int32_t NO_ORDER = COND_STUNNED | COND_SLEEPING | COND_BLIND | COND_STONE;
    // Each living member's part of the fight's experience, the difficulty
    // applied: what the victory text tells and what the members gain.
    int32_t xpShare() const;

    // --- the round (Event_4000.cpp) ---------------------------------------------
    void start();
    void finish();
    void clearSlots();
    void setState(int state);
    void roundKey(int sym);
    void runAway();
    void advance();
    // What an order needs besides its action and target to be given again.
    struct OrderExtra_S {
        int32_t ranks = 0;  // Advance, Retreat: how many ranks
        int itemSlot = -1;  // an item's power: the equipment slot it is used through
    };
    // One slot's order of the last confirmed round, as "(U)se previous
    // orders" reads it: who gave it, the action, its target and the rest.
    struct LastOrder_S {
        bl3dPartyChar* source = nullptr;
        bl3dAction* act = nullptr;
        void* target = nullptr;
        OrderExtra_S extra;
    };
    void confirmOrders();
    void rebuildPrevious(int slot, bl3dPartyChar& member, bool& playing, const LastOrder_S (&last)[8]);
    void beginRound();
    void performNext();
    void frisk();
    void leaveVictory();
    void startPacing();
    void stopPacing();
    static void pacingWork(intptr_t serial);
    void endSong(bl3dPartyChar& member);
    void restoreParty();
    void advanceClock();

    // --- the order entry (screens/CombatOrders.cpp) --------------------------------
    void orderKey(int sym);
    void memberTurnKey(bl3dPartyChar& member, int sym);
    void orderMenuKey(bl3dPartyChar& member, int sym);
    void groupKey(int sym);
    void listKey(bl3dPartyChar& member, int sym);
    void rankKey(bl3dPartyChar& member, int sym);
    void spellCodeKey(bl3dPartyChar& member, int sym);
    // State 3 for the member in curMember, after the joined monsters from
    // there on chose their orders; "Begin combat?" past the living.
    void beginTurn();
    void nextMember();
    void back();
    void view(int sym);
    // A use of the action for the member: makeEntry on the target, else
    // enqueue at the index, each with a new actor (through the item in
    // itemSlot for an item order). Without a context of the caller's, the
    // narration buffer, the target group's distance (and a square for
    // spells). Null when neither makes one.
    ActionUse_S* makeUse(bl3dAction* act, bl3dPartyChar& m, bool item, void* target, int index, int argc = 0,
                         void** argv = nullptr);
    // The current member's order: makeUse of selAct, the target kept; then
    // the next member.
    void queue(bool item, void* target, int index);
    // Enemy-aimed orders: the only group at once, else the group choice.
    void queueOnGroup(bool item);
    // The song in selAct started or ended (a song request); then the next member.
    void queueSong(int32_t request);
    // A use of Advance or Retreat within the party by that many ranks.
    ActionUse_S* rankUse(bl3dAction* move, bl3dPartyChar& m, int32_t ranks);
    // A skill with uses per day spends one; false (nothing spent) when its
    // uses of the day are gone. Skills without a count of uses are free.
    static bool spendDailyUse(bl3dPartyChar& member, const bl3dAction* skill);
    void chooseSpell(bl3dAction* spell);
    void chooseSkill(bl3dPartyChar& member, bl3dAction* skill);
    void itemOrder(bl3dPartyChar& member);
    void newList();
    void buildSkillList(bl3dPartyChar& member);
    void buildSpellDescription(bl3dAction* spell);
    bool canAttack(const bl3dPartyChar& member) const;
    void typeEntry(char c, int max);
    void eraseEntry();
    void clearEntry();
    bl3dPartyChar* member() const;

    // --- the drawing (screens/CombatScreen.cpp) ---------------------------------------
    void drawRoundMenu();
    void drawMemberTurn();
    void drawGroups();
    void drawOrderState();

    int state_ = ROUND_MENU;
    int curMember_ = 0;
    int itemSlot_ = 0;
    bool hasPaladin_ = false;
    bool surrenderTried_ = false;
    int32_t groupDistance_ = 0;
    bl3dAction* selAct_[8] = {};
    ActionUse_S* selActArg_[8] = {};
    bl3dPartyChar* origSrc_[8] = {};
    bl3dAction* selActBkup_[8] = {};
    OrderExtra_S selExtra_[8] = {};
    OrderExtra_S extraBkup_[8] = {};
    void* charTarget_[8] = {};
    bool wasPlaying_[8] = {};
    bl3dPartyChar* savedOrder_[8] = {};
    Interface_C* iface_ = nullptr;
    bool firstRound_ = true;
    bool usePrevious_ = false;
    std::unique_ptr<CombatRound_C> round_;
    std::unique_ptr<ScrollPane_C> scrollPane_;
    std::unique_ptr<ScrollList_C> scrollList_;
    int timerId_ = 0;   // platform/Timers.h
    int32_t combatDelay_ = DEFAULT_DELAY;
    char entry_[8] = "_";
    int entryLen_ = 0;
    bool pushedMusic_ = false;
    bool pushedTreasure_ = false;
    int32_t noSquare_ = 0;
    // The pacing work carries the serial of the pace it belongs to.
    intptr_t pacingSerial_ = 0;
};
