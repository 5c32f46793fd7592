// Whole fights in the game's fight event, driven by pushed keys under X:
// a victory with its experience and gold, a surrender, running away, the
// party's death and the all-dead path after it; the pace of a round and
// what is left of it after the fight.
#include "CombatFixture.h"
#include "../audio/RecordingPort.h"
#include "rules/TagKeys.h"

#include "actions/Songs.h"
#include "audio/MasterAudio.h"
#include "core/ScrollList.h"
#include "core/TimerWork.h"
#include "events/Event_4001.h"
#include "rules/ClassDefFile.h"
#include "world/Map.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

namespace {

using namespace combattest;
using E = Event_4000_C;

class CombatTest : public CombatFixture {
protected:
    void everyoneAttacks()
    {
        play({{E::ROUND_MENU, {SDLK_f}}, {E::MEMBER_TURN, {SDLK_a}}, {E::CHOOSE_GROUP, {SDLK_a}},
              {E::BEGIN_COMBAT, {SDLK_y}}});
    }
    // Wolves that neither die of blows nor hurt anyone.
    bl3dMonsterList* wolves(int count)
    {
        MonsterSpec_S s;
        s.name = "Wolf";
        s.plural = "Wolves";
        s.hp = 5000;
        s.stats[STAT_ATTACK] = -50;
        s.stats[STAT_DX] = 1;
        return addGroup(monsterType(s), count, 10);
    }
    // One hit point left, and a poison that takes one at every tick with no
    // saving throw: the round's closing tick kills.
    static void dyingOfPoison(bl3dCharacter& who)
    {
        who.setCurHP(1);
        who.poison(9999, 0, 0, 1, 1, false);
    }
    // How many rounds were performed so far (each one ends on the round menu
    // or the fight's end).
    int roundsPerformed() const
    {
        const std::vector<int> s = states();
        return static_cast<int>(std::count(s.begin(), s.end(), static_cast<int>(E::PERFORMING)));
    }
};

TEST_F(CombatTest, AWonFightSharesTheExperienceAndKeepsThePace)
{
    bl3dPartyChar& ann = fighter("Ann");
    bl3dPartyChar& bob = fighter("Bob");
    bl3dPartyChar& cyd = fighter("Cyd");
    bl3dPartyChar& dee = fighter("Dee");
    dee.setCurHP(0);
    gameConfig.difficulty = 0; // easy: 1.2 times the experience
    addGroup(orc(101, 7), 1, 10);
    everyoneAttacks();
    // The victory's text stands in black in the upper-right pane.
    int darkInPane = -1;
    beforeKey = [&darkInPane](int state) {
        if (state == E::VICTORY && darkInPane < 0)
            darkInPane = countNear(730, 400, 250, 280, {0, 0, 0}, 40);
        return false;
    };
    const uint32_t before = now();
    EXPECT_EQ(fight(), 0);
    EXPECT_GT(darkInPane, 200);
    EXPECT_TRUE(enemyList.empty());
    // 101 x 1.2 = 121, shared by the three living: 40 each.
    EXPECT_EQ(ann.getXP(), 40);
    EXPECT_EQ(bob.getXP(), 40);
    EXPECT_EQ(cyd.getXP(), 40);
    EXPECT_EQ(dee.getXP(), 0);
    EXPECT_TRUE(lastIn(E::VICTORY).mentions("you have gained 40 experience points each!"));
    EXPECT_TRUE(lastIn(E::VICTORY).has("(F)risk the bodies for treasure"));
    EXPECT_TRUE(lastIn(E::VICTORY).has("(L)eave the scene"));
    EXPECT_TRUE(lastIn(E::ROUND_MENU).has("1 Orc (10')"));
    EXPECT_TRUE(lastIn(E::ROUND_MENU).has("(F)ight with valor"));
    EXPECT_FALSE(lastIn(E::ROUND_MENU).has("(U)se previous orders")) << "no orders were given yet";
    EXPECT_TRUE(lastIn(E::BEGIN_COMBAT).has("Begin combat?"));
    EXPECT_TRUE(anyMentions("Ann, what will you do?"));
    EXPECT_TRUE(anyMentions("Cyd, what will you do?"));
    EXPECT_FALSE(anyMentions("Dee, what will you do?")) << "the orders stop at the first dead member";
    // The absent pace was 1000 ms, and stays so; leaving spends a tick.
    EXPECT_EQ(worldVar(tagkey::CombatDelay), 1000);
    EXPECT_GE(now(), before + 1);
    EXPECT_FALSE(enemyList.isInCombat());
    // The dead stay behind the living.
    EXPECT_EQ(party->getMember(3), &dee);
}

TEST_F(CombatTest, RoundsGoOnUntilTheLastFoeFallsAndEachRoundSpendsATick)
{
    fighter("Ann");
    MonsterSpec_S tough;
    tough.name = "Troll";
    tough.plural = "Trolls";
    tough.hp = 25;
    tough.xp = 3;
    addGroup(monsterType(tough), 1, 10);
    addGroup(orc(5), 2, 30);
    // Round two on: the previous orders.
    play({{E::ROUND_MENU, {SDLK_f, SDLK_u}}, {E::MEMBER_TURN, {SDLK_a}}, {E::CHOOSE_GROUP, {SDLK_a}},
          {E::BEGIN_COMBAT, {SDLK_y}}});
    const uint32_t before = now();
    EXPECT_EQ(fight(), 0);
    EXPECT_TRUE(enemyList.empty());
    EXPECT_TRUE(lastIn(E::CHOOSE_GROUP).has("Which will you bravely attack?"));
    EXPECT_TRUE(lastIn(E::CHOOSE_GROUP).has("A)"));
    EXPECT_TRUE(lastIn(E::CHOOSE_GROUP).has("2 Orcs (30')"));
    EXPECT_TRUE(lastIn(E::ROUND_MENU).has("(U)se previous orders"));
    int rounds = 0;
    for (size_t i = 1; i < states().size(); ++i)
        if (states()[i] == E::ROUND_MENU)
            ++rounds;
    EXPECT_GE(rounds, 1);
    // One tick per round with foes left, one for leaving.
    EXPECT_EQ(now(), before + static_cast<uint32_t>(rounds) + 1);
    EXPECT_EQ(party->getMember(0)->getXP(), 3 + 2 * 5);
}

TEST_F(CombatTest, WhomTheRoundsTickKillsLeavesTheFieldAndTheRanksAtOnce)
{
    bl3dPartyChar& ann = fighter("Ann");
    bl3dPartyChar& bob = fighter("Bob");
    dyingOfPoison(ann);
    bl3dMonsterList* pack = wolves(2);
    dyingOfPoison(*pack->getMonster(1));
    // Both defend; the round's tick kills Ann and a wolf. The next round's
    // orders begin with Bob, who defends; then the party runs.
    play({{E::ROUND_MENU, {SDLK_f, SDLK_f, SDLK_r}}, {E::MEMBER_TURN, {SDLK_d}}, {E::BEGIN_COMBAT, {SDLK_y}}});
    std::vector<Shown> menus; // the round menu as each round left it
    std::vector<std::string> askedInRoundTwo;
    beforeKey = [&](int state) {
        if (state == E::ROUND_MENU && roundsPerformed() > static_cast<int>(menus.size()))
            menus.push_back(last());
        if (state == E::MEMBER_TURN && roundsPerformed() == 1)
            askedInRoundTwo.push_back(event().getCurMember() < party->getCount()
                                          ? party->getMember(event().getCurMember())->getName()
                                          : "");
        return false;
    };
    EXPECT_EQ(fight(), 1);
    EXPECT_LE(ann.getCurHP(), 0);
    ASSERT_GE(menus.size(), 1u);
    EXPECT_TRUE(menus[0].has("1 Wolf (10')")) << "the poisoned wolf is gone";
    EXPECT_FALSE(menus[0].mentions("2 Wolves"));
    EXPECT_EQ(askedInRoundTwo, std::vector<std::string>{"Bob"}) << "Bob gives his order; the dead give none";
    EXPECT_EQ(roundsPerformed(), 2);
    EXPECT_EQ(pack->getSize(), 1u);
    EXPECT_EQ(party->getMember(0), &bob);
    EXPECT_EQ(party->getMember(1), &ann);
}

TEST_F(CombatTest, ARoundsTickThatKillsTheLastFoeOrTheLastMemberEndsTheFightThere)
{
    struct Case {
        const char* what;
        bool memberDies;
        int result;
        int endState;
    };
    for (const Case c : {Case{"the last wolf", false, 0, E::VICTORY}, Case{"the last member", true, -1, E::PERISHED}}) {
        SCOPED_TRACE(c.what);
        forget();
        while (party->getCount() > 0)
            party->removeAt(0);
        enemyList.clear();
        bl3dPartyChar& ann = fighter("Ann");
        bl3dMonsterList* pack = wolves(1);
        dyingOfPoison(c.memberDies ? static_cast<bl3dCharacter&>(ann) : *pack->getMonster(0));
        // Ann defends; should the fight go on, she runs.
        play({{E::ROUND_MENU, {SDLK_f, SDLK_r}}, {E::MEMBER_TURN, {SDLK_d}}, {E::BEGIN_COMBAT, {SDLK_y}}});
        const uint32_t before = now();
        int32_t xpAtEnd = -1;
        beforeKey = [&](int state) {
            if (state == E::VICTORY && xpAtEnd < 0)
                xpAtEnd = event().getXpPool();
            return false;
        };
        EXPECT_EQ(fight(), c.result);
        EXPECT_EQ(roundsPerformed(), 1);
        const std::vector<int> s = states();
        EXPECT_EQ(std::count(s.begin(), s.end(), static_cast<int>(E::ROUND_MENU)), 1) << "no second round";
        if (c.endState == E::VICTORY) {
            EXPECT_TRUE(drewState(E::VICTORY));
            EXPECT_EQ(xpAtEnd, 10) << "the poisoned wolf's experience is collected";
            EXPECT_EQ(ann.getXP(), 10);
            EXPECT_EQ(now(), before + 2) << "the round's tick and leaving";
        } else {
            EXPECT_EQ(event().getState(), E::PERISHED);
            EXPECT_EQ(now(), before + 1);
        }
    }
}

TEST_F(CombatTest, FriskingWithNothingFoundEndsTheFightLikeLeaving)
{
    fighter("Ann");
    addGroup(orc(10, 0), 1, 10);
    everyoneAttacks();
    play({{E::VICTORY, {SDLK_f}}});
    EXPECT_EQ(fight(), 0);
    EXPECT_FALSE(lastIn(E::VICTORY).has("(F)risk the bodies for treasure"));
    EXPECT_EQ(event().getState(), 0);
}

TEST_F(CombatTest, APaladinCommandsASurrender)
{
    bl3dPartyChar& pal = fighter("Pia", 0x20, 5);
    pal.getStatBlock()->setBase(STAT_CH, 18);
    pal.getStatBlock()->recompute();
    addGroup(orc(), 1, 40);
    // The music's roll, then the surrender's.
    vell::scriptGameRand({0, 0});
    play({{E::ROUND_MENU, {SDLK_c}}, {E::SURRENDERED, {SDLK_SPACE}}});
    EXPECT_EQ(fight(), 0);
    EXPECT_TRUE(lastIn(E::ROUND_MENU).has("(C)ommand them to surrender"));
    EXPECT_TRUE(lastIn(E::SURRENDERED).has("The enemy thinks better of attacking you and moves along"));
    EXPECT_FALSE(enemyList.empty()) << "the fight never empties the enemy list";
    EXPECT_EQ(pal.getXP(), 0);
}

TEST_F(CombatTest, SurrenderRefusals)
{
    struct Case {
        const char* what;
        int32_t iq;
        int foes;
        int expected;
        const char* says;
    };
    const Case cases[] = {
        {"dull foes", 5, 1, E::NOT_UNDERSTOOD, "The enemy cannot understand your words"},
        {"too many foes", 12, 9, E::LAUGHED_AT, "Your foes laugh in your face"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        forget();
        while (party->getCount() > 0)
            party->removeAt(0);
        enemyList.clear();
        fighter("Pia", 0x20, 5);
        for (const char* n : {"Ann", "Bob", "Cyd"})
            fighter(n);
        MonsterSpec_S s;
        s.hp = 1;
        s.stats[STAT_IQ] = c.iq;
        addGroup(monsterType(s), c.foes, 10);
        // After the refusal a second 'c' does nothing: the option is gone;
        // then the party runs (no foe stops it: the roll is scripted).
        play({{E::ROUND_MENU, {SDLK_c, SDLK_c, SDLK_r}}, {c.expected, {SDLK_SPACE}}});
        vell::scriptGameRand({0, 0, 0});
        EXPECT_EQ(fight(), 1);
        EXPECT_TRUE(lastIn(c.expected).mentions(c.says));
        EXPECT_FALSE(lastIn(E::ROUND_MENU).has("(C)ommand them to surrender"));
    }

    // Without a living paladin the command is not offered at all.
    forget();
    party->getMember(0)->setCurHP(0);
    play({{E::ROUND_MENU, {SDLK_c, SDLK_r}}});
    vell::scriptGameRand({0, 0});
    EXPECT_EQ(fight(), 1);
    EXPECT_FALSE(drewState(E::NO_PALADIN));
}

TEST_F(CombatTest, RunningAwayOrBeingOvertaken)
{
    fighter("Ann");
    addGroup(orc(), 2, 10);
    // Chance 50 + 5 x (18 - 10 - 0) = 90: a roll of 95 fails, 10 succeeds.
    vell::scriptGameRand({0, 95});
    play({{E::ROUND_MENU, {SDLK_r, SDLK_r}}, {E::OVERTAKEN, {SDLK_SPACE}}, {E::MEMBER_TURN, {SDLK_MINUS, SDLK_d}}});
    // Overtaken, the orders begin; Ann defends, and then the round menu
    // comes back, where the second run succeeds.
    beforeKey = [this](int state) {
        if (state == E::ROUND_MENU && drewState(E::OVERTAKEN) && vell::scriptedGameRandLeft() == 0)
            vell::scriptGameRand({10});
        return false;
    };
    play({{E::BEGIN_COMBAT, {SDLK_y}}});
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(drewState(E::OVERTAKEN));
    EXPECT_TRUE(lastIn(E::OVERTAKEN).mentions("combat is your only option"));
    EXPECT_EQ(enemyList.countGroups(), 1);
}

TEST_F(CombatTest, NothingOutrunsARelentlessFoeAndAnEmptyFieldIsLeftAtOnce)
{
    fighter("Ann");
    MonsterSpec_S ghost;
    ghost.hp = 1;
    ghost.name = "Ghost";
    ghost.plural = "Ghosts";
    ghost.creatureType = 4;
    addGroup(orc(), 1, 10);
    addGroup(monsterType(ghost), 1, 50);
    // 'r' is overtaken without a roll (the script has none for it); ESC and
    // F1 do nothing in the menu; '-' at the first member does nothing.
    vell::scriptGameRand({0});
    play({{E::ROUND_MENU, {SDLK_ESCAPE, SDLK_F1, SDLK_r, SDLK_f}},
          {E::OVERTAKEN, {SDLK_SPACE}},
          {E::MEMBER_TURN, {SDLK_MINUS, SDLK_a}},
          {E::CHOOSE_GROUP, {SDLK_a}},
          {E::BEGIN_COMBAT, {SDLK_y}}});
    EXPECT_EQ(fight(), 0);
    EXPECT_TRUE(drewState(E::OVERTAKEN));
    EXPECT_TRUE(enemyList.empty());

    // A fight with no group at all: running escapes at once.
    forget();
    play({{E::ROUND_MENU, {SDLK_r}}});
    EXPECT_EQ(fight(), 1);
}

TEST_F(CombatTest, ThePartyPerishesAndTheInterfaceSendsItToTheHall)
{
    bl3dPartyChar& ann = join("Ann", 0x4);
    ann.setCurHP(1);
    MonsterSpec_S brute;
    brute.name = "Brute";
    brute.plural = "Brutes";
    brute.hp = 500;
    brute.stats[STAT_ATTACK] = 40;
    brute.stats[STAT_DAMAGE] = 60;
    brute.stats[STAT_DX] = 30;
    addGroup(monsterType(brute), 3, 10);
    play({{E::ROUND_MENU, {SDLK_f}}, {E::MEMBER_TURN, {SDLK_d}}, {E::BEGIN_COMBAT, {SDLK_y}}});
    EXPECT_EQ(fight(), -1);
    EXPECT_FALSE(drewState(E::VICTORY));
    EXPECT_LE(ann.getCurHP(), 0);
    EXPECT_EQ(enemyList.countGroups(), 1);
    EXPECT_FALSE(enemyList.isInCombat());

    // The main loop's timer pass finds the whole party dead.
    forget();
    script({SDLK_SPACE});
    iface.timerEvents();
    EXPECT_TRUE(anyMentions("All of your brave party has perished."));
    EXPECT_STREQ(iface.getCurrentMap()->getFileName(), "maps/renibister.cfg");
}

TEST_F(CombatTest, NoPaceOfAFightReachesTheNextScreen)
{
    fighter("Ann");
    addGroup(orc(10, 5), 1, 10);
    setWorldVar(tagkey::CombatDelay, 500);
    everyoneAttacks();
    // On the victory screen the pacing timer fires once more (as it may just
    // before it is stopped), and the player leaves before its work is run.
    bool fired = false;
    beforeKey = [&fired](int state) {
        if (state != E::VICTORY || fired)
            return false;
        fired = true;
        pushKey(SDLK_l);
        E::combatDelayCallback(500, nullptr);
        E::combatDelayCallback(500, nullptr);
        return true;
    };
    EXPECT_EQ(fight(), 0);
    EXPECT_TRUE(fired);
    // Nothing of the fight waits in the queue, now or after its pace.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<SDL_Event> left = takeEvents();
        for (const SDL_Event& ev : left) {
            EXPECT_NE(ev.type, SDL_KEYDOWN) << "a key left by the fight";
            EXPECT_FALSE(ev.type == SDL_USEREVENT && ev.user.code == vell::kTimerWorkCode)
                << "pacing work left by the fight";
        }
        SDL_Delay(700);
    }
    EXPECT_EQ(worldVar(tagkey::CombatDelay), 500);
}

TEST_F(CombatTest, ThePaceIsKeptBetweenItsBoundsAndChangedWithCommaAndPeriod)
{
    struct Case {
        int32_t stored;
        int32_t used;
    };
    for (const Case c : {Case{0, 1000}, Case{-5, 1000}, Case{499, 1000}, Case{700, 700}, Case{9000, 3000}}) {
        SCOPED_TRACE(c.stored);
        forget();
        enemyList.clear();
        if (party->getCount() == 0)
            fighter("Ann");
        addGroup(orc(), 1, 10);
        setWorldVar(tagkey::CombatDelay, c.stored);
        play({{E::ROUND_MENU, {SDLK_r}}});
        vell::scriptGameRand({0, 0});
        EXPECT_EQ(fight(), 1);
        EXPECT_EQ(worldVar(tagkey::CombatDelay), c.used);
    }
    // ',' slows by 100 up to 3000, '.' quickens down to 500.
    forget();
    enemyList.clear();
    addGroup(orc(), 1, 10);
    setWorldVar(tagkey::CombatDelay, 2950);
    everyoneAttacks();
    int commas = 0;
    beforeKey = [&commas](int state) {
        if (state != E::PERFORMING || commas == 2)
            return false;
        ++commas;
        pushKey(SDLK_COMMA);
        vell::pushRedraw();
        return true;
    };
    EXPECT_EQ(fight(), 0);
    EXPECT_EQ(worldVar(tagkey::CombatDelay), 3000);
}

TEST_F(CombatTest, WithoutThePartysAdvanceTheCommandIsRefused)
{
    // A game whose action list lacks "PartyAdv": 'v' changes nothing.
    masterActionList.destroyAll();
    fighter("Ann");
    addGroup(orc(), 1, 30);
    vell::scriptGameRand({0, 0});
    play({{E::ROUND_MENU, {SDLK_v, SDLK_r}}});
    EXPECT_EQ(fight(), 1);
    EXPECT_FALSE(drewState(E::PERFORMING));
    EXPECT_EQ(enemyList.distanceOf(enemyList.groupAt(0)), 30);
}

TEST_F(CombatTest, ThePartyAdvancesAsOne)
{
    fighter("Ann");
    fighter("Bob");
    MonsterSpec_S s;
    s.hp = 5000;
    s.stats[STAT_ATTACK] = -50;
    s.stats[STAT_DX] = 1;
    addGroup(monsterType(s), 2, 40);
    beforeKey = [this](int state) {
        if (state == E::ROUND_MENU && drewState(E::PERFORMING) && vell::scriptedGameRandLeft() == 0)
            vell::scriptGameRand({0});
        return false;
    };
    play({{E::ROUND_MENU, {SDLK_v, SDLK_r}}});
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(anyMentions("You advance on your foes."));
    // The party's 10 feet, and the orcs' own advance.
    EXPECT_EQ(enemyList.distanceOf(enemyList.groupAt(0)), 20);
    EXPECT_FALSE(lastIn(E::ROUND_MENU).has("(U)se previous orders")) << "an advance gives no orders to repeat";
}

// A shipped Harper at level 60 that holds every action made for its class:
// the fight's song list offers each of its songs and nothing else.
TEST_F(CombatTest, TheSongListOffersABardsSongsAndNothingElse)
{
    ASSERT_EQ(vell::loadClassFile("data/class.dat"), 15);
    bl3dPartyChar& lyra = fighter("Lyra", 0x2, 1);
    lyra.addXP(INT32_MAX);
    while (lyra.getLevel() < 60 && lyra.levelUp(true)) {
    }
    ASSERT_EQ(lyra.getLevel(), 60);
    for (const ActionNode_S* n = masterActionList.head(); n; n = n->next)
        if (n->action->isForClass(0x2) && !lyra.actions()->getAction(n->action->actionID()))
            lyra.actions()->add(n->action, 0);
    std::multiset<std::string> songs;
    for (const ActionNode_S* n = lyra.actions()->head(); n; n = n->next)
        if (static_cast<uint32_t>(n->action->actionID()) & ACTION_BARD_SONG)
            songs.insert(n->action->name().c_str());
    ASSERT_GE(songs.size(), 8u);

    MonsterSpec_S s;
    s.hp = 5000;
    s.stats[STAT_ATTACK] = -50;
    addGroup(monsterType(s), 1, 10);
    std::multiset<std::string> offered;
    beforeKey = [&](int state) {
        if (state == E::SONG_LIST && offered.empty() && event().getScrollList())
            for (int i = 0; i < event().getScrollList()->getNumLines(); ++i)
                offered.insert(event().getScrollList()->lineText(i));
        if (state == E::ROUND_MENU && pressesLeft() == 0 && vell::scriptedGameRandLeft() == 0)
            vell::scriptGameRand({0});
        return false;
    };
    // The list, back, Lyra defends; then the party runs.
    press({SDLK_f, SDLK_p, SDLK_ESCAPE, SDLK_d, SDLK_y});
    play({{E::ROUND_MENU, {SDLK_r}}});
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(offered, songs);
}

// The game's sound director heard on the recording stand-in through whole
// fights: the fight's "Combat" environment goes on over the map's music and
// comes off again around a song started in the fight (ended by its bard,
// or still playing when the fight is won, with the chest's music after it)
// and around a song that ran outside when the fight began (which the fight
// ends as it begins).
class CombatMusicTest : public CombatTest {
protected:
    static constexpr uint32_t LUTE = 0x1u << 2;

