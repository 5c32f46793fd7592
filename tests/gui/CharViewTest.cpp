// The character sheet driven by pushed keys through its own loop: the
// summary page and gold, the inventory with equip, unequip, join, give,
// discard and the item information, read-only mode, the spell pages, the
// equipment trial of a fight, and the slot icons on the screen.
#include "PartyScreenFixture.h"

#include "core/ScrollList.h"
#include "rules/Item.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"

#include <climits>

namespace {

using namespace partyscreens;
using namespace partykit;

class CharViewTest : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        watch([] { return CharView_C::getState(); });
    }
    void view(bl3dPartyChar& m, std::initializer_list<Step> keys, bool allowEdit = true)
    {
        script(keys);
        CharView_C::run(&m, &iface, allowEdit);
        EXPECT_EQ(stepsLeft(), 0u) << "the sheet ended before its script";
    }
};

TEST_F(CharViewTest, SummaryShowsTheMemberAndF2ShowsTheNext)
{
    bl3dPartyChar& ann = join("Ann", 0x4, 13);
    join("Bob", 0x1);
    ann.addGold(250);
    ann.addXP(1234);
    ann.getStatBlock()->setBase(STAT_AC, 7);
    view(ann, {SDLK_F2, quiet(SDLK_F9), SDLK_ESCAPE});
    ASSERT_EQ(shown().size(), 3u);
    const Shown& s = shown(0);
    EXPECT_EQ(s.state, CharView_C::STATE_SUMMARY);
    for (const char* text : {"Ann", "Human(M)", "Bladesman", "Lv:13", "St:", "AC:", "7", "HP: 20/ 20", "SP:  0/  0",
                             "XP: 1234", "Gold: 250", "(I)nventory", "(L)ist Spells", "(P)ool Gold", "(S)hare Gold",
                             "(ESCAPE) to Exit"})
        EXPECT_TRUE(s.has(text)) << text;
    EXPECT_FALSE(s.mentions("Build")) << "no gift, no item creation";
    EXPECT_TRUE(shown(1).has("Bob"));
    EXPECT_TRUE(shown(1).has("Land Reaver"));
    EXPECT_EQ(CharView_C::getState(), CharView_C::STATE_DONE);
}

TEST_F(CharViewTest, ConditionsColourTheFourthLine)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.setCurHP(0);
    ann.setConditions(COND_POISONED);
    view(ann, {SDLK_ESCAPE});
    EXPECT_TRUE(shown(0).has("Dead"));
    EXPECT_FALSE(shown(0).has("Poisoned"));
}

TEST_F(CharViewTest, SharingAndPoolingGoldByKeys)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x1);
    bl3dPartyChar& cid = join("Cid", 0x1);
    ann.addGold(100);
    view(ann, {SDLK_s, SDLK_ESCAPE});
    EXPECT_EQ(ann.getGold(), 34);
    EXPECT_EQ(bob.getGold(), 33);
    EXPECT_EQ(cid.getGold(), 33);
    EXPECT_TRUE(last().has("Gold: 34"));
    view(bob, {SDLK_p, SDLK_ESCAPE});
    EXPECT_EQ(bob.getGold(), 100);
    EXPECT_EQ(ann.getGold(), 0);
    EXPECT_EQ(cid.getGold(), 0);

    // With the party's shared purse there is nothing to pool or share.
    gameConfig.partyGold = true;
    forget();
    view(bob, {quiet(SDLK_s), quiet(SDLK_p), SDLK_ESCAPE});
    EXPECT_EQ(bob.getGold(), 100);   // the pool is the party's: 100 in all
    EXPECT_EQ(ann.getGold() + bob.getGold() + cid.getGold(), 300);
    EXPECT_EQ(shown().size(), 3u) << "'s' and 'p' asked for no redraw";
    EXPECT_FALSE(shown(0).has("(P)ool Gold"));
    EXPECT_FALSE(shown(0).has("(S)hare Gold"));
    EXPECT_TRUE(shown(0).has("(I)nventory"));
}

