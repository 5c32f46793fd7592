#include "town/Event_1018.h"

#include "world/PaneText.h"

void OneTextBuilding_C::drawState(PaneText_C& pane)
{
    pane.wrapped(1, text());
    pane.line(0, "(ESCAPE) to Exit", SDLK_ESCAPE);
}

void OneTextBuilding_C::handleKey(int sym, SDLMod)
{
    if (sym == SDLK_ESCAPE)
        leave();
}

