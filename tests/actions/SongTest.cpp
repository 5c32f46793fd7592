// The bard songs: their refusals (a bard who interrupts loses the use, no
// other refusal spends anything, none sets anything), each
// song started outside combat and in a fight, the stops that undo each
// effect once, and the song's end event with a stale one and a song that no
// built-in class plays.
#include "SpellTest.h"

#include "actions/ActionFile.h"
#include "actions/Attributes.h"
#include "actions/GenericSong.h"
#include "actions/HealEffect.h"
#include "actions/Songs.h"
#include "events/Event_9100.h"
#include "rules/Party.h"
#include "rules/TagKeys.h"

namespace {

// A bard's instrument: the Lute's part bits.
constexpr uint32_t LUTE = 0x1u << 2;

class SongTest : public SpellTest {
protected:
    void SetUp() override {
        SpellTest::SetUp();
        addMusic();
    }
    // Every built-in song has music for the lute.
    void addMusic() {
        for (int32_t id : {SONG_BEASTY_SKIRL, SONG_PROUD_MARY, SONG_TRYLERS_INTUITION, SONG_WALKING_SONG})
            kit->actionEnv.music.emplace_back(id, LUTE);
    }
    bl3dPartyChar* bard(const char* name = "Lyra", int32_t songs = 3, bool male = false) {
        bl3dPartyChar* b = mage(name, 0, 0x2, 5, male);
        b->getTagList()->setInt(tagkey::CurSongs, songs);
        b->getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
        return b;
    }
    int sing(int32_t id, bl3dCharacter* who, int32_t request, std::vector<int> rolls = {}) {
        if (!rolls.empty())
            vell::scriptGameRand(rolls);
        bl3dAction* song = action(id);
        void* context[3] = {&text, nullptr, reinterpret_cast<void*>(static_cast<intptr_t>(request))};
        ActionUse_S* u = song->makeEntry(new bl3dActor(who), nullptr, 3, context);
        const int r = song->perform(u);
        song->freeEntry(u);
        return r;
    }
    static int32_t songs(const bl3dCharacter* b) { return intAttribute(b, tagkey::CurSongs); }
    static void runSongEnd() {
        Event_9100_C e;
        e.invoke(nullptr);
    }
};

TEST_F(SongTest, RefusalsSetNothingAndOnlyAnInterruptionSpendsAUse) {
    bl3dPartyChar* lyra = bard();
    struct Case {
        const char* what;
        uint32_t inst;
        int32_t uses;
        int32_t playing;
        int request;
        int result;
        const char* said;
        int32_t usesAfter;
    };
    const Case cases[] = {
        {"no instrument", 0x1u << 4, 3, 0, SONG_START, 3, "Lyra doesn't have the instrument needed to play Walking Song!", 3},
        {"no instrument in combat", 0, 3, 0, SONG_START_IN_COMBAT, 3,
         "#2Lyra#0 doesn't have the instrument needed to play Walking Song!", 3},
        {"no uses", LUTE, 0, 0, SONG_START, 1, "Lyra feels a little dry to perform.  Perhaps a cold brew would help?", 0},
        {"someone plays", LUTE, 3, SONG_PROUD_MARY, SONG_START, 2,
         "Someone is already playing!  It is the height of rudness to interrupt.", 2},
        {"someone plays in combat", LUTE, 3, SONG_PROUD_MARY, SONG_START_IN_COMBAT, 2,
         "Someone is already playing!  It is the height of rudness to interrupt.", 2},
        {"an unknown request", LUTE, 3, 0, 7, -1, "", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lyra->getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(c.inst));
        lyra->getTagList()->setInt(tagkey::CurSongs, c.uses);
        const char* var = c.request == SONG_START_IN_COMBAT ? tagkey::CBS : tagkey::NCBS;
        setWorld(var, c.playing);
        text.clear();
        EXPECT_EQ(sing(SONG_WALKING_SONG, lyra, c.request), c.result);
        EXPECT_EQ(said(), c.said);
        EXPECT_EQ(songs(lyra), c.usesAfter);
        EXPECT_EQ(world(var), c.playing);
        EXPECT_FALSE(lyra->isPlayingSong());
        EXPECT_EQ(world(tagkey::XCState), 0);
        EXPECT_EQ(kit->actionEnv.playCalls, 0);
        EXPECT_TRUE(kit->actionEnv.queued.empty());
        setWorld(var, 0);
    }
}

TEST_F(SongTest, BeastySkirlsRefusalsInAFightSpendTheUseButLeaveNoSongBehind) {
    bl3dPartyChar* lyra = bard("Lyra", 4);
    // The bestiary has no wolf.
    EXPECT_EQ(sing(SONG_BEASTY_SKIRL, lyra, SONG_START_IN_COMBAT), 0);
    EXPECT_EQ(said(), "#2Lyra#0 sings Beasty Skirl, but no beast answers the call!\n");
    beast("Wolf", 15);
    setWorld(tagkey::MagState1, MAGSTATE_NO_SUMMONING);
    sing(SONG_BEASTY_SKIRL, lyra, SONG_START_IN_COMBAT);
    EXPECT_EQ(said(), "#2Lyra#0 tries to sing Beasty Skirl, but nothing happens!\n");
    setWorld(tagkey::MagState1, 0);
    for (int i = 0; i < 7; ++i)
        mage(("M" + std::to_string(i)).c_str());
    sing(SONG_BEASTY_SKIRL, lyra, SONG_START_IN_COMBAT);
    EXPECT_EQ(said(), "#2Lyra#0 sings Beasty Skirl, but the party is full!\n");
    EXPECT_EQ(world(tagkey::CBS), 0) << "another bard may play";
    EXPECT_EQ(songs(lyra), 1) << "each refusal came after the use was spent";
    EXPECT_FALSE(lyra->isPlayingSong());
    EXPECT_EQ(kit->actionEnv.playCalls, 0);
    // Room again: the wolf joins, summoned.
    party->removeAt(7);
    EXPECT_EQ(sing(SONG_BEASTY_SKIRL, lyra, SONG_START_IN_COMBAT), 0);
    EXPECT_EQ(said(), "#2Lyra#0 sings Beasty Skirl...\n");
    ASSERT_EQ(party->getCount(), 8);
    EXPECT_STREQ(party->getMember(7)->getName(), "Wolf");
    EXPECT_EQ(party->getMember(7)->getClassId(), CLASS_SUMMONED);
    EXPECT_EQ(world(tagkey::CBS), SONG_BEASTY_SKIRL);
    EXPECT_TRUE(lyra->isPlayingSong());
    EXPECT_EQ(kit->actionEnv.playing, SONG_BEASTY_SKIRL);
    EXPECT_EQ(kit->actionEnv.playingParts, LUTE);
}

TEST_F(SongTest, EachSongOutsideCombatAndItsEnd) {
    struct Case {
        int32_t id;
        const char* said;
        const char* var;
        int32_t bit;
        const char* expiry;
        int expiryEvent;
    };
    const Case cases[] = {
        {SONG_BEASTY_SKIRL, "Lyra plays Beasty Skirl...", nullptr, 0, nullptr, 0},
        {SONG_PROUD_MARY, "Lyra sings Proud Mary for the ladies in the party!\n", nullptr, 0, nullptr, 0},
        {SONG_TRYLERS_INTUITION, "Lyra plays Vezivi'v Iroviriva...\n", tagkey::Percep1, 0x01, tagkey::MagExp21, 9011},
        {SONG_WALKING_SONG, "Lyra sings Walking Song...\n", tagkey::XCState, 0x08, tagkey::MagExp43, 9013},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        kit.reset();
        kit = std::make_unique<FightKit_C>();
        addMusic();
        bl3dPartyChar* lyra = bard();
        bl3dPartyChar* sam = mage("Sam", 0, 0x4, 1, true);
        EXPECT_EQ(sing(c.id, lyra, SONG_START, {100}), 0);
        const uint32_t end = now() + 220;
        EXPECT_EQ(said(), c.said);
        EXPECT_EQ(songs(lyra), 2);
        EXPECT_EQ(world(tagkey::NCBS), c.id);
        EXPECT_EQ(static_cast<uint32_t>(world(tagkey::NCBSEnd)), end);
        EXPECT_TRUE(lyra->isPlayingSong());
        EXPECT_EQ(kit->actionEnv.playing, c.id);
        EXPECT_EQ(queuedAt(EVENT_ID_BARD_SONG), std::vector<uint32_t>{end});
        if (c.var) {
            EXPECT_EQ(world(c.var), c.bit);
            EXPECT_EQ(static_cast<uint32_t>(world(c.expiry)), end) << "the bit ends with the song";
            EXPECT_EQ(queuedAt(c.expiryEvent), std::vector<uint32_t>{end});
        }
        if (c.id == SONG_BEASTY_SKIRL) {
            EXPECT_EQ(world(tagkey::MonsterJoin), 300);
        }
        if (c.id == SONG_PROUD_MARY) {
            EXPECT_EQ(lyra->getStatBlock()->getCur(STAT_LK), 12);
            EXPECT_EQ(lyra->getStatBlock()->getCur(STAT_CH), 12);
            EXPECT_EQ(sam->getStatBlock()->getCur(STAT_LK), 10);
        }

        // Before its end the event changes nothing; at its end the song
        // stops and its bit goes.
        kit->env.now = end - 1;
        runSongEnd();
        EXPECT_EQ(world(tagkey::NCBS), c.id);
        kit->env.now = end;
        runSongEnd();
        EXPECT_EQ(world(tagkey::NCBS), 0);
        EXPECT_FALSE(lyra->isPlayingSong());
        EXPECT_EQ(kit->actionEnv.playing, 0);
        if (c.var) {
            EXPECT_EQ(world(c.var), 0);
        }
        EXPECT_EQ(world(tagkey::MonsterJoin), 0);
        if (c.id == SONG_PROUD_MARY) {
            kit->tick(); // the modifiers end with the song
            EXPECT_EQ(lyra->getStatBlock()->getCur(STAT_LK), 10);
        }
    }
}

TEST_F(SongTest, AStaleEndEventLeavesTheNextSongAlone) {
    bl3dPartyChar* lyra = bard();
    sing(SONG_WALKING_SONG, lyra, SONG_START, {100}); // ends at now + 220
    const uint32_t firstEnd = now() + 220;
    kit->env.now += 50;
    // The song screen ends it early and starts another one.
    sing(SONG_WALKING_SONG, lyra, SONG_STOP);
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_EQ(world(tagkey::XCState), 0x08) << "the easier roads last to the song's planned end";
    sing(SONG_TRYLERS_INTUITION, lyra, SONG_START, {200}); // ends at now + 320
    kit->env.now = firstEnd;
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), SONG_TRYLERS_INTUITION);
    EXPECT_TRUE(lyra->isPlayingSong());
    EXPECT_EQ(kit->actionEnv.playing, SONG_TRYLERS_INTUITION);
    EXPECT_EQ(world(tagkey::Percep1), 0x01);
}

