// The action data file: records laid down byte by byte from the file's
// tables are read field by field and written back to the same bytes; the
// loader makes skills and spells of them, passes over effects of other
// types, refuses a faulty record with a line that names it and goes on, and
// stops where a cut or broken stream can no longer be followed.
#include "ActionFileKit.h"

#include "rules/Action.h"
#include "actions/ActionFile.h"
#include "rules/ActionList.h"
#include "actions/GenericSkill.h"
#include "actions/GenericSpell.h"
#include "core/MemStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace actionfile;

// A skill with one damage effect whose unused field holds a pattern.
Bytes cleaveRecord() {
    Bytes r = actionHead(0x001a2036, "Cleave", "Hew.", 2, 10, 13, 1, 0x1, 0x08, 1, "cleave", "into", "hew");
    r.u16(1).u16(24);
    r.u8(10).u8(2).u16(8).u16(2).u16(2).u32(0x11223344).u8(1).u8(1).u16(4).u32(0x10).u32(21);
    return r;
}

// A spell: its tail (code, a path whose high byte is not used, the cost),
// a stat effect with two pairs, an effect of an unknown type, a heal.
Bytes mendingRecord() {
    Bytes r = actionHead(0x00090064, "Mending Light", "Warm light.", 8, 0, 2, 2, 0x100, 0, 3, "cast", "on", "mend");
    r.text("MELI").u16(0x0301).u16(4);
    r.add(statRecord(40, 1, 6, 300, 1, 0x10, {{8, -2}, {3, 1}}));
    r.u16(9).u16(5).text("abcde");
    r.add(healRecord(8, 2, 6, 2, 1, 0x102));
    return r;
}

class ActionFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        list.destroyAll();
        std::remove(path.c_str());
    }
    // Loads the bytes (gzip) into `list`, keeping what went to stderr.
    int load(const std::string& bytes) {
        writeGz(path, bytes);
        ::testing::internal::CaptureStderr();
        const int n = list.load(path.c_str());
        errors = ::testing::internal::GetCapturedStderr();
        return n;
    }

    std::string path = tempPath("actions.dat");
    ActionList list;
    std::string errors;
};

TEST_F(ActionFileTest, RecordsReadFieldByFieldAndWriteBackTheSameBytes) {
    const std::string bytes = cleaveRecord().b + mendingRecord().b;
    writeGz(path, bytes);
    gzFile f = gzopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ActionRecord_S a, b, none;
    ASSERT_EQ(a.read(f), 1);
    ASSERT_EQ(b.read(f), 1);
    EXPECT_EQ(none.read(f), 0) << "the stream ends cleanly after the last record";
    gzclose(f);

    EXPECT_EQ(a.def.id, 0x001a2036u);
    EXPECT_EQ(a.def.name, "Cleave");
    EXPECT_EQ(a.def.description, "Hew.");
    EXPECT_EQ(a.def.targetKind, 2);
    EXPECT_EQ(a.def.range, 10);
    EXPECT_EQ(a.def.level, 13);
    EXPECT_EQ(a.def.actionType, ACTION_RECORD_SKILL);
    EXPECT_EQ(a.def.classMask, 0x1u);
    EXPECT_EQ(a.def.ignoreMask, 0x08u);
    EXPECT_EQ(a.def.verb, "cleave");
    EXPECT_EQ(a.def.preposition, "into");
    EXPECT_EQ(a.def.gerund, "hew");
    EXPECT_STREQ(a.def.code, "") << "a skill has no spell tail";
    ASSERT_EQ(a.effects.size(), 1u);
    const DamageBody_S& d = a.effects[0].damage;
    EXPECT_TRUE(a.effects[0].decoded);
    EXPECT_EQ(d.range, 10);
    EXPECT_EQ(d.mode, 2);
    EXPECT_EQ(d.sides, 8);
    EXPECT_EQ(d.count, 2);
    EXPECT_EQ(d.bonus, 2);
    EXPECT_EQ(d.unused, 0x11223344);
    EXPECT_EQ(d.perLevel, 1);
    EXPECT_EQ(d.element, 1);
    EXPECT_EQ(d.saveIndex, 4);
    EXPECT_EQ(d.flags, 0x10u);
    EXPECT_EQ(d.param, 21u);

    EXPECT_EQ(b.def.actionType, ACTION_RECORD_SPELL);
    EXPECT_STREQ(b.def.code, "MELI");
    EXPECT_EQ(b.def.path, 0x0301);
    EXPECT_EQ(b.def.spCost, 4);
    ASSERT_EQ(b.effects.size(), 3u);
    const StatBody_S& s = b.effects[0].stat;
    EXPECT_EQ(s.range, 40);
    EXPECT_EQ(s.mode, 1);
    EXPECT_EQ(s.durationKind, 6);
    EXPECT_EQ(s.duration, 300);
    EXPECT_EQ(s.saveIndex, 1);
    EXPECT_EQ(s.conditions, 0x10);
    ASSERT_EQ(b.effects[0].pairs.size(), 2u);
    EXPECT_EQ(b.effects[0].pairs[0].stat, 8);
    EXPECT_EQ(b.effects[0].pairs[0].amount, -2);
    EXPECT_EQ(b.effects[0].pairs[1].stat, 3);
    EXPECT_EQ(b.effects[0].pairs[1].amount, 1);
    EXPECT_EQ(b.effects[1].header.type, 9);
    EXPECT_EQ(std::string(b.effects[1].tail.begin(), b.effects[1].tail.end()), "abcde");
    const HealBody_S& h = b.effects[2].heal;
    EXPECT_EQ(h.mode, 8);
    EXPECT_EQ(h.count, 2);
    EXPECT_EQ(h.sides, 6);
    EXPECT_EQ(h.fixed, 2);
    EXPECT_EQ(h.flags, 1);
    EXPECT_EQ(h.cure, 0x102u);
    EXPECT_EQ(a.fault(), "");
    EXPECT_EQ(b.fault(), "");

    MemStream_C out;
    ASSERT_TRUE(a.write(out));
    ASSERT_TRUE(b.write(out));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), out.size()), bytes);
}

