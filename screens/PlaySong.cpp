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
#include "screens/PaneScreen.h"
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

// The screen: a pane screen over the main view. What the song said is a
// message that SPACE ends, and with it the screen; the lack of talent is
// told until any key.
class SongScreen_C : public PaneScreen_C {
public:
    bl3dPartyChar* singer = nullptr;
    std::unique_ptr<ScrollList_C> list;
    char narration[1024] = {};

    void open(Interface_C* iface)
    {
        iface_ = iface;
        // A member or spell of an earlier run may be gone by now.
        singer = nullptr;
        state_ = PlaySong_C::CHOOSE_SINGER;
    }
    void run() { runLoop(true); }

private:
    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
    bool isMessage() const override { return state_ == PlaySong_C::PLAYED; }
    void endMessage() override { setState(PlaySong_C::DONE); }

    void buildList();
    void endPlaying();
    void play();
    void chooseSinger(int sym);
    void chooseSong(int sym);

    TextBuf_C text_{narration, sizeof narration};
};

SongScreen_C& S()
{
    static SongScreen_C screen;
    return screen;
}

void SongScreen_C::buildList()
{
    PaneText_C pane(*iface_);
    list = std::make_unique<ScrollList_C>(&iface_->text(), pane.left(), pane.right(), pane.lineY(3), pane.lineY(-2));
    for (const ActionNode_S* n = singer->actions()->head(); n; n = n->next) {
        if (!n->action || !(static_cast<uint32_t>(n->action->actionID()) & SONG_NUMBER_BITS))
            continue;
        VELL_LOG(10, "Action ID adding to list = 0x%08x\n", static_cast<unsigned>(n->action->actionID()));
        list->addLine(n->action->name().c_str(), n->action->actionID(), true);
    }
}

// Every member playing a song stops first: at most one song plays outside
// combat.
void SongScreen_C::endPlaying()
{
    endPlayingOutsideCombat(text_, iface_);
    VELL_LOG(10, "Done with player playing check!\n");
}

void SongScreen_C::play()
{
    endPlaying();
    bl3dAction* song = singer->actions()->getAction(list->selectedValue());
    VELL_LOG(10, "Selected Action id = %08x\n", static_cast<unsigned>(list->selectedValue()));
    text_.clear();
    if (song)
        performSongRequest(*song, *singer, text_, iface_, SONG_START);
    setState(PlaySong_C::PLAYED);
}

void SongScreen_C::chooseSinger(int sym)
{
    bl3dPartyChar* m = memberForKey(sym);
    if (!m || m->getCurHP() < 1)
        return;
    singer = m;
    if (!m->isClass(BARDS)) {
        VELL_LOG(10, "is not a bard\n");
        setState(PlaySong_C::NO_TALENT);
        return;
    }
    buildList();
    setState(PlaySong_C::CHOOSE_SONG);
}

void SongScreen_C::chooseSong(int sym)
{
    if (moveListByKey(list.get(), sym, false)) {
        vell::pushRedraw();
    } else if (sym == SDLK_RETURN) {
        // An empty list has no line to play.
        if (list && list->selected() >= 0)
            play();
    } else if (sym == SDLK_ESCAPE) {
        setState(PlaySong_C::DONE);
    }
}

void SongScreen_C::handleKey(int sym, SDLMod)
{
    switch (state_) {
    case PlaySong_C::CHOOSE_SINGER:
        if (memberSlotOfKey(sym) >= 0)
            chooseSinger(sym);
        else if (sym == SDLK_ESCAPE)
            setState(PlaySong_C::DONE);
        return;
    case PlaySong_C::CHOOSE_SONG: chooseSong(sym); return;
    case PlaySong_C::NO_TALENT: setState(PlaySong_C::DONE); return;
    default: return;
    }
}

void SongScreen_C::drawState(PaneText_C& pane)
{
    char line[256];
    switch (state_) {
    case PlaySong_C::CHOOSE_SINGER:
        pane.wrapped(1, "Who will play?");
        pane.line(-1, "(F1-F8) to Select");
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case PlaySong_C::CHOOSE_SONG:
        pane.wrapped(1, "Available songs:");
        if (list) {
            list->draw(&pane.text(), pane.regions());
            pane.listRegion(3, -2, SDLK_RETURN, &ScrollList_C::mouseCallback, list.get());
        } else {
            VELL_LOG(1, "ERROR: PlaySong_C: scrollList NOT DEFINED!\n");
        }
        pane.line(-1, "(RETURN) to Select", SDLK_RETURN);
        pane.line(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case PlaySong_C::PLAYED:
        pane.wrapped(1, narration);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    case PlaySong_C::NO_TALENT:
        std::snprintf(line, sizeof line, "%s has no musical talent!", singer ? singer->getName() : "");
        pane.wrapped(1, line);
        pane.line(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default: break;
    }
}

} // namespace

void PlaySong_C::run(Interface_C* iface)
{
    if (!iface)
        return;
    SongScreen_C& s = S();
    s.open(iface);
    s.run();
}

void PlaySong_C::key(int sym) { S().key(sym); }

void PlaySong_C::updateText() { S().display(); }

int PlaySong_C::getState() { return S().getState(); }
bl3dPartyChar* PlaySong_C::getSinger() { return S().singer; }
const ScrollList_C* PlaySong_C::getSongList() { return S().list.get(); }
const char* PlaySong_C::getNarration() { return S().narration; }
