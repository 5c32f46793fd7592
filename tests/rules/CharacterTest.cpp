// Creatures: hit and spell points with death cries, gold (own and pooled),
// equipment rules, poison, and the actors that pay for actions.
#include "RulesTestEnv.h"
#include "rules/Actor.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

class CharacterTest : public RulesTest {
protected:
    static std::unique_ptr<bl3dPartyChar> member(const char* name, int32_t race = RACE_HUMAN, bool male = true,
                                                 int32_t gold = 0) {
        auto pc = std::make_unique<bl3dPartyChar>(name, 0x4, race, male, ALIGN_GOOD, nullptr, nullptr);
        pc->setMaxHP(20);
        pc->setCurHP(20);
        pc->rawAddGold(gold);
        return pc;
    }
    bl3dItemType* type(int32_t id, int32_t slots, int32_t acMod) {
        auto* t = new bl3dItemType;
        t->setBasics(id, "t", "", 10);
        t->setSlotMask(slots);
        t->setClassMask(0x7fff);
        if (acMod)
            t->addModifier(STAT_AC, acMod);
        masterITL.insert(t);
        return t;
    }
};

TEST_F(CharacterTest, DeathCriesByRaceAndSex) {
    const char* const male[] = {"HumanM_Death", "ElfM_Death", "HalfElfM_Death", "DwarfM_Death", "GnomeM_Death",
                                "BegganM_Death", "HalfOrcM_Death", "SaurianM_Death", "SenratsM_Death"};
    const char* const female[] = {"HumanF_Death", "ElfF_Death", "HalfElfF_Death", "DwarfF_Death", "GnomeF_Death",
                                  "BegganF_Death", "HalfOrcF_Death", "SaurianF_Death", "SenratsF_Death"};
    for (int race = 1; race <= 10; ++race) {
        for (bool m : {true, false}) {
            env.sounds.clear();
            auto pc = member("x", race, m);
            pc->setCurHP(5);
            EXPECT_EQ(pc->changeHP(-8), -3);
            if (race == RACE_MONSTER) {
                EXPECT_TRUE(env.sounds.empty()) << "a joined monster dies silently";
                continue;
            }
            ASSERT_EQ(env.sounds.size(), 1u);
            EXPECT_EQ(env.sounds[0], m ? male[race - 1] : female[race - 1]);
        }
    }
}

TEST_F(CharacterTest, HitPointsAreCappedButNotFloored) {
    auto pc = member("Ada", RACE_GNOME, false);
    pc->setCurHP(5);
    pc->changeHP(-8);
    pc->changeHP(-1);
    EXPECT_EQ(pc->getCurHP(), -4);
    EXPECT_EQ(env.sounds.size(), 2u) << "every further wound below 1 cries again";
    EXPECT_EQ(env.sounds[0], "GnomeF_Death");
    pc->changeHP(100);
    EXPECT_EQ(pc->getCurHP(), 20);
    EXPECT_EQ(env.sounds.size(), 2u);
    pc->setMaxSP(10);
    pc->setCurSP(2);
    EXPECT_EQ(pc->addSP(-5), -3);
    EXPECT_EQ(pc->addSP(50), 10);
}

TEST_F(CharacterTest, PronounsBySex) {
    auto f = member("F", RACE_ELF, false);
    auto m = member("M", RACE_ELF, true);
    EXPECT_STREQ(f->pronoun(0), "she");
    EXPECT_STREQ(f->pronoun(1), "her");
    EXPECT_STREQ(m->pronoun(1), "him");
    EXPECT_STREQ(m->pronoun(2), "his");
    m->setGender(SEX_NONE);
    EXPECT_STREQ(m->pronoun(2), "its");
    EXPECT_STREQ(m->pronoun(7), "it") << "an unknown form reads as the subject";
}

