// Our own fill and stroke rasterisation against Cairo's: the same shapes must come out the same
// up to antialiasing differences along the edges.

#include <cairo.h>
#include <gtest/gtest.h>

#include <functional>

#include "gfx/coverage_rasterizer.h"
#include "gfx/graphics_context.h"
#include "support/image_compare.h"
#include "gfx/render_target.h"
#include "gfx/text_layout.h"

namespace quillmar::gfx {
namespace {

void appendToCairo(cairo_t* cr, const Path& p) {
    Point cur{};
    for (const Path::Element& e : p.elements()) {
        switch (e.kind) {
            case Path::ElementKind::move: cairo_move_to(cr, e.points[0].x, e.points[0].y); cur = e.points[0]; break;
            case Path::ElementKind::line: cairo_line_to(cr, e.points[0].x, e.points[0].y); cur = e.points[0]; break;
            case Path::ElementKind::quad: {
                Point c1 = cur + (e.points[0] - cur) * (2.0 / 3.0), c2 = e.points[1] + (e.points[0] - e.points[1]) * (2.0 / 3.0);
                cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, e.points[1].x, e.points[1].y);
                cur = e.points[1];
                break;
            }
            case Path::ElementKind::cubic:
                cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y);
                cur = e.points[2];
                break;
            case Path::ElementKind::close: cairo_close_path(cr); break;
        }
    }
}

// Renders with our context and with plain Cairo at 2x and compares the results.
void expectSameAsCairo(const std::function<void(GraphicsContext&)>& ours, const std::function<void(cairo_t*)>& reference,
                       const char* what) {
    auto target = render({120, 80}, 2, ours);
    Image mine = target->image();
    Image theirs = Image::create(240, 160, 2);
    cairo_t* cr = cairo_create(theirs.cairoSurface());
    cairo_scale(cr, 2, 2);
    reference(cr);
    cairo_destroy(cr);
    theirs.markDirty();
    ImageDifference d = compareImages(mine, theirs, 0.25);

    EXPECT_LE(d.differingPixels, 12) << what << ": " << d.differingPixels << " pixels differ, worst " << d.maxChannelDelta;
    EXPECT_LT(d.meanChannelDelta, 0.004) << what;
}

