#pragma once
// A path in the temporary directory that no other test process uses: ctest runs every case as
// its own process, many at once.

#include <unistd.h>

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
