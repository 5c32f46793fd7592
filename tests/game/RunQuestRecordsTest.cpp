// Whole-program runs of what a quest keeps: the ready-made adventurers as a
// new quest holds them, a shop's stock whose store failed when the party
// left the shop, a quest whose file its owner marked read-only, and the
// adventurers of the hall when monsters join the party.
#include "RunGame.h"

#include <sys/resource.h>

using namespace rungame;

namespace {

// Red text in the upper part of the text pane (a warning's first words).
int paneRed(const Shot& s)
{
    return s.count(730, 60, 250, 140, [](int r, int g, int b) { return r >= 50 && g < 80 && r > g + 35 && r > b + 35; });
}

bool has(const std::vector<std::string>& v, const std::string& what)
{
    return std::find(v.begin(), v.end(), what) != v.end();
}

// A record of a saved quest's hall (its roster): whose class and gold.
struct HallRecord {
    bool found = false;
    int32_t classId = 0;
    int64_t gold = 0;
    bool isMonster() const { return (classId & (CLASS_JOINED | CLASS_SUMMONED)) != 0; }
};

// Reads the record; the item catalogue must be loaded (savedParty loads it).
HallRecord hallRecord(const std::string& questFile, const char* name)
{
    HallRecord out;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(questFile, false);
    if (!archive) {
        ADD_FAILURE() << "cannot open " << questFile;
        return out;
    }
    DirHandle_C hall = archive->hasEntry("hall") ? archive->openDir("hall") : DirHandle_C();
    std::unique_ptr<Storable_C> rec = hall && hall->hasEntry(name) ? hall->load(name) : nullptr;
    if (auto* m = dynamic_cast<bl3dPartyChar*>(rec.get())) {
        out.found = true;
        out.classId = m->getClassId();
        out.gold = m->rawGold();
    }
    return out;
}

class RunQuestRecordsTest : public RunGameTest {
protected:
    // The street with the whole party and nothing in the text pane.
    static bool onStreet(const Shot& s) { return questView(s, kParty) && paneText(s) < 50; }
    // The street with a message in the text pane.
    static bool messageOnStreet(const Shot& s)
    {
        return streetWithPane(s) && rosterRows(s) == kParty && paneText(s) > 100;
    }
    static bool streetWithPane(const Shot& s) { return frameShown(s) && viewLit(s); }

    // A new quest of that name (xdotool keys), from the Hall onto the
    // street, saved there.
    void newQuestOnStreet(const std::string& name, Shot& shot)
    {
        newQuest(name);
        if (HasFatalFailure())
            return;
        ventureForth(kParty, shot);
        if (HasFatalFailure())
            return;
        save(shot, onStreet, "on the street");
    }

    // The soft limit on the size of the files the game writes (RLIMIT_FSIZE):
    // a write past it fails as on a full disk (the game ignores SIGXFSZ).
    bool limitFileSize(rlim_t bytes)
    {
        const int game = gamePid();
        const rlimit limit{bytes, RLIM_INFINITY};
        return game > 0 && ::prlimit(game, RLIMIT_FSIZE, &limit, nullptr) == 0;
    }
};

// A new quest's ready-made adventurers know what character creation gives
// every new adventurer of their class: the standard moves of a fight and
// their class's gifts (Corvin, a Magician of the first school, the first
// spells of his school; Liesel, a Harper, her song and her skill; Ysolde, a
// Novice, her Mind Compass).
TEST_F(RunQuestRecordsTest, ReadyMadeAdventurersKnowWhatARecruitKnows)
{
    Shot shot;
    newQuestOnStreet("r m 1", shot);
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());

