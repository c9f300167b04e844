#include "gfx/text_layout_single_line.h"

#include <algorithm>
#include <memory>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/utext.h>

namespace quillmar::gfx {

namespace {

// The end of the last whole UTF-8 sequence at or before `limit`.
std::size_t codePointBoundary(std::string_view s, std::size_t limit) {
    while (limit > 0 && limit < s.size() && (static_cast<unsigned char>(s[limit]) & 0xC0) == 0x80) --limit;
    return limit;
}

}  // namespace

SingleLineText SingleLineText::of(std::string_view line) {
    // Every grapheme takes at least one byte: a short line has nothing to cut.
    if (line.size() <= kMaxGraphemes) return {std::string(line), false};
    std::size_t end = 0;
    UErrorCode status = U_ZERO_ERROR;
    UText* text = utext_openUTF8(nullptr, line.data(), static_cast<int64_t>(line.size()), &status);
    std::unique_ptr<icu::BreakIterator> it(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_SUCCESS(status) && it) {
        it->setText(text, status);
        // A boundary's native index on UTF-8 text is its byte offset.
        for (std::size_t n = 0; U_SUCCESS(status) && n < kMaxGraphemes; ++n) {
            const int32_t next = it->next();
            if (next == icu::BreakIterator::DONE || static_cast<std::size_t>(next) > kMaxBytes) break;
            end = static_cast<std::size_t>(next);
        }
    }
    utext_close(text);
    // A first cluster beyond the byte bound (or no break iterator) is cut between code points.
    if (end == 0) end = codePointBoundary(line, std::min(line.size(), kMaxBytes));
    return {std::string(line.substr(0, end)), end < line.size()};
}

}  // namespace quillmar::gfx
