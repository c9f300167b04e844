// Hostile scenarios and output names: every one is refused with the file and the reason before
// anything runs, and nothing is written outside the output folder.

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include <nlohmann/json.hpp>

#include "platform/atomic_file_calls.h"
#include "platform/json_nesting.h"
#include "platform/sim/event_log.h"
#include "platform/sim/scenario_loader.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/scenario_runner.h"
#include "support/file_size_limit.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform::sim {
namespace {

namespace fs = std::filesystem;

class HostileScenarioTest : public testing::FreshWorldTest {
protected:
    std::string problem(const std::string& text) {
        auto result = ScenarioLoader(runner.registry()).parse(text, "s.json");
        return result.scenario ? "" : result.error;
    }
    // "picture" writes a small file through the path it is given; "refused" is one the scenario's state does not allow.
    void registerPictureSteps() {
        runner.registry().registerStep("picture", [](ScenarioFields& f, StepContext* ctx) {
            auto file = f.string("file");
            if (!ctx || !file) return;
            ctx->writePicture("picture", *file, "a picture", [](const std::string& path, std::string* error) {
                std::ofstream png(path, std::ios::binary);
                png << "png";
                png.close();
                if (!png && error) *error = "not written";
                return static_cast<bool>(png);
            });
        });
        runner.registry().registerStep("refused", [](ScenarioFields& f, StepContext* ctx) {
            auto file = f.string("file");
            if (ctx && file) ctx->pictureUnavailable("picture", *file, "a refused picture", "the Switch Bar is not shown");
        });
    }
    static nlohmann::json lastLine(const std::string& log) {
        const auto start = log.rfind('\n', log.size() - 2);
        return nlohmann::json::parse(log.substr(start == std::string::npos ? 0 : start + 1));
    }
    ScenarioRunner runner;
};

TEST_F(HostileScenarioTest, DeepNestingAndHugeNumbersAreRefusedNotFatal) {
    const std::string deep = std::string(70'000, '[') + std::string(70'000, ']');
    EXPECT_EQ(problem("{\"apps\": [], \"x\": " + deep + "}").rfind("s.json: nests deeper than 200 levels (line 1", 0), 0u);
    // A step's value nested past the limit is refused the same way, wherever it sits.
    const std::string deepValue = std::string(50'000, '{') + std::string(50'000, '}');
    EXPECT_NE(problem(R"({"apps": [], "steps": [{"do": "note", "text": )" + deepValue + "}]}").find("nests deeper"),
              std::string::npos);
    // Brackets inside strings do not count.
    EXPECT_EQ(problem(R"({"apps": [], "description": ")" + std::string(500, '[') + "\"}"), "");
    EXPECT_EQ(problem(R"({"apps": [], "steps": [{"do": "advance", "seconds": 1e400}]})").rfind("s.json: not usable JSON", 0),
              0u);
    // Strings of tens of thousands of characters: a date (or its seconds' fraction) is refused
    // without overflowing anything, and no message echoes a hostile string whole.
    const std::string digits(30'000, '7');
    for (const std::string& date : {digits, "2025-06-02T10:00:00." + digits, "2025-06-02T10:00:" + digits}) {
        const std::string got = problem(R"({"apps": [], "date": ")" + date + "\"}");
        EXPECT_EQ(got.rfind("s.json: date: \"" + date.substr(0, 20), 0), 0u) << got.substr(0, 300);
        EXPECT_LT(got.size(), 400u);
        // The date is read cut to one byte beyond the longest date, and shown so.
        EXPECT_NE(got.find(date.substr(0, 65) + "\" is not a possible date"), std::string::npos) << got;
    }
    EXPECT_LT(problem(R"({"apps": [], "steps": [{"do": ")" + digits + "\"}]}").size(), 400u);
    EXPECT_LT(problem(R"({"apps": [], ")" + digits + "\": 1}").size(), 400u);
    EXPECT_TRUE(ScenarioLoader::parseLocalDate("2025-06-02T10:00:59." + std::string(44, '5'), "UTC"));  // 64 characters
    EXPECT_FALSE(ScenarioLoader::parseLocalDate("2025-06-02T10:00:59." + std::string(45, '5'), "UTC"));
    // Bounds are printed so that they read back as they are.
    EXPECT_EQ(problem(R"({"apps": [], "steps": [{"do": "advance", "seconds": 31622401}]})"),
              "s.json: steps[0].seconds: 31622401 is out of range 0...31622400");
}

