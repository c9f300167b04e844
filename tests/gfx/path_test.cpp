#include "gfx/path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillmar::gfx {
namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(PathTest, ArcAnglesTurnFromXTowardYAndClockwiseFlagReversesTheSweep) {
    // Increasing angle (clockwise = false) from 0 to 90 degrees runs through the lower right
    // quarter in y-down space.
    Path down;
    down.addArc({0, 0}, 10, Angle::degrees(0), Angle::degrees(90), false);
    Rect b = down.boundingRect();
    EXPECT_NEAR(b.minX(), 0, 1e-9);
    EXPECT_NEAR(b.maxX(), 10, 1e-9);
    EXPECT_NEAR(b.minY(), 0, 1e-9);
    EXPECT_NEAR(b.maxY(), 10, 1e-9);
    EXPECT_NEAR(down.currentPoint().x, 0, 1e-9);
    EXPECT_NEAR(down.currentPoint().y, 10, 1e-9);

    // The same angles with clockwise = true take the long way: three quarters, over the top.
    Path longWay;
    longWay.addArc({0, 0}, 10, Angle::degrees(0), Angle::degrees(90), true);
    Rect l = longWay.boundingRect();
    EXPECT_NEAR(l.minX(), -10, 1e-6);
    EXPECT_NEAR(l.minY(), -10, 1e-6);
    EXPECT_NEAR(l.maxY(), 10, 1e-6);

    // An arc from 198 to 316 degrees lies over the top of its circle (y below the centre).
    Path gloss;
    gloss.addArc({50, 50}, 12.4, Angle::degrees(198), Angle::degrees(316), false);
    EXPECT_LT(gloss.boundingRect().maxY(), 50);
    EXPECT_NEAR(gloss.boundingRect().minY(), 50 - 12.4, 1e-3);  // cubic arcs are within 1e-3 of the circle
}

TEST(PathTest, ArcJoinsAnOpenSubpathAndFullTurnsDrawOneCircle) {
    Path p;
    p.move({-20, 0});
    p.addArc({0, 0}, 5, Angle::radians(0), Angle::radians(4 * kPi), false);
    ASSERT_EQ(p.elements()[1].kind, Path::ElementKind::line);  // joined by a line, not a new subpath
    Rect b = p.boundingRect();
    EXPECT_NEAR(b.minX(), -20, 1e-9);
    EXPECT_NEAR(b.maxX(), 5, 1e-9);
    EXPECT_NEAR(b.height, 10, 1e-6);
    // A full turn is four quarter curves, not eight.
    EXPECT_EQ(p.elements().size(), 2u + 4u);
}

TEST(PathTest, BoundingRectIsTightAroundCurvesNotControlPoints) {
    Path q;
    q.move({0, 0});
    q.addQuadCurve({10, 0}, {5, -10});  // apex at y = -5
    EXPECT_NEAR(q.boundingRect().minY(), -5, 1e-9);
    Path c = Path::ellipse({10, 20, 30, 40});
    Rect b = c.boundingRect();
    EXPECT_NEAR(b.x, 10, 1e-9);
    EXPECT_NEAR(b.y, 20, 1e-9);
    EXPECT_NEAR(b.width, 30, 1e-9);
    EXPECT_NEAR(b.height, 40, 1e-9);
    EXPECT_EQ(Path().boundingRect(), Rect());
}

TEST(PathTest, ContainsFollowsTheFillRule) {
    Path ring;
    ring.addEllipse({0, 0, 100, 100});
    ring.addEllipse({25, 25, 50, 50});  // same direction: non-zero fills the hole too
    EXPECT_TRUE(ring.contains({50, 50}));
    EXPECT_FALSE(ring.contains({50, 50}, true));
    EXPECT_TRUE(ring.contains({10, 50}, true));
    EXPECT_FALSE(ring.contains({1, 1}));
    EXPECT_FALSE(ring.contains({NAN, 50}));
}

