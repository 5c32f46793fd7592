#include "town/Building.h"

#include "audio/MasterAudio.h"
#include "core/ModalLoop.h"
#include "screens/CharView.h"
#include "world/PaneText.h"
#include "world/GameWorld.h"
#include "world/Interface.h"
#include "world/Map.h"
#include "world/Movement.h"

#include <cstdio>

Building_C::Building_C(const EventParams_S* params, int32_t defaultExitX, int32_t defaultExitY,
                       int32_t defaultExitFacing)
    : exitX_(params ? params->exitX : defaultExitX), exitY_(params ? params->exitY : defaultExitY),
      exitFacing_(params ? params->exitFacing : defaultExitFacing)
{
}

int Building_C::invoke(Interface_C* iface)
{
    if (!iface)
        return 0;
    iface_ = iface;
    state_ = kMenu;
    // Only a place that was entered is left again: a building whose sound
    // the configuration lacks must not take the music of the place around it.
    const bool enteredSound = maserAudio.pushSpecAudio(audioName(), false) == 0;
    if (keepsHours() && !isOpenNow())
        state_ = kClosed;
    runLoop(!waitsForEvents());
    afterVisit();
    if (emptiesPictureOnLeaving())
        iface->clearULPic();
    if (enteredSound)
        maserAudio.popSpecAudio();
    if (gameworld)
        gameworld->getClock().advance(leaveTicks());
    return 0;
}

void Building_C::drawPage(PaneText_C& pane)
{
    if (state_ == kClosed) {
        pane.wrapped(1, closedText());
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
    } else {
        PaneScreen_C::drawPage(pane);
    }
}

void Building_C::drawPic()
{
    if (!iface_)
        return;
    iface_->setULPic(state_ == kClosed ? "Closed" : pictureName());
    iface_->drawULPic();
}

bool Building_C::frameKey(int sym)
{
    if (state_ != kClosed)
        return false;
    if (sym == SDLK_SPACE)
        leave();
    return true;
}

bool Building_C::isOpenNow() const
{
    return !gameworld || isOpenAt(gameworld->getClock().getHour());
}

void Building_C::backToMenu()
{
    setState(keepsHours() && !isOpenNow() ? kClosed : kMenu);
}

void Building_C::leave()
{
    if (iface_) {
        // An exit on a square that cannot be entered, or with a facing that
        // is none of the four, would leave the party walled in or unable to
        // step: it stays at the door instead.
        const Map_C* map = iface_->getCurrentMap();
        if (map && map->canStand(exitX_, exitY_) && movement::isFacing(exitFacing_)) {
            iface_->setCurX(static_cast<float>(exitX_));
            iface_->setCurZ(-static_cast<float>(exitY_));
            iface_->setFacing(exitFacing_);
        } else {
            std::fprintf(stderr, "ERROR: the exit (%d, %d) facing %d of this place cannot be taken; the party stays "
                                 "at its door\n",
                         exitX_, exitY_, exitFacing_);
        }
    }
    setState(kDone);
}

bool Building_C::showSheet(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m || !iface_)
        return false;
    CharView_C::run(m, iface_, true);
    vell::pushRedraw();
    return true;
}
