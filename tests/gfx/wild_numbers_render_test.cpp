// Hostile drawing: shapes whose coordinates lie far outside the canvas (beyond any integer type's
// range) still draw what lies on the canvas, with every path of the backend; text that the font
// engine or the line breaker cannot handle fails alone, never the process or the frame. Layers
// promised to lie far off the canvas, or casting their shadow there, are contained alike.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "gfx/cairo_backend.h"
#include "gfx/graphics_context.h"
#include "support/image_compare.h"
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

// `fn` drawn as a banded picture of 40 × 40 points at 2x (bands of 16 rows), put together into
// one image; no band may end in a drawing error.
Image drawInBands(const std::function<void(GraphicsContext&)>& fn) {
    Image whole = Image::create(80, 80, 2);
    for (int top = 0; top < 80; top += 16) {
        cairo_surface_t* band = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 16);
        {
            auto backend = std::make_shared<CairoBackend>(band, Size{40, 40}, 2, top, 80);
            GraphicsContext c(backend);
            fn(c);
            EXPECT_TRUE(backend->error().empty()) << "band at " << top << ": " << backend->error();
        }
        cairo_t* cr = cairo_create(whole.cairoSurface());
        cairo_set_source_surface(cr, band, 0, top);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(band);
    }
    whole.markDirty();
    return whole;
}

TEST(WildNumbersRenderTest, ALayerPromisedFarAwayOrCastingFarIsContained) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    const Color kBlue(0, 0, 1);
    for (double far : {1e300, -1e300, 1e308, inf, -inf, nan}) {
        SCOPED_TRACE(far);
        // Bounds reaching far along one side or both: what they promise on the canvas is drawn.
        const double reach = std::fabs(far);
        for (const Rect& bounds : {Rect{-reach, -reach, 2 * reach, 2 * reach}, Rect{0, 0, 40, reach}, Rect{0, 0, reach, 40}}) {
            EXPECT_TRUE(coversCanvas(draw([&](GraphicsContext& c) {
                c.drawLayer([](GraphicsContext& l) { l.fill(Path::rect({0, 0, 40, 40}), kRed); }, bounds);
            })));
        }
        // Bounds wholly far away (or no number): the frame goes on; the content is lost or shows
        // where it was drawn, nowhere else.
        for (const Rect& bounds : {Rect{far, 0, 10, 10}, Rect{0, far, 10, 10}, Rect{far, far, 1, 1}}) {
            const Image img = draw([&](GraphicsContext& c) {
                c.drawLayer([](GraphicsContext& l) { l.fill(Path::rect({20, 20, 10, 10}), kRed); }, bounds);
                c.fill(Path::rect({0, 0, 4, 4}), kBlue);
            });
            EXPECT_TRUE(colorsClose(probe(img, {2, 2}), kBlue));
            EXPECT_LT(probe(img, {10, 10}).alpha, 0.01);
            const Color inside = probe(img, {25, 25});
            EXPECT_TRUE(inside.alpha < 0.01 || colorsClose(inside, kRed));
        }
        // A shadow cast far away, drawn whole and band by band: the content shows, the shadow
        // nowhere on the canvas.
        auto shadowed = [&](GraphicsContext& c) {
            GraphicsContext g = c;
            g.addFilter(Filter::shadow(kBlue, 2, far, far));
            g.drawLayer([](GraphicsContext& l) { l.fill(Path::rect({10, 10, 20, 20}), kRed); });
        };
        for (const Image& img : {draw(shadowed), drawInBands(shadowed)}) {
            EXPECT_TRUE(colorsClose(probe(img, {20, 20}), kRed));
            EXPECT_LT(probe(img, {5, 5}).alpha + probe(img, {35, 35}).alpha, 0.01);
        }
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