TEST_F(CharacterTest, OwnGoldWithoutThePool) {
    auto pc = member("Ada", RACE_HUMAN, true, 10);
    EXPECT_FALSE(pc->spendGold(11));
    EXPECT_EQ(pc->getGold(), 10);
    EXPECT_FALSE(pc->spendGold(-5)) << "a negative price is no purchase";
    EXPECT_EQ(pc->getGold(), 10);
    EXPECT_TRUE(pc->spendGold(10));
    EXPECT_TRUE(pc->addGold(7));
    EXPECT_EQ(pc->getGold(), 7);
}

TEST_F(CharacterTest, PooledGoldSpendsAndSplits) {
    bl3dParty p("party.dat");
    party = &p;
    gameConfig.partyGold = true;
    auto a = member("A", RACE_HUMAN, true, 10), b = member("B", RACE_HUMAN, true, 0),
         c = member("C", RACE_HUMAN, true, 5);
    bl3dPartyChar *pa = a.get(), *pb = b.get(), *pc = c.get();
    p.addMember(a.release());
    p.addMember(b.release());
    p.addMember(c.release());
    EXPECT_EQ(pb->getGold(), 15) << "any member sees the pool";
    EXPECT_TRUE(pb->spendGold(6));
    EXPECT_EQ(pa->rawGold(), 3);
    EXPECT_EQ(pb->rawGold(), 3);
    EXPECT_EQ(pc->rawGold(), 3);
    EXPECT_FALSE(pa->spendGold(10));
    EXPECT_FALSE(pa->spendGold(-4)) << "a negative price is no purchase";
    EXPECT_EQ(pa->rawGold() + pb->rawGold() + pc->rawGold(), 9) << "a refused spend changes nothing";
    EXPECT_EQ(pa->rawGold(), 3);
    pa->addGold(10);
    EXPECT_EQ(pa->rawGold(), 6);
    EXPECT_EQ(pb->rawGold(), 6);
    EXPECT_EQ(pc->rawGold(), 7);
    p.splitGold(-9);
    EXPECT_EQ(pa->rawGold() + pb->rawGold() + pc->rawGold(), 19) << "a negative split hands out nothing";

    // Adding a negative amount takes it from the pool, or refuses.
    EXPECT_TRUE(pb->addGold(-4));
    EXPECT_EQ(pa->rawGold() + pb->rawGold() + pc->rawGold(), 15);
    EXPECT_EQ(pc->rawGold(), 5) << "the rest is pooled again";
    for (int32_t n : {-16, INT32_MIN}) {
        EXPECT_FALSE(pb->addGold(n)) << n;
        EXPECT_EQ(pa->rawGold() + pb->rawGold() + pc->rawGold(), 15) << "a refused take changes nothing";
    }

    auto outsider = member("D", RACE_HUMAN, true, 4);
    EXPECT_EQ(outsider->getGold(), 4) << "not in the party: own gold";
    // One of a member's name, being made or read from the hall, is not in
    // the party either: its gold stays its own.
    auto namesake = member("A", RACE_HUMAN, true, 0);
    EXPECT_TRUE(namesake->addGold(250));
    EXPECT_EQ(namesake->rawGold(), 250);
    EXPECT_EQ(namesake->getGold(), 250);
    EXPECT_EQ(pa->rawGold() + pb->rawGold() + pc->rawGold(), 15) << "the pool took a namesake's gold";
    gameConfig.partyGold = false;
    EXPECT_EQ(pb->getGold(), 5);
    party = nullptr;
}

TEST_F(CharacterTest, SplitGoldGivesTheRestToTheLast) {
    bl3dParty p("party.dat");
    for (const char* n : {"A", "B", "C"})
        p.addMember(member(n).release());
    p.splitGold(10);
    EXPECT_EQ(p.getMember(0)->rawGold(), 3);
    EXPECT_EQ(p.getMember(1)->rawGold(), 3);
    EXPECT_EQ(p.getMember(2)->rawGold(), 4);
    EXPECT_EQ(p.totalGold(), 10);
    bl3dParty empty("e");
    empty.splitGold(10); // no members: nothing to divide by
    EXPECT_FALSE(empty.spendGold(1));
    EXPECT_EQ(empty.averageStat(STAT_DX), 0);
}

