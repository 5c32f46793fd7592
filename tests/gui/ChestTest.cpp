// The treasure chest: each trap with scripted dice, picking, bashing, Trip
// Trap, a full pack, loose loot, a trap kind beyond the six, a chest nobody
// can face; the key rules driven directly, the screen by pushed keys.
#include "PartyScreenFixture.h"

#include "actions/Attributes.h"
#include "core/ScrollList.h"
#include "events/Chest.h"
#include "events/Event_4001.h"
#include "app/GameEvents.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/TagKeys.h"

#include <gtest/gtest.h>

using namespace partyscreens;

namespace {

constexpr int F1 = SDLK_F1;
constexpr int F2 = SDLK_F2;

class ChestTest : public PartyScreenFixture {
protected:
    Chest_S* makeChest(int32_t trap, int lock, int32_t gold, std::initializer_list<bl3dItemType*> items = {})
    {
        auto* c = new Chest_S;
        c->trap = trap;
        c->lock = static_cast<uint8_t>(lock);
        c->gold = gold;
        std::snprintf(c->description, sizeof c->description, "%s", "a small chest");
        for (bl3dItemType* t : items)
            c->items.pushFront(t->newInstance());
        return c;
    }
    std::unique_ptr<Event_4001_C> event(Chest_S* c)
    {
        EventParams_S p;
        p.chest = c;
        return std::make_unique<Event_4001_C>(&p);
    }
    // The key rules alone, no screen.
    std::unique_ptr<Event_4001_C> begun(Chest_S* c)
    {
        auto ev = event(c);
        EXPECT_TRUE(ev->begin(nullptr));
        return ev;
    }
};

struct TrapCase {
    int trap;
    std::vector<int> rolls;   // dice, the halving roll, then poison rolls
    int damage;
    bool poisoned;
};

TEST_F(ChestTest, EachTrapHurtsAsItsDiceSay)
{
    // Dice show 4 (3 % 4 + 1) or 6 (5 % 6 + 1); a halving roll of 20 is no
    // match for stats of 12, one of 0 is.
    const TrapCase cases[] = {
        {1, {3, 3, 3, 3, 3, 3, 20}, 24, false},
        {1, {3, 3, 3, 3, 3, 3, 0}, 12, false},
        {2, {5, 5, 5, 5, 5, 5, 20}, 36, false},
        {3, {3, 3, 3, 20}, 12, false},
        {5, {3, 3, 3, 0, 0, 0}, 6, true},       // halved, then poisoned (0 < 50 - 12)
        {5, {3, 3, 3, 20, 99}, 12, false},      // 99 is not below 38
        {6, {3, 3, 3, 3, 3, 3, 20, 0, 0}, 24, true},
    };
    for (const TrapCase& c : cases) {
        while (party->getCount() > 0)
            party->removeAt(0);
        bl3dPartyChar& ann = join("Ann", 0x4);
        ann.setMaxHP(100);
        ann.setCurHP(100);
        auto ev = begun(makeChest(c.trap, 0, 10));
        ev->key('o');
        vell::scriptGameRand(c.rolls);
        ev->key(F1);
        vell::clearScriptedGameRand();
        EXPECT_EQ(ev->getState(), Event_4001_C::TRAP_SPRUNG + c.trap) << "trap " << c.trap;
        EXPECT_EQ(ann.getCurHP(), 100 - c.damage) << "trap " << c.trap;
        EXPECT_EQ(ann.isPoisoned(), c.poisoned) << "trap " << c.trap;
        // Other keys leave the message; SPACE opens the chest.
        ev->key('t');
        EXPECT_EQ(ev->getState(), Event_4001_C::TRAP_SPRUNG + c.trap);
        ev->key(SDLK_SPACE);
        EXPECT_EQ(ev->getState(), Event_4001_C::FOUND);
        EXPECT_EQ(ann.getGold(), 10);
    }
}

TEST_F(ChestTest, TheExplosionHurtsEveryoneAndDestroysTheTreasure)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x1);
    for (bl3dPartyChar* m : {&ann, &bob}) {
        m->setMaxHP(100);
        m->setCurHP(100);
    }
    auto ev = begun(makeChest(4, 0, 500, {kit().sword, kit().helm}));
    ev->key('o');
    ev->key(F2);
    EXPECT_EQ(ev->getState(), Event_4001_C::TRAP_SPRUNG + 4);
    EXPECT_LT(ann.getCurHP(), 100 - 4);
    EXPECT_LT(bob.getCurHP(), 100 - 4);
    EXPECT_EQ(ev->getChest()->items.count(), 0);
    ev->key(SDLK_SPACE);
    EXPECT_EQ(ev->getState(), Event_4001_C::DONE);
    EXPECT_EQ(ann.getGold() + bob.getGold(), 0);
}