TEST_F(SongTest, SharedBitsEndOnlyWhenEveryoneHoldingThemHasEnded) {
    bl3dPartyChar* lyra = bard();
    // Mind Compass holds the compass longer than the song.
    setWorld(tagkey::Percep1, 0x01);
    setWorld(tagkey::MagExp21, static_cast<int32_t>(now() + 1000));
    sing(SONG_TRYLERS_INTUITION, lyra, SONG_START, {0}); // ends at now + 120
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp21)), now() + 1000);
    EXPECT_TRUE(queuedAt(9011).empty());
    kit->env.now += 120;
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_EQ(world(tagkey::Percep1), 0x01) << "the compass outlives the song";
    // The other way round: a short compass ends while the song plays on.
    setWorld(tagkey::Percep1, 0);
    setWorld(tagkey::MagExp21, static_cast<int32_t>(now() + 5));
    sing(SONG_TRYLERS_INTUITION, lyra, SONG_START, {0});
    kit->env.now += 5;
    expireMagicBits(&kit->env.tags, MAGIC_PERCEPTION, now()); // the compass's expiry event
    EXPECT_EQ(world(tagkey::Percep1), 0x01) << "the song holds it";
}

TEST_F(SongTest, StoppingUndoesTheSongsEffectOnce) {
    bl3dPartyChar* lyra = bard();
    bl3dPartyChar* kai = bard("Kai");
    sing(SONG_BEASTY_SKIRL, lyra, SONG_START, {0});
    EXPECT_EQ(world(tagkey::MonsterJoin), 300);
    kai->getStatBlock()->setBase(STAT_CONDITIONS, COND_SONG); // a stray mark
    sing(SONG_BEASTY_SKIRL, lyra, SONG_STOP);
    EXPECT_EQ(world(tagkey::MonsterJoin), 0);
    EXPECT_FALSE(lyra->isPlayingSong());
    EXPECT_FALSE(kai->isPlayingSong());
    // A second stop, or one with no song playing, undoes nothing more.
    text.clear();
    sing(SONG_BEASTY_SKIRL, lyra, SONG_STOP);
    EXPECT_EQ(world(tagkey::MonsterJoin), 0);
    EXPECT_EQ(kit->actionEnv.stopCalls, 2);
    EXPECT_EQ(said(), "") << "a stop outside combat says nothing";
}

