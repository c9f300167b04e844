// Choosing trackpads, starting them, and following them across hot-plug, sleep, wake and
// screen changes.

#include <gtest/gtest.h>

#include "platform/screens.h"
#include "platform/sim/sim_device_notifications.h"
#include "platform/workspace.h"
#include "runtime/notification_center.h"
#include "runtime/world.h"
#include "trackpad_test_support.h"

namespace quillmar::testing {
namespace {

using platform::MultitouchSymbol;
using platform::sim::SimDeviceNotifications;
using platform::sim::SimFinger;
using platform::sim::SimMultitouchDeviceInfo;
using platform::sim::SimMultitouchFramework;

class TrackpadDevicesTest : public SimTrackpadTest {
protected:
    void screensChanged() { runtime::NotificationCenter::defaultCenter().post(platform::Screens::screenParametersDidChangeNotification); }
    void workspaceEvent(const char* name) { runtime::NotificationCenter::workspace().post(name); }
    void startGesture() {
        frame(three(0.5f));
        runUntilIdle();
        frame(three(0.6f));
        runUntilIdle();
        ASSERT_TRUE(monitor().isGestureActive());
    }
};

TEST_F(TrackpadDevicesTest, MultitouchMiceAreNeverStarted) {
    auto familyMouse = mt->addDevice(SimMultitouchDeviceInfo::mouse("Magic Mouse"));
    auto oddFamily = SimMultitouchDeviceInfo::trackpad("Gadget");
    oddFamily.familyID = 113;
    auto family113 = mt->addDevice(oddFamily);
    auto driverOnly = SimMultitouchDeviceInfo::trackpad("Pointer");
    driverOnly.serviceClasses.push_back("BNBMouseDevice");
    auto bnb = mt->addDevice(driverOnly);
    auto named = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Travel MoUsE Pro"));
    auto numberProduct = SimMultitouchDeviceInfo::trackpad("Pad");
    numberProduct.properties["Product"] = std::int64_t{42};  // not a string: not a mouse by name
    auto numbered = mt->addDevice(numberProduct);

    auto& m = started();
    EXPECT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{pad.get(), numbered.get()}));
    EXPECT_FALSE(SimMultitouchFramework::isRunning(familyMouse.get()));
    EXPECT_FALSE(SimMultitouchFramework::isRunning(family113.get()));
    EXPECT_FALSE(SimMultitouchFramework::isRunning(bnb.get()));
    EXPECT_FALSE(SimMultitouchFramework::isRunning(named.get()));
    EXPECT_TRUE(SimMultitouchFramework::isRunning(pad.get()));
    EXPECT_TRUE(m.isHardwareConnected);
}

TEST_F(TrackpadDevicesTest, WithOnlyAMouseTheDefaultDeviceIsRefusedToo) {
    mt->removeDevice(pad.get());
    auto mouse = mt->addDevice(SimMultitouchDeviceInfo::mouse("Magic Mouse"));
    mt->setListReturnsNull(true);  // straight to the default-device fallback
    auto& m = started();
    EXPECT_TRUE(m.activeDevices().empty());
    EXPECT_FALSE(m.isHardwareConnected);
    EXPECT_FALSE(SimMultitouchFramework::isRunning(mouse.get()));
}

TEST_F(TrackpadDevicesTest, StartingTwiceRegistersOnce) {
    auto& m = started();
    m.start();
    EXPECT_EQ(SimMultitouchFramework::callbackCount(pad.get()), 1u);
    EXPECT_TRUE(SimMultitouchFramework::isRunning(pad.get()));
    // Stopping unregisters and stops, and keeps the device references a little longer.
    m.stopDevices(false);
    EXPECT_EQ(SimMultitouchFramework::callbackCount(pad.get()), 0u);
    EXPECT_FALSE(SimMultitouchFramework::isRunning(pad.get()));
    EXPECT_TRUE(m.activeDevices().empty());
    std::weak_ptr<platform::MultitouchDevice> weak = pad;
    mt->removeDevice(pad.get());
    pad.reset();
    advance(0.49);
    EXPECT_FALSE(weak.expired());
    advance(0.02);
    EXPECT_TRUE(weak.expired());
}

TEST_F(TrackpadDevicesTest, MissingFunctionsLeaveTheirFeatureOff) {
    mt->setSymbolAvailable(MultitouchSymbol::registerContactFrameCallback, false);
    auto& m = started();
    EXPECT_TRUE(m.activeDevices().empty());
    EXPECT_FALSE(m.isHardwareConnected);
    EXPECT_FALSE(SimMultitouchFramework::isRunning(pad.get()));
}

