// The scenes on real pixels: probes at computed positions (the reference pictures are in
// scene_golden_test.cpp).

#include <gtest/gtest.h>

#include "support/image_compare.h"
#include "gfx/render_target.h"
#include "scene_test_support.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {
using gfx::Color;

class ScenePixelsTest : public testing::FreshWorldTest {
protected:
    static gfx::Image render(const testing::SceneUnderTest& s, bool isDark, gfx::Size size, double p) {
        gfx::RenderTarget target(size, 1);
        gfx::GraphicsContext ctx = target.context();
        ctx.fill(gfx::Path::rect({0, 0, size.width, size.height}),
                 isDark ? Color(0.118, 0.118, 0.129) : Color(0.941, 0.941, 0.949));
        if (s.host == testing::SceneHost::mark) {
            ctx.translateBy(size.width / 2, size.height / 2);
            ctx.scaleBy(4, 4);
        }
        s.draw(ctx, isDark, size.width, size.height, p);
        return target.takeImage();
    }
    static const testing::SceneUnderTest& scene(const std::string& name) {
        for (const auto& s : testing::scenesUnderTest())
            if (name == s.name) return s;
        throw std::runtime_error("no scene " + name);
    }
    static double luma(const Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }
};

TEST_F(ScenePixelsTest, ProbesLandOnTheSpritesWhereTheScenesPlaceThem) {
    // The first fireworks burst flashes at its centre (338, 168) just after it breaks at 0.144.
    const gfx::Image fireworks = render(scene("fireworksWindow"), true, {480, 592}, 0.15);
    EXPECT_GT(luma(gfx::probe(fireworks, {338, 168})), luma(gfx::probe(fireworks, {338, 400})) + 0.3);

    // The candle's flame burns above the wax at x 54: warm and bright against the dark room.
    const gfx::Image christmas = render(scene("christmasWindow"), true, {480, 592}, 0.5);
    const Color flame = gfx::probe(christmas, {54, 592 - 34 - 30 - 1.6 - 4});
    EXPECT_GT(flame.red, 0.8);
    EXPECT_GT(flame.red, flame.blue + 0.2);

    // The hearth glows warm at the bottom left of the card, not at the top right.
    const gfx::Image hearth = render(scene("winterAuroraHearthDissolve"), true, {448, 80}, 0.5);
    const Color low = gfx::probe(hearth, {10, 78}), high = gfx::probe(hearth, {440, 78});
    EXPECT_GT(low.red - low.blue, high.red - high.blue + 0.05);

    // The dandelion clock's head sits at (240, 49) whatever the card's width.
    const gfx::Image spring = render(scene("springMeadowDissolve"), false, {448, 80}, 0.2);
    EXPECT_LT(luma(gfx::probe(spring, {240, 49})), luma(gfx::probe(spring, {200, 49})) - 0.1);
}

}  // namespace
}  // namespace quillmar
