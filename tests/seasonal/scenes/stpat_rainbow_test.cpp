// The St Patrick's rainbow: its geometry, its colour ramp, the order of its stripes, and the flight
// of the coins thrown out of the pot.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gfx/draw_recorder.h"
#include "support/image_compare.h"
#include "gfx/render_target.h"
#include "seasonal/scenes/coin_flight.h"
#include "seasonal/scenes/stpat_palette.h"
#include "seasonal/scenes/stpat_rainbow.h"

namespace quillmar {
namespace {

using gfx::Point;

Point at(double t) {
    const RainbowArcSample s = rainbowArcPoint(t);
    return {s.x, s.y};
}

double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }

TEST(RainbowArc, NormalIsPerpendicularToTheCurveAndPointsOutward) {
    constexpr double h = 1e-5;
    for (double t = 0.01; t <= 0.99; t += 0.02) {
        const RainbowArcSample s = rainbowArcPoint(t);
        EXPECT_NEAR(std::hypot(s.nx, s.ny), 1.0, 1e-9);
        const Point tangent = (at(t + h) - at(t - h)) * (1 / (2 * h));
        const double tangentLength = std::hypot(tangent.x, tangent.y);
        EXPECT_NEAR(dot(tangent, {s.nx, s.ny}) / tangentLength, 0.0, 1e-6) << "t = " << t;
        // The arc bends away from its normal: the normal is on the outer side.
        const Point bend = (at(t + h) - at(t) * 2 + at(t - h)) * (1 / (h * h));
        EXPECT_LT(dot(bend, {s.nx, s.ny}), 0.0) << "t = " << t;
    }
    // Left of the rising limb, upwards at the top.
    EXPECT_LT(rainbowArcPoint(0).nx, 0);
    EXPECT_LT(rainbowArcPoint(0.48).ny, -0.99);
}

TEST(RainbowArc, ParameterIsLimitedToTheCurve) {
    const RainbowArcSample start = rainbowArcPoint(0), end = rainbowArcPoint(1);
    EXPECT_DOUBLE_EQ(start.x, -44);
    EXPECT_DOUBLE_EQ(start.y, 420);
    EXPECT_DOUBLE_EQ(end.x, 404);
    EXPECT_DOUBLE_EQ(end.y, 498);
    for (double t : {-3.0, -std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_DOUBLE_EQ(rainbowArcPoint(t).x, start.x) << t;
        EXPECT_DOUBLE_EQ(rainbowArcPoint(t).ny, start.ny) << t;
    }
    for (double t : {1.5, std::numeric_limits<double>::infinity()}) {
        EXPECT_DOUBLE_EQ(rainbowArcPoint(t).y, end.y) << t;
        EXPECT_DOUBLE_EQ(rainbowArcPoint(t).nx, end.nx) << t;
    }
}

TEST(RainbowRamp, BlendsNeighbouringStopsAndClampsItsPhase) {
    const gfx::Color red = rainbowRampColor(true, 0), violet = rainbowRampColor(true, 6);
    EXPECT_GT(red.red, red.blue);
    EXPECT_GT(violet.blue, violet.green);
    const gfx::Color mid = rainbowRampColor(true, 2.5);
    EXPECT_TRUE(gfx::colorsClose(mid, rainbowRampColor(true, 2).mix(rainbowRampColor(true, 3), 0.5), 1e-9));
    const gfx::Color light = rainbowRampColor(false, 4);
    const gfx::Color dark = rainbowRampColor(true, 4);
    EXPECT_NEAR(light.green, 0.88 * dark.green, 1e-12);

    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(rainbowRampColor(true, 7), violet);
    EXPECT_EQ(rainbowRampColor(true, 1e300), violet);
    EXPECT_EQ(rainbowRampColor(true, inf), violet);
    EXPECT_EQ(rainbowRampColor(true, -2), red);
    EXPECT_EQ(rainbowRampColor(true, -inf), red);
    EXPECT_EQ(rainbowRampColor(true, std::nan("")), red);
}

TEST(RainbowStripes, RunFromRedOutsideToVioletInside) {
    // At progress 0.5 the arc spans the whole curve, so sample 36 of every line sits at t = 0.5.
    for (bool isDark : {true, false}) {
        auto recorder = gfx::DrawRecorder::make({960, 640});
        gfx::GraphicsContext ctx = gfx::DrawRecorder::contextFor(recorder);
        drawStPatricksRainbow(ctx, 0.5, StpatPalette::forAppearance(isDark), isDark);
        const RainbowArcSample mid = rainbowArcPoint(0.5);
        double previous = std::numeric_limits<double>::infinity();
        for (int b = 0; b <= 6; ++b) {
            const gfx::Color colour = rainbowRampColor(isDark, b);
            int found = 0;
            for (const auto& r : recorder->ofOp(gfx::DrawRecord::Op::stroke)) {
                if (r.strokeStyle.lineWidth != 5 || r.colors.size() != 1) continue;
                const gfx::Color c = r.colors[0];
                if (!gfx::colorsClose(c.withAlpha(1), colour, 1e-9)) continue;
                ++found;
                const Point p = r.path.elements()[36].points[0];
                const double offset = dot(p - Point{mid.x, mid.y}, {mid.nx, mid.ny});
                EXPECT_LT(offset, previous) << "stripe " << b;
                previous = offset;
                if (b == 0) {
                    EXPECT_GT(offset, 10);
                }
                if (b == 6) {
                    EXPECT_LT(offset, -10);
                }
            }
            EXPECT_EQ(found, 1) << "stripe " << b;
        }
    }
}

TEST(RainbowStripes, PixelsShowRedOutsideAndVioletInside) {
    auto target = gfx::render({480, 600}, 1, [](gfx::GraphicsContext& ctx) {
        drawStPatricksRainbow(ctx, 0.5, StpatPalette::dark(), true);
    });
    const gfx::Image image = target->image();
    const RainbowArcSample mid = rainbowArcPoint(0.5);
    const gfx::Color outside = gfx::probe(image, {mid.x + mid.nx * 13.8, mid.y + mid.ny * 13.8});
    const gfx::Color inside = gfx::probe(image, {mid.x - mid.nx * 13.8, mid.y - mid.ny * 13.8});
    EXPECT_GT(outside.red, outside.blue + 0.2);
    EXPECT_GT(inside.blue, inside.green + 0.1);
    const gfx::Color far = gfx::probe(image, {mid.x + mid.nx * 60, mid.y + mid.ny * 60});
    EXPECT_LT(far.alpha, 0.05);
}

TEST(CoinFlight, MovesWithoutJumpsAndComesToRestOnTheGround) {
    // The spectacle's ground line lies below the pot's mouth; one above it (but below the top of
    // every arc) is reached on the way down just as smoothly.
    for (const double ground : {566.0, 450.0}) {
        for (int i = 0; i < 16; ++i) {
            CoinFlightState last = coinFlight(0, i, 404, 488, ground);
            EXPECT_DOUBLE_EQ(last.x, 404);
            EXPECT_DOUBLE_EQ(last.y, 488);
            bool touched = false;
            for (double t = 1e-4; t <= 2.5; t += 1e-4) {
                const CoinFlightState c = coinFlight(t, i, 404, 488, ground);
                // The fastest launch is 1000 points per unit time and gravity adds 2400 per unit time.
                ASSERT_LT(std::abs(c.x - last.x), 0.05) << "coin " << i << " t " << t;
                ASSERT_LT(std::abs(c.y - last.y), 0.3) << "coin " << i << " t " << t;
                ASSERT_LT(std::abs(c.flipPhase - last.flipPhase), 0.01) << "coin " << i << " t " << t;
                ASSERT_LT(std::abs(c.tilt - last.tilt), 0.01) << "coin " << i << " t " << t;
                ASSERT_LT(std::abs(c.flatness - last.flatness), 0.02) << "coin " << i << " t " << t;
                // Never below the ground line, once the coin has come down onto it.
                if (touched || ground >= 488) {
                    ASSERT_LE(c.y, ground + 1e-9);
                }
                touched = touched || (c.y >= ground - 1e-9 && c.y >= last.y);
                last = c;
            }
            EXPECT_TRUE(touched) << "coin " << i;
            EXPECT_DOUBLE_EQ(last.y, ground);
            EXPECT_DOUBLE_EQ(last.flatness, 1);
            EXPECT_DOUBLE_EQ(last.tilt, 0);
            EXPECT_LT(last.squash, 1e-6);
        }
    }

    // A ground line above the top of the arc, or a non-finite one, still gives a finite landing
    // time: the coin stays where the formula puts it instead of vanishing.
    for (const double ground : {100.0, std::numeric_limits<double>::quiet_NaN()}) {
        const CoinFlightState c = coinFlight(0.2, 3, 404, 488, ground);
        EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.flipPhase) && std::isfinite(c.flatness)) << ground;
    }
}

TEST(CoinFlight, SomeCoinsFlyRightAndMostFlyLeft) {
    int right = 0;
    for (int i = 0; i < 64; ++i) {
        const CoinFlightState c = coinFlight(2.0, i, 404, 488, 566);
        if (c.x > 404) ++right;
    }
    EXPECT_GT(right, 2);
    EXPECT_LT(right, 24);
}

TEST(StpatPalette, AppearancesDifferOnlyInGreensGoldsAndClover) {
    const StpatPalette& light = StpatPalette::light();
    const StpatPalette& dark = StpatPalette::dark();
    EXPECT_EQ(&light, &StpatPalette::light());
    EXPECT_EQ(light.mint, dark.mint);
    EXPECT_EQ(light.cream, dark.cream);
    EXPECT_EQ(light.iron, dark.iron);
    EXPECT_EQ(light.lantern, dark.lantern);
    EXPECT_GT(dark.emerald.green, light.emerald.green);
    EXPECT_GT(dark.gold.red, light.gold.red);
    EXPECT_LT(dark.emeraldDeep.green, light.emeraldDeep.green);
    EXPECT_GT(light.clover.blue, light.clover.green);  // a violet
}

}  // namespace
}  // namespace quillmar