TEST_F(ChestTest, PickingTheLock)
{
    bl3dPartyChar& ann = join("Ann", 0x2);
    bl3dPartyChar& bob = join("Bob", 0x4);
    setIntAttribute(&ann, tagkey::LockPick, 30);
    // Lock 0 and a pick of 30: rand() % 25 + 1 never beats it.
    for (int seed = 1; seed <= 20; ++seed) {
        vell::gameSrand(static_cast<unsigned>(seed));
        auto ev = begun(makeChest(1, 0, 0, {kit().rope}));
        ev->key('p');
        ev->key(F1);
        EXPECT_EQ(ev->getState(), Event_4001_C::FOUND);
        EXPECT_EQ(ann.getCurHP(), 20);
    }
    // Not a picker's class.
    auto ev = begun(makeChest(1, 0, 0));
    ev->key('p');
    ev->key(F2);
    EXPECT_EQ(ev->getState(), Event_4001_C::NO_SKILL);
    ev->key(SDLK_SPACE);
    EXPECT_EQ(ev->getState(), Event_4001_C::MENU);
    (void)bob;

    // A hard lock: the roll fails, then the trap goes off only when the
    // second roll falls below (lock + 25 - pick) / 5 = 13.
    setIntAttribute(&ann, tagkey::LockPick, 30);
    ev = begun(makeChest(3, 70, 0));
    ev->key('p');
    vell::scriptGameRand({94, 50});
    ev->key(F1);
    EXPECT_EQ(ev->getState(), Event_4001_C::PICK_FAILED);
    ev->key(SDLK_SPACE);
    ev->key('p');
    vell::scriptGameRand({94, 10, 3, 3, 3, 20});
    ev->key(F1);
    EXPECT_EQ(ev->getState(), Event_4001_C::TRAP_SPRUNG + 3);
    EXPECT_EQ(ann.getCurHP(), 20 - 12);

    // No trap: it opens at once, whatever the lock.
    ev = begun(makeChest(0, 255, 0));
    ev->key('p');
    ev->key(F1);
    EXPECT_EQ(ev->getState(), Event_4001_C::FOUND);
}

TEST_F(ChestTest, BashingAndWhoMayChoose)
{
    bl3dPartyChar& ann = join("Ann", 0x1);
    bl3dPartyChar& bob = join("Bob", 0x2);
    bl3dPartyChar& cid = join("Cid", 0x1);
    setIntAttribute(&ann, tagkey::Bashing, 0);
    auto ev = begun(makeChest(2, 100, 0));
    ev->key('b');
    ev->key(F2);
    EXPECT_EQ(ev->getState(), Event_4001_C::NO_SKILL);
    ev->key(SDLK_SPACE);
    ev->key('b');
    vell::scriptGameRand({100, 90});
    ev->key(F1);
    EXPECT_EQ(ev->getState(), Event_4001_C::BASH_FAILED);
    ev->key(SDLK_SPACE);

    // A dead member, a stoned picker and an empty slot are not chosen.
    cid.setCurHP(0);
    ev->key('b');
    ev->key(SDLK_F3);
    ev->key(SDLK_F8);
    EXPECT_EQ(ev->getState(), Event_4001_C::WHO_BASHES);
    ev->key(SDLK_ESCAPE);
    bob.addBaseConditions(COND_STONE);
    ev->key('p');
    ev->key(F2);
    EXPECT_EQ(ev->getState(), Event_4001_C::WHO_PICKS);
    ev->key(SDLK_ESCAPE);
    EXPECT_EQ(ev->getState(), Event_4001_C::MENU);
    ev->key('l');
    EXPECT_EQ(ev->getState(), Event_4001_C::LEFT_UNOPENED);
}

