#include "seasonal/artisan_dissolve_canvas_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/accessibility_display_options.h"
#include "seasonal/east_asian_dissolve_scenes.h"
#include "seasonal/scenes/pointer_wake.h"
#include "seasonal/fade_curve.h"
#include "seasonal/scenes/spectacle_hash.h"
#include "seasonal/scenes/spectacle_renderers.h"
#include "seasonal/theme_charm.h"
#include "ui/canvas.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Path;
using T = ArtisanCanvasTheme;
constexpr double kPi = std::numbers::pi;

double u(std::int64_t seed) { return spectacleUnit(seed); }

void drawSparkles(gfx::GraphicsContext& ctx, T theme, double w, double h, double p, bool dark, Point origin) {
    auto& wake = PointerWake::shared();
    const Color base = dark ? Color(0.88, 0.69, 0.22) : Color(0.77, 0.53, 0.10);
    const Color bright = dark ? Color(1.0, 0.96, 0.72) : Color(0.95, 0.76, 0.24);
    for (int i = 0; i < 26; ++i) {
        const double start = 0.22 * u(7 + 13 * i);
        if (p <= start) continue;
        const double local = (p - start) / (0.68 + 0.3 * u(3 + 19 * i));
        if (local >= 1) continue;
        const double opacity = 0.92 * smoothFade(local / 0.14) * (1 - smoothFade((local - 0.56) / 0.44));
        const double x0 = i % 3 == 0 ? w * 0.7996 : i % 3 == 1 ? w * 0.1804 : w * (0.06 + 0.86 * u(11 + 31 * i));
        const double y0 = h * (0.74 * u(5 + 41 * i) - 0.06);
        double x = x0 + (u(2 + 53 * i) - 0.42) * 44 * local + 13 * std::sin(4.2 * local + 1.7 * i);
        double y = theme == T::lunarNewYearSpectacle ? y0 + 24 * (0.3 - local) + 8 * std::sin(kPi * local)
                                                     : y0 + (22 + 34 * u(9 + 61 * i)) * local;
        const auto push = wake.cursorWakeDisplacement(x, y, origin.x, origin.y, 34, 0.95);
        x += push.dx;
        y += push.dy;
        const double size = (2.2 + 2.5 * u(1 + 83 * i)) * (1 - 0.38 * local);
        const double c = std::fabs(std::cos((4.6 + 5 * u(4 + 71 * i)) * local + i + push.spin));
        const Color color = std::pow(c, 8) > 0.36 ? bright : base;

        if (theme == T::kyotoSummerAoMomiji && i % 4 == 0) {
            const double glow = 0.28 * opacity * (0.45 + 0.55 * std::sin(3 * kPi * local + i));
            ctx.fill(Path::circle({x, y}, 3.2 * size), Color(0.96, 0.92, 0.44).opacity(glow));
        }

        gfx::GraphicsContext body = ctx;
        body.opacity = opacity;
        body.translateBy(x, y);
        body.rotateBy(2.6 * local + i + 0.8 * push.spin);
        body.scaleBy(std::max(c, 0.2), 1);
        Path shape;
        if (theme == T::koreanCranesGeumbak && i % 2 == 0) {
            const double s = 1.1 * size;
            shape.addPolygon({{0, -s}, {0.68 * s, 0}, {0, s}, {-0.68 * s, 0}});
        } else {
            const double s = size;
            const double wv = i % 2 == 0 ? 0.26 : -0.22;
            shape.addPolygon({{-0.86 * s, -0.34 * s}, {(0.64 + wv) * s, -0.78 * s}, {0.92 * s, 0.42 * s},
                              {-(0.5 - wv) * s, 0.82 * s}});
        }
        body.fill(shape, color);
    }
}

void drawDriftingCharms(gfx::GraphicsContext& ctx, T theme, double w, double h, double p, bool dark, Point origin) {
    auto& wake = PointerWake::shared();
    const int count = theme == T::lunarNewYearSpectacle ? 11 : 16;
    for (int j = 0; j < count; ++j) {
        const double start = 0.22 * u(101 + 23 * j);
        if (p <= start) continue;
        const double local = (p - start) / (0.72 + 0.26 * u(107 + 29 * j));
        if (local >= 1) continue;
        const double fadeIn = smoothFade(local / 0.15);
        const double fadeOut = smoothFade((local - 0.58) / 0.42);
        const double x0 = w * (0.08 + 0.84 * u(113 + 37 * j));
        const double y0 = h * (-0.12 + 0.64 * u(127 + 43 * j));
        const double wobble = 17 * std::sin(2.1 * j + 3.8 * local);
        const double sway = (theme == T::kyotoSpringSakura || theme == T::springMeadow) ? -14 * std::sin(kPi * local) : 0;
        const double fall = (30 + 34 * u(131 + 59 * j)) * local;
        double dx = wobble - 18 * local;
        double dy = fall + sway;
        if (theme == T::summerJadeLotus) {
            dx = 0.45 * wobble + 58 * local;
        } else if (theme == T::lunarNewYearSpectacle) {
            dy = 26 * (0.32 - local) + 9 * std::sin(kPi * local);
        }
        const auto push = wake.cursorWakeDisplacement(x0 + dx, y0 + dy, origin.x, origin.y, 38, 1.15);
        const double x = x0 + dx + push.dx;
        const double y = y0 + dy + push.dy;
        const double guard = (x > 70 && x < 215 && y > 17 && y < 54) ? 0.52 : 1;
        const double influence = push.spin;
        const double spin = (2.6 + 3.1 * u(139 + 67 * j)) * local + j + influence;
        const double flip = std::fabs(std::cos(4.1 * local + j + 0.6 * influence)) * 0.76 + 0.24;
        const double phase = std::pow(std::max(0.0, std::sin(3.7 * local + 1.3 * j + 0.4 * influence)), 3);
        const double size = (4.6 + 2.7 * u(149 + 73 * j)) * (1 - 0.25 * local);

        gfx::GraphicsContext charm = ctx;
        charm.opacity = 0.9 * (1 - fadeOut) * fadeIn * guard;
        charm.translateBy(x, y);
        charm.rotateBy(spin);
        charm.scaleBy(flip, 1);
        drawThemeCharm(charm, theme, j, dark, size, phase);
    }
}

}  // namespace