TEST_F(CharViewTest, InventoryEquipsUnequipsGivesAndDiscards)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x1);
    kit().give(ann, kit().helm, SLOT_HEAD);
    kit().carry(ann, kit().rope);
    kit().carry(ann, kit().sword);
    // Lines: Helm, Sword, Rope. DOWN to the sword, equip it (the list is
    // made anew: Helm, Sword, Rope with the sword worn), DOWN DOWN to the
    // rope and give it to Bob, then discard the helm.
    view(ann, {SDLK_i, SDLK_DOWN, SDLK_e, SDLK_DOWN, SDLK_DOWN, SDLK_t, SDLK_F2, SDLK_d, SDLK_y, SDLK_ESCAPE,
               SDLK_ESCAPE});
    EXPECT_EQ(holdings(ann).slots[SLOT_RT_HAND], "Sword");
    EXPECT_EQ(holdings(ann).slots[SLOT_HEAD], "");
    EXPECT_TRUE(holdings(ann).pack.empty());
    EXPECT_EQ(holdings(bob).pack, std::vector<std::string>{"Rope"});
    EXPECT_EQ(ann.getStatBlock()->getCur(STAT_ATTACK), 1);
    EXPECT_EQ(ann.getStatBlock()->getCur(STAT_AC), 0);

    // What the pages said on the way.
    const Shown& onSword = shown(2);
    EXPECT_EQ(onSword.state, CharView_C::STATE_INVENTORY);
    for (const char* text : {"Ann", "Inventory:", "Location: Pack", "(E)quip the item", "(D)rop the item",
                             "(T)rade the item", "E(x)amine item", "(ESCAPE) to Cancel"})
        EXPECT_TRUE(onSword.has(text)) << text;
    const Shown give = lastIn(CharView_C::STATE_GIVE);
    EXPECT_TRUE(give.has("Who does Ann want to give the Rope to?"));
    EXPECT_TRUE(give.has("(F1-F8) for Character"));
    const Shown discard = lastIn(CharView_C::STATE_DISCARD);
    EXPECT_TRUE(discard.has("Are you sure you wish to discard the Helm permanently?"));
    EXPECT_TRUE(discard.has("(Y)es"));
    EXPECT_TRUE(discard.has("(N)o"));
}

