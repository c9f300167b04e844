#pragma once
// Writing a whole file so that readers see either the old contents or the new, never a mix: the
// data goes to a fresh temporary file "<name>.tmp-XXXXXX" (six letters or digits) in the same
// folder, created exclusively with mode 0600, is written in full and flushed, takes the mode of
// the file it replaces (a new file stays 0600), and is then renamed over the name. The rename
// replaces whatever stands at the name, a planted symbolic link included, without following it.
// On any failure the temporary file is removed and the error returned.

#include <filesystem>
#include <string>
#include <string_view>

namespace quillmar::platform {

// Writes `name` in the folder open at dirFd. Returns 0, or the errno of the step that failed.
int writeFileAtomicallyAt(int dirFd, const std::string& name, std::string_view data);

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data);

// Whether `name` has the form of a temporary file of a write of `target`.
bool isTemporaryNameFor(std::string_view name, std::string_view target);

}  // namespace quillmar::platform