TEST_F(ActionFileTest, LoaderMakesSkillsAndSpellsAndPassesOverUnknownEffects) {
    ASSERT_EQ(load(cleaveRecord().b + mendingRecord().b), 2);
    EXPECT_EQ(errors, "");

    auto* cleave = dynamic_cast<bl3dGenericSkill*>(list.getAction(0x001a2036));
    ASSERT_NE(cleave, nullptr);
    EXPECT_TRUE(cleave->isSkill());
    EXPECT_STREQ(cleave->name().c_str(), "Cleave");
    EXPECT_STREQ(cleave->description().c_str(), "Hew.");
    EXPECT_EQ(cleave->targetKind(), 2);
    EXPECT_EQ(cleave->range(), 10);
    EXPECT_EQ(cleave->getLevel(), 13);
    EXPECT_TRUE(cleave->isForClass(0x1));
    EXPECT_EQ(cleave->core().ignoreMask(), 0x08u);
    EXPECT_EQ(cleave->aiCategory(), AI_DRAIN) << "damage with special flags";
    EXPECT_EQ(cleave->core().phrase(), "cleaves");

    auto* mending = dynamic_cast<bl3dGenericSpell*>(list.getSpellByCode("MELI"));
    ASSERT_NE(mending, nullptr);
    EXPECT_EQ(mending->actionID(), 0x00090064);
    EXPECT_EQ(mending->path(), 1) << "only the low byte of the path";
    EXPECT_EQ(mending->spCost(), 4);
    EXPECT_EQ(mending->getLevel(), 2);
    EXPECT_EQ(mending->core().effectCount(), 2u) << "the effect of another type takes no place";
    EXPECT_EQ(mending->aiCategory(), AI_CATEGORY5) << "a stat effect beats a heal";
    EXPECT_EQ(mending->core().phrase(), "casts Mending Light");

    // Newest first: the spell is found before the skill.
    ASSERT_TRUE(list.first());
    EXPECT_EQ(list.next(), mending);
}

