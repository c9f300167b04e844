#pragma once
// Keeping a damaged settings file as the file that replaces it goes in.
//
// The damaged file stays at its name, untouched, until its replacement is complete. Right before
// the replacement is renamed over the name, the damaged file gets a copy's name beside it
// ("<name>.unreadable", then "-2" up to "-999", the name cut where the folder's longest name needs
// it; a name that is taken is never replaced): a second name of the same file or, on a file system
// that makes no second names, a new file holding the bytes read from it. Should the replacement
// not go in, the copy's name is taken back and the damaged file is as it was, so nothing read from
// it has to be held for a later try: that reads it again.

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

// Gives the damaged file at `name` in the folder open at dirFd, read as `read` and holding
// `bytes` (the caller has just seen it there), a copy's name; `shown` is its path as reasons show
// it. The copy, or nullopt and *why:
// "<shown> changed while it was read", "<shown> is damaged and stays as it is: every name for a
// copy up to <shown>.unreadable-999 is taken", "cannot keep <shown> as <copy>: <errno>".
std::optional<DamagedFileCopy> keepDamagedFileCopy(int dirFd, const std::string& name, const FileIdentity& read,
                                                   std::string_view bytes, const std::filesystem::path& shown,
                                                   std::string* why);

// After a replacement that did not go in: the copy's name goes again, as long as the damaged file
// (`read`) still stands at `name` and the copy's name still leads to the copy.
void takeBackDamagedFileCopy(int dirFd, const std::string& name, const FileIdentity& read, const DamagedFileCopy& copy);

}  // namespace quillmar::platform