TEST_F(CharViewTest, UnequipAndJoinAmmunition)
{
    bl3dPartyChar& ann = join("Ann", 0x40);
    kit().give(ann, kit().helm, SLOT_HEAD);
    kit().give(ann, kit().arrows, SLOT_AMMO)->setCharges(150);
    kit().carry(ann, kit().arrows, 80);
    // Lines: Helm, Arrows (150), Arrows (80). Join on the worn arrows, then
    // take the helm off.
    view(ann, {SDLK_i, SDLK_DOWN, SDLK_j, SDLK_u, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(holdings(ann).slots[SLOT_AMMO], "Arrows (200)");
    EXPECT_EQ(holdings(ann).pack, (std::vector<std::string>{"Helm", "Arrows (30)"}));
    const Shown worn = shown(2);
    EXPECT_TRUE(worn.has("Location: Ammo."));
    EXPECT_TRUE(worn.has("(U)nequip the item"));
    EXPECT_TRUE(worn.has("(J)oin Ammunition"));
}

TEST_F(CharViewTest, AFullPackOrAFullReceiverChangesNothing)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& bob = join("Bob", 0x1);
    kit().give(ann, kit().helm, SLOT_HEAD);
    for (int i = 0; i < 8; ++i) {
        kit().carry(ann, kit().rope);
        kit().carry(bob, kit().root);
    }
    view(ann, {SDLK_i, SDLK_u, SDLK_t, SDLK_F2, SDLK_SPACE, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(holdings(ann).slots[SLOT_HEAD], "Helm");
    EXPECT_EQ(ann.getPack()->count(), 8);
    EXPECT_EQ(bob.getPack()->count(), 8);
    bool told = false;
    for (const Shown& s : shown())
        told = told || s.has("Bob has no room for that item!");
    EXPECT_TRUE(told);
}

TEST_F(CharViewTest, ReadOnlySheetRefusesEveryEdit)
{
    bl3dPartyChar& ann = join("Ann", 0x40);
    join("Bob", 0x1);
    kit().give(ann, kit().arrows, SLOT_AMMO);
    kit().carry(ann, kit().arrows, 5);
    kit().carry(ann, kit().helm);
    const Holdings before = holdings(ann);
    view(ann,
         {SDLK_i, quiet(SDLK_u), quiet(SDLK_j), quiet(SDLK_d), quiet(SDLK_y), quiet(SDLK_t), quiet(SDLK_RETURN),
          SDLK_DOWN, quiet(SDLK_e), SDLK_ESCAPE, SDLK_ESCAPE},
         false);
    EXPECT_EQ(shown().size(), 11u) << "the refused keys asked for no redraw";
    EXPECT_EQ(holdings(ann), before);
    for (const Shown& s : shown()) {
        EXPECT_NE(s.state, CharView_C::STATE_GIVE);
        EXPECT_NE(s.state, CharView_C::STATE_DISCARD);
        for (const char* edit : {"(U)nequip the item", "(E)quip the item", "(D)rop the item", "(T)rade the item",
                                 "(J)oin Ammunition"})
            EXPECT_FALSE(s.has(edit)) << edit;
    }
}

TEST_F(CharViewTest, ItemInformationAndTheEmptyInventory)
{
    bl3dPartyChar& ann = join("Ann", 0x2, 13);   // a Harper of 13 judges weapons
    bl3dPartyChar& bob = join("Bob", 0x1);
    kit().give(ann, kit().sword, SLOT_RT_HAND);
    view(ann, {SDLK_i, SDLK_x, SDLK_SPACE, SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown info = lastIn(CharView_C::STATE_ITEM_INFO);
    EXPECT_TRUE(info.has("Sword:\nA Sword of the kit."));
    EXPECT_TRUE(info.has("Damage: 1d8\nAttack: 1\n"));
    EXPECT_TRUE(info.has("(SPACE) to Continue"));

    // Nothing to examine, drop or trade: those keys do nothing.
    forget();
    view(bob, {SDLK_i, quiet(SDLK_x), quiet(SDLK_d), quiet(SDLK_t), quiet(SDLK_RETURN), SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_TRUE(shown(1).has("*** Empty ***"));
    EXPECT_EQ(shown().size(), 7u) << "x, d, t and RETURN on no item ask for no redraw";
}

TEST_F(CharViewTest, SpellPagesListDetailAndSummary)
{
    FakeSpell portal(0x890015, "Portal", "MAPO", 0x100, 2, 1, 5, 30);
    FakeSpell spark(0x90001, "Spark", "SPRK", 0x100, 1, 2, 2);
    FakeAction claw(0x10005);
    bl3dPartyChar& mo = join("Mo", 0x100);
    mo.getTagList()->setInt(tagkey::Path, 1);
    mo.actions2()->add(&portal, 0);
    mo.actions2()->add(&claw, 0);   // not a spell: never listed
    mo.actions2()->add(&spark, 0);
    // Spark is first (added last, at the head). DOWN to Portal for details.
    view(mo, {SDLK_l, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE, SDLK_s, SDLK_SPACE, SDLK_ESCAPE, SDLK_ESCAPE});
    const Shown list = shown(1);
    EXPECT_EQ(list.state, CharView_C::STATE_SPELLS);
    EXPECT_TRUE(list.has("Spells:"));
    EXPECT_TRUE(list.has("Spark"));
    EXPECT_TRUE(list.has("Portal"));
    EXPECT_FALSE(list.has("Claw"));
    for (const char* text : {"(S)ummary", "(RETURN) for Details", "(ESCAPE) to Cancel"})
        EXPECT_TRUE(list.has(text)) << text;
    const Shown detail = lastIn(CharView_C::STATE_SPELL_DETAIL);
    for (const char* text : {"Portal", "Magician (Lvl: 2)", "Code: MAPO", "Cost: 5", "Range: 30'"})
        EXPECT_TRUE(detail.has(text)) << text;
    const Shown summary = lastIn(CharView_C::STATE_SPELL_SUMMARY);
    EXPECT_TRUE(summary.has("Magician:"));
    EXPECT_TRUE(summary.has("0/1/0/0/0/0/0"));
    EXPECT_TRUE(summary.has("Thaumaturg.:"));
    EXPECT_TRUE(summary.has("1/0/0/0/0/0/0"));
    EXPECT_TRUE(shown(0).has("Magician"));
    EXPECT_TRUE(shown(0).has("Lv: 1(0)"));
    mo.actions2()->clear();
}

// RETURN on the spell list when the selected spell is no longer known (the
// book emptied while the list was up): the page that says so.
TEST_F(CharViewTest, ReturnWithNoSpellToShowSaysSo)
{
    FakeSpell spark(0x90001, "Spark", "SPRK", 0x100, 1, 2, 2);
    bl3dPartyChar& mo = join("Mo", 0x100);
    mo.getTagList()->setInt(tagkey::Path, 1);
    mo.actions2()->add(&spark, 0);
    onDisplay([&] {
        if (CharView_C::getState() == CharView_C::STATE_SPELLS)
            mo.actions2()->clear();
    });
    view(mo, {SDLK_l, SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(CharView_C::STATE_NO_SPELLS).has("Thou hast no knowledge of spells!"));
    EXPECT_TRUE(lastIn(CharView_C::STATE_SPELL_DETAIL).texts.empty());
}

TEST_F(CharViewTest, NotACasterAndNoSpellsKnown)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    bl3dPartyChar& mo = join("Mo", 0x100);
    mo.getTagList()->setInt(tagkey::Path, 99);   // outside the school row: no title
    view(ann, {SDLK_l, SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(CharView_C::STATE_NOT_CASTER).has("Thou art not a spell caster!"));
    forget();
    view(mo, {SDLK_l, quiet(SDLK_RETURN), SDLK_SPACE, SDLK_ESCAPE});
    EXPECT_TRUE(lastIn(CharView_C::STATE_NO_SPELLS).has("Thou hast no knowledge of spells!"));
    EXPECT_TRUE(shown(0).has("Lv: 1(0)"));
    EXPECT_FALSE(shown(0).has("Magician"));
}

// The trial of the Equip Item action: the player equips and unequips, the
// result comes back by serial, and the member is exactly as before.
TEST_F(CharViewTest, TrialHandsBackTheArrangementAndRestoresTheMember)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    join("Bob", 0x1);
    bl3dItem* helm = kit().give(ann, kit().helm, SLOT_HEAD);
    bl3dItem* ring1 = kit().give(ann, kit().ring, 12);
    bl3dItem* ring2 = kit().give(ann, kit().ring, SLOT_FINGER);   // same type: not worn
    bl3dItem* shield = kit().give(ann, kit().shield, SLOT_LT_HAND);
    bl3dItem* rope = kit().carry(ann, kit().rope);
    bl3dItem* tower = kit().carry(ann, kit().tower);
    bl3dItem* sword = kit().carry(ann, kit().sword);
    ASSERT_TRUE(ring1->isEquipped());
    ASSERT_FALSE(ring2->isEquipped());
    const Holdings before = holdings(ann);
    int stats[STAT_COUNT];
    for (int s = 0; s < STAT_COUNT; ++s)
        stats[s] = ann.getStatBlock()->getCur(s);

    // Lines: Helm, Buckler, Ring (11), Ring (12), Sword, Tower Shield, Rope.
    // Unequip the helm (it goes to the front of the pack), then DOWN to the
    // sword and equip it. Discard, give and join are not offered and do
    // nothing; nor does F2.
    EquipTrial_S out;
    script({SDLK_u, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_e, quiet(SDLK_d), quiet(SDLK_y), quiet(SDLK_t),
            quiet(SDLK_F2), quiet(SDLK_j), quiet(SDLK_F2), SDLK_ESCAPE});
    CharView_C::charView(&ann, &iface, out, CharView_C::STATE_INVENTORY, true);

    EXPECT_TRUE(out.changed);
    EXPECT_EQ(out.equip[SLOT_HEAD], 0u);
    EXPECT_EQ(out.equip[SLOT_RT_HAND], sword->getSerial());
    EXPECT_EQ(out.equip[SLOT_LT_HAND], shield->getSerial());
    EXPECT_EQ(out.equip[12], ring1->getSerial());
    EXPECT_EQ(out.pack, (std::vector<uint64_t>{helm->getSerial(), tower->getSerial(), rope->getSerial()}));

    EXPECT_EQ(holdings(ann), before);
    EXPECT_EQ(ann.getSlotItem(SLOT_HEAD), helm);
    EXPECT_EQ(ann.getPack()->at(1), tower);
    EXPECT_TRUE(helm->isEquipped());
    EXPECT_TRUE(ring1->isEquipped());
    EXPECT_FALSE(ring2->isEquipped()) << "the ring that was not worn is still not worn";
    EXPECT_FALSE(sword->isEquipped());
    for (int s = 0; s < STAT_COUNT; ++s)
        EXPECT_EQ(ann.getStatBlock()->getCur(s), stats[s]) << "stat " << s;
    EXPECT_EQ(ann.getUsableSlots(), DEFAULT_USABLE_SLOTS);

    for (const Shown& s : shown()) {
        EXPECT_NE(s.state, CharView_C::STATE_GIVE);
        EXPECT_NE(s.state, CharView_C::STATE_DISCARD);
        EXPECT_NE(s.state, CharView_C::STATE_SUMMARY);
        EXPECT_FALSE(s.has("(D)rop the item"));
        EXPECT_FALSE(s.has("(T)rade the item"));
    }
    EXPECT_TRUE(shown(0).has("(ESCAPE) to Exit"));
    EXPECT_EQ(CharView_C::getMember(), nullptr);

    // A trial that moves nothing says so.
    EquipTrial_S none;
    script({SDLK_DOWN, SDLK_x, SDLK_SPACE, SDLK_ESCAPE});
    CharView_C::charView(&ann, &iface, none, CharView_C::STATE_INVENTORY, true);
    EXPECT_FALSE(none.changed);
    EXPECT_EQ(none.equip[SLOT_HEAD], helm->getSerial());
    EXPECT_EQ(holdings(ann), before);
}

TEST_F(CharViewTest, SlotIconsStandBeforeWornItems)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().give(ann, kit().helm, SLOT_HEAD);
    kit().carry(ann, kit().rope);
    // The list's first line is pane line 5; the icon column is the pane's
    // left edge, the text starts 20 pixels further.
    const int y = iface.getURLineY(5);
    const int x = iface.layout().upperRight.left;
    int iconInk = -1, packInk = -1;
    onDisplay([&] {
        if (CharView_C::getState() != CharView_C::STATE_INVENTORY)
            return;
        auto dark = [](const vell_test::Rgb& p) { return p.r + p.g + p.b < 200; };
        iconInk = countPixels(x, y, 16, 17, dark);
        packInk = countPixels(x, y - 20, 16, 17, dark);
    });
    view(ann, {SDLK_i, SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_GT(iconInk, 20) << "the head icon (font character 18) is drawn";
    EXPECT_EQ(packInk, 0) << "a pack item the member can use has no tag";
}

// With mouse support every prompt line is a click region for its key, and
// the list's lines are chosen by clicking them.
TEST_F(CharViewTest, ClicksStandForTheKeysOfTheirLines)
{
    gameConfig.mouseSupport = true;
    iface.init(kWidth, kHeight);
    ASSERT_NE(iface.getMouseRegions(), nullptr);
    bl3dPartyChar& ann = join("Ann", 0x4);
    kit().carry(ann, kit().rope);
    kit().carry(ann, kit().helm);
    // Mouse y of a pane line: from the top of the window to the line's top.
    auto lineTop = [](int n) { return kHeight - iface.getURLineY(n) - 20 + 5; };
    const int x = iface.layout().upperRight.left + 10;
    // "(I)nventory" on line -4; then the list's second line (the rope),
    // "(D)rop the item" (line -2 on this page), "(Y)es" (line -1).
    view(ann, {click(x, lineTop(-4)), click(x + 30, lineTop(6)), click(x, lineTop(-2)), click(x, lineTop(-1)),
               SDLK_ESCAPE, SDLK_ESCAPE});
    EXPECT_EQ(holdings(ann).pack, std::vector<std::string>{"Helm"});
    EXPECT_TRUE(lastIn(CharView_C::STATE_DISCARD).has("Are you sure you wish to discard the Rope permanently?"));
    gameConfig.mouseSupport = false;
    iface.init(kWidth, kHeight);
}

} // namespace

namespace {

// Gives the window another size for one test, and the interface with it.
class WindowSize {
public:
    WindowSize(Interface_C& iface, int width, int height) : iface_(iface)
    {
        ok_ = vell_test::GuiFixture::setWindowSize(width, height);
        if (ok_)
            iface_.init(width, height);
    }
    ~WindowSize()
    {
        vell_test::GuiFixture::setWindowSize(vell_test::GuiFixture::kWidth, vell_test::GuiFixture::kHeight);
        iface_.init(vell_test::GuiFixture::kWidth, vell_test::GuiFixture::kHeight);
    }
    bool ok() const { return ok_; }

private:
    Interface_C& iface_;
    bool ok_ = false;
};

} // namespace

// The member's portrait fills the 3-D view's frame, and only it, at every
// window size and picture detail: the view and the portrait both sit in the
// 1024 x 768 design space. (A window larger than the test display holds
// pixels only where it lies on the display: the pixels a clear reaches are
// the ones checked.)
TEST_F(CharViewTest, PortraitFillsTheViewFrameAtEveryWindowSize)
{
    struct Case {
        int width, height, texMode;
    } const cases[] = {{1024, 768, 4}, {1280, 1024, 4}, {800, 600, 4}, {1280, 1024, 1}, {640, 480, 1}};
    const int savedTexMode = gameConfig.texMode;
    const vell_test::Rgb magenta{255, 0, 255};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " texMode " +
                     std::to_string(c.texMode));
        gameConfig.texMode = c.texMode;
        WindowSize size(iface, c.width, c.height);
        ASSERT_TRUE(size.ok());
        glViewport(0, 0, c.width, c.height);
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const auto cleared = readRect(0, 0, c.width, c.height);
        ASSERT_EQ(iface.setULPic("Human_Male"), 0);
        const auto shown = readRect(0, 0, c.width, c.height);
        const LayoutRect_S& v = iface.layout().upperLeft;   // window pixels
        // The icon row under the view (design 162..513 x 233..297).
        const LayoutRect_S icons{162 * c.width / 1024 - 1, 513 * c.width / 1024 + 1, 297 * c.height / 768 + 1,
                                 233 * c.height / 768 - 1};
        auto inside = [](const LayoutRect_S& r, int x, int y, int margin) {
            return x >= r.left + margin && x < r.right - margin && y >= r.bottom + margin && y < r.top - margin;
        };
        int owned = 0, viewOwned = 0, uncovered = 0, spilled = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const size_t i = (size_t(y) * size_t(c.width) + size_t(x)) * 3;
                const vell_test::Rgb before{cleared[i], cleared[i + 1], cleared[i + 2]};
                if (!vell_test::near(before, magenta, 8))
                    continue;   // off the display
                ++owned;
                const bool magentaNow = vell_test::near({shown[i], shown[i + 1], shown[i + 2]}, magenta, 8);
                if (inside(v, x, y, 1)) {   // the edges may round either way
                    ++viewOwned;
                    uncovered += magentaNow;
                } else if (!inside(v, x, y, -1) && !inside(icons, x, y, 0)) {
                    spilled += !magentaNow;
                }
            }
        ASSERT_GT(viewOwned, (v.right - v.left) * (v.top - v.bottom) / 3) << "too little of the view is on the display";
        EXPECT_GT(owned, 0);
        EXPECT_EQ(uncovered, 0) << "the portrait covers the whole view";
        EXPECT_EQ(spilled, 0) << "nothing is drawn beside the view but the icons";
        iface.clearULPic();
    }
    gameConfig.texMode = savedTexMode;
}

// A picture that does not exist leaves no earlier picture in the pane.
TEST_F(CharViewTest, MissingPictureRedrawsThePane)
{
    const LayoutRect_S& v = iface.layout().upperLeft;
    const int w = v.right - v.left, h = v.top - v.bottom;
    ASSERT_EQ(iface.setULPic("Human_Male"), 0);
    const auto portrait = readRect(v.left, v.bottom, w, h);
    EXPECT_EQ(iface.setULPic("NoSuchPicture"), -1);
    const auto after = readRect(v.left, v.bottom, w, h);
    size_t same = 0;
    for (size_t i = 0; i + 2 < after.size(); i += 3)
        same += std::abs(after[i] - portrait[i]) + std::abs(after[i + 1] - portrait[i + 1]) +
                    std::abs(after[i + 2] - portrait[i + 2]) < 12;
    EXPECT_LT(same, size_t(w) * size_t(h) / 4) << "the view is drawn where the portrait was";
}
