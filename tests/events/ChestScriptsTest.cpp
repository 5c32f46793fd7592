// The catacombs' chests and the story's rewards, run from their scripts with
// the real chest screen: each one's trap goes off on a careless opener, an
// opened chest stays empty, one left unopened waits for the party.
#include "ScriptFixture.h"

#include "actions/Attributes.h"
#include "events/Event_4001.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/TagKeys.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace scripted {
namespace {

class ChestScripts : public ScriptedEvent {
protected:
    void SetUp() override
    {
        ScriptedEvent::SetUp();
        if (HasFatalFailure())
            return;
        registerEncounterEvent(ENCOUNTER_CHEST, &makeEvent<Event_4001_C>);
        int id = 8100;
        for (const char* name : {"Iron Cap", "Glass Dagger", "Ring of Warding", "Round Buckler"}) {
            bl3dItemType* t = makeItemType(ITEM_PLAIN);
            t->setBasics(id++, name, "An item of the catacombs.", 10);
            masterITL.insert(t);
        }
    }
    bool anyMentions(const std::string& piece) const
    {
        for (const partyscreens::Shown& s : shown())
            if (s.mentions(piece))
                return true;
        return false;
    }
};

struct ChestCase {
    const char* script;
    const char* tag;
    const char* trapText;
    int32_t gold;
    std::vector<std::string> items;
};

TEST_F(ChestScripts, EachTrapGoesOffAndTheOpenedChestStaysEmpty)
{
    const ChestCase cases[] = {
        {"chest_crypt", "ChestCrypt", "Darts fly at Ann", 45, {"Iron Cap"}},
        {"chest_niche", "ChestNiche", "Large spikes leap out at Ann", 80, {"Glass Dagger"}},
        {"chest_alcove", "ChestAlcove", "A Poisonous gas permeates the air around Ann", 200,
         {"Round Buckler", "Ring of Warding"}},
    };
    bl3dPartyChar& ann = join("Ann", 0x4);
    for (const ChestCase& c : cases) {
        ann.setMaxHP(200);
        ann.setCurHP(200);
        const int32_t gold = ann.getGold();
        forget();
        // Open it bare-handed; the trap; every item taken; leave.
        std::vector<partyscreens::Step> keys{SDLK_o, SDLK_F1, SDLK_SPACE};
        for (size_t i = 0; i < c.items.size(); ++i)
            keys.push_back(SDLK_t);
        keys.push_back(SDLK_SPACE);
        script(keys);
        runScript(c.script);
        EXPECT_TRUE(anyMentions("Before you is")) << c.script;
        EXPECT_TRUE(anyMentions(c.trapText)) << c.script;
        EXPECT_LT(ann.getCurHP(), 200) << c.script;
        EXPECT_EQ(ann.getGold(), gold + c.gold) << c.script;
        EXPECT_EQ(gameworld->getVar(c.tag), 1) << c.script;
        // Empty from now on, and quiet: the next key is the player's.
        forget();
        script({SDLK_SPACE});
        runScript(c.script);
        EXPECT_TRUE(shown().empty()) << c.script;
        EXPECT_EQ(stepsLeft(), 1u) << c.script;
        EXPECT_EQ(ann.getGold(), gold + c.gold) << c.script;
    }
    std::vector<std::string> pack = partykit::holdings(ann).pack;
    std::sort(pack.begin(), pack.end());
    EXPECT_EQ(pack, (std::vector<std::string>{"Glass Dagger", "Iron Cap", "Ring of Warding", "Round Buckler"}));
}

TEST_F(ChestScripts, AChestLeftUnopenedWaits)
{
    bl3dPartyChar& ann = join("Ann", 0x2);
    setIntAttribute(&ann, tagkey::LockPick, 200);
    script({SDLK_l});
    runScript("chest_crypt");
    EXPECT_EQ(gameworld->getVar("ChestCrypt"), 0);
    EXPECT_EQ(ann.getGold(), 0);
    // A skilled picker opens it without the darts.
    script({SDLK_p, SDLK_F1, SDLK_t, SDLK_SPACE});
    runScript("chest_crypt");
    EXPECT_EQ(ann.getCurHP(), 20);
    EXPECT_EQ(ann.getGold(), 45);
    EXPECT_EQ(gameworld->getVar("ChestCrypt"), 1);
}

// Each chest stands on a passage of the catacombs (the crypt's at the corner
// of the only way north from the stairs): whether it is left shut, emptied
// or found empty, the party stays on its square and walks on from there.
TEST_F(ChestScripts, TheChestsSquareKeepsTheParty)
{
    join("Ann", 0x4);
    const std::pair<const char*, const char*> chests[] = {
        {"chest_crypt", "ChestCrypt"}, {"chest_niche", "ChestNiche"}, {"chest_alcove", "ChestAlcove"}};
    for (const auto& [name, tag] : chests) {
        for (bool opened : {false, true}) {
            const std::string how = std::string(name) + (opened ? ", found empty" : ", left shut");
            gameworld->setVar(tag, opened ? 1 : 0);
            standOn(3, 4, 90);
            if (opened)
                script({});
            else
                script({SDLK_l});
            runScript(name);
            EXPECT_EQ(iface.getCurX(), 3.0f) << how;
            EXPECT_EQ(-iface.getCurZ(), 4.0f) << how;
            EXPECT_EQ(iface.getFacing(), 90) << how;
        }
    }
}

// The sphinx's coffer, opened with the game's own item catalogue: the item
// the script names is one the game has, so the coffer comes up with it and
// its gold.
TEST_F(ChestScripts, TheSphinxsCofferHoldsAnItemOfTheGame)
{
    ASSERT_EQ(masterITL.load((std::string(VELL_GAME_DIR) + "/data/item.dat").c_str()), 0);
    bl3dPartyChar& ann = join("Ann", 0x4);
    standOn(12, 19, 90);
    script({SDLK_e, SDLK_c, SDLK_h, SDLK_o, SDLK_RETURN, SDLK_SPACE, SDLK_o, SDLK_F1, SDLK_t, SDLK_SPACE});
    runScript("sphinx", 13, 19, 270);
    EXPECT_TRUE(anyMentions("Echo"));
    EXPECT_TRUE(anyMentions("Before you is")) << "no coffer";
    EXPECT_EQ(partykit::holdings(ann).pack, std::vector<std::string>{"Rope"});
    EXPECT_GE(ann.getGold(), 40);
    EXPECT_LE(ann.getGold(), 60);
    EXPECT_EQ(-iface.getCurZ(), 19.0f);
    EXPECT_EQ(iface.getCurX(), 12.0f) << "the right answer keeps the party at the sphinx";
}

// The sphinx's coffer and the nest's chest are the story's rewards: left
// shut, each waits for the party's return, without the riddle or the fight
// again; opened, the square's story is done and it says nothing more.
TEST_F(ChestScripts, AStorysRewardLeftShutWaits)
{
    ASSERT_EQ(masterITL.load((std::string(VELL_GAME_DIR) + "/data/item.dat").c_str()), 0);
    monsterType("Wolf");
    monsterType("Giant Spider");
    bl3dPartyChar& ann = join("Ann", 0x2);
    setIntAttribute(&ann, tagkey::LockPick, 200);
    ann.setMaxHP(200);
    ann.setCurHP(200);
    struct Case {
        const char* script;
        std::vector<partyscreens::Step> untilTheChest;   // the riddle answered, the fight won
        std::vector<partyscreens::Step> afterLeaving;
        std::vector<partyscreens::Step> opening;          // picked, every item taken, left
        int32_t least, most;                              // its gold
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"sphinx", {SDLK_e, SDLK_c, SDLK_h, SDLK_o, SDLK_RETURN, SDLK_SPACE}, {},
         {SDLK_p, SDLK_F1, SDLK_t, SDLK_SPACE}, 40, 60, {"Rope"}},
        {"ratnest", {SDLK_SPACE}, {SDLK_SPACE}, {SDLK_p, SDLK_F1, SDLK_ESCAPE}, 120, 120, {}},
    };
    for (const Case& c : cases) {
        standOn(12, 19, 90);
        const int32_t gold = ann.getGold();
        const std::vector<std::string> pack = partykit::holdings(ann).pack;
        std::vector<partyscreens::Step> keys = c.untilTheChest;
        keys.push_back(SDLK_l);
        keys.insert(keys.end(), c.afterLeaving.begin(), c.afterLeaving.end());
        forget();
        script(keys);
        runScript(c.script, 13, 19, 270);
        EXPECT_TRUE(anyMentions("Before you is")) << c.script << ": no chest";
        EXPECT_EQ(stepsLeft(), 0u) << c.script;
        EXPECT_EQ(ann.getGold(), gold) << c.script;

        // Back: the chest at once, still holding its reward.
        forget();
        script(c.opening);
        runScript(c.script, 13, 19, 270);
        EXPECT_TRUE(shown().at(0).mentions("Before you is")) << c.script << ": the chest is gone";
        EXPECT_EQ(stepsLeft(), 0u) << c.script;
        EXPECT_GE(ann.getGold(), gold + c.least) << c.script;
        EXPECT_LE(ann.getGold(), gold + c.most) << c.script;
        std::vector<std::string> want = pack;
        want.insert(want.end(), c.items.begin(), c.items.end());
        EXPECT_EQ(partykit::holdings(ann).pack, want) << c.script;

        // Opened: done.
        const int32_t paid = ann.getGold();
        forget();
        script({SDLK_SPACE});
        runScript(c.script, 13, 19, 270);
        EXPECT_TRUE(shown().empty()) << c.script;
        EXPECT_EQ(ann.getGold(), paid) << c.script;
    }
}

} // namespace
} // namespace scripted
