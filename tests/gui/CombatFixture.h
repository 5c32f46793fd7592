// Fixture of the fight tests: the party screens' quest and party, the
// game's actions and combat AI, monster types made here, and a player that
// answers each state of the fight with a key (pushed after each display,
// as a person at the keyboard would press it).
//
//   class MyTest : public CombatFixture {};
//   TEST_F(MyTest, X) {
//       join("Ann", 0x4);
//       addGroup(orc(), 2, 10);
//       play({{Event_4000_C::ROUND_MENU, SDLK_f}, ...});
//       EXPECT_EQ(fight(), 0);
//   }
//
// The player performs every entry (SPACE in state 13) and, unless a state
// has a key of the test's, leaves the victory screen ('l').
#pragma once
#include "PartyScreenFixture.h"
#include "support/MonsterSpec.h"

#include "actions/CombatAI.h"
#include "events/Event_4000.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "screens/CharView.h"
#include "app/WorldActionEnv.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace combattest {

using namespace partyscreens;

class CombatFixture : public PartyScreenFixture {
protected:
    void SetUp() override
    {
        PartyScreenFixture::SetUp();
        if (HasFatalFailure())
            return;
        loadShippedActions();
        initCombatAI();
        setActionEnv(&env_);
        enemyList.clear();
        gameConfig.difficulty = 1;
        watch([this] { return fight_ ? fight_->getState() : -100; });
        onDisplay([this] { answer(); });
    }
    void TearDown() override
    {
        fight_.reset();
        enemyList.clear();
        enemyList.setInCombat(false);
        masterMTL.clear();
        setActionEnv(nullptr);
        gameConfig.difficulty = 1;
        PartyScreenFixture::TearDown();
    }

    // --- the enemy --------------------------------------------------------------------
    bl3dMonsterType* monsterType(const MonsterSpec_S& kind) { return addMonsterType(kind); }
    bl3dMonsterList* addGroup(bl3dMonsterType* type, int count, int distance)
    {
        return enemyList.insertGroup(new bl3dMonsterList(count, type, 0), distance);
    }
    bl3dMonsterType* orc(int32_t xp = 10, int32_t gold = 0)
    {
        MonsterSpec_S s;
        s.hp = 1;
        s.xp = xp;
        s.gold = gold;
        return monsterType(s);
    }

    // --- the party ------------------------------------------------------------------------
    // A member who hits hard and is hard to hit.
    bl3dPartyChar& fighter(const char* name, int32_t classId = 0x4, int level = 1)
    {
        bl3dPartyChar& m = join(name, classId, level);
        m.setMaxHP(200);
        m.setCurHP(200);
        bl3dStatBlock* s = m.getStatBlock();
        s->setBase(STAT_ST, 18);
        s->setBase(STAT_DX, 18);
        s->setBase(STAT_ATTACK, 10);
        s->setBase(STAT_DAMAGE, 10);
        s->setBase(STAT_EXTRA_ATTACKS, 1);
        s->recompute();
        return m;
    }

    // --- the player -------------------------------------------------------------------------
    // Keys for a state, taken one per display in that state; the last one
    // stays for every later display in it.
    void play(std::initializer_list<std::pair<int, std::vector<SDLKey>>> answers)
    {
        for (const auto& a : answers)
            keys_[a.first] = std::deque<SDLKey>(a.second.begin(), a.second.end());
    }
    // Keys pressed one after each display whatever the state (screens the
    // fight opens included), before those of play(); every entry of a
    // round is still performed with SPACE.
    void press(std::initializer_list<SDLKey> keys) { sequence_.insert(sequence_.end(), keys.begin(), keys.end()); }
    size_t pressesLeft() const { return sequence_.size(); }

    // Builds the fight and runs it; its result.
    int fight()
    {
        drainEvents();
        fight_ = std::make_unique<Event_4000_C>(nullptr);
        return fight_->invoke(&iface);
    }
    Event_4000_C& event() { return *fight_; }
    int32_t worldVar(const char* key) const { return gameworld->getVar(key); }
    void setWorldVar(const char* key, int32_t v) { gameworld->setVar(key, v); }
    uint32_t now() const { return gameworld->getClock().getTicks(); }
    // Every state the fight was drawn in, in order (repeats folded).
    std::vector<int> states() const
    {
        std::vector<int> out;
        for (const Shown& s : shown())
            if (out.empty() || out.back() != s.state)
                out.push_back(s.state);
        return out;
    }
    bool drewState(int state) const
    {
        for (const Shown& s : shown())
            if (s.state == state)
                return true;
        return false;
    }

    // Called after each display, before the key of the state; true when it
    // pushed a key itself (a screen opened from the fight, say).
    std::function<bool(int state)> beforeKey;
    WorldActionEnv_C env_{&CharView_C::equipTrial};

private:
    void answer()
    {
        if (!fight_ || Event_4000_C::running() != fight_.get())
            return;
        SDL_Event pending;
        if (SDL_PeepEvents(&pending, 1, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_USEREVENT)) > 0)
            return;
        const int state = fight_->getState();
        if (std::getenv("VELL_COMBAT_TRACE")) {
            std::fprintf(stderr, "combat display: state %d member %d\n", state, fight_->getCurMember());
            for (const std::string& t : last().texts)
                std::fprintf(stderr, "    | %s\n", t.c_str());
        }
        if (beforeKey && beforeKey(state))
            return;
        if (state == Event_4000_C::PERFORMING) {
            pushKey(SDLK_SPACE);
            return;
        }
        if (!sequence_.empty()) {
            pushKey(sequence_.front());
            sequence_.pop_front();
            vell::pushRedraw();
            return;
        }
        auto it = keys_.find(state);
        if (it != keys_.end() && !it->second.empty()) {
            const SDLKey k = it->second.front();
            if (it->second.size() > 1)
                it->second.pop_front();
            pushKey(k);
            // A key that changes nothing asks for no redraw: this one lets
            // the player go on all the same.
            vell::pushRedraw();
            return;
        }
        if (state == Event_4000_C::VICTORY)
            pushKey(SDLK_l);
    }

    std::unique_ptr<Event_4000_C> fight_;
    std::map<int, std::deque<SDLKey>> keys_;
    std::deque<SDLKey> sequence_;
};

} // namespace combattest