TEST_F(ActionFileTest, EdgesOfTheFormat) {
    EXPECT_EQ(load(""), 0) << "an empty stream holds no action";
    EXPECT_EQ(errors, "");

    Bytes bare = actionHead(0x00092001, "", "", 0, 0, 1, 1, 0x7fff, 0, 0, "use", "", "us");
    ASSERT_EQ(load(bare.b), 1);
    bl3dAction* a = list.getAction(0x00092001);
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->name().c_str(), "") << "a name of length 0";
    EXPECT_EQ(a->aiCategory(), AI_NONE) << "no effects, no category";

    // A record of the same id as one already there takes its place for
    // every lookup; both stay in the list.
    Bytes again = actionHead(0x00092001, "Again", "", 0, 0, 1, 1, 0x7fff, 0, 0, "use", "", "us");
    ASSERT_EQ(load(again.b), 1);
    EXPECT_STREQ(list.getAction(0x00092001)->name().c_str(), "Again");
    EXPECT_EQ(list.count(), 2);

    // A stat effect without pairs lays only its condition bits; a body longer
    // than its type is passed over to its end.
    Bytes longer = actionHead(0x00092002, "Longer", "", 1, 0, 1, 1, 0, 0, 2, "use", "", "us");
    longer.add(statRecord(0, 1, 1, 0, 1, 0x10, {}));
    longer.add(damageRecord(0, 1, 6, 1, 0, 0, 0, 4, 0, 0, 28)).u32(0xdeadbeef);
    ASSERT_EQ(load(longer.b + bare.b), 2);
    EXPECT_EQ(errors, "");
    auto* skill = dynamic_cast<bl3dGenericSkill*>(list.getAction(0x00092002));
    ASSERT_NE(skill, nullptr);
    EXPECT_EQ(skill->core().effectCount(), 2u);
}

