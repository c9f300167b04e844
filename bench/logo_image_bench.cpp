// The logo's costs: a cache hit (what every status-item and About-card redraw pays) and drawing
// the badge and the glyph into pixels at their common sizes.
#include <benchmark/benchmark.h>

#include "brand/logo_image.h"

namespace {

using quillmar::LogoImage;

void BM_LogoCacheHit(benchmark::State& state) {
    LogoImage::makeAppIcon(128, false);
    for (auto _ : state) benchmark::DoNotOptimize(LogoImage::makeAppIcon(128, false));
}
BENCHMARK(BM_LogoCacheHit);

void BM_BadgeRasterize(benchmark::State& state) {
    const double size = static_cast<double>(state.range(0));
    auto image = LogoImage::makeAppIcon(size, true);
    for (auto _ : state) benchmark::DoNotOptimize(image->rasterize(2.0));
}
BENCHMARK(BM_BadgeRasterize)->Arg(16)->Arg(128)->Arg(512)->Unit(benchmark::kMicrosecond);

void BM_MenuGlyphRasterize(benchmark::State& state) {
    auto image = LogoImage::makeMenuBarIcon(18);
    for (auto _ : state) benchmark::DoNotOptimize(image->rasterize(2.0));
}
BENCHMARK(BM_MenuGlyphRasterize)->Unit(benchmark::kMicrosecond);

}  // namespace
