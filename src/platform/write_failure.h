#pragma once
// Why a file could not be written, as the writing found it: what went wrong and the part of the
// path it concerns. describe() words it, in one place for every writer, so the same failure reads
// the same wherever it happens ("out/shots is a symbolic link, not a folder").

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace quillmar::platform {

struct WriteFailure {
    enum class Kind {
        failed,         // a call failed with `error` at `path` (empty: the file's own write)
        notFolder,      // what stands at `path` (its `mode`) where a folder is needed
        occupied,       // what stands at the file's name, `path`, and cannot be replaced (its `mode`)
        missingTarget,  // `path` is a symbolic link to nothing where a folder is needed
        badName,        // the name `path` cannot be written: `detail` says why ("has a \"..\" level")
        producer,       // the contents could not be made, or did not go in: `detail` says why
        noProc,         // /proc is not mounted, and the writer reaches its file only through it
    };
    Kind kind = Kind::failed;
    int error = 0;
    std::filesystem::path path;
    mode_t mode = 0;
    std::string detail;
};

// How a name appears in a message: as it is, or (for names that came from outside) quoted and cut.
using ShowName = std::function<std::string(std::string_view)>;

std::string describe(const WriteFailure& failure, const ShowName& show = {});

// Why `folder` could not be opened as a folder (open gave `error`): what stands there instead,
// when anything does.
WriteFailure folderFailure(const std::filesystem::path& folder, int error);

}  // namespace quillmar::platform
