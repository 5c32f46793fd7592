#include "rules/LevelUp.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "core/TagList.h"
#include "platform/Random.h"
#include "rules/ClassDef.h"
#include "rules/LevelTable.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <cstdio>

void actionCounterKey(int32_t id, char (&out)[16]) {
    std::snprintf(out, sizeof out, "0x%08x", static_cast<uint32_t>(id));
}

namespace {

constexpr int32_t NO_COUNTER = -1;

// The rules of one level gain, applied to one character at its new level.
class Gain {
public:
    Gain(bl3dPartyChar& pc, int level) : pc_(pc), tags_(*pc.getTagList()), L(level) {}

    void createAbility(int32_t classId);
    void classRules(int32_t classId);

private:
    int32_t attr(const char* key) {
        int32_t v = 0;
        tags_.getInt(key, v);
        return v;
    }
    void setAttr(const char* key, int32_t v) { tags_.setInt(key, v); }
    void addAttr(const char* key, int32_t n) { setAttr(key, attr(key) + n); }
    void attacks(int32_t n) { pc_.getStatBlock()->setBase(STAT_EXTRA_ATTACKS, n); }
    void stepStat(int stat, int32_t n) {
        bl3dStatBlock* s = pc_.getStatBlock();
        s->setBase(stat, s->getBase(stat) + n);
    }
    void ac(int32_t n) { stepStat(STAT_AC, n); }
    void attack(int32_t n) { stepStat(STAT_ATTACK, n); }
    void damage(int32_t n) { stepStat(STAT_DAMAGE, n); }
    // Learns the action (first list, value 0) and sets its daily counter.
    void learn(int32_t id, int32_t uses);
    // Every class-32 spell of the master list up to that level.
    void spellsUpTo(int level);
    void field(int lo, int32_t value);

    void fighter();
    void bard();
    void class4();
    void class8();
    void class16();
    void class32();
    void class64();
    void class128();
    void magician(bool extraAttack);
    void class4000();

