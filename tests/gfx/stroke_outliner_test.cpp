// The stroke outliner on its own: the pieces it emits are filled (non-zero) with the coverage
// rasteriser on an identity transform, and the painted area and chosen pixels are checked
// against the geometry of caps, joins and dashes.

#include "gfx/stroke_outliner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/coverage_rasterizer.h"

namespace quillmar::gfx {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSize = 64;

struct Mask {
    std::vector<std::uint8_t> px = std::vector<std::uint8_t>(kSize * kSize, 0);
    double area() const {
        double a = 0;
        for (std::uint8_t v : px) a += v / 255.0;
        return a;
    }
    // Coverage of the pixel whose centre is nearest to (x, y), 0...1.
    double at(double x, double y) const {
        return px[std::size_t(std::floor(y)) * kSize + std::size_t(std::floor(x))] / 255.0;
    }
};

Mask strokeMask(const Path& path, const StrokeStyle& style, AffineTransform t = {}) {
    std::vector<std::vector<Point>> pieces;
    outlineStroke(path, style, t, 0.02, pieces);
    CoverageRasterizer r;
    r.reset(0, 0, kSize, kSize);
    for (const auto& poly : pieces)
        for (std::size_t i = 0; i < poly.size(); ++i) r.addLine(poly[i], poly[(i + 1) % poly.size()]);
    Mask m;
    r.resolve(m.px.data(), kSize, false);
    return m;
}

TEST(StrokeOutlinerTest, CapsExtendOpenEndsByTheirShape) {
    const Path line = Path::line({10, 20}, {40, 20});
    const double w = 6;
    const double butt = strokeMask(line, {.lineWidth = w, .lineCap = LineCap::butt}).area();
    const double square = strokeMask(line, {.lineWidth = w, .lineCap = LineCap::square}).area();
    const double round = strokeMask(line, {.lineWidth = w, .lineCap = LineCap::round}).area();
    EXPECT_NEAR(butt, 30 * w, 0.05);
    EXPECT_NEAR(square, 30 * w + w * w, 0.05);
    EXPECT_NEAR(round, 30 * w + kPi * 9, 0.4);  // two half discs of radius 3 (as polygons)
    // 10 wide: both caps reach x = 5, but the square one's corner pixel is outside the disc.
    Mask round10 = strokeMask(line, {.lineWidth = 10, .lineCap = LineCap::round});
    Mask square10 = strokeMask(line, {.lineWidth = 10, .lineCap = LineCap::square});
    EXPECT_NEAR(round10.at(6.5, 20), 1, 1e-6);
    EXPECT_NEAR(square10.at(6.5, 20), 1, 1e-6);
    EXPECT_NEAR(round10.at(5.5, 15.5), 0, 1e-6);
    EXPECT_NEAR(square10.at(5.5, 15.5), 1, 1e-6);
    EXPECT_NEAR(strokeMask(line, {.lineWidth = 10}).at(9.5, 20), 0, 1e-6);
}

TEST(StrokeOutlinerTest, JoinsFillTheOuterCornerByTheirKindAndTheMiterLimit) {
    Path corner;
    corner.addLines({{10, 40}, {40, 40}, {40, 10}});
    const double w = 8, h = w / 2;
    const double straight = 30 * w + 30 * w - h * h;  // both legs, minus their overlap at the corner
    const double miter = strokeMask(corner, {.lineWidth = w, .lineJoin = LineJoin::miter}).area();
    const double bevel = strokeMask(corner, {.lineWidth = w, .lineJoin = LineJoin::bevel}).area();
    const double round = strokeMask(corner, {.lineWidth = w, .lineJoin = LineJoin::round}).area();
    EXPECT_NEAR(miter - straight, h * h, 0.1);
    EXPECT_NEAR(bevel - straight, h * h / 2, 0.1);
    EXPECT_NEAR(round - straight, kPi * h * h / 4, 0.2);
    // A curve's end is a corner like a line's.
    Path curved;
    curved.move({10, 40});
    curved.addQuadCurve({40, 40}, {25, 40});
    curved.addLine({40, 10});
    EXPECT_NEAR(strokeMask(curved, {.lineWidth = w, .lineJoin = LineJoin::miter}).area(), miter, 0.1);

    // A sharp turn (23 degrees between the legs): its miter is 1 / sin(11.5°) ≈ 5 widths long,
    // so a limit of 4 bevels it and a limit of 10 keeps the point, which reaches x ≈ 54.9.
    Path sharp;
    sharp.addLines({{10, 50}, {50, 50}, {10, 33}});
    Mask capped = strokeMask(sharp, {.lineWidth = 2, .lineJoin = LineJoin::miter, .miterLimit = 4});
    Mask pointed = strokeMask(sharp, {.lineWidth = 2, .lineJoin = LineJoin::miter, .miterLimit = 10});
    EXPECT_GT(pointed.at(52.5, 50.5), 0.5);
    EXPECT_EQ(capped.at(52.5, 50.5), 0);
    EXPECT_GT(pointed.area(), capped.area() + 2);
}

TEST(StrokeOutlinerTest, DashesFollowThePatternFromThePhaseAcrossSegments) {
    // An L of 20 + 20 units; 6 on, 4 off, starting 3 units into the pattern.
    Path l;
    l.addLines({{10, 10}, {30, 10}, {30, 30}});
    Mask m = strokeMask(l, {.lineWidth = 2, .dash = {6, 4}, .dashPhase = 3});
    // On: [0, 3), [7, 13), [17, 23), [27, 33), [37, 40) along the path.
    auto along = [&](double s) { return s < 20 ? m.at(10 + s, 10) : m.at(30, 10 + (s - 20)); };
    for (double s : {1.5, 8.5, 12.5, 18.5, 28.5, 38.5}) EXPECT_NEAR(along(s), 1, 1e-6) << s;
    for (double s : {4.5, 6.5, 14.5, 24.5, 34.5}) EXPECT_NEAR(along(s), 0, 1e-6) << s;
    // The dash across the corner (17...23) turns it: the outer corner is covered by its join.
    EXPECT_NEAR(m.at(30.5, 9.5), 1, 1e-6);
    // 3 + 6 + 6 + 6 + 3 units on, 2 wide; at the corner the legs' overlap and the miter square
    // cancel out.
    EXPECT_NEAR(m.area(), 24 * 2, 0.1);

    // A negative phase and one longer than the pattern land on the same offset.
    Mask wrapped = strokeMask(l, {.lineWidth = 2, .dash = {6, 4}, .dashPhase = 3 - 30});
    EXPECT_EQ(wrapped.px, m.px);
}

TEST(StrokeOutlinerTest, DegenerateSegmentsAndZeroLengthSubpaths) {
    // Repeated points change nothing (no stray cap or join from a zero-length segment).
    Path clean;
    clean.addLines({{10, 20}, {30, 20}, {30, 40}});
    Path repeated;
    repeated.addLines({{10, 20}, {10, 20}, {30, 20}, {30, 20}, {30, 20}, {30, 40}});
    for (LineJoin j : {LineJoin::miter, LineJoin::round, LineJoin::bevel}) {
        StrokeStyle s{.lineWidth = 4, .lineCap = LineCap::square, .lineJoin = j};
        EXPECT_NEAR(strokeMask(repeated, s).area(), strokeMask(clean, s).area(), 1e-3);
    }
    // A lone point shows only a round or square cap.
    Path dot;
    dot.move(20, 20);
    dot.addLine(20, 20);
    EXPECT_NEAR(strokeMask(dot, {.lineWidth = 6, .lineCap = LineCap::round}).area(), kPi * 9, 0.4);
    EXPECT_NEAR(strokeMask(dot, {.lineWidth = 6, .lineCap = LineCap::square}).area(), 36, 0.05);
    EXPECT_EQ(strokeMask(dot, {.lineWidth = 6, .lineCap = LineCap::butt}).area(), 0);
    // Zero, negative and non-finite widths draw nothing.
    for (double w : {0.0, -2.0, std::nan(""), HUGE_VAL})
        EXPECT_EQ(strokeMask(clean, {.lineWidth = w}).area(), 0) << w;
}

TEST(StrokeOutlinerTest, ClosedPathsJoinAtTheirStartAndOpenOnesCapIt) {
    Path closed = Path::rect({10, 10, 30, 30});
    Path open;
    open.addLines({{10, 10}, {40, 10}, {40, 40}, {10, 40}, {10, 10}});
    Mask c = strokeMask(closed, {.lineWidth = 4});
    Mask o = strokeMask(open, {.lineWidth = 4});
    EXPECT_NEAR(c.at(8.5, 8.5), 1, 1e-6);  // mitred like every other corner
    EXPECT_NEAR(c.at(41.5, 8.5), 1, 1e-6);
    EXPECT_NEAR(o.at(8.5, 8.5), 0, 1e-6);  // two butt ends meet, the outer corner stays open
    EXPECT_NEAR(o.at(41.5, 8.5), 1, 1e-6);
    EXPECT_NEAR(c.area(), 34 * 34 - 26 * 26, 0.1);
    EXPECT_NEAR(c.at(25, 25), 0, 1e-6);
}

TEST(StrokeOutlinerTest, CurvesKeepTheirWidthEvenWhereTheyBendTighterThanIt) {
    // A ring: the stroke of a circle of radius 15, 4 wide, is the annulus 13...17.
    Mask ring = strokeMask(Path::circle({32, 32}, 15), {.lineWidth = 4});
    // (Flattened, the ring comes out a few hundredths of a pixel thicker: about 1% of its area.)
    EXPECT_NEAR(ring.area(), kPi * (17 * 17 - 13 * 13), 6.0);
    EXPECT_NEAR(ring.at(32, 32), 0, 1e-6);
    EXPECT_NEAR(ring.at(32, 17.5), 1, 1e-6);
    // A hairpin whose bend is far tighter than the half width (its tip is at (40, 43)): the
    // inside of the bend, where the inner offset folds over itself, is solid, not a hole.
    Path hairpin;
    hairpin.move(10, 40);
    hairpin.addCurve({10, 46}, {50, 30}, {50, 56});
    Mask thick = strokeMask(hairpin, {.lineWidth = 10, .lineCap = LineCap::round});
    EXPECT_NEAR(thick.at(30, 43), 1, 1e-6);
    EXPECT_NEAR(thick.at(38, 43), 1, 1e-6);
    EXPECT_NEAR(thick.at(46, 43), 0, 1e-6);  // just past the tip's outer edge (45)
    // Wider is never smaller: every pixel of a 6-wide stroke is inside the 10-wide one.
    Mask thin = strokeMask(hairpin, {.lineWidth = 6, .lineCap = LineCap::round});
    for (std::size_t i = 0; i < thin.px.size(); ++i) EXPECT_GE(thick.px[i] + 1, thin.px[i]) << i;
    // A non-uniform transform stretches the width with the path.
    Mask wide = strokeMask(Path::line({5, 10}, {25, 10}), {.lineWidth = 2}, AffineTransform::scale(2, 3));
    EXPECT_NEAR(wide.area(), 40 * 6, 0.05);
}

}  // namespace
}  // namespace quillmar::gfx
