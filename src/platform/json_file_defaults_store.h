#pragma once
// The user defaults domain as a JSON object in one file.
//
// Writes are atomic: the whole domain goes to a temporary file in the same folder, which is
// flushed to disk and then renamed over the old file, so a crash leaves either the old or the new
// contents, never a mix. The text is compact (no layout; see compact_json.h) and a member the run
// did not change keeps its value's text byte for byte, so a file that was read is never written
// back larger apart from the changes; a domain whose text would pass the size a settings file may
// have is not written at all: a failed save, the old file kept. A folder of the path that is
// missing is made (mode 0700) by the first save; a folder that can be written but not listed is
// used as it is.
//
// Reading finds where each member's text lies without building its value (json_object_members.h):
// a value is built when the program first asks for its key, so a save that must read the file
// again costs what passing over its bytes costs, whatever the file holds.
//
// Runs that share the file take turns by a lock on "<name>.lock" beside it (settings_file_lock.h),
// which no other user can hold. A save holds the lock from reading what the file holds now to the
// rename, and writes the keys this run changed over what it finds, so no run loses what another
// saved. Right before the rename it checks that the lock's name still leads to the file it
// locked; when someone removed or replaced that file meanwhile, the save takes the lock again,
// reads again and merges before it renames. It does not read the file again when it is the one
// this run last read or wrote, which the store keeps open so that no other file can get its inode
// (same device, inode, size, modification and change time). A lock that another process holds is
// waited for a bounded time (LockWait), once: when it cannot be had (still held, locks not
// supported, the lock file not one of this user's own) the reason is the first save failure, the
// changes are kept, and each later save tries the lock again without waiting and, once it has
// it, saves every change still pending. A save that fails keeps what was read and every change.
//
// Reading survives a missing, empty, corrupt or half-written file: the members complete before the
// damage are kept (every other key falls back to its registered default), and the damaged file is
// moved aside as "<name>.unreadable" (numbered up to "-999" when that exists; a copy is never
// overwritten, and with no name free the file stays where it is and the settings are kept in
// memory) so the user's other settings can still be recovered by hand; recoveries() says so. What
// was read is written back at once, or by a save that finds a damaged file in place of the one the
// run knew; until a save writes it the store holds it (changesUnsaved()), and the file written in
// the damaged one's place keeps its permission bits when it was this user's own. Anything but white
// space after the object is damage. A member nested deeper than kMaxJsonNesting is dropped without
// being built. Values are kept as they are, whatever their type, so keys the program does not
// touch survive every save; a member whose value is or holds a number too large for a double
// ("1e400") reads as absent (the library builds no value of it, so its key falls back to its
// default) and its text stays in the file as it was. Saves that cannot be made, whatever the cause
// (the file, the folder, the lock), fail and are counted alike.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_descriptor.h"
#include "platform/json_object_members.h"
#include "platform/regular_file.h"
#include "platform/settings_file_lock.h"
#include "platform/user_defaults.h"

namespace quillmar::platform {

class JsonFileDefaultsStore final : public DefaultsStore {
public:
    explicit JsonFileDefaultsStore(std::filesystem::path path, LockWait lockWait = {});

    using DefaultsStore::save;
    std::shared_ptr<const StoredDefaults> load() override;
    bool save(const std::map<std::string, DefaultsValue>& values, const std::vector<std::string>& changed) override;

    const std::filesystem::path& path() const { return path_; }
    // Where the last load moved a damaged file (empty when the file was sound or absent).
    const std::filesystem::path& quarantinedCopy() const { return quarantined_; }
    // Whether the last load found the file damaged (then the keys it returned are those recovered).
    bool lastLoadWasDamaged() const { return damaged_; }
    // Each damaged file moved aside, said once the save that follows tells whether what was read
    // from it is in the file: "<path> was damaged: moved aside as <copy>; 3 settings read from it
    // are kept", or "... are not in <path> yet: they are in <copy>, held by this run for its next
    // save" (then "the settings read from the damaged <path> are kept in it now" once one does).
    const std::vector<std::string>& recoveries() const { return recoveries_; }
    // Why the settings cannot be kept in the file ("<path> is a FIFO, not a regular file"), set by
    // load(); nullopt while the file can keep them. Every save fails at once then, and is counted.
    const std::optional<std::string>& problem() const { return problem_; }
    // Saves that were tried and failed, and why the first did ("cannot write <path>: ..."), or why
    // the load could not lock the file.
    int failedSaves() const { return failedSaves_; }
    const std::optional<std::string>& firstSaveFailure() const { return firstSaveFailure_; }
    // Whether changes, or members read from a damaged file, wait that no save has kept yet.
    bool changesUnsaved() const { return !pending_.empty() || recovered_; }

private:
    // What a file was when it was last read or written.
    struct Stamp {
        FileIdentity identity;
        off_t size = 0;
        long long modifiedSeconds = 0, changedSeconds = 0;
        long modifiedNanoseconds = 0, changedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    enum class Put { written, failed, lockLost };

