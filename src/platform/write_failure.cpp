#include "platform/write_failure.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/regular_file.h"

namespace quillmar::platform {

std::string describe(const WriteFailure& failure, const ShowName& show) {
    const std::string path = show ? show(failure.path.string()) : failure.path.string();
    switch (failure.kind) {
        case WriteFailure::Kind::failed:
            return failure.path.empty() ? std::strerror(failure.error) : path + ": " + std::strerror(failure.error);
        case WriteFailure::Kind::notFolder: return path + " is " + fileKindName(failure.mode) + ", not a folder";
        case WriteFailure::Kind::occupied: return path + " is " + fileKindName(failure.mode);
        case WriteFailure::Kind::missingTarget: return path + " is a symbolic link to a missing target, not a folder";
        case WriteFailure::Kind::badName: return path + " " + failure.detail;
        case WriteFailure::Kind::producer: return failure.detail;
        case WriteFailure::Kind::noProc:
            return "/proc is not mounted (the picture writer reaches its temporary file through /proc/self/fd)";
    }
    return std::strerror(failure.error);
}

WriteFailure folderFailure(const std::filesystem::path& folder, int error) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) return {WriteFailure::Kind::notFolder, error, folder, st.st_mode, {}};
    } else if (errno == ENOENT && ::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        return {WriteFailure::Kind::missingTarget, error, folder, st.st_mode, {}};
    }
    return {WriteFailure::Kind::failed, error, folder, 0, {}};
}

}  // namespace quillmar::platform
