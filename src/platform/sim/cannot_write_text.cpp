#include "platform/sim/cannot_write_text.h"

#include "platform/sim/scenario_fields.h"

namespace quillmar::platform::sim {

std::string cannotWriteText(const std::filesystem::path& file, const WriteFailure& failure) {
    return "cannot write " + ScenarioFields::quoted(file.string()) + ": " + describe(failure, ScenarioFields::quoted);
}

}  // namespace quillmar::platform::sim
