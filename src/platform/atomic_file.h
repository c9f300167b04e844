#pragma once
// Writing a whole file so that readers see either the old contents or the new, never a mix: the
// data goes to a fresh temporary file in the same folder, named "<name>.quillmar-tmp.<16 letters
// or digits>" (the name cut, at a character's start, so the whole stays within the folder's
// longest name), created exclusively with the new-file mode (the kernel takes the umask off), is
// written in full and flushed, and is then renamed over the name and the folder flushed. The
// rename replaces whatever stands at the name, a planted symbolic link or FIFO included, without
// following or opening it. A regular file of this user's that is replaced lends the new one its
// permission bits, never a set-user-ID, set-group-ID or sticky bit; a file of anyone else's lends
// nothing. On any failure the error is returned and the temporary file's name removed while it
// still leads to the file written (another program may have put a file of its own there).

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/file_descriptor.h"
#include "platform/regular_file.h"

namespace quillmar::platform {

// Fills the temporary file through its descriptor (open for reading and writing): 0, or the
// errno of what failed (then, when the failure is not an errno of its own, a text in *problem
// says what went wrong).
using AtomicFileFiller = std::function<int(int fd, std::string* problem)>;

// Called with the temporary file complete, right before it is renamed into place: 0 lets the
// rename go ahead, an errno calls the write off (the temporary file goes).
using BeforeRename = std::function<int()>;

// The permission bits a file lends a file that replaces it or copies it: those of a regular file of
// this user's, without set-ID and sticky bits; -1 for any other. lentMode: of the file at `name`
// (-1 when none stands there).
int lentModeOf(const struct stat& st);
int lentMode(int dirFd, const std::string& name);

// Writes `name` in the folder open at dirFd; a new file gets newFileMode less the umask. Returns 0,
// or the errno of the step that failed; *problem (when given) gets what the filler said. With
// `written`, the file put in place stays open there (read-only): while it is open its inode cannot
// be given to another file. *renamed (when given) is set once the new file stands at the name,
// which it does even when flushing the folder after that fails. When what stands at the name after
// the rename is not the file written (another program put a file of its own at the temporary name),
// the write fails with ESTALE, *problem saying so. Without `replace`, a name that is taken stays as
// it is and the write fails with EEXIST.
int writeFileAtomicallyAt(int dirFd, const std::string& name, const AtomicFileFiller& fill, mode_t newFileMode,
                          std::string* problem = nullptr, FileDescriptor* written = nullptr,
                          const BeforeRename& beforeRename = {}, bool* renamed = nullptr, bool replace = true);
int writeFileAtomicallyAt(int dirFd, const std::string& name, std::string_view data, mode_t newFileMode = 0600,
                          FileDescriptor* written = nullptr, const BeforeRename& beforeRename = {},
                          bool* renamed = nullptr, std::string* problem = nullptr);

// Creates a fresh temporary file for a write of `name` with `mode` (less the umask), exclusively:
// its descriptor (read-write) and its name in *tmpName, or -1 and errno.
int createTemporaryFile(int dirFd, const std::string& name, mode_t mode, std::string* tmpName);
// The same for a private folder (mode 0700 less the umask) under such a name: its descriptor.
int createTemporaryFolder(int dirFd, const std::string& name, std::string* tmpName);

// Writes all of `data` to fd: 0, or the errno of the write that failed.
int writeAll(int fd, std::string_view data);

// The part of `name` that a name made of it and a suffix of suffixLength bytes keeps in the folder
// open at dirFd: all of it when the whole fits the folder's longest name, otherwise as much as
// fits, cut where a character starts.
std::string_view namePartBefore(int dirFd, std::string_view name, std::size_t suffixLength);

// Whether `candidate` is a name this writer gives the temporary file of a write of `targetName` in
// the folder open at dirFd: that name, or exactly the cut of it the folder needs, and the suffix.
bool isTemporaryNameFor(int dirFd, std::string_view targetName, std::string_view candidate);
// Whether `candidate` is a name this writer gives a temporary file of any name.
bool isTemporaryName(std::string_view candidate);

}  // namespace quillmar::platform
