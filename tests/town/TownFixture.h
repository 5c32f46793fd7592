// Fixture of the town tests: the party screen fixture (a quest of its own,
// the test kit's party, a record of every display) with the game's classes
// loaded, the Hall registered as the game registers it, and helpers for the
// roster (the archive's "hall" directory).
#pragma once
#include "../gui/PartyScreenFixture.h"

#include "actions/CombatAI.h"
#include "core/ArchiveFile.h"
#include "events/GameEvents.h"
#include "platform/FileIO.h"
#include "rules/ClassDef.h"
#include "rules/ClassDefFile.h"
#include "world/Event.h"

#include <string>
#include <vector>

namespace town {

using namespace partyscreens;

class TownFixture : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        if (classDef.empty()) {
            ASSERT_GT(vell::loadClassFile("data/class.dat"), 0);
        }
        registerGameEvents();
    }
    void TearDown() override
    {
        vell::setWriteHook(nullptr);
        clearEventMakers();
        PartyScreenFixture::TearDown();
    }

    static DirHandle_C roster() { return saveFile->openDir("hall"); }
    // Stores a new adventurer of the kit in the roster only (not in the
    // party).
    void store(const char* name, int32_t classId = 0x4)
    {
        std::unique_ptr<bl3dPartyChar> m(kit().member(name, classId));
        ASSERT_TRUE(roster()->store(*m));
    }
    // A monster that joined the party (race 10, class bit 0x8000, driven by
    // a combat AI).
    static bl3dPartyChar* joinedMonster(const char* name)
    {
        struct IdleAI : bl3dCombatAI {
            int enqueueAct(bl3dInitList*, bl3dMonsterList*, TextBuf_C*) override { return 0; }
            int enqueuePartySide(bl3dAction**, ActionUse_S**, bl3dPartyChar*, TextBuf_C*) override { return 0; }
        };
        static IdleAI ai;
        auto* m = new bl3dPartyChar(name, CLASS_JOINED, 10, true, 0, &ai, nullptr);
        m->setMaxHP(10);
        m->setCurHP(10);
        return m;
    }
    static std::vector<std::string> rosterNames()
    {
        std::vector<std::string> names;
        DirHandle_C r = roster();
        for (int i = 0; i < r->getEntryCount(); ++i)
            names.push_back(r->getEntryName(i));
        return names;
    }
    static std::vector<std::string> partyNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < party->getCount(); ++i)
            names.push_back(party->getMember(i)->getName());
        return names;
    }
    // Every write of the archive fails from now on (until TearDown).
    static void refuseWrites()
    {
        vell::setWriteHook([](int, size_t) -> long { return -1; });
    }
    // Sets the clock to that hour of the present day.
    static void setHour(unsigned hour)
    {
        GameClock_C& clock = gameworld->getClock();
        const uint32_t day = clock.getTicks() - clock.getTicks() % GameClock_C::TICKS_PER_DAY;
        clock.setTicks(day + hour * GameClock_C::TICKS_PER_HOUR);
    }
};

} // namespace town
