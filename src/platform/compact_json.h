#pragma once
// JSON text without a byte of layout, for files read back under a size limit and opened by people.
// A number with a fraction or an exponent is written with the fewest digits that read back as the
// same double, in plain decimal unless an exponent is shorter: "200.0", "0.001", "1e15", "1e-5"
// (the library's own writer makes 1e15 "1000000000000000.0"); a whole number keeps its ".0", so it
// reads back as the type it was. Strings are written as UTF-8 with only the escapes JSON requires;
// text that is not valid UTF-8 gets replacement characters. Values that are not finite are
// written as null.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quillmar::platform {

void appendCompactJson(std::string& out, const nlohmann::json& value);
// Appends text as a JSON string: true when it went in as it is between the quotes (valid UTF-8
// with nothing JSON requires to be escaped), the one rule for how the settings file's keys are written.
bool appendCompactJsonString(std::string& out, std::string_view text);

}  // namespace quillmar::platform
