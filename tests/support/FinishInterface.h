// The interface is a global; a test program that uses it finishes it at its
// end while the window and the other globals still stand, as the game's main
// does at quit. Registered once per program:
//
//   const auto* const kFinish = ::testing::AddGlobalTestEnvironment(new FinishInterface);
//
// `andThen` runs after it (the interpreter's end, say).
#pragma once
#include "world/Interface.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

class FinishInterface : public ::testing::Environment {
public:
    explicit FinishInterface(std::function<void()> andThen = {}) : andThen_(std::move(andThen)) {}
    void TearDown() override
    {
        iface.fini();
        if (andThen_)
            andThen_();
    }

private:
    std::function<void()> andThen_;
};
