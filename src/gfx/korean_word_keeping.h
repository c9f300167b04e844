#pragma once
// Korean line breaking by words: Korean separates its words with spaces, and its readers expect a
// wrapped line to break at those spaces, never between two syllables of one word ("클릭합니 / 다."),
// as Pango's default rules (any two Hangul syllables may part) would allow.

#include <string_view>

typedef struct _PangoAttrList PangoAttrList;

namespace quillmar::gfx {

// Adds to `attrs` one Pango "allow breaks: no" attribute per word of `text` (a run of characters
// between white space) that holds a Hangul syllable or jamo, so such a word only breaks where
// white space or an explicit line break stands. Other words keep the default rules.
void keepKoreanWordsWhole(PangoAttrList* attrs, std::string_view text);

}  // namespace quillmar::gfx
