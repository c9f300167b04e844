// The minimised-bar illustration shows where the selection is: at rest the first entry is lit,
// and while its card is hovered the light moves to the parked window at the end of the bar.

#include <gtest/gtest.h>

#include "support/image_compare.h"
#include "settings_ui/minimized_bar_mock_stage.h"
#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::testing {
namespace {

class MinimisedBarLightTest : public FreshWorldTest {};

TEST_F(MinimisedBarLightTest, HoverMovesTheLightFromTheFirstEntryToTheParkedOne) {
    // The corner of an entry's tile, inside its light but outside its icon.
    auto brightness = [](ui::HostingView& host, const std::string& name) {
        const auto f = *host.frame(name);
        const auto c = gfx::probe(host.renderImage(2.0), {f.x + 1.5, f.midY()});
        return c.red + c.green + c.blue;
    };
    ui::HostingView rest(MinimizedBarMockStage{SettingsPalette(true), {}, false}, {172, 58});
    ui::HostingView hovered(MinimizedBarMockStage{SettingsPalette(true), {}, true}, {172, 58});
    EXPECT_GT(brightness(rest, "minimizedBarEntry.0"), brightness(hovered, "minimizedBarEntry.0") + 0.1);
    EXPECT_GT(brightness(hovered, "minimizedBarParked"), brightness(rest, "minimizedBarParked") + 0.1);
    // The second entry is never lit.
    EXPECT_NEAR(brightness(rest, "minimizedBarEntry.1"), brightness(hovered, "minimizedBarEntry.1"), 0.02);
}

}  // namespace
}  // namespace quillmar::testing
