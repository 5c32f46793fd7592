// The cast-spell screen from the main view, driven by pushed keys: casting
// by code and from the list, on a chosen member, its refusals, the
// Magician's Portal's steps, a light spell brightening the 3-D view read
// back, and Ghost Wall letting the party through a wall.
#include "PartyScreenFixture.h"

#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "core/ScrollList.h"
#include "core/TagList.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/TagKeys.h"
#include "screens/CastSpell.h"
#include "world/Map.h"
#include "world/MapInfo.h"
#include "app/WorldActionEnv.h"

namespace {

using namespace partyscreens;

// A spell for one member that remembers whom it was cast on.
class MarkSpell : public bl3dSpell {
public:
    MarkSpell() : bl3dSpell(0x100, 1, "Mark", "Marks a member.", "MARK") {}
    int perform(ActionUse_S* use) override
    {
        ++performed;
        delete use;
        return 0;
    }
    ActionUse_S* makeEntry(bl3dActor* actor, void* t, int, void** argv) override
    {
        delete actor;
        target = t;
        static_cast<TextBuf_C*>(argv[0])->set("Marked.");
        return new ActionUse_S;
    }
    ActionUse_S* enqueue(bl3dActor* actor, int, int, void**) override
    {
        delete actor;
        return nullptr;
    }
    void freeEntry(ActionUse_S*) override {}
    uint8_t targetKind() const override { return TARGET_ONE_MEMBER; }
    int32_t actionID() const override { return 0x00090999; }

    void* target = nullptr;
    int performed = 0;
};

// The 3-D view as last drawn by the main view.
std::vector<unsigned char> gView;
void captureView() { gView = vell_test::GuiFixture::readRect(85, 297, 500, 400); }

double brightness(const std::vector<unsigned char>& px)
{
    double sum = 0;
    for (unsigned char c : px)
        sum += c;
    return px.empty() ? 0 : sum / static_cast<double>(px.size());
}

class CastSpellTest : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        madeActions_ = masterActionList.count() == 0;
        if (madeActions_)
            initActions();
        installWorldActionEnv();
        watch([] { return CastSpell_C::getState(); });
    }
    void TearDown() override
    {
        Interface_C::setAfterDisplayHook(nullptr);
        setActionEnv(nullptr);
        if (madeActions_)
            masterActionList.destroyAll();
        PartyScreenFixture::TearDown();
    }
    bl3dPartyChar& caster(const char* name, int32_t classId = 0x100, int32_t sp = 100)
    {
        bl3dPartyChar& m = join(name, classId, 7);
        m.setMaxSP(sp);
        m.setCurSP(sp);
        for (const char* code : {"CASP", "SIST", "MAPO", "GHWA"})
            m.actions2()->add(masterActionList.getSpellByCode(code), 0);
        return m;
    }
    static int32_t worldVar(const char* key) { return gameworld->getVar(key); }
    // The whole main view drawn once, its 3-D view read back.
    double viewBrightness()
    {
        Interface_C::setAfterDisplayHook(captureView);
        iface.display();
        Interface_C::setAfterDisplayHook(nullptr);
        return brightness(gView);
    }

    bool madeActions_ = false;
};

TEST_F(CastSpellTest, ALightSpellCastByCodeFromTheMainViewBrightensTheView)
{
    bl3dPartyChar& mira = caster("Mira");
    iface.newMap("maps/dark.cfg");
    const double before = viewBrightness();
    vell::scriptGameRand({800, 0});
    script({SDLK_F1, SDLK_c, SDLK_a, SDLK_s, SDLK_p, SDLK_RETURN, SDLK_SPACE});
    iface.key(SDLK_c, KMOD_NONE);
    ASSERT_GE(shown().size(), 7u);
    EXPECT_TRUE(shown(0).has("Who will cast?"));
    EXPECT_TRUE(shown(0).has("(F1-F8) to Select"));
    EXPECT_TRUE(shown(1).has("Enter code: _"));
    EXPECT_TRUE(shown(1).has("(TAB) for List"));
    EXPECT_TRUE(shown(5).has("Enter code: CASP_"));
    EXPECT_EQ(shown(6).state, CastSpell_C::CAST);
    EXPECT_TRUE(shown(6).mentions("casts Call Sprite..."));
    EXPECT_TRUE(shown(6).has("(SPACE) to Continue"));
    EXPECT_EQ(CastSpell_C::getState(), CastSpell_C::DONE);
    EXPECT_EQ(mira.getCurSP(), 98);
    EXPECT_EQ(worldVar(tagkey::MagLt1), 0x01);
    EXPECT_GT(iface.getCurrentMap()->getPartyLightStrength(), 0);
    const double after = viewBrightness();
    EXPECT_GT(after, before + 5) << "the light shows in the view";
}

