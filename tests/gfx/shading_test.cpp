#include "gfx/shading.h"

#include <gtest/gtest.h>

#include "gfx/affine_transform.h"

namespace quillmar::gfx {
namespace {

TEST(ShadingTest, ClearStopsFadeInTheirNeighboursColour) {
    Color gold(1, 0.8, 0.2, 1);
    auto stops = Gradient::colors({gold, Color::clear()}).resolvedStops();
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[1].color, Color(1, 0.8, 0.2, 0));

    // A clear stop between two colours splits into two zero-alpha stops at the same place.
    Color blue(0.2, 0.6, 1, 1);
    auto mid = Gradient::colors({gold, Color::clear(), blue}).resolvedStops();
    ASSERT_EQ(mid.size(), 4u);
    EXPECT_EQ(mid[1].color, gold.withAlpha(0));
    EXPECT_EQ(mid[2].color, blue.withAlpha(0));
    EXPECT_DOUBLE_EQ(mid[1].location, 0.5);
    EXPECT_DOUBLE_EQ(mid[2].location, 0.5);

    // Opacity multiplies every stop's alpha; locations are sorted and clamped.
    Gradient g({{blue, 1.4}, {gold.opacity(0.5), -1}});
    auto r = g.resolvedStops(0.5);
    EXPECT_DOUBLE_EQ(r[0].location, 0);
    EXPECT_DOUBLE_EQ(r[0].color.alpha, 0.25);
    EXPECT_DOUBLE_EQ(r[1].location, 1);
}

TEST(ShadingTest, DegenerateGradientsAreRecognisedAndEndInTheirLastColour) {
    Gradient g({{Color(1, 0, 0), 0}, {Color(0, 1, 0), 1}, {Color(0, 0, 1), 1}});
    EXPECT_EQ(g.lastColor(), Color(0, 0, 1));  // the last written of the stops at the end
    EXPECT_TRUE(Shading::linearGradient(g, {3, 3}, {3, 3}).isDegenerate());
    EXPECT_TRUE(Shading::radialGradient(g, {0, 0}, 0, 0).isDegenerate());
    EXPECT_TRUE(Shading::radialGradient(g, {0, 0}, 5, 5).isDegenerate());
    EXPECT_TRUE(Shading::linearGradient(g, {NAN, 0}, {1, 1}).isDegenerate());
    EXPECT_FALSE(Shading::radialGradient(g, {0, 0}, 6, 2).isDegenerate());
    EXPECT_FALSE(Shading::linearGradient(g, {0, 0}, {0, 1}).isDegenerate());
}

TEST(ColorTest, ComponentsAreClampedAndNanBecomesZero) {
    Color c(1.5, -0.2, NAN, 2);
    EXPECT_EQ(c, Color(1, 0, 0, 1));
    EXPECT_DOUBLE_EQ(Color(1, 1, 1, 0.8).opacity(0.5).alpha, 0.4);
    EXPECT_DOUBLE_EQ(Color(1, 1, 1, 0.8).opacity(NAN).alpha, 0);
    EXPECT_DOUBLE_EQ(Color(1, 1, 1, 0.8).opacity(7).alpha, 0.8);
}

TEST(AffineTransformTest, ConcatenationActsLikeContextTransforms) {
    // translate then scale on a context: points are scaled first, then translated.
    AffineTransform t = AffineTransform::identity().translatedBy(10, 20).scaledBy(2, 3);
    Point p = t.apply(Point{1, 1});
    EXPECT_DOUBLE_EQ(p.x, 12);
    EXPECT_DOUBLE_EQ(p.y, 23);
    AffineTransform r = AffineTransform::identity().rotatedBy(Angle::degrees(90));
    Point q = r.apply(Point{1, 0});  // +x turns toward +y
    EXPECT_NEAR(q.x, 0, 1e-12);
    EXPECT_NEAR(q.y, 1, 1e-12);
    Point back = t.inverted().apply(p);
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 1, 1e-12);
    EXPECT_FALSE(AffineTransform::scale(0, 1).isInvertible());
    EXPECT_FALSE((AffineTransform{1, 0, 0, 1, NAN, 0}).isInvertible());
    EXPECT_TRUE(AffineTransform::scale(-1, 1).isInvertible());
}

}  // namespace
}  // namespace quillmar::gfx
