#include "EncounterSim.h"

#include "actions/CombatRound.h"
#include "core/ArchiveDir.h"
#include "core/ArchiveFile.h"
#include "platform/Random.h"
#include "rules/Action.h"
#include "rules/Actor.h"
#include "rules/ActionList.h"
#include "rules/EnemyList.h"
#include "rules/ItemList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/StatBlock.h"
#include "rules/TagKeys.h"
#include "world/Event.h"
#include "world/GameWorld.h"
#include "world/Map.h"
#include "world/MapInfo.h"
#include "world/QuestStores.h"

#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <vector>

namespace {

// A fight that outlasts this many rounds is counted as undecided.
constexpr int ROUND_LIMIT = 60;
// A member below this share of its hit points is worth a healing spell.
constexpr double WOUNDED = 0.4;
constexpr int32_t SONG_FLAG = 0x00400000;

FightTally_S* gTally = nullptr;

bool alive(const bl3dCharacter* c) { return c && c->getCurHP() > 0; }

int32_t nearestDistance()
{
    int d = 0;
    enemyList.groupAt(0, &d);
    return d;
}

// The first action of the list that the member can use now and that the
// test takes.
template <typename Test>
bl3dAction* firstUsable(ActionList* list, bl3dPartyChar& m, int32_t distance, Test test)
{
    if (!list)
        return nullptr;
    for (bool more = list->first(); more;) {
        bl3dAction* a = list->next();
        if (!a)
            break;
        if (test(*a) && a->usable(&m, distance))
            return a;
    }
    return nullptr;
}

bool strikesFoes(const bl3dAction& a)
{
    return a.aiCategory() == AI_ATTACK &&
           (a.targetKind() & (TARGET_ONE_ENEMY | TARGET_ENEMY_GROUP | TARGET_ALL_ENEMIES)) != 0;
}

// A round in which the whole party closes in on the foe (the round menu's
// "Ad(v)ance"), as the fight screen runs it.
FightState advanceRound(CombatRound_C& round)
{
    bl3dAction* partyAdv = masterActionList.getAction(ACTION_PARTY_ADV);
    int64_t dex = 0;
    int living = 0;
    for (int i = 0; i < party->getCount(); ++i)
        if (alive(party->getMember(i))) {
            dex += party->getMember(i)->getStatBlock()->getCur(STAT_DX);
            ++living;
        }
    round.initList().clear();
    int32_t distance = 0;
    void* context[2] = {&round.text(), &distance};
    if (ActionUse_S* use = partyAdv ? partyAdv->enqueue(new bl3dActor(nullptr), 0, 2, context) : nullptr)
        round.initList().add(partyAdv, use,
                             static_cast<uint32_t>(living ? double(dex) / living + 0.5 : 0) +
                                 static_cast<uint32_t>(vell::gameRand() % 4));
    round.queueGroups();
    while (round.performNext() >= 0) {
    }
    return round.endRound();
}

// This round's orders, as a sensible player gives them. False when nobody
// strikes at the distance of the nearest foes (the party had better close
// in).
bool giveOrders(CombatRound_C& round, bool firstRound)
{
    round.clearOrders();
    const int32_t distance = nearestDistance();
    bl3dMonsterList* nearest = enemyList.groupAt(0);
    bl3dPartyChar* wounded = nullptr;
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (alive(m) && m->getCurHP() < m->getMaxHP() * WOUNDED &&
            (!wounded || m->getCurHP() < wounded->getCurHP()))
            wounded = m;
    }
    bool strikes = distance <= MELEE_DISTANCE;
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        if (!alive(m) || m->getCombatAI())
            continue;
        RoundOrder_S order;
        if (wounded) {
            order.action = firstUsable(m->actions2(), *m, distance, [](const bl3dAction& a) {
                return a.aiCategory() == AI_HEAL && (a.targetKind() & TARGET_ONE_MEMBER) != 0;
            });
            if (order.action) {
                order.target = wounded;
                round.setOrder(i, order);
                wounded = nullptr;   // one healer for one wound
                continue;
            }
        }
        order.action = firstUsable(m->actions2(), *m, distance, strikesFoes);
        if (!order.action && firstRound && !m->isPlayingSong())
            order.action = firstUsable(m->actions(), *m, distance, [](const bl3dAction& a) {
                return (a.actionID() & SONG_FLAG) != 0 && a.aiCategory() == AI_SUMMON;
            });
        if (order.action) {
            order.target = nearest;
            round.setOrder(i, order);
            strikes = strikes || strikesFoes(*order.action);
        }
    }
    return strikes;
}

