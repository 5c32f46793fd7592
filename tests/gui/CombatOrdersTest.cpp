// The fight's order entry, from the keys to the performed round: attack,
// defend, rank changes, spells (typed, listed, described, refused), skills
// with daily uses, the reserve weapon, the equip trial on the character
// sheet, items, songs started in the fight and a song playing from
// outside, going back, members who cannot act and joined monsters.
#include "CombatFixture.h"
#include "SongMusicEnv.h"

#include "actions/Songs.h"
#include "core/ScrollList.h"
#include "core/TagList.h"
#include "rules/Actor.h"
#include "rules/TagKeys.h"
#include "screens/CharView.h"

namespace {

using songmusic::LUTE;
using songmusic::MusicEnv_C;

using namespace combattest;
using E = Event_4000_C;

constexpr int32_t SILVER_STRIKE = 0x000f0021;
constexpr int32_t MAGICIANS_PORTAL = 0x00890015;
constexpr int32_t MENDING_LIGHT = 0x00090064;
constexpr int32_t HIDE_IN_SHADOWS = 0x001e03e9;
constexpr int32_t WARLORDS_ROAR = 0x000a2042;
constexpr int32_t MIND_COMPASS = 0x00883001;

std::string counterKey(int32_t id)
{
    char key[16];
    std::snprintf(key, sizeof key, "0x%08x", static_cast<unsigned>(id));
    return key;
}

// A joined monster's choice that keeps count of its uses alive.
struct CountedUse_S : ActionUse_S {
    static int live;
    CountedUse_S() { ++live; }
    ~CountedUse_S() override { --live; }
};
int CountedUse_S::live = 0;

class CountingAction : public bl3dAction {
public:
    CountingAction() : bl3dAction(ALL_CLASSES, 1) {}
    ActionUse_S* makeEntry(bl3dActor* actor, void*, int, void**) override
    {
        delete actor;
        ++made;
        return new CountedUse_S;
    }
    ActionUse_S* enqueue(bl3dActor* actor, int, int argc, void** argv) override
    {
        return makeEntry(actor, nullptr, argc, argv);
    }
    int perform(ActionUse_S*) override { return -1; }
    RefStr_C name() const override { return RefStr_C("Howl"); }
    RefStr_C description() const override { return RefStr_C("Howl"); }
    uint8_t targetKind() const override { return TARGET_OWN_SIDE; }
    uint8_t range() const override { return 0; }
    int32_t actionID() const override { return 0x0001f0f0; }

    int made = 0;
};

class CombatOrdersTest : public CombatFixture {
protected:
    void SetUp() override
    {
        CombatFixture::SetUp();
        if (HasFatalFailure())
            return;
        setActionEnv(&music);
        beforeKey = [this](int state) {
            for (auto& hook : hooks_)
                if (hook(state))
                    return true;
            return false;
        };
    }
    // An enemy that neither dies nor hurts.
    bl3dMonsterList* dummies(int count, int distance, const char* name = "Dummy", const char* plural = "Dummies")
    {
        MonsterSpec_S s;
        s.name = name;
        s.plural = plural;
        s.hp = 5000;
        s.stats[STAT_ATTACK] = -50;
        s.stats[STAT_DX] = 1;
        return addGroup(monsterType(s), count, distance);
    }
    // After the orders and one round, the party runs (the roll scripted).
    void runAfterRound()
    {
        hooks_.push_back([this](int state) {
            if (state == E::ROUND_MENU && pressesLeft() == 0 && vell::scriptedGameRandLeft() == 0)
                vell::scriptGameRand({0});
            return false;
        });
        play({{E::ROUND_MENU, {SDLK_r}}});
    }
    int32_t idAt(int slot, int round = 0) const { return ids_[size_t(round)][size_t(slot)]; }
    // Records the ordered actions when "Begin combat?" shows.
    void recordOrders()
    {
        hooks_.push_back([this](int state) {
            if (state == E::BEGIN_COMBAT && pressesLeft() == 1) {
                std::vector<int32_t> ids;
                for (int i = 0; i < 8; ++i)
                    ids.push_back(event().getSelAct(i) ? event().getSelAct(i)->actionID() : 0);
                ids_.push_back(ids);
                targets_.push_back(event().getCharTarget(0));
            }
            return false;
        });
    }
    bool performedMentions(const std::string& piece) const
    {
        for (const Shown& s : shown())
            if (s.state == E::PERFORMING && s.mentions(piece))
                return true;
        return false;
    }
    // Some display in that state printed exactly this text.
    bool shownIn(int state, const std::string& text) const
    {
        for (const Shown& s : shown())
            if (s.state == state && s.has(text))
                return true;
        return false;
    }

