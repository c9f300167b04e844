// Costs of keeping the settings in a file: a run over a 6 MB settings file (500,000 members) that
// changes a few or many settings at one instant of the main loop's clock (one save either way),
// and one that saves a hundred times a tenth of a second apart. Each run reads the file, makes
// its changes and ends; a save should cost about what writing the file costs.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/json_file_defaults_store.h"
#include "platform/user_defaults.h"
#include "runtime/main_loop.h"
#include "runtime/world.h"

namespace {

namespace fs = std::filesystem;
using quillmar::platform::JsonFileDefaultsStore;
using quillmar::platform::UserDefaults;
using quillmar::runtime::MainLoop;

// A settings file of 500,000 members (numbers, fractions, strings, flags), 6 MB, in a folder of
// the benchmark's own.
class LargeSettingsFile {
public:
    LargeSettingsFile() : dir_(fs::temp_directory_path() / ("quillmar-settings-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        std::string text = "{";
        char key[16];
        for (int i = 0; i < 500'000; ++i) {
            if (i) text += ',';
            std::snprintf(key, sizeof key, "\"%x\":", i);
            text += key;
            text += i % 4 == 0 ? std::to_string(i % 100) : i % 4 == 1 ? "2.5" : i % 4 == 2 ? "\"v\"" : "true";
        }
        text += '}';
        original_ = text;
        restore();
    }
    ~LargeSettingsFile() { fs::remove_all(dir_); }
    fs::path file() const { return dir_ / "settings.json"; }
    void restore() const { std::ofstream(file(), std::ios::binary | std::ios::trunc) << original_; }

private:
    fs::path dir_;
    std::string original_;
};

void stopOnFailedSave(benchmark::State& state, UserDefaults& defaults) {
    const auto& store = static_cast<const JsonFileDefaultsStore&>(defaults.store());
    if (store.failedSaves() || store.problem()) state.SkipWithError(store.firstSaveFailure().value_or("?").c_str());
}

// Reads the file, sets `changes` settings at one instant, ends the run.
void BM_ChangesAtOneInstant(benchmark::State& state) {
    quillmar::runtime::World::reset();
    const LargeSettingsFile settings;
    const auto changes = state.range(0);
    for (auto _ : state) {
        UserDefaults defaults(std::make_unique<JsonFileDefaultsStore>(settings.file()));
        for (long i = 0; i < changes; ++i) defaults.set("holdDurationMs", static_cast<double>(40 + 10 * (i % 47)));
        MainLoop::main().finishInstant();
        stopOnFailedSave(state, defaults);
    }
    state.SetItemsProcessed(state.iterations() * changes);
}
BENCHMARK(BM_ChangesAtOneInstant)->Arg(4)->Arg(400)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reads the file and saves `saves` times, a tenth of a second apart.
void BM_SavesATenthOfASecondApart(benchmark::State& state) {
    quillmar::runtime::World::reset();
    const LargeSettingsFile settings;
    const auto saves = state.range(0);
    for (auto _ : state) {
        UserDefaults defaults(std::make_unique<JsonFileDefaultsStore>(settings.file()));
        for (long i = 0; i < saves; ++i) {
            defaults.set("hudScale", 1.0 + static_cast<double>(i) / 100);
            MainLoop::main().advance(0.1);
        }
        stopOnFailedSave(state, defaults);
    }
    state.SetItemsProcessed(state.iterations() * saves);
}
BENCHMARK(BM_SavesATenthOfASecondApart)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
