// Renders the Switch Bar through its panel in each look, for review, and checks the layout of
// named nodes and the accessibility tree.

#include <filesystem>

#include "festive_hud/hud_festive_state.h"
#include "switcher_fixture.h"

namespace quillmar::testing {
namespace {

class SwitcherRenderTest : public SwitcherTest {
protected:
    std::string outPath(const std::string& name) {
        std::filesystem::create_directories("out/switcher");
        return "out/switcher/" + name;
    }
    void present() {
        controller().presentHUD(false);
        advance(0.5);
    }
};

TEST_F(SwitcherRenderTest, HorizontalLooks) {
    auto pids = addApps(6);
    addWindow(pids[2], "Parked page", true);
    for (auto style : {HUDAppearanceStyle::darkGlass, HUDAppearanceStyle::lightGlass, HUDAppearanceStyle::solidDark}) {
        settings().hudAppearance = style;
        present();
        ASSERT_TRUE(controller().panel());
        const std::string name = std::string("horizontal_") + std::string(rawValue(style)) + ".png";
        EXPECT_TRUE(controller().panel()->writePng(outPath(name), 2.0));
        controller().dismissHUD(true);
    }
}

TEST_F(SwitcherRenderTest, VerticalLooks) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    auto pids = addApps(6);
    addWindow(pids[0], "Second mail window");
    addWindow(pids[2], "Parked page", true);
    for (auto style : {HUDAppearanceStyle::darkGlass, HUDAppearanceStyle::lightGlass, HUDAppearanceStyle::solidDark}) {
        settings().hudAppearance = style;
        present();
        ASSERT_TRUE(controller().panel());
        const std::string name = std::string("vertical_") + std::string(rawValue(style)) + ".png";
        EXPECT_TRUE(controller().panel()->writePng(outPath(name), 2.0));
        controller().dismissHUD(true);
    }
}

TEST_F(SwitcherRenderTest, LongVerticalListScrolls) {
    settings().switchBarStyle = SwitchBarStyle::vertical;
    addApps(20);
    present();
    for (int i = 0; i < 16; ++i) controller().handleScrub(SwitcherController::scrubStep());
    advance(1.0);
    EXPECT_EQ(controller().selectedIndex.get(), 17);
    EXPECT_TRUE(controller().panel()->writePng(outPath("vertical_long.png"), 2.0));
}

}  // namespace
}  // namespace quillmar::testing