    // The narration of each performed round, in order, its lines joined.
    std::vector<std::string> rounds() const
    {
        std::vector<std::string> out;
        int previous = 0;
        for (const Shown& s : shown()) {
            if (s.state == E::PERFORMING) {
                if (previous != E::PERFORMING)
                    out.emplace_back();
                for (const std::string& t : s.texts)
                    if (out.back().find(t) == std::string::npos)
                        out.back() += t + "\n";
            }
            previous = s.state;
        }
        return out;
    }
    // The party's names in rank order, each time a round has been performed.
    void watchRanks()
    {
        hooks_.push_back([this](int state) {
            if (state == E::ROUND_MENU && rounds().size() > ranks_.size()) {
                std::vector<std::string> names;
                for (int i = 0; i < party->getCount(); ++i)
                    names.push_back(party->getMember(i)->getName());
                ranks_.push_back(names);
            }
            return false;
        });
    }

    MusicEnv_C music;
    std::vector<std::vector<std::string>> ranks_;
    std::vector<std::function<bool(int)>> hooks_;
    std::vector<std::vector<int32_t>> ids_;
    std::vector<void*> targets_;
};

TEST_F(CombatOrdersTest, AttackDefendAndRankChanges)
{
    fighter("Ann");
    fighter("Bob");
    fighter("Cyd");
    fighter("Dee");
    bl3dPartyChar& eve = fighter("Eve");
    dummies(1, 10);
    bl3dMonsterList* far = dummies(2, 40, "Troll", "Trolls");
    // Ann attacks the second group; Bob defends; Cyd advances 2 ranks (the
    // second digit is ignored), Dee retreats with no count typed; Eve, in
    // the fifth rank without a bow, cannot attack and defends.
    press({SDLK_f, SDLK_a, SDLK_b, SDLK_d, SDLK_o, SDLK_a, SDLK_2, SDLK_3, SDLK_RETURN, SDLK_o, SDLK_r, SDLK_RETURN,
           SDLK_a, SDLK_d, SDLK_y});
    recordOrders();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), ACTION_ATTACK);
    EXPECT_EQ(targets_[0], far);
    EXPECT_EQ(idAt(1), ACTION_DEFEND);
    EXPECT_EQ(idAt(2), ACTION_ADVANCE);
    EXPECT_EQ(idAt(3), ACTION_RETREAT);
    EXPECT_EQ(idAt(4), ACTION_DEFEND);
    EXPECT_TRUE(lastIn(E::CHOOSE_GROUP).has("2 Trolls (40')"));
    EXPECT_TRUE(shownIn(E::RANK_COUNT, "2_"));
    EXPECT_FALSE(shownIn(E::RANK_COUNT, "23_"));
    EXPECT_TRUE(anyMentions("How many ranks would you like to retreat?"));
    EXPECT_FALSE(lastIn(E::MEMBER_TURN).has("(A)ttack the brutes")) << "Eve stands in the fifth rank";
    EXPECT_TRUE(lastIn(E::MEMBER_TURN).has("(-) Go back"));
    EXPECT_TRUE(performedMentions("Ann"));
    EXPECT_EQ(pressesLeft(), 0u);
    // The order of the start comes back after the fight.
    EXPECT_EQ(party->getMember(4), &eve);
}

TEST_F(CombatOrdersTest, GoingBackReleasesTheOrderAndTheLastQuestionWaits)
{
    fighter("Ann");
    fighter("Bob");
    dummies(1, 10);
    // Ann attacks, Bob goes back to her, she defends instead; Bob defends;
    // 'n' goes back to Bob, who attacks.
    press({SDLK_f, SDLK_a, SDLK_MINUS, SDLK_d, SDLK_d, SDLK_n, SDLK_a, SDLK_y});
    recordOrders();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), ACTION_DEFEND);
    EXPECT_EQ(idAt(1), ACTION_ATTACK);
}

