// The shipped bestiary holds every creature that a spell or a song calls,
// so that every summon of the game works.
#include "ActionTest.h"

#include "actions/Catalogue.h"
#include "actions/Spells.h"
#include "rules/MonsterType.h"

#include <set>
#include <string>

namespace {

class ShippedBestiaryTest : public ActionTest {};

TEST_F(ShippedBestiaryTest, EverySummonedOrCalledCreatureIsInTheBestiary) {
    ASSERT_GT(masterMTL.load(std::string(VELL_GAME_DIR) + "/data/monsters.dat"), 0);
    std::set<std::string> names = {"Wolf", "Bear"}; // Beasty Skirl, Animal Talk
    size_t n = 0;
    const SpellRow_S* rows = spellRows(&n);
    for (size_t i = 0; i < n; ++i)
        if (rows[i].kind == SpellKind::Summon)
            names.insert(rows[i].monster);
    EXPECT_EQ(names.size(), 22u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const bl3dMonsterType* type = masterMTL.findByName(name.c_str());
        ASSERT_NE(type, nullptr);
        EXPECT_GT(type->rollHP(), 0);
    }
    // The demons are demons, for Preclude Demons to know them.
    for (const char* demon : {"Dactyl", "Yevil", "Demon Lord"})
        EXPECT_EQ(masterMTL.findByName(demon)->getKind(), 22) << demon;
}

} // namespace
