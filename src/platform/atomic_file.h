#pragma once
// Writing a whole file so that readers see either the old contents or the new, never a mix: the
// data goes to a fresh temporary file in the same directory, created exclusively with mode 0600
// (mkstemp), is written in full and flushed, and the temporary file is then renamed over the
// target. The rename replaces whatever stands at the target, a planted symbolic link included,
// without following it. On any failure the temporary file is removed and false returned.

#include <filesystem>
#include <string_view>

namespace quillmar::platform {

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data);

}  // namespace quillmar::platform
