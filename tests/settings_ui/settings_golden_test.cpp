// The settings window's own look on a Retina screen (2x), against reference pictures: every tab in
// the light and the dark appearance, and a tab each in German and in Korean. Backdrop, header, tab
// bar and its thumb, the cards and the stage all show here; each picture is captioned with what
// it shows. After a wanted change of the look, QUILLMAR_UPDATE_GOLDENS=1 rewrites every picture.

#include "festive_hud/festive_test_support.h"
#include "seasonal/artisan_craft_state.h"
#include "settings_fixture.h"
#include "support/golden_image.h"

namespace quillmar::testing {
namespace {

class SettingsGoldenTest : public SettingsViewTest {
protected:
    void SetUp() override {
        SettingsViewTest::SetUp();
        setToday(2025, 6, 2);  // a plain day: no festive emblem or spectacle
        addApps(4);
    }

    void useLanguage(const char* tag) {
        platform::sim::SimPreferredLanguages::install({tag});
        AppLanguage::chooseAgain();
    }

    // The window as shown with `tab` active after its animations settle (the About card's hint
    // included), captioned with the tab, the appearance and the language.
    gfx::Image picture(SettingsTab tab, bool dark, const std::string& language = "English") {
        ui().activeTab = tab;
        show(dark);
        settle(3.0);
        EXPECT_EQ(ui().activeTab.get(), tab);  // the tab the picture is named after is the one shown
        EXPECT_FALSE(ArtisanCraftState::shared().hintProgress->has_value());  // no picture mid-animation
        return captioned(host->renderImage(2.0),
                         std::string(tab.rawValue()) + ", " + (dark ? "dark, " : "light, ") + language);
    }
};

TEST_F(SettingsGoldenTest, EveryTabLightAndDark) {
    useLanguage("en-US");
    for (SettingsTab tab : SettingsTab::allCases())
        expectMatchesGolden("tests/settings_ui/golden/" + std::string(tab.rawValue()) + ".png",
                            sheetOf({picture(tab, false), picture(tab, true)}, 2));
}

TEST_F(SettingsGoldenTest, ATabInGermanAndOneInKorean) {
    useLanguage("de-DE");
    expectMatchesGolden("tests/settings_ui/golden/trackpad_de.png", picture(SettingsTab::trackpad, false, "German"));
    useLanguage("ko-KR");
    expectMatchesGolden("tests/settings_ui/golden/shortcuts_ko.png", picture(SettingsTab::shortcuts, true, "Korean"));
}

}  // namespace
}  // namespace quillmar::testing
