// The Temple driven by pushed keys through its states: its hours, healing
// wounds, the whole party and the dead, the five cures, the level gains of
// its two class groups and the tithe; the texts shown, the party's hit
// points, conditions, levels, luck and gold, and the game time spent.
#include "TownFixture.h"

#include "rules/PartyChar.h"
#include "rules/StatBlock.h"
#include "screens/CharView.h"
#include "town/Event_1002.h"

namespace {

using namespace town;

constexpr int kLeave = 30;

class TempleTest : public TownFixture {
protected:
    // Runs one visit with these keys; returns the game time it took.
    uint32_t visit(const std::vector<Step>& keys)
    {
        Event_1002_C temple(&params_);
        forget();
        return visitBuilding(temple, keys);
    }
    static std::vector<Step> keys(std::initializer_list<std::vector<Step>> parts)
    {
        std::vector<Step> all;
        for (const auto& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    }
};

TEST_F(TempleTest, ClosedUntilSixAndOpenFromSixUntilMidnight)
{
    join("Ann", 0x4);
    std::unique_ptr<Event_C> made = createMapEvent(1002, &params_);
    ASSERT_NE(dynamic_cast<Event_1002_C*>(made.get()), nullptr) << "the game makes the Temple for type 1002";
    EXPECT_EQ(made->typeId(), 1002);

    setTime(5, 59);
    EXPECT_EQ(visit({SDLK_SPACE}), uint32_t(kLeave)) << "leaving a closed Temple still takes the leave time";
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown(0).state, Building_C::kClosed);
    EXPECT_TRUE(shown(0).mentions("the Temple is now closed to the public"));
    EXPECT_EQ(gameworld->getSquareX(), 15);
    EXPECT_EQ(gameworld->getSquareY(), 14);