// The purses together can hold more than one purse: paying and sharing out
// again works on the whole sum, and a share a full purse cannot take goes to
// the others, so no gold is lost or made.
TEST_F(CharacterTest, PooledGoldPastOnePurseIsKept) {
    constexpr int32_t M = INT32_MAX;
    struct Case {
        const char* what;
        std::vector<int32_t> purses;
        bool spend; // spendGold(amount) by the first member, else addGold(amount)
        int32_t amount;
    };
    const Case cases[] = {
        {"two full purses and a little, switched to shared gold, buy", {M, M, 10}, true, 10},
        {"every purse full, the rest is more than the last can hold", {M, M, M}, true, 1},
        {"a large sum paid out of eight purses", {M, M, M, M, M, M, M, M}, true, M},
        {"found gold shared onto a full purse", {M, 0, 0}, false, 30},
        {"found gold shared onto nearly full purses", {M - 1, M - 2, M - 30}, false, M},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bl3dParty p("party.dat");
        party = &p;
        gameConfig.partyGold = false;
        int64_t before = 0;
        for (size_t i = 0; i < c.purses.size(); ++i) {
            p.addMember(member(std::string(1, char('A' + i)).c_str(), RACE_HUMAN, true, c.purses[i]).release());
            before += c.purses[i];
        }
        gameConfig.partyGold = true;
        bl3dCharacter* buyer = p.getMember(0);
        EXPECT_EQ(buyer->getGold(), M) << "the pool is shown within a purse's range";
        int64_t expected = before;
        if (c.spend) {
            EXPECT_TRUE(buyer->spendGold(c.amount));
            expected -= c.amount;
        } else {
            EXPECT_TRUE(buyer->addGold(c.amount));
            expected = std::min(before + c.amount, int64_t(M) * p.getCount());
        }
        int64_t after = 0;
        for (int i = 0; i < p.getCount(); ++i) {
            const int32_t g = p.getMember(i)->rawGold();
            EXPECT_GE(g, 0) << i;
            EXPECT_LE(g, M) << i;
            after += g;
        }
        EXPECT_EQ(after, expected);
        EXPECT_EQ(p.goldSum(), expected);
        gameConfig.partyGold = false;
        party = nullptr;
    }
}

TEST_F(CharacterTest, SecondRingOfATypeWaitsItsTurn) {
    bl3dItemType* ring = type(30, 0x7800, -1);
    auto pc = member("Ada");
    pc->getStatBlock()->setBase(STAT_AC, 10);
    bl3dItem* r1 = ring->newInstance();
    bl3dItem* r2 = ring->newInstance();
    ASSERT_TRUE(pc->putInSlot(11, r1));
    ASSERT_TRUE(pc->putInSlot(12, r2));
    EXPECT_TRUE(r1->isEquipped());
    EXPECT_FALSE(r2->isEquipped()) << "two items of one type never both count";
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 9);
    EXPECT_FALSE(pc->putInSlot(12, r1)) << "a taken slot refuses";
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(11));
    EXPECT_FALSE(off->isEquipped());
    EXPECT_TRUE(r2->isEquipped()) << "the other ring takes over";
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 9);
    EXPECT_EQ(pc->getItemCount(), 1);
}