TEST_F(TrackpadDevicesTest, WithoutAnOptionalFunctionTheTrackpadStillRuns) {
    for (auto symbol : {MultitouchSymbol::unregisterContactFrameCallback, MultitouchSymbol::deviceStop,
                        MultitouchSymbol::deviceIsRunning, MultitouchSymbol::deviceGetService,
                        MultitouchSymbol::deviceGetFamilyID, MultitouchSymbol::createDefault}) {
        runtime::World::reset();
        SetUp();
        mt->setSymbolAvailable(symbol, false);
        auto& m = started();
        EXPECT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{pad.get()})) << platform::symbolName(symbol);
        EXPECT_TRUE(SimMultitouchFramework::isRunning(pad.get())) << platform::symbolName(symbol);
        EXPECT_TRUE(m.isHardwareConnected) << platform::symbolName(symbol);
        // A hot-plug check and a stop get by without it too.
        auto second = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
        advance(0.31);
        EXPECT_EQ(m.activeDevices().size(), 2u) << platform::symbolName(symbol);
        m.stopDevices(true);
        EXPECT_TRUE(m.activeDevices().empty());
    }
    // Neither a list nor a default device: nothing to run, and nothing breaks.
    runtime::World::reset();
    SetUp();
    mt->setSymbolAvailable(MultitouchSymbol::createDefault, false);
    mt->setListReturnsNull(true);
    EXPECT_TRUE(started().activeDevices().empty());
    EXPECT_FALSE(monitor().isHardwareConnected);

    // Without starting, no trackpad can run at all.
    runtime::World::reset();
    SetUp();
    mt->setSymbolAvailable(MultitouchSymbol::deviceStart, false);
    EXPECT_TRUE(started().activeDevices().empty());
    EXPECT_FALSE(SimMultitouchFramework::isRunning(pad.get()));
}

TEST_F(TrackpadDevicesTest, WithoutTheListTheDefaultDeviceIsUsed) {
    mt->setSymbolAvailable(MultitouchSymbol::createList, false);
    mt->setSymbolAvailable(MultitouchSymbol::deviceGetFamilyID, false);
    auto& m = started();
    EXPECT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{pad.get()}));
    EXPECT_TRUE(m.isHardwareConnected);
}

TEST_F(TrackpadDevicesTest, APluggedInTrackpadStartsAfterTheHotPlugDelay) {
    auto& m = started();
    auto second = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    advance(0.29);
    EXPECT_EQ(m.activeDevices().size(), 1u);
    advance(0.02);
    EXPECT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{pad.get(), second.get()}));
    EXPECT_TRUE(SimMultitouchFramework::isRunning(second.get()));
}

TEST_F(TrackpadDevicesTest, APluggedInTrackpadWaitsForTheGestureToEnd) {
    auto& m = started();
    startGesture();
    auto second = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    advance(0.31 + 0.5 * 3);  // the check keeps coming back every 0.5 s
    EXPECT_EQ(m.activeDevices().size(), 1u);
    EXPECT_TRUE(m.isGestureActive());
    frame({});
    runUntilIdle();
    EXPECT_EQ(log.kinds().back(), K::commit);
    advance(0.5);
    EXPECT_EQ(m.activeDevices().size(), 2u);
}

TEST_F(TrackpadDevicesTest, UnpluggingTheGesturesTrackpadCancelsAndRestarts) {
    auto second = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    auto& m = started();
    m.setLiveTelemetryEnabled(true);
    startGesture();
    ASSERT_EQ(m.telemetry.liveTouches->size(), 3u);
    mt->removeDevice(pad.get());
    advance(0.31);
    EXPECT_EQ(log.kinds().back(), K::cancel);
    EXPECT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{second.get()}));
    // The cancelled gesture's fingers went with their trackpad, though another one is left.
    EXPECT_TRUE(m.telemetry.liveTouches->empty());
    EXPECT_EQ(m.gateFlags().latestSnapshotCount, 0);
}

