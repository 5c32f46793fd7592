// The interface is a global; it is finished while the window and the other
// globals still stand, as the game's main does at quit.
#include "world/Interface.h"

#include <gtest/gtest.h>

namespace {

class FinishInterface : public ::testing::Environment {
public:
    void TearDown() override { iface.fini(); }
};
const auto* const kFinish = ::testing::AddGlobalTestEnvironment(new FinishInterface);

} // namespace
