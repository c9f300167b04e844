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

// A new file at `copy` holding `bytes`, with the permissions of the damaged file at `name` when it
// is this user's own: which file it is, or nullopt and *error (EEXIST when the name is taken).
std::optional<FileIdentity> writeCopy(int dirFd, const std::string& name, const std::string& copy,
                                      std::string_view bytes, int* error) {
    const int lent = lentMode(dirFd, name);
    const FileDescriptor fd(::openat(dirFd, copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
        *error = errno;
        return std::nullopt;
    }
    struct stat st {};
    *error = writeAll(fd.get(), bytes);
    if (!*error && lent >= 0 && ::fchmod(fd.get(), static_cast<mode_t>(lent)) != 0) *error = errno;
    if (!*error && atomicFileCalls.fsync(fd.get()) != 0) *error = errno;
    if (!*error && ::fstat(fd.get(), &st) != 0) *error = errno;
    if (*error) {
        atomicFileCalls.unlinkat(dirFd, copy.c_str(), 0);  // made here, with O_EXCL
        return std::nullopt;
    }
    return FileIdentity{st.st_dev, st.st_ino};
}

}  // namespace

std::optional<DamagedFileCopy> keepDamagedFileCopy(int dirFd, const std::string& name, const FileIdentity& read,
                                                   std::string_view bytes, const fs::path& shown, std::string* why) {
    auto shownAs = [&](const std::string& copy) { return fs::path(shown).replace_filename(copy).string(); };
    auto changed = [&] {
        *why = shown.string() + " changed while it was read";
        return std::nullopt;
    };
    for (int n = 1; n <= kCopies; ++n) {
        const std::string copy = copyName(dirFd, name, n);
        if (atomicFileCalls.linkat(dirFd, name.c_str(), dirFd, copy.c_str(), 0) == 0) {
            // The name may stand for another file by now: then that one keeps it, and gets no copy.
            if (leadsTo(dirFd, copy, read)) return DamagedFileCopy{copy, read};
            atomicFileCalls.unlinkat(dirFd, copy.c_str(), 0);
            return changed();
        }
        int error = errno;
        if (error == EPERM || error == EOPNOTSUPP || error == EMLINK) {
            // No second name to be had here: a copy of the bytes read.
            if (auto made = writeCopy(dirFd, name, copy, bytes, &error)) return DamagedFileCopy{copy, *made};
        }
        if (error == EEXIST) continue;
        *why = "cannot keep " + shown.string() + " as " + shownAs(copy) + ": " + std::strerror(error);
        return std::nullopt;
    }
    *why = shown.string() + " is damaged and stays as it is: every name for a copy up to " +
           shownAs(copyName(dirFd, name, kCopies)) + " is taken";
    return std::nullopt;
}

void takeBackDamagedFileCopy(int dirFd, const std::string& name, const FileIdentity& read, const DamagedFileCopy& copy) {
    if (leadsTo(dirFd, name, read) && leadsTo(dirFd, copy.name, copy.identity))
        atomicFileCalls.unlinkat(dirFd, copy.name.c_str(), 0);
}

}  // namespace quillmar::platform
