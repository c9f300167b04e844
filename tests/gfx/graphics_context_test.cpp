#include "gfx/graphics_context.h"

#include <gtest/gtest.h>

#include "gfx/draw_recorder.h"
#include "gfx/symbol_library.h"

namespace quillmar::gfx {
namespace {

using Op = DrawRecord::Op;

class GraphicsContextTest : public ::testing::Test {
protected:
    std::shared_ptr<DrawRecorder> rec = DrawRecorder::make({200, 100}, 2);
    GraphicsContext ctx = DrawRecorder::contextFor(rec);
};

TEST_F(GraphicsContextTest, CopiesHaveIndependentStateOnTheSameTarget) {
    GraphicsContext copy = ctx;
    copy.translateBy(10, 5);
    copy.opacity = 0.5;
    copy.clip(Path::rect({0, 0, 10, 10}));
    copy.fill(Path::rect({0, 0, 4, 4}), Color(1, 0, 0));
    ctx.fill(Path::rect({0, 0, 4, 4}), Color(0, 0, 1));

    auto r = rec->primitives();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].deviceBounds, Rect(10, 5, 4, 4));
    EXPECT_DOUBLE_EQ(r[0].opacity, 0.5);
    EXPECT_TRUE(r[0].clipped);
    EXPECT_EQ(r[1].deviceBounds, Rect(0, 0, 4, 4));
    EXPECT_DOUBLE_EQ(r[1].opacity, 1);
    EXPECT_FALSE(r[1].clipped);
    EXPECT_EQ(r[1].colors, std::vector<Color>{Color(0, 0, 1)});
}

TEST_F(GraphicsContextTest, InvisibleOrUndrawableCallsAreSkipped) {
    GraphicsContext c = ctx;
    c.opacity = 0;
    c.fill(Path::rect({0, 0, 1, 1}), Color::black());
    c.opacity = NAN;
    c.fill(Path::rect({0, 0, 1, 1}), Color::black());
    GraphicsContext flat = ctx;
    flat.scaleBy(0, 1);  // collapses the plane: nothing can be seen
    flat.fill(Path::rect({0, 0, 1, 1}), Color::black());
    GraphicsContext bad = ctx;
    bad.translateBy(NAN, 0);
    bad.stroke(Path::line({0, 0}, {1, 1}), Color::black(), 1);
    bad.drawLayer([](GraphicsContext&) { FAIL() << "layer content of an undrawable context ran"; });
    EXPECT_TRUE(rec->records().empty());

    GraphicsContext over = ctx;
    over.opacity = 3;
    over.fill(Path::rect({0, 0, 1, 1}), Color::black());
    ASSERT_EQ(rec->records().size(), 1u);
    EXPECT_DOUBLE_EQ(rec->records()[0].opacity, 1);
}

TEST_F(GraphicsContextTest, LayersCompositeWithTheOuterOpacityAndFilters) {
    GraphicsContext c = ctx;
    c.opacity = 0.5;
    c.addFilter(Filter::shadow(Color(0, 0, 0, 0.3), 4, 0, 2));
    c.drawLayer([](GraphicsContext& layer) {
        EXPECT_DOUBLE_EQ(layer.opacity, 1);
        layer.opacity = 0.4;
        layer.fill(Path::circle({10, 10}, 5), Color::whiteColor());
    });
    const auto& r = rec->records();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].op, Op::beginLayer);
    EXPECT_EQ(r[1].op, Op::fill);
    EXPECT_EQ(r[2].op, Op::endLayer);
    EXPECT_EQ(r[2].filters.size(), 1u);
    EXPECT_TRUE(r[1].filters.empty());
    EXPECT_EQ(r[1].layerDepth, 1);
    EXPECT_DOUBLE_EQ(r[1].opacity, 0.4);
    EXPECT_DOUBLE_EQ(r[1].effectiveOpacity, 0.2);
}