    const std::vector<SavedMember> saved = savedParty(dir_ + "/savegame/RM1", dir_);
    ASSERT_EQ(namesOf(saved), (std::vector<std::string>{"Bran", "Ysolde", "Tamsin", "Corvin", "Liesel"}));
    for (const SavedMember& m : saved)
        for (const char* move : {"Attack", "Defend", "Advance", "EquipItem", "Retreat"})
            EXPECT_TRUE(has(m.abilities, move)) << m.name << " does not know " << move;
    const struct {
        size_t member;
        bool spell;
        const char* action;
    } gifts[] = {
        {3, true, "Call Sprite"},  {3, true, "Arcane Dart"}, {4, false, "Walking Song"},
        {4, false, "Pick Pockets"}, {1, false, "Mind Compass"},
    };
    for (const auto& g : gifts) {
        const SavedMember& m = saved[g.member];
        EXPECT_TRUE(has(g.spell ? m.spells : m.abilities, g.action)) << m.name << " lacks " << g.action;
    }
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

// Bran buys a Hand Axe in Starfire Swords. When the party leaves, the disk
// is full: the shopkeeper's ledger cannot be written, and the game says so.
// With room again, the quest is saved: the save holds the axe in Bran's
// pack and one axe fewer on the shelf (four were there), as a save after an
// undisturbed visit does.
TEST_F(RunQuestRecordsTest, ShopStockThatCouldNotBeWrittenIsSavedWithTheQuest)
{
    guardSeconds_ = 3 * kGuardSeconds;
    Shot shot;
    newQuestOnStreet("s t 1", shot);
    ASSERT_FALSE(HasFatalFailure());
    const std::string quest = dir_ + "/savegame/ST1";
    const std::vector<SavedMember> before = savedParty(quest, dir_);
    ASSERT_EQ(before.size(), size_t(kParty));
    ASSERT_TRUE(savedStock(quest, "starfire.dat").empty()) << "no visit yet, no stock";

    walk(shot, routes::hallToStarfireSwords());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(onStreet(shot)) << "a building or a script on the way to the shop";
    enter(shot, "Starfire Swords");
    ASSERT_FALSE(HasFatalFailure());
    // Bran (F1): (B)uy, (B)laded weapons, the first (the Hand Axe), (Y)es;
    // ESC back to the categories, to the business, to the welcome.
    pressAllUntilChanged(shot, {"F1", "b", "b", "Return", "y", "Escape", "Escape", "Escape"}, "buying an axe");
    ASSERT_FALSE(HasFatalFailure());

    // Past the archive's 12-byte header nothing can be written now.
    ASSERT_TRUE(limitFileSize(12)) << "the game's file size cannot be limited";
    keys("Escape");
    ASSERT_TRUE(waitSettled(messageOnStreet, 20, shot))
        << "no word of the ledger that could not be written; game said:\n" << gameErrors();
    ASSERT_TRUE(limitFileSize(RLIM_INFINITY));
    keys("space");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    save(shot, onStreet, "after the shop");
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());

    const std::vector<SavedMember> saved = savedParty(quest, dir_);
    ASSERT_EQ(saved.size(), size_t(kParty));
    EXPECT_EQ(saved[0].gold, before[0].gold - 45) << "the Hand Axe costs 45";
    EXPECT_TRUE(has(saved[0].pack, "Hand Axe"));
    const std::map<std::string, int32_t> stock = savedStock(quest, "starfire.dat");
    ASSERT_TRUE(stock.count("Hand Axe")) << "the save holds no stock of Starfire Swords";
    EXPECT_EQ(stock.at("Hand Axe"), 3) << "four on the shelf, one sold";
    masterITL.clear();
}

