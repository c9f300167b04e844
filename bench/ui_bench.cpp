// The view layer on a tree of about 300 nodes (a list of 20 rows like the Switch Bar's vertical
// list): evaluating, laying out and rendering it at 2x from scratch, rendering alone,
// re-evaluating it unchanged (equal rows are skipped), and one selection step (two rows change).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "runtime/main_loop.h"
#include "runtime/published.h"
#include "runtime/world.h"
#include "ui/ui.h"

namespace ui = quillmar::ui;
namespace gfx = quillmar::gfx;
using ui::Color;
using ui::View;

namespace {

struct ListModel : quillmar::runtime::ObservableObject {
    quillmar::runtime::Published<int> selected{0, this};
    quillmar::runtime::Published<int> revision{0, this};
};

struct Row {
    int index;
    bool isSelected;
    bool operator==(const Row& o) const { return index == o.index && isSelected == o.isSelected; }

    View body() const {
        const std::string title = "Window title number " + std::to_string(index);
        return ui::HStack(10, {ui::RoundedRectangle(5)
                                   .fill(Color::rgb(0.2 + 0.03 * (index % 10), 0.5, 0.9))
                                   .frame(24, 24)
                                   .opacity(isSelected ? 1.0 : 0.9)
                                   .saturation(index % 3 == 0 ? 0.82 : 1.0),
                               ui::Text(title)
                                   .font(gfx::Font::system(13, isSelected ? gfx::FontWeight::semibold : gfx::FontWeight::regular))
                                   .foregroundColor(Color::white(1, isSelected ? 0.98 : 0.84))
                                   .lineLimit(1),
                               ui::Spacer(),
                               ui::Text("App " + std::to_string(index % 7))
                                   .font(gfx::Font::system(11.5))
                                   .foregroundColor(Color::white(1, 0.42))
                                   .lineLimit(1)
                                   .layoutPriority(1)})
            .padding(ui::Edges::horizontal(), 10)
            .frame(std::nullopt, 32);
    }
};

struct List {
    ListModel* model;
    ui::Namespace ns{};
    View body() const {
        ui::observe(*model);
        std::vector<int> rows;
        for (int i = 0; i < 20; ++i) rows.push_back(i);
        return ui::VStack(1, {ui::ForEach(rows, [](int i) { return i; },
                                          [&](int i) {
                                              const bool sel = i == model->selected.get();
                                              return View(Row{i, sel})
                                                  .background(ui::when(sel, ui::RoundedRectangle(8)
                                                                                .fill(Color::white(1, 0.2))
                                                                                .overlay(ui::RoundedRectangle(8).strokeBorder(Color::white(1, 0.28), 0.75))
                                                                                .matchedGeometryEffect("highlight", ns)))
                                                  .contentShape(ui::Rectangle())
                                                  .accessibilityElement()
                                                  .accessibilityLabel("Row " + std::to_string(i));
                                          })})
            .animation(ui::Animation::spring(0.17, 0.88, 0.03), model->selected.get())
            .padding(8)
            .frame(420)
            .background(ui::RoundedRectangle(18).fill(Color::rgb(0.1, 0.11, 0.13).opacity(0.96)))
            .clipShape(ui::RoundedRectangle(18));
    }
};

constexpr ui::Size kSize{420, 680};

void BM_EvaluateLayoutRender2x(benchmark::State& state) {
    quillmar::runtime::World::reset();
    ListModel model;
    for (auto _ : state) {
        ui::HostingView host(List{&model}, kSize);
        auto image = host.renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_EvaluateLayoutRender2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Render2x(benchmark::State& state) {
    quillmar::runtime::World::reset();
    ListModel model;
    ui::HostingView host(List{&model}, kSize);
    host.layoutIfNeeded();
    for (auto _ : state) {
        auto image = host.renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_Render2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ReevaluateUnchanged(benchmark::State& state) {
    quillmar::runtime::World::reset();
    ListModel model;
    ui::HostingView host(List{&model}, kSize);
    host.layoutIfNeeded();
    const auto before = host.bodyEvaluationCount();
    std::int64_t updates = 0;
    for (auto _ : state) {
        model.revision = model.revision.get();  // announces a change that changes nothing
        host.layoutIfNeeded();
        ++updates;
    }
    // Only the list's own body runs; the 20 equal rows are skipped.
    state.counters["bodies_per_update"] =
        static_cast<double>(host.bodyEvaluationCount() - before) / static_cast<double>(std::max<std::int64_t>(1, updates));
}
BENCHMARK(BM_ReevaluateUnchanged)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SelectionStepAndRender2x(benchmark::State& state) {
    quillmar::runtime::World::reset();
    ListModel model;
    ui::HostingView host(List{&model}, kSize);
    host.layoutIfNeeded();
    int i = 0;
    for (auto _ : state) {
        model.selected = (++i) % 20;
        auto image = host.renderImage(2.0);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_SelectionStepAndRender2x)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
