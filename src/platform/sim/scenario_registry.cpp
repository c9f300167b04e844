#include "platform/sim/scenario_registry.h"

#include <cerrno>

#include "platform/folder_writer.h"
#include "platform/sim/cannot_write_text.h"
#include "platform/sim/event_log.h"

namespace quillmar::platform::sim {

namespace {

// The name inside the output folder: the loader has refused names that leave it; anything that
// still would is kept inside.
std::filesystem::path nameInside(const std::string& fileName) {
    std::filesystem::path name = std::filesystem::path(fileName).lexically_normal();
    if (name.is_absolute() || name.has_root_path() || (!name.empty() && *name.begin() == ".."))
        name = name.filename();
    return name;
}

}  // namespace

std::filesystem::path StepContext::outputFolder() const {
    return outputDirectory.empty() ? std::filesystem::path("out") : outputDirectory;
}

std::filesystem::path StepContext::outputPath(const std::string& fileName) const {
    return outputFolder() / nameInside(fileName);
}

bool StepContext::writeOutputFile(const std::string& fileName, const PictureWriter& write, std::string* error,
                                  std::optional<PixelSize>* pixels) const {
    auto failure = platform::FolderWriter(outputFolder())
                       .write(nameInside(fileName).generic_string(), [&](int fd) -> std::optional<WriteFailure> {
                           const auto path = platform::FolderWriter::descriptorPath(fd);
                           if (!path) return WriteFailure{WriteFailure::Kind::noProc, ENOENT, {}, 0, {}};
                           std::string why;
                           if (!write(*path, &why)) return WriteFailure{WriteFailure::Kind::producer, 0, {}, 0, why};
                           if (pixels) *pixels = pngPixelSize(fd);
                           return std::nullopt;
                       });
    if (!failure) return true;
    if (error) *error = cannotWriteText(outputPath(fileName), *failure);
    return false;
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
    std::optional<PixelSize> pixels;
    const bool ok = writeOutputFile(fileName, write, &error, &pixels);
    log.record(event, pictureRecord(fileName, fields, ok, error));
    pictureWritten(fileName, caption, ok, error, scale, pixels);
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
