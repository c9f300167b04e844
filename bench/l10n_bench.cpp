// Interface texts are read on every redraw of the settings window and every opening of the
// status menu: the cost of a plain entry and of one with an argument.
#include <benchmark/benchmark.h>

#include "localization/app_language.h"
#include "localization/l10n.h"

namespace {

using quillmar::L10n;

void BM_L10nPlainEntry(benchmark::State& state) {
    quillmar::AppLanguage::current();
    for (auto _ : state) benchmark::DoNotOptimize(L10n::menuAppearanceDarkGlass());
}
BENCHMARK(BM_L10nPlainEntry);

void BM_L10nEntryWithArgument(benchmark::State& state) {
    quillmar::AppLanguage::current();
    for (auto _ : state) benchmark::DoNotOptimize(L10n::menuStatusActive(L10n::menuFingerExact(4)));
}
BENCHMARK(BM_L10nEntryWithArgument);

}  // namespace
