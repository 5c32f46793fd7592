#include "rules/RulesEnv.h"

#include "core/Storable.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/ShopInv.h"

namespace {
RulesEnv_C standIn;
RulesEnv_C* current = nullptr;
} // namespace

RulesEnv_C& rulesEnv() { return current ? *current : standIn; }

void setRulesEnv(RulesEnv_C* env) { current = env; }

// Poison effects are rebuilt by the character that carries them, so they
// have no creation function of their own.
void registerRulesTypes() {
    TypeRegistry_C& reg = getTypeRegistry();
    reg.add(TYPE_PARTY_CHAR, &bl3dPartyChar::create);
    reg.add(TYPE_PARTY, &bl3dParty::create);
    reg.add(TYPE_SHOP_INV, &bl3dShopInv::create);
}