TEST_F(CombatOrdersTest, JoinedMonstersChooseAloneAndNoQuestionIsLeftWithoutAMember)
{
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    wolf.plural = "Wolves";
    wolf.hp = 40;
    bl3dPartyChar* pet = monsterType(wolf)->makePartyChar(false);
    ASSERT_TRUE(party->addMember(pet));
    ASSERT_TRUE(pet->isJoinedMonster());
    ASSERT_GT(pet->getCurHP(), 0);
    dummies(1, 10);
    // No menu for the wolf: straight to "Begin combat?", where 'n' has
    // nobody to go back to and changes nothing.
    press({SDLK_f, SDLK_n, SDLK_y});
    recordOrders();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_FALSE(drewState(E::MEMBER_TURN));
    EXPECT_TRUE(drewState(E::BEGIN_COMBAT));
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_NE(idAt(0), 0) << "the wolf's combat AI chose";
    EXPECT_EQ(party->getMember(0), pet);
}

TEST_F(CombatOrdersTest, MembersWhoCannotActAndAMemberKilledBeforeItsTurn)
{
    fighter("Ann");
    bl3dPartyChar& bob = join("Bob", 0x4);
    bob.setCurHP(1);
    bob.getStatBlock()->setBase(STAT_DX, 1);
    bob.getStatBlock()->recompute();
    bl3dPartyChar& cyd = fighter("Cyd");
    cyd.getStatBlock()->setBase(STAT_CONDITIONS, COND_SLEEPING);
    cyd.getStatBlock()->recompute();
    MonsterSpec_S brute;
    brute.name = "Brute";
    brute.plural = "Brutes";
    brute.hp = 5000;
    brute.stats[STAT_ATTACK] = 60;
    brute.stats[STAT_DAMAGE] = 30;
    brute.stats[STAT_DX] = 12; // quicker than Bob, not too quick to run from
    addGroup(monsterType(brute), 4, 10);
    // Ann defends, Bob attacks; Cyd sleeps: SPACE passes her turn.
    press({SDLK_f, SDLK_d, SDLK_a, SDLK_SPACE, SDLK_y});
    recordOrders();
    runAfterRound();
    const int r = fight();
    EXPECT_TRUE(lastIn(E::MEMBER_TURN).has("Cyd is currently asleep!"));
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(2), 0);
    // The brutes are quicker: Bob falls before he acts, and the round
    // goes on without him.
    EXPECT_EQ(idAt(1), ACTION_ATTACK);
    EXPECT_LE(bob.getCurHP(), 0);
    EXPECT_FALSE(performedMentions("Bob#0 attacks"));
    EXPECT_EQ(r, 1);
    EXPECT_EQ(party->getMember(2), &bob) << "the dead stand behind the living";
    EXPECT_FALSE((cyd.getConditions() & COND_SLEEPING)) << "sleep is cured after a fight";
}

