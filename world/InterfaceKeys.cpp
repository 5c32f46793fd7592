// The main view's key handler: walking and turning on the grid or freely,
// waiting, leaving for the menu, and the command keys.
#include "world/Interface.h"

#include "core/GameConfig.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"
#include "world/Map.h"
#include "world/Movement.h"

#include <random>
#include <utility>

namespace {

constexpr int kShiftBits = KMOD_LSHIFT | KMOD_RSHIFT;

// The walking bob is cosmetic: its own generator, never the game's dice.
int bobRoll()
{
    static std::minstd_rand dice(4711);
    return static_cast<int>(dice() % 2);
}

enum TurnKind { TURN_LEFT, TURN_AROUND, TURN_RIGHT };

} // namespace

void Interface_C::key(SDLKey sym, SDLMod mod)
{
    if (!currentWorld_ || !getCurrentMap())
        return;
    const bool free = gameConfig.freeNavigation;
    switch (sym) {
    case SDLK_UP:
    case SDLK_KP8:
        if (free)
            freeForward(mod);
        else
            stepForward(mod);
        break;
    case SDLK_DOWN:
    case SDLK_KP2:
        if (free)
            freeTurnAround();
        else
            turn(TURN_AROUND);
        break;
    case SDLK_LEFT:
    case SDLK_KP4:
        if (free)
            freeTurn(TURN_LEFT);
        else
            turn(TURN_LEFT);
        break;
    case SDLK_RIGHT:
    case SDLK_KP6:
        if (free)
            freeTurn(TURN_RIGHT);
        else
            turn(TURN_RIGHT);
        break;
    case SDLK_ESCAPE:
        quit(0);
        break;
    case SDLK_SPACE:
        entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x01);
        advanceClock(2);
        markTimerPending();
        break;
    default: {
        // A copy: the command may change the table.
        const auto command = keyCommands_.find(sym);
        if (command != keyCommands_.end()) {
            const KeyCommand run = command->second;
            run(mod);
        }
        break;
    }
    }
}

void Interface_C::setKeyCommand(SDLKey sym, KeyCommand command)
{
    if (command)
        keyCommands_[sym] = std::move(command);
    else
        keyCommands_.erase(sym);
}

// --- grid mode -------------------------------------------------------------------

void Interface_C::stepForward(SDLMod)
{
    Map_C* map = getCurrentMap();
    const int walkThrough = var(tagkey::WalkThrough);
    const int x = currentWorld_->getSquareX();
    const int y = currentWorld_->getSquareY();
    const int facing = getFacing();
    if (!movement::stepAllowed(map->isBlocked(x, y, facing), walkThrough))
        return;
    // Walking through walls never walks off the map.
    if (map->leavesGrid(x, y, facing))
        return;

    entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x01);
    const float fromX = getCurX(), fromZ = getCurZ();
    const movement::Step_S step = movement::stepFor(facing);
    if (step.dx)
        setCurX(fromX + float(step.dx));
    if (step.dy)
        setCurZ(fromZ - float(step.dy));

    const int nx = currentWorld_->getSquareX();
    const int ny = currentWorld_->getSquareY();
    const bool smooth = gameConfig.smoothWalk;
    if (smooth && !map->cellEventNoAnim(nx, ny))
        animateStep(fromX, fromZ, (fromX + getCurX()) / 2, (fromZ + getCurZ()) / 2, float(facing), true);
    if (map->hasCellEvent(nx, ny)) {
        markTimerPending();
        ProcessEvents();
    }
    if (smooth && getCurrentMap()) {
        // The event may have moved or turned the party: the second half
        // comes from half a square behind wherever it stands now.
        const movement::Step_S now = movement::stepFor(getFacing());
        const float toX = getCurX(), toZ = getCurZ();
        animateStep(toX - now.dx * 0.5f, toZ + now.dy * 0.5f, toX, toZ, float(getFacing()), false);
    }
    advanceClock(2);
    markTimerPending();
    if (smooth && held(SDLK_UP, SDLK_KP8))
        repeatForward_ = true;
    else
        pushRedraw();
    setVar(tagkey::WalkThrough, 0);
}

void Interface_C::turn(int kind)
{
    setVar(tagkey::WalkThrough, 0);
    if (kind == TURN_LEFT)
        repeatLeft_ = false;
    if (kind == TURN_RIGHT)
        repeatRight_ = false;
    const int from = getFacing();
    const int delta = kind == TURN_LEFT ? 90 : kind == TURN_AROUND ? 180 : -90;
    if (gameConfig.smoothWalk)
        animateTurn(getCurX(), getCurZ(), float(from), float(from + delta));
    const movement::Turn t = kind == TURN_LEFT ? movement::Turn::Left
                           : kind == TURN_AROUND ? movement::Turn::Around
                                                 : movement::Turn::Right;
    setFacing(movement::turned(from, t));
    advanceClock(1);
    entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x02);
    markTimerPending();
    pushRedraw();
}