TEST_F(CharacterTest, ReadyWeaponMovesIntoTheHand) {
    bl3dItemType* sword = type(100, (1 << 8) | (1 << 19), 0);
    bl3dItemType* axe = type(101, (1 << 8) | (1 << 19), 0);
    sword->addModifier(STAT_ATTACK, 2);
    auto pc = member("Ada");
    bl3dItem* s = sword->newInstance();
    bl3dItem* a = axe->newInstance();
    pc->putInSlot(SLOT_RT_HAND, s);
    pc->putInSlot(SLOT_READY, a);
    EXPECT_FALSE(a->isEquipped()) << "slot 19 is not usable";
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_ATTACK), 2);
    pc->readyItem(SLOT_READY);
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND), a);
    EXPECT_EQ(pc->getSlotItem(SLOT_READY), s);
    EXPECT_TRUE(a->isEquipped());
    EXPECT_FALSE(s->isEquipped());
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_ATTACK), 0);
    pc->readyItem(SLOT_RT_HAND); // only slot 19 readies
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND), a);
    std::unique_ptr<bl3dItem> gone(pc->takeFromSlot(SLOT_RT_HAND));
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND), s) << "the ready weapon moves into the hand";
    EXPECT_EQ(pc->getSlotItem(SLOT_READY), nullptr);
    EXPECT_TRUE(s->isEquipped());
    EXPECT_EQ(pc->getItemCount(), 1);
    // With the hand empty, readying just moves the weapon in.
    std::unique_ptr<bl3dItem> s2(pc->takeFromSlot(SLOT_RT_HAND));
    pc->putInSlot(SLOT_READY, s2.release());
    pc->readyItem(SLOT_READY);
    ASSERT_NE(pc->getSlotItem(SLOT_RT_HAND), nullptr);
    EXPECT_TRUE(pc->getSlotItem(SLOT_RT_HAND)->isEquipped());
    EXPECT_EQ(pc->getItemCount(), 1);
}

TEST_F(CharacterTest, BodyAndShirtCountTheShirtsStrengthOnce) {
    bl3dItemType* armour = type(10, 1 << SLOT_BODY, -2);
    bl3dItemType* shirt = type(12, 1 << SLOT_SHIRT, -1);
    shirt->addModifier(STAT_ST, 1);
    auto pc = member("Ada");
    bl3dStatBlock* st = pc->getStatBlock();
    st->setBase(STAT_ST, 10);
    st->setBase(STAT_AC, 10);
    bl3dItem* sh = shirt->newInstance();
    pc->putInSlot(SLOT_SHIRT, sh);
    EXPECT_EQ(st->getCur(STAT_ST), 11);
    pc->putInSlot(SLOT_BODY, armour->newInstance());
    EXPECT_EQ(st->getCur(STAT_AC), 7);
    EXPECT_EQ(st->getCur(STAT_ST), 11) << "the suspended counter-modifier does not count yet";
    st->changeMods(0);
    st->changeMods(3);
    st->recompute();
    EXPECT_EQ(st->getCur(STAT_ST), 10) << "once resumed, the shirt's strength is cancelled";
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(SLOT_BODY));
    EXPECT_EQ(st->getCur(STAT_ST), 11) << "taking the armour off restores the shirt";
    EXPECT_EQ(st->getCur(STAT_AC), 9);
    std::unique_ptr<bl3dItem> shOff(pc->takeFromSlot(SLOT_SHIRT));
    EXPECT_EQ(st->getCur(STAT_ST), 10);
    EXPECT_EQ(st->getCur(STAT_AC), 10);
}

TEST_F(CharacterTest, BlockingShieldPutsASlotOutOfUse) {
    bl3dItemType* shield = type(15, 1 << SLOT_LT_HAND, -3);
    shield->addEffect(IEFFECT_BLOCK, 1 << SLOT_BACK, "");
    bl3dItemType* cloak = type(16, 1 << SLOT_BACK, -1);
    auto pc = member("Ada");
    pc->getStatBlock()->setBase(STAT_AC, 10);
    bl3dItem* c = cloak->newInstance();
    pc->putInSlot(SLOT_BACK, c);
    pc->putInSlot(SLOT_LT_HAND, shield->newInstance());
    EXPECT_FALSE(pc->isSlotUsable(SLOT_BACK));
    EXPECT_FALSE(c->isEquipped());
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 7);
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(SLOT_LT_HAND));
    EXPECT_TRUE(pc->isSlotUsable(SLOT_BACK));
    EXPECT_TRUE(c->isEquipped());
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 9);
}

