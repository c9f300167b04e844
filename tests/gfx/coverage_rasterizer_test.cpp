// Edge cases of the coverage rasteriser: slivers thinner than a pixel, coordinates far outside
// the mask, and the two fill rules where shapes overlap.

#include "gfx/coverage_rasterizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace quillmar::gfx {
namespace {

struct Raster {
    int w, h;
    CoverageRasterizer r;
    Raster(int width, int height) : w(width), h(height) { r.reset(0, 0, w, h); }
    void polygon(const std::vector<Point>& p) {
        for (std::size_t i = 0; i < p.size(); ++i) r.addLine(p[i], p[(i + 1) % p.size()]);
    }
    void rect(double x0, double y0, double x1, double y1, bool reversed = false) {
        if (reversed)
            polygon({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
        else
            polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    }
    std::vector<std::uint8_t> resolve(bool evenOdd = false) {
        std::vector<std::uint8_t> out(std::size_t(w) * h, 0);
        r.resolve(out.data(), w, evenOdd);
        return out;
    }
};

TEST(CoverageRasterizerTest, SubPixelSliversGetTheirExactArea) {
    Raster a(6, 4);
    a.rect(2.3, 0, 2.4, 4);    // a tenth of a column, inside one pixel column
    a.rect(3.95, 0, 4.05, 4);  // a tenth straddling two columns: half in each
    auto m = a.resolve();
    for (int y = 0; y < 4; ++y) {
        EXPECT_NEAR(m[y * 6 + 2], 25.5, 1) << y;
        EXPECT_NEAR(m[y * 6 + 3], 12.75, 1) << y;
        EXPECT_NEAR(m[y * 6 + 4], 12.75, 1) << y;
        EXPECT_EQ(m[y * 6 + 1], 0);
        EXPECT_EQ(m[y * 6 + 5], 0);
    }
    // A horizontal sliver a quarter of a row tall, and a diagonal one: the area per pixel
    // adds up along the row and nothing spills into the next.
    Raster b(8, 3);
    b.rect(0.5, 1.25, 7.5, 1.5);
    auto n = b.resolve();
    EXPECT_NEAR(n[8 + 0], 32, 1);
    for (int x = 1; x < 7; ++x) EXPECT_NEAR(n[8 + x], 64, 1) << x;
    for (int x = 0; x < 8; ++x) EXPECT_EQ(n[x] + n[16 + x], 0);
    Raster c(10, 10);
    c.polygon({{0, 0}, {10, 10}, {10, 9.9}, {0.1, 0}});  // a needle along the diagonal
    auto d = c.resolve();
    double total = 0;
    for (std::uint8_t v : d) total += v / 255.0;
    EXPECT_NEAR(total, 0.995, 0.02);  // its area by the shoelace formula
}

TEST(CoverageRasterizerTest, FarOffCoordinatesAreClippedWithoutLosingTheWinding) {
    // A triangle with corners millions of pixels away that covers the whole mask.
    Raster a(16, 8);
    a.polygon({{-1e7, -1e7}, {1e7, -1e7}, {0, 3e7}});
    for (std::uint8_t v : a.resolve()) EXPECT_EQ(v, 255);
    // A band entering from far left and leaving far right, half a row tall at y 3.5...4.
    Raster b(16, 8);
    b.rect(-5e6, 3.5, 5e6, 4);
    auto m = b.resolve();
    for (int x = 0; x < 16; ++x) {
        EXPECT_NEAR(m[3 * 16 + x], 128, 1) << x;
        EXPECT_EQ(m[4 * 16 + x], 0) << x;
    }
    // Entirely left of, above or below the mask: nothing.
    Raster c(16, 8);
    c.rect(-1e6, -2, -3, 12);
    c.rect(2, -1e6, 6, -1);
    c.rect(2, 9, 6, 1e6);
    for (std::uint8_t v : c.resolve()) EXPECT_EQ(v, 0);
    // Non-finite points are dropped rather than poisoning the accumulator.
    Raster d(4, 4);
    d.r.addLine({NAN, 0}, {2, 4});
    d.r.addLine({0, 0}, {INFINITY, 4});
    d.rect(0, 0, 2, 2);
    auto e = d.resolve();
    EXPECT_EQ(e[0], 255);
    EXPECT_EQ(e[5], 255);
    EXPECT_EQ(e[2], 0);
    EXPECT_EQ(e[10], 0);
}

TEST(CoverageRasterizerTest, FillRulesDecideOverlaps) {
    // Two squares overlapping in columns 2-3: wound the same way, then opposite ways.
    for (bool opposite : {false, true}) {
        Raster a(6, 2);
        a.rect(0, 0, 4, 2);
        a.rect(2, 0, 6, 2, opposite);
        auto nonZero = a.resolve(false);
        Raster b(6, 2);
        b.rect(0, 0, 4, 2);
        b.rect(2, 0, 6, 2, opposite);
        auto evenOdd = b.resolve(true);
        for (int x = 0; x < 6; ++x) {
            bool overlap = x == 2 || x == 3;
            EXPECT_EQ(nonZero[x], overlap && opposite ? 0 : 255) << x << (opposite ? " opposite" : " same");
            EXPECT_EQ(evenOdd[x], overlap ? 0 : 255) << x;
        }
    }
    // Three layers of the same square: non-zero stays full (clamped, not wrapped); even-odd
    // counts three as odd, and a half-covered edge pixel of three layers is half covered too.
    Raster c(4, 1);
    for (int i = 0; i < 3; ++i) c.rect(0, 0, 2.5, 1);
    auto full = c.resolve(false);
    Raster d(4, 1);
    for (int i = 0; i < 3; ++i) d.rect(0, 0, 2.5, 1);
    auto odd = d.resolve(true);
    EXPECT_EQ(full[0], 255);
    EXPECT_EQ(full[2], 255);  // 1.5 layers' worth clamps to full
    EXPECT_EQ(odd[0], 255);
    EXPECT_NEAR(odd[2], 128, 1);  // winding 1.5 folds to half
    EXPECT_EQ(full[3] + odd[3], 0);
}

TEST(CoverageRasterizerTest, RowSpansBoundTheCoverageAndAnOffsetMaskSeesTheSameShape) {
    // The same triangle rasterised into a mask at the origin and into one offset by (5, 3):
    // the offset mask is the matching window of the first.
    std::vector<Point> tri{{6.3, 3.2}, {13.7, 5.1}, {8.2, 10.6}};
    Raster whole(16, 12);
    whole.polygon(tri);
    auto all = whole.resolve();
    CoverageRasterizer part;
    part.reset(5, 3, 9, 8);
    for (std::size_t i = 0; i < 3; ++i) part.addLine(tri[i], tri[(i + 1) % 3]);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 9; ++x)
            if (x < part.rowBegin(y) || x >= part.rowEnd(y)) {
                EXPECT_EQ(all[(y + 3) * 16 + x + 5], 0) << x << "," << y;
            }
        std::vector<std::uint8_t> row(9, 0);
        part.resolveRow(y, row.data(), false);
        for (int x = part.rowBegin(y); x < part.rowEnd(y); ++x)
            EXPECT_NEAR(row[x], all[(y + 3) * 16 + x + 5], 1) << x << "," << y;
    }
}

TEST(CoverageRasterizerTest, AMaskTooLargeForOneAccumulatorGivesTheSameCoverageBandByBand) {
    // A 2400 × 700 mask (several megabytes of accumulator) is accumulated in bands; a star and a
    // ring in it, drawn with coordinates every mask sees exactly, must match the same shapes in
    // small masks around each, byte for byte, and a second shape after it starts clean.
    auto star = [](double cx, double cy, double r) {
        std::vector<Point> p;
        for (int i = 0; i < 10; ++i) {
            const double a = i * 0.6283185307179586, k = i % 2 ? 0.45 : 1.0;
            p.push_back({std::round((cx + r * k * std::sin(a)) * 8) / 8, std::round((cy - r * k * std::cos(a)) * 8) / 8});
        }
        return p;
    };
    struct Star {
        int cx, cy, r;
    };
    const Star stars[] = {{1800, 350, 300}, {200, 150, 120}};
    Raster whole(2400, 700);
    for (const Star& s : stars) whole.polygon(star(s.cx, s.cy, s.r));
    const auto all = whole.resolve();
    for (const Star& s : stars) {
        const auto shape = star(s.cx, s.cy, s.r);
        const int r = s.r + 10, x0 = s.cx - r, y0 = s.cy - r;
        CoverageRasterizer part;
        part.reset(x0, y0, 2 * r, 2 * r);
        for (std::size_t i = 0; i < shape.size(); ++i) part.addLine(shape[i], shape[(i + 1) % shape.size()]);
        std::vector<std::uint8_t> out(std::size_t(4 * r * r), 0);
        part.resolve(out.data(), 2 * r, false);
        int covered = 0, differing = 0;
        for (int y = 0; y < 2 * r; ++y)
            for (int x = 0; x < 2 * r; ++x) {
                const std::uint8_t a = out[std::size_t(y * 2 * r + x)], b = all[std::size_t((y + y0) * 2400 + x + x0)];
                covered += a == 255;
                differing += a != b;
            }
        EXPECT_GT(covered, r * r / 2);
        EXPECT_EQ(differing, 0);
    }

    // The accumulator is clean for the next shape: a small square alone.
    whole.r.reset(0, 0, 2400, 700);
    whole.rect(10, 10, 20, 20);
    const auto square = whole.resolve();
    int lit = 0;
    for (std::uint8_t v : square) lit += v != 0;
    EXPECT_EQ(lit, 100);
}

}  // namespace
}  // namespace quillmar::gfx