TEST_F(CombatOrdersTest, SpellsByCodeAndListWithTheirRefusals)
{
    bl3dPartyChar& mia = fighter("Mia", 0x100, 7);
    mia.setMaxSP(200);
    mia.setCurSP(200);
    for (int32_t id : {MENDING_LIGHT, MAGICIANS_PORTAL, SILVER_STRIKE})
        mia.actions2()->add(masterActionList.getAction(id), 0);
    bl3dPartyChar& ann = fighter("Ann");
    ann.setCurHP(50);
    dummies(1, 10);
    // Mia: an unknown code (a fifth letter is ignored), then the portal,
    // which is no spell for a fight, then the list: the description of the
    // first spell, and Mending Light on Ann. Ann cannot cast: 'c' does
    // nothing; she defends.
    press({SDLK_f, SDLK_c, SDLK_x, SDLK_y, SDLK_z, SDLK_q, SDLK_w, SDLK_RETURN, SDLK_SPACE, SDLK_c, SDLK_m, SDLK_a,
           SDLK_p, SDLK_o, SDLK_RETURN, SDLK_SPACE, SDLK_c, SDLK_TAB, SDLK_d, SDLK_ESCAPE, SDLK_DOWN, SDLK_DOWN,
           SDLK_RETURN, SDLK_F2, SDLK_c, SDLK_d, SDLK_y});
    recordOrders();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(anyMentions("Enter Code: XYZQ_"));
    EXPECT_FALSE(anyMentions("XYZQW"));
    EXPECT_TRUE(lastIn(E::UNKNOWN_SPELL).has("Alas, such a spell is beyond your knowledge."));
    EXPECT_TRUE(lastIn(E::NOT_IN_COMBAT).has("That spell is not appropriate in combat!"));
    EXPECT_TRUE(lastIn(E::SPELL_LIST).has("Available spells:"));
    EXPECT_TRUE(lastIn(E::SPELL_LIST).has("(D)escription"));
    EXPECT_TRUE(lastIn(E::SPELL_DESCRIPTION).has("Silver Strike"));
    EXPECT_TRUE(lastIn(E::SPELL_DESCRIPTION).has("Thaumaturg. (Lvl: 2)"));
    EXPECT_TRUE(lastIn(E::SPELL_DESCRIPTION).has("Code: SIST"));
    EXPECT_TRUE(lastIn(E::SPELL_TARGET).has("On who do you wish to cast Mending Light?"));
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), MENDING_LIGHT);
    EXPECT_EQ(idAt(1), ACTION_DEFEND);
    EXPECT_GT(ann.getCurHP(), 50) << "the light mended Ann in the round";
    EXPECT_LT(mia.getCurSP(), 200);

    // The next fight: the typed code of a spell on the one group.
    forget();
    ids_.clear();
    ann.setCurHP(200);
    press({SDLK_f, SDLK_c, SDLK_s, SDLK_i, SDLK_s, SDLK_t, SDLK_RETURN, SDLK_d, SDLK_y});
    EXPECT_EQ(fight(), 1);
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), SILVER_STRIKE);
    EXPECT_EQ(targets_.back(), enemyList.groupAt(0));
}

TEST_F(CombatOrdersTest, SkillsWithDailyUsesAndTheReserveWeapon)
{
    bl3dPartyChar& ann = fighter("Ann", 0x80);
    ann.actions()->add(masterActionList.getAction(HIDE_IN_SHADOWS), 0);
    char key[16];
    std::snprintf(key, sizeof key, "0x%08x", static_cast<unsigned>(HIDE_IN_SHADOWS));
    ann.getTagList()->setInt(key, 1);
    ann.getTagList()->setInt((std::string(key) + "MAX").c_str(), 1);
    bl3dItem* dagger = kit().give(ann, kit().dagger, SLOT_READY);
    bl3dItem* sword = kit().give(ann, kit().sword, SLOT_RT_HAND);
    bl3dPartyChar& bob = fighter("Bob");
    dummies(1, 10);
    // Ann readies her dagger (and still gives an order): she hides. Bob has
    // nothing in reserve and no skills.
    press({SDLK_f, SDLK_r, SDLK_RETURN, SDLK_u, SDLK_RETURN, SDLK_r, SDLK_SPACE, SDLK_u, SDLK_SPACE, SDLK_d, SDLK_y});
    recordOrders();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(lastIn(E::WEAPON_LIST).has("Available weapons:"));
    EXPECT_TRUE(lastIn(E::WEAPON_LIST).has("Dagger"));
    EXPECT_TRUE(lastIn(E::SKILL_LIST).has("Hide in Shadows"));
    EXPECT_FALSE(lastIn(E::SKILL_LIST).has("Attack"));
    EXPECT_TRUE(lastIn(E::NO_RESERVE).has("You do not have any other weapons ready."));
    EXPECT_TRUE(lastIn(E::NO_SKILLS).has("You have no special skills for combat"));
    EXPECT_EQ(ann.getSlotItem(SLOT_RT_HAND), dagger);
    EXPECT_EQ(ann.getSlotItem(SLOT_READY), sword);
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), HIDE_IN_SHADOWS);
    EXPECT_EQ(ann.getTagList()->intValue(key), 0) << "the day's use is spent";
    EXPECT_FALSE((ann.getConditions() & COND_HIDDEN)) << "hiding ends with the fight";
    (void)bob;

    // With the day's use spent the skill is not listed.
    forget();
    press({SDLK_f, SDLK_u, SDLK_SPACE, SDLK_d, SDLK_d, SDLK_y});
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(drewState(E::NO_SKILLS));
}

using Ranks = std::vector<std::string>;

