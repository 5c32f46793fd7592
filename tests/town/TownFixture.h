// Fixture of the town tests: the party screen fixture (a quest of its own,
// the test kit's party, a record of every display) with the game's classes
// loaded (level gains follow them), the game's events registered as the
// game registers them, a square's record (params_) for the building under
// test, the clock set to a chosen time of day, and helpers for the roster
// (the archive's "hall" directory) and for the members served.
#pragma once
#include "../gui/PartyScreenFixture.h"

#include "actions/CombatAI.h"
#include "core/ArchiveFile.h"
#include "app/GameEvents.h"
#include "platform/FileIO.h"
#include "rules/ClassDef.h"
#include "rules/ClassDefFile.h"
#include "world/Event.h"
#include "world/GameClock.h"
#include "world/GameWorld.h"

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
        params_.exitX = 15;
        params_.exitY = 14;
        params_.exitFacing = 180;
    }
    void TearDown() override
    {
        vell::setWriteHook(nullptr);
        clearEventMakers();
        PartyScreenFixture::TearDown();
        if (ownActions_)
            masterActionList.destroyAll();
        ownActions_ = false;
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
    // Sets the clock to that time of the present day.
    static void setTime(unsigned hour, unsigned minute = 0)
    {
        GameClock_C& clock = gameworld->getClock();
        const uint32_t day = clock.getTicks() - clock.getTicks() % GameClock_C::TICKS_PER_DAY;
        clock.setTicks(day + hour * GameClock_C::TICKS_PER_HOUR + minute * GameClock_C::TICKS_PER_MINUTE);
    }
    static uint32_t now() { return gameworld->getClock().getTicks(); }

    // The master action list of this test: these actions in this order
    // (owned by the list; they go at the end of the test).
    void useActions(std::initializer_list<bl3dAction*> actions)
    {
        ASSERT_EQ(masterActionList.count(), 0) << "another test left its actions";
        ownActions_ = true;
        for (bl3dAction* a : actions)
            masterActionList.append(a, 0);
    }
    static void setAttr(bl3dPartyChar& m, const char* key, int32_t v) { m.getTagList()->setInt(key, v); }
    static int32_t attr(const bl3dPartyChar& m, const char* key) { return m.getTagList()->intValue(key); }
    // A member with experience enough for any level gain.
    bl3dPartyChar& seasoned(const char* name, int32_t classId, int level, int32_t gold = 0)
    {
        bl3dPartyChar& m = join(name, classId, level);
        m.addXP(2000000000);
        m.rawAddGold(gold);
        return m;
    }
    // The member's own gold (not the pool).
    static int32_t gold(const bl3dPartyChar& m) { return m.rawGold(); }

    // Whether the party stands on the exit of params_.
    void expectOnExit() const
    {
        EXPECT_EQ(gameworld->getSquareX(), params_.exitX);
        EXPECT_EQ(gameworld->getSquareY(), params_.exitY);
        EXPECT_EQ(iface.getFacing(), params_.exitFacing);
    }

    // Mouse y of the top half of a pane line (from the top of the window).
    static int lineTop(int n) { return kHeight - iface.getURLineY(n) - 20 + 5; }
    static int paneX() { return iface.layout().upperRight.left + 10; }

    // One visit of the building with these keys, each of which it must ask
    // for (its state watched for the record of the displays): the game time
    // it took.
    template <class Building>
    uint32_t visitBuilding(Building& building, const std::vector<Step>& keys)
    {
        watch([&building] { return building.getState(); });
        script(keys);
        const uint32_t t0 = now();
        EXPECT_EQ(building.invoke(&iface), 0);
        EXPECT_EQ(stepsLeft(), 0u) << "every key was asked for";
        return now() - t0;
    }

    // The square's record of the building under test.
    EventParams_S params_;

private:
    bool ownActions_ = false;
};

// The digit keys of a number typed in.
inline std::vector<Step> digits(const char* text)
{
    std::vector<Step> steps;
    for (const char* p = text; *p; ++p)
        steps.emplace_back(static_cast<SDLKey>(*p));
    return steps;
}

} // namespace town
