#pragma once
// Writing a whole file so that readers see either the old contents or the new, never a mix: the
// data goes to a fresh temporary file "<name>.tmp-XXXXXX" (six letters or digits) in the same
// folder, created exclusively with mode 0600 (nobody else reads a half-written file, and a
// leftover is recognisably this writer's own), is written in full and flushed, takes the mode of
// the regular file it replaces (or the mode asked for a new file), and is then renamed over the
// name. The rename replaces whatever stands at the name, a planted symbolic link or FIFO
// included, without following or opening it. On any failure the temporary file is removed and
// the error returned.

#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

namespace quillmar::platform {

// Fills the temporary file through its descriptor: 0, or the errno of what failed (then, when
// the failure is not an errno of its own, a text in *problem says what went wrong).
using AtomicFileFiller = std::function<int(int fd, std::string* problem)>;

// Writes `name` in the folder open at dirFd. Returns 0, or the errno of the step that failed;
// *problem (when given) gets what the filler said.
int writeFileAtomicallyAt(int dirFd, const std::string& name, const AtomicFileFiller& fill, mode_t newFileMode = 0600,
                          std::string* problem = nullptr);
int writeFileAtomicallyAt(int dirFd, const std::string& name, std::string_view data, mode_t newFileMode = 0600);

// Writes all of `data` to fd: 0, or the errno of the write that failed.
int writeAll(int fd, std::string_view data);

// Whether `name` has the form of a temporary file of a write of `target`.
bool isTemporaryNameFor(std::string_view name, std::string_view target);

}  // namespace quillmar::platform