    void SetUp() override
    {
        CombatTest::SetUp();
        if (HasFatalFailure())
            return;
        char tmpl[] = "/tmp/vell-fight-music-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        write("day.env", "main day.ogg\n");
        write("combat.env", "intro combat_intro.ogg\nmain combat.ogg\n");
        write("treasure.env", "intro treasure_intro.ogg\nmain treasure.ogg\n");
        write("songs.cfg", dir_ + " 2\nwalking.song\nmary.song\n");
        write("walking.song", "0x005ab00d\nLute walking_lute.ogg\n");
        write("mary.song", "0x005ab009\nLute mary_lute.ogg\n");
        std::string conf = "bardsongs " + dir_ + "/songs.cfg\n";
        if (withTreasure_)
            conf += "environment " + dir_ + "/treasure.env Treasure\n";
        for (int i = 1; i <= 7; ++i)
            conf += "environment " + dir_ + "/combat.env Combat" + std::to_string(i) + "\n";
        write("audio.dat", conf);

        audio_ = std::make_unique<vell_test::GameAudioOnStand>(port_, world_);
        ASSERT_EQ(maserAudio.load((dir_ + "/audio.dat").c_str()), 0);
        const std::string day = dir_ + "/day.env";
        const char* packs[] = {day.c_str()};
        const int hours[] = {0};
        maserAudio.addMapAudio("maps/fight.cfg", 1, packs, hours);
        ASSERT_EQ(maserAudio.mapChange("maps/fight.cfg"), 0);
        ASSERT_EQ(port_.music, "day.ogg");
    }
    void TearDown() override
    {
        audio_.reset();
        if (!dir_.empty())
            std::system(("rm -rf '" + dir_ + "'").c_str());
        CombatTest::TearDown();
    }
    void write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir_ + "/" + name, std::ios::binary) << text;
    }

    bl3dPartyChar& bard()
    {
        bl3dPartyChar& lyra = fighter("Lyra", 0x2, 3);
        lyra.getTagList()->setInt(tagkey::CurSongs, 5);
        lyra.getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
        lyra.actions()->add(masterActionList.getAction(SONG_PROUD_MARY), 0);
        return lyra;
    }
    // The music started since the last call, in order.
    std::vector<std::string> musicPlayed()
    {
        std::vector<std::string> out;
        for (const std::string& c : port_.take())
            if (c.rfind("music ", 0) == 0 && c.rfind("music volume", 0) != 0)
                out.push_back(c.substr(6));
        return out;
    }
    // The fight runs away once the keys given are used up.
    void runWhenDone()
    {
        beforeKey = [this](int state) {
            if (state == E::ROUND_MENU && pressesLeft() == 0 && vell::scriptedGameRandLeft() == 0)
                vell::scriptGameRand({0});
            return false;
        };
        play({{E::ROUND_MENU, {SDLK_r}}});
    }

    vell_test::RecordingPort port_;
    vell_test::TestWorld world_;
    std::unique_ptr<vell_test::GameAudioOnStand> audio_;
    std::string dir_;
    bool withTreasure_ = true;
};

