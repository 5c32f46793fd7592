#include "app/MainViewKeys.h"

#include "core/MemberKeys.h"
#include "rules/Party.h"
#include "screens/Automap.h"
#include "screens/CastSpell.h"
#include "screens/CharView.h"
#include "screens/DismissChar.h"
#include "screens/PlaySong.h"
#include "screens/ReorderParty.h"
#include "screens/Rest.h"
#include "screens/TradeChar.h"
#include "screens/UseItem.h"
#include "screens/UseSkill.h"
#include "world/Interface.h"

void installMainViewKeys(Interface_C& ui)
{
    Interface_C* const u = &ui;
    // F1 to F8: the character sheet of the member in that place.
    for (int place = 0; place < 8; ++place)
        ui.setKeyCommand(static_cast<SDLKey>(memberKeyOfSlot(place)), [u, place](SDLMod) {
            if (party && place < party->getCount())
                CharView_C::run(party->getMember(place), u, true);
        });
    ui.setKeyCommand(SDLK_c, [u](SDLMod) { CastSpell_C::run(u); });
    ui.setKeyCommand(SDLK_p, [u](SDLMod) { PlaySong_C::run(u); });
    ui.setKeyCommand(SDLK_t, [u](SDLMod mod) {
        if (mod & (KMOD_LSHIFT | KMOD_RSHIFT))
            ReorderParty_C::run(u);
        else
            TradeChar_C::run(u);
    });
    ui.setKeyCommand(SDLK_s, [u](SDLMod) { UseSkill_C::run(u); });
    ui.setKeyCommand(SDLK_u, [u](SDLMod) { UseItem_C::run(u); });
    ui.setKeyCommand(SDLK_d, [u](SDLMod) { DismissChar_C::run(u); });
    ui.setKeyCommand(SDLK_TAB, [u](SDLMod) { automap(u); });
    ui.setKeyCommand(SDLK_r, [u](SDLMod) { rest(u, false); });
    // '?' is shift and '/' on most keyboards; a keyboard with a key of its
    // own for it sends SDLK_QUESTION.
    ui.setKeyCommand(SDLK_SLASH, [u](SDLMod) { timeReport(u, false); });
    ui.setKeyCommand(SDLK_QUESTION, [u](SDLMod) { timeReport(u, false); });
}
