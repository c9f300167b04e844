// The Switch Bar's own look on a Retina screen (2x), against reference pictures: the strip and the
// list of four entries in each of the four looks under a light and a dark system appearance, with
// Reduce Transparency and with Increase Contrast, and a list whose parked entries stand below the
// rule. Plates, borders, highlight, titles, badges and the metrics all show here. After a wanted
// change of the look, QUILLMAR_UPDATE_GOLDENS=1 rewrites every picture.

#include "festive_hud/festive_test_support.h"
#include "platform/sim/sim_system_appearance.h"
#include "support/golden_image.h"
#include "switcher_fixture.h"

namespace quillmar::testing {
namespace {

struct Look {
    HUDAppearanceStyle style;
    bool reduceTransparency = false;
    bool increaseContrast = false;
};

class SwitchBarGoldenTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        appearance = &platform::sim::SimSystemAppearance::install();
        FixedPreferredLanguages::install(AppLanguage::en);
        setToday(2025, 6, 2);  // a plain day: no festive decoration
    }

    // The bar as shown for each look, over a mid-grey desktop, one picture beside the other.
    gfx::Image sheet(SwitchBarStyle style, bool dark, const std::vector<Look>& looks) {
        settings().switchBarStyle = style;
        appearance->setDark(dark);
        auto& options = platform::AccessibilityDisplayOptions::shared();
        std::vector<gfx::Image> pictures;
        for (const Look& look : looks) {
            settings().hudAppearance = look.style;
            options.setReduceTransparency(look.reduceTransparency);
            options.setIncreaseContrast(look.increaseContrast);
            controller().presentHUD(false);
            advance(0.5);
            EXPECT_TRUE(controller().panel()->isVisible());  // a picture of a bar that is not shown guards nothing
            pictures.push_back(controller().panel()->contentView().renderImage(2.0, ui::Color::white(0.5)));
            controller().dismissHUD(true);
            advance(0.5);
        }
        options.setReduceTransparency(false);
        options.setIncreaseContrast(false);
        return sheetOf(pictures, 2);
    }

    platform::sim::SimSystemAppearance* appearance = nullptr;
};

// Each style under each system appearance: the four looks, then Reduce Transparency on a glass
// look and Increase Contrast on another (light and dark share none of these two choices).
TEST_F(SwitchBarGoldenTest, StripAndListInEveryLookAndWithEachAccessibilityOption) {
    addApps(4);
    const std::vector<Look> light = {{HUDAppearanceStyle::darkGlass},
                                     {HUDAppearanceStyle::solidDark},
                                     {HUDAppearanceStyle::lightGlass},
                                     {HUDAppearanceStyle::adaptive},
                                     {HUDAppearanceStyle::lightGlass, true, false},
                                     {HUDAppearanceStyle::darkGlass, false, true}};
    const std::vector<Look> dark = {{HUDAppearanceStyle::darkGlass},
                                    {HUDAppearanceStyle::solidDark},
                                    {HUDAppearanceStyle::lightGlass},
                                    {HUDAppearanceStyle::adaptive},
                                    {HUDAppearanceStyle::darkGlass, true, false},
                                    {HUDAppearanceStyle::adaptive, false, true}};
    for (auto style : {SwitchBarStyle::horizontal, SwitchBarStyle::vertical})
        for (bool isDark : {false, true}) {
            const std::string name = std::string(style == SwitchBarStyle::horizontal ? "strip" : "list") +
                                     (isDark ? "_dark" : "_light");
            expectMatchesGolden("tests/switcher/golden/" + name + ".png", sheet(style, isDark, isDark ? dark : light));
        }
}

// Open windows first, then a minimised window and a hidden app below the rule, dimmed and badged.
TEST_F(SwitchBarGoldenTest, ListWithParkedRowsBelowTheRule) {
    auto pids = addApps(3);
    addWindow(pids[1], "Parked page", true);
    desktop->app(pids[2])->isHidden = true;
    const auto lightPicture = sheet(SwitchBarStyle::vertical, false, {{HUDAppearanceStyle::adaptive}});
    const auto darkPicture = sheet(SwitchBarStyle::vertical, true, {{HUDAppearanceStyle::adaptive}});
    expectMatchesGolden("tests/switcher/golden/list_parked.png", sheetOf({lightPicture, darkPicture}, 2));
}

}  // namespace
}  // namespace quillmar::testing
