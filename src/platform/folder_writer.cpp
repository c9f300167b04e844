#include "platform/folder_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/atomic_file.h"

namespace quillmar::platform {

namespace {

// Why a level could not be opened as a folder: what stands there, when it is no folder.
WriteFailure levelFailure(int dirFd, const std::string& level, const std::filesystem::path& shown, int error) {
    struct stat st {};
    if (::fstatat(dirFd, level.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
        return {WriteFailure::Kind::notFolder, error, shown, st.st_mode, {}};
    return {WriteFailure::Kind::failed, error, shown, 0, {}};
}

WriteFailure badName(const std::string& name, std::string why) {
    return {WriteFailure::Kind::badName, 0, name, 0, std::move(why)};
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

std::optional<std::string> FolderWriter::descriptorPath(int fd) {
    if (::access("/proc/self/fd", F_OK) != 0) return std::nullopt;
    return "/proc/self/fd/" + std::to_string(fd);
}

std::optional<WriteFailure> FolderWriter::write(const std::string& name, const Producer& produce,
                                                mode_t newFileMode) const {
    std::vector<std::string> levels;
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string level = name.substr(start, end - start);
        if (level == "." || level == "..") return badName(name, "has a \"" + level + "\" level");
        if (!level.empty()) levels.push_back(level);
        start = end + 1;
    }
    if (levels.empty() || name.back() == '/') return badName(name, "names no file");
    if (name.find('\0') != std::string::npos) return badName(name, "holds a NUL character");

    // The folder itself is the caller's: a link there is followed, as any name given by the user is.
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    FileDescriptor root(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.get() < 0) return folderFailure(folder_, ec ? ec.value() : errno);
    const std::string leaf = levels.back();
    levels.pop_back();
    auto opened = openFolderLevels(std::move(root), levels, 0777, /*followLinks=*/false);
    const FileDescriptor& dir = opened.folder;
    std::filesystem::path shown = folder_;
    if (opened.error) {
        for (std::size_t i = 0; i <= opened.failedLevel; ++i) shown /= levels[i];
        return levelFailure(dir.get(), levels[opened.failedLevel], shown, opened.error);
    }
    for (const auto& level : levels) shown /= level;
    shown /= leaf;

    std::optional<WriteFailure> produced;
    std::string problem;
    const int error = writeFileAtomicallyAt(
        dir.get(), leaf,
        [&](int fd, std::string*) {
            produced = produce(fd);
            return produced ? EIO : 0;
        },
        newFileMode, &problem);
    if (error == 0) return std::nullopt;
    if (produced) return produced;
    if (!problem.empty())
        return WriteFailure{WriteFailure::Kind::producer, error, {}, 0, shown.string() + ": " + problem};
    struct stat st {};
    if ((error == EISDIR || error == ENOTEMPTY || error == EEXIST) &&
        ::fstatat(dir.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return WriteFailure{WriteFailure::Kind::occupied, error, shown, st.st_mode, {}};
    return WriteFailure{WriteFailure::Kind::failed, error, {}, 0, {}};
}

std::optional<WriteFailure> FolderWriter::write(const std::string& name, std::string_view data,
                                                mode_t newFileMode) const {
    return write(
        name,
        [&](int fd) -> std::optional<WriteFailure> {
            if (const int error = writeAll(fd, data)) return WriteFailure{WriteFailure::Kind::failed, error, {}, 0, {}};
            return std::nullopt;
        },
        newFileMode);
}

}  // namespace quillmar::platform
