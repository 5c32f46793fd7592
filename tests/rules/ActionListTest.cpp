// The action list: insertion order, sorted insertion, the three look-ups,
// the cursor, and the plot event's id.
#include "RulesTestEnv.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/PartyChar.h"

#include <memory>

namespace {

class ActionListTest : public RulesTest {};

TEST_F(ActionListTest, UnsortedListPutsTheNewestFirst) {
    FakeAction a(0x000e0001, "Attack"), b(0x00320003, "Defend"), c(0x000e0001, "Attack 2");
    ActionList l;
    EXPECT_EQ(l.add(&a, 1), 0);
    EXPECT_EQ(l.add(&b, 2), 0);
    EXPECT_EQ(l.add(&c, 3), 0);
    EXPECT_EQ(l.getAction(0x000e0001), &c) << "the last added wins a tie";
    ASSERT_TRUE(l.first());
    int32_t v = 0;
    EXPECT_EQ(l.nextWithValue(&v), &c);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(l.next(), &b);
    EXPECT_EQ(l.next(), &a);
    EXPECT_EQ(l.next(), nullptr);
    EXPECT_EQ(l.count(), 3);
    EXPECT_EQ(l.next(), nullptr) << "count leaves the cursor at the end";
}

TEST_F(ActionListTest, SortedInsertKeepsValuesDescendingAndTiesInOrder) {
    struct Step {
        const char* name;
        int32_t value;
    };
    const Step steps[] = {{"a", 5}, {"b", 9}, {"c", 5}, {"d", 1}, {"e", 9}, {"f", 7}};
    std::vector<std::unique_ptr<FakeAction>> acts;
    ActionList l(true);
    for (const Step& s : steps) {
        acts.push_back(std::make_unique<FakeAction>(0x100 + static_cast<int>(acts.size()), s.name));
        EXPECT_EQ(l.add(acts.back().get(), s.value), 0);
    }
    std::string order;
    l.first();
    while (bl3dAction* a = l.next())
        order += a->name().c_str();
    EXPECT_EQ(order, "befacd");
}

TEST_F(ActionListTest, NullActionIsRefused) {
    ActionList l, s(true);
    EXPECT_EQ(l.add(nullptr, 0), -2);
    EXPECT_EQ(s.add(nullptr, 0), -2);
    EXPECT_EQ(l.count(), 0);
    EXPECT_FALSE(l.first());
}

TEST_F(ActionListTest, SubstituteLookupUsesNumberAndTwoFlagBits) {
    FakeAction attack(0x000e0001, "Attack"), sprite(0x00090001, "Call Sprite"), monAdv(0x00320001, "MonAdv");
    ActionList l;
    l.add(&monAdv, 0);
    l.add(&sprite, 0);
    l.add(&attack, 0);
    struct Case {
        int32_t id;
        bl3dAction* want;
    };
    const Case cases[] = {
        {0x00060001, &attack}, {0x00010001, &sprite}, {0x00200001, &monAdv}, {0x000e0001, &attack},
        {0x00010002, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(l.getSubstAction(c.id), c.want) << std::hex << c.id;
    EXPECT_EQ(l.getAction(0x00060001), nullptr);
}

TEST_F(ActionListTest, SpellByCodeIsExactAndSkipsNonSpells) {
    FakeSpell trtr(0x00090003, "TRTR"), mapo(0x00890015, "MAPO");
    FakeAction notSpell(0x1234, "TRTR");
    ActionList l;
    l.add(&trtr, 0);
    l.add(&mapo, 0);
    l.add(&notSpell, 0);
    EXPECT_EQ(l.getSpellByCode("TRTR"), &trtr);
    EXPECT_EQ(l.getSpellByCode("MAPO"), &mapo);
    EXPECT_EQ(l.getSpellByCode("trtr"), nullptr);
    EXPECT_EQ(l.getSpellByCode("TRT"), nullptr);
    EXPECT_EQ(l.getSpellByCode(nullptr), nullptr);
}

TEST_F(ActionListTest, DestroyAllDeletesTheActions) {
    ActionList l;
    l.add(new FakeAction(1, "one"), 0);
    l.add(new FakeAction(2, "two"), 0);
    l.destroyAll(); // the sanitizer build reports a leak otherwise
    EXPECT_EQ(l.count(), 0);
}

TEST_F(ActionListTest, PlotEventCarriesTheScriptNumber) {
    bl3dPlotEvent p(3);
    EXPECT_EQ(static_cast<uint32_t>(p.actionID()), 0x80000003u);
    EXPECT_STREQ(p.name().c_str(), "plotEvent");
    EXPECT_EQ(p.perform(nullptr), 0);
    EXPECT_EQ(p.enqueue(new bl3dActor(nullptr), 0, 1, nullptr), nullptr); // actor released
    EXPECT_TRUE(p.isForClass(0x4000));
    EXPECT_FALSE(p.isForClass(0x8000));
}

TEST_F(ActionListTest, BaseMakeEntryTakesTheActorOver) {
    // The caller's next try (enqueue) comes with a new actor, so the one
    // handed to makeEntry is gone: the sanitizer build reports it otherwise.
    FakeAction a(1, "a");
    EXPECT_EQ(a.makeEntry(new bl3dActor(nullptr), nullptr, 1, nullptr), nullptr);
}

TEST_F(ActionListTest, UsableChecksStateAndRange) {
    bl3dPartyChar pc("Ada", 1, RACE_HUMAN, false, ALIGN_GOOD, nullptr, nullptr);
    pc.setMaxHP(10);
    pc.setCurHP(10);
    FakeAction anywhere(1, "anywhere", 0), reach(2, "reach", 10);
    EXPECT_TRUE(anywhere.usable(&pc, 500));
    EXPECT_TRUE(reach.usable(&pc, 10));
    EXPECT_FALSE(reach.usable(&pc, 11));
    pc.setConditions(COND_POISONED);
    EXPECT_TRUE(reach.usable(&pc, 10)) << "poison does not stop an action";
    pc.setConditions(COND_STUNNED);
    EXPECT_FALSE(reach.usable(&pc, 10));
    char chars[200];
    TextBuf_C out(chars, sizeof chars);
    EXPECT_EQ(anywhere.checkState(&pc, 0, "swing", &out), 0);
    EXPECT_STREQ(out.c_str(), "#2Ada#0 would swing, but she is stunned!\n");
    pc.setConditions(COND_HIDDEN);
    EXPECT_EQ(anywhere.checkState(&pc, 0, "swing", &out), 1) << "hidden never blocks";
    pc.setCurHP(0);
    EXPECT_EQ(anywhere.checkState(&pc, 0, "swing", &out), -1);
    EXPECT_STREQ(out.c_str(), "#2Ada#0");
    EXPECT_FALSE(anywhere.usable(&pc, 0));
}

} // namespace
