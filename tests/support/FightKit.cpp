#include "FightKit.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "actions/CombatAI.h"
#include "rules/EnemyList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"

FightKit_C::FightKit_C() {
    setRulesEnv(&env);
    setActionEnv(&actionEnv);
    if (masterActionList.count() == 0) {
        initActions();
        madeActions_ = true;
    }
    initCombatAI();
    enemyList.clear();
    enemyList.setInCombat(true);
    previousParty_ = party;
    party = new bl3dParty(RefStr_C("party"));
}

FightKit_C::~FightKit_C() {
    enemyList.clear();
    enemyList.setInCombat(false);
    delete party;
    party = previousParty_;
    masterMTL.clear();
    itemTypes_.clear();
    setCombatAIEntry(1, nullptr);
    if (madeActions_)
        masterActionList.destroyAll();
    setActionEnv(nullptr);
    setRulesEnv(nullptr);
}

bl3dPartyChar* FightKit_C::addMember(const MemberSpec_S& spec) {
    auto* m = new bl3dPartyChar(spec.name.c_str(), spec.classId, RACE_HUMAN, spec.male, spec.alignment, nullptr,
                                nullptr);
    m->setLevel(spec.level);
    m->setMaxHP(spec.hp);
    m->setCurHP(spec.hp);
    m->setMaxSP(spec.sp);
    m->setCurSP(spec.sp);
    bl3dStatBlock& s = *m->getStatBlock();
    for (int i = 0; i < 8; ++i)
        s.setBase(i, spec.stats[i]);
    s.setBase(STAT_AC, spec.ac);
    s.setBase(STAT_ATTACK, spec.attack);
    s.setBase(STAT_DAMAGE, spec.damage);
    s.setBase(STAT_EXTRA_ATTACKS, spec.extraAttacks);
    // Pushed at the head: Attack comes first in the list.
    const int32_t basics[] = {ACTION_EQUIP_ITEM, ACTION_RETREAT, ACTION_ADVANCE, ACTION_DEFEND, ACTION_ATTACK};
    for (int32_t id : basics)
        m->actions()->add(masterActionList.getAction(id), 0);
    for (int32_t id : spec.skills)
        m->actions()->add(masterActionList.getAction(id), 0);
    if (!party->addMember(m)) {
        delete m;
        return nullptr;
    }
    return m;
}

bl3dPartyChar* FightKit_C::addJoined(bl3dMonsterType* type) {
    bl3dPartyChar* m = type->makePartyChar(false);
    if (!party->addMember(m)) {
        delete m;
        return nullptr;
    }
    return m;
}

bl3dItemType* FightKit_C::newType(int32_t kind, const char* name, int32_t price, int32_t slot, int32_t charges) {
    bl3dItemType* t = makeItemType(kind);
    t->setBasics(static_cast<int32_t>(itemTypes_.size()) + 1, name, "", price);
    t->setSlotMask(1 << slot);
    t->setClassMask(0x7fff);
    t->setCharges(charges);
    itemTypes_.emplace_back(t);
    return t;
}

bl3dItemType* FightKit_C::weaponType(const char* name, int32_t count, int32_t sides, int32_t category) {
    auto* t = static_cast<bl3dWeaponType*>(newType(ITEM_WEAPON, name, 10, SLOT_RT_HAND, UNLIMITED_CHARGES));
    t->setDamage(count, sides, 0, true);
    t->setCategory(category);
    return t;
}

bl3dItemType* FightKit_C::bowType(const char* name, int32_t range, int32_t ammoKind) {
    auto* t = static_cast<bl3dBowType*>(newType(ITEM_BOW, name, 10, SLOT_RT_HAND, UNLIMITED_CHARGES));
    t->setRange(range);
    t->setAmmoKind(ammoKind);
    t->setCategory(CAT_BOW);
    return t;
}

bl3dItemType* FightKit_C::ammoType(const char* name, int32_t ammoKind, int32_t count, int32_t sides,
                                   int32_t charges) {
    auto* t = static_cast<bl3dAmmoType*>(newType(ITEM_AMMO, name, 1, SLOT_AMMO, charges));
    t->setAmmoKind(ammoKind);
    t->setDamage(count, sides, 0, false);
    t->setFlags(ITEMF_CHARGES);
    return t;
}

bl3dItemType* FightKit_C::thrownType(const char* name, int32_t count, int32_t sides, int32_t charges,
                                     bool alsoMelee) {
    auto* t = static_cast<bl3dThrownType*>(newType(ITEM_THROWN, name, 5, SLOT_RT_HAND, charges));
    t->setDamage(count, sides, 0, false);
    t->setIsWeapon(alsoMelee);
    t->setCategory(CAT_THROWN);
    t->setFlags(ITEMF_CHARGES);
    return t;
}

bl3dItemType* FightKit_C::gearType(const char* name, int32_t slotMask, std::vector<std::pair<int32_t, int32_t>> mods) {
    bl3dItemType* t = newType(ITEM_PLAIN, name, 10, 0, 0);
    t->setSlotMask(slotMask);
    for (const auto& m : mods)
        t->addModifier(m.first, m.second);
    return t;
}

bl3dItem* FightKit_C::give(bl3dPartyChar* member, bl3dItemType* type, int slot) {
    bl3dItem* item = type->newInstance();
    if (slot < 0) {
        if (member->getPack()->pushFront(item) != 0) {
            delete item;
            return nullptr;
        }
        return item;
    }
    if (!member->putInSlot(slot, item)) {
        delete item;
        return nullptr;
    }
    return item;
}

bl3dMonsterType* FightKit_C::monsterType(const MonsterSpec_S& spec) { return addMonsterType(spec); }

bl3dMonsterList* FightKit_C::addGroup(bl3dMonsterType* type, int count, int distance) {
    return enemyList.insertGroup(new bl3dMonsterList(count, type, 0), distance);
}

void FightKit_C::tick() {
    ++env.now;
    for (int i = 0; i < party->getCount(); ++i) {
        bl3dPartyChar* m = party->getMember(i);
        m->effectTick();
        m->getStatBlock()->recompute();
    }
    for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g); ++g)
        for (uint32_t i = 0; i < group->getSize(); ++i) {
            bl3dMonster* m = group->getMonster(static_cast<int>(i));
            m->effectTick();
            m->getStatBlock()->recompute();
        }
}
