// The skill and item-use screens opened from the main view, driven by pushed keys,
// with the game's own spell book loaded: a skill used on another member
// spends its daily use and is gone from the list until the refill; a use
// that fails spends nothing and can be left; an item's power used through
// the item heals its wearer and costs a charge; every refusal says why.
#include "PartyScreenFixture.h"

#include "actions/ActionFile.h"
#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "actions/GenericSkill.h"
#include "core/ScrollList.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "screens/CastSpell.h"
#include "screens/UseItem.h"
#include "screens/UseSkill.h"

namespace {

using namespace partyscreens;

constexpr int32_t SOOTHE = 0x00082045;        // Acolyte: heals one member, 4 a day
constexpr int32_t STUNNING_PALM = 0x000e2046; // Acolyte: combat only
constexpr int32_t MENDING_DRAUGHT = 0x00090300;
constexpr int32_t MENDING_LIGHT = 0x00090064;  // a spell for one member
constexpr int32_t SILVER_STRIKE = 0x000f0021;  // combat only

class ActionScreensTest : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        loadShippedActions();
        if (HasFatalFailure())
            return;
    }
    static void learn(bl3dPartyChar& m, int32_t id, int uses = -1)
    {
        bl3dAction* a = masterActionList.getAction(id);
        ASSERT_NE(a, nullptr);
        m.actions()->add(a, 0);
        if (uses >= 0) {
            char key[16];
            std::snprintf(key, sizeof key, "0x%08x", static_cast<unsigned>(id));
            m.getTagList()->setInt(key, uses);
            m.getTagList()->setInt((std::string(key) + "MAX").c_str(), uses);
        }
    }
    static int32_t uses(bl3dPartyChar& m, int32_t id)
    {
        char key[16];
        std::snprintf(key, sizeof key, "0x%08x", static_cast<unsigned>(id));
        return m.getTagList()->intValue(key);
    }
    // An item type of that power (charges, worn in the misc slot).
    bl3dItemType* powerItem(int32_t id, const char* name, int32_t action)
    {
        bl3dItemType* t = makeItemType(ITEM_PLAIN);
        t->setBasics(id, name, "An item of the test.", 10);
        t->setSlotMask(1 << SLOT_MISC);
        t->setClassMask(0x7fff);
        t->setFlags(ITEMF_CHARGES);
        t->setUseAction(action);
        masterITL.insert(t);
        return t;
    }
};

TEST_F(ActionScreensTest, AMemberHealsAnotherFromTheCastScreen)
{
    bl3dPartyChar& mira = join("Mira", 0x400, 7);
    bl3dPartyChar& bob = join("Bob", 0x1);
    mira.setMaxSP(30);
    mira.setCurSP(30);
    mira.actions2()->add(masterActionList.getSpellByCode("SORA"), 0); // Soothing Rain: 1d8+2 on one member
    bob.setMaxHP(77);
    bob.setCurHP(13);
    watch([] { return CastSpell_C::getState(); });
    vell::scriptGameRand({800, 7}); // the cast goes ahead; the die shows 8
    script({SDLK_F1, SDLK_s, SDLK_o, SDLK_r, SDLK_a, SDLK_RETURN, SDLK_F2, SDLK_SPACE});
    iface.key(SDLK_c, KMOD_NONE);
    EXPECT_EQ(bob.getCurHP(), 23);
    EXPECT_EQ(mira.getCurSP(), 28);
    const Shown cast = lastIn(CastSpell_C::CAST);
    EXPECT_TRUE(cast.has("#2Mira#0 casts Soothing Rain upon #2Bob#0, healing #210#0 points of damage, soothing him!\n"));
    // The roster beside the narration shows the new hit points.
    EXPECT_TRUE(shown(0).has("13") && !shown(0).has("23"));
    EXPECT_TRUE(cast.has("23") && !cast.has("13"));
}

