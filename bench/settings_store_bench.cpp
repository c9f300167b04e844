// Costs of keeping the settings in a file: a run over a 6 MB settings file (500,000 members) that
// changes a few or many settings at one instant of the main loop's clock (one save either way),
// and one that saves a hundred times a tenth of a second apart, with every write failing or not.
// Each run reads the file, makes its changes and ends; a save should cost about what writing the
// file costs, and a failed one no more. On a file of 772,328 tiny members (8,384,499 bytes), a
// save that must first read another run's write should cost a few saves that need not; and with
// that file found cut off at a save whose write fails, a failing save costs about what a save
// does, whatever then stands at the name, and where the damaged file's bytes are copied, no more.

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file_calls.h"
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
    // tiny: 772,328 members "0":0,"1":0,... instead.
    explicit LargeSettingsFile(bool tiny = false)
        : dir_(fs::temp_directory_path() / ("quillmar-settings-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        std::string text = "{";
        char key[16];
        for (int i = 0; i < (tiny ? 772'328 : 500'000); ++i) {
            if (i) text += ',';
            std::snprintf(key, sizeof key, tiny ? "\"%d\":" : "\"%x\":", i);
            text += key;
            text += tiny ? "0" : i % 4 == 0 ? std::to_string(i % 100) : i % 4 == 1 ? "2.5" : i % 4 == 2 ? "\"v\"" : "true";
        }
        text += '}';
        original_ = text;
        restore();
    }
    ~LargeSettingsFile() { fs::remove_all(dir_); }
    fs::path file() const { return dir_ / "settings.json"; }
    // The file as made, or cut off before its last member ends.
    void restore(bool cut = false) const {
        std::ofstream(file(), std::ios::binary | std::ios::trunc) << (cut ? original_.substr(0, original_.size() - 3) : original_);
    }
    fs::path folder() const { return dir_; }

private:
    fs::path dir_;
    std::string original_;
};

// While it lives, every write fails once the file is written in full: the disk gives out at the flush.
class FlushesFail {
public:
    FlushesFail() {
        quillmar::platform::detail::atomicFileCalls.fsync = [](int) {
            errno = EIO;
            return -1;
        };
    }

private:
    quillmar::platform::detail::AtomicFileCallsOverride restore_;
};

void stopOnFailedSave(benchmark::State& state, UserDefaults& defaults) {
    const auto& store = static_cast<const JsonFileDefaultsStore&>(defaults.store());
    if (store.failedSaves() || store.problem()) state.SkipWithError(store.lastSaveFailure().value_or("?").c_str());
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

// The same saves with every write failing once the file is written in full (the disk gives out
// at the flush): each is counted and costs no more than one that succeeds.
void BM_FailedSavesATenthOfASecondApart(benchmark::State& state) {
    quillmar::runtime::World::reset();
    const LargeSettingsFile settings;
    const auto saves = state.range(0);
    const FlushesFail failing;
    for (auto _ : state) {
        UserDefaults defaults(std::make_unique<JsonFileDefaultsStore>(settings.file()));
        for (long i = 0; i < saves; ++i) {
            defaults.set("hudScale", 1.0 + static_cast<double>(i) / 100);
            MainLoop::main().advance(0.1);
        }
        const auto& store = static_cast<const JsonFileDefaultsStore&>(defaults.store());
        if (store.failedSaves() != saves) state.SkipWithError("the saves did not fail");
    }
    state.SetItemsProcessed(state.iterations() * saves);
}
BENCHMARK(BM_FailedSavesATenthOfASecondApart)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The file of tiny members found cut off by a run's first save, which fails: at the flush (the
// damaged file then stays at its name, is removed, or another file is put there before the other
// 99 saves, which fail at the flush too), or because what was read with the changes would pass
// what a settings file holds. A save that cannot be written should cost about what a save costs,
// whatever stands at the name.
// copiedBytesStay: the damaged file cannot be linked (another account's, say) and its replacement
// cannot be renamed over it: each save fails at the rename, the copy of its bytes the first made
// used again, not written anew.
enum class AfterTheFirstSave { damagedFileStays, nothingAtTheName, anotherFile, tooLarge, copiedBytesStay };

// While it lives, the damaged file's links are refused and so is every rename over the settings file.
class CopyButNoReplacement {
public:
    CopyButNoReplacement() {
        auto& calls = quillmar::platform::detail::atomicFileCalls;
        calls.linkat = [](int fromDir, const char* from, int toDir, const char* to, int flags) {
            struct stat st {};
            if (::stat(from, &st) == 0 && st.st_ino == inode) return errno = EPERM, -1;
            return ::linkat(fromDir, from, toDir, to, flags);
        };
        calls.renameat2 = [](int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
            if (std::string_view(to) == "settings.json") return errno = EPERM, -1;
            return ::renameat2(fromDir, from, toDir, to, flags);
        };
    }
    static inline ino_t inode = 0;  // the damaged file's

private:
    quillmar::platform::detail::AtomicFileCallsOverride restore_;
};

void BM_FailedSavesAfterADamagedFile(benchmark::State& state, AfterTheFirstSave after) {
    quillmar::runtime::World::reset();
    const LargeSettingsFile settings(/*tiny=*/true);
    const auto saves = 100;
    std::optional<FlushesFail> failing;
    std::optional<CopyButNoReplacement> refused;
    if (after == AfterTheFirstSave::copiedBytesStay) refused.emplace();
    else if (after != AfterTheFirstSave::tooLarge) failing.emplace();
    const std::string large(after == AfterTheFirstSave::tooLarge ? 8000 : 8, 'x');
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(settings.file());
        JsonFileDefaultsStore store(settings.file());
        store.load();
        fs::remove(settings.folder() / "settings.json.unreadable");
        settings.restore(/*cut=*/true);
        struct stat st {};
        ::stat(settings.file().c_str(), &st);
        CopyButNoReplacement::inode = st.st_ino;
        store.save({{"first", large}}, {"first"});
        if (after == AfterTheFirstSave::nothingAtTheName) fs::remove(settings.file());
        if (after == AfterTheFirstSave::anotherFile) std::ofstream(settings.file()) << R"({"other":1})";
        state.ResumeTiming();
        for (long i = 1; i < saves; ++i) store.save({{"hudScale", i}}, {"hudScale"});
        const bool copied = after == AfterTheFirstSave::copiedBytesStay;
        if (store.failedSaves() != saves || fs::exists(settings.folder() / "settings.json.unreadable") != copied ||
            fs::exists(settings.folder() / "settings.json.unreadable-2"))
            state.SkipWithError("the saves did not fail, or not with one copy");
    }
    state.SetItemsProcessed(state.iterations() * (saves - 1));
}
BENCHMARK_CAPTURE(BM_FailedSavesAfterADamagedFile, damagedFileStays, AfterTheFirstSave::damagedFileStays)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_FailedSavesAfterADamagedFile, nothingAtTheName, AfterTheFirstSave::nothingAtTheName)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_FailedSavesAfterADamagedFile, anotherFile, AfterTheFirstSave::anotherFile)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_FailedSavesAfterADamagedFile, tooLarge, AfterTheFirstSave::tooLarge)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_FailedSavesAfterADamagedFile, copiedBytesStay, AfterTheFirstSave::copiedBytesStay)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// One save of a run that shares the file of tiny members: after another run saved (so the file
// must be read again first; the other run's save is not timed), or after its own.
void BM_SaveOnASharedFileOfTinyMembers(benchmark::State& state) {
    quillmar::runtime::World::reset();
    const LargeSettingsFile settings(/*tiny=*/true);
    const bool afterAnother = state.range(0) != 0;
    JsonFileDefaultsStore mine(settings.file()), other(settings.file());
    mine.load();
    other.load();
    long i = 0;
    for (auto _ : state) {
        ++i;
        if (afterAnother) {
            state.PauseTiming();
            other.save({{"other", i}}, {"other"});
            state.ResumeTiming();
        }
        mine.save({{"mine", i}}, {"mine"});
    }
    if (mine.failedSaves() || other.failedSaves()) state.SkipWithError(mine.lastSaveFailure().value_or("?").c_str());
}
BENCHMARK(BM_SaveOnASharedFileOfTinyMembers)->ArgName("afterAnotherRun")->Arg(0)->Arg(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