    setTime(6, 0);
    std::vector<bool> templePic;
    onDisplay([&] { templePic.push_back(iface.curPicNamed("Temple")); });
    visit({SDLK_h, SDLK_ESCAPE, SDLK_ESCAPE});
    ASSERT_EQ(shown().size(), 3u);
    EXPECT_EQ(shown(0).state, Event_1002_C::MENU);
    for (const char* text : {"Welcome to our humble temple.", "How may we assist you in your valiant quest?\n",
                             "(H)eal an Adventurer", "(V)isit with the Redeemer", "(M)editate on the truths of life",
                             "(T)ithe to the Temple", "(F1-F8) to View", "(ESCAPE) to Exit"})
        EXPECT_TRUE(shown(0).has(text)) << text;
    EXPECT_EQ(shown(1).state, Event_1002_C::HEALING_MENU);
    for (const char* text : {"Which of our healing services do you require?", "(H)eal Party", "Heal (W)ounds",
                             "Cure (P)oison", "Remove (B)lindness", "Restore (L)imbs", "Revert (A)ging",
                             "Reanimate (S)tone", "(R)esurrect the Dead", "(ESCAPE) to Cancel"})
        EXPECT_TRUE(shown(1).has(text)) << text;
    EXPECT_EQ(shown(2).state, Event_1002_C::MENU) << "ESC in the healing services goes back to the menu";
    EXPECT_EQ(templePic, (std::vector<bool>{true, true, true}));
}

TEST_F(TempleTest, HealingWoundsCostsFiveGoldAPointAndATickPerFourPoints)
{
    struct Case {
        int missing;
        int32_t price;
        uint32_t ticks;
    };
    bl3dPartyChar& ann = join("Ann", 0x4);
    setTime(9);
    for (const Case& c : {Case{3, 15, 0}, Case{40, 200, 10}}) {
        SCOPED_TRACE(c.missing);
        ann.setMaxHP(60);
        ann.setCurHP(60 - c.missing);
        ann.rawAddGold(c.price - 1 - gold(ann));
        // Short by one: nothing changes, no time passes.
        EXPECT_EQ(visit({SDLK_h, SDLK_w, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_ESCAPE}), uint32_t(kLeave));
        char offer[80];
        std::snprintf(offer, sizeof offer, "To heal Ann fully will cost %d gold.\nWill you pay?", c.price);
        EXPECT_TRUE(lastIn(Event_1002_C::HEAL_OFFER).has(offer));
        EXPECT_TRUE(lastIn(Event_1002_C::HEAL_OFFER).has("(Y)es"));
        EXPECT_TRUE(lastIn(Event_1002_C::HEAL_SHORT)
                        .has("Ann turns away in embarrassment as he realizes he does not have enough funds!"));
        EXPECT_EQ(ann.getCurHP(), 60 - c.missing);
        EXPECT_EQ(gold(ann), c.price - 1);

        ann.rawAddGold(1);
        EXPECT_EQ(visit({SDLK_h, SDLK_w, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_ESCAPE}), kLeave + c.ticks);
        EXPECT_TRUE(lastIn(Event_1002_C::HEALED).has("Ann is miraculously healed!"));
        EXPECT_EQ(ann.getCurHP(), 60);
        EXPECT_EQ(gold(ann), 0);
    }
    // Declining, and a member who is not hurt.
    ann.setCurHP(50);
    ann.rawAddGold(100);
    visit({SDLK_h, SDLK_w, SDLK_F1, SDLK_n, SDLK_SPACE, SDLK_h, SDLK_w, quiet(SDLK_F5), SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::DECLINED).has("Very well - may the peace and glory of the Redeemer be with you."));
    EXPECT_EQ(ann.getCurHP(), 50);
    EXPECT_EQ(gold(ann), 100);
    ann.setCurHP(60);
    visit({SDLK_h, SDLK_w, SDLK_F1, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::HEAL_NOT_HURT)
                    .has("Ann does not require our services!  Please make way for those who are truly injured."));
}

TEST_F(TempleTest, TheDeadAreRaisedToOneHitPointAndAnotherMemberPays)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 4);
    bl3dPartyChar& bob = join("Bob", 0x4);
    ann.setCurHP(-5);
    bob.rawAddGold(2000);
    setTime(9);
    const uint32_t spent = visit({SDLK_h, SDLK_w, SDLK_F1, SDLK_SPACE,   // the dead are not healed
                                  SDLK_h, SDLK_r, SDLK_F2, SDLK_SPACE,   // the living are not raised
                                  SDLK_h, SDLK_r, SDLK_F1, quiet(SDLK_F1), quiet(SDLK_F3), SDLK_F2, SDLK_SPACE,
                                  SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::HEAL_DEAD)
                    .has("Ann is beyond the abilities of our common healers - perhaps you should pray for "
                         "Resurrection?"));
    EXPECT_TRUE(lastIn(Event_1002_C::RAISE_ALIVE)
                    .has("Bob is already quite animate!  Please make way for those who truly require our services."));
    EXPECT_TRUE(lastIn(Event_1002_C::RAISE_OFFER).has("To revive Ann will cost 2000 gold.\nWho will pay?"));
    EXPECT_TRUE(lastIn(Event_1002_C::RAISE_OFFER).has("(F1-F8) for Character"));
    EXPECT_TRUE(lastIn(Event_1002_C::RAISED)
                    .has("After many prayers and repeated invocation of the forces of Life, Ann is restored!"));
    EXPECT_EQ(ann.getCurHP(), 1);
    EXPECT_EQ(gold(bob), 0);
    EXPECT_EQ(spent, uint32_t(30 + kLeave));

    // A payer short of gold; ESC at the offer declines.
    ann.setCurHP(0);
    bob.rawAddGold(100);
    visit({SDLK_h, SDLK_r, SDLK_F1, SDLK_F2, SDLK_SPACE, SDLK_h, SDLK_r, SDLK_F1, SDLK_ESCAPE, SDLK_SPACE,
           SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::PAYER_SHORT)
                    .has("Bob turns away in embarrassment as he realizes he does not have enough funds!"));
    EXPECT_EQ(shown(shown().size() - 2).state, Event_1002_C::DECLINED);
    EXPECT_EQ(ann.getCurHP(), 0);
    EXPECT_EQ(gold(bob), 100);
}

TEST_F(TempleTest, PricesBeyondAnyPurseAreShownWholeAndNeverPaid)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 10000000);
    bl3dPartyChar& bob = join("Bob", 0x4);
    ann.setCurHP(0);
    bob.rawAddGold(INT32_MAX);
    setTime(9);
    visit({SDLK_h, SDLK_r, SDLK_F1, SDLK_F2, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::RAISE_OFFER).has("To revive Ann will cost 5000000000 gold.\nWho will pay?"));
    EXPECT_EQ(last().state, Event_1002_C::MENU);
    EXPECT_TRUE(lastIn(Event_1002_C::PAYER_SHORT).mentions("Bob turns away"));
    EXPECT_EQ(gold(bob), INT32_MAX);
    EXPECT_EQ(ann.getCurHP(), 0);
}

