#include "platform/sim/scenario_registry.h"

#include <system_error>

namespace quillmar::platform::sim {

std::filesystem::path StepContext::outputPath(const std::string& fileName) const {
    const std::filesystem::path dir = outputDirectory.empty() ? std::filesystem::path("out") : outputDirectory;
    // The loader has refused names that leave the folder; anything that still would is kept inside.
    std::filesystem::path name = std::filesystem::path(fileName).lexically_normal();
    if (name.is_absolute() || name.has_root_path() || (!name.empty() && *name.begin() == ".."))
        name = name.filename();
    const auto path = dir / name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    return path;
}

const ScenarioHandler* ScenarioRegistry::step(const std::string& name) const {
    auto it = steps_.find(name);
    return it == steps_.end() ? nullptr : &it->second;
}

const ScenarioHandler* ScenarioRegistry::section(const std::string& name) const {
    auto it = sections_.find(name);
    return it == sections_.end() ? nullptr : &it->second;
}

}  // namespace quillmar::platform::sim
