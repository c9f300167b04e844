#pragma once
// Text cut once where it enters (a scenario, the settings file) so that no label, log line
// or view carries megabytes of it: the longest prefix of at most `maxBytes` bytes that ends before
// a character, never inside one.

#include <cstdint>
#include <string>
#include <string_view>

#include <unicode/utf8.h>

namespace quillmar::platform {

inline std::string keptText(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    auto cut = static_cast<std::int32_t>(maxBytes);
    U8_SET_CP_START(reinterpret_cast<const std::uint8_t*>(text.data()), 0, cut);
    return std::string(text.substr(0, static_cast<std::size_t>(cut)));
}

}  // namespace quillmar::platform
