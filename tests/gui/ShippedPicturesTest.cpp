// The shipped pictures of the fights: every monster type of the bestiary
// finds its picture under its name buffer, and the scenes "Treasure" and
// "AllDead" exist; each of them draws into the upper-left pane.
#include "PartyScreenFixture.h"

#include "rules/MonsterType.h"

#include <gtest/gtest.h>

using namespace partyscreens;

namespace {

class ShippedPicturesTest : public PartyScreenFixture {
protected:
    void TearDown() override
    {
        masterMTL.clear();
        PartyScreenFixture::TearDown();
    }
};

TEST_F(ShippedPicturesTest, EveryMonsterTypeAndTheFightsScenesHaveAPicture)
{
    ASSERT_GT(masterMTL.load(std::string(VELL_GAME_DIR) + "/data/monsters.dat"), 30);
    std::vector<std::string> names{"Treasure", "AllDead"};
    for (int i = 0; i < masterMTL.count(); ++i)
        names.emplace_back(masterMTL.at(i)->nameBuffer());
    for (const std::string& n : names) {
        EXPECT_TRUE(iface.picExists(n.c_str())) << n;
        EXPECT_EQ(iface.setULPic(n.c_str()), 0) << n;
    }
}

} // namespace
