// A whole-screen picture of maximised windows stacked on the same bounds, 100 per app, at 1x:
// only the front one shows, so the cost should barely grow with the count.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/demo/desktop_picture.h"
#include "bench_desktop.h"

namespace {

using namespace quillmar;

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
BENCHMARK(BM_StackedWindowsScreenPicture)->Arg(100)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
