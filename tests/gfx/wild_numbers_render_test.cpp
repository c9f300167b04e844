// Hostile drawing: shapes whose coordinates lie far outside the canvas (beyond any integer type's
// range) still draw what lies on the canvas, with every path of the backend; text that the font
// engine or the line breaker cannot handle fails alone, never the process or the frame.

#include <gtest/gtest.h>

#include "gfx/graphics_context.h"
#include "gfx/image_compare.h"
#include "gfx/render_target.h"
#include "gfx/text_layout.h"

namespace quillmar::gfx {
namespace {

const Color kRed(1, 0, 0);

Image draw(const std::function<void(GraphicsContext&)>& fn) {
    auto target = render({40, 40}, 2, fn);
    EXPECT_TRUE(target->ok()) << target->error();
    return target->image();
}

bool coversCanvas(const Image& img) {
    for (Point p : {Point{1, 1}, Point{20, 20}, Point{39, 39}, Point{1, 39}})
        if (!colorsClose(probe(img, p), kRed)) return false;
    return true;
}

TEST(WildNumbersRenderTest, HugeShapesDrawWhatLiesOnTheCanvas) {
    for (double far : {3e9, 1e12, 1e300}) {
        SCOPED_TRACE(far);
        const Rect huge{-far, -far, 2 * far, 2 * far};
        EXPECT_TRUE(coversCanvas(draw([&](GraphicsContext& c) { c.fill(Path::rect(huge), kRed); })));
        // Not axis-aligned: a huge triangle around the canvas.
        EXPECT_TRUE(coversCanvas(draw([&](GraphicsContext& c) {
            Path tri;
            tri.move({-far, -far});
            tri.addLine({far, -far * 0.5});
            tri.addLine({-far * 0.5, far});
            tri.closeSubpath();
            c.fill(tri, kRed);
        })));
        // Under a clip, and as a rounded rectangle.
        EXPECT_TRUE(coversCanvas(draw([&](GraphicsContext& c) {
            c.clip(Path::roundedRect({0, 0, 40, 40}, 1));
            c.fill(Path::rect(huge), kRed);
        })));
        // A stroke whose ends are far away still crosses the canvas (up to where the outline's
        // own arithmetic overflows a double; beyond that it is left out, never drawn wrong).
        if (far > 1e100) continue;
        Image line = draw([&](GraphicsContext& c) { c.stroke(Path::line({-far, 20}, {far, 20}), kRed, 4); });
        EXPECT_TRUE(colorsClose(probe(line, {20, 20}), kRed));
        EXPECT_LT(probe(line, {20, 5}).alpha, 0.1);
    }
}

TEST(WildNumbersRenderTest, AnEdgeFromFarAwayKeepsItsSlopeOnTheCanvas) {
    // The edge from (-1e10, -1e10) to (40, 40) is the canvas diagonal: half the canvas is red.
    Image img = draw([](GraphicsContext& c) {
        Path p;
        p.move({-1e10, -1e10});
        p.addLine({40, 40});
        p.addLine({40, -1e10});
        p.closeSubpath();
        c.fill(p, kRed);
    });
    EXPECT_TRUE(colorsClose(probe(img, {30, 10}), kRed));
    EXPECT_LT(probe(img, {10, 30}).alpha, 0.1);
}

TEST(WildNumbersRenderTest, WrappingNarrowerThanAGlyphDoesNotAbort) {
    // Right-to-left text with a lone combining mark, wrapped at one point: the line breaker
    // used to assert and take the process down.
    for (double width : {0.0, 1.0, 5.0}) {
        TextOptions options;
        options.maxWidth = width;
        TextLayout text("W\u0644 \u0301W", Font::system(13), options);
        EXPECT_GT(text.size().height, 13.0);  // wrapped onto several lines
    }
}

TEST(WildNumbersRenderTest, AGlyphTheFontEngineRefusesLosesOnlyItsText) {
    // Squeezed fifty to one, the font engine fails on the glyphs; the fill before and after stays.
    auto target = render({60, 40}, 2, [](GraphicsContext& c) {
        c.fill(Path::rect({0, 0, 60, 20}), kRed);
        GraphicsContext squeezed = c;
        squeezed.concatenate(AffineTransform{50, 0, 0, 0.01, 10, 10});
        squeezed.draw(TextLayout("Wg\u0644 \u0301 \u00c4", Font::system(13)), Point{0, 0}, Color(0, 0, 1));
        c.fill(Path::rect({0, 20, 60, 20}), kRed);
    });
    const Image img = target->image();
    ASSERT_EQ(img.pixelWidth(), 120);
    EXPECT_TRUE(colorsClose(probe(img, {30, 5}), kRed));
    EXPECT_TRUE(colorsClose(probe(img, {30, 35}), kRed));
}

}  // namespace
}  // namespace quillmar::gfx
