#include "settings/switcher_links.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/sim_bundle_info.h"
#include "support/fresh_world.h"

namespace quillmar {
namespace {

TEST(SwitcherLinksTest, VersionNormalisation) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2.5.3", "2.5"},     {"1.12", "1.1"},       {"2.10", "2.1"},  {"3.05", "3.5"},
        {"1.012", "1.0"},     {"02.07", "2.7"},      {"2", "2.0"},     {"2.", "2.0"},
        {"2.5-beta", "2.5"},  {"1.4+build7", "1.4"}, {"v2.5", "1.0"},  {".5", "1.0"},
        {"", "1.0"},          {" \t2.5.3\n", "2.5"}, {"-3.2", "3.2"},  {"---", "1.0"},
        {"2.x", "2.0"},       {"2..5", "2.0"},       {"2.-1", "2.0"},  {"\u00A02.4\u3000", "2.4"},
        {"99999999999999999999.1", "1.0"},           {"4.99999999999999999999", "4.0"},
        {"9223372036854775807.09", "9223372036854775807.9"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(SwitcherLinks::normalizeDisplayVersion(input), expected) << "\"" << input << "\"";
}

class SwitcherLinksWorldTest : public testing::FreshWorldTest {};

TEST_F(SwitcherLinksWorldTest, DisplayVersionComesFromTheBundle) {
    auto& bundle = platform::sim::SimBundleInfo::install();
    bundle.setInfoValue("CFBundleShortVersionString", "  2.5.3 ");
    EXPECT_EQ(SwitcherLinks::displayAppVersion(), "2.5");
    bundle.setInfoValue("CFBundleShortVersionString", 3.1);  // not text
    EXPECT_EQ(SwitcherLinks::displayAppVersion(), "1.0");
    bundle.removeInfoValue("CFBundleShortVersionString");
    EXPECT_EQ(SwitcherLinks::displayAppVersion(), "1.0");
    bundle.removeInfoDictionary();
    EXPECT_EQ(SwitcherLinks::displayAppVersion(), "1.0");
}

TEST_F(SwitcherLinksWorldTest, FeedbackLinkCarriesTheNormalisedVersionInAnEncodedSubject) {
    auto& bundle = platform::sim::SimBundleInfo::install();
    bundle.setInfoValue("CFBundleShortVersionString", "2.5.3-rc1");
    bundle.setOperatingSystemVersion({14, 5, 0});
    EXPECT_EQ(SwitcherLinks::feedbackMailtoURL(),
              "mailto:support@quillmar.app?subject=Quillmar%20v2.5%20Feedback%20(macOS%2014.5.0)");
}

}  // namespace
}  // namespace quillmar