TEST_F(TempleTest, HealingThePartyChargesTheLivingOnlyAndAnyLivingMemberPays)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x4);
    bl3dPartyChar& cat = join("Cat", 0x4);
    ann.setCurHP(10);
    cat.setCurHP(0);
    ann.rawAddGold(50);
    bob.rawAddGold(49);
    setTime(9);
    const uint32_t spent = visit({SDLK_h, SDLK_h, SDLK_F2, SDLK_SPACE,                          // Bob is short
                                  SDLK_h, SDLK_h, quiet(SDLK_F3), SDLK_F1, SDLK_SPACE,         // the dead cannot pay
                                  SDLK_h, SDLK_h, SDLK_F2, SDLK_SPACE,                          // nobody hurt: free
                                  SDLK_h, SDLK_h, SDLK_ESCAPE, SDLK_ESCAPE, SDLK_ESCAPE});
    std::vector<const Shown*> offers;
    for (const Shown& s : shown())
        if (s.state == Event_1002_C::PARTY_OFFER)
            offers.push_back(&s);
    ASSERT_EQ(offers.size(), 5u) << "the dead payer's key is quiet: one more display of the offer";
    EXPECT_TRUE(offers[0]->has("To heal the wounds of the entire party will cost 50 gold.\nWho will pay?"));
    EXPECT_TRUE(offers[3]->has("To heal the wounds of the entire party will cost 0 gold.\nWho will pay?"));
    EXPECT_TRUE(lastIn(Event_1002_C::PAYER_SHORT).mentions("Bob turns away"));
    EXPECT_TRUE(lastIn(Event_1002_C::PARTY_HEALED).has("The entire party is healed!"));
    EXPECT_EQ(shown(shown().size() - 2).state, Event_1002_C::HEALING_MENU) << "ESC at the offer";
    EXPECT_EQ(ann.getCurHP(), 20);
    EXPECT_EQ(cat.getCurHP(), 0) << "the dead are neither charged nor healed";
    EXPECT_EQ(gold(ann), 0);
    EXPECT_EQ(gold(bob), 49);
    EXPECT_EQ(spent, uint32_t(kLeave)) << "healing the party takes no time";
}

