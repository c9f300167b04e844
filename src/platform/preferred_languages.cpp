#include "platform/preferred_languages.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <optional>

#include "runtime/text_case.h"
#include "runtime/world.h"

namespace quillmar::platform {

namespace {

struct LanguageTag {
    std::string language;  // lower case
    std::string script;    // title case, "" when absent
    std::string region;    // upper case, "" when absent
};

bool allAlpha(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isalpha(c); });
}
bool allDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::vector<std::string> subtags(const std::string& tag) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : tag) {
        if (c == '-' || c == '_') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    out.push_back(cur);
    return out;
}

LanguageTag parse(const std::string& tag) {
    LanguageTag t;
    auto parts = subtags(tag);
    t.language = runtime::lowercased(parts[0]);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (p.size() == 4 && allAlpha(p) && t.script.empty() && t.region.empty()) {
            t.script = runtime::lowercased(p);
            t.script[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(t.script[0])));
        } else if (((p.size() == 2 && allAlpha(p)) || (p.size() == 3 && allDigits(p))) && t.region.empty()) {
            t.region = p;
            std::transform(t.region.begin(), t.region.end(), t.region.begin(),
                           [](unsigned char c) { return std::toupper(c); });
        }
    }
    // Chinese is written in one of two scripts; a tag that names none implies it by region.
    if (t.language == "zh" && t.script.empty()) {
        const bool traditional = t.region == "TW" || t.region == "HK" || t.region == "MO";
        t.script = traditional ? "Hant" : "Hans";
    }
    return t;
}

std::string normalised(const std::string& tag) {
    std::string s = runtime::lowercased(tag);
    std::replace(s.begin(), s.end(), '_', '-');
    return s;
}

std::optional<std::size_t> bestFor(const std::string& preference, const std::vector<std::string>& available,
                                   const std::vector<LanguageTag>& parsed) {
    const std::string want = normalised(preference);
    for (std::size_t i = 0; i < available.size(); ++i)
        if (normalised(available[i]) == want) return i;

    const LanguageTag p = parse(preference);
    if (p.language.empty()) return std::nullopt;
    std::optional<std::size_t> sameScript, sameScriptRegional, sameLanguage;
    for (std::size_t i = 0; i < available.size(); ++i) {
        const LanguageTag& a = parsed[i];
        if (a.language != p.language) continue;
        if (!sameLanguage) sameLanguage = i;
        if (a.script != p.script) continue;
        if (a.region.empty()) {
            if (!sameScript) sameScript = i;
        } else if (!sameScriptRegional) {
            sameScriptRegional = i;
        }
    }
    if (sameScript) return sameScript;
    if (sameScriptRegional) return sameScriptRegional;
    return sameLanguage;
}

// "de_DE.UTF-8@euro" -> "de-DE"; the C and POSIX locales name no language.
std::optional<std::string> tagFromLocaleName(std::string name) {
    if (auto cut = name.find_first_of(".@"); cut != std::string::npos) name.erase(cut);
    if (name.empty() || name == "C" || name == "POSIX") return std::nullopt;
    std::replace(name.begin(), name.end(), '_', '-');
    return name;
}

class EnvironmentPreferredLanguages final : public PreferredLanguages {
public:
    std::vector<std::string> preferredLanguages() const override {
        std::vector<std::string> out;
        auto add = [&](const std::string& name) {
            if (auto tag = tagFromLocaleName(name); tag && std::find(out.begin(), out.end(), *tag) == out.end())
                out.push_back(*tag);
        };
        if (const char* list = std::getenv("LANGUAGE"); list && *list) {
            std::string cur;
            for (const char* p = list;; ++p) {
                if (*p == ':' || *p == '\0') {
                    add(cur);
                    cur.clear();
                    if (*p == '\0') break;
                } else {
                    cur.push_back(*p);
                }
            }
        }
        for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            if (const char* v = std::getenv(var); v && *v) {
                add(v);
                break;
            }
        }
        return out;
    }
};

}  // namespace

std::vector<std::string> matchPreferredLocalizations(const std::vector<std::string>& available,
                                                     const std::vector<std::string>& preferences) {
    if (available.empty()) return {};
    std::vector<LanguageTag> parsed;
    parsed.reserve(available.size());
    for (const auto& a : available) parsed.push_back(parse(a));
    for (const auto& pref : preferences)
        if (auto i = bestFor(pref, available, parsed)) return {available[*i]};
    return {available.front()};
}

PreferredLanguages& PreferredLanguages::shared() {
    if (auto* installed = runtime::World::find<PreferredLanguages>()) return *installed;
    return runtime::World::install<PreferredLanguages>(std::make_unique<EnvironmentPreferredLanguages>());
}

}  // namespace quillmar::platform