TEST_F(HostileScenarioTest, OutputNamesStayInsideTheOutputFolder) {
    for (const char* bad : {"../x.png", "/tmp/x.png", "a/../../x.png", "", "shots/..", "index.html", "./index.html",
                            "index.html/x.png"}) {
        const std::string text = std::string(R"({"apps": [], "steps": [{"do": "snapshotSwitchBar", "file": ")") + bad +
                                 "\"}]}";
        // The Switch Bar's step is not registered in this bare runner: register a stand-in.
        runner.registry().registerStep("snapshotSwitchBar", [](ScenarioFields& f, StepContext*) { f.string("file"); });
        EXPECT_NE(problem(text).find("steps[0].file"), std::string::npos) << bad << ": " << problem(text);
    }
    EXPECT_FALSE(ScenarioLoader::outputNameProblem("shots/light/bar.png"));
    EXPECT_EQ(problem(R"({"apps": [], "steps": [{"do": "snapshotSwitchBar", "file": "index.html"}]})"),
              "s.json: steps[0].file: \"index.html\" is the index page's name");
    // A name over its bound is refused, never cut: cut, this one would end in "/..".
    const std::string overlong = "d/" + std::string(4091, 'x') + "/..yy";
    EXPECT_EQ(problem(R"({"apps": [], "steps": [{"do": "snapshotSwitchBar", "file": ")" + overlong + "\"}]}"),
              "s.json: steps[0].file: 4098 bytes; at most 4096 are allowed");

    // Even a name that slipped past the loader lands inside the folder.
    const quillmar::testing::ScratchFolder scratch;
    const auto dir = scratch / "out";
    StepContext ctx{SimDesktop::install(), EventLog::shared(), dir, "s.json"};
    EXPECT_EQ(ctx.outputPath("../../escape.png"), dir / "escape.png");
    EXPECT_EQ(ctx.outputPath("sub/ok.png"), dir / "sub/ok.png");
    EXPECT_FALSE(fs::exists(dir));  // naming a file creates nothing
    // A writer that fails is reported under the file's name, and leaves nothing.
    std::string error;
    const auto boom = [](const std::string& path, std::string* why) {
        std::ofstream(path) << "half";
        *why = "boom";
        return false;
    };
    EXPECT_FALSE(ctx.writeOutputFile("sub/x.png", boom, &error));
    EXPECT_EQ(error, "cannot write \"" + (dir / "sub/x.png").string() + "\": boom");
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
    // A hostile name is shown quoted, escaped and cut, wherever the message names it.
    const std::string hostile = "\x1b[2J\u202e" + std::string(100'000, 'n');
    EXPECT_FALSE(ctx.writeOutputFile("sub/" + hostile + "/x.png", boom, &error));
    EXPECT_LT(error.size(), 600u) << error.substr(0, 600);
    EXPECT_EQ(error.find('\x1b'), std::string::npos);
    EXPECT_EQ(error.find("\u202e"), std::string::npos);
    EXPECT_NE(error.find(": \"" + dir.string() + "/sub/\\u001b[2J\\u202e"), std::string::npos) << error.substr(0, 600);
}

