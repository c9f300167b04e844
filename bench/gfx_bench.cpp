// Drawing costs against a 60 Hz frame (16.7 ms): scenes of 1,000 mixed paths with gradients on
// a 960 × 1184 pixel (2x) surface, and Gaussian blurs of a 480 × 592 layer.
//
// Two size mixes: "sprites" is what the scenes and particle art draw (mostly 4–16 pt pieces, a
// few larger ones); "large" gives every path 6–46 pt, painting the canvas about 2.4 times over.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "gfx/graphics_context.h"
#include "gfx/pixel_effects.h"
#include "gfx/render_target.h"

using namespace quillmar::gfx;

namespace {

struct Item {
    Path path;
    Shading shading;
    bool stroke;
    double width;
};

enum class Sizes { sprites, large };

// A fixed mix: rounded rects, ellipses, curve shapes, polylines; solid, linear and radial.
std::vector<Item> makeScene(Size canvas, Sizes sizes) {
    std::vector<Item> items;
    unsigned seed = 12345;
    auto rnd = [&] {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 8) & 0xFFFF) / 65535.0;
    };
    for (int i = 0; i < 1000; ++i) {
        double x = rnd() * canvas.width, y = rnd() * canvas.height, s = 6 + rnd() * 40;
        if (sizes == Sizes::sprites) {
            double pick = rnd();
            s = pick < 0.8 ? 4 + rnd() * 12 : (pick < 0.98 ? 16 + rnd() * 32 : 48 + rnd() * 112);
        }
        Path p;
        switch (i % 4) {
            case 0: p = Path::roundedRect({x, y, s * 1.6, s}, s * 0.25); break;
            case 1: p = Path::ellipse({x, y, s, s * 0.7}); break;
            case 2:
                p.move(x, y);
                p.addCurve({x + s, y}, {x + s * 0.3, y - s}, {x + s * 0.7, y + s});
                p.addQuadCurve({x, y}, {x + s * 0.5, y + s * 0.8});
                p.closeSubpath();
                break;
            default:
                p.addLines({{x, y}, {x + s, y + s * 0.3}, {x + s * 0.4, y + s}, {x + s * 1.2, y + s * 1.4}});
                break;
        }
        Color a(rnd(), rnd(), rnd(), 0.5 + rnd() * 0.5), b(rnd(), rnd(), rnd(), rnd());
        Shading shading;
        switch (i % 3) {
            case 0: shading = Shading::color(a); break;
            case 1: shading = Shading::linearGradient(Gradient::colors({a, b, Color::clear()}), {x, y}, {x + s, y + s}); break;
            default: shading = Shading::radialGradient(Gradient::colors({a, b}), {x + s / 2, y + s / 2}, 0, s); break;
        }
        items.push_back({p, shading, i % 4 == 3 || i % 5 == 0, 0.5 + rnd() * 2});
    }
    return items;
}

void BM_ThousandMixedPaths2x(benchmark::State& state) {
    const Size canvas{480, 592};
    RenderTarget target(canvas, 2);
    const Sizes sizes = state.range(0) == 0 ? Sizes::sprites : Sizes::large;
    std::vector<Item> items = makeScene(canvas, sizes);
    for (auto _ : state) {
        GraphicsContext ctx = target.context();
        ctx.fill(Path::rect({0, 0, canvas.width, canvas.height}), Color(0.1, 0.1, 0.12));
        for (const Item& it : items) {
            if (it.stroke) ctx.stroke(it.path, it.shading, StrokeStyle{.lineWidth = it.width, .lineCap = LineCap::round});
            else ctx.fill(it.path, it.shading);
        }
        benchmark::ClobberMemory();
    }
    state.SetLabel(sizes == Sizes::sprites ? "960x1184 px, sprite sizes" : "960x1184 px, large sizes");
}
BENCHMARK(BM_ThousandMixedPaths2x)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_BlurPixels480x592(benchmark::State& state) {
    Image layer = Image::create(480, 592);
    for (int y = 100; y < 500; ++y)
        for (int x = 100; x < 380; x += 7) layer.setPixel(x, y, Color(0.2, 0.5, 0.9, 1));
    const double sigma = static_cast<double>(state.range(0));
    for (auto _ : state) {
        gaussianBlur(layer.data(), layer.pixelWidth(), layer.pixelHeight(), layer.stride(), sigma);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlurPixels480x592)->Arg(4)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_BlurredLayer480x592(benchmark::State& state) {
    RenderTarget target({480, 592}, 1);
    for (auto _ : state) {
        GraphicsContext ctx = target.context();
        ctx.addFilter(Filter::blur(10));
        ctx.drawLayer([](GraphicsContext& l) {
            l.fill(Path::roundedRect({60, 60, 360, 472}, 28), Color(0.2, 0.5, 0.9, 0.8));
            l.fill(Path::circle({240, 296}, 120), Color(1, 0.8, 0.2, 1));
        });
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlurredLayer480x592)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ShadowedCards2x(benchmark::State& state) {
    // Twenty cards with their own drop shadows, as a settings tab draws them.
    RenderTarget target({480, 592}, 2);
    for (auto _ : state) {
        GraphicsContext ctx = target.context();
        for (int i = 0; i < 20; ++i) {
            GraphicsContext c = ctx;
            c.addFilter(Filter::shadow(Color(0, 0, 0, 0.3), 5, 0, 2));
            c.fill(Path::roundedRect({20 + (i % 4) * 110.0, 20 + (i / 4) * 110.0, 90, 80}, 10), Color::white(0.95));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShadowedCards2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_TextLayoutAndDraw(benchmark::State& state) {
    RenderTarget target({480, 592}, 2);
    for (auto _ : state) {
        GraphicsContext ctx = target.context();
        for (int i = 0; i < 20; ++i) {
            TextLayout t("Accessibility Needed for Window Raising", Font::system(13, FontWeight::semibold),
                         {.maxWidth = 200, .lineLimit = 1, .minimumScaleFactor = 0.88});
            ctx.draw(t, Point{10, 10 + i * 25.0}, Color::black());
        }
        benchmark::ClobberMemory();
    }
    state.SetLabel("20 one-line labels");
}
BENCHMARK(BM_TextLayoutAndDraw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One one-line label of mixed scripts (Latin, Arabic, Hebrew, Han) of the given length in bytes:
// the time stays flat however long the label grows.
void BM_LongMixedScriptLabel(benchmark::State& state) {
    const std::string unit = "Report \u0645\u0631\u062d\u0628\u0627 \u05e9\u05dc\u05d5\u05dd \u6f22\u5b57 ";
    std::string label;
    while (label.size() < static_cast<std::size_t>(state.range(0))) label += unit;
    for (auto _ : state) {
        TextLayout t(label, Font::system(13), {.maxWidth = 600, .lineLimit = 1, .minimumScaleFactor = 0.88});
        benchmark::DoNotOptimize(t.size());
    }
}
BENCHMARK(BM_LongMixedScriptLabel)->Arg(1 << 10)->Arg(1 << 16)->Arg(1 << 23)->Unit(benchmark::kMillisecond);

}  // namespace
