#include "platform/folder_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

namespace quillmar::platform {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

std::string errorText(int error) { return std::strerror(error); }

// Why a level could not be opened as a folder: what stands there, when it is no folder.
std::string levelProblem(int dirFd, const std::string& level, const std::filesystem::path& shown, int error) {
    struct stat st {};
    if (::fstatat(dirFd, level.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
        return shown.string() + " is " + fileKindName(st.st_mode) + ", not a folder";
    return shown.string() + ": " + errorText(error);
}

}  // namespace

std::string FolderWriter::descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

std::optional<std::string> FolderWriter::write(const std::string& name, const Producer& produce, mode_t mode) const {
    std::vector<std::string> levels;
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string level = name.substr(start, end - start);
        if (level == "." || level == "..") return "\"" + name + "\" has a \"" + level + "\" level";
        if (!level.empty()) levels.push_back(level);
        start = end + 1;
    }
    if (levels.empty() || name.back() == '/') return "\"" + name + "\" names no file";
    if (name.find('\0') != std::string::npos) return "a file name cannot hold a NUL character";

    // The folder itself is the caller's: a link there is followed, as any name given by the user is.
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    Descriptor dir(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) {
        const int error = errno;
        struct stat st {};
        if (::stat(folder_.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            return folder_.string() + " is " + fileKindName(st.st_mode) + ", not a folder";
        return folder_.string() + ": " + (ec ? ec.message() : errorText(error));
    }
    std::filesystem::path shown = folder_;
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        const std::string& level = levels[i];
        shown /= level;
        if (::mkdirat(dir.get(), level.c_str(), 0777) != 0 && errno != EEXIST)
            return levelProblem(dir.get(), level, shown, errno);
        const int next = ::openat(dir.get(), level.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) return levelProblem(dir.get(), level, shown, errno);
        dir.reset(next);
    }
    const std::string& leaf = levels.back();
    shown /= leaf;

    std::string problem;
    const int error = writeFileAtomicallyAt(
        dir.get(), leaf, [&](int fd, std::string* why) { return produce(fd, why) ? 0 : EIO; }, mode, &problem);
    if (error == 0) return std::nullopt;
    if (!problem.empty()) return problem;
    struct stat st {};
    if ((error == EISDIR || error == ENOTEMPTY || error == EEXIST) &&
        ::fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return shown.string() + " is " + fileKindName(st.st_mode);
    return errorText(error);
}

std::optional<std::string> FolderWriter::write(const std::string& name, std::string_view data, mode_t mode) const {
    return write(
        name,
        [&](int fd, std::string* problem) {
            const int error = writeAll(fd, data);
            if (error) *problem = errorText(error);
            return error == 0;
        },
        mode);
}

}  // namespace quillmar::platform