TEST_F(HostileScenarioTest, WithoutProcAPictureSaysWhatIsMissing) {
    // In a child of its own mount namespace, /proc is taken away and one picture written.
    const quillmar::testing::ScratchFolder scratch;
    const auto dir = scratch / "out";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::umount2("/proc", MNT_DETACH) != 0)
            ::_exit(2);
        StepContext ctx{SimDesktop::install(), EventLog::shared(), dir, "s.json"};
        std::string error;
        const bool written = ctx.writeOutputFile("x.png", [](const std::string&, std::string*) { return true; }, &error);
        ::_exit(!written && error == "cannot write \"" + (dir / "x.png").string() +
                                         "\": /proc is not mounted (the picture writer reaches its temporary file "
                                         "through /proc/self/fd)" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "no mount namespace of its own for this test (needs root)";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(HostileScenarioTest, OnlyRegularFilesOfASaneSizeAreRead) {
    std::ostringstream out, err;
    // A scratch device node that reads zeros without end, and a link to it.
    const quillmar::testing::ScratchFolder scratch;
    const auto zero = scratch / "zero.json", link = scratch / "link.json";
    if (::mknod(zero.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0) {
        fs::create_symlink(zero, link);
        for (const auto& name : {zero, link}) {
            err.str("");
            EXPECT_EQ(runner.run(name.string(), {}, out, err), ScenarioRunner::kExitBadInput);
            const std::string kind = name == zero ? "a character device" : "a symbolic link";
            EXPECT_NE(err.str().find(name.string() + ": is " + kind + ", not a regular file"), std::string::npos) << err.str();
        }
    }

    const auto fifo = scratch / "pipe.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    err.str("");
    EXPECT_EQ(runner.run(fifo.string(), {}, out, err), ScenarioRunner::kExitBadInput);  // does not block
    EXPECT_NE(err.str().find(fifo.string() + ": is a FIFO, not a regular file"), std::string::npos) << err.str();

    const auto big = scratch / "big.json";
    {
        std::ofstream f(big);
        f << "{\"apps\": [], \"description\": \"" << std::string(ScenarioLoader::kMaxFileBytes, 'x') << "\"}";
    }
    err.str("");
    EXPECT_EQ(runner.run(big.string(), {}, out, err), ScenarioRunner::kExitBadInput);
    EXPECT_NE(err.str().find("a scenario may have at most"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
}

TEST_F(HostileScenarioTest, AFailureToWriteToDiskFailsTheRunButAPictureTheScenarioRefusesDoesNot) {
    registerPictureSteps();
    const quillmar::testing::ScratchFolder scratch;
    const auto scenario = scratch / "s.json";
    std::ofstream(scenario) << R"({"apps": [], "steps": [{"do": "picture", "file": "a.png"},
                                                          {"do": "refused", "file": "b.png"}]})";

    const auto dir = scratch / "out";
    std::ostringstream out, err;
    EXPECT_EQ(runner.run(scenario.string(), dir, out, err), ScenarioRunner::kExitOk) << err.str();
    EXPECT_EQ(err.str(), "");
    auto summary = lastLine(out.str());
    EXPECT_EQ(summary["event"], "runFinished");
    EXPECT_EQ(summary["picturesWritten"], 1);
    EXPECT_EQ(summary["picturesFailed"], 0);
    EXPECT_EQ(summary["picturesRefused"], 1);
    EXPECT_EQ(summary["otherFilesFailed"], 0);
    EXPECT_EQ(summary["indexPage"], (dir / "index.html").string());
    fs::remove_all(dir);

    // --out naming a regular file: neither the picture nor the index page can be written.
    std::ofstream(dir) << "not a folder";
    runtime::World::reset();
    out.str("");
    EXPECT_EQ(runner.run(scenario.string(), dir, out, err), ScenarioRunner::kExitWriteFailed);
    const std::string why = "\"" + dir.string() + "\" is a regular file, not a folder";
    EXPECT_NE(err.str().find("quillmar: 1 picture could not be written (cannot write \"" + (dir / "a.png").string() +
                             "\": " + why + ")"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("quillmar: cannot write \"" + (dir / "index.html").string() + "\": " + why),
              std::string::npos)
        << err.str();
    summary = lastLine(out.str());
    EXPECT_EQ(summary["picturesWritten"], 0);
    EXPECT_EQ(summary["picturesFailed"], 1);
    EXPECT_EQ(summary["picturesRefused"], 1);
    EXPECT_TRUE(summary["indexPage"].is_null());
}

TEST_F(HostileScenarioTest, LinksAndFifosPlantedInTheOutputFolderAreReplacedNeverFollowed) {
    registerPictureSteps();
    const quillmar::testing::ScratchFolder root("planted");
    const auto dir = root / "out", victim = root / "victim";
    fs::create_directories(dir);
    fs::create_directories(victim);
    std::ofstream(victim / "precious") << "precious";
    fs::create_symlink(victim / "precious", dir / "index.html");
    fs::create_symlink(victim / "precious", dir / "a.png");
    ASSERT_EQ(::mkfifo((dir / "b.png").c_str(), 0600), 0);
    fs::create_symlink(victim, dir / "shots");
    std::ofstream(root / "s.json") << R"({"apps": [], "steps": [{"do": "picture", "file": "a.png"},
        {"do": "picture", "file": "b.png"}, {"do": "picture", "file": "shots/d.png"}]})";
    std::ostringstream out, err;
    EXPECT_EQ(runner.run((root / "s.json").string(), dir, out, err), ScenarioRunner::kExitWriteFailed);
    EXPECT_NE(err.str().find("(cannot write \"" + (dir / "shots/d.png").string() + "\": \"" + (dir / "shots").string() +
                             "\" is a symbolic link, not a folder)"),
              std::string::npos)
        << err.str();
    for (const char* name : {"index.html", "a.png", "b.png"})  // a FIFO did not block
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / name))) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(victim), {}), 1);
    EXPECT_EQ(fs::file_size(victim / "precious"), 8u);  // "precious", not "png"
    // Nothing else is left in the folder: no temporary file, no tmp/ folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 4);
}