TEST_F(SongTest, SongsInAFight) {
    bl3dPartyChar* lyra = bard("Lyra", 9);
    bl3dPartyChar* sam = mage("Sam", 0, 0x4, 1, true);
    bl3dMonsterList* near = kit->addGroup(beast("Gnoll", 20), 2, 90);
    bl3dMonsterList* far = kit->addGroup(beast("Imp", 20), 1, 100);
    near->getMonster(1)->setCurHP(0);

    EXPECT_EQ(sing(SONG_TRYLERS_INTUITION, lyra, SONG_START_IN_COMBAT, {1}), 0);
    EXPECT_EQ(said(), "#2Lyra#0 sings Vezivi'v Iroviriva at all who stand against you!\n");
    EXPECT_EQ(near->getMonster(0)->getStatBlock()->getCur(STAT_DX), 8);
    EXPECT_EQ(near->getMonster(1)->getStatBlock()->getCur(STAT_DX), 10) << "the dead are not touched";
    EXPECT_EQ(far->getMonster(0)->getStatBlock()->getCur(STAT_DX), 10);
    EXPECT_EQ(world(tagkey::CBS), SONG_TRYLERS_INTUITION);
    EXPECT_TRUE(queuedAt(EVENT_ID_BARD_SONG).empty());
    EXPECT_EQ(sing(SONG_TRYLERS_INTUITION, lyra, SONG_STOP_IN_COMBAT), 0);
    EXPECT_EQ(said(), "#2Lyra#0 stops playing.");
    EXPECT_EQ(world(tagkey::CBS), 0);
    EXPECT_FALSE(lyra->isPlayingSong());

    enemyList.clear();
    kit->addGroup(beast("Imp"), 1, 100);
    sing(SONG_TRYLERS_INTUITION, lyra, SONG_START_IN_COMBAT);
    EXPECT_EQ(said(),
              "#2Lyra#0 sings Vezivi'v Iroviriva at all who stand against you, but they are all out ouf range!\n");
    sing(SONG_TRYLERS_INTUITION, lyra, SONG_STOP_IN_COMBAT);

    // Proud Mary: the men stronger, everyone else better all round.
    sing(SONG_PROUD_MARY, lyra, SONG_START_IN_COMBAT, {0});
    EXPECT_EQ(sam->getStatBlock()->getCur(STAT_ST), 11);
    EXPECT_EQ(sam->getStatBlock()->getCur(STAT_DX), 10);
    for (int stat = STAT_ST; stat <= STAT_LK; ++stat)
        EXPECT_EQ(lyra->getStatBlock()->getCur(stat), 11) << stat;
    sing(SONG_PROUD_MARY, lyra, SONG_STOP_IN_COMBAT);

    // The Walking Song's mist lasts the fight and goes with the song, once.
    const int xcBefore = kit->actionEnv.xcCalls;
    sing(SONG_WALKING_SONG, lyra, SONG_START_IN_COMBAT);
    EXPECT_EQ(said(), "#2Lyra#0 plays Walking Song...");
    EXPECT_EQ(world(tagkey::XCState), 0x02);
    expireMagicBits(&kit->env.tags, MAGIC_ENCOUNTER, now() + 100); // a mist spell's expiry on the way
    EXPECT_EQ(world(tagkey::XCState), 0x02);
    sing(SONG_WALKING_SONG, lyra, SONG_STOP_IN_COMBAT);
    EXPECT_EQ(world(tagkey::XCState), 0);
    sing(SONG_WALKING_SONG, lyra, SONG_STOP_IN_COMBAT);
    EXPECT_EQ(kit->actionEnv.xcCalls, xcBefore + 2);
}

