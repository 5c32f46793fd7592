#include "town/Event_1050.h"

std::unique_ptr<Event_C> Event_1050_C::create(const EventParams_S* params)
{
    return std::make_unique<Event_1050_C>(params);
}