bool ArtisanDissolveCanvasView::hasSparkleLayer(ArtisanCanvasTheme theme) {
    switch (theme) {
        case T::fireworksCelebration:
        case T::halloweenSpectacle:
        case T::christmasSpectacle:
        case T::summerStarlight:
        case T::winterAuroraHearth: return false;
        default: return true;
    }
}

void ArtisanDissolveCanvasView::renderDissolveScene(gfx::GraphicsContext& context, ui::Size size,
                                                    const SeasonalEasterEgg& egg, double progress, bool isDark,
                                                    bool reduceMotion) {
    const double w = size.width;
    const double h = size.height;
    if (!(w > 8 && h > 8) || !spectacleFrameIsDrawable(w, h, progress)) return;
    const double p = clampUnit(progress);
    const Color tint = egg.touchTintColor.withAlpha(1);
    const gfx::Rect whole{0, 0, w, h};

    if (reduceMotion) {
        const double alpha = std::sin(kPi * p) * (isDark ? 0.14 : 0.09);
        if (alpha > 1e-6) context.fill(Path::rect(whole), tint.opacity(alpha));
        return;
    }

    const double wash = smoothFade(p / 0.16) * (1 - smoothFade((p - 0.66) / 0.32));
    if (wash > 0.005) context.fill(Path::rect(whole), tint.opacity(wash * (isDark ? 0.09 : 0.058)));

    const Point E{w - 29, h / 2};
    if (p < 0.26) {
        const double k = p / 0.26;
        const double R = 13 + 64 * (1 - std::pow(1 - k, 3));
        context.stroke(Path::circle(E, R), Color(0.94, 0.74, 0.26).opacity((1 - k) * (isDark ? 0.36 : 0.42)), 1.15);
    }

    const T theme = egg.canvasTheme;
    switch (theme) {
        case T::stPatricksWindowSpectacle: break;
        case T::easterMeadow: drawEasterMeadowDissolve(context, isDark, w, h, p); break;
        case T::fireworksCelebration: drawFireworksDissolve(context, isDark, w, h, p, E.x, E.y); break;
        case T::halloweenSpectacle: drawHalloweenDissolve(context, isDark, w, h, p); break;
        case T::autumnHarvestOak: drawAutumnHarvestOakDissolve(context, isDark, w, h, p); break;
        case T::christmasSpectacle: drawChristmasDissolve(context, isDark, w, h, p); break;
        case T::springMeadow: drawSpringMeadowDissolve(context, isDark, w, h, p); break;
        case T::summerStarlight: drawSummerStarlightDissolve(context, isDark, w, h, p); break;
        case T::winterAuroraHearth: drawWinterAuroraHearthDissolve(context, isDark, w, h, p); break;
        case T::lunarNewYearSpectacle: drawLunarNewYearDissolve(context, isDark, w, h, p, E.x, E.y); break;
        case T::summerJadeLotus: drawJadeLotusDissolve(context, isDark, w, h, p, E.x, E.y); break;
        case T::koreanCranesGeumbak: drawKoreanCranesDissolve(context, isDark, p); break;
        case T::harvestMoonOsmanthus:
            context.fill(Path::circle(E, 26), (isDark ? Color(1.0, 0.86, 0.44) : Color(0.92, 0.68, 0.14))
                                                  .opacity(std::sin(kPi * p) * (isDark ? 0.2 : 0.16)));
            break;
        case T::kyotoSpringSakura:
        case T::kyotoSummerAoMomiji:
        case T::kyotoAutumnMomiji:
        case T::kyotoWinterPlum: break;
    }

    if (!hasSparkleLayer(theme)) return;
    const Point origin = PointerWake::shared().aboutCardOriginInWindow;
    drawSparkles(context, theme, w, h, p, isDark, origin);
    drawDriftingCharms(context, theme, w, h, p, isDark, origin);
}

ui::View ArtisanDissolveCanvasView::body() const {
    const bool reduceMotion = platform::AccessibilityDisplayOptions::shared().shouldReduceMotion();
    const SeasonalEasterEgg e = egg;
    const double p = progress;
    const bool dark = isDark;
    return ui::Canvas([e, p, dark, reduceMotion](gfx::GraphicsContext& context, ui::Size size) {
        renderDissolveScene(context, size, e, p, dark, reduceMotion);
    });
}

}  // namespace quillmar
