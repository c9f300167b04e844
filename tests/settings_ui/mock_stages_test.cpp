// The Shortcuts tab's illustrations: which icons the minimised bar shows, how the keycap sizes
// its label, and what hovering changes on screen.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "support/image_compare.h"
#include "platform/workspace.h"
#include "settings_ui/app_quit_mock_stage.h"
#include "settings_ui/keycap_badge.h"
#include "settings_ui/minimized_bar_mock_stage.h"
#include "settings_ui/window_close_mock_stage.h"
#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::testing {
namespace {

SwitchTarget target(int n) {
    return SwitchTarget({.id = "win-" + std::to_string(n), .appName = "App" + std::to_string(n),
                         .appIcon = platform::AppIcon::roundedSquare(32, 0xff4a90d9u, 0xff2c5aa0u)});
}

class MockStagesTest : public FreshWorldTest {};

TEST_F(MockStagesTest, DisplayIconsTopUpTargetsWithSampleIconsInOrder) {
    const auto& samples = mockStageSampleIcons();
    ASSERT_TRUE(samples[0] && samples[1] && samples[2]);
    EXPECT_EQ(&mockStageSampleIcons(), &samples);  // made once

    MinimizedBarMockStage stage;
    EXPECT_EQ(stage.displayIcons(), samples);
    std::vector<SwitchTarget> targets;
    for (int i = 0; i < 4; ++i) targets.push_back(target(i));
    stage.targets = {targets[0]};
    EXPECT_EQ(stage.displayIcons(), (std::array{targets[0].appIcon, samples[0], samples[1]}));
    stage.targets = {targets[0], targets[1]};
    EXPECT_EQ(stage.displayIcons(), (std::array{targets[0].appIcon, targets[1].appIcon, samples[0]}));
    stage.targets = targets;
    EXPECT_EQ(stage.displayIcons(), (std::array{targets[0].appIcon, targets[1].appIcon, targets[2].appIcon}));
}

// A workspace that only counts the icon look-ups that making the sample icons costs.
class IconCountingWorkspace final : public platform::Workspace {
public:
    int* lookups;
    explicit IconCountingWorkspace(int* counter) : lookups(counter) {}
    std::vector<platform::RunningApplication> runningApplications() const override { return {}; }
    std::optional<platform::RunningApplication> frontmostApplication() const override { return std::nullopt; }
    std::optional<platform::RunningApplication> runningApplication(std::int32_t) const override { return std::nullopt; }
    bool activate(std::int32_t, std::uint32_t) override { return false; }
    bool hide(std::int32_t) override { return false; }
    bool unhide(std::int32_t) override { return false; }
    bool terminate(std::int32_t) override { return false; }
    bool forceTerminate(std::int32_t) override { return false; }
    void yieldActivation(std::int32_t) override {}
    bool openApplication(const std::string&, bool) override { return false; }
    std::optional<platform::InfoDictionary> infoDictionary(const std::string&) const override { return std::nullopt; }
    platform::AppIconRef iconForFile(const std::string&) const override {
        ++*lookups;
        return platform::AppIcon::roundedSquare(32, 0xff808080u, 0xff404040u);
    }
};

// The sample icons live for the process, so this runs in a process of its own where nothing has
// made them yet: three targets draw without them, and only fewer than three bring them about.
TEST_F(MockStagesTest, SampleIconsAreMadeOnlyForFewerThanThreeTargets) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto child = [] {
        int lookups = 0;
        runtime::World::install<platform::Workspace>(std::make_unique<IconCountingWorkspace>(&lookups));
        MinimizedBarMockStage stage{SettingsPalette(false), {target(0), target(1), target(2)}, false};
        (void)stage.displayIcons();
        ui::HostingView host(stage, {172, 58});
        (void)host.renderImage(1.0);
        const int withThree = lookups;
        stage.targets.pop_back();
        (void)stage.displayIcons();
        // _Exit: the leak checker's exit hook would count the world this child leaves behind.
        std::_Exit(withThree != 0 ? 1 : lookups != 2 ? 2 : 0);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

TEST_F(MockStagesTest, KeycapLabelSizeCountsUserPerceivedCharacters) {
    EXPECT_EQ(KeycapBadge::graphemeCount(""), 0u);
    EXPECT_EQ(KeycapBadge::graphemeCount("W"), 1u);
    EXPECT_EQ(KeycapBadge::graphemeCount("esc"), 3u);
    EXPECT_EQ(KeycapBadge::graphemeCount("e\xCC\x81"), 1u);                // e + combining acute
    EXPECT_EQ(KeycapBadge::graphemeCount("\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"),
              1u);                                                         // a family joined by ZWJs
    EXPECT_EQ(KeycapBadge::graphemeCount("\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5"), 1u);  // a flag
    EXPECT_EQ(KeycapBadge::graphemeCount("\xE2\x8C\x98W"), 2u);            // the Command sign and W
    EXPECT_EQ(KeycapBadge::labelFontSize("e\xCC\x81"), 11.5);
    EXPECT_EQ(KeycapBadge::labelFontSize(""), 11.5);
    EXPECT_EQ(KeycapBadge::labelFontSize("esc"), 10.5);
}

TEST_F(MockStagesTest, HoverPressesTheKeyAndFadesWhatTheShortcutRemoves) {
    for (bool hovered : {false, true}) {
        ui::HostingView close(WindowCloseMockStage{SettingsPalette(false), hovered}, {260, 100});
        EXPECT_NEAR(*close.presentedOpacity("mockFrontWindow"), hovered ? 0.16 : 1.0, 1e-9);
        EXPECT_NEAR(*close.presentedOpacity("mockBackWindow"), 1.0, 1e-9);
        ASSERT_TRUE(close.presentedFrame("mockStageKey"));
        EXPECT_NEAR(close.presentedFrame("mockStageKey")->y - close.frame("mockStageKey")->y, hovered ? 1.5 : 0, 1e-9);

        ui::HostingView quit(AppQuitMockStage{SettingsPalette(false), target(1).appIcon, hovered}, {260, 100});
        EXPECT_NEAR(*quit.presentedOpacity("mockAppFrontWindow"), hovered ? 0.14 : 1.0, 1e-9);
        EXPECT_NEAR(*quit.presentedOpacity("mockAppIcon"), hovered ? 0.38 : 0.72, 1e-9);
        const auto badge = quit.presentedFrame("mockPowerBadge");
        ASSERT_TRUE(badge);
        EXPECT_NEAR(badge->width, hovered ? 23 * 1.08 : 23, 1e-6);

        ui::HostingView parked(MinimizedBarMockStage{SettingsPalette(false), {}, hovered}, {172, 58});
        EXPECT_NEAR(*parked.presentedOpacity("minimizedBarParkedIcon"), hovered ? 1.0 : 0.52, 1e-9);
        EXPECT_NEAR(parked.presentedFrame("minimizedBarParked")->width, hovered ? 27 * 1.05 : 27, 1e-6);
    }
}

TEST_F(MockStagesTest, PaletteSwitchesTheBackdropButTheBarStaysDarkGlass) {
    for (bool dark : {false, true}) {
        ui::HostingView parked(MinimizedBarMockStage{SettingsPalette(dark), {}, false}, {240, 58});
        const auto image = parked.renderImage(2.0);
        const auto backdrop = gfx::probe(image, {4, 29});
        const auto bar = gfx::probe(image, {parked.frame("minimizedBarParked")->x - 6, 29});
        EXPECT_EQ(backdrop.red > 0.5, !dark);
        EXPECT_LT(bar.red, 0.35);
    }
}

}  // namespace
}  // namespace quillmar::testing
