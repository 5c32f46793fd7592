// CombatRound_C: the rounds of one fight between the party (the global
// `party`) and the enemy groups (the global `enemyList`), without a screen.
// Each round every living member's order and every group's combat AI choice
// go into the initiative list, the entries are performed from the highest
// initiative down, and at the end the dead monsters are pruned (their
// experience, gold and carried items collected) and dead members move
// behind the living ones.
//
// Life cycle: build one per fight; per round setOrder for the members that
// do something other than the default, then runRound (or, for a screen that
// paces the entries, queueRound, performNext until it gives
// INIT_LIST_EMPTY, endRound). Uses still queued when it is destroyed are
// released unperformed.
//
// A member without an order of its own attacks the nearest group when it
// stands in the front four or holds a bow or a throwing weapon, and defends
// otherwise; a member that a monster type drives chooses through its combat
// AI; a stunned, sleeping, blind or stone member, or one playing a song,
// does nothing. A bard song given as an order starts the fight's song
// ("CBS", cleared when the driver is built); a bard who falls stops
// playing, and every song ends with the fight.
#pragma once
#include "core/PtrList.h"
#include "core/TextBuf.h"
#include "rules/InitList.h"

#include <cstdint>
#include <functional>

class bl3dAction;
class bl3dCharacter;
class bl3dPartyChar;

// What a member does in a round.
struct RoundOrder_S {
    bl3dAction* action = nullptr;
    // An enemy group (bl3dMonsterList*), a party member, or null: handed to
    // makeEntry. When makeEntry builds nothing, enqueue gets targetIndex.
    void* target = nullptr;
    int targetIndex = 0;
    // Advance and Retreat: how many ranks.
    int32_t places = 0;
};

enum class FightState { Going, Won, PartyDead };

class CombatRound_C {
public:
    // The narration buffer every entry writes into (the combat screen's is
    // 1002 characters).
    static constexpr size_t TEXT_SIZE = 1002;

    CombatRound_C();
    ~CombatRound_C() = default;
    CombatRound_C(const CombatRound_C&) = delete;
    CombatRound_C& operator=(const CombatRound_C&) = delete;

    // --- orders ----------------------------------------------------------------------
    // The member in that slot does this in the next rounds (until changed).
    void setOrder(int slot, const RoundOrder_S& order);
    void clearOrders();
    // Told the narration of every entry that did something.
    void setNarration(std::function<void(const char*)> sink) { narrate_ = std::move(sink); }
    // Runs at the end of a round with enemies left (the game advances its
    // clock by a tick there, which ticks every creature's effects).
    void setRoundEnd(std::function<void()> hook) { roundEnd_ = std::move(hook); }

    // --- a round -----------------------------------------------------------------------
    // queueRound + performNext until the list is empty + endRound.
    FightState runRound();
    // The members' orders and the groups' choices into the initiative list.
    void queueRound();
    // Pops entries until one acts (its result, 0 or more, after its
    // narration went to the sink) or the round ends (INIT_LIST_EMPTY or
    // another result of -999 or less). Entries that could not act (-998 to
    // -1) are passed over.
    int performNext();
    // Prunes the dead monsters, moves dead members behind the living and
    // says how the fight stands; with enemies left the round end's hook
    // runs, and whoever it killed is pruned or moved back the same way.
    FightState endRound();

    // --- a round whose orders a screen took --------------------------------------------
    // A screen that asks each member makes the uses itself: it empties the
    // list, adds each entry (the member's at initiative(member)), then lets
    // the groups choose.
    // rand() % 4 + the member's current dexterity + its class's bonus.
    static uint32_t initiative(const bl3dPartyChar& member);
    // Each group's combat AI (by its first monster) adds its entries.
    void queueGroups();
    // Every playing member's song ends (a fight that ends otherwise).
    void endAllSongs() { endSongs(false); }
    // Dead members move behind the living, who keep their order.
    static void deadToTheBack();
    // The creature's own action of that id, else the game's.
    static bl3dAction* ownAction(bl3dCharacter& who, int32_t id);

    // --- what the fight collected ----------------------------------------------------
    int32_t xp() const { return xp_; }
    int32_t gold() const { return gold_; }
    PtrList_C& loot() { return loot_; }
    bl3dInitList& initList() { return initList_; }
    TextBuf_C& text() { return text_; }
    int rounds() const { return rounds_; }

private:
    void queueMember(int slot, bl3dPartyChar& member);
    // makeEntry, else enqueue with a new actor; null when neither builds.
    ActionUse_S* makeUse(bl3dPartyChar& member, const RoundOrder_S& order);
    RoundOrder_S defaultOrder(int slot, bl3dPartyChar& member) const;
    // The fight's song ("CBS") ended by the member that plays it.
    void endSong(bl3dPartyChar& member);
    // Every playing member's song (only the dead ones' with deadOnly).
    void endSongs(bool deadOnly);
    // The dead monsters pruned, the dead members' songs ended and the dead
    // moved behind the living; how the fight stands then.
    FightState settle();

    char chars_[TEXT_SIZE];
    TextBuf_C text_;
    bl3dInitList initList_;
    RoundOrder_S orders_[8];
    bool hasOrder_[8] = {};
    std::function<void(const char*)> narrate_;
    std::function<void()> roundEnd_;
    int32_t distance_ = 0;
    int32_t xp_ = 0;
    int32_t gold_ = 0;
    PtrList_C loot_;
    int rounds_ = 0;
};