// The owner of a saved quest marks its file read-only. Loaded, the quest
// says that it cannot be saved and is played; saving it is refused with
// the reason on the screen; the file stays as it was, byte for byte.
TEST_F(RunQuestRecordsTest, ReadOnlyQuestIsPlayedButNeverWritten)
{
    guardSeconds_ = 2 * kGuardSeconds;
    Shot shot;
    newQuestOnStreet("r o 1", shot);
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());
    const std::string quest = dir_ + "/savegame/RO1";
    ASSERT_EQ(::chmod(quest.c_str(), 0444), 0);
    const std::string bytes = readFile(quest);
    ASSERT_FALSE(bytes.empty());

    loadFirstQuest();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitSettled([](const Shot& s) { return messageOnStreet(s) && paneRed(s) > 20; }, 30, shot))
        << "the quest did not say that it is read-only; game said:\n" << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    // Played: a turn and a step.
    pressAllUntilChanged(shot, {"Right", "Up"}, "walking in a read-only quest");
    ASSERT_FALSE(HasFatalFailure());
    keys("Escape");
    ASSERT_TRUE(waitSettled(menuVisible, 20, shot)) << gameErrors();
    keys("s");
    ASSERT_TRUE(waitSettled([](const Shot& s) { return messageOnStreet(s) && paneRed(s) > 20; }, 30, shot))
        << "the refused save was not shown; game said:\n" << gameErrors();
    keys("space");
    ASSERT_TRUE(waitSettled(onStreet, 20, shot)) << gameErrors();
    quit();
    ASSERT_FALSE(HasFatalFailure());

    EXPECT_TRUE(readFile(quest) == bytes) << "the read-only quest was written";
    struct stat st;
    ASSERT_EQ(::stat(quest.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_NE(gameErrors().find("read-only"), std::string::npos) << gameErrors();
    masterITL.clear();
}

// An adventurer named Wolf is recruited and rests in the hall. At night a
// fight comes, and Liesel sings Beasty Skirl: a wolf joins the party. It
// comes as "Wolf 2", and the quest saved after the fight holds both the
// adventurer (his class and gold as recruited) and the wolf. Dismissed, the
// wolf leaves the hall; the adventurer stays.
//
// VELL_SEED fixes the dice of the road to the fight and of the fight
// (seed 1: that of WalkTheTownAtNightWinTheFightTakeTheLootSaveAndLoad).
TEST_F(RunQuestRecordsTest, AWolfThatJoinsNeverTakesAnAdventurersPlace)
{
    guardSeconds_ = 15 * kGuardSeconds;
    seed_ = 1;
    newQuest("w o 1");
    ASSERT_FALSE(HasFatalFailure());
    Shot hall, shot;
    ASSERT_TRUE(waitSettled(hallShown, 30, hall)) << "no Hall of Adventurers; game said:\n" << gameErrors();
    // Recruited: a Human man of the first class offered, named Wolf.
    keys("r h m c Return shift+w o l f Return");
    ASSERT_TRUE(waitSettled([&](const Shot& s) { return hallShown(s) && differing(hall, s, 700, 50, 310, 430) == 0.0; },
                            30, shot))
        << "the Hall's menu did not come back; game said:\n" << gameErrors();
    ventureForth(kParty, shot);
    ASSERT_FALSE(HasFatalFailure());
    save(shot, calmStreet, "on the street");
    ASSERT_FALSE(HasFatalFailure());
    const std::string quest = dir_ + "/savegame/WO1";
    const std::vector<SavedMember> started = savedParty(quest, dir_);
    ASSERT_EQ(started.size(), size_t(kParty));
    const HallRecord adventurer = hallRecord(quest, "Wolf");
    ASSERT_TRUE(adventurer.found) << "the recruit is not in the hall";
    ASSERT_FALSE(adventurer.isMonster());
    ASSERT_GT(adventurer.gold, 0);
    auto adventurerStays = [&](const char* when) {
        const HallRecord now = hallRecord(quest, "Wolf");
        EXPECT_TRUE(now.found) << when << ": the adventurer Wolf is gone from the hall";
        EXPECT_EQ(now.classId, adventurer.classId) << when << ": the hall's Wolf is no longer the adventurer";
        EXPECT_EQ(now.gold, adventurer.gold) << when;
    };

    // Liesel's songs, in the order of her list in a fight.
    const SavedMember& liesel = started[4];
    ASSERT_EQ(liesel.name, "Liesel");
    std::vector<std::string> songs;
    for (const std::string& a : liesel.abilities)
        if (a == "Beasty Skirl" || a == "Walking Song")
            songs.push_back(a);
    const auto skirl = std::find(songs.begin(), songs.end(), "Beasty Skirl");
    ASSERT_NE(skirl, songs.end()) << "Liesel does not know Beasty Skirl";

    SavedQuest rested;
    int waits = 0;
    toTheLaneAtDusk(shot, quest, &rested, &waits);
    ASSERT_FALSE(HasFatalFailure());
    const int steps = walkTheLaneUntilAFight(shot, 200);
    ASSERT_FALSE(HasFailure());
    std::printf("[ outcome ] seed %lld: a fight after %d steps at night\n", seed_, steps);
    // The bard (the only one who (P)lays) chooses Beasty Skirl from her
    // list; in the next rounds she plays on ((C)ontinue).
    std::vector<std::string> order = fightKeys();
    order.insert(std::find(order.begin(), order.end(), "o") + 1, "c");
    bool sang = false;
    playFight(shot, 600, order, {"p"}, [&](const std::string&, Shot& now) {
        bool moved = true;
        for (auto i = songs.begin(); i != skirl && moved; ++i)
            moved = tryKey(now, "Down");
        sang = moved && tryKey(now, "Return");
    });
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(sang) << "Liesel did not get to sing";
    ASSERT_FALSE(hallShown(shot)) << "the party died (seed " << seed_ << ")";
    ASSERT_TRUE(waitSettled(calmStreet, 30, shot)) << gameErrors();

    save(shot, calmStreet, "after the fight");
    ASSERT_FALSE(HasFatalFailure());
    const std::vector<std::string> fought = namesOf(savedParty(quest, dir_));
    const auto wolf = std::find(fought.begin(), fought.end(), "Wolf 2");
    EXPECT_FALSE(has(fought, "Wolf")) << "the wolf joined under the adventurer's name";
    adventurerStays("saved after the fight");
    ASSERT_NE(wolf, fought.end()) << "no Wolf 2 in the party after the fight (seed " << seed_ << ")";
    EXPECT_TRUE(hallRecord(quest, "Wolf 2").isMonster());

    // Dismissed: (D), the wolf's F-key, (Y)es.
    const int slot = int(wolf - fought.begin());
    pressAllUntilChanged(shot, {"d", "F" + std::to_string(slot + 1), "y"}, "dismissing the wolf");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitSettled(calmStreet, 20, shot)) << gameErrors();
    save(shot, calmStreet, "after dismissing the wolf");
    ASSERT_FALSE(HasFatalFailure());
    quit();
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> left = fought;
    left.erase(left.begin() + slot);
    EXPECT_EQ(namesOf(savedParty(quest, dir_)), left);
    adventurerStays("saved after dismissing the wolf");
    EXPECT_FALSE(hallRecord(quest, "Wolf 2").found) << "the dismissed wolf stays in the hall";
    EXPECT_EQ(gameErrors().find("ERROR"), std::string::npos) << gameErrors();
    masterITL.clear();
}

} // namespace
