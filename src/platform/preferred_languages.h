#pragma once
// The user's ordered language preferences and the platform's localisation matcher, which picks
// from the localisations an app offers the best one for those preferences.
//
// PreferredLanguages::shared() returns the installed backend (World::install<PreferredLanguages>);
// when none is installed the preferences come from the process environment (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG; "de_DE.UTF-8" reads as "de-DE").

#include <string>
#include <vector>

namespace quillmar::platform {

// The best of `available` for `preferences` (language tags such as "en-GB", "zh-Hant-TW",
// "zh_CN"; compared case-insensitively, "_" and "-" alike). The preferences are tried in order;
// the first that matches anything decides:
//   1. an available tag equal to the preference;
//   2. else one with the same language and script, where a Chinese tag without a script takes
//      it from its region (TW, HK, MO: Hant; otherwise, CN and SG included: Hans); a tag
//      without a region is preferred over a regional one;
//   3. else one with the same language, whatever its script.
// When no preference matches, the answer is the first available tag. The result holds the one
// chosen tag, spelled as in `available`; it is empty only when `available` is.
std::vector<std::string> matchPreferredLocalizations(const std::vector<std::string>& available,
                                                     const std::vector<std::string>& preferences);

class PreferredLanguages {
public:
    virtual ~PreferredLanguages() = default;

    static PreferredLanguages& shared();

    // Most preferred first; may be empty.
    virtual std::vector<std::string> preferredLanguages() const = 0;

    // The platform's answer for `available` against `preferences`.
    virtual std::vector<std::string> preferredLocalizations(const std::vector<std::string>& available,
                                                            const std::vector<std::string>& preferences) const {
        return matchPreferredLocalizations(available, preferences);
    }
};

}  // namespace quillmar::platform
