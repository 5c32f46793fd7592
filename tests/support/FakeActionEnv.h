// The action environment of the tests: it records what the actions ask of
// the world (timed events queued, light, perception pane and party figures
// recomputed, the trial of an item, traps sprung, songs played and stopped)
// and answers from a small map of its own.
#pragma once
#include "actions/ActionEnv.h"
#include "rules/EquipTrial.h"

#include <cstdint>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

class bl3dCharacter;
class bl3dPartyChar;

class FakeActionEnv_C : public ActionEnv_C {
public:
    struct Queued_S {
        int typeId;
        uint32_t due;
        // The stunned creature's unique id (0 for none), taken when queued.
        uint64_t targetId;
    };
    bool queueStunTimeout(bl3dCharacter* target, uint32_t due) override;
    bool queueTimedEvent(int typeId, uint32_t due) override;
    void calcLight() override { ++lightCalls; }
    void buildPercepPane() override { ++percepCalls; }
    void calcXC() override { ++xcCalls; }
    // The trial the player "makes": `trial` when set, else unchanged.
    bool equipTrial(bl3dPartyChar* member, EquipTrial_S& out) override;

    // A map of width x height squares once hasMap is set: walls by (x, y,
    // facing) of a cell, visited squares, the party's square and facing.
    // A step is blocked by a wall on either side of the edge or by the
    // edge of the map.
    bool partyPosition(int& x, int& y, int& facing) const override;
    bool moveParty(int x, int y) override;
    bool mapSize(int& w, int& h) const override;
    bool isBlocked(int x, int y, int facing) const override;
    bool hasWall(int x, int y, int facing) const override;
    uint8_t squareState(int x, int y) const override;
    void springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2) override;
    // Songs with music: (song id, the part bits it has music for).
    bool bsTest(int32_t songId, uint32_t parts) override;
    int playSong(int32_t songId, uint32_t parts) override;
    int stopSong() override;
    // A fight's song ending, counted apart from the ends of songs played
    // outside combat.
    int stopFightSong() override;
    bool isSongPlaying() const override { return playing != 0; }
    int fightStopCalls = 0;

    std::vector<Queued_S> queued;
    // A queue that takes nothing (full, or no world loaded).
    bool queueRefuses = false;
    int lightCalls = 0, percepCalls = 0, xcCalls = 0, trialCalls = 0;
    bool hasTrial = false;
    EquipTrial_S trial;

    bool hasMap = false;
    int width = 0, height = 0;
    int partyX = 0, partyY = 0, facing = 0;
    std::set<std::tuple<int, int, int>> walls;
    std::set<std::pair<int, int>> visited;
    struct Spring_S {
        bool spring, spinners;
        int x1, y1, x2, y2;
    };
    std::vector<Spring_S> springs;

    std::vector<std::pair<int32_t, uint32_t>> music;
    int32_t playing = 0;
    uint32_t playingParts = 0;
    int playCalls = 0, stopCalls = 0;
};
