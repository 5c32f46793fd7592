#include "core/MemberKeys.h"

#include <SDL.h>

int memberSlotOfKey(int sym)
{
    return (sym >= SDLK_F1 && sym <= SDLK_F8) ? sym - SDLK_F1 : -1;
}

int memberKeyOfSlot(int slot) { return SDLK_F1 + slot; }
