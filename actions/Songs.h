// The four built-in bard songs. They are direct children of bl3dAction
// whose ids carry the bard-song bit 0x00400000.
//
// The use: enqueue needs three context values and a party member as the
// performer (otherwise it deletes the actor and returns null): argv[0] the
// narration buffer (TextBuf_C*), argv[1] the interface (kept as it is),
// argv[2] the request as a plain integer (0 start outside combat, 1 start
// in combat, 2 stop outside combat, 3 stop in combat).
//
// What each song does when performed comes with the songs' music and
// effects; until then perform carries nothing out and returns -1.
#pragma once
#include "actions/DirectAction.h"

class bl3dCharacter;
class TextBuf_C;

struct SongUse_S : ActionUse_S {
    bl3dCharacter* performer = nullptr;
    void* iface = nullptr;
    TextBuf_C* text = nullptr; // never null (TextBuf_C::discard())
    int32_t mode = 0;
};

class bl3dSong : public bl3dDirectAction {
public:
    using bl3dDirectAction::bl3dDirectAction;
    ActionUse_S* enqueue(bl3dActor* actor, int targetIndex, int argc, void** argv) override;
    int perform(ActionUse_S* use) override;

protected:
    static SongUse_S* songUse(ActionUse_S* use);
};

class bl3dSong_BeastySkirl : public bl3dSong {
public:
    using bl3dSong::bl3dSong;
};

class bl3dSong_ProudMary : public bl3dSong {
public:
    using bl3dSong::bl3dSong;
};

class bl3dSong_TrylersIntuition : public bl3dSong {
public:
    using bl3dSong::bl3dSong;
};

class bl3dSong_WalkingSong : public bl3dSong {
public:
    using bl3dSong::bl3dSong;
};
