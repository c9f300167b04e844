#pragma once
// A path in the temporary directory that no other test process uses: ctest runs every case as
// its own process, many at once.

#include <unistd.h>

#include <cstdlib>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace quillmar::testing {

inline std::filesystem::path uniqueTempPath(const std::string& stem) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "quillmar-" + std::to_string(::getpid()) + "-" + (info ? info->name() : "none") + "-" + stem;
    return std::filesystem::temp_directory_path() / name;
}

}  // namespace quillmar::testing

namespace quillmar::testing {

// Where tests write images meant for a person to look at: $QUILLMAR_SNAPSHOT_DIR when set (for
// example `QUILLMAR_SNAPSHOT_DIR=out/snapshots ctest ...`), otherwise a private temporary folder.
inline std::filesystem::path snapshotDirectory(const std::string& group) {
    const char* chosen = std::getenv("QUILLMAR_SNAPSHOT_DIR");
    auto dir = chosen && *chosen ? std::filesystem::path(chosen) / group : uniqueTempPath(group);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace quillmar::testing
