#include "settings/switcher_settings.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/application_notifications.h"
#include "platform/sim/sim_login_items.h"
#include "platform/user_defaults.h"
#include "runtime/notification_center.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using platform::DefaultsValue;
using platform::LoginItemStatus;
using platform::UserDefaults;
using platform::sim::SimLoginItems;

class SwitcherSettingsTest : public testing::FreshWorldTest {
protected:
    UserDefaults& defaults() { return UserDefaults::standard(); }
    SwitcherSettings& settings() { return SwitcherSettings::shared(); }
};

TEST_F(SwitcherSettingsTest, EmptyDomainLoadsDefaultsAndWritesNothing) {
    auto& login = SimLoginItems::install();
    login.setStatus(LoginItemStatus::enabled);
    auto& s = settings();
    EXPECT_TRUE(s.isEnabled);
    EXPECT_EQ(s.fingerCount.get(), 4);
    EXPECT_EQ(s.triggerStyle.get(), TriggerStyle::holdAndSlide);
    EXPECT_EQ(s.switcherMode.get(), SwitcherMode::allWindows);
    EXPECT_EQ(s.switchBarStyle.get(), SwitchBarStyle::horizontal);
    EXPECT_DOUBLE_EQ(s.holdDurationMs, 75.0);
    EXPECT_DOUBLE_EQ(s.sensitivity, 1.1);
    for (bool on : {s.hapticFeedback.get(), s.allowSingleFingerContinue.get(), s.suppressBackgroundScroll.get(),
                     s.pauseInGames.get(), s.allowQuickCloseQuit.get(), s.holidaySparkle.get()})
        EXPECT_TRUE(on);
    EXPECT_EQ(s.hudAppearance.get(), HUDAppearanceStyle::darkGlass);
    EXPECT_FALSE(s.currentSpaceOnly);
    EXPECT_FALSE(s.qaModeEnabled);
    EXPECT_FALSE(s.forceShowLayoutPicker);
    EXPECT_TRUE(s.launchAtLogin);  // from the system, not the defaults
    EXPECT_TRUE(s.ignoredBundleIDs->empty());
    EXPECT_EQ(defaults().writeCount(), 0);
    EXPECT_EQ(login.registerCount(), 0);
}

struct LoadCase {
    const char* key;
    DefaultsValue stored;
    std::function<bool(const SwitcherSettings&)> expect;
    const char* what;
};

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

// 150 identifiers, the first one over 255 bytes long (two-byte characters), then "1" to "149".
DefaultsValue longIgnoreList() {
    auto list = DefaultsValue::array({"com." + repeated("\u00e9", 200)});
    for (int i = 1; i < 150; ++i) list.push_back(std::to_string(i));
    return list;
}

TEST_F(SwitcherSettingsTest, StoredValuesAreValidatedOnLoadWithoutWritingBack) {
    const std::vector<LoadCase> cases = {
        {"fingerCount", 5, [](auto& s) { return s.fingerCount.get() == 4; }, "5 becomes 4"},
        {"fingerCount", 0, [](auto& s) { return s.fingerCount.get() == 0; }, "0 (automatic) stays"},
        {"fingerCount", "3", [](auto& s) { return s.fingerCount.get() == 3; }, "numeric string reads"},
        {"fingerCount", -3, [](auto& s) { return s.fingerCount.get() == 4; }, "negative becomes 4"},
        {"holdDurationMs", 1000.0, [](auto& s) { return s.holdDurationMs.get() == 500.0; }, "clamped high"},
        {"holdDurationMs", 10, [](auto& s) { return s.holdDurationMs.get() == 35.0; }, "clamped low"},
        {"holdDurationMs", "abc", [](auto& s) { return s.holdDurationMs.get() == 35.0; }, "junk reads 0"},
        {"sensitivity", 0.1, [](auto& s) { return s.sensitivity.get() == 0.3; }, "clamped low"},
        {"sensitivity", 9.0, [](auto& s) { return s.sensitivity.get() == 3.0; }, "clamped high"},
        {"switchBarStyle", "Vertical", [](auto& s) { return s.switchBarStyle.get() == SwitchBarStyle::horizontal; },
         "capitalised case name"},
        {"switchBarStyle", "vertical", [](auto& s) { return s.switchBarStyle.get() == SwitchBarStyle::vertical; },
         "exact case name"},
        {"hudAppearance", "solid", [](auto& s) { return s.hudAppearance.get() == HUDAppearanceStyle::darkGlass; },
         "first word only"},
        {"triggerStyle", "topEdgeTwoFinger",
         [](auto& s) { return s.triggerStyle.get() == TriggerStyle::topEdgeTwoFinger; }, "known case"},
        {"switcherMode", 7, [](auto& s) { return s.switcherMode.get() == SwitcherMode::allWindows; },
         "number names no case"},
        {"isEnabled", "NO", [](auto& s) { return !s.isEnabled.get(); }, "string bool"},
        {"ignoredBundleIDs", DefaultsValue::array({"a", 3, "b"}),
         [](auto& s) { return s.ignoredBundleIDs.get() == std::vector<std::string>{"a", "b"}; },
         "strings of a mixed list kept"},
        {"ignoredBundleIDs", "a", [](auto& s) { return s.ignoredBundleIDs->empty(); }, "not a list"},
        {"ignoredBundleIDs", longIgnoreList(),
         [](auto& s) {
             const auto& ids = s.ignoredBundleIDs.get();
             // 254 bytes: 255 would split the last character.
             return ids.size() == 100 && ids[0] == "com." + repeated("\u00e9", 125) && ids[99] == "99";
         },
         "the first 100 identifiers, each cut to 255 bytes"},
    };
    for (const auto& c : cases) {
        runtime::World::reset();
        defaults().set(c.key, c.stored);
        const int writes = defaults().writeCount();
        EXPECT_TRUE(c.expect(settings())) << c.key << ": " << c.what;
        EXPECT_EQ(defaults().writeCount(), writes) << c.key;
        EXPECT_EQ(*defaults().object(c.key), c.stored) << c.key << " stays as stored until assigned";
    }
}