TEST(RasterizerTest, FillsMatchCairo) {
    Path shapes;
    shapes.addRoundedRect({10, 10, 50, 30}, {8, 8});
    shapes.addEllipse({70, 5, 40, 60});
    Path star;
    star.addPolygon({{30, 45}, {40, 75}, {10, 55}, {50, 55}, {20, 75}});  // self-crossing
    for (bool eo : {false, true}) {
        expectSameAsCairo(
            [&](GraphicsContext& c) {
                c.fill(shapes, Color(0.2, 0.4, 0.8, 0.9));
                c.fill(star, Color(0.9, 0.2, 0.1, 1), FillStyle{.eoFill = eo});
            },
            [&](cairo_t* cr) {
                appendToCairo(cr, shapes);
                cairo_set_source_rgba(cr, 0.2, 0.4, 0.8, 0.9);
                cairo_fill(cr);
                appendToCairo(cr, star);
                cairo_set_fill_rule(cr, eo ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
                cairo_set_source_rgba(cr, 0.9, 0.2, 0.1, 1);
                cairo_fill(cr);
            },
            eo ? "even-odd fill" : "non-zero fill");
    }
}

TEST(RasterizerTest, StrokesMatchCairo) {
    Path zig;
    zig.addLines({{10, 60}, {30, 20}, {50, 60}, {70, 15}});
    Path curve;
    curve.move(80, 70);
    curve.addCurve({115, 20}, {80, 10}, {120, 70});
    struct Case {
        LineCap cap;
        LineJoin join;
        std::vector<double> dash;
        double width;
    };
    const Case cases[] = {{LineCap::butt, LineJoin::miter, {}, 4},     {LineCap::round, LineJoin::round, {}, 5},
                          {LineCap::square, LineJoin::bevel, {}, 3},   {LineCap::butt, LineJoin::miter, {6, 3}, 2},
                          {LineCap::round, LineJoin::round, {0, 6}, 3}, {LineCap::butt, LineJoin::miter, {}, 0.6}};
    for (const Case& k : cases) {
        StrokeStyle style{.lineWidth = k.width, .lineCap = k.cap, .lineJoin = k.join, .dash = k.dash};
        expectSameAsCairo(
            [&](GraphicsContext& c) {
                c.stroke(zig, Color(0, 0, 0, 1), style);
                c.stroke(curve, Color(0.1, 0.5, 0.2, 0.8), style);
                c.stroke(Path::roundedRect({20, 66, 40, 10}, 4), Color(0.5, 0, 0.5, 1), style);
            },
            [&](cairo_t* cr) {
                cairo_set_line_width(cr, k.width);
                cairo_set_line_cap(cr, k.cap == LineCap::butt ? CAIRO_LINE_CAP_BUTT
                                                               : (k.cap == LineCap::round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_SQUARE));
                cairo_set_line_join(cr, k.join == LineJoin::miter ? CAIRO_LINE_JOIN_MITER
                                                                   : (k.join == LineJoin::round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_BEVEL));
                cairo_set_miter_limit(cr, 10);
                if (!k.dash.empty()) cairo_set_dash(cr, k.dash.data(), static_cast<int>(k.dash.size()), 0);
                appendToCairo(cr, zig);
                cairo_set_source_rgba(cr, 0, 0, 0, 1);
                cairo_stroke(cr);
                appendToCairo(cr, curve);
                cairo_set_source_rgba(cr, 0.1, 0.5, 0.2, 0.8);
                cairo_stroke(cr);
                appendToCairo(cr, Path::roundedRect({20, 66, 40, 10}, 4));
                cairo_set_source_rgba(cr, 0.5, 0, 0.5, 1);
                cairo_stroke(cr);
            },
            "stroke");
    }
}

TEST(RasterizerTest, GradientsAndClipsMatchCairo) {
    Gradient g({{Color(1, 0, 0, 1), 0}, {Color(0, 0.5, 1, 0.6), 0.7}, {Color(0, 0, 0.2, 1), 1}});
    expectSameAsCairo(
        [&](GraphicsContext& c) {
            c.fill(Path::ellipse({5, 5, 70, 50}), Shading::linearGradient(g, {5, 5}, {75, 55}));
            c.fill(Path::circle({90, 40}, 28), Shading::radialGradient(g, {85, 35}, 4, 30));
            GraphicsContext clipped = c;
            clipped.clip(Path::circle({40, 60}, 15));
            clipped.fill(Path::rect({0, 40, 80, 40}), Color(0.2, 0.8, 0.2, 1));
        },
        [&](cairo_t* cr) {
            auto add = [&](cairo_pattern_t* p) {
                cairo_pattern_add_color_stop_rgba(p, 0, 1, 0, 0, 1);
                cairo_pattern_add_color_stop_rgba(p, 0.7, 0, 0.5, 1, 0.6);
                cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0.2, 1);
                cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
                cairo_set_source(cr, p);
                cairo_pattern_destroy(p);
            };
            appendToCairo(cr, Path::ellipse({5, 5, 70, 50}));
            add(cairo_pattern_create_linear(5, 5, 75, 55));
            cairo_fill(cr);
            appendToCairo(cr, Path::circle({90, 40}, 28));
            add(cairo_pattern_create_radial(85, 35, 4, 85, 35, 30));
            cairo_fill(cr);
            appendToCairo(cr, Path::circle({40, 60}, 15));
            cairo_clip(cr);
            cairo_rectangle(cr, 0, 40, 80, 40);
            cairo_set_source_rgba(cr, 0.2, 0.8, 0.2, 1);
            cairo_fill(cr);
        },
        "gradients and clip");
}