TEST_F(TempleTest, EachCureClearsItsConditionForItsPriceAndHalfAnHour)
{
    struct Case {
        SDLKey key;
        int32_t bit;
        int32_t perLevel;
        const char* offer;
        const char* done;
        const char* notAfflicted;
        bool payerChosen;
    };
    const Case cases[] = {
        {SDLK_p, COND_POISONED, 10, "To cure Ann will cost 30 gold.\nWill you pay?", "Ann is cured!",
         "Bob is not poisoned!", false},
        {SDLK_b, COND_BLIND, 15, "To restore sight to Ann will cost 45 gold.\nWill you pay?", "Ann can see again!",
         "Bob can see well enough!", false},
        {SDLK_l, COND_WITHERED, 25, "To restore Ann will cost 75 gold.\nWill you pay?", "Ann is restored!",
         "Bob has no withered limbs!", false},
        {SDLK_a, COND_AGED, 30, "To revert Ann will cost 90 gold.\nWill you pay?", "Ann is young once more!",
         "Bob has earned all his years!", false},
        {SDLK_s, COND_STONE, 50, "To reanimate Ann will cost 150 gold.\nWho will pay?", "Ann is no longer a statue!",
         "Bob is animate already!", true},
    };
    bl3dPartyChar& ann = join("Ann", 0x4, 3);
    join("Bob", 0x4);
    setTime(9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.done);
        if (c.bit == COND_POISONED)
            ann.poison(1000, 4, 1, 0, 4, false);
        else
            ann.addBaseConditions(c.bit);
        ann.rawAddGold(c.perLevel * 3);
        // Bob is not afflicted; Ann pays her own cure (for stone she is
        // chosen as the payer).
        const uint32_t spent = visit({SDLK_h, c.key, SDLK_F2, SDLK_SPACE, SDLK_h, c.key, SDLK_F1,
                                      c.payerChosen ? SDLK_F1 : SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
        EXPECT_TRUE(shown(3).has(c.notAfflicted));
        EXPECT_TRUE(shown(3).has("(SPACE) to Continue"));
        EXPECT_TRUE(shown(7).has(c.offer));
        EXPECT_TRUE(shown(7).has(c.payerChosen ? "(F1-F8) for Character" : "(Y)es"));
        EXPECT_TRUE(shown(8).has(c.done));
        EXPECT_EQ(ann.getConditions() & c.bit, 0);
        EXPECT_EQ(gold(ann), 0);
        EXPECT_EQ(spent, uint32_t(30 + kLeave));
    }
    EXPECT_EQ(ann.countEffects(1), 0) << "the poison itself is taken away";

    // Short of gold, declined: the condition stays.
    ann.addBaseConditions(COND_BLIND);
    ann.rawAddGold(44);
    EXPECT_EQ(visit({SDLK_h, SDLK_b, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_h, SDLK_b, SDLK_F1, SDLK_n, SDLK_SPACE,
                     SDLK_ESCAPE}),
              uint32_t(kLeave));
    EXPECT_TRUE(lastIn(Event_1002_C::BLIND_WHO + Event_1002_C::kCureShort)
                    .has("Ann turns away in embarrassment as he realizes he does not have enough funds!"));
    EXPECT_EQ(lastIn(Event_1002_C::DECLINED).state, Event_1002_C::DECLINED);
    EXPECT_TRUE(ann.isBlind());
    EXPECT_EQ(gold(ann), 44);
}

TEST_F(TempleTest, ACureLeavesTimedConditionsTimed)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 1);
    ann.addBaseConditions(COND_BLIND);
    // Asleep for a while, and stone for a while, by timed modifiers.
    ann.getStatBlock()->addModifier(STAT_CONDITIONS, COND_SLEEPING, 500, MOD_TYPE2, 0, 0);
    ann.getStatBlock()->addModifier(STAT_CONDITIONS, COND_STONE, 500, MOD_TYPE2, 0, 0);
    ann.getStatBlock()->recompute();
    ann.rawAddGold(15 + 50);
    setTime(9);
    visit({SDLK_h, SDLK_b, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_h, SDLK_s, SDLK_F1, SDLK_F1, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_FALSE(ann.isBlind());
    EXPECT_FALSE(ann.isStone()) << "a timed condition is cured too";
    EXPECT_TRUE(ann.isSleeping()) << "the sleep lasts its time";
    EXPECT_EQ(ann.getStatBlock()->getBase(STAT_CONDITIONS), 0) << "and is never made the member's own for good";
}

TEST_F(TempleTest, TheDeadCanBeCuredAndTheAgedMessageUsesThePossessive)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 2);
    ann.setCurHP(0);
    ann.poison(1000, 4, 1, 0, 4, false);
    ann.rawAddGold(20);
    join("Bea", 0x4).setGender(SEX_FEMALE);
    bl3dPartyChar& it = join("Ogg", 0x4);
    it.setGender(SEX_NONE);
    setTime(9);
    visit({SDLK_h, SDLK_p, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_h, SDLK_a, SDLK_F1, SDLK_SPACE, SDLK_h, SDLK_a, SDLK_F2,
           SDLK_SPACE, SDLK_h, SDLK_a, SDLK_F3, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_FALSE(ann.isPoisoned());
    EXPECT_EQ(gold(ann), 0);
    EXPECT_TRUE(shown(8).has("Ann has earned all his years!"));
    EXPECT_TRUE(shown(12).has("Bea has earned all her years!"));
    EXPECT_TRUE(shown(16).has("Ogg has earned all its years!"));
}

TEST_F(TempleTest, TheRedeemerAndMeditationGrantLevelsToTheirOwnClasses)
{
    bl3dPartyChar& pal = seasoned("Pal", 0x20, 12, 6500);
    bl3dPartyChar& aco = seasoned("Aco", 0x08, 5, 600);
    setTime(9);
    uint32_t spent = visit({SDLK_v, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_m, SDLK_F2, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::REDEEMER_WHO).has("Which of you wishes to commune with the great Redeemer?"));
    EXPECT_TRUE(lastIn(Event_1002_C::REDEEMER_OFFER)
                    .has("Enlightenment comes to those who properly support the temple.  A donation of 6500 gold is "
                         "suggested...\nDo you donate?"));
    EXPECT_TRUE(lastIn(Event_1002_C::REDEEMER_RANK)
                    .has("Your time with the Redeemer grants you great insight, and you advance along your Path!"));
    EXPECT_TRUE(lastIn(Event_1002_C::MEDITATE_OFFER)
                    .has("Just as you're about to obtain wisdom, an acolyte approaches you.\nHe requests a donation, "
                         "suggesting 600 gold...\nDo you donate?"));
    EXPECT_TRUE(lastIn(Event_1002_C::MEDITATE_GAINED)
                    .has("Your time at peace with yourself and the world grants you sapience, and you gain a level!"));
    EXPECT_EQ(pal.getLevel(), 13);
    EXPECT_EQ(aco.getLevel(), 6);
    EXPECT_EQ(gold(pal), 0);
    EXPECT_EQ(gold(aco), 0);
    EXPECT_EQ(spent, uint32_t(60 + 60 + kLeave));

    // The plain Redeemer message and the meditating rank.
    pal.rawAddGold(1400);
    seasoned("Nov", 0x10, 12, 6500);
    visit({SDLK_v, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_m, SDLK_F3, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(Event_1002_C::REDEEMER_GAINED)
                    .has("Your time with the Redeemer grants you insight, and you gain a level!"));
    EXPECT_TRUE(lastIn(Event_1002_C::MEDITATE_RANK)
                    .has("Your time at peace with yourself and the world grants you deep knowledge, and you advance "
                         "in your Path!"));
}

TEST_F(TempleTest, LevelGainsRefuseOtherClassesTheUnreadyTheShortAndTheUnwilling)
{
    seasoned("Sq", 0x04, 3, 1000);   // neither group
    join("Pal", 0x20, 3);             // not enough experience
    join("Aco", 0x08, 3);
    seasoned("Nov", 0x10, 3, 399);    // short of the 400
    setTime(9);
    visit({SDLK_v, SDLK_F1, SDLK_SPACE, SDLK_m, SDLK_F1, SDLK_SPACE,   // Sq refused by both
           SDLK_m, SDLK_F2, SDLK_SPACE,                                 // Pal is no meditator
           SDLK_v, SDLK_F2, SDLK_SPACE, SDLK_m, SDLK_F3, SDLK_SPACE,   // not ready
           SDLK_m, SDLK_F4, SDLK_y, SDLK_SPACE, SDLK_v, SDLK_F4, SDLK_SPACE, SDLK_m, SDLK_F4, SDLK_n, SDLK_SPACE,
           SDLK_v, SDLK_ESCAPE, SDLK_ESCAPE});
    const char* redeemerNo =
        "The Holy Redeemer does not accept those not of the order.  Please seek enlightenment in your own way.";
    const char* meditateNo = "Though your time in the sanctuary is calming and peaceful, you gain no insight.  Perhaps "
                             "you should seek another method of instruction?";
    EXPECT_TRUE(shown(2).has(redeemerNo));
    EXPECT_TRUE(shown(5).has(meditateNo));
    EXPECT_TRUE(shown(8).has(meditateNo));
    EXPECT_TRUE(shown(11).has("Your time with the Redeemer leaves you only with the knowledge that you must continue "
                              "your quest before enlightenment will be possible."));
    EXPECT_TRUE(shown(14).has("Your time at peace with the world leaves you with the certain knowledge that further "
                              "exploits are required before advancement will be possible."));
    EXPECT_TRUE(shown(18).has("You find that you do not have the funds you thought.  Your guilt at being unable to "
                              "support the order prevents you from gaining any further insight."));
    EXPECT_TRUE(shown(21).has(redeemerNo)) << "Novices meditate but are not of the Redeemer's order";
    EXPECT_TRUE(shown(25).has("Your guilt at choosing not to support such a respected order prevents you from "
                              "gaining any wisdom."));
    EXPECT_EQ(shown(27).state, Event_1002_C::REDEEMER_WHO);
    EXPECT_EQ(shown(28).state, Event_1002_C::MENU);
    EXPECT_EQ(member(3).getLevel(), 3);
    EXPECT_EQ(gold(member(3)), 399);
}

TEST_F(TempleTest, TithesAreTypedPaidAndGiveLuckForSevenDays)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x4);
    bob.setCurHP(0);
    ann.rawAddGold(1600);
    setTime(9);
    const uint32_t t0 = now();
    visit(keys({{SDLK_t, quiet(SDLK_F2), SDLK_F1}, digits("499"), {SDLK_RETURN, SDLK_SPACE},
                {SDLK_t, SDLK_F1}, digits("1000"), {SDLK_RETURN, SDLK_SPACE},
                {SDLK_t, SDLK_F1, quiet(SDLK_RETURN)}, digits("12345678"), {quiet(SDLK_9), SDLK_BACKSPACE,
                SDLK_DELETE, SDLK_RETURN, SDLK_SPACE},
                {SDLK_t, SDLK_F1}, digits("5"), {SDLK_ESCAPE, SDLK_ESCAPE}}));
    EXPECT_TRUE(lastIn(Event_1002_C::TITHE_WHO).has("Who wishes to tithe to the order?"));
    EXPECT_TRUE(shown(3).has("How much would you like to donate?"));
    EXPECT_TRUE(shown(3).has("_"));
    EXPECT_TRUE(shown(6).has("499_"));
    EXPECT_TRUE(shown(7).has("The order thanks you for your generous gift.\nMay the blessings of the Redeemer go "
                             "with you."));
    EXPECT_TRUE(lastIn(Event_1002_C::TITHE_INPUT).has("5_"));
    bool sawEight = false;
    for (const Shown& s : shown())
        sawEight = sawEight || s.has("12345678_");
    EXPECT_TRUE(sawEight);
    EXPECT_FALSE(lastIn(Event_1002_C::TITHE_SHORT).texts.empty());
    EXPECT_TRUE(lastIn(Event_1002_C::TITHE_SHORT).has("You cannot tithe more than you have!"));
    EXPECT_EQ(last().state, Event_1002_C::MENU) << "ESC during the input goes back to the menu";
    EXPECT_EQ(gold(ann), 101) << "499 and 1000 paid; 123456 refused";

    // 499 gives nothing; 1000 gives +2 luck for 40320 ticks.
    const StatModList& luck = ann.getStatBlock()->modsOf(STAT_LK);
    ASSERT_EQ(luck.count(), 1);
    const StatMod_S& mod = luck.mods().front();
    EXPECT_EQ(mod.value, 2);
    EXPECT_EQ(mod.duration, 40320u);
    EXPECT_EQ(mod.type, 7);
    EXPECT_GE(mod.timeAdded, t0);
}

