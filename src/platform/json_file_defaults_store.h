#pragma once
// The user defaults domain as a JSON object in one file.
//
// Writes are atomic: the whole domain goes to a temporary file in the same folder, which is
// flushed to disk and then renamed over the old file, so a crash leaves either the old or the new
// contents, never a mix. Runs that share the file take turns: a save holds a lock on the folder
// (flock) from reading what the file holds now to the rename, and writes this run's changes over
// what it finds, so no run loses what another saved. A folder of the path that is missing is made
// (mode 0700) by the first save.
//
// Reading survives a missing, empty, corrupt or half-written file: the members that parsed
// completely before the damage are kept (every other key falls back to its registered default),
// and the damaged file is moved aside as "<name>.unreadable" (numbered up to "-999" when that
// exists; a copy is never overwritten, and with no name free the file stays where it is and the
// settings are kept in memory) so the user's other settings can still be recovered by hand.
// Values are kept as they are, whatever their type, so keys the program does not touch survive
// every save.

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
    // load(); nullopt while the file can keep them. Saves are not tried then.
    const std::optional<std::string>& problem() const { return problem_; }
    // Saves that were tried and failed, and why the first did ("cannot write <path>: ...").
    int failedSaves() const { return failedSaves_; }
    const std::optional<std::string>& firstSaveFailure() const { return firstSaveFailure_; }

    // The members of a JSON object text that parsed completely before the first error; the bool
    // is whether the whole text was a sound object.
    static std::pair<std::map<std::string, DefaultsValue>, bool> parseRecovering(const std::string& text);

private:
    std::string name() const { return path_.filename().string(); }
    std::filesystem::path folder() const;
    std::optional<std::string> quarantine(int dirFd, const FileIdentity& identity);
    bool write(int dirFd, const std::map<std::string, DefaultsValue>& values);
    bool failed(std::string why);
    void removeStaleTemporaryFiles(int dirFd) const;

    std::filesystem::path path_;
    // This run's domain as last read or written: a save writes what changed since.
    std::map<std::string, DefaultsValue> saved_;
    std::filesystem::path quarantined_;
    bool damaged_ = false;
    std::optional<std::string> problem_;
    int failedSaves_ = 0;
    std::optional<std::string> firstSaveFailure_;
};

}  // namespace quillmar::platform