TEST_F(TrackpadDevicesTest, RestingFingersLeaveWithTheirTrackpadOnly) {
    auto second = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    auto& m = started();
    m.setLiveTelemetryEnabled(true);
    const std::vector<SimFinger> five{{1, 0.3f, 0.5f}, {2, 0.4f, 0.5f}, {3, 0.5f, 0.5f}, {4, 0.6f, 0.5f}, {5, 0.7f, 0.4f}};
    frame(five);
    runUntilIdle();
    ASSERT_EQ(m.telemetry.liveTouches->size(), 5u);
    // Another trackpad going leaves them.
    mt->removeDevice(second.get());
    advance(0.31);
    ASSERT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{pad.get()}));
    EXPECT_EQ(m.telemetry.liveTouches->size(), 5u);
    // Their own going takes them, while a third trackpad stays; its own frames show as ever.
    auto third = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad 2"));
    advance(0.31);
    mt->removeDevice(pad.get());
    advance(0.31);
    ASSERT_EQ(m.activeDevices(), (std::vector<platform::MTDeviceRef>{third.get()}));
    EXPECT_TRUE(m.telemetry.liveTouches->empty());
    EXPECT_EQ(m.gateFlags().latestSnapshotCount, 0);
    frame(three(0.5f), third.get());
    runUntilIdle();
    EXPECT_EQ(m.telemetry.liveTouches->size(), 3u);
}

TEST_F(TrackpadDevicesTest, AScreenChangeBurstLeadsToOneCheckAfterTheLast) {
    started();
    mt->stopBySystem(pad.get());  // seen, and restarted in place, by the next check
    const int starts = SimMultitouchFramework::startCount(pad.get());
    screensChanged();
    advance(0.1);
    screensChanged();
    advance(0.1);
    screensChanged();
    advance(0.39);
    EXPECT_FALSE(SimMultitouchFramework::isRunning(pad.get()));
    advance(0.02);
    EXPECT_TRUE(SimMultitouchFramework::isRunning(pad.get()));
    EXPECT_EQ(SimMultitouchFramework::startCount(pad.get()), starts + 1);
    EXPECT_EQ(SimMultitouchFramework::callbackCount(pad.get()), 1u);
}

TEST_F(TrackpadDevicesTest, SleepCancelsTheCheckAndTheGestureWakeChecksLater) {
    auto& m = started();
    startGesture();
    mt->stopBySystem(pad.get());
    screensChanged();
    advance(0.1);
    workspaceEvent(platform::Workspace::willSleepNotification);
    EXPECT_EQ(log.kinds().back(), K::cancel);
    EXPECT_TRUE(phaseIs<gesture::Idle>());
    advance(5);
    EXPECT_FALSE(SimMultitouchFramework::isRunning(pad.get()));  // the pending check was dropped

    workspaceEvent(platform::Workspace::didWakeNotification);
    advance(0.79);
    EXPECT_FALSE(SimMultitouchFramework::isRunning(pad.get()));
    advance(0.02);
    EXPECT_TRUE(SimMultitouchFramework::isRunning(pad.get()));
    EXPECT_TRUE(m.isHardwareConnected);
}

TEST_F(TrackpadDevicesTest, ATrackpadAppearingLaterIsFoundByTheCheck) {
    mt->removeDevice(pad.get());
    auto& m = started();
    EXPECT_FALSE(m.isHardwareConnected);
    auto later = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    advance(0.31);
    EXPECT_TRUE(m.isHardwareConnected);
    mt->removeDevice(later.get());
    advance(0.31);
    EXPECT_TRUE(m.activeDevices().empty());
}

TEST_F(TrackpadDevicesTest, ConnectedIsPublishedOnlyWhenItChanges) {
    auto& m = monitor();
    std::vector<bool> published;
    auto sink = m.isHardwareConnected.publisher().dropFirst().sink([&](const bool& v) { published.push_back(v); });
    m.start();
    runUntilIdle();
    EXPECT_EQ(published, (std::vector<bool>{true}));

    // A second trackpad, a screen change and a wake all find a trackpad again: nothing new.
    auto second = mt->addDevice(SimMultitouchDeviceInfo::trackpad("Magic Trackpad"));
    advance(0.31);
    screensChanged();
    advance(0.51);
    workspaceEvent(platform::Workspace::didWakeNotification);
    advance(0.81);
    m.start();
    runUntilIdle();
    ASSERT_EQ(m.activeDevices().size(), 2u);
    EXPECT_EQ(published, (std::vector<bool>{true}));

    // The last one going is news once.
    mt->removeDevice(pad.get());
    mt->removeDevice(second.get());
    advance(0.31);
    screensChanged();
    advance(0.51);
    EXPECT_EQ(published, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace quillmar::testing