TEST_F(ChestTest, TripTrapOpensWithoutTheTrap)
{
    FakeSpell trip(0x90003, "Trip Trap", "TRTR", 0x100, 1, 1, 4);
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bea = join("Bea", 0x100);
    bl3dPartyChar& cal = join("Cal", 0x100);
    cal.actions2()->add(&trip, 0);
    cal.setMaxSP(10);
    cal.setCurSP(3);
    auto ev = begun(makeChest(1, 200, 40));
    const std::pair<int, int> steps[] = {{F1, Event_4001_C::NOT_A_CASTER},
                                         {F2, Event_4001_C::NO_TRIP_TRAP},
                                         {SDLK_F3, Event_4001_C::NO_ENERGY}};
    for (const auto& [key, state] : steps) {
        ev->key('c');
        ev->key(key);
        EXPECT_EQ(ev->getState(), state);
        ev->key(SDLK_SPACE);
    }
    cal.setCurSP(5);
    ev->key('c');
    ev->key(SDLK_F3);
    EXPECT_EQ(ev->getState(), Event_4001_C::FOUND);
    EXPECT_EQ(cal.getCurSP(), 1);
    EXPECT_EQ(cal.getCurHP(), 20);
    EXPECT_EQ(cal.getGold(), 40);
    EXPECT_EQ(ann.getGold() + bea.getGold(), 0);
}

TEST_F(ChestTest, TakingItemsWithinThePacksLimits)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x4);
    for (int i = 0; i < 8; ++i)
        kit().carry(ann, kit().rope);
    auto ev = begun(makeChest(0, 0, 25, {kit().sword, kit().helm}));
    ev->key('o');
    ev->key(F1);
    ASSERT_EQ(ev->getState(), Event_4001_C::FOUND);
    ASSERT_EQ(ev->getItemList()->getNumLines(), 2);
    EXPECT_EQ(ann.getGold(), 25);
    ev->key('t');
    EXPECT_EQ(ev->getState(), Event_4001_C::PACK_FULL);
    ev->key(SDLK_SPACE);
    EXPECT_EQ(ev->getState(), Event_4001_C::REMAIN);
    ev->key(F2);
    EXPECT_EQ(ev->getTaker(), &bob);
    ev->key(SDLK_DOWN);
    ev->key('t');
    EXPECT_EQ(ev->getState(), Event_4001_C::REMAIN);
    EXPECT_EQ(partykit::holdings(bob).pack, (std::vector<std::string>{"Sword"}));
    ev->key('t');
    EXPECT_EQ(ev->getState(), Event_4001_C::NONE_REMAIN);
    EXPECT_EQ(partykit::holdings(bob).pack, (std::vector<std::string>{"Helm", "Sword"}));
    EXPECT_EQ(ev->getChest()->items.count(), 0);
    // The gold went once, to the one who opened it.
    EXPECT_EQ(ann.getGold(), 25);
    EXPECT_EQ(bob.getGold(), 0);
    ev->key(SDLK_SPACE);
    EXPECT_EQ(ev->getState(), Event_4001_C::DONE);
}