TEST(RasterizerTest, ShapesUnderNestedClipsMatchCairo) {
    // A rounded plate clip and an ellipse inside it: shapes straddling both edges, a rectangle
    // well inside (which skips the clip), a stroke, an image at high quality and a faded group
    // across the plate's corner.
    Gradient g({{Color(0.9, 0.9, 0.95, 0.8), 0}, {Color(0.1, 0.1, 0.2, 0.8), 1}});
    Path plate = Path::roundedRect({4, 4, 112, 72}, 14);
    Path lens = Path::ellipse({0, 10, 100, 70});
    Image icon = Image::create(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) icon.setPixel(x, y, Color(x / 15.0, y / 15.0, 0.5, 1));
    auto drawOurs = [&](GraphicsContext& c) {
        c.clip(plate);
        c.fill(Path::rect({0, 0, 120, 80}), Shading::linearGradient(g, {0, 0}, {0, 80}));
        c.fill(Path::rect({30.5, 30.5, 20, 10}), Color(0.1, 0.7, 0.3, 1));
        c.stroke(Path::roundedRect({5, 5, 110, 70}, 13), Color(1, 1, 1, 0.5), 1.5);
        c.draw(icon, {62.25, 20.5, 21, 21});
        GraphicsContext faded = c;
        faded.opacity = 0.6;
        faded.drawLayer(
            [](GraphicsContext& l) {
                l.fill(Path::circle({100, 60}, 18), Color(0.2, 0.3, 0.9, 1));
                l.fill(Path::circle({108, 68}, 10), Color(0.9, 0.9, 0.1, 1));
            },
            Rect{80, 40, 40, 40});
        GraphicsContext inner = c;
        inner.clip(lens);
        inner.fill(Path::roundedRect({-10, 40, 80, 50}, 9), Color(0.8, 0.2, 0.4, 0.9));
    };
    auto drawCairo = [&](cairo_t* cr) {
        appendToCairo(cr, plate);
        cairo_clip(cr);
        cairo_rectangle(cr, 0, 0, 120, 80);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 80);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.9, 0.9, 0.95, 0.8);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.1, 0.1, 0.2, 0.8);
        cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
        cairo_set_source(cr, p);
        cairo_pattern_destroy(p);
        cairo_fill(cr);
        cairo_rectangle(cr, 30.5, 30.5, 20, 10);
        cairo_set_source_rgba(cr, 0.1, 0.7, 0.3, 1);
        cairo_fill(cr);
        appendToCairo(cr, Path::roundedRect({5, 5, 110, 70}, 13));
        cairo_set_line_width(cr, 1.5);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_rectangle(cr, 62.25, 20.5, 21, 21);
        cairo_clip(cr);
        cairo_translate(cr, 62.25, 20.5);
        cairo_scale(cr, 21.0 / 16, 21.0 / 16);
        cairo_set_source_surface(cr, icon.cairoSurface(), 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_push_group(cr);
        appendToCairo(cr, Path::circle({100, 60}, 18));
        cairo_set_source_rgba(cr, 0.2, 0.3, 0.9, 1);
        cairo_fill(cr);
        appendToCairo(cr, Path::circle({108, 68}, 10));
        cairo_set_source_rgba(cr, 0.9, 0.9, 0.1, 1);
        cairo_fill(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.6);
        appendToCairo(cr, lens);
        cairo_clip(cr);
        appendToCairo(cr, Path::roundedRect({-10, 40, 80, 50}, 9));
        cairo_set_source_rgba(cr, 0.8, 0.2, 0.4, 0.9);
        cairo_fill(cr);
    };
    // Twice: the second time the image comes from the resampled tile kept by the first.
    expectSameAsCairo(drawOurs, drawCairo, "clipped shapes");
    expectSameAsCairo(drawOurs, drawCairo, "clipped shapes, drawn again");
    // Changed pixels are resampled again, not taken from the tile.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) icon.setPixel(x, y, Color(0.2, 0.3, x / 15.0, 1));
    expectSameAsCairo(drawOurs, drawCairo, "clipped shapes, image changed");
}

