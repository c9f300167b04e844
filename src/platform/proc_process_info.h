#pragma once
// The process table of a Linux system, read from /proc: the executable of a process is the
// target of /proc/<pid>/exe, its parent the fourth field of /proc/<pid>/stat. The root directory
// is a parameter so that a test can build a small process table of its own.
//
// Both reads are bounded and checked: readlink writes no terminating NUL, so only the length it
// returns is used; the command name in the stat line may itself hold spaces and parentheses, so
// the fields are read after the line's last ')'. A short, failed or malformed read gives nullopt.

#include <filesystem>

#include "platform/process_info.h"

namespace quillmar::platform {

class ProcProcessInfo final : public ProcessInfo {
public:
    explicit ProcProcessInfo(std::filesystem::path root = "/proc") : root_(std::move(root)) {}

    std::int32_t processIdentifier() const override;
    std::optional<std::string> processPath(std::int32_t pid) const override;
    std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) const override;

    // The parent pid of a /proc/<pid>/stat line; nullopt when the line is malformed.
    static std::optional<std::int32_t> parentFromStatLine(std::string_view line);

private:
    std::filesystem::path root_;
};

}  // namespace quillmar::platform
