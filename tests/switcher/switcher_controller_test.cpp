// The switch itself on virtual time: presentation and start index, scrub-to-selection, commit,
// cancel, fades and their generation guard, screen choice, previews and every stop condition.

#include "autopause/app_exclusion_monitor.h"
#include "festive_hud/hud_festive_state.h"
#include "gfx/cairo_backend.h"
#include "platform/workspace.h"
#include "runtime/notification_center.h"
#include "switcher/hud_panel_placement.h"
#include "switcher/round_half_away_from_zero.h"
#include "switcher_fixture.h"
#include "trackpad/trackpad_test_support.h"
#include "festive_hud/festive_test_support.h"

namespace quillmar::testing {
namespace {

class SwitcherControllerTest : public SwitcherTest {
protected:
    // Three fingers land and slide far enough for the recogniser to start the gesture.
    void startGesture() {
        controller();  // wires the gesture callbacks
        settings().triggerStyle = TriggerStyle::immediateHorizontalSlide;
        settings().fingerCount = 3;
        auto& m = TrackpadTouchMonitor::shared();
        m.advanceGesture(snapshot(3, 0.5, 0.5));
        m.advanceGesture(snapshot(3, 0.52, 0.5));
    }
    std::string frontWindowTitle() {
        for (const auto* w : desktop->windows())
            if (w->layer == 0 && desktop->isOnScreen(*w)) return w->title;
        return {};
    }
};

TEST_F(SwitcherControllerTest, StartIndexFollowsTheFrontWindowAndTheSecondEntry) {
    auto pids = addApps(3);
    controller().presentHUD(false);
    EXPECT_TRUE(controller().isVisible);
    EXPECT_EQ(controller().targets->size(), 3u);
    EXPECT_EQ(controller().selectedIndex.get(), 1);  // the window used before the front one
    EXPECT_EQ(controller().anchorIndex(), 1);
    ASSERT_FALSE(announcer->announcements().empty());
    EXPECT_EQ(announcer->announcements().back().text, "Inkwell");
    EXPECT_EQ(haptics->count(platform::HapticPattern::generic), 1);
}

TEST_F(SwitcherControllerTest, SecondEntryMinimisedOpensOnTheFirst) {
    auto mail = addApp("Postbox");
    addWindow(mail, "Inbox");
    auto notes = addApp("Inkwell");
    addWindow(notes, "Parked", true);
    desktop->setFrontmost(mail);
    controller().presentHUD(false);
    ASSERT_EQ(controller().targets->size(), 2u);
    EXPECT_TRUE(controller().targets.get()[1].isMinimizedOrHidden);
    EXPECT_EQ(controller().selectedIndex.get(), 0);
}

TEST_F(SwitcherControllerTest, ScrubMovesOneEntryPerStepAndAbsorbsTravelBeyondTheEnds) {
    addApps(5);
    settings().sensitivity = 1.0;
    EXPECT_DOUBLE_EQ(SwitcherController::scrubStep(), 0.072);
    controller().presentHUD(false);
    ASSERT_EQ(controller().selectedIndex.get(), 1);

    controller().handleScrub(0.035);  // position 1.486: still 1
    EXPECT_EQ(controller().selectedIndex.get(), 1);
    controller().handleScrub(0.001);  // 1.5: halves go up
    EXPECT_EQ(controller().selectedIndex.get(), 2);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 1);

    controller().handleScrub(10.0);  // far past the end: clamped at the last entry
    EXPECT_EQ(controller().selectedIndex.get(), 4);
    EXPECT_DOUBLE_EQ(controller().accumulatedDeltaX(), 3 * 0.072);
    controller().handleScrub(-0.037);  // just over half a step back
    EXPECT_EQ(controller().selectedIndex.get(), 3);
    controller().handleScrub(-10.0);
    EXPECT_EQ(controller().selectedIndex.get(), 0);

    // Bad travel changes nothing.
    controller().handleScrub(std::numeric_limits<double>::quiet_NaN());
    controller().handleScrub(std::numeric_limits<double>::infinity());
    EXPECT_EQ(controller().selectedIndex.get(), 0);
    EXPECT_DOUBLE_EQ(controller().accumulatedDeltaX(), -0.072);

    settings().sensitivity = 3.0;  // 0.024 is below the floor
    EXPECT_DOUBLE_EQ(SwitcherController::scrubStep(), 0.025);
}

TEST_F(SwitcherControllerTest, OneEntryNeverMoves) {
    addApps(1);
    controller().presentHUD(false);
    ASSERT_EQ(controller().targets->size(), 1u);
    EXPECT_EQ(controller().selectedIndex.get(), 0);
    controller().handleScrub(0.5);
    controller().handleScrub(-0.5);
    EXPECT_EQ(controller().selectedIndex.get(), 0);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), 0);
}

