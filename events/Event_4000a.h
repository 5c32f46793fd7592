// Event_4000a_C: a wandering monster's offer to join the party. The random
// encounter roll builds it, instead of a fight, when a lone monster came and
// its join roll succeeded: the first monster of the first group of enemyList
// asks to join. Welcomed, it becomes a permanent member (a joined monster);
// denied, or with no room in the party, it turns angry and the fight runs
// against the whole enemy list.
//
// Life cycle: the caller fills enemyList, builds the event (no parameters),
// invokes it once and deletes it. invoke gives 0 when the monster joined (or
// the fight that followed was won or surrendered), 1 when the party ran from
// that fight, -1 when the party perished in it, and -999 when there was no
// monster to make the offer (nothing is shown). The enemy list is left as it
// is; the joined monster's group stays in it.
//
// The key handler (events/Event_4000a.cpp) changes the state and never
// draws; display (screens/JoinOfferScreen.cpp) draws it.
#pragma once
#include "world/Event.h"

#include <cstdint>
#include <memory>

class ScrollPane_C;
class bl3dMonster;

class Event_4000a_C : public Event_C {
public:
    enum State : int { DONE = 0, OFFER = 1, WELCOMED = 2, ANGRY = 3, PARTY_FULL = 4 };

    explicit Event_4000a_C(const EventParams_S* params = nullptr);
    ~Event_4000a_C() override;


    // The same id as the fight.
    int typeId() const override { return EVENT_COMBAT; }
    int invoke(Interface_C* iface) override;

    void key(int sym);
    void display();
    // The monster that offers: the first of the first enemy group; null when
    // the enemy list holds none.
    static bl3dMonster* candidate();

    int getState() const { return state_; }
    int32_t getCombatDelay() const { return combatDelay_; }

private:
    void setState(int state);
    void welcome();
    void fight();

    int state_ = OFFER;
    Interface_C* iface_ = nullptr;
    std::unique_ptr<ScrollPane_C> textPane_;
    int32_t combatDelay_ = 0;
    // The fight that followed a denial ran, and what it gave.
    bool fought_ = false;
    int fightResult_ = 0;
};