TEST_F(HostileScenarioTest, SettingsThatWillNotBeKeptFailTheRunWhateverTheCause) {
    // The settings file's lock lies beside it: in the scratch folder, removed with it.
    const quillmar::testing::ScratchFolder scratch;
    const auto scenario = scratch / "s.json";
    std::ofstream(scenario) << R"({"apps": [], "settings": {"fingerCount": 4}})";
    const auto fifo = scratch / "prefs.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto large = scratch / "large.json";
    std::ofstream(large) << "{\"pad\":\"" << std::string(kMaxJsonFileBytes, 'x') << "\"}";
    // A run that changes the settings counts the save it could not make; one that does not fails all the same.
    for (const auto& [file, why, saves] : {std::tuple{fifo, std::string(" is a FIFO"), 1}, {large, " is 8388618 bytes", 0}}) {
        if (saves == 0) std::ofstream(scenario) << R"({"apps": []})";
        runtime::World::reset();
        ScenarioRunner fresh;
        const std::string scenarioName = scenario.string(), fileName = file.string();
        const char* argv[] = {"quillmar", scenarioName.c_str(), "--defaults", fileName.c_str()};
        std::ostringstream out, err;
        EXPECT_EQ(fresh.main(4, argv, out, err), ScenarioRunner::kExitWriteFailed);  // does not block, runs on
        const std::string said = err.str();
        EXPECT_EQ(said.rfind("quillmar: settings will not be kept: " + fileName + why, 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        const std::string log = out.str();
        const auto summary = nlohmann::json::parse(log.substr(log.rfind('\n', log.size() - 2) + 1));
        EXPECT_EQ(summary["settingsSavesFailed"], saves);
        EXPECT_FALSE(fs::exists(fileName + ".unreadable"));
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(fs::file_size(large), kMaxJsonFileBytes + 10);
}

TEST_F(HostileScenarioTest, MissingSettingsFoldersAreMadeAndAFailedSaveIsReported) {
    const quillmar::testing::ScratchFolder scratch;
    const auto scenario = scratch / "s.json";
    std::ofstream(scenario) << R"({"apps": [], "settings": {"fingerCount": 4}})";
    const auto home = scratch / "home";
    const auto prefs = home / "missing" / "prefs.json";
    const std::string scenarioName = scenario.string(), prefsName = prefs.string();
    const char* argv[] = {"quillmar", scenarioName.c_str(), "--defaults", prefsName.c_str()};
    std::ostringstream out, err;
    EXPECT_EQ(runner.main(4, argv, out, err), ScenarioRunner::kExitOk);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(nlohmann::json::parse(std::ifstream(prefs))["fingerCount"], 4);

    // Saves that fail part-way (a full disk): said once, counted, and the run fails.
    std::ofstream(scenario) << R"({"apps": [], "settings": {"fingerCount": 5, "hudScale": 2}})";
    runtime::World::reset();
    out.str("");
    int status = 0;
    {
        quillmar::testing::FileSizeLimit full(8);
        status = runner.run(scenarioName, {}, out, err);
    }
    EXPECT_EQ(status, ScenarioRunner::kExitWriteFailed);
    EXPECT_EQ(err.str(), "quillmar: settings will not be kept: cannot write " + prefsName + ": " + std::strerror(EFBIG) + "\n");
    const std::string log = out.str();
    const auto summary = nlohmann::json::parse(log.substr(log.rfind('\n', log.size() - 2) + 1));
    EXPECT_EQ(summary["settingsSavesFailed"], 2);  // the section is one change, tried again as the run ends
    EXPECT_EQ(nlohmann::json::parse(std::ifstream(prefs))["fingerCount"], 4);

    // A damaged file moved aside is said, with what was kept; the run goes on and succeeds.
    std::ofstream(prefs) << R"({"fingerCount": 6, "hudSc)";
    std::ofstream(scenario) << R"({"apps": []})";
    runtime::World::reset();
    err.str("");
    ScenarioRunner fresh;
    EXPECT_EQ(fresh.main(4, argv, out, err), ScenarioRunner::kExitOk);
    EXPECT_EQ(err.str(), "quillmar: settings recovered: " + prefsName + " was damaged: moved aside as " + prefsName +
                             ".unreadable; 1 setting read from it is kept\n");
    EXPECT_EQ(nlohmann::json::parse(std::ifstream(prefs))["fingerCount"], 6);

    // Its write-back failing, the damaged file stays as it is, the line says so, and the run fails.
    std::ofstream(prefs) << R"({"fingerCount": 7, "hudSc)";
    runtime::World::reset();
    err.str("");
    {
        quillmar::testing::FileSizeLimit full(8);
        ScenarioRunner again;
        EXPECT_EQ(again.main(4, argv, out, err), ScenarioRunner::kExitWriteFailed);
    }
    EXPECT_EQ(err.str(), "quillmar: settings recovered: " + prefsName + " is damaged: it stays as it is until a save can "
                             "put the 1 setting read from it in its place (tried again at the next save)\n"
                             "quillmar: settings not saved yet (tried again at the next save): cannot write " +
                             prefsName + ": " + std::strerror(EFBIG) +
                             "\nquillmar: settings will not be kept: cannot write " + prefsName + ": " +
                             std::strerror(EFBIG) + "\n");
    EXPECT_FALSE(fs::exists(prefsName + ".unreadable-2"));

    // A save that fails and is made good by a later one is said as tried again, and so is the
    // damaged file that save puts aside; the run succeeds. Saves that fail later for another reason
    // say it once, and the last line names what kept the last change out.
    static std::vector<int> failures;
    detail::AtomicFileCallsOverride restore;
    detail::atomicFileCalls.fsync = [](int fd) {
        const int error = failures.empty() ? 0 : failures.front();
        if (!failures.empty()) failures.erase(failures.begin());
        if (!error) return ::fsync(fd);
        errno = error;
        return -1;
    };
    std::ofstream(scenario) << R"({"apps": [], "steps": [{"do": "setDefault", "key": "a", "value": 1},
        {"do": "advance", "seconds": 0.1}, {"do": "setDefault", "key": "b", "value": 2},
        {"do": "advance", "seconds": 0.1}, {"do": "setDefault", "key": "c", "value": 3},
        {"do": "advance", "seconds": 0.1}, {"do": "setDefault", "key": "d", "value": 4}]})";
    const std::string retried = "quillmar: settings not saved yet (tried again at the next save): cannot write " + prefsName + ": ";
    for (const auto& [fsyncs, status, said] :
         {std::tuple{std::vector<int>{ENOSPC}, ScenarioRunner::kExitOk,
                     "quillmar: settings recovered: " + prefsName + " is damaged: it stays as it is until a save can put "
                     "the 1 setting read from it in its place (tried again at the next save)\n" + retried +
                         std::strerror(ENOSPC) + "\nquillmar: settings recovered: " + prefsName + " was damaged: moved aside as " +
                         prefsName + ".unreadable-2; 1 setting read from it is kept\n"},
          {{ENOSPC, 0, 0, EIO, EIO, EIO}, ScenarioRunner::kExitWriteFailed,  // the last at the run's end
           retried + std::strerror(ENOSPC) + "\n" + retried + std::strerror(EIO) +
               "\nquillmar: settings will not be kept: cannot write " + prefsName + ": " + std::strerror(EIO) + "\n"}}) {
        runtime::World::reset();
        err.str("");
        failures = fsyncs;
        ScenarioRunner later;
        EXPECT_EQ(later.main(4, argv, out, err), status);
        EXPECT_EQ(err.str(), said);
    }
    const auto saved = nlohmann::json::parse(std::ifstream(prefs));
    EXPECT_EQ(saved["a"], 1);
    EXPECT_EQ(saved["fingerCount"], 7);
}