TEST_F(TempleTest, AServiceFinishedAfterMidnightClosesTheTemple)
{
    seasoned("Pal", 0x20, 3, 400);
    setTime(23, 50);
    visit({SDLK_v, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_SPACE});
    EXPECT_EQ(shown(3).state, Event_1002_C::REDEEMER_GAINED);
    EXPECT_EQ(shown(4).state, Building_C::kClosed) << "00:05 after the level gain";
}

TEST_F(TempleTest, PooledGoldPaysFromTheWholeParty)
{
    gameConfig.partyGold = true;
    bl3dPartyChar& ann = join("Ann", 0x4, 2);
    bl3dPartyChar& bob = join("Bob", 0x4);
    ann.addBaseConditions(COND_BLIND);
    ann.rawAddGold(10);
    bob.rawAddGold(20);
    setTime(9);
    visit({SDLK_h, SDLK_b, SDLK_F1, SDLK_y, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_FALSE(ann.isBlind());
    EXPECT_EQ(party->totalGold(), 0);
}

TEST_F(TempleTest, F1InTheMenuShowsTheMembersSheet)
{
    join("Ann", 0x4);
    setTime(9);
    int sheets = 0;
    onDisplay([&] { sheets += CharView_C::getState() != 0 ? 1 : 0; });
    visit({SDLK_F1, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_GT(sheets, 0) << "F1 opened no character sheet";
    EXPECT_EQ(last().state, Event_1002_C::MENU) << "back in the menu after the sheet";
}

} // namespace
