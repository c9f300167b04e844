// Where a line may break stays Pango's answer (its log attributes); this only puts Pango's own
// no-break mark, the word joiner, at those places inside Korean words. Finding the words is a walk
// over white space by hand, because that is the whole rule for Korean (words are what the spaces
// separate); a word-boundary iterator (ICU, Pango's word starts) would also split a word at its
// punctuation or at a change of script ("W로"), where a Korean line must not break either.
//
// Pango's "allow breaks" attribute would do the same without changing the text, but it also takes
// away the breaks between characters that a word wider than the line needs, and Pango aborts the
// process when it must force a break where none is allowed.

#include "gfx/korean_word_keeping.h"

#include <pango/pango.h>

#include <vector>

namespace quillmar::gfx {

namespace {

bool isHangul(gunichar c) {
    return (c >= 0xAC00 && c <= 0xD7A3)                                      // syllables
           || (c >= 0x1100 && c <= 0x11FF)                                   // jamo
           || (c >= 0x3130 && c <= 0x318F)                                   // compatibility jamo
           || (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF);  // extended jamo
}

constexpr std::string_view kWordJoiner = "\u2060";

}  // namespace

std::string keepKoreanWordsWhole(std::string_view text) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    if (text.empty() || !g_utf8_validate(begin, static_cast<gssize>(text.size()), nullptr))
        return std::string(text);
    bool anyHangul = false;
    for (const char* p = begin; p < end && !anyHangul; p = g_utf8_next_char(p))
        anyHangul = isHangul(g_utf8_get_char(p));
    if (!anyHangul) return std::string(text);

    const int characters = static_cast<int>(g_utf8_strlen(begin, static_cast<gssize>(text.size())));
    std::vector<PangoLogAttr> breaks(static_cast<std::size_t>(characters) + 1);
    pango_get_log_attrs(begin, static_cast<int>(text.size()), -1, pango_language_from_string("ko"),
                        breaks.data(), characters + 1);

    std::string out;
    out.reserve(text.size() + text.size() / 2);
    const char* p = begin;
    int index = 0;  // character index of p
    while (p < end) {
        // White space goes through as it is.
        while (p < end && g_unichar_isspace(g_utf8_get_char(p))) {
            const char* next = g_utf8_next_char(p);
            out.append(p, next);
            p = next;
            ++index;
        }
        // One word: is it Korean?
        bool korean = false;
        const char* q = p;
        for (; q < end && !g_unichar_isspace(g_utf8_get_char(q)); q = g_utf8_next_char(q))
            korean = korean || isHangul(g_utf8_get_char(q));
        for (bool first = true; p < q; first = false) {
            if (korean && !first && breaks[static_cast<std::size_t>(index)].is_line_break)
                out.append(kWordJoiner);
            const char* next = g_utf8_next_char(p);
            out.append(p, next);
            p = next;
            ++index;
        }
    }
    return out;
}

}  // namespace quillmar::gfx