TEST_F(CastSpellTest, TypingEditingAndRefusals)
{
    caster("Mira");
    join("Bob", 0x4);
    bl3dPartyChar& dead = caster("Cid");
    dead.setCurHP(0);
    // A fifth letter is ignored, BACKSPACE takes the last one back, RETURN
    // with nothing typed does nothing; an unknown code is said and SPACE
    // leaves the screen.
    script({quiet(SDLK_F5), quiet(SDLK_F3), SDLK_F1, SDLK_m, SDLK_a, SDLK_p, SDLK_o, quiet(SDLK_x), SDLK_BACKSPACE,
            SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_BACKSPACE, quiet(SDLK_BACKSPACE), quiet(SDLK_RETURN), SDLK_z,
            SDLK_RETURN, SDLK_SPACE});
    CastSpell_C::run(&iface);
    EXPECT_TRUE(lastIn(CastSpell_C::ENTER_CODE).mentions("Enter code: Z_"));
    bool sawMapo = false, sawMap = false;
    for (const Shown& s : shown()) {
        sawMapo = sawMapo || s.has("Enter code: MAPO_");
        sawMap = sawMap || s.has("Enter code: MAP_");
        EXPECT_FALSE(s.has("Enter code: MAPOX_"));
    }
    EXPECT_TRUE(sawMapo);
    EXPECT_TRUE(sawMap);
    EXPECT_TRUE(last().has("Mira does not know that spell!"));
    EXPECT_EQ(CastSpell_C::getState(), CastSpell_C::DONE);

    // Not a caster.
    forget();
    script({SDLK_F2, SDLK_SPACE});
    CastSpell_C::run(&iface);
    EXPECT_TRUE(shown(1).has("Bob is not a spell caster!"));

    // A spell for combat only.
    forget();
    script({SDLK_F1, SDLK_s, SDLK_i, SDLK_s, SDLK_t, SDLK_RETURN, SDLK_SPACE});
    CastSpell_C::run(&iface);
    EXPECT_EQ(lastIn(CastSpell_C::COMBAT_ONLY).state, CastSpell_C::COMBAT_ONLY);
    EXPECT_TRUE(lastIn(CastSpell_C::COMBAT_ONLY).has("That spell isn't intended for non-combat use!"));
    EXPECT_EQ(party->getMember(0)->getCurSP(), 100);

    // ESC leaves from the code and the list.
    forget();
    script({SDLK_F1, SDLK_ESCAPE});
    CastSpell_C::run(&iface);
    EXPECT_EQ(CastSpell_C::getState(), CastSpell_C::DONE);
    script({SDLK_F1, SDLK_TAB, SDLK_ESCAPE});
    CastSpell_C::run(&iface);
    EXPECT_EQ(CastSpell_C::getState(), CastSpell_C::DONE);
}

