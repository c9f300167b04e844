#pragma once
// Keeping a damaged settings file as the file that replaces it goes in.
//
// The damaged file stays at its name, untouched, until its replacement is complete. Right before
// the replacement is renamed over the name, the damaged file gets a copy's name beside it
// ("<name>.unreadable", then "-2" up to "-999", the name cut where the folder's longest name needs
// it; a name that is taken is never replaced). The new name is made for the very file that was
// read, through the descriptor it was read by (linkat of /proc/self/fd/N), so it can lead to no
// other file and nothing has to be checked or removed after it; where a copy's name leads to that
// file already (a run killed between the copy and the rename leaves one, and so do a replacement
// that did not go in and another run that gave it one a moment before), that name is used again,
// so names do not pile up and none is ever taken back. On a file system that makes no second
// names, or without /proc, the copy is a new file holding the bytes read from it, made without a
// name and linked to the copy's name once whole (or, where that cannot be, written beside it and
// renamed to it only while the name is free).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/regular_file.h"

namespace quillmar::platform {

struct DamagedFileCopy {
    std::string name;       // the copy's name in the folder
    FileIdentity identity;  // the file at it: the damaged file itself, or the copy of its bytes
};

// Gives the damaged file read through readFd (-1: no longer open; then only its bytes are copied),
// which stood at `name` in the folder open at dirFd and held `bytes`, a copy's name; `shown` is
// its path as reasons show it. The copy, or nullopt and *why: "<shown> is damaged and stays as it
// is: every name for a copy up to <shown>.unreadable-999 is taken", "cannot keep <shown> as
// <copy>: <errno>", "<shown> was removed while it was saved" (it has no name left to link to).
std::optional<DamagedFileCopy> keepDamagedFileCopy(int dirFd, const std::string& name, int readFd,
                                                   std::string_view bytes, const std::filesystem::path& shown,
                                                   std::string* why);

// A copy of `bytes` under the first free copy's name (after the damaged file lost the one it was
// given): as keepDamagedFileCopy, without a second name.
std::optional<DamagedFileCopy> keepDamagedFileBytes(int dirFd, const std::string& name, int readFd,
                                                    std::string_view bytes, const std::filesystem::path& shown,
                                                    std::string* why);

// The path a copy's name is shown by: the damaged file's (`shown`) with the copy's name in place.
std::filesystem::path shownCopy(const std::filesystem::path& shown, const std::string& copyName);

// Whether the copy's name still leads to the file it was given to.
bool stillKept(int dirFd, const DamagedFileCopy& copy);

}  // namespace quillmar::platform