TEST_F(ActionScreensTest, ASkillOnAnotherMemberSpendsItsDailyUse)
{
    bl3dPartyChar& ann = join("Ann", 0x8, 37);
    bl3dPartyChar& bob = join("Bob", 0x1);
    for (int32_t common : {ACTION_ATTACK, ACTION_DEFEND, ACTION_ADVANCE, ACTION_RETREAT, ACTION_EQUIP_ITEM})
        learn(ann, common);
    learn(ann, SOOTHE, 1);
    learn(ann, 0x0040b010); // a song: never among the skills
    bob.setCurHP(5);
    watch([] { return UseSkill_C::getState(); });
    script({SDLK_F1, SDLK_RETURN, SDLK_F2, SDLK_SPACE});
    iface.key(SDLK_s, KMOD_NONE);
    EXPECT_TRUE(shown(0).has("Who wishes to use their skill?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) to Select"));
    const Shown list = lastIn(UseSkill_C::CHOOSE_SKILL);
    EXPECT_TRUE(list.has("Available skills:"));
    EXPECT_TRUE(list.has("Soothe"));
    ASSERT_NE(UseSkill_C::getSkillList(), nullptr);
    EXPECT_EQ(UseSkill_C::getSkillList()->getNumLines(), 1) << "no common action, no song";
    EXPECT_TRUE(lastIn(UseSkill_C::CHOOSE_TARGET).has("On who do you wish to use Soothe?"));
    EXPECT_GT(bob.getCurHP(), 5);
    EXPECT_TRUE(anyMentions("#2Ann#0 tends to #2Bob#0, healing")) << UseSkill_C::getNarration();
    EXPECT_EQ(uses(ann, SOOTHE), 0);
    EXPECT_EQ(UseSkill_C::getState(), UseSkill_C::DONE);

    // Spent for today: nothing left to use; SPACE goes back to the choice.
    forget();
    script({SDLK_F1, SDLK_SPACE, SDLK_ESCAPE});
    UseSkill_C::run(&iface);
    EXPECT_TRUE(lastIn(UseSkill_C::NO_SKILLS).has("Ann has no special skills"));
    EXPECT_EQ(shown().back().state, UseSkill_C::CHOOSE_MEMBER);

    // After the nightly refill it is there again.
    ann.getTagList()->refillCounters();
    forget();
    script({SDLK_F1, SDLK_ESCAPE});
    UseSkill_C::run(&iface);
    EXPECT_TRUE(lastIn(UseSkill_C::CHOOSE_SKILL).has("Soothe"));
}

TEST_F(ActionScreensTest, AMemberWhoCannotActSpendsNoDailyUse)
{
    bl3dPartyChar& ann = join("Ann", 0x8, 37);
    bl3dPartyChar& bob = join("Bob", 0x1);
    learn(ann, SOOTHE, 1);
    ann.setConditions(COND_SLEEPING);
    bob.setCurHP(5);
    watch([] { return UseSkill_C::getState(); });
    script({SDLK_F1, SDLK_RETURN, SDLK_F2, SDLK_SPACE});
    UseSkill_C::run(&iface);
    EXPECT_TRUE(anyMentions("tries to tend, but he is sleeping!")) << UseSkill_C::getNarration();
    EXPECT_EQ(bob.getCurHP(), 5);
    EXPECT_EQ(uses(ann, SOOTHE), 1) << "asleep: nothing done, nothing spent";
    // Awake, the same use goes ahead and is spent.
    ann.setConditions(0);
    forget();
    script({SDLK_F1, SDLK_RETURN, SDLK_F2, SDLK_SPACE});
    UseSkill_C::run(&iface);
    EXPECT_GT(bob.getCurHP(), 5);
    EXPECT_EQ(uses(ann, SOOTHE), 0);
}

TEST_F(ActionScreensTest, RefusalsAndAFailedUseSpendNothing)
{
    bl3dPartyChar& ann = join("Ann", 0x8, 50);
    join("Bob", 0x1).setCurHP(0);
    // A skill that can do nothing (no effect: no line, -1).
    ActionDef_S idle;
    idle.id = 0x00089999;
    idle.name = "Idle Hands";
    idle.actionType = ACTION_RECORD_SKILL;
    idle.targetKind = TARGET_OWN_SIDE;
    idle.verb = "wave";
    idle.gerund = "wav";
    bl3dGenericSkill idleSkill(idle, EffectList{});
    ann.actions()->add(&idleSkill, 0);
    learn(ann, STUNNING_PALM, 3);
    ann.getTagList()->setInt("0x00089999", 2);
    watch([] { return UseSkill_C::getState(); });

    // A dead member cannot be chosen; the combat skill is refused.
    script({quiet(SDLK_F2), SDLK_F1, SDLK_RETURN, SDLK_SPACE});
    UseSkill_C::run(&iface);
    EXPECT_TRUE(lastIn(UseSkill_C::COMBAT_ONLY).has("That skill isn't intended for non-combat use!"));
    EXPECT_EQ(uses(ann, STUNNING_PALM), 3);

    // The use that fails: its own state, left with SPACE, no use spent.
    forget();
    script({SDLK_F1, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE});
    UseSkill_C::run(&iface);
    EXPECT_EQ(UseSkill_C::getSkill(), &idleSkill);
    ASSERT_FALSE(shown().empty());
    EXPECT_TRUE(lastIn(UseSkill_C::FAILED).has("(SPACE) to Continue"));
    EXPECT_EQ(UseSkill_C::getState(), UseSkill_C::DONE);
    EXPECT_EQ(ann.getTagList()->intValue("0x00089999"), 2);
    ann.actions()->clear();
}