TEST_F(CastSpellTest, FromTheListOnAChosenMember)
{
    bl3dPartyChar& mira = caster("Mira");
    bl3dPartyChar& bob = join("Bob", 0x4);
    MarkSpell mark;
    mira.actions2()->add(&mark, 0); // the list's first line
    script({SDLK_F1, SDLK_TAB, SDLK_RETURN, quiet(SDLK_F5), SDLK_F2, SDLK_SPACE});
    CastSpell_C::run(&iface);
    const Shown list = lastIn(CastSpell_C::SPELL_LIST);
    EXPECT_TRUE(list.has("Available spells:"));
    EXPECT_TRUE(list.has("Mark"));
    EXPECT_TRUE(list.has("Call Sprite"));
    EXPECT_TRUE(list.has("(RETURN) to Select"));
    EXPECT_TRUE(lastIn(CastSpell_C::CHOOSE_TARGET).has("On who do you wish to cast Mark?"));
    EXPECT_EQ(mark.performed, 1);
    EXPECT_EQ(mark.target, &bob);
    EXPECT_TRUE(lastIn(CastSpell_C::CAST).has("Marked."));

    // A caster who knows no spell has an empty list: RETURN does nothing.
    join("Dot", 0x100);
    forget();
    script({SDLK_F3, SDLK_TAB, quiet(SDLK_RETURN), SDLK_ESCAPE});
    CastSpell_C::run(&iface);
    ASSERT_NE(CastSpell_C::getSpellList(), nullptr);
    EXPECT_EQ(CastSpell_C::getSpellList()->getNumLines(), 0);
    EXPECT_EQ(shown().size(), 4u);
}

TEST_F(CastSpellTest, TheMagiciansPortalTakesItsStepsAndMovesTheParty)
{
    caster("Mira");
    iface.setCurX(10.0f);
    iface.setCurZ(-24.0f);
    iface.getCurrentMap()->getMapInfo()->orSquareState(8, 27, 0x01);
    vell::scriptGameRand({800});
    // North 3 (a minus after a digit and a fifth character are refused),
    // east -2; ESC does nothing here.
    script({SDLK_F1, SDLK_m, SDLK_a, SDLK_p, SDLK_o, SDLK_RETURN, quiet(SDLK_ESCAPE), SDLK_3, quiet(SDLK_MINUS),
            SDLK_RETURN, SDLK_MINUS, SDLK_2, SDLK_RETURN, SDLK_SPACE});
    CastSpell_C::run(&iface);
    EXPECT_TRUE(lastIn(CastSpell_C::PORTAL_NORTH)
                    .has("How many steps North would you like to teleport (negative for South)?\n3_"));
    EXPECT_TRUE(lastIn(CastSpell_C::PORTAL_EAST)
                    .has("How many steps East would you like to teleport (negative for West)?\n-2_"));
    EXPECT_TRUE(lastIn(CastSpell_C::CAST).has("Mira casts Magician's Portal...\n"));
    EXPECT_EQ(static_cast<int>(iface.getCurX()), 8);
    EXPECT_EQ(static_cast<int>(-iface.getCurZ()), 27);

    // A square never visited: the portal fizzles and the party stays.
    forget();
    vell::scriptGameRand({800});
    script({SDLK_F1, SDLK_m, SDLK_a, SDLK_p, SDLK_o, SDLK_RETURN, SDLK_1, SDLK_RETURN, SDLK_0, SDLK_RETURN,
            SDLK_SPACE});
    CastSpell_C::run(&iface);
    EXPECT_TRUE(lastIn(CastSpell_C::CAST).has("Mira casts Magician's Portal, but it fizzles!\n"));
    EXPECT_EQ(static_cast<int>(-iface.getCurZ()), 27);
}

TEST_F(CastSpellTest, GhostWallLetsThePartyWalkThroughTheWallAhead)
{
    caster("Mira");
    // (13, 25) facing north: the box at (13, 26) has a wall on its south.
    iface.setCurX(13.0f);
    iface.setCurZ(-25.0f);
    iface.setFacing(0);
    iface.key(SDLK_UP, KMOD_NONE);
    ASSERT_EQ(static_cast<int>(-iface.getCurZ()), 25) << "the wall stops a plain step";
    vell::scriptGameRand({800});
    script({SDLK_F1, SDLK_g, SDLK_h, SDLK_w, SDLK_a, SDLK_RETURN, SDLK_SPACE});
    CastSpell_C::run(&iface);
    EXPECT_TRUE(lastIn(CastSpell_C::CAST).mentions("the wall begins to flicker out of existence!"));
    EXPECT_EQ(worldVar(tagkey::WalkThrough), 1);
    iface.key(SDLK_UP, KMOD_NONE);
    EXPECT_EQ(static_cast<int>(-iface.getCurZ()), 26);
    EXPECT_EQ(worldVar(tagkey::WalkThrough), 0) << "for one move";
}

} // namespace