TEST_F(GraphicsContextTest, AShadowedLayerInMotionCastsItsShadowUnscaledAndDrawsItsContentWhereItShows) {
    GraphicsContext c = ctx;
    c.translateBy(20.3, 10);
    c.scaleBy(0.96, 0.96);
    c.addFilter(Filter::shadow(Color(0, 0, 0, 0.3), 3, 0, 1));
    const Rect shape{0, 0, 50, 20};
    c.drawLayer([&](GraphicsContext& layer) { layer.fill(Path::rect(shape), Color::whiteColor()); }, shape,
                LayerStyle{true});
    const auto& r = rec->records();
    ASSERT_EQ(r.size(), 4u);
    // The shadow's layer: the content at the whole device pixel nearest its place, unscaled...
    EXPECT_EQ(r[0].op, Op::beginLayer);
    EXPECT_TRUE(r[0].shadowOnly);
    EXPECT_EQ(r[1].transform, AffineTransform::translation(20.5, 10));
    // ...carried to where the content shows by the placement.
    EXPECT_NEAR(r[1].deviceBounds.x, 20.3, 1e-9);
    EXPECT_NEAR(r[1].deviceBounds.width, 48, 1e-9);
    EXPECT_EQ(r[2].op, Op::endLayer);
    // The content itself drawn in place, outside any layer.
    EXPECT_EQ(r[3].op, Op::fill);
    EXPECT_EQ(r[3].layerDepth, 0);
    EXPECT_TRUE(r[3].filters.empty());
    EXPECT_EQ(r[3].transform, c.transform);

    // At half opacity the shadow and the content are one group; out of motion nothing changes.
    rec->clear();
    c.opacity = 0.5;
    c.drawLayer([&](GraphicsContext& layer) { layer.fill(Path::rect(shape), Color::whiteColor()); }, shape,
                LayerStyle{true});
    ASSERT_EQ(rec->ofOp(Op::beginLayer).size(), 2u);
    EXPECT_DOUBLE_EQ(rec->ofOp(Op::fill)[1].effectiveOpacity, 0.5);
    rec->clear();
    c.drawLayer([&](GraphicsContext& layer) { layer.fill(Path::rect(shape), Color::whiteColor()); }, shape);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_FALSE(r[0].shadowOnly);
    EXPECT_EQ(r[1].transform, c.transform);
}

TEST_F(GraphicsContextTest, FiltersApplyToEachDrawCallOnItsOwn) {
    GraphicsContext c = ctx;
    c.addFilter(Filter::blur(3));
    c.fill(Path::rect({0, 0, 5, 5}), Color::black());
    c.fill(Path::rect({10, 0, 5, 5}), Color::black());
    EXPECT_EQ(rec->ofOp(Op::beginLayer).size(), 2u);
    auto fills = rec->ofOp(Op::fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_TRUE(fills[0].filters.empty());
    // The layer is sized from the shape, so the backend can work on a small area.
    EXPECT_EQ(rec->ofOp(Op::beginLayer)[1].deviceBounds, Rect(10, 0, 5, 5));
}

TEST_F(GraphicsContextTest, SymbolsDrawAsTaggedVectorsAndUnknownNamesAsAPlaceholder) {
    ctx.drawSymbol("xmark", Font::system(10, FontWeight::black), Point{50, 50}, Color::black());
    auto xs = rec->withTag("symbol:xmark");
    ASSERT_FALSE(xs.empty());
    EXPECT_EQ(xs[0].op, Op::stroke);
    EXPECT_NEAR(xs[0].deviceBounds.center().x, 50, 1.0);
    EXPECT_GT(xs[0].strokeStyle.lineWidth,
              SymbolLibrary::glyph("xmark", Font::system(10)).strokeStyle.lineWidth);

    rec->clear();
    ctx.drawSymbol("not.a.symbol", Font::system(12), Rect{0, 0, 20, 20}, Color::black());
    EXPECT_FALSE(rec->withTag("symbol:not.a.symbol").empty());
    EXPECT_TRUE(SymbolLibrary::glyph("not.a.symbol", Font::system(12)).isPlaceholder);
    for (auto name : {"minus", "xmark", "arrow.right", "power", "app.fill", "envelope", "rectangle.grid.1x2",
                      "list.bullet.rectangle"})
        EXPECT_TRUE(SymbolLibrary::contains(name)) << name;
}

TEST_F(GraphicsContextTest, ClipBoundingRectIsInUserSpace) {
    EXPECT_EQ(ctx.clipBoundingRect(), Rect(0, 0, 200, 100));
    GraphicsContext c = ctx;
    c.clip(Path::rect({20, 20, 40, 40}));
    c.translateBy(20, 20);
    c.scaleBy(2, 2);
    c.clip(Path::rect({0, 0, 10, 100}));
    EXPECT_EQ(c.clipBoundingRect(), Rect(0, 0, 10, 20));
}

}  // namespace
}  // namespace quillmar::gfx
