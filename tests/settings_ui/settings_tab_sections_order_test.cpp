// Each tab stacks its sections from the top in a fixed order: the stage first on the two stage
// tabs, then what the stage illustrates, then the card of finer settings.

#include "settings_fixture.h"

namespace quillmar::testing {
namespace {

class TabSectionsOrderTest : public SettingsViewTest {
protected:
    // The named views' tops, which must run downward in the order given.
    void expectTopDown(const std::vector<std::string>& names) {
        double last = -1;
        for (const auto& name : names) {
            const auto f = host->frame(name);
            ASSERT_TRUE(f) << name;
            EXPECT_GT(f->y, last) << name;
            last = f->y;
        }
    }
};

TEST_F(TabSectionsOrderTest, SectionsRunDownInTheirOrderOnEveryTab) {
    show();
    expectTopDown({"hardwareStage", "scopeTile.allWindows", "hapticsRow", "accessibilityRow"});
    ui().activeTab = SettingsTab::trackpad;
    settle(0.6);
    expectTopDown({"hardwareStage", "triggerTile.holdAndSlide", "fingerCountRow", "launchAtLoginRow"});
    ui().activeTab = SettingsTab::shortcuts;
    settle(0.6);
    expectTopDown({"closeWindowCard", "quickKeysCard", "minimizedCard"});
    ui().activeTab = SettingsTab::about;
    settle(0.6);
    expectTopDown({"letterCard", "sendFeedback"});
}

}  // namespace
}  // namespace quillmar::testing