TEST_F(CombatMusicTest, ASongFromOutsideAndOneOfTheFightComeAndGoUnderTheFightsMusic)
{
    bl3dPartyChar& lyra = bard();
    char chars[256];
    TextBuf_C text(chars, sizeof chars);
    ASSERT_EQ(performSongRequest(*masterActionList.getAction(SONG_WALKING_SONG), lyra, text, &iface, SONG_START), 0);
    ASSERT_EQ(port_.music, "walking_lute.ogg");
    EXPECT_EQ(world_.parts, LUTE);
    musicPlayed();

    MonsterSpec_S s;
    s.hp = 5000;
    s.stats[STAT_ATTACK] = -50;
    s.stats[STAT_DX] = 1;
    addGroup(monsterType(s), 1, 10);
    // Round 1: Lyra plays Proud Mary. Round 2: she ends it. Round 3: the
    // party runs.
    press({SDLK_f, SDLK_p, SDLK_RETURN, SDLK_y, SDLK_f, SDLK_e, SDLK_y});
    runWhenDone();
    EXPECT_EQ(fight(), 1);
    const std::vector<std::string> want = {
        "day.ogg loop",            // the song from outside ends as the fight begins
        "combat_intro.ogg once",   // the fight's music
        "mary_lute.ogg loop",      // the fight's song on the bard's lute
        "combat_intro.ogg once",   // the song ends: the fight's music again
        "day.ogg loop",            // the fight is over: the map's
    };
    EXPECT_EQ(musicPlayed(), want);
    EXPECT_EQ(maserAudio.stackDepth(), 0u);
    EXPECT_EQ(maserAudio.currentMap()->song, nullptr);
    EXPECT_EQ(world_.song, 0);
    EXPECT_EQ(world_.parts, 0u);
}