TEST_F(SwitcherControllerTest, CommitRaisesTheChosenWindowInTheSameTurn) {
    addApps(3);
    controller().presentHUD(false);
    controller().handleScrub(0.072);  // Meridian
    controller().commitSelection();
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(frontWindowTitle(), "Meridian window 3");  // before the loop turns
    EXPECT_FALSE(controller().targets->empty());       // kept while the bar fades
    advance(0.2);
    EXPECT_FALSE(simPanel()->isVisible());
    EXPECT_TRUE(controller().targets->empty());
}

TEST_F(SwitcherControllerTest, CommittingTheVisibleFrontWindowOnlyDismisses) {
    addApps(3);
    controller().presentHUD(false);
    controller().handleScrub(-0.072);
    ASSERT_EQ(controller().selectedIndex.get(), 0);
    desktop->clearCallLog();
    controller().commitSelection();
    for (const auto& line : desktop->callLog()) EXPECT_EQ(line.find("activate"), std::string::npos) << line;
    EXPECT_EQ(frontWindowTitle(), "Postbox window 1");
}

TEST_F(SwitcherControllerTest, ClickCommitsThatEntryAndOutOfRangeIndicesAreIgnored) {
    addApps(4);
    controller().presentHUD(false);
    controller().selectAndCommit(7);
    EXPECT_TRUE(controller().isVisible);
    controller().selectAndCommit(3);
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(frontWindowTitle(), "Chorus window 4");
}

TEST_F(SwitcherControllerTest, EmptyListCancelsTheGestureAndShowsNothing) {
    startGesture();
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(simPanel(), nullptr);
    EXPECT_TRUE(std::holds_alternative<gesture::CancelledUntilAllLift>(TrackpadTouchMonitor::shared().phase()));
}

TEST_F(SwitcherControllerTest, WarmingUpShowsNothingAndTheOpeningAfterItIsUnchanged) {
    controller().warmUp();  // no windows: nothing to prepare
    EXPECT_EQ(simPanel(), nullptr);

    addApps(4);
    int events = 0;
    auto connection = controller().events.connect([&](const SwitcherController::Event&) { ++events; });
    controller().warmUp();
    runUntilIdle();
    ASSERT_NE(simPanel(), nullptr);
    EXPECT_FALSE(simPanel()->isVisible());
    EXPECT_EQ(simPanel()->orderFrontCount(), 0);
    EXPECT_FALSE(controller().isVisible);
    EXPECT_TRUE(controller().targets->empty());
    EXPECT_EQ(controller().activeHotKeyCount(), 0u);
    EXPECT_EQ(events, 0);

    startGesture();
    ASSERT_TRUE(controller().isVisible);
    EXPECT_EQ(controller().targets->size(), 4u);
    EXPECT_EQ(controller().selectedIndex.get(), 1);
    EXPECT_TRUE(simPanel()->isVisible());
    EXPECT_EQ(events, 1);
}

TEST_F(SwitcherControllerTest, AfterTheWarmUpNoFrameOfTheFirstOpeningResamplesAnIcon) {
    // Resampling every icon in sight at once would make one frame of the bloom many times slower
    // than the others: the warm-up does it off the gesture's path, for the bloom and the rest.
    addApps(12);
    controller().warmUp();
    runUntilIdle();
    const auto made = gfx::CairoBackend::resampledTiles();
    startGesture();
    ASSERT_TRUE(controller().isVisible);
    ASSERT_NE(controller().panel(), nullptr);
    for (int frame = 0; frame < 40; ++frame) {
        advance(1.0 / 60);
        controller().panel()->renderImage(2.0);
        EXPECT_EQ(gfx::CairoBackend::resampledTiles(), made) << "frame " << frame;
    }
    EXPECT_TRUE(controller().isPresentedBloom);
}

