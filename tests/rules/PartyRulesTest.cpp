// The rules every folder above asks of the party and the world: who in the
// party still stands (the Hall's way out, resting, the scripts, the fights'
// shares all ask it), and the world's integer variables as the rules read
// and write them, with and without a world.
#include "RulesTestEnv.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <memory>
#include <vector>

namespace {

class PartyRulesTest : public RulesTest {
protected:
    static void fill(bl3dParty& p, const std::vector<int32_t>& hitPoints) {
        for (size_t i = 0; i < hitPoints.size(); ++i) {
            auto pc = std::make_unique<bl3dPartyChar>(("M" + std::to_string(i)).c_str(), 0x4, RACE_HUMAN, true,
                                                      ALIGN_GOOD, nullptr, nullptr);
            pc->setMaxHP(30);
            pc->setCurHP(hitPoints[i]);
            ASSERT_TRUE(p.addMember(pc.release()));
        }
    }
};

// A member stands with 1 hit point or more; 0 and below are dead, wherever
// they stand in the marching order.
TEST_F(PartyRulesTest, LivingCountIsTheMembersAboveNoHitPoints) {
    const struct {
        std::vector<int32_t> hp;
        int living;
    } cases[] = {
        {{}, 0},
        {{0}, 0},
        {{1}, 1},
        {{-12, 0, -1}, 0},
        {{0, 0, 0, 0, 0, 0, 0, 5}, 1},
        {{5, 0, 7, -3, 1}, 3},
        {{30, 30, 30, 30, 30, 30, 30, 30}, 8},
    };
    for (const auto& c : cases) {
        bl3dParty p("party.dat");
        fill(p, c.hp);
        SCOPED_TRACE(testing::Message() << c.hp.size() << " members, " << c.living << " living");
        EXPECT_EQ(p.livingCount(), c.living);
        EXPECT_EQ(p.anyoneAlive(), c.living > 0);
    }
}

// The count follows the members as they fall, rise and leave.
TEST_F(PartyRulesTest, LivingCountFollowsFallsAndDepartures) {
    bl3dParty p("party.dat");
    fill(p, {4, 9});
    p.getMember(0)->changeHP(-4);
    EXPECT_EQ(p.livingCount(), 1);
    p.removeAt(1);
    EXPECT_FALSE(p.anyoneAlive()) << "the one left has fallen";
    p.getMember(0)->setCurHP(1);
    EXPECT_TRUE(p.anyoneAlive());
}

// World variables read 0 when absent, when they hold another kind, and when
// no world is loaded; setting one without a world changes nothing.
TEST_F(PartyRulesTest, WorldVariablesReadZeroWithoutAWorldOrAKey) {
    EXPECT_EQ(worldVar(tagkey::NCBS), 0);
    setWorldVar(tagkey::NCBS, 0x5ab00d);
    EXPECT_EQ(worldVar(tagkey::NCBS), 0x5ab00d);
    EXPECT_EQ(env.tags.intValue("NCBS"), 0x5ab00d) << "stored under its own name";
    env.tags.setIntKind1(tagkey::MagLt1, 3);
    EXPECT_EQ(worldVar(tagkey::MagLt1), 0) << "a kind-1 value is no ordinary integer";
    EXPECT_EQ(worldVar(nullptr), 0);

    setRulesEnv(nullptr);   // the stand-in: no world loaded
    EXPECT_EQ(worldVar(tagkey::NCBS), 0);
    setWorldVar(tagkey::NCBS, 1);
    setRulesEnv(&env);
    EXPECT_EQ(worldVar(tagkey::NCBS), 0x5ab00d);
}

} // namespace
