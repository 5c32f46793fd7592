// bl3dGenericSong: a bard song defined by a skill record of the action data
// file (actions/ActionFile.h) whose id carries the bard-song bit. It goes
// through the frame of every song (actions/Songs.h): the instrument, the
// song uses, one song on each side of the divide ("NCBS", "CBS"), the
// playing mark, the music and, outside combat, the song's end event.
//
// What the song does once started comes from the record's effects
// (actions/GenericCore.h), applied by the bard with no fall-off and
// narrated in the record's words: at the party for the kinds that aim at
// it (a member, the bard, the whole party), at the foes for the others. A
// song aimed at foes has no foe to reach outside combat: there it only
// plays. Song 0x004ab005 is the light song: outside combat it lights the
// party's way for as long as it plays ("MagLt1" bit 0x01, ended by the
// song's end event).
#pragma once
#include "actions/GenericCore.h"
#include "actions/Songs.h"

class bl3dGenericSong : public bl3dSong {
public:
    // Takes the effects over.
    bl3dGenericSong(const ActionDef_S& def, EffectList effects);

    const bl3dGenericCore& core() const { return core_; }

protected:
    void startOutside(SongUse_S& use, uint32_t end) override;
    void startInCombat(SongUse_S& use) override;

private:
    // Applies the effects by the bard and writes their line.
    void applyEffects(SongUse_S& use) const;
    bool aimsAtFoes() const;

    bl3dGenericCore core_;
};