// A song played outside combat still runs while a fight's song starts and
// ends (a headless fight does not end it): the fight's end stops only the
// fight's music, and the song outside keeps its variable, its end and its
// effect, so its end event still ends it.
TEST_F(SongTest, AFightsSongEndsWithoutTheSongOutside) {
    bl3dPartyChar* lyra = bard("Lyra");
    bl3dPartyChar* kai = bard("Kai");
    kit->addGroup(beast("Gnoll", 20), 1, 30);
    ASSERT_EQ(sing(SONG_BEASTY_SKIRL, lyra, SONG_START, {0}), 0);
    const int32_t end = world(tagkey::NCBSEnd);
    ASSERT_EQ(world(tagkey::MonsterJoin), 300);
    ASSERT_EQ(sing(SONG_PROUD_MARY, kai, SONG_START_IN_COMBAT, {0}), 0);
    ASSERT_EQ(sing(SONG_PROUD_MARY, kai, SONG_STOP_IN_COMBAT), 0);
    EXPECT_EQ(kit->actionEnv.fightStopCalls, 1);
    EXPECT_EQ(kit->actionEnv.stopCalls, 0) << "the fight's end stopped the music of the song outside";
    EXPECT_EQ(world(tagkey::CBS), 0);
    EXPECT_EQ(world(tagkey::NCBS), SONG_BEASTY_SKIRL);
    EXPECT_EQ(world(tagkey::NCBSEnd), end);
    EXPECT_EQ(world(tagkey::MonsterJoin), 300);

    kit->env.now = static_cast<uint32_t>(end);
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_EQ(world(tagkey::MonsterJoin), 0);
    EXPECT_EQ(kit->actionEnv.stopCalls, 1);
}

