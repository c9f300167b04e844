#pragma once
// A path in the temporary directory that no other test process uses: ctest runs every case as
// its own process, many at once.

#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

namespace quillmar::testing {

inline std::filesystem::path uniqueTempPath(const std::string& stem) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quillmar-" + std::to_string(::getpid()) + "-" + (info ? info->name() : "none") + "-" + stem;
    return std::filesystem::temp_directory_path() / name;
}

// A folder of the test's own in the temporary directory, made empty on construction and removed
// with everything in it on destruction.
//
//   ScratchFolder out("pictures");
//   runner.run("scenarios/demo.json", out.path(), log, errors);
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& stem = "scratch") : path_(uniqueTempPath(stem)) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Where tests write images meant for a person to look at: $QUILLMAR_SNAPSHOT_DIR when set (for
// example `QUILLMAR_SNAPSHOT_DIR=out/snapshots ctest ...`), otherwise a private temporary folder
// that is removed when the test program ends.
inline std::filesystem::path snapshotDirectory(const std::string& group) {
    const char* chosen = std::getenv("QUILLMAR_SNAPSHOT_DIR");
    if (chosen && *chosen) {
        auto dir = std::filesystem::path(chosen) / group;
        std::filesystem::create_directories(dir);
        return dir;
    }
    static std::map<std::string, std::unique_ptr<ScratchFolder>> folders;
    auto& folder = folders[uniqueTempPath(group).string()];
    if (!folder) folder = std::make_unique<ScratchFolder>(group);
    return folder->path();
}

}  // namespace quillmar::testing
