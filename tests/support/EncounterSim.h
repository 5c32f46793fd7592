// EncounterSim_C: the wandering monsters of the shipped maps met by the
// ready-made party of the quest template, without a screen. The game's own
// encounter roll (Map_C::randMonster on the map's monster table, at an hour
// of the day) picks the monsters; the fight runs on the round driver and the
// combat AI until one side stands alone, the party played as a sensible
// player plays it: whoever knows a spell that strikes the foe casts it while
// its spell points last, a wounded member is healed by whoever can, a bard
// plays a song that calls help, and everyone else attacks from the front
// ranks and defends behind them.
//
// Life cycle: build one in the built game folder (it reads data/ and
// maps/; the folder is the current one for its life), ask for figures, let
// it go; everything it loaded and installed goes with it.
#pragma once
#include "FightKit.h"

#include <map>
#include <memory>
#include <string>

class Map_C;
class ra2dGameWorld;

// The first fights of new parties: one party for each seed, each meeting
// the first monsters that the roll brings.
struct FightTally_S {
    int fights = 0;
    int won = 0;
    int lost = 0;        // the whole party fell
    int undecided = 0;   // still going after the round limit
    int deaths = 0;      // members down at the end, over all fights
    int rounds = 0;
    int joinOffers = 0;  // a lone monster that offered to join (no fight)
    // What came, by the foes' names ("3 Goblins, 1 Orc").
    std::map<std::string, int> met;
    // The same, for the fights that were not won.
    std::map<std::string, int> notWon;

    double winRate() const { return fights ? double(won) / fights : 0.0; }
    double deathsPerFight() const { return fights ? double(deaths) / fights : 0.0; }
};

class EncounterSim_C {
public:
    // The game folder's data: actions, items, monsters and the template's
    // party. ok() tells whether all of it was read.
    explicit EncounterSim_C(const std::string& gameDir);
    ~EncounterSim_C();
    EncounterSim_C(const EncounterSim_C&) = delete;
    EncounterSim_C& operator=(const EncounterSim_C&) = delete;
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

    // For seeds first..first+count-1: a fresh party and a fresh table on the
    // map at the hour, rolled until monsters come, and the fight played out.
    FightTally_S firstFights(const char* mapPath, unsigned hour, unsigned firstSeed, int count);
    // The chance that one roll of the map's table at that hour starts a
    // fight (a join offer is no fight), over `rolls` seeded rolls of a
    // fresh table.
    double fightChancePerRoll(const char* mapPath, unsigned hour, unsigned seed, int rolls);

    // A walk of `keys` keys on the map at the hour, each key one roll of
    // the map's fresh table (as the main view rolls once for each passing
    // of time), the fights played out by a party that is whole again after
    // each.
    // Fights met on the first key after a fight, and on the other keys.
    struct Walk_S {
        int keysAfterFight = 0, fightsAfterFight = 0;
        int otherKeys = 0, otherFights = 0;
    };
    Walk_S walk(const char* mapPath, unsigned hour, unsigned seed, int keys);

    // The members of the template, one line each (name, class, HP, AC, what
    // they know), for the figures.
    std::string describeParty();

private:
    bool loadParty();
    std::unique_ptr<Map_C> openMap(const char* path);
    void setHour(unsigned hour);

    std::string oldDir_;
    bool ok_ = false;
    std::string error_;
    std::unique_ptr<FightKit_C> kit_;
    std::unique_ptr<ra2dGameWorld> world_;
    bool madeActions_ = false;
};
