#pragma once
// This process and the process table: own process id, and the executable path and parent of any
// process (what a URL sender check needs to know about its sender).

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/world.h"

namespace quillmar::platform {

class ProcessInfo {
public:
    virtual ~ProcessInfo() = default;

    static ProcessInfo& shared() { return runtime::World::shared<ProcessInfo>(); }

    virtual std::int32_t processIdentifier() const = 0;
    // Executable path of a process; nullopt when there is no such process or it cannot be read.
    virtual std::optional<std::string> processPath(std::int32_t pid) const = 0;
    // Parent process id; nullopt when the process information cannot be read.
    virtual std::optional<std::int32_t> parentProcessIdentifier(std::int32_t pid) const = 0;
};

}  // namespace quillmar::platform
