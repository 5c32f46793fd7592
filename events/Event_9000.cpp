#include "events/Event_9000.h"

#include "core/TagList.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"
#include "world/GameWorld.h"

namespace {
constexpr int32_t CLASS_LAND_REAVER = 0x1;
constexpr int32_t CLASS_PROTECTOR = 0x20;

void refill(bl3dPartyChar& member)
{
    TagList_C& attrs = *member.getTagList();
    attrs.refillCounters();
    if (member.getClassId() == CLASS_LAND_REAVER)
        attrs.setInt(tagkey::berserkCur, attrs.intValue(tagkey::berserkMax));
    if (member.getClassId() == CLASS_PROTECTOR)
        attrs.setInt(tagkey::FightEvilCur, attrs.intValue(tagkey::FightEvilMax));
}
} // namespace

int Event_9000_C::invoke(Interface_C*)
{
    if (party)
        for (int i = 0; i < party->getCount(); ++i)
            if (bl3dPartyChar* m = party->getMember(i))
                refill(*m);
    if (gameworld) {
        std::unique_ptr<Event_C> next = makeEvent<Event_9000_C>();
        if (gameworld->getEventQueue().enqueue(gameworld->nextDayStart(), next.get()) != 0)
            next.release();
    }
    return 0;
}
