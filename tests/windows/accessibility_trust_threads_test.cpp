#include <gtest/gtest.h>

#include <thread>

#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

class AccessibilityTrustThreadsTest : public WindowsTest {};

TEST_F(AccessibilityTrustThreadsTest, ARefreshOffTheMainThreadIsAppliedOnTheMainLoop) {
    desktop->extension<platform::sim::SimAccessibilityState>().trusted = false;
    auto& manager = wm();
    ASSERT_FALSE(manager.isAccessibilityTrusted.get());
    desktop->extension<platform::sim::SimAccessibilityState>().trusted = true;

    std::thread worker([&] { manager.refreshAccessibilityTrust(); });
    worker.join();
    EXPECT_FALSE(manager.isAccessibilityTrusted.get());
    runUntilIdle();
    EXPECT_TRUE(manager.isAccessibilityTrusted.get());
}

}  // namespace
}  // namespace quillmar::testing