TEST_F(SwitcherSettingsTest, LegacyKeysAreRemovedAndNeverReadAsLaunchAtLogin) {
    defaults().set("launchAtLogin", true);
    defaults().set("showWindowPreviews", false);
    EXPECT_FALSE(settings().launchAtLogin);
    EXPECT_FALSE(defaults().hasPersistedValue("launchAtLogin"));
    EXPECT_FALSE(defaults().hasPersistedValue("showWindowPreviews"));
}

struct ClampCase {
    const char* name;
    double assigned;
    std::vector<double> emitted;
    double stored;
};

TEST_F(SwitcherSettingsTest, AssignedDoublesAreCorrectedThroughANestedAssignment) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<ClampCase> hold = {
        {"holdDurationMs", 1000, {1000, 500}, 500}, {"holdDurationMs", 35, {35}, 35},
        {"holdDurationMs", 34.9, {34.9, 35}, 35},   {"holdDurationMs", nan, {nan, 75}, 75},
        {"holdDurationMs", -inf, {-inf, 75}, 75},
    };
    const std::vector<ClampCase> sens = {
        {"sensitivity", 0.0, {0.0, 0.3}, 0.3}, {"sensitivity", 3.0, {3.0}, 3.0},
        {"sensitivity", inf, {inf, 1.1}, 1.1}, {"sensitivity", 1.7, {1.7}, 1.7},
    };
    auto run = [&](runtime::Published<double>& p, const ClampCase& c) {
        std::vector<double> seen;
        auto sub = p.publisher().dropFirst().sink([&](const double& v) { seen.push_back(v); });
        const int writes = defaults().writeCount();
        p = c.assigned;
        ASSERT_EQ(seen.size(), c.emitted.size()) << c.name << " " << c.assigned;
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (std::isnan(c.emitted[i]))
                EXPECT_TRUE(std::isnan(seen[i]));
            else
                EXPECT_EQ(seen[i], c.emitted[i]) << c.name;
        }
        EXPECT_EQ(p.get(), c.stored);
        EXPECT_EQ(defaults().writeCount(), writes + 1) << c.name << " is written once";
        EXPECT_EQ(defaults().doubleForKey(c.name), c.stored);
    };
    for (const auto& c : hold) run(settings().holdDurationMs, c);
    for (const auto& c : sens) run(settings().sensitivity, c);
}

TEST_F(SwitcherSettingsTest, InvalidFingerCountEmitsTwiceWritesOnceAndSyncsTheGateOnce) {
    auto& s = settings();
    std::vector<std::int64_t> emitted, synced;
    auto sub = s.fingerCount.publisher().dropFirst().sink([&](const std::int64_t& v) { emitted.push_back(v); });
    auto gate = s.gestureSettingsChanged.connect([&](const SwitcherSettings& from) {
        synced.push_back(from.fingerCount.get());
    });
    s.fingerCount = 3;
    const int writes = defaults().writeCount();
    s.fingerCount = 2;
    EXPECT_EQ(emitted, (std::vector<std::int64_t>{3, 2, 4}));
    EXPECT_EQ(synced, (std::vector<std::int64_t>{3, 4}));
    EXPECT_EQ(defaults().writeCount(), writes + 1);
    EXPECT_EQ(defaults().integerForKey("fingerCount"), 4);
}

