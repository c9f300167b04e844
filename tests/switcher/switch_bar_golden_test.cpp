// The Switch Bar's own look on a Retina screen (2x), against reference pictures: the strip and the
// list of four entries in each of the four looks under a light and a dark system appearance, each
// also with Reduce Transparency and with Increase Contrast, and a list whose parked entries stand
// below the rule. Each cell of a sheet is captioned with the cases it shows. Plates, borders, highlight, titles, badges and the metrics all show here. After a wanted
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

    // RT: Reduce Transparency, IC: Increase Contrast.
    std::string name() const {
        static const char* const names[] = {"dark glass", "solid dark", "light glass", "adaptive"};
        std::string n = names[static_cast<int>(style)];
        if (reduceTransparency) n += " + RT";
        if (increaseContrast) n += " + IC";
        return n;
    }
};

class SwitchBarGoldenTest : public SwitcherTest {
protected:
    void SetUp() override {
        SwitcherTest::SetUp();
        appearance = &platform::sim::SimSystemAppearance::install();
        FixedPreferredLanguages::install(AppLanguage::en);
        setToday(2025, 6, 2);  // a plain day: no festive decoration
    }

    // The bar as shown in `look` under the system appearance, over a mid-grey desktop.
    gfx::Image picture(SwitchBarStyle style, bool dark, const Look& look) {
        settings().switchBarStyle = style;
        appearance->setDark(dark);
        auto& options = platform::AccessibilityDisplayOptions::shared();
        settings().hudAppearance = look.style;
        options.setReduceTransparency(look.reduceTransparency);
        options.setIncreaseContrast(look.increaseContrast);
        controller().presentHUD(false);
        advance(0.5);
        EXPECT_TRUE(controller().panel()->isVisible());  // a picture of a bar that is not shown guards nothing
        auto image = controller().panel()->contentView().renderImage(2.0, ui::Color::white(0.5));
        controller().dismissHUD(true);
        advance(0.5);
        options.setReduceTransparency(false);
        options.setIncreaseContrast(false);
        return image;
    }

    platform::sim::SimSystemAppearance* appearance = nullptr;
};

bool samePixels(const gfx::Image& a, const gfx::Image& b) {
    const auto diff = gfx::compareImages(a, b, 0);
    return diff.sameSize && diff.differingPixels == 0;
}

// Each style under each system appearance: the four looks, each plain, with Reduce Transparency
// and with Increase Contrast. Cases that draw the same pixels share one cell, whose caption names
// them all: Reduce Transparency turns every look into the solid plate with the high-contrast
// border, dark or light after the look, which is also what Increase Contrast makes of solid dark;
// adaptive is the light or the dark glass after the system appearance.
TEST_F(SwitchBarGoldenTest, StripAndListInEveryLookWithEachAccessibilityOption) {
    addApps(4);
    std::vector<Look> looks;
    for (auto style : {HUDAppearanceStyle::darkGlass, HUDAppearanceStyle::solidDark, HUDAppearanceStyle::lightGlass,
                       HUDAppearanceStyle::adaptive})
        for (auto [rt, ic] : {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}})
            looks.push_back({style, rt, ic});
    for (auto style : {SwitchBarStyle::horizontal, SwitchBarStyle::vertical})
        for (bool isDark : {false, true}) {
            std::vector<gfx::Image> cells;
            std::vector<std::string> captions;
            for (const Look& look : looks) {
                const auto image = picture(style, isDark, look);
                std::size_t k = 0;
                while (k < cells.size() && !samePixels(cells[k], image)) ++k;
                if (k == cells.size()) {
                    cells.push_back(image);
                    captions.push_back(look.name());
                } else {
                    captions[k] += " = " + look.name();
                }
            }
            EXPECT_EQ(cells.size(), 7u);  // dark, solid and light glass; two solid plates; two glasses with IC
            std::vector<gfx::Image> sheet;
            for (std::size_t k = 0; k < cells.size(); ++k) sheet.push_back(captioned(cells[k], captions[k]));
            const std::string name = std::string(style == SwitchBarStyle::horizontal ? "strip" : "list") +
                                     (isDark ? "_dark" : "_light");
            expectMatchesGolden("tests/switcher/golden/" + name + ".png", sheetOf(sheet, 2));
        }
}

// Open windows first, then a minimised window and a hidden app below the rule, dimmed and badged.
TEST_F(SwitchBarGoldenTest, ListWithParkedRowsBelowTheRule) {
    auto pids = addApps(3);
    addWindow(pids[1], "Parked page", true);
    desktop->app(pids[2])->isHidden = true;
    const Look adaptive{HUDAppearanceStyle::adaptive};
    expectMatchesGolden("tests/switcher/golden/list_parked.png",
                        sheetOf({captioned(picture(SwitchBarStyle::vertical, false, adaptive), "adaptive, light"),
                                 captioned(picture(SwitchBarStyle::vertical, true, adaptive), "adaptive, dark")},
                                2));
}

}  // namespace
}  // namespace quillmar::testing
