// A wandering monster's offer to join: welcomed, denied (the fight that
// follows, its result and its pace kept), refused for a full party, and no
// offer without a monster.
#include "CombatFixture.h"
#include "FightDriver.h"

#include "events/Event_4000a.h"
#include "actions/Attributes.h"
#include "app/GameEvents.h"
#include "rules/TagKeys.h"

#include <gtest/gtest.h>

using namespace combattest;

namespace {

using E = Event_4000_C;

class JoinOfferTest : public CombatFixture {
protected:
    void SetUp() override
    {
        CombatFixture::SetUp();
        if (HasFatalFailure())
            return;
        registerGameEvents();
        watch([this] {
            if (E* f = E::running())
                return 1000 + f->getState();
            return offer_ ? offer_->getState() : -100;
        });
        // Drives the offer with its keys, and the fight that may follow
        // with everyone attacking.
        onDisplay([this] { drive(); });
    }
    void TearDown() override
    {
        offer_.reset();
        clearEventMakers();
        CombatFixture::TearDown();
    }
    int runOffer(std::initializer_list<SDLKey> keys)
    {
        offerKeys_.assign(keys.begin(), keys.end());
        drainEvents();
        offer_ = std::make_unique<Event_4000a_C>();
        return offer_->invoke(&iface);
    }
    bl3dMonsterType* wolf(int attack = 0, int damage = 0)
    {
        MonsterSpec_S s;
        s.name = "Wolf";
        s.plural = "Wolves";
        s.hp = 1;
        s.stats[STAT_ATTACK] = attack;
        s.stats[STAT_DAMAGE] = damage;
        s.stats[STAT_DX] = 18;
        return monsterType(s);
    }
    bool fightRan() const
    {
        for (const Shown& s : shown())
            if (s.state >= 1000)
                return true;
        return false;
    }
    fightdriver::FightDriver_S driver;

private:
    void drive()
    {
        driver.last = shown().empty() ? nullptr : &last();
        if (driver.drive())
            return;
        SDL_Event pending;
        if (SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT)) > 0)
            return;
        if (!offerKeys_.empty()) {
            pushKey(offerKeys_.front());
            offerKeys_.erase(offerKeys_.begin());
            // A key that changes nothing asks for no redraw: the script
            // goes on all the same.
            vell::pushRedraw();
        }
    }

    std::unique_ptr<Event_4000a_C> offer_;
    std::vector<SDLKey> offerKeys_;
};

TEST_F(JoinOfferTest, AWelcomedMonsterJoinsForGood)
{
    fighter("Ann");
    addGroup(wolf(), 1, 10);
    setWorldVar(tagkey::CombatDelay, 300);
    EXPECT_EQ(runOffer({SDLK_x, SDLK_w, SDLK_SPACE}), 0);
    EXPECT_TRUE(shown(0).mentions("For it's own reasons, a Wolf"));
    EXPECT_TRUE(shown(0).mentions("What dost your brave"));
    EXPECT_TRUE(shown(0).has("(W)elcome them to your ranks"));
    EXPECT_TRUE(shown(0).has("(D)eny their request"));
    EXPECT_TRUE(lastIn(Event_4000a_C::WELCOMED).has("Your party welcomes it's newest member"));
    ASSERT_EQ(party->getCount(), 2);
    bl3dPartyChar& joined = member(1);
    EXPECT_TRUE(joined.isJoinedMonster());
    EXPECT_EQ(intAttribute(&joined, tagkey::MonExpire), 0);
    EXPECT_TRUE(joined.getTagList()->hasKey(tagkey::MonExpire));
    EXPECT_FALSE(fightRan());
    // A pace below the least is stored as the usual one.
    EXPECT_EQ(worldVar(tagkey::CombatDelay), 1000);
    EXPECT_FALSE(enemyList.isInCombat());
}

TEST_F(JoinOfferTest, ADenialBecomesAFightThatKeepsItsOwnPace)
{
    fighter("Ann");
    addGroup(wolf(), 1, 10);
    setWorldVar(tagkey::CombatDelay, 600);
    driver.speedUpOnce = true;
    EXPECT_EQ(runOffer({SDLK_d, SDLK_SPACE}), 0);
    EXPECT_TRUE(lastIn(Event_4000a_C::ANGRY).has("The Wolf appears angry at being turned down..."));
    EXPECT_TRUE(fightRan());
    EXPECT_EQ(party->getCount(), 1);
    // The pace set in the fight stays; the offer's older value is not
    // written over it.
    EXPECT_EQ(worldVar(tagkey::CombatDelay), 700);
}

TEST_F(JoinOfferTest, AFullPartyTurnsTheOfferIntoAFight)
{
    for (const char* n : {"Ann", "Bob", "Cid", "Dan", "Eve", "Fay", "Gus", "Hal"})
        fighter(n);
    addGroup(wolf(), 1, 10);
    EXPECT_EQ(runOffer({SDLK_w, SDLK_SPACE, SDLK_SPACE}), 0);
    EXPECT_TRUE(lastIn(Event_4000a_C::PARTY_FULL).has("it is unfortunate, but your party is full"));
    EXPECT_TRUE(lastIn(Event_4000a_C::ANGRY).mentions("appears angry"));
    EXPECT_TRUE(fightRan());
    EXPECT_EQ(party->getCount(), 8);
}

TEST_F(JoinOfferTest, AFightLostAfterADenialIsReported)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.setCurHP(1);
    ann.getStatBlock()->setBase(STAT_AC, 10);
    ann.getStatBlock()->recompute();
    MonsterSpec_S s;
    s.name = "Bear";
    s.plural = "Bears";
    s.hp = 500;
    s.stats[STAT_ATTACK] = 40;
    s.stats[STAT_DAMAGE] = 50;
    addGroup(monsterType(s), 1, 10);
    EXPECT_EQ(runOffer({SDLK_d, SDLK_SPACE}), -1);
    EXPECT_TRUE(fightRan());
}

TEST_F(JoinOfferTest, NoMonsterNoOffer)
{
    join("Ann", 0x4);
    testing::internal::CaptureStderr();
    Event_4000a_C offer;
    EXPECT_EQ(offer.invoke(&iface), -999);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no monster"), std::string::npos);
    EXPECT_TRUE(shown().empty());
}

} // namespace
