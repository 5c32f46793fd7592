#include "rules/RulesEnv.h"

#include "core/Storable.h"
#include "core/TagList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/ShopInv.h"

namespace {
RulesEnv_C standIn;
RulesEnv_C* current = nullptr;
} // namespace

RulesEnv_C& rulesEnv() { return current ? *current : standIn; }

void setRulesEnv(RulesEnv_C* env) { current = env; }

int32_t worldVar(const char* key) {
    const TagList_C* tags = rulesEnv().worldTags();
    return (tags && key) ? tags->intValue(key) : 0;
}

void setWorldVar(const char* key, int32_t value) {
    if (TagList_C* tags = rulesEnv().worldTags(); tags && key)
        tags->setInt(key, value);
}

// Poison effects are rebuilt by the character that carries them, so they
// have no creation function of their own.
void registerRulesTypes() {
    TypeRegistry_C& reg = getTypeRegistry();
    reg.add(TYPE_PARTY_CHAR, &bl3dPartyChar::create);
    reg.add(TYPE_PARTY, &bl3dParty::create);
    reg.add(TYPE_SHOP_INV, &bl3dShopInv::create);
}