TEST_F(CombatOrdersTest, PreviousOrdersMoveAMemberTheRanksItWasOrdered)
{
    for (const char* name : {"Ann", "Bob", "Cyd", "Dee"})
        fighter(name);
    dummies(1, 10);
    // Round 1: Dee advances one rank, the others defend. Round 2: the
    // previous orders: Dee, now third, advances one rank again; Cyd, now
    // last, defends as he did.
    press({SDLK_f, SDLK_d, SDLK_d, SDLK_d, SDLK_o, SDLK_a, SDLK_1, SDLK_RETURN, SDLK_y, SDLK_u, SDLK_y});
    watchRanks();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(pressesLeft(), 0u);
    ASSERT_EQ(ranks_.size(), 2u);
    EXPECT_EQ(ranks_[0], (Ranks{"Ann", "Bob", "Dee", "Cyd"}));
    EXPECT_EQ(ranks_[1], (Ranks{"Ann", "Dee", "Bob", "Cyd"}));
    ASSERT_EQ(rounds().size(), 2u);
    EXPECT_NE(rounds()[1].find("Dee#0 advances!"), std::string::npos) << rounds()[1];
    EXPECT_NE(rounds()[1].find("Cyd#0 crouches"), std::string::npos) << rounds()[1];
}

TEST_F(CombatOrdersTest, PreviousOrdersAfterAnOrderChangeAreEachMembersOwnWithItsTarget)
{
    for (const char* name : {"Ann", "Bob", "Cyd", "Dee"})
        fighter(name);
    dummies(1, 10, "Rat", "Rats");
    dummies(1, 10, "Bat", "Bats");
    // Round 1: Ann attacks the bats, Bob and Cyd defend, Dee advances three
    // ranks to the front. Rounds 2 and 3: the previous orders, each member
    // one rank further back than where it gave its order.
    press({SDLK_f, SDLK_a, SDLK_b, SDLK_d, SDLK_d, SDLK_o, SDLK_a, SDLK_3, SDLK_RETURN, SDLK_y, SDLK_u, SDLK_y, SDLK_u,
           SDLK_y});
    watchRanks();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(pressesLeft(), 0u);
    ASSERT_EQ(ranks_.size(), 3u);
    for (const Ranks& r : ranks_)
        EXPECT_EQ(r, (Ranks{"Dee", "Ann", "Bob", "Cyd"}));
    const std::vector<std::string> narrated = rounds();
    ASSERT_EQ(narrated.size(), 3u);
    for (size_t i = 1; i < 3; ++i) {
        SCOPED_TRACE(testing::Message() << "round " << i + 1);
        const std::string& said = narrated[i];
        EXPECT_NE(said.find("Ann#0 attacks a #4Bat"), std::string::npos) << said;
        EXPECT_NE(said.find("Bob#0 crouches"), std::string::npos) << said;
        EXPECT_NE(said.find("Cyd#0 crouches"), std::string::npos) << said;
        EXPECT_NE(said.find("Dee#0 advances!"), std::string::npos) << said;
        for (const char* who : {"Ann#0 advances", "Bob#0 advances", "Cyd#0 advances", "Ann#0 attacks a #4Rat"})
            EXPECT_EQ(said.find(who), std::string::npos) << who << " in:\n" << said;
    }
}

TEST_F(CombatOrdersTest, PreviousOrdersUseAnItemThroughItsCharges)
{
    bl3dPartyChar& ann = fighter("Ann");
    ann.setCurHP(50);
    ann.setMaxSP(100);
    ann.setCurSP(100);
    kit().ring->setUseAction(MENDING_LIGHT);
    bl3dItem* ring = kit().give(ann, kit().ring, 12);
    ring->setCharges(5);
    dummies(1, 10);
    // Round 1: Ann's ring mends her; round 2: the previous orders.
    press({SDLK_f, SDLK_i, SDLK_RETURN, SDLK_F1, SDLK_y, SDLK_u, SDLK_y});
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(pressesLeft(), 0u);
    ASSERT_EQ(rounds().size(), 2u);
    EXPECT_EQ(ring->getCharges(), 3) << "each round's use took a charge";
    EXPECT_EQ(ann.getCurSP(), 100) << "Ann's own points paid for nothing";
}

