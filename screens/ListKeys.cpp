#include "screens/ListKeys.h"

#include "core/ScrollList.h"

#include <SDL.h>

bool moveListByKey(ScrollList_C* list, int sym, bool pages)
{
    if (!list)
        return false;
    switch (sym) {
    case SDLK_UP: return list->lineUp();
    case SDLK_DOWN: return list->lineDown();
    case SDLK_PAGEUP: return pages && list->pageUp();
    case SDLK_PAGEDOWN: return pages && list->pageDown();
    default: return false;
    }
}
