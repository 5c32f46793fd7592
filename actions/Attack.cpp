#include "actions/Attack.h"

#include "actions/Attributes.h"
#include "actions/PackedPoison.h"
#include "actions/Targets.h"
#include "core/Log.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/MonsterType.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

#include <algorithm>
#include <cstdint>

namespace {

// A Pale Claw's claws never strike more often than this, whatever a broken
// attribute says.
constexpr int32_t MAX_CLAWS = 100;
// Nor does anyone strike more often than this in one attack, whatever a
// broken record gives for extra attacks or the berserk level.
constexpr int64_t MAX_BLOWS = 100;

const bl3dWeaponType* weaponTypeOf(const bl3dItem* item) {
    return item ? dynamic_cast<const bl3dWeaponType*>(item->getType()) : nullptr;
}

int32_t categoryOf(const bl3dItem* item) { return item && item->getType() ? item->getType()->getCategory() : 0; }

bool oneOf(int32_t v, std::initializer_list<int32_t> set) { return std::find(set.begin(), set.end(), v) != set.end(); }

// Takes a spent item out of its slot: unequipped first, so its modifiers go
// with it, then deleted.
void dropSpent(bl3dPartyChar& owner, int slot) { delete owner.takeFromSlot(slot); }

// Uses `n` charges of the item in the slot; deletes it when none are left.
void spendCharges(bl3dPartyChar& owner, int slot, int32_t n) {
    bl3dItem* item = owner.getSlotItem(slot);
    if (!item || item->getCharges() == UNLIMITED_CHARGES)
        return;
    item->setCharges(item->getCharges() - n);
    if (item->getCharges() <= 0)
        dropSpent(owner, slot);
}

// What the right hand and the ammunition slot give for one attack.
struct Arms {
    const bl3dItem* melee = nullptr;
    const bl3dItem* bow = nullptr;
    const bl3dItem* thrown = nullptr;
    const bl3dItem* ammo = nullptr;
    int32_t category = 0;
    int32_t specialFlags = 0;
    int32_t specialValue = 0;
};

Arms armsOf(const bl3dPartyChar& who, int distance) {
    Arms a;
    const bl3dItem* right = who.getSlotItem(SLOT_RT_HAND);
    if (right && right->isWeapon())
        a.melee = right;
    if (right && right->isBow()) {
        a.bow = right;
        VELL_LOG(1, "SKILL_1 HAS BOW");
    } else {
        VELL_LOG(1, "SKILL_1 HAS NO BOW");
    }
    if (right && right->isThrown() && (distance > MELEE_DISTANCE || !a.melee)) {
        VELL_LOG(1, "HAS THROWN WEAPON\n");
        a.thrown = right;
        a.melee = nullptr;
    }
    const bl3dItem* ammo = who.getSlotItem(SLOT_AMMO);
    a.ammo = (ammo && ammo->isAmmo()) ? ammo : nullptr;
    if (const bl3dWeaponType* w = weaponTypeOf(a.melee)) {
        a.specialFlags = w->getSpecialFlags();
        a.specialValue = w->getSpecialValue();
        a.category = categoryOf(a.melee);
    }
    if (a.bow)
        a.category = categoryOf(a.bow);
    if (const bl3dWeaponType* w = weaponTypeOf(a.thrown)) {
        a.specialFlags = w->getSpecialFlags();
        a.specialValue = w->getSpecialValue();
        a.category = categoryOf(a.thrown);
    }
    // Arrows strike only when they are shot: ammunition sitting in its slot
    // does not poison a sword's blow.
    if (a.bow) {
        if (const bl3dWeaponType* w = weaponTypeOf(a.ammo)) {
            a.specialFlags = w->getSpecialFlags();
            a.specialValue = w->getSpecialValue();
        }
    }
    return a;
}

// Wide enough that no sum of attributes wraps; the blows are bounded after.
struct Bonus {
    int64_t hit = 0;
    int64_t damage = 0;
    int64_t attacks = 1;
};

void addClassBonus(bl3dPartyChar& who, const Arms& arms, const bl3dMonster& target, Bonus& b) {
    const bool lowHP = who.getCurHP() <= who.getMaxHP() / 10;
    const bool bare = !arms.melee && !arms.bow;
    const int32_t meleeCat = arms.melee ? arms.category : -1;
    auto attr = [&who](const char* key) { return intAttribute(&who, key); };
    switch (who.getClassId()) {
    case 0x1:
        if (lowHP) {
            b.hit += 5;
            b.damage += 5;
        }
        if (attr(tagkey::BerserkOn) != 0) {
            const int32_t lvl = attr(tagkey::berserkLvl);
            b.attacks += lvl;
            b.hit += lvl;
            b.damage += lvl;
            setIntAttribute(&who, tagkey::BerserkOn, 0);
        }
        break;
    case 0x8:
        if (bare) {
            b.hit += attr(tagkey::h2hExp);
            if (const int32_t fod = attr(tagkey::FOD)) {
                b.damage += fod;
                if (target.creatureType() != CREATURE_NO_ESCAPE)
                    setIntAttribute(&who, tagkey::FOD, saturate32(static_cast<int64_t>(fod) * 2));
            }
        }
        break;
    case 0x10:
        if (arms.bow)
            b.hit += attr(tagkey::Expert);
        if (oneOf(meleeCat, {CAT_LONG_BLADE, CAT_SHORT_BLADE}))
            b.hit += 2 * static_cast<int64_t>(attr(tagkey::Expert));
        break;
    case 0x20:
        if (arms.bow) {
            b.hit += attr(tagkey::Prof);
            b.damage += attr(tagkey::Prof);
        }
        break;
    case 0x40:
        if (arms.bow) {
            b.hit += 2 * static_cast<int64_t>(attr(tagkey::Expert));
            if (attr(tagkey::Expert) > 4)
                b.attacks *= 2;
        }
        if (oneOf(meleeCat, {CAT_SHORT_BLADE, CAT_LONG_BLADE, CAT_MELEE, CAT_BLUNT}))
            b.hit += attr(tagkey::Prof);
        break;
    case 0x80:
        if (arms.bow || meleeCat == CAT_SHORT_BLADE)
            b.hit += attr(tagkey::Prof);
        if (meleeCat == CAT_THROWN)
            b.hit += attr(tagkey::Expert);
        break;
    case 0x4000:
        if (lowHP) {
            b.hit += 5;
            b.damage += 5;
        }
        if (bare) {
            const int32_t claws = std::clamp(attr(tagkey::Claw), 0, MAX_CLAWS);
            for (int32_t i = 0; i < claws; ++i)
                b.damage += 1 + vell::gameRand() % 6;
        }
        break;
    default:
        break;
    }
}

// The damage of one blow before its floor of 1.
int32_t blowDamage(const bl3dPartyChar& who, const Arms& arms, int64_t bonusDamage) {
    const bl3dStatBlock& s = *who.getStatBlock();
    const int32_t st = s.getCur(STAT_ST);
    int64_t dmg = s.getCur(STAT_DAMAGE);
    if (const bl3dWeaponType* w = weaponTypeOf(arms.thrown)) {
        dmg += w->rollDamage(0) + bonusDamage;
    } else if (const bl3dWeaponType* m = weaponTypeOf(arms.melee)) {
        dmg += m->rollDamage(st >= 15 ? st - 14 : 0) + bonusDamage;
    } else if (arms.bow) {
        const bl3dWeaponType* a = weaponTypeOf(arms.ammo);
        dmg += (a ? a->rollDamage(0) : 0) + bonusDamage;
    } else if (who.getClassId() & (CLASS_JOINED | CLASS_SUMMONED)) {
        dmg += vell::gameRandMod(st + 1) + 1 + bonusDamage;
    } else {
        dmg += vell::gameRand() % 4 + (st >= 11 ? st - 10 : 0) + bonusDamage;
    }
    if ((arms.melee || (!arms.bow && !arms.thrown)) && who.getClassId() != 0x1 &&
        (who.getConditions() & 0x200))
        dmg += dmg / 4;
    return saturate32(dmg);
}

// The weapon's rule for one creature type, applied to every blow.
int32_t typeRule(int32_t dmg, const Arms& arms, int32_t creatureType) {
    const bool same = creatureType == arms.specialValue;
    if ((arms.specialFlags & WSPEC_ONLY_VS) && !same)
        return 0;
    if ((arms.specialFlags & WSPEC_DOUBLE_VS) && same)
        return saturate32(static_cast<int64_t>(dmg) * 2);
    if ((arms.specialFlags & WSPEC_NONE_VS) && same)
        return 0;
    return dmg;
}

// A weapon's poison counts its duration and stride in fours of ticks.
void poisonFrom(bl3dCharacter& target, int32_t value) {
    target.addBaseConditions(COND_POISONED);
    PackedPoison_S::unpack(static_cast<uint32_t>(value), 4).apply(target);
}

void play(const char* sound) { rulesEnv().playSound(sound); }

// One party attack: who strikes whom with what, and where the words go.
struct PartyBlow_S {
    bl3dPartyChar& attacker;
    bl3dMonster& target;
    TextBuf_C& text;
    Arms arms;
    const char* who() const { return attacker.getName(); }
    const char* article() const { return target.article(false); }
    const char* foe() const { return target.getName(); }
};

const bl3dBowType* bowTypeOf(const Arms& arms) {
    return arms.bow ? dynamic_cast<const bl3dBowType*>(arms.bow->getType()) : nullptr;
}

// The foe in reach and, for a bow, arrows that fit it. False with the
// refusal written (nothing spent).
bool readyToStrike(const PartyBlow_S& p, int distance) {
    const bl3dBowType* bowType = bowTypeOf(p.arms);
    const bool inRange = p.arms.bow ? (bowType && distance <= bowType->getRange())
                                    : (p.arms.thrown || distance < MELEE_DISTANCE + 1);
    if (!inRange) {
        VELL_LOG(1, "Attacked out of range!\n");
        p.text.set("#2%s#0 tries to attack %s %s, but the target is out of range!\n", p.who(), p.article(), p.foe());
        return false;
    }
    if (p.arms.bow) {
        const auto* ammoType = p.arms.ammo ? dynamic_cast<const bl3dAmmoType*>(p.arms.ammo->getType()) : nullptr;
        if (!ammoType || !bowType || ammoType->getAmmoKind() != bowType->getAmmoKind() ||
            p.arms.ammo->getCharges() < 1) {
            VELL_LOG(1, "no ammo to shoot\n");
            p.text.set("#2%s#0 tries to attack %s %s, but %s is out of ammunition!\n", p.who(), p.article(), p.foe(),
                       p.attacker.pronoun(0));
            return false;
        }
    }
    return true;
}

// The blows struck: no more than the arrows or throws at hand, and never
// more than MAX_BLOWS.
int32_t blowCount(const Arms& arms, const Bonus& b) {
    int64_t attacks = b.attacks;
    const bl3dItem* charged = arms.bow ? arms.ammo : arms.thrown;
    if (charged && charged->getCharges() != UNLIMITED_CHARGES && charged->getCharges() >= 1)
        attacks = std::min<int64_t>(attacks, charged->getCharges());
    return static_cast<int32_t>(std::clamp<int64_t>(attacks, 1, MAX_BLOWS));
}

struct Tally_S {
    int32_t hits = 0;
    int64_t total = 0;
    int32_t last = 0; // the last hit's damage
};

Tally_S rollBlows(const PartyBlow_S& p, const Bonus& b, int32_t blows) {
    const bl3dStatBlock& s = *p.attacker.getStatBlock();
    Tally_S t;
    for (int32_t i = 0; i < blows; ++i) {
        const int32_t ac = effectiveAC(p.target.getStatBlock()->getCur(STAT_AC));
        const int64_t roll = vell::gameRand() % 20 + 1 + b.hit;
        if (roll == 1 || roll + s.getCur(STAT_ATTACK) + ac <= 10)
            continue;
        const int32_t dmg =
            typeRule(std::max(blowDamage(p.attacker, p.arms, b.damage), 1), p.arms, p.target.creatureType());
        ++t.hits;
        t.total += dmg;
        t.last = dmg;
    }
    return t;
}

// The shots and throws are spent, hit or miss.
void spendShots(bl3dPartyChar& attacker, const Arms& arms, int32_t blows) {
    if (arms.bow)
        spendCharges(attacker, SLOT_AMMO, blows);
    else if (arms.thrown)
        spendCharges(attacker, SLOT_RT_HAND, blows);
}

void narrateMiss(const PartyBlow_S& p, int32_t blows) {
    play(weaponMissSound(p.arms.category));
    if (blows == 1)
        p.text.set("#2%s#0 attacks %s #4%s#0, but misses!\n", p.who(), p.article(), p.foe());
    else
        p.text.set("#2%s#0 attacks %s #4%s#0 %d times, but misses them all!\n", p.who(), p.article(), p.foe(), blows);
}

// The chance in percent of an instant kill that the weapon adds.
int32_t killChanceOf(const Arms& arms) { return (arms.specialFlags & WSPEC_ADD_DAMAGE) ? arms.specialValue : 0; }

// A weapon that makes conjured creatures vanish: true when the target did
// (told); the weapon's poison takes first.
bool vanishes(const PartyBlow_S& p, int32_t blows) {
    if (p.arms.specialFlags & WSPEC_POISON)
        poisonFrom(p.target, p.arms.specialValue);
    if (!(p.arms.specialFlags & WSPEC_KILL) || p.target.kind() == 0)
        return false;
    p.target.changeHP(saturate32(-2 * static_cast<int64_t>(p.target.getMaxHP())));
    const int32_t c = p.arms.category;
    const bool named = c == CAT_AXE || c == CAT_BLUNT || c == CAT_MELEE || c == CAT_BOW || c == CAT_LONG_BLADE ||
                       c == CAT_THROWN || c == CAT_SHORT_BLADE;
    play(named ? weaponHitSound(c) : "W_MeleeHand");
    if (blows == 1)
        p.text.set("#2%s#0 attacks %s #4%s#0, causing %s to disappear!\n", p.who(), p.article(), p.foe(),
                   p.target.pronoun(0));
    else
        p.text.set("#2%s#0 attacks %s #4%s#0 %d times, causing %s to disappear!\n", p.who(), p.article(), p.foe(),
                   blows, p.target.pronoun(0));
    return true;
}

void dealHits(const PartyBlow_S& p, const Tally_S& t, int32_t blows, int32_t killChance) {
    play(weaponHitSound(p.arms.category));
    int32_t last = t.last;
    if (p.target.creatureType() == CREATURE_NO_ESCAPE && killChance > 0 && vell::gameRand() % 100 + 1 <= killChance)
        last = p.target.getCurHP();
    p.target.changeHP(-std::max(saturate32(t.total), last));
    if (blows == 1)
        p.text.set("#2%s#0 attacks %s #4%s#0, and hits for #4%d#0 points", p.who(), p.article(), p.foe(), last);
    else
        p.text.set("#2%s#0 attacks %s #4%s#0 %d times, and hits %d time%s for a total of #4%d#0 points", p.who(),
                   p.article(), p.foe(), blows, t.hits, t.hits == 1 ? "" : "s", saturate32(t.total));
    if (p.target.getCurHP() < 1) {
        if (p.attacker.getClassId() == 0x8 && intAttribute(&p.attacker, tagkey::FOD) != 0)
            setIntAttribute(&p.attacker, tagkey::FOD, 4);
        p.text.append(", killing %s!\n", p.target.pronoun(1));
    } else {
        p.text.append("!\n");
    }
}

} // namespace

