#pragma once
// The user defaults domain as a JSON object in one file.
//
// Writes are atomic: the whole domain goes to a temporary file in the same directory, which is
// flushed to disk and then renamed over the old file, so a crash leaves either the old or the new
// contents, never a mix. Reading survives a missing, empty, corrupt or half-written file: the
// members that parsed completely before the damage are kept (every other key falls back to its
// registered default), and the damaged file is moved aside as "<name>.unreadable" (numbered when
// that exists) so the user's other settings can still be recovered by hand. Values are kept as
// they are, whatever their type, so keys the program does not touch survive every save.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/regular_file.h"
#include "platform/user_defaults.h"

namespace quillmar::platform {

class JsonFileDefaultsStore final : public DefaultsStore {
public:
    explicit JsonFileDefaultsStore(std::filesystem::path path);

    std::map<std::string, DefaultsValue> load() override;
    bool save(const std::map<std::string, DefaultsValue>& values) override;

    const std::filesystem::path& path() const { return path_; }
    // Where the last load moved a damaged file (empty when the file was sound or absent).
    const std::filesystem::path& quarantinedCopy() const { return quarantined_; }
    // Whether the last load found the file damaged (then the keys it returned are those recovered).
    bool lastLoadWasDamaged() const { return damaged_; }
    // Why the settings cannot be kept in the file ("<path> is a FIFO, not a regular file"), set by
    // load(); nullopt while the file can keep them.
    const std::optional<std::string>& problem() const { return problem_; }

    // The members of a JSON object text that parsed completely before the first error; the bool
    // is whether the whole text was a sound object.
    static std::pair<std::map<std::string, DefaultsValue>, bool> parseRecovering(const std::string& text);

private:
    void quarantine(const FileIdentity& identity);
    void removeStaleTemporaryFiles() const;

    std::filesystem::path path_;
    std::filesystem::path quarantined_;
    bool damaged_ = false;
    std::optional<std::string> problem_;
};

}  // namespace quillmar::platform
