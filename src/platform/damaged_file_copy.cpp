#include "platform/damaged_file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/atomic_file_calls.h"
#include "platform/file_descriptor.h"

namespace quillmar::platform {

namespace fs = std::filesystem;
using detail::atomicFileCalls;

namespace {

constexpr int kCopies = 999;
// Copies made whose name another program took at once, after which the copy is given up.
constexpr int kMostLost = 3;
// The name of a copy of the bytes in the private folder it is written in.
constexpr const char* kWrittenAs = "bytes";

std::string copyName(int dirFd, const std::string& name, int n) {
    const std::string suffix = ".unreadable" + (n == 1 ? std::string() : "-" + std::to_string(n));
    return std::string(namePartBefore(dirFd, name, suffix.size())) + suffix;
}

// Whether the file `identity` at `name` holds exactly `bytes` (its size was seen to match).
bool holdsExactly(int dirFd, const std::string& name, const FileIdentity& identity, std::string_view bytes) {
    FileDescriptor fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || FileIdentity{st.st_dev, st.st_ino} != identity) return false;
    char chunk[64 * 1024];
    for (std::size_t at = 0;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0 && at == bytes.size();
        const auto got = static_cast<std::size_t>(n);
        if (got > bytes.size() - at || bytes.compare(at, got, chunk, got) != 0) return false;
        at += got;
    }
}

// What stands at a copy's name: nothing, the damaged file `read` or a copy of its bytes (a regular
// file of this user's holding exactly them; *found), or anything else.
enum class AtCopy { free, copy, other };
AtCopy atCopyName(int dirFd, const std::string& copy, const FileIdentity& read, std::string_view bytes,
                  FileIdentity* found) {
    struct stat st {};
    if (::fstatat(dirFd, copy.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? AtCopy::free : AtCopy::other;
    *found = {st.st_dev, st.st_ino};
    if (!S_ISREG(st.st_mode)) return AtCopy::other;
    if (*found == read) return AtCopy::copy;
    if (st.st_uid != ::geteuid() || st.st_size != static_cast<off_t>(bytes.size())) return AtCopy::other;
    return holdsExactly(dirFd, copy, *found, bytes) ? AtCopy::copy : AtCopy::other;
}

// A second name `copy` for the file open at fd: 0 or the errno (EEXIST when the name is taken,
// which stays as it is).
int linkByDescriptor(int fd, int dirFd, const std::string& copy) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return atomicFileCalls.linkat(AT_FDCWD, path.c_str(), dirFd, copy.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// A new file holding the damaged file's bytes, with its permission bits `lent` (-1: 0600 less the
// umask), written once and then only named, at the first free copy's name (see the header).
class BytesCopy {
public:
    BytesCopy(int dirFd, std::string folderFor, std::string_view bytes, int lent, bool linkable)
        : dirFd_(dirFd), folderFor_(std::move(folderFor)), bytes_(bytes), lent_(lent), linkable_(linkable) {}
    ~BytesCopy() { dropFolder(); }
    BytesCopy(const BytesCopy&) = delete;
    BytesCopy& operator=(const BytesCopy&) = delete;

    // Puts the copy at `copy`, a name seen free: 0 and *identity; EEXIST when the name is taken
    // (it stays as it is); or the errno.
    int nameAs(const std::string& copy, FileIdentity* identity) {
        if (!made_)
            if (const int error = make()) return error;
        if (folder_.get() < 0) {
            const int error = linkByDescriptor(fd_.get(), dirFd_, copy);
            if (!error) return named(identity);
            if (error == EEXIST) return error;
            // No name to be had for it here: written in a folder of its own from now on.
            linkable_ = false;
            if (const int again = make()) return again;
        }
        if (atomicFileCalls.renameat2(folder_.get(), kWrittenAs, dirFd_, copy.c_str(), RENAME_NOREPLACE) != 0)
            return errno;
        dropFolder(/*named=*/true);
        return named(identity);
    }

private:
    int make() {
        FileDescriptor fd(linkable_ ? ::openat(dirFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600) : -1);
        if (fd.get() < 0) {
            linkable_ = false;
            folder_.reset(createTemporaryFolder(dirFd_, folderFor_, &folderName_));
            if (folder_.get() < 0) return errno;
            fd.reset(::openat(folder_.get(), kWrittenAs, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (fd.get() < 0) return errno;
        }
        struct stat st {};
        int error = ::fstat(fd.get(), &st) != 0 ? errno : writeAll(fd.get(), bytes_);
        if (!error && lent_ >= 0 && ::fchmod(fd.get(), static_cast<mode_t>(lent_)) != 0) error = errno;
        if (!error && atomicFileCalls.fsync(fd.get()) != 0) error = errno;
        if (error) return error;
        identity_ = {st.st_dev, st.st_ino};
        fd_ = std::move(fd);
        made_ = true;
        return 0;
    }
    // The name is durable once the folder is flushed; a copy whose folder cannot be flushed is made
    // all the same, as a file renamed in place is.
    int named(FileIdentity* identity) const {
        atomicFileCalls.fsync(dirFd_);
        *identity = identity_;
        return 0;
    }
    // The private folder goes, with the bytes while they were not named. Only this user can put
    // anything there, and a folder is removed only while it is empty.
    void dropFolder(bool named = false) {
        if (folder_.get() < 0) return;
        if (!named) atomicFileCalls.unlinkat(folder_.get(), kWrittenAs, 0);
        folder_.reset();
        atomicFileCalls.unlinkat(dirFd_, folderName_.c_str(), AT_REMOVEDIR);
    }

    int dirFd_;
    std::string folderFor_;
    std::string_view bytes_;
    int lent_;
    bool linkable_;
    bool made_ = false;
    FileDescriptor fd_;  // while it has no name (O_TMPFILE)
    FileIdentity identity_;
    FileDescriptor folder_;  // the folder it is written in, while it is there
    std::string folderName_;
};

std::optional<DamagedFileCopy> keep(int dirFd, const std::string& name, int readFd, std::string_view bytes,
                                    const fs::path& shown, std::string* why, bool secondName,
                                    const DamagedFileCopy* previous) {
    if (previous && stillKept(dirFd, *previous)) return *previous;
    auto shownAs = [&](const std::string& copy) { return shownCopy(shown, copy).string(); };
    struct stat st {};
    const bool open = readFd >= 0 && ::fstat(readFd, &st) == 0;
    const FileIdentity read{open ? st.st_dev : 0, open ? st.st_ino : 0};
    secondName = secondName && open;
    // A copy made already, at whichever of its names, is used; otherwise one is made at the first
    // free name.
    int firstFree = 0;
    for (int n = 1; n <= kCopies; ++n) {
        const std::string copy = copyName(dirFd, name, n);
        FileIdentity at;
        const AtCopy found = atCopyName(dirFd, copy, read, bytes, &at);
        if (found == AtCopy::copy) return DamagedFileCopy{copy, at};
        if (found == AtCopy::free && !firstFree) firstFree = n;
    }
    bool proc = true;
    std::optional<BytesCopy> bytesCopy;
    int lost = 0;  // copies made whose name another program took at once
    for (int n = firstFree; n > 0 && n <= kCopies; ++n) {
        const std::string copy = copyName(dirFd, name, n);
        FileIdentity at;
        if (n > firstFree) {
            if (const AtCopy found = atCopyName(dirFd, copy, read, bytes, &at); found != AtCopy::free) {
                if (found == AtCopy::copy) return DamagedFileCopy{copy, at};
                continue;
            }
        }
        int error = 0;
        if (secondName) {
            error = linkByDescriptor(readFd, dirFd, copy);
            at = read;
            if (error == ENOENT && ::fstat(readFd, &st) == 0 && st.st_nlink == 0) {
                *why = shown.string() + " was removed while it was saved";
                return std::nullopt;
            }
            // No second name to be had here (or no /proc to make it by): a copy of the bytes read.
            if (error && error != EEXIST) {
                secondName = error != EPERM && error != EOPNOTSUPP && error != EMLINK && error != ENOENT;
                proc = error != ENOENT;
            }
        }
        if (!secondName) {
            if (!bytesCopy) bytesCopy.emplace(dirFd, copyName(dirFd, name, 1), bytes, open ? lentModeOf(st) : -1, proc);
            error = bytesCopy->nameAs(copy, &at);
        }
        // Made: it is the copy while its name still leads to it; one another program took at once
        // is made again under the next name, a few times at most.
        if (!error) {
            if (stillKept(dirFd, {copy, at})) return DamagedFileCopy{copy, at};
            if (++lost < kMostLost) continue;
            *why = "cannot keep " + shown.string() + ": other files keep being put at its copy's names";
            return std::nullopt;
        }
        // Taken since it was looked at: maybe by a copy too.
        if (error == EEXIST) {
            if (atCopyName(dirFd, copy, read, bytes, &at) == AtCopy::copy) return DamagedFileCopy{copy, at};
            continue;
        }
        *why = "cannot keep " + shown.string() + " as " + shownAs(copy) + ": " + std::strerror(error);
        return std::nullopt;
    }
    *why = shown.string() + " is damaged and stays as it is: every name for a copy up to " +
           shownAs(copyName(dirFd, name, kCopies)) + " is taken";
    return std::nullopt;
}

}  // namespace

std::optional<DamagedFileCopy> keepDamagedFileCopy(int dirFd, const std::string& name, int readFd,
                                                   std::string_view bytes, const fs::path& shown,
                                                   const DamagedFileCopy* previous, std::string* why) {
    return keep(dirFd, name, readFd, bytes, shown, why, /*secondName=*/true, previous);
}

std::optional<DamagedFileCopy> keepDamagedFileBytes(int dirFd, const std::string& name, int readFd,
                                                    std::string_view bytes, const fs::path& shown, std::string* why) {
    return keep(dirFd, name, readFd, bytes, shown, why, /*secondName=*/false, nullptr);
}

fs::path shownCopy(const fs::path& shown, const std::string& copyName) {
    return fs::path(shown).replace_filename(copyName);
}

bool stillKept(int dirFd, const DamagedFileCopy& copy) { return leadsTo(dirFd, copy.name, copy.identity); }

bool removeLeftCopyFolder(int dirFd, const std::string& name, const char* candidate) {
    if (!isTemporaryName(candidate) || !isTemporaryNameFor(dirFd, copyName(dirFd, name, 1), candidate)) return false;
    const FileDescriptor folder(::openat(dirFd, candidate, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
        return true;
    if (::fstatat(folder.get(), kWrittenAs, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == ::geteuid() && st.st_nlink == 1)
        ::unlinkat(folder.get(), kWrittenAs, 0);
    ::unlinkat(dirFd, candidate, AT_REMOVEDIR);
    return true;
}

}  // namespace quillmar::platform
