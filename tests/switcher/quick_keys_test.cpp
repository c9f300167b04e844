// Esc, W and Q while the bar is up: hot-key registration, the event-tap path, the shared
// debounce, the layout lookup of W and Q, and the list after a close or quit.

#include "switcher/quick_key_codes.h"
#include "switcher_fixture.h"
#include "trackpad/trackpad_test_support.h"

namespace quillmar::testing {
namespace {

namespace mods = platform::hot_key_modifiers;

class QuickKeysTest : public SwitcherTest {
protected:
    void openWithGesture() {
        controller();
        settings().triggerStyle = TriggerStyle::immediateHorizontalSlide;
        settings().fingerCount = 3;
        auto& m = TrackpadTouchMonitor::shared();
        m.advanceGesture(snapshot(3, 0.5, 0.5));
        m.advanceGesture(snapshot(3, 0.52, 0.5));
        ASSERT_TRUE(controller().isVisible);
    }
    std::vector<std::string> labels() {
        std::vector<std::string> out;
        for (const auto& t : controller().targets.get()) out.push_back(t.displayLabel);
        return out;
    }
    int windowsOf(std::int32_t pid) { return static_cast<int>(desktop->windowsOf(pid).size()); }
};

TEST_F(QuickKeysTest, HotKeysExistOnlyWhileTheBarIsUp) {
    addApps(3);
    openWithGesture();
    EXPECT_TRUE(hotKeys->isRegistered(53, 0));
    EXPECT_TRUE(hotKeys->isRegistered(53, mods::alphaLock));
    for (auto m : {0u, mods::command, mods::alphaLock, mods::command | mods::alphaLock, mods::shift}) {
        EXPECT_TRUE(hotKeys->isRegistered(13, m)) << m;
        EXPECT_TRUE(hotKeys->isRegistered(12, m)) << m;
    }
    EXPECT_FALSE(hotKeys->isRegistered(13, mods::option));
    EXPECT_EQ(hotKeys->registrationCount(), 12u);

    settings().allowQuickCloseQuit = false;
    runUntilIdle();
    EXPECT_EQ(hotKeys->registrationCount(), 2u);

    EXPECT_TRUE(hotKeys->press(53, 0));
    runUntilIdle();
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(hotKeys->registrationCount(), 0u);
}

TEST_F(QuickKeysTest, ATakenCombinationIsSkippedAndTheOthersRegister) {
    hotKeys->markTaken(13, mods::command);
    addApps(2);
    openWithGesture();
    EXPECT_EQ(hotKeys->registrationCount(), 11u);
}

TEST_F(QuickKeysTest, OnePressSeenTwiceClosesOnceAndTheDebounceIsSixtyMilliseconds) {
    auto pids = addApps(2);
    addWindow(pids[1], "Inkwell two");
    addWindow(pids[1], "Inkwell three");
    openWithGesture();
    const int before = windowsOf(pids[1]);
    // The event tap and the hot key see the same press.
    EXPECT_TRUE(controller().interceptHUDKeyDown(13));
    EXPECT_TRUE(hotKeys->press(13, 0));
    runUntilIdle();
    EXPECT_EQ(windowsOf(pids[1]), before - 1);

    advance(0.05);
    hotKeys->press(13, 0);
    runUntilIdle();
    EXPECT_EQ(windowsOf(pids[1]), before - 1);
    advance(0.02);
    hotKeys->press(13, 0);
    runUntilIdle();
    EXPECT_EQ(windowsOf(pids[1]), before - 2);
    EXPECT_TRUE(controller().isVisible);  // the gesture goes on
}

TEST_F(QuickKeysTest, TapPathIgnoresPreviewsAndOtherKeys) {
    addApps(2);
    controller().presentPreviewHUD(2.5);
    EXPECT_FALSE(controller().interceptHUDKeyDown(53));
    EXPECT_TRUE(hotKeys->press(53, 0));  // the Esc hot key still works for a preview
    runUntilIdle();
    EXPECT_FALSE(controller().isVisible);

    openWithGesture();
    EXPECT_FALSE(controller().interceptHUDKeyDown(0));
    settings().allowQuickCloseQuit = false;
    EXPECT_FALSE(controller().interceptHUDKeyDown(13));
    EXPECT_TRUE(controller().interceptHUDKeyDown(53));
}

TEST_F(QuickKeysTest, ClosingRemovesTheEntryAndSelectsTheOneAfterIt) {
    addApps(3);
    openWithGesture();
    ASSERT_EQ(controller().selectedIndex.get(), 1);
    controller().performHotKeyAction(SwitcherController::closeAction);
    EXPECT_EQ(controller().targets->size(), 2u);
    EXPECT_EQ(controller().selectedIndex.get(), 1);
    EXPECT_EQ(controller().targets.get()[1].appName, "Meridian");
    EXPECT_EQ(controller().anchorIndex(), 1);
    EXPECT_DOUBLE_EQ(controller().accumulatedDeltaX(), 0);

    advance(0.1);
    controller().performHotKeyAction(SwitcherController::closeAction);  // the last entry
    EXPECT_EQ(controller().selectedIndex.get(), 0);
    advance(0.1);
    controller().performHotKeyAction(SwitcherController::closeAction);
    EXPECT_FALSE(controller().isVisible);
}

TEST_F(QuickKeysTest, QuitRemovesEveryEntryOfTheAppAndRelabels) {
    auto mail = addApp("Postbox");
    addWindow(mail, "Inbox");
    auto notes = addApp("Inkwell");
    addWindow(notes, "Groceries");
    addWindow(notes, "Ideas");
    addWindow(notes, "Travel");
    auto safari = addApp("Meridian");
    addWindow(safari, "Start");
    addWindow(safari, "Herald");
    desktop->setFrontmost(mail);
    openWithGesture();
    ASSERT_EQ(controller().targets.get()[1].appName, "Inkwell");
    controller().performHotKeyAction(SwitcherController::quitAction);
    std::vector<std::string> apps;
    for (const auto& t : controller().targets.get()) apps.push_back(t.appName);
    EXPECT_EQ(apps, (std::vector<std::string>{"Postbox", "Meridian", "Meridian"}));
    EXPECT_EQ(labels(), (std::vector<std::string>{"Postbox", "Start", "Herald"}));

    // A quit that leaves an app with one window shows its app name.
    controller().targets = std::vector<SwitchTarget>{
        SwitchTarget({.id = "win-1", .pid = 1, .appName = "A", .windowTitle = "One"}),
        SwitchTarget({.id = "win-2", .pid = 1, .appName = "A", .windowTitle = "Two"})};
    controller().selectedIndex = 0;
    controller().removeTargetsAfterClose();
    EXPECT_EQ(labels(), (std::vector<std::string>{"A"}));
}

TEST_F(QuickKeysTest, CloseWithoutPermissionDismissesAndAsksForIt) {
    addApps(2);
    openWithGesture();
    setTrusted(false);
    controller().performHotKeyAction(SwitcherController::closeAction);
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(desktop->extension<platform::sim::SimAccessibilityState>().promptCount, 1);
}

TEST_F(QuickKeysTest, KeyCodesFollowTheLayoutAndAreCachedUntilItChanges) {
    auto& codes = QuickKeyCodes::shared();
    controller();  // listens for layout changes
    EXPECT_EQ(codes.lookup(), (QuickKeyCodes::Pair{13, 12}));
    const int calls = layout->translateCallCount();
    codes.lookup();
    EXPECT_EQ(layout->translateCallCount(), calls);

    layout->select(platform::sim::SimKeyboardLayout::Kind::azerty);
    EXPECT_TRUE(codes.isStale());
    EXPECT_EQ(codes.lookup(), (QuickKeyCodes::Pair{6, 0}));

    addApps(2);
    openWithGesture();
    // Both the layout's letter and the hardware position act.
    EXPECT_TRUE(controller().interceptHUDKeyDown(6));
    EXPECT_TRUE(controller().interceptHUDKeyDown(13));
    EXPECT_TRUE(hotKeys->isRegistered(6, 0));

    layout->select(platform::sim::SimKeyboardLayout::Kind::none);
    EXPECT_EQ(codes.lookup(), (QuickKeyCodes::Pair{13, 12}));
    EXPECT_TRUE(codes.isStale());
}

TEST_F(QuickKeysTest, FailedCloseBeepsAndKeepsTheBar) {
    addApps(2);
    openWithGesture();
    controller().targets = std::vector<SwitchTarget>{
        SwitchTarget({.id = "win-900", .pid = 4242, .windowID = 900u, .appName = "Gone", .windowTitle = "Gone"}),
        SwitchTarget({.id = "win-901", .pid = 4242, .windowID = 901u, .appName = "Gone", .windowTitle = "Gone 2"})};
    controller().selectedIndex = 0;
    controller().performHotKeyAction(SwitcherController::closeAction);
    EXPECT_EQ(haptics->beeps(), 1);
    EXPECT_EQ(controller().targets->size(), 2u);
    advance(0.1);
    controller().performHotKeyAction(SwitcherController::quitAction);  // a failed quit is silent
    EXPECT_EQ(haptics->beeps(), 1);
}

}  // namespace
}  // namespace quillmar::testing
