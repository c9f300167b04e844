#pragma once
// The drawn trackpad of the settings window's hardware stage: a rounded metal pad that shows the
// fingers resting on the real trackpad (live dots), or, while nobody touches it, a row of ghost
// fingers of the configured gesture that follows the pointer; a ruler whose ticks grow with the
// sensitivity; the top-edge zone of the two-finger trigger; and, in five-finger Zen, raked sand
// with ripples spreading from the fingers.
//
// Stateless: everything comes from its inputs; the pointer position goes out through the two
// bindings and the horizontal fraction to onHoverScrub on every hover move. All geometry derives
// from the size the container offers.

#include <functional>
#include <optional>
#include <vector>

#include "gfx/graphics_context.h"
#include "settings/settings_enums.h"
#include "settings_ui/palette/settings_palette.h"
#include "trackpad/touch_dot.h"
#include "ui/state.h"
#include "ui/view.h"

namespace quillmar {

struct AnodizedTrackpadSurface {
    SettingsPalette palette;
    std::vector<TouchDot> liveTouches;
    bool isEnabled = true;
    TriggerStyle triggerStyle = TriggerStyle::holdAndSlide;
    std::int64_t fingerCount = 0;
    double sensitivity = 1.1;
    bool isFiveFingerZen = false;
    double zenWavePhase = 0;
    std::optional<ui::Color> customTouchTint;
    ui::Binding<std::optional<double>> hoverRatioX;
    ui::Binding<double> hoverRatioY;
    std::function<void(double)> onHoverScrub;

    // One finger dot as drawn: centre in the pad's own coordinates (y down), the dot's diameter
    // and opacity, and the glow behind it (diameter 0: none).
    struct FingerDot {
        ui::Point center;
        double diameter = 0;
        double opacity = 1;
        double glowDiameter = 0;
    };

    // Ruler ticks: sensitivity × 7, rounded, kept to 5...15.
    static int tickCount(double sensitivity);
    // Horizontal offsets of the ghost fingers from the row's centre, left to right.
    static std::vector<double> ghostOffsets(TriggerStyle style, std::int64_t fingerCount);
    // The dots drawn for a pad of `size`: live touches, hover ghosts or resting ghosts.
    std::vector<FingerDot> fingerDots(ui::Size size) const;

    // What one hover report changes: the bindings' new values (when past their dead zones) and
    // the fraction handed to onHoverScrub.
    struct HoverEffect {
        bool clearsX = false;
        std::optional<double> newX;
        std::optional<double> newY;
        std::optional<double> scrub;
    };
    static HoverEffect hoverEffect(const ui::HoverPhase& phase, ui::Size size, bool isEnabled,
                                   std::optional<double> currentX, double currentY);

    ui::View body() const;

private:
    ui::View padBody() const;
    ui::View ruler() const;
    ui::View topEdgeZone(ui::Size size) const;
    ui::View sandCanvas() const;
    ui::View dotsLayer(ui::Size size) const;
    void handleHover(const ui::HoverPhase& phase, ui::Size size) const;
};

// The sand garden of Zen mode drawn into `context` over a pad of `size`: raked lines bowing
// towards the fingers' centroid and four ripples a quarter period apart.
void drawZenSand(gfx::GraphicsContext& context, ui::Size size, ui::Point centroid, double phase, bool isDark);

}  // namespace quillmar
