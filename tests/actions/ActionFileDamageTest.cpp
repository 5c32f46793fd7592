// Damaged action data files: valid records cut short, with bytes changed or
// with bytes added, loaded over and over (seeded, so every run damages
// alike; under AddressSanitizer in the sanitizer build). The loader never
// crashes or reads out of bounds; a file cut between records keeps every
// whole record before the cut; whatever it made can be used.
#include "ActionFileKit.h"
#include "ActionTest.h"

#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/PartyChar.h"

#include <cstdio>

namespace {

using namespace actionfile;

constexpr int ROUNDS = 1500;

// Records of every kind; `ends` gets where each one ends.
std::string sample(std::vector<size_t>& ends) {
    std::string out;
    auto put = [&](const Bytes& r) {
        out += r.b;
        ends.push_back(out.size());
    };
    put(actionHead(0x000f0002, "Dart", "d", 1, 40, 1, 2, 0x100, 0, 1, "cast", "at", "blast")
            .text("DART")
            .u16(1)
            .u16(2)
            .add(damageRecord(40, 1, 6, 2, 1, 1, 1, 4, 0x12, 0x00c00824)));
    put(actionHead(0x00090064, "Mend", "m", 8, 0, 2, 2, 0x100, 0x02, 2, "cast", "on", "mend")
            .text("MEND")
            .u16(1)
            .u16(4)
            .add(healRecord(8, 2, 6, 2, 1, 0x1ff))
            .add(statRecord(0, 8, 2, 0, 1, 0x10, {{8, -3}, {0, 2}})));
    put(actionHead(0x001a2036, "Sweep", "s", 4, 10, 13, 1, 0x1, 0, 2, "sweep", "through", "mow")
            .add(damageRecord(10, 4, 8, 3, 0, 0, 0, 4, 0x44, 21))
            .add(statRecord(10, 4, 6, 30, 1, 0x08, {})));
    put(actionHead(0x00024004, "Mending", "", 0x10, 0, 1, 1, 0, 0, 2, "chant", "over", "mend")
            .add(healRecord(0x10, 1, 8, 0, 0, 0))
            .add(statRecord(0, 0x10, 1, 0, 1, 0, {{9, 2}})));
    return out;
}

std::string damaged(const std::string& good, int round, bool& cut) {
    std::string b = good;
    cut = false;
    switch (round % 4) {
    case 0:
        b.resize(static_cast<size_t>(vell::gameRandMod(static_cast<int>(b.size()))));
        cut = true;
        break;
    case 1:
    case 2:
        for (int i = 1 + vell::gameRandMod(6); i > 0; --i) {
            const size_t at = static_cast<size_t>(vell::gameRandMod(static_cast<int>(b.size())));
            // Often a length or a count: make it large or negative.
            b[at] = static_cast<char>(vell::gameRandMod(3) == 0 ? 0xff : vell::gameRandMod(256));
        }
        break;
    default:
        for (int i = vell::gameRandMod(40); i >= 0; --i)
            b += static_cast<char>(vell::gameRandMod(256));
        break;
    }
    return b;
}

class ActionFileDamageTest : public ActionTest {
protected:
    // One use as a screen makes it: makeEntry, else enqueue, then perform.
    void useOnce(bl3dAction* a, bl3dCharacter* who, void* target) {
        int32_t distance = 20;
        void* context[2] = {&text, &distance};
        ActionUse_S* u = a->makeEntry(new bl3dActor(who), target, 2, context);
        if (!u)
            u = a->enqueue(new bl3dActor(who), 0, 2, context);
        if (!u)
            return;
        a->perform(u);
        a->freeEntry(u);
    }
};

TEST_F(ActionFileDamageTest, DamagedFilesLoadWhatTheyCanAndNothingBreaks) {
    std::vector<size_t> ends;
    const std::string good = sample(ends);
    const std::string path = tempPath("damaged_actions.dat");
    bl3dPartyChar* ada = member("Ada");
    bl3dPartyChar* bo = member("Bo");
    MonsterSpec_S s;
    s.name = "Gnoll";
    s.hp = 500;
    bl3dMonsterType* gnoll = kit->monsterType(s);
    int refusedOrStopped = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        bool cut = false;
        const std::string bytes = damaged(good, round, cut);
        const size_t damagedLength = bytes.size();
        writeGz(path, bytes);
        ActionList list;
        ::testing::internal::CaptureStderr();
        const int n = list.load(path.c_str());
        const std::string said = ::testing::internal::GetCapturedStderr();
        refusedOrStopped += !said.empty();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 40) << "no more actions than the bytes can hold";
        if (cut) {
            // A prefix of good records: every record that ends within it.
            size_t whole = 0;
            const size_t length = damagedLength;
            while (whole < ends.size() && ends[whole] <= length)
                ++whole;
            ASSERT_EQ(n, static_cast<int>(whole)) << "cut at " << length;
        }
        // Whatever was made can be used by either side.
        enemyList.clear();
        bl3dMonsterList* group = kit->addGroup(gnoll, 2, 20);
        for (const ActionNode_S* a = list.head(); a; a = a->next) {
            ada->setCurHP(30);
            ada->setCurSP(100);
            bo->setCurHP(30);
            useOnce(a->action, ada, group);
            if (bl3dMonsterList* g = enemyList.groupAt(0))
                useOnce(a->action, g->getMonster(0), bo);
        }
        list.destroyAll();
    }
    std::remove(path.c_str());
    EXPECT_GT(refusedOrStopped, ROUNDS / 4) << "the damage must actually break records";
}

} // namespace