std::string foesNow()
{
    std::ostringstream out;
    for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g); ++g) {
        if (!group->getType())
            continue;
        out << (g ? ", " : "") << group->getSize() << " "
            << group->getType()->getName(group->getSize() != 1);
    }
    return out.str();
}

// The fight of the roll, played at once.
class SimFight_C : public Event_C {
public:
    int typeId() const override { return 4000; }
    int invoke(Interface_C*) override
    {
        FightTally_S& t = *gTally;
        ++t.fights;
        const std::string foes = foesNow();
        ++t.met[foes];
        enemyList.setInCombat(true);
        CombatRound_C round;
        FightState state = FightState::Going;
        int rounds = 0;
        while (state == FightState::Going && rounds < ROUND_LIMIT) {
            state = giveOrders(round, rounds == 0) ? round.runRound() : advanceRound(round);
            ++rounds;
        }
        round.endAllSongs();
        t.rounds += rounds;
        if (state == FightState::Won)
            ++t.won;
        else if (state == FightState::PartyDead)
            ++t.lost;
        else
            ++t.undecided;
        if (state != FightState::Won)
            ++t.notWon[foes];
        for (int i = 0; i < party->getCount(); ++i)
            if (!alive(party->getMember(i)))
                ++t.deaths;
        return 0;
    }
};

// A lone monster's offer to join (declined: no fight follows), or a fight
// that is only counted.
class Unplayed_C : public Event_C {
public:
    int typeId() const override { return 4000; }
    int invoke(Interface_C*) override
    {
        ++gTally->joinOffers;
        return 0;
    }
};

template <typename E>
std::unique_ptr<Event_C> make(const EventParams_S*)
{
    return std::make_unique<E>();
}

// The monster counts of a map's table as first read, put back before each
// roll that must meet the table fresh.
class FreshTable {
public:
    explicit FreshTable(Map_C& map) : info_(*map.getMapInfo())
    {
        for (const MapMonster_S& e : info_.getMonsters())
            remaining_.push_back(e.remaining);
    }
    void restore()
    {
        std::vector<MapMonster_S>& table = info_.getMonsters();
        for (size_t k = 0; k < table.size() && k < remaining_.size(); ++k)
            table[k].remaining = remaining_[k];
        info_.recomputeTotals();
    }

private:
    mapInfo& info_;
    std::vector<int32_t> remaining_;
};

} // namespace

EncounterSim_C::EncounterSim_C(const std::string& gameDir)
{
    char cwd[4096];
    oldDir_ = getcwd(cwd, sizeof cwd) ? cwd : ".";
    if (chdir(gameDir.c_str()) != 0) {
        error_ = "no game folder " + gameDir;
        return;
    }
    registerRulesTypes();
    registerWorldTypes();
    Map_C::setLoadPictures(false);
    const bool hadActions = masterActionList.count() != 0;
    kit_ = std::make_unique<FightKit_C>();
    if (!hadActions && masterActionList.load("data/actions.dat") <= 0) {
        error_ = "cannot read data/actions.dat";
        return;
    }
    madeActions_ = !hadActions;
    if (masterITL.load("data/item.dat") != 0) {
        error_ = "cannot read data/item.dat";
        return;
    }
    if (masterMTL.load("data/monsters.dat") <= 0) {
        error_ = "cannot read data/monsters.dat";
        return;
    }
    world_ = std::make_unique<ra2dGameWorld>(RefStr_C("ra2d.dat"));
    gameworld = world_.get();
    registerEncounterEvent(ENCOUNTER_FIGHT, &make<SimFight_C>);
    registerEncounterEvent(ENCOUNTER_JOIN, &make<Unplayed_C>);
    ok_ = loadParty();
}

EncounterSim_C::~EncounterSim_C()
{
    clearEventMakers();
    enemyList.clear();
    while (party && party->getCount() > 0)
        party->removeAt(0);
    if (gameworld == world_.get())
        gameworld = nullptr;
    world_.reset();
    kit_.reset();   // the monster types, the party, the actions it made
    masterITL.clear();
    Map_C::setLoadPictures(true);
    if (chdir(oldDir_.c_str()) != 0)
        std::fprintf(stderr, "EncounterSim: cannot go back to %s\n", oldDir_.c_str());
}

// The template's party, fresh from the archive, in place of the one there.
bool EncounterSim_C::loadParty()
{
    while (party->getCount() > 0)
        party->removeAt(0);
    std::string error;
    std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open("data/savegame.dat", false, &error);
    if (!archive) {
        error_ = "cannot open data/savegame.dat: " + error;
        return false;
    }
    installQuestStores(archive.get());
    DirHandle_C world = archive->openDir("world");
    std::unique_ptr<Storable_C> rec = world ? world->load("party.dat") : nullptr;
    installQuestStores(nullptr);
    auto* shipped = dynamic_cast<bl3dParty*>(rec.get());
    if (!shipped || shipped->getCount() == 0) {
        error_ = "the quest template holds no party";
        return false;
    }
    while (shipped->getCount() > 0)
        party->addMember(shipped->detachAt(0));
    return true;
}

