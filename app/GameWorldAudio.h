// The sound director's view of the quest in play, which start-up hands to
// maserAudio (audio/MasterAudio.h): the sound folder knows no world.
#pragma once

// Has maserAudio follow the quest in play (the global game world) and loads
// it from "data/audio.dat"; MasterAudio_C::load's result.
int initMasterAudio();