TEST(RasterizerTest, AnImageThatMovesEveryFrameSamplesCheaplyUntilItSettles) {
    // A checkerboard scaled up makes the two filters tell apart clearly.
    Image icon = Image::create(12, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) icon.setPixel(x, y, (x + y) % 2 ? Color(1, 1, 1, 1) : Color(0.1, 0.2, 0.6, 1));
    auto cairoImage = [&](Rect r, cairo_filter_t filter) {
        Image out = Image::create(240, 160, 2);
        cairo_t* cr = cairo_create(out.cairoSurface());
        cairo_scale(cr, 2, 2);
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        cairo_clip(cr);
        cairo_translate(cr, r.x, r.y);
        cairo_scale(cr, r.width / 12, r.height / 12);
        cairo_set_source_surface(cr, icon.cairoSurface(), 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(cairo_get_source(cr), filter);
        cairo_paint(cr);
        cairo_destroy(cr);
        out.markDirty();
        return out;
    };
    // Which filter our frame matches: the one it is (nearly) identical to.
    auto filterOf = [&](Rect r) {
        Image mine = render({120, 80}, 2, [&](GraphicsContext& c) { c.draw(icon, r); })->image();
        const double best = compareImages(mine, cairoImage(r, CAIRO_FILTER_BEST), 0.02).meanChannelDelta;
        const double good = compareImages(mine, cairoImage(r, CAIRO_FILTER_GOOD), 0.02).meanChannelDelta;
        EXPECT_LT(std::min(best, good), 0.002);
        return best < good ? "best" : "good";
    };
    // First sight: best quality. Then a scale-up animation: every frame at a new size samples
    // with the good filter instead of making tiles nobody will reuse.
    EXPECT_STREQ(filterOf({20.3, 10.1, 40, 40}), "best");
    for (double size : {43.0, 47.5, 52.0}) EXPECT_STREQ(filterOf({20.3, 10.1, size, size}), "good");
    // Settled: the second frame in the same place is best quality again, and so is the next.
    EXPECT_STREQ(filterOf({20.3, 10.1, 52, 52}), "best");
    EXPECT_STREQ(filterOf({20.3, 10.1, 52, 52}), "best");
}

TEST(RasterizerTest, AnImageInMotionIsStretchedFromOneTileAndSettlesAsIfItHadNeverMoved) {
    // A smooth icon (a stretched tile stays close to it) with a sharp dot in one corner.
    auto makeIcon = [] {
        Image icon = Image::create(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) icon.setPixel(x, y, Color(x / 31.0, 0.4, y / 31.0, 1));
        return icon;
    };
    auto frame = [](const Image& icon, Rect r, bool inMotion) {
        return render({120, 80}, 2, [&](GraphicsContext& c) {
                   c.draw(icon, r, ImageStyle{.interpolation = ImageInterpolation::high, .inMotion = inMotion});
               })->image();
    };
    // The same frames twice, with and without the motion marked: a bloom from 40 to 46 points.
    Image moving = makeIcon(), plain = makeIcon();
    std::vector<Rect> bloom;
    for (double size : {40.0, 41.5, 43.0, 44.5, 46.0}) bloom.push_back({20.3, 10.1, size, size});
    for (std::size_t i = 0; i < bloom.size(); ++i) {
        const Image a = frame(moving, bloom[i], true), b = frame(plain, bloom[i], false);
        // In flight each frame shows the icon where it is and as it looks, give or take a little.
        const auto d = compareImages(a, b, 0.04);
        EXPECT_TRUE(d.matches(0.02)) << "frame " << i << ": " << d.differingPixels << " pixels off";
        EXPECT_EQ(opaqueBounds(a, 0.5), opaqueBounds(b, 0.5)) << "frame " << i;
    }
    // At rest both are drawn alike, to the byte, on the first frame and on the next.
    for (int k = 0; k < 2; ++k) {
        const Image a = frame(moving, bloom.back(), false), b = frame(plain, bloom.back(), false);
        EXPECT_EQ(compareImages(a, b, 0).differingPixels, 0) << "settled frame " << k;
    }
    // Pixels changed in flight are not taken from the stretched tile of the old ones.
    frame(moving, {20.3, 10.1, 44, 44}, true);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) moving.setPixel(x, y, Color(0, 0.8, 0, 1));
    frame(moving, {20.3, 10.1, 44.2, 44.2}, true);
    const Color now = probe(frame(moving, {20.3, 10.1, 44.5, 44.5}, true), {40, 30});
    EXPECT_TRUE(colorsClose(now, Color(0, 0.8, 0, 1), 0.02)) << now.red << " " << now.green << " " << now.blue;
}

TEST(RasterizerTest, TextAcrossAClipEdgeKeepsInsideIt) {
    // One label wholly inside the clip (drawn without it) and one crossing its left edge.
    TextLayout label("WMW", Font::system(24, FontWeight::bold));
    auto target = render({120, 80}, 2, [&](GraphicsContext& c) {
        c.clip(Path::roundedRect({20, 8, 90, 64}, 14));
        c.draw(label, Point{40, 12}, Color(0, 0, 0, 1));
        c.draw(label, Point{4, 42}, Color(0, 0, 0, 1));
    });
    Image img = target->image();
    int inkInside = 0, inkOutside = 0;
    for (int y = 0; y < img.pixelHeight(); ++y)
        for (int x = 0; x < img.pixelWidth(); ++x) {
            if (img.pixel(x, y).alpha <= 0) continue;
            (x >= 40 ? inkInside : inkOutside)++;
        }
    EXPECT_GT(inkInside, 200);
    EXPECT_EQ(inkOutside, 0);
    EXPECT_GT(img.pixel(70, 110).alpha, 0.0) << "the crossing label shows inside the clip";
}

