// Event_9100_C: the end of the bard song played outside combat, queued by
// the song at the tick it ends (the song keeps that tick in the world
// variable "NCBSEnd").
//
// When it runs and a song is playing whose end has come, the first party
// member marked as playing stops it (the song's own stop request); when
// nobody is marked, or the id in "NCBS" is no built-in song (a song of the
// action data file), the song is ended all the same without asking that
// action anything (actions/Songs.h keeps a song's life). Then the world bit that the song held ends, unless a
// spell keeps it longer: Vezivi'v Iroviriva's compass ("Percep1" 0x01),
// the Walking Song's easier roads ("XCState" 0x08), and the light bit 0x01
// of "MagLt1" for the data file's song 0x004ab005.
//
// An event left over from an earlier song (stopped early, and a new one
// started since) finds a later end and does nothing. It carries no state: a
// saved queue rebuilds it by type id.
#pragma once
#include "world/Event.h"

#include <memory>

class Event_9100_C : public Event_C {
public:
    int typeId() const override { return EVENT_BARD_SONG; }
    // Always 0.
    int invoke(Interface_C* iface) override;

};
