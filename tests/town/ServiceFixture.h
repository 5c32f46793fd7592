// The Temple's and the guilds' tests were written against this name: the
// town fixture serves them all.
#pragma once
#include "TownFixture.h"

namespace town {

using ServiceFixture = TownFixture;

} // namespace town
