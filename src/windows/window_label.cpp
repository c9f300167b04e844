#include "windows/window_label.h"

#include <array>
#include <unordered_map>

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

namespace {
std::string cleanLabel(std::string_view windowTitle, std::string_view rawAppName) {
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
}  // namespace

std::string cleanWindowLabel(std::string_view windowTitle, std::string_view rawAppName) {
    // Every opening of the bar labels every window again, mostly with the titles it had before:
    // the labels worked out lately are kept (all let go at once when there are too many).
    constexpr std::size_t kKept = 4096;
    thread_local std::unordered_map<std::string, std::string> kept;
    // The name's length first, so no name and title can pass for another pair.
    std::string key = std::to_string(rawAppName.size());
    key.reserve(key.size() + rawAppName.size() + windowTitle.size() + 1);
    key.append(":").append(rawAppName).append(windowTitle);
    if (auto it = kept.find(key); it != kept.end()) return it->second;
    std::string label = cleanLabel(windowTitle, rawAppName);
    if (kept.size() >= kKept) kept.clear();
    kept.emplace(std::move(key), label);
    return label;
}

}  // namespace quillmar
