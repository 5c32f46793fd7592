#include "screens/PlaySong.h"

#include "core/MemberKeys.h"
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "actions/Songs.h"
#include "core/Log.h"
#include "core/ModalLoop.h"
#include "core/ScrollList.h"
#include "core/TextBuf.h"
#include "rules/PartyChar.h"
#include "world/ListKeys.h"
#include "world/PaneText.h"
#include "world/Interface.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

constexpr int32_t BARDS = 0x2;
// The number bits by which a bard song is known.
constexpr uint32_t SONG_NUMBER_BITS = 0xb000;

struct SongScreen_S {
    int state = PlaySong_C::DONE;
    Interface_C* iface = nullptr;
    bl3dPartyChar* singer = nullptr;
    std::unique_ptr<ScrollList_C> list;
    char narration[1024] = {};
    TextBuf_C text{narration, sizeof narration};
};

SongScreen_S& S()
{
    static SongScreen_S screen;
    return screen;
}

void setState(int state)
{
    S().state = state;
    vell::pushRedraw();
}

void buildList()
{
    SongScreen_S& s = S();
    PaneText_C pane(*s.iface);
    s.list = std::make_unique<ScrollList_C>(&s.iface->text(), pane.left(), pane.right(), pane.lineY(3),
                                            pane.lineY(-2));
    for (const ActionNode_S* n = s.singer->actions()->head(); n; n = n->next) {
        if (!n->action || !(static_cast<uint32_t>(n->action->actionID()) & SONG_NUMBER_BITS))
            continue;
        VELL_LOG(10, "Action ID adding to list = 0x%08x\n", static_cast<unsigned>(n->action->actionID()));
        s.list->addLine(n->action->name().c_str(), n->action->actionID(), true);
    }
}

// Every member playing a song stops first: at most one song plays outside
// combat.
void endPlaying()
{
    SongScreen_S& s = S();
    endPlayingOutsideCombat(s.text, s.iface);
    VELL_LOG(10, "Done with player playing check!\n");
}

void play()
{
    SongScreen_S& s = S();
    endPlaying();
    bl3dAction* song = s.singer->actions()->getAction(s.list->selectedValue());
    VELL_LOG(10, "Selected Action id = %08x\n", static_cast<unsigned>(s.list->selectedValue()));
    s.text.clear();
    if (song)
        performSongRequest(*song, *s.singer, s.text, s.iface, SONG_START);
    setState(PlaySong_C::PLAYED);
}

void chooseSinger(int sym)
{
    SongScreen_S& s = S();
    bl3dPartyChar* m = memberForKey(sym);
    if (!m || m->getCurHP() < 1)
        return;
    s.singer = m;
    if (!m->isClass(BARDS)) {
        VELL_LOG(10, "is not a bard\n");
        setState(PlaySong_C::NO_TALENT);
        return;
    }
    buildList();
    setState(PlaySong_C::CHOOSE_SONG);
}

void chooseSong(int sym)
{
    SongScreen_S& s = S();
    ScrollList_C* list = s.list.get();
    if (moveListByKey(list, sym, false)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        // An empty list has no line to play.
        if (list && list->selected() >= 0)
            play();
    } else if (sym == SDLK_ESCAPE) {
        setState(PlaySong_C::DONE);
    }
}

} // namespace

void PlaySong_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    SongScreen_S& s = S();
    s.iface = iface;
    // A member or spell of an earlier run may be gone by now.
    s.singer = nullptr;
    s.state = CHOOSE_SINGER;
    ModalLoop_C loop(s.state, [](const SDL_keysym& k) { key(k.sym); }, [] { updateText(); });
    loop.setMouse(iface->getMouseRegions()).setFrame([iface] { iface->drawBackground(); }).setPolling(true);
    loop.run();
}

void PlaySong_C::key(int sym)
{
    switch (S().state) {
    case CHOOSE_SINGER:
        if (memberSlotOfKey(sym) >= 0)
            chooseSinger(sym);
        else if (sym == SDLK_ESCAPE)
            setState(DONE);
        return;
    case CHOOSE_SONG: chooseSong(sym); return;
    case PLAYED:
        if (sym == SDLK_SPACE)
            setState(DONE);
        return;
    case NO_TALENT: setState(DONE); return;
    default: return;
    }
}

void PlaySong_C::updateText()
{
    SongScreen_S& s = S();
    if (!s.iface)
        return;
    beginViewPage(*s.iface);
    PaneText_C pane(*s.iface);
    char line[256];
    switch (s.state) {
    case CHOOSE_SINGER:
        pane.wrapped(1, "Who will play?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case CHOOSE_SONG:
        pane.wrapped(1, "Available songs:");
        if (s.list) {
            s.list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -2, SDLK_RETURN, &ScrollList_C::mouseCallback, s.list.get());
        } else {
            VELL_LOG(1, "ERROR: PlaySong_C: scrollList NOT DEFINED!\n");
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case PLAYED:
        pane.wrapped(1, s.narration);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case NO_TALENT:
        std::snprintf(line, sizeof line, "%s has no musical talent!", s.singer ? s.singer->getName() : "");
        pane.wrapped(1, line);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default: break;
    }
    refreshCursor(*s.iface);
}

int PlaySong_C::getState() { return S().state; }
bl3dPartyChar* PlaySong_C::getSinger() { return S().singer; }
const ScrollList_C* PlaySong_C::getSongList() { return S().list.get(); }
const char* PlaySong_C::getNarration() { return S().narration; }
