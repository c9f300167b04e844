// Whole-screen pictures at 1x. Maximised windows stacked on the same bounds, 100 per app: only the
// front one shows, so the cost should barely grow with the count. Windows of one size stacked a
// hair (0.0001 pt) apart: every one casts a shadow, from one blur between them, but a body is drawn
// for every sliver of a pixel they spread over, not for each: at most about three times the cost
// of one window.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/demo/desktop_picture.h"
#include "bench_desktop.h"

namespace {

using namespace quillmar;

// Writes the screen's picture into a scratch folder once an iteration.
void writeScreenPictures(benchmark::State& state, const platform::sim::SimDesktop& desktop) {
    std::string folder = (std::filesystem::temp_directory_path() / "quillmar-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const std::string file = folder + "/screen.png";
    for (auto _ : state) {
        std::string error;
        if (!DesktopPicture::writePng(desktop, desktop.screens().front(), nullptr, 1.0, file, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::filesystem::remove_all(folder);
}

void BM_StackedWindowsScreenPicture(benchmark::State& state) {
    auto& desktop = bench::setUpBenchDesktop(0);
    const auto windows = static_cast<int>(state.range(0));
    for (int i = 0; i < windows; ++i) {
        if (i % 100 == 0) {
            platform::sim::SimApp app;
            app.localizedName = "App " + std::to_string(i / 100 + 1);
            desktop.setFrontmost(desktop.addApp(std::move(app)).pid);
        }
        platform::sim::SimWindow w;
        w.ownerPid = *desktop.frontmostPid();
        w.bounds = {0, 25, 1440, 875};
        desktop.addWindow(std::move(w));
    }
    writeScreenPictures(state, desktop);
}
BENCHMARK(BM_StackedWindowsScreenPicture)->Arg(100)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_NearlyStackedWindowsScreenPicture(benchmark::State& state) {
    auto& desktop = bench::setUpBenchDesktop(0);
    platform::sim::SimApp app;
    app.localizedName = "App";
    desktop.setFrontmost(desktop.addApp(std::move(app)).pid);
    for (int i = 0; i < state.range(0); ++i) {
        platform::sim::SimWindow w;
        w.ownerPid = *desktop.frontmostPid();
        w.bounds = {100 + i * 0.0001, 100 + i * 0.0001, 800, 600};
        desktop.addWindow(std::move(w));
    }
    writeScreenPictures(state, desktop);
}
BENCHMARK(BM_NearlyStackedWindowsScreenPicture)->Arg(1)->Arg(250)->Unit(benchmark::kMillisecond);

}  // namespace
