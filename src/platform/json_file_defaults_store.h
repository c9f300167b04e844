#pragma once
// The user defaults domain as a JSON object in one file.
//
// Writes are atomic: the whole domain goes to a temporary file in the same folder, which is
// flushed to disk and then renamed over the old file, so a crash leaves either the old or the new
// contents, never a mix. The text is compact (no layout; see compact_json.h) and a member the run
// did not change keeps its value's text byte for byte, so a sound file that was read is never
// written back larger apart from the changes (a damaged one gains at most the braces it lacked); a
// domain whose text would pass the size a settings file may have is not written at all: a failed
// save, the old file kept. A folder of the path that is missing is made (mode 0700) by the first
// save; a folder that can be written but not listed is used as it is.
//
// Reading finds where each member's text lies without building its value (json_object_members.h):
// a value is built when the program first asks for its key, so a save that must read the file
// again costs what passing over its bytes costs, whatever the file holds.
//
// Runs that share the file take turns by a lock on "<name>.lock" beside it (settings_file_lock.h),
// which no other user can hold. A save holds the lock from reading what the file holds now to the
// rename, and writes the keys this run changed over what it finds, so no run loses what another
// saved. Right before the rename it checks that the lock's name still leads to the file it locked,
// and that the file it read still stands at the name; when someone removed or replaced either
// meanwhile, the save takes the lock again (for the lock), reads again and merges before it
// renames. After the rename, the name must lead to the file written: one another program put at the
// temporary name and that went in instead fails the save, its changes kept. A save does not read
// the file again when it is the one this run last read or wrote, which the store keeps open so that
// no other file can get its inode (same device, inode, size, modification and change time). A lock
// that another process holds is waited for a bounded time (LockWait), once: when it cannot be had
// (still held, locks not supported, the lock file not one of this user's own) the save fails, the
// changes are kept, and each later save tries the lock again without waiting and, once it has it,
// saves every change still pending; so does the run as it ends (saveWhatWaits). A save that fails
// keeps what was read and every change.
//
// Reading survives a missing, empty, corrupt or half-written file: the members complete before the
// damage are kept (every other key falls back to its registered default). A damaged file is
// replaced at once by a file of what could be read from it, and is itself kept beside it as
// "<name>.unreadable" (numbered up to "-999"; see damaged_file_copy.h) so that the user's other
// settings can still be recovered by hand (a copy whose name another program takes at once is made
// again, a few times at most, and the damaged file is not replaced while none stands); so is a
// damaged file that a save finds in place of the one the run knew, with this run's changes on top.
// The damaged file stays at its name, untouched, until its replacement goes in: a save that fails
// leaves it there (with the copy it may have got, which the next try uses again) and the next one
// takes it as it finds it, so what is read from damaged files never gathers from one save to the
// next (the store remembers the file at the name, damaged or not, and no other); while it waits,
// changesUnsaved() says so. The file written in its place keeps its permission bits when it was
// this user's own. Anything but white space after the object is damage. A member nested deeper than
// kMaxJsonNesting is dropped without being built. Values are kept as they are, whatever their type,
// so keys the program does not touch survive every save; a member whose value is or holds a number
// too large for a double ("1e400") reads as absent (the library builds no value of it, so its key
// falls back to its default) and its text stays in the file as it was. Saves that cannot be made,
// whatever the cause (the file, the folder, the lock), fail and are counted alike.

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/damaged_file_copy.h"
#include "platform/file_descriptor.h"
#include "platform/json_object_members.h"
#include "platform/regular_file.h"
#include "platform/settings_file_lock.h"
#include "platform/user_defaults.h"

namespace quillmar::platform {

class JsonFileDefaultsStore final : public DefaultsStore {
public:
    // The reasons saves failed for that were said already, shared by the stores of one run's
    // scenarios (each a store of its own on the same file), so that each is said once; the store
    // keeps its own when none is given.
    using ReasonsSaid = std::set<std::string>;
    explicit JsonFileDefaultsStore(std::filesystem::path path, LockWait lockWait = {},
                                   std::shared_ptr<ReasonsSaid> reasonsSaid = nullptr);

    using DefaultsStore::save;
    std::shared_ptr<const StoredDefaults> load() override;
    bool save(const std::map<std::string, DefaultsValue>& values, const std::vector<std::string>& changed) override;
    // As a run ends: when changes or a damaged file's replacement wait, one more try without
    // waiting for the lock, so that a lock let go since the last try does not leave them unsaved;
    // a try that fails is counted as a failed save. True when nothing waits any longer.
    bool saveWhatWaits();

