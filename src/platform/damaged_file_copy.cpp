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

// A new file at `copy` holding `bytes`, with the permission bits `lent` (-1: 0600 less the umask),
// written whole beside it and renamed to it only while the name is free (a taken name stays as it
// is: EEXIST), so no name is ever removed but the writer's own temporary one: which file it is, or
// nullopt and *error.
std::optional<FileIdentity> writeCopy(int dirFd, const std::string& copy, std::string_view bytes, int lent, int* error) {
    FileDescriptor made;
    bool renamed = false;
    *error = writeFileAtomicallyAt(
        dirFd, copy,
        [&](int fd, std::string*) {
            const int failed = writeAll(fd, bytes);
            if (failed || lent < 0) return failed;
            return ::fchmod(fd, static_cast<mode_t>(lent)) == 0 ? 0 : errno;
        },
        0600, nullptr, &made, {}, &renamed, /*replace=*/false);
    struct stat st {};
    if (made.get() >= 0 && ::fstat(made.get(), &st) == 0) return FileIdentity{st.st_dev, st.st_ino};
    // In place, though the folder could not be flushed after it: the copy is made all the same.
    if (renamed) {
        if (const auto at = fileAtName(dirFd, copy)) return at->identity;
    }
    if (!*error) *error = errno;
    return std::nullopt;
}

// A second name `copy` for the file open at fd: 0 or the errno.
int linkByDescriptor(int fd, int dirFd, const std::string& copy) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    return atomicFileCalls.linkat(AT_FDCWD, path.c_str(), dirFd, copy.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

std::optional<DamagedFileCopy> keep(int dirFd, const std::string& name, int readFd, std::string_view bytes,
                                    const fs::path& shown, std::string* why, bool secondName) {
    auto shownAs = [&](const std::string& copy) { return fs::path(shown).replace_filename(copy).string(); };
    struct stat st {};
    const bool open = readFd >= 0 && ::fstat(readFd, &st) == 0;
    const FileIdentity read{open ? st.st_dev : 0, open ? st.st_ino : 0};
    // Its permission bits, when it is this user's own, for a copy of its bytes.
    const int lent = open && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() ? static_cast<int>(st.st_mode & 0777) : -1;
    secondName = secondName && open;
    if (secondName && st.st_nlink > 1)
        for (int n = 1; n <= kCopies; ++n)
            if (const std::string copy = copyName(dirFd, name, n); leadsTo(dirFd, copy, read))
                return DamagedFileCopy{copy, read};
    for (int n = 1; n <= kCopies; ++n) {
        const std::string copy = copyName(dirFd, name, n);
        int error = secondName ? linkByDescriptor(readFd, dirFd, copy) : EPERM;
        if (error == 0) return DamagedFileCopy{copy, read};
        if (error == ENOENT && ::fstat(readFd, &st) == 0 && st.st_nlink == 0) {
            *why = shown.string() + " was removed while it was saved";
            return std::nullopt;
        }
        // No second name to be had here (or no /proc to make it by): a copy of the bytes read.
        if (error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOENT) {
            secondName = false;
            if (auto made = writeCopy(dirFd, copy, bytes, lent, &error)) return DamagedFileCopy{copy, *made};
        }
        if (error == EEXIST) continue;
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

bool stillKept(int dirFd, const DamagedFileCopy& copy) { return leadsTo(dirFd, copy.name, copy.identity); }

}  // namespace quillmar::platform