TEST_F(ChestTest, ATrapBeyondTheSixKindsIsNoTrap)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    auto ev = begun(makeChest(9, 0, 5));
    EXPECT_EQ(ev->trap(), 0);
    ev->key('o');
    ev->key(F1);
    EXPECT_EQ(ev->getState(), Event_4001_C::FOUND);
    EXPECT_EQ(ann.getCurHP(), 20);
}

TEST_F(ChestTest, AChestNobodyCanFaceIsRefused)
{
    // No member: nothing shown, the chest and its items go with the event.
    auto ev = event(makeChest(-1, 0, 50, {kit().sword}));
    EXPECT_EQ(ev->invoke(&iface), -999);
    EXPECT_EQ(ev->getState(), Event_4001_C::DONE);
    EXPECT_TRUE(shown().empty());
}

TEST_F(ChestTest, LooseLootOnTheScreen)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    join("Bob", 0x4);
    auto ev = event(makeChest(-1, 0, 0, {kit().sword, kit().helm, kit().rope}));
    watch([&] { return ev->getState(); });
    const uint32_t before = gameworld->getClock().getTicks();
    script({SDLK_t, SDLK_ESCAPE, SDLK_n, SDLK_ESCAPE, SDLK_y});
    EXPECT_EQ(ev->invoke(&iface), 0);
    EXPECT_EQ(shown(0).state, Event_4001_C::FOUND);
    EXPECT_TRUE(shown(0).has("Ann, you find the following items!"));
    EXPECT_TRUE(shown(0).has("(T)ake an Item"));
    EXPECT_TRUE(lastIn(Event_4001_C::REMAIN).has("Ann, the following items remain:"));
    EXPECT_TRUE(lastIn(Event_4001_C::LEAVE_ITEMS)
                    .mentions("Items left in the open often disappear very quickly.  Are you sure"));
    EXPECT_EQ(partykit::holdings(ann).pack, (std::vector<std::string>{"Rope"}));
    EXPECT_EQ(gameworld->getClock().getTicks(), before + 60);
}

TEST_F(ChestTest, ATrappedChestOnTheScreen)
{
    bl3dPartyChar* she = kit().member("Ann", 0x4, 1, false);
    ASSERT_TRUE(party->addMember(she));
    bl3dPartyChar& ann = *she;
    ann.setMaxHP(100);
    ann.setCurHP(100);
    auto ev = event(makeChest(1, 0, 75, {kit().helm}));
    watch([&] { return ev->getState(); });
    script({SDLK_o, SDLK_F1, SDLK_SPACE, SDLK_t, SDLK_SPACE});
    EXPECT_EQ(ev->invoke(&iface), 0);
    const Shown menu = shown(0);
    EXPECT_TRUE(menu.has("Before you is a small chest.  What will you do?"));
    for (const char* option : {"(P)ick Lock", "(C)ast Trip Trap", "(O)pen it", "(B)ash it", "(L)eave"})
        EXPECT_TRUE(menu.has(option)) << option;
    EXPECT_TRUE(lastIn(Event_4001_C::WHO_OPENS).has("(F1-F8) for Character"));
    EXPECT_TRUE(lastIn(Event_4001_C::TRAP_SPRUNG + 1).has("Large spikes leap out at Ann, hurting her severely!"));
    EXPECT_TRUE(lastIn(Event_4001_C::FOUND).has("Ann, you find 75 pieces of gold, and the following items!"));
    EXPECT_TRUE(lastIn(Event_4001_C::NONE_REMAIN).has("No items remain."));
    EXPECT_EQ(partykit::holdings(ann).pack, (std::vector<std::string>{"Helm"}));
    EXPECT_EQ(ann.getGold(), 75);
    EXPECT_LT(ann.getCurHP(), 100);

    // Left at the menu: result 1, nothing taken.
    auto left = event(makeChest(2, 0, 75, {kit().sword}));
    watch([&] { return left->getState(); });
    script({SDLK_l});
    EXPECT_EQ(left->invoke(&iface), 1);
    EXPECT_EQ(ann.getGold(), 75);
}

} // namespace
