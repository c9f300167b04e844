// What the settings window's switches, sliders and buttons do when a user works them: each switch
// flips its own setting and no other, the sliders write values on their own grid and range, the
// Preview button shows the bar for its set time, and Send Feedback opens the mail across its row.

#include <cmath>
#include <map>

#include "platform/sim/sim_login_items.h"
#include "platform/sim/sim_url_opener.h"
#include "settings_fixture.h"

namespace quillmar::testing {
namespace {

class SettingsSwitchesTest : public SettingsViewTest {
protected:
    void SetUp() override {
        SettingsViewTest::SetUp();
        loginItems = &platform::sim::SimLoginItems::install();
        urls = &platform::sim::SimUrlOpener::install(*desktop);
    }

    std::map<std::string, bool> switches() {
        auto& s = settings();
        return {{"isEnabled", s.isEnabled},
                {"hapticFeedback", s.hapticFeedback},
                {"allowSingleFingerContinue", s.allowSingleFingerContinue},
                {"suppressBackgroundScroll", s.suppressBackgroundScroll},
                {"pauseInGames", s.pauseInGames},
                {"allowQuickCloseQuit", s.allowQuickCloseQuit},
                {"holidaySparkle", s.holidaySparkle},
                {"currentSpaceOnly", s.currentSpaceOnly},
                {"launchAtLogin", s.launchAtLogin}};
    }

    // Clicks at `p` and returns the settings that changed.
    std::vector<std::string> flippedBy(ui::Point p) {
        const auto before = switches();
        host->click(p);
        settle(0.6);
        std::vector<std::string> changed;
        for (const auto& [name, value] : switches())
            if (before.at(name) != value) changed.push_back(name);
        return changed;
    }

    // The switch at the trailing end of a card row, inset by the row's own padding.
    ui::Point switchOf(const std::string& row, double inset) {
        const auto f = host->frame(row);
        EXPECT_TRUE(f) << row;
        return f ? ui::Point{f->maxX() - inset - 16, f->midY()} : ui::Point{};
    }

    platform::sim::SimUrlOpener* urls = nullptr;
    platform::sim::SimLoginItems* loginItems = nullptr;
};

using Names = std::vector<std::string>;

TEST_F(SettingsSwitchesTest, EachSwitchFlipsItsOwnSettingAndNoOther) {
    show();
    EXPECT_EQ(flippedBy(host->frame("masterSwitch")->center()), Names{"isEnabled"});
    EXPECT_EQ(flippedBy(host->frame("masterSwitch")->center()), Names{"isEnabled"});
    const std::pair<const char*, const char*> tactile[] = {{"hapticsRow", "hapticFeedback"},
                                                           {"singleFingerRow", "allowSingleFingerContinue"},
                                                           {"suppressScrollRow", "suppressBackgroundScroll"},
                                                           {"pauseInGamesRow", "pauseInGames"}};
    for (const auto& [row, setting] : tactile) EXPECT_EQ(flippedBy(switchOf(row, 14)), Names{setting}) << row;

    ui().activeTab = SettingsTab::trackpad;
    settle(0.6);
    EXPECT_EQ(flippedBy(switchOf("launchAtLoginRow", 0)), Names{"launchAtLogin"});
    EXPECT_EQ(loginItems->registerCount(), 1);

    ui().activeTab = SettingsTab::shortcuts;
    settle(0.6);
    EXPECT_EQ(flippedBy(host->frame("quickKeysSwitch")->center()), Names{"allowQuickCloseQuit"});
}

TEST_F(SettingsSwitchesTest, ChoosingALayoutTicksOnceWhileHapticsAreOn) {
    show();
    const int start = haptics->count(platform::HapticPattern::alignment);
    clickOn("layout.vertical");
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), start + 1);
    settings().hapticFeedback = false;
    clickOn("layout.horizontal");
    EXPECT_EQ(settings().switchBarStyle.get(), SwitchBarStyle::horizontal);
    EXPECT_EQ(haptics->count(platform::HapticPattern::alignment), start + 1);
}

TEST_F(SettingsSwitchesTest, HoldSliderWritesTheNearestFiveMillisecondStep) {
    ui().activeTab = SettingsTab::trackpad;
    show();
    const auto slider = *host->frame("holdSlider");
    const double knob = 16, usable = slider.width - knob;  // a small slider's knob
    for (double f : {0.13, 0.37, 0.61, 0.86}) {
        settings().holdDurationMs = 220;  // the knob out of the way at the right end
        settle(0.3);
        // Pressed on the track at its left end and dragged to the fraction f of it.
        host->drag({slider.x + 2, slider.midY()}, {slider.x + knob / 2 + f * usable, slider.midY()});
        settle(0.3);
        const double raw = 40 + f * 180;
        const double hold = settings().holdDurationMs;
        EXPECT_DOUBLE_EQ(hold, 40 + 5 * std::round((raw - 40) / 5)) << f;
    }
}

TEST_F(SettingsSwitchesTest, SensitivitySliderRunsFromHalfToTwoAndAHalf) {
    ui().activeTab = SettingsTab::trackpad;
    show();
    const auto slider = *host->frame("sensitivitySlider");
    host->drag({slider.midX(), slider.midY()}, {slider.x - 40, slider.midY()});
    settle(0.3);
    EXPECT_DOUBLE_EQ(settings().sensitivity.get(), 0.5);
    host->drag({slider.x + 8, slider.midY()}, {slider.maxX() + 40, slider.midY()});
    settle(0.3);
    EXPECT_DOUBLE_EQ(settings().sensitivity.get(), 2.5);
}

TEST_F(SettingsSwitchesTest, PreviewShowsTheBarForTwoAndAHalfSeconds) {
    addApps(3);
    show();
    host->click(host->frame("previewButton")->center());
    advance(2.4);
    EXPECT_TRUE(controller().isVisible.get());
    advance(0.2);
    EXPECT_FALSE(controller().isVisible.get());
}

TEST_F(SettingsSwitchesTest, SendFeedbackOpensTheMailFromAnywhereAcrossItsRow) {
    ui().activeTab = SettingsTab::about;
    show();
    const auto button = *host->frame("sendFeedback");
    const auto column = *host->frame("tabContent.about");
    EXPECT_NEAR(button.width, column.width, 0.5);
    host->click({button.x + 6, button.midY()});
    host->click({button.maxX() - 6, button.midY()});
    ASSERT_EQ(urls->openedUrls().size(), 2u);
    EXPECT_EQ(urls->openedUrls()[0].rfind("mailto:", 0), 0u);
}

}  // namespace
}  // namespace quillmar::testing
