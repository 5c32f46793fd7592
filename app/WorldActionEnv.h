// WorldActionEnv_C: what the actions ask of the running game, answered by
// the global interface and the quest in play: timed events go into the
// current world's queue, the interface recomputes light, perception and
// encounters, the party's square comes from the interface and the map
// questions go to the current map, monster types come from masterMTL, bard
// songs' music goes to the sound director, and the equip trial opens the
// screen that start-up hands over (the world knows no screen). Start-up
// installs it once (installWorldActionEnv); every operation checks that a
// quest is loaded and otherwise does nothing.
#pragma once
#include "actions/ActionEnv.h"

// Opens the member's inventory for an equip trial and fills out; true when
// the trial ran.
using EquipTrialScreen = bool (*)(bl3dPartyChar* member, EquipTrial_S& out);

class WorldActionEnv_C : public ActionEnv_C {
public:
    explicit WorldActionEnv_C(EquipTrialScreen equipScreen = nullptr) : equipScreen_(equipScreen) {}
    void setEquipTrialScreen(EquipTrialScreen equipScreen) { equipScreen_ = equipScreen; }

    bool queueStunTimeout(bl3dCharacter* target, uint32_t due) override;
    bool queueTimedEvent(int typeId, uint32_t due) override;
    void calcLight() override;
    void buildPercepPane() override;
    void calcXC() override;
    bool partyPosition(int& x, int& y, int& facing) const override;
    bool moveParty(int x, int y) override;
    bool mapSize(int& width, int& height) const override;
    bool isBlocked(int x, int y, int facing) const override;
    bool hasWall(int x, int y, int facing) const override;
    uint8_t squareState(int x, int y) const override;
    void springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2) override;
    bool bsTest(int32_t songId, uint32_t parts) override;
    int playSong(int32_t songId, uint32_t parts) override;
    int stopSong() override;
    int stopFightSong() override;
    bool isSongPlaying() const override;
    // Refused (false) without a screen to run it.
    bool equipTrial(bl3dPartyChar* member, EquipTrial_S& out) override;

private:
    EquipTrialScreen equipScreen_;
};

// Installs the game's answer to the actions (once, at start-up), with the
// screen of the equip trial (none refuses every trial).
void installWorldActionEnv(EquipTrialScreen equipScreen = nullptr);
