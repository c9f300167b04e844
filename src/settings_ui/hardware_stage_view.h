#pragma once
// The live illustrated preview at the top of the Switching and Trackpad tabs: a card 164 pt tall
// with the miniature Switch Bar above the drawn trackpad and a status badge in its top-trailing
// corner. While the settings window shows it, the real trackpad's touches stream in: the drawn
// pad shows the fingers, the miniature bar follows them as the real bar would, five fingers make
// the Zen sand garden, and while nobody touches the pad the pointer's hover scrubs the bar. When
// the real Switch Bar is open, the miniature bar mirrors its list and selection.
//
// Reads and observes the shared settings, pause monitor, Switch Bar controller, live telemetry
// and HardwareStageState; the settings view hands it the palette, the preview list and the
// header's status colour.

#include <optional>
#include <string>
#include <vector>

#include "gfx/color.h"
#include "settings_ui/palette/settings_palette.h"
#include "trackpad/touch_dot.h"
#include "ui/view.h"
#include "windows/switch_target.h"

namespace quillmar {

struct HardwareStageView {
    SettingsPalette palette;
    std::vector<SwitchTarget> previewTargets;
    gfx::Color statusDotColor = gfx::Color::rgb(0.2, 0.78, 0.35);
    // The finger tint of the seasonal easter egg that is playing, if any.
    std::optional<gfx::Color> touchTint;

    static constexpr double kHeight = 164;
    static constexpr std::size_t kMaxStageTargets = 5;

    // The entry the miniature bar highlights among n stage targets: the real bar's selection while
    // it is open, else the hover scrub's while no finger touches, else the one under the
    // fingers' mean x (the central 76 % of the pad spans the list).
    static int highlightedIndex(int n, bool barVisible, int barSelection, const std::vector<TouchDot>& touches,
                                int simulatedIndex);
    // The entry a hover at fraction x of the pad picks among n targets; none when n is 0.
    static std::optional<int> hoverScrubIndex(double x, int n);
    static std::string statusText(bool isEnabled, bool isPaused, std::size_t touchCount, bool isHovered);

    ui::View body() const;

private:
    std::vector<SwitchTarget> shownTargets() const;
    ui::View barGroup(const std::vector<SwitchTarget>& targets, int highlighted, bool vertical) const;
    ui::View trackpad(const std::vector<TouchDot>& touches, int n) const;
    ui::View statusBadge(const std::vector<TouchDot>& touches, double barWidth) const;
    static ui::View followingTheTrackpad(ui::View card);
};

}  // namespace quillmar
