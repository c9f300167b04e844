#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/atomic_file_calls.h"

namespace quillmar::platform {

namespace detail {

AtomicFileCalls atomicFileCalls = {
    [](void* buffer, std::size_t length, unsigned flags) { return ::getrandom(buffer, length, flags); },
    ::fsync,
    ::renameat2,
    ::linkat,
    ::unlinkat,
};

}  // namespace detail

namespace {

using detail::atomicFileCalls;

constexpr std::string_view kMarker = ".quillmar-tmp.";
constexpr std::size_t kRandomLength = 16;
constexpr std::size_t kSuffixLength = kMarker.size() + kRandomLength;
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool isAlphabet(char c) { return kAlphabet.find(c) != std::string_view::npos; }

// Fills `out` with random bytes: false with errno set when they cannot all be had.
bool fillRandom(unsigned char* out, std::size_t length) {
    for (std::size_t got = 0; got < length;) {
        const ssize_t n = atomicFileCalls.getrandom(out + got, length - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Makes a fresh temporary name for `name` and calls `create` with it until it does not fail for
// the name being taken: its result, with the name in *tmpName.
template <typename Create>
int createTemporary(int dirFd, const std::string& name, std::string* tmpName, const Create& create) {
    const std::string_view part = namePartBefore(dirFd, name, kSuffixLength);
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kRandomLength];
        if (!fillRandom(random, sizeof random)) return -1;
        tmpName->assign(part);
        *tmpName += kMarker;
        for (unsigned char r : random) *tmpName += kAlphabet[r % kAlphabet.size()];
        const int fd = create(tmpName->c_str());
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Removes `name` while it leads to the regular file `identity`, one this write made: a file another
// program put at the name stays. (The kernel removes a name whatever it leads to, so this is a
// look right before the removal.)
void removeOwnName(int dirFd, const std::string& name, const FileIdentity& identity) {
    if (leadsTo(dirFd, name, identity)) atomicFileCalls.unlinkat(dirFd, name.c_str(), 0);
}

}  // namespace

int createTemporaryFile(int dirFd, const std::string& name, mode_t mode, std::string* tmpName) {
    return createTemporary(dirFd, name, tmpName, [&](const char* tmp) {
        return ::openat(dirFd, tmp, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    });
}

int createTemporaryFolder(int dirFd, const std::string& name, std::string* tmpName) {
    return createTemporary(dirFd, name, tmpName, [&](const char* tmp) {
        if (::mkdirat(dirFd, tmp, 0700) != 0) return -1;
        const int fd = ::openat(dirFd, tmp, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            ::unlinkat(dirFd, tmp, AT_REMOVEDIR);  // a folder only, and only while empty
            errno = error;
        }
        return fd;
    });
}

int lentModeOf(const struct stat& st) {
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return -1;
    return static_cast<int>(st.st_mode & 0777);
}

int lentMode(int dirFd, const std::string& name) {
    struct stat old {};
    if (::fstatat(dirFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    return lentModeOf(old);
}

std::string_view namePartBefore(int dirFd, std::string_view name, std::size_t suffixLength) {
    const long limit = ::fpathconf(dirFd, _PC_NAME_MAX);
    const std::size_t longest = limit > 0 ? static_cast<std::size_t>(limit) : 255;
    if (name.size() + suffixLength <= longest) return name;
    std::size_t keep = longest > suffixLength ? longest - suffixLength : 1;
    while (keep > 1 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    return name.substr(0, keep);
}

bool isTemporaryName(std::string_view candidate) {
    if (candidate.size() <= kSuffixLength) return false;
    const std::string_view random = candidate.substr(candidate.size() - kRandomLength);
    return candidate.substr(candidate.size() - kSuffixLength, kMarker.size()) == kMarker &&
           std::ranges::all_of(random, isAlphabet);
}

bool isTemporaryNameFor(int dirFd, std::string_view targetName, std::string_view candidate) {
    // The folder's longest name is asked only of a name that looks like a temporary one.
    return isTemporaryName(candidate) &&
           candidate.substr(0, candidate.size() - kSuffixLength) == namePartBefore(dirFd, targetName, kSuffixLength);
}

int writeAll(int fd, std::string_view data) {
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

int writeFileAtomicallyAt(int dirFd, const std::string& name, const AtomicFileFiller& fill, mode_t newFileMode,
                          std::string* problem, FileDescriptor* written, const BeforeRename& beforeRename,
                          bool* renamed, bool replace) {
    std::string tmpName;
    const int fd = createTemporaryFile(dirFd, name, newFileMode & 0777, &tmpName);
    if (fd < 0) return errno;
    struct stat st {};
    int error = ::fstat(fd, &st) != 0 ? errno : fill(fd, problem);
    const FileIdentity made{st.st_dev, st.st_ino};
    if (!error && atomicFileCalls.fsync(fd) != 0) error = errno;
    const int mode = lentMode(dirFd, name);
    if (!error && mode >= 0 && ::fchmod(fd, static_cast<mode_t>(mode)) != 0) error = errno;
    FileDescriptor kept;
    if (!error && written) {
        kept.reset(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
        if (kept.get() < 0) error = errno;
    }
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && beforeRename) error = beforeRename();
    if (!error &&
        atomicFileCalls.renameat2(dirFd, tmpName.c_str(), dirFd, name.c_str(), replace ? 0 : RENAME_NOREPLACE) != 0)
        error = errno;
    if (error) {
        removeOwnName(dirFd, tmpName, made);
        return error;
    }
    if (renamed) *renamed = true;
    // A file another program put at the temporary name went in instead: this write did not.
    if (!leadsTo(dirFd, name, made)) {
        if (problem) *problem = "another program put a file of its own at the name it was written under, and that file "
                                "went in in its place";
        return ESTALE;
    }
    // The rename itself is durable only once the folder is flushed; a folder that cannot be
    // flushed at all (EINVAL), or that was opened as a path only because it cannot be listed
    // (EBADF), is no failure of this write.
    if (atomicFileCalls.fsync(dirFd) != 0 && errno != EINVAL && errno != EBADF) return errno;
    if (written) *written = std::move(kept);
    return 0;
}

int writeFileAtomicallyAt(int dirFd, const std::string& name, std::string_view data, mode_t newFileMode,
                          FileDescriptor* written, const BeforeRename& beforeRename, bool* renamed,
                          std::string* problem) {
    return writeFileAtomicallyAt(dirFd, name, [data](int fd, std::string*) { return writeAll(fd, data); }, newFileMode,
                                 problem, written, beforeRename, renamed);
}

}  // namespace quillmar::platform
