#pragma once
// Writing a file inside a folder whose contents the program does not control (an output folder,
// the system's temporary folder): nothing that stands in it is ever followed or opened. The
// folder itself is the caller's choice and is created when missing; below it, every level of
// the name is opened without following a symbolic link (O_NOFOLLOW | O_DIRECTORY) and created
// with mkdirat when missing. The data goes into a fresh temporary file beside the name (created
// exclusively, openat with O_CREAT | O_EXCL), is flushed to disk, and the temporary file is then
// renamed over the name: a link, FIFO or device planted there is replaced, never written
// through, and readers see the old file or the new one, never a part. A write that fails leaves
// neither a truncated file nor the temporary one behind, and says why. The file itself is written
// as writeFileAtomicallyAt writes it (atomic_file.h), with its modes.
//
//   FolderWriter out("out/demo");
//   if (auto failure = out.write("shots/bar.png", pngBytes)) report("cannot write ...: " + describe(*failure));

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_descriptor.h"
#include "platform/write_failure.h"

namespace quillmar::platform {

// Opens `levels` one below the other, starting in the folder `from`, and makes each that is
// missing (mkdirat, `mode`). A level made here is opened without following a symbolic link, so
// nothing put in its place is followed; an existing level is followed only with followLinks.
// On success `folder` is the last level (or `from` when there are none); on failure it is the
// folder that holds the level that failed, `failedLevel` that level's index and `error` the errno.
struct FolderLevels {
    FileDescriptor folder;
    std::size_t failedLevel = 0;
    int error = 0;
};
FolderLevels openFolderLevels(FileDescriptor from, const std::vector<std::string>& levels, mode_t mode,
                              bool followLinks);

class FolderWriter {
public:
    explicit FolderWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& folder() const { return folder_; }

    // Fills the temporary file through its descriptor (open for reading and writing): nullopt,
    // or why it could not.
    using Producer = std::function<std::optional<WriteFailure>(int fd)>;

    // Writes `name` (relative, "/" between levels; "." and ".." levels are refused); a new file
    // gets `newFileMode` less the umask, a replaced regular file of this user's keeps its
    // permission bits. nullopt when written, otherwise why not (describe() words it).
    std::optional<WriteFailure> write(const std::string& name, const Producer& produce,
                                      mode_t newFileMode = 0666) const;
    std::optional<WriteFailure> write(const std::string& name, std::string_view data, mode_t newFileMode = 0666) const;

    // A name that opens the file behind the descriptor itself (its entry in /proc/self/fd), for
    // writers that only take a file name: opening it reaches that very file, whatever has been
    // done to the folder since. nullopt when /proc is not mounted.
    static std::optional<std::string> descriptorPath(int fd);

private:
    std::filesystem::path folder_;
};

}  // namespace quillmar::platform
