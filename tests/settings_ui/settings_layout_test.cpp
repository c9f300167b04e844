// The window's height is fixed: every tab's content, measured with the real fonts, must fit
// between the divider and the window's bottom padding in each of the six languages, light or dark
// alike, with its sections stacked without overlap.

#include "localization/app_language.h"
#include "settings_fixture.h"

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

}  // namespace
}  // namespace quillmar::testing
