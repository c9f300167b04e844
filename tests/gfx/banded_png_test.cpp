#include <gtest/gtest.h>

#include <cairo.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "gfx/banded_png.h"
#include "gfx/cairo_backend.h"
#include "gfx/png_row_writer.h"
#include "gfx/render_target.h"
#include "support/temp_path.h"

namespace quillmar::gfx {
namespace {

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An icon-like image with soft edges, for drawing resampled.
Image badge(const Color& color = Color(0.2, 0.5, 0.95)) {
    auto target = render({24, 24}, 1, [&](GraphicsContext& c) {
        c.fill(Path::roundedRect({2, 2, 20, 20}, 5), color);
        c.fill(Path::circle({12, 12}, 5), Color(1, 1, 1, 0.9));
    });
    return target->takeImage();
}

// What a picture of a screen has that could come out differently when drawn band by band:
// a gradient across the whole canvas, wide and narrow shadows (blurs reduced by 2, 4 and 8)
// and a blur nested in a shadowed layer, all straddling band edges, clipped shapes, text and
// images resampled at fractional places (each image in one place: one drawn in two places is
// taken for moving, and sampled without a kept tile, which bands do not reproduce exactly).
void scene(GraphicsContext& c, bool opaque) {
    if (opaque) c.fill(Path::rect({0, 0, 320, 240}), Color::black());
    const double a = opaque ? 1 : 0.6;
    c.fill(Path::rect({0, 0, 320, 240}),
           Shading::linearGradient(Gradient::colors({Color(0.55, 0.72, 0.93, a), Color(0.95, 0.78, 0.7, a)}), {0, 0}, {320, 240}));
    struct Window {
        Rect frame;
        double radius;
        Image icon;
    };
    static const Window windows[] = {{{20.5, 17.25, 180, 130}, 18, badge(Color(0.2, 0.5, 0.95))},
                                     {{140, 90, 150, 120}, 6, badge(Color(0.9, 0.4, 0.2))},
                                     {{40, 160, 90, 50}, 40, badge(Color(0.3, 0.7, 0.3))}};
    for (const Window& w : windows) {
        GraphicsContext shadowed = c;
        shadowed.addFilter(Filter::shadow(Color(0, 0, 0, 0.4), w.radius, 0, w.radius / 3));
        shadowed.drawLayer(
            [&](GraphicsContext& layer) {
                layer.clip(Path::roundedRect(w.frame, 10));
                layer.fill(Path::rect(w.frame), Color(0.98, 0.98, 0.98));
                layer.fill(Path::rect({w.frame.x, w.frame.y, w.frame.width, 14}), Color(0.9, 0.9, 0.92));
                layer.draw(TextLayout("Quarterly report — 四半期", Font::system(11)), Point{w.frame.x + 8, w.frame.y + 18},
                           Color(0.1, 0.1, 0.1));
                GraphicsContext blurred = layer;
                blurred.addFilter(Filter::blur(3));
                blurred.drawLayer([&](GraphicsContext& inner) {
                    inner.fill(Path::circle({w.frame.midX(), w.frame.midY() + 10}, 16), Color(0.9, 0.3, 0.2));
                });
                ImageStyle high;
                high.interpolation = ImageInterpolation::high;
                layer.draw(w.icon, {w.frame.x + 10.3, w.frame.maxY() - 37.6, 27.5, 27.5}, high);
            },
            w.frame);
    }
}

class BandedPngTest : public ::testing::Test {
protected:
    std::filesystem::path dir = quillmar::testing::uniqueTempPath("banded");
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(BandedPngTest, RowWriterWritesCairosBytesForOpaqueAndTranslucentImages) {
    for (const bool opaque : {true, false}) {
        auto target = render({61, 37}, 1, [&](GraphicsContext& c) { scene(c, opaque); });
        const Image image = target->takeImage();
        ASSERT_TRUE(image.writePng((dir / "cairo.png").string()));
        EXPECT_EQ(PngRowWriter::isOpaque(reinterpret_cast<const unsigned char*>(image.data()), image.pixelWidth(),
                                         image.pixelHeight(), image.stride()),
                  opaque);
        PngRowWriter png;
        ASSERT_TRUE(png.open((dir / "rows.png").string(), image.pixelWidth(), image.pixelHeight(), opaque));
        // In two pieces of unequal height, as bands come.
        const auto* data = reinterpret_cast<const unsigned char*>(image.data());
        ASSERT_TRUE(png.writeRows(data, 10, image.stride()));
        ASSERT_TRUE(png.writeRows(data + 10 * image.stride(), image.pixelHeight() - 10, image.stride()));
        ASSERT_TRUE(png.finish());
        EXPECT_TRUE(bytesOf(dir / "rows.png") == bytesOf(dir / "cairo.png")) << (opaque ? "opaque" : "translucent");
    }
}

TEST_F(BandedPngTest, RowWriterRefusesMissingRowsAndUnwritablePaths) {
    PngRowWriter png;
    std::string error;
    ASSERT_TRUE(png.open((dir / "short.png").string(), 4, 4, true, &error));
    const std::uint32_t row[4] = {0xff000000u, 0xff000000u, 0xff000000u, 0xff000000u};
    EXPECT_TRUE(png.writeRows(reinterpret_cast<const unsigned char*>(row), 1, 16, &error));
    EXPECT_FALSE(png.writeRows(reinterpret_cast<const unsigned char*>(row), 4, 0, &error));
    EXPECT_FALSE(png.finish(&error));
    EXPECT_FALSE(png.open((dir / "no-such-folder" / "x.png").string(), 4, 4, true, &error));
    EXPECT_EQ(error, "No such file or directory");  // the caller names the file

    // A write the disk refuses says why (a file-size limit stands in for a full disk).
    RenderTarget target({64, 64}, 2);
    target.context().fill(Path::rect({0, 0, 64, 64}), Color(0.2, 0.4, 0.6));
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    auto* const oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string whole, banded;
    const bool wroteWhole = target.writePng((dir / "whole.png").string(), &whole);
    const auto paint = [](GraphicsContext& c) { c.fill(Path::rect({0, 0, 64, 64}), Color(0.2, 0.4, 0.6)); };
    const bool wroteBanded = writePngInBands((dir / "banded.png").string(), {64, 64}, 2, paint, &banded);
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(wroteWhole);
    EXPECT_FALSE(wroteBanded);
    EXPECT_EQ(whole, "File too large");
    EXPECT_EQ(banded, "File too large");
}

TEST_F(BandedPngTest, BandsGiveTheWholePicturesBytesAtAnyBandHeight) {
    for (const double scale : {1.0, 2.0}) {
        for (const bool opaque : {true, false}) {
            // Every drawing starts from the same image caches (where images were drawn before
            // decides how they are sampled), with the images at rest: drawn once where they are.
            render({320, 240}, scale, [&](GraphicsContext& c) { scene(c, opaque); });
            const auto start = CairoBackend::saveImageCaches();
            auto whole = render({320, 240}, scale, [&](GraphicsContext& c) { scene(c, opaque); });
            ASSERT_TRUE(whole->writePng((dir / "whole.png").string()));
            const std::string expected = bytesOf(dir / "whole.png");
            for (const int rows : {5, 16, 37, 64, 1000}) {
                std::string error;
                CairoBackend::restoreImageCaches(start);
                ASSERT_TRUE(writePngInBands((dir / "bands.png").string(), {320, 240}, scale,
                                            [&](GraphicsContext& c) { scene(c, opaque); }, &error, rows))
                    << error;
                EXPECT_TRUE(bytesOf(dir / "bands.png") == expected)
                    << "scale " << scale << (opaque ? " opaque" : " translucent") << ", bands of " << rows << " rows";
            }
        }
    }
}

TEST_F(BandedPngTest, PicturesAfterABandedOneComeOutAsAfterAWholeOne) {
    // Which images count as moving (and so how they are sampled) depends on where they were
    // drawn last: drawing a picture band by band must leave that as one whole drawing does.
    const Image icon = badge();
    auto at = [&](double x) {
        return [&icon, x](GraphicsContext& c) {
            c.fill(Path::rect({0, 0, 120, 90}), Color::whiteColor());
            ImageStyle high;
            high.interpolation = ImageInterpolation::high;
            c.draw(icon, {x, 30.4, 33.3, 33.3}, high);
            c.draw(icon, {x + 40, 50.7, 33.3, 33.3}, high);
        };
    };
    const auto start = CairoBackend::saveImageCaches();
    render({120, 90}, 1, at(10.25))->writePng((dir / "first.png").string());
    render({120, 90}, 1, at(12.5))->writePng((dir / "whole-next.png").string());
    CairoBackend::restoreImageCaches(start);
    ASSERT_TRUE(writePngInBands((dir / "first-bands.png").string(), {120, 90}, 1, at(10.25), nullptr, 16));
    render({120, 90}, 1, at(12.5))->writePng((dir / "bands-next.png").string());
    EXPECT_TRUE(bytesOf(dir / "first-bands.png") == bytesOf(dir / "first.png"));
    EXPECT_TRUE(bytesOf(dir / "bands-next.png") == bytesOf(dir / "whole-next.png"));
}

}  // namespace
}  // namespace quillmar::gfx
