#include "platform/sim/scenario_registry.h"

#include <system_error>

namespace quillmar::platform::sim {

std::filesystem::path StepContext::outputPath(const std::string& fileName) const {
    const std::filesystem::path dir = outputDirectory.empty() ? std::filesystem::path("out") : outputDirectory;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir / fileName;
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
