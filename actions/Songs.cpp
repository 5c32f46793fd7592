#include "actions/Songs.h"

#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Character.h"

SongUse_S* bl3dSong::songUse(ActionUse_S* use) { return dynamic_cast<SongUse_S*>(use); }

ActionUse_S* bl3dSong::enqueue(bl3dActor* actor, int, int argc, void** argv) {
    bl3dCharacter* who = actor ? actor->getCreature() : nullptr;
    if (argc < 3 || !who || !who->isPartyMember()) {
        delete actor;
        return nullptr;
    }
    auto* use = new SongUse_S;
    use->performer = who;
    use->iface = argv[1];
    use->text = contextText(argc, argv, 0);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    use->mode = contextPlainInt(argc, argv, 2, 0);
    delete actor;
    return use;
}

int bl3dSong::perform(ActionUse_S*) { return -1; }