TEST_F(SwitcherSettingsTest, OnlyGestureSettingsSyncTheGateAndEveryAssignmentWrites) {
    auto& s = settings();
    int syncs = 0;
    auto gate = s.gestureSettingsChanged.connect([&](const SwitcherSettings&) { ++syncs; });
    int writes = defaults().writeCount();
    auto expectStep = [&](const char* key, int expectedSyncs) {
        EXPECT_EQ(syncs, expectedSyncs) << key;
        EXPECT_EQ(defaults().writeCount(), ++writes) << key;
        EXPECT_TRUE(defaults().hasPersistedValue(key)) << key;
    };
    s.isEnabled = true;  // unchanged: still written and synced
    expectStep("isEnabled", 1);
    s.triggerStyle = TriggerStyle::topEdgeTwoFinger;
    expectStep("triggerStyle", 2);
    s.switchBarStyle = SwitchBarStyle::vertical;
    expectStep("switchBarStyle", 3);
    s.suppressBackgroundScroll = false;
    expectStep("suppressBackgroundScroll", 4);
    s.switcherMode = SwitcherMode::appsOnly;
    expectStep("switcherMode", 4);
    s.hudAppearance = HUDAppearanceStyle::lightGlass;
    expectStep("hudAppearance", 4);
    s.holdDurationMs = 120;
    expectStep("holdDurationMs", 4);
    s.sensitivity = 2;
    expectStep("sensitivity", 4);
    for (auto* p : {&s.hapticFeedback, &s.allowSingleFingerContinue, &s.pauseInGames, &s.allowQuickCloseQuit,
                    &s.holidaySparkle, &s.currentSpaceOnly}) {
        *p = false;
        EXPECT_EQ(syncs, 4);
        EXPECT_EQ(defaults().writeCount(), ++writes);
    }
    s.qaModeEnabled = true;
    s.forceShowLayoutPicker = true;
    EXPECT_EQ(defaults().writeCount(), writes);  // not persisted
    EXPECT_EQ(*defaults().stringForKey("switchBarStyle"), "vertical");
    EXPECT_EQ(*defaults().stringForKey("hudAppearance"), "lightGlass");
    EXPECT_FALSE(defaults().boolForKey("holidaySparkle"));

    // What the next run loads is what was written by the end of this one.
    defaults().synchronize();
    auto persisted = std::make_unique<platform::InMemoryDefaultsStore>();
    persisted->save(defaults().store().load()->all());
    runtime::World::reset();
    runtime::World::install(std::make_unique<UserDefaults>(std::move(persisted)));
    EXPECT_EQ(settings().switchBarStyle.get(), SwitchBarStyle::vertical);
    EXPECT_EQ(settings().switcherMode.get(), SwitcherMode::appsOnly);
    EXPECT_EQ(settings().holdDurationMs.get(), 120);
    EXPECT_FALSE(settings().pauseInGames);
}

TEST_F(SwitcherSettingsTest, ObjectWillChangePrecedesEachEmission) {
    auto& s = settings();
    std::vector<std::string> order;
    auto a = s.objectWillChange.connect([&] { order.push_back("will"); });
    auto b = s.sensitivity.publisher().dropFirst().sink([&](const double&) { order.push_back("value"); });
    s.sensitivity = 10;
    EXPECT_EQ(order, (std::vector<std::string>{"will", "value", "will", "value"}));
}

TEST_F(SwitcherSettingsTest, IgnoreListToggles) {
    auto& s = settings();
    s.toggleIgnoredApp("");
    EXPECT_EQ(defaults().writeCount(), 0);

    s.ignoredBundleIDs = {"a", "b"};
    s.toggleIgnoredApp("c");
    s.toggleIgnoredApp("c");
    EXPECT_EQ(s.ignoredBundleIDs.get(), (std::vector<std::string>{"a", "b"}));
    s.toggleIgnoredApp("a");
    s.toggleIgnoredApp("a");
    EXPECT_EQ(s.ignoredBundleIDs.get(), (std::vector<std::string>{"b", "a"}));
    EXPECT_TRUE(s.isAppIgnored("a"));
    EXPECT_FALSE(s.isAppIgnored("A"));

    // An identifier stored twice is un-excluded by one toggle.
    s.ignoredBundleIDs = {"x", "b", "x"};
    EXPECT_EQ(s.ignoredBundleIDSet().size(), 2u);
    s.toggleIgnoredApp("x");
    EXPECT_EQ(s.ignoredBundleIDs.get(), (std::vector<std::string>{"b"}));
    EXPECT_FALSE(s.isAppIgnored("x"));
    EXPECT_EQ(*defaults().stringArrayForKey("ignoredBundleIDs"), (std::vector<std::string>{"b"}));
}