TEST_F(ActionFileTest, FaultyRecordIsRefusedByNameAndTheRestLoads) {
    const Bytes good1 = actionHead(0x00092010, "First", "", 1, 0, 1, 1, 0, 0, 1, "use", "", "us")
                            .add(damageRecord(0, 1, 6, 1, 0, 0, 0, 4, 0, 0));
    const Bytes good3 = actionHead(0x00092011, "Third", "", 8, 0, 1, 1, 0, 0, 1, "use", "", "us")
                            .add(healRecord(8, 1, 6, 0, 0, 0));
    auto skillWith = [](const Bytes& effect) {
        return actionHead(0x00092bad, "Broken", "", 1, 0, 1, 1, 0, 0, 1, "use", "", "us").add(effect);
    };
    // Bodies whole in the file whose stated length falls short of their type:
    // read by the type, refused, and the next record read where it starts.
    const Bytes shortDamage = damageRecord(0, 1, 6, 1, 0, 0, 0, 4, 0, 0, 20);
    Bytes pairsPastBody;
    pairsPastBody.u16(2).u16(20).u8(0).u8(1).u16(1).u16(0).u16(0).u32(0).u32(5);
    for (int i = 0; i < 5; ++i)
        pairsPastBody.u16(0).u16(1);
    const struct {
        const char* what;
        Bytes record;
        const char* reason;
    } cases[] = {
        {"the condition stat", skillWith(statRecord(0, 1, 1, 0, 1, 0, {{12, 1}})), "stat index 12"},
        {"a stat past the block", skillWith(statRecord(0, 1, 1, 0, 1, 0, {{22, 1}})), "stat index 22"},
        {"a save index past the tables", skillWith(damageRecord(0, 1, 6, 1, 0, 0, 0, 6, 0, 0)), "saving throw"},
        {"an element past water", skillWith(damageRecord(0, 1, 6, 1, 0, 0, 5, 4, 0, 0)), "element 5"},
        {"dice of no sides", skillWith(damageRecord(0, 1, 0, 2, 0, 0, 0, 4, 0, 0)), "0 sides"},
        {"a negative dice count", skillWith(damageRecord(0, 1, 6, 0xffff, 0, 0, 0, 4, 0, 0)), "dice count -1"},
        {"a heal of 0 sides", skillWith(healRecord(8, 3, 0, 0, 0, 0)), "0 sides"},
        {"a negative heal", skillWith(healRecord(8, 0, 0, 0xfffb, 0, 0)), "negative amount"},
        {"a cure of no condition", skillWith(healRecord(8, 1, 4, 0, 0, 0x200)), "cure mask"},
        {"a modifier of no condition", skillWith(statRecord(0, 1, 1, 0, 1, 0x400, {})), "condition mask"},
        {"a length shorter than its type", skillWith(shortDamage), "stated as 20 bytes, shorter than its 24"},
        {"pairs beyond the stated length", skillWith(pairsPastBody), "stated as 20 bytes, shorter than its 36"},
        {"an unknown action type",
         actionHead(0x00092bad, "Broken", "", 0, 0, 1, 3, 0, 0, 0, "use", "", "us"), "action type 3"},
        {"an unknown target kind",
         actionHead(0x00092bad, "Broken", "", 3, 0, 1, 1, 0, 0, 0, "use", "", "us"), "target kind 3"},
        {"a code that is no letters",
         actionHead(0x00092bad, "Broken", "", 0, 0, 1, 2, 0, 0, 0, "cast", "", "cast").text("AR7A").u16(1).u16(1),
         "four letters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        list.destroyAll();
        ASSERT_EQ(load(good1.b + c.record.b + good3.b), 2);
        EXPECT_NE(errors.find("ERROR"), std::string::npos);
        EXPECT_NE(errors.find("record 2 (0x00092bad \"Broken\") refused"), std::string::npos) << errors;
        EXPECT_NE(errors.find(c.reason), std::string::npos) << errors;
        EXPECT_EQ(list.getAction(0x00092bad), nullptr);
        EXPECT_NE(list.getAction(0x00092011), nullptr) << "the record after it loads";
    }
}

TEST_F(ActionFileTest, ACutOrBrokenStreamStopsWhereItCanNoLongerBeFollowed) {
    const std::string one = cleaveRecord().b;
    const std::string two = mendingRecord().b;
    // Cuts inside the second record's head, its texts, its tail and its
    // effects: the first record stays, the cut one is dropped.
    for (size_t cut : {size_t(1), size_t(10), size_t(30), size_t(45), size_t(60), two.size() - 1}) {
        SCOPED_TRACE(cut);
        list.destroyAll();
        ASSERT_EQ(load(one + two.substr(0, cut)), 1);
        EXPECT_NE(list.getAction(0x001a2036), nullptr);
        EXPECT_EQ(list.getAction(0x00090064), nullptr);
        EXPECT_NE(errors.find("ERROR: action file"), std::string::npos);
        EXPECT_NE(errors.find("record 2: premature end of file"), std::string::npos) << errors;
    }

    // A stat body stating more pairs than any length holds cannot be followed.
    Bytes hostile = actionHead(0x00092bad, "Broken", "", 1, 0, 1, 1, 0, 0, 1, "use", "", "us");
    hostile.u16(2).u16(16).u8(0).u8(1).u16(1).u16(0).u16(0).u32(0).u32(0x7fffffff);
    list.destroyAll();
    ASSERT_EQ(load(one + hostile.b + one), 1);
    EXPECT_NE(errors.find("record 2: effect 1: stat effect of 2147483647 pairs"), std::string::npos) << errors;

    // A compressed stream damaged in its middle is not read past the damage.
    writeGz(path, one + two + one);
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 30, SEEK_SET);
    const char junk[8] = {'\x7f', '\x00', '\x55', '\xaa', '\x12', '\x34', '\x00', '\xff'};
    std::fwrite(junk, 1, sizeof junk, f);
    std::fclose(f);
    list.destroyAll();
    ::testing::internal::CaptureStderr();
    const int n = list.load(path.c_str());
    errors = ::testing::internal::GetCapturedStderr();
    EXPECT_LE(n, 1);
    EXPECT_NE(errors.find("ERROR: action file"), std::string::npos);

    list.destroyAll();
    EXPECT_EQ(list.load(tempPath("no_such_actions.dat").c_str()), 0) << "a missing file adds nothing";
    EXPECT_EQ(list.count(), 0);
}

TEST_F(ActionFileTest, ALowerCaseCodeIsWarnedOfAndTheSpellKept) {
    const Bytes spell =
        actionHead(0x00092bad, "Slip", "", 0, 0, 1, 2, 0x100, 0, 0, "cast", "", "cast").text("ArDA").u16(1).u16(1);
    ASSERT_EQ(load(spell.b), 1);
    EXPECT_NE(errors.find("WARNING: action file"), std::string::npos) << errors;
    EXPECT_NE(errors.find("0x00092bad \"Slip\"): the code ArDA has lower-case letters"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("ERROR"), std::string::npos) << errors;
    EXPECT_NE(list.getAction(0x00092bad), nullptr) << "what names it by id finds it";
    EXPECT_NE(list.getSpellByCode("ArDA"), nullptr);
}

} // namespace
