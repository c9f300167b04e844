#include "windows/window_text.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <vector>

namespace quillmar {

namespace {
// Offsets of every code point start in text, plus text.size(). Malformed bytes count as one
// code point each.
std::vector<std::size_t> codePointStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    starts.reserve(text.size() + 1);
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t i = 0;
    while (i < length) {
        starts.push_back(static_cast<std::size_t>(i));
        UChar32 c;
        U8_NEXT(s, i, length, c);
        (void)c;
    }
    starts.push_back(text.size());
    return starts;
}

bool isWhiteSpaceAt(std::string_view text, std::size_t start, std::size_t end) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(text.data());
    std::int32_t i = static_cast<std::int32_t>(start);
    UChar32 c;
    U8_NEXT(s, i, static_cast<std::int32_t>(end), c);
    return c >= 0 && u_isUWhiteSpace(c);
}

}  // namespace

std::string trimWhitespaceAndNewlines(std::string_view text) {
    const auto starts = codePointStarts(text);
    std::size_t first = 0;
    std::size_t last = starts.size() - 1;  // index of the end offset
    while (first < last && isWhiteSpaceAt(text, starts[first], starts[first + 1])) ++first;
    while (last > first && isWhiteSpaceAt(text, starts[last - 1], starts[last])) --last;
    return std::string(text.substr(starts[first], starts[last] - starts[first]));
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

std::string normalizeNFC(std::string_view text) {
    // Plain ASCII is in every normalisation form already.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || !nfc) return std::string(text);
    const auto source = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    if (nfc->isNormalized(source, status) && U_SUCCESS(status)) return std::string(text);
    status = U_ZERO_ERROR;
    const icu::UnicodeString normalized = nfc->normalize(source, status);
    if (U_FAILURE(status)) return std::string(text);
    std::string out;
    normalized.toUTF8String(out);
    // Malformed input became replacement characters: keep the original bytes instead.
    return source.indexOf(static_cast<UChar>(0xFFFD)) < 0 && normalized.indexOf(static_cast<UChar>(0xFFFD)) >= 0
               ? std::string(text)
               : out;
}

}  // namespace quillmar