TEST_F(SongTest, TheEndEventEndsASongNoClassPlays) {
    bl3dPartyChar* lyra = bard();
    lyra->getStatBlock()->setBase(STAT_CONDITIONS, COND_SONG);
    setWorld(tagkey::NCBS, SONG_DATA_LIGHT);
    setWorld(tagkey::MagLt1, 0x03);
    setWorld(tagkey::MagExp11, static_cast<int32_t>(now()));
    setWorld(tagkey::MagExp12, static_cast<int32_t>(now() + 50));
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_FALSE(lyra->isPlayingSong());
    EXPECT_EQ(world(tagkey::MagLt1), 0x02);
    EXPECT_EQ(kit->actionEnv.stopCalls, 1);
    // Nobody marked as playing: the song ends all the same.
    sing(SONG_WALKING_SONG, lyra, SONG_START, {0});
    lyra->getStatBlock()->setBase(STAT_CONDITIONS, 0);
    kit->env.now += 120;
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_EQ(world(tagkey::XCState), 0);
}

// A song of the action data file: a whole-party heal that raises the dead.
constexpr int32_t DATA_RAISE_SONG = 0x0040b016;

bl3dGenericSong* addDataSong(int32_t id, const char* name, uint8_t targetKind, EffectList effects) {
    ActionDef_S def;
    def.id = static_cast<uint32_t>(id);
    def.name = name;
    def.targetKind = targetKind;
    def.level = 1;
    def.actionType = ACTION_RECORD_SKILL;
    def.classMask = 0x2;
    def.verb = "play";
    def.preposition = "for";
    def.gerund = "rais";
    auto* song = new bl3dGenericSong(def, std::move(effects));
    masterActionList.add(song, 0);
    return song;
}

bl3dGenericSong* addRaiseSong() {
    HealBody_S heal;
    heal.mode = TARGET_OWN_SIDE;
    heal.count = 1;
    heal.sides = 6;
    heal.flags = 1;
    EffectList effects;
    effects.push_back(std::make_unique<bl3dHealEffect>(heal));
    return addDataSong(DATA_RAISE_SONG, "Song of Return", TARGET_OWN_SIDE, std::move(effects));
}

