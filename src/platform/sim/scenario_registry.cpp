#include "platform/sim/scenario_registry.h"

#include <system_error>

#include "platform/sim/event_log.h"

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

namespace {

nlohmann::ordered_json pictureRecord(const std::string& fileName, const nlohmann::ordered_json& fields, bool written,
                                     const std::string& reason) {
    nlohmann::ordered_json record = {{"file", fileName}};
    if (fields.is_object())
        for (const auto& [key, value] : fields.items()) record[key] = value;
    record["written"] = written;
    if (!written) record["reason"] = reason;
    return record;
}

}  // namespace

bool StepContext::writePicture(const std::string& event, const std::string& fileName, const std::string& caption,
                               const PictureWriter& write, const nlohmann::ordered_json& fields, double scale) const {
    std::string error;
    const bool ok = write(outputPath(fileName).string(), &error);
    log.record(event, pictureRecord(fileName, fields, ok, error));
    pictureWritten(fileName, caption, ok, error, scale);
    return ok;
}

void StepContext::pictureUnavailable(const std::string& event, const std::string& fileName, const std::string& caption,
                                     const std::string& reason) const {
    log.record(event, pictureRecord(fileName, {}, false, reason));
    if (pictures) pictures->add(fileName, caption, false, reason, 2, /*refused=*/true);
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
