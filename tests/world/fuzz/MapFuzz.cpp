// libFuzzer target: the map files. The first byte picks which of the five
// files of a small valid map (the grid fixture: configuration, texture list,
// cell table, events, monsters) the rest replaces; the map is then built
// without pictures and every square asked what a walk asks of it. A map that
// fails to load must say so; nothing may crash, read out of bounds or leak.
#include "../../core/fuzz/FuzzFiles.h"

#include "rules/ActionList.h"
#include "rules/Item.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/MonsterType.h"
#include "rules/MonsterTypeRecord.h"
#include "world/Interface.h"
#include "world/Map.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unistd.h>

// The map runs no events here: the calls of the interface that event
// processing and the building stand-ins make are all it needs of it.
void Interface_C::beginEventProcessing() {}
void Interface_C::endEventProcessing() {}
void Interface_C::setCurX(float) {}
void Interface_C::setCurZ(float) {}
bool Interface_C::setFacing(int) { return true; }
float Interface_C::getCurX() const { return 0.0f; }
float Interface_C::getCurZ() const { return 0.0f; }
int Interface_C::getFacing() const { return 0; }
void Interface_C::calcLight() {}
void Interface_C::calcXC() {}
void Interface_C::buildPercepPane() {}

namespace {

const char* const kFiles[] = {"grid.cfg", "grid.tex", "grid.cel", "grid.evt", "grid.mon"};

// The items and monsters the map files may name.
void masterData()
{
    auto* torch = new bl3dItemType;
    torch->setBasics(1, "Torch", "", 1);
    masterITL.insert(torch);
    for (const char* name : {"Giant Rat", "Rat"}) {
        MonsterTypeRecord_S r;
        r.name = name;
        masterMTL.pushFront(std::make_unique<bl3dMonsterType>(r, masterActionList));
    }
}

void walk(const Map_C& map)
{
    const int w = std::min(map.getWidth(), 40);
    const int h = std::min(map.getHeight(), 40);
    for (int x = -1; x <= w; ++x)
        for (int y = -1; y <= h; ++y) {
            (void)map.getCell(x, y);
            (void)map.getSquareState(x, y);
            (void)map.cellEventNoAnim(x, y);
            for (int facing : {0, 90, 180, 270, 45}) {
                (void)map.isBlocked(x, y, facing);
                (void)map.leavesGrid(x, y, facing);
            }
            (void)map.freeMoveBlocked(x + 0.45f, y - 0.45f, 135);
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Map files name their companions relative to the game folder.
    if (::chdir(fuzzfiles::dir().c_str()) != 0)
        std::abort();
    masterData();
    Map_C::setLoadPictures(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const std::string valid[5] = {
        fuzzfiles::fixture("world/grid.cfg"), fuzzfiles::fixture("world/grid.tex"),
        fuzzfiles::fixture("world/grid.cel"), fuzzfiles::fixture("world/grid.evt"),
        fuzzfiles::fixture("world/grid.mon")};
    const int which = data[0] % 5;
    for (int i = 0; i < 5; ++i) {
        const bool ok = i == which ? fuzzfiles::writeFile(kFiles[i], data + 1, size - 1)
                                   : fuzzfiles::writeFile(kFiles[i], valid[i]);
        if (!ok)
            return 0;
    }
    Map_C map("grid.cfg");
    if (map.getLoadError() != Map_C::LOAD_OK) {
        if (map.getWidth() != 0 || map.getHeight() != 0)
            std::abort(); // a broken map keeps no grid
        return 0;
    }
    walk(map);
    for (int i = 0; i < 4; ++i)
        delete map.randItem();
    return 0;
}
