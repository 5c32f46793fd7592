#include "town/Event_1050.h"

