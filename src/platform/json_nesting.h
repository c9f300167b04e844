#pragma once
// How deeply a JSON text nests, found by a flat scan before the text is parsed. The JSON library
// parses and destroys documents recursively, so a hostile file nested tens of thousands deep
// would overflow the stack; every reader of JSON from outside checks the depth first and refuses
// (or quarantines) a text that nests deeper than any real settings or scenario file.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillmar::platform {

inline constexpr std::size_t kMaxJsonNesting = 200;
// The largest JSON file read from outside (a settings file, a scenario), in bytes.
inline constexpr std::uintmax_t kMaxJsonFileBytes = 8u << 20;

struct JsonNesting {
    std::size_t deepest = 0;
    std::size_t firstTooDeep = std::string_view::npos;  // byte offset where the limit is first passed
};

// Counts '[' and '{' outside strings (escapes honoured); malformed text is left to the parser.
inline JsonNesting jsonNesting(std::string_view text, std::size_t limit = kMaxJsonNesting) {
    JsonNesting result;
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
            if (depth > result.deepest) result.deepest = depth;
            if (depth > limit && result.firstTooDeep == std::string_view::npos) result.firstTooDeep = i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return result;
}

}  // namespace quillmar::platform
