#include "localization/app_language.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/font_region.h"
#include "platform/preferred_languages.h"
#include "platform/sim/sim_preferred_languages.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

using Strings = std::vector<std::string>;

TEST(AppLanguageTest, RawValuesRoundTripExactly) {
    for (AppLanguage l : AppLanguage::allCases()) EXPECT_EQ(AppLanguage::fromRawValue(l.rawValue()), l);
    for (const char* bad : {"zh-hans", "en-US", "", "EN", " de"}) EXPECT_FALSE(AppLanguage::fromRawValue(bad)) << bad;
}

struct ResolveCase {
    Strings answer;
    Strings preferred;
    AppLanguage expected;
};

TEST(AppLanguageTest, ResolveTakesAnExactMatcherAnswerElseWalksThePreferences) {
    const std::vector<ResolveCase> cases = {
        {{"zh-Hant"}, {"en-US"}, AppLanguage::zhHant},           // the answer decides alone
        {{"ko", "en"}, {}, AppLanguage::ko},                     // only its first element counts
        {{}, {"fr-FR", "en-GB", "ja-JP"}, AppLanguage::en},      // English ranked first stops the walk
        {{}, {"fr-FR", "de-DE"}, AppLanguage::de},               // unsupported entries are skipped
        {{"fr"}, {"fr-FR", "de-DE"}, AppLanguage::de},           // an answer outside the six is ignored
        {{"zh-hans"}, {"ko-KR"}, AppLanguage::ko},               // not an exact raw value
        {{}, {"ZH-TW"}, AppLanguage::zhHant},
        {{}, {"zh-HK"}, AppLanguage::zhHant},
        {{}, {"zh-MO"}, AppLanguage::zhHant},
        {{}, {"zh-Hant-CN"}, AppLanguage::zhHant},               // script prefix before region
        {{}, {"zh-SG"}, AppLanguage::zhHans},
        {{}, {"zh"}, AppLanguage::zhHans},
        {{}, {"ja"}, AppLanguage::ja},
        {{}, {"ko-KR", "ja"}, AppLanguage::ko},
        {{}, {}, AppLanguage::en},
        {{}, {"fr", "it", "pt-BR"}, AppLanguage::en},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppLanguage::resolve(c.answer, c.preferred), c.expected)
            << (c.preferred.empty() ? "(none)" : c.preferred.front());
    }
}

struct MatchCase {
    Strings preferences;
    std::string expected;
};

TEST(AppLanguageTest, PlatformMatcherPrefersExactThenScriptThenLanguage) {
    const Strings six = {"en", "ja", "zh-Hans", "zh-Hant", "de", "ko"};
    const std::vector<MatchCase> cases = {
        {{"de-AT"}, "de"},
        {{"zh-Hant-TW"}, "zh-Hant"},
        {{"zh-TW"}, "zh-Hant"},
        {{"zh_HK"}, "zh-Hant"},
        {{"zh-MO"}, "zh-Hant"},
        {{"zh-CN"}, "zh-Hans"},
        {{"zh-SG"}, "zh-Hans"},
        {{"zh"}, "zh-Hans"},
        {{"ZH-HANS"}, "zh-Hans"},
        {{"fr-FR", "ko-KR", "en"}, "ko"},
        {{"fr-FR", "it"}, "en"},  // nothing matches: the first available
        {{}, "en"},
    };
    for (const auto& c : cases) {
        auto answer = platform::matchPreferredLocalizations(six, c.preferences);
        ASSERT_EQ(answer.size(), 1u);
        EXPECT_EQ(answer.front(), c.expected) << (c.preferences.empty() ? "(none)" : c.preferences.front());
    }
    // Without a script-exact candidate, another script of the language still serves.
    EXPECT_EQ(platform::matchPreferredLocalizations({"en", "zh-Hans"}, {"zh-TW"}), Strings{"zh-Hans"});
    EXPECT_EQ(platform::matchPreferredLocalizations({"en-GB", "en"}, {"en-US"}), Strings{"en"});
    EXPECT_TRUE(platform::matchPreferredLocalizations({}, {"en"}).empty());
}

class AppLanguageWorldTest : public testing::FreshWorldTest {};

TEST_F(AppLanguageWorldTest, CurrentIsChosenOncePerWorld) {
    auto& prefs = platform::sim::SimPreferredLanguages::install({"de-CH", "en"});
    EXPECT_EQ(AppLanguage::current(), AppLanguage::de);
    prefs.setPreferredLanguages({"ja-JP"});
    EXPECT_EQ(AppLanguage::current(), AppLanguage::de);  // fixed for the run

    runtime::World::reset();
    auto& next = platform::sim::SimPreferredLanguages::install({"ko-KR"});
    next.scriptMatcherAnswer(Strings{});  // an empty answer falls back to the walk
    EXPECT_EQ(AppLanguage::current(), AppLanguage::ko);
    // Text is drawn in the CJK design of the language chosen, until the next world chooses.
    EXPECT_EQ(gfx::fontRegion(), gfx::FontRegion::korea);
    runtime::World::reset();
    EXPECT_EQ(gfx::fontRegion(), gfx::FontRegion::japan);
}

}  // namespace
}  // namespace quillmar
