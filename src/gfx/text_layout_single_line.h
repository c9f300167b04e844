#pragma once
// What of a one-line label can ever be shown. No screen shows more than a few hundred characters
// on one line, and laying out a line costs far more than linear time in its length, so a label
// goes to layout only up to a bound: its first kMaxGraphemes user-perceived characters (grapheme
// clusters, never split), and no more than kMaxBytes of UTF-8 (a cluster longer than that alone
// is cut between code points). Finding the cut reads only the text up to it.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmar::gfx {

struct SingleLineText {
    static constexpr std::size_t kMaxGraphemes = 1024;
    static constexpr std::size_t kMaxBytes = 32 * 1024;

    std::string text;  // what is laid out: a prefix of the line
    bool cut = false;  // the line goes on beyond `text`

    // `line` must be valid UTF-8.
    static SingleLineText of(std::string_view line);
};

}  // namespace quillmar::gfx
