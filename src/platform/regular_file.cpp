#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/file_descriptor.h"

namespace quillmar::platform {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::string errorText(int error) { return std::strerror(error); }

RegularFileRead failed(RegularFileRead::Status status, std::string problem) {
    RegularFileRead r;
    r.status = status;
    r.problem = std::move(problem);
    return r;
}

}  // namespace

std::string fileKindName(mode_t mode) {
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    return "not a regular file";
}

bool FileAtName::isRegular() const { return S_ISREG(mode); }

std::optional<FileAtName> fileAtName(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return FileAtName{st.st_mode, {st.st_dev, st.st_ino}};
}

bool leadsTo(int dirFd, const std::string& name, const FileIdentity& identity) {
    const auto at = fileAtName(dirFd, name);
    return at && at->isRegular() && at->identity == identity;
}

std::optional<FileAtName> fileAtName(const std::filesystem::path& path) { return fileAtName(AT_FDCWD, path.string()); }

RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    return readRegularFileAt(AT_FDCWD, path.string(), maxBytes);
}

RegularFileRead readRegularFileAt(int dirFd, const std::string& name, std::uintmax_t maxBytes, FileDescriptor* keep) {
    const auto at = fileAtName(dirFd, name);
    if (!at) {
        const int error = errno;
        if (error == ENOENT) return failed(RegularFileRead::Status::missing, "does not exist");
        return failed(RegularFileRead::Status::readFailed, "cannot be opened: " + errorText(error));
    }
    if (!at->isRegular())
        return failed(RegularFileRead::Status::notRegular, "is " + fileKindName(at->mode) + ", not a regular file");
    FileDescriptor fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT) return failed(RegularFileRead::Status::missing, "does not exist");
        // Replaced since it was looked at: a symbolic link (ELOOP), a socket or a device without a
        // driver (ENXIO), or a file that may not be opened.
        if (auto now = fileAtName(dirFd, name); now && !now->isRegular())
            return failed(RegularFileRead::Status::notRegular, "is " + fileKindName(now->mode) + ", not a regular file");
        return failed(RegularFileRead::Status::readFailed, "cannot be opened: " + errorText(error));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return failed(RegularFileRead::Status::readFailed, "cannot be read: " + errorText(errno));
    RegularFileRead result;
    result.identity = FileIdentity{st.st_dev, st.st_ino};
    if (!S_ISREG(st.st_mode)) {
        result.status = RegularFileRead::Status::notRegular;
        result.problem = "is " + fileKindName(st.st_mode) + ", not a regular file";
        return result;
    }
    auto tooLarge = [&](std::uintmax_t size) {
        result.status = RegularFileRead::Status::tooLarge;
        result.problem = "is " + std::to_string(size) + " bytes; at most " + std::to_string(maxBytes) + " are read";
        return result;
    };
    if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return tooLarge(static_cast<std::uintmax_t>(st.st_size));
    try {
        std::string text;
        // Room for the last read, which finds the end, too: the text is never moved as it grows.
        text.reserve(static_cast<std::size_t>(st.st_size) + kChunk);
        // The file may grow while it is read: never more than one byte past the limit is taken.
        for (;;) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uintmax_t>(kChunk, maxBytes + 1 - text.size()));
            const std::size_t at = text.size();
            text.resize(at + want);
            const ssize_t n = ::read(fd.get(), text.data() + at, want);
            if (n < 0 && errno == EINTR) {
                text.resize(at);
                continue;
            }
            if (n < 0) {
                const int error = errno;
                result.status = RegularFileRead::Status::readFailed;
                result.problem = "cannot be read: " + errorText(error);
                return result;
            }
            text.resize(at + static_cast<std::size_t>(n));
            if (n == 0) break;
            if (text.size() > maxBytes) return tooLarge(text.size());
        }
        result.status = RegularFileRead::Status::ok;
        result.text = std::move(text);
        if (keep) *keep = std::move(fd);
    } catch (const std::bad_alloc&) {
        result.status = RegularFileRead::Status::readFailed;
        result.problem = "cannot be read: out of memory";
    }
    return result;
}

}  // namespace quillmar::platform
