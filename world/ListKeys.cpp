#include "world/ListKeys.h"

#include "core/ScrollList.h"
#include "core/ScrollPane.h"

#include <SDL.h>

namespace {

// The three list kinds move alike.
template <class List>
bool moveByKey(List* list, int sym, bool pages)
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

} // namespace

bool moveListByKey(ScrollList_C* list, int sym, bool pages) { return moveByKey(list, sym, pages); }
bool moveListByKey(ScrollInvList_C* list, int sym, bool pages) { return moveByKey(list, sym, pages); }
bool moveListByKey(ScrollPane_C* pane, int sym, bool pages) { return moveByKey(pane, sym, pages); }
