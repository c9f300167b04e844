// The palette's gradients and the window material as they render: dark looks dark, light looks
// light, and each gradient runs the way its stages are lit.

#include <gtest/gtest.h>

#include "support/image_compare.h"
#include "settings_ui/palette/adaptive_window_vibrancy.h"
#include "settings_ui/palette/settings_palette.h"
#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::testing {
namespace {

double luminance(const gfx::Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

gfx::Image render(ui::View view, bool dark) {
    ui::HostingView host(std::move(view), {100, 100});
    auto env = host.environment();
    env.colorScheme = dark ? ui::ColorScheme::dark : ui::ColorScheme::light;
    host.setEnvironment(env);
    return host.renderImage(1.0);
}

class SettingsPaletteTest : public FreshWorldTest {};

TEST_F(SettingsPaletteTest, GradientsFollowTheSchemeAndRunFromTheirStartCorner) {
    for (bool dark : {false, true}) {
        SettingsPalette palette(dark);
        auto backdrop = render(ui::Rectangle().fill(palette.backdropGradient()), dark);
        auto surface = render(ui::Rectangle().fill(palette.surfaceGradient()), dark);
        for (const auto& image : {backdrop, surface}) {
            for (gfx::Point p : {gfx::Point{2, 2}, gfx::Point{50, 50}, gfx::Point{97, 97}}) {
                const double l = luminance(gfx::probe(image, p));
                if (dark) EXPECT_LT(l, 0.25);
                else EXPECT_GT(l, 0.8);
            }
        }
        // The backdrop changes along the diagonal, not across it; the surface from top to bottom only.
        EXPECT_TRUE(gfx::colorsClose(gfx::probe(backdrop, {90, 10}), gfx::probe(backdrop, {10, 90}), 0.01));
        EXPECT_FALSE(gfx::colorsClose(gfx::probe(backdrop, {2, 2}), gfx::probe(backdrop, {97, 97}), 0.02));
        EXPECT_TRUE(gfx::colorsClose(gfx::probe(surface, {5, 10}), gfx::probe(surface, {95, 10}), 0.005));
        // The surface is lit from above.
        EXPECT_GT(luminance(gfx::probe(surface, {50, 2})), luminance(gfx::probe(surface, {50, 97})) + 0.04);
    }
}

TEST_F(SettingsPaletteTest, WindowMaterialFollowsTheColourScheme) {
    auto light = render(AdaptiveWindowVibrancy{}, false);
    auto dark = render(AdaptiveWindowVibrancy{}, true);
    EXPECT_GT(luminance(gfx::probe(light, {50, 50})), 0.8);
    EXPECT_LT(luminance(gfx::probe(dark, {50, 50})), 0.25);
    EXPECT_NEAR(gfx::probe(dark, {50, 50}).alpha, 1.0, 0.01);
}

}  // namespace
}  // namespace quillmar::testing
