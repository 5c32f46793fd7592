#include "events/Event_8000.h"

#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/Movie.h"
#include "core/Startup.h"
#include "world/Interface.h"

#include <SDL.h>

#include <cstring>

Event_8000_C::Event_8000_C(const EventParams_S* params)
{
    if (!params)
        return;
    exitX_ = params->exitX;
    exitY_ = params->exitY;
    exitFacing_ = params->exitFacing;
    file_.assign(params->name, strnlen(params->name, sizeof params->name - 1));
}

int Event_8000_C::invoke(Interface_C* iface)
{
    const SDL_Surface* screen = SDL_GetVideoSurface();
    const int w = screen ? screen->w : gameConfig.width;
    const int h = screen ? screen->h : gameConfig.height;
    playMovie(file_.c_str(), w, h, soundActive(), false);
    vell::pushRedraw();
    if (iface) {
        iface->drawBackground();
        SDL_GL_SwapBuffers();
        iface->drawBackground();
        iface->clearUR(true);
    }
    return 0;
}