TEST_F(CharacterTest, ItemsThatBlockTheirOwnOrEachOthersSlotsSettle) {
    // A shield whose block covers its own slot, and two items that block
    // each other's slots: equipping must end.
    bl3dItemType* self = type(20, 1 << SLOT_LT_HAND, -1);
    self->addEffect(IEFFECT_BLOCK, 1 << SLOT_LT_HAND, "");
    bl3dItemType* a = type(21, 1 << SLOT_HEAD, 0);
    a->addEffect(IEFFECT_BLOCK, 1 << SLOT_FEET, "");
    bl3dItemType* b = type(22, 1 << SLOT_FEET, 0);
    b->addEffect(IEFFECT_BLOCK, 1 << SLOT_HEAD, "");
    auto pc = member("Ada");
    pc->getStatBlock()->setBase(STAT_AC, 10);
    bl3dItem* s = self->newInstance();
    ASSERT_TRUE(pc->putInSlot(SLOT_LT_HAND, s));
    EXPECT_TRUE(s->isEquipped());
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 9);
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(SLOT_LT_HAND));
    EXPECT_TRUE(pc->isSlotUsable(SLOT_LT_HAND));
    EXPECT_EQ(pc->getStatBlock()->getCur(STAT_AC), 10);
    ASSERT_TRUE(pc->putInSlot(SLOT_HEAD, a->newInstance()));
    ASSERT_TRUE(pc->putInSlot(SLOT_FEET, b->newInstance()));
    std::unique_ptr<bl3dItem> h(pc->takeFromSlot(SLOT_HEAD));
    std::unique_ptr<bl3dItem> f(pc->takeFromSlot(SLOT_FEET));
    EXPECT_EQ(pc->getUsableSlots(), DEFAULT_USABLE_SLOTS);
}

TEST_F(CharacterTest, EveryWayIntoASlotKeepsTheSlotRules) {
    // However an item comes to be in a slot (put there, readied, or its slot
    // freed), it counts only in a usable slot and only when no other item of
    // its type counts, and never twice.
    bl3dItemType* dagger = type(40, (1 << SLOT_RT_HAND) | (1 << SLOT_LT_HAND) | (1 << SLOT_READY), 0);
    dagger->addModifier(STAT_ATTACK, 1);
    bl3dItemType* buckler = type(41, 1 << SLOT_LT_HAND, 0);
    buckler->addEffect(IEFFECT_BLOCK, 1 << SLOT_RT_HAND, "");
    auto pc = member("Ada");
    const bl3dStatBlock* st = pc->getStatBlock();

    // Readied into a hand that is out of use: it waits for the hand.
    bl3dItem* b = buckler->newInstance();
    bl3dItem* d1 = dagger->newInstance();
    ASSERT_TRUE(pc->putInSlot(SLOT_LT_HAND, b));
    ASSERT_TRUE(pc->putInSlot(SLOT_READY, d1));
    pc->readyItem(SLOT_READY);
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND), d1);
    EXPECT_FALSE(d1->isEquipped());
    EXPECT_EQ(st->getCur(STAT_ATTACK), 0);
    std::unique_ptr<bl3dItem> off(pc->takeFromSlot(SLOT_LT_HAND));
    EXPECT_TRUE(d1->isEquipped()) << "the freed hand's item counts";
    EXPECT_EQ(st->getCur(STAT_ATTACK), 1);

    // Readied while another of its type counts: it waits its turn.
    bl3dItem* d2 = dagger->newInstance();
    ASSERT_TRUE(pc->putInSlot(SLOT_LT_HAND, d2));
    EXPECT_FALSE(d2->isEquipped());
    std::unique_ptr<bl3dItem> first(pc->takeFromSlot(SLOT_RT_HAND));
    EXPECT_TRUE(d2->isEquipped()) << "the other dagger takes over";
    bl3dItem* d3 = dagger->newInstance();
    ASSERT_TRUE(pc->putInSlot(SLOT_READY, d3));
    pc->readyItem(SLOT_READY);
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND), d3);
    EXPECT_FALSE(d3->isEquipped());
    EXPECT_EQ(st->getCur(STAT_ATTACK), 1) << "one type counts once";

    // An item that already counts is not equipped a second time when it
    // moves into the hand (slot 19 became usable when an item that blocks
    // it came off).
    std::unique_ptr<bl3dItem> second(pc->takeFromSlot(SLOT_LT_HAND));
    std::unique_ptr<bl3dItem> third(pc->takeFromSlot(SLOT_RT_HAND));
    EXPECT_EQ(st->getCur(STAT_ATTACK), 0);
    bl3dItemType* cape = type(42, 1 << SLOT_BACK, 0);
    cape->addEffect(IEFFECT_BLOCK, 1 << SLOT_READY, "");
    ASSERT_TRUE(pc->putInSlot(SLOT_BACK, cape->newInstance()));
    std::unique_ptr<bl3dItem> capeOff(pc->takeFromSlot(SLOT_BACK));
    ASSERT_TRUE(pc->isSlotUsable(SLOT_READY));
    ASSERT_TRUE(pc->putInSlot(SLOT_READY, third.get()));
    bl3dItem* ready = third.release();
    EXPECT_TRUE(ready->isEquipped());
    pc->readyItem(SLOT_READY);
    EXPECT_EQ(pc->getSlotItem(SLOT_RT_HAND), ready);
    EXPECT_EQ(st->getCur(STAT_ATTACK), 1) << "counted once";
}