// A damaged file found while its lock cannot be had, in a run with nothing to save: the run's
// end tries the replacement once more, and a lock to be had by then keeps it.
TEST_F(HostileScenarioTest, ADamagedFileWaitingForTheLockIsReplacedAtTheRunsEnd) {
    const quillmar::testing::ScratchFolder scratch;
    const auto scenario = scratch / "s.json", prefs = scratch / "prefs.json", lock = scratch / "prefs.json.lock";
    std::ofstream(scenario) << R"({"apps": [], "steps": [{"do": "advance", "seconds": 1}, {"do": "mend"}]})";
    std::ofstream(prefs) << R"({"fingerCount": 4, "hudSc)";
    std::ofstream(lock) << "not a lock";  // refused at once, not waited for
    static fs::path lockName;
    lockName = lock;
    runner.registry().registerStep("mend", [](ScenarioFields&, StepContext* ctx) {
        if (ctx) fs::remove(lockName);
    });
    const std::string scenarioName = scenario.string(), prefsName = prefs.string();
    const char* argv[] = {"quillmar", scenarioName.c_str(), "--defaults", prefsName.c_str()};
    std::ostringstream out, err;
    EXPECT_EQ(runner.main(4, argv, out, err), ScenarioRunner::kExitOk) << err.str();
    EXPECT_NE(err.str().find("moved aside as " + prefsName + ".unreadable; 1 setting read from it is kept\n"), std::string::npos)
        << err.str();
    EXPECT_EQ(nlohmann::json::parse(std::ifstream(prefs))["fingerCount"], 4);
}

