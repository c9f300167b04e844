#pragma once
// The six interface languages and the one language of this run.
//
//   switch (AppLanguage::current()) { case AppLanguage::ja: ...; }
//   AppLanguage::current() == AppLanguage::de
//   AppLanguage::fromRawValue("zh-Hans")   -> AppLanguage::zhHans ("zh-hans", "en-US", "" -> nullopt)
//
// current() is chosen at its first read from the user's preferred languages and then stays
// fixed; there is no setting that overrides it. The choice belongs to the world: it is made
// once per world (any thread may be first; others wait) and World::reset() lets the next world
// choose again.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar {

class AppLanguage {
public:
    // Declaration order is the order of allCases() and of every string-table row.
    enum Value : std::uint8_t { en, ja, zhHans, zhHant, de, ko };

    constexpr AppLanguage(Value v) : value_(v) {}  // NOLINT(google-explicit-constructor)
    constexpr operator Value() const { return value_; }  // NOLINT(google-explicit-constructor): switchable

    static constexpr std::array<AppLanguage, 6> allCases() { return {en, ja, zhHans, zhHant, de, ko}; }

    // "en", "ja", "zh-Hans", "zh-Hant", "de", "ko".
    constexpr std::string_view rawValue() const {
        constexpr std::string_view names[] = {"en", "ja", "zh-Hans", "zh-Hant", "de", "ko"};
        return names[value_];
    }
    // Exact, case-sensitive match of one of the six raw values.
    static constexpr std::optional<AppLanguage> fromRawValue(std::string_view text) {
        for (AppLanguage l : allCases())
            if (l.rawValue() == text) return l;
        return std::nullopt;
    }

    // The language of this run (of this world).
    static AppLanguage current();
    // Forgets this world's choice, so that the next read of current() chooses again from the
    // preferences as they are then. The product never calls it: the demo runner does, to show
    // one run's windows in several languages.
    static void chooseAgain();

    // The choice itself, from the platform matcher's answer for the six raw values and the
    // ordered preferred languages: the answer's first element when it is one of the six raw
    // values, else the first preference that starts (lower-cased) with "ja", "zh-hant", "zh-tw",
    // "zh-hk", "zh-mo", "zh", "de", "ko" or "en" (tested in that order), else English.
    static AppLanguage resolve(const std::vector<std::string>& matcherAnswer,
                               const std::vector<std::string>& preferredLanguages);

private:
    Value value_;
};

}  // namespace quillmar

template <>
struct std::hash<quillmar::AppLanguage> {
    std::size_t operator()(quillmar::AppLanguage l) const noexcept {
        return std::hash<std::string_view>{}(l.rawValue());
    }
};