TEST_F(SwitcherSettingsTest, MixedStoredIgnoreListSurvivesTheNextToggle) {
    defaults().set("ignoredBundleIDs", DefaultsValue::array({"com.a", nullptr, "com.b"}));
    auto& s = settings();
    EXPECT_TRUE(s.isAppIgnored("com.b"));
    s.toggleIgnoredApp("com.c");
    EXPECT_EQ(*defaults().stringArrayForKey("ignoredBundleIDs"), (std::vector<std::string>{"com.a", "com.b", "com.c"}));
}

TEST_F(SwitcherSettingsTest, QAModePublishesOnlyChangesButEverySwitchOffIsAnnounced) {
    auto& s = settings();
    std::vector<bool> seen;
    int switchOffs = 0;
    auto sub = s.qaModeEnabled.publisher().dropFirst().sink([&](const bool& v) { seen.push_back(v); });
    auto off = s.qaModeSwitchedOff.connect([&] { ++switchOffs; });
    s.setQAMode(false);  // already off: no assignment, but the festive state still stops
    EXPECT_EQ(switchOffs, 1);
    s.setQAMode(true);
    s.setQAMode(true);  // unchanged: nothing
    EXPECT_TRUE(s.qaModeEnabled);
    s.setQAMode(false);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    EXPECT_EQ(switchOffs, 2);
    EXPECT_FALSE(s.qaModeEnabled);
    EXPECT_EQ(defaults().writeCount(), 0);
}

TEST_F(SwitcherSettingsTest, LaunchAtLoginFollowsTheLoginItemService) {
    auto& login = SimLoginItems::install();
    auto& s = settings();

    // Plain registration.
    s.launchAtLogin = true;
    EXPECT_EQ(login.registerCount(), 1);
    EXPECT_TRUE(s.launchAtLogin);

    // Already enabled: no second register.
    s.launchAtLogin = true;
    EXPECT_EQ(login.registerCount(), 1);

    s.launchAtLogin = false;
    EXPECT_EQ(login.unregisterCount(), 1);
    EXPECT_FALSE(s.launchAtLogin);

    // Off while not registered or not found calls nothing.
    for (auto st : {LoginItemStatus::notRegistered, LoginItemStatus::notFound}) {
        login.setStatus(st);
        s.launchAtLogin = false;
    }
    EXPECT_EQ(login.unregisterCount(), 1);
    EXPECT_FALSE(s.launchAtLogin);

    // A refused registration leaves the toggle at the system state.
    login.setStatus(LoginItemStatus::notRegistered);
    login.setRegisterOutcome(SimLoginItems::RegisterOutcome::fail);
    std::vector<bool> seen;
    auto sub = s.launchAtLogin.publisher().dropFirst().sink([&](const bool& v) { seen.push_back(v); });
    s.launchAtLogin = true;
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    EXPECT_FALSE(s.launchAtLogin);
    EXPECT_EQ(login.openSettingsCount(), 0);
    EXPECT_FALSE(s.isUpdatingLaunchAtLogin());
}

TEST_F(SwitcherSettingsTest, ApprovalFlowOpensLoginItemsAndCatchesUpOnActivation) {
    auto& login = SimLoginItems::install();
    login.setRegisterOutcome(SimLoginItems::RegisterOutcome::requireApproval);
    auto& s = settings();
    s.launchAtLogin = true;
    EXPECT_EQ(login.openSettingsCount(), 1);
    EXPECT_FALSE(s.launchAtLogin);

    login.approve();
    runtime::NotificationCenter::defaultCenter().post(platform::kApplicationDidBecomeActiveNotification);
    EXPECT_TRUE(s.launchAtLogin);
    EXPECT_EQ(login.registerCount(), 1);  // the refresh never applies

    // Removed behind the app's back: the refresh corrects without unregistering.
    login.setStatus(LoginItemStatus::notRegistered);
    runtime::NotificationCenter::defaultCenter().post(platform::kApplicationDidBecomeActiveNotification);
    EXPECT_FALSE(s.launchAtLogin);
    EXPECT_EQ(login.unregisterCount(), 0);
}

}  // namespace
}  // namespace quillmar
