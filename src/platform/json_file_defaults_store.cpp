#include "platform/json_file_defaults_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/compact_json.h"
#include "platform/folder_writer.h"
#include "platform/json_nesting.h"

namespace quillmar::platform {

namespace fs = std::filesystem;

namespace {

// The members of the file as the store last read or wrote it, each value built when its key is
// first asked for: one copy, shared with the store.
class StoredMembers final : public StoredDefaults {
public:
    using Known = std::shared_ptr<const JsonObjectMembers>;
    explicit StoredMembers(std::shared_ptr<const Known> known) : known_(std::move(known)) {}
    std::optional<DefaultsValue> find(const std::string& key) const override {
        const auto member = (*known_)->find(key);
        return member ? valueOf(*member) : std::nullopt;
    }
    std::map<std::string, DefaultsValue> all() const override {
        std::map<std::string, DefaultsValue> values;
        const JsonObjectMembers& members = **known_;
        for (std::size_t i = 0; i < members.size(); ++i)
            if (auto value = valueOf(members[i])) values.emplace(members[i].key, std::move(*value));
        return values;
    }

private:
    // A value the library cannot build (a number too large for a double) reads as absent.
    static std::optional<DefaultsValue> valueOf(const JsonObjectMembers::Member& member) {
        auto value = DefaultsValue::parse(member.value, nullptr, /*allow_exceptions=*/false);
        if (value.is_discarded()) return std::nullopt;
        return value;
    }