TEST_F(SongTest, ADataSongKeepsEveryRuleOfTheSongs) {
    addRaiseSong();
    bl3dPartyChar* lyra = bard("Lyra", 1);
    lyra->getTagList()->setInt(tagkey::Inst, 0);
    bl3dPartyChar* sam = mage("Sam", 0, 0x4, 1, true);
    sam->setCurHP(0);
    kit->actionEnv.music.emplace_back(DATA_RAISE_SONG, LUTE);

    // No instrument, then no uses: the dead stay dead, however often asked.
    EXPECT_EQ(sing(DATA_RAISE_SONG, lyra, SONG_START), 3);
    lyra->getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
    lyra->getTagList()->setInt(tagkey::CurSongs, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sing(DATA_RAISE_SONG, lyra, SONG_START), 1);
    EXPECT_EQ(said(), "Lyra feels a little dry to perform.  Perhaps a cold brew would help?");
    EXPECT_EQ(sam->getCurHP(), 0);

    // With a use it plays as every song does: the use spent, the song held
    // in "NCBS" to its end, the bard marked, the music on.
    lyra->getTagList()->setInt(tagkey::CurSongs, 2);
    EXPECT_EQ(sing(DATA_RAISE_SONG, lyra, SONG_START, {100, 0}), 0);
    const uint32_t end = now() + 220;
    EXPECT_EQ(songs(lyra), 1);
    EXPECT_GE(sam->getCurHP(), 1) << "raised";
    EXPECT_NE(said().find("#2Lyra#0 plays for the party"), std::string::npos) << said();
    EXPECT_EQ(world(tagkey::NCBS), DATA_RAISE_SONG);
    EXPECT_TRUE(lyra->isPlayingSong());
    EXPECT_EQ(kit->actionEnv.playing, DATA_RAISE_SONG);
    EXPECT_EQ(queuedAt(EVENT_ID_BARD_SONG), std::vector<uint32_t>{end});

    // A second bard interrupting loses a use and raises nobody.
    bl3dPartyChar* kai = bard("Kai");
    sam->setCurHP(0);
    EXPECT_EQ(sing(DATA_RAISE_SONG, kai, SONG_START), 2);
    EXPECT_EQ(songs(kai), 2);
    EXPECT_EQ(sam->getCurHP(), 0);

    // It ends at its end as every song does.
    kit->env.now = end;
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_FALSE(lyra->isPlayingSong());
    EXPECT_EQ(kit->actionEnv.playing, 0);

    // In a fight it holds "CBS" and is stopped as the fight's song.
    EXPECT_EQ(sing(DATA_RAISE_SONG, lyra, SONG_START_IN_COMBAT), 0);
    EXPECT_EQ(world(tagkey::CBS), DATA_RAISE_SONG);
    EXPECT_EQ(sing(DATA_RAISE_SONG, lyra, SONG_STOP_IN_COMBAT), 0);
    EXPECT_EQ(said(), "#2Lyra#0 stops playing.");
    EXPECT_EQ(world(tagkey::CBS), 0);
    EXPECT_FALSE(action(DATA_RAISE_SONG)->isSkill()) << "the skill screen does not offer it";
}

TEST_F(SongTest, TheLightSongLightsTheWayUntilItsEnd) {
    addDataSong(SONG_DATA_LIGHT, "Lantern Song", TARGET_ALL_ENEMIES, {});
    kit->actionEnv.music.emplace_back(SONG_DATA_LIGHT, LUTE);
    bl3dPartyChar* lyra = bard();
    const int lightBefore = kit->actionEnv.lightCalls;
    EXPECT_EQ(sing(SONG_DATA_LIGHT, lyra, SONG_START, {100}), 0);
    const uint32_t end = now() + 220;
    EXPECT_EQ(said(), "Lyra plays Lantern Song...\n");
    EXPECT_EQ(world(tagkey::MagLt1), 0x01);
    EXPECT_EQ(static_cast<uint32_t>(world(tagkey::MagExp11)), end);
    EXPECT_EQ(kit->actionEnv.lightCalls, lightBefore + 1);
    kit->env.now = end;
    runSongEnd();
    EXPECT_EQ(world(tagkey::NCBS), 0);
    EXPECT_EQ(world(tagkey::MagLt1), 0);
    EXPECT_EQ(kit->actionEnv.lightCalls, lightBefore + 2);
}

} // namespace