int32_t effectiveAC(int32_t ac) {
    if (ac >= -5)
        return ac;
    int64_t i = (-5 - static_cast<int64_t>(ac)) / 2;
    int64_t counted = -(i + 5);
    for (int64_t threshold = 10; threshold <= 25; threshold += 5) {
        if (counted >= -threshold)
            break;
        i = (i - 5) / 2;
        counted = -(i + threshold);
    }
    return static_cast<int32_t>(counted);
}

const char* weaponHitSound(int32_t category) {
    switch (category) {
    case CAT_AXE: return "W_Axe";
    case CAT_BLUNT: return "W_Blunt";
    case CAT_BOW: return "W_Bow";
    case CAT_LONG_BLADE: return "W_LongBlade";
    case CAT_THROWN: return "W_Thrown";
    case CAT_SHORT_BLADE: return "W_ShortBlade";
    default: return "W_Melee";
    }
}

const char* weaponMissSound(int32_t category) {
    switch (category) {
    case CAT_AXE: return "W_AxeMiss";
    case CAT_BLUNT: return "W_BluntMiss";
    case CAT_BOW: return "W_BowMiss";
    case CAT_LONG_BLADE: return "W_LongBladeMiss";
    case CAT_THROWN: return "W_ThrownMiss";
    case CAT_SHORT_BLADE: return "W_ShortBladeMiss";
    default: return "W_MeleeMiss";
    }
}

