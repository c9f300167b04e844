// The /proc process table: the executable link read by its returned length, the parent read
// after the last ")" of the stat line, and every short or odd read refused.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/proc_process_info.h"
#include "support/temp_path.h"

namespace quillmar::testing {
namespace {

using platform::ProcProcessInfo;

TEST(ProcProcessInfo, ParentIsReadAfterTheLastParenthesis) {
    struct Case {
        const char* line;
        std::optional<std::int32_t> parent;
    } cases[] = {
        {"4242 (zsh) S 880 4242 4242 0 -1", 880},
        {"17 (evil) S 1 (x) R 99) S 640 17 17\n", 640},  // a command name with ") " inside
        {"1 (init) S 0 1 1", 0},
        {"9 (name with spaces) R 12", 12},
        {"9 (x) S", std::nullopt},
        {"9 (x) S abc", std::nullopt},
        {"9 (x) S 12abc", std::nullopt},
        {"9 (x) S -3", std::nullopt},
        {"9 (x) S 99999999999", std::nullopt},
        {"no parenthesis at all 5", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ProcProcessInfo::parentFromStatLine(c.line), c.parent) << c.line;
}

TEST(ProcProcessInfo, AFakeProcessTable) {
    const ScratchFolder scratch("proc");
    const auto root = scratch.path();
    std::filesystem::create_directories(root / "77");
    std::filesystem::create_directories(root / "78");
    std::filesystem::create_symlink("/usr/bin/open", root / "77" / "exe");
    { std::ofstream(root / "77" / "stat") << "77 (open) S 880 77 77 0"; }
    { std::ofstream(root / "78" / "stat") << "78 (trunc"; }
    ProcProcessInfo info(root);
    EXPECT_EQ(info.processPath(77), "/usr/bin/open");
    EXPECT_EQ(info.parentProcessIdentifier(77), 880);
    EXPECT_FALSE(info.processPath(78));            // no executable link
    EXPECT_FALSE(info.parentProcessIdentifier(78)); // a short stat line
    EXPECT_FALSE(info.processPath(79));
    EXPECT_FALSE(info.parentProcessIdentifier(0));
    EXPECT_FALSE(info.processPath(-1));
}

TEST(ProcProcessInfo, ThisProcess) {
    ProcProcessInfo info;
    const auto self = info.processIdentifier();
    EXPECT_EQ(self, ::getpid());
    auto path = info.processPath(self);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, std::filesystem::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(info.parentProcessIdentifier(self), ::getppid());
}

}  // namespace
}  // namespace quillmar::testing