// --- animation -------------------------------------------------------------------

void Interface_C::drawFrame(float x, float z, float facing, float eye)
{
    drawUL(x, z, facing, eye);
    clearUR(true);
    drawCharText();
    SDL_GL_SwapBuffers();
}

void Interface_C::animateStep(float fromX, float fromZ, float toX, float toZ, float facing, bool firstHalf)
{
    const Uint32 start = SDL_GetTicks();
    const int r = bobRoll();
    for (;;) {
        const int k = movement::animFrame(SDL_GetTicks() - start, 3);
        const float f = k / 3.0f;
        drawFrame(fromX + (toX - fromX) * f, fromZ + (toZ - fromZ) * f, facing,
                  movement::stepEyeHeight(firstHalf, k, r));
        if (k >= 3)
            break;
    }
}

void Interface_C::animateTurn(float x, float z, float from, float to)
{
    const Uint32 start = SDL_GetTicks();
    const int r = bobRoll();
    for (;;) {
        const int k = movement::animFrame(SDL_GetTicks() - start, 5);
        drawFrame(x, z, from + (to - from) * k / 5.0f, movement::turnEyeHeight(k, r));
        if (k >= 5)
            break;
    }
}

// --- free navigation -----------------------------------------------------------

void Interface_C::freeForward(SDLMod mod)
{
    repeatForward_ = repeatForwardShift_ = false;
    const bool shift = (mod & kShiftBits) != 0;
    const int walkThrough = var(tagkey::WalkThrough);
    Map_C* map = getCurrentMap();
    float vx = getViewX(), vz = getViewZ();
    const int bits = map->freeMoveBlocked(vx, -vz, getViewFacing());
    if (!(bits >= 3 && walkThrough == 0)) {
        movement::freeStep(vx, vz, getViewFacing(), bits, shift);
        setViewX(vx);
        setViewZ(vz);
        delay_(shift ? 10 : 20);
        if (held(SDLK_LEFT, SDLK_KP4)) {
            turnConsumed_ = true;
            setViewFacing((getViewFacing() + 5) % 360);
        }
        if (held(SDLK_RIGHT, SDLK_KP6)) {
            turnConsumed_ = true;
            setViewFacing((getViewFacing() + 355) % 360);
        }
        movement::bob(eyeHeight_, bobUp_, bobRoll());

        bool moved = false;
        const int sx = movement::freeSquareX(getViewX());
        if (sx != static_cast<int>(getCurX())) {
            setCurX(float(sx));
            moved = true;
        }
        const int sz = movement::freeSquareZ(getViewZ());
        if (sz != static_cast<int>(getCurZ())) {
            setCurZ(float(sz));
            moved = true;
        }
        if (moved) {
            entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x01);
            if (map->hasCellEvent(currentWorld_->getSquareX(), currentWorld_->getSquareY()))
                ProcessEvents();
            advanceClock(2);
            markTimerPending();
            setVar(tagkey::WalkThrough, 0);
        }
    }
    delay_(shift ? 10 : 20);
    if (held(SDLK_UP, SDLK_KP8)) {
        repeatForward_ = true;
        if (shift)
            repeatForwardShift_ = true;
    }
    pushRedraw();
}

void Interface_C::freeTurn(int kind)
{
    setVar(tagkey::WalkThrough, 0);
    const bool left = kind == TURN_LEFT;
    (left ? repeatLeft_ : repeatRight_) = false;
    if (turnConsumed_) {
        turnConsumed_ = false;
    } else {
        const int vf = (getViewFacing() + (left ? 5 : 355)) % 360;
        setViewFacing(vf);
        movement::bob(eyeHeight_, bobUp_, bobRoll());
        if (vf % 90 == 0) {
            setFacing(vf);
            advanceClock(1);
            entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x02);
            markTimerPending();
        }
        delay_(10);
    }
    if (left ? held(SDLK_LEFT, SDLK_KP4) : held(SDLK_RIGHT, SDLK_KP6))
        (left ? repeatLeft_ : repeatRight_) = true;
    pushRedraw();
}

void Interface_C::freeTurnAround()
{
    setVar(tagkey::WalkThrough, 0);
    const int from = getViewFacing();
    animateTurn(getViewX(), getViewZ(), float(from), float(from + 180));
    const int vf = (from + 180) % 360;
    setViewFacing(vf);
    if (vf % 90 == 0)
        setFacing(vf);
    advanceClock(1);
    entryState_ = static_cast<uint8_t>((entryState_ & ~0x03) | 0x02);
    markTimerPending();
    pushRedraw();
}
