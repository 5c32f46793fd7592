// Loading a quest reads it and writes nothing to its file: not on a quest
// fresh from the template, not on one saved before, however often it is
// loaded. The one write a load makes is the rollback of changes that were
// never saved.
#include "WorldTestUtil.h"

#include "../common/TestFiles.h"
#include "core/ArchiveFile.h"
#include "core/TagList.h"
#include "events/GameEvents.h"
#include "platform/FileIO.h"
#include "rules/Party.h"
#include "rules/RulesEnv.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Interface.h"

#include <gtest/gtest.h>

#include <unistd.h>

using testfiles::readFile;
using testfiles::writeFile;
using worldtest::InFolder;

namespace {

struct QuestLoadTest : ::testing::Test {
    InFolder folder{VELL_GAME_DIR};
    std::string path = std::string(::testing::TempDir()) + "vell_quest_" + std::to_string(::getpid()) + ".sav";
    int writes = 0;

    void SetUp() override
    {
        ASSERT_TRUE(folder.ok());
        registerWorldTypes();
        registerRulesTypes();
        registerGameEvents();
        const std::string tmpl = readFile("data/savegame.dat");
        ASSERT_FALSE(tmpl.empty()) << "the quest template is built with the game";
        writeFile(path, tmpl);
        testing::internal::CaptureStderr(); // the template's items are unknown here
    }
    void TearDown() override
    {
        vell::setWriteHook(nullptr);
        iface.fini();
        testing::internal::GetCapturedStderr();
        clearEventMakers();
        std::remove(path.c_str());
    }
    void countWrites()
    {
        writes = 0;
        vell::setWriteHook([this](int, size_t n) -> long {
            ++writes;
            return static_cast<long>(n);
        });
    }
    // Loads the quest n times; the file must stay as it was.
    void loadsWithoutWriting(int n)
    {
        const std::string before = readFile(path);
        countWrites();
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(iface.load(path.c_str())) << i;
        vell::setWriteHook(nullptr);
        EXPECT_EQ(writes, 0);
        const std::string after = readFile(path);
        EXPECT_TRUE(after == before) << "the file changed: " << before.size() << " bytes, now " << after.size();
    }
};

TEST_F(QuestLoadTest, ALoadWritesNothingToTheQuest)
{
    loadsWithoutWriting(3); // fresh from the template
    ASSERT_NE(party, nullptr);
    const int members = party->getCount();
    ASSERT_TRUE(iface.save());
    loadsWithoutWriting(3); // saved once
    EXPECT_EQ(party->getCount(), members);
    gameworld->getClock().advance(500);
    const uint32_t ticks = gameworld->getClock().getTicks();
    ASSERT_TRUE(iface.save());
    loadsWithoutWriting(2); // saved again
    EXPECT_EQ(gameworld->getClock().getTicks(), ticks);
}

TEST_F(QuestLoadTest, OnlyChangesNeverSavedAreRolledBack)
{
    ASSERT_TRUE(iface.load(path.c_str()));
    ASSERT_TRUE(iface.save());
    iface.fini();
    {
        // Left behind by a quest that was played on and never saved.
        auto archive = ArchiveFile_C::open(path, false);
        ASSERT_TRUE(archive);
        archive->setDurable(false);
        ASSERT_TRUE(archive->openDir("hall")->store(TagList_C(RefStr_C("Stray"))));
    }
    countWrites();
    ASSERT_TRUE(iface.load(path.c_str()));
    vell::setWriteHook(nullptr);
    EXPECT_GT(writes, 0) << "the rollback writes";
    EXPECT_FALSE(saveFile->openDir("hall")->hasEntry("Stray"));
    loadsWithoutWriting(2);
}

} // namespace