    const std::filesystem::path& path() const { return path_; }
    // Where the damaged file last replaced was kept (empty while none was).
    const std::filesystem::path& quarantinedCopy() const { return quarantined_; }
    // Whether the last load found the file damaged (then the keys it returned are those recovered).
    bool lastLoadWasDamaged() const { return loadedDamaged_; }
    // What became of each damaged file found: "<path> was damaged: moved aside as <copy>; 3
    // settings read from it are kept" once its replacement is in; "<path> is damaged: it stays as
    // it is until a save can put the 3 settings read from it in its place (tried again at the next
    // save)" once, when a save that was to replace it fails; "the damaged <path> was removed or
    // replaced before this run wrote the 3 settings read from it" when a later save finds another
    // file (or none) there. Each line is handed over once: taking them leaves none.
    std::vector<std::string> takeRecoveries() { return std::exchange(recoveries_, {}); }
    // Why the settings cannot be kept in the file ("<path> is a FIFO, not a regular file"), set by
    // load(); nullopt while the file can keep them. Every save fails at once then, and is counted.
    const std::optional<std::string>& problem() const { return problem_; }
    // Saves that were tried and failed; why they did, each reason once in the order met (not said
    // before by a store sharing the ReasonsSaid; "cannot write <path>: ...", the lock's reasons; a
    // save too large for the file is one reason whatever size it would have had, and so is a lock
    // held by another process, waited for or not), handed over once as recoveries are; and why the
    // latest one did.
    int failedSaves() const { return failedSaves_; }
    std::vector<std::string> takeSaveFailures() { return std::exchange(saveFailures_, {}); }
    const std::optional<std::string>& lastSaveFailure() const { return lastSaveFailure_; }
    // Whether changes wait that no save has kept yet, or a damaged file that none has replaced.
    bool changesUnsaved() const { return !pending_.empty() || damaged_.has_value(); }

private:
    // What a file was when it was last read or written.
    struct Stamp {
        FileIdentity identity;
        off_t size = 0;
        long long modifiedSeconds = 0, changedSeconds = 0;
        long modifiedNanoseconds = 0, changedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    enum class Put { written, failed, lockLost, fileChanged };

    std::string name() const { return path_.filename().string(); }
    std::filesystem::path folder() const;
    // The open lock, or an invalid descriptor with lockProblem_ set; waits only the first time.
    FileDescriptor lock(int dirFd);
    // Saves under the lock held: what the file holds now (read again when it is no longer the one
    // this run last read or wrote) with this run's changes on top.
    bool write(int dirFd, FileDescriptor locked);
    // Writes `base` (read from the file `identity`, none when it was missing) with the changes as
    // the file, while the lock held at lockFd is still the lock's and that file still stands at the
    // name; a damaged file there is kept under a copy's name as the new one goes in.
    Put put(int dirFd, const JsonObjectMembers& base, const std::optional<FileIdentity>& identity, int lockFd);
    // What the file holds now: its members (none when it is missing or blank), remembered as the
    // file on disk; nullptr and *problem when it cannot be read.
    std::shared_ptr<const JsonObjectMembers> readFile(int dirFd, std::optional<FileIdentity>* identity,
                                                      std::string* problem);
    // Keeps the file open (read or just written) as the one on disk, holding these members.
    void rememberFile(FileDescriptor file, std::shared_ptr<const JsonObjectMembers> members, std::size_t size);
    void forgetFile();
    // What the defaults read keys from from now on: these members.
    std::shared_ptr<const StoredDefaults> known(std::shared_ptr<const JsonObjectMembers> members);
    // Takes note of the file found at the name (which file, when one was): whether it is the
    // damaged one to replace, and what became of one found before.
    void found(int dirFd, const JsonObjectMembers& members, const std::optional<FileIdentity>& identity);
    // "3 settings read from it", "1 setting read from it".
    static std::string readFromIt(std::size_t kept);
    // Counts a failed save and why; a reason that only says the same as one met before (a size
    // aside) gives `sameAs`.
    bool failed(std::string why, const std::string& sameAs = {});
    // failed() for lockProblem_: the lock held by another process is one reason, waited for or not.
    bool lockFailed();
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
    // (Open even when it changed while it was read: a damaged file's copy's name is given to it.)
    FileDescriptor lastFile_;
    std::optional<Stamp> stamp_;
    // Changes not yet written: each key's new value text, or nullopt when it goes.
    JsonObjectMembers::Changes pending_;
    // The damaged file found at the name that no file holding what was read from it has replaced
    // yet; it stays there, untouched, until one does. What was read from it is held only as the
    // file at the name (onDisk_), as any file there is: a save that finds another file there takes
    // that one instead, so nothing read from damaged files gathers.
    struct Damaged {
        FileIdentity identity;
        std::size_t kept = 0;  // members read from it
        bool said = false;     // whether a line said that it waits
        // The copy made by a save whose replacement did not go in: the next save uses it while its
        // name leads to it.
        std::optional<DamagedFileCopy> copy;
    };
    std::optional<Damaged> damaged_;
    std::optional<std::string> lockProblem_;
    bool mayWait_ = true;
    std::filesystem::path quarantined_;
    bool loadedDamaged_ = false;
    std::vector<std::string> recoveries_;
    std::optional<std::string> problem_;
    int failedSaves_ = 0;
    std::vector<std::string> saveFailures_;
    std::shared_ptr<ReasonsSaid> reasonsSaid_;
    std::optional<std::string> lastSaveFailure_;
};

}  // namespace quillmar::platform
