#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "gfx/graphics_context.h"
#include "support/image_compare.h"
#include "gfx/render_target.h"
#include "support/temp_path.h"

namespace quillmar::gfx {
namespace {

const Color kRed(1, 0, 0), kBlue(0, 0, 1), kWhite(1, 1, 1);

Image draw(Size size, double scale, const std::function<void(GraphicsContext&)>& fn) {
    auto target = render(size, scale, fn);
    EXPECT_TRUE(target->ok()) << target->error();
    return target->image();
}

TEST(CairoRenderTest, FillsLandAtPointsTimesScale) {
    Image img = draw({40, 20}, 2, [](GraphicsContext& c) { c.fill(Path::rect({10, 5, 10, 5}), kRed); });
    EXPECT_EQ(img.pixelWidth(), 80);
    EXPECT_EQ(img.pixelHeight(), 40);
    EXPECT_EQ(opaqueBounds(img), Rect(20, 10, 20, 10));
    EXPECT_TRUE(colorsClose(probe(img, {15, 7}), kRed));
}

TEST(CairoRenderTest, StrokesFollowTheTransformIncludingNonUniformScale) {
    Image img = draw({100, 100}, 1, [](GraphicsContext& c) {
        c.translateBy(50, 50);
        c.scaleBy(4, 1);
        c.stroke(Path::line({-10, -20}, {-10, 20}), kBlue, 2);  // vertical line: 8 wide on screen
        c.stroke(Path::line({-5, 30}, {5, 30}), kBlue, 2);      // horizontal line: 2 high
    });
    EXPECT_TRUE(colorsClose(probe(img, {7, 50}), kBlue));
    EXPECT_TRUE(colorsClose(probe(img, {13.5, 50}), kBlue));
    EXPECT_LT(probe(img, {15.5, 50}).alpha, 0.1);
    EXPECT_TRUE(colorsClose(probe(img, {50, 79.5}), kBlue));
    EXPECT_LT(probe(img, {50, 82.5}).alpha, 0.1);
}

TEST(CairoRenderTest, OpacityIsPerCallButALayerIsOneGroup) {
    auto twoDiscs = [](GraphicsContext& c) {
        c.fill(Path::rect({0, 0, 20, 10}), kRed);
        c.fill(Path::rect({10, 0, 20, 10}), kRed);
    };
    Image perCall = draw({30, 10}, 1, [&](GraphicsContext& c) {
        c.opacity = 0.5;
        twoDiscs(c);
    });
    EXPECT_NEAR(probe(perCall, {5, 5}).alpha, 0.5, 0.01);
    EXPECT_NEAR(probe(perCall, {15, 5}).alpha, 0.75, 0.01);
    Image group = draw({30, 10}, 1, [&](GraphicsContext& c) {
        c.opacity = 0.5;
        c.drawLayer([&](GraphicsContext& l) { twoDiscs(l); });
    });
    EXPECT_NEAR(probe(group, {15, 5}).alpha, 0.5, 0.01);
}

TEST(CairoRenderTest, FillRulesAndClipping) {
    Image img = draw({100, 50}, 1, [](GraphicsContext& c) {
        Path ring;
        ring.addRect({0, 0, 40, 40});
        ring.addRect({10, 10, 20, 20});
        c.fill(ring, kRed, FillStyle{.eoFill = true});
        GraphicsContext clipped = c;
        clipped.clip(Path::circle({70, 20}, 10));
        clipped.fill(Path::rect({50, 0, 50, 50}), kBlue);
    });
    EXPECT_TRUE(colorsClose(probe(img, {5, 5}), kRed));
    EXPECT_LT(probe(img, {20, 20}).alpha, 0.01);
    EXPECT_TRUE(colorsClose(probe(img, {70, 20}), kBlue));
    EXPECT_LT(probe(img, {52, 2}).alpha, 0.01);
}

TEST(CairoRenderTest, EachFrameIsClippedByItsOwnClipWhenFramesFollowOneAnother) {
    // Frames drawn one after another, as a panel redraws: the same clip again, the clip moved,
    // flipped to even-odd, and the same clip at another scale.
    auto frame = [](Point centre, double scale, bool eoFill) {
        return draw({100, 40}, scale, [&](GraphicsContext& c) {
            Path ring = Path::circle(centre, 15);
            ring.addPath(Path::circle(centre, 5));
            c.clip(ring, FillStyle{.eoFill = eoFill});
            c.fill(Path::circle({50, 20}, 200), kBlue);
        });
    };
    const Image first = frame({20, 20}, 1, false);
    EXPECT_TRUE(colorsClose(probe(first, {20, 20}), kBlue));
    EXPECT_TRUE(colorsClose(probe(first, {30, 20}), kBlue));
    EXPECT_LT(probe(first, {60, 20}).alpha, 0.01);
    EXPECT_TRUE(compareImages(first, frame({20, 20}, 1, false)).matches());

    const Image moved = frame({60, 20}, 1, false);
    EXPECT_LT(probe(moved, {20, 20}).alpha, 0.01);
    EXPECT_TRUE(colorsClose(probe(moved, {60, 20}), kBlue));

    const Image holed = frame({60, 20}, 1, true);
    EXPECT_LT(probe(holed, {60, 20}).alpha, 0.01);
    EXPECT_TRUE(colorsClose(probe(holed, {70, 20}), kBlue));

    const Image sharp = frame({60, 20}, 2, true);
    EXPECT_EQ(sharp.pixelWidth(), 200);
    EXPECT_LT(probe(sharp, {60, 20}).alpha, 0.01);
    EXPECT_TRUE(colorsClose(probe(sharp, {70, 20}), kBlue));
    EXPECT_LT(probe(sharp, {20, 20}).alpha, 0.01);
}

TEST(CairoRenderTest, ANestedClipCoversTheSameWhetherOrNotItsParentWasUsedFirst) {
    // A scaled panel as mid-animation: a rounded clip, and viewport clips inside it whose edges
    // fall between pixels (one crossing the rounded corners, one outside the panel altogether).
    // The panel's clip used first (by a fill that leaves no paint) or not, the nested clips must
    // let through exactly the same. The second drawing is one point wider, so that neither
    // reuses the other's clips.
    auto frame = [](double width, bool panelFirst) {
        return draw({width, 90}, 2, [&](GraphicsContext& c) {
            c.translateBy(6.3, 4.1);
            c.scaleBy(0.968, 0.968);
            GraphicsContext panel = c;
            panel.clip(Path::roundedRect({0, 0, 100, 80}, 14));
            if (panelFirst) panel.fill(Path::rect({-5, -5, 110, 90}), Color::clear());
            for (const Rect& viewport : {Rect{2.3, 1.7, 95.1, 70.45}, Rect{104.2, 10, 10, 10}}) {
                GraphicsContext inner = panel;
                inner.clip(Path::rect(viewport));
                inner.fill(Path::ellipse({-10, -10, 130, 110}), kBlue);
            }
        });
    };
    const Image derived = frame(120, true), scratch = frame(121, false);
    EXPECT_TRUE(colorsClose(probe(derived, {50, 40}), kBlue));
    EXPECT_LT(probe(derived, {6.6, 4.4}).alpha, 0.01);   // cut by the rounded corner
    EXPECT_LT(probe(derived, {112, 14}).alpha, 0.01);  // the viewport outside the panel shows nothing
    ASSERT_EQ(derived.pixelHeight(), scratch.pixelHeight());
    for (int y = 0; y < derived.pixelHeight(); ++y) {
        const auto* a = reinterpret_cast<const std::uint8_t*>(derived.data()) + std::size_t(y) * std::size_t(derived.stride());
        const auto* b = reinterpret_cast<const std::uint8_t*>(scratch.data()) + std::size_t(y) * std::size_t(scratch.stride());
        ASSERT_EQ(std::memcmp(a, b, std::size_t(derived.pixelWidth()) * 4), 0) << "row " << y;
    }
}

TEST(CairoRenderTest, GradientsFadeToClearWithoutDarkeningAndDegenerateOnesPaintTheirEnd) {
    Color gold(1, 0.8, 0.2);
    Image img = draw({100, 30}, 1, [&](GraphicsContext& c) {
        c.fill(Path::rect({0, 0, 100, 10}), Shading::linearGradient(Gradient::colors({gold, Color::clear()}), {0, 0}, {100, 0}));
        c.fill(Path::rect({0, 10, 50, 10}), Shading::linearGradient(Gradient::colors({kRed, kBlue}), {5, 5}, {5, 5}));
        c.fill(Path::rect({50, 10, 50, 10}), Shading::radialGradient(Gradient::colors({kRed, kBlue}), {75, 15}, 0, 0));
        Gradient hard({{kRed, 0}, {kRed, 0.5}, {kBlue, 0.5}, {kBlue, 1}});
        c.fill(Path::rect({0, 20, 100, 10}), Shading::linearGradient(hard, {0, 0}, {100, 0}));
    });
    Color mid = probe(img, {50, 5});
    EXPECT_NEAR(mid.alpha, 0.5, 0.03);
    EXPECT_TRUE(colorsClose(mid.withAlpha(1), gold, 0.03)) << mid.red << " " << mid.green << " " << mid.blue;
    EXPECT_TRUE(colorsClose(probe(img, {25, 15}), kBlue));
    EXPECT_TRUE(colorsClose(probe(img, {75, 15}), kBlue));
    EXPECT_TRUE(colorsClose(probe(img, {48, 25}), kRed));
    EXPECT_TRUE(colorsClose(probe(img, {52, 25}), kBlue));
}

TEST(CairoRenderTest, ShadowAndBlurSpreadAroundTheShape) {
    Image img = draw({100, 100}, 2, [](GraphicsContext& c) {
        GraphicsContext s = c;
        s.addFilter(Filter::shadow(Color(0, 0, 0, 1), 3, 0, 10));
        s.fill(Path::rect({20, 20, 20, 20}), kWhite);
        GraphicsContext b = c;
        b.addFilter(Filter::blur(4));
        b.fill(Path::rect({60, 40, 20, 20}), kBlue);
    });
    // The shape itself is drawn over its shadow; below it the shadow shows, above it nothing.
    EXPECT_TRUE(colorsClose(probe(img, {30, 30}), kWhite));
    EXPECT_GT(probe(img, {30, 45}).alpha, 0.5);
    EXPECT_LT(probe(img, {30, 16}).alpha, 0.05);
    // The blur is symmetric: equal alpha at equal distances left and right, above and below.
    EXPECT_NEAR(probe(img, {58.25, 50}).alpha, probe(img, {81.75, 50}).alpha, 0.02);
    EXPECT_NEAR(probe(img, {70, 38.25}).alpha, probe(img, {70, 61.75}).alpha, 0.02);
    EXPECT_GT(probe(img, {58.25, 50}).alpha, 0.2);
    EXPECT_LT(probe(img, {70, 50}).alpha, 1.0);
}

TEST(CairoRenderTest, AShadowedLayerDrawnAgainUnchangedLooksTheSameAndAChangedOneIsRedone) {
    // A shadowed group, as a highlight is drawn frame after frame, in one colour or another.
    auto frame = [](const Color& fill) {
        return draw({100, 60}, 2, [&](GraphicsContext& c) {
            GraphicsContext s = c;
            s.addFilter(Filter::shadow(Color(0, 0, 0, 0.6), 3, 0, 2));
            s.drawLayer([&](GraphicsContext& l) {
                l.fill(Path::roundedRect({10, 10, 80, 30}, 6), fill);
                l.fill(Path::rect({20, 20, 10, 10}), kWhite);
            }, Rect{10, 10, 80, 30});
        });
    };
    const Image red = frame(kRed), blue = frame(kBlue), redAgain = frame(kRed), blueAgain = frame(kBlue);
    EXPECT_EQ(compareImages(red, redAgain, 0).differingPixels, 0);
    EXPECT_EQ(compareImages(blue, blueAgain, 0).differingPixels, 0);
    // Each shows its own colour, over its own shadow.
    EXPECT_TRUE(colorsClose(probe(red, {60, 25}), kRed));
    EXPECT_TRUE(colorsClose(probe(blue, {60, 25}), kBlue));
    EXPECT_TRUE(colorsClose(probe(redAgain, {60, 25}), kRed));
    EXPECT_GT(probe(blue, {50, 42}).alpha, 0.2);
    EXPECT_LT(probe(blue, {50, 42}).blue, 0.05);
}

TEST(CairoRenderTest, AShadowedGroupInMotionKeepsItsShapeCrispAndItsShadowWithinAFewLevels) {
    // A shadowed highlight under the scale and fraction of a pixel an opening animation gives it,
    // drawn as at rest and as in motion, at half opacity (one group) and opaque.
    auto frame = [](double scale, double opacity, bool inMotion) {
        return draw({120, 80}, 2, [&](GraphicsContext& c) {
            c.fill(Path::rect({0, 0, 120, 80}), kWhite);
            GraphicsContext s = c;
            s.translateBy(60.3, 40.2);
            s.scaleBy(scale, scale);
            s.translateBy(-45, -15);
            s.opacity = opacity;
            s.addFilter(Filter::shadow(Color(0, 0, 0, 0.5), 3, 0, 2));
            s.drawLayer([&](GraphicsContext& l) {
                l.fill(Path::roundedRect({0, 0, 90, 30}, 6), kBlue);
                l.fill(Path::rect({10, 10, 10, 10}), kRed);
            }, Rect{0, 0, 90, 30}, LayerStyle{inMotion});
        });
    };
    for (double opacity : {1.0, 0.5}) {
        for (double scale : {0.968, 0.99, 1.0}) {
            const Image still = frame(scale, opacity, false), moving = frame(scale, opacity, true);
            const auto d = compareImages(still, moving, 4.0 / 255);
            EXPECT_EQ(d.differingPixels, 0) << "scale " << scale << " opacity " << opacity << ": off by "
                                            << d.maxChannelDelta * 255;
            // The shadow shows below the shape, and the next frame at another scale casts its own.
            EXPECT_LT(probe(moving, {60, 58.5}).red, 0.97);
        }
    }
    // Drawn again with nothing changed, a frame in motion is the same to the byte.
    EXPECT_EQ(compareImages(frame(0.97, 1, true), frame(0.97, 1, true), 0).differingPixels, 0);
}

TEST(CairoRenderTest, ImagesScaleFitDesaturateAndTint) {
    Image icon = Image::create(4, 2);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y) icon.setPixel(x, y, Color(1, 0, 0, 1));
    Rect fit = aspectFit(icon.size(), {0, 0, 40, 40});
    EXPECT_EQ(fit, Rect(0, 10, 40, 20));
    Image img = draw({120, 40}, 1, [&](GraphicsContext& c) {
        c.draw(icon, fit);
        c.draw(icon, {40, 10, 40, 20}, ImageStyle{.saturation = 0});
        GraphicsContext faded = c;
        faded.opacity = 0.5;
        faded.draw(icon, {80, 10, 40, 20}, ImageStyle{.templateTint = kBlue});
    });
    EXPECT_TRUE(colorsClose(probe(img, {20, 20}), kRed));
    EXPECT_LT(probe(img, {20, 5}).alpha, 0.01);
    Color grey = probe(img, {60, 20});
    EXPECT_NEAR(grey.red, grey.green, 0.01);
    EXPECT_NEAR(grey.red, grey.blue, 0.01);
    EXPECT_NEAR(probe(img, {100, 20}).blue, 1, 0.02);
    EXPECT_NEAR(probe(img, {100, 20}).alpha, 0.5, 0.02);
}

TEST(CairoRenderTest, BadInputNeverStopsLaterDrawing) {
    auto target = render({20, 20}, 1, [](GraphicsContext& c) {
        c.stroke(Path::line({0, 0}, {20, 20}), kRed, StrokeStyle{.lineWidth = 1, .dash = {0, 0}});
        c.stroke(Path::line({0, 0}, {20, 20}), kRed, StrokeStyle{.lineWidth = 1, .dash = {-1, 2}});
        c.stroke(Path::line({0, 0}, {20, 20}), kRed, StrokeStyle{.lineWidth = NAN});
        c.fill(Path::rect({1e300, -1e300, 1e300, 1e300}), kRed);
        c.fill(Path::rect({0, 0, 5, 5}), Shading::linearGradient(Gradient(), {0, 0}, {1, 1}));
        GraphicsContext s = c;
        s.scaleBy(1e-300, 1e-300);
        s.fill(Path::rect({0, 0, 1, 1}), kRed);
        s = c;
        s.addFilter(Filter::shadow(kRed, NAN, INFINITY, 0));
        s.addFilter(Filter::blur(1e12));
        s.fill(Path::rect({0, 0, 2, 2}), kRed);
        c.draw(TextLayout("\xff\xfe broken", Font::system(NAN)), Point{0, 0}, kRed);
        c.fill(Path::rect({10, 10, 10, 10}), kBlue);
    });
    EXPECT_TRUE(target->ok()) << target->error();
    EXPECT_TRUE(colorsClose(probe(target->image(), {15, 15}), kBlue));
}

TEST(CairoRenderTest, PngRoundTripAndWriteErrors) {
    auto target = render({10, 10}, 2, [](GraphicsContext& c) { c.fill(Path::circle({5, 5}, 4), Color(0.2, 0.6, 0.4, 0.8)); });
    const quillmar::testing::ScratchFolder dir("gfx");
    std::string file = (dir / "roundtrip.png").string();
    std::string error;
    ASSERT_TRUE(target->writePng(file, &error)) << error;
    auto back = Image::readPng(file, 2);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), Size(10, 10));
    EXPECT_TRUE(compareImages(target->image(), *back).matches());
    EXPECT_FALSE(target->writePng((dir / "missing" / "x.png").string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Image::readPng((dir / "missing.png").string()).has_value());
}

TEST(CairoRenderTest, RenderingAtTwoScalesAgreesAfterDownsampling) {
    auto scene = [](GraphicsContext& c) {
        c.fill(Path::roundedRect({4, 4, 40, 24}, 8), Shading::linearGradient(Gradient::colors({kRed, kBlue}), {4, 4}, {44, 28}));
    };
    Image one = draw({48, 32}, 1, scene);
    Image two = draw({48, 32}, 2, scene);
    Image down = draw({48, 32}, 1, [&](GraphicsContext& c) { c.draw(two, {0, 0, 48, 32}, ImageStyle{.interpolation = ImageInterpolation::high}); });
    ImageDifference d = compareImages(one, down, 0.12);
    EXPECT_TRUE(d.matches(0.01)) << d.differingPixels << " max " << d.maxChannelDelta;
}

}  // namespace
}  // namespace quillmar::gfx
