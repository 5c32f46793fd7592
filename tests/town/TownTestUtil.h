// What the tests of the taverns, the Casino and the Arcanium share: the
// town fixture (a quest of its own, the game's events, the clock set to a
// chosen time) with an exit of their own, the hour, and writing a text file
// of the test's own.
#pragma once
#include "TownFixture.h"

#include "world/GameWorld.h"

#include <fstream>
#include <string>

namespace towntest {

inline unsigned hour() { return gameworld->getClock().getHour(); }

// Writes the text to a file of that name in the test's temporary folder and
// returns its path.
inline std::string writeTemp(const std::string& name, const std::string& text)
{
    const std::string path = vell_test::tempPath("town") + "/" + name;
    ::mkdir(vell_test::tempPath("town").c_str(), 0755);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

class ServiceFixture : public town::TownFixture {
protected:
    void SetUp() override
    {
        town::TownFixture::SetUp();
        params_.exitX = 3;
        params_.exitY = 5;
        params_.exitFacing = 90;
    }
};

} // namespace towntest