std::unique_ptr<Map_C> EncounterSim_C::openMap(const char* path)
{
    auto map = std::make_unique<Map_C>(path);
    if (map->getLoadError() != Map_C::LOAD_OK || !map->getMapInfo()) {
        error_ = std::string("cannot load ") + path;
        return nullptr;
    }
    return map;
}

void EncounterSim_C::setHour(unsigned hour)
{
    GameClock_C& c = world_->getClock();
    c.setTicks(c.getTicks() - c.getTicks() % GameClock_C::TICKS_PER_DAY + hour * GameClock_C::TICKS_PER_HOUR);
}

FightTally_S EncounterSim_C::firstFights(const char* mapPath, unsigned hour, unsigned firstSeed, int count)
{
    FightTally_S tally;
    std::unique_ptr<Map_C> map = ok_ ? openMap(mapPath) : nullptr;
    if (!map)
        return tally;
    setHour(hour);
    gTally = &tally;
    FreshTable fresh(*map);
    for (int i = 0; i < count; ++i) {
        vell::gameSrand(firstSeed + static_cast<unsigned>(i));
        if (!loadParty())
            break;
        fresh.restore();
        world_->setVar(tagkey::MonsterJoin, 0);
        const int before = tally.fights;
        for (int rolls = 0; rolls < 100000 && tally.fights == before; ++rolls)
            map->randMonster(nullptr);
        enemyList.clear();
    }
    gTally = nullptr;
    return tally;
}

double EncounterSim_C::fightChancePerRoll(const char* mapPath, unsigned hour, unsigned seed, int rolls)
{
    std::unique_ptr<Map_C> map = ok_ ? openMap(mapPath) : nullptr;
    if (!map || rolls <= 0)
        return 0.0;
    setHour(hour);
    // The roll alone: the fight that follows is counted, not played.
    registerEncounterEvent(ENCOUNTER_FIGHT, &make<Unplayed_C>);
    FightTally_S tally;
    gTally = &tally;
    vell::gameSrand(seed);
    FreshTable fresh(*map);
    int fights = 0;
    for (int i = 0; i < rolls; ++i) {
        // Every roll on the fresh table: the chance of a first step.
        fresh.restore();
        if (map->randMonster(nullptr) == Map_C::ENCOUNTER_FIGHT_RUN)
            ++fights;
        enemyList.clear();
    }
    gTally = nullptr;
    registerEncounterEvent(ENCOUNTER_FIGHT, &make<SimFight_C>);
    return double(fights) / rolls;
}

EncounterSim_C::Walk_S EncounterSim_C::walk(const char* mapPath, unsigned hour, unsigned seed, int keys)
{
    Walk_S w;
    std::unique_ptr<Map_C> map = ok_ ? openMap(mapPath) : nullptr;
    if (!map)
        return w;
    setHour(hour);
    FightTally_S tally;
    gTally = &tally;
    vell::gameSrand(seed);
    FreshTable fresh(*map);
    bool afterFight = false;
    for (int i = 0; i < keys && loadParty(); ++i) {
        // The table as the walk found it: the keys differ only in what came
        // before them.
        fresh.restore();
        const int before = tally.fights;
        map->randMonster(nullptr);
        enemyList.clear();
        const bool fight = tally.fights != before;
        (afterFight ? w.keysAfterFight : w.otherKeys)++;
        if (fight)
            (afterFight ? w.fightsAfterFight : w.otherFights)++;
        afterFight = fight;
    }
    gTally = nullptr;
    return w;
}

std::string EncounterSim_C::describeParty()
{
    std::ostringstream out;
    if (!ok_ || !loadParty())
        return error_;
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        const bl3dStatBlock& s = *m->getStatBlock();
        out << m->getName() << " class 0x" << std::hex << m->getClassId() << std::dec << " HP " << m->getCurHP()
            << " SP " << m->getCurSP() << " AC " << s.getCur(STAT_AC) << " ST " << s.getCur(STAT_ST) << " DX "
            << s.getCur(STAT_DX) << " knows:";
        for (ActionList* list : {m->actions(), m->actions2()}) {
            for (bool more = list->first(); more;) {
                bl3dAction* a = list->next();
                if (!a)
                    break;
                out << " " << a->name().c_str();
            }
        }
        out << "\n";
    }
    return out.str();
}
