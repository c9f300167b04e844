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

// Steps through a JSON text one byte at a time and tells which bytes open or close a container
// ('[' and '{', ']' and '}' outside strings, escapes honoured); malformed text is left to the parser.
class JsonBracketScan {
public:
    // +1 when text[i] opens a container, -1 when it closes one, else 0; i moves past an escape.
    int step(std::string_view text, std::size_t& i) {
        const char c = text[i];
        if (inString_) {
            if (c == '\\') ++i;
            else if (c == '"') inString_ = false;
            return 0;
        }
        if (c == '"') inString_ = true;
        return c == '[' || c == '{' ? 1 : c == ']' || c == '}' ? -1 : 0;
    }

private:
    bool inString_ = false;
};

inline JsonNesting jsonNesting(std::string_view text, std::size_t limit = kMaxJsonNesting) {
    JsonNesting result;
    std::size_t depth = 0;
    JsonBracketScan scan;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int step = scan.step(text, i);
        if (step > 0) {
            ++depth;
            if (depth > result.deepest) result.deepest = depth;
            if (depth > limit && result.firstTooDeep == std::string_view::npos) result.firstTooDeep = i;
        } else if (step < 0 && depth > 0) {
            --depth;
        }
    }
    return result;
}

// Where a text that has `open` containers open at offset `from` (outside a string) first comes
// back to `depth` open containers: the offset just past that closing bracket, or npos.
inline std::size_t jsonNestingReturn(std::string_view text, std::size_t from, std::size_t open, std::size_t depth) {
    JsonBracketScan scan;
    for (std::size_t i = from; i < text.size(); ++i) {
        const int step = scan.step(text, i);
        if (step > 0) ++open;
        else if (step < 0 && open > 0 && --open == depth) return i + 1;
    }
    return std::string_view::npos;
}

}  // namespace quillmar::platform