TEST_F(CombatOrdersTest, PreviousOrdersSpendTheDaysUsesOfASkillAndOfferOnlyWhatAFightAllows)
{
    bl3dPartyChar& ann = fighter("Ann", 0x80);
    ann.actions()->add(masterActionList.getAction(MIND_COMPASS), 0);
    ann.actions()->add(masterActionList.getAction(HIDE_IN_SHADOWS), 0);
    const std::string hide = counterKey(HIDE_IN_SHADOWS);
    const std::string compass = counterKey(MIND_COMPASS);
    for (const std::string& key : {hide, compass}) {
        ann.getTagList()->setInt(key.c_str(), 2);
        ann.getTagList()->setInt((key + "MAX").c_str(), 2);
    }
    dummies(1, 10);
    // Round 1: Ann hides (the only skill for a fight). Then the previous
    // orders: in round 2 she sleeps, does nothing and spends nothing; in
    // round 3, awake, she hides on the day's second use; in round 4, with
    // none left, she defends.
    press({SDLK_f, SDLK_u, SDLK_RETURN, SDLK_y, SDLK_u, SDLK_y, SDLK_u, SDLK_y, SDLK_u, SDLK_y});
    int listed = -1;
    std::vector<int32_t> usesLeft; // after each round
    hooks_.push_back([&](int state) {
        if (state == E::SKILL_LIST && listed < 0 && event().getScrollList())
            listed = event().getScrollList()->getNumLines();
        if (state == E::ROUND_MENU && rounds().size() > usesLeft.size()) {
            usesLeft.push_back(ann.getTagList()->intValue(hide.c_str()));
            bl3dStatBlock* stats = ann.getStatBlock();
            const int32_t c = stats->getBase(STAT_CONDITIONS);
            stats->setBase(STAT_CONDITIONS, usesLeft.size() == 1 ? c | COND_SLEEPING : c & ~COND_SLEEPING);
            stats->recompute();
        }
        return false;
    });
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(pressesLeft(), 0u);
    EXPECT_TRUE(lastIn(E::SKILL_LIST).has("Hide in Shadows"));
    EXPECT_FALSE(lastIn(E::SKILL_LIST).mentions("Mind Compass")) << "a skill for outside a fight";
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(usesLeft, (std::vector<int32_t>{1, 1, 0, 0}));
    EXPECT_EQ(ann.getTagList()->intValue(compass.c_str()), 2);
    ASSERT_EQ(rounds().size(), 4u);
    EXPECT_EQ(rounds()[1].find("Ann#0 tries"), std::string::npos) << rounds()[1];
    EXPECT_EQ(rounds()[1].find("Ann#0 slips"), std::string::npos) << rounds()[1];
    EXPECT_EQ(rounds()[2].find("Ann#0 crouches"), std::string::npos) << rounds()[2];
    EXPECT_NE(rounds()[3].find("Ann#0 crouches"), std::string::npos) << rounds()[3];
}

TEST_F(CombatOrdersTest, GoingBackPastJoinedMonstersReleasesTheirEarlierChoices)
{
    CountedUse_S::live = 0;
    static CountingAction howl;
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    wolf.plural = "Wolves";
    wolf.hp = 40;
    bl3dMonsterType* wolves = monsterType(wolf);
    fighter("Ann");
    bl3dPartyChar* grey = wolves->makePartyChar(false);
    ASSERT_TRUE(party->addMember(grey));
    fighter("Bob");
    bl3dPartyChar* white = wolves->makePartyChar(false);
    ASSERT_TRUE(party->addMember(white));
    for (bl3dPartyChar* w : {grey, white})
        w->actions()->add(&howl, 100);
    dummies(1, 10);
    // Ann defends, the grey wolf chooses; Bob goes back past it to Ann, who
    // defends again, and the grey wolf chooses again. Bob defends, the
    // white wolf chooses; 'n' goes back past it to Bob, who defends, and
    // the white wolf chooses again.
    press({SDLK_f, SDLK_d, SDLK_MINUS, SDLK_d, SDLK_d, SDLK_n, SDLK_d, SDLK_y});
    int chosen = -1;
    hooks_.push_back([&](int state) {
        if (state == E::BEGIN_COMBAT && pressesLeft() == 1)
            chosen = CountedUse_S::live;
        return false;
    });
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(pressesLeft(), 0u);
    EXPECT_EQ(chosen, 2) << "one choice of each wolf is held when the fight begins";
    EXPECT_EQ(CountedUse_S::live, 0) << "every choice was released";
    EXPECT_GE(howl.made, 4);
}

