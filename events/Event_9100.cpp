#include "events/Event_9100.h"

#include "rules/ActionList.h"
#include "actions/Attributes.h"
#include "actions/Songs.h"
#include "actions/WorldMagic.h"
#include "rules/Actor.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "world/Interface.h"

namespace
{

bl3dPartyChar* firstSinger()
{
    if (party)
        for (int i = 0; i < party->getCount(); ++i)
            if (bl3dPartyChar* m = party->getMember(i); m && m->isPlayingSong())
                return m;
    return nullptr;
}

} // namespace

std::unique_ptr<Event_C> Event_9100_C::create()
{
    return std::make_unique<Event_9100_C>();
}

int Event_9100_C::invoke(Interface_C* iface)
{
    // The world as the song actions see it (the quest in play).
    TagList_C* tags = rulesEnv().worldTags();
    if (!tags)
        return 0;
    const int32_t song = intAttribute(tags, "NCBS");
    const uint32_t now = rulesEnv().currentTick();
    if (song == 0 || now < static_cast<uint32_t>(intAttribute(tags, "NCBSEnd")))
        return 0;

    bl3dPartyChar* singer = firstSinger();
    auto* builtIn = dynamic_cast<bl3dSong*>(masterActionList.getAction(song));
    ActionUse_S* use = nullptr;
    if (singer && builtIn) {
        void* context[3] = {nullptr, iface, reinterpret_cast<void*>(static_cast<intptr_t>(SONG_STOP))};
        use = builtIn->enqueue(new bl3dActor(singer), 0, 3, context);
    }
    if (use) {
        builtIn->perform(use);
        builtIn->freeEntry(use);
    } else {
        endSongOutsideCombat();
    }

    switch (song) {
    case SONG_DATA_LIGHT:
        expireMagicBits(tags, MAGIC_LIGHT, now, 0x01);
        if (iface)
            iface->calcLight();
        break;
    case SONG_TRYLERS_INTUITION:
        expireMagicBits(tags, MAGIC_PERCEPTION, now, 0x01);
        if (iface)
            iface->buildPercepPane();
        break;
    case SONG_WALKING_SONG:
        expireMagicBits(tags, MAGIC_ENCOUNTER, now, 0x08);
        if (iface)
            iface->calcXC();
        break;
    default:
        break;
    }
    return 0;
}