TEST(RasterizerTest, WildGeometryNeverBreaksTheTarget) {
    // Deterministic junk: huge and tiny coordinates, degenerate and self-crossing paths, odd
    // transforms and stroke styles. Nothing may crash or leave the target in an error state.
    unsigned seed = 7;
    auto rnd = [&] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    auto coord = [&] {
        double r = rnd();
        if (r < 0.1) return (rnd() - 0.5) * 2e7;
        if (r < 0.15) return (rnd() - 0.5) * 1e-6;
        return (rnd() - 0.2) * 140;
    };
    Image icon = Image::create(8, 8);
    icon.setPixel(3, 3, Color(1, 0, 0));
    auto target = render({120, 80}, 2, [&](GraphicsContext& c) {
        for (int i = 0; i < 400; ++i) {
            Path p;
            int n = 1 + int(rnd() * 6);
            for (int k = 0; k < n; ++k) {
                double kind = rnd();
                if (k == 0 || kind < 0.3) p.move(coord(), coord());
                else if (kind < 0.6) p.addLine(coord(), coord());
                else if (kind < 0.8) p.addQuadCurve({coord(), coord()}, {coord(), coord()});
                else p.addCurve({coord(), coord()}, {coord(), coord()}, {coord(), coord()});
                if (rnd() < 0.2) p.closeSubpath();
            }
            GraphicsContext g = c;
            g.translateBy(coord() * 0.1, coord() * 0.1);
            g.rotate(Angle::radians(rnd() * 7));
            g.scaleBy(rnd() < 0.1 ? 1e-5 : rnd() * 3 - 1, rnd() * 3 - 1);
            if (rnd() < 0.2) g.clip(Path::circle({coord(), coord()}, rnd() * 50));
            Shading shading = rnd() < 0.5 ? Shading(Color(rnd(), rnd(), rnd(), rnd()))
                                          : Shading::radialGradient(Gradient::colors({Color(1, 0, 0), Color::clear()}),
                                                                    {coord(), coord()}, rnd() * 5, rnd() * 60);
            double what = rnd();
            if (what < 0.05) {
                g.draw(TextLayout("Ag 新", Font::system(rnd() * 40)), Point{coord(), coord()}, shading);
            } else if (what < 0.1) {
                g.draw(icon, Rect{coord(), coord(), coord(), coord()}, ImageStyle{.saturation = rnd() * 2});
            } else if (what < 0.5) {
                g.fill(p, shading, FillStyle{.eoFill = rnd() < 0.5});
            } else {
                StrokeStyle st{.lineWidth = rnd() < 0.1 ? 1e4 : rnd() * 6,
                               .lineCap = LineCap(int(rnd() * 3)),
                               .lineJoin = LineJoin(int(rnd() * 3)),
                               .miterLimit = rnd() * 20};
                if (rnd() < 0.3) st.dash = {rnd() * 4, rnd() * 4};
                g.stroke(p, shading, st);
            }
        }
        c.fill(Path::rect({100, 60, 20, 20}), Color(0, 0, 1));
    });
    EXPECT_TRUE(target->ok()) << target->error();
    EXPECT_TRUE(colorsClose(probe(target->image(), {110, 70}), Color(0, 0, 1)));
}

TEST(RasterizerTest, CoverageIsExactAreaAndEdgesOutsideStillCount) {
    CoverageRasterizer r;
    r.reset(0, 0, 4, 2);
    // A square from x = -3 (left of the mask) to 1.5, y 0...2: full coverage in column 0, half in 1.
    Point a{-3, 0}, b{1.5, 0}, c{1.5, 2}, d{-3, 2};
    r.addLine(a, b);
    r.addLine(b, c);
    r.addLine(c, d);
    r.addLine(d, a);
    std::uint8_t out[8] = {};
    r.resolve(out, 4, false);
    EXPECT_EQ(out[0], 255);
    EXPECT_NEAR(out[1], 128, 1);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[4], 255);
    // The accumulator is left clean: a second shape starts from nothing.
    r.reset(0, 0, 4, 2);
    std::uint8_t again[8] = {};
    r.resolve(again, 4, false);
    for (std::uint8_t v : again) EXPECT_EQ(v, 0);
}

}  // namespace
}  // namespace quillmar::gfx