TEST_F(CombatOrdersTest, TheEquipTrialRunsOnTheSheetAndTheSwapComesInTheRound)
{
    bl3dPartyChar& ann = fighter("Ann");
    bl3dItem* sword = kit().carry(ann, kit().sword);
    dummies(1, 10);
    // On the sheet's inventory page: the sword is the only line; 'e'
    // equips it, ESC ends the trial.
    press({SDLK_f, SDLK_e, SDLK_e, SDLK_ESCAPE, SDLK_y});
    recordOrders();
    runAfterRound();
    bool sheetSeen = false;
    hooks_.push_back([&](int) {
        sheetSeen = sheetSeen || CharView_C::inTrial();
        return false;
    });
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(sheetSeen);
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), ACTION_EQUIP_ITEM);
    EXPECT_EQ(ann.getSlotItem(SLOT_RT_HAND), sword) << "the swap is made when the order is performed";
    EXPECT_TRUE(performedMentions("Ann rummages through"));
}

TEST_F(CombatOrdersTest, ItemsMustBeWornAndDoSomething)
{
    bl3dPartyChar& ann = fighter("Ann");
    ann.setCurHP(50);
    kit().ring->setUseAction(MENDING_LIGHT);
    bl3dItem* ring = kit().give(ann, kit().ring, 12);
    ring->setCharges(5);
    kit().give(ann, kit().helm, SLOT_HEAD);
    kit().carry(ann, kit().rope);
    dummies(1, 10);
    // The chooser's lines: Helm, Ring, then the pack's Rope. The rope is
    // not worn; the helm does nothing; the ring heals Ann.
    press({SDLK_f, SDLK_i, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_SPACE, SDLK_i, SDLK_RETURN, SDLK_SPACE, SDLK_i,
           SDLK_DOWN, SDLK_RETURN, SDLK_F1, SDLK_y});
    recordOrders();
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(anyMentions("The item must be equipped to be used."));
    EXPECT_TRUE(anyMentions("The selected item doesn't do anything."));
    EXPECT_TRUE(anyMentions("On who do you wish to use the Ring"));
    ASSERT_EQ(ids_.size(), 1u);
    EXPECT_EQ(idAt(0), MENDING_LIGHT);
    EXPECT_GT(ann.getCurHP(), 50);
}

TEST_F(CombatOrdersTest, ASongStartedInTheFightEndsWithItsOrderOrTheFight)
{
    bl3dPartyChar& lyra = fighter("Lyra", 0x2, 3);
    lyra.getTagList()->setInt(tagkey::CurSongs, 3);
    lyra.getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
    lyra.actions()->add(masterActionList.getAction(SONG_PROUD_MARY), 0);
    lyra.actions()->add(masterActionList.getAction(SONG_WALKING_SONG), 0);
    // A skill of the higher levels carries a song number too (a Land
    // Reaver's; no bard learns one, but a bard given it): it is listed,
    // and choosing it starts nothing.
    bl3dAction* verse = masterActionList.getAction(WARLORDS_ROAR);
    ASSERT_NE(verse, nullptr);
    lyra.actions()->add(verse, 0);
    dummies(1, 10);
    // Round 1: Lyra plays the Walking Song. Round 2: she is playing; she
    // ends the song. Round 3: the party runs.
    press({SDLK_f, SDLK_p, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN, SDLK_y, SDLK_f, SDLK_e, SDLK_y});
    int32_t cbsAfterFirst = -1;
    bool playingAfterFirst = false;
    beforeKey = [&](int state) {
        if (state == E::MEMBER_TURN && cbsAfterFirst < 0 && drewState(E::PERFORMING)) {
            cbsAfterFirst = worldVar(tagkey::CBS);
            playingAfterFirst = lyra.isPlayingSong();
        }
        if (state == E::ROUND_MENU && pressesLeft() == 0 && vell::scriptedGameRandLeft() == 0)
            vell::scriptGameRand({0});
        return false;
    };
    play({{E::ROUND_MENU, {SDLK_r}}});
    EXPECT_EQ(fight(), 1);
    EXPECT_TRUE(lastIn(E::SONG_LIST).has("Available songs:"));
    EXPECT_TRUE(lastIn(E::SONG_LIST).has("Walking Song"));
    EXPECT_TRUE(lastIn(E::SONG_LIST).has("Warlord's Roar"));
    EXPECT_EQ(cbsAfterFirst, SONG_WALKING_SONG);
    EXPECT_TRUE(playingAfterFirst);
    EXPECT_TRUE(anyMentions("Lyra, you are currently playing.  What will you do?"));
    EXPECT_TRUE(anyMentions("stops playing."));
    EXPECT_EQ(worldVar(tagkey::CBS), 0);
    EXPECT_FALSE(lyra.isPlayingSong());
    EXPECT_EQ(music.playing, 0);

    // A song left playing ends with the fight.
    forget();
    press({SDLK_f, SDLK_p, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_y});
    beforeKey = [&](int state) {
        if (state == E::ROUND_MENU && pressesLeft() == 0 && vell::scriptedGameRandLeft() == 0)
            vell::scriptGameRand({0});
        return false;
    };
    EXPECT_EQ(fight(), 1);
    EXPECT_FALSE(lyra.isPlayingSong());
    EXPECT_EQ(worldVar(tagkey::CBS), 0);
}

