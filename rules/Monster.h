// bl3dMonster: one monster of an enemy group in combat, made from a monster
// type that gives it its name, lists, level and alignment.
#pragma once
#include "core/PtrList.h"
#include "rules/Character.h"

class bl3dMonsterType;
class bl3dCombatAI;

class bl3dMonster : public bl3dCharacter {
public:
    bl3dMonster(bl3dMonsterType* type, bl3dCombatAI* combatAI, uint8_t kind);
    ~bl3dMonster() override;

    bool isEvil() const override;
    bool isGood() const override;
    bool hasAlignment() const override;
    const char* pronoun(int form) const override;
    ActionList* actions() override;
    ActionList* actions2() override;
    void setName(const char* text) override;
    char* nameBuffer() override;
    const char* displayName(bool plural) const override;
    const char* getName() const override;
    const char* article(bool capital) const override;
    int32_t getLevel() const override;
    bool isMonster() const override { return true; }
    int32_t creatureType() const override;
    virtual uint8_t kind() const { return kind_; }

    bl3dMonsterType* getType() const { return type_; }
    bl3dCombatAI* getCombatAI() const { return combatAI_; }
    // Items the monster drops when it dies (owned).
    PtrList_C* getCarried() { return carried_; }

private:
    PtrList_C* carried_;
    bl3dMonsterType* type_;
    bl3dCombatAI* combatAI_;
    uint8_t kind_;
};
