#include "windows/window_text.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace quillmar {

namespace {
// The non-starters at the start and at the end of c's canonical decomposition; both equal its
// length when it is all non-starters.
struct NonStarters {
    std::size_t leading = 0;
    std::size_t trailing = 0;
    bool all = false;
};

NonStarters nonStartersOf(UChar32 c, const icu::Normalizer2* nfd) {
    // Nothing below U+00C0 decomposes or combines.
    if (c < 0xC0) return {};
    icu::UnicodeString decomposition;
    if (!nfd || !nfd->getDecomposition(c, decomposition)) {
        const bool combining = u_getCombiningClass(c) != 0;
        return {combining ? 1u : 0u, combining ? 1u : 0u, combining};
    }
    NonStarters n{0, 0, true};
    for (std::int32_t i = 0; i < decomposition.length(); i = decomposition.moveIndex32(i, 1)) {
        if (u_getCombiningClass(decomposition.char32At(i)) == 0) {
            n.all = false;
            n.trailing = 0;
            continue;
        }
        ++n.trailing;
        if (n.all) ++n.leading;
    }
    return n;
}

}  // namespace

std::string boundNonStarterRuns(std::string_view text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status)) nfd = nullptr;
    std::string out;
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::size_t run = 0;  // non-starters since the last starter
    bool cut = false;
    std::int32_t i = 0;
    while (i < length) {
        const std::int32_t start = i;
        UChar32 c;
        U8_NEXT(s, i, length, c);
        const NonStarters n = c < 0 ? NonStarters{} : nonStartersOf(c, nfd);
        if (n.leading > 0 && run + n.leading > kMaxNonStarterRun) {
            // Over the bound: dropped. The bytes before it go out at the first drop.
            if (!cut) out.assign(text.substr(0, static_cast<std::size_t>(start)));
            cut = true;
            continue;
        }
        run = n.all ? run + n.leading : n.trailing;
        if (cut) out.append(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
    }
    return cut ? out : std::string(text);
}

std::string trimWhitespaceAndNewlines(std::string_view text) {
    // From both ends inwards, so that the cost is the white space's rather than the text's.
    // Malformed bytes count as one code point each, never as white space.
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t first = 0;
    while (first < length) {
        std::int32_t next = first;
        UChar32 c;
        U8_NEXT(s, next, length, c);
        if (c < 0 || !u_isUWhiteSpace(c)) break;
        first = next;
    }
    std::int32_t last = length;
    while (last > first) {
        std::int32_t previous = last;
        UChar32 c;
        U8_PREV(s, first, previous, c);
        if (c < 0 || !u_isUWhiteSpace(c)) break;
        last = previous;
    }
    return std::string(text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first)));
}

std::u16string foldCase(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c >= 0 && c < 0x80) {
            out.push_back(static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
            continue;
        }
        icu::UnicodeString one(c < 0 ? static_cast<UChar32>(0xFFFD) : c);
        one.foldCase(U_FOLD_CASE_DEFAULT);
        out.append(reinterpret_cast<const char16_t*>(one.getBuffer()), static_cast<std::size_t>(one.length()));
    }
    return out;
}

std::optional<std::size_t> foldedSuffixStart(std::string_view text, std::u16string_view foldedSuffix) {
    if (foldedSuffix.empty()) return text.size();
    // Case folding works code point by code point, so the folded tail of the text grows one
    // folded code point at a time from the end; each piece must match the folded suffix where it
    // lands, and the match is complete when the whole suffix is covered.
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t covered = 0;
    std::int32_t end = static_cast<std::int32_t>(text.size());
    while (end > 0) {
        std::int32_t start = end;
        UChar32 c;
        U8_PREV(s, 0, start, c);
        if (c >= 0 && c < 0x80) {
            const auto lower = static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            if (covered + 1 > foldedSuffix.size() || foldedSuffix[foldedSuffix.size() - covered - 1] != lower)
                return std::nullopt;
            covered += 1;
            end = start;
            if (covered == foldedSuffix.size()) return static_cast<std::size_t>(start);
            continue;
        }
        const std::u16string piece = foldCase(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
        if (covered + piece.size() > foldedSuffix.size()) return std::nullopt;
        if (foldedSuffix.substr(foldedSuffix.size() - covered - piece.size(), piece.size()) != piece) return std::nullopt;
        covered += piece.size();
        end = start;
        if (covered == foldedSuffix.size()) return static_cast<std::size_t>(start);
    }
    return std::nullopt;
}

std::string normalizeNFC(std::string_view rawText) {
    // Plain ASCII is in every normalisation form already.
    if (std::all_of(rawText.begin(), rawText.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(rawText);
    std::string text = boundNonStarterRuns(rawText);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || !nfc) return text;
    const auto source = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    if (nfc->isNormalized(source, status) && U_SUCCESS(status)) return text;
    status = U_ZERO_ERROR;
    const icu::UnicodeString normalized = nfc->normalize(source, status);
    if (U_FAILURE(status)) return text;
    // Malformed input became replacement characters: keep the original bytes instead.
    if (source.indexOf(static_cast<UChar>(0xFFFD)) < 0 && normalized.indexOf(static_cast<UChar>(0xFFFD)) >= 0) return text;
    std::string out;
    normalized.toUTF8String(out);
    return out;
}

}  // namespace quillmar