    bl3dPartyChar& pc_;
    TagList_C& tags_;
    const int L;
};

void Gain::learn(int32_t id, int32_t uses) {
    bool known = false;
    for (const ActionNode_S* n = pc_.actions()->head(); n && !known; n = n->next)
        known = n->action && n->action->actionID() == id;
    if (!known)
        if (bl3dAction* a = masterActionList.getAction(id)) {
            pc_.actions()->add(a, 0);
            known = true;
        }
    // A gain the game's actions lack is learned by nobody, and counts no
    // daily uses of it.
    if (!known || uses == NO_COUNTER)
        return;
    char key[16];
    actionCounterKey(id, key);
    char maxKey[24];
    std::snprintf(maxKey, sizeof maxKey, "%sMAX", key);
    setAttr(key, uses);
    setAttr(maxKey, uses);
}

void Gain::spellsUpTo(int level) {
    for (const ActionNode_S* n = masterActionList.head(); n; n = n->next) {
        bl3dAction* a = n->action;
        if (!a || !a->isSpell() || !a->isForClass(0x20) || a->getLevel() > level)
            continue;
        bool known = false;
        for (const ActionNode_S* k = pc_.actions2()->head(); k && !known; k = k->next)
            known = k->action && k->action->actionID() == a->actionID();
        if (!known)
            pc_.actions2()->add(a, 0);
    }
}

void Gain::field(int lo, int32_t value) {
    const uint32_t mask = 0xfu << lo;
    const uint32_t v = static_cast<uint32_t>(attr(CREATE_ABILITY_KEY));
    setAttr(CREATE_ABILITY_KEY, static_cast<int32_t>((v & ~mask) | ((static_cast<uint32_t>(value) & 0xfu) << lo)));
}

void Gain::createAbility(int32_t classId) {
    const int32_t A = std::min((L - 13) / 3 + 1, 15);
    const int32_t B = std::min((L - 19) / 4 + 1, 10);
    const int32_t C = std::min((L - 13) / 4 + 1, 15);
    const int32_t D = std::min((L - 13) / 5 + 1, 15);
    const int32_t E = std::min((L - 25) / 5 + 1, 10);
    const int32_t F = std::min((L - 25) / 6 + 1, 10);
    const bool a = L > 12, b = L > 18, e = L > 24;
    switch (classId) {
    case 0x1:
    case 0x4000:
        if (e) field(12, E);
        break;
    case 0x2:
        if (a) field(0, A);
        if (e) field(24, F);
        break;
    case 0x4:
        if (b) field(0, B);
        break;
    case 0x8:
        if (b) field(0, B);
        if (a) field(4, A);
        if (e) field(24, F);
        break;
    case 0x10:
        if (b) { field(0, B); field(4, B); }
        if (e) { field(8, E); field(16, F); }
        break;
    case 0x20:
        if (a) field(0, A);
        if (b) field(4, B);
        if (e) field(20, F);
        break;
    case 0x40:
        if (a) field(0, A);
        if (b) field(4, B);
        break;
    case 0x80:
        if (b) field(0, B);
        if (a) field(4, A);
        break;
    case 0x100:
        if (a) { field(8, C); field(16, D); field(24, D); }
        break;
    case 0x200:
    case 0x400:
    case 0x800:
    case 0x1000:
    case 0x2000:
        if (a) { field(12, C); field(20, D); field(24, D); }
        break;
    default:
        break;
    }
}

void Gain::fighter() {
    switch (L) {
    case 5: attacks(2); break;
    case 10: attacks(3); break;
    case 13: ac(-1); damage(2); learn(0x1A2036, 2); learn(0x1E2037, 3); break;
    case 15: attacks(4); break;
    case 20: attacks(5); break;
    case 25:
        attacks(6); ac(-1); damage(2); learn(0xE203F, 3);
        setAttr(tagkey::berserkLvl, 1); setAttr(tagkey::berserkMax, 3);
        break;
    case 30: attacks(7); break;
    case 35: attacks(8); break;
    case 37:
        ac(-1); damage(2); learn(0xA2040, 3); learn(0xA2041, 3);
        setAttr(tagkey::berserkLvl, 2); setAttr(tagkey::berserkMax, 6);
        break;
    case 40: attacks(9); break;
    default: break;
    }
    if (L >= 50)
        attacks((L - 50) / 10 + 10);
    if (L == 50) {
        ac(-1); damage(2); learn(0xA2042, 3);
        setAttr(tagkey::berserkLvl, 3); setAttr(tagkey::berserkMax, 9);
    }
}

void Gain::bard() {
    addAttr(tagkey::MaxSongs, 1);
    if (L >= 14)
        addAttr(tagkey::LockPick, 1);
    switch (L) {
    case 7: attacks(2); break;
    case 13: attacks(3); setAttr(tagkey::SongLvl, 2); setAttr(tagkey::LockPick, 10); break;
    case 25: attacks(4); setAttr(tagkey::SongLvl, 3); learn(0xA2057, 3); break;
    case 37: attacks(5); setAttr(tagkey::SongLvl, 4); learn(0x882058, 1); break;
    case 50: attacks(6); setAttr(tagkey::SongLvl, 5); learn(0x882059, 3); learn(0xA205A, 3); break;
    default: break;
    }
}

void Gain::class4() {
    switch (L) {
    case 7: attacks(2); break;
    case 13: attacks(3); attack(1); damage(1); break;
    case 19: attacks(4); break;
    case 25: attacks(5); attack(1); damage(1); learn(0xE2052, 3); learn(0x1A1011, 6); break;
    case 31: attacks(6); break;
    case 37: attacks(7); attack(1); damage(1); break;
    default: break;
    }
    if (L >= 50)
        attacks((L - 50) / 10 + 8);
    if (L == 50) {
        attack(1); damage(1); learn(0xA2055, 3); learn(0xE2056, 2);
    }
}

void Gain::class8() {
    if (L % 2 == 1 && pc_.getStatBlock()->getBase(STAT_AC) >= -10)
        ac(-1);
    switch (L) {
    case 7: attacks(2); break;
    case 13: attacks(3); setAttr(tagkey::h2hExp, 4); learn(0x882038, NO_COUNTER); break;
    case 19: attacks(4); break;
    case 25: attacks(5); setAttr(tagkey::h2hExp, 6); break;
    case 31: attacks(6); break;
    case 37:
        attacks(7); setAttr(tagkey::FOD, 4); setAttr(tagkey::h2hExp, 8);
        learn(0x82043, 3); learn(0x82044, 3); learn(0x82045, 4);
        break;
    default: break;
    }
    if (L >= 50) {
        attacks((L - 50) / 10 + 8);
        setAttr(tagkey::h2hExp, 10);
    }
    if (L == 50)
        learn(0xE2046, 3);
}

void Gain::class16() {
    switch (L) {
    case 7: attacks(2); break;
    case 13: attacks(3); ac(-1); setAttr(tagkey::Expert, 2); learn(0x1A203B, 3); learn(0x1E203C, 6); break;
    case 19: attacks(4); break;
    case 25: attacks(5); ac(-1); setAttr(tagkey::Expert, 3); learn(0x1A204C, 3); learn(0x1E204D, 4); break;
    case 31: attacks(6); break;
    case 37: attacks(7); ac(-1); setAttr(tagkey::Expert, 4); learn(0x1A204E, 3); learn(0x1A204F, 3); break;
    default: break;
    }
    if (L >= 50)
        attacks((L - 50) / 10 + 8);
    if (L == 50) {
        ac(-1); setAttr(tagkey::Expert, 5);
        learn(0x1A2050, 3); learn(0xE2051, 4); learn(0x1E2053, 2);
    }
}

void Gain::class32() {
    switch (L) {
    case 7: attacks(2); spellsUpTo(1); break;
    case 13:
        attacks(3); attack(1); damage(1); setAttr(tagkey::Prof, 2); spellsUpTo(2);
        learn(0xA2039, 3); learn(0xE203A, 3);
        break;
    case 19: attacks(4); spellsUpTo(3); break;
    case 25: attacks(5); attack(1); damage(1); setAttr(tagkey::Prof, 3); spellsUpTo(4); learn(0xA2047, 2); break;
    case 31: spellsUpTo(5); break;
    case 37: attacks(6); spellsUpTo(6); learn(0xE2048, 3); learn(0xA204A, 2); break;
    default: break;
    }
    if (L >= 50) {
        attacks((L - 50) / 10 + 6);
        spellsUpTo(7);
    }
    if (L == 50) {
        learn(0xE2049, 3); learn(0xA204B, 3);
    }
}

void Gain::class64() {
    if (L >= 26)
        addAttr(tagkey::LockPick, 2);
    switch (L) {
    case 7: attacks(2); break;
    case 13: attacks(3); setAttr(tagkey::Expert, 2); setAttr(tagkey::Prof, 2); learn(0xE203E, 3); learn(0x883003, 1); break;
    case 25:
        attacks(4); setAttr(tagkey::Expert, 3); setAttr(tagkey::Prof, 3); setAttr(tagkey::LockPick, 10);
        setAttr(tagkey::LocateTrap, 4); setAttr(tagkey::Defuse, 4);
        break;
    case 37:
        attacks(5); setAttr(tagkey::Expert, 4); setAttr(tagkey::Prof, 4); setAttr(tagkey::LocateTrap, 6); setAttr(tagkey::Defuse, 6);
        learn(0x8205B, 4); learn(0x1A205C, 2);
        break;
    case 50: attacks(6); setAttr(tagkey::Expert, 5); setAttr(tagkey::LocateTrap, 7); setAttr(tagkey::Defuse, 7); break;
    default: break;
    }
}

void Gain::class128() {
    addAttr(tagkey::LockPick, 2);
    switch (L) {
    case 7: attacks(2); break;
    case 13:
        attacks(3); setAttr(tagkey::InitBonus, 4); setAttr(tagkey::Expert, 4); setAttr(tagkey::Prof, 3);
        setAttr(tagkey::LocateTrap, 4); setAttr(tagkey::Defuse, 4);
        break;
    case 25:
        attacks(4); setAttr(tagkey::InitBonus, 10); setAttr(tagkey::Expert, 6); setAttr(tagkey::Prof, 4);
        setAttr(tagkey::LocateTrap, 6); setAttr(tagkey::Defuse, 6); learn(0xD1012, NO_COUNTER);
        break;
    case 37:
        attacks(5); setAttr(tagkey::Expert, 8); setAttr(tagkey::Prof, 5); setAttr(tagkey::LocateTrap, 8); setAttr(tagkey::Defuse, 8);
        break;
    case 50:
        attacks(6); setAttr(tagkey::InitBonus, 100); setAttr(tagkey::Expert, 10); setAttr(tagkey::Prof, 6);
        setAttr(tagkey::LocateTrap, 10); setAttr(tagkey::Defuse, 10); learn(0xD1013, NO_COUNTER);
        break;
    default: break;
    }
}

void Gain::magician(bool extraAttack) {
    addAttr(tagkey::PtLv, 1);
    const int32_t pt = attr(tagkey::PtLv);
    if (pt % 2 != 0)
        setAttr(tagkey::SPlv, pt / 2 + 1);
    if (extraAttack)
        attacks(2);
}

void Gain::class4000() {
    switch (L) {
    case 13: attacks(2); damage(2); setAttr(tagkey::Claw, 2); learn(0xA203D, 3); break;
    case 25: attacks(3); damage(2); setAttr(tagkey::Claw, 3); break;
    case 37: attacks(4); damage(2); setAttr(tagkey::Claw, 4); break;
    default: break;
    }
    if (L >= 50)
        attacks((L - 50) / 10 + 5);
    if (L == 50) {
        damage(2); learn(0x1E2054, 6); setAttr(tagkey::Claw, 5);
    }
}

void Gain::classRules(int32_t classId) {
    switch (classId) {
    case 0x1: fighter(); break;
    case 0x2: bard(); break;
    case 0x4: class4(); break;
    case 0x8: class8(); break;
    case 0x10: class16(); break;
    case 0x20: class32(); break;
    case 0x40: class64(); break;
    case 0x80: class128(); break;
    case 0x100:
    case 0x200:
    case 0x400:
    case 0x800:
    case 0x1000: magician(false); break;
    case 0x2000: magician(true); break;
    case 0x4000: class4000(); break;
    default: break;
    }
}

// rand() % die + 1, 0 for no die.
int32_t dieRoll(int32_t die) {
    return die > 0 ? vell::gameRand() % die + 1 : 0;
}

} // namespace

