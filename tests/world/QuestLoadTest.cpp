// Loading a quest reads it and writes nothing to its file: not on a quest
// fresh from the template, not on one saved before, however often it is
// loaded. The one write a load makes is the rollback of changes that were
// never saved. A quest whose file is read-only is never written at all; a
// record that could not be stored during play is stored by the next save.
#include "WorldTestUtil.h"

#include "support/TestFiles.h"
#include "core/ArchiveFile.h"
#include "core/TagList.h"
#include "app/GameEvents.h"
#include "platform/FileIO.h"
#include "rules/Party.h"
#include "rules/RulesEnv.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/QuestStores.h"

#include <sys/stat.h>

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

// The owner marks the quest's file read-only, before it is loaded or while
// it is played: what play stores and what a save would store never reach it.
TEST_F(QuestLoadTest, AReadOnlyQuestIsNeverWritten)
{
    ASSERT_TRUE(iface.load(path.c_str()));
    ASSERT_TRUE(iface.save());
    EXPECT_FALSE(iface.isReadOnlyQuest());
    const std::string before = readFile(path);
    struct Writable {
        std::string path;
        ~Writable() { ::chmod(path.c_str(), 0644); }
    } writable{path};

    // Marked while in play: the save is refused.
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(iface.save());
    EXPECT_NE(iface.lastSaveError().find("read-only"), std::string::npos) << iface.lastSaveError();
    iface.fini();
    EXPECT_TRUE(readFile(path) == before);

    // Loaded read-only (as root too, who may write any file): played from a
    // copy that is gone with the quest.
    const std::string tmp = std::string(::testing::TempDir()) + "vell_quest_tmp_" + std::to_string(::getpid());
    ASSERT_EQ(::mkdir(tmp.c_str(), 0755), 0);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string keptTmp = oldTmp ? oldTmp : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);
    const bool loaded = iface.load(path.c_str());
    oldTmp ? ::setenv("TMPDIR", keptTmp.c_str(), 1) : ::unsetenv("TMPDIR");
    ASSERT_TRUE(loaded) << iface.lastLoadError();
    EXPECT_TRUE(iface.isReadOnlyQuest());
    EXPECT_EQ(::rmdir(tmp.c_str()), 0) << "the copy is left in the temporary folder";
    ASSERT_NE(party, nullptr);
    EXPECT_GT(party->getCount(), 0);
    ASSERT_TRUE(saveFile->openDir("hall")->store(TagList_C(RefStr_C("Stray")))) << "play stores as ever";
    gameworld->getClock().advance(500);
    EXPECT_FALSE(iface.save());
    EXPECT_NE(iface.lastSaveError().find("read-only"), std::string::npos) << iface.lastSaveError();
    iface.fini();
    EXPECT_TRUE(readFile(path) == before) << "the read-only quest was written";
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

// A record whose store failed during play (a shop's stock when the disk was
// full) waits for the next save, which stores it first, or fails saying
// which; a quest loaded anew forgets it.
TEST_F(QuestLoadTest, ARecordLeftUnstoredIsStoredByTheNextSave)
{
    getTypeRegistry().add(TYPE_TAG_LIST, &TagList_C::create);
    ASSERT_TRUE(iface.load(path.c_str()));
    TagList_C ledger(RefStr_C("ledger.dat"));
    ledger.setInt("Axes", 3);
    keepUnstored("shop", ledger);
    ledger.setInt("Axes", 2);
    keepUnstored("shop", ledger); // the newer copy takes the older one's place
    std::unique_ptr<Storable_C> waiting = loadUnstored("shop", "ledger.dat");
    ASSERT_NE(dynamic_cast<TagList_C*>(waiting.get()), nullptr);
    EXPECT_EQ(static_cast<TagList_C*>(waiting.get())->intValue("Axes"), 2);

    vell::setWriteHook([](int, size_t) -> long { return -1; });
    EXPECT_FALSE(iface.save());
    vell::setWriteHook(nullptr);
    EXPECT_NE(iface.lastSaveError().find("shop/ledger.dat"), std::string::npos) << iface.lastSaveError();
    EXPECT_NE(loadUnstored("shop", "ledger.dat"), nullptr) << "it waits on";

    ASSERT_TRUE(iface.save()) << iface.lastSaveError();
    EXPECT_EQ(loadUnstored("shop", "ledger.dat"), nullptr);
    iface.fini();
    {
        auto archive = ArchiveFile_C::open(path, false);
        ASSERT_TRUE(archive);
        std::unique_ptr<Storable_C> stored = archive->openDir("shop")->load("ledger.dat");
        ASSERT_NE(dynamic_cast<TagList_C*>(stored.get()), nullptr);
        EXPECT_EQ(static_cast<TagList_C*>(stored.get())->intValue("Axes"), 2);
    }

    ASSERT_TRUE(iface.load(path.c_str()));
    keepUnstored("shop", ledger);
    ASSERT_TRUE(iface.load(path.c_str()));
    EXPECT_EQ(loadUnstored("shop", "ledger.dat"), nullptr) << "a record of the quest before";
}

} // namespace
