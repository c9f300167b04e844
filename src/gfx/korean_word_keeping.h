#pragma once
// Korean line breaking by words: Korean separates its words with spaces, and its readers expect a
// wrapped line to break at those spaces, never between two syllables of one word ("클릭합니 / 다."),
// as the default rules (any two Hangul syllables may part) allow.

#include <string>
#include <string_view>

namespace quillmar::gfx {

// `text` with a word joiner (U+2060, invisible, no width) at every place inside a Korean word (a
// run of characters between white space that holds a Hangul syllable or jamo) where a line could
// otherwise break. Such a word then wraps only at its spaces, unless it is wider than the whole
// line: the layout's fallback to breaking between characters still applies there. Other words
// and invalid UTF-8 come back unchanged.
std::string keepKoreanWordsWhole(std::string_view text);

}  // namespace quillmar::gfx
