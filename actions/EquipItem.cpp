#include "actions/EquipItem.h"

#include "actions/ActionEnv.h"
#include "core/Log.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Item.h"
#include "rules/PartyChar.h"

#include <algorithm>
#include <vector>

ActionUse_S* bl3dEquipItem::enqueue(bl3dActor* actor, int, int argc, void** argv) {
    VELL_LOG(1, "entered enqueue for equip item\n");
    bl3dCharacter* who = (argc >= 2 && argv && argv[1]) ? static_cast<bl3dCharacter*>(argv[1])
                                                        : (actor ? actor->getCreature() : nullptr);
    if (argc < 5 || !who || !who->isPartyMember()) {
        delete actor;
        return nullptr;
    }
    auto* use = new EquipUse_S;
    use->member = static_cast<bl3dPartyChar*>(who);
    use->text = contextText(argc, argv, 2);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    VELL_LOG(1, "calling view character\n");
    if (actionEnv().equipTrial(use->member, use->trial))
        use->swap = use->trial.changed;
    delete actor;
    VELL_LOG(1, "enqueue Equip Item done, returning\n");
    return use;
}

int bl3dEquipItem::perform(ActionUse_S* record) {
    VELL_LOG(1, "entering perform item swap\n");
    auto* use = dynamic_cast<EquipUse_S*>(record);
    if (!use || !use->member)
        return 0;
    if (use->swap)
        applyEquipTrial(*use->member, use->trial);
    use->text->set("%s rummages through %s pack\n", use->member->getName(), use->member->isMale() ? "his" : "her");
    VELL_LOG(1, "done preparing message, exit equip item\n");
    return 0;
}

void applyEquipTrial(bl3dPartyChar& member, const EquipTrial_S& trial) {
    // Every item of the member, out of the pack and the slots. The slots are
    // emptied from 19 down, so the ready weapon never moves into the hand.
    std::vector<bl3dItem*> own;
    PtrList_C* pack = member.getPack();
    while (ListObject_C* obj = pack->at(0)) {
        pack->unlink(obj);
        own.push_back(static_cast<bl3dItem*>(obj));
    }
    for (int slot = SLOT_COUNT - 1; slot >= 0; --slot)
        if (bl3dItem* item = member.takeFromSlot(slot))
            own.push_back(item);

    // Hands the item of that serial over (once); null when the member has none.
    auto take = [&own](uint64_t serial) -> bl3dItem* {
        if (serial == 0)
            return nullptr;
        auto it = std::find_if(own.begin(), own.end(), [serial](bl3dItem* i) { return i && i->getSerial() == serial; });
        if (it == own.end())
            return nullptr;
        bl3dItem* item = *it;
        *it = nullptr;
        return item;
    };

    std::vector<bl3dItem*> newPack;
    for (int slot = 0; slot < EquipTrial_S::SLOTS; ++slot) {
        bl3dItem* item = take(trial.equip[static_cast<size_t>(slot)]);
        if (item && !member.putInSlot(slot, item))
            newPack.push_back(item); // a slot it cannot take: kept in the pack
    }
    std::vector<bl3dItem*> front;
    for (uint64_t serial : trial.pack)
        if (bl3dItem* item = take(serial))
            front.push_back(item);
    front.insert(front.end(), newPack.begin(), newPack.end());
    for (bl3dItem* item : own)
        if (item)
            front.push_back(item);
    // pushFront puts each at the head: the last goes in first.
    for (auto it = front.rbegin(); it != front.rend(); ++it)
        if (pack->pushFront(*it) != 0)
            delete *it; // no memory for a node: nothing else could hold it
}
