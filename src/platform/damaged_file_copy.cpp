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

std::string copyName(int dirFd, const std::string& name, int n) {
    const std::string suffix = ".unreadable" + (n == 1 ? std::string() : "-" + std::to_string(n));
    return std::string(namePartBefore(dirFd, name, suffix.size())) + suffix;
}

bool leadsTo(int dirFd, const std::string& name, const FileIdentity& identity) {
    const auto at = fileAtName(dirFd, name);
    return at && at->isRegular() && at->identity == identity;
}

// A second name `copy` for the file open at fd: 0 or the errno (EEXIST when the name is taken,
// which stays as it is).
int linkByDescriptor(int fd, int dirFd, const std::string& copy) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return atomicFileCalls.linkat(AT_FDCWD, path.c_str(), dirFd, copy.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// A new file holding the damaged file's bytes, with its permission bits `lent` (-1: 0600 less the
// umask), made once and put at the first copy's name that is free. It is made without a name
// (O_TMPFILE) and linked to the copy's name only once it is whole, so no name but the copy's
// ever leads to it and none is removed; where the file system makes no unnamed files or there is
// no /proc to link one by, it is written beside its name and renamed to it only while that is
// free (the atomic writer, which removes only its own temporary name).
class BytesCopy {
public:
    BytesCopy(int dirFd, std::string_view bytes, int lent) : dirFd_(dirFd), bytes_(bytes), lent_(lent) {}

    // Puts the copy at `copy`: 0 and *identity, EEXIST when the name is taken, or the errno.
    int nameAs(const std::string& copy, FileIdentity* identity) {
        if (!unnamedTried_) {
            unnamedTried_ = true;
            unnamed_ = makeUnnamed();
        }
        if (unnamed_.get() >= 0) {
            const int error = linkByDescriptor(unnamed_.get(), dirFd_, copy);
            if (error == EEXIST) return error;
            if (!error) {
                // The name is durable once the folder is flushed; as with a copy renamed in place,
                // one whose folder cannot be flushed is made all the same.
                atomicFileCalls.fsync(dirFd_);
                return identityOf(unnamed_.get(), identity);
            }
            unnamed_.reset();  // not to be linked here: written beside its name from now on
        }
        FileDescriptor made;
        bool renamed = false;
        const int error = writeFileAtomicallyAt(
            dirFd_, copy, [this](int fd, std::string*) { return fill(fd); }, 0600, nullptr, &made, {}, &renamed,
            /*replace=*/false);
        if (made.get() >= 0) return identityOf(made.get(), identity);
        // In place, though the folder could not be flushed after it: the copy is made all the same.
        if (const auto at = renamed ? fileAtName(dirFd_, copy) : std::nullopt) {
            *identity = at->identity;
            return 0;
        }
        return error;
    }

private:
    int fill(int fd) const {
        int error = writeAll(fd, bytes_);
        if (!error && lent_ >= 0 && ::fchmod(fd, static_cast<mode_t>(lent_)) != 0) error = errno;
        if (!error && atomicFileCalls.fsync(fd) != 0) error = errno;
        return error;
    }
    FileDescriptor makeUnnamed() const {
        FileDescriptor fd(::openat(dirFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
        if (fd.get() >= 0 && fill(fd.get()) != 0) fd.reset();
        return fd;
    }
    static int identityOf(int fd, FileIdentity* identity) {
        struct stat st {};
        if (::fstat(fd, &st) != 0) return errno;
        *identity = {st.st_dev, st.st_ino};
        return 0;
    }

    int dirFd_;
    std::string_view bytes_;
    int lent_;
    FileDescriptor unnamed_;
    bool unnamedTried_ = false;
};

std::optional<DamagedFileCopy> keep(int dirFd, const std::string& name, int readFd, std::string_view bytes,
                                    const fs::path& shown, std::string* why, bool secondName) {
    auto shownAs = [&](const std::string& copy) { return shownCopy(shown, copy).string(); };
    struct stat st {};
    const bool open = readFd >= 0 && ::fstat(readFd, &st) == 0;
    const FileIdentity read{open ? st.st_dev : 0, open ? st.st_ino : 0};
    // Its permission bits, when it is this user's own, for a copy of its bytes.
    const int lent = open && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() ? static_cast<int>(st.st_mode & 0777) : -1;
    secondName = secondName && open;
    BytesCopy bytesCopy(dirFd, bytes, lent);
    for (int n = 1; n <= kCopies; ++n) {
        const std::string copy = copyName(dirFd, name, n);
        int error = 0;
        if (secondName) {
            error = linkByDescriptor(readFd, dirFd, copy);
            // Taken, maybe by this file already (a killed run's copy, another run's a moment ago):
            // then that name is used.
            if (!error || (error == EEXIST && leadsTo(dirFd, copy, read))) return DamagedFileCopy{copy, read};
            if (error == EEXIST) continue;
            if (error == ENOENT && ::fstat(readFd, &st) == 0 && st.st_nlink == 0) {
                *why = shown.string() + " was removed while it was saved";
                return std::nullopt;
            }
            // No second name to be had here (or no /proc to make it by): a copy of the bytes read.
            secondName = error != EPERM && error != EOPNOTSUPP && error != EMLINK && error != ENOENT;
        }
        if (!secondName) {
            FileIdentity made;
            error = bytesCopy.nameAs(copy, &made);
            if (!error) return DamagedFileCopy{copy, made};
            if (error == EEXIST) continue;
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
                                                   std::string_view bytes, const fs::path& shown, std::string* why) {
    return keep(dirFd, name, readFd, bytes, shown, why, /*secondName=*/true);
}

std::optional<DamagedFileCopy> keepDamagedFileBytes(int dirFd, const std::string& name, int readFd,
                                                    std::string_view bytes, const fs::path& shown, std::string* why) {
    return keep(dirFd, name, readFd, bytes, shown, why, /*secondName=*/false);
}

fs::path shownCopy(const fs::path& shown, const std::string& copyName) {
    return fs::path(shown).replace_filename(copyName);
}

bool stillKept(int dirFd, const DamagedFileCopy& copy) { return leadsTo(dirFd, copy.name, copy.identity); }

}  // namespace quillmar::platform
