// The ready-made party of the quest template, on the party screens a new
// player opens first: somebody's character sheet lists the spells he knows,
// and somebody has a skill to use from the skill screen, which spends one of
// its daily uses.
#include "PartyScreenFixture.h"

#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "actions/Spell.h"
#include "core/ArchiveDir.h"
#include "core/ArchiveFile.h"
#include "rules/ItemList.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"
#include "screens/UseSkill.h"

#include <cstring>

namespace {

using namespace partyscreens;

class ShippedPartyTest : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        loadShippedActions();
        if (HasFatalFailure())
            return;
        // The game's own items in place of the test kit's.
        masterITL.clear();
        ASSERT_EQ(masterITL.load("data/item.dat"), 0);

        std::string error;
        std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open("data/savegame.dat", false, &error);
        ASSERT_TRUE(archive) << error;
        installQuestStores(archive.get());
        DirHandle_C world = archive->openDir("world");
        std::unique_ptr<Storable_C> rec = world ? world->load("party.dat") : nullptr;
        installQuestStores(saveFile);
        auto* shipped = dynamic_cast<bl3dParty*>(rec.get());
        ASSERT_NE(shipped, nullptr) << "the template holds no party";
        while (shipped->getCount() > 0)
            ASSERT_TRUE(party->addMember(shipped->detachAt(0)));
    }
    static bl3dPartyChar* named(const char* name)
    {
        for (int i = 0; i < party->getCount(); ++i)
            if (std::strcmp(party->getMember(i)->getName(), name) == 0)
                return party->getMember(i);
        return nullptr;
    }
};

TEST_F(ShippedPartyTest, CorvinsSheetNamesHisSchoolAndListsHisSpells)
{
    bl3dPartyChar* corvin = named("Corvin");
    ASSERT_NE(corvin, nullptr);
    watch([] { return CharView_C::getState(); });
    // The spell list is left by ESC; "not a spell caster" by SPACE.
    script({SDLK_l, quiet(SDLK_SPACE), SDLK_ESCAPE, SDLK_ESCAPE});
    CharView_C::run(corvin, &iface, true);
    const Shown summary = lastIn(CharView_C::STATE_SUMMARY);
    EXPECT_TRUE(summary.has("Magician")) << "his class title, by his school";
    EXPECT_TRUE(summary.has("Lv: 1(1)")) << "the first level, and the first of his school";
    const Shown spells = lastIn(CharView_C::STATE_SPELLS);
    EXPECT_TRUE(spells.has("Spells:")) << "no spell list";
    EXPECT_TRUE(spells.has("Call Sprite"));
    EXPECT_TRUE(spells.has("Trip Trap"));
}

// Every ready-made adventurer is a new one of level 1 and knows only what
// its class gives at that level; the spell points cover the spells the
// README has the player cast (CASP, then TRTR).
TEST_F(ShippedPartyTest, EveryoneKnowsWhatClassAndLevelAllow)
{
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar& m = member(i);
        SCOPED_TRACE(m.getName());
        EXPECT_EQ(m.getLevel(), 1);
        const TagList_C& t = *m.getTagList();
        for (ActionList* list : {m.actions(), m.actions2()})
            for (bool more = list->first(); more;) {
                bl3dAction* a = list->next();
                if (!a)
                    break;
                SCOPED_TRACE(a->name().c_str());
                EXPECT_TRUE(a->isForClass(m.getClassId()));
                EXPECT_LE(a->getLevel(), 1);
                if (a->isSpell()) {
                    EXPECT_LE(a->getLevel(), t.intValue(tagkey::SPlv));
                }
            }
    }
    bl3dPartyChar* corvin = named("Corvin");
    ASSERT_NE(corvin, nullptr);
    int32_t readmeCost = 0;
    for (const char* code : {"CASP", "TRTR"}) {
        bl3dAction* spell = masterActionList.getSpellByCode(code);
        ASSERT_NE(spell, nullptr) << code;
        readmeCost += static_cast<bl3dSpell*>(spell)->spCost();
    }
    EXPECT_GE(corvin->getCurSP(), readmeCost);
    EXPECT_EQ(corvin->getTagList()->intValue(tagkey::PtLv), 1);
}

TEST_F(ShippedPartyTest, SomebodyHasASkillWithDailyUses)
{
    // The member whose skill list is not empty, by F-key.
    int user = -1;
    for (int i = 0; i < party->getCount() && user < 0; ++i) {
        forget();
        watch([] { return UseSkill_C::getState(); });
        // A list is left by ESC; "no special skills" by SPACE, then ESC.
        script({SDLKey(SDLK_F1 + i), quiet(SDLK_SPACE), SDLK_ESCAPE});
        iface.key(SDLK_s, KMOD_NONE);
        if (!lastIn(UseSkill_C::CHOOSE_SKILL).texts.empty())
            user = i;
    }
    ASSERT_GE(user, 0) << "nobody in the ready-made party has a skill to use";
    bl3dPartyChar& m = member(user);
    const Shown list = lastIn(UseSkill_C::CHOOSE_SKILL);
    ASSERT_TRUE(list.has("Mind Compass"));
    EXPECT_EQ(m.getTagList()->intValue("0x00883001"), 3);
    EXPECT_EQ(m.getTagList()->intValue("0x00883001MAX"), 3);

    forget();
    // On herself, should the skill ask for a member.
    script({SDLKey(SDLK_F1 + user), SDLK_RETURN, quiet(SDLKey(SDLK_F1 + user)), SDLK_SPACE});
    iface.key(SDLK_s, KMOD_NONE);
    EXPECT_TRUE(lastIn(UseSkill_C::USED).mentions("focuses the Mind Compass"));
    EXPECT_EQ(m.getTagList()->intValue("0x00883001"), 2) << "one daily use spent";
}

} // namespace