TEST_F(SwitcherControllerTest, OnADesktopOfMoreAppsThanTheIconCacheHoldsNoOpeningResamplesAnIconAgain) {
    // Each catalogue of 150 apps empties the icon cache of 128 on its way: what comes back is the
    // scaled copy each app's icon keeps, already drawn, and so the tiles the bar drew from it.
    addApps(150);
    controller().warmUp();
    runUntilIdle();
    const auto made = gfx::CairoBackend::resampledTiles();
    std::vector<platform::AppIconRef> shown;
    for (int opening = 0; opening < 3; ++opening) {
        startGesture();
        ASSERT_TRUE(controller().isVisible);
        for (int frame = 0; frame < 30; ++frame) {
            advance(1.0 / 60);
            controller().panel()->renderImage(2.0);
            EXPECT_EQ(gfx::CairoBackend::resampledTiles(), made) << "opening " << opening << ", frame " << frame;
        }
        const auto& targets = controller().targets.get();
        ASSERT_EQ(targets.size(), 150u);
        if (opening == 0)
            for (std::size_t i = 0; i < 8; ++i) shown.push_back(targets[i].appIcon);
        for (std::size_t i = 0; i < 8; ++i) {
            EXPECT_EQ(targets[i].appIcon, shown[i]) << "opening " << opening << ", entry " << i;
            EXPECT_TRUE(targets[i].appIcon->isDrawn());
        }
        controller().dismissHUD(true);
        TrackpadTouchMonitor::shared().advanceGesture(snapshot(0, 0, 0));
        advance(1.0);
    }
    EXPECT_LE(WindowManager::shared().iconCache().size(), 128u);
}

TEST_F(SwitcherControllerTest, GestureCallbacksDriveTheBar) {
    addApps(3);
    startGesture();
    ASSERT_TRUE(controller().isVisible);
    EXPECT_GT(controller().activeHotKeyCount(), 2u);  // Esc and the W / Q sets
    auto& m = TrackpadTouchMonitor::shared();
    m.advanceGesture(snapshot(3, 0.52 + 0.08, 0.5));
    EXPECT_EQ(controller().selectedIndex.get(), 2);
    m.advanceGesture(snapshot(0, 0, 0));
    EXPECT_FALSE(controller().isVisible);
    EXPECT_EQ(controller().activeHotKeyCount(), 0u);
    EXPECT_EQ(frontWindowTitle(), "Meridian window 3");
}

TEST_F(SwitcherControllerTest, FadeCompletionOfAnOlderPresentationLeavesTheNewOneUp) {
    addApps(3);
    controller().presentHUD(false);
    advance(0.3);
    EXPECT_DOUBLE_EQ(simPanel()->alphaValue(), 1.0);
    EXPECT_TRUE(controller().isPresentedBloom);

    controller().dismissHUD(false);
    EXPECT_FALSE(controller().isPresentedBloom);
    advance(0.03);  // mid-fade
    EXPECT_TRUE(simPanel()->isVisible());
    EXPECT_LT(simPanel()->alphaValue(), 1.0);
    controller().presentHUD(false);  // re-uses the panel
    advance(0.5);
    EXPECT_EQ(panels->panels().size(), 1u);
    EXPECT_TRUE(simPanel()->isVisible());
    EXPECT_DOUBLE_EQ(simPanel()->alphaValue(), 1.0);
    EXPECT_FALSE(controller().targets->empty());
}

TEST_F(SwitcherControllerTest, ReduceMotionShowsAndHidesAtOnce) {
    platform::AccessibilityDisplayOptions::shared().setReduceMotion(true);
    addApps(2);
    controller().presentHUD(false);
    EXPECT_TRUE(controller().isPresentedBloom);
    EXPECT_DOUBLE_EQ(simPanel()->alphaValue(), 1.0);
    EXPECT_FALSE(simPanel()->isAnimatingAlpha());
    controller().dismissHUD(false);
    EXPECT_FALSE(simPanel()->isVisible());
    EXPECT_TRUE(controller().targets->empty());
}

TEST_F(SwitcherControllerTest, PanelGoesToTheScreenUnderThePointer) {
    desktop->setScreens({platform::Screen{1, "Left", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2},
                         platform::Screen{2, "Right", {1440, 0, 1280, 800}, {1440, 0, 1280, 775}, 2}},
                        false);
    desktop->setPointer({2720 + 1, 400});  // one point beyond the right edge still counts
    addApps(3);
    controller().presentHUD(false);
    EXPECT_EQ(controller().activeScreenWidth.get(), 1280);
    EXPECT_EQ(controller().activeScreenHeight.get(), 775);
    const auto f = simPanel()->frame();
    EXPECT_NEAR(f.midX(), 1440 + 640, 1.0);
    EXPECT_NEAR(f.midY(), 387.5, 1.0);
    EXPECT_EQ(simPanel()->level(), 101);
    EXPECT_FALSE(simPanel()->canBecomeKeyWindow());
}

