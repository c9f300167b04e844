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

std::string errorText(int error) { return std::strerror(error); }

// Why a level could not be opened as a folder: what stands there, when it is no folder.
std::string levelProblem(int dirFd, const std::string& level, const std::filesystem::path& shown, int error) {
    struct stat st {};
    if (::fstatat(dirFd, level.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
        return shown.string() + " is " + fileKindName(st.st_mode) + ", not a folder";
    return shown.string() + ": " + errorText(error);
}

}  // namespace

FolderLevels openFolderLevels(FileDescriptor from, const std::vector<std::string>& levels, mode_t mode,
                              bool followLinks) {
    FolderLevels result{std::move(from)};
    constexpr int kFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const char* level = levels[i].c_str();
        const int parent = result.folder.get();
        int next = ::openat(parent, level, kFolder | (followLinks ? 0 : O_NOFOLLOW));
        if (next < 0 && errno == ENOENT && (::mkdirat(parent, level, mode) == 0 || errno == EEXIST))
            next = ::openat(parent, level, kFolder | O_NOFOLLOW);
        if (next < 0) {
            result.failedLevel = i;
            result.error = errno;
            return result;
        }
        result.folder.reset(next);
    }
    return result;
}

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
    FileDescriptor root(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.get() < 0) {
        const int error = errno;
        struct stat st {};
        if (::stat(folder_.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            return folder_.string() + " is " + fileKindName(st.st_mode) + ", not a folder";
        return folder_.string() + ": " + (ec ? ec.message() : errorText(error));
    }
    const std::string leaf = levels.back();
    levels.pop_back();
    auto opened = openFolderLevels(std::move(root), levels, 0777, /*followLinks=*/false);
    const FileDescriptor& dir = opened.folder;
    std::filesystem::path shown = folder_;
    if (opened.error) {
        for (std::size_t i = 0; i <= opened.failedLevel; ++i) shown /= levels[i];
        return levelProblem(dir.get(), levels[opened.failedLevel], shown, opened.error);
    }
    for (const auto& level : levels) shown /= level;
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
