// The fight's "(SPACE) to Continue" prompts answer SPACE: each message goes
// and the fight's next screen is drawn. Keys come as a player presses them:
// the next one only once the screen has been drawn and nothing more is
// waiting to be drawn, so a prompt that SPACE closes without the screen
// under it coming back leaves the player (and the test) stuck.
#include "CombatFixture.h"

#include "rules/StatBlock.h"

namespace {

using namespace combattest;

// Monsters of this kind never let a party run away.
constexpr int32_t RELENTLESS = 4;

class SpacePromptsTest : public CombatFixture {};

struct PromptCase {
    const char* name;
    std::function<void()> setup;
    std::vector<Step> toPrompt;   // SPACE follows, then `after`
    const char* message;          // printed while the prompt stands
    std::vector<Step> after;      // to the end of the fight
    int32_t creatureType = 0;     // of the one orc
};

TEST_F(SpacePromptsTest, EachMessageOfTheFightGoesWithSpace)
{
    const std::vector<PromptCase> cases = {
        {"a pack item invoked",
         [this] { kit().carry(member(0), kit().rope); },
         {SDLK_f, SDLK_i, SDLK_RETURN}, "The item must be equipped to be used.", {SDLK_a, SDLK_y}},
        {"a worn item without a power invoked",
         [this] { kit().give(member(0), kit().helm, SLOT_HEAD); },
         {SDLK_f, SDLK_i, SDLK_RETURN}, "The selected item doesn't do anything.", {SDLK_a, SDLK_y}},
        {"no reserve weapon", [] {}, {SDLK_f, SDLK_r},
         "You do not have any other weapons ready.", {SDLK_a, SDLK_y}},
        {"no skill for the fight", [] {}, {SDLK_f, SDLK_u}, "You have no special skills for combat",
         {SDLK_a, SDLK_y}},
        {"a spell code nobody knows", [] { member(0).setClassId(0x100); },
         {SDLK_f, SDLK_c, SDLK_z, SDLK_z, SDLK_RETURN}, "Alas, such a spell is beyond your knowledge.",
         {SDLK_a, SDLK_y}},
        {"a stunned member",
         [this] {
             fighter("Bob");
             member(0).setConditions(COND_STUNNED);
         },
         {SDLK_f}, "Ann is currently stunned!", {SDLK_a, SDLK_y}},
        {"overtaken when running", [] {}, {SDLK_r}, "your foes refuse to let you go", {SDLK_a, SDLK_y},
         RELENTLESS},
    };
    for (const PromptCase& c : cases) {
        SCOPED_TRACE(c.name);
        while (party->getCount() > 0)
            party->removeAt(0);
        enemyList.clear();
        fighter("Ann");
        MonsterSpec_S orc;
        orc.hp = 1;
        orc.creatureType = c.creatureType;
        addGroup(monsterType(orc), 1, 10);
        c.setup();
        std::vector<Step> keys = c.toPrompt;
        keys.emplace_back(SDLK_SPACE);
        keys.insert(keys.end(), c.after.begin(), c.after.end());
        forget();
        script(keys);
        EXPECT_EQ(fight(), 0);
        EXPECT_EQ(stepsLeft(), 0u) << "every key was asked for";
        // The prompt was drawn, and the display after it shows something else.
        size_t at = shown().size();
        for (size_t i = 0; i < shown().size(); ++i)
            if (shown(i).mentions(c.message) && shown(i).has("(SPACE) to Continue"))
                at = i;
        ASSERT_LT(at + 1, shown().size()) << "no prompt, or nothing drawn after it";
        EXPECT_FALSE(shown(at + 1).has("(SPACE) to Continue") && shown(at + 1).mentions(c.message))
            << "the prompt still stands after SPACE";
    }
}

} // namespace
