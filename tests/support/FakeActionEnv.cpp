#include "FakeActionEnv.h"

#include "rules/Character.h"

bool FakeActionEnv_C::queueStunTimeout(bl3dCharacter* target, uint32_t due) {
    if (queueRefuses)
        return false;
    queued.push_back(Queued_S{7001, due, target ? target->uniqueId() : 0});
    return true;
}

bool FakeActionEnv_C::queueTimedEvent(int typeId, uint32_t due) {
    if (queueRefuses)
        return false;
    queued.push_back(Queued_S{typeId, due, 0});
    return true;
}

bool FakeActionEnv_C::equipTrial(bl3dPartyChar*, EquipTrial_S& out) {
    ++trialCalls;
    if (!hasTrial)
        return false;
    out = trial;
    return true;
}

bool FakeActionEnv_C::partyPosition(int& x, int& y, int& f) const {
    x = partyX;
    y = partyY;
    f = facing;
    return hasMap;
}

bool FakeActionEnv_C::moveParty(int x, int y) {
    if (!hasMap || x < 0 || y < 0 || x >= width || y >= height)
        return false;
    partyX = x;
    partyY = y;
    return true;
}

bool FakeActionEnv_C::mapSize(int& w, int& h) const {
    w = hasMap ? width : 0;
    h = hasMap ? height : 0;
    return hasMap;
}

bool FakeActionEnv_C::isBlocked(int x, int y, int f) const {
    const int dx = f == 90 ? -1 : f == 270 ? 1 : 0;
    const int dy = f == 0 ? 1 : f == 180 ? -1 : 0;
    const int nx = x + dx, ny = y + dy;
    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
        return true;
    return hasWall(x, y, f) || hasWall(nx, ny, (f + 180) % 360);
}

bool FakeActionEnv_C::hasWall(int x, int y, int f) const { return walls.count({x, y, f}) != 0; }

uint8_t FakeActionEnv_C::squareState(int x, int y) const { return visited.count({x, y}) ? 0x01 : 0x00; }

void FakeActionEnv_C::springTraps(bool spring, bool spinners, int x1, int y1, int x2, int y2) {
    springs.push_back(Spring_S{spring, spinners, x1, y1, x2, y2});
}

bool FakeActionEnv_C::bsTest(int32_t songId, uint32_t parts) {
    for (const auto& m : music)
        if (m.first == songId && (m.second & parts))
            return true;
    return false;
}

int FakeActionEnv_C::playSong(int32_t songId, uint32_t parts) {
    ++playCalls;
    if (!bsTest(songId, parts))
        return -1;
    playing = songId;
    playingParts = parts;
    return 0;
}

int FakeActionEnv_C::stopSong() {
    ++stopCalls;
    playing = 0;
    playingParts = 0;
    return 0;
}

int FakeActionEnv_C::stopFightSong() {
    ++fightStopCalls;
    playing = 0;
    playingParts = 0;
    return 0;
}
