#pragma once
// JSON text without a byte of layout, for files read back under a size limit. Numbers with a
// fraction or an exponent are written in the shortest of "1500.0", "15e2" and "1.5e3" that reads
// back as the same double, so a value never takes more bytes than the text it was read from did
// ("1e15" stays "1e15"; the library's own writer makes it "1000000000000000.0"). Strings are
// written as UTF-8 with only the escapes JSON requires; text that is not valid UTF-8 gets
// replacement characters. Values that are not finite are written as null.

#include <map>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quillmar::platform {

void appendCompactJson(std::string& out, const nlohmann::json& value);
void appendCompactJsonString(std::string& out, std::string_view text);
// The members as one object.
std::string compactJsonObject(const std::map<std::string, nlohmann::json>& members);

}  // namespace quillmar::platform