// A save that fails and is made good later in each of two scenarios of one run: the reason is
// said once, and the run succeeds.
TEST_F(HostileScenarioTest, AReasonASaveFailedForIsSaidOnceOverTheRunsScenarios) {
    const quillmar::testing::ScratchFolder scratch;
    const auto scenario = scratch / "s.json", prefs = scratch / "prefs.json";
    std::ofstream(scenario) << R"({"apps": [], "steps": [{"do": "full"}, {"do": "setDefault", "key": "a", "value": 1},
        {"do": "advance", "seconds": 0.1}, {"do": "free"}, {"do": "setDefault", "key": "b", "value": 2},
        {"do": "advance", "seconds": 0.1}]})";
    static bool full = false;
    runner.registry().registerStep("full", [](ScenarioFields&, StepContext* ctx) { full = ctx != nullptr; });
    runner.registry().registerStep("free", [](ScenarioFields&, StepContext*) { full = false; });
    detail::AtomicFileCallsOverride restore;
    detail::atomicFileCalls.fsync = [](int fd) { return full ? (errno = ENOSPC, -1) : ::fsync(fd); };
    const std::string scenarioName = scenario.string(), prefsName = prefs.string();
    const char* argv[] = {"quillmar", scenarioName.c_str(), scenarioName.c_str(), "--defaults", prefsName.c_str()};
    std::ostringstream out, err;
    EXPECT_EQ(runner.main(5, argv, out, err), ScenarioRunner::kExitOk);
    EXPECT_EQ(err.str(), "quillmar: settings not saved yet (tried again at the next save): cannot write " + prefsName +
                             ": " + std::strerror(ENOSPC) + "\n");
    EXPECT_EQ(lastLine(out.str())["settingsSavesFailed"], 2);
}

}  // namespace
}  // namespace quillmar::platform::sim