TEST_F(SwitcherControllerTest, PlacementCentresOnTheWholeScreenAndClampsIntoTheVisibleFrame) {
    platform::Screen dockLeft{1, "S", {0, 0, 1440, 900}, {80, 0, 1360, 875}, 2};
    auto f = hudPanelFrame(dockLeft, {600, 170});
    EXPECT_EQ(f.x, 420);  // centred on the full width, not the visible one
    EXPECT_EQ(f.y, roundHalfAwayFromZero(437.5 - 85));
    f = hudPanelFrame(dockLeft, {2000, 170});
    EXPECT_EQ(f.x, 92);  // too wide: the left margin wins
    f = hudPanelFrame(dockLeft, {600, 2000});
    EXPECT_EQ(f.y, 16);
}

TEST_F(SwitcherControllerTest, EnsureCenteredIgnoresTinySizesAndSubPointChanges) {
    addApps(3);
    controller().presentHUD(false);
    advance(0.3);
    const int changes = simPanel()->frameChangeCount();
    const auto frame = simPanel()->frame();
    controller().ensurePanelCentered({40, 170});
    controller().ensurePanelCentered({frame.width, frame.height + 0.5});
    EXPECT_EQ(simPanel()->frameChangeCount(), changes);
    controller().ensurePanelCentered({frame.width, frame.height + 1.5});
    EXPECT_EQ(simPanel()->frameChangeCount(), changes + 1);
}

TEST_F(SwitcherControllerTest, StyleChangeRecentresWithAnAnimatedFrameAndACloseRefitsWithoutOne) {
    addApps(4);
    controller().presentHUD(false);
    advance(0.3);
    settings().switchBarStyle = SwitchBarStyle::vertical;
    runUntilIdle();
    EXPECT_TRUE(simPanel()->lastFrameChangeAnimated());
    auto f = simPanel()->frame();
    EXPECT_NEAR(f.midY(), 70 + 805 / 2.0, 1.0);
    EXPECT_NEAR(f.width, 418, 0.5);

    // A close shrinks the list without an animated frame change; once the content is measured
    // again the panel is centred on its new size.
    const double height = f.height;
    controller().performHotKeyAction(SwitcherController::closeAction);
    advance(0.5);
    f = simPanel()->frame();
    EXPECT_FALSE(simPanel()->lastFrameChangeAnimated());
    EXPECT_LT(f.height, height);
    EXPECT_NEAR(f.midY(), 70 + 805 / 2.0, 1.0);
    EXPECT_EQ(controller().targets->size(), 3u);
}

TEST_F(SwitcherControllerTest, StopConditionsDismissTheBar) {
    addApps(3);
    auto up = [&] {
        controller().presentHUD(false);
        ASSERT_TRUE(controller().isVisible);
    };
    up();
    settings().isEnabled = false;
    EXPECT_TRUE(controller().isVisible);  // delivered on the next turn
    runUntilIdle();
    EXPECT_FALSE(controller().isVisible);
    settings().isEnabled = true;
    runUntilIdle();

    for (const char* name : {platform::Workspace::willSleepNotification, platform::Workspace::screensDidSleepNotification,
                             platform::Workspace::sessionDidResignActiveNotification}) {
        up();
        runtime::NotificationCenter::workspace().post(name);
        EXPECT_FALSE(controller().isVisible) << name;
    }

    up();
    AppExclusionMonitor::shared().activePauseReason = AutoPauseReason::excludedApp("Game", "com.example.Game");
    runUntilIdle();
    EXPECT_FALSE(controller().isVisible);
}

TEST_F(SwitcherControllerTest, PreviewDismissesItselfUnlessAGestureTookItOver) {
    addApps(3);
    controller().presentPreviewHUD(2.5);
    EXPECT_TRUE(controller().isPreviewPresentation());
    EXPECT_EQ(controller().activeHotKeyCount(), 2u);  // Esc only
    advance(2.0);
    controller().presentPreviewHUD(2.5);  // replaces the pending dismissal
    advance(2.0);
    EXPECT_TRUE(controller().isVisible);
    advance(0.6);
    EXPECT_FALSE(controller().isVisible);

    controller().presentPreviewHUD(2.5);
    startGesture();
    advance(3.0);
    EXPECT_TRUE(controller().isVisible);
    EXPECT_FALSE(controller().isPreviewPresentation());
}

TEST_F(SwitcherControllerTest, SettingsValuesPresentAtSubscriptionAreNotActedOn) {
    // Every subscribed value is already in its acting state before the controller subscribes.
    settings().isEnabled = false;
    settings().switchBarStyle = SwitchBarStyle::vertical;
    AppExclusionMonitor::shared().activePauseReason = AutoPauseReason::excludedApp("Game", "com.example.Game");
    addApps(2);
    controller().presentHUD(false);
    const int frames = simPanel()->frameChangeCount();
    runUntilIdle();
    EXPECT_TRUE(controller().isVisible);
    EXPECT_EQ(simPanel()->frameChangeCount(), frames);
    EXPECT_FALSE(simPanel()->lastFrameChangeAnimated());
    // A later change of each one is acted on.
    settings().switchBarStyle = SwitchBarStyle::horizontal;
    runUntilIdle();
    EXPECT_TRUE(simPanel()->lastFrameChangeAnimated());
    settings().isEnabled = true;
    settings().isEnabled = false;
    runUntilIdle();
    EXPECT_FALSE(controller().isVisible);
}

