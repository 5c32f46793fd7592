// libFuzzer target: the action data file. The input is the uncompressed
// stream; the target writes it as the gzip file the game reads, loads it
// into a list of its own, and has every action it made used once by a party
// member against an enemy group and once by a monster against the party, so
// that the effects run with whatever the records hold. Nothing may crash,
// read out of bounds or leak.
#include "../../core/fuzz/FuzzFiles.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

// One use as a screen makes it: makeEntry, else enqueue, then perform.
void useOnce(bl3dAction* a, bl3dCharacter* who, void* target, TextBuf_C& text) {
    int32_t distance = 10;
    void* context[2] = {&text, &distance};
    ActionUse_S* u = a->makeEntry(new bl3dActor(who), target, 2, context);
    if (!u)
        u = a->enqueue(new bl3dActor(who), 0, 2, context);
    if (!u)
        return;
    a->perform(u);
    a->freeEntry(u);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzfiles::dir() + "actions.dat";
    if (!fuzzfiles::writeGzip(path, data, size))
        return 0;
    ActionList list;
    if (list.load(path.c_str()) > 0) {
        MonsterTypeRecord_S r;
        r.name = "Gnoll";
        r.pluralName = "Gnolls";
        r.hpBase = 40;
        r.spBase = 200;
        r.level = 2;
        bl3dMonsterType type(r, list);
        party = new bl3dParty(RefStr_C("party"));
        for (const char* name : {"Ada", "Bo"}) {
            auto* m = new bl3dPartyChar(name, 0x100, RACE_HUMAN, true, 1, nullptr, nullptr);
            m->setLevel(3);
            m->setMaxHP(40);
            m->setCurHP(40);
            m->setMaxSP(500);
            m->setCurSP(500);
            party->addMember(m);
        }
        bl3dMonsterList* group = enemyList.insertGroup(new bl3dMonsterList(3, &type, 0), 20);
        char chars[1024];
        TextBuf_C text(chars, sizeof chars);
        for (const ActionNode_S* n = list.head(); n; n = n->next) {
            useOnce(n->action, party->getMember(0), group, text);
            if (enemyList.groupAt(0))
                useOnce(n->action, enemyList.groupAt(0)->getMonster(0), party->getMember(1), text);
        }
        enemyList.clear();
        delete party;
        party = nullptr;
    }
    list.destroyAll();
    return 0;
}