TEST_F(ActionScreensTest, AnItemsPowerIsUsedThroughTheItem)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    join("Bob", 0x1).setCurHP(4);
    bl3dItemType* draughtType = powerItem(9101, "Mending Draught", MENDING_DRAUGHT);
    bl3dItem* draught = kit().give(ann, draughtType, SLOT_MISC);
    ASSERT_NE(draught, nullptr);
    draught->setCharges(3);
    ASSERT_EQ(draught->getAction(), masterActionList.getAction(MENDING_DRAUGHT));
    ann.setCurHP(5);
    watch([] { return UseItem_C::getState(); });
    script({SDLK_F1, SDLK_RETURN, SDLK_SPACE});
    iface.key(SDLK_u, KMOD_NONE);
    EXPECT_TRUE(shown(0).has("Who will use an item?"));
    EXPECT_TRUE(anyMentions("Inventory:"));
    EXPECT_GT(ann.getCurHP(), 5);
    EXPECT_EQ(draught->getCharges(), 2);
    EXPECT_TRUE(std::string(UseItem_C::getMessage()).find("#2Ann#0 takes Mending Draught for #2herself#0") == 0 ||
                std::string(UseItem_C::getMessage()).find("#2Ann#0 takes Mending Draught for #2himself#0") == 0)
        << UseItem_C::getMessage();
    EXPECT_EQ(UseItem_C::getState(), UseItem_C::DONE);

    // A power for one member asks for the target.
    bl3dItemType* rodType = powerItem(9102, "Rod of Light", MENDING_LIGHT);
    kit().give(ann, rodType, SLOT_RT_HAND)->setCharges(5);
    forget();
    script({SDLK_F1, SDLK_RETURN, SDLK_F2, SDLK_SPACE});
    UseItem_C::run(&iface);
    EXPECT_TRUE(lastIn(UseItem_C::CHOOSE_TARGET).has("On who do you wish to use the item?"));
    EXPECT_GT(member(1).getCurHP(), 4);
    EXPECT_TRUE(std::string(UseItem_C::getMessage()).find("on #2Bob#0, mending him!") != std::string::npos ||
                std::string(UseItem_C::getMessage()).find("on #2Bob#0, healing") != std::string::npos)
        << UseItem_C::getMessage();
}

TEST_F(ActionScreensTest, EveryRefusalSaysWhy)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().carry(ann, kit().rope); // in the pack
    kit().give(ann, kit().helm, SLOT_HEAD);
    bl3dItem* wand = kit().give(ann, powerItem(9103, "Silver Wand", SILVER_STRIKE), SLOT_RT_HAND);
    wand->setCharges(5);
    bl3dItem* flask = kit().give(ann, powerItem(9104, "Last Draught", MENDING_DRAUGHT), SLOT_MISC);
    flask->setCharges(1);
    watch([] { return UseItem_C::getState(); });
    const struct {
        std::vector<Step> keys;
        const char* said;
    } cases[] = {
        // Positions: helm 0, wand 1, flask 2, rope 3.
        {{SDLK_F1, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE}, "The item must be equipped to be used."},
        {{SDLK_F1, SDLK_RETURN, SDLK_SPACE}, "The selected item doesn't do anything."},
        {{SDLK_F1, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE}, "That item isn't intended for non-combat use!"},
        {{SDLK_F1, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE},
         "#2Ann#0 tries to use Last Draught (1), but it has not the necessary energy!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        forget();
        script(c.keys);
        UseItem_C::run(&iface);
        EXPECT_STREQ(UseItem_C::getMessage(), c.said);
        EXPECT_EQ(UseItem_C::getState(), UseItem_C::DONE);
    }
    EXPECT_EQ(wand->getCharges(), 5);
    EXPECT_EQ(flask->getCharges(), 1);

    // A dead member may open the chooser, but the power does nothing for
    // him: the box says why in words, never the bare name the action's
    // check left, and no charge goes.
    bl3dItem* draught = kit().give(ann, powerItem(9105, "Draught of Mending", MENDING_DRAUGHT), SLOT_BACK);
    draught->setCharges(3);
    ann.setCurHP(0);
    forget();
    script({SDLK_F1, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE}); // helm 0, draught 1
    UseItem_C::run(&iface);
    EXPECT_EQ(std::string(UseItem_C::getMessage()),
              std::string("Ann would use Draught of Mending, but ") + ann.pronoun(0) + " is dead!\n");
    EXPECT_EQ(draught->getCharges(), 3);
    ann.setCurHP(ann.getMaxHP());

    // Cancelling the chooser closes the screen without a message; F6 in a
    // party of one does nothing.
    forget();
    script({quiet(SDLK_F6), SDLK_F1, SDLK_ESCAPE});
    UseItem_C::run(&iface);
    EXPECT_EQ(UseItem_C::getState(), UseItem_C::DONE);
}

} // namespace