TEST_F(CharacterTest, SlotsOutOfRangeAreRefused) {
    bl3dItemType* t = type(1, 1, 0);
    auto pc = member("Ada");
    std::unique_ptr<bl3dItem> item(t->newInstance());
    EXPECT_FALSE(pc->putInSlot(20, item.get()));
    EXPECT_FALSE(pc->putInSlot(-1, item.get()));
    EXPECT_EQ(pc->takeFromSlot(25), nullptr);
    EXPECT_EQ(pc->getSlotItem(-2), nullptr);
    pc->readyItem(40);
    EXPECT_EQ(pc->getItemCount(), 0);
}

TEST_F(CharacterTest, SlotLabels) {
    const struct {
        int slot;
        const char* label;
    } cases[] = {
        {SLOT_HEAD, "Location: Head"},      {SLOT_BODY, "Location: Body"},     {SLOT_SHIRT, "Location: Shirt"},
        {SLOT_BELT, "Location: Belt"},      {SLOT_BACK, "Location: Back"},     {SLOT_INST, "Location: Inst."},
        {SLOT_FEET, "Location: Feet"},      {SLOT_GLOVES, "Location: Gloves"}, {SLOT_RT_HAND, "Location: Rt Hand"},
        {SLOT_LT_HAND, "Location: Lt Hand"}, {SLOT_AMMO, "Location: Ammo."},    {SLOT_FINGER, "Location: Finger"},
        {12, ""}, {14, ""}, {SLOT_MISC, "Location: Misc."}, {16, ""}, {18, ""},
        {SLOT_READY, "Location: Ready"},    {-1, ""},                          {SLOT_COUNT, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(slotLabel(c.slot), c.label) << c.slot;
    EXPECT_STREQ(PACK_LABEL, "Location: Pack");
}

TEST_F(CharacterTest, PoisonTimeline) {
    auto pc = member("Ada");
    pc->setMaxHP(1000);
    pc->setCurHP(1000);
    env.now = 1000;
    pc->poison(100, 6, 2, 1, 10, false);
    EXPECT_TRUE(pc->isPoisoned());
    EXPECT_EQ(pc->countEffects(EFFECT_POISON), 1);
    vell::scriptGameRand({5, 5}); // 6 + 6 + 1
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 1000 - 13) << "first hit at the first tick";
    env.now = 1009;
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 987);
    vell::scriptGameRand({0, 0, 0, 0, 0, 0});
    env.now = 1030; // three hits missed at once: 1010, 1020, 1030
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 987 - 9);
    env.tags.setInt(tagkey::Bardb00b, 1);
    env.now = 1040;
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 978) << "the song shields the party";
    env.now = 1100;
    pc->effectTick();
    EXPECT_EQ(pc->countEffects(EFFECT_POISON), 0) << "expired";
    EXPECT_FALSE(pc->isPoisoned());
    EXPECT_EQ(pc->getCurHP(), 978) << "an expired effect does not tick first";
}