TEST_F(CombatOrdersTest, ASongFromOutsideEndsWhenTheFightBegins)
{
    bl3dPartyChar& lyra = fighter("Lyra", 0x2, 3);
    lyra.getTagList()->setInt(tagkey::CurSongs, 3);
    lyra.getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
    lyra.actions()->add(masterActionList.getAction(SONG_WALKING_SONG), 0);
    bl3dAction* song = masterActionList.getAction(SONG_WALKING_SONG);
    char chars[256];
    TextBuf_C text(chars, sizeof chars);
    void* context[3] = {&text, &iface, reinterpret_cast<void*>(static_cast<intptr_t>(SONG_START))};
    ActionUse_S* use = song->makeEntry(new bl3dActor(&lyra), nullptr, 3, context);
    if (!use)
        use = song->enqueue(new bl3dActor(&lyra), 0, 3, context);
    ASSERT_NE(use, nullptr);
    ASSERT_EQ(song->perform(use), 0);
    song->freeEntry(use);
    ASSERT_EQ(worldVar(tagkey::NCBS), SONG_WALKING_SONG);
    ASSERT_NE(worldVar(tagkey::NCBSEnd), 0);
    ASSERT_TRUE(lyra.isPlayingSong());

    dummies(1, 10);
    bool playingInFight = true;
    int32_t ncbsInFight = -1;
    beforeKey = [&](int state) {
        if (state == E::ROUND_MENU && ncbsInFight < 0) {
            ncbsInFight = worldVar(tagkey::NCBS);
            playingInFight = lyra.isPlayingSong();
            vell::scriptGameRand({0});
        }
        return false;
    };
    play({{E::ROUND_MENU, {SDLK_r}}});
    EXPECT_EQ(fight(), 1);
    EXPECT_EQ(ncbsInFight, 0);
    EXPECT_FALSE(playingInFight);
    EXPECT_EQ(music.stops, 1);
    // Its end is gone with it: the queued bard-song event finds nothing.
    EXPECT_EQ(worldVar(tagkey::NCBSEnd), 0);
    EXPECT_FALSE(lyra.isPlayingSong());
}

TEST_F(CombatOrdersTest, ABeastCalledInTheFightStaysInTheParty)
{
    bl3dPartyChar& lyra = fighter("Lyra", 0x2, 3);
    lyra.getTagList()->setInt(tagkey::CurSongs, 3);
    lyra.getTagList()->setInt(tagkey::Inst, static_cast<int32_t>(LUTE));
    lyra.actions()->add(masterActionList.getAction(SONG_BEASTY_SKIRL), 0);
    bl3dPartyChar& ann = fighter("Ann");
    MonsterSpec_S wolf;
    wolf.name = "Wolf";
    wolf.plural = "Wolves";
    wolf.hp = 30;
    monsterType(wolf);
    dummies(1, 10);
    press({SDLK_f, SDLK_p, SDLK_RETURN, SDLK_d, SDLK_y});
    runAfterRound();
    EXPECT_EQ(fight(), 1);
    ASSERT_EQ(party->getCount(), 3);
    EXPECT_EQ(party->getMember(0), &lyra);
    EXPECT_EQ(party->getMember(1), &ann);
    EXPECT_TRUE(party->getMember(2)->isJoinedMonster()) << "the wolf answered the call and stays";
    EXPECT_STREQ(party->getMember(2)->getName(), "Wolf");
}

} // namespace