bool levelUp(bl3dPartyChar* who, bool apply) {
    if (!who)
        return false;
    const ClassDef_S* cls = findClassDef(who->getClassId());
    if (!cls || cls->levelTable < 0 || static_cast<size_t>(cls->levelTable) >= levelTables.size())
        return false;
    const LevelTable_S& table = levelTables[static_cast<size_t>(cls->levelTable)];
    // Compared in 64 bits: a negative experience never passes a threshold.
    const bool due = static_cast<int64_t>(who->getXP()) > static_cast<int64_t>(table.xpForLevel(who->getLevel()));
    if (!due || !apply)
        return due;

    int32_t hp = dieRoll(cls->hpDie) + cls->hpBonusFor(who->getStatBlock());
    who->setMaxHP(who->getMaxHP() + hp);
    who->setCurHP(std::min(who->getCurHP() + hp, who->getMaxHP()));
    const int32_t sp = cls->spDie > 0 ? cls->spDie + dieRoll(cls->spDie) : 0;
    who->setMaxSP(who->getMaxSP() + sp);
    who->setCurSP(std::min(who->getCurSP() + sp, who->getMaxSP()));
    who->setLevel(who->getLevel() + 1);

    Gain gain(*who, who->getLevel());
    gain.createAbility(cls->classId);
    gain.classRules(cls->classId);
    return true;
}