    std::string name() const { return path_.filename().string(); }
    std::filesystem::path folder() const;
    // The open lock, or an invalid descriptor with lockProblem_ set; waits only the first time.
    FileDescriptor lock(int dirFd);
    // Moves the damaged file read as `members` aside; its members are then held (recovered_)
    // until a save writes them. The reason when it cannot be moved.
    std::optional<std::string> quarantine(int dirFd, const FileIdentity& identity,
                                          std::shared_ptr<const JsonObjectMembers> members);
    void recover(int dirFd, const std::string& copy, std::shared_ptr<const JsonObjectMembers> members);
    // `top` with `changes`, and each member of `bottom` whose key neither has.
    static JsonObjectMembers under(const JsonObjectMembers& top, const JsonObjectMembers& bottom,
                                  JsonObjectMembers::Changes changes);
    // "<path> was damaged: moved aside as <copy>; 3 settings read from it ", for the line to end.
    std::string movedAside(const std::string& copy, std::size_t kept) const;
    void sayRecoveries();
    // Saves, then says what became of the members of damaged files moved aside.
    bool write(int dirFd, FileDescriptor locked);
    bool writeUnderLock(int dirFd, FileDescriptor locked);
    // Writes these members as the file, while the lock held at lockFd is still the lock's.
    Put put(int dirFd, std::shared_ptr<const JsonObjectMembers> members, int lockFd);
    // What the file holds now: its members (none when it is missing or blank), remembered as the
    // file on disk when sound; nullptr and *problem when it cannot be read.
    std::shared_ptr<const JsonObjectMembers> readFile(int dirFd, std::optional<FileIdentity>* identity,
                                                      std::string* problem);
    // Keeps the file open (read or just written) as the one on disk, holding these members.
    void rememberFile(FileDescriptor file, std::shared_ptr<const JsonObjectMembers> members, std::size_t size);
    void forgetFile();
    // What the defaults read keys from from now on: these members.
    std::shared_ptr<const StoredDefaults> known(std::shared_ptr<const JsonObjectMembers> members);
    bool failed(std::string why);
    void removeStaleTemporaryFiles(int dirFd) const;

    std::filesystem::path path_;
    SettingsFileLock lock_;
    // The members of the file as this run last read or wrote it, that file (kept open, so its
    // inode is never another file's) and what it was then; a save reads the file again only when
    // the name no longer stands for it unchanged.
    std::shared_ptr<const JsonObjectMembers> onDisk_;
    // The members keys not read yet are read from, shared with the defaults: the file's as last
    // read or written (kept when the store forgets the file).
    std::shared_ptr<std::shared_ptr<const JsonObjectMembers>> known_;
    FileDescriptor lastFile_;
    std::optional<Stamp> stamp_;
    // Changes not yet written: each key's new value text, or nullopt when it goes.
    JsonObjectMembers::Changes pending_;
    // Members read from damaged files moved aside that no save has written yet: a save puts them
    // under what the file holds then and under the changes. The permission bits of the damaged
    // file, when it was this user's own, for the file written in its place (-1: none).
    std::shared_ptr<const JsonObjectMembers> recovered_;
    int recoveredMode_ = -1;
    // Damaged files moved aside whose fate the next save tells; whether a line said members wait.
    struct Unsaid {
        std::string copy;
        std::size_t kept = 0;
    };
    std::vector<Unsaid> unsaid_;
    bool recoveryWaits_ = false;
    std::optional<std::string> lockProblem_;
    bool mayWait_ = true;
    std::filesystem::path quarantined_;
    bool damaged_ = false;
    std::vector<std::string> recoveries_;
    std::optional<std::string> problem_;
    int failedSaves_ = 0;
    std::optional<std::string> firstSaveFailure_;
};

}  // namespace quillmar::platform
