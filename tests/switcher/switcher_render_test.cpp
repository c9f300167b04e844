// Renders the Switch Bar through its panel in each look, for review, and checks the layout of
// named nodes and the accessibility tree.

#include <filesystem>

#include "festive_hud/hud_festive_state.h"
#include "support/temp_path.h"
#include "switcher_fixture.h"

namespace quillmar::testing {
namespace {

class SwitcherRenderTest : public SwitcherTest {
protected:
    std::string outPath(const std::string& name) {
        return (snapshotDirectory("switcher") / name).string();
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

TEST_F(SwitcherRenderTest, JapaneseLabels) {
    auto mail = addApp("メール", 0xff4a90d9u, 0xff2c5aa0u);
    addWindow(mail, "受信箱 — メール");
    auto notes = addApp("メモ", 0xffe0a030u, 0xffc07010u);
    addWindow(notes, "買い物リスト");
    addWindow(notes, "旅行の計画");
    auto cal = addApp("カレンダー", 0xffd9534fu, 0xffa02020u);
    addWindow(cal, "十二月", true);
    desktop->setFrontmost(mail);
    present();
    EXPECT_TRUE(controller().panel()->writePng(outPath("horizontal_japanese.png"), 2.0));
    controller().dismissHUD(true);
    settings().switchBarStyle = SwitchBarStyle::vertical;
    settings().hudAppearance = HUDAppearanceStyle::lightGlass;
    present();
    EXPECT_TRUE(controller().panel()->writePng(outPath("vertical_japanese_light.png"), 2.0));
}

}  // namespace
}  // namespace quillmar::testing
