#include <gtest/gtest.h>

#include "platform/sim/sim_event_tap.h"
#include "platform/user_defaults.h"
#include "trackpad/trackpad_touch_monitor.h"
#include "windows_fixture.h"

namespace quillmar::testing {
namespace {

class AccessibilityPermissionTest : public WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        platform::sim::SimEventTap::install();
        desktop->extension<platform::sim::SimAccessibilityState>().trusted = false;
    }
    // Grants or withdraws the permission without the system's announcement.
    void setTrustQuietly(bool on) { desktop->extension<platform::sim::SimAccessibilityState>().trusted = on; }
    bool hadTrustFlag() { return platform::UserDefaults::standard().boolForKey(WindowManager::kHadAccessibilityTrustKey); }
};

TEST_F(AccessibilityPermissionTest, RequestsPromptOncePerRunThenOpenThePane) {
    auto& manager = wm();
    manager.requestAccessibilityPermission();
    EXPECT_EQ(ax->promptCount(), 1);
    EXPECT_TRUE(urls->openedUrls().empty());
    EXPECT_TRUE(manager.isPermissionPolling());
    EXPECT_EQ(manager.permissionPollRemainingTicks(), 60);

    manager.requestAccessibilityPermission();
    EXPECT_EQ(ax->promptCount(), 1);
    EXPECT_EQ(urls->openedUrls(), (std::vector<std::string>{WindowManager::kAccessibilitySettingsURL}));

    // A new run prompts again.
    runtime::World::reset();
    SetUp();
    wm().requestAccessibilityPermission();
    EXPECT_EQ(ax->promptCount(), 1);
    EXPECT_TRUE(urls->openedUrls().empty());

    // While trusted, a request only refreshes.
    runtime::World::reset();
    SetUp();
    setTrustQuietly(true);
    auto& trusted = wm();
    trusted.requestAccessibilityPermission();
    EXPECT_EQ(ax->promptCount(), 0);
    EXPECT_TRUE(urls->openedUrls().empty());
    EXPECT_FALSE(trusted.isPermissionPolling());
}

TEST_F(AccessibilityPermissionTest, PollingKeepsTheLargerBudgetAndRunsOut) {
    auto& manager = wm();
    manager.startPermissionPollingIfNeeded(45);
    advance(15 * 1.5);
    ASSERT_EQ(manager.permissionPollRemainingTicks(), 30);
    manager.startPermissionPollingIfNeeded(45);
    EXPECT_EQ(manager.permissionPollRemainingTicks(), 45);
    EXPECT_EQ(loop().pendingTimerCount(), 1u);

    manager.startPermissionPollingIfNeeded(80);
    advance(10 * 1.5);
    ASSERT_EQ(manager.permissionPollRemainingTicks(), 70);
    manager.startPermissionPollingIfNeeded(45);
    EXPECT_EQ(manager.permissionPollRemainingTicks(), 70);

    advance(69 * 1.5);
    EXPECT_TRUE(manager.isPermissionPolling());
    advance(1.5);
    EXPECT_FALSE(manager.isPermissionPolling());
    EXPECT_EQ(manager.permissionPollRemainingTicks(), 0);
    EXPECT_FALSE(manager.isAccessibilityTrusted.get());

    manager.stopPermissionPolling();
    EXPECT_FALSE(manager.isPermissionPolling());
}

TEST_F(AccessibilityPermissionTest, AGrantStopsPollingRecordsTheFlagAndCreatesTheTap) {
    auto& manager = wm();
    auto& monitor = TrackpadTouchMonitor::shared();
    ASSERT_FALSE(monitor.hasEventTap());
    int published = 0;
    auto sub = manager.isAccessibilityTrusted.publisher().dropFirst().sink([&](const bool&) { ++published; });
    manager.startPermissionPollingIfNeeded(45);

    setTrustQuietly(true);
    advance(1.4);
    EXPECT_FALSE(manager.isAccessibilityTrusted.get());
    advance(0.1);
    EXPECT_TRUE(manager.isAccessibilityTrusted.get());
    EXPECT_EQ(published, 1);
    EXPECT_TRUE(hadTrustFlag());
    EXPECT_FALSE(manager.isPermissionPolling());
    EXPECT_TRUE(monitor.hasEventTap());

    // Refreshing an unchanged trust publishes nothing and writes nothing.
    const int writes = platform::UserDefaults::standard().writeCount();
    manager.refreshAccessibilityTrust();
    manager.handleAppBecameActive({});
    EXPECT_EQ(published, 1);
    EXPECT_EQ(platform::UserDefaults::standard().writeCount(), writes);

    // Withdrawn: only the value changes; no poll starts and the tap stays.
    ax->setTrusted(false);
    runUntilIdle();
    EXPECT_FALSE(manager.isAccessibilityTrusted.get());
    EXPECT_EQ(published, 2);
    EXPECT_FALSE(manager.isPermissionPolling());
    EXPECT_TRUE(monitor.hasEventTap());
    EXPECT_TRUE(hadTrustFlag());
}

TEST_F(AccessibilityPermissionTest, TheSystemAnnouncementIsFollowedAtOnceAndAgainShortlyAfter) {
    auto& manager = wm();
    manager.startPermissionPollingIfNeeded(45);
    ax->setTrusted(true);
    runUntilIdle();
    EXPECT_TRUE(manager.isAccessibilityTrusted.get());
    EXPECT_FALSE(manager.isPermissionPolling());

    // The second look 0.18 s later catches a trust that settled after the announcement.
    setTrustQuietly(false);
    runtime::NotificationCenter::distributed().post(platform::kAccessibilityApiChangedNotification);
    EXPECT_FALSE(manager.isAccessibilityTrusted.get());
    setTrustQuietly(true);
    advance(0.17);
    EXPECT_FALSE(manager.isAccessibilityTrusted.get());
    advance(0.01);
    EXPECT_TRUE(manager.isAccessibilityTrusted.get());
}

}  // namespace
}  // namespace quillmar::testing
