#pragma once
// The one wording of a file of the run that could not be written: "cannot write <file>: <why>",
// the file's name and every name in the reason quoted and cut as the scenario loader shows a
// name that came from outside (control characters escaped, a long name cut).

#include <filesystem>
#include <string>

#include "platform/write_failure.h"

namespace quillmar::platform::sim {

std::string cannotWriteText(const std::filesystem::path& file, const WriteFailure& failure);

}  // namespace quillmar::platform::sim