TEST_F(CharacterTest, PoisonWaitsOnADeadOrCuredCreatureAndEndsOnStrideZero) {
    auto pc = member("Ada");
    pc->poison(50, 4, 1, 0, 5, false);
    pc->setConditions(0);
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 20) << "the bit cleared by other means: the effect idles";
    EXPECT_EQ(pc->countEffects(EFFECT_POISON), 1);
    pc->poison(50, 4, 1, 0, 0, false);
    EXPECT_EQ(pc->removeEffects(EFFECT_POISON), 2);
    EXPECT_FALSE(pc->isPoisoned());
    pc->poison(50, 4, 1, 0, 0, false);
    pc->effectTick();
    EXPECT_EQ(pc->countEffects(EFFECT_POISON), 0) << "stride 0 removes itself";
    EXPECT_FALSE(pc->isPoisoned());
    pc->poison(50, 4, 1, 0, 5, false);
    pc->setCurHP(0);
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 0) << "the dead take no more damage";
}

// A backlog deals every missed hit with its saving throw and its damage,
// also the hits that come after the creature has died; the next tick then
// finds it dead and does nothing.
TEST_F(CharacterTest, PoisonBacklogGoesOnPastDeath) {
    auto pc = member("Ada");
    env.now = 1000;
    pc->poison(100, 4, 1, 2, 1, true); // 1d4+2 every tick, a save may end it
    vell::scriptGameRand({0, 0});      // save roll 1 fails; die 1
    pc->effectTick();
    ASSERT_EQ(pc->getCurHP(), 17);
    env.now = 1005; // five hits missed
    std::vector<int> rolls;
    for (int i = 0; i < 5; ++i)
        rolls.insert(rolls.end(), {0, 3}); // the save fails, the die shows 4
    vell::scriptGameRand(rolls);
    pc->effectTick();
    EXPECT_EQ(vell::scriptedGameRandLeft(), 0u) << "every hit rolled its save and its die";
    EXPECT_EQ(pc->getCurHP(), 17 - 5 * 6);
    EXPECT_EQ(env.sounds.size(), 3u) << "each hit below 1 HP cries out";
    env.now = 1006;
    vell::scriptGameRand({0, 3});
    pc->effectTick();
    EXPECT_EQ(pc->getCurHP(), 17 - 5 * 6) << "the dead take no new tick";
    EXPECT_EQ(vell::scriptedGameRandLeft(), 2u);
    vell::clearScriptedGameRand();

    // A made save in the middle of a backlog ends the poison there.
    auto bo = member("Bo");
    env.now = 2000;
    bo->poison(100, 4, 1, 2, 1, true);
    vell::scriptGameRand({0, 0});
    bo->effectTick();
    env.now = 2003;
    vell::scriptGameRand({0, 3, 19, 0, 3});
    bo->effectTick();
    EXPECT_EQ(bo->getCurHP(), 20 - 3 - 6);
    EXPECT_EQ(bo->countEffects(EFFECT_POISON), 0);
    EXPECT_FALSE(bo->isPoisoned());
    EXPECT_EQ(vell::scriptedGameRandLeft(), 2u);
    vell::clearScriptedGameRand();
}

// Dice are brought within bounds where the poison is made (a script may
// pass anything), and a backlog far beyond any real clock advance is cut
// short instead of stalling the game.
TEST_F(CharacterTest, PoisonDiceAndBacklogAreBounded) {
    auto pc = member("Ada");
    env.now = 1;
    pc->poison(0xFFFFFFF0u, 0x7FFFFFFF, -7, 1, 1, false);
    pc->poison(0xFFFFFFF0u, -3, 0x7FFFFFFF, 0, 1, false);
    ASSERT_EQ(pc->effects().size(), 2u);
    const auto* second = static_cast<const CharEffect_Poison*>(pc->effects().front().effect.get());
    const auto* first = static_cast<const CharEffect_Poison*>(pc->effects().back().effect.get());
    EXPECT_EQ(first->sides(), CharEffect_Poison::MAX_DICE);
    EXPECT_EQ(first->count(), 0);
    EXPECT_EQ(second->sides(), 0);
    EXPECT_EQ(second->count(), CharEffect_Poison::MAX_DICE);

    auto bo = member("Bo");
    bo->setMaxHP(2000000000);
    bo->setCurHP(2000000000);
    bo->poison(0xFFFFFFF0u, 1, 1, 0, 1, false); // 1 a tick
    bo->effectTick();
    env.now = 4000000000u; // a stored tick far in the past
    bo->effectTick();
    const int32_t after = bo->getCurHP();
    EXPECT_LT(after, 2000000000 - 1);
    EXPECT_GT(after, 2000000000 - 1 - 1000000) << "cut short";
    bo->effectTick();
    EXPECT_EQ(bo->getCurHP(), after) << "the hits passed over are not owed again";
    env.now += 1;
    bo->effectTick();
    EXPECT_EQ(bo->getCurHP(), after - 1);
}

