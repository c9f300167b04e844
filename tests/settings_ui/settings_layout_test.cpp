// The window's height is fixed: every tab's content, measured with the real fonts, must fit
// between the divider and the window's bottom padding in each of the six languages, light or dark
// alike, with its sections stacked without overlap.

#include "localization/app_language.h"
#include "settings_fixture.h"
#include "settings_ui/hardware_stage_state.h"
#include "trackpad/trackpad_touch_monitor.h"

namespace quillmar::testing {
namespace {

class SettingsLayoutTest : public SettingsViewTest {};

TEST_F(SettingsLayoutTest, EveryTabFitsTheWindowInEveryLanguage) {
    addApps(6);
    setTrusted(false);  // the taller forms: Grant Access buttons and the quick-keys note
    WindowManager::shared().refreshAccessibilityTrust();
    forEveryLanguageAndTab([&](const char* language, SettingsTab tab, ui::HostingView& host) {
        const std::string name = "tabContent." + std::string(tab.rawValue());
        const auto content = host.frame(name);
        ASSERT_TRUE(content) << language << " " << name;
        const double bottom = SettingsView::windowHeight - 16;
        EXPECT_LE(content->maxY(), bottom + 0.5)
            << language << " " << name << " is " << content->height << " pt tall";
        EXPECT_GE(content->minX(), 16 - 0.5) << language << " " << name;
        EXPECT_LE(content->maxX(), SettingsView::windowWidth - 16 + 0.5) << language << " " << name;

        // Sections follow each other top to bottom within the content.
        std::vector<std::string> sections;
        switch (tab) {
            case SettingsTab::switching:
                sections = {"hardwareStage", "layoutPicker", "accessibilityRow"};
                break;
            case SettingsTab::trackpad:
                sections = {"hardwareStage", "triggerTile.holdAndSlide", "fingerCountRow", "holdRow",
                            "launchAtLoginRow"};
                break;
            case SettingsTab::shortcuts:
                sections = {"closeWindowCard", "quickKeysCard", "minimizedCard"};
                break;
            case SettingsTab::about:
                sections = {"aboutIdentityCard", "letterCard", "sendFeedback"};
                break;
        }
        double previousBottom = content->minY() - 0.5;
        for (const auto& section : sections) {
            const auto f = host.frame(section);
            ASSERT_TRUE(f) << language << " " << section;
            EXPECT_GE(f->minY(), previousBottom)
                << language << " " << section << " overlaps the part above it";
            EXPECT_LE(f->maxY(), content->maxY() + 0.5) << language << " " << section;
            previousBottom = f->maxY() - 0.5;
        }
    });
}

// The status badge shares the stage's top edge with the miniature bar centred below the card's
// top: the longest status, the Zen text, keeps clear of the strip and of the list in every
// language, and every status stands in the card's top-trailing corner.
TEST_F(SettingsLayoutTest, TheStageBadgeStaysClearOfTheMiniatureBarInEveryLanguage) {
    addApps(6);
    ui().activeTab = SettingsTab::trackpad;
    for (const char* language : {"en-US", "ja-JP", "zh-Hans-CN", "zh-Hant-TW", "de-DE", "ko-KR"}) {
        platform::sim::SimPreferredLanguages::install({language});
        AppLanguage::chooseAgain();
        for (bool vertical : {false, true}) {
            settings().switchBarStyle = vertical ? SwitchBarStyle::vertical : SwitchBarStyle::horizontal;
            auto& host = show();
            const std::string where = std::string(language) + (vertical ? " list" : " strip");
            for (bool zen : {false, true}) {
                TrackpadTouchMonitor::shared().telemetry.show(
                    zen ? std::vector<TouchDot>{{1, 0.3, 0.5, 1}, {2, 0.4, 0.5, 1}, {3, 0.5, 0.5, 1}, {4, 0.6, 0.5, 1},
                                                {5, 0.7, 0.5, 1}}
                        : std::vector<TouchDot>{});
                settle(0.5);
                ASSERT_EQ(HardwareStageState::shared().isFiveFingerZen, zen) << where;
                const auto badge = host.frame("stageStatusBadge"), bar = host.frame("stageMiniHUDBar");
                const auto card = host.frame("hardwareStage");
                ASSERT_TRUE(badge && bar && card) << where;
                EXPECT_GE(badge->minX() - bar->maxX(), 4) << where;
                EXPECT_NEAR(badge->maxX(), card->maxX() - 9, 0.5) << where;
                EXPECT_NEAR(badge->minY(), card->minY() + 9, 0.5) << where;
            }
        }
    }
}

}  // namespace
}  // namespace quillmar::testing
