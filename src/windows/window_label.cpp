#include "windows/window_label.h"

#include <array>

#include "windows/window_text.h"

namespace quillmar {

namespace {
constexpr std::array<std::string_view, 3> kSeparators{" \u2014 ", " - ", " \u2013 "};
constexpr std::array<std::string_view, 7> kBrowserNames{"Google Chrome", "Brave",          "Brave Browser", "Arc",
                                                        "Safari",        "Firefox",        "Microsoft Edge"};

// Cuts a folded suffix off the end of t when t ends with it. The cut is made where the match
// starts in t, so a case folding that changes the length cannot make it bite into the title.
void stripSuffix(std::string& t, std::u16string_view foldedSuffix) {
    if (auto start = foldedSuffixStart(t, foldedSuffix)) t = trimWhitespaceAndNewlines(std::string_view(t).substr(0, *start));
}

std::u16string foldedJoin(std::string_view separator, std::string_view name) {
    std::string suffix;
    suffix.reserve(separator.size() + name.size());
    suffix.append(separator).append(name);
    return foldCase(suffix);
}

// Separator + browser name, folded once for the process.
const std::array<std::array<std::u16string, kBrowserNames.size()>, kSeparators.size()>& foldedBrowserSuffixes() {
    static const auto table = [] {
        std::array<std::array<std::u16string, kBrowserNames.size()>, kSeparators.size()> t;
        for (std::size_t s = 0; s < kSeparators.size(); ++s)
            for (std::size_t b = 0; b < kBrowserNames.size(); ++b) t[s][b] = foldedJoin(kSeparators[s], kBrowserNames[b]);
        return t;
    }();
    return table;
}
}  // namespace

std::string cleanWindowLabel(std::string_view windowTitle, std::string_view rawAppName) {
    // Title and name are compared in one normalisation form: apps write accents composed or not.
    const std::string appName = normalizeNFC(rawAppName);
    std::string t = normalizeNFC(trimWhitespaceAndNewlines(windowTitle));
    if (t.empty() || t == appName) return std::string(rawAppName);
    const auto& browsers = foldedBrowserSuffixes();
    for (std::size_t s = 0; s < kSeparators.size(); ++s) {
        stripSuffix(t, foldedJoin(kSeparators[s], appName));
        for (const auto& browser : browsers[s]) stripSuffix(t, browser);
    }
    return t.empty() ? std::string(rawAppName) : t;
}

}  // namespace quillmar