TEST_F(SwitcherControllerTest, QuickKeySettingPresentAtSubscriptionDoesNotReRegister) {
    settings().allowQuickCloseQuit = true;
    addApps(2);
    startGesture();
    ASSERT_TRUE(controller().isVisible);
    ASSERT_EQ(hotKeys->registrationCount(), 12u);  // Esc twice, W and Q with five modifier sets
    // Registering again now would lose plain W, taken meanwhile by another application.
    hotKeys->markTaken(13, 0);
    runUntilIdle();
    EXPECT_EQ(hotKeys->registrationCount(), 12u);
    settings().allowQuickCloseQuit = false;
    runUntilIdle();
    EXPECT_EQ(hotKeys->registrationCount(), 2u);
}

TEST_F(SwitcherControllerTest, FestiveCallsOnChristmasDay) {
    setToday(2025, 12, 25);
    settings().holidaySparkle = true;
    addApps(5);
    auto& festive = HUDFestiveState::shared();
    controller().presentHUD(false);
    ASSERT_TRUE(festive.armedTheme().has_value());
    ASSERT_TRUE(festive.isChristmasPerimeterVisible);
    // Armed at the start entry's place: index 1 of 5.
    ASSERT_EQ(festive.christmasGlowTrail().size(), 1u);
    EXPECT_DOUBLE_EQ(festive.christmasGlowTrail().front().normalizedPos, 0.25);

    // Three quick hops backwards, then forwards: particles leave against, then with, the hop.
    const double step = SwitcherController::scrubStep();
    controller().handleScrub(-step);
    EXPECT_DOUBLE_EQ(festive.christmasSmoothedFocus(), 0.25 + (0.0 - 0.25) * 0.36);
    advance(0.05);
    controller().handleScrub(step);
    advance(0.05);
    controller().handleScrub(step);
    ASSERT_FALSE(festive.particles().empty());
    double sum = 0;
    for (const auto& p : festive.particles()) sum += p.vx;
    EXPECT_GT(sum, 0) << "a forward hop throws particles forwards";
    controller().dismissHUD(true);
    EXPECT_TRUE(festive.particles().empty());
    EXPECT_FALSE(festive.isChristmasPerimeterVisible);

    advance(2.0);
    // A preview sweeps the glow along the bar in twelve steps, 55 ms apart, towards the end.
    controller().presentPreviewHUD(2.5);
    advance(6 * 0.055 + 0.01);
    const double halfway = festive.christmasSmoothedFocus();
    advance(6 * 0.055);
    const double swept = festive.christmasSmoothedFocus();
    EXPECT_GT(swept, halfway + 0.3);
    EXPECT_GT(swept, 0.8);
    advance(0.5);
    EXPECT_DOUBLE_EQ(festive.christmasSmoothedFocus(), swept);  // twelve steps, no more
}

TEST_F(SwitcherControllerTest, ScreenChoiceAtTheEdgesAndWithoutAScreen) {
    desktop->setScreens({platform::Screen{1, "Left", {0, 0, 1440, 900}, {0, 70, 1440, 805}, 2},
                         platform::Screen{2, "Right", {1440, 0, 1280, 800}, {1440, 0, 1280, 775}, 2}},
                        false);
    desktop->setPointer({1441, 400});  // one point inside the right screen
    EXPECT_EQ(SwitcherController::screenUnderMouse()->name, "Right");
    desktop->setPointer({1439, 400});
    EXPECT_EQ(SwitcherController::screenUnderMouse()->name, "Left");
    desktop->setPointer({1440, 400});  // the shared edge belongs to the right screen
    EXPECT_EQ(SwitcherController::screenUnderMouse()->name, "Right");

    // No screen at all: the bar still opens, with the last screen size and an unplaced panel.
    addApps(3);
    desktop->setScreens({}, false);
    controller().presentHUD(false);
    EXPECT_TRUE(controller().isVisible);
    EXPECT_EQ(controller().activeScreenWidth.get(), 1440);
    EXPECT_EQ(simPanel()->frame(), (platform::Rect{0, 0, 700, 170}));
    EXPECT_TRUE(simPanel()->isVisible());
}

}  // namespace
}  // namespace quillmar::testing
