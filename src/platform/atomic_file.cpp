#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quillmar::platform {

namespace {

constexpr std::string_view kTemporaryInfix = ".tmp-";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Creates a fresh temporary file for `name`; its name goes to *tmpName.
int createTemporaryFile(int dirFd, const std::string& name, std::string* tmpName) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kRandomLength];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        *tmpName = name;
        *tmpName += kTemporaryInfix;
        for (unsigned char r : random) *tmpName += kAlphabet[r % kAlphabet.size()];
        const int fd = ::openat(dirFd, tmpName->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

bool isTemporaryNameFor(std::string_view name, std::string_view target) {
    if (target.empty() || name.size() != target.size() + kTemporaryInfix.size() + kRandomLength) return false;
    if (!name.starts_with(target) || name.substr(target.size(), kTemporaryInfix.size()) != kTemporaryInfix) return false;
    return std::ranges::all_of(name.substr(name.size() - kRandomLength),
                               [](char c) { return kAlphabet.find(c) != std::string_view::npos; });
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
                          std::string* problem) {
    std::string tmpName;
    const int fd = createTemporaryFile(dirFd, name, &tmpName);
    if (fd < 0) return errno;
    // 0600 whatever the umask, so a leftover is recognisably this writer's own.
    int error = ::fchmod(fd, 0600) == 0 ? 0 : errno;
    if (!error) error = fill(fd, problem);
    if (!error && ::fsync(fd) != 0) error = errno;
    struct stat old {};
    const mode_t mode = ::fstatat(dirFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode)
                            ? old.st_mode & 07777
                            : newFileMode;
    if (!error && mode != 0600 && ::fchmod(fd, mode) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::renameat(dirFd, tmpName.c_str(), dirFd, name.c_str()) != 0) error = errno;
    if (error) {
        ::unlinkat(dirFd, tmpName.c_str(), 0);
        return error;
    }
    ::fsync(dirFd);  // makes the rename itself durable
    return 0;
}

int writeFileAtomicallyAt(int dirFd, const std::string& name, std::string_view data, mode_t newFileMode) {
    return writeFileAtomicallyAt(dirFd, name, [data](int fd, std::string*) { return writeAll(fd, data); }, newFileMode);
}

}  // namespace quillmar::platform