TEST_F(CombatMusicTest, ASongStillPlayingWhenTheFightIsWonEndsAndStaysEndedPastTheChest)
{
    fighter("Ann");
    bard();
    addGroup(orc(), 1, 10);
    musicPlayed();
    // Ann attacks, Lyra plays; the orc falls (should Ann miss, she attacks
    // again while Lyra plays on).
    press({SDLK_f, SDLK_a, SDLK_p, SDLK_RETURN, SDLK_y});
    play({{E::ROUND_MENU, {SDLK_u}}, {E::BEGIN_COMBAT, {SDLK_y}}});
    EXPECT_EQ(fight(), 0);
    ASSERT_TRUE(drewState(E::VICTORY));
    const std::vector<std::string> want = {
        "combat_intro.ogg once",
        "mary_lute.ogg loop",
        "combat_intro.ogg once",   // won: the song ends with the last foe
        "treasure_intro.ogg once", // the chest's music
        "combat_intro.ogg once",   // the chest's music is left: the fight's, with no song
        "day.ogg loop",
    };
    EXPECT_EQ(musicPlayed(), want);
    EXPECT_EQ(maserAudio.stackDepth(), 0u);
    EXPECT_EQ(world_.song, 0);
}

// Sound packs without the chest's music: the won fight and its chest leave
// only what they entered, and a place's music entered before the fight
// stays.
class CombatMusicWithoutTreasureTest : public CombatMusicTest {
protected:
    CombatMusicWithoutTreasureTest() { withTreasure_ = false; }
    void SetUp() override
    {
        CombatMusicTest::SetUp();
        registerEncounterEvent(ENCOUNTER_CHEST, &makeEvent<Event_4001_C>);
    }
    void TearDown() override
    {
        clearEventMakers();
        CombatMusicTest::TearDown();
    }
};

TEST_F(CombatMusicWithoutTreasureTest, TheChestOfAWonFightLeavesTheMusicBeforeTheFightInPlace)
{
    bl3dPartyChar& ann = fighter("Ann");
    const int32_t gold = ann.getGold();
    addGroup(orc(10, 7), 1, 10);
    ASSERT_EQ(maserAudio.pushSpecAudio("Combat7", false), 0);   // a scripted place's music
    ASSERT_EQ(maserAudio.stackDepth(), 1u);
    everyoneAttacks();
    // Frisk; the chest holds gold only: ESCAPE leaves it.
    play({{E::VICTORY, {SDLK_f, SDLK_ESCAPE}}});
    EXPECT_EQ(fight(), 0);
    EXPECT_EQ(ann.getGold(), gold + 7) << "the chest was opened";
    EXPECT_EQ(maserAudio.stackDepth(), 1u) << "the place's music is still entered";
    maserAudio.popSpecAudio();
}

} // namespace