int bl3dSkill_1::perform(ActionUse_S* record) {
    SkillUse_S* use = skillUse(record);
    if (!use)
        return -3;
    bl3dCharacter* attacker = use->performer;
    if (!attacker)
        return -3;
    const int r = checkState(attacker, COND_POISONED, "attack", use->text);
    if (r < 1)
        return r;
    if (attacker->isPartyMember())
        return partyAttack(*use, *static_cast<bl3dPartyChar*>(attacker));
    if (!attacker->isMonster())
        return -3;
    if (use->distance == 0)
        return -4;
    return monsterAttack(*use);
}

int bl3dSkill_1::monsterAttack(SkillUse_S& use) {
    bl3dCharacter* attacker = use.performer;
    if (attacker->getCurHP() < 1)
        VELL_LOG(1, "ERROR: bl3dSkill_1 called for %s with CurHP == %d!\n", attacker->getName(), attacker->getCurHP());
    bl3dCharacter* target = partyTargetOrFirst(use.target);
    if (!target)
        return -2;
    const bl3dStatBlock& s = *attacker->getStatBlock();
    const int32_t ac = effectiveAC(target->getStatBlock()->getCur(STAT_AC));
    const int64_t roll = static_cast<int64_t>(s.getCur(STAT_ATTACK)) + 1 + ac + vell::gameRand() % 20;
    const char* article = attacker->article(use.capital);
    if (roll < 11 || use.distance > MELEE_DISTANCE) {
        play("W_MeleeMiss");
        use.text->set("%s #4%s#0 attacks #2%s#0, but misses!\n", article, attacker->getName(), target->getName());
        return 0;
    }
    const int32_t st = s.getCur(STAT_ST);
    int64_t dmg = static_cast<int64_t>(s.getCur(STAT_DAMAGE)) + vell::gameRand() % 4 + vell::gameRand() % 4;
    if (st >= 11)
        dmg += vell::gameRandMod(st - 10) + 1;
    const int32_t damage = std::max<int32_t>(saturate32(dmg), 1);
    target->changeHP(-damage);
    play("W_Melee");
    use.text->set("%s #4%s#0 attacks #2%s#0, and hits for #4%d#0 points", article, attacker->getName(),
                  target->getName(), damage);
    if (target->getCurHP() < 1)
        use.text->append(", killing %s!\n", target->pronoun(1));
    else
        use.text->append("!\n");
    return 0;
}

int bl3dSkill_1::partyAttack(SkillUse_S& use, bl3dPartyChar& attacker) {
    if (enemyList.empty())
        return -2;
    FoeChoice_S foe;
    if (!pickLivingFoe(use.target, foe)) {
        use.text->set("#2%s#0 tries to attack, but there are no living enemies in sight!\n", attacker.getName());
        return -1;
    }
    const PartyBlow_S blow{attacker, *foe.monster, *use.text, armsOf(attacker, foe.distance)};
    Bonus b;
    b.attacks = std::max(attacker.getStatBlock()->getCur(STAT_EXTRA_ATTACKS), 1);
    addClassBonus(attacker, blow.arms, blow.target, b);
    if (!readyToStrike(blow, foe.distance))
        return 0;
    const int32_t blows = blowCount(blow.arms, b);
    const Tally_S tally = rollBlows(blow, b, blows);
    spendShots(attacker, blow.arms, blows);
    if (tally.hits == 0)
        narrateMiss(blow, blows);
    else if (!vanishes(blow, blows))
        dealHits(blow, tally, blows, killChanceOf(blow.arms));
    return 0;
}
