#include "seasonal/artisan_window_spectacle_host_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/accessibility_display_options.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "ui/canvas.h"
#include "ui/stack_views.h"
#include "ui/state.h"

namespace quillmar {

bool ArtisanWindowSpectacleHostView::playsAcrossWindow(ArtisanCanvasTheme theme) {
    switch (theme) {
        case ArtisanCanvasTheme::stPatricksWindowSpectacle:
        case ArtisanCanvasTheme::fireworksCelebration:
        case ArtisanCanvasTheme::halloweenSpectacle:
        case ArtisanCanvasTheme::christmasSpectacle: return true;
        default: return false;
    }
}

void ArtisanWindowSpectacleHostView::renderWindowSpectacle(gfx::GraphicsContext& context, ui::Size size,
                                                           ArtisanCanvasTheme theme, double progress, bool isDark,
                                                           bool reduceMotion) {
    const double w = size.width;
    const double h = size.height;
    if (!(w > 40 && h > 40) || !std::isfinite(w) || !std::isfinite(h) || std::isnan(progress)) return;
    const double p = std::clamp(progress, 0.0, 1.0);
    if (!reduceMotion) {
        switch (theme) {
            case ArtisanCanvasTheme::fireworksCelebration: drawFireworksWindowSpectacle(context, isDark, w, h, p); break;
            case ArtisanCanvasTheme::christmasSpectacle: drawChristmasWindowSpectacle(context, isDark, w, h, p); break;
            case ArtisanCanvasTheme::halloweenSpectacle: drawHalloweenWindowSpectacle(context, isDark, w, h, p); break;
            default: drawStPatricksWindowSpectacle(context, isDark, w, h, p); break;
        }
        return;
    }
    gfx::Color color(0.12, 0.78, 0.44);
    double k = isDark ? 0.12 : 0.08;
    switch (theme) {
        case ArtisanCanvasTheme::fireworksCelebration:
            color = gfx::Color(0.94, 0.78, 0.30);
            k = isDark ? 0.12 : 0.08;
            break;
        case ArtisanCanvasTheme::christmasSpectacle:
            color = gfx::Color(1.0, 0.72, 0.32);
            k = isDark ? 0.14 : 0.10;
            break;
        case ArtisanCanvasTheme::halloweenSpectacle:
            color = gfx::Color(0.14, 0.08, 0.24);
            k = isDark ? 0.28 : 0.42;
            break;
        default: break;
    }
    const double alpha = std::sin(p * std::numbers::pi) * k;
    if (alpha > 1e-6) context.fill(gfx::Path::rect({0, 0, w, h}), color.opacity(alpha));
}

ui::View ArtisanWindowSpectacleHostView::body() const {
    ui::observe(*artisan);
    const auto progress = artisan->dissolveProgress.get();
    const auto& egg = artisan->activeEasterEgg.get();
    if (!progress || !egg || !playsAcrossWindow(egg->canvasTheme)) return ui::EmptyView();
    const double p = std::isnan(*progress) ? 0 : std::clamp(*progress, 0.0, 1.0);
    const bool reduceMotion = platform::AccessibilityDisplayOptions::shared().shouldReduceMotion();
    const ArtisanCanvasTheme theme = egg->canvasTheme;
    const bool dark = isDark;
    return ui::Canvas([theme, p, dark, reduceMotion](gfx::GraphicsContext& context, ui::Size size) {
               renderWindowSpectacle(context, size, theme, p, dark, reduceMotion);
           })
        .allowsHitTesting(false);  // the window's controls stay usable while it plays
}

}  // namespace quillmar