TEST_F(CharacterTest, ActorsExplainWhatStopsThem) {
    auto pc = member("Ada", RACE_HUMAN, false);
    bl3dActor actor(pc.get());
    char out[200] = "";
    struct Case {
        int32_t conditions, mask;
        bool ok;
        const char* text;
    };
    const Case cases[] = {
        {0, 0xff, true, ""},
        {COND_SLEEPING | COND_STUNNED, 0x08, false, "Ada would cast, but she is sleeping!\n"},
        {COND_SLEEPING | COND_STUNNED, 0x09, false, "Ada would cast, but she is stunned!\n"},
        {COND_POISONED, 0x02, false, "Ada tries to cast, but she is poisoned!\n"},
        {COND_POISONED, 0x01, true, ""},
        {COND_BLIND, 0x10, false, "Ada tries to cast, but she is blinded!\n"},
        {COND_SONG, 0x20, false, "Ada would cast, but she is playing a song!\n"},
    };
    for (const Case& c : cases) {
        out[0] = 0;
        pc->setConditions(c.conditions);
        EXPECT_EQ(actor.canAct(c.mask, "cast", out, sizeof out), c.ok) << c.text;
        EXPECT_STREQ(out, c.text);
    }
    pc->setConditions(0);
    pc->setCurHP(0);
    EXPECT_FALSE(actor.canAct(0, "cast", out, sizeof out));
    EXPECT_STREQ(out, "Ada would cast, but she is dead!\n");
    pc->setMaxSP(10);
    pc->setCurSP(4);
    EXPECT_TRUE(actor.hasPoints(4));
    EXPECT_FALSE(actor.hasPoints(5));
    EXPECT_EQ(actor.addPoints(-3), 1);
    EXPECT_EQ(actor.addPoints(50), 10);
}

TEST_F(CharacterTest, ItemActorPaysWithCharges) {
    bl3dItemType* wand = type(70, 1 << SLOT_MISC, 0);
    wand->setFlags(ITEMF_CHARGES);
    auto pc = member("Ada");
    bl3dItem* w = wand->newInstance();
    w->setCharges(2);
    pc->putInSlot(SLOT_MISC, w);
    bl3dItemActor actor(pc.get(), SLOT_MISC);
    EXPECT_FALSE(actor.isCreature());
    EXPECT_TRUE(actor.isItem());
    EXPECT_TRUE(actor.hasPoints(999));
    actor.addPoints(-5);
    EXPECT_EQ(w->getCharges(), 1);
    EXPECT_FALSE(actor.hasPoints(0)) << "the last charge cannot pay";
    actor.addPoints(-5);
    EXPECT_EQ(pc->getSlotItem(SLOT_MISC), nullptr) << "the spent item is gone";
    char out[200];
    EXPECT_FALSE(actor.canAct(0, "zap", out, sizeof out));
    EXPECT_STREQ(out, "Ada would zap, but he no longer has needed item!\n");

    bl3dItem* forever = wand->newInstance();
    forever->setCharges(UNLIMITED_CHARGES);
    pc->putInSlot(SLOT_MISC, forever);
    for (int i = 0; i < 5; ++i)
        actor.addPoints(-1);
    EXPECT_EQ(forever->getCharges(), UNLIMITED_CHARGES);
    EXPECT_TRUE(actor.hasPoints(1));
}

} // namespace
