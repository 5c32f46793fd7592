#include "rules/Money.h"

#include "rules/Character.h"

#include <algorithm>

namespace money {

bool pay(bl3dCharacter& customer, int64_t price)
{
    if (price < 0 || price > kMaxGold)
        return false;
    return customer.spendGold(static_cast<int32_t>(price));
}

bool receive(bl3dCharacter& customer, int64_t amount)
{
    if (amount < 0)
        return false;
    return customer.addGold(static_cast<int32_t>(std::min(amount, kMaxGold)));
}

int64_t receiveUpTo(bl3dCharacter& customer, int64_t amount)
{
    const int64_t given = std::clamp<int64_t>(amount, 0, kMaxGold - customer.getGold());
    if (given > 0)
        customer.addGold(static_cast<int32_t>(given));
    return given;
}

int64_t salePrice(int64_t price)
{
    return price < 0 ? 0 : price / 2;
}

} // namespace money
