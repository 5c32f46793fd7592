// The fixture of the spell tests: casters and foes built with the fight kit,
// casts made the way the cast screen makes them (makeEntry with the
// narration buffer and two values, perform, freeEntry), and the rolls that
// decide a cast scripted where a test needs them.
//
// Monsters named outside the saving-throw categories ("Gnoll") never save,
// and party members of class 0x8000 have no saving-throw table: both still
// draw their d20, so scripts count one value per saving throw.
#pragma once
#include "ActionTest.h"

#include "actions/Spell.h"
#include "actions/Spells.h"
#include "actions/WorldMagic.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"

#include <string>
#include <vector>

// A value of the fizzle roll ((v >> 4) % 100) that lets the cast go ahead,
// and one that fizzles it.
constexpr int NO_FIZZLE = 800;
constexpr int FIZZLES = 0;
// A class without a saving-throw table.
constexpr int32_t NEVER_SAVES = 0x8000;

class SpellTest : public ActionTest {
protected:
    static bl3dSpell* spell(const char* code) { return static_cast<bl3dSpell*>(masterActionList.getSpellByCode(code)); }

    bl3dPartyChar* mage(const char* name = "Mira", int32_t sp = 100, int32_t classId = 0x100, int32_t level = 10,
                        bool male = false) {
        MemberSpec_S m;
        m.name = name;
        m.sp = sp;
        m.classId = classId;
        m.level = level;
        m.male = male;
        return kit->addMember(m);
    }

    // A monster type: kind is its creature type; named outside the saving
    // categories it never saves.
    bl3dMonsterType* beast(const char* name = "Gnoll", int32_t hp = 20, int32_t sp = 0, int32_t kind = 0,
                           int32_t level = 1) {
        MonsterSpec_S s;
        s.name = name;
        s.plural = std::string(name) + "s";
        s.hp = hp;
        s.sp = sp;
        s.creatureType = kind;
        s.level = level;
        return kit->monsterType(s);
    }

    int32_t world(const char* key) const { return kit->env.tags.intValue(key); }
    void setWorld(const char* key, int32_t v) { kit->env.tags.setInt(key, v); }

    // One cast through makeEntry with the context {text, &a, &b}.
    int castBy(bl3dActor* actor, bl3dAction* s, void* target = nullptr, int32_t a = 0, int32_t b = 0) {
        a_ = a;
        b_ = b;
        void* context[3] = {&text, &a_, &b_};
        ActionUse_S* u = s->makeEntry(actor, target, 3, context);
        const int r = s->perform(u);
        s->freeEntry(u);
        return r;
    }
    int cast(const char* code, bl3dCharacter* who, void* target = nullptr, int32_t a = 0, int32_t b = 0) {
        return castBy(new bl3dActor(who), spell(code), target, a, b);
    }
    // The same with the fizzle roll passed, then the given rolls.
    int castOk(const char* code, bl3dCharacter* who, void* target = nullptr, std::vector<int> rolls = {},
               int32_t a = 0, int32_t b = 0) {
        rolls.insert(rolls.begin(), NO_FIZZLE);
        vell::scriptGameRand(rolls);
        return cast(code, who, target, a, b);
    }

    // The timed events of that type queued so far.
    std::vector<uint32_t> queuedAt(int typeId) const {
        std::vector<uint32_t> out;
        for (const auto& q : kit->actionEnv.queued)
            if (q.typeId == typeId)
                out.push_back(q.due);
        return out;
    }
    uint32_t now() const { return kit->env.now; }

private:
    int32_t a_ = 0;
    int32_t b_ = 0;
};
