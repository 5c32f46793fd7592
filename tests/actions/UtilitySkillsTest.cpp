// The utility skills: Mind Compass and Shadow Walk set their world bit and
// expiry (later, never earlier, with an expiry event only when it moved);
// Animal Talk brings a Bear or a Wolf into the party, refuses a full party
// and a bestiary without the animal.
#include "ActionTest.h"

#include "actions/Attributes.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

namespace {

constexpr int32_t MIND_COMPASS = 0x00883001;
constexpr int32_t SHADOW_WALK = 0x00883002;
constexpr int32_t ANIMAL_TALK = 0x00883003;

class UtilitySkillsTest : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        kay = member("Kay", true, 0x40);
    }
    int32_t world(const char* key) { return intAttribute(&kit->env.tags, key); }

    bl3dPartyChar* kay = nullptr;
};

TEST_F(UtilitySkillsTest, MindCompassShowsTheCompassAndOnlyEverExtendsIt) {
    // now 1000: due 1000 + 120 + 100.
    vell::scriptGameRand({100});
    EXPECT_EQ(run(MIND_COMPASS, kay, nullptr), 0);
    EXPECT_EQ(said(), "Kay focuses the Mind Compass...\n");
    EXPECT_EQ(world(tagkey::Percep1), 0x01);
    EXPECT_EQ(world(tagkey::MagExp21), 1220);
    ASSERT_EQ(kit->actionEnv.queued.size(), 1u);
    EXPECT_EQ(kit->actionEnv.queued[0].typeId, 9011);
    EXPECT_EQ(kit->actionEnv.queued[0].due, 1220u);
    EXPECT_EQ(kit->actionEnv.percepCalls, 1);

    // An earlier end leaves the expiry alone and queues nothing.
    vell::scriptGameRand({0});
    run(MIND_COMPASS, kay, nullptr);
    EXPECT_EQ(world(tagkey::MagExp21), 1220);
    EXPECT_EQ(kit->actionEnv.queued.size(), 1u);
    // A later one moves it and queues a second expiry.
    vell::scriptGameRand({239});
    run(MIND_COMPASS, kay, nullptr);
    EXPECT_EQ(world(tagkey::MagExp21), 1359);
    EXPECT_EQ(kit->actionEnv.queued.size(), 2u);
}

TEST_F(UtilitySkillsTest, ShadowWalkAddsItsBitToTheOthers) {
    kit->env.tags.setInt(tagkey::XCState, 0x02);
    vell::scriptGameRand({0});
    EXPECT_EQ(run(SHADOW_WALK, kay, nullptr), 0);
    EXPECT_EQ(said(), "Kay instructs the party to Shadow Walk...\n");
    EXPECT_EQ(world(tagkey::XCState), 0x0a);
    EXPECT_EQ(world(tagkey::MagExp43), 1120);
    ASSERT_EQ(kit->actionEnv.queued.size(), 1u);
    EXPECT_EQ(kit->actionEnv.queued[0].typeId, 9013);
    EXPECT_EQ(kit->actionEnv.xcCalls, 1);
}

TEST_F(UtilitySkillsTest, AnimalTalkBringsAnAnimalIntoThePartyForGood) {
    MonsterSpec_S bear;
    bear.name = "Bear";
    kit->monsterType(bear);
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    kit->monsterType(wolf);
    for (int i = 0; i < 6; ++i) {
        member(("M" + std::to_string(i)).c_str());
    }
    vell::scriptGameRand({1});
    EXPECT_EQ(run(ANIMAL_TALK, kay, nullptr), 0);
    EXPECT_EQ(said(), "Kay instructs the party to Animal Talk...\n");
    ASSERT_EQ(party->getCount(), 8);
    bl3dPartyChar* joined = party->getMember(7);
    EXPECT_STREQ(joined->getName(), "Wolf");
    EXPECT_TRUE(joined->isJoinedMonster());
    EXPECT_TRUE(joined->getTagList()->hasKey(tagkey::MonExpire));
    EXPECT_EQ(intAttribute(joined, tagkey::MonExpire), 0);

    vell::scriptGameRand({0});
    EXPECT_EQ(run(ANIMAL_TALK, kay, nullptr), 0);
    EXPECT_EQ(said(), "Kay tries, but the party is full!\n");
    EXPECT_EQ(party->getCount(), 8);
}

TEST_F(UtilitySkillsTest, AnimalTalkWithoutTheAnimalInTheBestiaryChangesNothing) {
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    kit->monsterType(wolf);
    vell::scriptGameRand({0}); // a Bear
    EXPECT_EQ(run(ANIMAL_TALK, kay, nullptr), -2);
    EXPECT_EQ(said(), "Kay tries to Animal Talk, but no animal answers!\n");
    EXPECT_EQ(party->getCount(), 1);
}

} // namespace
