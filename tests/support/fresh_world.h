#pragma once
// Every test case starts from, and leaves behind, a fresh world: no shared objects, a new main
// loop on virtual time.

#include <gtest/gtest.h>

#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace quillmar::testing {

class FreshWorldTest : public ::testing::Test {
protected:
    void SetUp() override { runtime::World::reset(); }
    void TearDown() override { runtime::World::reset(); }

    runtime::MainLoop& loop() { return runtime::MainLoop::main(); }
    void advance(double seconds) { loop().advance(seconds); }
    void runUntilIdle() { loop().runUntilIdle(); }
};

}  // namespace quillmar::testing
