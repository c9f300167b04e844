// The breaking itself stays Pango's: this only marks the words whose inside must not break, with
// Pango's own "allow breaks" attribute. Finding the words is a walk over white space by hand,
// because that is the whole rule for Korean (words are what the spaces separate); a word-boundary
// iterator (ICU, Pango's log attributes) would also split a word at its punctuation or at a
// change of script ("W로", "다."), where a Korean line must not break either.

#include "gfx/korean_word_keeping.h"

#include <pango/pango.h>

namespace quillmar::gfx {

namespace {

bool isHangul(gunichar c) {
    return (c >= 0xAC00 && c <= 0xD7A3)                                      // syllables
           || (c >= 0x1100 && c <= 0x11FF)                                   // jamo
           || (c >= 0x3130 && c <= 0x318F)                                   // compatibility jamo
           || (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF);  // extended jamo
}

}  // namespace

void keepKoreanWordsWhole(PangoAttrList* attrs, std::string_view text) {
    if (!attrs || text.empty() || !g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        return;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (p < end) {
        // Skip white space to the next word.
        while (p < end && g_unichar_isspace(g_utf8_get_char(p))) p = g_utf8_next_char(p);
        const char* wordStart = p;
        bool korean = false;
        int characters = 0;
        while (p < end) {
            const gunichar c = g_utf8_get_char(p);
            if (g_unichar_isspace(c)) break;
            korean = korean || isHangul(c);
            ++characters;
            p = g_utf8_next_char(p);
        }
        if (korean && characters > 1) {
            PangoAttribute* attr = pango_attr_allow_breaks_new(FALSE);
            attr->start_index = static_cast<guint>(wordStart - begin);
            attr->end_index = static_cast<guint>(p - begin);
            pango_attr_list_insert(attrs, attr);
        }
    }
}

}  // namespace quillmar::gfx
