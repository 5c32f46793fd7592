// The town tests' program finishes the interface at its end.
#include "support/FinishInterface.h"

namespace {

const auto* const kFinish = ::testing::AddGlobalTestEnvironment(new FinishInterface);

} // namespace
