#include "rules/Monster.h"

#include "rules/Item.h"
#include "rules/MonsterType.h"

#include <cstring>

bl3dMonster::bl3dMonster(bl3dMonsterType* type, bl3dCombatAI* combatAI, uint8_t kind)
    : bl3dCharacter(type ? type->getName(false) : "", 0, 0, ALIGN_NONE, SEX_NONE), carried_(new PtrList_C),
      type_(type), combatAI_(combatAI), kind_(kind) {
    if (type) {
        // The rolls in a fixed order: hit points, spell points, gold.
        maxHP_ = curHP_ = type->rollHP();
        maxSP_ = curSP_ = type->rollSP();
        stats_.copyValues(*type->getStats());
        alignment_ = type->getAlignment();
        sex_ = type->getSex();
        gold_ = type->rollGold();
    }
}

bl3dMonster::~bl3dMonster() { delete carried_; }

bool bl3dMonster::isEvil() const { return type_ && type_->getAlignment() == ALIGN_EVIL; }
bool bl3dMonster::isGood() const { return type_ && type_->getAlignment() == ALIGN_GOOD; }
bool bl3dMonster::hasAlignment() const { return type_ && type_->getAlignment() != ALIGN_NONE; }

const char* bl3dMonster::pronoun(int form) const { return type_ ? type_->pronoun(form) : bl3dCharacter::pronoun(form); }

ActionList* bl3dMonster::actions() { return type_ ? type_->actions() : bl3dCharacter::actions(); }
ActionList* bl3dMonster::actions2() { return type_ ? type_->actions2() : bl3dCharacter::actions2(); }

void bl3dMonster::setName(const char* text) {
    if (type_)
        type_->setName(text);
    else
        bl3dCharacter::setName(text);
}

char* bl3dMonster::nameBuffer() { return type_ ? type_->nameBuffer() : bl3dCharacter::nameBuffer(); }

const char* bl3dMonster::displayName(bool plural) const {
    if (!type_)
        return "";
    if (plural && type_->getPluralName()[0])
        return type_->getPluralName();
    return type_->getName(false);
}

const char* bl3dMonster::getName() const { return type_ ? type_->getName(false) : ""; }

const char* bl3dMonster::article(bool capital) const {
    if (type_)
        return type_->article(capital);
    return capital ? "A" : "a";
}

int32_t bl3dMonster::getLevel() const { return type_ ? type_->getLevel() : 0; }

int32_t bl3dMonster::creatureType() const { return type_ ? type_->getKind() : 0; }
