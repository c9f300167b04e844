#include "localization/app_language.h"

#include <memory>

#include "gfx/font_region.h"
#include "platform/preferred_languages.h"
#include "runtime/text_case.h"
#include "runtime/world.h"

namespace quillmar {

namespace {

// The language of the current world, chosen when this object is created (World::shared creates
// it once under its lock, so concurrent first readers wait for one choice). Text is drawn in the
// CJK design of the language chosen last.
struct CurrentAppLanguage {
    CurrentAppLanguage() : language(choose()) { gfx::setFontRegionForLanguage(language.rawValue()); }
    AppLanguage language;

    static AppLanguage choose() {
        auto& platform = platform::PreferredLanguages::shared();
        std::vector<std::string> codes;
        for (AppLanguage l : AppLanguage::allCases()) codes.emplace_back(l.rawValue());
        const auto answer = platform.preferredLocalizations(codes, platform.preferredLanguages());
        // The preferences are read again for the walk: the matcher may have consumed a copy.
        return AppLanguage::resolve(answer, platform.preferredLanguages());
    }
};

}  // namespace

AppLanguage AppLanguage::current() { return runtime::World::shared<CurrentAppLanguage>().language; }

void AppLanguage::chooseAgain() { runtime::World::install(std::make_unique<CurrentAppLanguage>()); }

AppLanguage AppLanguage::resolve(const std::vector<std::string>& matcherAnswer,
                                 const std::vector<std::string>& preferredLanguages) {
    if (!matcherAnswer.empty())
        if (auto exact = fromRawValue(matcherAnswer.front())) return *exact;

    // The traditional-script prefix is the lower-cased raw value of zhHant: "zh-hant".
    const std::string traditional = runtime::lowercased(AppLanguage(zhHant).rawValue());
    const std::pair<std::string, AppLanguage> prefixes[] = {
        {"ja", ja},    {traditional, zhHant}, {"zh-tw", zhHant}, {"zh-hk", zhHant}, {"zh-mo", zhHant},
        {"zh", zhHans}, {"de", de},           {"ko", ko},        {"en", en},
    };
    for (const auto& entry : preferredLanguages) {
        const std::string tag = runtime::lowercased(entry);
        for (const auto& [prefix, language] : prefixes)
            if (tag.starts_with(prefix)) return language;
    }
    return en;
}

}  // namespace quillmar
