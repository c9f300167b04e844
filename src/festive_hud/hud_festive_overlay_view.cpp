#include "festive_hud/hud_festive_overlay_view.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "festive_hud/festive_art_table.h"
#include "festive_hud/hud_christmas_perimeter_canvas_view.h"
#include "festive_hud/hud_festive_state.h"
#include "ui/canvas.h"
#include "ui/stack_views.h"
#include "ui/state.h"

namespace quillmar {

namespace {

constexpr double kFadeIn = 0.1;
constexpr double kFadeOutStart = 0.68;
constexpr double kSkipBelow = 0.01;

}  // namespace

double festiveParticleOpacity(double age, double life) {
    if (std::isnan(age) || std::isnan(life)) return 0;
    const double t = age / std::max(life, 0.01);
    const double fadeIn = std::min(1.0, age / kFadeIn);
    const double fadeOut = t <= kFadeOutStart ? 1.0 : std::max(0.0, 1 - (t - kFadeOutStart) / (1 - kFadeOutStart));
    const double opacity = fadeIn * fadeOut;
    return std::isfinite(opacity) ? std::clamp(opacity, 0.0, 1.0) : 0.0;
}

void drawFestiveParticles(gfx::GraphicsContext& context, std::span<const HUDFestiveParticle> particles,
                          HUDFestiveTheme theme, bool isDark) {
    withFestiveArt(theme, [&]<class Art>() {
        for (const auto& p : particles) {
            const double opacity = festiveParticleOpacity(p.age, p.life);
            if (opacity <= kSkipBelow) continue;
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
            gfx::GraphicsContext c = context;
            c.opacity = context.opacity * opacity;
            c.translateBy(p.x, p.y);
            c.rotateBy(std::isfinite(p.rot) ? p.rot : 0.0);
            Art::draw(p, std::move(c), isDark, 1.0);
        }
    });
}

ui::View HUDFestiveOverlayView::body() const {
    auto& festive = HUDFestiveState::shared();
    ui::observe(festive);
    (void)festive.frame.get();  // every published frame rebuilds the particle layer
    const bool dark = isDark;
    ui::View perimeter = ui::when(festive.isChristmasPerimeterVisible.get(),
                                  [&] { return ui::View(HUDChristmasPerimeterCanvasView{dark, cornerRadius}); });
    const auto theme = festive.activeTheme();
    ui::View particles = ui::when(theme.has_value() && !festive.particles().empty(), [&] {
        // The layer draws the particles as they are when the frame is published.
        return ui::Canvas([list = festive.particles(), theme = *theme, dark](gfx::GraphicsContext& c, gfx::Size) {
            drawFestiveParticles(c, list, theme, dark);
        });
    });
    return ui::ZStack({perimeter, particles}).allowsHitTesting(false);
}

}  // namespace quillmar
