#include "town/Taverns.h"

Event_1006_C::Event_1006_C(const EventParams_S* p) : Tavern_C(p, "Melkoran's Tavern", "data/melkoran.tip") {}
Event_1007_C::Event_1007_C(const EventParams_S* p) : Tavern_C(p, "The Green Bard", "data/greenbard.tip") {}
Event_1008_C::Event_1008_C(const EventParams_S* p) : Tavern_C(p, "Hughter's Owl", "data/hughter.tip") {}
Event_1009_C::Event_1009_C(const EventParams_S* p) : Tavern_C(p, "The Chiccasaw", "data/chiccasaw.tip") {}
Event_1010_C::Event_1010_C(const EventParams_S* p) : Tavern_C(p, "The Marauder's Hole", "data/marauder.tip") {}