    std::shared_ptr<const Known> known_;
};

// Opens the folder dir; with `create`, the folders of it that are missing are made (mode 0700,
// and none put in place of one just made is followed). Sets *error to the errno on failure.
FileDescriptor openFolder(const fs::path& dir, bool create, int* error) {
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder that may be written but not listed: a descriptor that only names it does.
    if (fd.get() < 0 && errno == EACCES) fd.reset(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    *error = fd.get() < 0 ? errno : 0;
    if (fd.get() >= 0 || *error != ENOENT || !create) return fd;
    FileDescriptor start(::open(dir.is_absolute() ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (start.get() < 0) {
        *error = errno;
        return start;
    }
    std::vector<std::string> levels;
    for (const auto& part : dir.relative_path())
        if (!part.empty()) levels.push_back(part.string());  // an empty part: a trailing separator
    auto opened = openFolderLevels(std::move(start), levels, 0700, /*followLinks=*/true);
    *error = opened.error;
    return opened.error ? FileDescriptor() : std::move(opened.folder);
}

std::string folderProblem(const fs::path& dir, int error) {
    if (error == ENOTDIR) return describe(folderFailure(dir, error));
    return "cannot open the folder " + dir.string() + ": " + std::strerror(error);
}

template <typename Stamp>
Stamp stampOf(const struct stat& st) {
    Stamp stamp{{st.st_dev, st.st_ino}, st.st_size, st.st_mtim.tv_sec, 0, st.st_mtim.tv_nsec, 0};
    // Anyone who may write the file may set its modification time back; its change time no one can.
    stamp.changedSeconds = st.st_ctim.tv_sec, stamp.changedNanoseconds = st.st_ctim.tv_nsec;
    return stamp;
}

// What stands at `name` now, when it is a regular file.
template <typename Stamp>
std::optional<Stamp> stampAt(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return stampOf<Stamp>(st);
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(fs::path path, LockWait lockWait, std::shared_ptr<ReasonsSaid> reasonsSaid)
    : path_(std::move(path)), lock_(std::move(lockWait)),
      known_(std::make_shared<std::shared_ptr<const JsonObjectMembers>>(std::make_shared<JsonObjectMembers>())),
      reasonsSaid_(reasonsSaid ? std::move(reasonsSaid) : std::make_shared<ReasonsSaid>()) {}

std::shared_ptr<const StoredDefaults> JsonFileDefaultsStore::known(std::shared_ptr<const JsonObjectMembers> members) {
    *known_ = std::move(members);
    return std::make_shared<StoredMembers>(known_);
}

fs::path JsonFileDefaultsStore::folder() const { return path_.has_parent_path() ? path_.parent_path() : fs::path("."); }

void JsonFileDefaultsStore::removeStaleTemporaryFiles(int dirFd) const {
    // A save that never finished (the run was killed) leaves its temporary file behind, or the
    // folder of a damaged file's copy (damaged_file_copy.h). Only what can be nothing else goes: a
    // name of this file's temporary pattern, a regular file of this user's with no other link and
    // the mode the writer gives it (0600, or the one the file at the name lends it, set before the
    // rename). The file is locked, so no other run is writing one. A folder that may be written but
    // not listed is not cleared.
    const int listFd = ::dup(dirFd);
    DIR* listing = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!listing) {
        if (listFd >= 0) ::close(listFd);
        return;
    }
    const std::string target = name();
    const uid_t me = ::geteuid();
    const int lent = lentMode(dirFd, target);
    while (const dirent* entry = ::readdir(listing)) {
        if (removeLeftCopyFolder(dirFd, target, entry->d_name) || !isTemporaryNameFor(dirFd, target, entry->d_name))
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const auto mode = static_cast<int>(st.st_mode & 07777);
        if (S_ISREG(st.st_mode) && st.st_uid == me && (mode == 0600 || mode == lent) && st.st_nlink == 1)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(listing);
}

FileDescriptor JsonFileDefaultsStore::lock(int dirFd) {
    std::string why;
    FileDescriptor fd = lock_.take(dirFd, name(), path_.parent_path(), &why, mayWait_);
    if (fd.get() < 0) {
        lockProblem_ = std::move(why);
        mayWait_ = false;  // the full patience is waited once; later saves only try
    } else {
        lockProblem_.reset();
    }
    return fd;
}

std::shared_ptr<const StoredDefaults> JsonFileDefaultsStore::load() {
    loadedDamaged_ = false;
    quarantined_.clear();
    problem_.reset();
    lockProblem_.reset();
    forgetFile();
    pending_.clear();
    damaged_.reset();
    if (!path_.has_filename()) {
        problem_ = path_.string() + " names a folder, not a file";
        return known(std::make_shared<JsonObjectMembers>());
    }
    int error = 0;
    const FileDescriptor dir = openFolder(folder(), /*create=*/false, &error);
    if (dir.get() < 0) {
        if (error != ENOENT) problem_ = folderProblem(folder(), error);
        return known(std::make_shared<JsonObjectMembers>());  // a missing folder is made by the first save
    }
    // Not ours to read, move or replace (and no lock is made beside it): the settings live in
    // memory for the run.
    if (const auto at = fileAtName(dir.get(), name()); at && !at->isRegular()) {
        problem_ = path_.string() + " is " + fileKindName(at->mode) + ", not a regular file";
        return known(std::make_shared<JsonObjectMembers>());
    }
    FileDescriptor locked = lock(dir.get());
    if (locked.get() >= 0) removeStaleTemporaryFiles(dir.get());
    std::optional<FileIdentity> identity;
    std::string why;
    auto members = readFile(dir.get(), &identity, &why);
    if (!members) {
        problem_ = std::move(why);
        return known(std::make_shared<JsonObjectMembers>());
    }
    auto stored = known(members);
    if (members->sound()) return stored;
    loadedDamaged_ = true;
    // What could be read is written in its place at once, so that the next start finds it too.
    // Only under the lock: without it the damaged file waits for a save that has it.
    if (locked.get() >= 0) {
        write(dir.get(), std::move(locked));
    } else {
        found(dir.get(), *members, identity);
        lockFailed();
    }
    return stored;
}

std::string JsonFileDefaultsStore::readFromIt(std::size_t kept) {
    return std::to_string(kept) + (kept == 1 ? " setting" : " settings") + " read from it";
}

void JsonFileDefaultsStore::found(int dirFd, const JsonObjectMembers& members,
                                  const std::optional<FileIdentity>& identity) {
    if (damaged_ && identity != damaged_->identity) {
        std::string line = "the damaged " + path_.string() + " was removed or replaced before this run wrote the " +
                           readFromIt(damaged_->kept);
        if (damaged_->copy && stillKept(dirFd, *damaged_->copy))
            line += "; it is kept as " + shownCopy(path_, damaged_->copy->name).string();
        recoveries_.push_back(std::move(line));
        damaged_.reset();
    }
    if (members.sound()) {
        damaged_.reset();  // mended where it stands
        return;
    }
    if (!damaged_) damaged_ = Damaged{*identity, 0, false, std::nullopt};
    damaged_->kept = members.size();
}

bool JsonFileDefaultsStore::failed(std::string why, const std::string& sameAs) {
    ++failedSaves_;
    if (reasonsSaid_->insert(sameAs.empty() ? why : sameAs).second) saveFailures_.push_back(why);
    lastSaveFailure_ = std::move(why);
    if (damaged_ && !damaged_->said) {
        recoveries_.push_back(path_.string() + " is damaged: it stays as it is until a save can put the " +
                              readFromIt(damaged_->kept) + " in its place (tried again at the next save)");
        damaged_->said = true;
    }
    return false;
}

bool JsonFileDefaultsStore::lockFailed() {
    return failed(*lockProblem_, lock_.reasonWithoutWait(*lockProblem_));
}

bool JsonFileDefaultsStore::save(const std::map<std::string, DefaultsValue>& values,
                                 const std::vector<std::string>& changed) {
    for (const auto& key : changed) {
        auto& change = pending_[readableJsonKey(key)];
        if (const auto it = values.find(key); it != values.end()) {
            change.emplace();
            appendCompactJson(*change, it->second);
        } else {
            change.reset();
        }
    }
    if (problem_) return failed(*problem_);
    int error = 0;
    const FileDescriptor dir = openFolder(folder(), /*create=*/true, &error);
    if (dir.get() < 0) return failed(folderProblem(folder(), error));
    FileDescriptor locked = lock(dir.get());  // tried again at every save, waited for the first time only
    if (lockProblem_) return lockFailed();
    return write(dir.get(), std::move(locked));
}

bool JsonFileDefaultsStore::saveWhatWaits() {
    if (!changesUnsaved()) return true;
    if (problem_) return false;
    mayWait_ = false;
    return save({}, {});
}

std::shared_ptr<const JsonObjectMembers> JsonFileDefaultsStore::readFile(int dirFd, std::optional<FileIdentity>* identity,
                                                                          std::string* problem) {
    forgetFile();
    FileDescriptor read;
    auto file = readRegularFileAt(dirFd, name(), kMaxJsonFileBytes, &read);
    using Status = RegularFileRead::Status;
    if (file.status != Status::ok && file.status != Status::missing) {
        *problem = path_.string() + " " + file.problem;
        return nullptr;
    }
    *identity = file.identity;
    if (file.status == Status::missing || blank(file.text)) return std::make_shared<const JsonObjectMembers>();
    const std::size_t size = file.text.size();
    auto members = std::make_shared<const JsonObjectMembers>(JsonObjectMembers::read(std::move(file.text)));
    rememberFile(std::move(read), members, size);
    return members;
}

void JsonFileDefaultsStore::rememberFile(FileDescriptor file, std::shared_ptr<const JsonObjectMembers> members,
                                         std::size_t size) {
    struct stat st {};
    // A file that grew or shrank while it was read is not the text read: it is read again at the
    // next save. It stays open all the same, as the file a damaged one's copy is made of.
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || st.st_size != static_cast<off_t>(size)) {
        forgetFile();
        lastFile_ = std::move(file);
        return;
    }
    // Held open so that its inode is given to no other file while the stamp stands for it. No test
    // catches its loss: a file put at the name since has a change time of its own, unless it came
    // within the same tick of the kernel's coarse clock and got the freed inode, which a test
    // cannot bring about at will. The rule stays for that instant.
    lastFile_ = std::move(file);
    stamp_ = stampOf<Stamp>(st);
    *known_ = members;
    onDisk_ = std::move(members);
}

void JsonFileDefaultsStore::forgetFile() {
    onDisk_.reset();
    stamp_.reset();
    lastFile_.reset();
}

bool JsonFileDefaultsStore::write(int dirFd, FileDescriptor locked) {
    // A lock file removed or replaced while it was held is taken again, and a file put at the name
    // while it was written is read again, this many times at most.
    constexpr int kMostRounds = 100;
    Put outcome = Put::lockLost;
    for (int round = 0; round < kMostRounds; ++round) {
        // What the file holds now (another run may have saved since). The file this run last read or
        // wrote is still open, so no other file can have its inode: the same inode, size and times
        // at the name are that file, unchanged.
        std::shared_ptr<const JsonObjectMembers> base = onDisk_;
        std::optional<FileIdentity> identity;
        if (stamp_ && stampAt<Stamp>(dirFd, name()) == stamp_) {
            identity = stamp_->identity;
        } else {
            std::string why;
            base = readFile(dirFd, &identity, &why);
            if (!base) return failed(std::move(why));
        }
        found(dirFd, *base, identity);
        outcome = put(dirFd, *base, identity, locked.get());
        if (outcome == Put::written) return true;
        if (outcome == Put::failed) return false;
        if (outcome == Put::fileChanged) continue;
        locked = lock(dirFd);
        if (lockProblem_) return lockFailed();
    }
    return failed(outcome == Put::lockLost ? path_.string() + ".lock keeps being removed while it is held"
                                           : path_.string() + " keeps being replaced while it is saved");
}

JsonFileDefaultsStore::Put JsonFileDefaultsStore::put(int dirFd, const JsonObjectMembers& base,
                                                      const std::optional<FileIdentity>& identity, int lockFd) {
    // A file the reader would refuse is never put in place of one it takes (nor made to find out).
    if (std::size_t size = 0; base.longerWithChanges(pending_, kMaxJsonFileBytes, &size)) {
        failed("cannot write " + path_.string() + ": the settings take " + std::to_string(size) +
                   " bytes; a settings file holds at most " + std::to_string(kMaxJsonFileBytes),
               "too large");
        return Put::failed;
    }
    auto members = std::make_shared<const JsonObjectMembers>(base.withChanges(pending_));
    const std::string& text = members->text();
    bool lockLost = false, fileChanged = false, renamed = false;
    std::optional<DamagedFileCopy> copy;
    std::string notKept, problem;
    FileDescriptor written;
    const int error = writeFileAtomicallyAt(
        dirFd, name(), text, 0600, &written,
        [&] {
            // The damaged file gets its copy's name first (the file read itself, whatever stands at
            // its name), so that the look at the name below is the last before the rename; it is not
            // replaced while no copy of it stands.
            if (damaged_) {
                copy = keepDamagedFileCopy(dirFd, name(), lastFile_.get(), base.text(), path_,
                                           damaged_->copy ? &*damaged_->copy : nullptr, &notKept);
                if (copy) damaged_->copy = copy;
            }
            // Someone removed or replaced the lock file: another run may hold the one there now.
            lockLost = !SettingsFileLock::leadsTo(dirFd, name(), lockFd);
            // Another program put a file at the name since it was read: that one is read too.
            const auto at = fileAtName(dirFd, name());
            fileChanged = !lockLost && (at ? std::optional(at->identity) : std::nullopt) != identity;
            if (lockLost || fileChanged) return EAGAIN;
            return !damaged_ || copy ? 0 : EEXIST;
        },
        &renamed, &problem);
    // A copy made before a rename that did not go in stays, and the next try uses it again.
    if (copy && renamed) {
        // Another program may have put something else at the copy's name before the rename took the
        // damaged file's last other name: then it is kept as a copy of its bytes (which is looked
        // at once made, right before the line says where it is kept).
        if (!stillKept(dirFd, *copy))
            copy = keepDamagedFileBytes(dirFd, name(), lastFile_.get(), base.text(), path_, &notKept);
        const std::string was = path_.string() + " was damaged: ",
                          kept = readFromIt(damaged_->kept) + (damaged_->kept == 1 ? " is kept" : " are kept");
        if (copy) {
            quarantined_ = shownCopy(path_, copy->name);
            recoveries_.push_back(was + "moved aside as " + quarantined_.string() + "; " + kept);
        } else {
            recoveries_.push_back(was + kept + "; the damaged file is not (" + notKept + ")");
        }
        damaged_.reset();
    }
    if (lockLost) return Put::lockLost;
    if (fileChanged) return Put::fileChanged;
    if (error) {
        // (A file another program put at the temporary name that went in instead is such a
        // failure: the save's changes wait.)
        if (problem.empty()) problem = std::strerror(error);
        failed(notKept.empty() ? "cannot write " + path_.string() + ": " + problem : notKept);
        return Put::failed;
    }
    rememberFile(std::move(written), std::move(members), text.size());
    pending_.clear();
    return Put::written;
}

}  // namespace quillmar::platform