TEST(PathTest, ContinuousCornersLeaveTheEdgeEarlierThanCircularOnes) {
    Rect r{0, 0, 200, 200};
    Path circular = Path::roundedRect(r, 20, RoundedCornerStyle::circular);
    Path continuous = Path::roundedRect(r, 20, RoundedCornerStyle::continuous);
    // Both stay inside the rectangle and touch every side.
    EXPECT_NEAR(continuous.boundingRect().width, 200, 1e-6);
    EXPECT_NEAR(continuous.boundingRect().height, 200, 1e-6);
    // One radius from the corner along the top edge the circular shape is on the edge already,
    // while the continuous one is still bending away from it.
    EXPECT_TRUE(circular.contains({20, 0.15}));
    EXPECT_FALSE(continuous.contains({20, 0.15}));
    EXPECT_FALSE(continuous.contains({15, 0.8}));
    EXPECT_TRUE(circular.contains({15, 0.8}));
    // Past 1.528 radii both are straight.
    EXPECT_TRUE(continuous.contains({32, 0.2}));
    // Near the diagonal the two are within a fraction of a point of each other.
    double d = 20 * (1 - std::sqrt(0.5));
    EXPECT_TRUE(continuous.contains({d + 0.4, d + 0.4}));
    EXPECT_FALSE(continuous.contains({d - 0.4, d - 0.4}));
}

TEST(PathTest, CornerRadiiAreLimitedBySmallRectangles) {
    // A radius larger than half the short side makes a capsule, never a self-crossing outline.
    Path p = Path::roundedRect({0, 0, 40, 10}, 30, RoundedCornerStyle::continuous);
    Rect b = p.boundingRect();
    EXPECT_NEAR(b.width, 40, 1e-6);
    EXPECT_NEAR(b.height, 10, 1e-6);
    EXPECT_TRUE(p.contains({20, 5}));
    EXPECT_FALSE(p.contains({0.3, 0.3}));
    Path cap = Path::capsule({0, 0, 40, 10});
    EXPECT_TRUE(cap.contains({5, 5}));
    EXPECT_FALSE(cap.contains({0.8, 0.8}));

    // Uneven radii that overrun a side are scaled down together.
    Path u = Path::unevenRoundedRect({0, 0, 20, 100}, {.topLeading = 30, .bottomLeading = 0, .bottomTrailing = 0, .topTrailing = 30});
    EXPECT_NEAR(u.boundingRect().width, 20, 1e-6);
    EXPECT_TRUE(u.contains({1, 99}));    // square bottom corners
    EXPECT_FALSE(u.contains({0.5, 0.5}));  // rounded top corners
}

TEST(PathTest, NonFinitePointsAreDroppedAndTransformsApply) {
    Path p;
    p.move({0, 0});
    p.addLine({NAN, 5});
    p.addLine({INFINITY, 5});
    p.addCurve({10, 10}, {NAN, 0}, {0, 0});
    p.addLine({10, 0});
    EXPECT_EQ(p.elements().size(), 2u);
    p.addArc({0, 0}, NAN, Angle::radians(0), Angle::radians(1), false);
    EXPECT_EQ(p.elements().size(), 2u);

    Path t;
    t.addPath(Path::rect({0, 0, 10, 10}), AffineTransform::translation(5, 0).scaledBy(2, -1));
    Rect b = t.boundingRect();
    EXPECT_NEAR(b.x, 5, 1e-9);
    EXPECT_NEAR(b.width, 20, 1e-9);
    EXPECT_NEAR(b.y, -10, 1e-9);
    Path none;
    none.addPath(Path::rect({0, 0, 1, 1}), AffineTransform{NAN, 0, 0, 1, 0, 0});
    EXPECT_TRUE(none.isEmpty());

    // A curve too far-flung to measure still flattens to its end, at any tolerance.
    Path far;
    far.move({0, 0});
    far.addCurve({1.5e308, 0}, {-1.5e308, 1.5e308}, {1.5e308, -1.5e308});
    for (double tolerance : {0.1, HUGE_VAL}) {
        const auto lines = far.flattened(tolerance);
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_GT(lines[0].points.size(), 1u) << tolerance;
        EXPECT_EQ(lines[0].points.back().x, 1.5e308) << tolerance;
    }
}

}  // namespace
}  // namespace quillmar::gfx
